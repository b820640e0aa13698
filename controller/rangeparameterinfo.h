// The descriptive part of a continuous range parameter's information, shared
// by the controller's linear and exponential parameter classes.
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

namespace Steinberg {
namespace Vst {

// Title and units (at most 127 characters each, a null units text leaves the
// field empty), flags and ID; step count 0, root unit, no short title.
void describeRangeParameter (ParameterInfo& info, const TChar* title, ParamID tag,
                             const TChar* units, int32 flags);

} // namespace Vst
} // namespace Steinberg
