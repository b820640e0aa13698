#include "tools/render/commandline.h"

#include "tools/render/rendererror.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace Calvir {
namespace Render {

namespace {

const char* const kDemoOutputName = "demo-out.wav";
const char* const kOutputSuffix = "-calvir.wav";

bool parseInteger (const std::string& text, long& value)
{
	if (text.empty ())
		return false;
	char* end = nullptr;
	errno = 0;
	value = std::strtol (text.c_str (), &end, 10);
	return errno == 0 && end && *end == '\0';
}

bool parseNumber (const std::string& text, double& value)
{
	if (text.empty ())
		return false;
	char* end = nullptr;
	errno = 0;
	value = std::strtod (text.c_str (), &end);
	return errno == 0 && end && *end == '\0' && std::isfinite (value);
}

// Splits "TITLE=VALUE" at its first '='; both sides must be non-empty.
void splitAssignment (const std::string& option, const std::string& text, std::string& title,
                      std::string& value)
{
	auto equals = text.find ('=');
	if (equals == std::string::npos || equals == 0 || equals + 1 == text.size ())
		throw UsageError (option + " expects TITLE=VALUE, got \"" + text + "\"");
	title = text.substr (0, equals);
	value = text.substr (equals + 1);
}

ParameterAutomation parseAutomation (const std::string& text)
{
	ParameterAutomation automation;
	std::string rest;
	splitAssignment ("--automate", text, automation.title, rest);
	auto at = rest.rfind ('@');
	if (at == std::string::npos || at == 0)
		throw UsageError ("--automate expects TITLE=VALUE@SECONDS, got \"" + text + "\"");
	automation.value = rest.substr (0, at);
	if (!parseNumber (rest.substr (at + 1), automation.seconds) || automation.seconds < 0.0)
		throw UsageError ("--automate time must be a number of seconds, 0 or more, in \"" + text +
		                  "\"");
	return automation;
}

OutputEncoding parseEncoding (const std::string& text)
{
	if (text == "float")
		return OutputEncoding::kFloat;
	if (text == "double")
		return OutputEncoding::kDouble;
	if (text == "pcm16")
		return OutputEncoding::kPcm16;
	if (text == "pcm24")
		return OutputEncoding::kPcm24;
	throw UsageError ("--encoding must be float, double, pcm16 or pcm24, got \"" + text + "\"");
}

} // namespace

std::string defaultOutputPath (const std::string& inputPath)
{
	if (inputPath.empty ())
		return kDemoOutputName;
	auto slash = inputPath.rfind ('/');
	std::string name = slash == std::string::npos ? inputPath : inputPath.substr (slash + 1);
	auto dot = name.rfind ('.');
	if (dot != std::string::npos && dot > 0)
		name.erase (dot);
	return name + kOutputSuffix;
}

RenderOptions parseCommandLine (int argc, const char* const* argv, const std::string& defaultBundle)
{
	RenderOptions options;
	options.bundlePath = defaultBundle;
	bool sampleRateGiven = false;
	bool optionsEnded = false;

	for (int i = 1; i < argc; ++i)
	{
		std::string arg = argv[i];
		if (optionsEnded || arg.empty () || arg[0] != '-' || arg == "-")
		{
			if (!options.inputPath.empty ())
				throw UsageError ("only one input file can be given (\"" + options.inputPath +
				                  "\" and \"" + arg + "\")");
			options.inputPath = arg;
			continue;
		}
		if (arg == "--")
		{
			optionsEnded = true;
			continue;
		}

		// "--name=value" and "--name value" are both accepted.
		std::string name = arg;
		std::string inlineValue;
		bool hasInlineValue = false;
		if (arg.rfind ("--", 0) == 0)
		{
			auto equals = arg.find ('=');
			if (equals != std::string::npos)
			{
				name = arg.substr (0, equals);
				inlineValue = arg.substr (equals + 1);
				hasInlineValue = true;
			}
		}
		auto takeValue = [&] () -> std::string {
			if (hasInlineValue)
				return inlineValue;
			if (i + 1 >= argc)
				throw UsageError (name + " needs a value");
			return argv[++i];
		};
		auto noValue = [&] () {
			if (hasInlineValue)
				throw UsageError (name + " takes no value");
		};

		if (name == "-h" || name == "--help")
		{
			noValue ();
			options.help = true;
		}
		else if (name == "--list")
		{
			noValue ();
			options.list = true;
		}
		else if (name == "-q" || name == "--quiet")
		{
			noValue ();
			options.quiet = true;
		}
		else if (name == "-o" || name == "--output")
		{
			options.outputPath = takeValue ();
			if (options.outputPath.empty ())
				throw UsageError ("--output needs a file name");
		}
		else if (name == "--bundle")
		{
			options.bundlePath = takeValue ();
		}
		else if (name == "-b" || name == "--block-size")
		{
			auto text = takeValue ();
			long value = 0;
			if (!parseInteger (text, value) || value < 1 || value > RenderOptions::kMaxBlockSize)
				throw UsageError ("--block-size must be a whole number from 1 to " +
				                  std::to_string (RenderOptions::kMaxBlockSize) + ", got \"" + text +
				                  "\"");
			options.blockSize = static_cast<int32_t> (value);
		}
		else if (name == "-p" || name == "--precision")
		{
			auto text = takeValue ();
			if (text == "32")
				options.precision = SamplePrecision::k32;
			else if (text == "64")
				options.precision = SamplePrecision::k64;
			else
				throw UsageError ("--precision must be 32 or 64, got \"" + text + "\"");
		}
		else if (name == "--encoding")
		{
			options.encoding = parseEncoding (takeValue ());
		}
		else if (name == "--sample-rate")
		{
			auto text = takeValue ();
			if (!parseNumber (text, options.testSignalRate) || options.testSignalRate <= 0.0 ||
			    options.testSignalRate > RenderOptions::kMaxSampleRate)
				throw UsageError ("--sample-rate must be a number of Hz above 0 and at most " +
				                  std::to_string (static_cast<long> (RenderOptions::kMaxSampleRate)) +
				                  ", got \"" + text + "\"");
			sampleRateGiven = true;
		}
		else if (name == "--set")
		{
			ParameterSetting setting;
			splitAssignment ("--set", takeValue (), setting.title, setting.value);
			options.settings.push_back (setting);
		}
		else if (name == "--automate")
		{
			options.automations.push_back (parseAutomation (takeValue ()));
		}
		else if (name == "--state-in")
		{
			options.stateIn = takeValue ();
			if (options.stateIn.empty ())
				throw UsageError ("--state-in needs a file name");
		}
		else if (name == "--state-out")
		{
			options.stateOut = takeValue ();
			if (options.stateOut.empty ())
				throw UsageError ("--state-out needs a file name");
		}
		else
		{
			throw UsageError ("unknown option \"" + arg + "\" (see --help)");
		}
	}

	if (sampleRateGiven && !options.inputPath.empty ())
		throw UsageError ("--sample-rate applies to the built-in test signal only; an input file "
		                  "is rendered at its own sample rate");
	if (options.outputPath.empty ())
		options.outputPath = defaultOutputPath (options.inputPath);
	return options;
}

std::string helpText (const std::string& defaultBundle)
{
	std::ostringstream text;
	text <<
R"(Usage: calvir-render [OPTIONS] [INPUT]

Runs an audio file through the ks CALVIR Room plug-in as a VST 3 host does,
then renders the reverb tail, and writes the result.

INPUT is a WAV, AIFF or FLAC file, mono or stereo; mono is fed to both
channels and the file's sample rate is used. Without INPUT a built-in test
signal (a few clicks and a short noise burst) is rendered.

Options:
  -o, --output FILE       Output file. Its extension picks the format:
                          .wav (default), .aif/.aiff or .flac. Without this
                          option: demo-out.wav for the test signal, or
                          <input name>-calvir.wav in the current folder.
                          Nothing is written unless the render succeeds.
      --encoding E        Output samples: float (32-bit, default), double,
                          pcm16 or pcm24 (default for FLAC, which has no float).
  -b, --block-size N      Samples per processing block, 1 to 65536 (default 512).
  -p, --precision 32|64   Sample size handed to the plug-in (default 32).
      --set TITLE=VALUE   Sets a parameter for the whole render, by its title
                          and the value as the plug-in shows it, for example
                          --set "Rvb Time=2.5" --set Bypass=on. Repeatable.
      --automate TITLE=VALUE@SECONDS
                          Changes a parameter from the processing block that
                          contains the given time, for example
                          --automate "Size=800@1.5". Repeatable.
      --state-in FILE     Restores the plug-in state from FILE before --set.
      --state-out FILE    Saves the plug-in state after the render to FILE.
      --list              Prints the parameters (titles, units, ranges,
                          defaults, current values after --state-in and --set)
                          and exits without rendering; INPUT is not read.
      --sample-rate HZ    Sample rate of the built-in test signal (default 48000).
      --bundle PATH       The plug-in bundle (.vst3 folder) or its .so file.
  -q, --quiet             No progress line.
  -h, --help              Shows this text.

A progress line appears on standard error when it is a terminal and the
render takes a while. On any error one message is printed and the exit
status is 1 (2 for a malformed command line).

Default bundle: )"
	     << defaultBundle << "\n";
	return text.str ();
}

} // namespace Render
} // namespace Calvir
