// The 140-byte state stream: layout, round trip and the all-or-nothing read.
#include "processor/plugprocessor.h"
#include "processor/plugstate.h"
#include "support/testbytestream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using CalvirTestSupport::TestByteStream;
using Bytes = std::vector<uint8_t>;

constexpr size_t kStateBytes = 140;

void appendLE (Bytes& bytes, uint64_t value, int width)
{
	for (int i = 0; i < width; ++i)
		bytes.push_back (static_cast<uint8_t> (value >> (8 * i)));
}

void appendInt32 (Bytes& bytes, int32_t value)
{
	appendLE (bytes, static_cast<uint32_t> (value), 4);
}

void appendDouble (Bytes& bytes, double value)
{
	uint64_t bits = 0;
	std::memcpy (&bits, &value, sizeof bits);
	appendLE (bytes, bits, 8);
}

uint64_t bitsOf (double value)
{
	uint64_t bits = 0;
	std::memcpy (&bits, &value, sizeof bits);
	return bits;
}

double fromBits (uint64_t bits)
{
	double value = 0.0;
	std::memcpy (&value, &bits, sizeof value);
	return value;
}

// A stream in the stored layout with the given values.
Bytes encodeState (uint64_t header, int32_t bypass, const std::vector<double>& values,
                   const std::vector<double>& reserved, const std::vector<int32_t>& flags)
{
	Bytes bytes;
	appendLE (bytes, header, 8);
	appendInt32 (bytes, bypass);
	for (double v : values)
		appendDouble (bytes, v);
	for (double v : reserved)
		appendDouble (bytes, v);
	for (int32_t f : flags)
		appendInt32 (bytes, f);
	return bytes;
}

Bytes encodeDefaults (int32_t bypass = 0)
{
	return encodeState (0, bypass, {0.75, 0.5, 0.251074, 0.537244, 0.588592, 1.0, 0.75, 0.516993},
	                    std::vector<double> (6, 0.0), std::vector<int32_t> (4, 0));
}

std::vector<uint64_t> doubleBits (const PlugState& s)
{
	std::vector<uint64_t> bits;
	for (double v : {s.level, s.mix, s.predelay, s.rvbTime, s.size, s.diffusion, s.hfDamp, s.lpCut})
		bits.push_back (bitsOf (v));
	for (double v : s.reserved)
		bits.push_back (bitsOf (v));
	return bits;
}

bool sameRecord (const PlugState& a, const PlugState& b)
{
	if (a.bypass != b.bypass || doubleBits (a) != doubleBits (b))
		return false;
	for (int i = 0; i < PlugState::kNumReservedFlags; ++i)
	{
		if (a.reservedFlags[i] != b.reservedFlags[i])
			return false;
	}
	return true;
}

// A record in which every field differs from the defaults.
PlugState unusualRecord ()
{
	PlugState s;
	s.bypass = true;
	s.level = 0.1;
	s.mix = -0.0;
	s.predelay = 1.0;
	s.rvbTime = std::numeric_limits<double>::denorm_min ();
	s.size = 0.3333333333333333;
	s.diffusion = 0.0;
	s.hfDamp = 0.9999999999999999;
	s.lpCut = 0.123456789;
	s.reserved[0] = 1.5;
	s.reserved[1] = -2.25;
	s.reserved[2] = fromBits (0x7FF800000000BEEFull); // NaN with a payload
	s.reserved[3] = std::numeric_limits<double>::infinity ();
	s.reserved[4] = 1e300;
	s.reserved[5] = -1e-300;
	s.reservedFlags[0] = true;
	s.reservedFlags[2] = true;
	return s;
}

TEST (PlugStateStream, FreshProcessorWritesTheDefaultLayout)
{
	auto* processor = new PlugProcessor;
	TestByteStream stream;
	EXPECT_EQ (processor->getState (&stream), kResultOk);
	processor->release ();

	ASSERT_EQ (stream.data ().size (), kStateBytes);
	EXPECT_EQ (stream.data (), encodeDefaults ());
}

TEST (PlugStateStream, WriteAppendsAtTheCursorAndKeepsTheRecord)
{
	PlugState state = unusualRecord ();
	const PlugState before = state;
	TestByteStream stream (Bytes (5, 0xAA));
	stream.seek (5, IBStream::kIBSeekSet, nullptr);

	EXPECT_EQ (state.write (&stream), kResultOk);
	EXPECT_EQ (stream.data ().size (), 5 + kStateBytes);
	EXPECT_EQ (stream.data ()[4], 0xAA);
	EXPECT_TRUE (sameRecord (state, before));
}

TEST (PlugStateStream, BooleansTakeThirtyTwoBitsAsOneOrZero)
{
	PlugState state;
	state.bypass = true;
	state.reservedFlags[1] = true;
	state.reservedFlags[3] = true;
	TestByteStream stream;
	ASSERT_EQ (state.write (&stream), kResultOk);

	const Bytes& b = stream.data ();
	EXPECT_EQ (Bytes (b.begin () + 8, b.begin () + 12), (Bytes {1, 0, 0, 0}));
	EXPECT_EQ (Bytes (b.begin () + 124, b.end ()),
	           (Bytes {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
}

TEST (PlugStateStream, RoundTripReproducesEveryBit)
{
	const PlugState original = unusualRecord ();
	TestByteStream stream;
	ASSERT_EQ (original.write (&stream), kResultOk);
	ASSERT_EQ (stream.data ().size (), kStateBytes);

	stream.rewind ();
	PlugState restored;
	EXPECT_EQ (restored.read (&stream), kResultOk);
	EXPECT_TRUE (sameRecord (restored, original));
	EXPECT_EQ (stream.cursor (), static_cast<int64_t> (kStateBytes));
}

TEST (PlugStateStream, ShortEmptyOrMissingStreamLeavesTheRecordUnchanged)
{
	const PlugState original = unusualRecord ();

	Bytes truncated = encodeDefaults ();
	truncated.pop_back (); // 139 bytes: the last flag is incomplete
	TestByteStream shortStream (truncated);
	PlugState state = original;
	EXPECT_EQ (state.read (&shortStream), kResultFalse);
	EXPECT_TRUE (sameRecord (state, original));
	EXPECT_EQ (shortStream.readCalls (), 20); // failed on the last flag

	TestByteStream emptyStream;
	EXPECT_EQ (state.read (&emptyStream), kResultFalse);
	EXPECT_TRUE (sameRecord (state, original));

	EXPECT_EQ (state.read (nullptr), kResultFalse);
	EXPECT_TRUE (sameRecord (state, original));
	EXPECT_EQ (state.write (nullptr), kResultFalse);
}

TEST (PlugStateStream, LongerStreamReadsOnlyTheFirst140Bytes)
{
	Bytes bytes = encodeDefaults (1);
	bytes.insert (bytes.end (), {1, 2, 3, 4, 5, 6, 7});
	TestByteStream stream (bytes);
	PlugState state;
	EXPECT_EQ (state.read (&stream), kResultOk);
	EXPECT_TRUE (state.bypass);
	EXPECT_EQ (stream.cursor (), static_cast<int64_t> (kStateBytes));
}

TEST (PlugStateStream, IntegersAboveZeroReadAsOnAndTheHeaderIsIgnored)
{
	const std::vector<double> values (8, 0.5);
	const std::vector<double> reserved (6, 0.0);

	TestByteStream two (encodeState (0xDEADBEEFCAFEF00Dull, 2, values, reserved, {2, -1, 0, 7}));
	PlugState state;
	ASSERT_EQ (state.read (&two), kResultOk);
	EXPECT_TRUE (state.bypass);
	EXPECT_TRUE (state.reservedFlags[0]);
	EXPECT_FALSE (state.reservedFlags[1]);
	EXPECT_FALSE (state.reservedFlags[2]);
	EXPECT_TRUE (state.reservedFlags[3]);

	TestByteStream minusOne (encodeState (0, -1, values, reserved, {0, 0, 0, 0}));
	ASSERT_EQ (state.read (&minusOne), kResultOk);
	EXPECT_FALSE (state.bypass);
}

TEST (PlugStateStream, ValuesAreStoredWithoutRangeChecks)
{
	const uint64_t nanBits = 0xFFF4000000000001ull; // negative signalling-style NaN
	const std::vector<double> values {fromBits (nanBits), -3.0, 17.5, 1e308, -0.0,
	                                  std::numeric_limits<double>::infinity (), 2.0, -1e-320};
	TestByteStream stream (encodeState (0, 0, values, std::vector<double> (6, 0.0), {0, 0, 0, 0}));
	PlugState state;
	ASSERT_EQ (state.read (&stream), kResultOk);

	const std::vector<uint64_t> bits = doubleBits (state);
	for (size_t i = 0; i < values.size (); ++i)
		EXPECT_EQ (bits[i], bitsOf (values[i])) << "value " << i;
}

TEST (PlugStateStream, FailingWriteStopsAtTheFailingField)
{
	const PlugState state = unusualRecord ();
	TestByteStream stream;
	stream.setWriteLimit (16); // room for header, bypass and half of level
	EXPECT_EQ (state.write (&stream), kResultFalse);
	EXPECT_EQ (stream.writeCalls (), 3); // no field after the failing one is attempted
	ASSERT_EQ (stream.data ().size (), 16u);

	TestByteStream complete;
	ASSERT_EQ (state.write (&complete), kResultOk);
	EXPECT_TRUE (std::equal (stream.data ().begin (), stream.data ().begin () + 12,
	                         complete.data ().begin ()));
}

} // namespace
