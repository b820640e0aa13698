// The root view of an editor. It knows the editor, which supplies the knob
// mode of the host, and its own rectangle starts at (0, 0).
#pragma once

#include "cviewcontainer.h"

namespace VSTGUI {

// What the frame asks of the editor that shows it.
class VSTGUIEditorInterface
{
public:
	virtual ~VSTGUIEditorInterface () noexcept = default;
	virtual int32_t getKnobMode () const { return kCircularMode; }
};

class CFrame : public CViewContainer
{
public:
	CFrame (const CRect& size, VSTGUIEditorInterface* editor);

	VSTGUIEditorInterface* getEditor () const { return editor; }
	int32_t getKnobMode () const;

private:
	VSTGUIEditorInterface* editor;
};

} // namespace VSTGUI
