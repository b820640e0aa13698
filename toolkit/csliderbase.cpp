// The slider's geometry, drag, fine adjustment, cancel, wheel and ramp. The
// mode dispatch of a mouse-down, the drag offset and the slider modes are the
// system's own and live in ui/.
#include "csliderbase.h"

#include "cbitmap.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

namespace {

// The style with its orientation bits replaced by `orientation`.
int32_t withOrientation (int32_t style, int32_t orientation)
{
	return (style & ~CSliderBase::kOrientationMask) | orientation;
}

} // namespace

//------------------------------------------------------------------------
// CSliderBase
//------------------------------------------------------------------------
CSliderBase::CSliderBase (const CRect& size, IControlListener* listener, int32_t tag,
                          int32_t style, const CPoint& offsetHandle)
: CControl (size, listener, tag), style (style), offsetHandle (offsetHandle)
{
	updateHandleTravel ();
}

//------------------------------------------------------------------------
// A copy takes the source's geometry, zoom factor and own mode, but no
// gesture in progress and no ramp.
CSliderBase::CSliderBase (const CSliderBase& other)
: CControl (other)
, CMouseWheelEditingSupport ()
, style (other.style)
, offsetHandle (other.offsetHandle)
, handleWidth (other.handleWidth)
, handleHeight (other.handleHeight)
, handleTravel (other.handleTravel)
, zoomFactor (other.zoomFactor)
, mode (other.mode)
{
}

//------------------------------------------------------------------------
CSliderBase::~CSliderBase () noexcept = default;

//------------------------------------------------------------------------
void CSliderBase::beforeDelete ()
{
	// The ramp's callback refers to this slider: stop it before anything goes.
	stopRamp ();
	CControl::beforeDelete ();
}

//------------------------------------------------------------------------
void CSliderBase::setStyle (int32_t newStyle)
{
	style = newStyle;
	updateHandleTravel ();
}

//------------------------------------------------------------------------
void CSliderBase::setOffsetHandle (const CPoint& offset)
{
	offsetHandle = offset;
	updateHandleTravel ();
}

//------------------------------------------------------------------------
void CSliderBase::setZoomFactor (float factor)
{
	// The factor divides the way from the reference toward the pointer: zero,
	// negative or non-finite factors would stop or invert the handle, so they
	// are refused.
	if (std::isfinite (factor) && factor > 0.f)
		zoomFactor = factor;
}

//------------------------------------------------------------------------
void CSliderBase::setHandleSize (CCoord width, CCoord height)
{
	handleWidth = width;
	handleHeight = height;
	updateHandleTravel ();
}

//------------------------------------------------------------------------
void CSliderBase::setViewSize (const CRect& rect, bool invalidate)
{
	CControl::setViewSize (rect, invalidate);
	updateHandleTravel ();
}

//------------------------------------------------------------------------
void CSliderBase::updateHandleTravel ()
{
	const CRect& viewSize = getViewSize ();
	if (isHorizontal ())
		handleTravel = viewSize.getWidth () - (handleWidth + offsetHandle.x * 2.);
	else
		handleTravel = viewSize.getHeight () - (handleHeight + offsetHandle.y * 2.);
}

//------------------------------------------------------------------------
CCoord CSliderBase::getHandleBase () const
{
	return along (getViewSize ().getTopLeft ()) + along (offsetHandle);
}

//------------------------------------------------------------------------
CCoord CSliderBase::getHandlePosition () const
{
	float v = getValueNormalized ();
	if (hasFarMinimum ())
		v = 1.f - v;
	// Whole view units: the product, formed in double precision, truncated
	// toward zero. A control without a range gives no finite product; its
	// handle stays at the base.
	const double product = static_cast<double> (v) * handleTravel;
	constexpr double kInt32Limit = 2147483647.;
	int32_t units = 0;
	if (std::isfinite (product))
		units = static_cast<int32_t> (std::clamp (product, -kInt32Limit, kInt32Limit));
	return getHandleBase () + units;
}

//------------------------------------------------------------------------
CRect CSliderBase::getHandleRect (CCoord position) const
{
	const CRect& viewSize = getViewSize ();
	CRect r;
	if (isHorizontal ())
	{
		r.left = position;
		r.top = viewSize.top + offsetHandle.y;
	}
	else
	{
		r.left = viewSize.left + offsetHandle.x;
		r.top = position;
	}
	r.right = r.left + handleWidth;
	r.bottom = r.top + handleHeight;
	return r;
}

//------------------------------------------------------------------------
void CSliderBase::applyNormalizedValue (double normalized)
{
	// A pointer position that is no number gives no position on the slider.
	if (std::isnan (normalized))
		return;
	const float before = getValue ();
	setValueNormalized (static_cast<float> (std::clamp (normalized, 0., 1.)));
	if (getValue () != before)
	{
		valueChanged ();
		invalid ();
	}
}

//------------------------------------------------------------------------
void CSliderBase::resetFineAdjustment (const CButtonState& buttons)
{
	fineReference = unsetFineReference ();
	fineButtons = buttons;
}

//------------------------------------------------------------------------
// The reference is taken at the first move, again whenever the buttons
// differ from the remembered ones while the zoom modifier is held, and follows
// the value on every move without it. So when Shift is released and pressed
// again with the same buttons, the zoomed moves start from the value before
// the last move without Shift.
void CSliderBase::updateFineReference (const CButtonState& buttons)
{
	const bool zoomed = (buttons & kZoomModifier) != 0;
	if (fineReference == unsetFineReference ())
		fineReference = getValueNormalized ();
	if (zoomed && buttons != fineButtons)
	{
		fineReference = getValueNormalized ();
		fineButtons = buttons;
	}
	else if (!zoomed)
	{
		fineReference = getValueNormalized ();
	}
}

//------------------------------------------------------------------------
// While a drag holds the edit every move is the slider's, so the gesture
// stays with it until its up or cancel closes the edit; only a move with the
// left button held changes the value.
CMouseEventResult CSliderBase::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (!mouseEditing)
		return kMouseEventNotHandled;
	if (!buttons.isLeftButton ())
		return kMouseEventHandled;

	if (rampTimer)
	{
		// The ramp heads for wherever the pointer is now; fine adjustment
		// starts from where the ramp leaves the handle.
		startPoint = where;
		return kMouseEventHandled;
	}

	updateFineReference (buttons);

	// A view no longer than its handle leaves the handle no room to move.
	if (!(handleTravel > 0.))
		return kMouseEventHandled;

	double normalized = (along (where) - dragOffset) / handleTravel;
	if (hasFarMinimum ())
		normalized = 1. - normalized;
	// Fine adjustment: the value goes only a zoom-factor fraction of the way
	// from the reference toward the pointer.
	if (buttons & kZoomModifier)
		normalized = fineReference + (normalized - fineReference) / static_cast<double> (zoomFactor);
	applyNormalizedValue (normalized);
	return kMouseEventHandled;
}

//------------------------------------------------------------------------
CMouseEventResult CSliderBase::onMouseUp (CPoint& /*where*/, const CButtonState& /*buttons*/)
{
	stopRamp ();
	endMouseEdit ();
	return kMouseEventHandled;
}

//------------------------------------------------------------------------
CMouseEventResult CSliderBase::onMouseCancel ()
{
	stopRamp ();
	if (mouseEditing)
	{
		// Back to the value of the mouse-down.
		const float before = getValue ();
		setValue (startValue);
		if (getValue () != before)
		{
			valueChanged ();
			invalid ();
		}
	}
	endMouseEdit ();
	return kMouseEventHandled;
}

//------------------------------------------------------------------------
void CSliderBase::endMouseEdit ()
{
	if (mouseEditing)
	{
		mouseEditing = false;
		endEdit ();
	}
}

//------------------------------------------------------------------------
bool CSliderBase::onWheel (const CPoint& /*where*/, const CMouseWheelAxis& /*axis*/,
                           const float& distance, const CButtonState& buttons)
{
	if (!getMouseEnabled () || mouseEditing || !std::isfinite (distance))
		return false;

	onMouseWheelEditing (this);

	double step = static_cast<double> (distance) * getWheelInc ();
	if (buttons & kMouseWheelInverted)
		step = -step;
	if (buttons & kZoomModifier)
		step /= zoomFactor;
	applyNormalizedValue (getValueNormalized () + step);
	return true;
}

//------------------------------------------------------------------------
void CSliderBase::startRamp ()
{
	stopRamp ();
	rampTimer = makeOwned<CVSTGUITimer> ([this] (CVSTGUITimer*) { onRampTimer (); },
	                                     kRampTimerPeriodMs, true);
}

//------------------------------------------------------------------------
void CSliderBase::stopRamp ()
{
	if (rampTimer)
	{
		rampTimer->stop ();
		rampTimer = nullptr;
	}
}

//------------------------------------------------------------------------
// One ramp step: the handle moves toward the pointer by at most a fixed part
// of the range. Once the pointer lies at the handle's centre (or the handle
// can go no further), the ramp ends and the handle is grabbed where it is.
void CSliderBase::onRampTimer ()
{
	if (!rampTimer || !mouseEditing)
		return;

	double target = 0.;
	if (handleTravel > 0.)
	{
		target = (along (startPoint) - getHandleBase () - getHandleLength () * 0.5) / handleTravel;
		if (hasFarMinimum ())
			target = 1. - target;
		target = std::clamp (target, 0., 1.);
	}
	else
	{
		target = getValueNormalized ();
	}

	const double current = getValueNormalized ();
	const double distance = target - current;
	const double step = kRampStepNormalized;
	if (std::abs (distance) > step)
	{
		applyNormalizedValue (current + (distance > 0. ? step : -step));
		return;
	}

	applyNormalizedValue (target);
	// The grab offset, in the single precision of every drag offset: the
	// handle stays under the pointer from the next move on.
	dragOffset = static_cast<float> (getHandleBase () + along (startPoint) - getHandlePosition ());
	stopRamp ();
}

//------------------------------------------------------------------------
// CSlider
//------------------------------------------------------------------------
CSlider::CSlider (const CRect& size, IControlListener* listener, int32_t tag, CBitmap* handle,
                  CBitmap* background, const CPoint& offsetHandle, int32_t style)
: CSliderBase (size, listener, tag, style, offsetHandle)
{
	setBackground (background);
	setHandle (handle);
}

//------------------------------------------------------------------------
CSlider::CSlider (const CSlider& other) : CSliderBase (other), handle (other.handle) {}

//------------------------------------------------------------------------
void CSlider::setHandle (CBitmap* bitmap)
{
	handle = bitmap;
	if (bitmap)
		setHandleSize (bitmap->getWidth (), bitmap->getHeight ());
	else
		setHandleSize (kDefaultHandleLength, kDefaultHandleLength);
}

//------------------------------------------------------------------------
// CHorizontalSlider, CVerticalSlider
//------------------------------------------------------------------------
CHorizontalSlider::CHorizontalSlider (const CRect& size, IControlListener* listener, int32_t tag,
                                      CBitmap* handle, CBitmap* background,
                                      const CPoint& offsetHandle, int32_t style)
: CSlider (size, listener, tag, handle, background, offsetHandle,
           withOrientation (style, kHorizontal))
{
}

//------------------------------------------------------------------------
CVerticalSlider::CVerticalSlider (const CRect& size, IControlListener* listener, int32_t tag,
                                  CBitmap* handle, CBitmap* background,
                                  const CPoint& offsetHandle, int32_t style)
: CSlider (size, listener, tag, handle, background, offsetHandle,
           withOrientation (style, kVertical))
{
}

} // namespace VSTGUI
