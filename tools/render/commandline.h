// The renderer's command line: what the user asked for, parsed and checked
// for form. Whether a parameter title or value fits the plug-in is decided
// later, against the loaded controller.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Calvir {
namespace Render {

enum class SamplePrecision
{
	k32,
	k64
};

// Sample encoding of the output file; kAuto is 32-bit float where the
// container allows it and 24-bit integer for FLAC.
enum class OutputEncoding
{
	kAuto,
	kFloat,
	kDouble,
	kPcm16,
	kPcm24
};

// "--set TITLE=VALUE": a parameter value that holds from the start.
struct ParameterSetting
{
	std::string title;
	std::string value;
};

// "--automate TITLE=VALUE@SECONDS": a change from the block containing that time.
struct ParameterAutomation
{
	std::string title;
	std::string value;
	double seconds {0.0};
};

struct RenderOptions
{
	static constexpr int32_t kDefaultBlockSize = 512;
	static constexpr int32_t kMaxBlockSize = 1 << 16; // samples
	static constexpr double kDefaultTestSignalRate = 48000.0; // Hz
	static constexpr double kMaxSampleRate = 1536000.0; // Hz, for the test signal

	std::string inputPath;  // empty: the built-in test signal
	std::string outputPath; // resolved by parseCommandLine, never empty
	std::string bundlePath; // the .vst3 folder or the .so inside it
	int32_t blockSize {kDefaultBlockSize};
	SamplePrecision precision {SamplePrecision::k32};
	OutputEncoding encoding {OutputEncoding::kAuto};
	double testSignalRate {kDefaultTestSignalRate};
	std::vector<ParameterSetting> settings;
	std::vector<ParameterAutomation> automations;
	std::string stateIn;
	std::string stateOut;
	bool list {false};
	bool quiet {false};
	bool help {false};
};

// The output path used when none is given: "demo-out.wav" for the test
// signal, "<input name without extension>-calvir.wav" in the current folder
// for an input file.
std::string defaultOutputPath (const std::string& inputPath);

// Parses argv[1..argc-1]. Throws UsageError with one clear message on
// anything malformed. defaultBundle is used when --bundle is not given.
RenderOptions parseCommandLine (int argc, const char* const* argv, const std::string& defaultBundle);

// The text printed by --help.
std::string helpText (const std::string& defaultBundle);

} // namespace Render
} // namespace Calvir
