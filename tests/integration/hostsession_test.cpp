// A host's whole session with the built bundle: load, factory, processor
// creation by class ID, set-up, activation, blocks with parameter changes,
// state save and restore, deactivation and unload.
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "processor/plugids.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "support/bundlefactorytest.h"
#include "support/hostedprocessor.h"
#include "support/testaudioblock.h"
#include "support/testbytestream.h"
#include "support/testparameterchanges.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using CalvirTestSupport::HostedProcessor;
using CalvirTestSupport::TestAudioBlock;
using CalvirTestSupport::TestByteStream;
using CalvirTestSupport::TestParameterChanges;

constexpr int32 kBlockSize = 256;
constexpr int32 kNumBlocks = 40;

void fillSine (TestAudioBlock& block, int32 blockIndex)
{
	for (int32 i = 0; i < block.numSamples (); ++i)
	{
		const double t = static_cast<double> (blockIndex * block.numSamples () + i);
		block.setInput (0, i, 0.5 * std::sin (0.05 * t));
		block.setInput (1, i, 0.5 * std::cos (0.031 * t));
	}
}

class HostSession : public CalvirTestSupport::BundleFactoryTest<::testing::TestWithParam<int32>>
{
protected:
	void TearDown () override
	{
		if (factory)
		{
			EXPECT_EQ (releaseFactory (), 0u);
		}
		EXPECT_TRUE (bundle.unload ());
	}

	HostApplication hostApplication; // not reference counted
	FUnknown* host {&hostApplication};
};

TEST_P (HostSession, RunsAWholeSession)
{
	const int32 sampleSize = GetParam ();
	HostedProcessor processor (*factory);
	ASSERT_TRUE (processor);

	TUID controller;
	ASSERT_EQ (processor.component->getControllerClassId (controller), kResultTrue);
	EXPECT_TRUE (FUID::fromTUID (controller) == kPlugControllerUID);

	ASSERT_TRUE (processor.start (host, 48000.0, sampleSize, kBlockSize));
	EXPECT_EQ (processor.audio->getLatencySamples (), 0u);
	EXPECT_EQ (processor.audio->getTailSamples (), 72000u);

	// Blocks with automation: the output follows the input, finite throughout.
	double energy = 0.0;
	for (int32 b = 0; b < kNumBlocks; ++b)
	{
		TestParameterChanges changes;
		if (b == 2)
		{
			changes.set (kMixId, 0.8);
			changes.set (kRvbTimeId, 0.7);
		}
		if (b == 5)
		{
			auto& level = changes.addQueue (kLevelId);
			level.add (0, 0.5);
			level.add (kBlockSize - 1, 0.7);
		}
		TestAudioBlock block (sampleSize, kBlockSize);
		block.setParameterChanges (&changes);
		fillSine (block, b);
		ASSERT_EQ (processor.audio->process (block.data ()), kResultOk);
		for (int32 c = 0; c < 2; ++c)
			for (int32 i = 0; i < kBlockSize; ++i)
			{
				const double y = block.output (c, i);
				ASSERT_TRUE (std::isfinite (y)) << b << " " << c << " " << i;
				energy += y * y;
			}
	}
	EXPECT_GT (energy, 0.0);

	// Bypass passes the input through unchanged.
	{
		TestParameterChanges changes;
		changes.set (kBypassId, 1.0);
		TestAudioBlock block (sampleSize, kBlockSize);
		block.setParameterChanges (&changes);
		fillSine (block, kNumBlocks);
		ASSERT_EQ (processor.audio->process (block.data ()), kResultOk);
		for (int32 c = 0; c < 2; ++c)
			for (int32 i = 0; i < kBlockSize; ++i)
				ASSERT_EQ (block.output (c, i), block.input (c, i));
	}

	// The state carries the automation into a second processor.
	TestByteStream saved;
	ASSERT_EQ (processor.component->getState (&saved), kResultOk);
	ASSERT_EQ (saved.data ().size (), 140u);
	EXPECT_EQ (saved.data ()[8], 1) << "bypass is on";
	EXPECT_EQ (processor.audio->getTailSamples (),
	           static_cast<uint32> ((200.0 * std::exp2 (4.321928094887363 * 0.7) * 0.001 + 0.5) *
	                                48000.0));

	HostedProcessor restored (*factory);
	ASSERT_TRUE (restored);
	ASSERT_EQ (restored.component->initialize (host), kResultOk);
	saved.rewind ();
	ASSERT_EQ (restored.component->setState (&saved), kResultOk);
	TestByteStream again;
	ASSERT_EQ (restored.component->getState (&again), kResultOk);
	EXPECT_EQ (again.data (), saved.data ());
	EXPECT_EQ (restored.component->terminate (), kResultOk);

	EXPECT_TRUE (processor.stop ());
}

INSTANTIATE_TEST_SUITE_P (SampleSizes, HostSession, ::testing::Values (kSample32, kSample64),
                          [] (const ::testing::TestParamInfo<int32>& info) {
	                          return info.param == kSample32 ? "Float32" : "Float64";
                          });

} // namespace
