// The processor's persistent parameter record and its 140-byte stream form.
#pragma once

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {

struct PlugState
{
	static constexpr int32 kNumReserved = 6;
	static constexpr int32 kNumReservedFlags = 4;
	static constexpr int32 kStreamBytes = 140;

	bool bypass {false};
	ParamValue level {0.75};
	ParamValue mix {0.5};
	ParamValue predelay {0.251074};
	ParamValue rvbTime {0.537244};
	ParamValue size {0.588592};
	ParamValue diffusion {1.0};
	ParamValue hfDamp {0.75};
	ParamValue lpCut {0.516993};
	double reserved[kNumReserved] {};
	bool reservedFlags[kNumReservedFlags] {};

	// Fills the record from the stream: kResultOk when all 140 bytes were read,
	// else kResultFalse with the record untouched.
	tresult read (IBStream* stream);
	// Appends the record's 140 bytes: kResultOk when every write went through.
	tresult write (IBStream* stream) const;
};

} // namespace Vst
} // namespace Steinberg
