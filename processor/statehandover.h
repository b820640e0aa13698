// The hand-over of the parameter record between the host's main thread and
// the audio thread while the processor is active. A restored state does not
// touch the live record or the engine from the main thread: it waits here
// until the audio thread picks it up at the start of its next block. The
// audio thread in turn publishes the record it has applied, so the main
// thread can save it. The audio thread never waits and never allocates here:
// it only tries the lock, and publishes through a sequence-counted copy.
#pragma once

#include "processor/plugstate.h"
#include "processor/seqlockrecord.h"

#include <atomic>
#include <mutex>

namespace Steinberg {
namespace Vst {

class StateHandOver
{
public:
	// Main thread: a restored record for the audio thread to apply. A restore
	// that replaces one not yet picked up is remembered as far as the engine
	// would have heard of it (see take).
	void submit (const PlugState& record);

	// Main thread: the most recent record, a restore not yet picked up if
	// there is one, otherwise the one last published.
	PlugState latest () const;

	// The thread that runs the engine: takes the pending restore into record
	// and publishes it. Returns false, leaving record alone, when there is
	// none or the main thread is submitting one at this moment (it is then
	// picked up next time). replacedRestoreMovedLengths tells whether a
	// restore replaced before it was picked up had another pre-delay or room
	// size than the one taken: applied in turn, it would have started a flush.
	bool take (PlugState& record, bool& replacedRestoreMovedLengths);

	// The thread that runs the engine: the record it applies from now on.
	void publish (const PlugState& record) { published.store (record); }

private:
	mutable std::mutex lock;               // guards the three fields below
	PlugState pending;                     // the restore not yet picked up
	bool replacedMovedLengths {false};     // see take
	std::atomic<bool> restorePending {false}; // also read without the lock

	SeqLockRecord<PlugState> published;
};

} // namespace Vst
} // namespace Steinberg
