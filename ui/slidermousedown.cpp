// What a mouse-down does on a slider, decided by the slider's effective mode:
// the drag offset that the following moves use, and the mode dispatch.
//
// The drag offset d turns a pointer position into a value on every move:
// value = (along(pointer) - d) / travel (1 minus that when the minimum lies
// at the far end). Two offsets matter:
//   grab offset      = base + along(where) - handle position: the handle keeps
//                      its place under the pointer and follows its displacement;
//   free-click offset = base + handle length / 2 - 1: the handle jumps so that
//                      the pointer lies one unit short of the handle's centre.
#include "ui/slidermode.h"

#include "toolkit/csliderbase.h"

namespace VSTGUI {

namespace {

// How far short of the handle's centre the pointer lies after a jump, in view units.
constexpr double kFreeClickCentreInset = 1.;

} // namespace

//------------------------------------------------------------------------
float CSliderBase::calculateDelta (const CPoint& where, CRect* handleRect) const
{
	const CSliderMode effectiveMode = getEffectiveSliderMode ();
	const double base = getHandleBase ();
	const double freeClickOffset = base + getHandleLength () * 0.5 - kFreeClickCentreInset;
	if (effectiveMode == CSliderMode::FreeClick)
		return static_cast<float> (freeClickOffset);

	const double position = getHandlePosition ();
	const double grabOffset = base + along (where) - position;
	const CRect currentHandle = getHandleRect (position);
	if (handleRect)
		*handleRect = currentHandle;

	if (effectiveMode == CSliderMode::KSFreeClick)
	{
		// On the handle (half-open on both axes, whatever the orientation) the
		// click grabs; anywhere else it jumps. Without a rectangle to report,
		// the pointer counts as off the handle.
		const bool onHandle = handleRect && currentHandle.pointInside (where);
		return static_cast<float> (onHandle ? grabOffset : freeClickOffset);
	}
	// Touch, RelativeTouch, Ramp: grab wherever the click is.
	return static_cast<float> (grabOffset);
}

//------------------------------------------------------------------------
CMouseEventResult CSliderBase::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	if (!(buttons & kLButton))
		return kMouseEventNotHandled;

	invalidMouseWheelEditTimer (this);
	// A mouse-down without the up of the previous one: close that gesture so
	// the edits stay balanced.
	if (mouseEditing)
	{
		stopRamp ();
		endMouseEdit ();
	}

	const CSliderMode effectiveMode = getEffectiveSliderMode ();
	CRect handleRect (0., 0., 0., 0.);
	dragOffset = calculateDelta (where, effectiveMode == CSliderMode::FreeClick ? nullptr
	                                                                             : &handleRect);
	// In FreeClick mode the rectangle stays empty, so no click is on the handle.
	const bool onHandle = handleRect.pointInside (where);

	if (effectiveMode == CSliderMode::Touch && !onHandle)
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;

	// Fine adjustment starts afresh with every gesture.
	resetFineAdjustment (buttons);

	const bool relativeOffHandle = effectiveMode == CSliderMode::RelativeTouch && !onHandle;
	if (!relativeOffHandle && checkDefaultValue (buttons))
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;

	if (effectiveMode == CSliderMode::Ramp && !onHandle)
		startRamp ();

	startValue = getValue ();
	beginEdit ();
	mouseEditing = true;
	startPoint = where;

	// Fine adjustment starts from the next move: nothing moves yet.
	if (buttons & kZoomModifier)
		return kMouseEventHandled;

	return onMouseMoved (where, buttons);
}

} // namespace VSTGUI
