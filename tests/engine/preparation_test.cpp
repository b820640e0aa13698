// Engine state and preparation: sample-rate constants, buffer sizes, the
// delay memory's life cycle and what each activation resets or keeps.
#include "engineprobe.h"

#include <gtest/gtest.h>

#include <cmath>

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

// Plays noise long enough to fill every buffer, then returns the engine.
void fillWithNoise (EngineProbe& e, int32 numSamples)
{
	uint32_t seed = 12345;
	double l = 0.0, r = 0.0;
	for (int32 i = 0; i < numSamples; ++i)
	{
		seed = seed * 1664525u + 1013904223u;
		const double x = static_cast<double> (seed >> 8) / 16777216.0 - 0.5;
		e.step (x, -x, l, r);
	}
}

TEST (Preparation, ActivationClearsWhatThePreviousRunLeft)
{
	EngineProbe e (44100.0);
	ASSERT_TRUE (allBuffersZero (e.reverb));
	EXPECT_EQ (e.reverb.writeIndex, 0);
	EXPECT_EQ (e.reverb.flushPhase, FlushPhase::kFlushFadeOut);

	fillWithNoise (e, 25000); // past the activation's flush cycle
	ASSERT_EQ (e.reverb.flushPhase, FlushPhase::kFlushIdle);
	ASSERT_FALSE (allBuffersZero (e.reverb));
	const FirstOrderSection midBefore = e.reverb.midLowCut;
	ASSERT_NE (midBefore.prevOutput, 0.0);

	// A second activation without deactivation: one set of fresh buffers.
	e.setActive (true);
	EXPECT_TRUE (e.buffersHeld ());
	EXPECT_TRUE (allBuffersZero (e.reverb));
	EXPECT_EQ (e.reverb.writeIndex, 0);
	EXPECT_EQ (e.reverb.inputLowPass.prevInput, 0.0);
	EXPECT_EQ (e.reverb.inputLowPass.prevOutput, 0.0);
	for (double s : e.reverb.dampingState)
		EXPECT_EQ (s, 0.0);
	// The same parameters, and still a new flush cycle from full gain.
	EXPECT_EQ (e.reverb.flushPhase, FlushPhase::kFlushFadeOut);
	EXPECT_EQ (e.reverb.fadeGain, 1.0);
	EXPECT_EQ (e.reverb.lastPreDelayMs, e.reverb.preDelayMs);
	// The low-cut sections go on from their histories.
	EXPECT_EQ (e.reverb.midLowCut.prevOutput, midBefore.prevOutput);
	EXPECT_EQ (e.reverb.midLowCut.prevInput, midBefore.prevInput);
}

TEST (Preparation, NewRateAfterDeactivation)
{
	EngineProbe e (44100.0);
	fillWithNoise (e, 3000);
	const FirstOrderSection sideBefore = e.reverb.sideLowCut;
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
	EXPECT_EQ (r.sideLowCut.prevInput, sideBefore.prevInput);
	EXPECT_EQ (r.sideLowCut.prevOutput, sideBefore.prevOutput);
	EXPECT_EQ (r.lineLengths[0], static_cast<int32> (40.503959 * 0.1 * std::cbrt (10.0 * r.roomSize) * 96.0 + 0.5));
}

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
