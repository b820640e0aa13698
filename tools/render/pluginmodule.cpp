#include "tools/render/pluginmodule.h"

#include "tools/render/rendererror.h"

#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>

namespace Calvir {
namespace Render {

using namespace Steinberg;

namespace {

const char* const kBundleSuffix = ".vst3";
const char* const kArchitectureFolder = "/Contents/x86_64-linux/";

using ModuleEntryFunc = bool (PLUGIN_API*) (void*);
using ModuleExitFunc = bool (PLUGIN_API*) ();
using GetFactoryFunc = IPluginFactory* (PLUGIN_API*) ();

bool isDirectory (const std::string& path)
{
	struct stat info {};
	return ::stat (path.c_str (), &info) == 0 && S_ISDIR (info.st_mode);
}

} // namespace

std::string PluginModule::resolveLibraryPath (const std::string& path)
{
	if (!isDirectory (path))
		return path;
	std::string folder = path;
	while (folder.size () > 1 && folder.back () == '/')
		folder.pop_back ();
	auto slash = folder.rfind ('/');
	std::string name = slash == std::string::npos ? folder : folder.substr (slash + 1);
	const auto suffixLength = std::strlen (kBundleSuffix);
	if (name.size () > suffixLength &&
	    name.compare (name.size () - suffixLength, suffixLength, kBundleSuffix) == 0)
		name.erase (name.size () - suffixLength);
	return folder + kArchitectureFolder + name + ".so";
}

PluginModule::PluginModule (const std::string& path) : library (resolveLibraryPath (path))
{
	struct stat info {};
	if (::stat (library.c_str (), &info) != 0)
		throw RenderError ("plug-in not found: \"" + library +
		                   "\" (build it first, or name it with --bundle)");

	handle = ::dlopen (library.c_str (), RTLD_NOW | RTLD_LOCAL);
	if (!handle)
	{
		const char* reason = ::dlerror ();
		throw RenderError ("cannot load the plug-in \"" + library + "\": " +
		                   (reason ? reason : "unknown reason"));
	}

	auto entry = reinterpret_cast<ModuleEntryFunc> (::dlsym (handle, "ModuleEntry"));
	auto getFactory = reinterpret_cast<GetFactoryFunc> (::dlsym (handle, "GetPluginFactory"));
	if (!entry || !getFactory || !::dlsym (handle, "ModuleExit"))
	{
		unload ();
		throw RenderError ("\"" + library +
		                   "\" is not a VST 3 module (ModuleEntry, ModuleExit or GetPluginFactory "
		                   "missing)");
	}
	if (!entry (handle))
	{
		unload ();
		throw RenderError ("the plug-in \"" + library + "\" refused to start (ModuleEntry failed)");
	}
	entered = true;

	pluginFactory = getFactory ();
	if (!pluginFactory)
	{
		unload ();
		throw RenderError ("the plug-in \"" + library + "\" returned no factory");
	}
}

PluginModule::~PluginModule ()
{
	unload ();
}

void PluginModule::unload ()
{
	if (pluginFactory)
	{
		pluginFactory->release ();
		pluginFactory = nullptr;
	}
	if (entered)
	{
		if (auto exitFunc = reinterpret_cast<ModuleExitFunc> (::dlsym (handle, "ModuleExit")))
			exitFunc ();
		entered = false;
	}
	if (handle)
	{
		::dlclose (handle);
		handle = nullptr;
	}
}

bool PluginModule::findClass (const char* category, TUID cid) const
{
	const int32 count = pluginFactory->countClasses ();
	for (int32 index = 0; index < count; ++index)
	{
		PClassInfo info {};
		if (pluginFactory->getClassInfo (index, &info) != kResultOk)
			continue;
		if (std::strncmp (info.category, category, PClassInfo::kCategorySize) == 0)
		{
			std::memcpy (cid, info.cid, sizeof (TUID));
			return true;
		}
	}
	return false;
}

} // namespace Render
} // namespace Calvir
