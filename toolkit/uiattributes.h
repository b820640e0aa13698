// The attributes of one view in a UI description: names with text values,
// and the readers and writers of the typed values (booleans, integers,
// numbers, points "x, y", rectangles "l, t, r, b").
#pragma once

#include "crect.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace VSTGUI {

class UIAttributes
{
public:
	using Map = std::unordered_map<std::string, std::string>;

	UIAttributes () = default;

	bool hasAttribute (const std::string& name) const;
	// The text of the attribute, or null when absent.
	const std::string* getAttributeValue (const std::string& name) const;
	void setAttribute (const std::string& name, const std::string& value);
	void removeAttribute (const std::string& name);
	size_t size () const { return attributes.size (); }
	Map::const_iterator begin () const { return attributes.begin (); }
	Map::const_iterator end () const { return attributes.end (); }

	// Typed access: the getters return false (leaving `value` as it was)
	// when the attribute is absent or its text does not parse completely.
	void setBooleanAttribute (const std::string& name, bool value);
	bool getBooleanAttribute (const std::string& name, bool& value) const;
	void setIntegerAttribute (const std::string& name, int32_t value);
	bool getIntegerAttribute (const std::string& name, int32_t& value) const;
	void setDoubleAttribute (const std::string& name, double value);
	bool getDoubleAttribute (const std::string& name, double& value) const;
	void setPointAttribute (const std::string& name, const CPoint& p);
	bool getPointAttribute (const std::string& name, CPoint& p) const;
	void setRectAttribute (const std::string& name, const CRect& r);
	bool getRectAttribute (const std::string& name, CRect& r) const;

	// Writers and readers of the text forms.
	static std::string boolToString (bool value);
	static bool stringToBool (const std::string& text, bool& value);
	static std::string doubleToString (double value, uint32_t precision = 6);
	static bool stringToDouble (const std::string& text, double& value);
	static bool stringToInteger (const std::string& text, int32_t& value);
	static std::string pointToString (const CPoint& p);
	static bool stringToPoint (const std::string& text, CPoint& p);
	static std::string rectToString (const CRect& r);
	static bool stringToRect (const std::string& text, CRect& r);
	// Splits "a, b, c" at the commas, trimming blanks around each number.
	static bool stringToDoubles (const std::string& text, std::vector<double>& values);

private:
	Map attributes;
};

} // namespace VSTGUI
