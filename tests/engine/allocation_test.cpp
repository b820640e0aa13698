// When the delay memory cannot be obtained, the engine holds no buffer at
// all and every block is silence that changes nothing; a later activation
// with memory available works as usual. The array allocations of this test
// program go through the replacement below, which can be told to fail.
#include "engineprobe.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> failArrayAllocations {false};
}

void* operator new[] (std::size_t size)
{
	if (void* p = std::malloc (size == 0 ? 1 : size))
		return p;
	throw std::bad_alloc ();
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
	if (failArrayAllocations)
		return nullptr;
	return std::malloc (size == 0 ? 1 : size);
}
void operator delete[] (void* p) noexcept
{
	std::free (p);
}
void operator delete[] (void* p, std::size_t) noexcept
{
	std::free (p);
}
void operator delete[] (void* p, const std::nothrow_t&) noexcept
{
	std::free (p);
}

using namespace CalvirTest;

namespace {

TEST (Allocation, FailureLeavesNoBufferAndRendersSilence)
{
	failArrayAllocations = true;
	EngineProbe e (44100.0);
	failArrayAllocations = false;
	EXPECT_FALSE (e.buffersHeld ());
	EXPECT_EQ (e.reverb.preDelayLine, nullptr);
	for (const double* line : e.reverb.delayLines)
		EXPECT_EQ (line, nullptr);

	const ReverbState before = e.reverb;
	StereoBuffer<double> b (256);
	b.left.assign (256, 0.5);
	b.right.assign (256, -0.5);
	e.processBlock64 (b.ptrs (), b.ptrs (), 256);
	StereoBuffer<float> f (256);
	f.left.assign (256, 0.5f);
	e.processBlock32 (f.ptrs (), f.ptrs (), 256);
	for (size_t i = 0; i < 256; ++i)
	{
		EXPECT_EQ (b.left[i], 0.0);
		EXPECT_EQ (b.right[i], 0.0);
		EXPECT_EQ (f.left[i], 0.0f);
	}
	EXPECT_EQ (e.reverb.writeIndex, before.writeIndex);
	EXPECT_EQ (e.reverb.smoothedMix, before.smoothedMix);
	EXPECT_EQ (e.reverb.flushPhase, before.flushPhase);
	EXPECT_EQ (e.reverb.fadeGain, before.fadeGain);

	// Memory again: the next activation works.
	e.setActive (true);
	EXPECT_TRUE (e.buffersHeld ());
	b.left.assign (256, 0.5);
	e.processBlock64 (b.ptrs (), b.ptrs (), 256);
	EXPECT_NE (b.left[10], 0.0);
}

} // namespace
