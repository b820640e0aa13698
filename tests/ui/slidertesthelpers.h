// Shared fixtures of the slider tests: sliders of known geometry, a listener
// that records what a control tells it, and a guard for the global mode.
#pragma once

#include "toolkit/cbitmap.h"
#include "toolkit/csliderbase.h"
#include "toolkit/icontrollistener.h"

#include <vector>

namespace CalvirTest {

using namespace VSTGUI;

// Records the edit brackets and value changes of one control.
struct RecordingListener : IControlListener
{
	void valueChanged (CControl* control) override { values.push_back (control->getValueNormalized ()); }
	void controlBeginEdit (CControl*) override { ++begins; }
	void controlEndEdit (CControl*) override { ++ends; }

	int begins {0};
	int ends {0};
	std::vector<float> values;
};

// Horizontal slider: view x 10..130, y 20..40; handle 20 x 10; travel 100.
// At the normalised value 0.5 its handle covers x 60..80, y 20..30.
inline SharedPointer<CSlider> makeHorizontalSlider (IControlListener* listener = nullptr)
{
	auto handle = makeOwned<CBitmap> (20., 10.);
	auto slider = makeOwned<CHorizontalSlider> (CRect (10., 20., 130., 40.), listener, 1, handle);
	slider->setValueNormalized (0.5f);
	return SharedPointer<CSlider> (slider.get ());
}

// Vertical slider, minimum at the bottom: view x 10..30, y 20..140; handle
// 10 x 20; travel 100. At the normalised value 0.5 its handle covers
// x 10..20, y 70..90.
inline SharedPointer<CSlider> makeVerticalSlider (IControlListener* listener = nullptr)
{
	auto handle = makeOwned<CBitmap> (10., 20.);
	auto slider = makeOwned<CVerticalSlider> (CRect (10., 20., 30., 140.), listener, 1, handle);
	slider->setValueNormalized (0.5f);
	return SharedPointer<CSlider> (slider.get ());
}

// Sets the global slider mode for one test and puts the previous one back.
class GlobalModeGuard
{
public:
	explicit GlobalModeGuard (CSliderMode mode) { CSliderBase::setGlobalMode (mode); }
	~GlobalModeGuard () { CSliderBase::setGlobalMode (previous); }
	GlobalModeGuard (const GlobalModeGuard&) = delete;
	GlobalModeGuard& operator= (const GlobalModeGuard&) = delete;

private:
	CSliderMode previous {CSliderBase::getGlobalMode ()};
};

// Mouse gestures, with the point passed by value as a caller would build it.
inline CMouseEventResult mouseDown (CSliderBase& slider, CPoint where, int32_t buttons = kLButton)
{
	return slider.onMouseDown (where, CButtonState (buttons));
}
inline CMouseEventResult mouseMove (CSliderBase& slider, CPoint where, int32_t buttons = kLButton)
{
	return slider.onMouseMoved (where, CButtonState (buttons));
}
inline CMouseEventResult mouseUp (CSliderBase& slider, CPoint where, int32_t buttons = kLButton)
{
	return slider.onMouseUp (where, CButtonState (buttons));
}

} // namespace CalvirTest
