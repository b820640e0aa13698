// The renderer's command line: defaults, the forms of --set and --automate,
// and one clear refusal for each malformed option.
#include "tools/render/commandline.h"
#include "tools/render/rendererror.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

using namespace Calvir::Render;

namespace {

const char* const kBundle = "/some/bundle.vst3";

RenderOptions parse (std::initializer_list<const char*> args)
{
	std::vector<const char*> argv {"calvir-render"};
	argv.insert (argv.end (), args.begin (), args.end ());
	return parseCommandLine (static_cast<int> (argv.size ()), argv.data (), kBundle);
}

std::string refusal (std::initializer_list<const char*> args)
{
	try
	{
		parse (args);
	}
	catch (const UsageError& error)
	{
		return error.what ();
	}
	return "(accepted)";
}

} // namespace

TEST (CommandLine, DefaultsRenderTheTestSignalToDemoOut)
{
	auto options = parse ({});
	EXPECT_TRUE (options.inputPath.empty ());
	EXPECT_EQ (options.outputPath, "demo-out.wav");
	EXPECT_EQ (options.bundlePath, kBundle);
	EXPECT_EQ (options.blockSize, 512);
	EXPECT_EQ (options.precision, SamplePrecision::k32);
	EXPECT_EQ (options.encoding, OutputEncoding::kAuto);
	EXPECT_EQ (options.testSignalRate, 48000.0);
	EXPECT_FALSE (options.list);
}

TEST (CommandLine, InputFileGivesOutputNameInCurrentFolder)
{
	EXPECT_EQ (parse ({"/music/take 3.flac"}).outputPath, "take 3-calvir.wav");
	EXPECT_EQ (parse ({"dry"}).outputPath, "dry-calvir.wav");
	EXPECT_EQ (parse ({"dir.v2/dry"}).outputPath, "dry-calvir.wav");
	EXPECT_EQ (parse ({"in.wav", "-o", "x.aiff"}).outputPath, "x.aiff");
}

TEST (CommandLine, ValuesTakeBothSpellings)
{
	auto options = parse ({"--block-size=100", "-p", "64", "--output=o.wav", "--bundle", "b.so",
	                       "--encoding", "pcm24", "--sample-rate=96000", "-q"});
	EXPECT_EQ (options.blockSize, 100);
	EXPECT_EQ (options.precision, SamplePrecision::k64);
	EXPECT_EQ (options.outputPath, "o.wav");
	EXPECT_EQ (options.bundlePath, "b.so");
	EXPECT_EQ (options.encoding, OutputEncoding::kPcm24);
	EXPECT_EQ (options.testSignalRate, 96000.0);
	EXPECT_TRUE (options.quiet);
}

TEST (CommandLine, SetAndAutomateSplitTitleValueAndTime)
{
	auto options = parse ({"--set", "Rvb Time=2.5", "--set=Bypass=on", "--automate", "Size=800@1.5",
	                       "--automate", "Level=-6 dB@0"});
	ASSERT_EQ (options.settings.size (), 2u);
	EXPECT_EQ (options.settings[0].title, "Rvb Time");
	EXPECT_EQ (options.settings[0].value, "2.5");
	EXPECT_EQ (options.settings[1].title, "Bypass");
	EXPECT_EQ (options.settings[1].value, "on");
	ASSERT_EQ (options.automations.size (), 2u);
	EXPECT_EQ (options.automations[0].title, "Size");
	EXPECT_EQ (options.automations[0].value, "800");
	EXPECT_EQ (options.automations[0].seconds, 1.5);
	EXPECT_EQ (options.automations[1].value, "-6 dB");
	EXPECT_EQ (options.automations[1].seconds, 0.0);
}

TEST (CommandLine, MalformedOptionsAreRefusedWithTheReason)
{
	EXPECT_NE (refusal ({"--block-size", "0"}).find ("1 to 65536"), std::string::npos);
	EXPECT_NE (refusal ({"--block-size", "65537"}).find ("1 to 65536"), std::string::npos);
	EXPECT_NE (refusal ({"--block-size", "12x"}).find ("--block-size"), std::string::npos);
	EXPECT_NE (refusal ({"--precision", "16"}).find ("32 or 64"), std::string::npos);
	EXPECT_NE (refusal ({"--encoding", "mp3"}).find ("--encoding"), std::string::npos);
	EXPECT_NE (refusal ({"--set", "Size"}).find ("TITLE=VALUE"), std::string::npos);
	EXPECT_NE (refusal ({"--set", "=3"}).find ("TITLE=VALUE"), std::string::npos);
	EXPECT_NE (refusal ({"--set", "Size="}).find ("TITLE=VALUE"), std::string::npos);
	EXPECT_NE (refusal ({"--automate", "Size=800"}).find ("SECONDS"), std::string::npos);
	EXPECT_NE (refusal ({"--automate", "Size=800@-1"}).find ("seconds"), std::string::npos);
	EXPECT_NE (refusal ({"--automate", "Size=800@soon"}).find ("seconds"), std::string::npos);
	EXPECT_NE (refusal ({"--sample-rate", "0"}).find ("--sample-rate"), std::string::npos);
	EXPECT_NE (refusal ({"in.wav", "--sample-rate", "96000"}).find ("test signal"), std::string::npos);
	EXPECT_NE (refusal ({"a.wav", "b.wav"}).find ("only one input"), std::string::npos);
	EXPECT_NE (refusal ({"--frobnicate"}).find ("unknown option"), std::string::npos);
	EXPECT_NE (refusal ({"--output"}).find ("needs a value"), std::string::npos);
	EXPECT_NE (refusal ({"--list=yes"}).find ("takes no value"), std::string::npos);
}

TEST (CommandLine, DoubleDashEndsOptions)
{
	EXPECT_EQ (parse ({"--", "-strange.wav"}).inputPath, "-strange.wav");
}
