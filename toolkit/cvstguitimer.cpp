#include "toolkit/cvstguitimer.h"

#include <algorithm>
#include <vector>

namespace VSTGUI {

namespace {

// The headless run loop: a virtual clock and the running timers.
struct RunLoop
{
	uint64_t now {0};
	std::vector<CVSTGUITimer*> running;
};

RunLoop& runLoop ()
{
	static RunLoop loop;
	return loop;
}

} // namespace

CVSTGUITimer::CVSTGUITimer (CallbackFunc&& callback, uint32_t fireTime, bool doStart)
: callback (std::move (callback)), fireTime (std::max<uint32_t> (fireTime, 1))
{
	if (doStart)
		start ();
}

CVSTGUITimer::~CVSTGUITimer () noexcept
{
	stop ();
}

bool CVSTGUITimer::start ()
{
	if (running)
		return false;
	auto& loop = runLoop ();
	loop.running.push_back (this);
	nextFire = loop.now + fireTime;
	running = true;
	return true;
}

bool CVSTGUITimer::stop ()
{
	if (!running)
		return false;
	auto& timers = runLoop ().running;
	timers.erase (std::remove (timers.begin (), timers.end (), this), timers.end ());
	running = false;
	return true;
}

bool CVSTGUITimer::setFireTime (uint32_t milliseconds)
{
	fireTime = std::max<uint32_t> (milliseconds, 1);
	if (running)
		nextFire = runLoop ().now + fireTime;
	return true;
}

void CVSTGUITimer::fire ()
{
	if (callback)
	{
		// The callback may stop and release the timer: keep it alive meanwhile.
		SharedPointer<CVSTGUITimer> guard (this);
		callback (this);
	}
}

void CVSTGUITimer::advanceTime (uint32_t milliseconds)
{
	auto& loop = runLoop ();
	const uint64_t target = loop.now + milliseconds;
	// Each round fires the earliest due timer and moves its next time on by
	// at least 1 ms, so the loop ends.
	for (;;)
	{
		CVSTGUITimer* next = nullptr;
		for (auto* timer : loop.running)
		{
			if (timer->nextFire <= target && (!next || timer->nextFire < next->nextFire))
				next = timer;
		}
		if (!next)
			break;
		loop.now = next->nextFire;
		next->nextFire += next->fireTime;
		next->fire ();
	}
	loop.now = target;
}

uint64_t CVSTGUITimer::now ()
{
	return runLoop ().now;
}

uint32_t CVSTGUITimer::runningTimerCount ()
{
	return static_cast<uint32_t> (runLoop ().running.size ());
}

} // namespace VSTGUI
