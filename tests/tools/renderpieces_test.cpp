// The renderer's pieces that need no plug-in: the host's parameter queues,
// the built-in test signal, output file types, the time-to-frame rule and
// the file that appears only when complete.
#include "tools/audiofixture.h"
#include "tools/render/audiofile.h"
#include "tools/render/parameterchanges.h"
#include "tools/render/pendingfile.h"
#include "tools/render/rendererror.h"
#include "tools/render/renderer.h"
#include "tools/render/testsignal.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Calvir::Render;
using namespace CalvirToolTest;
using namespace Steinberg;
using namespace Steinberg::Vst;

TEST (ParameterQueues, PointsStayOrderedAndOneOffsetHoldsOneValue)
{
	ParameterChanges changes;
	changes.add (5, 100, 0.5);
	changes.add (5, 10, 0.1);
	changes.add (5, 100, 0.7);
	changes.add (3, 0, 0.3);
	ASSERT_EQ (changes.getParameterCount (), 2);

	IParamValueQueue* queue = changes.getParameterData (0);
	ASSERT_NE (queue, nullptr);
	EXPECT_EQ (queue->getParameterId (), 5u);
	ASSERT_EQ (queue->getPointCount (), 2);
	int32 offset = -1;
	ParamValue value = -1.0;
	ASSERT_EQ (queue->getPoint (0, offset, value), kResultOk);
	EXPECT_EQ (offset, 10);
	EXPECT_EQ (value, 0.1);
	ASSERT_EQ (queue->getPoint (1, offset, value), kResultOk);
	EXPECT_EQ (offset, 100);
	EXPECT_EQ (value, 0.7);
	EXPECT_EQ (queue->getPoint (2, offset, value), kResultFalse);
	EXPECT_EQ (queue->getPoint (-1, offset, value), kResultFalse);
	EXPECT_EQ (changes.getParameterData (2), nullptr);

	// A cleared list hands out reused queues with no old points.
	changes.clear ();
	EXPECT_EQ (changes.getParameterCount (), 0);
	changes.add (8, 1, 1.0);
	ASSERT_EQ (changes.getParameterCount (), 1);
	EXPECT_EQ (changes.getParameterData (0)->getParameterId (), 8u);
	EXPECT_EQ (changes.getParameterData (0)->getPointCount (), 1);
}

TEST (TestSignal, ClicksAndBurstAtTheirTimesAndTheSameOnEveryRun)
{
	constexpr double kRate = 8000.0;
	TestSignal first (kRate);
	TestSignal second (kRate);
	ASSERT_EQ (first.frames (), 24000);
	std::vector<double> left (24010), right (24010), left2 (24010), right2 (24010);
	first.read (left.data (), right.data (), 24010);
	second.read (left2.data (), right2.data (), 24010);
	EXPECT_EQ (left, left2);
	EXPECT_EQ (right, right2);

	EXPECT_EQ (left[2000], TestSignal::kClickAmplitude); // 0.25 s, left only
	EXPECT_EQ (right[2000], 0.0);
	EXPECT_EQ (left[6000], 0.0); // 0.75 s, right only
	EXPECT_EQ (right[6000], TestSignal::kClickAmplitude);
	EXPECT_EQ (left[10000], TestSignal::kClickAmplitude); // 1.25 s, both
	EXPECT_EQ (right[10000], TestSignal::kClickAmplitude);
	EXPECT_EQ (left[1999], 0.0);

	// Noise from 2.0 s for 0.1 s, within its amplitude, different per channel.
	double energy = 0.0;
	bool channelsDiffer = false;
	for (int i = 16000; i < 16800; ++i)
	{
		EXPECT_LE (std::fabs (left[static_cast<size_t> (i)]), TestSignal::kBurstAmplitude);
		energy += left[static_cast<size_t> (i)] * left[static_cast<size_t> (i)];
		channelsDiffer = channelsDiffer || left[static_cast<size_t> (i)] != right[static_cast<size_t> (i)];
	}
	EXPECT_GT (energy, 1.0);
	EXPECT_TRUE (channelsDiffer);
	EXPECT_EQ (left[15999], 0.0);
	EXPECT_EQ (left[16800], 0.0);
	EXPECT_EQ (left[24005], 0.0); // past the end
}

TEST (TestSignal, FloatReadIsTheRoundedDoubleRead)
{
	TestSignal wide (44100.0);
	TestSignal narrow (44100.0);
	std::vector<double> l64 (4096), r64 (4096);
	std::vector<float> l32 (4096), r32 (4096);
	for (int block = 0; block < 32; ++block)
	{
		wide.read (l64.data (), r64.data (), 4096);
		narrow.read (l32.data (), r32.data (), 4096);
		for (size_t i = 0; i < 4096; ++i)
		{
			ASSERT_EQ (l32[i], static_cast<float> (l64[i]));
			ASSERT_EQ (r32[i], static_cast<float> (r64[i]));
		}
	}
}

TEST (RenderTiming, TimeFallsInTheFrameWhoseSpanContainsIt)
{
	EXPECT_EQ (frameOfTime (0.0, 48000.0), 0);
	EXPECT_EQ (frameOfTime (1.5, 48000.0), 72000);
	EXPECT_EQ (frameOfTime (1.0 / 48000.0 * 0.5, 48000.0), 0);
	EXPECT_EQ (frameOfTime (1e30, 48000.0), static_cast<int64_t> (9.0e18));
}

TEST (OutputType, ExtensionPicksContainerAndEncodingMustFit)
{
	EXPECT_EQ (outputFormatFor ("a.wav", OutputEncoding::kAuto), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
	EXPECT_EQ (outputFormatFor ("dir.x/A.WAV", OutputEncoding::kPcm16), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
	EXPECT_EQ (outputFormatFor ("a.aif", OutputEncoding::kDouble), SF_FORMAT_AIFF | SF_FORMAT_DOUBLE);
	EXPECT_EQ (outputFormatFor ("a.aiff", OutputEncoding::kAuto), SF_FORMAT_AIFF | SF_FORMAT_FLOAT);
	EXPECT_EQ (outputFormatFor ("a.flac", OutputEncoding::kAuto), SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
	EXPECT_THROW (outputFormatFor ("a.flac", OutputEncoding::kFloat), UsageError);
	EXPECT_THROW (outputFormatFor ("a.mp3", OutputEncoding::kAuto), UsageError);
	EXPECT_THROW (outputFormatFor ("dir.wav/out", OutputEncoding::kAuto), UsageError);
}

TEST (PendingFile, DestinationChangesOnlyOnCommit)
{
	TempFolder folder;
	const std::string target = folder.file ("out.state");
	writeBytes (target, {'o', 'l', 'd'});
	{
		PendingFile pending (target);
		pending.write ({'n', 'e', 'w', '!'});
		EXPECT_EQ (readBytes (target), (std::vector<char> {'o', 'l', 'd'}));
		EXPECT_EQ (folder.entries ().size (), 2u); // the target and the hidden temporary
	}
	// Abandoned: the temporary is gone, the old file untouched.
	EXPECT_EQ (folder.entries (), (std::vector<std::string> {"out.state"}));
	EXPECT_EQ (readBytes (target), (std::vector<char> {'o', 'l', 'd'}));

	{
		PendingFile pending (target);
		pending.write ({'n', 'e', 'w', '!'});
		pending.commit ();
	}
	EXPECT_EQ (folder.entries (), (std::vector<std::string> {"out.state"}));
	EXPECT_EQ (readBytes (target), (std::vector<char> {'n', 'e', 'w', '!'}));
}

TEST (PendingFile, MissingFolderOrFolderTargetIsRefusedAtOnce)
{
	TempFolder folder;
	EXPECT_THROW (PendingFile (folder.file ("no/such/out.wav")), RenderError);
	EXPECT_THROW (PendingFile (folder.path ()), RenderError);
	EXPECT_TRUE (folder.entries ().empty ());
}

TEST (AudioFiles, MonoInputFeedsBothChannelsAndEndsInSilence)
{
	TempFolder folder;
	const std::string path = folder.file ("mono.aiff");
	Channels mono = makeNoise (1, 300, 0.5, 7);
	writeAudio (path, mono, 22050, SF_FORMAT_AIFF | SF_FORMAT_FLOAT);

	AudioFileReader reader (path);
	EXPECT_EQ (reader.sampleRate (), 22050.0);
	EXPECT_EQ (reader.frames (), 300);
	EXPECT_EQ (reader.channels (), 1);
	std::vector<float> left (400, 9.f), right (400, 9.f);
	reader.read (left.data (), right.data (), 200);
	reader.read (left.data () + 200, right.data () + 200, 200);
	for (size_t i = 0; i < 300; ++i)
	{
		ASSERT_EQ (left[i], static_cast<float> (mono[0][i]));
		ASSERT_EQ (right[i], left[i]);
	}
	for (size_t i = 300; i < 400; ++i)
		ASSERT_EQ (left[i] + right[i], 0.f);
}
