// A repeating timer. Headless, there is no system timer: the run loop is a
// virtual clock that the host side (or a test) advances with advanceTime(),
// which fires every running timer whose time has come, in time order.
// Main thread only.
#pragma once

#include "cbaseobject.h"

#include <cstdint>
#include <functional>

namespace VSTGUI {

class CVSTGUITimer : public CBaseObject
{
public:
	using CallbackFunc = std::function<void (CVSTGUITimer*)>;

	// fireTime in milliseconds (0 counts as 1); doStart starts it at once.
	CVSTGUITimer (CallbackFunc&& callback, uint32_t fireTime = 100, bool doStart = true);
	~CVSTGUITimer () noexcept override;

	CVSTGUITimer (const CVSTGUITimer&) = delete;
	CVSTGUITimer& operator= (const CVSTGUITimer&) = delete;

	bool start ();
	bool stop ();
	bool isRunning () const { return running; }
	bool setFireTime (uint32_t milliseconds);
	uint32_t getFireTime () const { return fireTime; }

	// Calls the callback now, whether running or not.
	void fire ();

	// The headless run loop: moves the virtual clock on by `milliseconds`.
	static void advanceTime (uint32_t milliseconds);
	// The virtual clock, in milliseconds since the process started.
	static uint64_t now ();
	static uint32_t runningTimerCount ();

private:
	CallbackFunc callback;
	uint32_t fireTime;
	uint64_t nextFire {0};
	bool running {false};
};

} // namespace VSTGUI
