// Text form of a parameter's plain value: the display string and the reading
// of a typed value, shared by the controller's parameter classes.
#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg {
namespace Vst {

// Writes plain with "%.*lf" and the given number of decimals into the
// caller's 128-unit buffer. A value whose text does not fit the buffer, or a
// failing format, leaves an empty string.
void formatPlainValue (ParamValue plain, int32 precision, String128 string);

// Reads the decimal number at the start of a typed text (leading white space
// skipped, trailing text ignored; "inf" and out-of-range exponents read as
// infinities). Only the first 128 units of the text are looked at; a unit
// outside ASCII ends the number. Text that holds no number, "nan" and a null
// text yield false and leave number alone.
bool readNumber (const TChar* string, ParamValue& number);

// Reads a typed value as readNumber does, except that text that holds no
// number, and "nan", reads as 0. A null text yields false.
bool scanPlainValue (const TChar* string, ParamValue& plain);

// A typed value for a range parameter: the number read by scanPlainValue,
// clamped to the parameter's plain range and converted with the parameter's
// own mapping. A null text yields false and leaves valueNormalized alone.
bool typedValueToNormalized (const RangeParameter& parameter, const TChar* string,
                             ParamValue& valueNormalized);

} // namespace Vst
} // namespace Steinberg
