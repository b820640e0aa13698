// The editor's sliders as a host meets them: the built bundle's controller
// opens its editor headless, and its sliders, which name no mode in
// "plug.uidesc", behave in the added mode; a click and drag reaches the host
// as one edit of the slider's parameter.
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "processor/plugids.h"
#include "support/bundlefactorytest.h"
#include "support/testfunknown.h"
#include "toolkit/iheadlesseditor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace VSTGUI {
DEF_CLASS_IID (IHeadlessEditor)
}

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

// The toolkit's bits of the left mouse button and of Shift, and its mouse-event results.
constexpr int32 kLeftButton = 1 << 1;
constexpr int32 kShiftKey = 1 << 4;
constexpr int32 kMouseHandled = 1;

// The host's side of the edits: every call in order.
struct RecordingComponentHandler : IComponentHandler
{
	struct Call
	{
		char kind; // 'b' begin, 'p' perform, 'e' end
		ParamID id;
		ParamValue value;
	};

	tresult PLUGIN_API beginEdit (ParamID id) override { return record ('b', id, 0.); }
	tresult PLUGIN_API performEdit (ParamID id, ParamValue value) override
	{
		return record ('p', id, value);
	}
	tresult PLUGIN_API endEdit (ParamID id) override { return record ('e', id, 0.); }
	tresult PLUGIN_API restartComponent (int32) override { return kResultOk; }
	CALVIR_TEST_SUPPORT_FUNKNOWN (IComponentHandler)

	tresult record (char kind, ParamID id, ParamValue value)
	{
		calls.push_back ({kind, id, value});
		return kResultOk;
	}
	int count (char kind) const
	{
		int n = 0;
		for (const auto& call : calls)
			n += call.kind == kind;
		return n;
	}

	std::vector<Call> calls;
};

class SliderInEditor : public CalvirTestSupport::BundleFactoryTest<>
{
protected:
	void SetUp () override
	{
		loadFactory ();
		if (HasFatalFailure ())
			return;
		ASSERT_EQ (factory->createInstance (kPlugControllerUID, IEditController::iid,
		                                    reinterpret_cast<void**> (&controller)),
		           kResultOk);
		ASSERT_EQ (controller->initialize (nullptr), kResultOk);
		ASSERT_EQ (controller->setComponentHandler (&handler), kResultOk);
		view = controller->createView (ViewType::kEditor);
		ASSERT_NE (view, nullptr);
		ASSERT_EQ (view->queryInterface (VSTGUI::IHeadlessEditor::iid,
		                                 reinterpret_cast<void**> (&editor)),
		           kResultOk);
		ASSERT_EQ (editor->openHeadless (), kResultOk);
	}

	void TearDown () override
	{
		if (editor)
		{
			editor->closeHeadless ();
			editor->release ();
		}
		if (view)
			view->release ();
		if (controller)
		{
			controller->setComponentHandler (nullptr);
			controller->terminate ();
			controller->release ();
		}
		releaseFactory ();
	}

	// Index of the first view of the class with the tag, or -1.
	int32 findView (const char* viewClass, int32 tag, VSTGUI::HeadlessViewInfo& info)
	{
		for (int32 index = 0; index < editor->countViews (); ++index)
		{
			if (editor->getViewInfo (index, &info) == kResultOk &&
			    std::strcmp (info.viewClass, viewClass) == 0 && info.tag == tag)
				return index;
		}
		return -1;
	}

	// The slider of a parameter: its view index (-1 if none), its view info
	// and the x of its centre line.
	struct SliderView
	{
		int32 index;
		VSTGUI::HeadlessViewInfo info;
		double x;
	};
	SliderView findSlider (ParamID id)
	{
		SliderView slider {};
		slider.index = findView ("CSlider", static_cast<int32> (id), slider.info);
		slider.x = (slider.info.left + slider.info.right) / 2.;
		return slider;
	}

	std::string attribute (int32 index, const char* name)
	{
		char8 buffer[128] {};
		if (editor->getViewAttribute (index, name, buffer, sizeof buffer) != kResultOk)
			return "<none>";
		return buffer;
	}

	double valueOf (int32 index)
	{
		VSTGUI::HeadlessViewInfo info {};
		editor->getViewInfo (index, &info);
		return info.valueNormalized;
	}

	// The calls since the last clear are one edit of the parameter, whose
	// last performed value is the slider's and the controller's.
	void expectOneEditOf (ParamID id, double value)
	{
		ASSERT_GE (handler.calls.size (), 3u);
		EXPECT_EQ (handler.calls.front ().kind, 'b');
		EXPECT_EQ (handler.calls.back ().kind, 'e');
		EXPECT_EQ (handler.count ('b'), 1);
		EXPECT_EQ (handler.count ('e'), 1);
		for (const auto& call : handler.calls)
			EXPECT_EQ (call.id, id);
		const auto lastPerform = std::find_if (handler.calls.rbegin (), handler.calls.rend (),
		                                       [] (const auto& call) { return call.kind == 'p'; });
		ASSERT_NE (lastPerform, handler.calls.rend ());
		EXPECT_NEAR (lastPerform->value, value, 1e-6);
		EXPECT_NEAR (controller->getParamNormalized (id), value, 1e-6);
	}

	IEditController* controller {nullptr};
	IPlugView* view {nullptr};
	VSTGUI::IHeadlessEditor* editor {nullptr};
	RecordingComponentHandler handler;
};

TEST_F (SliderInEditor, EverySliderFollowsTheAddedGlobalMode)
{
	int sliders = 0;
	for (int32 index = 0; index < editor->countViews (); ++index)
	{
		VSTGUI::HeadlessViewInfo info {};
		ASSERT_EQ (editor->getViewInfo (index, &info), kResultOk);
		if (std::strcmp (info.viewClass, "CSlider") != 0)
			continue;
		++sliders;
		EXPECT_EQ (attribute (index, "mode"), "use global") << "tag " << info.tag;
	}
	EXPECT_EQ (sliders, 8);
}

TEST_F (SliderInEditor, ClickOffTheHandleJumpsClickOnItGrabsAndTheDragIsOneEdit)
{
	const auto [index, info, x] = findSlider (kLevelId);
	ASSERT_GE (index, 0);
	const double travel = (info.bottom - info.top) - 12.; // the handle bitmap is 12 high
	ASSERT_GT (travel, 40.);
	// The level's default (0 dB) puts the handle a quarter of the travel from
	// one end (37 to 49 or 111 to 123 units from the top); halfway down is off
	// the handle either way.
	const double y = info.top + 80.;

	// Off the handle: the handle jumps so that the pointer lies one unit
	// short of its centre (the leading edge at y - 6 + 1).
	EXPECT_EQ (editor->mouseDown (x, y, kLeftButton), kMouseHandled);
	editor->mouseUp (x, y, kLeftButton);
	const double jumped = valueOf (index);
	const double fromTop = (80. - 5.) / travel;
	const bool minimumAtTop = std::abs (jumped - fromTop) < 1e-6;
	if (!minimumAtTop)
	{
		EXPECT_NEAR (jumped, 1. - fromTop, 1e-6);
	}
	ASSERT_EQ (handler.count ('b'), 1);
	ASSERT_EQ (handler.count ('e'), 1);

	// On the handle: grabbed where it is, then it follows the pointer.
	handler.calls.clear ();
	EXPECT_EQ (editor->mouseDown (x, y, kLeftButton), kMouseHandled);
	// (At most the snap to the whole-unit handle position.)
	const double grabbed = valueOf (index);
	EXPECT_NEAR (grabbed, jumped, 1. / travel);
	editor->mouseMoved (x + 9., y + 10., kLeftButton);
	editor->mouseMoved (x - 9., y + 20., kLeftButton);
	editor->mouseUp (x - 9., y + 20., kLeftButton);
	const double dragged = valueOf (index);
	const double expected = grabbed + (minimumAtTop ? 20. : -20.) / travel;
	EXPECT_NEAR (dragged, expected, 1e-6);

	expectOneEditOf (kLevelId, dragged);
}

TEST_F (SliderInEditor, MoveWithoutTheLeftButtonKeepsTheGestureSoItsEditCloses)
{
	const auto [index, info, x] = findSlider (kMixId);
	ASSERT_GE (index, 0);
	editor->mouseDown (x, info.top + 20., kLeftButton);
	const double down = valueOf (index);
	const size_t callsAtDown = handler.calls.size ();

	// No button held: the slider keeps the gesture and the value.
	EXPECT_EQ (editor->mouseMoved (x, info.top + 60., 0), kMouseHandled);
	EXPECT_EQ (valueOf (index), down);
	EXPECT_EQ (handler.calls.size (), callsAtDown);

	editor->mouseMoved (x, info.top + 60., kLeftButton);
	const double dragged = valueOf (index);
	EXPECT_NE (dragged, down);
	editor->mouseUp (x, info.top + 60., kLeftButton);
	expectOneEditOf (kMixId, dragged);
}

TEST_F (SliderInEditor, ShiftClickOffTheHandleThenShiftMoveGoesAZoomFractionOfTheJump)
{
	const auto [index, info, x] = findSlider (kMixId);
	ASSERT_GE (index, 0);
	const double zoomFactor = std::stod (attribute (index, "zoom-factor"));
	// The mix's default puts the handle mid-way, well below this point.
	const double y = info.top + 20.;
	const double before = valueOf (index);
	editor->mouseDown (x, y, kLeftButton | kShiftKey);
	EXPECT_EQ (valueOf (index), before);
	editor->mouseMoved (x, y, kLeftButton | kShiftKey);
	const double fine = valueOf (index);
	editor->mouseUp (x, y, kLeftButton | kShiftKey);
	expectOneEditOf (kMixId, fine);

	// A plain click at the same point puts the value where the pointer says.
	editor->mouseDown (x, y, kLeftButton);
	editor->mouseUp (x, y, kLeftButton);
	const double jumped = valueOf (index);
	ASSERT_GT (std::abs (jumped - before), 0.1);
	EXPECT_NEAR (fine, before + (jumped - before) / zoomFactor, 1e-6);
}

TEST_F (SliderInEditor, OptionClickResetsTheParameterToItsDefault)
{
	const auto [index, info, x] = findSlider (kMixId);
	ASSERT_GE (index, 0);
	editor->mouseDown (x, info.top + 20., kLeftButton);
	editor->mouseUp (x, info.top + 20., kLeftButton);
	ASSERT_GT (std::abs (valueOf (index) - info.defaultValueNormalized), 0.05);

	handler.calls.clear ();
	constexpr int32 kOption = 1 << 6;
	EXPECT_EQ (editor->mouseDown (x, info.bottom - 3., kLeftButton | kOption),
	           3 /* handled, no moves or up */);
	EXPECT_NEAR (valueOf (index), info.defaultValueNormalized, 1e-6);
	EXPECT_EQ (handler.count ('b'), 1);
	EXPECT_EQ (handler.count ('e'), 1);
	EXPECT_NEAR (controller->getParamNormalized (kMixId), info.defaultValueNormalized, 1e-6);
}

} // namespace
