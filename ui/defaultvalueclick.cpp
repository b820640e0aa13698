#include "ui/defaultvalueclick.h"

#include "toolkit/ccontrol.h"

namespace VSTGUI {

// Option-click (Alt-click) resets a control; Shift is the fine adjustment.
int32_t CControl::kDefaultValueModifier = kAlt;
int32_t CControl::kZoomModifier = kShift;
CControl::DefaultValueClickPredicate CControl::defaultValueClickPredicate = isDefaultValueClick;

bool isDefaultValueClick (CControl* /*control*/, const CButtonState& buttons)
{
	return (buttons & kMouseButtonMask) == kLButton &&
	       (buttons & kModifierMask) == CControl::kDefaultValueModifier;
}

} // namespace VSTGUI
