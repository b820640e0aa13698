// Mouse buttons and modifier keys of a mouse event, and the results that the
// mouse handlers return.
#pragma once

#include <cstdint>

namespace VSTGUI {

enum CButton : int32_t
{
	kLButton = 1 << 1,          // left mouse button
	kMButton = 1 << 2,          // middle mouse button
	kRButton = 1 << 3,          // right mouse button
	kShift = 1 << 4,            // Shift
	kControl = 1 << 5,          // Command on macOS, Control elsewhere
	kAlt = 1 << 6,              // Option on macOS, Alt elsewhere
	kApple = 1 << 7,            // Control on macOS
	kButton4 = 1 << 8,          // fourth mouse button
	kButton5 = 1 << 9,          // fifth mouse button
	kDoubleClick = 1 << 10,     // the click is a double click
	kMouseWheelInverted = 1 << 11,

	kMouseButtonMask = kLButton | kMButton | kRButton | kButton4 | kButton5,  // 0x30e
	kModifierMask = kShift | kControl | kAlt | kApple                        // 0xf0
};

class CButtonState
{
public:
	constexpr CButtonState (int32_t state = 0) : state (state) {}

	int32_t getButtonState () const { return state & kMouseButtonMask; }
	int32_t getModifierState () const { return state & kModifierMask; }

	bool isLeftButton () const { return (state & kLButton) != 0; }
	bool isRightButton () const { return (state & kRButton) != 0; }
	bool isDoubleClick () const { return (state & kDoubleClick) != 0; }

	int32_t operator() () const { return state; }
	int32_t operator& (int32_t mask) const { return state & mask; }
	CButtonState& operator|= (int32_t bits)
	{
		state |= bits;
		return *this;
	}
	bool operator== (const CButtonState& other) const { return state == other.state; }
	bool operator!= (const CButtonState& other) const { return state != other.state; }

private:
	int32_t state;
};

enum CMouseEventResult : int32_t
{
	kMouseEventNotImplemented = 0,
	kMouseEventHandled = 1,
	kMouseEventNotHandled = 2,
	kMouseDownEventHandledButDontNeedMovedOrUpEvents = 3,
	kMouseMoveEventHandledButDontNeedMoreEvents = 4
};

enum CMouseWheelAxis : int32_t
{
	kMouseWheelAxisX,
	kMouseWheelAxisY
};

} // namespace VSTGUI
