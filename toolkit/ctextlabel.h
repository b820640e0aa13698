// A control showing a line of UTF-8 text.
#pragma once

#include "ccontrol.h"
#include "cstring.h"

namespace VSTGUI {

class CTextLabel : public CControl
{
public:
	explicit CTextLabel (const CRect& size, UTF8StringPtr text = nullptr,
	                     CBitmap* background = nullptr);

	virtual void setText (const UTF8String& text);
	const UTF8String& getText () const { return text; }

private:
	UTF8String text;
};

} // namespace VSTGUI
