#include "support/pluginbundle.h"

#include <dlfcn.h>

namespace CalvirTestSupport {

namespace {
constexpr char kBinaryFolder[] = "/Contents/x86_64-linux/";
constexpr char kBinaryName[] = "ks CALVIR Room.so";
} // namespace

std::string PluginBundle::builtBinaryPath ()
{
	return std::string (CALVIR_BUNDLE_DIR) + kBinaryFolder + kBinaryName;
}

PluginBundle::~PluginBundle ()
{
	unload ();
}

bool PluginBundle::load (const std::string& binaryPath)
{
	unload ();
	lastError.clear ();
	handle = dlopen (binaryPath.c_str (), RTLD_NOW | RTLD_LOCAL);
	if (handle == nullptr)
	{
		const char* message = dlerror ();
		lastError = message ? message : "dlopen failed";
		return false;
	}
	getFactoryFunc = reinterpret_cast<GetFactoryProc> (dlsym (handle, "GetPluginFactory"));
	entryFunc = reinterpret_cast<ModuleEntryProc> (dlsym (handle, "ModuleEntry"));
	exitFunc = reinterpret_cast<ModuleExitProc> (dlsym (handle, "ModuleExit"));
	if (getFactoryFunc == nullptr || entryFunc == nullptr || exitFunc == nullptr)
	{
		lastError = "an entry function is missing";
		dlclose (handle);
		handle = nullptr;
		return false;
	}
	if (!entryFunc (handle))
	{
		lastError = "ModuleEntry refused";
		dlclose (handle);
		handle = nullptr;
		return false;
	}
	return true;
}

bool PluginBundle::unload ()
{
	if (handle == nullptr)
		return false;
	const bool exited = exitFunc ();
	dlclose (handle);
	handle = nullptr;
	getFactoryFunc = nullptr;
	entryFunc = nullptr;
	exitFunc = nullptr;
	return exited;
}

Steinberg::IPluginFactory* PluginBundle::getFactory () const
{
	return getFactoryFunc ? getFactoryFunc () : nullptr;
}

} // namespace CalvirTestSupport
