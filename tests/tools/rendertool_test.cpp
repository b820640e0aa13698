// calvir-render run as a program against the built bundle: its output equals
// the processor driven directly, a saved state restores the same sound, and
// each kind of bad input ends with one clear message, a non-zero exit and
// nothing written.
#include "tools/audiofixture.h"
#include "tools/directhost.h"
#include "tools/toolrun.h"

#include "processor/plugids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace CalvirToolTest;
using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kRate = 44100;             // Hz
constexpr int64_t kInputFrames = 11025;  // 0.25 s

class RenderTool : public ::testing::Test
{
protected:
	TempFolder folder;

	ToolRun run (const std::vector<std::string>& args) { return runRenderTool (args, folder.path ()); }

	std::string stereoInput ()
	{
		const std::string path = folder.file ("in.wav");
		if (!fileExists (path))
			writeAudio (path, makeNoise (2, kInputFrames, 0.5, 1234), kRate);
		return path;
	}

	// The only entries left in the folder are the ones named.
	void expectOnly (std::vector<std::string> names)
	{
		std::sort (names.begin (), names.end ());
		EXPECT_EQ (folder.entries (), names);
	}

	// A failed run: the exit status, one message naming the problem, no output.
	void expectRefusal (const ToolRun& result, int exitCode, const std::string& words)
	{
		EXPECT_EQ (result.exitCode, exitCode) << result.err;
		EXPECT_NE (result.err.find (words), std::string::npos) << result.err;
		EXPECT_EQ (std::count (result.err.begin (), result.err.end (), '\n'), 1) << result.err;
		EXPECT_FALSE (fileExists (folder.file ("out.wav")));
	}
};

void expectSameSamples (const Channels& actual, const Channels& expected)
{
	ASSERT_EQ (actual.size (), 2u);
	ASSERT_EQ (expected.size (), 2u);
	for (size_t c = 0; c < 2; ++c)
	{
		ASSERT_EQ (actual[c].size (), expected[c].size ()) << "channel " << c;
		for (size_t i = 0; i < actual[c].size (); ++i)
			ASSERT_EQ (actual[c][i], expected[c][i]) << "channel " << c << " frame " << i;
	}
}

double energy (const std::vector<double>& samples, size_t from, size_t to)
{
	double sum = 0.0;
	for (size_t i = from; i < to && i < samples.size (); ++i)
		sum += samples[i] * samples[i];
	return sum;
}

// A state stream with some normalised values replaced (little-endian
// doubles after the 8-byte header and the 4-byte bypass flag).
std::vector<char> stateWith (std::vector<char> state, const std::vector<std::pair<ParamID, double>>& values)
{
	constexpr size_t kFirstValueOffset = 12;
	for (const auto& [id, value] : values)
		std::memcpy (state.data () + kFirstValueOffset + 8 * (id - 1), &value, sizeof (double));
	return state;
}

} // namespace

TEST_F (RenderTool, StereoFileEqualsTheProcessorDrivenDirectly32Bit)
{
	const auto input = readAudio (stereoInput ());
	auto result = run ({"in.wav", "-o", "out.wav", "-q"});
	ASSERT_EQ (result.exitCode, 0) << result.err;
	EXPECT_TRUE (result.out.empty ());

	const auto output = readAudio (folder.file ("out.wav"));
	EXPECT_EQ (output.sampleRate, kRate);
	EXPECT_EQ (output.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
	DirectSetup setup;
	const auto expected = renderDirectly (input.channels, setup);
	// The default reverb time gives a tail of 1.5 s.
	EXPECT_EQ (output.frames (), kInputFrames + 66150);
	expectSameSamples (output.channels, expected);
	EXPECT_GT (energy (output.channels[0], kInputFrames, kInputFrames + 4410), 0.0);
	expectOnly ({"in.wav", "out.wav"});
}

TEST_F (RenderTool, MonoFileIn64BitWithOddBlocksEqualsTheProcessorDrivenDirectly)
{
	Channels mono = makeNoise (1, kInputFrames, 0.7, 99);
	writeAudio (folder.file ("mono.flac"), mono, kRate, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
	const auto input = readAudio (folder.file ("mono.flac"));
	auto result = run ({"mono.flac", "-o", "out.wav", "-p", "64", "-b", "100", "--encoding", "double"});
	ASSERT_EQ (result.exitCode, 0) << result.err;
	EXPECT_NE (result.out.find ("wrote out.wav"), std::string::npos) << result.out;

	DirectSetup setup;
	setup.blockSize = 100;
	setup.sampleSize = kSample64;
	const auto expected = renderDirectly ({input.channels[0], input.channels[0]}, setup);
	expectSameSamples (readAudio (folder.file ("out.wav")).channels, expected);
}

TEST_F (RenderTool, SettingsAndAutomationEqualARestoredStateAndAQueuedChange)
{
	const auto input = readAudio (stereoInput ());
	auto result = run ({"in.wav", "-o", "out.wav", "--set", "Rvb Time=0.5", "--set", "mix=30 %",
	                    "--set", "HFDamp=20", "--automate", "Size=800@0.1", "--automate",
	                    "Level=-12@0.2"});
	ASSERT_EQ (result.exitCode, 0) << result.err;

	DirectSetup setup;
	setup.state = stateWith (defaultProcessorState (), {{kRvbTimeId, controllerNormalized (kRvbTimeId, 0.5)},
	                                                   {kMixId, controllerNormalized (kMixId, 30.0)},
	                                                   {kHFDampId, controllerNormalized (kHFDampId, 20.0)}});
	setup.points = {{4410, kSizeId, controllerNormalized (kSizeId, 800.0)},
	                {8820, kLevelId, controllerNormalized (kLevelId, -12.0)}};
	const auto expected = renderDirectly (input.channels, setup);
	// Reverb time 0.5 s: a tail of about 1.0 s.
	ASSERT_NEAR (static_cast<double> (expected[0].size ()), kInputFrames + kRate, 1.0);
	expectSameSamples (readAudio (folder.file ("out.wav")).channels, expected);
}

// A click at the very start of the file rings out as the same click two
// seconds later: the activation before the render mutes nothing, and no
// pre-roll is needed. The file equals the processor driven directly.
TEST_F (RenderTool, ClickAtTheStartHasItsWholeTail)
{
	const auto secondClick = static_cast<size_t> (2 * kRate);
	Channels clicks (2, std::vector<double> (secondClick + kRate / 2, 0.0));
	for (auto& channel : clicks)
		channel[0] = channel[secondClick] = 1.0;
	writeAudio (folder.file ("clicks.wav"), clicks, kRate);
	auto result = run ({"clicks.wav", "-o", "out.wav", "--set", "Mix=100"});
	ASSERT_EQ (result.exitCode, 0) << result.err;
	const auto output = readAudio (folder.file ("out.wav"));
	ASSERT_EQ (output.channels.size (), 2u);

	const auto from = static_cast<size_t> (0.2 * kRate);
	const auto to = static_cast<size_t> (0.5 * kRate);
	const double atStart = energy (output.channels[0], from, to);
	const double settled = energy (output.channels[0], secondClick + from, secondClick + to);
	ASSERT_GT (settled, 1e-9);
	EXPECT_NEAR (10.0 * std::log10 (atStart / settled), 0.0, 1.0);

	DirectSetup setup;
	setup.state = stateWith (defaultProcessorState (), {{kMixId, controllerNormalized (kMixId, 100.0)}});
	expectSameSamples (output.channels, renderDirectly (clicks, setup));
}

TEST_F (RenderTool, BypassCopiesTheInput)
{
	const auto input = readAudio (stereoInput ());
	auto result = run ({"in.wav", "-o", "out.wav", "--set", "Bypass=on"});
	ASSERT_EQ (result.exitCode, 0) << result.err;
	const auto output = readAudio (folder.file ("out.wav"));
	ASSERT_EQ (output.channels.size (), 2u);
	for (size_t c = 0; c < 2; ++c)
		for (size_t i = 0; i < static_cast<size_t> (kInputFrames); ++i)
			ASSERT_EQ (output.channels[c][i], input.channels[c][i]);
}

TEST_F (RenderTool, SavedStateRestoresTheSameSound)
{
	stereoInput ();
	auto first = run ({"in.wav", "-o", "first.wav", "--set", "Predelay=40", "--set", "Size=50",
	                   "--set", "Bypass=off", "--state-out", "room.state"});
	ASSERT_EQ (first.exitCode, 0) << first.err;
	const auto state = readBytes (folder.file ("room.state"));
	ASSERT_EQ (state.size (), 140u);

	// The state may be read from and saved to one file.
	auto second = run ({"in.wav", "-o", "second.wav", "--state-in", "room.state", "--state-out",
	                    "./room.state"});
	ASSERT_EQ (second.exitCode, 0) << second.err;
	EXPECT_EQ (readBytes (folder.file ("room.state")), state);
	const auto firstSound = readAudio (folder.file ("first.wav"));
	expectSameSamples (readAudio (folder.file ("second.wav")).channels, firstSound.channels);

	// And a host restoring that state hears the same.
	DirectSetup setup;
	setup.state = state;
	expectSameSamples (firstSound.channels, renderDirectly (readAudio (folder.file ("in.wav")).channels, setup));

	// The state differs from the default one, and --list shows its values.
	EXPECT_NE (state, defaultProcessorState ());
	auto list = run ({"--list", "--state-in", "room.state"});
	ASSERT_EQ (list.exitCode, 0) << list.err;
	EXPECT_NE (list.out.find ("40.0"), std::string::npos) << list.out;
}

TEST_F (RenderTool, NoInputRendersTheTestSignal)
{
	auto result = run ({"-q", "--sample-rate", "8000", "-b", "4096"});
	ASSERT_EQ (result.exitCode, 0) << result.err;
	const auto output = readAudio (folder.file ("demo-out.wav"));
	EXPECT_EQ (output.sampleRate, 8000);
	// Three seconds of signal and a tail of 1.5 s.
	EXPECT_EQ (output.frames (), 3 * 8000 + 12000);
	EXPECT_GT (energy (output.channels[0], 2000, 6000), 0.0);    // reverb of the first click
	EXPECT_GT (energy (output.channels[1], 24000, 36000), 0.0);  // the tail
	expectOnly ({"demo-out.wav"});
}

TEST_F (RenderTool, ListShowsTheNineParametersAndCurrentValues)
{
	auto result = run ({"--list", "--set", "Rvb Time=2.5", "--set", "Bypass=On"});
	ASSERT_EQ (result.exitCode, 0) << result.err;
	for (const char* words : {"Bypass", "Level", "Mix", "Predelay", "Rvb Time", "Size", "Diffusion",
	                          "HFDamp", "LPCut", "0.20 to 4.00", "-36.00 to 12.00", "500 to 16000",
	                          "m3", "Hz", "Off, On", "2.50"})
		EXPECT_NE (result.out.find (words), std::string::npos) << words << "\n" << result.out;
	// A heading and nine rows.
	EXPECT_EQ (std::count (result.out.begin (), result.out.end (), '\n'), 10) << result.out;
	expectOnly ({});
}

TEST_F (RenderTool, MissingInputFile)
{
	expectRefusal (run ({"nothing.wav", "-o", "out.wav"}), 1, "No such file");
}

TEST_F (RenderTool, UnreadableInput)
{
	expectRefusal (run ({".", "-o", "out.wav"}), 1, "folder");
	if (geteuid () != 0)
	{
		writeAudio (folder.file ("locked.wav"), makeNoise (2, 100, 0.5, 1), kRate);
		chmod (folder.file ("locked.wav").c_str (), 0);
		expectRefusal (run ({"locked.wav", "-o", "out.wav"}), 1, "Permission denied");
	}
}

TEST_F (RenderTool, UnsupportedInputFormat)
{
	writeBytes (folder.file ("text.wav"), {'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o'});
	expectRefusal (run ({"text.wav", "-o", "out.wav"}), 1, "not a supported audio file");

	writeAudio (folder.file ("sun.au"), makeNoise (1, 100, 0.5, 2), kRate, SF_FORMAT_AU | SF_FORMAT_PCM_16);
	expectRefusal (run ({"sun.au", "-o", "out.wav"}), 1, "WAV, AIFF and FLAC");

	writeAudio (folder.file ("three.wav"), makeNoise (3, 100, 0.5, 3), kRate);
	expectRefusal (run ({"three.wav", "-o", "out.wav"}), 1, "3 channels");

	stereoInput ();
	expectRefusal (run ({"in.wav", "-o", "out.mp3"}), 2, ".wav, .aiff, .aif or .flac");
	EXPECT_FALSE (fileExists (folder.file ("out.mp3")));
}

TEST_F (RenderTool, UnknownParameterTitleListsTheValidOnes)
{
	stereoInput ();
	auto result = run ({"in.wav", "-o", "out.wav", "--set", "Reverb=2"});
	expectRefusal (result, 2, "unknown parameter \"Reverb\"");
	for (const char* title : {"\"Bypass\"", "\"Level\"", "\"Mix\"", "\"Predelay\"", "\"Rvb Time\"",
	                          "\"Size\"", "\"Diffusion\"", "\"HFDamp\"", "\"LPCut\""})
		EXPECT_NE (result.err.find (title), std::string::npos) << result.err;
	expectRefusal (run ({"in.wav", "-o", "out.wav", "--automate", "Room=2@1"}), 2, "unknown parameter");
}

TEST_F (RenderTool, ValueOutsideTheRangeNamesTheRange)
{
	stereoInput ();
	expectRefusal (run ({"in.wav", "-o", "out.wav", "--set", "Rvb Time=5"}), 2, "0.20 to 4.00 s");
	expectRefusal (run ({"in.wav", "-o", "out.wav", "--set", "LPCut=499.9"}), 2, "500 to 16000 Hz");
	expectRefusal (run ({"in.wav", "-o", "out.wav", "--automate", "Level=13@0"}), 2, "-36.00 to 12.00 dB");
	expectRefusal (run ({"in.wav", "-o", "out.wav", "--set", "Bypass=maybe"}), 2, "Off, On");
	expectRefusal (run ({"in.wav", "-o", "out.wav", "--set", "Mix=lots"}), 2, "0 to 100 %");
}

TEST_F (RenderTool, SampleRateTheProcessorRefuses)
{
	writeAudio (folder.file ("low.wav"), makeNoise (2, 100, 0.5, 4), 2000);
	expectRefusal (run ({"low.wav", "-o", "out.wav"}), 1, "refuses the sample rate 2000 Hz");
}

TEST_F (RenderTool, StateFileThePluginRefuses)
{
	stereoInput ();
	writeBytes (folder.file ("short.state"), std::vector<char> (139, 0));
	expectRefusal (run ({"in.wav", "-o", "out.wav", "--state-in", "short.state"}), 1, "refused the state");
	expectRefusal (run ({"in.wav", "-o", "out.wav", "--state-in", "none.state"}), 1, "No such file");
}

TEST_F (RenderTool, FailedRenderLeavesAnExistingOutputUntouched)
{
	stereoInput ();
	writeBytes (folder.file ("keep.wav"), {'k', 'e', 'e', 'p'});
	auto result = run ({"in.wav", "-o", "keep.wav", "--set", "Size=5000", "--state-out", "s.state"});
	EXPECT_EQ (result.exitCode, 2);
	EXPECT_EQ (readBytes (folder.file ("keep.wav")), (std::vector<char> {'k', 'e', 'e', 'p'}));
	expectOnly ({"in.wav", "keep.wav"});
}

// No file written is another one written or one read, however it is spelled,
// and a state is read with a bound. The input stays as it was.
TEST_F (RenderTool, FilesItReadsAndWritesAreRefusedWhenTheyMeet)
{
	const auto original = readBytes (stereoInput ());
	ASSERT_EQ (symlink ("in.wav", folder.file ("link.wav").c_str ()), 0);
	ASSERT_EQ (mkdir (folder.file ("sub").c_str (), 0700), 0);
	const struct
	{
		std::vector<std::string> args;
		int exitCode;
		const char* words;
	} refused[] = {
		{{"in.wav", "-o", "in.wav"}, 2, "the output \"in.wav\" would overwrite the input"},
		{{"in.wav", "-o", "link.wav"}, 2, "would overwrite the input"},
		{{"in.wav", "-o", "out.wav", "--state-out", "in.wav"}, 2, "--state-out \"in.wav\" would overwrite"},
		{{"in.wav", "-o", "out.wav", "--state-out", "sub/../in.wav"}, 2, "would overwrite the input"},
		{{"in.wav", "-o", "out.wav", "--state-out", "link.wav"}, 2, "would overwrite the input"},
		{{"in.wav", "-o", "out.wav", "--state-out", "./out.wav"}, 2, "would overwrite the output \"out.wav\""},
		{{"in.wav", "-o", "out.wav", "--state-in", "sub/../out.wav"}, 2, "would overwrite --state-in"},
		{{"in.wav", "-o", "out.wav", "--state-in", "/dev/zero"}, 1, "too large to be a state file"},
	};
	for (const auto& line : refused)
	{
		SCOPED_TRACE (::testing::PrintToString (line.args));
		expectRefusal (run (line.args), line.exitCode, line.words);
		EXPECT_EQ (readBytes (folder.file ("in.wav")), original);
		expectOnly ({"in.wav", "link.wav", "sub"});
	}
}

TEST_F (RenderTool, MissingPluginBundle)
{
	stereoInput ();
	expectRefusal (run ({"in.wav", "-o", "out.wav", "--bundle", folder.file ("none.vst3")}), 1,
	               "plug-in not found");
}

TEST_F (RenderTool, HelpDescribesTheDefaults)
{
	auto result = run ({"--help"});
	EXPECT_EQ (result.exitCode, 0);
	for (const char* words : {"demo-out.wav", "-calvir.wav", "--set", "--automate", "--state-in",
	                          "--state-out", "--list", "--block-size", "--precision", "512"})
		EXPECT_NE (result.out.find (words), std::string::npos) << words;
}
