// Per-sample arithmetic of the stages and the delay network, shared by the
// literal block loop and the default one (engine/samplekernel.h), so that
// both evaluate every expression in the same operations and the same order,
// whichever storage holds the state.
#pragma once

#include "engine/engineconstants.h"
#include "engine/reverbstate.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

// The per-sample functions are always inlined: the default block loop holds
// the state they work on in locals, which the compiler keeps in registers
// only when it sees every access.
#if defined(__GNUC__)
#define CALVIR_ALWAYS_INLINE inline __attribute__ ((always_inline))
#else
#define CALVIR_ALWAYS_INLINE inline
#endif

namespace Steinberg {
namespace Vst {
namespace EngineMath {

// A host sample as the engine takes it: widened to 64-bit, a NaN, an infinity
// or a magnitude beyond kMaxInputMagnitude replaced by 0 (one bad sample must
// not poison the reverb for ever), then offset away from zero. The one
// comparison is false for NaN and covers the infinities, so the test costs
// what the finiteness test did. It is the quiet comparison, as that test was:
// a NaN raises no invalid-operation exception, which a host may have unmasked.
template <typename SampleType>
CALVIR_ALWAYS_INLINE double engineInput (SampleType sample)
{
	double x = static_cast<double> (sample);
	if (!std::islessequal (std::fabs (x), kMaxInputMagnitude))
		x = 0.0;
	return x + kDenormalOffset;
}

// An engine output sample in the host's sample size. A 64-bit sample is the
// engine's value as it is. A 32-bit sample is held within the largest float:
// the engine's value may exceed it (an input near the float limit raised by
// the level), and an infinity handed on would poison whatever follows. Every
// value that rounds to a finite float is converted as before.
template <typename SampleType>
CALVIR_ALWAYS_INLINE SampleType engineOutput (double y)
{
	return static_cast<SampleType> (y);
}

template <>
CALVIR_ALWAYS_INLINE float engineOutput<float> (double y)
{
	constexpr double kFloatMax = std::numeric_limits<float>::max ();
	return static_cast<float> (std::min (std::max (y, -kFloatMax), kFloatMax));
}

// Dry gain of the wet/dry mix.
CALVIR_ALWAYS_INLINE double dryGain (double smoothedMix)
{
	return 1.0 - smoothedMix;
}

// Tap gain of the short line group (lines 8-15); v is the smoothed diffusion.
CALVIR_ALWAYS_INLINE double shortGroupTapGain (double v)
{
	return kShortTapGainAtZero - kShortTapGainSlope * v;
}

// Allpass gains 10^(−3·Dms/(150·v)), taken as 2^((Dms·c)·(1/(150·v))) and
// bounded by kMaxAllpassGain. v = 0 gives an exponent of −∞ and gains of 0.
CALVIR_ALWAYS_INLINE void diffuserGains (const double lengthMs[kNumDiffusers], double v, double gains[kNumDiffusers])
{
	const double inverseDecayMs = 1.0 / (kDiffuserDecayMsPerDiffusion * v);
	for (int32 k = 0; k < kNumDiffusers; ++k)
	{
		double g = std::exp2 ((lengthMs[k] * kDiffuserExp2Scale) * inverseDecayMs);
		if (g > kMaxAllpassGain)
			g = kMaxAllpassGain;
		gains[k] = g;
	}
}

// Whether two doubles are the same bit pattern (0 and −0 differ, NaN equals itself).
CALVIR_ALWAYS_INLINE bool sameBits (double a, double b)
{
	return std::memcmp (&a, &b, sizeof (double)) == 0;
}

// The quantities that follow the smoothed mix and diffusion from sample to
// sample: the dry gain, the diffuser gains and the short-group tap gain.
// Each is re-derived only when its smoothed value changed since it was last
// derived (recorded in appliedMix, appliedDiffusion); otherwise the formula
// would give the same value again.
struct SmoothedQuantities
{
	double& appliedMix;
	double& dryGain;
	double& appliedDiffusion;
	double* diffuserGain;
	double& shortGroupTapGain;
};

CALVIR_ALWAYS_INLINE void refreshSmoothedQuantities (double smoothedMix, double smoothedDiffusion,
                                                     const double diffuserLengthMs[kNumDiffusers],
                                                     const SmoothedQuantities& q)
{
	if (!sameBits (smoothedMix, q.appliedMix))
	{
		q.dryGain = dryGain (smoothedMix);
		q.appliedMix = smoothedMix;
	}
	if (!sameBits (smoothedDiffusion, q.appliedDiffusion))
	{
		diffuserGains (diffuserLengthMs, smoothedDiffusion, q.diffuserGain);
		q.shortGroupTapGain = shortGroupTapGain (smoothedDiffusion);
		q.appliedDiffusion = smoothedDiffusion;
	}
}

// Index of a delay of `delay` samples behind writeIndex in a buffer of
// bufferLength: one conditional addition, no modulo.
CALVIR_ALWAYS_INLINE int32 wrapIndex (int32 writeIndex, int32 delay, int32 bufferLength)
{
	const int32 index = writeIndex - delay;
	return index < 0 ? index + bufferLength : index;
}

// One step of the input low-pass y = b·(x + x1) + d·y1.
CALVIR_ALWAYS_INLINE double lowPassStep (FirstOrderSection& s, double x)
{
	const double y = s.gain * (x + s.prevInput) + s.pole * s.prevOutput;
	s.prevInput = x;
	s.prevOutput = y;
	return y;
}

// The positions one sample of the two diffusers reads and writes: an input
// (x) and an output (y) history per diffuser, read D samples back.
struct DiffuserTaps
{
	const double* x1Read;
	const double* y1Read;
	const double* x2Read;
	const double* y2Read;
	double* x1Write;
	double* y1Write;
	double* x2Write;
	double* y2Write;
};

// Two allpass diffusers in series, a[n] = −g·u[n] + u[n−D] + g·a[n−D],
// with the history writes after all reads. Returns the second one's output.
CALVIR_ALWAYS_INLINE double diffuserPair (const DiffuserTaps& taps, const double gains[kNumDiffusers], double p)
{
	const double a1 = gains[0] * (*taps.y1Read - p) + *taps.x1Read;
	const double a2 = gains[1] * (*taps.y2Read - a1) + *taps.x2Read;
	*taps.x1Write = p;
	*taps.y1Write = a1;
	*taps.x2Write = a1;
	*taps.y2Write = a2;
	return a2;
}

// The low cut in mid/side form: M = L + R and S = L − R each pass a
// first-order high-pass, then return to left/right with unity overall gain.
CALVIR_ALWAYS_INLINE void midSideLowCut (double wetL, double wetR, FirstOrderSection& mid, FirstOrderSection& side,
                           double& left, double& right)
{
	const double m = wetL + wetR;
	const double s = wetL - wetR;
	const double mCut = mid.gain * (m - mid.prevInput) + mid.pole * mid.prevOutput;
	mid.prevInput = m;
	mid.prevOutput = mCut;
	const double sCut = side.gain * (s - side.prevInput) + side.pole * side.prevOutput;
	side.prevInput = s;
	side.prevOutput = sCut;
	left = (mCut + sCut) * 0.5;
	right = (mCut - sCut) * 0.5;
}

//------------------------------------------------------------------------
// Feedback delay network. The functions work on one sample (double) or on
// consecutive samples side by side in the lanes of a vector (SamplePair,
// SampleQuad; lane 0 the earliest): every lane sees exactly the operations
// of the one-sample form.
//------------------------------------------------------------------------
typedef double SamplePair __attribute__ ((vector_size (2 * sizeof (double))));
typedef double SampleQuad __attribute__ ((vector_size (4 * sizeof (double))));

template <typename V>
constexpr int32 kLaneCount = static_cast<int32> (sizeof (V) / sizeof (double));

template <typename V, size_t... lane>
CALVIR_ALWAYS_INLINE V lanesOf (const double values[], std::index_sequence<lane...>)
{
	return V {values[lane]...};
}

// The vector with values[0] in lane 0, values[1] in lane 1, ...
template <typename V>
CALVIR_ALWAYS_INLINE V lanesOf (const double values[])
{
	return lanesOf<V> (values, std::make_index_sequence<kLaneCount<V>> ());
}

// x in every lane.
template <typename V>
CALVIR_ALWAYS_INLINE V splat (double x)
{
	if constexpr (std::is_same_v<V, double>)
	{
		return x;
	}
	else
	{
		double values[kLaneCount<V>];
		for (double& value : values)
			value = x;
		return lanesOf<V> (values);
	}
}

// Output taps from the undamped line outputs d: the long group with gain v,
// the short group with shortGain, each odd line negated on one side.
template <typename V>
CALVIR_ALWAYS_INLINE void outputTaps (const V d[kNumDelayLines], const V& v, const V& shortGain, V& outLeft,
                                      V& outRight)
{
	outLeft = v * (d[0] + d[1] + d[2] + d[3] + d[4] - d[5] + d[6] - d[7]) +
	          shortGain * (d[8] - d[9] + d[10] - d[11] + d[12] + d[13] + d[14] + d[15]);
	outRight = v * (d[0] - d[1] + d[2] - d[3] + d[4] + d[5] + d[6] + d[7]) +
	           shortGain * (d[8] + d[9] + d[10] + d[11] + d[12] - d[13] + d[14] - d[15]);
}

// One stage of sum-and-difference butterflies on pairs `span` apart.
template <int32 span, typename V>
CALVIR_ALWAYS_INLINE void butterflyStage (V m[kNumDelayLines])
{
	for (int32 block = 0; block < kNumDelayLines; block += 2 * span)
	{
		for (int32 i = block; i < block + span; ++i)
		{
			const V a = m[i];
			const V b = m[i + span];
			m[i] = a + b;
			m[i + span] = a - b;
		}
	}
}

// Orthogonal 16-point Hadamard mixing in natural (Sylvester) order, in place:
// four stages of sum-and-difference butterflies on pairs 1, 2, 4 and 8 apart,
// then every result times 1/4.
template <typename V>
CALVIR_ALWAYS_INLINE void hadamardMix (V m[kNumDelayLines])
{
	butterflyStage<1> (m);
	butterflyStage<2> (m);
	butterflyStage<4> (m);
	butterflyStage<8> (m);
	const V scale = splat<V> (kHadamardScale);
	for (int32 k = 0; k < kNumDelayLines; ++k)
		m[k] *= scale;
}

// The network's input after the correction: input − 0.25·Σ weights[k]·m[k],
// the sum taken from k = 0 upwards.
template <typename V>
CALVIR_ALWAYS_INLINE V correctedInput (const V& input, const double weights[kNumDelayLines],
                                      const V m[kNumDelayLines])
{
	V sum = splat<V> (weights[0]) * m[0];
	for (int32 k = 1; k < kNumDelayLines; ++k)
		sum += splat<V> (weights[k]) * m[k];
	return input - splat<V> (kCorrectionScale) * sum;
}

// The damping filters and correction weights the network works on.
struct NetworkFilters
{
	const double* dampingB0;
	const double* dampingPole;
	double* dampingState;
	const double* feedbackWeights;
};

// Mixing, correction and the values to write into the lines, scaled by the
// fade gain, from the damped line outputs m (overwritten).
template <typename V>
CALVIR_ALWAYS_INLINE void feedback (V m[kNumDelayLines], const double weights[kNumDelayLines], const V& fadeGain,
                                    const V& input, V lineInputs[kNumDelayLines])
{
	hadamardMix (m);
	const V x = correctedInput (input, weights, m);
	for (int32 k = 0; k < kNumDelayLines; ++k)
		lineInputs[k] = (m[k] + x) * fadeGain;
}

// One sample of the feedback delay network from the sixteen line outputs d
// (read before any line is written): the output taps of the undamped values,
// damping, mixing, the input with the correction, and the values to write
// into the lines.
CALVIR_ALWAYS_INLINE void networkSample (const double d[kNumDelayLines], const NetworkFilters& f, double v,
                                         double shortGain, double fadeGain, double input, double& outLeft,
                                         double& outRight, double lineInputs[kNumDelayLines])
{
	outputTaps (d, v, shortGain, outLeft, outRight);

	double m[kNumDelayLines];
	for (int32 i = 0; i < kNumDelayLines; ++i)
	{
		const double y = f.dampingB0[i] * d[i] + f.dampingPole[i] * f.dampingState[i];
		f.dampingState[i] = y;
		m[i] = y;
	}
	feedback (m, f.feedbackWeights, fadeGain, input, lineInputs);
}

// As many consecutive samples of the network at once as V has lanes. No
// line is shorter than that many samples, so no sample reads what an earlier
// one of them writes. The damping filters run their steps in sample order.
template <typename V>
CALVIR_ALWAYS_INLINE void networkLanes (const V d[kNumDelayLines], const NetworkFilters& f, const V& v,
                                        const V& shortGain, const V& fadeGain, const V& input, V& outLeft,
                                        V& outRight, V lineInputs[kNumDelayLines])
{
	outputTaps (d, v, shortGain, outLeft, outRight);

	V m[kNumDelayLines];
	for (int32 i = 0; i < kNumDelayLines; ++i)
	{
		const V b0d = splat<V> (f.dampingB0[i]) * d[i];
		double y[kLaneCount<V>];
		double previous = f.dampingState[i];
		for (int32 lane = 0; lane < kLaneCount<V>; ++lane)
		{
			y[lane] = b0d[lane] + f.dampingPole[i] * previous;
			previous = y[lane];
		}
		f.dampingState[i] = previous;
		m[i] = lanesOf<V> (y);
	}
	feedback (m, f.feedbackWeights, fadeGain, input, lineInputs);
}

} // namespace EngineMath
} // namespace Vst
} // namespace Steinberg
