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
	const Generation generation = newest.generation + 1;
	if (lengthsDiffer (newest.record, record))
		newest.lastLengthChange = generation;
	newest.record = record;
	newest.generation = generation;

	slots[submitSlot] = newest;
	// Release: the slot's contents travel with the index. The slot given back
	// is free: the engine never holds the shared one.
	const std::uint32_t previous = sharedSlot.exchange (submitSlot | kFreshFlag, std::memory_order_acq_rel);
	submitSlot = previous & kSlotMask;
}

PlugState StateHandOver::latest () const
{
	std::lock_guard<std::mutex> guard (lock);
	// Under the lock no restore is submitted, and the published generation
	// never passes the newest one.
	const Applied applied = published.load ();
	return applied.generation == newest.generation ? applied.record : newest.record;
}

bool StateHandOver::take (PlugState& record, bool& replacedRestoreMovedLengths)
{
	if ((sharedSlot.load (std::memory_order_relaxed) & kFreshFlag) == 0)
		return false;
	// Acquire: the submitter's writes to the slot are visible from here on.
	const std::uint32_t previous = sharedSlot.exchange (engineSlot, std::memory_order_acq_rel);
	engineSlot = previous & kSlotMask;
	const Restore& restore = slots[engineSlot];
	// The restores replaced since the last one applied are the generations
	// after it and before this one; a length change between two of them
	// started a flush. The change from the applied record to this restore
	// is the engine's own to see.
	replacedRestoreMovedLengths = restore.lastLengthChange >= appliedGeneration + 2;
	record = restore.record;
	appliedGeneration = restore.generation;
	publish (record);
	return true;
}

} // namespace Vst
} // namespace Steinberg
