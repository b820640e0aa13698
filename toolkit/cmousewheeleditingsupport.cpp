#include "toolkit/cmousewheeleditingsupport.h"

#include "toolkit/ccontrol.h"

namespace VSTGUI {

void CMouseWheelEditingSupport::onMouseWheelEditing (CControl* control)
{
	if (!wheelEditTimer)
	{
		control->beginEdit ();
		wheelEditTimer = owned (new CVSTGUITimer (
		    [this, control] (CVSTGUITimer*) { invalidMouseWheelEditTimer (control); },
		    kWheelEditTimeoutMs));
	}
	else
	{
		// Another wheel step: the edit lasts until 500 ms after this one.
		wheelEditTimer->stop ();
		wheelEditTimer->start ();
	}
}

void CMouseWheelEditingSupport::invalidMouseWheelEditTimer (CControl* control)
{
	if (!wheelEditTimer)
		return;
	wheelEditTimer->stop ();
	wheelEditTimer = nullptr;
	control->endEdit ();
}

} // namespace VSTGUI
