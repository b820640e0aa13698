// Basic types and forward declarations shared by the toolkit headers.
#pragma once

#include <cstdint>
#include <list>
#include <string>

namespace VSTGUI {

using CCoord = double;
using UTF8StringPtr = const char*;
using IdStringPtr = const char*;

class CBaseObject;
class CBitmap;
class CButtonState;
class CControl;
class CFrame;
class CKnobBase;
class CKnob;
class COnOffButton;
class CSwitchBase;
class CVerticalSwitch;
class CTextLabel;
class CView;
class CViewContainer;
class CVSTGUITimer;
class IControlListener;
class IController;
class IUIDescription;
class IViewCreator;
class IViewListener;
class UIAttributes;
class UIDescription;
class UIViewFactory;
class VST3Editor;
class VST3EditorDelegate;
struct CPoint;
struct CRect;

// How a knob follows the mouse; the values are those of the VST 3 host knob
// modes, which the editor hands through.
enum CKnobMode : int32_t
{
	kCircularMode = 0,
	kRelativCircularMode = 1,
	kLinearMode = 2
};

using StringList = std::list<std::string>;
using ConstStringPtrList = std::list<const std::string*>;

} // namespace VSTGUI
