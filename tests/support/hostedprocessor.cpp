#include "support/hostedprocessor.h"

#include "processor/plugids.h"

namespace CalvirTestSupport {

using namespace Steinberg;
using namespace Steinberg::Vst;

HostedProcessor::HostedProcessor (IPluginFactory& factory)
{
	TUID cid;
	kPlugProcessorUID.toTUID (cid);
	void* obj = nullptr;
	if (factory.createInstance (cid, IComponent::iid.toTUID (), &obj) != kResultOk)
		return;
	component = static_cast<IComponent*> (obj);
	if (component->queryInterface (IAudioProcessor::iid, &obj) == kResultOk)
		audio = static_cast<IAudioProcessor*> (obj);
}

HostedProcessor::~HostedProcessor ()
{
	if (audio)
		audio->release ();
	if (component)
		component->release ();
}

bool HostedProcessor::start (FUnknown* host, SampleRate rate, int32 sampleSize, int32 maxBlockSize)
{
	if (component->initialize (host) != kResultOk)
		return false;
	if (component->getBusCount (kAudio, kInput) != 1 || component->getBusCount (kAudio, kOutput) != 1)
		return false;
	SpeakerArrangement in = SpeakerArr::kStereo;
	SpeakerArrangement out = SpeakerArr::kStereo;
	if (audio->setBusArrangements (&in, 1, &out, 1) != kResultTrue ||
	    audio->canProcessSampleSize (sampleSize) != kResultTrue)
		return false;
	ProcessSetup setup {kRealtime, sampleSize, maxBlockSize, rate};
	if (audio->setupProcessing (setup) != kResultOk)
		return false;
	if (component->activateBus (kAudio, kInput, 0, true) != kResultTrue ||
	    component->activateBus (kAudio, kOutput, 0, true) != kResultTrue)
		return false;
	if (component->setActive (true) != kResultOk)
		return false;
	audio->setProcessing (true);
	return true;
}

bool HostedProcessor::stop ()
{
	audio->setProcessing (false);
	const bool deactivated = component->setActive (false) == kResultOk;
	return component->terminate () == kResultOk && deactivated;
}

} // namespace CalvirTestSupport
