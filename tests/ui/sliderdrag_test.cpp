// The slider's geometry and what follows a mouse-down: the move rule, fine
// adjustment, up, cancel and the mouse wheel.
#include "slidertesthelpers.h"

#include "toolkit/cvstguitimer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace CalvirTest {
namespace {

TEST (SliderGeometry, DefaultsAndTravel)
{
	auto slider = makeOwned<CSlider> (CRect (0., 0., 50., 10.));
	EXPECT_EQ (slider->getStyle (), CSliderBase::kLeft | CSliderBase::kHorizontal);
	EXPECT_EQ (slider->getHandleWidth (), 1.);
	EXPECT_EQ (slider->getHandleHeight (), 1.);
	EXPECT_EQ (slider->getHandleTravel (), 49.);
	EXPECT_EQ (slider->getZoomFactor (), 10.f);

	auto vertical = makeOwned<CVerticalSlider> (CRect (0., 0., 10., 50.));
	EXPECT_EQ (vertical->getStyle (), CSliderBase::kBottom | CSliderBase::kVertical);
	auto horizontal = makeOwned<CHorizontalSlider> (CRect (0., 0., 50., 10.), nullptr, 1, nullptr,
	                                                nullptr, CPoint (), CSliderBase::kRight);
	EXPECT_EQ (horizontal->getStyle (), CSliderBase::kRight | CSliderBase::kHorizontal);
}

TEST (SliderGeometry, TravelFollowsSizeHandleAndOffset)
{
	auto slider = makeHorizontalSlider ();
	EXPECT_EQ (slider->getHandleTravel (), 100.);
	slider->setViewSize (CRect (0., 0., 200., 20.));
	EXPECT_EQ (slider->getHandleTravel (), 180.);
	slider->setOffsetHandle ({4., 2.});
	EXPECT_EQ (slider->getHandleTravel (), 172.);
	slider->setHandle (nullptr);
	EXPECT_EQ (slider->getHandleWidth (), 1.);
	EXPECT_EQ (slider->getHandleTravel (), 191.);
	slider->setStyle (CSliderBase::kVertical | CSliderBase::kBottom);
	EXPECT_EQ (slider->getHandleTravel (), 20. - 1. - 4.);
}

TEST (SliderDrag, ValueIsClampedAtBothEnds)
{
	auto slider = makeHorizontalSlider ();
	mouseDown (*slider, {70., 25.});
	mouseMove (*slider, {500., 25.});
	EXPECT_EQ (slider->getValueNormalized (), 1.f);
	mouseMove (*slider, {-500., 25.});
	EXPECT_EQ (slider->getValueNormalized (), 0.f);
}

TEST (SliderDrag, FarMinimumHorizontal)
{
	auto slider = makeOwned<CHorizontalSlider> (CRect (10., 20., 130., 40.), nullptr, 1,
	                                            makeOwned<CBitmap> (20., 10.), nullptr, CPoint (),
	                                            CSliderBase::kRight);
	slider->setValueNormalized (0.25f); // handle at 10 + trunc(0.75 * 100) = 85
	mouseDown (*slider, {90., 25.});
	EXPECT_EQ (slider->getValueNormalized (), 0.25f);
	mouseMove (*slider, {80., 25.});
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.35f);
}

TEST (SliderDrag, MovesWithoutMouseDownAreIgnored)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	EXPECT_EQ (mouseMove (*slider, {100., 25.}), kMouseEventNotHandled);
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);
	mouseUp (*slider, {100., 25.});
	EXPECT_EQ (listener.ends, 0);
}

TEST (SliderDrag, MovesWithoutTheLeftButtonStayWithTheDragAndChangeNothing)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	mouseDown (*slider, {70., 25.});
	for (int32_t buttons : {0, int32_t {kRButton}, int32_t {kShift}})
		EXPECT_EQ (mouseMove (*slider, {100., 25.}, buttons), kMouseEventHandled) << buttons;
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);
	EXPECT_TRUE (listener.values.empty ());
	mouseMove (*slider, {100., 25.});
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.8f);
	mouseUp (*slider, {100., 25.}, 0);
	EXPECT_EQ (listener.begins, 1);
	EXPECT_EQ (listener.ends, 1);
}

TEST (SliderDrag, HandleWithoutRoomDoesNotMove)
{
	auto slider = makeHorizontalSlider ();
	slider->setViewSize (CRect (10., 20., 25., 40.)); // narrower than the handle
	ASSERT_LT (slider->getHandleTravel (), 0.);
	mouseDown (*slider, {12., 25.});
	mouseMove (*slider, {20., 25.});
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);
	EXPECT_TRUE (std::isfinite (slider->getValue ()));
}

TEST (SliderDrag, PointerThatIsNoNumberLeavesTheValue)
{
	const double nan = std::numeric_limits<double>::quiet_NaN ();
	const double inf = std::numeric_limits<double>::infinity ();
	auto slider = makeHorizontalSlider ();
	mouseDown (*slider, {nan, 25.});
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);
	mouseMove (*slider, {nan, nan});
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);
	// Infinitely far is past the end.
	mouseMove (*slider, {inf, 25.});
	EXPECT_EQ (slider->getValueNormalized (), 1.f);
	mouseMove (*slider, {nan, 25.});
	EXPECT_EQ (slider->getValueNormalized (), 1.f);
}

TEST (SliderFineAdjustment, ShiftDividesDisplacementByZoomFactor)
{
	auto slider = makeHorizontalSlider ();
	mouseDown (*slider, {70., 25.}, kLButton | kShift);
	mouseMove (*slider, {90., 25.}, kLButton | kShift);
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.52f);
	mouseMove (*slider, {60., 25.}, kLButton | kShift);
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.49f);

	slider->setZoomFactor (2.f);
	mouseDown (*slider, {70., 25.}, kLButton | kShift);
	mouseMove (*slider, {80., 25.}, kLButton | kShift);
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.54f);
	// Without Shift the ordinary rule takes over again.
	mouseMove (*slider, {80., 25.});
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.59f);
}

TEST (SliderFineAdjustment, ShiftPressedDuringDragStartsFromThere)
{
	auto vertical = makeVerticalSlider ();
	mouseDown (*vertical, {15., 80.});
	mouseMove (*vertical, {15., 70.});
	EXPECT_FLOAT_EQ (vertical->getValueNormalized (), 0.6f);
	mouseMove (*vertical, {15., 70.}, kLButton | kShift);
	EXPECT_FLOAT_EQ (vertical->getValueNormalized (), 0.6f);
	mouseMove (*vertical, {15., 50.}, kLButton | kShift);
	EXPECT_FLOAT_EQ (vertical->getValueNormalized (), 0.62f);
}

// One move of a drag and the normalised value it leaves.
struct DragStep
{
	CPoint where;
	int32_t buttons;
	float value;
};

void expectDrag (CSliderBase& slider, std::initializer_list<DragStep> steps)
{
	int step = 0;
	for (const auto& s : steps)
	{
		mouseMove (slider, s.where, s.buttons);
		EXPECT_FLOAT_EQ (slider.getValueNormalized (), s.value) << "step " << step++;
	}
}

// With Shift the value goes a tenth of the way from the reference toward the
// pointer. The reference is taken when Shift joins buttons other than the
// remembered ones, follows the value on every move without Shift (taken
// before that move), and stays while the buttons stay.
TEST (SliderFineAdjustment, ReferenceThroughShiftReleasedAndPressedAgain)
{
	constexpr int32_t kLShift = kLButton | kShift;
	auto horizontal = makeHorizontalSlider ();
	mouseDown (*horizontal, {70., 25.}); // grab offset 20
	expectDrag (*horizontal, {
	                             {{90., 25.}, kLShift, 0.52f},    // reference 0.5
	                             {{110., 25.}, kLShift, 0.54f},   // still 0.5
	                             {{110., 25.}, kLButton, 0.9f},   // reference 0.54, then the pointer's
	                             {{100., 25.}, kLShift, 0.566f},  // the remembered buttons: 0.54 stays
	                             {{100., 25.}, kLShift | kRButton, 0.5894f}, // new buttons: 0.566
	                         });

	auto vertical = makeVerticalSlider ();
	mouseDown (*vertical, {15., 80.}, kLShift); // grab offset 30; the reference unset
	expectDrag (*vertical, {
	                           {{15., 60.}, kLShift, 0.52f},  // reference 0.5 at the first move
	                           {{15., 60.}, kLButton, 0.7f},  // reference 0.52
	                           {{15., 60.}, kLButton, 0.7f},  // reference 0.7
	                           {{15., 40.}, kLShift, 0.72f},
	                           {{15., -500.}, kLShift, 1.f},  // clamped
	                       });
}

TEST (SliderFineAdjustment, UnusableZoomFactorsAreRefused)
{
	auto slider = makeHorizontalSlider ();
	slider->setZoomFactor (4.f);
	for (float factor : {0.f, -3.f, std::numeric_limits<float>::infinity (),
	                     std::numeric_limits<float>::quiet_NaN ()})
		slider->setZoomFactor (factor);
	EXPECT_EQ (slider->getZoomFactor (), 4.f);
}

TEST (SliderCancel, RestoresTheStartValueAndEndsTheEdit)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	mouseDown (*slider, {110., 25.});
	mouseMove (*slider, {120., 25.});
	EXPECT_NE (slider->getValueNormalized (), 0.5f);
	EXPECT_EQ (slider->onMouseCancel (), kMouseEventHandled);
	EXPECT_EQ (slider->getValueNormalized (), 0.5f);
	EXPECT_EQ (listener.values.back (), 0.5f);
	EXPECT_EQ (listener.begins, 1);
	EXPECT_EQ (listener.ends, 1);
	// Nothing left to end.
	slider->onMouseCancel ();
	mouseUp (*slider, {120., 25.});
	EXPECT_EQ (listener.ends, 1);
}

TEST (SliderCancel, SecondMouseDownClosesTheOpenGesture)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	mouseDown (*slider, {110., 25.});
	mouseDown (*slider, {100., 25.});
	mouseUp (*slider, {100., 25.});
	EXPECT_EQ (listener.begins, 2);
	EXPECT_EQ (listener.ends, 2);
	EXPECT_FALSE (slider->isEditing ());
}

TEST (SliderWheel, StepsTheValueAsOneEditThatAMouseDownEnds)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	slider->setWheelInc (0.05f);
	EXPECT_TRUE (slider->onWheel ({70., 25.}, kMouseWheelAxisY, 1.f, CButtonState ()));
	EXPECT_TRUE (slider->onWheel ({70., 25.}, kMouseWheelAxisY, 2.f, CButtonState ()));
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.65f);
	EXPECT_TRUE (slider->onWheel ({70., 25.}, kMouseWheelAxisY, 1.f, CButtonState (kShift)));
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.655f);
	EXPECT_EQ (listener.begins, 1);
	EXPECT_EQ (listener.ends, 0);

	// The click ends the wheel edit and begins its own.
	mouseDown (*slider, {110., 25.});
	EXPECT_EQ (listener.ends, 1);
	EXPECT_EQ (listener.begins, 2);
	mouseUp (*slider, {110., 25.});
	EXPECT_EQ (listener.ends, 2);
}

TEST (SliderWheel, EditEndsAfterTheTimeout)
{
	RecordingListener listener;
	auto slider = makeHorizontalSlider (&listener);
	slider->onWheel ({70., 25.}, kMouseWheelAxisY, -1.f, CButtonState ());
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.4f);
	CVSTGUITimer::advanceTime (1000);
	EXPECT_EQ (listener.begins, 1);
	EXPECT_EQ (listener.ends, 1);
}

TEST (SliderLifetime, DeletedWhileRampingStopsTheRamp)
{
	const auto timersBefore = CVSTGUITimer::runningTimerCount ();
	{
		auto slider = makeHorizontalSlider ();
		slider->setSliderMode (CSliderMode::Ramp);
		mouseDown (*slider, {120., 25.});
		EXPECT_EQ (CVSTGUITimer::runningTimerCount (), timersBefore + 1);
	}
	EXPECT_EQ (CVSTGUITimer::runningTimerCount (), timersBefore);
	CVSTGUITimer::advanceTime (100);
}

} // namespace
} // namespace CalvirTest
