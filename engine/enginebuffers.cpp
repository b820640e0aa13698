// Engine state and preparation: the sample-rate constants, the delay memory
// (21 buffers of bufferLength doubles sharing one write index) and the
// activation that sizes, clears and brings everything up to date.
#include "engine/denormalguard.h"
#include "engine/engineconstants.h"
#include "engine/parametermapping.h"
#include "processor/plugprocessor.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <new>

namespace Steinberg {
namespace Vst {

namespace {

bool isSupportedSampleRate (double rate)
{
	return rate >= kMinSampleRateHz && rate <= kMaxSampleRateHz; // false for NaN
}

// trunc(ms × samplesPerMs + 0.5): every engine length in samples.
int32 msToSamples (double ms, double samplesPerMs)
{
	return static_cast<int32> (ms * samplesPerMs + kRoundingOffset);
}

// Bilinear first-order high-pass at corner Hz: gain 0 at DC, 1 at Nyquist.
void setLowCut (FirstOrderSection& section, double cornerHz, double sampleRate)
{
	const double w = cornerHz * kTwoPi * (1.0 / sampleRate);
	section.pole = (1.0 - std::sin (w)) / std::cos (w);
	section.gain = 0.5 + 0.5 * section.pole;
}

} // namespace

void PlugProcessor::initializeEngine ()
{
	freeBuffers ();
	reverb.smoothingTimeMs = kSmoothingTimeMs;
	reverb.midLowCutHz = kMidLowCutHz;
	reverb.sideLowCutHz = kSideLowCutHz;
	reverb.writeIndex = 0;
	reverb.bufferLength = 0;
}

void PlugProcessor::prepareEngine ()
{
	DenormalGuard noSubnormals;
	ReverbState& r = reverb;
	if (!isSupportedSampleRate (sampleRate))
	{
		// No delay memory for this rate: the block loops render silence.
		freeBuffers ();
		r.bufferLength = 0;
		r.writeIndex = 0;
		return;
	}

	r.samplesPerMs = sampleRate * kSecondsPerMs;
	r.kernelVariant = fastestKernelVariant ();

	const auto n = static_cast<int32> (sampleRate * kBufferSpanSeconds);
	r.bufferLength = n + static_cast<int32> (n * kBufferMargin);

	freeBuffers ();
	allocateBuffers (r.bufferLength);
	clearBuffers (r.bufferLength);

	for (int32 k = 0; k < kNumDiffusers; ++k)
	{
		r.diffuserLengthMs[k] = kDiffuserLengthsMs[k];
		r.diffuserLengthSamples[k] = msToSamples (r.diffuserLengthMs[k], r.samplesPerMs);
	}

	// The lengths are applied at once below, into empty buffers: the values
	// about to be mapped count as seen, so activation raises no flush and the
	// reverb sounds from the first sample. A later change still flushes.
	r.lastPreDelayMs = mapPreDelayMs (paramState.predelay);
	r.lastRoomSize = mapRoomSize (paramState.size);

	r.flushPhase = FlushPhase::kFlushIdle;
	r.fadeGain = 1.0;
	r.fadeInStep = (1.0 / r.samplesPerMs) * (1.0 / kFadeInMs);
	r.fadeOutStep = (1.0 / r.samplesPerMs) * (1.0 / kFadeOutMs);
	r.silenceLength = msToSamples (kFlushSilenceMs, r.samplesPerMs);
	r.silenceCountdown = r.silenceLength;

	const double l = std::exp (kSmoothingDecay / (kSecondsPerMs * sampleRate * r.smoothingTimeMs));
	r.smoothingGain = 1.0 - l;
	r.smoothingPole = l;

	setLowCut (r.midLowCut, r.midLowCutHz, sampleRate);
	setLowCut (r.sideLowCut, r.sideLowCutHz, sampleRate);

	updateCoefficients (true);
}

void PlugProcessor::allocateBuffers (int32 length)
{
	if (length <= 0)
		return;
	ReverbState& r = reverb;
	// One allocation holds the 21 buffers one after the other. Each starts
	// whole pages plus a stagger after the previous one, so no two buffers
	// share their offset within a page: the same index in different buffers
	// never aliases in the processor's page-offset store-to-load check,
	// whatever the sample rate makes of bufferLength.
	const size_t pages = (static_cast<size_t> (length) + kPageDoubles - 1) / kPageDoubles;
	const size_t stride = pages * kPageDoubles + kBufferStaggerDoubles;
	r.delayMemory = new (std::nothrow) double[stride * kNumDelayBuffers];
	if (r.delayMemory == nullptr)
		return; // no buffer held: the block loops render silence
	double* next = r.delayMemory;
	auto take = [&] () {
		double* buffer = next;
		next += stride;
		return buffer;
	};
	r.preDelayLine = take ();
	for (int32 k = 0; k < kNumDiffusers; ++k)
	{
		r.diffuserInputLines[k] = take ();
		r.diffuserOutputLines[k] = take ();
	}
	for (int32 i = 0; i < kNumDelayLines; ++i)
		r.delayLines[i] = take ();
}

void PlugProcessor::clearBuffers (int32 length)
{
	ReverbState& r = reverb;
	auto clear = [length] (double* buffer) {
		if (buffer != nullptr && length > 0)
			std::fill_n (buffer, length, 0.0);
	};
	clear (r.preDelayLine);
	for (int32 k = 0; k < kNumDiffusers; ++k)
	{
		clear (r.diffuserInputLines[k]);
		clear (r.diffuserOutputLines[k]);
	}
	for (double* line : r.delayLines)
		clear (line);

	r.writeIndex = 0;
	// Every filter history starts from zero, so each activation renders the
	// same input alike whatever ran before it.
	for (FirstOrderSection* section : {&r.inputLowPass, &r.midLowCut, &r.sideLowCut})
	{
		section->prevInput = 0.0;
		section->prevOutput = 0.0;
	}
	std::fill (std::begin (r.dampingState), std::end (r.dampingState), 0.0);
}

void PlugProcessor::freeBuffers ()
{
	ReverbState& r = reverb;
	delete[] r.delayMemory;
	r.delayMemory = nullptr;
	r.preDelayLine = nullptr;
	std::fill (std::begin (r.diffuserInputLines), std::end (r.diffuserInputLines), nullptr);
	std::fill (std::begin (r.diffuserOutputLines), std::end (r.diffuserOutputLines), nullptr);
	std::fill (std::begin (r.delayLines), std::end (r.delayLines), nullptr);
}

bool PlugProcessor::buffersHeld () const
{
	return reverb.delayMemory != nullptr;
}

} // namespace Vst
} // namespace Steinberg
