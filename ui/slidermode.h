// Slider modes: how a slider reacts to a mouse-down.
#pragma once

#include <cstddef>
#include <cstdint>

namespace VSTGUI {

/** How a slider answers a mouse-down. The value is also the index of the
 *  mode's name in a UI description's "mode" attribute, so the order is fixed.
 *
 *  | mode          | click off the handle        | click on the handle |
 *  |---------------|-----------------------------|---------------------|
 *  | Touch         | ignored                     | grab                |
 *  | RelativeTouch | grab (relative, no jump)    | grab                |
 *  | FreeClick     | jump                        | jump                |
 *  | KSFreeClick   | jump                        | grab                |
 *  | Ramp          | ramp toward the pointer     | grab                |
 *  | UseGlobal     | as the global mode          | as the global mode  |
 */
enum class CSliderMode : int32_t
{
	Touch = 0,
	RelativeTouch = 1,
	FreeClick = 2,
	KSFreeClick = 3,
	Ramp = 4,
	UseGlobal = 5,
};

/** Number of slider modes (UseGlobal included). */
constexpr std::size_t kNumSliderModes = 6;

/** True for the six values of CSliderMode. */
constexpr bool isValidSliderMode (CSliderMode mode)
{
	return static_cast<int32_t> (mode) >= 0 &&
	       static_cast<std::size_t> (mode) < kNumSliderModes;
}

/** The global slider mode before anything changes it: the mode every slider
 *  without a mode of its own follows. */
constexpr CSliderMode kInitialGlobalSliderMode = CSliderMode::KSFreeClick;

/** Message handed to the assertion handler when UseGlobal is offered as the
 *  global mode. */
constexpr const char* kUseGlobalAsGlobalModeMessage = "do not set the global mode to use global";

} // namespace VSTGUI
