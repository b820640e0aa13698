// Scoped flush-to-zero: while a guard lives, floating-point results that
// would be subnormal become zero, and subnormal operands count as zero. The
// engine's signals decay towards zero in long silences (filter states, the
// low cuts' response to the input offset, the smoothers gliding to 0); without
// this they would pass through the subnormal range, which is slow on many
// processors and leaves unclean values in the engine state. Normal results
// are not changed by it. The caller's mode is restored when the guard ends.
#pragma once

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#define CALVIR_HAVE_MXCSR 1
#endif

namespace Steinberg {
namespace Vst {

class DenormalGuard
{
public:
#if CALVIR_HAVE_MXCSR
	DenormalGuard () : saved (_mm_getcsr ()) { _mm_setcsr (saved | kFlushToZero | kDenormalsAreZero); }
	~DenormalGuard () { _mm_setcsr (saved); }
#else
	DenormalGuard () = default;
#endif
	DenormalGuard (const DenormalGuard&) = delete;
	DenormalGuard& operator= (const DenormalGuard&) = delete;

private:
#if CALVIR_HAVE_MXCSR
	static constexpr unsigned int kFlushToZero = 0x8000;     // MXCSR bit 15
	static constexpr unsigned int kDenormalsAreZero = 0x0040; // MXCSR bit 6
	unsigned int saved;
#endif
};

} // namespace Vst
} // namespace Steinberg
