#include "controller/ksexprangeparameter.h"

#include "controller/plainvaluetext.h"
#include "controller/rangeparameterinfo.h"

#include <cmath>

namespace Steinberg {
namespace Vst {

//------------------------------------------------------------------------
KSExpRangeParameter::KSExpRangeParameter (const TChar* title, ParamID tag, const TChar* units,
                                          int32 flags, ParamValue minPlain, ParamValue maxPlain,
                                          ParamValue defaultValuePlain)
{
	this->minPlain = minPlain;
	this->maxPlain = maxPlain;
	describeRangeParameter (info, title, tag, units, flags);
	// Called here, not in the base, so that the exponential mapping applies.
	info.defaultNormalizedValue = valueNormalized = toNormalized (defaultValuePlain);
}

//------------------------------------------------------------------------
KSExpRangeParameter::~KSExpRangeParameter () = default;

//------------------------------------------------------------------------
void KSExpRangeParameter::toString (ParamValue valueNormalized, String128 string) const
{
	formatPlainValue (toPlain (valueNormalized), precision, string);
}

//------------------------------------------------------------------------
bool KSExpRangeParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	return typedValueToNormalized (*this, string, valueNormalized);
}

//------------------------------------------------------------------------
ParamValue KSExpRangeParameter::toPlain (ParamValue valueNormalized) const
{
	const ParamValue min = getMin ();
	const ParamValue ratio = getMax () / min;
	const ParamValue logRatio = std::log (ratio);
	const ParamValue growth = std::exp (logRatio * valueNormalized);
	return growth * min;
}

//------------------------------------------------------------------------
ParamValue KSExpRangeParameter::toNormalized (ParamValue plainValue) const
{
	const ParamValue min = getMin ();
	return std::log (plainValue / min) / std::log (getMax () / min);
}

} // namespace Vst
} // namespace Steinberg
