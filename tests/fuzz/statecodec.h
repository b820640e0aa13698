// An independent reading of the 140-byte state stream, used by the state
// fuzz targets as their oracle: what a complete record in the stream must
// turn into, and the exact bytes that writing it back must give.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace CalvirFuzz {

constexpr size_t kStateBytes = 140;
constexpr int kNumStateFloats = 14; // eight parameter values, six reserved
constexpr int kNumStateFlags = 4;

struct DecodedState
{
	bool bypass;
	uint64_t floatBits[kNumStateFloats]; // level ... lpCut, reserved[0..5]
	bool flags[kNumStateFlags];

	double value (int i) const
	{
		double v;
		std::memcpy (&v, &floatBits[i], sizeof v);
		return v;
	}
};

inline uint64_t loadLittleEndian (const uint8_t* p, int bytes)
{
	uint64_t v = 0;
	for (int i = bytes - 1; i >= 0; --i)
		v = (v << 8) | p[i];
	return v;
}

inline void storeLittleEndian (uint8_t* p, uint64_t v, int bytes)
{
	for (int i = 0; i < bytes; ++i)
		p[i] = static_cast<uint8_t> (v >> (8 * i));
}

// A signed 32-bit field counts as set when it is greater than 0.
inline bool flagSet (const uint8_t* p)
{
	return static_cast<int32_t> (static_cast<uint32_t> (loadLittleEndian (p, 4))) > 0;
}

// Decodes the first kStateBytes bytes at p (the header is ignored).
inline DecodedState decodeState (const uint8_t* p)
{
	DecodedState d {};
	d.bypass = flagSet (p + 8);
	for (int i = 0; i < kNumStateFloats; ++i)
		d.floatBits[i] = loadLittleEndian (p + 12 + 8 * i, 8);
	for (int i = 0; i < kNumStateFlags; ++i)
		d.flags[i] = flagSet (p + 124 + 4 * i);
	return d;
}

// The bytes the processor's writer must give for a decoded record.
inline void encodeState (const DecodedState& d, uint8_t* out)
{
	std::memset (out, 0, kStateBytes);
	storeLittleEndian (out + 8, d.bypass ? 1 : 0, 4);
	for (int i = 0; i < kNumStateFloats; ++i)
		storeLittleEndian (out + 12 + 8 * i, d.floatBits[i], 8);
	for (int i = 0; i < kNumStateFlags; ++i)
		storeLittleEndian (out + 124 + 4 * i, d.flags[i] ? 1 : 0, 4);
}

inline uint64_t bitsOf (double v)
{
	uint64_t b;
	std::memcpy (&b, &v, sizeof b);
	return b;
}

} // namespace CalvirFuzz
