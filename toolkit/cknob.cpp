#include "toolkit/cknob.h"

#include "toolkit/cframe.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2. * kPi;
// Lower left (135 degrees clockwise from the x axis, y downwards) ...
constexpr float kDefaultStartAngle = static_cast<float> (3. * kPi / 4.);
// ... over the top to lower right.
constexpr float kDefaultRangeAngle = static_cast<float> (3. * kPi / 2.);

// The angle brought into [0, 2 pi).
double wrapPositive (double angle)
{
	angle = std::fmod (angle, kTwoPi);
	return angle < 0. ? angle + kTwoPi : angle;
}

// The angle brought into [-pi, pi).
double wrapSigned (double angle)
{
	return wrapPositive (angle + kPi) - kPi;
}

} // namespace

CKnobBase::CKnobBase (const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background)
: CControl (size, listener, tag, background)
, startAngle (kDefaultStartAngle)
, rangeAngle (kDefaultRangeAngle)
{
}

double CKnobBase::angleFromPoint (const CPoint& where) const
{
	const CPoint centre = getViewSize ().getCenter ();
	return std::atan2 (where.y - centre.y, where.x - centre.x);
}

float CKnobBase::valueFromPoint (const CPoint& where) const
{
	double relative = wrapPositive (angleFromPoint (where) - startAngle);
	if (rangeAngle <= 0.f)
		return getMin ();
	if (relative > rangeAngle)
	{
		// In the gap between maximum and minimum: the nearer end.
		const double gapMiddle = rangeAngle + (kTwoPi - rangeAngle) / 2.;
		relative = relative < gapMiddle ? rangeAngle : 0.;
	}
	return static_cast<float> (getMin () + relative / rangeAngle * getRange ());
}

CMouseEventResult CKnobBase::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	if ((buttons & kMouseButtonMask) != kLButton)
		return kMouseEventNotHandled;

	invalidMouseWheelEditTimer (this);
	beginEdit ();
	if (checkDefaultValue (buttons))
	{
		endEdit ();
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	}

	// The host's knob mode; Option (which alone would have been a reset)
	// held with another modifier swaps linear and circular dragging.
	const CFrame* frame = getFrame ();
	int32_t mode = frame ? frame->getKnobMode () : kCircularMode;
	if (buttons & kAlt)
		mode = (mode == kLinearMode) ? kCircularMode : kLinearMode;

	mouseState.mode = mode;
	mouseState.firstPoint = where;
	mouseState.lastPoint = where;
	mouseState.startValue = getValue ();
	mouseState.entryValue = getValue ();
	mouseState.range = kLinearRangePixels * ((buttons & kZoomModifier) ? zoomFactor : 1.f);
	mouseState.lastAngle = angleFromPoint (where);
	mouseState.oldButton = buttons;
	mouseState.active = true;
	return onMouseMoved (where, buttons);
}

CMouseEventResult CKnobBase::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (!mouseState.active)
		return kMouseEventNotHandled;

	double newValue = getValue ();
	switch (mouseState.mode)
	{
		case kLinearMode:
		{
			// A change of the zoom modifier restarts the drag from here.
			if ((buttons & kZoomModifier) != (mouseState.oldButton & kZoomModifier))
			{
				mouseState.firstPoint = where;
				mouseState.startValue = getValue ();
				mouseState.range =
				    kLinearRangePixels * ((buttons & kZoomModifier) ? zoomFactor : 1.f);
				mouseState.oldButton = buttons;
			}
			// Right and up increase the value.
			const double distance = (where.x - mouseState.firstPoint.x) -
			                        (where.y - mouseState.firstPoint.y);
			newValue = mouseState.startValue + distance / mouseState.range * getRange ();
			break;
		}
		case kRelativCircularMode:
		{
			const double angle = angleFromPoint (where);
			const double delta = wrapSigned (angle - mouseState.lastAngle);
			mouseState.lastAngle = angle;
			if (rangeAngle > 0.f)
				newValue = getValue () + delta / rangeAngle * getRange ();
			break;
		}
		default:
			newValue = valueFromPoint (where);
			break;
	}
	mouseState.lastPoint = where;

	// Clamped while still in double precision: a far pointer stays a number.
	const double low = std::min (getMin (), getMax ());
	const double high = std::max (getMin (), getMax ());
	const float oldValue = getValue ();
	setValue (static_cast<float> (std::min (std::max (newValue, low), high)));
	if (getValue () != oldValue)
	{
		invalid ();
		valueChanged ();
	}
	return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseUp (CPoint& /*where*/, const CButtonState& /*buttons*/)
{
	if (!mouseState.active)
		return kMouseEventNotHandled;
	mouseState.active = false;
	endEdit ();
	return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseCancel ()
{
	if (!mouseState.active)
		return kMouseEventNotHandled;
	mouseState.active = false;
	if (getValue () != mouseState.entryValue)
	{
		setValue (mouseState.entryValue);
		invalid ();
		valueChanged ();
	}
	endEdit ();
	return kMouseEventHandled;
}

bool CKnobBase::onWheel (const CPoint& /*where*/, const CMouseWheelAxis& /*axis*/,
                         const float& distance, const CButtonState& buttons)
{
	if (!getMouseEnabled ())
		return false;
	onMouseWheelEditing (this);
	float step = distance * getWheelInc () * getRange ();
	if (buttons & kZoomModifier)
		step /= zoomFactor;
	const float oldValue = getValue ();
	setValue (oldValue + step);
	if (getValue () != oldValue)
	{
		invalid ();
		valueChanged ();
	}
	return true;
}

} // namespace VSTGUI
