#include "sdk/modulehandle.h"

namespace Steinberg {

namespace {
void* moduleHandle = nullptr;
}

void* getModuleHandle ()
{
	return moduleHandle;
}

void setModuleHandle (void* handle)
{
	moduleHandle = handle;
}

} // namespace Steinberg
