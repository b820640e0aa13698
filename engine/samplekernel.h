// The per-sample work of the default block loop, with the engine state it
// touches held in local copies for a run of samples.
//
// One call of process() does what one sample of the literal loop does -
// advanceSmoothers, the coefficient refresh, stepFlush, processSample
// (with processDelayNetwork), the output level and the write-index step -
// in the same operations and the same order, so every result is the same
// bit for bit. It only leaves out what cannot change within the run:
//   - the full reconfiguration, which the literal loop repeats every sample
//     with unchanged inputs; only the quantities derived from the smoothed
//     mix (dry gain) and diffusion (diffuser gains, short-group tap gain) are
//     recomputed, and only when those smoothed values change;
//   - the end of a flush silence, where the lengths change: the block loop
//     hands that sample to the literal members (see endsSilenceNext);
//   - the index arithmetic: the samples come in chunks within which no read
//     or write position crosses a buffer end, so every buffer is accessed
//     through a pointer fixed for the chunk plus the sample's place in it.
// Held in locals (not behind pointers that might alias the delay buffers),
// the state stays in registers and the compiler can vectorise the network.
#pragma once

#include "engine/enginemath.h"
#include "engine/engineconstants.h"
#include "engine/reverbstate.h"

#include <algorithm>
#include <cstring>

namespace Steinberg {
namespace Vst {

class SampleKernel
{
public:
	explicit SampleKernel (const ReverbState& r) { load (r); }

	// Whether the next sample's flush step ends a silence, which reconfigures
	// the network with new lengths: the kernel does not handle that sample.
	static bool endsSilenceNext (const ReverbState& r)
	{
		return endsSilence (r.flushPhase, r.silenceCountdown, r.fadeGain, r.fadeOutStep);
	}
	bool endsSilenceNext () const { return endsSilence (flushPhase, silenceCountdown, fadeGain, fadeOutStep); }

	// Fixes the buffer pointers for the samples from the current write
	// position on; returns for how many samples they hold (at least 1).
	int32 beginChunk ();
	// Renders up to count samples of the chunk, host samples first to first +
	// count − 1; stops before a sample that ends a flush silence and then
	// sets silenceEnds. Returns the number of samples rendered. Each
	// sample's inputs are read before its output is written.
	template <typename SampleType>
	CALVIR_ALWAYS_INLINE int32 render (SampleType* const* inputs, SampleType* const* outputs, int32 first, int32 count,
	                                   bool& silenceEnds);
	// Ends the chunk after its first count samples.
	void endChunk (int32 count);

	void store (ReverbState& r) const;

private:
	static bool endsSilence (FlushPhase phase, int32 countdown, double gain, double outStep)
	{
		if (countdown > 1)
			return false;
		return phase == FlushPhase::kFlushSilence || (phase == FlushPhase::kFlushFadeOut && !(gain - outStep > 0.0));
	}
	static bool sameBits (double a, double b) { return std::memcmp (&a, &b, sizeof (double)) == 0; }

	// What the input stage of one sample hands to the network and the output stage.
	struct Frame
	{
		double xL, xR;        // the inputs as the engine takes them
		double networkInput;  // the second diffuser's output
		double fadeGain, diffusion, shortGroupTapGain;
		double mix, dryGain, level;
	};

	void load (const ReverbState& r);
	CALVIR_ALWAYS_INLINE void inputStage (int32 t, double xL, double xR, Frame& f);
	CALVIR_ALWAYS_INLINE void outputStage (const Frame& f, double wetL, double wetR, double& outL, double& outR);
	CALVIR_ALWAYS_INLINE void networkOne (int32 t, const Frame& f, double& wetL, double& wetR);
	CALVIR_ALWAYS_INLINE void networkLanes (int32 t, const Frame f[EngineMath::kNumSampleLanes],
	                                        double wetL[EngineMath::kNumSampleLanes],
	                                        double wetR[EngineMath::kNumSampleLanes]);
	CALVIR_ALWAYS_INLINE void advanceSmoothers ();
	CALVIR_ALWAYS_INLINE void refreshSmoothedCoefficients ();
	CALVIR_ALWAYS_INLINE void stepFlush ();

	// Delay memory: the buffers, and their read and write positions for the chunk.
	int32 bufferLength;
	int32 writeIndex;
	double* preDelayLine;
	double* diffuserInput[kNumDiffusers];
	double* diffuserOutput[kNumDiffusers];
	double* lines[kNumDelayLines];
	double* preDelayWrite;
	const double* preDelayRead;
	double* diffuserInputWrite[kNumDiffusers];
	double* diffuserOutputWrite[kNumDiffusers];
	const double* diffuserInputRead[kNumDiffusers];
	const double* diffuserOutputRead[kNumDiffusers];
	double* lineWrite[kNumDelayLines];
	const double* lineRead[kNumDelayLines];

	// Smoothing
	double levelTarget, mixTarget, diffusionTarget;
	double levelState, mixState, diffusionState;
	double smoothingGain, smoothingPole;
	double appliedMix, appliedDiffusion;

	// Flush cycle
	FlushPhase flushPhase;
	double fadeGain, fadeOutStep, fadeInStep;
	int32 silenceCountdown;

	// Stages
	FirstOrderSection inputLowPass, midLowCut, sideLowCut;
	int32 preDelaySamples;
	int32 diffuserLengthSamples[kNumDiffusers];
	double diffuserLengthMs[kNumDiffusers];
	double diffuserGain[kNumDiffusers];
	double dryGain;

	// Network
	int32 lineLengths[kNumDelayLines];
	alignas (64) double dampingB0[kNumDelayLines];
	alignas (64) double dampingPole[kNumDelayLines];
	alignas (64) double dampingState[kNumDelayLines];
	alignas (64) double feedbackWeights[kNumDelayLines];
	double shortGroupTapGain;
};

//------------------------------------------------------------------------
inline void SampleKernel::load (const ReverbState& r)
{
	bufferLength = r.bufferLength;
	writeIndex = r.writeIndex;
	preDelayLine = r.preDelayLine;
	for (int32 k = 0; k < kNumDiffusers; ++k)
	{
		diffuserInput[k] = r.diffuserInputLines[k];
		diffuserOutput[k] = r.diffuserOutputLines[k];
		diffuserLengthSamples[k] = r.diffuserLengthSamples[k];
		diffuserLengthMs[k] = r.diffuserLengthMs[k];
		diffuserGain[k] = r.diffuserGain[k];
	}
	levelTarget = r.levelTarget;
	mixTarget = r.mixTarget;
	diffusionTarget = r.diffusionTarget;
	levelState = r.levelSmootherState;
	mixState = r.mixSmootherState;
	diffusionState = r.diffusionSmootherState;
	smoothingGain = r.smoothingGain;
	smoothingPole = r.smoothingPole;
	appliedMix = r.appliedMix;
	appliedDiffusion = r.appliedDiffusion;
	flushPhase = r.flushPhase;
	fadeGain = r.fadeGain;
	fadeOutStep = r.fadeOutStep;
	fadeInStep = r.fadeInStep;
	silenceCountdown = r.silenceCountdown;
	inputLowPass = r.inputLowPass;
	midLowCut = r.midLowCut;
	sideLowCut = r.sideLowCut;
	preDelaySamples = r.preDelaySamples;
	dryGain = r.dryGain;
	for (int32 i = 0; i < kNumDelayLines; ++i)
	{
		lines[i] = r.delayLines[i];
		lineLengths[i] = r.lineLengths[i];
		dampingB0[i] = r.dampingB0[i];
		dampingPole[i] = r.dampingPole[i];
		dampingState[i] = r.dampingState[i];
		feedbackWeights[i] = r.feedbackWeights[i];
	}
	shortGroupTapGain = r.shortGroupTapGain;
}

// Writes back what a run can change.
inline void SampleKernel::store (ReverbState& r) const
{
	r.writeIndex = writeIndex;
	r.levelSmootherState = levelState;
	r.mixSmootherState = mixState;
	r.diffusionSmootherState = diffusionState;
	r.smoothedLevel = levelState;
	r.smoothedMix = mixState;
	r.smoothedDiffusion = diffusionState;
	r.appliedMix = appliedMix;
	r.appliedDiffusion = appliedDiffusion;
	r.flushPhase = flushPhase;
	r.fadeGain = fadeGain;
	r.silenceCountdown = silenceCountdown;
	r.inputLowPass = inputLowPass;
	r.midLowCut = midLowCut;
	r.sideLowCut = sideLowCut;
	r.dryGain = dryGain;
	for (int32 k = 0; k < kNumDiffusers; ++k)
		r.diffuserGain[k] = diffuserGain[k];
	for (int32 i = 0; i < kNumDelayLines; ++i)
		r.dampingState[i] = dampingState[i];
	r.shortGroupTapGain = shortGroupTapGain;
}

inline int32 SampleKernel::beginChunk ()
{
	const int32 w = writeIndex;
	const int32 n = bufferLength;
	// Writes run from w up to the buffer end at most.
	int32 count = n - w;
	// A read D samples behind w starts at w − D, or at w − D + n when that is
	// negative; then it may run only up to the buffer end.
	auto readStart = [&] (int32 delay) {
		int32 start = w - delay;
		if (start < 0)
		{
			start += n;
			count = std::min (count, n - start);
		}
		return start;
	};

	preDelayWrite = preDelayLine + w;
	preDelayRead = preDelayLine + readStart (preDelaySamples);
	for (int32 k = 0; k < kNumDiffusers; ++k)
	{
		const int32 start = readStart (diffuserLengthSamples[k]);
		diffuserInputRead[k] = diffuserInput[k] + start;
		diffuserOutputRead[k] = diffuserOutput[k] + start;
		diffuserInputWrite[k] = diffuserInput[k] + w;
		diffuserOutputWrite[k] = diffuserOutput[k] + w;
	}
	for (int32 i = 0; i < kNumDelayLines; ++i)
	{
		lineRead[i] = lines[i] + readStart (lineLengths[i]);
		lineWrite[i] = lines[i] + w;
	}
	return count;
}

inline void SampleKernel::endChunk (int32 count)
{
	writeIndex += count;
	if (writeIndex == bufferLength)
		writeIndex = 0;
}

CALVIR_ALWAYS_INLINE void SampleKernel::advanceSmoothers ()
{
	levelState = smoothingPole * levelState + smoothingGain * levelTarget;
	mixState = smoothingPole * mixState + smoothingGain * mixTarget;
	diffusionState = smoothingPole * diffusionState + smoothingGain * diffusionTarget;
}

CALVIR_ALWAYS_INLINE void SampleKernel::refreshSmoothedCoefficients ()
{
	if (!sameBits (mixState, appliedMix))
	{
		dryGain = EngineMath::dryGain (mixState);
		appliedMix = mixState;
	}
	if (!sameBits (diffusionState, appliedDiffusion))
	{
		EngineMath::diffuserGains (diffuserLengthMs, diffusionState, diffuserGain);
		shortGroupTapGain = EngineMath::shortGroupTapGain (diffusionState);
		appliedDiffusion = diffusionState;
	}
}

CALVIR_ALWAYS_INLINE void SampleKernel::stepFlush ()
{
	switch (flushPhase)
	{
		case FlushPhase::kFlushIdle:
			break;
		case FlushPhase::kFlushFadeOut:
			fadeGain -= fadeOutStep;
			if (fadeGain > 0.0)
				break;
			flushPhase = FlushPhase::kFlushSilence;
			[[fallthrough]];
		case FlushPhase::kFlushSilence:
			fadeGain = 0.0;
			--silenceCountdown; // never reaches 0 here: see endsSilenceNext
			break;
		case FlushPhase::kFlushFadeIn:
			fadeGain += fadeInStep;
			if (fadeGain > 1.0)
			{
				fadeGain = 1.0;
				flushPhase = FlushPhase::kFlushIdle;
			}
			break;
	}
}

// Smoothers, coefficient refresh, flush step, input low-pass, pre-delay
// (written before it is read) and the diffusers of the t-th sample.
CALVIR_ALWAYS_INLINE void SampleKernel::inputStage (int32 t, double xL, double xR, Frame& f)
{
	advanceSmoothers ();
	refreshSmoothedCoefficients ();
	stepFlush ();

	const double y = EngineMath::lowPassStep (inputLowPass, (xL + xR) * fadeGain);
	preDelayWrite[t] = y;
	const double p = preDelayRead[t];
	const EngineMath::DiffuserTaps taps {diffuserInputRead[0] + t,  diffuserOutputRead[0] + t,
	                                     diffuserInputRead[1] + t,  diffuserOutputRead[1] + t,
	                                     diffuserInputWrite[0] + t, diffuserOutputWrite[0] + t,
	                                     diffuserInputWrite[1] + t, diffuserOutputWrite[1] + t};
	f.networkInput = EngineMath::diffuserPair (taps, diffuserGain, p);
	f.xL = xL;
	f.xR = xR;
	f.fadeGain = fadeGain;
	f.diffusion = diffusionState;
	f.shortGroupTapGain = shortGroupTapGain;
	f.mix = mixState;
	f.dryGain = dryGain;
	f.level = levelState;
}

// The network for the t-th sample alone: all lines read, then all written.
CALVIR_ALWAYS_INLINE void SampleKernel::networkOne (int32 t, const Frame& f, double& wetL, double& wetR)
{
	double d[kNumDelayLines];
	for (int32 i = 0; i < kNumDelayLines; ++i)
		d[i] = lineRead[i][t];
	const EngineMath::NetworkFilters filters {dampingB0, dampingPole, dampingState, feedbackWeights};
	double lineInputs[kNumDelayLines];
	EngineMath::networkSample (d, filters, f.diffusion, f.shortGroupTapGain, f.fadeGain, f.networkInput, wetL, wetR,
	                           lineInputs);
	for (int32 k = 0; k < kNumDelayLines; ++k)
		lineWrite[k][t] = lineInputs[k];
}

// The network for kNumSampleLanes samples from t on side by side: each
// line's outputs for them are neighbours in its buffer, and so are its inputs.
CALVIR_ALWAYS_INLINE void SampleKernel::networkLanes (int32 t, const Frame f[EngineMath::kNumSampleLanes],
                                                      double wetL[EngineMath::kNumSampleLanes],
                                                      double wetR[EngineMath::kNumSampleLanes])
{
	using EngineMath::SampleLanes;
	constexpr int32 lanes = EngineMath::kNumSampleLanes;
	SampleLanes d[kNumDelayLines];
	for (int32 i = 0; i < kNumDelayLines; ++i)
		std::memcpy (&d[i], lineRead[i] + t, sizeof (SampleLanes));
	SampleLanes v, shortGain, fade, input;
	for (int32 lane = 0; lane < lanes; ++lane)
	{
		v[lane] = f[lane].diffusion;
		shortGain[lane] = f[lane].shortGroupTapGain;
		fade[lane] = f[lane].fadeGain;
		input[lane] = f[lane].networkInput;
	}
	const EngineMath::NetworkFilters filters {dampingB0, dampingPole, dampingState, feedbackWeights};
	SampleLanes left, right;
	SampleLanes lineInputs[kNumDelayLines];
	EngineMath::networkLanes (d, filters, v, shortGain, fade, input, left, right, lineInputs);
	for (int32 k = 0; k < kNumDelayLines; ++k)
		std::memcpy (lineWrite[k] + t, &lineInputs[k], sizeof (SampleLanes));
	for (int32 lane = 0; lane < lanes; ++lane)
	{
		wetL[lane] = left[lane];
		wetR[lane] = right[lane];
	}
}

// Low cut, mix and level of one sample.
CALVIR_ALWAYS_INLINE void SampleKernel::outputStage (const Frame& f, double wetL, double wetR, double& outL,
                                                     double& outR)
{
	double left = 0.0;
	double right = 0.0;
	EngineMath::midSideLowCut (wetL, wetR, midLowCut, sideLowCut, left, right);
	const double yL = f.mix * left + f.dryGain * f.xL;
	const double yR = f.mix * right + f.dryGain * f.xR;
	outL = yL * f.level;
	outR = yR * f.level;
}

// kNumSampleLanes samples at a time where possible. Nothing the input stage
// of a sample touches is written by the network, so the input stages of the
// later samples may run before the network of the earlier ones; each stage
// itself runs in sample order.
template <typename SampleType>
CALVIR_ALWAYS_INLINE int32 SampleKernel::render (SampleType* const* inputs, SampleType* const* outputs, int32 first,
                                                 int32 count, bool& silenceEnds)
{
	constexpr int32 lanes = EngineMath::kNumSampleLanes;
	int32 t = 0;
	while (t < count)
	{
		// Input stages of up to `lanes` samples.
		Frame f[lanes];
		int32 n = 0;
		while (n < lanes && t + n < count)
		{
			if (endsSilenceNext ())
			{
				silenceEnds = true;
				break;
			}
			const int32 i = first + t + n;
			inputStage (t + n, EngineMath::engineInput (inputs[0][i]), EngineMath::engineInput (inputs[1][i]), f[n]);
			++n;
		}
		if (n == 0)
			break;

		// Their networks, side by side when there are enough of them.
		double wetL[lanes];
		double wetR[lanes];
		if (n == lanes)
			networkLanes (t, f, wetL, wetR);
		else
			for (int32 k = 0; k < n; ++k)
				networkOne (t + k, f[k], wetL[k], wetR[k]);

		// Their output stages.
		for (int32 k = 0; k < n; ++k)
		{
			double outL = 0.0;
			double outR = 0.0;
			outputStage (f[k], wetL[k], wetR[k], outL, outR);
			outputs[0][first + t + k] = static_cast<SampleType> (outL);
			outputs[1][first + t + k] = static_cast<SampleType> (outR);
		}
		t += n;
		if (silenceEnds)
			break;
	}
	return t;
}

} // namespace Vst
} // namespace Steinberg
