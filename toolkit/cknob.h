// Knobs. A left-button mouse-down begins an edit, answers the default-value
// click, and otherwise starts a drag: linear (vertical and horizontal motion
// both count) or circular (the pointer's angle around the centre), chosen by
// the editor's knob mode; Option held with another modifier swaps the two.
#pragma once

#include "ccontrol.h"
#include "cmousewheeleditingsupport.h"

namespace VSTGUI {

class CKnobBase : public CControl, protected CMouseWheelEditingSupport
{
public:
	CKnobBase (const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
	           CBitmap* background = nullptr);

	// The angle of the minimum and the angular range from the minimum to the
	// maximum, in radians, clockwise from the positive x axis (view
	// coordinates have y downwards). By default the range runs 270 degrees
	// clockwise from lower left over the top to lower right.
	void setStartAngle (float angle) { startAngle = angle; }
	float getStartAngle () const { return startAngle; }
	void setRangeAngle (float angle) { rangeAngle = angle; }
	float getRangeAngle () const { return rangeAngle; }
	// The fine-adjustment factor of a linear drag with the zoom modifier.
	void setZoomFactor (float factor) { zoomFactor = factor; }
	float getZoomFactor () const { return zoomFactor; }

	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;
	bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	              const CButtonState& buttons) override;

	// Pixels of linear drag for the whole range.
	static constexpr double kLinearRangePixels = 200.;

protected:
	// The value (within [min, max]) for a pointer angle, in view coordinates.
	float valueFromPoint (const CPoint& where) const;
	double angleFromPoint (const CPoint& where) const;

	float startAngle;
	float rangeAngle;
	float zoomFactor {10.f};

private:
	struct MouseState
	{
		CPoint firstPoint;
		CPoint lastPoint;
		float startValue {0.f};
		float entryValue {0.f};
		double range {kLinearRangePixels};
		double lastAngle {0.};
		CButtonState oldButton;
		int32_t mode {kCircularMode};
		bool active {false};
	} mouseState;
};

class CKnob : public CKnobBase
{
public:
	using CKnobBase::CKnobBase;
};

} // namespace VSTGUI
