#include "toolkit/cbuttons.h"

namespace VSTGUI {

COnOffButton::COnOffButton (const CRect& size, IControlListener* listener, int32_t tag,
                            CBitmap* background)
: CControl (size, listener, tag, background)
{
}

CMouseEventResult COnOffButton::onMouseDown (CPoint& /*where*/, const CButtonState& buttons)
{
	if (!buttons.isLeftButton ())
		return kMouseEventNotHandled;
	beginEdit ();
	setValue (getValue () == getMax () ? getMin () : getMax ());
	invalid ();
	valueChanged ();
	endEdit ();
	return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

} // namespace VSTGUI
