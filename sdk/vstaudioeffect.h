// Base class of an audio effect component: a Component that also speaks
// IAudioProcessor and IProcessContextRequirements. It owns the audio and event
// bus lists (through Component), keeps the host's processing set-up and gives
// every processor operation a safe default that a plug-in overrides as needed.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vstcomponent.h"

namespace Steinberg {
namespace Vst {

class AudioEffect : public Component, public IAudioProcessor, public IProcessContextRequirements
{
public:
	// Processing set-up in force until the host's first setupProcessing.
	static constexpr int32 kDefaultMaxSamplesPerBlock = 1024;
	static constexpr SampleRate kDefaultSampleRate = 44100.0; // Hz

	AudioEffect ();

	// Bus creation: the new bus is appended to its list and returned (owned by
	// the list), or null when memory could not be obtained.
	AudioBus* addAudioInput (const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
	                         int32 flags = BusInfo::kDefaultActive);
	AudioBus* addAudioOutput (const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
	                          int32 flags = BusInfo::kDefaultActive);
	EventBus* addEventInput (const TChar* name, int32 channels = 16, BusType busType = kMain,
	                         int32 flags = BusInfo::kDefaultActive);
	EventBus* addEventOutput (const TChar* name, int32 channels = 16, BusType busType = kMain,
	                          int32 flags = BusInfo::kDefaultActive);

	// The bus at index, or null when there is none.
	AudioBus* getAudioInput (int32 index);
	AudioBus* getAudioOutput (int32 index);
	EventBus* getEventInput (int32 index);
	EventBus* getEventOutput (int32 index);

	//---from IAudioProcessor-------
	// Negative counts or a missing array: kInvalidArgument. More arrangements
	// than buses: kResultFalse. Otherwise each named bus takes its arrangement
	// and the answer is kResultTrue.
	tresult PLUGIN_API setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
	                                       SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
	tresult PLUGIN_API getBusArrangement (BusDirection dir, int32 index,
	                                      SpeakerArrangement& arr) SMTG_OVERRIDE;
	// The base processes 32-bit samples only.
	tresult PLUGIN_API canProcessSampleSize (int32 symbolicSampleSize) SMTG_OVERRIDE;
	uint32 PLUGIN_API getLatencySamples () SMTG_OVERRIDE;
	// Keeps mode, block size and rate; keeps the sample size only when
	// canProcessSampleSize accepts it, else answers kResultFalse.
	tresult PLUGIN_API setupProcessing (ProcessSetup& setup) SMTG_OVERRIDE;
	tresult PLUGIN_API setProcessing (TBool state) SMTG_OVERRIDE;
	tresult PLUGIN_API process (ProcessData& data) SMTG_OVERRIDE;
	uint32 PLUGIN_API getTailSamples () SMTG_OVERRIDE;

	//---from IProcessContextRequirements-------
	uint32 PLUGIN_API getProcessContextRequirements () SMTG_OVERRIDE;

	//---Interface---------
	OBJ_METHODS (AudioEffect, Component)
	DEFINE_INTERFACES
		DEF_INTERFACE (IAudioProcessor)
		DEF_INTERFACE (IProcessContextRequirements)
	END_DEFINE_INTERFACES (Component)
	REFCOUNT_METHODS (Component)

protected:
	ProcessSetup processSetup;
	uint32 processContextRequirements {0}; // IProcessContextRequirements::Flags wanted
};

} // namespace Vst
} // namespace Steinberg
