// A view holding child views. It owns its children (one reference each) and
// releases them when it is deleted. Children's sizes are relative to the
// container's top-left corner. A mouse-down goes to the topmost visible,
// mouse-enabled child under the pointer; the moves and the up that follow go
// to that same child.
#pragma once

#include "cview.h"

#include <vector>

namespace VSTGUI {

class CViewContainer : public CView
{
public:
	explicit CViewContainer (const CRect& size);
	~CViewContainer () noexcept override;

	// Takes over the caller's reference to the view.
	virtual bool addView (CView* view);
	virtual bool removeView (CView* view, bool withForget = true);
	virtual bool removeAll (bool withForget = true);
	uint32_t getNbViews () const { return static_cast<uint32_t> (children.size ()); }
	CView* getView (uint32_t index) const;
	bool isChild (const CView* view) const;
	// The topmost visible child containing `where` (container coordinates).
	CView* getViewAt (const CPoint& where) const;

	// Calls function for every child, in order (the list must not change meanwhile).
	template <typename Function>
	void forEachChild (Function&& function) const
	{
		for (auto* child : children)
			function (child);
	}

	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;
	bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	              const CButtonState& buttons) override;

	bool attached (CView* parent) override;
	bool removed (CView* parent) override;

	void beforeDelete () override;

private:
	CPoint toLocal (const CPoint& where) const;

	std::vector<CView*> children;
	CView* mouseDownView {nullptr};
};

} // namespace VSTGUI
