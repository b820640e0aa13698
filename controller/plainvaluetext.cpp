#include "controller/plainvaluetext.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace Steinberg {
namespace Vst {

namespace {

// Units in a String128, the terminator included.
constexpr int32 kString128Units = 128;
// Highest code unit that is copied into the narrow text the C library reads.
constexpr TChar kLastAsciiUnit = 0x7F;

// Display strings and typed values always use the decimal point, whatever
// numeric locale the host process has set (a host that calls setlocale with
// the user's language would otherwise get "0,00" and could not read "2.5").
// The scope switches the calling thread only and restores its locale.
class ClassicNumericScope
{
public:
	ClassicNumericScope () : previous (uselocale (classicNumericLocale ())) {}
	~ClassicNumericScope () { uselocale (previous); }
	ClassicNumericScope (const ClassicNumericScope&) = delete;
	ClassicNumericScope& operator= (const ClassicNumericScope&) = delete;

private:
	// Created once and kept for the process's life. Should it be
	// unavailable, uselocale with a null locale changes nothing.
	static locale_t classicNumericLocale ()
	{
		static const locale_t locale = newlocale (LC_NUMERIC_MASK, "C", static_cast<locale_t> (nullptr));
		return locale;
	}

	locale_t previous;
};

} // namespace

//------------------------------------------------------------------------
void formatPlainValue (ParamValue plain, int32 precision, String128 string)
{
	if (!string)
		return;

	char narrow[kString128Units];
	const ClassicNumericScope decimalPoint;
	const int length = std::snprintf (narrow, sizeof (narrow), "%.*lf", precision, plain);
	if (length < 0 || length >= kString128Units)
	{
		string[0] = 0;
		return;
	}
	for (int i = 0; i <= length; ++i)
		string[i] = static_cast<TChar> (static_cast<unsigned char> (narrow[i]));
}

//------------------------------------------------------------------------
bool readNumber (const TChar* string, ParamValue& number)
{
	if (!string)
		return false;

	char narrow[kString128Units];
	int32 length = 0;
	while (length < kString128Units - 1 && string[length] != 0 &&
	       string[length] <= kLastAsciiUnit)
	{
		narrow[length] = static_cast<char> (string[length]);
		++length;
	}
	narrow[length] = 0;

	char* end = nullptr;
	const ClassicNumericScope decimalPoint;
	const double value = std::strtod (narrow, &end);
	if (end == narrow || std::isnan (value))
		return false;
	number = value;
	return true;
}

//------------------------------------------------------------------------
bool scanPlainValue (const TChar* string, ParamValue& plain)
{
	if (!string)
		return false;
	if (!readNumber (string, plain))
		plain = 0.0;
	return true;
}

//------------------------------------------------------------------------
bool typedValueToNormalized (const RangeParameter& parameter, const TChar* string,
                             ParamValue& valueNormalized)
{
	ParamValue plain = 0.0;
	if (!scanPlainValue (string, plain))
		return false;
	if (plain < parameter.getMin ())
		plain = parameter.getMin ();
	else if (plain > parameter.getMax ())
		plain = parameter.getMax ();
	valueNormalized = parameter.toNormalized (plain);
	return true;
}

} // namespace Vst
} // namespace Steinberg
