// Non-finite input samples (NaN or infinity from an upstream plug-in) and
// samples beyond the engine's bound (kMaxInputMagnitude, 1e300) enter the
// engine as 0; samples within the bound enter bit for bit; the reverb is clean
// again once the input is within it.
#include "reliability/probeprocessor.h"
#include "engine/engineconstants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

using namespace CalvirTest;

namespace {

constexpr double kRate = 44100.0;
constexpr int32 kBlock = 512;
const double kNaN = std::numeric_limits<double>::quiet_NaN ();
const double kInf = std::numeric_limits<double>::infinity ();
const double kMax = std::numeric_limits<double>::max ();

// What the engine makes of an input sample before the offset.
double enteredAs (double x)
{
	return std::fabs (x) <= kMaxInputMagnitude ? x : 0.0;
}

bool sameBits (double a, double b)
{
	uint64_t x, y;
	std::memcpy (&x, &a, sizeof x);
	std::memcpy (&y, &b, sizeof y);
	return x == y;
}

// Fills a block with noise; where poison says so, replaces a sample by a
// non-finite value or one beyond the bound in `dirty` and by 0 in `clean`.
// In 32-bit samples the huge values round to infinities.
void fillBlocks (TestAudioBlock& dirty, TestAudioBlock& clean, std::mt19937& rng, int32 blockIndex)
{
	std::uniform_real_distribution<double> noise (-1.0, 1.0);
	const double poisons[] = {kNaN, kInf, -kInf, -kNaN, 1e308, kMax, -kMax};
	const int32 numPoisons = static_cast<int32> (sizeof poisons / sizeof poisons[0]);
	for (int32 i = 0; i < kBlock; ++i)
	{
		for (int c = 0; c < 2; ++c)
		{
			double v = noise (rng);
			double d = v;
			double z = v;
			// Blocks 4 to 6 are poisoned at scattered places, block 5 entirely
			// on the left channel; the rest is finite.
			const bool poisoned = (blockIndex == 5 && c == 0) ||
			                      (blockIndex >= 4 && blockIndex <= 6 && (i * 7 + c * 3) % 31 == 0);
			if (poisoned)
			{
				d = poisons[(i + c) % numPoisons];
				z = 0.0;
			}
			dirty.setInput (c, i, d);
			clean.setInput (c, i, z);
		}
	}
}

class NonFiniteInput : public testing::TestWithParam<int32>
{
};

// A processor fed NaN, infinities and huge finite samples behaves exactly like
// one fed zeros at those places, sample for sample, before, during and after
// the poison.
TEST_P (NonFiniteInput, EntersAsZero)
{
	const int32 sampleSize = GetParam ();
	for (bool inPlace : {false, true})
	{
		ProcessorSession dirtyProc, cleanProc;
		for (auto* s : {&dirtyProc, &cleanProc})
		{
			ASSERT_EQ (s->setup (kRate, sampleSize), kResultOk);
			ASSERT_EQ (s->activate (true), kResultOk);
			s->setParams ({{kPredelayId, 0.0}});
		}
		TestAudioBlock dirty (sampleSize, kBlock), clean (sampleSize, kBlock);
		if (inPlace)
		{
			dirty.useInputsAsOutputs ();
			clean.useInputsAsOutputs ();
		}
		std::mt19937 rng (7);
		// 80 blocks: about a second, long enough for the flush cycle that
		// the pre-delay change starts to let the reverb in again.
		for (int32 b = 0; b < 80; ++b)
		{
			fillBlocks (dirty, clean, rng, b);
			ASSERT_EQ (dirtyProc->process (dirty.data ()), kResultOk);
			ASSERT_EQ (cleanProc->process (clean.data ()), kResultOk);
			for (int c = 0; c < 2; ++c)
				for (int32 i = 0; i < kBlock; ++i)
				{
					const double d = dirty.output (c, i);
					ASSERT_TRUE (std::isfinite (d)) << "block " << b << " sample " << i;
					ASSERT_TRUE (sameBits (d, clean.output (c, i)))
					    << "block " << b << " channel " << c << " sample " << i << ": " << d
					    << " != " << clean.output (c, i);
				}
		}
		EXPECT_EQ (dirtyProc->countUncleanEngineValues (), 0);
	}
}

// With the mix at 0 and the level at 0 dB the output is the engine's input
// value itself: samples within the bound arrive unchanged (plus the denormal
// offset the block loop adds), non-finite ones and those beyond it as 0.
TEST_P (NonFiniteInput, SamplesWithinTheBoundEnterUnchanged)
{
	const int32 sampleSize = GetParam ();
	ProcessorSession s;
	ASSERT_EQ (s.setup (kRate, sampleSize), kResultOk);
	// Mix 0 and level 0 dB, then a new activation, which starts the smoothers
	// at their targets: the output is the dry input alone from the first sample.
	ASSERT_EQ (s.activate (true), kResultOk);
	s.setParams ({{kMixId, 0.0}, {kLevelId, 0.75}});
	ASSERT_EQ (s.activate (false), kResultOk);
	ASSERT_EQ (s.activate (true), kResultOk);

	const double inputs[] = {0.5,
	                         -0.0,
	                         1e30,
	                         -3.0e300,
	                         std::numeric_limits<double>::max (),
	                         -std::numeric_limits<double>::max (),
	                         1e308,
	                         kMaxInputMagnitude,
	                         -kMaxInputMagnitude,
	                         std::nextafter (kMaxInputMagnitude, kInf),
	                         -std::nextafter (kMaxInputMagnitude, kInf),
	                         std::numeric_limits<double>::denorm_min (),
	                         std::numeric_limits<float>::denorm_min (),
	                         -1e-18,
	                         kNaN,
	                         kInf,
	                         -kInf,
	                         0.25};
	const int32 n = static_cast<int32> (sizeof inputs / sizeof inputs[0]);
	TestAudioBlock block (sampleSize, n);
	for (int32 i = 0; i < n; ++i)
	{
		block.setInput (0, i, inputs[i]);
		block.setInput (1, n - 1 - i, inputs[i]);
	}
	ASSERT_EQ (s->process (block.data ()), kResultOk);
	for (int c = 0; c < 2; ++c)
		for (int32 i = 0; i < n; ++i)
		{
			const double x = c == 0 ? inputs[i] : inputs[n - 1 - i];
			if (sampleSize == kSample64)
			{
				const double expected = enteredAs (x) + kDenormalOffset;
				EXPECT_TRUE (sameBits (block.output (c, i), expected))
				    << "input " << x << " gave " << block.output (c, i);
			}
			else
			{
				const float x32 = static_cast<float> (x);
				const double widened = std::isfinite (x32) ? static_cast<double> (x32) : 0.0;
				const float expected = static_cast<float> (widened + kDenormalOffset);
				// A float output widens to double exactly.
				EXPECT_EQ (static_cast<float> (block.output (c, i)), expected) << "input " << x32;
			}
		}
}

INSTANTIATE_TEST_SUITE_P (BothSampleSizes, NonFiniteInput, testing::Values (kSample32, kSample64),
                          [] (const testing::TestParamInfo<int32>& info) {
	                          return info.param == kSample64 ? std::string ("Sample64")
	                                                         : std::string ("Sample32");
                          });

} // namespace
