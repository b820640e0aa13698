// The base of every view: a rectangle in its parent's coordinates, a parent,
// mouse and key handlers, view listeners and an optional owned sub-controller.
// Headless: invalid() only marks the view dirty, nothing is drawn.
#pragma once

#include "cbaseobject.h"
#include "cbuttonstate.h"
#include "crect.h"
#include "iviewlistener.h"
#include "vstguifwd.h"

#include <memory>
#include <string>
#include <vector>

namespace VSTGUI {

// A key event as the toolkit receives it.
struct VstKeyCode
{
	int32_t character {0};
	unsigned char virt {0};
	unsigned char modifier {0};
};

class CView : public CBaseObject
{
public:
	explicit CView (const CRect& size);
	CView (const CView& other);
	~CView () noexcept override;

	// Size, in the parent's coordinates.
	const CRect& getViewSize () const { return size; }
	virtual void setViewSize (const CRect& rect, bool invalidate = true);
	CCoord getWidth () const { return size.getWidth (); }
	CCoord getHeight () const { return size.getHeight (); }

	// Mouse and keys. `where` is in the parent's coordinates, like getViewSize().
	virtual CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseCancel ();
	virtual bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	                      const CButtonState& buttons);
	virtual int32_t onKeyDown (VstKeyCode& keyCode);
	virtual int32_t onKeyUp (VstKeyCode& keyCode);

	void setMouseEnabled (bool state) { mouseEnabled = state; }
	bool getMouseEnabled () const { return mouseEnabled; }
	void setVisible (bool state);
	bool isVisible () const { return visible; }

	// Redraw requests: headless, they only mark the view dirty.
	virtual void invalid () { setDirty (true); }
	virtual void setDirty (bool state = true) { dirty = state; }
	bool isDirty () const { return dirty; }

	// Hierarchy.
	CView* getParentView () const { return parentView; }
	CFrame* getFrame () const;
	bool isAttached () const { return attachedToParent; }
	virtual bool attached (CView* parent);
	virtual bool removed (CView* parent);
	// Converts a point given in this view's parent coordinates (those of
	// getViewSize()) to frame coordinates, and back.
	CPoint& localToFrame (CPoint& point) const;
	CPoint& frameToLocal (CPoint& point) const;

	// Listeners are not owned; they are told before the view is deleted.
	void registerViewListener (IViewListener* listener);
	void unregisterViewListener (IViewListener* listener);

	// Background bitmap (sizes only: nothing is drawn).
	void setBackground (CBitmap* bitmap);
	CBitmap* getBackground () const { return background; }

	// The sub-controller that this view carries. The view owns it and deletes
	// it before its own children when the view is deleted.
	void setSubController (IController* controller);
	IController* getSubController () const { return subController.get (); }

	// The UI description class name the view was created from (empty if it was
	// created in code).
	void setDescriptionClass (const std::string& name) { descriptionClass = name; }
	const std::string& getDescriptionClass () const { return descriptionClass; }

	void beforeDelete () override;

protected:
	template <typename Function>
	void forEachViewListener (Function&& function)
	{
		// A listener may unregister itself while it is told: iterate over a copy.
		const auto listeners = viewListeners;
		for (auto* listener : listeners)
			function (listener);
	}

	CRect size;

private:
	CView* parentView {nullptr};
	SharedPointer<CBitmap> background;
	std::unique_ptr<IController> subController;
	std::vector<IViewListener*> viewListeners;
	std::string descriptionClass;
	bool mouseEnabled {true};
	bool visible {true};
	bool dirty {false};
	bool attachedToParent {false};
};

} // namespace VSTGUI
