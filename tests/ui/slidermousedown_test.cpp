// The slider's mouse-down: the mode dispatch and the drag offset, above all in
// the added mode (a click on the handle grabs it, a click elsewhere jumps).
#include "slidertesthelpers.h"

#include "toolkit/cvstguitimer.h"
#include "toolkit/vstguidebug.h"

#include <gtest/gtest.h>

namespace CalvirTest {
namespace {

constexpr int32_t kOption = kAlt;

//------------------------------------------------------------------------
// Modes and the global mode
//------------------------------------------------------------------------
TEST (SliderMode, NewSliderFollowsTheAddedGlobalMode)
{
	EXPECT_EQ (CSliderBase::getGlobalMode (), CSliderMode::KSFreeClick);
	auto slider = makeHorizontalSlider ();
	EXPECT_EQ (slider->getSliderMode (), CSliderMode::UseGlobal);
	EXPECT_EQ (slider->getEffectiveSliderMode (), CSliderMode::KSFreeClick);

	slider->setSliderMode (CSliderMode::Ramp);
	EXPECT_EQ (slider->getSliderMode (), CSliderMode::Ramp);
	EXPECT_EQ (slider->getEffectiveSliderMode (), CSliderMode::Ramp);
}

TEST (SliderMode, CopyKeepsTheOwnMode)
{
	auto slider = makeHorizontalSlider ();
	slider->setSliderMode (CSliderMode::Touch);
	auto copy = makeOwned<CSlider> (*slider);
	EXPECT_EQ (copy->getSliderMode (), CSliderMode::Touch);
	EXPECT_EQ (copy->getHandleTravel (), slider->getHandleTravel ());
}

TEST (SliderMode, ValueOutsideTheSixIsRefused)
{
	auto slider = makeHorizontalSlider ();
	slider->setSliderMode (CSliderMode::Touch);
	slider->setSliderMode (static_cast<CSliderMode> (6));
	slider->setSliderMode (static_cast<CSliderMode> (-1));
	EXPECT_EQ (slider->getSliderMode (), CSliderMode::Touch);

	CSliderBase::setGlobalMode (static_cast<CSliderMode> (42));
	EXPECT_EQ (CSliderBase::getGlobalMode (), CSliderMode::KSFreeClick);
}

TEST (SliderMode, UseGlobalAsGlobalModeIsReportedAndIgnored)
{
	std::string file, message;
	int calls = 0;
	setAssertionHandler ([&] (const char* f, const char*, const char* d) {
		++calls;
		file = f ? f : "";
		message = d ? d : "";
	});
	CSliderBase::setGlobalMode (CSliderMode::UseGlobal);
	setAssertionHandler (nullptr);

	EXPECT_EQ (calls, 1);
	EXPECT_EQ (message, "do not set the global mode to use global");
	EXPECT_NE (file.find ("cslider"), std::string::npos);
	EXPECT_EQ (CSliderBase::getGlobalMode (), CSliderMode::KSFreeClick);

	// Without a handler nothing is reported, and still nothing changes.
	CSliderBase::setGlobalMode (CSliderMode::UseGlobal);
	EXPECT_EQ (CSliderBase::getGlobalMode (), CSliderMode::KSFreeClick);
}

TEST (SliderMode, GlobalFreeClickReachesFollowersOnlyAtTheirNextMouseDown)
{
	auto follower = makeHorizontalSlider ();
	auto ownMode = makeHorizontalSlider ();
	ownMode->setSliderMode (CSliderMode::KSFreeClick);
	{
		GlobalModeGuard guard (CSliderMode::FreeClick);
		EXPECT_EQ (follower->getEffectiveSliderMode (), CSliderMode::FreeClick);

		// A click at the handle's centre (x 70): the follower jumps so that
		// the pointer lies one unit short of the handle's centre...
		mouseDown (*follower, {70., 25.});
		EXPECT_FLOAT_EQ (follower->getValueNormalized (), 0.51f);
		// ...the slider with its own mode grabs and keeps its value.
		mouseDown (*ownMode, {70., 25.});
		EXPECT_EQ (ownMode->getValueNormalized (), 0.5f);
	}
	EXPECT_EQ (follower->getEffectiveSliderMode (), CSliderMode::KSFreeClick);
}

//------------------------------------------------------------------------
// Drag offset
//------------------------------------------------------------------------
TEST (SliderDelta, AddedModeOnAndOffTheHandle)
{
	auto slider = makeHorizontalSlider (); // handle x 60..80, y 20..30, base 10
	CRect handleRect;
	// Grab: base + along(where) - handle position.
	EXPECT_EQ (slider->calculateDelta ({65., 25.}, &handleRect), 10.f + 65.f - 60.f);
	EXPECT_EQ (handleRect, CRect (60., 20., 80., 30.));
	// Jump: base + handle length / 2 - 1.
	EXPECT_EQ (slider->calculateDelta ({100., 25.}, &handleRect), 10.f + 10.f - 1.f);
	// Without a rectangle the pointer counts as off the handle.
	EXPECT_EQ (slider->calculateDelta ({65., 25.}, nullptr), 19.f);
}

TEST (SliderDelta, HandleOffsetMovesBaseAndRectangle)
{
	auto slider = makeHorizontalSlider ();
	slider->setOffsetHandle ({5., 3.}); // travel 90, base 15: handle at 15 + 45 = 60
	CRect handleRect;
	EXPECT_EQ (slider->calculateDelta ({61., 24.}, &handleRect), 15.f + 61.f - 60.f);
	EXPECT_EQ (handleRect, CRect (60., 23., 80., 33.));
}

TEST (SliderDelta, FreeClickLeavesTheRectangleUntouched)
{
	auto slider = makeVerticalSlider ();
	slider->setSliderMode (CSliderMode::FreeClick);
	CRect handleRect (1., 2., 3., 4.);
	EXPECT_EQ (slider->calculateDelta ({15., 75.}, &handleRect), 20.f + 10.f - 1.f);
	EXPECT_EQ (handleRect, CRect (1., 2., 3., 4.));
}

TEST (SliderDelta, OtherModesGrabAnywhere)
{
	for (auto mode : {CSliderMode::Touch, CSliderMode::RelativeTouch, CSliderMode::Ramp})
	{
		auto slider = makeVerticalSlider (); // handle x 10..20, y 70..90, base 20
		slider->setSliderMode (mode);
		CRect handleRect;
		EXPECT_EQ (slider->calculateDelta ({25., 120.}, &handleRect), 20.f + 120.f - 70.f);
		EXPECT_EQ (handleRect, CRect (10., 70., 20., 90.));
	}
}

TEST (SliderDelta, ControlWithoutRangeKeepsHandleAtBase)
{
	auto slider = makeHorizontalSlider ();
	slider->setMin (1.f);
	slider->setMax (1.f);
	CRect handleRect;
	slider->calculateDelta ({12., 25.}, &handleRect);
	EXPECT_EQ (handleRect.left, 10.);
}

//------------------------------------------------------------------------
// The added mode
//------------------------------------------------------------------------
TEST (SliderAddedMode, LeftAndTopEdgesGrabRightAndBottomEdgesJump)
{
	{
		auto slider = makeHorizontalSlider ();
		EXPECT_EQ (mouseDown (*slider, {60., 20.}), kMouseEventHandled);
		EXPECT_EQ (slider->getValueNormalized (), 0.5f);
		mouseUp (*slider, {60., 20.});
		// Right edge: off the handle; the leading edge goes to 80 - 10 + 1.
		mouseDown (*slider, {80., 25.});
		EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.61f);
	}
	{
		auto slider = makeHorizontalSlider ();
		// Bottom edge (y 30) is off the handle as well.
		mouseDown (*slider, {70., 30.});
		EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.51f);
	}
	{
		auto slider = makeVerticalSlider ();
		mouseDown (*slider, {10., 70.});
		EXPECT_EQ (slider->getValueNormalized (), 0.5f);
		mouseUp (*slider, {10., 70.});
		// Bottom edge: the leading edge goes to 90 - 10 + 1 = 81, value 1 - 0.61.
		mouseDown (*slider, {15., 90.});
		EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.39f);
	}
	{
		auto slider = makeVerticalSlider ();
		// Right edge (x 20) of a vertical handle is off the handle.
		mouseDown (*slider, {20., 80.});
		EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.5f - 0.01f);
	}
}

TEST (SliderAddedMode, GrabKeepsHandleAndFollowsDisplacementAlongTheAxis)
{
	for (CPoint grab : {CPoint (60., 20.), CPoint (79., 29.), CPoint (70., 24.), CPoint (61., 28.)})
	{
		auto slider = makeHorizontalSlider ();
		EXPECT_EQ (mouseDown (*slider, grab), kMouseEventHandled);
		EXPECT_EQ (slider->getValueNormalized (), 0.5f);
		mouseMove (*slider, {grab.x + 7., grab.y + 13.});
		EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.57f);
		mouseMove (*slider, {grab.x - 20., grab.y - 50.});
		EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.3f);
	}
	for (CPoint grab : {CPoint (10., 70.), CPoint (19., 89.), CPoint (14., 80.)})
	{
		auto slider = makeVerticalSlider ();
		mouseDown (*slider, grab);
		EXPECT_EQ (slider->getValueNormalized (), 0.5f);
		// Down by 7 on a slider with its minimum at the bottom lowers the value.
		mouseMove (*slider, {grab.x + 13., grab.y + 7.});
		EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.43f);
	}
}

TEST (SliderAddedMode, PointerAcrossTheAxisOutsideTheHandleJumps)
{
	auto slider = makeHorizontalSlider (); // view 20 high, handle 10 high
	// Within the handle's horizontal span (60..80) but below it.
	mouseDown (*slider, {70., 35.});
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.51f);
	EXPECT_EQ (slider->getDragOffset (), 19.);

	auto vertical = makeVerticalSlider ();
	vertical->setViewSize (CRect (10., 20., 40., 140.)); // wider than the handle
	mouseDown (*vertical, {25., 80.});
	EXPECT_FLOAT_EQ (vertical->getValueNormalized (), 0.49f);
}

TEST (SliderAddedMode, ClickOnHandleSnapsToWholeUnits)
{
	auto horizontal = makeHorizontalSlider ();
	horizontal->setValueNormalized (0.505f); // handle at 10 + trunc(50.5) = 60
	mouseDown (*horizontal, {65., 25.});
	EXPECT_EQ (horizontal->getValueNormalized (), 0.5f);

	auto vertical = makeVerticalSlider ();
	vertical->setValueNormalized (0.505f); // handle at 20 + trunc(49.5) = 69
	mouseDown (*vertical, {15., 75.});
	EXPECT_EQ (vertical->getValueNormalized (), 0.51f);
}

TEST (SliderAddedMode, ShiftClickBeginsEditButMovesNothingThenFirstMovePullsAZoomFraction)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	EXPECT_EQ (mouseDown (*slider, {110., 25.}, kLButton | kShift), kMouseEventHandled);
	EXPECT_EQ (listener.begins, 1);
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);
	EXPECT_TRUE (listener.values.empty ());
	// The pointer (free-click offset 19) says 0.91; the value goes a tenth
	// of the way there from its reference 0.5.
	mouseMove (*slider, {110., 25.}, kLButton | kShift);
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.541f);
	mouseUp (*slider, {110., 25.});
	EXPECT_EQ (listener.ends, 1);
}

TEST (SliderAddedMode, OnlyTheLeftButtonClicks)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	EXPECT_EQ (mouseDown (*slider, {100., 25.}, kRButton), kMouseEventNotHandled);
	EXPECT_EQ (mouseDown (*slider, {100., 25.}, kRButton | kAlt), kMouseEventNotHandled);
	EXPECT_EQ (listener.begins, 0);
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);
	// Another button held with the left one does not matter.
	EXPECT_EQ (mouseDown (*slider, {100., 25.}, kLButton | kRButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.81f);
}

TEST (SliderAddedMode, DragIsOneEdit)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	mouseDown (*slider, {100., 25.});
	mouseMove (*slider, {105., 25.});
	mouseMove (*slider, {110., 25.});
	mouseUp (*slider, {110., 25.});
	EXPECT_EQ (listener.begins, 1);
	EXPECT_EQ (listener.ends, 1);
	ASSERT_EQ (listener.values.size (), 3u);
	EXPECT_FLOAT_EQ (listener.values.back (), 0.91f);
}

//------------------------------------------------------------------------
// Option-click (default value) in every mode
//------------------------------------------------------------------------
struct OptionClickCase
{
	CSliderMode mode;
	bool onHandle;
	bool resets;
};

TEST (SliderOptionClick, ResetsExceptOffTheHandleInTheTouchModes)
{
	const OptionClickCase cases[] = {
	    {CSliderMode::Touch, true, true},          {CSliderMode::Touch, false, false},
	    {CSliderMode::RelativeTouch, true, true},  {CSliderMode::RelativeTouch, false, false},
	    {CSliderMode::FreeClick, true, true},      {CSliderMode::FreeClick, false, true},
	    {CSliderMode::KSFreeClick, true, true},    {CSliderMode::KSFreeClick, false, true},
	    {CSliderMode::Ramp, true, true},           {CSliderMode::Ramp, false, true},
	    {CSliderMode::UseGlobal, true, true},      {CSliderMode::UseGlobal, false, true},
	};
	for (const auto& c : cases)
	{
		SCOPED_TRACE (static_cast<int> (c.mode) * 10 + c.onHandle);
		RecordingListener listener;
		auto slider = makeHorizontalSlider (&listener);
		slider->setSliderMode (c.mode);
		slider->setDefaultValue (0.25f);
		const CPoint where = c.onHandle ? CPoint (70., 25.) : CPoint (110., 25.);
		const auto result = mouseDown (*slider, where, kLButton | kOption);
		if (c.resets)
		{
			EXPECT_EQ (result, kMouseDownEventHandledButDontNeedMovedOrUpEvents);
			EXPECT_EQ (slider->getValue (), 0.25f);
			EXPECT_EQ (listener.begins, 1);
			EXPECT_EQ (listener.ends, 1);
			EXPECT_EQ (listener.values.size (), 1u);
			EXPECT_FALSE (slider->isRamping ());
		}
		else
		{
			EXPECT_EQ (slider->getValue (), 0.5f);
		}
	}
}

TEST (SliderOptionClick, RelativeTouchOffTheHandleIsAnOrdinaryRelativeDrag)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	slider->setSliderMode (CSliderMode::RelativeTouch);
	slider->setDefaultValue (0.25f);
	EXPECT_EQ (mouseDown (*slider, {110., 25.}, kLButton | kOption), kMouseEventHandled);
	EXPECT_EQ (listener.begins, 1);
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);
	mouseMove (*slider, {100., 25.}, kLButton | kOption);
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.4f);
	mouseUp (*slider, {100., 25.});
	EXPECT_EQ (listener.ends, 1);
}

TEST (SliderOptionClick, AtTheDefaultChangesNothingAndBeginsNoEdit)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	slider->setDefaultValue (0.5f);
	EXPECT_EQ (mouseDown (*slider, {110., 25.}, kLButton | kOption),
	           kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (listener.begins, 0);
	EXPECT_TRUE (listener.values.empty ());
	EXPECT_EQ (slider->getValue (), 0.5f);
}

TEST (SliderOptionClick, OptionWithAnotherModifierIsNoReset)
{
	auto slider = makeHorizontalSlider ();
	slider->setDefaultValue (0.25f);
	// Option-Command: an ordinary jump to the pointer.
	EXPECT_EQ (mouseDown (*slider, {110., 25.}, kLButton | kOption | kControl), kMouseEventHandled);
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.91f);
}

//------------------------------------------------------------------------
// The other modes off the handle
//------------------------------------------------------------------------
TEST (SliderOtherModes, TouchIgnoresClickOffTheHandle)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	slider->setSliderMode (CSliderMode::Touch);
	EXPECT_EQ (mouseDown (*slider, {110., 25.}), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (listener.begins, 0);
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);
	// On the handle it grabs.
	EXPECT_EQ (mouseDown (*slider, {65., 25.}), kMouseEventHandled);
	mouseMove (*slider, {75., 25.});
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.6f);
}

TEST (SliderOtherModes, RelativeTouchOffTheHandleGrabsWithoutJump)
{
	auto slider = makeVerticalSlider ();
	slider->setSliderMode (CSliderMode::RelativeTouch);
	mouseDown (*slider, {15., 130.});
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);
	mouseMove (*slider, {15., 120.});
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.6f);
}

TEST (SliderOtherModes, FreeClickJumpsEvenOnTheHandle)
{
	auto slider = makeHorizontalSlider ();
	slider->setSliderMode (CSliderMode::FreeClick);
	mouseDown (*slider, {62., 25.});
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.43f);
}

TEST (SliderOtherModes, RampOffTheHandleMovesTowardThePointerThenGrabs)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	slider->setSliderMode (CSliderMode::Ramp);
	EXPECT_EQ (mouseDown (*slider, {110., 25.}), kMouseEventHandled);
	EXPECT_TRUE (slider->isRamping ());
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);

	CVSTGUITimer::advanceTime (CSliderBase::kRampTimerPeriodMs);
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.52f);
	// Moves only retarget the ramp.
	mouseMove (*slider, {105., 25.});
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.52f);

	// The pointer at 105 puts the handle's centre there: value 0.85.
	CVSTGUITimer::advanceTime (CSliderBase::kRampTimerPeriodMs * 40);
	EXPECT_FALSE (slider->isRamping ());
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.85f);
	// Then the handle is grabbed where it is.
	mouseMove (*slider, {95., 25.});
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.75f);
	mouseUp (*slider, {95., 25.});
	EXPECT_EQ (listener.begins, 1);
	EXPECT_EQ (listener.ends, 1);
}

TEST (SliderOtherModes, RampOnTheHandleGrabsAndUpStopsTheRamp)
{
	auto slider = makeHorizontalSlider ();
	slider->setSliderMode (CSliderMode::Ramp);
	mouseDown (*slider, {70., 25.});
	EXPECT_FALSE (slider->isRamping ());

	mouseDown (*slider, {20., 25.});
	EXPECT_TRUE (slider->isRamping ());
	mouseUp (*slider, {20., 25.});
	EXPECT_FALSE (slider->isRamping ());
	const float value = slider->getValueNormalized ();
	CVSTGUITimer::advanceTime (CSliderBase::kRampTimerPeriodMs * 4);
	EXPECT_EQ (slider->getValueNormalized (), value);
}

} // namespace
} // namespace CalvirTest
