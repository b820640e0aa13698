// Switches: a control with a fixed number of positions. A left-button
// mouse-down begins an edit and answers the default-value click; otherwise
// the pointer's position picks the value until the button is released.
#pragma once

#include "ccontrol.h"

namespace VSTGUI {

class CSwitchBase : public CControl
{
public:
	CSwitchBase (const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
	             CBitmap* background = nullptr);

	// The number of positions (at least 2).
	void setNumPositions (int32_t count);
	int32_t getNumPositions () const { return numPositions; }

	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;

protected:
	// The normalised value that a pointer position selects.
	virtual double normalizedFromPoint (const CPoint& where) const = 0;
	// The normalised value of the position index, in [0, 1].
	double normalizedFromIndex (int32_t index) const;
	int32_t indexFromFraction (double fraction) const;

private:
	int32_t numPositions {2};
	float startValue {0.f};
	bool tracking {false};
};

// Positions stacked from top (minimum) to bottom (maximum).
class CVerticalSwitch : public CSwitchBase
{
public:
	using CSwitchBase::CSwitchBase;

protected:
	double normalizedFromPoint (const CPoint& where) const override;
};

// Positions side by side from left (minimum) to right (maximum).
class CHorizontalSwitch : public CSwitchBase
{
public:
	using CSwitchBase::CSwitchBase;

protected:
	double normalizedFromPoint (const CPoint& where) const override;
};

} // namespace VSTGUI
