// The editor as a host meets it: through the built bundle's factory, the
// controller's createView, and the headless interface of the view.
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "processor/plugids.h"
#include "support/bundlefactorytest.h"
#include "support/recordingcomponenthandler.h"
#include "toolkit/cbuttonstate.h"
#include "toolkit/iheadlesseditor.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/utsname.h>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using VSTGUI::HeadlessViewInfo;
using VSTGUI::IHeadlessEditor;

namespace {

constexpr int32 kLButton = VSTGUI::kLButton;
constexpr int32 kOption = VSTGUI::kAlt;

class EditorBundleTest : public CalvirTestSupport::BundleFactoryTest<>
{
protected:
	void SetUp () override
	{
		loadFactory ();
		if (HasFatalFailure ())
			return;
		TUID cid;
		kPlugControllerUID.toTUID (cid);
		void* obj = nullptr;
		ASSERT_EQ (factory->createInstance (cid, IEditController::iid.toTUID (), &obj), kResultOk);
		controller = static_cast<IEditController*> (obj);
		ASSERT_EQ (controller->initialize (nullptr), kResultOk);
		controller->setComponentHandler (&handler);
	}

	void TearDown () override
	{
		if (editor)
			editor->release ();
		if (view)
		{
			EXPECT_EQ (view->release (), 0u);
		}
		if (controller)
		{
			controller->terminate ();
			EXPECT_EQ (controller->release (), 0u);
		}
		releaseFactory ();
		bundle.unload ();
	}

	// Creates the editor view and opens it headless.
	void openEditor ()
	{
		view = controller->createView (ViewType::kEditor);
		ASSERT_NE (view, nullptr);
		ASSERT_EQ (view->queryInterface (VSTGUI::IHeadlessEditor_iid, reinterpret_cast<void**> (&editor)),
		           kResultOk);
		ASSERT_EQ (editor->openHeadless (), kResultOk);
	}

	std::vector<HeadlessViewInfo> views () const
	{
		std::vector<HeadlessViewInfo> result;
		for (int32 i = 0; i < editor->countViews (); ++i)
		{
			HeadlessViewInfo info {};
			EXPECT_EQ (editor->getViewInfo (i, &info), kResultOk);
			result.push_back (info);
		}
		return result;
	}

	// The first control of a tag (or of a class, with tag -1).
	HeadlessViewInfo find (int32 tag, const std::string& viewClass = {}) const
	{
		for (const auto& info : views ())
		{
			if (info.isControl && info.tag == tag && (viewClass.empty () || viewClass == info.viewClass))
				return info;
		}
		ADD_FAILURE () << "no control with tag " << tag << " " << viewClass;
		return {};
	}

	static double centreX (const HeadlessViewInfo& info) { return (info.left + info.right) / 2.; }
	static double centreY (const HeadlessViewInfo& info) { return (info.top + info.bottom) / 2.; }

	IEditController* controller {nullptr};
	IPlugView* view {nullptr};
	IHeadlessEditor* editor {nullptr};
	CalvirTestSupport::RecordingComponentHandler handler;
};

} // namespace

TEST_F (EditorBundleTest, OnlyTheEditorViewIsCreated)
{
	EXPECT_EQ (controller->createView ("Editor"), nullptr);
	EXPECT_EQ (controller->createView (""), nullptr);
	EXPECT_EQ (controller->createView (nullptr), nullptr);
	openEditor ();
	EXPECT_EQ (view->isPlatformTypeSupported (kPlatformTypeX11EmbedWindowID), kResultFalse);
	ViewRect size;
	EXPECT_EQ (view->getSize (&size), kResultOk);
	EXPECT_GT (size.getWidth (), 0);
	EXPECT_GT (size.getHeight (), 0);
}

TEST_F (EditorBundleTest, KnobsDragLinearlyAfterCreateView)
{
	FUnknownPtr<IEditController2> controller2 (controller);
	ASSERT_TRUE (controller2);
	controller2->setKnobMode (kCircularMode);
	openEditor ();
	EXPECT_EQ (editor->getKnobMode (), kLinearMode);
}

TEST_F (EditorBundleTest, EveryParameterHasItsControl)
{
	openEditor ();
	ASSERT_EQ (controller->getParameterCount (), static_cast<int32> (kNumParameters));
	for (int32 id = 0; id < static_cast<int32> (kNumParameters); ++id)
	{
		const HeadlessViewInfo control = find (id);
		ParameterInfo info {};
		controller->getParameterInfo (id, info);
		EXPECT_NEAR (control.valueNormalized, info.defaultNormalizedValue, 1e-6) << id;
		EXPECT_NEAR (control.defaultValueNormalized, info.defaultNormalizedValue, 1e-6) << id;
		if (id != kBypassId)
		{
			EXPECT_STREQ (find (id, "CSlider").viewClass, "CSlider") << id;
		}
	}
	find (kMixId, "CKnob");
	find (-1, "COnOffButton");
}

TEST_F (EditorBundleTest, MouseEditsReachTheComponentHandler)
{
	openEditor ();
	// Bypass: the switch's lower half turns it on.
	const HeadlessViewInfo bypass = find (kBypassId);
	editor->mouseDown (centreX (bypass), bypass.bottom - 1, kLButton);
	editor->mouseUp (centreX (bypass), bypass.bottom - 1, kLButton);
	const std::vector<std::string> bypassEdit {"begin 0", "perform 0", "end 0"};
	EXPECT_EQ (handler.log, bypassEdit);
	EXPECT_EQ (handler.values.back (), 1.);
	EXPECT_EQ (controller->getParamNormalized (kBypassId), 1.);

	// The Mix knob dragged up, then Option-clicked back to its default.
	handler.log.clear ();
	const HeadlessViewInfo knob = find (kMixId, "CKnob");
	editor->mouseDown (centreX (knob), centreY (knob), kLButton);
	editor->mouseMoved (centreX (knob), centreY (knob) - 20, kLButton);
	editor->mouseMoved (centreX (knob), centreY (knob) - 40, kLButton);
	editor->mouseUp (centreX (knob), centreY (knob) - 40, kLButton);
	const std::vector<std::string> drag {"begin 2", "perform 2", "perform 2", "end 2"};
	EXPECT_EQ (handler.log, drag);
	EXPECT_GT (controller->getParamNormalized (kMixId), 0.5);
	// The Mix slider follows its knob.
	EXPECT_NEAR (find (kMixId, "CSlider").valueNormalized, controller->getParamNormalized (kMixId), 1e-6);

	handler.log.clear ();
	EXPECT_EQ (editor->mouseDown (centreX (knob), centreY (knob), kLButton | kOption),
	           VSTGUI::kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	const std::vector<std::string> reset {"begin 2", "perform 2", "end 2"};
	EXPECT_EQ (handler.log, reset);
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (kMixId), 0.5);
}

TEST_F (EditorBundleTest, HostChangesMoveTheControls)
{
	openEditor ();
	controller->setParamNormalized (kPredelayId, 0.9);
	EXPECT_NEAR (find (kPredelayId).valueNormalized, 0.9, 1e-6);
	controller->setParamNormalized (kBypassId, 1.);
	EXPECT_EQ (find (kBypassId).valueNormalized, 1.);
	EXPECT_TRUE (handler.log.empty ());
}

TEST_F (EditorBundleTest, AboutBoxShowsTheInformationLine)
{
	openEditor ();
	const HeadlessViewInfo button = find (-1, "COnOffButton");
	auto label = [&] {
		for (const auto& info : views ())
		{
			if (std::string (info.viewClass) == "CTextLabel" && info.depth == button.depth)
				return std::string (info.text);
		}
		return std::string ("no label");
	};
	EXPECT_EQ (label (), "");
	editor->mouseDown (centreX (button), centreY (button), kLButton);
	utsname names {};
	uname (&names);
	EXPECT_EQ (label (), std::string ("1.0.0, VST3 ") + names.machine + "-" + names.sysname + "  ");
	editor->mouseDown (centreX (button), centreY (button), kLButton);
	EXPECT_EQ (label (), "");
	// The about box's button edits no parameter.
	EXPECT_TRUE (handler.log.empty ());
}

TEST_F (EditorBundleTest, ClosingAndReopening)
{
	openEditor ();
	const int32 count = editor->countViews ();
	EXPECT_EQ (editor->closeHeadless (), kResultOk);
	EXPECT_EQ (editor->countViews (), 0);
	EXPECT_EQ (editor->closeHeadless (), kResultFalse);
	EXPECT_EQ (editor->openHeadless (), kResultOk);
	EXPECT_EQ (editor->countViews (), count);
}
