// The reverb engine's whole state: a plain record held inside PlugProcessor.
// Every field has a defined value from construction on, so a state restore or
// a parameter change before the first activation reads nothing undefined.
#pragma once

#include "engine/kernelvariant.h"
#include "pluginterfaces/base/ftypes.h"

namespace Steinberg {
namespace Vst {

static constexpr int32 kNumDelayLines = 16;
static constexpr int32 kNumDiffusers = 2;
// One pre-delay line, an input and an output history per diffuser, the network lines.
static constexpr int32 kNumDelayBuffers = 1 + 2 * kNumDiffusers + kNumDelayLines;

// One first-order filter section.
struct FirstOrderSection
{
	double gain {0.0};       // numerator gain
	double pole {0.0};       // feedback coefficient
	double prevInput {0.0};  // the section's input one sample earlier
	double prevOutput {0.0}; // the section's output one sample earlier
};

// Phases of the flush cycle that accompanies a change of pre-delay or room size.
enum class FlushPhase : int32
{
	kFlushIdle,
	kFlushFadeOut,
	kFlushSilence,
	kFlushFadeIn
};

struct ReverbState
{
	// Sample-rate constants
	double samplesPerMs {0.0};

	// Delay memory: 21 buffers of bufferLength doubles sharing one write index.
	// They live in one allocation (delayMemory), one after the other, each
	// starting at a different offset within a memory page.
	int32 bufferLength {0};
	int32 writeIndex {0};
	double* delayMemory {nullptr};
	double* preDelayLine {nullptr};
	double* diffuserInputLines[kNumDiffusers] {};
	double* diffuserOutputLines[kNumDiffusers] {};
	double* delayLines[kNumDelayLines] {};

	// Parameter targets (mapped from the normalised values)
	double levelTarget {0.0};     // output gain, linear
	double mixTarget {0.0};       // wet gain
	double diffusionTarget {0.0}; // 0, or 0.1 to 1
	double preDelayMs {0.0};
	double reverbTimeMs {0.0};
	double roomSize {0.0};        // cubic metres
	double hfDamping {0.0};       // 0 to 0.94
	double lowPassHz {0.0};

	// Smoothing
	double smoothedLevel {0.0};
	double smoothedMix {0.0};
	double smoothedDiffusion {0.0};
	double levelSmootherState {0.0};
	double mixSmootherState {0.0};
	double diffusionSmootherState {0.0};
	double smoothingTimeMs {0.0};
	double smoothingGain {0.0};
	double smoothingPole {0.0};
	double lastPreDelayMs {0.0};
	double lastRoomSize {0.0};

	// Flush cycle
	FlushPhase flushPhase {FlushPhase::kFlushIdle};
	double fadeGain {1.0};
	double fadeOutStep {0.0};
	double fadeInStep {0.0};
	int32 silenceLength {0};
	int32 silenceCountdown {0};

	// Input stage, diffusers, output stage
	FirstOrderSection inputLowPass;
	FirstOrderSection midLowCut;
	FirstOrderSection sideLowCut;
	double midLowCutHz {0.0};
	double sideLowCutHz {0.0};
	double diffuserLengthMs[kNumDiffusers] {};
	int32 diffuserLengthSamples[kNumDiffusers] {};
	double diffuserGain[kNumDiffusers] {};
	int32 preDelaySamples {0};
	double dryGain {0.0};

	// Feedback delay network
	int32 lineLengths[kNumDelayLines] {};
	double dampingB0[kNumDelayLines] {};
	double dampingPole[kNumDelayLines] {};
	double dampingState[kNumDelayLines] {};
	double feedbackWeights[kNumDelayLines] {};
	double shortGroupTapGain {0.0};

	// Coefficient refresh of the block loop. Between parameter updates only
	// the quantities derived from the smoothed mix and diffusion can change
	// from sample to sample; the loop recomputes the rest only when stale.
	bool coefficientsStale {true};
	KernelVariant kernelVariant {KernelVariant::kPairs}; // the fastest this processor supports, chosen at activation
	double appliedMix {0.0};       // smoothed mix that dryGain was derived from
	double appliedDiffusion {0.0}; // smoothed diffusion the diffuser and tap gains were derived from

	bool flushPending () const
	{
		return flushPhase == FlushPhase::kFlushFadeOut || flushPhase == FlushPhase::kFlushSilence;
	}
};

} // namespace Vst
} // namespace Steinberg
