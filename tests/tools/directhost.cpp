#include "tools/directhost.h"

#include "support/pluginbundle.h"
#include "support/testaudioblock.h"
#include "support/testbytestream.h"
#include "support/testparameterchanges.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cstring>

namespace CalvirToolTest {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace CalvirTestSupport;

namespace {

// A component of the category from the bundle's factory, initialised.
template <typename Interface>
IPtr<Interface> createComponent (IPluginFactory* factory, const char* category)
{
	for (int32 index = 0; index < factory->countClasses (); ++index)
	{
		PClassInfo info {};
		if (factory->getClassInfo (index, &info) != kResultOk ||
		    std::strcmp (info.category, category) != 0)
			continue;
		Interface* object = nullptr;
		if (factory->createInstance (info.cid, Interface::iid.toTUID (),
		                             reinterpret_cast<void**> (&object)) != kResultOk)
			return {};
		auto owned = IPtr<Interface>::adopt (object);
		if (owned->initialize (nullptr) != kResultOk)
			return {};
		return owned;
	}
	return {};
}

} // namespace

Channels renderDirectly (const Channels& input, const DirectSetup& setup)
{
	PluginBundle bundle;
	if (!bundle.load ())
		return {};
	IPluginFactory* factory = bundle.getFactory ();
	Channels output (2);
	{
		auto component = createComponent<IComponent> (factory, kVstAudioEffectClass);
		FUnknownPtr<IAudioProcessor> processor (component);
		if (!component || !processor)
			return {};

		SpeakerArrangement stereo = SpeakerArr::kStereo;
		SpeakerArrangement stereoOut = SpeakerArr::kStereo;
		processor->setBusArrangements (&stereo, 1, &stereoOut, 1);
		ProcessSetup processSetup {kOffline, setup.sampleSize, setup.blockSize, setup.sampleRate};
		if (processor->setupProcessing (processSetup) != kResultOk)
			return {};
		if (!setup.state.empty ())
		{
			TestByteStream stream (std::vector<uint8_t> (setup.state.begin (), setup.state.end ()));
			if (component->setState (&stream) != kResultOk)
				return {};
		}
		component->setActive (true);
		processor->setProcessing (true);

		const auto inputFrames = static_cast<int64_t> (input[0].size ());
		TestAudioBlock block (setup.sampleSize, setup.blockSize);
		TestParameterChanges changes;
		block.setParameterChanges (&changes);
		int64_t position = 0;
		int64_t tail = 0;
		bool tailFixed = false;
		for (;;)
		{
			// The tail follows the processor until the input has ended.
			if (!tailFixed)
			{
				tail = processor->getTailSamples ();
				tailFixed = position >= inputFrames;
			}
			const int64_t total = inputFrames + tail;
			if (position >= total)
				break;
			const auto frames = static_cast<int32> (std::min<int64_t> (setup.blockSize, total - position));
			for (int32 c = 0; c < 2; ++c)
				for (int32 i = 0; i < setup.blockSize; ++i)
				{
					const int64_t frame = position + i;
					block.setInput (c, i, i < frames && frame < inputFrames
					                          ? input[static_cast<size_t> (c)][static_cast<size_t> (frame)]
					                          : 0.0);
				}
			changes.clear ();
			for (const auto& point : setup.points)
				if (point.frame >= position && point.frame < position + frames)
					changes.addQueue (point.id).add (static_cast<int32> (point.frame - position), point.value);
			block.data ().numSamples = frames;
			processor->process (block.data ());
			for (int32 c = 0; c < 2; ++c)
				for (int32 i = 0; i < frames; ++i)
					output[static_cast<size_t> (c)].push_back (block.output (c, i));
			position += frames;
		}
		processor->setProcessing (false);
		component->setActive (false);
		component->terminate ();
	}
	factory->release ();
	return output;
}

std::vector<char> defaultProcessorState ()
{
	PluginBundle bundle;
	if (!bundle.load ())
		return {};
	IPluginFactory* factory = bundle.getFactory ();
	std::vector<char> bytes;
	{
		auto component = createComponent<IComponent> (factory, kVstAudioEffectClass);
		TestByteStream stream;
		if (component && component->getState (&stream) == kResultOk)
			bytes.assign (stream.data ().begin (), stream.data ().end ());
		if (component)
			component->terminate ();
	}
	factory->release ();
	return bytes;
}

ParamValue controllerNormalized (ParamID id, double plain)
{
	PluginBundle bundle;
	if (!bundle.load ())
		return -1.0;
	IPluginFactory* factory = bundle.getFactory ();
	ParamValue value = -1.0;
	{
		auto controller = createComponent<IEditController> (factory, kVstComponentControllerClass);
		if (controller)
		{
			value = controller->plainParamToNormalized (id, plain);
			controller->terminate ();
		}
	}
	factory->release ();
	return value;
}

} // namespace CalvirToolTest
