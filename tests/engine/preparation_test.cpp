// Engine state and preparation: sample-rate constants, buffer sizes, the
// delay memory's life cycle and what each activation resets or keeps.
#include "engineprobe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace CalvirTest;

namespace {

struct RateCase
{
	double rate;
	int32 bufferLength;
	int32 diffuser1;
	int32 diffuser2;
	int32 silenceLength;
};

void PrintTo (const RateCase& c, std::ostream* os)
{
	*os << c.rate << " Hz";
}

class PreparationAtRate : public testing::TestWithParam<RateCase>
{
};

TEST_P (PreparationAtRate, LengthsInSamples)
{
	const RateCase c = GetParam ();
	EngineProbe e (c.rate);
	EXPECT_EQ (e.reverb.samplesPerMs, c.rate * 0.001);
	EXPECT_EQ (e.reverb.bufferLength, c.bufferLength);
	EXPECT_EQ (e.reverb.diffuserLengthSamples[0], c.diffuser1);
	EXPECT_EQ (e.reverb.diffuserLengthSamples[1], c.diffuser2);
	EXPECT_EQ (e.reverb.silenceLength, c.silenceLength);
	EXPECT_EQ (e.reverb.silenceCountdown, c.silenceLength);
	EXPECT_TRUE (e.buffersHeld ());
}

INSTANTIATE_TEST_SUITE_P (Rates, PreparationAtRate,
                          testing::Values (RateCase {44100.0, 11036, 210, 159, 11025},
                                           RateCase {48000.0, 12012, 229, 173, 12000},
                                           RateCase {96000.0, 24024, 458, 345, 24000},
                                           // n = 5512 (5512.5 truncated), silence 5513 (rounded up)
                                           RateCase {22050.0, 5517, 105, 79, 5513},
                                           RateCase {8000.0, 2002, 38, 29, 2000}));

TEST (Preparation, CoefficientsAt44100)
{
	EngineProbe e (44100.0);
	const ReverbState& r = e.reverb;
	EXPECT_DOUBLE_EQ (r.samplesPerMs, 44.1);
	EXPECT_NEAR (r.fadeInStep, 4.5351474e-4, 1e-11);
	EXPECT_NEAR (r.fadeOutStep, 1.5117158e-4, 1e-11);
	EXPECT_NEAR (r.smoothingPole, 0.99900276514, 1e-11);
	EXPECT_NEAR (r.smoothingGain, 9.9723486e-4, 1e-11);
	EXPECT_EQ (r.smoothingGain, 1.0 - r.smoothingPole);
	EXPECT_NEAR (r.midLowCut.pole, 0.997154535, 1e-9);
	EXPECT_NEAR (r.midLowCut.gain, 0.998577268, 1e-9);
	EXPECT_NEAR (r.sideLowCut.pole, 0.991487780, 1e-9);
	EXPECT_NEAR (r.sideLowCut.gain, 0.995743890, 1e-9);
	EXPECT_EQ (r.midLowCutHz, 20.0);
	EXPECT_EQ (r.sideLowCutHz, 60.0);
	EXPECT_EQ (r.smoothingTimeMs, 50.0);
	EXPECT_EQ (r.diffuserLengthMs[0], 4.771);
	EXPECT_EQ (r.diffuserLengthMs[1], 3.595);
}

TEST (Preparation, FadeStepsAt48000)
{
	EngineProbe e (48000.0);
	EXPECT_DOUBLE_EQ (e.reverb.fadeOutStep, 1.0 / 7200.0);
	EXPECT_DOUBLE_EQ (e.reverb.fadeInStep, 1.0 / 2400.0);
}

// Every held buffer reads zero over its whole length.
bool allBuffersZero (const ReverbState& r)
{
	auto zero = [&] (const double* b) {
		for (int32 i = 0; i < r.bufferLength; ++i)
			if (b[i] != 0.0)
				return false;
		return true;
	};
	bool ok = zero (r.preDelayLine);
	for (int32 k = 0; k < kNumDiffusers; ++k)
		ok = ok && zero (r.diffuserInputLines[k]) && zero (r.diffuserOutputLines[k]);
	for (const double* line : r.delayLines)
		ok = ok && zero (line);
	return ok;
}

// Deterministic noise in [−0.5, 0.5).
std::vector<double> noise (size_t n, uint32_t seed = 12345)
{
	std::vector<double> x (n);
	for (double& v : x)
	{
		seed = seed * 1664525u + 1013904223u;
		v = static_cast<double> (seed >> 8) / 16777216.0 - 0.5;
	}
	return x;
}

// Plays left and right through the block loop of the given sample size, in
// blocks of 256; returns the outputs, left and right interleaved.
std::vector<double> play (EngineProbe& e, const std::vector<double>& left, const std::vector<double>& right,
                          int32 sampleSize = kSample64)
{
	constexpr size_t kBlock = 256;
	std::vector<double> out;
	StereoBuffer<double> b64 (kBlock);
	StereoBuffer<float> b32 (kBlock);
	for (size_t pos = 0; pos < left.size (); pos += kBlock)
	{
		const size_t n = std::min (kBlock, left.size () - pos);
		for (size_t i = 0; i < n; ++i)
		{
			b64.left[i] = b32.left[i] = static_cast<float> (left[pos + i]);
			b64.right[i] = b32.right[i] = static_cast<float> (right[pos + i]);
		}
		if (sampleSize == kSample64)
			e.processBlock64 (b64.ptrs (), b64.ptrs (), static_cast<int32> (n));
		else
			e.processBlock32 (b32.ptrs (), b32.ptrs (), static_cast<int32> (n));
		for (size_t i = 0; i < n; ++i)
		{
			out.push_back (sampleSize == kSample64 ? b64.left[i] : b32.left[i]);
			out.push_back (sampleSize == kSample64 ? b64.right[i] : b32.right[i]);
		}
	}
	return out;
}

// Plays noise in both channels, long enough to fill every buffer.
void fillWithNoise (EngineProbe& e, size_t numSamples)
{
	const std::vector<double> x = noise (numSamples);
	play (e, x, x);
}

TEST (Preparation, ActivationClearsWhatThePreviousRunLeft)
{
	EngineProbe e (44100.0);
	ASSERT_TRUE (allBuffersZero (e.reverb));
	EXPECT_EQ (e.reverb.writeIndex, 0);
	EXPECT_EQ (e.reverb.flushPhase, FlushPhase::kFlushIdle);

	// A run that leaves every history set and a flush half way through its
	// silence, with a new size and pre-delay waiting for its end.
	fillWithNoise (e, 3000);
	e.setParameter (kSizeId, 0.3);
	e.setParameter (kPredelayId, 0.6);
	fillWithNoise (e, 10000);
	ASSERT_EQ (e.reverb.flushPhase, FlushPhase::kFlushSilence);
	ASSERT_FALSE (allBuffersZero (e.reverb));
	ASSERT_NE (e.reverb.midLowCut.prevOutput, 0.0);
	ASSERT_NE (e.reverb.sideLowCut.prevOutput, 0.0);

	// A second activation without deactivation: one set of fresh buffers.
	e.setActive (true);
	const ReverbState& r = e.reverb;
	EXPECT_TRUE (e.buffersHeld ());
	EXPECT_TRUE (allBuffersZero (r));
	EXPECT_EQ (r.writeIndex, 0);
	for (const FirstOrderSection* section : {&r.inputLowPass, &r.midLowCut, &r.sideLowCut})
	{
		EXPECT_EQ (section->prevInput, 0.0);
		EXPECT_EQ (section->prevOutput, 0.0);
	}
	for (double s : r.dampingState)
		EXPECT_EQ (s, 0.0);
	// No flush: the new lengths apply at once and count as seen.
	EXPECT_EQ (r.flushPhase, FlushPhase::kFlushIdle);
	EXPECT_EQ (r.fadeGain, 1.0);
	EXPECT_EQ (r.silenceCountdown, r.silenceLength);
	EXPECT_EQ (r.lastPreDelayMs, r.preDelayMs);
	EXPECT_EQ (r.lastRoomSize, r.roomSize);
	EXPECT_EQ (r.preDelaySamples, static_cast<int32> (r.preDelayMs * r.samplesPerMs + 0.5));
	EXPECT_EQ (r.lineLengths[0], static_cast<int32> (40.503959 * 0.1 * std::cbrt (10.0 * r.roomSize) * 44.1 + 0.5));
}

TEST (Preparation, NewRateAfterDeactivation)
{
	EngineProbe e (44100.0);
	fillWithNoise (e, 3000);
	e.setActive (false);
	EXPECT_FALSE (e.buffersHeld ());
	EXPECT_EQ (e.reverb.preDelayLine, nullptr);
	EXPECT_EQ (e.reverb.delayLines[15], nullptr);
	EXPECT_EQ (e.reverb.bufferLength, 11036); // kept until the next activation
	e.freeBuffers ();                          // nothing held: nothing happens
	EXPECT_FALSE (e.buffersHeld ());

	e.setRate (96000.0);
	e.setActive (true);
	const ReverbState& r = e.reverb;
	EXPECT_EQ (r.bufferLength, 24024);
	EXPECT_EQ (r.diffuserLengthSamples[0], 458);
	EXPECT_EQ (r.silenceLength, 24000);
	EXPECT_DOUBLE_EQ (r.fadeOutStep, 1.0 / 14400.0);
	EXPECT_NEAR (r.smoothingPole, std::exp (-2.2 / 4800.0), 1e-15);
	const double w = 60.0 * 2.0 * 3.14159265358979323846 / 96000.0;
	EXPECT_NEAR (r.sideLowCut.pole, (1.0 - std::sin (w)) / std::cos (w), 1e-15);
	EXPECT_EQ (r.lineLengths[0], static_cast<int32> (40.503959 * 0.1 * std::cbrt (10.0 * r.roomSize) * 96.0 + 0.5));
}

// Energy of both outputs over 0.2 to 0.5 s after an impulse in both inputs
// at impulseAt, right after an activation with the default parameters and mix 1.
double wetTailEnergy (double rate, size_t impulseAt)
{
	EngineProbe e (rate);
	e.paramState.mix = 1.0;
	e.setActive (true); // as after a restored state: the smoothers start at mix 1
	const size_t from = impulseAt + static_cast<size_t> (0.2 * rate);
	const size_t to = impulseAt + static_cast<size_t> (0.5 * rate);
	std::vector<double> x (to, 0.0);
	x[impulseAt] = 1.0;
	const std::vector<double> out = play (e, x, x);
	double sum = 0.0;
	for (size_t i = 2 * from; i < 2 * to; ++i)
		sum += out[i] * out[i];
	return sum;
}

// The reverb sounds from the first sample: an impulse right at activation
// rings out as one two seconds later, when the engine has long settled.
TEST_P (PreparationAtRate, ReverbSoundsFromTheFirstSample)
{
	const double rate = GetParam ().rate;
	const double atActivation = wetTailEnergy (rate, 0);
	const double settled = wetTailEnergy (rate, static_cast<size_t> (2.0 * rate));
	ASSERT_GT (settled, 1e-9);
	EXPECT_NEAR (10.0 * std::log10 (atActivation / settled), 0.0, 1.0);
}

// Deactivated in the middle of a loud tail, with a flush running, and
// activated again, the engine gives what a fresh instance gives, bit for bit.
class Reactivation : public testing::TestWithParam<int32>
{
};

TEST_P (Reactivation, SoundsLikeAFreshInstance)
{
	const int32 sampleSize = GetParam ();
	const std::vector<double> loud = noise (24000);
	const std::vector<double> fading = noise (3000, 99); // within the fade-out
	const std::vector<double> x = noise (24000, 777);
	EngineProbe used (48000.0, sampleSize);
	used.setParameter (kRvbTimeId, 1.0); // a 4 s tail
	play (used, loud, loud, sampleSize);
	used.setParameter (kSizeId, 0.8);
	play (used, fading, fading, sampleSize);
	ASSERT_TRUE (used.reverb.flushPending ());
	used.setActive (false);
	used.setActive (true);

	EngineProbe fresh (48000.0, sampleSize);
	fresh.paramState = used.paramState;
	fresh.setActive (true);
	const std::vector<double> a = play (used, x, loud, sampleSize);
	const std::vector<double> b = play (fresh, x, loud, sampleSize);
	for (size_t i = 0; i < a.size (); ++i)
		ASSERT_TRUE (sameBits (a[i], b[i])) << i;
}

INSTANTIATE_TEST_SUITE_P (SampleSizes, Reactivation, testing::Values (kSample64, kSample32));

TEST (Preparation, StartValuesBeforeActivation)
{
	struct Fresh : PlugProcessor
	{
		using PlugProcessor::buffersHeld;
		using PlugProcessor::reverb;
		using PlugProcessor::updateCoefficients;
	} fresh;
	// A parameter change or state restore before activation reads only
	// defined values and leaves no buffer behind.
	fresh.initialize (nullptr);
	EXPECT_EQ (fresh.reverb.smoothingTimeMs, 50.0);
	EXPECT_EQ (fresh.reverb.bufferLength, 0);
	EXPECT_FALSE (fresh.buffersHeld ());
	fresh.updateCoefficients (false);
	EXPECT_TRUE (std::isfinite (fresh.reverb.inputLowPass.gain));
	EXPECT_EQ (fresh.reverb.flushPhase, FlushPhase::kFlushFadeOut);
	fresh.terminate ();
}

// Rates the engine cannot run at leave it without delay memory; the block
// loops then write silence and change nothing.
TEST (Preparation, UnsupportedRateRendersSilence)
{
	struct Raw : EngineProbe
	{
		using EngineProbe::EngineProbe;
		void forceRate (double rate) { sampleRate = rate; }
	} e (44100.0);
	for (double rate : {0.0, 3999.0, 2.0e6, std::nan ("")})
	{
		e.setActive (false);
		e.forceRate (rate);
		e.prepareEngine ();
		EXPECT_FALSE (e.buffersHeld ()) << rate;
		StereoBuffer<double> b (64);
		for (size_t i = 0; i < 64; ++i)
			b.left[i] = b.right[i] = 0.5;
		const int32 indexBefore = e.reverb.writeIndex;
		e.processBlock64 (b.ptrs (), b.ptrs (), 64);
		for (size_t i = 0; i < 64; ++i)
			EXPECT_TRUE (b.left[i] == 0.0 && b.right[i] == 0.0) << rate;
		EXPECT_EQ (e.reverb.writeIndex, indexBefore);
	}
	e.forceRate (44100.0);
	e.prepareEngine ();
	EXPECT_TRUE (e.buffersHeld ());
}

} // namespace
