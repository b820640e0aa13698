// Golden output: a fixed input rendered at 48000 Hz with the default
// parameters and one change of pre-delay and room size between two blocks
// of odd sizes, compared sample for sample with a reference rendered once by
// this engine. It guards every change to the engine's arithmetic.
//
// To write the reference anew (only after a deliberate change of the sound):
//   CALVIR_WRITE_GOLDEN=1 ./engine_tests --gtest_filter='Golden.*'
#include "engineprobe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace CalvirTest;

namespace {

constexpr double kRate = 48000.0;
constexpr size_t kLength = 96000; // 2 s
constexpr size_t kImpulseAt = 4800;         // 0.1 s
constexpr size_t kBurstAt = 24000;          // 0.5 s
constexpr size_t kBurstLength = 2400;       // 50 ms
constexpr size_t kSecondImpulseAt = 72000;  // 1.5 s, after the change's flush
constexpr int32 kBlockSizes[] = {480, 333, 512, 97};
constexpr size_t kChangeAfterBlock = 130;   // a block boundary near 1.0 s
constexpr ParamValue kNewPredelay = 0.6;    // 27.5 ms
constexpr ParamValue kNewSize = 0.3;        // about 64 m3

const std::string referencePath ()
{
	return std::string (CALVIR_SOURCE_DIR) + "/tests/engine/data/golden_48k_stereo.f64";
}

// The input, the same in both channels: two impulses and a burst of noise
// from a fixed linear congruential generator (identical on every platform).
std::vector<double> makeInput ()
{
	std::vector<double> x (kLength, 0.0);
	x[kImpulseAt] = 1.0;
	x[kSecondImpulseAt] = 1.0;
	uint32_t seed = 20240229u;
	for (size_t i = 0; i < kBurstLength; ++i)
	{
		seed = seed * 1664525u + 1013904223u;
		x[kBurstAt + i] = 0.5 * (static_cast<double> (seed >> 8) / 8388608.0 - 1.0);
	}
	return x;
}

struct Render
{
	std::vector<double> left, right;
	size_t changeAt {0};
};

Render render ()
{
	const std::vector<double> x = makeInput ();
	EngineProbe e (kRate);
	StereoBuffer<double> in (kLength), out (kLength);
	in.left = x;
	in.right = x;
	Render result;
	size_t pos = 0;
	for (size_t block = 0; pos < kLength; ++block)
	{
		if (block == kChangeAfterBlock)
		{
			e.setParameter (kPredelayId, kNewPredelay);
			e.setParameter (kSizeId, kNewSize);
			result.changeAt = pos;
		}
		const auto n = static_cast<int32> (std::min<size_t> (kBlockSizes[block % 4], kLength - pos));
		e.processBlock64 (in.ptrs (pos), out.ptrs (pos), n);
		pos += static_cast<size_t> (n);
	}
	result.left = out.left;
	result.right = out.right;
	return result;
}

double rms (const std::vector<double>& x, size_t begin, size_t end)
{
	double sum = 0.0;
	for (size_t i = begin; i < end; ++i)
		sum += x[i] * x[i];
	return std::sqrt (sum / static_cast<double> (end - begin));
}

// Little-endian float64, interleaved left/right.
bool writeReference (const Render& r)
{
	std::ofstream file (referencePath (), std::ios::binary);
	for (size_t i = 0; i < kLength; ++i)
	{
		for (double v : {r.left[i], r.right[i]})
		{
			uint64_t bits = 0;
			std::memcpy (&bits, &v, sizeof bits);
			unsigned char bytes[8];
			for (int b = 0; b < 8; ++b)
				bytes[b] = static_cast<unsigned char> (bits >> (8 * b));
			file.write (reinterpret_cast<const char*> (bytes), 8);
		}
	}
	return static_cast<bool> (file);
}

bool readReference (std::vector<double>& left, std::vector<double>& right)
{
	std::ifstream file (referencePath (), std::ios::binary);
	left.assign (kLength, 0.0);
	right.assign (kLength, 0.0);
	for (size_t i = 0; i < kLength; ++i)
	{
		for (std::vector<double>* channel : {&left, &right})
		{
			unsigned char bytes[8];
			if (!file.read (reinterpret_cast<char*> (bytes), 8))
				return false;
			uint64_t bits = 0;
			for (int b = 0; b < 8; ++b)
				bits |= static_cast<uint64_t> (bytes[b]) << (8 * b);
			std::memcpy (&(*channel)[i], &bits, sizeof bits);
		}
	}
	return file.peek () == std::ifstream::traits_type::eof ();
}

class Golden : public testing::Test
{
protected:
	static void SetUpTestSuite () { output = new Render (render ()); }
	static void TearDownTestSuite ()
	{
		delete output;
		output = nullptr;
	}
	static Render* output;
};

Render* Golden::output = nullptr;

TEST_F (Golden, MatchesTheReference)
{
	const char* write = std::getenv ("CALVIR_WRITE_GOLDEN");
	if (write != nullptr && std::string (write) == "1")
	{
		ASSERT_TRUE (writeReference (*output));
		GTEST_SKIP () << "reference written to " << referencePath ();
	}
	std::vector<double> left, right;
	ASSERT_TRUE (readReference (left, right)) << "missing or short reference " << referencePath ();
	for (size_t i = 0; i < kLength; ++i)
	{
		ASSERT_TRUE (sameBits (output->left[i], left[i]))
		    << "left sample " << i << ": " << output->left[i] << " against " << left[i];
		ASSERT_TRUE (sameBits (output->right[i], right[i]))
		    << "right sample " << i << ": " << output->right[i] << " against " << right[i];
	}
}

// Before the impulse's first reflection arrives, the output is the dry half
// of the input; the reverb of the input offset alone stays of order 1e-18.
TEST_F (Golden, DryOnlyBeforeTheFirstReflection)
{
	for (size_t i = 0; i < kImpulseAt + 100; ++i)
	{
		const double dry = 0.5 * ((i == kImpulseAt ? 1.0 : 0.0) + 1e-18);
		ASSERT_NEAR (output->left[i], dry, 1e-17) << i;
		ASSERT_NEAR (output->right[i], dry, 1e-17) << i;
	}
	EXPECT_EQ (output->left[kImpulseAt], 0.5 * (1.0 + 1e-18));
}

// After the burst the tail decays, quarter second by quarter second, and the
// reverb makes the two channels differ although the input is mono.
TEST_F (Golden, TailDecaysWithAStereoImage)
{
	const std::vector<double>& l = output->left;
	const std::vector<double>& r = output->right;
	const size_t start = kBurstAt + kBurstLength;
	const size_t step = 4800; // 100 ms
	double previous = rms (l, start, start + step);
	ASSERT_GT (previous, 1e-3);
	for (size_t w = start + step; w + step <= output->changeAt; w += step)
	{
		const double level = rms (l, w, w + step);
		EXPECT_LT (level, previous) << w;
		previous = level;
	}
	std::vector<double> side (kLength);
	for (size_t i = 0; i < kLength; ++i)
		side[i] = l[i] - r[i];
	EXPECT_GT (rms (side, start, start + 4 * step), 0.3 * rms (l, start, start + 4 * step));
}

// The change raises a flush: 150 ms fade-out, 250 ms silence. By the end of
// the silence the lines have been rewritten with zeros and only a faint
// residue of the low cut remains; then the second impulse meets the new room.
TEST_F (Golden, FlushSilenceAfterTheChange)
{
	const std::vector<double>& l = output->left;
	const size_t change = output->changeAt;
	ASSERT_GT (change, kBurstAt + kBurstLength);
	const size_t silenceStart = change + 7200;
	const size_t silenceEnd = silenceStart + 12000;
	ASSERT_LT (silenceEnd, kSecondImpulseAt);
	const double before = rms (l, change - 2400, change);
	const double lateSilence = rms (l, silenceEnd - 4800, silenceEnd);
	EXPECT_LT (lateSilence, 1e-6 * before);
	// The second impulse rings in the new room: a reverb again, and the
	// reflections arrive no earlier than the new pre-delay allows.
	EXPECT_GT (rms (l, kSecondImpulseAt + 2400, kSecondImpulseAt + 7200), 1e4 * lateSilence);
	const auto newPreDelay = static_cast<size_t> (48.0 * std::exp2 (7.965784284662086 * kNewPredelay) + 0.5);
	for (size_t i = kSecondImpulseAt + 1; i < kSecondImpulseAt + newPreDelay; ++i)
		EXPECT_LT (std::fabs (l[i] - 0.5e-18), 1e-9) << i;
}

} // namespace
