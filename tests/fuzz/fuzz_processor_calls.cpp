// Fuzz target: arbitrary sequences of host calls on the processor, kept in
// the legal VST 3 order (set-up and bus arrangements only while inactive,
// processing only while active, state transfer at any time).
//
// The input is a program: each step picks a call and its arguments.
// Parameter queues carry any identifiers, point counts and values (NaN,
// infinities, huge and negative numbers included); blocks have 0 to 8192
// samples in the sample size the last accepted set-up chose; sample rates
// range from refused ones to 768000 Hz; input buses may lack channels or
// buffers. Properties:
// - set-up answers as its rules say and a refused rate leaves the rate as it was;
// - a processed block writes only finite, non-subnormal samples; a bypassed
//   block copies its input bit for bit; a block the processor cannot work on
//   leaves its outputs untouched;
// - the engine's state holds no NaN, infinity or subnormal number between calls;
// - no crash, no leak, no sanitizer report.
#include "fuzz/fuzzcheck.h"
#include "reliability/probeprocessor.h"

#include "public.sdk/source/common/memorystream.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace CalvirTest;

namespace {

constexpr int kMaxSteps = 48;
constexpr int32 kMaxBlock = 8192;
// Samples processed per input and activations per input: enough to cross
// flush cycles, few enough to keep each run short.
constexpr int64 kSampleBudget = 2 * kMaxBlock;
// The delay memory is scanned sample by sample only up to this size (doubles);
// larger memories are checked through the output of the blocks.
constexpr int64 kMaxScannedDelayMemory = 1 << 18;
constexpr int kMaxActivations = 3;
constexpr double kMinRate = 4000.0;
constexpr double kMaxRate = 768000.0;
constexpr double kUntouched = 12345.0; // output fill that a skipped block must leave
constexpr int kMaxQueues = 12;
constexpr int kMaxPoints = 4;

const double kNaN = std::numeric_limits<double>::quiet_NaN ();
const double kInf = std::numeric_limits<double>::infinity ();

const double kSpecialRates[] = {0.0,     -1.0,    3999.999, kNaN,     kInf,     -kInf,
                                1e-300,  4000.0,  8000.0,   11025.0,  22050.0,  32000.0,
                                44100.0, 48000.0, 88200.0,  96000.0,  192000.0, 384000.0,
                                768000.0};

// Refused, common and odd rates; the odd ones spread evenly on a log scale,
// so the cheap low rates come up as often as the costly high ones.
double pickRate (FuzzedDataProvider& in)
{
	if (in.ConsumeBool ())
		return in.PickValueInArray (kSpecialRates);
	const double rate = kMinRate * std::pow (kMaxRate / kMinRate, in.ConsumeProbability<double> ());
	return rate < kMaxRate ? rate : kMaxRate;
}

double pickParamValue (FuzzedDataProvider& in)
{
	static const double specials[] = {kNaN,  -kNaN, kInf,  -kInf, 1e300, -1e300, -0.5,
	                                  1.5,   0.0,   -0.0,  1.0,   0.5,   0.75,   std::numeric_limits<double>::denorm_min (),
	                                  1e-300, 0.9999999999999999};
	switch (in.ConsumeIntegralInRange (0, 3))
	{
		case 0: return in.PickValueInArray (specials);
		case 1: return in.ConsumeFloatingPoint<double> ();
		default: return in.ConsumeProbability<double> ();
	}
}

ParamID pickParamId (FuzzedDataProvider& in)
{
	static const ParamID specials[] = {9, 42, 0x7FFFFFFF, 0xFFFFFFFF};
	if (in.ConsumeIntegralInRange (0, 7) == 0)
		return in.PickValueInArray (specials);
	return in.ConsumeIntegralInRange<ParamID> (0, 8);
}

// Fills the block's inputs in its sample size: silence, noise, loud noise,
// impulses, and noise with NaN, infinities and subnormal numbers sprinkled in.
void fillInput (FuzzedDataProvider& in, TestAudioBlock& block, int32 n, uint32_t& seed)
{
	const int kind = in.ConsumeIntegralInRange (0, 4);
	const double amplitude = kind == 2 ? 1000.0 : in.ConsumeProbability<double> ();
	const int32 spacing = in.ConsumeIntegralInRange<int32> (1, 4096);
	static const double poisons[] = {kNaN, kInf, -kInf, std::numeric_limits<double>::denorm_min (),
	                                 std::numeric_limits<float>::denorm_min (), -0.0, 1e-300};
	for (int32 i = 0; i < n; ++i)
		for (int c = 0; c < 2; ++c)
		{
			seed = seed * 1664525u + 1013904223u;
			const double noise = static_cast<int32_t> (seed) * (1.0 / 2147483648.0);
			double v = 0.0;
			switch (kind)
			{
				case 0: v = 0.0; break;
				case 1:
				case 2: v = amplitude * noise; break;
				case 3: v = (i % spacing == 0) ? amplitude : 0.0; break;
				default:
					v = (i % spacing == 0) ? poisons[(seed >> 8) % (sizeof poisons / sizeof poisons[0])]
					                       : amplitude * noise;
					break;
			}
			block.setInput (c, i, v);
		}
}

class CallSequence
{
public:
	explicit CallSequence (FuzzedDataProvider& in) : in (in), block (kSample32, kMaxBlock) {}

	void run ()
	{
		for (int step = 0; step < kMaxSteps && in.remaining_bytes () > 0; ++step)
		{
			switch (in.ConsumeIntegralInRange (0, 9))
			{
				case 0: setupProcessing (); break;
				case 1: setBusArrangements (); break;
				case 2: activate (true); break;
				case 3: activate (false); break;
				case 4:
				case 5:
				case 6: process (); break;
				case 7: setState (); break;
				case 8: getState (); break;
				default: queries (); break;
			}
			if (active)
				checkEngine (false, false);
		}
		// Every sequence ends with one more block and a check of the whole
		// engine state, delay memory included.
		if (!active)
			activate (true);
		if (active)
		{
			process ();
			checkEngine (true, engineRan);
		}
	}

private:
	void setupProcessing ()
	{
		if (active)
			return; // only while inactive
		const double rate = pickRate (in);
		static const int32 sizes[] = {kSample32, kSample64, 2, -1, 0x7FFFFFFF};
		const int32 size = in.PickValueInArray (sizes);
		const double before = s->currentSampleRate ();
		const tresult result = s.setup (rate, size, in.ConsumeIntegralInRange<int32> (0, kMaxBlock));
		const bool rateOk = std::isfinite (rate) && rate >= kMinRate;
		if (!rateOk)
		{
			FUZZ_CHECK (result == kResultFalse);
			FUZZ_CHECK (s->currentSampleRate () == before);
			return;
		}
		FUZZ_CHECK (s->currentSampleRate () == rate);
		if (size == kSample32 || size == kSample64)
		{
			FUZZ_CHECK (result == kResultOk);
			sampleSize = size;
		}
		else
			FUZZ_CHECK (result == kResultFalse);
	}

	void setBusArrangements ()
	{
		if (active)
			return;
		static const SpeakerArrangement arrangements[] = {
		    SpeakerArr::kStereo, SpeakerArr::kMono, SpeakerArr::kEmpty, SpeakerArr::kStereoSurround,
		    SpeakerArr::k51, static_cast<SpeakerArrangement> (0x8000000000000001ull)};
		SpeakerArrangement ins[2] = {in.PickValueInArray (arrangements), in.PickValueInArray (arrangements)};
		SpeakerArrangement outs[2] = {in.PickValueInArray (arrangements), in.PickValueInArray (arrangements)};
		const int32 numIns = in.ConsumeIntegralInRange<int32> (-1, 2);
		const int32 numOuts = in.ConsumeIntegralInRange<int32> (-1, 2);
		const tresult result = s->setBusArrangements (ins, numIns, outs, numOuts);
		if (numIns < 0 || numOuts < 0)
			FUZZ_CHECK (result == kInvalidArgument);
		else if ((numIns > 0 && SpeakerArr::getChannelCount (ins[0]) != 2) ||
		         (numOuts > 0 && SpeakerArr::getChannelCount (outs[0]) != 2))
			FUZZ_CHECK (result == kResultFalse);
		// Whatever was accepted, each bus still has two channels.
		SpeakerArrangement arr = 0;
		FUZZ_CHECK (s->getBusArrangement (kInput, 0, arr) == kResultOk);
		FUZZ_CHECK (SpeakerArr::getChannelCount (arr) == 2);
		FUZZ_CHECK (s->getBusArrangement (kOutput, 0, arr) == kResultOk);
		FUZZ_CHECK (SpeakerArr::getChannelCount (arr) == 2);
	}

	void activate (bool state)
	{
		if (state == active)
			return;
		if (state && activations >= kMaxActivations)
			return;
		FUZZ_CHECK (s.activate (state) == kResultOk);
		active = state;
		activations += state ? 1 : 0;
	}

	void process ()
	{
		if (!active)
			return;
		// Mostly short blocks, now and then a long one, within the budget.
		int32 n = in.ConsumeBool () ? in.ConsumeIntegralInRange<int32> (0, 64)
		                            : in.ConsumeIntegralInRange<int32> (0, kMaxBlock);
		if (n > samplesLeft)
			n = static_cast<int32> (samplesLeft);
		samplesLeft -= n;

		changes.clear ();
		const int numQueues = in.ConsumeIntegralInRange (0, kMaxQueues);
		for (int q = 0; q < numQueues; ++q)
		{
			if (in.ConsumeIntegralInRange (0, 15) == 0)
			{
				changes.addNullEntry ();
				continue;
			}
			int32 index = 0;
			IParamValueQueue* queue = changes.addParameterData (pickParamId (in), index);
			const int points = in.ConsumeIntegralInRange (0, kMaxPoints);
			for (int p = 0; p < points; ++p)
				queue->addPoint (in.ConsumeIntegralInRange<int32> (-1, kMaxBlock), pickParamValue (in), index);
		}

		ProcessData& data = block.reset (sampleSize, n);
		block.setParameterChanges (&changes);
		fillInput (in, block, n, seed);
		const bool inPlace = in.ConsumeIntegralInRange (0, 7) == 0;
		if (inPlace)
			block.useInputsAsOutputs ();
		// Now and then a bus the processor cannot work on.
		bool workable = n > 0;
		switch (in.ConsumeIntegralInRange (0, 15))
		{
			case 0: data.numInputs = 0; workable = false; break;
			case 1: data.numOutputs = 0; workable = false; break;
			case 2: block.inputBus ().numChannels = in.ConsumeIntegralInRange (0, 1); workable = false; break;
			case 3: block.outputBus ().numChannels = in.ConsumeIntegralInRange (0, 1); workable = false; break;
			case 4: data.inputs = nullptr; workable = false; break;
			case 5: data.inputParameterChanges = nullptr; break;
			default: break;
		}
		if (!inPlace)
			block.fillOutputs (kUntouched);
		const std::vector<double> inputCopy[2] = {copyInput (0, n), copyInput (1, n)};

		FUZZ_CHECK (s->process (data) == kResultOk);

		const bool bypassed = s->params ().bypass;
		for (int c = 0; c < 2; ++c)
			for (int32 i = 0; i < n; ++i)
			{
				const double out = block.output (c, i);
				if (!workable)
				{
					if (!inPlace)
						FUZZ_CHECK (out == kUntouched);
				}
				else if (bypassed)
					FUZZ_CHECK (std::memcmp (&out, &inputCopy[c][static_cast<size_t> (i)], sizeof out) == 0);
				else
					FUZZ_CHECK (block.outputIsClean (c, i));
			}
		// After the engine ran, even the smoothed values that an activation
		// copied from the targets have become clean states.
		engineRan = workable && !bypassed;
		if (engineRan)
			checkEngine (false, true);
	}

	void setState ()
	{
		const size_t length = in.ConsumeIntegralInRange<size_t> (0, 160);
		std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t> (length);
		Steinberg::MemoryStream stream (bytes.data (), static_cast<Steinberg::TSize> (bytes.size ()));
		const tresult result = s->setState (&stream);
		FUZZ_CHECK ((result == kResultOk) == (bytes.size () >= 140));
	}

	void getState ()
	{
		Steinberg::MemoryStream stream;
		FUZZ_CHECK (s->getState (&stream) == kResultOk);
		FUZZ_CHECK (stream.getSize () == 140);
	}

	void queries ()
	{
		(void)s->getTailSamples ();
		(void)s->getLatencySamples ();
		const int32 size = in.ConsumeIntegral<int32> ();
		FUZZ_CHECK ((s->canProcessSampleSize (size) == kResultTrue) == (size == kSample32 || size == kSample64));
	}

	// The engine's state: finite after every step; after a processed block
	// also free of subnormal numbers, and with buffers the delay memory too.
	void checkEngine (bool withBuffers, bool requireNormal)
	{
		const int64 memory = static_cast<int64> (s->engine ().bufferLength) * kNumDelayBuffers;
		withBuffers = withBuffers && memory <= kMaxScannedDelayMemory;
		const int unclean = s->countUncleanEngineValues (withBuffers, requireNormal);
		if (unclean != 0)
			std::fprintf (stderr, "%d engine values are NaN, infinite or subnormal: %s\n", unclean,
			              s->describeUncleanEngineValues (withBuffers, requireNormal).c_str ());
		FUZZ_CHECK (unclean == 0);
	}

	// The input as the processor sees it, widened to 64 bits.
	std::vector<double> copyInput (int c, int32 n) const
	{
		std::vector<double> v (static_cast<size_t> (n));
		for (int32 i = 0; i < n; ++i)
			v[static_cast<size_t> (i)] = block.input (c, i);
		return v;
	}

	FuzzedDataProvider& in;
	ProcessorSession s;
	TestAudioBlock block;
	TestParameterChanges changes;
	int32 sampleSize {kSample32};
	bool active {false};
	int activations {0};
	int64 samplesLeft {kSampleBudget};
	bool engineRan {false}; // the last processed block ran the engine
	uint32_t seed {1};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
	FuzzedDataProvider in (data, size);
	CallSequence sequence (in);
	sequence.run ();
	return 0;
}
