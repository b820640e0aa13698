// Long silences after a burst of sound leave no subnormal number in the
// output or in any engine state or delay buffer, in both sample sizes and
// across the parameter corners.
#include "reliability/probeprocessor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace CalvirTest;

namespace {

// A low rate reaches the long decays in few samples: every filter pole lies
// further from 1 than at the usual rates.
constexpr double kRate = 8000.0;
constexpr int32 kBlock = 400;
constexpr double kNoiseSeconds = 0.5;
constexpr double kSilenceSeconds = 30.0;
constexpr double kScanEverySeconds = 2.0;

struct Setting
{
	const char* name;
	std::vector<std::pair<ParamID, ParamValue>> params;
	bool sizeChangesInSilence; // a new room size every block: the flush keeps the input silent
};

std::vector<Setting> settings ()
{
	return {
	    {"Defaults", {}, false},
	    {"WetOnlyQuietest", {{kMixId, 1.0}, {kLevelId, 0.0}}, false},
	    {"NoDiffusion", {{kMixId, 1.0}, {kDiffusionId, 0.0}}, false},
	    {"ExtremeDamping", {{kMixId, 1.0}, {kRvbTimeId, 0.0}, {kSizeId, 1.0}, {kHFDampId, 1.0}}, false},
	    {"NoDamping", {{kMixId, 1.0}, {kHFDampId, 0.0}, {kLPCutId, 0.0}, {kPredelayId, 0.0}}, false},
	    {"AllZero",
	     {{kLevelId, 0.0}, {kMixId, 0.0}, {kPredelayId, 0.0}, {kRvbTimeId, 0.0}, {kSizeId, 0.0},
	      {kDiffusionId, 0.0}, {kHFDampId, 0.0}, {kLPCutId, 0.0}},
	     false},
	    {"AllOne",
	     {{kLevelId, 1.0}, {kMixId, 1.0}, {kPredelayId, 1.0}, {kRvbTimeId, 1.0}, {kSizeId, 1.0},
	      {kDiffusionId, 1.0}, {kHFDampId, 1.0}, {kLPCutId, 1.0}},
	     false},
	    {"FlushingSilence", {{kMixId, 1.0}, {kRvbTimeId, 1.0}}, true},
	};
}

class LongSilence : public testing::TestWithParam<std::tuple<int32, int32>>
{
};

TEST_P (LongSilence, LeavesNoSubnormals)
{
	const int32 sampleSize = std::get<0> (GetParam ());
	const Setting setting = settings ()[static_cast<size_t> (std::get<1> (GetParam ()))];

	ProcessorSession s;
	ASSERT_EQ (s.setup (kRate, sampleSize), kResultOk);
	ASSERT_EQ (s.activate (true), kResultOk);
	TestParameterChanges changes;
	for (auto& p : setting.params)
		changes.set (p.first, p.second);
	TestAudioBlock block (sampleSize, kBlock);
	block.reset (sampleSize, 0);
	block.setParameterChanges (&changes);
	s->process (block.data ());
	block.reset (sampleSize, kBlock);
	block.setParameterChanges (&changes);

	std::mt19937 rng (11);
	std::uniform_real_distribution<double> noise (-1.0, 1.0);
	const auto noiseBlocks = static_cast<int32> (kNoiseSeconds * kRate / kBlock);
	const auto silenceBlocks = static_cast<int32> (kSilenceSeconds * kRate / kBlock);
	const auto scanEvery = static_cast<int32> (kScanEverySeconds * kRate / kBlock);
	for (int32 b = 0; b < noiseBlocks + silenceBlocks; ++b)
	{
		const bool silent = b >= noiseBlocks;
		for (int32 i = 0; i < kBlock; ++i)
			for (int c = 0; c < 2; ++c)
				block.setInput (c, i, silent ? 0.0 : noise (rng));
		changes.clear ();
		if (silent && setting.sizeChangesInSilence)
			changes.set (kSizeId, (b % 2) ? 0.25 : 0.75);
		ASSERT_EQ (s->process (block.data ()), kResultOk);
		for (int32 i = 0; i < kBlock; ++i)
			for (int c = 0; c < 2; ++c)
				ASSERT_TRUE (block.outputIsClean (c, i))
				    << "block " << b << " sample " << i << ": " << block.output (c, i);
		if (silent && (b - noiseBlocks) % scanEvery == 0)
		{
			ASSERT_EQ (s->countUncleanEngineValues (), 0)
			    << "after " << static_cast<double> ((b - noiseBlocks) * kBlock) / kRate << " s of silence";
		}
	}
	EXPECT_EQ (s->countUncleanEngineValues (), 0);
}

INSTANTIATE_TEST_SUITE_P (
    Settings, LongSilence,
    testing::Combine (testing::Values (kSample32, kSample64),
                      testing::Range (0, static_cast<int32> (settings ().size ()))),
    [] (const testing::TestParamInfo<std::tuple<int32, int32>>& info) {
	    return std::string (settings ()[static_cast<size_t> (std::get<1> (info.param))].name) +
	           (std::get<0> (info.param) == kSample64 ? "_Sample64" : "_Sample32");
    });

} // namespace
