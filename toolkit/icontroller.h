// A controller of a part of the editor's views: it hears their controls and
// may create, verify or replace views and create sub-controllers while the
// views are built from a UI description.
#pragma once

#include "icontrollistener.h"
#include "vstguifwd.h"

namespace VSTGUI {

class IController : public IControlListener
{
public:
	// Maps a control-tag name to a tag; `registeredTag` is the description's own.
	virtual int32_t getTagForName (UTF8StringPtr /*name*/, int32_t registeredTag) const
	{
		return registeredTag;
	}
	// The listener for controls with the named tag.
	virtual IControlListener* getControlListener (UTF8StringPtr /*controlTagName*/)
	{
		return this;
	}
	// A view of the controller's own making, or null to let the factory create it.
	virtual CView* createView (const UIAttributes& /*attributes*/,
	                           const IUIDescription* /*description*/)
	{
		return nullptr;
	}
	// Called for every view created under this controller; returns the view to
	// use. A different view returned carries one reference for the caller, and
	// the caller releases its reference to the original; null drops the view.
	virtual CView* verifyView (CView* view, const UIAttributes& /*attributes*/,
	                           const IUIDescription* /*description*/)
	{
		return view;
	}
	// A sub-controller for a view that names one, or null.
	virtual IController* createSubController (UTF8StringPtr /*name*/,
	                                          const IUIDescription* /*description*/)
	{
		return nullptr;
	}
};

} // namespace VSTGUI
