// A processor created through the bundle's factory, held as IComponent and
// IAudioProcessor, and brought up to processing and back down in the order
// hosts use.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

namespace CalvirTestSupport {

class HostedProcessor
{
public:
	explicit HostedProcessor (Steinberg::IPluginFactory& factory);
	~HostedProcessor ();
	HostedProcessor (const HostedProcessor&) = delete;
	HostedProcessor& operator= (const HostedProcessor&) = delete;

	explicit operator bool () const { return component && audio; }

	// initialize, one stereo bus each way, the set-up, bus activation,
	// setActive (true) and setProcessing (true): false as soon as one of them
	// is refused or a bus is missing.
	bool start (Steinberg::FUnknown* host, Steinberg::Vst::SampleRate rate, Steinberg::int32 sampleSize,
	            Steinberg::int32 maxBlockSize);
	// setProcessing (false), setActive (false) and terminate: false when the
	// last two do not answer kResultOk.
	bool stop ();

	Steinberg::Vst::IComponent* component {nullptr};
	Steinberg::Vst::IAudioProcessor* audio {nullptr};
};

} // namespace CalvirTestSupport
