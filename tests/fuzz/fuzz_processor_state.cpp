// Fuzz target: the processor's setState with arbitrary bytes, before and
// while it is active, each followed by a processed block.
//
// Input: the stream bytes, then one configuration byte at the end (sample
// size, sample rate, whether the first restore comes before activation).
// Properties:
// - every complete 140-byte record is taken exactly as the stream holds it
//   (kResultOk), and getState writes it back byte for byte (header 0, flags 0/1);
// - a read that runs short answers kResultFalse and leaves every parameter
//   exactly as it was, bit for bit;
// - every processed block's output is finite and not subnormal.
#include "fuzz/fuzzcheck.h"
#include "fuzz/statecodec.h"
#include "reliability/probeprocessor.h"

#include "public.sdk/source/common/memorystream.h"

#include <cstdint>
#include <cstring>
#include <vector>

using namespace CalvirTest;
using namespace CalvirFuzz;

namespace {

constexpr int32 kBlock = 32;
constexpr int kMaxRestores = 4;
// Low rates keep each activation cheap; the rates themselves are the call
// sequence target's concern.
const double kRates[] = {4000.0, 8000.0, 11025.0, 4000.0};

struct ParamSnapshot
{
	bool bypass;
	uint64_t bits[kNumStateFloats];
	bool flags[kNumStateFlags];

	explicit ParamSnapshot (const PlugState& s)
	{
		bypass = s.bypass;
		const double values[kNumStateFloats] = {s.level,       s.mix,         s.predelay,    s.rvbTime,
		                                        s.size,        s.diffusion,   s.hfDamp,      s.lpCut,
		                                        s.reserved[0], s.reserved[1], s.reserved[2], s.reserved[3],
		                                        s.reserved[4], s.reserved[5]};
		for (int i = 0; i < kNumStateFloats; ++i)
			bits[i] = bitsOf (values[i]);
		for (int i = 0; i < kNumStateFlags; ++i)
			flags[i] = s.reservedFlags[i];
	}
	bool operator== (const ParamSnapshot& o) const
	{
		return bypass == o.bypass && std::memcmp (bits, o.bits, sizeof bits) == 0 &&
		       std::memcmp (flags, o.flags, sizeof flags) == 0;
	}
	bool matches (const DecodedState& d) const
	{
		return bypass == d.bypass && std::memcmp (bits, d.floatBits, sizeof bits) == 0 &&
		       std::memcmp (flags, d.flags, sizeof flags) == 0;
	}
};

void processAndCheck (ProcessorSession& s, TestAudioBlock& block, uint32_t& noise)
{
	const bool bypassed = s->params ().bypass;
	for (int32 i = 0; i < kBlock; ++i)
		for (int c = 0; c < 2; ++c)
		{
			noise = noise * 1664525u + 1013904223u;
			block.setInput (c, i, static_cast<int32_t> (noise) * (1.0 / 2147483648.0));
		}
	FUZZ_CHECK (s->process (block.data ()) == kResultOk);
	for (int c = 0; c < 2; ++c)
		for (int32 i = 0; i < kBlock; ++i)
		{
			if (bypassed)
				FUZZ_CHECK (block.output (c, i) == block.input (c, i));
			else
				FUZZ_CHECK (block.outputIsClean (c, i));
		}
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
	if (size == 0)
		return 0;
	const uint8_t config = data[size - 1];
	const size_t streamSize = size - 1;
	const int32 sampleSize = (config & 1) ? kSample64 : kSample32;
	const double rate = kRates[(config >> 1) & 3];
	const bool restoreBeforeActivation = (config & 8) != 0;

	std::vector<uint8_t> bytes (data, data + streamSize);
	Steinberg::MemoryStream stream (bytes.data (), static_cast<Steinberg::TSize> (bytes.size ()));
	size_t consumed = 0;

	ProcessorSession s;
	FUZZ_CHECK (s.setup (rate, sampleSize, kBlock) == kResultOk);
	TestAudioBlock block (sampleSize, kBlock);
	uint32_t noise = static_cast<uint32_t> (size);

	for (int restore = 0; restore < kMaxRestores; ++restore)
	{
		if (restore == (restoreBeforeActivation ? 1 : 0))
		{
			FUZZ_CHECK (s.activate (true) == kResultOk);
			processAndCheck (s, block, noise);
		}
		const ParamSnapshot before (s->params ());
		const tresult result = s->setState (&stream);
		// An active processor applies a restore at the start of its next block.
		s.setParams ({});
		const ParamSnapshot after (s->params ());
		if (streamSize - consumed >= kStateBytes)
		{
			FUZZ_CHECK (result == kResultOk);
			const DecodedState expected = decodeState (bytes.data () + consumed);
			FUZZ_CHECK (after.matches (expected));
			consumed += kStateBytes;

			// Writing the record back gives the canonical bytes of what was read.
			Steinberg::MemoryStream written;
			FUZZ_CHECK (s->getState (&written) == kResultOk);
			uint8_t canonical[kStateBytes];
			encodeState (expected, canonical);
			FUZZ_CHECK (written.getSize () == static_cast<Steinberg::TSize> (kStateBytes));
			FUZZ_CHECK (std::memcmp (written.getData (), canonical, kStateBytes) == 0);
		}
		else
		{
			FUZZ_CHECK (result == kResultFalse);
			FUZZ_CHECK (after == before);
		}
		if (restore >= (restoreBeforeActivation ? 1 : 0))
			processAndCheck (s, block, noise);
		if (result != kResultOk)
			break;
	}
	if (restoreBeforeActivation && consumed == 0)
	{
		// The first restore failed before activation: the processor still runs.
		FUZZ_CHECK (s.activate (true) == kResultOk);
		processAndCheck (s, block, noise);
	}
	return 0;
}
