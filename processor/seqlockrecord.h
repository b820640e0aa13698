// A plain record that one thread publishes and another reads, without the
// writer ever waiting. The record is kept as 64-bit atomic words under a
// sequence counter: the writer makes the counter odd, stores the words and
// makes it even again; a reader copies the words and keeps the copy only when
// the counter was even and unchanged around it, so it never sees half of one
// record and half of another. Only one thread may write at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>
#include <type_traits>

namespace Steinberg {
namespace Vst {

template <typename Record>
class SeqLockRecord
{
	static_assert (std::is_trivially_copyable<Record>::value, "the record is copied as bytes");

public:
	explicit SeqLockRecord (const Record& initial = Record ()) { store (initial); }

	// Never waits.
	void store (const Record& record)
	{
		std::uint64_t words[kNumWords] {};
		std::memcpy (words, &record, sizeof (Record));
		const std::uint32_t start = sequence.load (std::memory_order_relaxed);
		sequence.store (start + 1, std::memory_order_relaxed);
		std::atomic_thread_fence (std::memory_order_release);
		for (int i = 0; i < kNumWords; ++i)
			stored[i].store (words[i], std::memory_order_relaxed);
		sequence.store (start + 2, std::memory_order_release);
	}

	// Retries while a store is under way, giving the writer the processor.
	Record load () const
	{
		std::uint64_t words[kNumWords];
		for (;;)
		{
			const std::uint32_t before = sequence.load (std::memory_order_acquire);
			if ((before & 1u) == 0)
			{
				for (int i = 0; i < kNumWords; ++i)
					words[i] = stored[i].load (std::memory_order_relaxed);
				std::atomic_thread_fence (std::memory_order_acquire);
				if (sequence.load (std::memory_order_relaxed) == before)
					break;
			}
			std::this_thread::yield ();
		}
		Record record;
		std::memcpy (&record, words, sizeof (Record));
		return record;
	}

private:
	static constexpr int kNumWords = static_cast<int> ((sizeof (Record) + 7) / 8);

	std::atomic<std::uint32_t> sequence {0};
	std::atomic<std::uint64_t> stored[kNumWords] {};
};

} // namespace Vst
} // namespace Steinberg
