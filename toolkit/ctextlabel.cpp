#include "toolkit/ctextlabel.h"

namespace VSTGUI {

CTextLabel::CTextLabel (const CRect& size, UTF8StringPtr text, CBitmap* background)
: CControl (size, nullptr, -1, background), text (text)
{
	// A label shows text; it takes no mouse input.
	setMouseEnabled (false);
}

void CTextLabel::setText (const UTF8String& newText)
{
	if (text == newText)
		return;
	text = newText;
	invalid ();
}

} // namespace VSTGUI
