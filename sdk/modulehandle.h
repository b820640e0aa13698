// The handle of the loaded module, as the host passed it to ModuleEntry.
// Code that needs the module's own files (the bundle's resources) starts
// from it; it is null before ModuleEntry and after the last ModuleExit.
#pragma once

namespace Steinberg {

void* getModuleHandle ();
void setModuleHandle (void* handle);

} // namespace Steinberg
