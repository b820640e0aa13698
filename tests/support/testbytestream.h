// An IBStream over a byte vector, for state tests: reads and writes start at
// the cursor, and an optional write limit makes the stream refuse bytes past
// a given size (a host stream that runs out of room).
#pragma once

#include "pluginterfaces/base/ibstream.h"
#include "support/testfunknown.h"

#include <cstdint>
#include <vector>

namespace CalvirTestSupport {

class TestByteStream final : public Steinberg::IBStream
{
public:
	TestByteStream () = default;
	explicit TestByteStream (std::vector<uint8_t> content) : bytes (std::move (content)) {}

	const std::vector<uint8_t>& data () const { return bytes; }
	int64_t cursor () const { return position; }
	void rewind () { position = 0; }
	// Writes stop once the stream holds limit bytes; a write that does not fit
	// entirely stores what fits and reports that count with kResultFalse.
	void setWriteLimit (size_t limit) { writeLimit = limit; }
	// Number of read and write calls so far.
	int readCalls () const { return reads; }
	int writeCalls () const { return writes; }

	Steinberg::tresult PLUGIN_API read (void* buffer, Steinberg::int32 numBytes,
	                                    Steinberg::int32* numBytesRead) override;
	Steinberg::tresult PLUGIN_API write (void* buffer, Steinberg::int32 numBytes,
	                                     Steinberg::int32* numBytesWritten) override;
	Steinberg::tresult PLUGIN_API seek (Steinberg::int64 pos, Steinberg::int32 mode,
	                                    Steinberg::int64* result) override;
	Steinberg::tresult PLUGIN_API tell (Steinberg::int64* pos) override;
	CALVIR_TEST_SUPPORT_FUNKNOWN (Steinberg::IBStream)

private:
	std::vector<uint8_t> bytes;
	int64_t position {0};
	size_t writeLimit {SIZE_MAX};
	int reads {0};
	int writes {0};
};

} // namespace CalvirTestSupport
