// One plug-in instance hosted the VST 3 way: the processor component and its
// edit controller created from the module's factory, both initialised with a
// host context and connected, the processor's state handed to the controller,
// stereo buses negotiated, processing set up, activated, processed and
// finally deactivated, disconnected, terminated and released.
#pragma once

#include "tools/render/commandline.h"
#include "tools/render/pluginmodule.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <memory>
#include <string>
#include <vector>

namespace Calvir {
namespace Render {

class ParameterChanges;

class HostedPlugin
{
public:
	// Creates and initialises processor and controller and gives the
	// controller the processor's state. The module must outlive this object.
	explicit HostedPlugin (PluginModule& module);
	~HostedPlugin ();

	HostedPlugin (const HostedPlugin&) = delete;
	HostedPlugin& operator= (const HostedPlugin&) = delete;

	Steinberg::Vst::IEditController& controller () { return *editController; }

	// The processor's state stream.
	std::vector<char> saveState ();
	// Restores the processor from a state stream and passes it on to the
	// controller; throws RenderError naming origin when the processor refuses it.
	void restoreState (const std::vector<char>& bytes, const std::string& origin);

	// Stereo buses, sample size and sample rate; throws RenderError on refusal.
	void prepare (double sampleRate, Steinberg::int32 maxBlockSize, SamplePrecision precision);

	// Delivers parameter values as a host does outside playback: one block of
	// zero samples carrying the changes, within one activation. The values
	// then stand in the processor's state from the next activation on, and
	// the controller is given that state.
	void applyParameterChanges (ParameterChanges& changes);

	void start ();
	void stop ();
	Steinberg::tresult process (Steinberg::Vst::ProcessData& data);
	Steinberg::uint32 tailSamples ();

private:
	// The SDK's host application counts no references: this object owns it,
	// and it outlives both components.
	std::unique_ptr<Steinberg::Vst::HostApplication> hostContext;
	Steinberg::IPtr<Steinberg::Vst::IComponent> component;
	Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> audioProcessor;
	Steinberg::IPtr<Steinberg::Vst::IEditController> editController;
	Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> componentConnection;
	Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> controllerConnection;
	bool componentInitialized {false};
	bool controllerInitialized {false};
	bool controllerIsComponent {false};
	bool active {false};
	bool processing {false};
	Steinberg::int32 sampleSize {Steinberg::Vst::kSample32};

	void createComponent (PluginModule& module);
	void createController (PluginModule& module);
	void connect ();
	void updateController ();
	void shutDown ();
};

} // namespace Render
} // namespace Calvir
