#include "tools/render/renderapp.h"

#include "tools/render/audiofile.h"
#include "tools/render/commandline.h"
#include "tools/render/hostedplugin.h"
#include "tools/render/parameterchanges.h"
#include "tools/render/parametertable.h"
#include "tools/render/pendingfile.h"
#include "tools/render/pluginmodule.h"
#include "tools/render/progressline.h"
#include "tools/render/rendererror.h"
#include "tools/render/renderer.h"
#include "tools/render/testsignal.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <memory>
#include <sys/stat.h>

#ifndef CALVIR_DEFAULT_BUNDLE
#define CALVIR_DEFAULT_BUNDLE ""
#endif

namespace Calvir {
namespace Render {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

const char* const kProgramName = "calvir-render";
constexpr std::streamoff kMaxStateBytes = 1 << 20; // far above any state of this plug-in

std::vector<char> readStateFile (const std::string& path)
{
	struct stat status {};
	if (::stat (path.c_str (), &status) != 0)
		throw RenderError ("cannot read state file \"" + path + "\": " + std::strerror (errno));
	if (S_ISDIR (status.st_mode))
		throw RenderError ("cannot read state file \"" + path + "\": it is a folder");
	std::ifstream file (path, std::ios::binary);
	if (!file)
		throw RenderError ("cannot read state file \"" + path + "\": " + std::strerror (errno));
	if (status.st_size > kMaxStateBytes)
		throw RenderError ("\"" + path + "\" is too large to be a state file of this plug-in");
	std::vector<char> bytes ((std::istreambuf_iterator<char> (file)), std::istreambuf_iterator<char> ());
	if (file.bad ())
		throw RenderError ("cannot read state file \"" + path + "\"");
	return bytes;
}

bool sameFile (const std::string& a, const std::string& b)
{
	struct stat first {};
	struct stat second {};
	return ::stat (a.c_str (), &first) == 0 && ::stat (b.c_str (), &second) == 0 &&
	       first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::unique_ptr<InputSignal> openInput (const RenderOptions& options)
{
	if (options.inputPath.empty ())
		return std::make_unique<TestSignal> (options.testSignalRate);
	return std::make_unique<AudioFileReader> (options.inputPath);
}

int render (const RenderOptions& options, std::ostream& out, std::ostream& err,
            const volatile std::sig_atomic_t* stopRequested)
{
	// Cheap checks of the files first, before the plug-in is loaded.
	std::unique_ptr<InputSignal> input;
	int outputFormat = 0;
	if (!options.list)
	{
		input = openInput (options);
		outputFormat = outputFormatFor (options.outputPath, options.encoding);
		if (!options.inputPath.empty () && sameFile (options.inputPath, options.outputPath))
			throw UsageError ("the output \"" + options.outputPath + "\" would overwrite the input");
	}
	std::vector<char> storedState;
	if (!options.stateIn.empty ())
		storedState = readStateFile (options.stateIn);
	const double sampleRate = input ? input->sampleRate () : options.testSignalRate;

	PluginModule module (options.bundlePath);
	HostedPlugin plugin (module);
	ParameterTable parameters (plugin.controller ());

	// Typed values become normalised values through the controller.
	ParameterChanges settings;
	for (const auto& setting : options.settings)
	{
		const auto& entry = parameters.find (setting.title);
		settings.add (entry.id, 0, parameters.normalizedFromText (entry, setting.value));
	}
	std::vector<ScheduledChange> automation;
	for (const auto& point : options.automations)
	{
		const auto& entry = parameters.find (point.title);
		automation.push_back ({frameOfTime (point.seconds, sampleRate), entry.id,
		                       parameters.normalizedFromText (entry, point.value)});
	}

	if (!options.stateIn.empty ())
		plugin.restoreState (storedState, "\"" + options.stateIn + "\"");
	plugin.prepare (sampleRate, options.blockSize, options.precision);
	plugin.applyParameterChanges (settings);

	if (options.list)
	{
		parameters.print (out);
		return kExitSuccess;
	}

	PendingFile audioFile (options.outputPath);
	std::unique_ptr<PendingFile> stateFile;
	if (!options.stateOut.empty ())
		stateFile = std::make_unique<PendingFile> (options.stateOut);
	AudioFileWriter writer (audioFile.descriptor (), options.outputPath, outputFormat, sampleRate);
	ProgressLine progress (stderr, !options.quiet);

	RenderJob job;
	job.plugin = &plugin;
	job.input = input.get ();
	job.output = &writer;
	job.progress = &progress;
	job.stopRequested = stopRequested;
	job.blockSize = options.blockSize;
	job.precision = options.precision;
	job.changes = automation;
	const RenderResult result = Render::render (job);
	writer.close ();

	if (stateFile)
		stateFile->write (plugin.saveState ());
	audioFile.commit ();
	if (stateFile)
		stateFile->commit ();

	if (result.changesNotReached > 0)
		err << kProgramName << ": warning: " << result.changesNotReached
		    << " automation point(s) lie after the end of the render and had no effect\n";
	if (!options.quiet)
	{
		out << kProgramName << ": wrote " << options.outputPath << " (" << result.frames
		    << " frames, " << std::fixed << std::setprecision (2)
		    << static_cast<double> (result.frames) / sampleRate << " s at " << std::setprecision (0)
		    << sampleRate << " Hz)";
		if (stateFile)
			out << " and " << options.stateOut;
		out << "\n";
	}
	return kExitSuccess;
}

} // namespace

int runRenderApp (int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                  const volatile std::sig_atomic_t* stopRequested)
{
	const std::string defaultBundle = CALVIR_DEFAULT_BUNDLE;
	try
	{
		const RenderOptions options = parseCommandLine (argc, argv, defaultBundle);
		if (options.help)
		{
			out << helpText (defaultBundle);
			return kExitSuccess;
		}
		return render (options, out, err, stopRequested);
	}
	catch (const UsageError& error)
	{
		err << kProgramName << ": " << error.what () << "\n";
		return kExitUsage;
	}
	catch (const std::exception& error)
	{
		err << kProgramName << ": " << error.what () << "\n";
		return kExitFailure;
	}
}

} // namespace Render
} // namespace Calvir
