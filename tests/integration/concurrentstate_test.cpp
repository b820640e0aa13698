// The processor's state restored and saved on the main thread while the
// audio thread processes, through the built bundle as a host drives it: no
// block runs on half a restore, every save is one whole record, and a
// restore issued during a block lands exactly where a host calling between
// blocks would have put it. A third thread that reads the state and the tail
// throughout neither delays a restore nor makes one stale or lost.
#include "processor/plugids.h"
#include "processor/plugstate.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "support/bundlefactorytest.h"
#include "support/hostedprocessor.h"
#include "support/testaudioblock.h"
#include "support/testbytestream.h"
#include "support/testparameterchanges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <future>
#include <thread>
#include <vector>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using CalvirTestSupport::HostedProcessor;
using CalvirTestSupport::TestAudioBlock;
using CalvirTestSupport::TestByteStream;
using CalvirTestSupport::TestParameterChanges;

constexpr SampleRate kRate = 48000.0;
constexpr int32 kBlockSize = 512;
constexpr auto kConcurrentRun = std::chrono::seconds (2);
constexpr ParamValue kAutomatedLevels[] = {0.6, 0.7}; // the audio thread's own level changes
constexpr int32 kAutomationEvery = 3;                  // blocks
constexpr int32 kRounds = 2000; // restore rounds while a third thread reads

// A record holding level, mix, pre-delay, reverb time, size, diffusion,
// damping and low-pass cut, in that order.
PlugState stateOf (const std::array<ParamValue, 8>& v)
{
	PlugState s;
	ParamValue* fields[] = {&s.level, &s.mix, &s.predelay, &s.rvbTime, &s.size, &s.diffusion, &s.hfDamp, &s.lpCut};
	for (size_t i = 0; i < v.size (); ++i)
		*fields[i] = v[i];
	return s;
}

// Two states apart in every parameter, lengths included; the defaults are a third.
PlugState stateA ()
{
	return stateOf ({0.7, 0.9, 0.1, 0.2, 0.2, 0.3, 0.4, 0.9});
}

PlugState stateB ()
{
	return stateOf ({0.5, 0.3, 0.8, 0.9, 0.95, 0.6, 0.1, 0.3});
}

std::vector<uint8_t> bytesOf (const PlugState& record)
{
	TestByteStream stream;
	EXPECT_EQ (record.write (&stream), kResultOk);
	return stream.data ();
}

// Whether a and b are the same record but for the level, which automation moves.
bool sameButLevel (PlugState a, PlugState b)
{
	a.level = b.level;
	return bytesOf (a) == bytesOf (b);
}

bool sameRecord (const PlugState& a, const PlugState& b)
{
	return bytesOf (a) == bytesOf (b);
}

// The processor's saved state; false when the save or its read-back fails.
bool savedState (IComponent& component, PlugState& record)
{
	TestByteStream stream;
	if (component.getState (&stream) != kResultOk)
		return false;
	stream.rewind ();
	return record.read (&stream) == kResultOk;
}

bool sameBits (float a, float b)
{
	return std::memcmp (&a, &b, sizeof a) == 0;
}

void fillInput (TestAudioBlock& block, int32 blockIndex)
{
	for (int32 i = 0; i < block.numSamples (); ++i)
	{
		const double t = static_cast<double> (blockIndex * block.numSamples () + i);
		block.setInput (0, i, 0.4 * std::sin (0.0144 * t));
		block.setInput (1, i, 0.3 * std::sin (0.0371 * t + 1.0));
	}
}

class ConcurrentState : public CalvirTestSupport::BundleFactoryTest<>
{
protected:
	void restore (HostedProcessor& p, const PlugState& record)
	{
		TestByteStream stream (bytesOf (record));
		ASSERT_EQ (p.component->setState (&stream), kResultOk);
	}

	PlugState saved (HostedProcessor& p)
	{
		PlugState record;
		EXPECT_TRUE (savedState (*p.component, record));
		return record;
	}

	// On a thread of its own until destroyed, saves the state and reads the
	// tail over and over, counting the answers that belong to none of the
	// records.
	class StateReader
	{
	public:
		StateReader (HostedProcessor& p, std::vector<PlugState> records, std::vector<uint32> tails)
		: thread ([this, &p, records, tails] {
			  for (; running.load (); ++reads)
			  {
				  PlugState s;
				  const bool saved = savedState (*p.component, s);
				  const uint32 tail = p.audio->getTailSamples ();
				  const bool known = std::any_of (records.begin (), records.end (),
				                                  [&] (const PlugState& r) { return sameRecord (r, s); });
				  unknown += (saved && known && std::count (tails.begin (), tails.end (), tail) > 0) ? 0 : 1;
			  }
		  })
		{
		}
		~StateReader () { stop (); }
		void stop ()
		{
			running = false;
			if (thread.joinable ())
				thread.join ();
		}
		std::atomic<bool> running {true};
		int64 reads {0};
		int64 unknown {0};
		std::thread thread;
	};

	uint32 tailOf (const PlugState& record)
	{
		HostedProcessor p (*factory);
		EXPECT_TRUE (p.start (host, kRate, kSample32, kBlockSize));
		restore (p, record);
		const uint32 tail = p.audio->getTailSamples ();
		EXPECT_TRUE (p.stop ());
		return tail;
	}

	// Renders numBlocks blocks on an audio thread of their own. restores is
	// issued during block restoreBlock (after the block has begun), or, with
	// betweenBlocks, on this thread before block restoreBlock + 1.
	std::vector<float> render (const std::vector<PlugState>& restores, int32 numBlocks, int32 restoreBlock,
	                           bool betweenBlocks)
	{
		HostedProcessor p (*factory);
		EXPECT_TRUE (p.start (host, kRate, kSample32, kBlockSize));
		std::vector<float> out;
		TestAudioBlock block (kSample32, kBlockSize);
		TestParameterChanges changes;
		block.setParameterChanges (&changes);
		auto process = [&] (int32 b) {
			fillInput (block, b);
			EXPECT_EQ (p.audio->process (block.data ()), kResultOk);
			for (int32 i = 0; i < kBlockSize; ++i)
				for (int32 c = 0; c < 2; ++c)
					out.push_back (static_cast<float> (block.output (c, i)));
		};
		for (int32 b = 0; b < numBlocks; ++b)
		{
			if (b == restoreBlock + 1 && betweenBlocks)
				for (const PlugState& r : restores)
					restore (p, r);
			if (b != restoreBlock || betweenBlocks || restores.empty ())
			{
				std::thread (process, b).join ();
				continue;
			}
			std::promise<void> inBlock, restored;
			changes.whenCounted ([&] {
				inBlock.set_value ();
				restored.get_future ().wait ();
			});
			std::thread audio (process, b);
			inBlock.get_future ().wait ();
			for (const PlugState& r : restores)
				restore (p, r);
			restored.set_value ();
			audio.join ();
			changes.whenCounted (nullptr);
		}
		EXPECT_TRUE (p.stop ());
		return out;
	}

	HostApplication hostApplication; // not reference counted
	FUnknown* host {&hostApplication};
};

TEST_F (ConcurrentState, RestoresAndSavesDuringProcessingStayWhole)
{
	const PlugState a = stateA ();
	const PlugState b = stateB ();
	const uint32 tails[] = {tailOf (a), tailOf (b)};

	HostedProcessor p (*factory);
	ASSERT_TRUE (p.start (host, kRate, kSample32, kBlockSize));
	std::atomic<bool> running {true};
	int64 blocks = 0;
	int64 unfinished = 0;
	std::thread audio ([&] {
		TestAudioBlock block (kSample32, kBlockSize);
		TestParameterChanges changes;
		block.setParameterChanges (&changes);
		for (int32 n = 0; running.load (); ++n)
		{
			changes.clear ();
			if (n % kAutomationEvery == 0)
				changes.set (kLevelId, kAutomatedLevels[(n / kAutomationEvery) % 2]);
			fillInput (block, n);
			p.audio->process (block.data ());
			for (int32 c = 0; c < 2; ++c)
				for (int32 i = 0; i < kBlockSize; ++i)
					unfinished += std::isfinite (block.output (c, i)) ? 0 : 1;
			++blocks;
		}
	});

	int64 saves = 0;
	int64 mixed = 0;
	int64 wrongTails = 0;
	const auto end = std::chrono::steady_clock::now () + kConcurrentRun;
	for (int32 i = 0; std::chrono::steady_clock::now () < end; ++i)
	{
		restore (p, i % 2 == 0 ? a : b);
		const PlugState s = saved (p);
		const bool levelKnown = s.level == a.level || s.level == b.level || s.level == kAutomatedLevels[0] ||
		                        s.level == kAutomatedLevels[1];
		if (!levelKnown || !(sameButLevel (s, a) || sameButLevel (s, b)))
			++mixed;
		const uint32 tail = p.audio->getTailSamples ();
		if (tail != tails[0] && tail != tails[1])
			++wrongTails;
		++saves;
	}
	running = false;
	audio.join ();
	ASSERT_TRUE (p.stop ());

	EXPECT_EQ (mixed, 0) << "of " << saves << " saves";
	EXPECT_EQ (wrongTails, 0);
	EXPECT_EQ (unfinished, 0) << "of " << blocks << " blocks";
	EXPECT_GT (blocks, 0);
	EXPECT_GT (saves, 0);
}

TEST_F (ConcurrentState, RestoreDuringABlockLandsAsIfIssuedBeforeTheNext)
{
	constexpr int32 kNumBlocks = 24;
	constexpr int32 kRestoreBlock = 5;
	const std::vector<float> untouched = render ({}, kNumBlocks, kRestoreBlock, true);
	const std::vector<std::vector<PlugState>> cases {
	    {stateA ()},
	    {stateA (), stateB ()},
	    {stateB (), PlugState ()}, // other lengths and back: still one flush
	};
	for (const auto& restores : cases)
	{
		SCOPED_TRACE (restores.size ());
		const std::vector<float> during = render (restores, kNumBlocks, kRestoreBlock, false);
		const std::vector<float> between = render (restores, kNumBlocks, kRestoreBlock, true);
		ASSERT_EQ (during.size (), between.size ());
		size_t firstDifference = 0;
		while (firstDifference < during.size () && sameBits (during[firstDifference], between[firstDifference]))
			++firstDifference;
		EXPECT_EQ (firstDifference, during.size ()) << "samples differ from frame " << firstDifference / 2;
		EXPECT_NE (during, untouched) << "the restore must be heard";
	}
}

TEST_F (ConcurrentState, ReaderThreadNeverSeesAStaleRestoreNorLosesOne)
{
	// A restore left pending at deactivation is applied then, and a restore
	// made while inactive supersedes it for good.
	const PlugState a = stateA ();
	const PlugState b = stateB ();
	HostedProcessor p (*factory);
	ASSERT_TRUE (p.start (host, kRate, kSample32, kBlockSize));
	StateReader reader (p, {PlugState (), a, b}, {tailOf (PlugState ()), tailOf (a), tailOf (b)});
	TestAudioBlock block (kSample32, kBlockSize);
	int64 stale = 0;
	int64 lost = 0;
	for (int32 round = 0; round < kRounds; ++round)
	{
		restore (p, a); // active, no block runs before deactivation
		p.audio->setProcessing (false);
		ASSERT_EQ (p.component->setActive (false), kResultOk);
		restore (p, b);
		stale += sameRecord (saved (p), b) ? 0 : 1;
		ASSERT_EQ (p.component->setActive (true), kResultOk);
		p.audio->setProcessing (true);
		std::thread ([&] { p.audio->process (block.data ()); }).join ();
		lost += sameRecord (saved (p), b) ? 0 : 1;
	}
	reader.stop ();
	ASSERT_TRUE (p.stop ());
	EXPECT_EQ (stale, 0) << "of " << kRounds << " rounds";
	EXPECT_EQ (lost, 0) << "of " << kRounds << " rounds";
	EXPECT_EQ (reader.unknown, 0) << "of " << reader.reads << " reads";
}

TEST_F (ConcurrentState, EveryBlockFollowsTheRestoreBeforeItWhileAnotherThreadReads)
{
	// Bypassed blocks are bit copies of their input, the others are processed.
	PlugState records[2] = {stateA (), stateA ()};
	records[1].bypass = true;
	HostedProcessor p (*factory);
	ASSERT_TRUE (p.start (host, kRate, kSample32, kBlockSize));
	StateReader reader (p, {PlugState (), records[0], records[1]}, {tailOf (PlugState ()), tailOf (records[0])});
	TestAudioBlock block (kSample32, kBlockSize);
	int64 wrongBlocks = 0;
	for (int32 round = 0; round < kRounds; ++round)
	{
		const bool bypass = round % 2 == 1;
		restore (p, records[bypass ? 1 : 0]);
		fillInput (block, round);
		std::thread ([&] { p.audio->process (block.data ()); }).join ();
		bool copied = true;
		for (int32 c = 0; c < 2; ++c)
			for (int32 i = 0; i < kBlockSize; ++i)
				copied = copied && block.output (c, i) == block.input (c, i);
		wrongBlocks += copied == bypass ? 0 : 1;
	}
	reader.stop ();
	ASSERT_TRUE (p.stop ());
	EXPECT_EQ (wrongBlocks, 0) << "of " << kRounds << " blocks";
	EXPECT_EQ (reader.unknown, 0) << "of " << reader.reads << " reads";
}

} // namespace
