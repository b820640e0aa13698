// The audio-effect base class: the defaults a processor inherits.
#include "sdk/vstaudioeffect.h"

#include <gtest/gtest.h>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

class EffectProbe : public AudioEffect
{
public:
	const ProcessSetup& setup () const { return processSetup; }
};

class AudioEffectTest : public ::testing::Test
{
protected:
	void SetUp () override
	{
		effect = new EffectProbe;
		ASSERT_NE (effect->addAudioInput (u"In", SpeakerArr::kStereo), nullptr);
		ASSERT_NE (effect->addAudioOutput (u"Out", SpeakerArr::kMono, kAux, 0), nullptr);
	}
	void TearDown () override { EXPECT_EQ (effect->release (), 0u); }

	EffectProbe* effect {nullptr};
};

TEST_F (AudioEffectTest, StartsWithA32BitRealtimeSetupAndNoExtras)
{
	EXPECT_EQ (effect->setup ().symbolicSampleSize, kSample32);
	EXPECT_EQ (effect->setup ().processMode, kRealtime);
	EXPECT_EQ (effect->setup ().sampleRate, 44100.0);
	EXPECT_EQ (effect->getLatencySamples (), 0u);
	EXPECT_EQ (effect->getTailSamples (), kNoTail);
	EXPECT_EQ (effect->getProcessContextRequirements (), 0u);
	EXPECT_EQ (effect->canProcessSampleSize (kSample32), kResultTrue);
	EXPECT_EQ (effect->canProcessSampleSize (kSample64), kResultFalse);
}

TEST_F (AudioEffectTest, SetupKeepsTheRateEvenWhenTheSampleSizeIsRefused)
{
	ProcessSetup setup {kOffline, kSample64, 256, 96000.0};
	EXPECT_EQ (effect->setupProcessing (setup), kResultFalse);
	EXPECT_EQ (effect->setup ().sampleRate, 96000.0);
	EXPECT_EQ (effect->setup ().maxSamplesPerBlock, 256);
	EXPECT_EQ (effect->setup ().processMode, kOffline);
	EXPECT_EQ (effect->setup ().symbolicSampleSize, kSample32);

	setup.symbolicSampleSize = kSample32;
	setup.sampleRate = 22050.0;
	EXPECT_EQ (effect->setupProcessing (setup), kResultOk);
	EXPECT_EQ (effect->setup ().sampleRate, 22050.0);
}

TEST_F (AudioEffectTest, BusesAreListedWithTheirInfo)
{
	EXPECT_EQ (effect->getBusCount (kAudio, kInput), 1);
	EXPECT_EQ (effect->getBusCount (kAudio, kOutput), 1);
	BusInfo info {};
	ASSERT_EQ (effect->getBusInfo (kAudio, kOutput, 0, info), kResultTrue);
	EXPECT_EQ (info.channelCount, 1);
	EXPECT_EQ (info.busType, kAux);
	EXPECT_EQ (info.flags, 0u);
	EXPECT_NE (effect->getAudioInput (0), nullptr);
	EXPECT_EQ (effect->getAudioInput (1), nullptr);
	EXPECT_EQ (effect->getAudioOutput (-1), nullptr);

	ASSERT_NE (effect->addEventInput (u"Events"), nullptr);
	EXPECT_EQ (effect->getBusCount (kEvent, kInput), 1);
	ASSERT_EQ (effect->getBusInfo (kEvent, kInput, 0, info), kResultTrue);
	EXPECT_EQ (info.channelCount, 16);
}

TEST_F (AudioEffectTest, BusArrangementsFollowTheCounts)
{
	SpeakerArrangement in[] = {SpeakerArr::k51, SpeakerArr::kStereo};
	SpeakerArrangement out[] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
	EXPECT_EQ (effect->setBusArrangements (in, -1, out, 1), kInvalidArgument);
	EXPECT_EQ (effect->setBusArrangements (in, 1, out, -1), kInvalidArgument);
	EXPECT_EQ (effect->setBusArrangements (in, 2, out, 1), kResultFalse);
	EXPECT_EQ (effect->setBusArrangements (in, 1, out, 2), kResultFalse);

	SpeakerArrangement arr = 0;
	ASSERT_EQ (effect->getBusArrangement (kInput, 0, arr), kResultTrue);
	EXPECT_EQ (arr, SpeakerArr::kStereo) << "refused calls store nothing";

	EXPECT_EQ (effect->setBusArrangements (in, 1, out, 0), kResultTrue);
	ASSERT_EQ (effect->getBusArrangement (kInput, 0, arr), kResultTrue);
	EXPECT_EQ (arr, SpeakerArr::k51);
	ASSERT_EQ (effect->getBusArrangement (kOutput, 0, arr), kResultTrue);
	EXPECT_EQ (arr, SpeakerArr::kMono);

	EXPECT_EQ (effect->getBusArrangement (kInput, 1, arr), kInvalidArgument);
	EXPECT_EQ (effect->getBusArrangement (kOutput, -1, arr), kInvalidArgument);
}

TEST_F (AudioEffectTest, AnswersItsInterfaces)
{
	IAudioProcessor* audio = nullptr;
	ASSERT_EQ (effect->queryInterface (IAudioProcessor::iid, reinterpret_cast<void**> (&audio)),
	           kResultOk);
	audio->release ();
	IProcessContextRequirements* requirements = nullptr;
	ASSERT_EQ (effect->queryInterface (IProcessContextRequirements::iid,
	                                   reinterpret_cast<void**> (&requirements)),
	           kResultOk);
	requirements->release ();
	IComponent* component = nullptr;
	ASSERT_EQ (effect->queryInterface (IComponent::iid, reinterpret_cast<void**> (&component)),
	           kResultOk);
	component->release ();
}

} // namespace
