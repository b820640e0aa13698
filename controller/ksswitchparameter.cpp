#include "controller/ksswitchparameter.h"

#include "controller/plainvaluetext.h"

namespace Steinberg {
namespace Vst {

namespace {

constexpr int32 kOnOffStepCount = 1;
constexpr ParamValue kOff = 0.0;
constexpr ParamValue kOn = 1.0;

bool isAsciiSpace (TChar unit)
{
	return unit == u' ' || unit == u'\t' || unit == u'\n' || unit == u'\v' || unit == u'\f' || unit == u'\r';
}

TChar asciiLower (TChar unit)
{
	return (unit >= u'A' && unit <= u'Z') ? static_cast<TChar> (unit - u'A' + u'a') : unit;
}

// Whether the text is the lower-case ASCII word, in any case, with nothing
// but white space around it.
bool isWord (const TChar* string, const char16_t* word)
{
	while (isAsciiSpace (*string))
		++string;
	for (; *word != 0; ++word, ++string)
		if (asciiLower (*string) != *word)
			return false;
	while (isAsciiSpace (*string))
		++string;
	return *string == 0;
}

} // namespace

//------------------------------------------------------------------------
KSSwitchParameter::KSSwitchParameter (const TChar* title, ParamID tag, int32 flags,
                                      ParamValue defaultValueNormalized)
: Parameter (title, tag, nullptr, defaultValueNormalized, kOnOffStepCount, flags, kRootUnitId, nullptr)
{
}

//------------------------------------------------------------------------
bool KSSwitchParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	if (!string)
		return false;
	if (isWord (string, u"on"))
	{
		valueNormalized = kOn;
		return true;
	}
	if (isWord (string, u"off"))
	{
		valueNormalized = kOff;
		return true;
	}
	ParamValue number = 0.0;
	if (!readNumber (string, number))
		return false;
	// −0 and everything below 0 become 0.
	valueNormalized = number > kOn ? kOn : number > kOff ? number : kOff;
	return true;
}

} // namespace Vst
} // namespace Steinberg
