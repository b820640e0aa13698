// Parameter mapping and smoothing: normalised values become the engine's
// quantities, a changed pre-delay or room size raises the flush, and output
// gain, mix and diffusion glide through one-pole smoothers.
#include "engine/parametermapping.h"

#include "engine/denormalguard.h"
#include "engine/engineconstants.h"
#include "processor/plugprocessor.h"

#include <cmath>
#include <cstring>

namespace Steinberg {
namespace Vst {

namespace {

// The processor's defaults, the values a NaN parameter is mapped as.
constexpr PlugState kDefaultParameters {};

// The engine's zero tests and clamp work on the bits of a normalised value.
// Floating-point comparisons (or the min/max instructions a compiler may make
// of a clamp) take a subnormal value for 0 whenever denormals-are-zero is on
// (our own DenormalGuard, or a host's audio thread), and the smallest values
// above 0 must still map to a pre-delay of 1 ms and a diffusion of 0.1.
uint64 bitsOf (ParamValue v)
{
	uint64 bits = 0;
	std::memcpy (&bits, &v, sizeof bits);
	// Keeps an optimiser from turning the integer tests on these bits back
	// into floating-point comparisons.
	__asm__ ("" : "+r" (bits));
	return bits;
}

constexpr uint64 kSignBit = uint64 (1) << 63;
constexpr uint64 kBitsOfOne = 0x3FF0000000000000; // 1.0; above it, larger positive values

// +0 or −0.
bool isZero (ParamValue v)
{
	return (bitsOf (v) & ~kSignBit) == 0;
}

} // namespace

//------------------------------------------------------------------------
// Mapping
//------------------------------------------------------------------------
ParamValue engineNormalised (ParamValue v, ParamValue fallback)
{
	if (std::isnan (v))
		return fallback;
	const uint64 bits = bitsOf (v);
	if ((bits & kSignBit) != 0) // below 0, subnormals included; −0 stays
		return isZero (v) ? v : 0.0;
	if (bits > kBitsOfOne)
		return 1.0;
	return v;
}

double mapLevelGain (ParamValue level)
{
	const ParamValue v = engineNormalised (level, kDefaultParameters.level);
	return std::exp2 (v * kLevelExp2Slope - kLevelExp2Offset);
}

double mapMix (ParamValue mix)
{
	return engineNormalised (mix, kDefaultParameters.mix);
}

double mapPreDelayMs (ParamValue predelay)
{
	const ParamValue v = engineNormalised (predelay, kDefaultParameters.predelay);
	if (isZero (v))
		return 0.0;
	return std::exp2 (kPredelayExp2Scale * v);
}

double mapReverbTimeFactor (ParamValue rvbTime)
{
	const ParamValue v = engineNormalised (rvbTime, kDefaultParameters.rvbTime);
	return std::exp2 (kReverbTimeExp2Scale * v);
}

double mapReverbTimeMs (ParamValue rvbTime)
{
	return kReverbTimeMinMs * mapReverbTimeFactor (rvbTime);
}

double mapRoomSize (ParamValue size)
{
	const ParamValue v = engineNormalised (size, kDefaultParameters.size);
	return kRoomSizeMinM3 * std::exp2 (kRoomSizeExp2Scale * v);
}

double mapDiffusion (ParamValue diffusion)
{
	const ParamValue v = engineNormalised (diffusion, kDefaultParameters.diffusion);
	if (isZero (v))
		return 0.0;
	return kDiffusionMin * std::exp2 (kDiffusionExp2Scale * v);
}

double mapHFDamping (ParamValue hfDamp)
{
	return kMaxHFDamping * engineNormalised (hfDamp, kDefaultParameters.hfDamp);
}

double mapLowPassHz (ParamValue lpCut)
{
	const ParamValue v = engineNormalised (lpCut, kDefaultParameters.lpCut);
	return kLowPassMinHz * std::exp2 (kLowPassExp2Scale * v);
}

//------------------------------------------------------------------------
// Engine members
//------------------------------------------------------------------------
void PlugProcessor::updateCoefficients (bool immediate)
{
	DenormalGuard noSubnormals;
	ReverbState& r = reverb;

	// 1. The mapped quantities; p (20^v) also gives the decay time below.
	const double p = mapReverbTimeFactor (paramState.rvbTime);
	r.levelTarget = mapLevelGain (paramState.level);
	r.mixTarget = mapMix (paramState.mix);
	r.preDelayMs = mapPreDelayMs (paramState.predelay);
	r.reverbTimeMs = kReverbTimeMinMs * p;
	r.roomSize = mapRoomSize (paramState.size);
	r.diffusionTarget = mapDiffusion (paramState.diffusion);
	r.hfDamping = mapHFDamping (paramState.hfDamp);
	r.lowPassHz = mapLowPassHz (paramState.lpCut);

	// 2, 3. Pre-delay and room size change the signal path only through the
	// flush cycle; any difference counts.
	if (r.preDelayMs != r.lastPreDelayMs)
	{
		raiseFlush ();
		r.lastPreDelayMs = r.preDelayMs;
	}
	if (r.roomSize != r.lastRoomSize)
	{
		raiseFlush ();
		r.lastRoomSize = r.roomSize;
	}

	// 4. Immediate: the smoothers stand at their targets, each state chosen
	// so that the next smoothing step returns the target.
	if (immediate)
	{
		r.smoothedLevel = r.levelTarget;
		r.smoothedMix = r.mixTarget;
		r.smoothedDiffusion = r.diffusionTarget;
		r.levelSmootherState = r.levelTarget * (1.0 - r.smoothingGain) / r.smoothingPole;
		r.mixSmootherState = r.mixTarget * (1.0 - r.smoothingGain) / r.smoothingPole;
		r.diffusionSmootherState = r.diffusionTarget * (1.0 - r.smoothingGain) / r.smoothingPole;
	}

	// 5-7. The network and stage coefficients, with the decay time from p;
	// the stage coefficients include the input gain of the low-pass.
	const double decayTimeMs = kDecayTimeScaleOfP * p - kDecayTimeOffsetMs;
	configureDelayNetwork (kNetworkType, immediate, decayTimeMs, decayTimeMs, 1.0 - r.hfDamping);

	r.coefficientsStale = true;
}

void PlugProcessor::reconfigureNetwork (bool immediate)
{
	ReverbState& r = reverb;
	const double decayTimeMs = kDecayTimeScale * r.reverbTimeMs - kDecayTimeOffsetMs;
	configureDelayNetwork (kNetworkType, immediate, decayTimeMs, decayTimeMs, 1.0 - r.hfDamping);
}

void PlugProcessor::advanceSmoothers ()
{
	ReverbState& r = reverb;
	r.levelSmootherState = r.smoothingPole * r.levelSmootherState + r.smoothingGain * r.levelTarget;
	r.smoothedLevel = r.levelSmootherState;
	r.mixSmootherState = r.smoothingPole * r.mixSmootherState + r.smoothingGain * r.mixTarget;
	r.smoothedMix = r.mixSmootherState;
	r.diffusionSmootherState =
	    r.smoothingPole * r.diffusionSmootherState + r.smoothingGain * r.diffusionTarget;
	r.smoothedDiffusion = r.diffusionSmootherState;
}

void PlugProcessor::raiseFlush ()
{
	// A fade-out or silence already running goes on undisturbed.
	if (reverb.flushPhase == FlushPhase::kFlushIdle || reverb.flushPhase == FlushPhase::kFlushFadeIn)
		reverb.flushPhase = FlushPhase::kFlushFadeOut;
}

} // namespace Vst
} // namespace Steinberg
