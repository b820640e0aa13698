#include "toolkit/vst3editorview.h"

#include "toolkit/ccontrol.h"
#include "toolkit/ctextlabel.h"
#include "toolkit/cvstguitimer.h"
#include "toolkit/uiattributes.h"
#include "toolkit/uidescription.h"

#include "base/source/updatehandler.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <dlfcn.h>

namespace VSTGUI {

DEF_CLASS_IID (IHeadlessEditor)

using namespace Steinberg;

namespace {

// The attribute naming a view that the delegate creates itself.
constexpr char kCustomViewNameAttribute[] = "custom-view-name";
constexpr char kResourcesFolderName[] = "Resources";

// Parameters tell their dependents about changes only through an update
// handler. One is kept while any editor is open, unless one exists already.
struct SharedUpdateHandler
{
	int32_t users {0};
	UpdateHandler* ownHandler {nullptr};

	void acquire ()
	{
		if (users++ == 0 && !FObject::getUpdateHandler ())
			ownHandler = new UpdateHandler;
	}
	void release ()
	{
		if (--users == 0 && ownHandler)
		{
			ownHandler->release ();
			ownHandler = nullptr;
		}
	}
};

SharedUpdateHandler& sharedUpdateHandler ()
{
	static SharedUpdateHandler handler;
	return handler;
}

// Copies text into a 0-terminated buffer, cutting it to the buffer's size.
void copyText (const std::string& text, char8* buffer, size_t bufferSize)
{
	if (!buffer || bufferSize == 0)
		return;
	const size_t count = std::min (text.size (), bufferSize - 1);
	std::memcpy (buffer, text.data (), count);
	buffer[count] = 0;
}

// Pointer positions from outside must be numbers.
bool isFinitePoint (double x, double y)
{
	return std::isfinite (x) && std::isfinite (y);
}

// A pixel size as the host's view rectangle takes it.
int32 toPixels (CCoord size)
{
	constexpr CCoord kMaxPixels = 1 << 20;
	return static_cast<int32> (std::min (std::max (size, CCoord (0)), kMaxPixels));
}

// Something whose address lies in this module, for dladdr.
void moduleAnchor () {}

} // namespace

//------------------------------------------------------------------------
// Ties the controls of one parameter to it: the parameter's changes move the
// controls, and the controls' edits go through the editor to the controller.
class VST3Editor::ParameterBinding : public FObject
{
public:
	ParameterBinding (Vst::Parameter* parameter) : parameter (parameter)
	{
		parameter->addDependent (this);
	}

	void unbind ()
	{
		if (parameter)
		{
			parameter->removeDependent (this);
			parameter = nullptr;
		}
		controls.clear ();
	}

	void addControl (CControl* control)
	{
		const auto& info = parameter->getInfo ();
		control->setDefaultValue (
		    control->getMin () + static_cast<float> (info.defaultNormalizedValue) * control->getRange ());
		control->setValueNormalized (static_cast<float> (parameter->getNormalized ()));
		controls.push_back (control);
	}

	bool hasControl (const CControl* control) const
	{
		return std::find (controls.begin (), controls.end (), control) != controls.end ();
	}

	Vst::ParamID getParamId () const { return parameter ? parameter->getInfo ().id : 0; }
	Vst::Parameter* getParameter () const { return parameter; }

	void PLUGIN_API update (FUnknown* /*changedUnknown*/, int32 message) override
	{
		if (message != IDependent::kChanged || !parameter)
			return;
		const auto normalized = static_cast<float> (parameter->getNormalized ());
		for (auto* control : controls)
		{
			if (control->getValueNormalized () != normalized)
			{
				control->setValueNormalized (normalized);
				control->invalid ();
			}
		}
	}

	OBJ_METHODS (VST3Editor::ParameterBinding, FObject)

private:
	~ParameterBinding () override { unbind (); }

	IPtr<Vst::Parameter> parameter;
	std::vector<CControl*> controls;
};

//------------------------------------------------------------------------
VST3Editor::VST3Editor (Vst::EditController* controller, UTF8StringPtr templateName,
                        UTF8StringPtr xmlFile)
: controller (controller), templateName (templateName ? templateName : "")
{
	if (controller)
	{
		controller->addRef ();
		delegate = dynamic_cast<VST3EditorDelegate*> (controller);
	}
	if (!xmlFile || !*xmlFile)
		return;
	try
	{
		std::string path = xmlFile;
		if (path.front () != '/')
			path = getResourcesFolder () + "/" + path;
		description = std::make_unique<UIDescription> (path);
		if (!description->parse ())
			description.reset ();
		CPoint size;
		if (description && description->getTemplateSize (this->templateName.c_str (), size))
			rect = ViewRect (0, 0, toPixels (size.x), toPixels (size.y));
	}
	catch (...)
	{
		description.reset ();
	}
}

VST3Editor::~VST3Editor ()
{
	close ();
	description.reset ();
	if (controller)
		controller->release ();
}

std::string VST3Editor::getResourcesFolder ()
{
	// The module lies in <bundle>/Contents/<architecture>/; its resources in
	// <bundle>/Contents/Resources/.
	Dl_info info {};
	if (!dladdr (reinterpret_cast<void*> (&moduleAnchor), &info) || !info.dli_fname)
		return kResourcesFolderName;
	std::string path = info.dli_fname;
	for (int level = 0; level < 2; ++level)
	{
		const auto slash = path.rfind ('/');
		path = slash == std::string::npos ? std::string (".") : path.substr (0, slash);
	}
	return path + "/" + kResourcesFolderName;
}

//------------------------------------------------------------------------
bool VST3Editor::open ()
{
	if (frame)
		return true;
	if (!description)
		return false;

	CPoint size;
	description->getTemplateSize (templateName.c_str (), size);
	try
	{
		frame = new CFrame (CRect (0., 0., size.x, size.y), this);
	}
	catch (...)
	{
		return false;
	}
	// Released again by close().
	sharedUpdateHandler ().acquire ();
	try
	{
		CView* root = description->createView (templateName.c_str (), this);
		if (!root || !frame->addView (root))
		{
			if (root)
				root->forget ();
			close ();
			return false;
		}
		bindControls (frame, 0);
		collectViews (frame, 0);
	}
	catch (...)
	{
		close ();
		return false;
	}
	if (delegate)
		delegate->didOpen (this);
	return true;
}

void VST3Editor::close ()
{
	if (!frame)
		return;
	if (delegate && !views.empty ())
		delegate->willClose (this);
	views.clear ();
	// Views first: a control deleted during a drag still closes its edit
	// through its binding. Then the bindings leave their parameters.
	CFrame* oldFrame = frame;
	frame = nullptr;
	oldFrame->forget ();
	for (auto& binding : bindings)
		binding->unbind ();
	bindings.clear ();
	sharedUpdateHandler ().release ();
}

void VST3Editor::bindControls (CView* view, int32_t depth)
{
	if (depth > UIDescription::kMaxNodeDepth + 1)
		return;
	auto* control = dynamic_cast<CControl*> (view);
	if (control && control->getTag () >= 0 && controller)
	{
		const auto id = static_cast<Vst::ParamID> (control->getTag ());
		if (Vst::Parameter* parameter = controller->getParameterObject (id))
		{
			auto it = std::find_if (bindings.begin (), bindings.end (),
			                        [&] (const auto& binding) { return binding->getParameter () == parameter; });
			if (it == bindings.end ())
			{
				bindings.push_back (Steinberg::owned (new ParameterBinding (parameter)));
				it = bindings.end () - 1;
			}
			(*it)->addControl (control);
			if (!control->getListener ())
				control->setListener (this);
		}
	}
	if (auto* container = dynamic_cast<CViewContainer*> (view))
		container->forEachChild ([&] (CView* child) { bindControls (child, depth + 1); });
}

void VST3Editor::collectViews (CView* view, int32_t depth)
{
	if (depth > UIDescription::kMaxNodeDepth + 1)
		return;
	if (depth > 0)
		views.push_back ({view, depth});
	if (auto* container = dynamic_cast<CViewContainer*> (view))
		container->forEachChild ([&] (CView* child) { collectViews (child, depth + 1); });
}

VST3Editor::ParameterBinding* VST3Editor::findBinding (const CControl* control) const
{
	for (const auto& binding : bindings)
	{
		if (binding->hasControl (control))
			return binding.get ();
	}
	return nullptr;
}

CView* VST3Editor::viewAt (int32 index) const
{
	if (index < 0 || static_cast<size_t> (index) >= views.size ())
		return nullptr;
	return views[static_cast<size_t> (index)].view;
}

//------------------------------------------------------------------------
tresult PLUGIN_API VST3Editor::isPlatformTypeSupported (FIDString /*type*/)
{
	return kResultFalse;
}

tresult PLUGIN_API VST3Editor::attached (void* /*parent*/, FIDString /*type*/)
{
	return kResultFalse;
}

tresult PLUGIN_API VST3Editor::removed ()
{
	return kResultFalse;
}

//------------------------------------------------------------------------
tresult PLUGIN_API VST3Editor::openHeadless ()
{
	return open () ? kResultOk : kResultFalse;
}

tresult PLUGIN_API VST3Editor::closeHeadless ()
{
	if (!frame)
		return kResultFalse;
	close ();
	return kResultOk;
}

TBool PLUGIN_API VST3Editor::isOpenHeadless ()
{
	return frame != nullptr;
}

int32 PLUGIN_API VST3Editor::getKnobMode ()
{
	return Vst::EditController::getHostKnobMode ();
}

int32 PLUGIN_API VST3Editor::countViews ()
{
	return static_cast<int32> (views.size ());
}

tresult PLUGIN_API VST3Editor::getViewInfo (int32 index, HeadlessViewInfo* info)
{
	CView* view = viewAt (index);
	if (!view || !info)
		return kInvalidArgument;
	try
	{
		*info = {};
		copyText (view->getDescriptionClass (), info->viewClass, sizeof (info->viewClass));
		info->depth = views[static_cast<size_t> (index)].depth - 1;
		info->tag = -1;
		info->hasSubController = view->getSubController () ? 1 : 0;
		CPoint topLeft = view->getViewSize ().getTopLeft ();
		view->localToFrame (topLeft);
		info->left = topLeft.x;
		info->top = topLeft.y;
		info->right = topLeft.x + view->getWidth ();
		info->bottom = topLeft.y + view->getHeight ();
		if (auto* control = dynamic_cast<CControl*> (view))
		{
			info->isControl = 1;
			info->tag = control->getTag ();
			info->valueNormalized = control->getValueNormalized ();
			const float range = control->getRange ();
			info->defaultValueNormalized =
			    range == 0.f ? 0. : (control->getDefaultValue () - control->getMin ()) / range;
		}
		if (auto* label = dynamic_cast<CTextLabel*> (view))
			copyText (label->getText ().getString (), info->text, sizeof (info->text));
	}
	catch (...)
	{
		return kInternalError;
	}
	return kResultOk;
}

tresult PLUGIN_API VST3Editor::getViewAttribute (int32 index, const char8* name, char8* buffer,
                                                 int32 bufferSize)
{
	CView* view = viewAt (index);
	if (!view || !name || !buffer || bufferSize <= 0 || !description)
		return kInvalidArgument;
	try
	{
		std::string value;
		if (!description->getViewFactory ()->getAttributeValue (view, view->getDescriptionClass (),
		                                                        name, value, description.get ()))
			return kResultFalse;
		copyText (value, buffer, static_cast<size_t> (bufferSize));
	}
	catch (...)
	{
		return kInternalError;
	}
	return kResultOk;
}

int32 PLUGIN_API VST3Editor::mouseDown (double x, double y, int32 buttons)
{
	if (!frame || !isFinitePoint (x, y))
		return kMouseEventNotHandled;
	try
	{
		CPoint where (x, y);
		return frame->onMouseDown (where, CButtonState (buttons));
	}
	catch (...)
	{
		return kMouseEventNotHandled;
	}
}

int32 PLUGIN_API VST3Editor::mouseMoved (double x, double y, int32 buttons)
{
	if (!frame || !isFinitePoint (x, y))
		return kMouseEventNotHandled;
	try
	{
		CPoint where (x, y);
		return frame->onMouseMoved (where, CButtonState (buttons));
	}
	catch (...)
	{
		return kMouseEventNotHandled;
	}
}

int32 PLUGIN_API VST3Editor::mouseUp (double x, double y, int32 buttons)
{
	if (!frame || !isFinitePoint (x, y))
		return kMouseEventNotHandled;
	try
	{
		CPoint where (x, y);
		return frame->onMouseUp (where, CButtonState (buttons));
	}
	catch (...)
	{
		return kMouseEventNotHandled;
	}
}

int32 PLUGIN_API VST3Editor::mouseCancel ()
{
	if (!frame)
		return kMouseEventNotHandled;
	try
	{
		return frame->onMouseCancel ();
	}
	catch (...)
	{
		return kMouseEventNotHandled;
	}
}

TBool PLUGIN_API VST3Editor::mouseWheel (double x, double y, float distance, int32 buttons)
{
	if (!frame || !isFinitePoint (x, y) || !std::isfinite (distance))
		return false;
	try
	{
		return frame->onWheel (CPoint (x, y), kMouseWheelAxisY, distance, CButtonState (buttons));
	}
	catch (...)
	{
		return false;
	}
}

void PLUGIN_API VST3Editor::advanceTime (uint32 milliseconds)
{
	try
	{
		CVSTGUITimer::advanceTime (milliseconds);
	}
	catch (...)
	{
	}
}

//------------------------------------------------------------------------
int32_t VST3Editor::getKnobMode () const
{
	return Vst::EditController::getHostKnobMode ();
}

void VST3Editor::valueChanged (CControl* control)
{
	ParameterBinding* binding = findBinding (control);
	if (!binding || !controller)
		return;
	const Vst::ParamID id = binding->getParamId ();
	const Vst::ParamValue value = control->getValueNormalized ();
	// An edit outside the control's own brackets still reaches the host as one edit.
	const bool bracket = !control->isEditing ();
	if (bracket)
		controller->beginEdit (id);
	controller->setParamNormalized (id, value);
	controller->performEdit (id, controller->getParamNormalized (id));
	if (bracket)
		controller->endEdit (id);
}

void VST3Editor::controlBeginEdit (CControl* control)
{
	if (ParameterBinding* binding = findBinding (control))
	{
		if (controller)
			controller->beginEdit (binding->getParamId ());
	}
}

void VST3Editor::controlEndEdit (CControl* control)
{
	if (ParameterBinding* binding = findBinding (control))
	{
		if (controller)
			controller->endEdit (binding->getParamId ());
	}
}

CView* VST3Editor::createView (const UIAttributes& attributes, const IUIDescription* description)
{
	const std::string* name = attributes.getAttributeValue (kCustomViewNameAttribute);
	if (!name || !delegate)
		return nullptr;
	return delegate->createCustomView (name->c_str (), attributes, description, this);
}

CView* VST3Editor::verifyView (CView* view, const UIAttributes& attributes,
                               const IUIDescription* description)
{
	return delegate ? delegate->verifyView (view, attributes, description, this) : view;
}

IController* VST3Editor::createSubController (UTF8StringPtr name, const IUIDescription* description)
{
	return delegate ? delegate->createSubController (name, description, this) : nullptr;
}

} // namespace VSTGUI
