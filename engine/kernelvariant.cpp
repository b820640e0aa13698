// The sample kernel's variants: one instantiation per instruction set, and
// the choice among them.

// The kernel's functions are always inlined, so its vectors never cross a
// call: GCC's note that 32-byte vectors pass differently with and without
// AVX does not apply to them.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

#include "engine/kernelvariant.h"

#include "engine/reverbstate.h"
#include "engine/samplekernel.h"

namespace Steinberg {
namespace Vst {

namespace {

// The wider variants exist where the compiler can target those instruction
// sets; the processor's support is checked at run time. Neither target
// enables fused multiply-add contraction: the build turns it off.
#if defined(__x86_64__) || defined(__i386__)
#define CALVIR_HAVE_WIDE_KERNELS 1
#define CALVIR_TARGET_AVX2 __attribute__ ((target ("avx2")))
#define CALVIR_TARGET_AVX512 __attribute__ ((target ("avx512f,avx512vl")))
#endif

template <typename SampleType>
int32 renderPairs (ReverbState& r, SampleType* const* inputs, SampleType* const* outputs, int32 first,
                   int32 numSamples)
{
	return renderWithSampleKernel<EngineMath::SamplePair> (r, inputs, outputs, first, numSamples);
}

#if CALVIR_HAVE_WIDE_KERNELS
template <typename SampleType>
CALVIR_TARGET_AVX2 int32 renderQuadsAvx2 (ReverbState& r, SampleType* const* inputs, SampleType* const* outputs,
                                          int32 first, int32 numSamples)
{
	return renderWithSampleKernel<EngineMath::SampleQuad> (r, inputs, outputs, first, numSamples);
}

template <typename SampleType>
CALVIR_TARGET_AVX512 int32 renderQuadsAvx512 (ReverbState& r, SampleType* const* inputs, SampleType* const* outputs,
                                              int32 first, int32 numSamples)
{
	return renderWithSampleKernel<EngineMath::SampleQuad> (r, inputs, outputs, first, numSamples);
}
#endif

template <typename SampleType>
int32 render (KernelVariant variant, ReverbState& r, SampleType* const* inputs, SampleType* const* outputs,
              int32 first, int32 numSamples)
{
#if CALVIR_HAVE_WIDE_KERNELS
	if (variant == KernelVariant::kQuadsAvx512)
		return renderQuadsAvx512 (r, inputs, outputs, first, numSamples);
	if (variant == KernelVariant::kQuadsAvx2)
		return renderQuadsAvx2 (r, inputs, outputs, first, numSamples);
#else
	(void)variant;
#endif
	return renderPairs (r, inputs, outputs, first, numSamples);
}

} // namespace

bool kernelVariantSupported (KernelVariant variant)
{
	switch (variant)
	{
		case KernelVariant::kPairs:
			return true;
#if CALVIR_HAVE_WIDE_KERNELS
		case KernelVariant::kQuadsAvx2:
			__builtin_cpu_init ();
			return __builtin_cpu_supports ("avx2");
		case KernelVariant::kQuadsAvx512:
			__builtin_cpu_init ();
			return __builtin_cpu_supports ("avx512f") && __builtin_cpu_supports ("avx512vl");
#else
		case KernelVariant::kQuadsAvx2:
		case KernelVariant::kQuadsAvx512:
			return false;
#endif
	}
	return false;
}

KernelVariant fastestKernelVariant ()
{
	for (KernelVariant variant : {KernelVariant::kQuadsAvx512, KernelVariant::kQuadsAvx2})
		if (kernelVariantSupported (variant))
			return variant;
	return KernelVariant::kPairs;
}

int32 renderWithKernel (KernelVariant variant, ReverbState& r, Sample32* const* inputs, Sample32* const* outputs,
                        int32 first, int32 numSamples)
{
	return render (variant, r, inputs, outputs, first, numSamples);
}

int32 renderWithKernel (KernelVariant variant, ReverbState& r, Sample64* const* inputs, Sample64* const* outputs,
                        int32 first, int32 numSamples)
{
	return render (variant, r, inputs, outputs, first, numSamples);
}

} // namespace Vst
} // namespace Steinberg
