// The variants of the default block loop's sample kernel: the same
// arithmetic, compiled for different instruction sets, taking a different
// number of samples side by side through the delay network. Every variant
// gives the same results bit for bit (no fused multiply-add anywhere).
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {

struct ReverbState;

enum class KernelVariant : int32
{
	kPairs,       // two samples side by side; any x86-64 (SSE2)
	kQuadsAvx2,   // four samples side by side; AVX2
	kQuadsAvx512, // four samples side by side with 32 vector registers; AVX-512F and VL
};

// Whether this processor can run the variant.
bool kernelVariantSupported (KernelVariant variant);
// The fastest variant this processor can run.
KernelVariant fastestKernelVariant ();

// Renders the host samples from first on through the variant's kernel until
// the block ends or a sample needs the engine's members; returns the index of
// the first sample not rendered (see renderWithSampleKernel).
int32 renderWithKernel (KernelVariant variant, ReverbState& r, Sample32* const* inputs, Sample32* const* outputs,
                        int32 first, int32 numSamples);
int32 renderWithKernel (KernelVariant variant, ReverbState& r, Sample64* const* inputs, Sample64* const* outputs,
                        int32 first, int32 numSamples);

} // namespace Vst
} // namespace Steinberg
