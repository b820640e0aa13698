// Parameter mapping and smoothing: the mapped values, the flush trigger, the
// immediate and smoothed updates, and values outside [0, 1].
#include "engine/parametermapping.h"
#include "engineprobe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace CalvirTest;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN ();

TEST (Mapping, LevelEnds)
{
	EXPECT_EQ (mapLevelGain (0.75), 1.0); // exactly 0 dB
	EXPECT_NEAR (mapLevelGain (0.0), 0.0158489319, 1e-10);
	EXPECT_NEAR (mapLevelGain (1.0), 3.98107171, 1e-8);
}

TEST (Mapping, ProcessorDefaults)
{
	const PlugState d;
	EXPECT_EQ (mapLevelGain (d.level), 1.0);
	EXPECT_EQ (mapMix (d.mix), 0.5);
	EXPECT_NEAR (mapPreDelayMs (d.predelay), 4.000004, 5e-7);
	EXPECT_NEAR (mapReverbTimeMs (d.rvbTime), 1000.001, 5e-4);
	EXPECT_NEAR (mapRoomSize (d.size), 200.0001, 5e-5);
	EXPECT_NEAR (mapDiffusion (d.diffusion), 1.0, 1e-15);
	EXPECT_NEAR (mapHFDamping (d.hfDamp), 0.705, 1e-15);
	EXPECT_NEAR (mapLowPassHz (d.lpCut), 3000.005, 5e-4);
	EXPECT_NEAR (229.0022 * mapReverbTimeFactor (d.rvbTime) - 47.236978, 1097.775, 5e-4);
}

TEST (Mapping, RangeEnds)
{
	EXPECT_EQ (mapReverbTimeMs (0.0), 200.0);
	EXPECT_NEAR (mapReverbTimeMs (1.0), 4000.0, 1e-9);
	EXPECT_EQ (mapRoomSize (0.0), 20.0);
	EXPECT_NEAR (mapRoomSize (1.0), 1000.0, 1e-9);
	EXPECT_EQ (mapLowPassHz (0.0), 500.0);
	EXPECT_EQ (mapLowPassHz (1.0), 16000.0);
	EXPECT_EQ (mapHFDamping (1.0), 0.94);
	EXPECT_LT (mapPreDelayMs (1.0), 250.0); // a hair below
	EXPECT_NEAR (mapPreDelayMs (1.0), 250.0, 1e-12);
	EXPECT_NEAR (mapDiffusion (1.0), 1.0, 1e-15);
	// Decay times at the ends of the reverb time.
	EXPECT_NEAR (229.0022 * mapReverbTimeFactor (0.0) - 47.236978, 181.765222, 1e-9);
	EXPECT_NEAR (229.0022 * mapReverbTimeFactor (1.0) - 47.236978, 4532.807022, 1e-9);
	EXPECT_NEAR (1.145011 * mapReverbTimeMs (1.0) - 47.236978, 4532.807022, 1e-9);
}

TEST (Mapping, ZeroIsExact)
{
	const double tiny = std::numeric_limits<double>::denorm_min ();
	EXPECT_EQ (mapPreDelayMs (0.0), 0.0);
	EXPECT_EQ (mapPreDelayMs (-0.0), 0.0);
	EXPECT_GE (mapPreDelayMs (tiny), 1.0);
	EXPECT_EQ (mapDiffusion (0.0), 0.0);
	EXPECT_EQ (mapDiffusion (-0.0), 0.0);
	EXPECT_GE (mapDiffusion (tiny), 0.1);
}

// The same through the engine, whose coefficient updates run with
// denormals-are-zero, on activation and on a later update: the smallest
// value above 0 is not 0, the largest below 0 is.
TEST (Mapping, SmallestValuesAboveZeroThroughTheEngine)
{
	const double tiny = std::numeric_limits<double>::denorm_min ();
	EngineProbe e (44100.0);
	e.setActive (false);
	e.paramState.predelay = tiny;
	e.paramState.diffusion = tiny;
	e.setActive (true);
	EXPECT_EQ (e.reverb.preDelayMs, 1.0);
	EXPECT_EQ (e.reverb.diffusionTarget, 0.1);
	EXPECT_EQ (e.reverb.smoothedDiffusion, 0.1);
	EXPECT_EQ (e.reverb.preDelaySamples, 44);

	e.setParameter (kPredelayId, -tiny);
	e.setParameter (kDiffusionId, -tiny);
	EXPECT_EQ (e.reverb.preDelayMs, 0.0);
	EXPECT_EQ (e.reverb.diffusionTarget, 0.0);
	e.setParameter (kPredelayId, tiny);
	e.setParameter (kDiffusionId, tiny);
	EXPECT_EQ (e.reverb.preDelayMs, 1.0);
	EXPECT_EQ (e.reverb.diffusionTarget, 0.1);
}

// Outside [0, 1] the engine maps the nearest end; NaN maps as the default.
TEST (Mapping, OutOfRangeAndNaN)
{
	const PlugState d;
	EXPECT_EQ (mapPreDelayMs (7.5), mapPreDelayMs (1.0));
	EXPECT_EQ (mapPreDelayMs (-2.0), 0.0);
	EXPECT_EQ (mapRoomSize (1e300), mapRoomSize (1.0));
	EXPECT_EQ (mapRoomSize (-std::numeric_limits<double>::infinity ()), 20.0);
	EXPECT_EQ (mapLevelGain (kNaN), 1.0);
	EXPECT_EQ (mapMix (kNaN), 0.5);
	EXPECT_EQ (mapPreDelayMs (kNaN), mapPreDelayMs (d.predelay));
	EXPECT_EQ (mapReverbTimeMs (kNaN), mapReverbTimeMs (d.rvbTime));
	EXPECT_EQ (mapRoomSize (kNaN), mapRoomSize (d.size));
	EXPECT_EQ (mapDiffusion (kNaN), mapDiffusion (1.0));
	EXPECT_EQ (mapHFDamping (kNaN), mapHFDamping (0.75));
	EXPECT_EQ (mapLowPassHz (kNaN), mapLowPassHz (d.lpCut));
	// Inside the range the value is used as it is.
	EXPECT_EQ (engineNormalised (0.3, 0.9), 0.3);
}

TEST (Mapping, OutOfRangeStateStaysInsideTheBuffers)
{
	EngineProbe e (44100.0);
	e.paramState.predelay = 40.0;
	e.paramState.size = 1e9;
	e.paramState.rvbTime = kNaN;
	e.paramState.hfDamp = -5.0;
	e.updateCoefficients (true);
	// The record keeps what it was given.
	EXPECT_EQ (e.paramState.predelay, 40.0);
	EXPECT_TRUE (std::isnan (e.paramState.rvbTime));
	EXPECT_EQ (e.reverb.preDelaySamples, 11025);
	EXPECT_LT (e.reverb.lineLengths[0], e.reverb.bufferLength);
	EXPECT_EQ (e.reverb.reverbTimeMs, mapReverbTimeMs (PlugState ().rvbTime));
	for (double pole : e.reverb.dampingPole)
		EXPECT_EQ (pole, 0.0); // no damping at hfRatio 1
	double l = 0.0, r = 0.0;
	for (int32 i = 0; i < 30000; ++i)
		e.step (0.1, 0.1, l, r);
	EXPECT_TRUE (std::isfinite (l) && std::isfinite (r));
}

TEST (Coefficients, ImmediateSetsSmoothersToTargets)
{
	EngineProbe e (44100.0);
	const ReverbState& r = e.reverb;
	EXPECT_EQ (r.smoothedLevel, r.levelTarget);
	EXPECT_EQ (r.smoothedMix, 0.5);
	EXPECT_EQ (r.smoothedDiffusion, r.diffusionTarget);
	EXPECT_EQ (r.mixSmootherState, 0.5 * (1.0 - r.smoothingGain) / r.smoothingPole);
	// The next smoothing step returns the target, up to rounding.
	e.advanceSmoothers ();
	EXPECT_NEAR (r.smoothedMix, 0.5, 1e-15);
	EXPECT_NEAR (r.smoothedLevel, 1.0, 1e-15);
}

TEST (Coefficients, SmoothedUpdateMovesOnlyTargets)
{
	EngineProbe e (44100.0);
	const ReverbState& r = e.reverb;
	const double mixState = r.mixSmootherState;
	e.setParameter (kMixId, 1.0);
	e.setParameter (kLevelId, 1.0);
	EXPECT_EQ (r.mixTarget, 1.0);
	EXPECT_EQ (r.smoothedMix, 0.5);
	EXPECT_EQ (r.mixSmootherState, mixState);
	EXPECT_EQ (r.smoothedLevel, 1.0);
	// One step of the one-pole smoother.
	e.advanceSmoothers ();
	EXPECT_EQ (r.smoothedMix, r.smoothingPole * mixState + r.smoothingGain * 1.0);
	// 50 ms close all but e^-2.2 of the step.
	for (int32 i = 1; i < 2205; ++i)
		e.advanceSmoothers ();
	EXPECT_NEAR ((1.0 - r.smoothedMix) / 0.5, std::exp (-2.2), 1e-4);
}

TEST (Coefficients, DiffusionGlidesAcrossTheGapFromZero)
{
	EngineProbe e (44100.0);
	e.setParameter (kDiffusionId, 0.0);
	EXPECT_EQ (e.reverb.diffusionTarget, 0.0);
	e.setParameter (kDiffusionId, 1e-9);
	EXPECT_NEAR (e.reverb.diffusionTarget, 0.1, 1e-9);
}

TEST (Coefficients, FlushOnlyForPredelayAndSize)
{
	EngineProbe e (44100.0);
	ReverbState& r = e.reverb;
	ASSERT_EQ (r.flushPhase, FlushPhase::kFlushIdle); // activation raises none

	// Repeating a value raises nothing but still reconfigures everything.
	r.dampingB0[3] = 123.0;
	r.inputLowPass.gain = 5.0;
	e.setParameter (kPredelayId, e.paramState.predelay);
	EXPECT_EQ (r.flushPhase, FlushPhase::kFlushIdle);
	EXPECT_LT (r.dampingB0[3], 1.0);
	EXPECT_LT (r.inputLowPass.gain, 0.05);

	for (ParamID id : {kLevelId, kMixId, kRvbTimeId, kDiffusionId, kHFDampId, kLPCutId})
	{
		e.setParameter (id, 0.1);
		EXPECT_EQ (r.flushPhase, FlushPhase::kFlushIdle) << id;
	}
	const int32 preDelaySamples = r.preDelaySamples;
	e.setParameter (kPredelayId, 0.9);
	EXPECT_EQ (r.flushPhase, FlushPhase::kFlushFadeOut);
	EXPECT_EQ (r.lastPreDelayMs, r.preDelayMs);
	EXPECT_EQ (r.preDelaySamples, preDelaySamples); // waits for the silence

	r.flushPhase = FlushPhase::kFlushIdle;
	const int32 line0 = r.lineLengths[0];
	const double b0 = r.dampingB0[0];
	e.setParameter (kSizeId, 1.0);
	EXPECT_EQ (r.flushPhase, FlushPhase::kFlushFadeOut);
	EXPECT_EQ (r.lastRoomSize, r.roomSize);
	EXPECT_EQ (r.lineLengths[0], line0);
	EXPECT_NE (r.dampingB0[0], b0); // damping already follows the new size
}

TEST (Coefficients, ChangesDuringFadeOutAndSilenceRestartNothing)
{
	EngineProbe e (44100.0);
	ReverbState& r = e.reverb;
	for (FlushPhase phase : {FlushPhase::kFlushFadeOut, FlushPhase::kFlushSilence})
	{
		r.flushPhase = phase;
		r.fadeGain = 0.25;
		r.silenceCountdown = 77;
		e.setParameter (kSizeId, phase == FlushPhase::kFlushSilence ? 0.2 : 0.3);
		e.setParameter (kPredelayId, phase == FlushPhase::kFlushSilence ? 0.2 : 0.3);
		EXPECT_EQ (r.flushPhase, phase);
		EXPECT_EQ (r.fadeGain, 0.25);
		EXPECT_EQ (r.silenceCountdown, 77);
		EXPECT_EQ (r.lastRoomSize, r.roomSize);
		EXPECT_EQ (r.lastPreDelayMs, r.preDelayMs);
	}
	// During the fade-in a change starts a new fade-out from the current gain.
	r.flushPhase = FlushPhase::kFlushFadeIn;
	r.fadeGain = 0.4;
	e.setParameter (kSizeId, 0.5);
	EXPECT_EQ (r.flushPhase, FlushPhase::kFlushFadeOut);
	EXPECT_EQ (r.fadeGain, 0.4);
}

TEST (Coefficients, RestoredStateWithSameLengthsRaisesNoFlush)
{
	EngineProbe e (44100.0);
	e.paramState.mix = 0.9;
	e.updateCoefficients (false);
	EXPECT_EQ (e.reverb.flushPhase, FlushPhase::kFlushIdle);
}

// The input low-pass corner stays below half the sample rate.
TEST (Coefficients, LowPassCornerBound)
{
	for (double rate : {22050.0, 32000.0, 44100.0, 96000.0})
	{
		EngineProbe e (rate);
		e.setParameter (kLPCutId, 1.0);
		const double fc = std::min (16000.0, 0.45 * rate);
		const double w = fc * 2.0 * 3.14159265358979323846 / rate;
		const double d = (1.0 - std::sin (w)) / std::cos (w);
		EXPECT_EQ (e.reverb.inputLowPass.pole, d) << rate;
		EXPECT_EQ (e.reverb.inputLowPass.gain, (0.5 - 0.5 * d) * 0.05) << rate;
		EXPECT_LT (std::fabs (d), 1.0) << rate;
	}
}

} // namespace
