// The default block loop's sample kernel: the engine state that the samples
// between two parameter updates touch, held in local copies.
//
// For every sample the kernel does what the literal loop does -
// advanceSmoothers, the coefficient refresh, stepFlush, processSample with
// processDelayNetwork, the output level and the write-index step - with the
// same operations in the same order for every value, so every result is the
// same bit for bit. What it saves:
//   - the full reconfiguration, which the literal loop repeats every sample
//     with unchanged inputs: only the quantities derived from the smoothed
//     mix (dry gain) and diffusion (diffuser gains, short-group tap gain) are
//     re-derived, and only when those smoothed values change;
//   - the index arithmetic: the samples come in chunks within which no read
//     or write position crosses a buffer end, so every buffer is accessed
//     through a pointer fixed for the chunk plus the sample's place in it;
//   - one pass of the network per sample: consecutive samples go through it
//     side by side in the lanes of a vector. No line is shorter than that
//     many samples, so none of them reads what another one writes; the
//     damping filters step through them in order. Their input stages run
//     first, in order, and their output stages last: the stages touch
//     different state, so the order among them does not change any value.
// The end of a flush silence, where the lengths change, is left to the
// engine's members (see endsSilenceNext). Held in locals rather than behind
// pointers that might alias the delay buffers, the state stays in registers.
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
	CALVIR_ALWAYS_INLINE explicit SampleKernel (const ReverbState& r) { load (r); }

	// Whether the next sample's flush step ends a silence, which reconfigures
	// the network with new lengths: the kernel does not handle that sample.
	static bool endsSilenceNext (const ReverbState& r)
	{
		return endsSilence (r.flushPhase, r.silenceCountdown, r.fadeGain, r.fadeOutStep);
	}
	bool endsSilenceNext () const { return endsSilence (flushPhase, silenceCountdown, fadeGain, fadeOutStep); }

	// Fixes the buffer pointers for the samples from the current write
	// position on; returns for how many samples they hold (at least 1).
	CALVIR_ALWAYS_INLINE int32 beginChunk ();
	// Renders up to count samples of the chunk, host samples first to first +
	// count − 1; stops before a sample that ends a flush silence and then
	// sets silenceEnds. Returns the number of samples rendered. Each
	// sample's inputs are read before its output is written.
	template <typename V, typename SampleType>
	CALVIR_ALWAYS_INLINE int32 render (SampleType* const* inputs, SampleType* const* outputs, int32 first, int32 count,
	                                   bool& silenceEnds);
	// Ends the chunk after its first count samples.
	CALVIR_ALWAYS_INLINE void endChunk (int32 count);

	CALVIR_ALWAYS_INLINE void store (ReverbState& r) const;

private:
	static bool endsSilence (FlushPhase phase, int32 countdown, double gain, double outStep)
	{
		if (countdown > 1)
			return false;
		return phase == FlushPhase::kFlushSilence || (phase == FlushPhase::kFlushFadeOut && !(gain - outStep > 0.0));
	}

	// What the input stage of one sample hands to the network and the output stage.
	struct Frame
	{
		double xL, xR;        // the inputs as the engine takes them
		double networkInput;  // the second diffuser's output
		double fadeGain, diffusion, shortGroupTapGain;
		double mix, dryGain, level;
	};

	CALVIR_ALWAYS_INLINE void load (const ReverbState& r);
	CALVIR_ALWAYS_INLINE void inputStage (int32 t, double xL, double xR, Frame& f);
	CALVIR_ALWAYS_INLINE void outputStage (const Frame& f, double wetL, double wetR, double& outL, double& outR);
	CALVIR_ALWAYS_INLINE void networkOne (int32 t, const Frame& f, double& wetL, double& wetR);
	template <typename V>
	CALVIR_ALWAYS_INLINE void networkLanes (int32 t, const Frame f[], double wetL[], double wetR[]);
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
	int32 shortestLine; // samples side by side must not read what an earlier one writes
	alignas (64) double dampingB0[kNumDelayLines];
	alignas (64) double dampingPole[kNumDelayLines];
	alignas (64) double dampingState[kNumDelayLines];
	alignas (64) double feedbackWeights[kNumDelayLines];
	double shortGroupTapGain;
};

//------------------------------------------------------------------------
CALVIR_ALWAYS_INLINE void SampleKernel::load (const ReverbState& r)
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
	shortestLine = r.lineLengths[0];
	for (int32 i = 0; i < kNumDelayLines; ++i)
	{
		lines[i] = r.delayLines[i];
		lineLengths[i] = r.lineLengths[i];
		shortestLine = std::min (shortestLine, lineLengths[i]);
		dampingB0[i] = r.dampingB0[i];
		dampingPole[i] = r.dampingPole[i];
		dampingState[i] = r.dampingState[i];
		feedbackWeights[i] = r.feedbackWeights[i];
	}
	shortGroupTapGain = r.shortGroupTapGain;
}

// Writes back what a run can change.
CALVIR_ALWAYS_INLINE void SampleKernel::store (ReverbState& r) const
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

CALVIR_ALWAYS_INLINE int32 SampleKernel::beginChunk ()
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

CALVIR_ALWAYS_INLINE void SampleKernel::endChunk (int32 count)
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
	EngineMath::refreshSmoothedQuantities (
	    mixState, diffusionState, diffuserLengthMs,
	    {appliedMix, dryGain, appliedDiffusion, diffuserGain, shortGroupTapGain});
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

// The network for as many samples from t on as V has lanes, side by side:
// each line's outputs for them are neighbours in its buffer, and so are its
// inputs.
template <typename V>
CALVIR_ALWAYS_INLINE void SampleKernel::networkLanes (int32 t, const Frame f[], double wetL[], double wetR[])
{
	constexpr int32 lanes = EngineMath::kLaneCount<V>;
	V d[kNumDelayLines];
	for (int32 i = 0; i < kNumDelayLines; ++i)
		std::memcpy (&d[i], lineRead[i] + t, sizeof (V));
	double v[lanes], shortGain[lanes], fade[lanes], input[lanes];
	for (int32 lane = 0; lane < lanes; ++lane)
	{
		v[lane] = f[lane].diffusion;
		shortGain[lane] = f[lane].shortGroupTapGain;
		fade[lane] = f[lane].fadeGain;
		input[lane] = f[lane].networkInput;
	}
	const EngineMath::NetworkFilters filters {dampingB0, dampingPole, dampingState, feedbackWeights};
	V left, right;
	V lineInputs[kNumDelayLines];
	EngineMath::networkLanes (d, filters, EngineMath::lanesOf<V> (v), EngineMath::lanesOf<V> (shortGain),
	                          EngineMath::lanesOf<V> (fade), EngineMath::lanesOf<V> (input), left, right, lineInputs);
	for (int32 k = 0; k < kNumDelayLines; ++k)
		std::memcpy (lineWrite[k] + t, &lineInputs[k], sizeof (V));
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

// As many samples at a time as V has lanes, where possible. Nothing the input stage
// of a sample touches is written by the network, so the input stages of the
// later samples may run before the network of the earlier ones; each stage
// itself runs in sample order.
template <typename V, typename SampleType>
CALVIR_ALWAYS_INLINE int32 SampleKernel::render (SampleType* const* inputs, SampleType* const* outputs, int32 first,
                                                 int32 count, bool& silenceEnds)
{
	constexpr int32 lanes = EngineMath::kLaneCount<V>;
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

		// Their networks, side by side when there are enough of them (and no
		// line is that short, which the lengths of the supported rates rule out).
		double wetL[lanes];
		double wetR[lanes];
		if (n == lanes && shortestLine >= lanes)
			networkLanes<V> (t, f, wetL, wetR);
		else
			for (int32 k = 0; k < n; ++k)
				networkOne (t + k, f[k], wetL[k], wetR[k]);

		// Their output stages.
		for (int32 k = 0; k < n; ++k)
		{
			double outL = 0.0;
			double outR = 0.0;
			outputStage (f[k], wetL[k], wetR[k], outL, outR);
			outputs[0][first + t + k] = EngineMath::engineOutput<SampleType> (outL);
			outputs[1][first + t + k] = EngineMath::engineOutput<SampleType> (outR);
		}
		t += n;
		if (silenceEnds)
			break;
	}
	return t;
}

//------------------------------------------------------------------------
// Renders the host samples from first on through a kernel, until the block
// ends or a sample needs the engine's members (the end of a flush silence).
// Returns the index of the first sample not rendered. V sets how many
// samples the network takes side by side. The kernel lives and dies here,
// so nothing outside can reach its locals.
template <typename V, typename SampleType>
CALVIR_ALWAYS_INLINE int32 renderWithSampleKernel (ReverbState& r, SampleType* const* inputs,
                                                   SampleType* const* outputs, int32 first, int32 numSamples)
{
	SampleKernel kernel (r);
	bool silenceEnds = false;
	int32 i = first;
	while (i < numSamples && !silenceEnds)
	{
		const int32 chunk = std::min (kernel.beginChunk (), numSamples - i);
		const int32 done = kernel.render<V> (inputs, outputs, i, chunk, silenceEnds);
		kernel.endChunk (done);
		i += done;
	}
	kernel.store (r);
	return i;
}

} // namespace Vst
} // namespace Steinberg
