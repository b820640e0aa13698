// The processor component: buses, sample sizes and rates, activation, the
// parameter road into the record, bypass, malformed blocks, state and tail.
#include "engine/parametermapping.h"
#include "processor/plugids.h"
#include "processor/processorprobe.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "support/testaudioblock.h"
#include "support/testbytestream.h"
#include "support/testparameterchanges.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using CalvirProcessorTest::ProcessorProbe;
using CalvirTestSupport::TestAudioBlock;
using CalvirTestSupport::TestByteStream;
using CalvirTestSupport::TestParameterChanges;
using CalvirTestSupport::TestParamValueQueue;

constexpr double kSentinel = 7.25; // exactly representable in both sample sizes

// One processor, created and released through its reference count.
class ProcessorTest : public ::testing::Test
{
protected:
	void SetUp () override { processor = new ProcessorProbe; }
	void TearDown () override
	{
		processor->setActive (false);
		processor->terminate ();
		processor->release ();
	}

	void initialize () { ASSERT_EQ (processor->initialize (nullptr), kResultOk); }

	tresult setup (SampleRate rate, int32 sampleSize = kSample32)
	{
		ProcessSetup s {kRealtime, sampleSize, 512, rate};
		return processor->setupProcessing (s);
	}

	void activate (SampleRate rate = 44100.0, int32 sampleSize = kSample32)
	{
		initialize ();
		ASSERT_EQ (setup (rate, sampleSize), kResultOk);
		ASSERT_EQ (processor->setActive (true), kResultOk);
		processor->setProcessing (true);
	}

	// Runs a block that carries only parameter changes.
	void applyChanges (TestParameterChanges& changes)
	{
		ProcessData data;
		data.inputParameterChanges = &changes;
		EXPECT_EQ (processor->process (data), kResultOk);
	}

	// Runs a block with neither changes nor audio: where an active processor
	// picks up a restore.
	void runEmptyBlock ()
	{
		TestParameterChanges none;
		applyChanges (none);
	}

	// Restores record through setState, as a host does.
	void restore (const PlugState& record)
	{
		TestByteStream stream;
		ASSERT_EQ (record.write (&stream), kResultOk);
		stream.rewind ();
		ASSERT_EQ (processor->setState (&stream), kResultOk);
	}

	static void fillRamp (TestAudioBlock& block)
	{
		for (int32 c = 0; c < 2; ++c)
			for (int32 i = 0; i < block.numSamples (); ++i)
				block.setInput (c, i, 0.001 * (i + 1) * (c == 0 ? 1.0 : -1.0));
	}

	static bool outputsAre (TestAudioBlock& block, double value)
	{
		for (int32 c = 0; c < 2; ++c)
			for (int32 i = 0; i < block.numSamples (); ++i)
				if (block.output (c, i) != value)
					return false;
		return true;
	}

	ProcessorProbe* processor {nullptr};
};

//------------------------------------------------------------------------
// Construction and initialisation
//------------------------------------------------------------------------

TEST_F (ProcessorTest, ConstructorSetsTheDefaultsAndTheControllerClass)
{
	const PlugState& p = processor->params ();
	EXPECT_FALSE (p.bypass);
	EXPECT_EQ (p.level, 0.75);
	EXPECT_EQ (p.mix, 0.5);
	EXPECT_EQ (p.predelay, 0.251074);
	EXPECT_EQ (p.rvbTime, 0.537244);
	EXPECT_EQ (p.size, 0.588592);
	EXPECT_EQ (p.diffusion, 1.0);
	EXPECT_EQ (p.hfDamp, 0.75);
	EXPECT_EQ (p.lpCut, 0.516993);
	for (double r : p.reserved)
		EXPECT_EQ (r, 0.0);
	for (bool f : p.reservedFlags)
		EXPECT_FALSE (f);

	TUID cid;
	ASSERT_EQ (processor->getControllerClassId (cid), kResultTrue);
	EXPECT_TRUE (kPlugControllerUID == FUID::fromTUID (cid));
}

TEST_F (ProcessorTest, AnswersTheProcessorInterfaces)
{
	for (const TUID* iid : {&FUnknown::iid.toTUID (), &IPluginBase::iid.toTUID (),
	                        &IComponent::iid.toTUID (), &IAudioProcessor::iid.toTUID (),
	                        &IProcessContextRequirements::iid.toTUID (),
	                        &IConnectionPoint::iid.toTUID ()})
	{
		FUnknown* obj = nullptr;
		ASSERT_EQ (processor->queryInterface (*iid, reinterpret_cast<void**> (&obj)), kResultOk);
		ASSERT_NE (obj, nullptr);
		obj->release ();
	}
	FUnknownPtr<IProcessContextRequirements> requirements (static_cast<IAudioProcessor*> (processor));
	EXPECT_EQ (requirements->getProcessContextRequirements (), 0u);
	EXPECT_EQ (processor->getLatencySamples (), 0u);
}

TEST_F (ProcessorTest, InitializeDeclaresOneStereoInputAndOutput)
{
	initialize ();
	EXPECT_EQ (processor->getBusCount (kAudio, kInput), 1);
	EXPECT_EQ (processor->getBusCount (kAudio, kOutput), 1);
	EXPECT_EQ (processor->getBusCount (kEvent, kInput), 0);
	EXPECT_EQ (processor->getBusCount (kEvent, kOutput), 0);

	const char16* names[] = {u"AudioInput", u"AudioOutput"};
	const BusDirection directions[] = {kInput, kOutput};
	for (int d = 0; d < 2; ++d)
	{
		BusInfo info {};
		ASSERT_EQ (processor->getBusInfo (kAudio, directions[d], 0, info), kResultTrue);
		EXPECT_EQ (std::u16string (reinterpret_cast<const char16_t*> (info.name)),
		           std::u16string (reinterpret_cast<const char16_t*> (names[d])));
		EXPECT_EQ (info.channelCount, 2);
		EXPECT_EQ (info.busType, kMain);
		EXPECT_EQ (info.flags, static_cast<uint32> (BusInfo::kDefaultActive));
		SpeakerArrangement arr = 0;
		ASSERT_EQ (processor->getBusArrangement (directions[d], 0, arr), kResultTrue);
		EXPECT_EQ (arr, SpeakerArr::kStereo);
	}
	EXPECT_EQ (processor->currentSampleRate (), 44100.0);
	EXPECT_EQ (processor->engine ().bufferLength, 0);
	EXPECT_FALSE (processor->holdsBuffers ());
}

TEST_F (ProcessorTest, SecondInitializeIsRefusedAndDeclaresNoFurtherBuses)
{
	HostApplication host; // not reference counted: it lives on the stack
	ASSERT_EQ (processor->initialize (&host), kResultOk);
	EXPECT_EQ (processor->initialize (&host), kResultFalse);
	EXPECT_EQ (processor->getBusCount (kAudio, kInput), 1);
	EXPECT_EQ (processor->getBusCount (kAudio, kOutput), 1);
	processor->terminate ();
}

TEST_F (ProcessorTest, SecondInitializeWithoutHostContextDeclaresNoFurtherBuses)
{
	initialize ();
	EXPECT_EQ (processor->initialize (nullptr), kResultFalse);
	EXPECT_EQ (processor->getBusCount (kAudio, kInput), 1);
	EXPECT_EQ (processor->getBusCount (kAudio, kOutput), 1);

	// After terminate the processor can be initialised again.
	ASSERT_EQ (processor->terminate (), kResultOk);
	EXPECT_EQ (processor->getBusCount (kAudio, kInput), 0);
	initialize ();
	EXPECT_EQ (processor->getBusCount (kAudio, kInput), 1);
}

TEST (ProcessorFactoryFunction, CreatesDistinctProcessorsWithOneReference)
{
	FUnknown* first = PlugProcessor::createInstance (nullptr);
	int context = 0;
	FUnknown* second = PlugProcessor::createInstance (&context);
	ASSERT_NE (first, nullptr);
	ASSERT_NE (second, nullptr);
	EXPECT_NE (first, second);

	// The pointer handed out is the object's IAudioProcessor interface.
	IAudioProcessor* audio = nullptr;
	ASSERT_EQ (first->queryInterface (IAudioProcessor::iid, reinterpret_cast<void**> (&audio)),
	           kResultOk);
	EXPECT_EQ (static_cast<FUnknown*> (audio), first);
	audio->release ();

	EXPECT_EQ (first->release (), 0u);
	EXPECT_EQ (second->release (), 0u);
}

//------------------------------------------------------------------------
// Bus arrangements and sample sizes
//------------------------------------------------------------------------

TEST_F (ProcessorTest, BusArrangementsAcceptAnyTwoSpeakerLayoutOnly)
{
	initialize ();
	SpeakerArrangement mono = SpeakerArr::kMono;
	SpeakerArrangement stereo = SpeakerArr::kStereo;
	SpeakerArrangement surroundPair = SpeakerArr::kStereoSurround; // Ls Rs
	SpeakerArrangement fiveOne = SpeakerArr::k51;

	EXPECT_EQ (processor->setBusArrangements (&mono, 1, &stereo, 1), kResultFalse);
	EXPECT_EQ (processor->setBusArrangements (&stereo, 1, &mono, 1), kResultFalse);
	EXPECT_EQ (processor->setBusArrangements (&fiveOne, 1, &fiveOne, 1), kResultFalse);
	SpeakerArrangement arr = 0;
	processor->getBusArrangement (kInput, 0, arr);
	EXPECT_EQ (arr, SpeakerArr::kStereo) << "a refused arrangement is not stored";

	EXPECT_EQ (processor->setBusArrangements (&surroundPair, 1, &surroundPair, 1), kResultTrue);
	processor->getBusArrangement (kInput, 0, arr);
	EXPECT_EQ (arr, SpeakerArr::kStereoSurround);
	processor->getBusArrangement (kOutput, 0, arr);
	EXPECT_EQ (arr, SpeakerArr::kStereoSurround);

	EXPECT_EQ (processor->setBusArrangements (&stereo, 1, &stereo, 1), kResultTrue);
	EXPECT_EQ (processor->setBusArrangements (nullptr, 0, nullptr, 0), kResultTrue);
}

TEST_F (ProcessorTest, BusArrangementsRefuseBadCounts)
{
	initialize ();
	SpeakerArrangement two[] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
	EXPECT_EQ (processor->setBusArrangements (two, -1, two, 1), kInvalidArgument);
	EXPECT_EQ (processor->setBusArrangements (two, 1, two, -1), kInvalidArgument);
	EXPECT_EQ (processor->setBusArrangements (nullptr, 1, two, 1), kInvalidArgument);
	EXPECT_EQ (processor->setBusArrangements (two, 1, nullptr, 1), kInvalidArgument);
	EXPECT_EQ (processor->setBusArrangements (two, 2, two, 1), kResultFalse);
	EXPECT_EQ (processor->setBusArrangements (two, 1, two, 2), kResultFalse);
}

TEST_F (ProcessorTest, SampleSizesAre32And64BitOnly)
{
	EXPECT_EQ (processor->canProcessSampleSize (kSample32), kResultTrue);
	EXPECT_EQ (processor->canProcessSampleSize (kSample64), kResultTrue);
	EXPECT_EQ (processor->canProcessSampleSize (2), kResultFalse);
	EXPECT_EQ (processor->canProcessSampleSize (-1), kResultFalse);
}

TEST_F (ProcessorTest, SetupKeepsRateAndSampleSize)
{
	initialize ();
	EXPECT_EQ (processor->setup ().symbolicSampleSize, kSample32);
	EXPECT_EQ (setup (96000.0, kSample64), kResultOk);
	EXPECT_EQ (processor->currentSampleRate (), 96000.0);
	EXPECT_EQ (processor->setup ().symbolicSampleSize, kSample64);
	EXPECT_EQ (processor->setup ().sampleRate, 96000.0);
	EXPECT_EQ (processor->setup ().maxSamplesPerBlock, 512);
}

TEST_F (ProcessorTest, UnsupportedSampleSizeIsRefusedButTheRateIsTaken)
{
	initialize ();
	EXPECT_EQ (setup (48000.0, 2), kResultFalse);
	EXPECT_EQ (processor->currentSampleRate (), 48000.0);
	EXPECT_EQ (processor->setup ().symbolicSampleSize, kSample32);

	ASSERT_EQ (processor->setActive (true), kResultOk);
	EXPECT_EQ (processor->engine ().bufferLength, 12012);
}

TEST_F (ProcessorTest, SampleRatesBelow4000HzOrNotFiniteAreRefused)
{
	initialize ();
	ASSERT_EQ (setup (48000.0), kResultOk);
	for (double rate : {3999.999, 0.0, -44100.0, std::numeric_limits<double>::quiet_NaN (),
	                    std::numeric_limits<double>::infinity (),
	                    -std::numeric_limits<double>::infinity ()})
	{
		EXPECT_EQ (setup (rate), kResultFalse) << rate;
		EXPECT_EQ (processor->currentSampleRate (), 48000.0);
		EXPECT_EQ (processor->setup ().sampleRate, 48000.0);
	}
	EXPECT_EQ (setup (4000.0), kResultOk);
	EXPECT_EQ (processor->currentSampleRate (), 4000.0);
}

//------------------------------------------------------------------------
// Activation
//------------------------------------------------------------------------

TEST_F (ProcessorTest, ActivationHoldsBuffersForTheRateAndDeactivationReleasesThem)
{
	activate (44100.0);
	EXPECT_TRUE (processor->holdsBuffers ());
	EXPECT_EQ (processor->engine ().bufferLength, 11036);
	EXPECT_EQ (processor->engine ().flushPhase, FlushPhase::kFlushIdle);

	// A size change raises a flush; a second activation replaces the buffers
	// and applies the new size at once, with no flush.
	TestParameterChanges changes;
	changes.set (kSizeId, 0.3);
	applyChanges (changes);
	EXPECT_EQ (processor->engine ().flushPhase, FlushPhase::kFlushFadeOut);
	EXPECT_EQ (processor->setActive (true), kResultOk);
	EXPECT_TRUE (processor->holdsBuffers ());
	EXPECT_EQ (processor->engine ().flushPhase, FlushPhase::kFlushIdle);

	EXPECT_EQ (processor->setActive (false), kResultOk);
	EXPECT_FALSE (processor->holdsBuffers ());
	EXPECT_EQ (processor->setActive (false), kResultOk);
	EXPECT_FALSE (processor->holdsBuffers ());

	ASSERT_EQ (setup (96000.0), kResultOk);
	EXPECT_EQ (processor->setActive (true), kResultOk);
	EXPECT_EQ (processor->engine ().bufferLength, 24024);
}

TEST_F (ProcessorTest, ActivationBeforeInitializeOrAfterTerminateIsRefused)
{
	EXPECT_EQ (processor->setActive (true), kResultFalse);
	EXPECT_FALSE (processor->holdsBuffers ());

	activate (44100.0);
	ASSERT_EQ (processor->setActive (false), kResultOk);
	ASSERT_EQ (processor->terminate (), kResultOk);
	EXPECT_EQ (processor->setActive (true), kResultFalse);
	EXPECT_FALSE (processor->holdsBuffers ());

	// A block reaching the refused processor anyway is silence, not garbage.
	TestAudioBlock block (kSample32, 64);
	fillRamp (block);
	block.fillOutputs (kSentinel);
	EXPECT_EQ (processor->process (block.data ()), kResultOk);
	EXPECT_TRUE (outputsAre (block, 0.0));
}

TEST (ProcessorLifetime, ReleasingAnActiveProcessorFreesItsBuffers)
{
	// The leak checker of the sanitizer build reports the buffers otherwise.
	auto* processor = new ProcessorProbe;
	ASSERT_EQ (processor->initialize (nullptr), kResultOk);
	ASSERT_EQ (processor->setActive (true), kResultOk);
	ASSERT_TRUE (processor->holdsBuffers ());
	processor->terminate ();
	EXPECT_EQ (processor->release (), 0u);
}

//------------------------------------------------------------------------
// Parameter changes
//------------------------------------------------------------------------

TEST_F (ProcessorTest, EachQueueStoresTheValueOfItsLastPoint)
{
	activate ();
	TestParameterChanges changes;
	auto& level = changes.addQueue (kLevelId);
	level.add (0, 0.1);
	level.add (17, 0.2);
	level.add (63, 0.3);
	changes.set (kMixId, 0.61);
	changes.set (kPredelayId, 0.62);
	changes.set (kRvbTimeId, 0.63);
	changes.set (kSizeId, 0.64);
	changes.set (kDiffusionId, 0.65);
	changes.set (kHFDampId, 0.66);
	changes.set (kLPCutId, 0.67);
	applyChanges (changes);

	const PlugState& p = processor->params ();
	EXPECT_EQ (p.level, 0.3);
	EXPECT_EQ (p.mix, 0.61);
	EXPECT_EQ (p.predelay, 0.62);
	EXPECT_EQ (p.rvbTime, 0.63);
	EXPECT_EQ (p.size, 0.64);
	EXPECT_EQ (p.diffusion, 0.65);
	EXPECT_EQ (p.hfDamp, 0.66);
	EXPECT_EQ (p.lpCut, 0.67);
	EXPECT_EQ (level.requestedIndices (), std::vector<int32> {2});
}

TEST_F (ProcessorTest, BypassTurnsOnAboveOneHalfOnly)
{
	activate ();
	TestParameterChanges changes;
	changes.set (kBypassId, 0.5000001);
	applyChanges (changes);
	EXPECT_TRUE (processor->params ().bypass);

	changes.clear ();
	changes.set (kBypassId, 0.5);
	applyChanges (changes);
	EXPECT_FALSE (processor->params ().bypass);
}

TEST_F (ProcessorTest, UnknownIdentifiersAreIgnoredAndKnownOnesStillApply)
{
	activate ();
	const PlugState before = processor->params ();
	TestParameterChanges changes;
	changes.set (kPredelayId, 1.0);
	changes.set (42, 0.9);
	changes.set (kNumParameters, 0.9);
	applyChanges (changes);

	const PlugState& p = processor->params ();
	EXPECT_EQ (p.predelay, 1.0);
	EXPECT_EQ (p.level, before.level);
	EXPECT_EQ (p.lpCut, before.lpCut);
	EXPECT_EQ (p.bypass, before.bypass);
	// The engine re-derived its targets from the new value.
	EXPECT_NEAR (processor->engine ().preDelayMs, 250.0, 1e-9);
}

TEST_F (ProcessorTest, EmptyFailingAndNullQueuesLeaveValuesUnchanged)
{
	activate ();
	TestParameterChanges changes;
	auto& empty = changes.addQueue (kLevelId);
	auto& failing = changes.set (kMixId, 0.9);
	failing.failPointRequests ();
	changes.addNullEntry ();
	changes.set (kRvbTimeId, 0.0); // still applied after the null entry
	applyChanges (changes);

	const PlugState& p = processor->params ();
	EXPECT_EQ (p.level, 0.75);
	EXPECT_EQ (p.mix, 0.5);
	EXPECT_EQ (p.rvbTime, 0.0);
	EXPECT_EQ (processor->engine ().reverbTimeMs, 200.0);
	// An empty queue has no last point to ask for.
	EXPECT_TRUE (empty.requestedIndices ().empty ());
}

TEST_F (ProcessorTest, EveryVisitedQueueIsFollowedByACoefficientUpdate)
{
	// Each queue's visit plants a level in the record that only a later
	// coefficient update can carry into the engine's level target; the next
	// visit, and the end of the block, find it carried.
	activate ();
	TestParameterChanges changes;
	changes.set (kPredelayId, 1.0);
	std::vector<TestParamValueQueue*> queues {&changes.set (42, 0.9), &changes.addQueue (kMixId),
	                                          &changes.set (kBypassId, 0.0)};
	const ParamValue planted[] = {0.125, 0.25, 0.375};
	std::vector<double> targetsSeen;
	for (size_t k = 0; k < queues.size (); ++k)
		queues[k]->whenVisited ([&, k] {
			targetsSeen.push_back (processor->engine ().levelTarget);
			if (k == 0)
			{
				// The pre-delay queue before this one was stored and applied.
				EXPECT_EQ (processor->engine ().preDelayMs, mapPreDelayMs (1.0));
			}
			processor->mutableParams ().level = planted[k];
		});
	applyChanges (changes);

	EXPECT_EQ (processor->params ().predelay, 1.0);
	EXPECT_EQ (processor->params ().mix, 0.5);
	ASSERT_EQ (targetsSeen.size (), 3u);
	EXPECT_EQ (targetsSeen[1], mapLevelGain (planted[0])) << "after identifier 42";
	EXPECT_EQ (targetsSeen[2], mapLevelGain (planted[1])) << "after the empty queue";
	EXPECT_EQ (processor->engine ().levelTarget, mapLevelGain (planted[2])) << "after bypass";
}

TEST_F (ProcessorTest, BlocksWithoutBusesOrSamplesOnlyApplyChanges)
{
	activate ();
	TestParameterChanges changes;
	TestAudioBlock block (kSample32, 64);
	block.setParameterChanges (&changes);
	fillRamp (block);
	block.fillOutputs (kSentinel);
	const int32 writeIndex = processor->engine ().writeIndex;

	changes.set (kLevelId, 0.11);
	block.data ().numInputs = 0;
	EXPECT_EQ (processor->process (block.data ()), kResultOk);
	EXPECT_EQ (processor->params ().level, 0.11);

	changes.clear ();
	changes.set (kLevelId, 0.12);
	block.data ().numInputs = 1;
	block.data ().numOutputs = 0;
	EXPECT_EQ (processor->process (block.data ()), kResultOk);
	EXPECT_EQ (processor->params ().level, 0.12);

	changes.clear ();
	changes.set (kLevelId, 0.13);
	block.data ().numOutputs = 1;
	block.data ().numSamples = 0;
	EXPECT_EQ (processor->process (block.data ()), kResultOk);
	EXPECT_EQ (processor->params ().level, 0.13);

	EXPECT_TRUE (outputsAre (block, kSentinel));
	EXPECT_EQ (processor->engine ().writeIndex, writeIndex);
}

//------------------------------------------------------------------------
// Audio blocks
//------------------------------------------------------------------------

TEST_F (ProcessorTest, ProcessedBlocksWriteEveryOutputInBothSampleSizes)
{
	activate (44100.0, kSample64);
	for (int32 size : {kSample32, kSample64})
	{
		TestAudioBlock block (size, 128);
		fillRamp (block);
		block.fillOutputs (std::numeric_limits<double>::quiet_NaN ());
		const int32 writeIndex = processor->engine ().writeIndex;
		EXPECT_EQ (processor->process (block.data ()), kResultOk);
		for (int32 c = 0; c < 2; ++c)
			for (int32 i = 0; i < 128; ++i)
				ASSERT_TRUE (std::isfinite (block.output (c, i))) << size << " " << c << " " << i;
		EXPECT_EQ (processor->engine ().writeIndex, writeIndex + 128);
	}
}

TEST_F (ProcessorTest, MalformedBlocksAreLeftAloneButAccepted)
{
	activate ();
	using Tamper = void (*) (TestAudioBlock&);
	const Tamper tampers[] = {
	    [] (TestAudioBlock& b) { b.inputBus ().numChannels = 1; },
	    [] (TestAudioBlock& b) { b.outputBus ().numChannels = 1; },
	    [] (TestAudioBlock& b) { b.inputBus ().numChannels = 0; },
	    [] (TestAudioBlock& b) { b.outputBus ().channelBuffers32 = nullptr; },
	    [] (TestAudioBlock& b) { b.inputBus ().channelBuffers32 = nullptr; },
	    [] (TestAudioBlock& b) { b.inputBus ().channelBuffers32[1] = nullptr; },
	    [] (TestAudioBlock& b) { b.outputBus ().channelBuffers32[0] = nullptr; },
	    [] (TestAudioBlock& b) { b.data ().inputs = nullptr; },
	    [] (TestAudioBlock& b) { b.data ().outputs = nullptr; },
	    [] (TestAudioBlock& b) { b.data ().symbolicSampleSize = 2; },
	};
	for (bool bypass : {false, true})
	{
		processor->mutableParams ().bypass = bypass;
		int index = 0;
		for (Tamper tamper : tampers)
		{
			TestAudioBlock block (kSample32, 32);
			fillRamp (block);
			block.fillOutputs (kSentinel);
			const int32 writeIndex = processor->engine ().writeIndex;
			const double fadeGain = processor->engine ().fadeGain;
			tamper (block);
			EXPECT_EQ (processor->process (block.data ()), kResultOk);
			for (int32 i = 0; i < 32; ++i)
			{
				ASSERT_EQ (block.output (0, i), kSentinel) << "case " << index;
			}
			EXPECT_EQ (processor->engine ().writeIndex, writeIndex) << "case " << index;
			EXPECT_EQ (processor->engine ().fadeGain, fadeGain) << "case " << index;
			++index;
		}
	}
}

TEST_F (ProcessorTest, BypassCopies32BitSamplesBeforeAnySetup)
{
	initialize ();
	ASSERT_EQ (processor->setActive (true), kResultOk);
	processor->mutableParams ().bypass = true;

	TestAudioBlock block (kSample32, 64);
	fillRamp (block);
	block.fillOutputs (kSentinel);
	block.data ().numSamples = 60; // the last four samples lie outside the block
	const int32 writeIndex = processor->engine ().writeIndex;
	EXPECT_EQ (processor->process (block.data ()), kResultOk);
	for (int32 c = 0; c < 2; ++c)
	{
		for (int32 i = 0; i < 60; ++i)
			ASSERT_EQ (block.output (c, i), block.input (c, i));
		for (int32 i = 60; i < 64; ++i)
			ASSERT_EQ (block.output (c, i), kSentinel);
	}
	EXPECT_EQ (processor->engine ().writeIndex, writeIndex) << "the engine stands still";
}

TEST_F (ProcessorTest, BypassCopies64BitSamplesAfter64BitSetup)
{
	activate (48000.0, kSample64);
	TestParameterChanges changes;
	changes.set (kBypassId, 1.0);
	TestAudioBlock block (kSample64, 64);
	block.setParameterChanges (&changes);
	fillRamp (block);
	block.setInput (0, 5, 1.0 + std::ldexp (1.0, -40)); // not representable in 32 bits
	block.fillOutputs (kSentinel);
	block.data ().numSamples = 60;
	EXPECT_EQ (processor->process (block.data ()), kResultOk);
	for (int32 c = 0; c < 2; ++c)
	{
		for (int32 i = 0; i < 60; ++i)
			ASSERT_EQ (block.output (c, i), block.input (c, i));
		for (int32 i = 60; i < 64; ++i)
			ASSERT_EQ (block.output (c, i), kSentinel);
	}
}

TEST_F (ProcessorTest, BypassCopiesTheBlocksOwnSampleSize)
{
	// The block's buffers are exactly as long as its own sample size says:
	// a copy of the set-up's width would overrun them (the sanitizer build
	// catches it) or leave part of the output unwritten.
	constexpr int32 kFrames = 60;
	initialize ();
	processor->mutableParams ().bypass = true;
	for (const auto& sizes : {std::make_pair (kSample64, kSample32), std::make_pair (kSample32, kSample64)})
	{
		SCOPED_TRACE (sizes.first);
		ASSERT_EQ (setup (48000.0, sizes.first), kResultOk);
		ASSERT_EQ (processor->setActive (true), kResultOk);
		TestAudioBlock block (sizes.second, kFrames);
		fillRamp (block);
		block.fillOutputs (kSentinel);
		EXPECT_EQ (processor->process (block.data ()), kResultOk);
		for (int32 ch = 0; ch < 2; ++ch)
			for (int32 i = 0; i < kFrames; ++i)
				ASSERT_EQ (block.output (ch, i), block.input (ch, i)) << i;
		ASSERT_EQ (processor->setActive (false), kResultOk);
	}
}

TEST_F (ProcessorTest, BypassInPlaceLeavesTheBuffersAlone)
{
	activate ();
	processor->mutableParams ().bypass = true;
	TestAudioBlock block (kSample32, 16);
	fillRamp (block);
	block.useInputsAsOutputs ();
	EXPECT_EQ (processor->process (block.data ()), kResultOk);
	for (int32 i = 0; i < 16; ++i)
		EXPECT_EQ (block.output (0, i), static_cast<float> (0.001 * (i + 1)));
}

//------------------------------------------------------------------------
// State and tail
//------------------------------------------------------------------------

TEST_F (ProcessorTest, StateRestoresEveryParameterOrNone)
{
	initialize ();
	PlugState stored;
	stored.bypass = true;
	stored.level = 0.2;
	stored.rvbTime = 1.0;
	stored.reserved[3] = 4.5;
	TestByteStream stream;
	ASSERT_EQ (stored.write (&stream), kResultOk);

	stream.rewind ();
	EXPECT_EQ (processor->setState (&stream), kResultOk);
	EXPECT_TRUE (processor->params ().bypass);
	EXPECT_EQ (processor->params ().level, 0.2);
	EXPECT_EQ (processor->params ().reserved[3], 4.5);
	EXPECT_EQ (processor->engine ().reverbTimeMs, 200.0 * std::exp2 (4.321928094887363));

	TestByteStream saved;
	ASSERT_EQ (processor->getState (&saved), kResultOk);
	EXPECT_EQ (saved.data (), stream.data ());

	std::vector<uint8_t> shortBytes (stream.data ().begin (), stream.data ().end () - 1);
	shortBytes[12] ^= 0x55; // a different level, which must not arrive
	TestByteStream shortStream (shortBytes);
	EXPECT_EQ (processor->setState (&shortStream), kResultFalse);
	EXPECT_EQ (processor->params ().level, 0.2);
	EXPECT_EQ (processor->setState (nullptr), kResultFalse);
	EXPECT_EQ (processor->getState (nullptr), kResultFalse);
}

TEST_F (ProcessorTest, RestoreWhileActiveWaitsForTheNextBlockOrDeactivation)
{
	activate (48000.0);
	const PlugState before = processor->params ();
	PlugState restored;
	restored.rvbTime = 1.0;
	restored.size = 0.2;
	TestByteStream written;
	ASSERT_EQ (restored.write (&written), kResultOk);

	for (bool byBlock : {true, false})
	{
		SCOPED_TRACE (byBlock ? "picked up by a block" : "picked up by deactivation");
		restore (restored);
		// The live record is the audio thread's until it picks the restore
		// up; the host already sees the restored state and its tail.
		EXPECT_EQ (processor->params ().size, before.size);
		TestByteStream saved;
		ASSERT_EQ (processor->getState (&saved), kResultOk);
		EXPECT_EQ (saved.data (), written.data ());
		EXPECT_EQ (processor->getTailSamples (), 216000u);

		if (byBlock)
		{
			runEmptyBlock ();
		}
		else
		{
			ASSERT_EQ (processor->setActive (false), kResultOk);
		}
		EXPECT_EQ (processor->params ().size, 0.2);
		EXPECT_EQ (processor->engine ().roomSize, mapRoomSize (0.2));

		// Back to the old state for the next round, through a block.
		ASSERT_EQ (processor->setActive (true), kResultOk);
		restore (before);
		runEmptyBlock ();
		ASSERT_EQ (processor->params ().size, before.size);
	}
}

TEST_F (ProcessorTest, RestoresReplacedBeforePickUpStillFlushAsIfAppliedInTurn)
{
	activate (48000.0);
	ASSERT_EQ (processor->engine ().flushPhase, FlushPhase::kFlushIdle);

	PlugState moved;
	moved.size = 0.9;
	const PlugState current = processor->params ();

	// The same lengths twice: no flush.
	restore (current);
	restore (current);
	runEmptyBlock ();
	EXPECT_EQ (processor->engine ().flushPhase, FlushPhase::kFlushIdle);

	// Other lengths, then back before the audio thread picked either up: one
	// by one, the first would have started a flush, so the pair does too.
	restore (moved);
	restore (current);
	runEmptyBlock ();
	EXPECT_EQ (processor->engine ().flushPhase, FlushPhase::kFlushFadeOut);
	EXPECT_EQ (processor->params ().size, current.size);
	EXPECT_EQ (processor->engine ().lastRoomSize, mapRoomSize (current.size));
}

TEST_F (ProcessorTest, TailIsTheReverbTimePlusHalfASecond)
{
	// Right from construction, before any activation.
	EXPECT_EQ (processor->getTailSamples (), 66150u);

	initialize ();
	ASSERT_EQ (setup (48000.0), kResultOk);
	EXPECT_EQ (processor->getTailSamples (), 72000u);

	TestParameterChanges changes;
	changes.set (kRvbTimeId, 1.0);
	applyChanges (changes);
	EXPECT_EQ (processor->getTailSamples (), 216000u);

	changes.clear ();
	changes.set (kRvbTimeId, 0.0);
	applyChanges (changes);
	ASSERT_EQ (setup (44100.0), kResultOk);
	EXPECT_EQ (processor->getTailSamples (), 30869u);
}

} // namespace
