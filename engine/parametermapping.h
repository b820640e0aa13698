// The engine's own mapping of normalised parameter values to its quantities.
// Each function maps a copy of the value clamped to [0, 1]; a NaN maps as the
// parameter's default normalised value. Within [0, 1] the value is used as it
// is, and the record that holds it is never changed.
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {

// The value the engine maps: v clamped to [0, 1], NaN replaced by fallback.
ParamValue engineNormalised (ParamValue v, ParamValue fallback);

double mapLevelGain (ParamValue level);       // linear gain, −36 to +12 dB
double mapMix (ParamValue mix);               // wet gain, 0 to 1
double mapPreDelayMs (ParamValue predelay);   // 0, or 1 to 250 ms
double mapReverbTimeFactor (ParamValue rvbTime); // p = 20^v
double mapReverbTimeMs (ParamValue rvbTime);  // 200·p: 200 to 4000 ms
double mapRoomSize (ParamValue size);         // 20 to 1000 cubic metres
double mapDiffusion (ParamValue diffusion);   // 0, or 0.1 to 1
double mapHFDamping (ParamValue hfDamp);      // 0 to 0.94
double mapLowPassHz (ParamValue lpCut);       // 500 to 16000 Hz

} // namespace Vst
} // namespace Steinberg
