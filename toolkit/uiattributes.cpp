#include "toolkit/uiattributes.h"

#include <charconv>
#include <cmath>
#include <locale>
#include <sstream>

namespace VSTGUI {

namespace {

constexpr char kTrue[] = "true";
constexpr char kFalse[] = "false";
constexpr size_t kPointComponents = 2;
constexpr size_t kRectComponents = 4;

bool isBlank (char c)
{
	return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Parses the whole of [first, last) (blanks around allowed) as a number,
// independently of the process locale.
bool parseDouble (const char* first, const char* last, double& value)
{
	while (first < last && isBlank (*first))
		++first;
	while (last > first && isBlank (last[-1]))
		--last;
	if (first == last)
		return false;
	if (*first == '+')
		++first;
	double parsed = 0.;
	const auto result = std::from_chars (first, last, parsed);
	if (result.ec != std::errc () || result.ptr != last || !std::isfinite (parsed))
		return false;
	value = parsed;
	return true;
}

} // namespace

bool UIAttributes::hasAttribute (const std::string& name) const
{
	return attributes.find (name) != attributes.end ();
}

const std::string* UIAttributes::getAttributeValue (const std::string& name) const
{
	auto it = attributes.find (name);
	return it == attributes.end () ? nullptr : &it->second;
}

void UIAttributes::setAttribute (const std::string& name, const std::string& value)
{
	attributes[name] = value;
}

void UIAttributes::removeAttribute (const std::string& name)
{
	attributes.erase (name);
}

void UIAttributes::setBooleanAttribute (const std::string& name, bool value)
{
	setAttribute (name, boolToString (value));
}

bool UIAttributes::getBooleanAttribute (const std::string& name, bool& value) const
{
	const std::string* text = getAttributeValue (name);
	return text && stringToBool (*text, value);
}

void UIAttributes::setIntegerAttribute (const std::string& name, int32_t value)
{
	setAttribute (name, std::to_string (value));
}

bool UIAttributes::getIntegerAttribute (const std::string& name, int32_t& value) const
{
	const std::string* text = getAttributeValue (name);
	return text && stringToInteger (*text, value);
}

void UIAttributes::setDoubleAttribute (const std::string& name, double value)
{
	setAttribute (name, doubleToString (value));
}

bool UIAttributes::getDoubleAttribute (const std::string& name, double& value) const
{
	const std::string* text = getAttributeValue (name);
	return text && stringToDouble (*text, value);
}

void UIAttributes::setPointAttribute (const std::string& name, const CPoint& p)
{
	setAttribute (name, pointToString (p));
}

bool UIAttributes::getPointAttribute (const std::string& name, CPoint& p) const
{
	const std::string* text = getAttributeValue (name);
	return text && stringToPoint (*text, p);
}

void UIAttributes::setRectAttribute (const std::string& name, const CRect& r)
{
	setAttribute (name, rectToString (r));
}

bool UIAttributes::getRectAttribute (const std::string& name, CRect& r) const
{
	const std::string* text = getAttributeValue (name);
	return text && stringToRect (*text, r);
}

std::string UIAttributes::boolToString (bool value)
{
	return value ? kTrue : kFalse;
}

bool UIAttributes::stringToBool (const std::string& text, bool& value)
{
	if (text == kTrue)
		value = true;
	else if (text == kFalse)
		value = false;
	else
		return false;
	return true;
}

std::string UIAttributes::doubleToString (double value, uint32_t precision)
{
	std::ostringstream stream;
	stream.imbue (std::locale::classic ());
	stream.precision (precision);
	stream << value;
	return stream.str ();
}

bool UIAttributes::stringToDouble (const std::string& text, double& value)
{
	return parseDouble (text.data (), text.data () + text.size (), value);
}

bool UIAttributes::stringToInteger (const std::string& text, int32_t& value)
{
	const char* first = text.data ();
	const char* last = first + text.size ();
	while (first < last && isBlank (*first))
		++first;
	while (last > first && isBlank (last[-1]))
		--last;
	if (first < last && *first == '+')
		++first;
	int32_t parsed = 0;
	const auto result = std::from_chars (first, last, parsed);
	if (first == last || result.ec != std::errc () || result.ptr != last)
		return false;
	value = parsed;
	return true;
}

std::string UIAttributes::pointToString (const CPoint& p)
{
	return doubleToString (p.x) + ", " + doubleToString (p.y);
}

bool UIAttributes::stringToPoint (const std::string& text, CPoint& p)
{
	std::vector<double> values;
	if (!stringToDoubles (text, values) || values.size () != kPointComponents)
		return false;
	p (values[0], values[1]);
	return true;
}

std::string UIAttributes::rectToString (const CRect& r)
{
	return doubleToString (r.left) + ", " + doubleToString (r.top) + ", " +
	       doubleToString (r.right) + ", " + doubleToString (r.bottom);
}

bool UIAttributes::stringToRect (const std::string& text, CRect& r)
{
	std::vector<double> values;
	if (!stringToDoubles (text, values) || values.size () != kRectComponents)
		return false;
	r (values[0], values[1], values[2], values[3]);
	return true;
}

bool UIAttributes::stringToDoubles (const std::string& text, std::vector<double>& values)
{
	std::vector<double> parsed;
	const char* first = text.data ();
	const char* end = first + text.size ();
	for (;;)
	{
		const char* comma = first;
		while (comma < end && *comma != ',')
			++comma;
		double value = 0.;
		if (!parseDouble (first, comma, value))
			return false;
		parsed.push_back (value);
		if (comma == end)
			break;
		first = comma + 1;
	}
	values = std::move (parsed);
	return true;
}

} // namespace VSTGUI
