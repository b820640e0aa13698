// Views, controls, containers, timers, attributes and bitmaps of the toolkit.
#include "recordinglistener.h"
#include "toolkit/cbitmap.h"
#include "toolkit/cbuttons.h"
#include "toolkit/cframe.h"
#include "toolkit/cknob.h"
#include "toolkit/ctextlabel.h"
#include "toolkit/cvstguitimer.h"
#include "toolkit/icontroller.h"
#include "toolkit/uiattributes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using namespace VSTGUI;
using CalvirToolkitTest::RecordingListener;

TEST (Control, ValueIsClampedAndNormalisedAsFloat)
{
	auto control = owned (new COnOffButton (CRect (0, 0, 10, 10)));
	control->setMin (-36.f);
	control->setMax (12.f);
	control->setValue (100.f);
	EXPECT_EQ (control->getValue (), 12.f);
	control->setValue (-100.f);
	EXPECT_EQ (control->getValue (), -36.f);
	control->setValue (0.f);
	EXPECT_EQ (control->getValueNormalized (), 0.75f);
	control->setValueNormalized (2.f);
	EXPECT_EQ (control->getValue (), 12.f);

	control->setMax (-36.f);  // empty range
	EXPECT_EQ (control->getValueNormalized (), 0.f);
}

TEST (Control, EditsAreCountedAndListenersHearTheOutermostOnly)
{
	RecordingListener listener;
	RecordingListener registered;
	auto control = owned (new COnOffButton (CRect (0, 0, 10, 10), &listener));
	control->registerControlListener (&registered);
	control->registerControlListener (&registered);  // once only
	control->beginEdit ();
	control->beginEdit ();
	control->valueChanged ();
	control->endEdit ();
	EXPECT_TRUE (control->isEditing ());
	control->endEdit ();
	control->endEdit ();  // unmatched: ignored
	EXPECT_FALSE (control->isEditing ());
	EXPECT_EQ (listener.events, "bve");
	EXPECT_EQ (registered.events, "bve");

	control->unregisterControlListener (&registered);
	control->valueChanged ();
	EXPECT_EQ (registered.changes, 1);
	EXPECT_EQ (listener.changes, 2);
}

TEST (Control, DeletionClosesAnOpenEdit)
{
	RecordingListener listener;
	auto* control = new COnOffButton (CRect (0, 0, 10, 10), &listener);
	control->beginEdit ();
	control->beginEdit ();
	control->forget ();
	EXPECT_EQ (listener.events, "be");
}

TEST (OnOffButton, LeftClickTogglesBetweenMinimumAndMaximum)
{
	RecordingListener listener;
	auto button = owned (new COnOffButton (CRect (0, 0, 10, 10), &listener));
	CPoint where (5, 5);
	EXPECT_EQ (button->onMouseDown (where, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (button->getValue (), 1.f);
	EXPECT_EQ (button->onMouseDown (where, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (button->getValue (), 0.f);
	EXPECT_EQ (button->onMouseDown (where, kRButton), kMouseEventNotHandled);
	EXPECT_EQ (listener.events, "bvebve");
}

TEST (TextLabel, HoldsUtf8Text)
{
	auto label = owned (new CTextLabel (CRect (0, 0, 10, 10), "Pr\xC3\xA4" "delay"));
	EXPECT_EQ (label->getText (), "Pr\xC3\xA4" "delay");
	label->setDirty (false);
	label->setText ("");
	EXPECT_TRUE (label->getText ().empty ());
	EXPECT_TRUE (label->isDirty ());
}

namespace {

// A view that records its mouse events, in the coordinates it receives them.
class MouseView : public CView
{
public:
	MouseView (const CRect& size, CMouseEventResult downResult) : CView (size), downResult (downResult) {}
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState&) override
	{
		log += "d";
		last = where;
		return downResult;
	}
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState&) override
	{
		log += "m";
		last = where;
		return kMouseEventHandled;
	}
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState&) override
	{
		log += "u";
		last = where;
		return kMouseEventHandled;
	}
	CMouseEventResult downResult;
	std::string log;
	CPoint last;
};

class DeletionWatcher : public ViewListenerAdapter
{
public:
	void viewWillDelete (CView* view) override
	{
		order += view->getDescriptionClass ();
		view->unregisterViewListener (this);
	}
	std::string order;
};

} // namespace

TEST (ViewContainer, RoutesTheMouseToTheChildUnderThePointerAndKeepsIt)
{
	auto frame = owned (new CFrame (CRect (0, 0, 300, 200), nullptr));
	auto* inner = new CViewContainer (CRect (100, 50, 300, 200));
	auto* left = new MouseView (CRect (0, 0, 50, 50), kMouseEventHandled);
	auto* right = new MouseView (CRect (50, 0, 100, 50), kMouseEventHandled);
	inner->addView (left);
	inner->addView (right);
	frame->addView (inner);
	EXPECT_TRUE (right->isAttached ());
	EXPECT_EQ (right->getFrame (), frame.get ());

	CPoint where (160, 60);
	EXPECT_EQ (frame->onMouseDown (where, kLButton), kMouseEventHandled);
	EXPECT_EQ (right->last, CPoint (60, 10));  // the container's coordinates
	// The pointer leaves the child: moves and the up still go to it.
	CPoint moved (110, 60);
	frame->onMouseMoved (moved, kLButton);
	frame->onMouseUp (moved, kLButton);
	EXPECT_EQ (right->log, "dmu");
	EXPECT_EQ (left->log, "");
	// After the up, moves reach nobody.
	EXPECT_EQ (frame->onMouseMoved (moved, 0), kMouseEventNotHandled);

	CPoint topLeft = right->getViewSize ().getTopLeft ();
	right->localToFrame (topLeft);
	EXPECT_EQ (topLeft, CPoint (150, 50));

	CPoint nowhere (10, 10);
	EXPECT_EQ (frame->onMouseDown (nowhere, kLButton), kMouseEventNotHandled);
}

TEST (ViewContainer, AChildNotWantingMovesDoesNotKeepTheMouse)
{
	auto frame = owned (new CFrame (CRect (0, 0, 100, 100), nullptr));
	auto* child = new MouseView (CRect (0, 0, 50, 50), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	frame->addView (child);
	CPoint where (10, 10);
	EXPECT_EQ (frame->onMouseDown (where, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	frame->onMouseMoved (where, kLButton);
	frame->onMouseUp (where, kLButton);
	EXPECT_EQ (child->log, "d");
}

namespace {

// A sub-controller that reports its deletion into the watcher's record.
class RecordingSubController : public IController
{
public:
	explicit RecordingSubController (std::string& order) : order (order) {}
	~RecordingSubController () override { order += "controller "; }
	void valueChanged (CControl*) override {}
	std::string& order;
};

} // namespace

TEST (ViewContainer, DeletesItsSubControllerBeforeItsChildren)
{
	DeletionWatcher watcher;
	auto* container = new CViewContainer (CRect (0, 0, 100, 100));
	container->setDescriptionClass ("container ");
	auto* child = new CView (CRect (0, 0, 10, 10));
	child->setDescriptionClass ("child ");
	container->addView (child);
	container->registerViewListener (&watcher);
	child->registerViewListener (&watcher);
	container->setSubController (new RecordingSubController (watcher.order));
	container->forget ();
	EXPECT_EQ (watcher.order, "container controller child ");
}

TEST (Timer, FiresWhenTheRunLoopAdvances)
{
	int fired = 0;
	auto timer = owned (new CVSTGUITimer ([&] (CVSTGUITimer*) { ++fired; }, 16));
	const uint32_t runningBefore = CVSTGUITimer::runningTimerCount ();
	CVSTGUITimer::advanceTime (15);
	EXPECT_EQ (fired, 0);
	CVSTGUITimer::advanceTime (1);
	EXPECT_EQ (fired, 1);
	CVSTGUITimer::advanceTime (48);
	EXPECT_EQ (fired, 4);
	timer->stop ();
	EXPECT_EQ (CVSTGUITimer::runningTimerCount (), runningBefore - 1);
	CVSTGUITimer::advanceTime (100);
	EXPECT_EQ (fired, 4);
}

TEST (Timer, ACallbackMayReleaseItsOwnTimer)
{
	SharedPointer<CVSTGUITimer> timer;
	int fired = 0;
	timer = owned (new CVSTGUITimer (
	    [&] (CVSTGUITimer* t) {
		    ++fired;
		    t->stop ();
		    timer = nullptr;
	    },
	    10));
	CVSTGUITimer::advanceTime (100);
	EXPECT_EQ (fired, 1);
	EXPECT_EQ (timer.get (), nullptr);
}

TEST (KnobWheel, EditLastsUntilTheTimerOrAMouseDown)
{
	RecordingListener listener;
	auto frame = owned (new CFrame (CRect (0, 0, 100, 100), nullptr));
	auto* knob = new CKnob (CRect (0, 0, 40, 40), &listener, 1);
	frame->addView (knob);
	knob->onWheel (CPoint (20, 20), kMouseWheelAxisY, 1.f, 0);
	knob->onWheel (CPoint (20, 20), kMouseWheelAxisY, 1.f, 0);
	EXPECT_NEAR (knob->getValue (), 0.2f, 1e-6);
	EXPECT_EQ (listener.events, "bvv");
	CVSTGUITimer::advanceTime (499);
	EXPECT_TRUE (knob->isEditing ());
	CVSTGUITimer::advanceTime (1);
	EXPECT_FALSE (knob->isEditing ());
	EXPECT_EQ (listener.events, "bvve");

	knob->onWheel (CPoint (20, 20), kMouseWheelAxisY, -1.f, 0);
	CPoint where (20, 20);
	knob->onMouseDown (where, kLButton);  // ends the wheel edit, begins its own
	EXPECT_EQ (listener.events, "bvvebvebv");
}

TEST (Attributes, ParseAndWriteTheTextForms)
{
	UIAttributes attributes;
	attributes.setAttribute ("origin", " 10.5,  -3 ");
	attributes.setAttribute ("bad-point", "1, 2, 3");
	attributes.setAttribute ("nan", "nan");
	attributes.setAttribute ("zoom", "10");
	attributes.setAttribute ("flag", "true");
	attributes.setAttribute ("Flag", "True");
	CPoint p;
	EXPECT_TRUE (attributes.getPointAttribute ("origin", p));
	EXPECT_EQ (p, CPoint (10.5, -3));
	EXPECT_FALSE (attributes.getPointAttribute ("bad-point", p));
	EXPECT_FALSE (attributes.getPointAttribute ("missing", p));
	double number = 7.;
	EXPECT_FALSE (attributes.getDoubleAttribute ("nan", number));
	EXPECT_EQ (number, 7.);
	EXPECT_TRUE (attributes.getDoubleAttribute ("zoom", number));
	EXPECT_EQ (number, 10.);
	bool flag = false;
	EXPECT_TRUE (attributes.getBooleanAttribute ("flag", flag));
	EXPECT_TRUE (flag);
	EXPECT_FALSE (attributes.getBooleanAttribute ("Flag", flag));
	int32_t integer = 0;
	EXPECT_FALSE (attributes.getIntegerAttribute ("origin", integer));

	EXPECT_EQ (UIAttributes::pointToString (CPoint (10.5, -3)), "10.5, -3");
	EXPECT_EQ (UIAttributes::doubleToString (1. / 3., 6), "0.333333");
	EXPECT_EQ (UIAttributes::doubleToString (2.5), "2.5");
}

TEST (Bitmap, SizeComesFromThePngHeader)
{
	const std::string png = std::string (CALVIR_SOURCE_DIR) + "/resource/slider-handle.png";
	auto bitmap = owned (CBitmap::createFromPngFile (png));
	ASSERT_NE (bitmap.get (), nullptr);
	EXPECT_EQ (bitmap->getWidth (), 32.);
	EXPECT_EQ (bitmap->getHeight (), 12.);

	const std::string notPng = std::string (CALVIR_SOURCE_DIR) + "/resource/plug.uidesc";
	EXPECT_EQ (CBitmap::createFromPngFile (notPng), nullptr);
	EXPECT_EQ (CBitmap::createFromPngFile ("/nonexistent/file.png"), nullptr);
}
