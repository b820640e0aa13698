#include "toolkit/cframe.h"

namespace VSTGUI {

CFrame::CFrame (const CRect& size, VSTGUIEditorInterface* editor)
: CViewContainer (CRect (0., 0., size.getWidth (), size.getHeight ())), editor (editor)
{
	// The frame is the root: it counts as attached from the start, so views
	// added to it (and their children) are attached too.
	CView::attached (nullptr);
}

int32_t CFrame::getKnobMode () const
{
	return editor ? editor->getKnobMode () : kCircularMode;
}

} // namespace VSTGUI
