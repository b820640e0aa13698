#include "processor/statehandover.h"

#include "engine/parametermapping.h"

namespace Steinberg {
namespace Vst {

namespace {

// Whether the engine, applying b after a, would see its pre-delay or room size
// change: it compares the mapped values exactly.
bool lengthsDiffer (const PlugState& a, const PlugState& b)
{
	return mapPreDelayMs (a.predelay) != mapPreDelayMs (b.predelay) ||
	       mapRoomSize (a.size) != mapRoomSize (b.size);
}

} // namespace

void StateHandOver::submit (const PlugState& record)
{
	std::lock_guard<std::mutex> guard (lock);
	if (restorePending.load (std::memory_order_relaxed))
		replacedMovedLengths = replacedMovedLengths || lengthsDiffer (pending, record);
	else
		replacedMovedLengths = false;
	pending = record;
	restorePending.store (true, std::memory_order_release);
}

PlugState StateHandOver::latest () const
{
	std::lock_guard<std::mutex> guard (lock);
	if (restorePending.load (std::memory_order_relaxed))
		return pending;
	return published.load ();
}

bool StateHandOver::take (PlugState& record, bool& replacedRestoreMovedLengths)
{
	if (!restorePending.load (std::memory_order_acquire))
		return false;
	std::unique_lock<std::mutex> guard (lock, std::try_to_lock);
	if (!guard.owns_lock () || !restorePending.load (std::memory_order_relaxed))
		return false;
	record = pending;
	replacedRestoreMovedLengths = replacedMovedLengths;
	// Published before the lock is released, so latest () never falls back
	// to the record from before the restore.
	published.store (record);
	restorePending.store (false, std::memory_order_relaxed);
	return true;
}

} // namespace Vst
} // namespace Steinberg
