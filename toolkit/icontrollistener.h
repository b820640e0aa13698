// Receives the value changes and edit brackets of controls.
#pragma once

#include "cbuttonstate.h"
#include "vstguifwd.h"

namespace VSTGUI {

class IControlListener
{
public:
	virtual ~IControlListener () noexcept = default;

	virtual void valueChanged (CControl* control) = 0;
	virtual int32_t controlModifierClicked (CControl* /*control*/, CButtonState /*button*/)
	{
		return 0;
	}
	virtual void controlBeginEdit (CControl* /*control*/) {}
	virtual void controlEndEdit (CControl* /*control*/) {}
	virtual void controlTagWillChange (CControl* /*control*/) {}
	virtual void controlTagDidChange (CControl* /*control*/) {}
};

} // namespace VSTGUI
