// Block loop and the flush cycle: one block of stereo audio, sample by
// sample, for 32-bit and 64-bit host samples. All arithmetic is 64-bit; the
// two sample sizes differ only in the load at the start and the store at the
// end of each sample.
#include "engine/denormalguard.h"
#include "engine/enginemath.h"
#include "engine/engineconstants.h"
#include "engine/kernelvariant.h"
#include "engine/samplekernel.h"
#include "processor/plugprocessor.h"

#include <algorithm>
#include <cmath>

namespace Steinberg {
namespace Vst {

namespace {

constexpr int32 kNumChannels = 2; // the loops read and write channels 0 and 1

template <typename SampleType>
bool hasChannels (SampleType** buffers)
{
	return buffers != nullptr && buffers[0] != nullptr && buffers[1] != nullptr;
}

// Silence on every output channel that exists.
template <typename SampleType>
void writeSilence (SampleType** outputs, int32 numSamples)
{
	if (outputs == nullptr)
		return;
	for (int32 channel = 0; channel < kNumChannels; ++channel)
	{
		if (outputs[channel] == nullptr)
			continue;
		for (int32 i = 0; i < numSamples; ++i)
			outputs[channel][i] = 0;
	}
}

} // namespace

void PlugProcessor::processBlock32 (Sample32** inputs, Sample32** outputs, int32 numSamples)
{
	renderBlock<Sample32, false> (inputs, outputs, numSamples);
}

void PlugProcessor::processBlock64 (Sample64** inputs, Sample64** outputs, int32 numSamples)
{
	renderBlock<Sample64, false> (inputs, outputs, numSamples);
}

void PlugProcessor::processBlockLiteral32 (Sample32** inputs, Sample32** outputs, int32 numSamples)
{
	renderBlock<Sample32, true> (inputs, outputs, numSamples);
}

void PlugProcessor::processBlockLiteral64 (Sample64** inputs, Sample64** outputs, int32 numSamples)
{
	renderBlock<Sample64, true> (inputs, outputs, numSamples);
}

template <typename SampleType, bool literal>
void PlugProcessor::renderBlock (SampleType** inputs, SampleType** outputs, int32 numSamples)
{
	if (numSamples <= 0)
		return;
	// Without delay memory (refused rate, failed allocation) or without both
	// channels the block is silence and the engine stands still.
	if (!buffersHeld () || !hasChannels (inputs) || !hasChannels (outputs))
	{
		writeSilence (outputs, numSamples);
		return;
	}

	DenormalGuard noSubnormals;
	ReverbState& r = reverb;
	int32 i = 0;
	while (i < numSamples)
	{
		// The default loop runs the samples in between through the kernel,
		// which keeps the state in locals and recomputes only what changes.
		if (!literal && !r.coefficientsStale && !SampleKernel::endsSilenceNext (r))
		{
			i = renderWithKernel (r.kernelVariant, r, inputs, outputs, i, numSamples);
			continue;
		}

		// One sample step by step: every sample of the literal loop; in the
		// default loop the first sample after a parameter update (a full
		// reconfiguration) and the one that ends a flush silence.
		const double xL = EngineMath::engineInput (inputs[0][i]);
		const double xR = EngineMath::engineInput (inputs[1][i]);

		advanceSmoothers ();
		if (literal)
			reconfigureNetwork (false);
		else
			refreshCoefficients ();
		stepFlush ();

		double yL = 0.0;
		double yR = 0.0;
		processSample (xL, xR, yL, yR);
		const double outL = yL * r.smoothedLevel;
		const double outR = yR * r.smoothedLevel;

		if (++r.writeIndex == r.bufferLength)
			r.writeIndex = 0;

		outputs[0][i] = EngineMath::engineOutput<SampleType> (outL);
		outputs[1][i] = EngineMath::engineOutput<SampleType> (outR);
		++i;
	}
	if (literal)
		r.coefficientsStale = true; // the default loop's record of what it derived is out of date
}

void PlugProcessor::refreshCoefficients ()
{
	ReverbState& r = reverb;
	// After a parameter update: everything, exactly as the literal loop does.
	if (r.coefficientsStale)
	{
		reconfigureNetwork (false);
		r.coefficientsStale = false;
		r.appliedMix = r.smoothedMix;
		r.appliedDiffusion = r.smoothedDiffusion;
		return;
	}
	// Otherwise only what the smoothed mix and diffusion give can differ from
	// the previous sample: every other input of the reconfiguration is the same.
	EngineMath::refreshSmoothedQuantities (
	    r.smoothedMix, r.smoothedDiffusion, r.diffuserLengthMs,
	    {r.appliedMix, r.dryGain, r.appliedDiffusion, r.diffuserGain, r.shortGroupTapGain});
}

void PlugProcessor::stepFlush ()
{
	ReverbState& r = reverb;
	switch (r.flushPhase)
	{
		case FlushPhase::kFlushIdle:
			break;

		case FlushPhase::kFlushFadeOut:
			r.fadeGain -= r.fadeOutStep;
			if (r.fadeGain > 0.0)
				break;
			// The sample in which the gain reaches 0 is the first of the silence.
			r.flushPhase = FlushPhase::kFlushSilence;
			[[fallthrough]];

		case FlushPhase::kFlushSilence:
			r.fadeGain = 0.0;
			if (--r.silenceCountdown <= 0)
			{
				// The last silent sample: the new lengths take effect.
				r.silenceCountdown = r.silenceLength;
				r.flushPhase = FlushPhase::kFlushFadeIn;
				reconfigureNetwork (false);
			}
			break;

		case FlushPhase::kFlushFadeIn:
			r.fadeGain += r.fadeInStep;
			if (r.fadeGain > 1.0)
			{
				r.fadeGain = 1.0;
				r.flushPhase = FlushPhase::kFlushIdle;
			}
			break;
	}
}

} // namespace Vst
} // namespace Steinberg
