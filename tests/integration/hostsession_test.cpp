// A host's whole session with the built bundle: load, factory, processor
// creation by class ID, set-up, activation, blocks with parameter changes,
// state save and restore, deactivation and unload; a huge input sample.
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

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

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

	// Deactivates and activates again, as a host does before a bounce.
	void reactivate (HostedProcessor& p)
	{
		p.audio->setProcessing (false);
		ASSERT_EQ (p.component->setActive (false), kResultOk);
		ASSERT_EQ (p.component->setActive (true), kResultOk);
		p.audio->setProcessing (true);
	}

	// Plays x into both inputs, block by block; the outputs, left and right
	// interleaved.
	std::vector<double> play (HostedProcessor& p, int32 sampleSize, const std::vector<double>& x)
	{
		std::vector<double> out;
		TestAudioBlock block (sampleSize, kBlockSize);
		for (size_t pos = 0; pos < x.size (); pos += kBlockSize)
		{
			const auto n = static_cast<int32> (std::min<size_t> (kBlockSize, x.size () - pos));
			block.reset (sampleSize, n);
			for (int32 i = 0; i < n; ++i)
				for (int32 c = 0; c < 2; ++c)
					block.setInput (c, i, x[pos + static_cast<size_t> (i)]);
			EXPECT_EQ (p.audio->process (block.data ()), kResultOk);
			for (int32 i = 0; i < n; ++i)
				for (int32 c = 0; c < 2; ++c)
					out.push_back (block.output (c, i));
		}
		return out;
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

double energy (const std::vector<double>& interleaved, double rate, double fromSeconds, double toSeconds)
{
	double sum = 0.0;
	for (auto i = static_cast<size_t> (2 * fromSeconds * rate); i < static_cast<size_t> (2 * toSeconds * rate); ++i)
		sum += interleaved[i] * interleaved[i];
	return sum;
}

// Every activation starts from the same state, with the reverb sounding from
// the first sample: a click right at activation rings out as the same click
// two seconds later, and after a loud tail cut off by deactivation the next
// activation renders the clicks exactly as the first one did.
TEST_P (HostSession, EveryActivationSoundsFromTheFirstSampleAlike)
{
	constexpr double kRate = 48000.0;
	constexpr double kSecondClickSeconds = 2.0;
	const int32 sampleSize = GetParam ();
	HostedProcessor processor (*factory);
	ASSERT_TRUE (processor);
	ASSERT_TRUE (processor.start (host, kRate, sampleSize, kBlockSize));
	{
		// The wet signal alone, set outside playback as a host does.
		TestParameterChanges changes;
		changes.set (kMixId, 1.0);
		TestAudioBlock empty (sampleSize, kBlockSize);
		empty.reset (sampleSize, 0);
		empty.setParameterChanges (&changes);
		ASSERT_EQ (processor.audio->process (empty.data ()), kResultOk);
	}
	reactivate (processor);

	std::vector<double> clicks (static_cast<size_t> ((kSecondClickSeconds + 0.5) * kRate), 0.0);
	clicks[0] = clicks[static_cast<size_t> (kSecondClickSeconds * kRate)] = 1.0;
	const std::vector<double> first = play (processor, sampleSize, clicks);
	const double atActivation = energy (first, kRate, 0.2, 0.5);
	const double settled = energy (first, kRate, kSecondClickSeconds + 0.2, kSecondClickSeconds + 0.5);
	ASSERT_GT (settled, 1e-9);
	EXPECT_NEAR (10.0 * std::log10 (atActivation / settled), 0.0, 1.0);

	std::vector<double> loud (static_cast<size_t> (0.3 * kRate));
	for (size_t i = 0; i < loud.size (); ++i)
		loud[i] = 0.8 * std::sin (0.37 * static_cast<double> (i)) * std::cos (0.011 * static_cast<double> (i));
	play (processor, sampleSize, loud);
	reactivate (processor);
	const std::vector<double> again = play (processor, sampleSize, clicks);
	ASSERT_EQ (again.size (), first.size ());
	for (size_t i = 0; i < first.size (); ++i)
		ASSERT_EQ (again[i], first[i]) << "frame " << i / 2 << " channel " << i % 2;

	EXPECT_TRUE (processor.stop ());
}

// One sample of the largest double, positive or negative, in both channels:
// every output sample of the four seconds after it is finite, and the reverb
// rings for a click after them. (In 32-bit samples it arrives as an infinity.)
TEST_P (HostSession, OneHugeSampleLeavesTheOutputFinite)
{
	constexpr double kRate = 48000.0;
	constexpr double kClickSeconds = 4.0;
	const int32 sampleSize = GetParam ();
	for (double huge : {std::numeric_limits<double>::max (), -std::numeric_limits<double>::max ()})
	{
		SCOPED_TRACE (huge);
		HostedProcessor processor (*factory);
		ASSERT_TRUE (processor);
		ASSERT_TRUE (processor.start (host, kRate, sampleSize, kBlockSize));
		std::vector<double> x (static_cast<size_t> ((kClickSeconds + 0.5) * kRate), 0.0);
		x[100] = huge;
		x[static_cast<size_t> (kClickSeconds * kRate)] = 1.0;
		const std::vector<double> out = play (processor, sampleSize, x);
		for (size_t i = 0; i < out.size (); ++i)
			ASSERT_TRUE (std::isfinite (out[i])) << "frame " << i / 2 << " channel " << i % 2 << ": " << out[i];
		EXPECT_GT (energy (out, kRate, kClickSeconds + 0.2, kClickSeconds + 0.5), 1e-9);
		EXPECT_TRUE (processor.stop ());
	}
}

INSTANTIATE_TEST_SUITE_P (SampleSizes, HostSession, ::testing::Values (kSample32, kSample64),
                          [] (const ::testing::TestParamInfo<int32>& info) {
	                          return info.param == kSample32 ? "Float32" : "Float64";
                          });

} // namespace
