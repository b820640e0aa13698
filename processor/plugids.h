// Identifiers shared by the factory, the processor and the controller:
// the two class IDs and the parameter IDs.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {

// Fixed for ever: hosts find the plug-in, its saved state and the pairing of
// processor and controller by these two IDs.
static const FUID kPlugProcessorUID (0x6B734361, 0x6C766952, 0x6F6F6D50, 0x726F6301);
static const FUID kPlugControllerUID (0x6B734361, 0x6C766952, 0x6F6F6D43, 0x74726C01);

enum PlugParameterId : ParamID
{
	kBypassId = 0,
	kLevelId = 1,
	kMixId = 2,
	kPredelayId = 3,
	kRvbTimeId = 4,
	kSizeId = 5,
	kDiffusionId = 6,
	kHFDampId = 7,
	kLPCutId = 8,

	kNumParameters = 9
};

} // namespace Vst
} // namespace Steinberg
