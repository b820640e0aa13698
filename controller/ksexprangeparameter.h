// A continuous parameter with an exponential mapping between its normalised
// value and its plain range: plain = min × (max ∕ min) ^ normalised. Needs
// 0 < min < max. The display string shows the plain value alone, with the
// parameter's precision and no unit.
#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg {
namespace Vst {

class KSExpRangeParameter : public RangeParameter
{
public:
	// The normalised default (and the starting value) is defaultValuePlain
	// mapped exponentially. Step count 0, root unit, no short title.
	KSExpRangeParameter (const TChar* title, ParamID tag, const TChar* units, int32 flags,
	                     ParamValue minPlain, ParamValue maxPlain, ParamValue defaultValuePlain);
	~KSExpRangeParameter () override;

	void toString (ParamValue valueNormalized, String128 string) const SMTG_OVERRIDE;
	// Reads a typed value as the SDK's range parameter does (clamped to the
	// plain range, then converted with this class's mapping), the same on
	// every platform: text that holds no number reads as 0, never as NaN or
	// as a refusal (the SDK's reader refuses such text on some platforms).
	bool fromString (const TChar* string, ParamValue& valueNormalized) const SMTG_OVERRIDE;
	// Neither direction clamps: values outside the range extrapolate.
	ParamValue toPlain (ParamValue valueNormalized) const SMTG_OVERRIDE;
	ParamValue toNormalized (ParamValue plainValue) const SMTG_OVERRIDE;
};

} // namespace Vst
} // namespace Steinberg
