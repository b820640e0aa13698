// Speed of the reverb engine: 512-sample stereo blocks at 48000 Hz, in 64-bit
// and 32-bit samples, for the literal block loop (the whole network
// reconfigured every sample) and the default one in each kernel variant this
// processor supports ("pairs" runs everywhere; the engine picks the widest
// one available).
//
//   steady   default settings, nothing changes
//   smoothed level, mix and diffusion change every block (the smoothers glide)
//   all      every parameter changes every block (pre-delay and size keep
//            the flush cycle busy)
//
// Counters: per_frame (time per stereo sample frame) and realtime (seconds of
// audio rendered per second of processing, on one core).
//
// The state hand-over between the main thread and the audio thread, per block:
//   handover/idle     the audio thread's look for a restore when none is pending
//   handover/publish  publishing the applied record after a block's changes
//   handover/restore  a restore submitted and picked up (both threads' share)
#include "engine/kernelvariant.h"
#include "processor/plugprocessor.h"
#include "processor/statehandover.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr double kRate = 48000.0;
constexpr int32 kBlock = 512;
constexpr int32 kPrimeBlocks = 200; // about 2.1 s: the reverb at its steady level

enum class Changes
{
	kSteady,
	kSmoothed,
	kAll
};

class BenchProcessor : public PlugProcessor
{
public:
	BenchProcessor (int32 sampleSize, KernelVariant variant)
	{
		initialize (nullptr);
		ProcessSetup setup {kRealtime, sampleSize, kBlock, kRate};
		setupProcessing (setup);
		setActive (true);
		reverb.kernelVariant = variant;
	}
	~BenchProcessor () override
	{
		setActive (false);
		terminate ();
	}

	// The parameter queues of one block: each changed value is stored and
	// followed by one coefficient update, as the processor does it.
	void applyChanges (Changes changes, int64_t block)
	{
		if (changes == Changes::kSteady)
			return;
		const double a = (block % 2) ? 0.3 : 0.7;
		const double b = (block % 3) ? 0.45 : 0.85;
		ParamValue* smoothed[] = {&paramState.level, &paramState.mix, &paramState.diffusion};
		ParamValue* others[] = {&paramState.predelay, &paramState.rvbTime, &paramState.size,
		                        &paramState.hfDamp, &paramState.lpCut};
		int32 i = 0;
		for (ParamValue* p : smoothed)
		{
			*p = (i++ % 2) ? a : b;
			updateCoefficients (false);
		}
		if (changes != Changes::kAll)
			return;
		for (ParamValue* p : others)
		{
			*p = (i++ % 2) ? a : b;
			updateCoefficients (false);
		}
	}

	template <typename SampleType>
	void render (SampleType** in, SampleType** out, bool literal)
	{
		if constexpr (sizeof (SampleType) == sizeof (Sample32))
			literal ? processBlockLiteral32 (in, out, kBlock) : processBlock32 (in, out, kBlock);
		else
			literal ? processBlockLiteral64 (in, out, kBlock) : processBlock64 (in, out, kBlock);
	}
};

template <typename SampleType>
void engineBlocks (benchmark::State& state, Changes changes, bool literal, KernelVariant variant)
{
	const int32 sampleSize = sizeof (SampleType) == sizeof (Sample32) ? kSample32 : kSample64;
	BenchProcessor processor (sampleSize, variant);
	std::vector<SampleType> left (kBlock), right (kBlock), outLeft (kBlock), outRight (kBlock);
	uint32_t seed = 1;
	for (int32 i = 0; i < kBlock; ++i)
	{
		seed = seed * 1664525u + 1013904223u;
		left[static_cast<size_t> (i)] = static_cast<SampleType> ((seed >> 8) * (1.0 / 16777216.0) - 0.5);
		right[static_cast<size_t> (i)] = static_cast<SampleType> (-0.5 * left[static_cast<size_t> (i)]);
	}
	SampleType* in[] = {left.data (), right.data ()};
	SampleType* out[] = {outLeft.data (), outRight.data ()};
	for (int32 b = 0; b < kPrimeBlocks; ++b)
		processor.render (in, out, false);

	int64_t block = 0;
	for (auto _ : state)
	{
		processor.applyChanges (changes, block++);
		processor.render (in, out, literal);
		benchmark::DoNotOptimize (outLeft.data ());
		benchmark::ClobberMemory ();
	}
	using Counter = benchmark::Counter;
	state.counters["per_frame"] = Counter (kBlock, Counter::kIsIterationInvariantRate | Counter::kInvert);
	state.counters["realtime"] = Counter (kBlock / kRate, Counter::kIsIterationInvariantRate);
}

void handOverIdle (benchmark::State& state)
{
	StateHandOver handOver;
	PlugState record;
	bool moved = false;
	for (auto _ : state)
		benchmark::DoNotOptimize (handOver.take (record, moved));
}

void handOverPublish (benchmark::State& state)
{
	StateHandOver handOver;
	PlugState record;
	for (auto _ : state)
	{
		record.level = (record.level == 0.5) ? 0.25 : 0.5;
		handOver.publish (record);
		benchmark::ClobberMemory ();
	}
}

void handOverRestore (benchmark::State& state)
{
	StateHandOver handOver;
	PlugState restored, applied;
	bool moved = false;
	for (auto _ : state)
	{
		restored.size = (restored.size == 0.5) ? 0.25 : 0.5;
		handOver.submit (restored);
		benchmark::DoNotOptimize (handOver.take (applied, moved));
	}
}

void registerAll ()
{
	benchmark::RegisterBenchmark ("handover/idle", handOverIdle);
	benchmark::RegisterBenchmark ("handover/publish", handOverPublish);
	benchmark::RegisterBenchmark ("handover/restore", handOverRestore);

	struct Case
	{
		const char* name;
		Changes changes;
	};
	struct Loop
	{
		const char* name;
		bool literal;
		KernelVariant variant;
	};
	const Case cases[] = {{"steady", Changes::kSteady}, {"smoothed", Changes::kSmoothed}, {"all", Changes::kAll}};
	const Loop loops[] = {{"literal", true, KernelVariant::kPairs},
	                      {"pairs", false, KernelVariant::kPairs},
	                      {"quads-avx2", false, KernelVariant::kQuadsAvx2},
	                      {"quads-avx512", false, KernelVariant::kQuadsAvx512}};
	for (const Case& c : cases)
	{
		for (const char* size : {"f64", "f32"})
		{
			for (const Loop& loop : loops)
			{
				if (!kernelVariantSupported (loop.variant))
					continue;
				const std::string name = std::string (size) + "/" + c.name + "/" + loop.name;
				const bool f32 = size[1] == '3';
				benchmark::RegisterBenchmark (name.c_str (), [c, loop, f32] (benchmark::State& s) {
					if (f32)
						engineBlocks<Sample32> (s, c.changes, loop.literal, loop.variant);
					else
						engineBlocks<Sample64> (s, c.changes, loop.literal, loop.variant);
				});
			}
		}
	}
}

} // namespace

int main (int argc, char** argv)
{
	registerAll ();
	benchmark::Initialize (&argc, argv);
	if (benchmark::ReportUnrecognizedArguments (argc, argv))
		return 1;
	benchmark::RunSpecifiedBenchmarks ();
	benchmark::Shutdown ();
	return 0;
}
