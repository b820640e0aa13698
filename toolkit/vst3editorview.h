// The editor of a VST 3 edit controller: an IPlugView that builds its views
// from a template of a UI description file and binds every control whose tag
// is a parameter ID to that parameter, both ways. A relative description file
// name is looked up in the module bundle's Contents/Resources.
#pragma once

#include "cframe.h"
#include "icontroller.h"
#include "iheadlesseditor.h"
#include "vstguifwd.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/vsttypes.h"
#include "public.sdk/source/common/pluginview.h"

#include <memory>
#include <string>
#include <vector>

namespace Steinberg {
namespace Vst {
class EditController;
}
} // namespace Steinberg

namespace VSTGUI {

class COptionMenu;

// What an edit controller may add to its editor; found by a dynamic cast of
// the controller. Every operation has a neutral default.
class VST3EditorDelegate
{
public:
	virtual ~VST3EditorDelegate () noexcept = default;

	virtual CView* createCustomView (UTF8StringPtr /*name*/, const UIAttributes& /*attributes*/,
	                                 const IUIDescription* /*description*/, VST3Editor* /*editor*/)
	{
		return nullptr;
	}
	virtual CView* verifyView (CView* view, const UIAttributes& /*attributes*/,
	                           const IUIDescription* /*description*/, VST3Editor* /*editor*/)
	{
		return view;
	}
	virtual bool findParameter (const CPoint& /*pos*/, Steinberg::Vst::ParamID& /*paramID*/,
	                            VST3Editor* /*editor*/)
	{
		return false;
	}
	virtual bool isPrivateParameter (const Steinberg::Vst::ParamID /*paramID*/) { return false; }
	virtual void didOpen (VST3Editor* /*editor*/) {}
	virtual void willClose (VST3Editor* /*editor*/) {}
	virtual COptionMenu* createContextMenu (const CPoint& /*pos*/, VST3Editor* /*editor*/)
	{
		return nullptr;
	}
	virtual IController* createSubController (UTF8StringPtr /*name*/,
	                                          const IUIDescription* /*description*/,
	                                          VST3Editor* /*editor*/)
	{
		return nullptr;
	}
};

class VST3Editor : public Steinberg::CPluginView,
                   public IHeadlessEditor,
                   public VSTGUIEditorInterface,
                   public IController
{
public:
	// Holds a reference to the controller until the editor is destroyed. The
	// description file is read here; a missing or malformed file leaves the
	// editor unable to open.
	VST3Editor (Steinberg::Vst::EditController* controller, UTF8StringPtr templateName,
	            UTF8StringPtr xmlFile);

	Steinberg::Vst::EditController* getController () const { return controller; }
	VST3EditorDelegate* getDelegate () const { return delegate; }
	// The parsed description, or null when it could not be read.
	const UIDescription* getUIDescription () const { return description.get (); }
	// The root view while open, else null.
	CFrame* getFrame () const { return frame; }
	bool isOpen () const { return frame != nullptr; }

	// The folder Contents/Resources of the bundle holding this module.
	static std::string getResourcesFolder ();

	// IPlugView: no platform window type is supported (no drawing back end),
	// so hosts show their generic parameter view instead.
	Steinberg::tresult PLUGIN_API isPlatformTypeSupported (Steinberg::FIDString type) override;
	Steinberg::tresult PLUGIN_API attached (void* parent, Steinberg::FIDString type) override;
	Steinberg::tresult PLUGIN_API removed () override;

	// IHeadlessEditor
	Steinberg::tresult PLUGIN_API openHeadless () override;
	Steinberg::tresult PLUGIN_API closeHeadless () override;
	Steinberg::TBool PLUGIN_API isOpenHeadless () override;
	Steinberg::int32 PLUGIN_API getKnobMode () override;
	Steinberg::int32 PLUGIN_API countViews () override;
	Steinberg::tresult PLUGIN_API getViewInfo (Steinberg::int32 index, HeadlessViewInfo* info) override;
	Steinberg::tresult PLUGIN_API getViewAttribute (Steinberg::int32 index, const Steinberg::char8* name,
	                                                Steinberg::char8* buffer,
	                                                Steinberg::int32 bufferSize) override;
	Steinberg::int32 PLUGIN_API mouseDown (double x, double y, Steinberg::int32 buttons) override;
	Steinberg::int32 PLUGIN_API mouseMoved (double x, double y, Steinberg::int32 buttons) override;
	Steinberg::int32 PLUGIN_API mouseUp (double x, double y, Steinberg::int32 buttons) override;
	Steinberg::int32 PLUGIN_API mouseCancel () override;
	Steinberg::TBool PLUGIN_API mouseWheel (double x, double y, float distance,
	                                       Steinberg::int32 buttons) override;
	void PLUGIN_API advanceTime (Steinberg::uint32 milliseconds) override;

	// VSTGUIEditorInterface: the host's knob mode.
	int32_t getKnobMode () const override;

	// IController: control edits go to the controller's parameters; views and
	// sub-controllers come from the delegate.
	void valueChanged (CControl* control) override;
	void controlBeginEdit (CControl* control) override;
	void controlEndEdit (CControl* control) override;
	CView* createView (const UIAttributes& attributes, const IUIDescription* description) override;
	CView* verifyView (CView* view, const UIAttributes& attributes,
	                   const IUIDescription* description) override;
	IController* createSubController (UTF8StringPtr name, const IUIDescription* description) override;

	OBJ_METHODS (VST3Editor, CPluginView)
	DEFINE_INTERFACES
		DEF_INTERFACE (IHeadlessEditor)
	END_DEFINE_INTERFACES (CPluginView)
	REFCOUNT_METHODS (CPluginView)

protected:
	~VST3Editor () override;

private:
	class ParameterBinding;

	bool open ();
	void close ();
	void bindControls (CView* view, int32_t depth);
	void collectViews (CView* view, int32_t depth);
	ParameterBinding* findBinding (const CControl* control) const;
	CView* viewAt (Steinberg::int32 index) const;

	Steinberg::Vst::EditController* controller;
	VST3EditorDelegate* delegate {nullptr};
	std::string templateName;
	std::unique_ptr<UIDescription> description;
	CFrame* frame {nullptr};
	std::vector<Steinberg::IPtr<ParameterBinding>> bindings;
	struct ViewEntry
	{
		CView* view;
		int32_t depth;
	};
	std::vector<ViewEntry> views;
};

} // namespace VSTGUI
