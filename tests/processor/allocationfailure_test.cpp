// Activation when the delay memory cannot be obtained. This executable
// replaces the array forms of operator new so that a test can make large
// allocations fail; every array allocation is passed on to the scalar forms
// (and every array release likewise), so allocations and releases stay paired
// for the sanitizers.
#include "processor/processorprobe.h"
#include "support/testaudioblock.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <new>

namespace {

// Array allocations of at least this size fail while the switch is on. The
// delay memory at 44100 Hz is 21 x 11036 doubles, far above it.
constexpr std::size_t kFailingAllocationBytes = 1 << 20;
bool failLargeArrays = false;

bool mustFail (std::size_t size)
{
	return failLargeArrays && size >= kFailingAllocationBytes;
}

} // namespace

void* operator new[] (std::size_t size)
{
	if (mustFail (size))
		throw std::bad_alloc ();
	return ::operator new (size);
}

void* operator new[] (std::size_t size, const std::nothrow_t& tag) noexcept
{
	if (mustFail (size))
		return nullptr;
	return ::operator new (size, tag);
}

void operator delete[] (void* p) noexcept
{
	::operator delete (p);
}

void operator delete[] (void* p, std::size_t) noexcept
{
	::operator delete (p);
}

void operator delete[] (void* p, const std::nothrow_t&) noexcept
{
	::operator delete (p);
}

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using CalvirProcessorTest::ProcessorProbe;
using CalvirTestSupport::TestAudioBlock;

class FailingAllocations
{
public:
	FailingAllocations () { failLargeArrays = true; }
	~FailingAllocations () { failLargeArrays = false; }
};

TEST (ActivationWithoutMemory, ReportsOutOfMemoryHoldsNothingAndRendersSilence)
{
	auto* processor = new ProcessorProbe;
	ASSERT_EQ (processor->initialize (nullptr), kResultOk);
	{
		FailingAllocations failing;
		EXPECT_EQ (processor->setActive (true), kOutOfMemory);
	}
	EXPECT_FALSE (processor->holdsBuffers ());

	for (int32 size : {kSample32, kSample64})
	{
		TestAudioBlock block (size, 256);
		for (int32 i = 0; i < 256; ++i)
		{
			block.setInput (0, i, 0.5);
			block.setInput (1, i, -0.5);
		}
		block.fillOutputs (7.25);
		EXPECT_EQ (processor->process (block.data ()), kResultOk);
		for (int32 c = 0; c < 2; ++c)
			for (int32 i = 0; i < 256; ++i)
				ASSERT_EQ (block.output (c, i), 0.0) << size << " " << c << " " << i;
	}

	// With memory available again the next activation succeeds.
	EXPECT_EQ (processor->setActive (true), kResultOk);
	EXPECT_TRUE (processor->holdsBuffers ());
	EXPECT_EQ (processor->setActive (false), kResultOk);
	processor->terminate ();
	processor->release ();
}

TEST (ActivationWithoutMemory, FailedReactivationReleasesTheOldBuffers)
{
	auto* processor = new ProcessorProbe;
	ASSERT_EQ (processor->initialize (nullptr), kResultOk);
	ASSERT_EQ (processor->setActive (true), kResultOk);
	{
		FailingAllocations failing;
		EXPECT_EQ (processor->setActive (true), kOutOfMemory);
	}
	EXPECT_FALSE (processor->holdsBuffers ());
	processor->terminate ();
	processor->release ();
}

} // namespace
