// An on/off parameter (the bypass switch): one step, shown as "On" above one
// half and "Off" otherwise, as the SDK's parameter shows a one-step value.
#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg {
namespace Vst {

class KSSwitchParameter : public Parameter
{
public:
	// Step count 1, no units, root unit, no short title; the value starts at
	// the default.
	KSSwitchParameter (const TChar* title, ParamID tag, int32 flags, ParamValue defaultValueNormalized);

	// Reads a typed value: "On" as 1 and "Off" as 0 in any case (white space
	// around the word ignored), or a number as readNumber reads it (white
	// space before it skipped, text after it ignored), clamped into [0, 1].
	// Anything else (no number, "nan", a null text) is refused: false, and
	// valueNormalized is left as it was. The display strings ("On", "Off")
	// so read back as the values they show.
	bool fromString (const TChar* string, ParamValue& valueNormalized) const SMTG_OVERRIDE;
};

} // namespace Vst
} // namespace Steinberg
