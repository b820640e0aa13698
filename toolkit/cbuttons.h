// Buttons. COnOffButton: a left click toggles the value between the minimum
// and the maximum, as one edit.
#pragma once

#include "ccontrol.h"

namespace VSTGUI {

class COnOffButton : public CControl
{
public:
	COnOffButton (const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
	              CBitmap* background = nullptr);

	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
};

} // namespace VSTGUI
