// A loaded VST 3 module: the bundle's shared library opened with dlopen,
// entered through ModuleEntry, its factory taken from GetPluginFactory; and
// on destruction the factory released, ModuleExit called and the library
// closed, in that order.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/ipluginbase.h"

#include <string>

namespace Calvir {
namespace Render {

class PluginModule
{
public:
	// path: a ".vst3" bundle folder or the shared library itself.
	// Throws RenderError when the module cannot be loaded or entered.
	explicit PluginModule (const std::string& path);
	~PluginModule ();

	PluginModule (const PluginModule&) = delete;
	PluginModule& operator= (const PluginModule&) = delete;

	Steinberg::IPluginFactory* factory () const { return pluginFactory; }
	const std::string& libraryPath () const { return library; }

	// Finds the first class of the given category ("Audio Module Class",
	// "Component Controller Class"); false when there is none.
	bool findClass (const char* category, Steinberg::TUID cid) const;

	// The shared library inside a bundle folder, or path itself for a file.
	static std::string resolveLibraryPath (const std::string& path);

private:
	std::string library;
	void* handle {nullptr};
	bool entered {false};
	Steinberg::IPluginFactory* pluginFactory {nullptr};

	void unload ();
};

} // namespace Render
} // namespace Calvir
