// The module entry of a Linux VST 3 module: the host calls ModuleEntry right
// after loading the shared library and ModuleExit right before unloading it.
// Calls may be nested (several loads of one module); only the outermost pair
// takes and drops the module handle.
#include "pluginterfaces/base/fplatform.h"
#include "sdk/modulehandle.h"

namespace {
int entryCount = 0; // ModuleEntry calls not yet matched by ModuleExit
}

extern "C" {

SMTG_EXPORT_SYMBOL bool ModuleEntry (void* sharedLibraryHandle)
{
	if (++entryCount == 1)
		Steinberg::setModuleHandle (sharedLibraryHandle);
	return true;
}

SMTG_EXPORT_SYMBOL bool ModuleExit ()
{
	if (entryCount <= 0)
		return false;
	if (--entryCount == 0)
		Steinberg::setModuleHandle (nullptr);
	return true;
}

} // extern "C"
