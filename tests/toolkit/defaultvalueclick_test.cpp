// The default-value click: the predicate, and the reset of knobs and switches.
#include "recordinglistener.h"
#include "toolkit/cframe.h"
#include "toolkit/cknob.h"
#include "toolkit/cswitch.h"
#include "ui/defaultvalueclick.h"

#include <gtest/gtest.h>

using namespace VSTGUI;
using CalvirToolkitTest::RecordingListener;

namespace {

constexpr int32_t kOption = kAlt;
constexpr int32_t kCommand = kControl;
constexpr int32_t kCtrl = kApple;

bool isReset (int32_t buttons)
{
	return isDefaultValueClick (nullptr, CButtonState (buttons));
}

} // namespace

TEST (DefaultValueClickPredicate, SettingsAreOptionAndShift)
{
	EXPECT_EQ (CControl::kDefaultValueModifier, 64);
	EXPECT_EQ (CControl::kZoomModifier, 16);
	EXPECT_EQ (CControl::getDefaultValueClickPredicate (), &isDefaultValueClick);
}

TEST (DefaultValueClickPredicate, OptionAloneWithLeftButtonOnly)
{
	EXPECT_TRUE (isReset (kLButton | kOption));
	// The double-click flag is outside both masks.
	EXPECT_TRUE (isReset (kLButton | kOption | kDoubleClick));

	// Another modifier with Option.
	EXPECT_FALSE (isReset (kLButton | kOption | kShift));
	EXPECT_FALSE (isReset (kLButton | kOption | kCommand));
	EXPECT_FALSE (isReset (kLButton | kOption | kCtrl));
	// Other buttons.
	EXPECT_FALSE (isReset (kRButton | kOption));
	EXPECT_FALSE (isReset (kMButton | kOption));
	EXPECT_FALSE (isReset (kLButton | kRButton | kOption));
	EXPECT_FALSE (isReset (kLButton | kButton4 | kOption));
	EXPECT_FALSE (isReset (kLButton | kButton5 | kOption));
	EXPECT_FALSE (isReset (kOption));
	// No Option.
	EXPECT_FALSE (isReset (kLButton));
	EXPECT_FALSE (isReset (kLButton | kShift));
	EXPECT_FALSE (isReset (kLButton | kDoubleClick));
}

namespace {

// A frame that hands a fixed knob mode to its knobs.
class FixedKnobMode : public VSTGUIEditorInterface
{
public:
	explicit FixedKnobMode (int32_t mode) : mode (mode) {}
	int32_t getKnobMode () const override { return mode; }
	int32_t mode;
};

class ControlResetTest : public ::testing::Test
{
protected:
	void SetUp () override
	{
		frame = owned (new CFrame (CRect (0, 0, 200, 200), &knobMode));
		knob = new CKnob (CRect (10, 10, 50, 50), &listener, 1);
		knob->setDefaultValue (0.25f);
		knob->setValue (0.8f);
		frame->addView (knob);
		switchControl = new CVerticalSwitch (CRect (100, 10, 140, 90), &listener, 2);
		switchControl->setNumPositions (2);
		switchControl->setDefaultValue (0.f);
		switchControl->setValue (1.f);
		frame->addView (switchControl);
	}

	CMouseEventResult click (CControl* control, CPoint where, int32_t buttons)
	{
		return control->onMouseDown (where, CButtonState (buttons));
	}

	FixedKnobMode knobMode {kLinearMode};
	RecordingListener listener;
	SharedPointer<CFrame> frame;
	CKnob* knob {nullptr};
	CVerticalSwitch* switchControl {nullptr};
};

} // namespace

TEST_F (ControlResetTest, KnobResetsAsOneEdit)
{
	EXPECT_EQ (click (knob, {30, 30}, kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_FLOAT_EQ (knob->getValue (), 0.25f);
	EXPECT_EQ (listener.events, "bve");
	EXPECT_FALSE (knob->isEditing ());
	EXPECT_TRUE (knob->isDirty ());
}

TEST_F (ControlResetTest, SwitchResetsAsOneEdit)
{
	EXPECT_EQ (click (switchControl, {120, 20}, kLButton | kAlt | kDoubleClick),
	           kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_FLOAT_EQ (switchControl->getValue (), 0.f);
	EXPECT_EQ (listener.events, "bve");
	EXPECT_FALSE (switchControl->isEditing ());
}

TEST_F (ControlResetTest, AtDefaultNothingChangesButTheMouseDownEnds)
{
	knob->setValue (0.25f);
	EXPECT_EQ (click (knob, {30, 30}, kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (listener.changes, 0);
	// The knob opens and closes its own edit around the test.
	EXPECT_EQ (listener.events, "be");

	// The second click of an Option double-click finds the default already.
	switchControl->setValue (0.f);
	listener = RecordingListener ();
	EXPECT_EQ (click (switchControl, {120, 80}, kLButton | kAlt | kDoubleClick),
	           kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_FLOAT_EQ (switchControl->getValue (), 0.f);
	EXPECT_EQ (listener.events, "be");
}

TEST_F (ControlResetTest, OptionWithAnotherModifierDragsInsteadOfResetting)
{
	// Linear host mode: Option-Shift turns the drag circular. The pointer at
	// the top of the knob is the middle of the default 270 degree range.
	EXPECT_EQ (click (knob, {30, 10}, kLButton | kAlt | kShift), kMouseEventHandled);
	EXPECT_NEAR (knob->getValue (), 0.5f, 1e-6);
	EXPECT_TRUE (knob->isEditing ());
	CPoint up (30, 10);
	knob->onMouseUp (up, CButtonState (kLButton));
	EXPECT_FALSE (knob->isEditing ());
	EXPECT_EQ (listener.begins, 1);
	EXPECT_EQ (listener.ends, 1);

	// Without Option the same click does not move a linear knob.
	knob->setValue (0.8f);
	EXPECT_EQ (click (knob, {30, 10}, kLButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (knob->getValue (), 0.8f);
	CPoint moved (30, 10 - CKnobBase::kLinearRangePixels * 0.2);
	knob->onMouseMoved (moved, CButtonState (kLButton));
	knob->onMouseUp (moved, CButtonState (kLButton));
	EXPECT_FLOAT_EQ (knob->getValue (), 1.f);
}

TEST_F (ControlResetTest, OtherButtonsAreNotHandled)
{
	EXPECT_EQ (click (knob, {30, 30}, kRButton | kAlt), kMouseEventNotHandled);
	EXPECT_EQ (click (knob, {30, 30}, kLButton | kRButton), kMouseEventNotHandled);
	EXPECT_EQ (click (switchControl, {120, 20}, kRButton | kAlt), kMouseEventNotHandled);
	EXPECT_EQ (listener.events, "");
	EXPECT_FLOAT_EQ (knob->getValue (), 0.8f);
}
