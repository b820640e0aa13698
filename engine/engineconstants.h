// Constants of the reverb engine. Each is named once, here, with its unit.
// The engine's sources and tests include it; the processor's header does not.
// The engine's arithmetic reproduces its results bit for bit, so the values
// and the forms in which they enter the formulas are part of the design.
#pragma once

#include "engine/reverbstate.h"

#include <cstddef>

namespace Steinberg {
namespace Vst {

//------------------------------------------------------------------------
// Units and geometry
//------------------------------------------------------------------------
static constexpr double kMsPerSecond = 1000.0;
static constexpr double kSecondsPerMs = 1.0 / kMsPerSecond; // samplesPerMs = sample rate × this
static constexpr double kPi = 3.14159265358979323846;
static constexpr double kTwoPi = 2.0 * kPi;

// Sample rates the engine runs at. From 4000 Hz up every delay fits its
// buffer; the upper bound is twice the highest rate hosts offer (768 kHz) and
// keeps every sample count and the delay memory (about 65 MB there) sane.
// Outside this range the engine holds no buffers and renders silence.
static constexpr double kMinSampleRateHz = 4000.0;
static constexpr double kMaxSampleRateHz = 1536000.0;

//------------------------------------------------------------------------
// Delay memory
//------------------------------------------------------------------------
static constexpr double kMaxPredelayMs = 250.0;
static constexpr double kBufferSpanSeconds = kMaxPredelayMs / kMsPerSecond; // 0.25 s, exact
static constexpr double kBufferMargin = 0.001; // 0.1 % on top of the longest pre-delay
// Layout of the delay memory: buffers start whole pages plus a stagger apart.
static constexpr size_t kPageDoubles = 512;         // 4096 bytes
static constexpr size_t kBufferStaggerDoubles = 40; // 320 bytes: 21 buffers, 21 different page offsets
// Every length in ms becomes samples as trunc(ms × samplesPerMs + this): halves go up.
static constexpr double kRoundingOffset = 0.5;

//------------------------------------------------------------------------
// Block loop
//------------------------------------------------------------------------
// Added to every input sample: keeps silence from decaying into subnormals.
static constexpr double kDenormalOffset = 1e-18;
// Largest input magnitude the engine takes as it is. A sample beyond it, like
// a NaN or an infinity, enters as 0: one such sample (a runaway plug-in
// upstream, uninitialised memory) would otherwise overflow to infinity in the
// mono sum and turn the reverb into NaN until the next activation.
// From inputs within the bound nothing in the engine can overflow. With the
// parameters settled the engine is linear (fades and glides only scale down),
// so the largest value inputs of magnitude at most B can give at any point is
// B times the L1 norm of the impulse response to that point.
// Measured at the ends of every parameter range at rates up to 1536 kHz, that
// norm is at most about 950 to an output sample (level +12 dB, mix 100 %,
// longest reverb time, smallest room, highest low-pass corner) and about 63 to
// a delay-line value; the sums of sixteen line values in the mixing and the
// output taps stay within 16 times that. So every value stays below about
// 10^303, more than five decades under the largest double (1.8·10^308).
// Every 32-bit sample (at most 3.4·10^38) and any audio level lies within it.
static constexpr double kMaxInputMagnitude = 1e300;

//------------------------------------------------------------------------
// Parameter mapping. Each power is taken as a base-2 exponential 2^(c·v).
//------------------------------------------------------------------------
// Level: 2^(v·slope − offset) = 10^((48·v − 36)/20); exactly 1.0 at v = 0.75.
static constexpr double kLevelExp2Slope = 7.97262742772967;   // 48·log2(10)/20
static constexpr double kLevelExp2Offset = 5.979470570797252; // 36·log2(10)/20
// Pre-delay: 2^(c·v) = 250^v ms; 0 ms at v = 0 exactly.
static constexpr double kPredelayExp2Scale = 7.965784284662086; // log2(250), last bit rounded down
// Reverb time: 200·p ms with p = 2^(c·v) = 20^v.
static constexpr double kReverbTimeMinMs = 200.0;
static constexpr double kReverbTimeExp2Scale = 4.321928094887363; // log2(20)
// Room size: 20·2^(c·v) = 20·50^v cubic metres.
static constexpr double kRoomSizeMinM3 = 20.0;
static constexpr double kRoomSizeExp2Scale = 5.643856189774724; // log2(50)
// Diffusion: 0.1·2^(c·v) = 0.1·10^v; 0 at v = 0 exactly.
static constexpr double kDiffusionMin = 0.1;
static constexpr double kDiffusionExp2Scale = 3.321928094887362; // log2(10)
// High-frequency damping: 0.94·v; the network's hfRatio is 1 − damping.
static constexpr double kMaxHFDamping = 0.94;
// Input low-pass corner: 500·2^(5·v) = 500·32^v Hz.
static constexpr double kLowPassMinHz = 500.0;
static constexpr double kLowPassExp2Scale = 5.0; // log2(32)
// The corner stays below half the sample rate: at most this fraction of it.
static constexpr double kMaxLowPassFraction = 0.45;

// Decay time (60 dB) of the network from the reverb time, in two forms:
// T = 229.0022·p − offset (from p = 20^v) and T = 1.145011·reverbTimeMs − offset.
static constexpr double kDecayTimeScale = 1.145011;
static constexpr double kDecayTimeScaleOfP = 229.0022; // kReverbTimeMinMs × kDecayTimeScale
static constexpr double kDecayTimeOffsetMs = 47.236978;

//------------------------------------------------------------------------
// Smoothing of level, mix and diffusion
//------------------------------------------------------------------------
static constexpr double kSmoothingTimeMs = 50.0;
// A step closes all but e^−2.2 of its size within kSmoothingTimeMs.
static constexpr double kSmoothingDecay = -2.2;

//------------------------------------------------------------------------
// Flush cycle
//------------------------------------------------------------------------
static constexpr double kFadeOutMs = 150.0;
static constexpr double kFadeInMs = 50.0;
static constexpr double kFlushSilenceMs = 250.0;

//------------------------------------------------------------------------
// Input stage, diffusers, output stage
//------------------------------------------------------------------------
// The reverb input's attenuation (about −26 dB), folded into the input low-pass gain.
static constexpr double kInputGain = 0.05;
static constexpr double kMidLowCutHz = 20.0;
static constexpr double kSideLowCutHz = 60.0;
static constexpr double kDiffuserLengthsMs[kNumDiffusers] = {4.771, 3.595};
// Diffuser gain 10^(−3·Dms/(150·v)) = 2^((Dms·c)·(1/(150·v))), c = −3·log2(10).
static constexpr double kDiffuserExp2Scale = -9.965784284662087;
static constexpr double kDiffuserDecayMsPerDiffusion = 150.0; // feedback decays 60 dB in 150·v ms
static constexpr double kMaxAllpassGain = 0.85;

//------------------------------------------------------------------------
// Feedback delay network
//------------------------------------------------------------------------
// The only network variant; every caller passes it.
static constexpr int32 kNetworkType = 1;
// Base line lengths before scaling by the room size; lines 0-7 form the long
// group (tapped with the diffusion), lines 8-15 the short group.
static constexpr double kDelayLineLengthsMs[kNumDelayLines] = {
    40.503959, 27.813877, 22.928411, 17.383673, 16.371867, 15.974569, 14.741325, 13.852415,
    13.190673, 13.153232, 12.145967, 11.91831,  10.859495, 10.663036, 10.489046, 9.037556};
static constexpr int32 kNumLongLines = 8;
// Short-group tap gain 1.3 − 0.3·v.
static constexpr double kShortTapGainAtZero = 1.3;
static constexpr double kShortTapGainSlope = 0.3;
// Size factor 0.1·cbrt(10·V).
static constexpr double kSizeFactorScale = 0.1;
static constexpr double kSizeFactorVolumeScale = 10.0;
// One pass through a line gains g = 10^(−3·Lms/T): 60 dB (a factor 10^−3) in T ms.
static constexpr double kDecayDecades = -3.0;
// Orthogonal scaling of the 16-point Hadamard mixing: 1/sqrt(16).
static constexpr double kHadamardScale = 0.25;
// Scale of the weighted correction term subtracted from the input.
static constexpr double kCorrectionScale = 0.25;

} // namespace Vst
} // namespace Steinberg
