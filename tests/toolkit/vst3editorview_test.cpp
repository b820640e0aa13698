// The editor built from a description file: opening and failing to open,
// and the binding of controls to the controller's parameters both ways.
#include "toolkit/cknob.h"
#include "toolkit/cswitch.h"
#include "toolkit/uidescription.h"
#include "toolkit/vst3editorview.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "support/recordingcomponenthandler.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace VSTGUI;

namespace {

constexpr ParamID kKnobParam = 1;
constexpr ParamID kSwitchParam = 2;
constexpr ParamValue kKnobDefault = 0.25;

class TestController : public EditController, public VST3EditorDelegate
{
public:
	tresult PLUGIN_API initialize (FUnknown* context) override
	{
		const tresult result = EditController::initialize (context);
		parameters.addParameter (STR16 ("Knob"), nullptr, 0, kKnobDefault, ParameterInfo::kCanAutomate,
		                         kKnobParam);
		parameters.addParameter (STR16 ("Switch"), nullptr, 1, 0., ParameterInfo::kCanAutomate,
		                         kSwitchParam);
		return result;
	}
	void didOpen (VST3Editor*) override { ++opened; }
	void willClose (VST3Editor*) override { ++closed; }

	int opened {0};
	int closed {0};
};

std::string writeFile (const std::string& name, const std::string& text)
{
	const std::string path = ::testing::TempDir () + name;
	std::ofstream (path, std::ios::binary) << text;
	return path;
}

const char kDescription[] =
    "<vstgui-ui-description version=\"1\">"
    "<template name=\"view\" class=\"CViewContainer\" size=\"200, 100\">"
    "  <view class=\"CKnob\" control-tag=\"1\" origin=\"0, 0\" size=\"40, 40\"/>"
    "  <view class=\"CVerticalSwitch\" control-tag=\"2\" origin=\"100, 0\" size=\"20, 40\"/>"
    "  <view class=\"CKnob\" control-tag=\"99\" origin=\"150, 0\" size=\"40, 40\"/>"
    "</template></vstgui-ui-description>";

class EditorTest : public ::testing::Test
{
protected:
	void SetUp () override
	{
		controller = Steinberg::owned (new TestController);
		controller->initialize (nullptr);
		controller->setComponentHandler (&handler);
		controller->setKnobMode (Steinberg::Vst::kLinearMode);
	}
	void TearDown () override
	{
		controller->terminate ();
		controller->setKnobMode (Steinberg::Vst::kCircularMode);
	}

	IPtr<VST3Editor> makeEditor (const std::string& path, const char* templateName = "view")
	{
		return Steinberg::owned (new VST3Editor (controller, templateName, path.c_str ()));
	}

	uint32 controllerReferences ()
	{
		controller->addRef ();
		return controller->release ();
	}

	CalvirTestSupport::RecordingComponentHandler handler;
	IPtr<TestController> controller;
};

} // namespace

TEST_F (EditorTest, HostsAreToldThereIsNoPlatformView)
{
	auto editor = makeEditor (writeFile ("editor-good.uidesc", kDescription));
	EXPECT_EQ (editor->isPlatformTypeSupported (kPlatformTypeX11EmbedWindowID), kResultFalse);
	EXPECT_EQ (editor->attached (nullptr, kPlatformTypeX11EmbedWindowID), kResultFalse);
	ViewRect rect;
	EXPECT_EQ (editor->getSize (&rect), kResultOk);
	EXPECT_EQ (rect.getWidth (), 200);
	EXPECT_EQ (rect.getHeight (), 100);

	FUnknownPtr<IHeadlessEditor> headless (static_cast<IPlugView*> (editor.get ()));
	EXPECT_TRUE (headless);
}

TEST_F (EditorTest, MissingOrMalformedFilesFailCleanly)
{
	const uint32 references = controllerReferences ();
	const std::vector<std::string> paths {
	    ::testing::TempDir () + "no-such-file.uidesc",
	    writeFile ("editor-malformed.uidesc", "<vstgui-ui-description><template name=\"view\""),
	    writeFile ("editor-empty.uidesc", ""),
	    writeFile ("editor-notemplate.uidesc", "<vstgui-ui-description/>"),
	};
	for (const auto& path : paths)
	{
		auto editor = makeEditor (path);
		EXPECT_EQ (editor->openHeadless (), kResultFalse) << path;
		EXPECT_FALSE (editor->isOpenHeadless ());
		EXPECT_EQ (editor->countViews (), 0);
		EXPECT_EQ (editor->mouseDown (10, 10, kLButton), kMouseEventNotHandled);
		EXPECT_EQ (editor->closeHeadless (), kResultFalse);
		EXPECT_EQ (controller->opened, 0);
	}
	// Every editor let the controller go.
	EXPECT_EQ (controllerReferences (), references);

	auto wrongTemplate = makeEditor (writeFile ("editor-good.uidesc", kDescription), "other");
	EXPECT_EQ (wrongTemplate->openHeadless (), kResultFalse);
	auto noFile = Steinberg::owned (new VST3Editor (controller, "view", nullptr));
	EXPECT_EQ (noFile->openHeadless (), kResultFalse);
}

TEST_F (EditorTest, ControlsFollowTheirParameters)
{
	auto editor = makeEditor (writeFile ("editor-good.uidesc", kDescription));
	ASSERT_EQ (editor->openHeadless (), kResultOk);
	EXPECT_EQ (controller->opened, 1);
	ASSERT_EQ (editor->countViews (), 4);

	HeadlessViewInfo knob {};
	ASSERT_EQ (editor->getViewInfo (1, &knob), kResultOk);
	EXPECT_STREQ (knob.viewClass, "CKnob");
	EXPECT_EQ (knob.tag, static_cast<int32> (kKnobParam));
	EXPECT_FLOAT_EQ (knob.valueNormalized, kKnobDefault);
	EXPECT_FLOAT_EQ (knob.defaultValueNormalized, kKnobDefault);
	EXPECT_EQ (editor->getViewInfo (4, &knob), kInvalidArgument);
	EXPECT_EQ (editor->getViewInfo (-1, &knob), kInvalidArgument);

	controller->setParamNormalized (kKnobParam, 0.75);
	ASSERT_EQ (editor->getViewInfo (1, &knob), kResultOk);
	EXPECT_FLOAT_EQ (knob.valueNormalized, 0.75);
	// No edit goes back to the host for a change the host made.
	EXPECT_TRUE (handler.log.empty ());

	char text[16] {};
	EXPECT_EQ (editor->getViewAttribute (1, "control-tag", text, sizeof (text)), kResultOk);
	EXPECT_STREQ (text, "1");
	EXPECT_EQ (editor->getViewAttribute (1, "no-such", text, sizeof (text)), kResultFalse);

	EXPECT_EQ (editor->closeHeadless (), kResultOk);
	EXPECT_EQ (controller->closed, 1);
	// Closed editors no longer follow the parameters; opening again rebinds.
	controller->setParamNormalized (kKnobParam, 0.5);
	ASSERT_EQ (editor->openHeadless (), kResultOk);
	ASSERT_EQ (editor->getViewInfo (1, &knob), kResultOk);
	EXPECT_FLOAT_EQ (knob.valueNormalized, 0.5);
}

TEST_F (EditorTest, MouseEditsReachTheHostAsOneEdit)
{
	auto editor = makeEditor (writeFile ("editor-good.uidesc", kDescription));
	ASSERT_EQ (editor->openHeadless (), kResultOk);
	ASSERT_EQ (editor->getKnobMode (), Steinberg::Vst::kLinearMode);

	// Drag the knob up by a quarter of its linear range.
	EXPECT_EQ (editor->mouseDown (20, 20, kLButton), kMouseEventHandled);
	editor->mouseMoved (20, 20 - CKnobBase::kLinearRangePixels / 4, kLButton);
	editor->mouseUp (20, 20 - CKnobBase::kLinearRangePixels / 4, kLButton);
	const std::vector<std::string> drag {"begin 1", "perform 1", "end 1"};
	EXPECT_EQ (handler.log, drag);
	ASSERT_FALSE (handler.values.empty ());
	EXPECT_FLOAT_EQ (handler.values.back (), 0.5);
	EXPECT_FLOAT_EQ (controller->getParamNormalized (kKnobParam), 0.5);

	// Option-click puts it back to the parameter's default.
	handler.log.clear ();
	EXPECT_EQ (editor->mouseDown (20, 20, kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (handler.log, drag);
	EXPECT_FLOAT_EQ (controller->getParamNormalized (kKnobParam), kKnobDefault);

	// The switch's lower half is its second position.
	handler.log.clear ();
	editor->mouseDown (110, 30, kLButton);
	editor->mouseUp (110, 30, kLButton);
	const std::vector<std::string> toggle {"begin 2", "perform 2", "end 2"};
	EXPECT_EQ (handler.log, toggle);
	EXPECT_FLOAT_EQ (controller->getParamNormalized (kSwitchParam), 1.);

	// A control whose tag is no parameter edits nothing.
	handler.log.clear ();
	editor->mouseDown (170, 20, kLButton);
	editor->mouseMoved (170, 0, kLButton);
	editor->mouseUp (170, 0, kLButton);
	EXPECT_TRUE (handler.log.empty ());
}

TEST_F (EditorTest, ClosingDuringADragEndsTheEdit)
{
	auto editor = makeEditor (writeFile ("editor-good.uidesc", kDescription));
	ASSERT_EQ (editor->openHeadless (), kResultOk);
	editor->mouseDown (20, 20, kLButton);
	editor->mouseMoved (20, 0, kLButton);
	editor->closeHeadless ();
	ASSERT_FALSE (handler.log.empty ());
	EXPECT_EQ (handler.log.back (), "end 1");
}

TEST_F (EditorTest, TheEditorHoldsTheControllerForItsLife)
{
	const uint32 references = controllerReferences ();
	IPlugView* view = new VST3Editor (controller, "view", writeFile ("editor-good.uidesc", kDescription).c_str ());
	EXPECT_EQ (controllerReferences (), references + 1);
	FUnknownPtr<IHeadlessEditor> headless (view);
	ASSERT_TRUE (headless);
	EXPECT_EQ (headless->openHeadless (), kResultOk);
	headless = nullptr;
	// Released while open: the views go with the editor.
	EXPECT_EQ (view->release (), 0u);
	EXPECT_EQ (controllerReferences (), references);
}

TEST_F (EditorTest, HostileValuesAreRefusedOrKeptInRange)
{
	const std::string path = writeFile (
	    "editor-hostile.uidesc",
	    "<vstgui-ui-description version=\"1\">"
	    "<template name=\"huge\" class=\"CViewContainer\" size=\"1e300, -5\"/>"
	    "<template name=\"view\" class=\"CViewContainer\" size=\"200, 100\">"
	    "  <view class=\"CKnob\" control-tag=\"1\" origin=\"1e300, 0\" size=\"40, 40\""
	    "        min-value=\"1e300\" zoom-factor=\"-3\" angle-range=\"0\"/>"
	    "  <view class=\"CVerticalSwitch\" control-tag=\"2\" origin=\"100, 0\" size=\"20, 40\""
	    "        sub-pixmaps=\"2147483647\"/>"
	    "</template></vstgui-ui-description>");
	ViewRect rect;
	makeEditor (path, "huge")->getSize (&rect);
	EXPECT_GE (rect.getWidth (), 0);
	EXPECT_EQ (rect.getHeight (), 0);

	auto editor = makeEditor (path);
	ASSERT_EQ (editor->openHeadless (), kResultOk);

	const double nan = std::numeric_limits<double>::quiet_NaN ();
	EXPECT_EQ (editor->mouseDown (nan, 10, kLButton), kMouseEventNotHandled);
	EXPECT_EQ (editor->mouseDown (20, std::numeric_limits<double>::infinity (), kLButton),
	           kMouseEventNotHandled);
	EXPECT_FALSE (editor->mouseWheel (20, 20, std::numeric_limits<float>::infinity (), 0));

	// A drag far beyond the view ends at the range's end, as a number.
	EXPECT_EQ (editor->mouseDown (20, 20, kLButton), kMouseEventHandled);
	editor->mouseMoved (20, -1e300, kLButton);
	editor->mouseUp (20, -1e300, kLButton);
	EXPECT_EQ (controller->getParamNormalized (kKnobParam), 1.);

	editor->mouseDown (110, 39, kLButton);
	editor->mouseUp (110, 39, kLButton);
	// So many positions that the pointer's place is the value.
	EXPECT_NEAR (controller->getParamNormalized (kSwitchParam), 39. / 40., 1e-6);
}
