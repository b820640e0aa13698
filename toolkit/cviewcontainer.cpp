#include "toolkit/cviewcontainer.h"

#include <algorithm>

namespace VSTGUI {

namespace {

// Whether a child takes mouse and wheel events at a point in the container's
// coordinates.
bool takesMouseAt (const CView& child, const CPoint& local)
{
	return child.isVisible () && child.getMouseEnabled () && child.getViewSize ().pointInside (local);
}

} // namespace

CViewContainer::CViewContainer (const CRect& size) : CView (size) {}

CViewContainer::~CViewContainer () noexcept
{
	// Normally emptied by beforeDelete(); this covers a container that was
	// never reference-counted down (for instance one on the stack).
	removeAll ();
}

bool CViewContainer::addView (CView* view)
{
	if (!view || view == this || isChild (view) || view->getParentView ())
		return false;
	children.push_back (view);
	if (isAttached ())
		view->attached (this);
	return true;
}

bool CViewContainer::removeView (CView* view, bool withForget)
{
	auto it = std::find (children.begin (), children.end (), view);
	if (it == children.end ())
		return false;
	children.erase (it);
	if (mouseDownView == view)
		mouseDownView = nullptr;
	if (view->isAttached ())
		view->removed (this);
	if (withForget)
		view->forget ();
	return true;
}

bool CViewContainer::removeAll (bool withForget)
{
	mouseDownView = nullptr;
	while (!children.empty ())
	{
		CView* view = children.back ();
		children.pop_back ();
		if (view->isAttached ())
			view->removed (this);
		if (withForget)
			view->forget ();
	}
	return true;
}

CView* CViewContainer::getView (uint32_t index) const
{
	return index < children.size () ? children[index] : nullptr;
}

bool CViewContainer::isChild (const CView* view) const
{
	return std::find (children.begin (), children.end (), view) != children.end ();
}

CView* CViewContainer::getViewAt (const CPoint& where) const
{
	for (auto it = children.rbegin (); it != children.rend (); ++it)
	{
		if ((*it)->isVisible () && (*it)->getViewSize ().pointInside (where))
			return *it;
	}
	return nullptr;
}

CPoint CViewContainer::toLocal (const CPoint& where) const
{
	return {where.x - size.left, where.y - size.top};
}

CMouseEventResult CViewContainer::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	CPoint local = toLocal (where);
	mouseDownView = nullptr;
	for (auto it = children.rbegin (); it != children.rend (); ++it)
	{
		CView* child = *it;
		if (!takesMouseAt (*child, local))
			continue;
		// Keep the child alive while it handles the event.
		SharedPointer<CView> guard (child);
		CPoint childWhere = local;
		const CMouseEventResult result = child->onMouseDown (childWhere, buttons);
		if (result == kMouseEventHandled && isChild (child))
			mouseDownView = child;
		if (result == kMouseEventNotHandled || result == kMouseEventNotImplemented)
			continue;
		return result;
	}
	return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp (CPoint& where, const CButtonState& buttons)
{
	CView* child = mouseDownView;
	mouseDownView = nullptr;
	if (!child)
		return kMouseEventNotHandled;
	SharedPointer<CView> guard (child);
	CPoint local = toLocal (where);
	child->onMouseUp (local, buttons);
	return kMouseEventHandled;
}

CMouseEventResult CViewContainer::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	CView* child = mouseDownView;
	if (!child)
		return kMouseEventNotHandled;
	SharedPointer<CView> guard (child);
	CPoint local = toLocal (where);
	const CMouseEventResult result = child->onMouseMoved (local, buttons);
	if (result == kMouseEventNotHandled || result == kMouseMoveEventHandledButDontNeedMoreEvents)
	{
		if (mouseDownView == child)
			mouseDownView = nullptr;
	}
	return result == kMouseEventNotHandled ? kMouseEventNotHandled : kMouseEventHandled;
}

CMouseEventResult CViewContainer::onMouseCancel ()
{
	CView* child = mouseDownView;
	mouseDownView = nullptr;
	if (!child)
		return kMouseEventNotHandled;
	SharedPointer<CView> guard (child);
	child->onMouseCancel ();
	return kMouseEventHandled;
}

bool CViewContainer::onWheel (const CPoint& where, const CMouseWheelAxis& axis,
                              const float& distance, const CButtonState& buttons)
{
	const CPoint local = toLocal (where);
	for (auto it = children.rbegin (); it != children.rend (); ++it)
	{
		CView* child = *it;
		if (!takesMouseAt (*child, local))
			continue;
		SharedPointer<CView> guard (child);
		if (child->onWheel (local, axis, distance, buttons))
			return true;
	}
	return false;
}

bool CViewContainer::attached (CView* parent)
{
	if (!CView::attached (parent))
		return false;
	for (auto* child : children)
	{
		if (!child->isAttached ())
			child->attached (this);
	}
	return true;
}

bool CViewContainer::removed (CView* parent)
{
	for (auto* child : children)
	{
		if (child->isAttached ())
			child->removed (this);
	}
	return CView::removed (parent);
}

void CViewContainer::beforeDelete ()
{
	// Listeners and the sub-controller first (the children still exist), then
	// the children.
	CView::beforeDelete ();
	removeAll ();
}

} // namespace VSTGUI
