#include "toolkit/cview.h"

#include "toolkit/cbitmap.h"
#include "toolkit/cframe.h"
#include "toolkit/icontroller.h"

#include <algorithm>

namespace VSTGUI {

CView::CView (const CRect& size) : size (size) {}

CView::CView (const CView& other)
: CBaseObject ()
, size (other.size)
, background (other.background)
, descriptionClass (other.descriptionClass)
, mouseEnabled (other.mouseEnabled)
, visible (other.visible)
{
	// A copy starts detached, without listeners and without a sub-controller.
}

CView::~CView () noexcept = default;

void CView::setViewSize (const CRect& rect, bool invalidate)
{
	if (rect == size)
		return;
	const CRect oldSize = size;
	size = rect;
	if (invalidate)
		invalid ();
	forEachViewListener ([&] (IViewListener* listener) { listener->viewSizeChanged (this, oldSize); });
}

CMouseEventResult CView::onMouseDown (CPoint&, const CButtonState&)
{
	return kMouseEventNotImplemented;
}

CMouseEventResult CView::onMouseUp (CPoint&, const CButtonState&)
{
	return kMouseEventNotImplemented;
}

CMouseEventResult CView::onMouseMoved (CPoint&, const CButtonState&)
{
	return kMouseEventNotImplemented;
}

CMouseEventResult CView::onMouseCancel ()
{
	return kMouseEventNotImplemented;
}

bool CView::onWheel (const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&)
{
	return false;
}

int32_t CView::onKeyDown (VstKeyCode&)
{
	return -1;
}

int32_t CView::onKeyUp (VstKeyCode&)
{
	return -1;
}

void CView::setVisible (bool state)
{
	if (visible != state)
	{
		visible = state;
		invalid ();
	}
}

CFrame* CView::getFrame () const
{
	const CView* top = this;
	while (top->parentView)
		top = top->parentView;
	return dynamic_cast<CFrame*> (const_cast<CView*> (top));
}

bool CView::attached (CView* parent)
{
	if (attachedToParent)
		return false;
	parentView = parent;
	attachedToParent = true;
	forEachViewListener ([&] (IViewListener* listener) { listener->viewAttached (this); });
	return true;
}

bool CView::removed (CView* /*parent*/)
{
	if (!attachedToParent)
		return false;
	forEachViewListener ([&] (IViewListener* listener) { listener->viewRemoved (this); });
	parentView = nullptr;
	attachedToParent = false;
	return true;
}

CPoint& CView::localToFrame (CPoint& point) const
{
	for (const CView* parent = parentView; parent; parent = parent->parentView)
		point.offset (parent->size.left, parent->size.top);
	return point;
}

CPoint& CView::frameToLocal (CPoint& point) const
{
	for (const CView* parent = parentView; parent; parent = parent->parentView)
		point.offset (-parent->size.left, -parent->size.top);
	return point;
}

void CView::registerViewListener (IViewListener* listener)
{
	if (listener && std::find (viewListeners.begin (), viewListeners.end (), listener) == viewListeners.end ())
		viewListeners.push_back (listener);
}

void CView::unregisterViewListener (IViewListener* listener)
{
	auto it = std::find (viewListeners.begin (), viewListeners.end (), listener);
	if (it != viewListeners.end ())
		viewListeners.erase (it);
}

void CView::setBackground (CBitmap* bitmap)
{
	background = bitmap;
	invalid ();
}

void CView::setSubController (IController* controller)
{
	subController.reset (controller);
}

void CView::beforeDelete ()
{
	forEachViewListener ([&] (IViewListener* listener) { listener->viewWillDelete (this); });
	// The sub-controller goes first, while the views it watches still exist.
	subController.reset ();
}

} // namespace VSTGUI
