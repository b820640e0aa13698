#include "controller/ksrangeparameter.h"

#include "controller/plainvaluetext.h"
#include "controller/rangeparameterinfo.h"

#include <cmath>

namespace Steinberg {
namespace Vst {

namespace {

// Plain values closer to zero than this show as "0.00…" without a minus sign,
// whatever the precision.
constexpr ParamValue kZeroDisplayThreshold = 5e-5;

} // namespace

//------------------------------------------------------------------------
KSRangeParameter::KSRangeParameter (const TChar* title, ParamID tag, const TChar* units,
                                    int32 flags, ParamValue minPlain, ParamValue maxPlain,
                                    ParamValue defaultValuePlain)
{
	this->minPlain = minPlain;
	this->maxPlain = maxPlain;
	describeRangeParameter (info, title, tag, units, flags);
	// Called here, not in the base, so that this class's mapping applies.
	info.defaultNormalizedValue = valueNormalized = toNormalized (defaultValuePlain);
}

//------------------------------------------------------------------------
KSRangeParameter::~KSRangeParameter () = default;

//------------------------------------------------------------------------
void KSRangeParameter::toString (ParamValue valueNormalized, String128 string) const
{
	ParamValue plain = toPlain (valueNormalized);
	if (std::fabs (plain) < kZeroDisplayThreshold)
		plain = 0.0;
	formatPlainValue (plain, precision, string);
}

//------------------------------------------------------------------------
bool KSRangeParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return typedValueToNormalized (*this, string, valueNormalized);
}

} // namespace Vst
} // namespace Steinberg
