#include "toolkit/cswitch.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

CSwitchBase::CSwitchBase (const CRect& size, IControlListener* listener, int32_t tag,
                          CBitmap* background)
: CControl (size, listener, tag, background)
{
}

void CSwitchBase::setNumPositions (int32_t count)
{
	numPositions = std::max<int32_t> (count, 2);
}

double CSwitchBase::normalizedFromIndex (int32_t index) const
{
	return static_cast<double> (index) / (numPositions - 1);
}

int32_t CSwitchBase::indexFromFraction (double fraction) const
{
	const double position = std::floor (fraction * numPositions);
	if (!(position >= 0.))
		return 0;
	return static_cast<int32_t> (std::min<double> (position, numPositions - 1));
}

CMouseEventResult CSwitchBase::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	if (!buttons.isLeftButton ())
		return kMouseEventNotHandled;

	beginEdit ();
	if (checkDefaultValue (buttons))
	{
		endEdit ();
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	}
	startValue = getValue ();
	tracking = true;
	return onMouseMoved (where, buttons);
}

CMouseEventResult CSwitchBase::onMouseMoved (CPoint& where, const CButtonState& /*buttons*/)
{
	if (!tracking)
		return kMouseEventNotHandled;
	const float oldValue = getValue ();
	setValueNormalized (static_cast<float> (normalizedFromPoint (where)));
	if (getValue () != oldValue)
	{
		invalid ();
		valueChanged ();
	}
	return kMouseEventHandled;
}

CMouseEventResult CSwitchBase::onMouseUp (CPoint& /*where*/, const CButtonState& /*buttons*/)
{
	if (!tracking)
		return kMouseEventNotHandled;
	tracking = false;
	endEdit ();
	return kMouseEventHandled;
}

CMouseEventResult CSwitchBase::onMouseCancel ()
{
	if (!tracking)
		return kMouseEventNotHandled;
	tracking = false;
	if (getValue () != startValue)
	{
		setValue (startValue);
		invalid ();
		valueChanged ();
	}
	endEdit ();
	return kMouseEventHandled;
}

double CVerticalSwitch::normalizedFromPoint (const CPoint& where) const
{
	const CRect& rect = getViewSize ();
	if (rect.getHeight () <= 0.)
		return normalizedFromIndex (0);
	return normalizedFromIndex (indexFromFraction ((where.y - rect.top) / rect.getHeight ()));
}

double CHorizontalSwitch::normalizedFromPoint (const CPoint& where) const
{
	const CRect& rect = getViewSize ();
	if (rect.getWidth () <= 0.)
		return normalizedFromIndex (0);
	return normalizedFromIndex (indexFromFraction ((where.x - rect.left) / rect.getWidth ()));
}

} // namespace VSTGUI
