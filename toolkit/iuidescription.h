// What views, creators and controllers may ask of the UI description that
// the editor is built from.
#pragma once

#include "vstguifwd.h"

namespace VSTGUI {

class IUIDescription
{
public:
	virtual ~IUIDescription () noexcept = default;

	// The named bitmap, or null.
	virtual CBitmap* getBitmap (UTF8StringPtr name) const = 0;
	// The name of a bitmap of this description, or null.
	virtual UTF8StringPtr lookupBitmapName (const CBitmap* bitmap) const = 0;
	// The tag of a control-tag name (a number is taken as it stands), or -1.
	virtual int32_t getTagForName (UTF8StringPtr name) const = 0;
	// The name of a tag, or null.
	virtual UTF8StringPtr lookupControlTagName (int32_t tag) const = 0;
	// The listener for controls of the named tag, from the current controller.
	virtual IControlListener* getControlListener (UTF8StringPtr name) const = 0;
	// The controller that the views are currently being created under.
	virtual IController* getController () const = 0;
	// The factory that creates the views.
	virtual const UIViewFactory* getViewFactory () const = 0;
};

} // namespace VSTGUI
