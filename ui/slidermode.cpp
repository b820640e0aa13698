// The slider's own mode and the global mode that sliders without one follow.
#include "ui/slidermode.h"

#include "toolkit/csliderbase.h"
#include "toolkit/vstguidebug.h"

namespace VSTGUI {

namespace {

// The slider module's name as assertions report it.
constexpr const char* kSliderAssertionSource = "vstgui/lib/controls/cslider";

// The mode of every slider whose own mode is UseGlobal. Constant-initialised,
// so it holds before any slider exists; one plain value, used on the UI thread.
CSliderMode globalSliderMode = kInitialGlobalSliderMode;

} // namespace

//------------------------------------------------------------------------
void CSliderBase::setSliderMode (CSliderMode newMode)
{
	// A value outside the six modes would name no mode and index no mode name.
	if (isValidSliderMode (newMode))
		mode = newMode;
}

//------------------------------------------------------------------------
CSliderMode CSliderBase::getSliderMode () const
{
	return mode;
}

//------------------------------------------------------------------------
CSliderMode CSliderBase::getEffectiveSliderMode () const
{
	return mode == CSliderMode::UseGlobal ? globalSliderMode : mode;
}

//------------------------------------------------------------------------
void CSliderBase::setGlobalMode (CSliderMode newMode)
{
	// UseGlobal cannot be the global mode: it would leave the sliders that
	// follow the global mode without a mode. Such a call is reported and
	// changes nothing, as does a value outside the six modes.
	if (newMode == CSliderMode::UseGlobal)
	{
		doAssert (kSliderAssertionSource, VSTGUI_ASSERT_STRINGIFY (__LINE__),
		          kUseGlobalAsGlobalModeMessage);
		return;
	}
	if (isValidSliderMode (newMode))
		globalSliderMode = newMode;
}

//------------------------------------------------------------------------
CSliderMode CSliderBase::getGlobalMode ()
{
	return globalSliderMode;
}

} // namespace VSTGUI
