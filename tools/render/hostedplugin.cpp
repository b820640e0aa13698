#include "tools/render/hostedplugin.h"

#include "tools/render/parameterchanges.h"
#include "tools/render/rendererror.h"

#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/common/memorystream.h"

#include <cmath>
#include <sstream>

namespace Calvir {
namespace Render {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

IPtr<MemoryStream> makeStream ()
{
	return IPtr<MemoryStream>::adopt (new MemoryStream);
}

std::string formatRate (double sampleRate)
{
	std::ostringstream text;
	text << sampleRate;
	return text.str ();
}

} // namespace

HostedPlugin::HostedPlugin (PluginModule& module)
: hostContext (std::make_unique<HostApplication> ())
{
	try
	{
		createComponent (module);
		createController (module);
		connect ();
		updateController ();
	}
	catch (...)
	{
		shutDown ();
		throw;
	}
}

HostedPlugin::~HostedPlugin ()
{
	shutDown ();
}

void HostedPlugin::createComponent (PluginModule& module)
{
	TUID cid {};
	if (!module.findClass (kVstAudioEffectClass, cid))
		throw RenderError ("\"" + module.libraryPath () + "\" offers no audio processor class");

	IComponent* created = nullptr;
	if (module.factory ()->createInstance (cid, IComponent::iid.toTUID (),
	                                       reinterpret_cast<void**> (&created)) != kResultOk ||
	    !created)
		throw RenderError ("the plug-in's factory could not create its processor");
	component = IPtr<IComponent>::adopt (created);

	audioProcessor = FUnknownPtr<IAudioProcessor> (component);
	if (!audioProcessor)
		throw RenderError ("the plug-in's processor has no audio processing interface");

	if (component->initialize (hostContext.get ()) != kResultOk)
		throw RenderError ("the plug-in's processor failed to initialise");
	componentInitialized = true;
}

void HostedPlugin::createController (PluginModule& module)
{
	// A single-component plug-in is its own controller.
	FUnknownPtr<IEditController> self (component);
	if (self)
	{
		editController = self;
		controllerIsComponent = true;
		return;
	}

	TUID cid {};
	bool known = component->getControllerClassId (cid) == kResultOk;
	if (!known)
		known = module.findClass (kVstComponentControllerClass, cid);
	if (!known)
		throw RenderError ("\"" + module.libraryPath () + "\" offers no edit controller class");

	IEditController* created = nullptr;
	if (module.factory ()->createInstance (cid, IEditController::iid.toTUID (),
	                                       reinterpret_cast<void**> (&created)) != kResultOk ||
	    !created)
		throw RenderError ("the plug-in's factory could not create its edit controller");
	editController = IPtr<IEditController>::adopt (created);

	if (editController->initialize (hostContext.get ()) != kResultOk)
		throw RenderError ("the plug-in's edit controller failed to initialise");
	controllerInitialized = true;
}

void HostedPlugin::connect ()
{
	if (controllerIsComponent)
		return;
	FUnknownPtr<IConnectionPoint> componentPoint (component);
	FUnknownPtr<IConnectionPoint> controllerPoint (editController);
	if (!componentPoint || !controllerPoint)
		return;
	componentConnection = componentPoint;
	controllerConnection = controllerPoint;
	componentConnection->connect (controllerConnection);
	controllerConnection->connect (componentConnection);
}

void HostedPlugin::shutDown ()
{
	stop ();
	if (componentConnection && controllerConnection)
	{
		componentConnection->disconnect (controllerConnection);
		controllerConnection->disconnect (componentConnection);
	}
	componentConnection = nullptr;
	controllerConnection = nullptr;
	if (controllerInitialized)
		editController->terminate ();
	controllerInitialized = false;
	editController = nullptr;
	if (componentInitialized)
		component->terminate ();
	componentInitialized = false;
	audioProcessor = nullptr;
	component = nullptr;
}

std::vector<char> HostedPlugin::saveState ()
{
	auto stream = makeStream ();
	if (component->getState (stream) != kResultOk)
		throw RenderError ("the plug-in could not save its state");
	const char* data = stream->getData ();
	return std::vector<char> (data, data + stream->getSize ());
}

void HostedPlugin::restoreState (const std::vector<char>& bytes, const std::string& origin)
{
	auto stream = makeStream ();
	int32 written = 0;
	if (!bytes.empty ())
		stream->write (const_cast<char*> (bytes.data ()), static_cast<int32> (bytes.size ()),
		               &written);
	stream->seek (0, IBStream::kIBSeekSet, nullptr);
	if (component->setState (stream) != kResultOk)
		throw RenderError ("the plug-in refused the state in " + origin +
		                   " (too short or not a state of this plug-in)");
	updateController ();
}

void HostedPlugin::updateController ()
{
	if (controllerIsComponent)
		return;
	auto state = saveState ();
	auto stream = makeStream ();
	int32 written = 0;
	stream->write (state.data (), static_cast<int32> (state.size ()), &written);
	stream->seek (0, IBStream::kIBSeekSet, nullptr);
	if (editController->setComponentState (stream) != kResultOk)
		throw RenderError ("the plug-in's edit controller could not read the processor's state");
}

void HostedPlugin::prepare (double sampleRate, int32 maxBlockSize, SamplePrecision precision)
{
	if (component->getBusCount (kAudio, kInput) < 1 || component->getBusCount (kAudio, kOutput) < 1)
		throw RenderError ("the plug-in has no audio input or no audio output bus");

	SpeakerArrangement input = SpeakerArr::kStereo;
	SpeakerArrangement output = SpeakerArr::kStereo;
	if (audioProcessor->setBusArrangements (&input, 1, &output, 1) != kResultTrue)
		throw RenderError ("the plug-in refuses a stereo input and a stereo output");
	component->activateBus (kAudio, kInput, 0, true);
	component->activateBus (kAudio, kOutput, 0, true);

	sampleSize = precision == SamplePrecision::k64 ? kSample64 : kSample32;
	if (audioProcessor->canProcessSampleSize (sampleSize) != kResultTrue)
		throw RenderError (std::string ("the plug-in cannot process ") +
		                   (sampleSize == kSample64 ? "64" : "32") + "-bit samples");

	if (!(sampleRate > 0.0) || !std::isfinite (sampleRate))
		throw RenderError ("invalid sample rate " + formatRate (sampleRate) + " Hz");
	ProcessSetup setup {kOffline, sampleSize, maxBlockSize, sampleRate};
	if (audioProcessor->setupProcessing (setup) != kResultOk)
		throw RenderError ("the plug-in refuses the sample rate " + formatRate (sampleRate) + " Hz");
}

void HostedPlugin::applyParameterChanges (ParameterChanges& changes)
{
	if (changes.getParameterCount () == 0)
		return;
	start ();
	ProcessData data;
	data.processMode = kOffline;
	data.symbolicSampleSize = sampleSize;
	data.inputParameterChanges = &changes;
	audioProcessor->process (data);
	stop ();
	updateController ();
}

void HostedPlugin::start ()
{
	if (!active)
	{
		component->setActive (true);
		active = true;
	}
	if (!processing)
	{
		audioProcessor->setProcessing (true);
		processing = true;
	}
}

void HostedPlugin::stop ()
{
	if (processing)
	{
		audioProcessor->setProcessing (false);
		processing = false;
	}
	if (active)
	{
		component->setActive (false);
		active = false;
	}
}

tresult HostedPlugin::process (ProcessData& data)
{
	return audioProcessor->process (data);
}

uint32 HostedPlugin::tailSamples ()
{
	return audioProcessor->getTailSamples ();
}

} // namespace Render
} // namespace Calvir
