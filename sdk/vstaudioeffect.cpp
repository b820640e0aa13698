#include "sdk/vstaudioeffect.h"

namespace Steinberg {
namespace Vst {

namespace {

// Creates a bus with makeBus and appends it to list, which takes over the
// bus's initial reference. Answers the bus, or null when memory ran out.
template <typename MakeBus>
auto appendBus (BusList& list, MakeBus makeBus) -> decltype (makeBus ())
{
	try
	{
		auto* bus = makeBus ();
		list.push_back (owned (static_cast<Bus*> (bus)));
		return bus;
	}
	catch (...)
	{
		return nullptr;
	}
}

template <typename BusT>
BusT* busAt (BusList& list, int32 index)
{
	if (index < 0 || index >= static_cast<int32> (list.size ()))
		return nullptr;
	return static_cast<BusT*> (list[static_cast<size_t> (index)].get ());
}

} // namespace

AudioEffect::AudioEffect ()
{
	processSetup.processMode = kRealtime;
	processSetup.symbolicSampleSize = kSample32;
	processSetup.maxSamplesPerBlock = kDefaultMaxSamplesPerBlock;
	processSetup.sampleRate = kDefaultSampleRate;
}

AudioBus* AudioEffect::addAudioInput (const TChar* name, SpeakerArrangement arr, BusType busType,
                                      int32 flags)
{
	return appendBus (audioInputs, [&] { return new AudioBus (name, busType, flags, arr); });
}

AudioBus* AudioEffect::addAudioOutput (const TChar* name, SpeakerArrangement arr, BusType busType,
                                       int32 flags)
{
	return appendBus (audioOutputs, [&] { return new AudioBus (name, busType, flags, arr); });
}

EventBus* AudioEffect::addEventInput (const TChar* name, int32 channels, BusType busType,
                                      int32 flags)
{
	return appendBus (eventInputs, [&] { return new EventBus (name, busType, flags, channels); });
}

EventBus* AudioEffect::addEventOutput (const TChar* name, int32 channels, BusType busType,
                                       int32 flags)
{
	return appendBus (eventOutputs, [&] { return new EventBus (name, busType, flags, channels); });
}

AudioBus* AudioEffect::getAudioInput (int32 index)
{
	return busAt<AudioBus> (audioInputs, index);
}

AudioBus* AudioEffect::getAudioOutput (int32 index)
{
	return busAt<AudioBus> (audioOutputs, index);
}

EventBus* AudioEffect::getEventInput (int32 index)
{
	return busAt<EventBus> (eventInputs, index);
}

EventBus* AudioEffect::getEventOutput (int32 index)
{
	return busAt<EventBus> (eventOutputs, index);
}

tresult PLUGIN_API AudioEffect::setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
                                                    SpeakerArrangement* outputs, int32 numOuts)
{
	if (numIns < 0 || numOuts < 0)
		return kInvalidArgument;
	if ((numIns > 0 && inputs == nullptr) || (numOuts > 0 && outputs == nullptr))
		return kInvalidArgument;
	if (numIns > static_cast<int32> (audioInputs.size ()) ||
	    numOuts > static_cast<int32> (audioOutputs.size ()))
		return kResultFalse;

	for (int32 index = 0; index < numIns; ++index)
		getAudioInput (index)->setArrangement (inputs[index]);
	for (int32 index = 0; index < numOuts; ++index)
		getAudioOutput (index)->setArrangement (outputs[index]);
	return kResultTrue;
}

tresult PLUGIN_API AudioEffect::getBusArrangement (BusDirection dir, int32 index,
                                                   SpeakerArrangement& arr)
{
	AudioBus* bus = nullptr;
	if (dir == kInput)
		bus = getAudioInput (index);
	else if (dir == kOutput)
		bus = getAudioOutput (index);
	if (bus == nullptr)
		return kInvalidArgument;
	arr = bus->getArrangement ();
	return kResultTrue;
}

tresult PLUGIN_API AudioEffect::canProcessSampleSize (int32 symbolicSampleSize)
{
	return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API AudioEffect::getLatencySamples ()
{
	return 0;
}

tresult PLUGIN_API AudioEffect::setupProcessing (ProcessSetup& setup)
{
	processSetup.processMode = setup.processMode;
	processSetup.maxSamplesPerBlock = setup.maxSamplesPerBlock;
	processSetup.sampleRate = setup.sampleRate;

	if (canProcessSampleSize (setup.symbolicSampleSize) != kResultTrue)
		return kResultFalse;
	processSetup.symbolicSampleSize = setup.symbolicSampleSize;
	return kResultOk;
}

tresult PLUGIN_API AudioEffect::setProcessing (TBool /*state*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API AudioEffect::process (ProcessData& /*data*/)
{
	return kNotImplemented;
}

uint32 PLUGIN_API AudioEffect::getTailSamples ()
{
	return kNoTail;
}

uint32 PLUGIN_API AudioEffect::getProcessContextRequirements ()
{
	return processContextRequirements;
}

} // namespace Vst
} // namespace Steinberg
