// Mouse-wheel editing of a control: the first wheel step begins an edit,
// and the edit ends 500 ms after the last step, or at once when
// invalidMouseWheelEditTimer is called (for instance by a mouse-down).
#pragma once

#include "cbaseobject.h"
#include "cvstguitimer.h"
#include "vstguifwd.h"

namespace VSTGUI {

class CMouseWheelEditingSupport
{
protected:
	static constexpr uint32_t kWheelEditTimeoutMs = 500;

	void onMouseWheelEditing (CControl* control);
	void invalidMouseWheelEditTimer (CControl* control);
	bool isMouseWheelEditing () const { return wheelEditTimer != nullptr; }

private:
	SharedPointer<CVSTGUITimer> wheelEditTimer;
};

} // namespace VSTGUI
