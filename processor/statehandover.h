// The hand-over of the parameter record between the host's other threads and
// the thread that runs the engine: the audio thread while the processor is
// active, the main thread otherwise. A restored state does not touch the
// live record or the engine from the thread that restores it: it waits here
// until the engine's thread takes it, at the start of the audio thread's next
// block or while the main thread activates or deactivates. The engine's
// thread in turn publishes the record it has applied, so any thread can save
// it.
//
// The engine's side never waits, locks or allocates: restores reach it
// through three slots whose roles are swapped by one atomic exchange (the
// submitter fills its own slot and exchanges it for the shared one; the
// engine exchanges its slot for the shared one when that holds a fresh
// restore), and it publishes through a sequence-counted copy. Every restore
// and every published record carries a generation number, so a reader can
// tell whether the newest restore has been applied yet. Only the threads
// other than the engine's share a lock.
#pragma once

#include "processor/plugstate.h"
#include "processor/seqlockrecord.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace Steinberg {
namespace Vst {

class StateHandOver
{
public:
	// Any thread but the audio thread: a restored record for the engine's
	// thread to apply. It supersedes every restore not yet taken; one that it
	// replaces is remembered as far as the engine would have heard of it
	// (see take).
	void submit (const PlugState& record);

	// Any thread but the audio thread: the most recent record, the newest
	// restore while it has not been applied, otherwise the record last
	// published (restore and automation applied since).
	PlugState latest () const;

	// The engine's thread: takes the newest restore not yet taken into record
	// and publishes it. Returns false, leaving record alone, when there is
	// none. Never waits. replacedRestoreMovedLengths tells whether restores
	// replaced before they were taken would, applied in turn, have changed
	// the pre-delay or room size from one to the next: each such change
	// started a flush.
	bool take (PlugState& record, bool& replacedRestoreMovedLengths);

	// The engine's thread: the record it applies from now on. Never waits.
	void publish (const PlugState& record) { published.store ({record, appliedGeneration}); }

private:
	using Generation = std::uint64_t; // 0: no restore yet

	struct Restore
	{
		PlugState record;
		Generation generation {0};
		// The newest generation whose pre-delay or room size differs from
		// the restore submitted before it.
		Generation lastLengthChange {0};
	};

	struct Applied
	{
		PlugState record;
		Generation generation {0}; // of the restore it grew from
	};

	static constexpr std::uint32_t kNumSlots = 3;
	static constexpr std::uint32_t kSlotMask = 3u;  // the slot index in sharedSlot
	static constexpr std::uint32_t kFreshFlag = 4u; // sharedSlot holds a restore not yet taken

	Restore slots[kNumSlots];
	std::atomic<std::uint32_t> sharedSlot {2};

	// The submitting side, guarded by lock.
	mutable std::mutex lock;
	std::uint32_t submitSlot {1};
	Restore newest;

	// The engine's side, its thread's own.
	std::uint32_t engineSlot {0};
	Generation appliedGeneration {0};

	SeqLockRecord<Applied> published;
};

} // namespace Vst
} // namespace Steinberg
