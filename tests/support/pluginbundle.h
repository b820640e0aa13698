// Loads the built module as a Linux VST 3 host does: dlopen of the bundle's
// shared library, ModuleEntry with the library handle, GetPluginFactory; and
// on unload ModuleExit and dlclose.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <string>

namespace CalvirTestSupport {

class PluginBundle
{
public:
	using GetFactoryProc = Steinberg::IPluginFactory* (PLUGIN_API*) ();
	using ModuleEntryProc = bool (*) (void*);
	using ModuleExitProc = bool (*) ();

	// The shared library inside the bundle this build produced.
	static std::string builtBinaryPath ();

	PluginBundle () = default;
	~PluginBundle ();
	PluginBundle (const PluginBundle&) = delete;
	PluginBundle& operator= (const PluginBundle&) = delete;

	// Opens the library and calls ModuleEntry; false (with error()) when the
	// library or one of the three entry functions is missing, or when
	// ModuleEntry refuses.
	bool load (const std::string& binaryPath = builtBinaryPath ());
	// Calls ModuleExit and closes the library; answers ModuleExit's result.
	bool unload ();
	bool isLoaded () const { return handle != nullptr; }

	// One call of the module's GetPluginFactory: the caller owns the reference.
	Steinberg::IPluginFactory* getFactory () const;

	void* libraryHandle () const { return handle; }
	GetFactoryProc getFactoryProc () const { return getFactoryFunc; }
	ModuleEntryProc moduleEntryProc () const { return entryFunc; }
	ModuleExitProc moduleExitProc () const { return exitFunc; }
	const std::string& error () const { return lastError; }

private:
	void* handle {nullptr};
	GetFactoryProc getFactoryFunc {nullptr};
	ModuleEntryProc entryFunc {nullptr};
	ModuleExitProc exitFunc {nullptr};
	std::string lastError;
};

} // namespace CalvirTestSupport
