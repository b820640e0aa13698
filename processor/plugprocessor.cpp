#include "processor/plugprocessor.h"

#include "engine/engineconstants.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "processor/plugids.h"

#include <cstring>
#include <new>

namespace Steinberg {
namespace Vst {

namespace {

constexpr ParamValue kBypassThreshold = 0.5; // a bypass value above it turns bypass on
constexpr double kTailExtraSeconds = 0.5;    // the tail is the reverb time plus this
constexpr double kInt64Limit = 9.2233720368547758e18; // 2^63

constexpr int32 kNumStereoChannels = 2;

// The rates the engine runs at. Below the lowest the delay buffers' margin
// vanishes and the longest pre-delay would overrun them; the highest keeps
// every sample count and the delay memory sane. NaN and infinities fail.
bool isAcceptedSampleRate (SampleRate rate)
{
	return rate >= kMinSampleRateHz && rate <= kMaxSampleRateHz;
}

bool isStereoArrangement (SpeakerArrangement arr)
{
	return SpeakerArr::getChannelCount (arr) == kNumStereoChannels;
}

// The record field of a normalised parameter, or null for bypass and for
// identifiers the processor does not know.
ParamValue* parameterField (PlugState& state, ParamID id)
{
	switch (id)
	{
		case kLevelId: return &state.level;
		case kMixId: return &state.mix;
		case kPredelayId: return &state.predelay;
		case kRvbTimeId: return &state.rvbTime;
		case kSizeId: return &state.size;
		case kDiffusionId: return &state.diffusion;
		case kHFDampId: return &state.hfDamp;
		case kLPCutId: return &state.lpCut;
		default: return nullptr;
	}
}

// The value of the queue's last point, which is the only one that counts.
// An empty queue has no such point: index -1 is never asked for, since not
// every host queue checks for a negative index.
bool lastPointValue (IParamValueQueue& queue, int32 numPoints, ParamValue& value)
{
	if (numPoints <= 0)
		return false;
	int32 sampleOffset = 0;
	ParamValue pointValue = 0.0;
	if (queue.getPoint (numPoints - 1, sampleOffset, pointValue) != kResultOk)
		return false;
	value = pointValue;
	return true;
}

// A bus the sample loops can work on: at least two channels, each with a buffer.
bool hasStereoBuffers (const AudioBusBuffers& bus)
{
	if (bus.numChannels < kNumStereoChannels || bus.channelBuffers32 == nullptr)
		return false;
	return bus.channelBuffers32[0] != nullptr && bus.channelBuffers32[1] != nullptr;
}

} // namespace

PlugProcessor::PlugProcessor ()
{
	setControllerClass (kPlugControllerUID);
	reverb.reverbTimeMs = mapReverbTimeMs (paramState.rvbTime);
}

PlugProcessor::~PlugProcessor ()
{
	// A host may release an active processor; its delay memory goes with it.
	freeBuffers ();
}

FUnknown* PlugProcessor::createInstance (void* /*context*/)
{
	auto* processor = new (std::nothrow) PlugProcessor;
	return static_cast<IAudioProcessor*> (processor);
}

tresult PLUGIN_API PlugProcessor::initialize (FUnknown* context)
{
	// Declared buses mean an initialisation that was never terminated.
	if (!audioInputs.empty () || !audioOutputs.empty ())
		return kResultFalse;
	if (Component::initialize (context) != kResultOk)
		return kResultFalse;

	if (addAudioInput (STR16 ("AudioInput"), SpeakerArr::kStereo) == nullptr ||
	    addAudioOutput (STR16 ("AudioOutput"), SpeakerArr::kStereo) == nullptr)
	{
		Component::terminate ();
		return kOutOfMemory;
	}

	initializeEngine ();
	sampleRate = kDefaultSampleRate;
	tailSampleRate.store (sampleRate, std::memory_order_relaxed);
	return kResultOk;
}

tresult PLUGIN_API PlugProcessor::setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
                                                      SpeakerArrangement* outputs, int32 numOuts)
{
	if (numIns < 0 || numOuts < 0 || (numIns > 0 && inputs == nullptr) ||
	    (numOuts > 0 && outputs == nullptr))
		return kInvalidArgument;
	if (numIns > 0 && !isStereoArrangement (inputs[0]))
		return kResultFalse;
	if (numOuts > 0 && !isStereoArrangement (outputs[0]))
		return kResultFalse;
	return AudioEffect::setBusArrangements (inputs, numIns, outputs, numOuts);
}

tresult PLUGIN_API PlugProcessor::canProcessSampleSize (int32 symbolicSampleSize)
{
	const auto size = static_cast<uint32> (symbolicSampleSize);
	return (size == kSample32 || size == kSample64) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API PlugProcessor::setupProcessing (ProcessSetup& setup)
{
	// A refused rate leaves the previous set-up in force, so every delay keeps
	// fitting the buffers sized for it.
	if (!isAcceptedSampleRate (setup.sampleRate))
		return kResultFalse;
	sampleRate = setup.sampleRate;
	tailSampleRate.store (sampleRate, std::memory_order_relaxed);
	return AudioEffect::setupProcessing (setup);
}

tresult PLUGIN_API PlugProcessor::setActive (TBool state)
{
	if (state)
	{
		// Only an initialised processor has its buses and the engine's start
		// values (smoothing time, low-cut corners); activating one that was
		// never initialised, or was terminated, would prepare an engine from
		// zeros whose smoothers divide by zero.
		if (audioInputs.empty ())
			return kResultFalse;
		applyPendingRestore ();
		try
		{
			prepareEngine ();
		}
		catch (...)
		{
			freeBuffers ();
			return kOutOfMemory;
		}
		if (!buffersHeld ())
		{
			freeBuffers ();
			return kOutOfMemory;
		}
	}
	else
	{
		freeBuffers ();
		// The audio thread has stopped: a restore it did not pick up lands now.
		applyPendingRestore ();
	}
	active = state != 0;
	return Component::setActive (state);
}

tresult PLUGIN_API PlugProcessor::process (ProcessData& data)
{
	// A restored state takes effect first, as if it had been set before the block.
	applyPendingRestore ();

	// 1. Parameter changes: the last point of each queue, applied before the audio.
	if (IParameterChanges* changes = data.inputParameterChanges)
	{
		bool stored = false;
		const int32 numQueues = changes->getParameterCount ();
		for (int32 index = 0; index < numQueues; ++index)
		{
			IParamValueQueue* queue = changes->getParameterData (index);
			if (queue == nullptr)
				continue;
			const int32 numPoints = queue->getPointCount ();
			const ParamID id = queue->getParameterId ();
			ParamValue value = 0.0;
			if (id == kBypassId)
			{
				if (lastPointValue (*queue, numPoints, value))
				{
					paramState.bypass = value > kBypassThreshold;
					stored = true;
				}
			}
			else if (ParamValue* field = parameterField (paramState, id))
			{
				if (lastPointValue (*queue, numPoints, value))
				{
					*field = value;
					stored = true;
				}
			}
			updateCoefficients (false);
		}
		if (stored)
			stateHandOver.publish (paramState);
	}

	// 2. A block without audio only carries parameter changes.
	if (data.numInputs <= 0 || data.numOutputs <= 0 || data.numSamples <= 0)
		return kResultOk;
	if (data.inputs == nullptr || data.outputs == nullptr)
		return kResultOk;
	AudioBusBuffers& input = data.inputs[0];
	AudioBusBuffers& output = data.outputs[0];
	if (!hasStereoBuffers (input) || !hasStereoBuffers (output))
		return kResultOk;
	// A sample size other than the two known ones says nothing about the
	// buffers' layout: such a block is left alone.
	if (data.symbolicSampleSize != kSample32 && data.symbolicSampleSize != kSample64)
		return kResultOk;

	// 3. Bypass copies input to output; the engine stands still meanwhile.
	// The block's own sample size says which buffers the host handed over and
	// how long they are, so it sets the width of the copy.
	if (paramState.bypass)
	{
		const size_t sampleBytes = data.symbolicSampleSize == kSample32 ? sizeof (Sample32) : sizeof (Sample64);
		const size_t blockBytes = sampleBytes * static_cast<size_t> (data.numSamples);
		const int32 numChannels =
		    input.numChannels < output.numChannels ? input.numChannels : output.numChannels;
		for (int32 channel = 0; channel < numChannels; ++channel)
		{
			void* source = input.channelBuffers32[channel];
			void* destination = output.channelBuffers32[channel];
			if (source != nullptr && destination != nullptr && source != destination)
				std::memcpy (destination, source, blockBytes);
		}
		return kResultOk;
	}

	if (data.symbolicSampleSize == kSample32)
		processBlock32 (input.channelBuffers32, output.channelBuffers32, data.numSamples);
	else
		processBlock64 (input.channelBuffers64, output.channelBuffers64, data.numSamples);
	return kResultOk;
}

tresult PLUGIN_API PlugProcessor::setState (IBStream* stream)
{
	// A failed read leaves everything as it is, so there is nothing to hand
	// over. A good one supersedes every restore not yet applied.
	PlugState restored;
	const tresult result = restored.read (stream);
	if (result == kResultOk)
		stateHandOver.submit (restored);
	if (active)
	{
		// The audio thread may be inside process: it applies the restore at
		// the start of its next block.
		return result;
	}
	// Inactive: no block runs, the engine is the main thread's own.
	if (!applyPendingRestore ())
		updateCoefficients (false);
	return result;
}

tresult PLUGIN_API PlugProcessor::getState (IBStream* stream)
{
	return stateHandOver.latest ().write (stream);
}

bool PlugProcessor::applyPendingRestore ()
{
	bool replacedRestoreMovedLengths = false;
	if (!stateHandOver.take (paramState, replacedRestoreMovedLengths))
		return false;
	// Restores applied one by one would each have been compared with the
	// one before: a replaced restore with other lengths started a flush.
	if (replacedRestoreMovedLengths)
		raiseFlush ();
	updateCoefficients (false);
	return true;
}

uint32 PLUGIN_API PlugProcessor::getTailSamples ()
{
	// From the most recent record rather than the engine, which the audio
	// thread may be updating; the engine derives its reverb time the same way.
	const double reverbTimeMs = mapReverbTimeMs (stateHandOver.latest ().rvbTime);
	const double tail =
	    (reverbTimeMs * kSecondsPerMs + kTailExtraSeconds) * tailSampleRate.load (std::memory_order_relaxed);
	if (!(tail >= 0.0))
		return kNoTail;
	if (tail >= kInt64Limit)
		return kInfiniteTail;
	// Truncated toward zero; the host receives the low 32 bits.
	return static_cast<uint32> (static_cast<int64> (tail));
}

} // namespace Vst
} // namespace Steinberg
