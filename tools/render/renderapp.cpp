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
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
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

// Reads at most one byte more than the largest state accepted, so that a
// device or a pipe without end cannot exhaust the memory.
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
	std::vector<char> bytes (kMaxStateBytes + 1);
	file.read (bytes.data (), static_cast<std::streamsize> (bytes.size ()));
	if (file.bad ())
		throw RenderError ("cannot read state file \"" + path + "\"");
	if (file.gcount () > kMaxStateBytes)
		throw RenderError ("\"" + path + "\" is too large to be a state file of this plug-in (more than " +
		                   std::to_string (kMaxStateBytes) + " bytes)");
	bytes.resize (static_cast<size_t> (file.gcount ()));
	return bytes;
}

// What a path names: the file's device and inode where it exists, else the
// resolved absolute path of its folder and its name. Other spellings of a
// path and symbolic links to a file give the same identity.
struct FileIdentity
{
	dev_t device {0};
	ino_t inode {0};
	std::string path;

	bool operator== (const FileIdentity& other) const
	{
		return device == other.device && inode == other.inode && path == other.path;
	}
};

FileIdentity identify (const std::string& path)
{
	struct stat status {};
	if (::stat (path.c_str (), &status) == 0)
		return {status.st_dev, status.st_ino, {}};
	const auto slash = path.rfind ('/');
	const std::string folder = slash == std::string::npos ? "." : path.substr (0, slash + 1);
	char resolved[PATH_MAX];
	return {0, 0, (::realpath (folder.c_str (), resolved) ? resolved : folder) + "/" +
	                  path.substr (slash + 1)};
}

// No file is written twice or replaces a file that is read. --state-in and
// --state-out may be one file: the state is read before anything is written.
void refuseSameFiles (const RenderOptions& options)
{
	struct Role
	{
		const char* name;
		const std::string& path;
	};
	enum { kInput, kStateIn, kOutput, kStateOut, kRoles }; // the files read come first
	const Role roles[kRoles] = {{"the input", options.inputPath}, {"--state-in", options.stateIn},
	                            {"the output", options.outputPath}, {"--state-out", options.stateOut}};
	for (int written = kOutput; written < kRoles; ++written)
		for (int other = kInput; other < written; ++other)
		{
			const Role& a = roles[written];
			const Role& b = roles[other];
			if (a.path.empty () || b.path.empty () || (written == kStateOut && other == kStateIn))
				continue;
			if (identify (a.path) == identify (b.path))
				throw UsageError (std::string (a.name) + " \"" + a.path + "\" would overwrite " + b.name +
				                  " \"" + b.path + "\"");
		}
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
		refuseSameFiles (options);
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

	// Both files are complete before either replaces its destination.
	if (stateFile)
	{
		stateFile->write (plugin.saveState ());
		stateFile->finish ();
	}
	audioFile.finish ();
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
