// UTF-8 text as the toolkit's views take it.
#pragma once

#include <string>

namespace VSTGUI {

class UTF8String
{
public:
	UTF8String () = default;
	UTF8String (const char* text) : string (text ? text : "") {}
	UTF8String (std::string text) : string (std::move (text)) {}

	const std::string& getString () const { return string; }
	const char* data () const { return string.data (); }
	size_t length () const { return string.length (); }
	bool empty () const { return string.empty (); }
	operator const char* () const { return string.c_str (); }

	bool operator== (const UTF8String& other) const { return string == other.string; }
	bool operator!= (const UTF8String& other) const { return string != other.string; }
	bool operator== (const char* other) const { return other && string == other; }
	bool operator!= (const char* other) const { return !(*this == other); }

private:
	std::string string;
};

} // namespace VSTGUI
