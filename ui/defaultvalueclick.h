// The default-value click: Option-click (Alt-click) with the left button alone
// puts a knob, slider or switch back to its default value.
#pragma once

#include "toolkit/cbuttonstate.h"
#include "toolkit/vstguifwd.h"

namespace VSTGUI {

// True exactly when the left button is the only mouse button down and the
// modifier keys equal CControl::kDefaultValueModifier (Option alone). Other
// bits, such as the double-click flag, do not matter; the control is not
// consulted.
bool isDefaultValueClick (CControl* control, const CButtonState& buttons);

} // namespace VSTGUI
