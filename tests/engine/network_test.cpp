// Feedback delay network and the stages around it: lengths, coefficients,
// tap gains and signs, the mixing matrix, diffuser gains and pre-delay.
#include "engine/enginemath.h"
#include "engineprobe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace CalvirTest;

namespace {

TEST (Network, DefaultsAt44100)
{
	EngineProbe e (44100.0);
	const ReverbState& r = e.reverb;
	const int32 expected[kNumDelayLines] = {2251, 1545, 1274, 966, 910, 888, 819, 770,
	                                        733,  731,  675,  662, 603, 592, 583, 502};
	for (int32 i = 0; i < kNumDelayLines; ++i)
		EXPECT_EQ (r.lineLengths[i], expected[i]) << "line " << i;
	EXPECT_NEAR (0.1 * std::cbrt (10.0 * r.roomSize), 1.259921, 5e-7);

	// Line 0: DC gain g = b0/(1 − pole), Nyquist gain b0/(1 + pole). The
	// reference figures were derived with the size factor rounded to 1.259921,
	// so they agree to about 1e-6.
	constexpr double kTolerance = 1e-6;
	EXPECT_NEAR (r.dampingB0[0], 0.459919, kTolerance);
	EXPECT_NEAR (r.dampingPole[0], 0.365924, kTolerance);
	EXPECT_NEAR (r.dampingB0[0] / (1.0 - r.dampingPole[0]), 0.725338, kTolerance);
	EXPECT_NEAR (r.dampingB0[0] / (1.0 + r.dampingPole[0]), 0.336709, kTolerance);
	EXPECT_NEAR (r.feedbackWeights[0], 0.134925, kTolerance);
	EXPECT_NEAR (r.dampingB0[15], 0.851354, kTolerance);
	EXPECT_NEAR (r.dampingPole[15], 0.085408, kTolerance);
	EXPECT_NEAR (r.feedbackWeights[15], 0.037135, kTolerance);

	double sum = 0.0;
	for (double w : r.feedbackWeights)
	{
		EXPECT_GT (w, 0.0);
		sum += w;
	}
	EXPECT_NEAR (sum, 1.0, 1e-15);
	// Both tap gains are 1 (v = 0.1·2^(log2 10) to within rounding).
	EXPECT_EQ (r.shortGroupTapGain, 1.0);
	EXPECT_NEAR (r.smoothedDiffusion, 1.0, 1e-15);
}

TEST (Network, NoDampingAtRatioOne)
{
	EngineProbe e (44100.0);
	e.setParameter (kHFDampId, 0.0);
	const ReverbState& r = e.reverb;
	const double sizeFactor = 0.1 * std::cbrt (10.0 * r.roomSize);
	const double decayTimeMs = 229.0022 * std::exp2 (4.321928094887363 * e.paramState.rvbTime) - 47.236978;
	for (int32 i = 0; i < kNumDelayLines; ++i)
	{
		EXPECT_EQ (r.dampingPole[i], 0.0);
		const double lengthMs = kDelayLineLengthsMs[i] * sizeFactor;
		EXPECT_EQ (r.dampingB0[i], std::pow (10.0, -3.0 * lengthMs / decayTimeMs));
	}
}

TEST (Network, ExtremeDampingCorner)
{
	EngineProbe e (44100.0);
	e.paramState.rvbTime = 0.0;
	e.paramState.size = 1.0;
	e.paramState.hfDamp = 1.0;
	e.updateCoefficients (true);
	const ReverbState& r = e.reverb;
	EXPECT_GT (r.dampingB0[0], 1e-24);
	EXPECT_LT (r.dampingB0[0], 3e-24);
	EXPECT_EQ (r.dampingPole[0], 1.0); // rounds to exactly 1, kept as it is
	for (int32 i = 1; i < kNumDelayLines; ++i)
	{
		EXPECT_LT (r.dampingPole[i], 1.0);
		EXPECT_GT (r.dampingPole[i], 1.0 - 2e-5);
	}
	EXPECT_NEAR (r.dampingPole[15], 0.999982, 5e-7);
	EXPECT_LT (r.lineLengths[0], r.bufferLength);
}

TEST (Network, ShortGroupTapGain)
{
	EXPECT_EQ (EngineMath::shortGroupTapGain (1.0), 1.0);
	EXPECT_NEAR (EngineMath::shortGroupTapGain (0.1), 1.27, 1e-15);
	EXPECT_EQ (EngineMath::shortGroupTapGain (0.0), 1.3);
	EngineProbe e (44100.0);
	e.paramState.diffusion = 0.0;
	e.updateCoefficients (true);
	EXPECT_EQ (e.reverb.shortGroupTapGain, 1.3);
}

TEST (Network, ImmediateWritesLengthsDespiteAPendingFlush)
{
	EngineProbe e (44100.0);
	ReverbState& r = e.reverb;
	e.raiseFlush ();
	ASSERT_TRUE (r.flushPending ());
	r.roomSize = 1000.0;
	e.configureDelayNetwork (1, false, 1000.0, 1000.0, 0.5);
	EXPECT_EQ (r.lineLengths[0], 2251);
	e.configureDelayNetwork (1, true, 1000.0, 1000.0, 0.5);
	EXPECT_EQ (r.lineLengths[0], static_cast<int32> (40.503959 * (0.1 * std::cbrt (10000.0)) * 44.1 + 0.5));
}

// Signs of the output taps: one unit in one line at a time.
TEST (Network, TapSignsAndGroups)
{
	EngineProbe e (44100.0);
	ReverbState& r = e.reverb;
	r.smoothedDiffusion = 0.5;
	r.shortGroupTapGain = 2.0;
	const int leftSign[kNumDelayLines] = {1, 1, 1, 1, 1, -1, 1, -1, 1, -1, 1, -1, 1, 1, 1, 1};
	const int rightSign[kNumDelayLines] = {1, -1, 1, -1, 1, 1, 1, 1, 1, 1, 1, 1, 1, -1, 1, -1};
	for (int32 i = 0; i < kNumDelayLines; ++i)
	{
		e.clearBuffers (r.bufferLength);
		// At w = 0 a line of length L is read at index N − L.
		r.delayLines[i][r.bufferLength - r.lineLengths[i]] = 1.0;
		double left = 0.0, right = 0.0;
		e.processDelayNetwork (1, 0.0, left, right);
		const double gain = i < 8 ? 0.5 : 2.0;
		EXPECT_EQ (left, leftSign[i] * gain) << "line " << i;
		EXPECT_EQ (right, rightSign[i] * gain) << "line " << i;
	}
}

TEST (Network, HadamardMixIsOrthogonalInNaturalOrder)
{
	std::mt19937 rng (7);
	std::uniform_real_distribution<double> dist (-1.0, 1.0);
	double y[kNumDelayLines];
	for (double& v : y)
		v = dist (rng);
	double m[kNumDelayLines];
	std::copy (std::begin (y), std::end (y), m);
	EngineMath::hadamardMix (m);
	double energyIn = 0.0, energyOut = 0.0;
	for (int32 k = 0; k < kNumDelayLines; ++k)
	{
		double direct = 0.0;
		for (int32 j = 0; j < kNumDelayLines; ++j)
			direct += (__builtin_popcount (static_cast<unsigned> (k & j)) % 2 == 0 ? 1.0 : -1.0) * y[j];
		EXPECT_NEAR (m[k], 0.25 * direct, 1e-14) << k;
		energyIn += y[k] * y[k];
		energyOut += m[k] * m[k];
	}
	EXPECT_NEAR (energyIn, energyOut, 1e-13);
}

// One network sample by hand: damping, mixing, correction, fade-scaled writes.
TEST (Network, OneSampleByHand)
{
	EngineProbe e (44100.0);
	ReverbState& r = e.reverb;
	std::mt19937 rng (11);
	std::uniform_real_distribution<double> dist (-1.0, 1.0);
	r.writeIndex = 5000;
	double d[kNumDelayLines], state[kNumDelayLines];
	for (int32 i = 0; i < kNumDelayLines; ++i)
	{
		d[i] = dist (rng);
		state[i] = dist (rng);
		r.delayLines[i][5000 - r.lineLengths[i]] = d[i];
		r.dampingState[i] = state[i];
	}
	r.fadeGain = 0.75;
	double left = 0.0, right = 0.0;
	e.processDelayNetwork (1, 0.3, left, right);

	double m[kNumDelayLines];
	for (int32 i = 0; i < kNumDelayLines; ++i)
	{
		m[i] = r.dampingB0[i] * d[i] + r.dampingPole[i] * state[i];
		EXPECT_EQ (r.dampingState[i], m[i]);
	}
	EngineMath::hadamardMix (m);
	double correction = 0.0;
	for (int32 k = 0; k < kNumDelayLines; ++k)
		correction += r.feedbackWeights[k] * m[k];
	const double x = 0.3 - 0.25 * correction;
	for (int32 k = 0; k < kNumDelayLines; ++k)
		EXPECT_EQ (r.delayLines[k][5000], (m[k] + x) * 0.75) << k;
}

TEST (Network, SilentWritesWhileFadeGainIsZero)
{
	EngineProbe e (44100.0);
	ReverbState& r = e.reverb;
	r.writeIndex = 3000;
	for (int32 i = 0; i < kNumDelayLines; ++i)
	{
		r.delayLines[i][3000 - r.lineLengths[i]] = 1.0;
		r.dampingState[i] = 0.5;
	}
	r.fadeGain = 0.0;
	double left = 0.0, right = 0.0;
	e.processDelayNetwork (1, 1.0, left, right);
	for (int32 i = 0; i < kNumDelayLines; ++i)
		EXPECT_EQ (r.delayLines[i][3000], 0.0);
	EXPECT_NE (left, 0.0); // the taps still deliver what was written before
	EXPECT_NE (r.dampingState[0], 0.5);
}

TEST (Stages, DiffuserGains)
{
	const double lengths[kNumDiffusers] = {4.771, 3.595};
	double g[kNumDiffusers];
	EngineMath::diffuserGains (lengths, 1.0, g);
	EXPECT_NEAR (g[0], 0.802749419, 5e-10);
	EXPECT_NEAR (g[1], 0.847422518, 5e-10);
	EngineMath::diffuserGains (lengths, 0.1, g);
	EXPECT_NEAR (g[0], 0.111121987, 5e-10);
	EXPECT_NEAR (g[1], 0.190985326, 5e-10);
	EngineMath::diffuserGains (lengths, 0.0, g);
	EXPECT_EQ (g[0], 0.0);
	EXPECT_EQ (g[1], 0.0);
	EngineMath::diffuserGains (lengths, 1.05, g); // beyond the range: bounded
	EXPECT_EQ (g[1], 0.85);
}

TEST (Stages, PreDelaySamples)
{
	EngineProbe e (44100.0);
	EXPECT_EQ (e.reverb.preDelaySamples, 176);
	e.paramState.predelay = 1.0;
	e.updateCoefficients (true);
	EXPECT_EQ (e.reverb.preDelaySamples, 11025);
	e.paramState.predelay = 0.0;
	e.updateCoefficients (true);
	EXPECT_EQ (e.reverb.preDelaySamples, 0);

	EngineProbe f (48000.0);
	EXPECT_EQ (f.reverb.preDelaySamples, 192);
	EXPECT_EQ (f.reverb.diffuserLengthSamples[0], 229);
	EXPECT_EQ (f.reverb.diffuserLengthSamples[1], 173);
	f.paramState.predelay = 1.0;
	f.updateCoefficients (true);
	EXPECT_EQ (f.reverb.preDelaySamples, 12000);
}

// Below 8000 Hz the longest pre-delay can round to the whole buffer length;
// it stays one sample shorter, so an impulse still comes out delayed.
TEST (Stages, LongestPreDelayAtLowRates)
{
	EngineProbe e (4002.5);
	ASSERT_EQ (e.reverb.bufferLength, 1001);
	e.paramState.predelay = 1.0;
	e.updateCoefficients (true);
	EXPECT_EQ (e.reverb.preDelaySamples, 1000); // rounds to 1001 = bufferLength
	// An impulse enters the pre-delay line and leaves it 1000 samples later.
	ReverbState& r = e.reverb;
	double l = 0.0, rr = 0.0;
	int32 arrival = -1;
	for (int32 i = 0; i < 1100 && arrival < 0; ++i)
	{
		const int32 w = r.writeIndex;
		e.step (i == 0 ? 1.0 : 0.0, 0.0, l, rr);
		if (std::fabs (r.diffuserInputLines[0][w]) > 1e-6) // the pre-delay output of this sample
			arrival = i;
	}
	EXPECT_EQ (arrival, 1000);
}

TEST (Stages, ZeroPreDelayPassesTheSameSample)
{
	EngineProbe e (44100.0);
	e.paramState.predelay = 0.0;
	e.updateCoefficients (true);
	ReverbState& r = e.reverb;
	r.writeIndex = 100;
	double l = 0.0, rr = 0.0;
	e.processSample (0.5, 0.25, l, rr);
	EXPECT_NE (r.preDelayLine[100], 0.0);
	EXPECT_EQ (r.diffuserInputLines[0][100], r.preDelayLine[100]);
	EXPECT_EQ (r.preDelayLine[100], r.inputLowPass.prevOutput);
}

// Mix 0 passes the input as given; mix 1 gives the wet signal alone, which
// is silent until the first reflections arrive.
TEST (Stages, MixEnds)
{
	EngineProbe dry (44100.0);
	dry.paramState.mix = 0.0;
	dry.updateCoefficients (true);
	EngineProbe wet (44100.0);
	wet.paramState.mix = 1.0;
	wet.updateCoefficients (true);
	for (int32 i = 0; i < 100; ++i)
	{
		const double x = 0.001 * i - 0.03;
		double l = 0.0, r = 0.0;
		dry.step (x, -x, l, r);
		EXPECT_EQ (l, x + 1e-18);
		EXPECT_EQ (r, -x + 1e-18);
		wet.step (x, -x, l, r);
		EXPECT_EQ (l, 0.0);
		EXPECT_EQ (r, 0.0);
	}
}

// A constant wet signal decays at the outputs; the dry term passes DC.
TEST (Stages, LowCutRemovesWetDC)
{
	EngineProbe e (44100.0);
	ReverbState& r = e.reverb;
	double left = 0.0, right = 0.0;
	for (int32 i = 0; i < 200000; ++i)
		EngineMath::midSideLowCut (1.0, 0.5, r.midLowCut, r.sideLowCut, left, right);
	EXPECT_LT (std::fabs (left), 1e-12);
	EXPECT_LT (std::fabs (right), 1e-12);
	// Above the corners the mid/side pair has unity gain.
	double peakL = 0.0;
	for (int32 i = 0; i < 20000; ++i)
	{
		const double x = (i % 2) ? 1.0 : -1.0; // Nyquist
		EngineMath::midSideLowCut (x, x, r.midLowCut, r.sideLowCut, left, right);
		if (i >= 18000) // past the switching transient
			peakL = std::max (peakL, std::fabs (left));
	}
	EXPECT_NEAR (peakL, 1.0, 1e-3);
}

} // namespace
