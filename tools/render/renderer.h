// The render loop: the input in blocks of a fixed size through the hosted
// processor, then the processor's tail, with scheduled parameter changes
// delivered in the block that contains their time, and every output block
// written to the file.
#pragma once

#include "tools/render/commandline.h"

#include "pluginterfaces/vst/vsttypes.h"

#include <csignal>
#include <cstdint>
#include <vector>

namespace Calvir {
namespace Render {

class AudioFileWriter;
class HostedPlugin;
class InputSignal;
class ProgressLine;

// A parameter change at a frame of the render.
struct ScheduledChange
{
	int64_t frame {0};
	Steinberg::Vst::ParamID id {0};
	Steinberg::Vst::ParamValue value {0.0};
};

struct RenderJob
{
	static constexpr double kMaxTailSeconds = 600.0; // caps an endless tail

	HostedPlugin* plugin {nullptr};
	InputSignal* input {nullptr};
	AudioFileWriter* output {nullptr};
	ProgressLine* progress {nullptr};
	const volatile std::sig_atomic_t* stopRequested {nullptr}; // optional
	int32_t blockSize {RenderOptions::kDefaultBlockSize};
	SamplePrecision precision {SamplePrecision::k32};
	std::vector<ScheduledChange> changes; // in any order
};

struct RenderResult
{
	int64_t frames {0};           // frames written
	int32_t changesNotReached {0}; // scheduled after the end of the render
};

// The frame of a time in seconds: the frame whose span contains it.
int64_t frameOfTime (double seconds, double sampleRate);

// Activates the plug-in, renders input and tail, deactivates it again.
// The tail length (the processor's getTailSamples) is read before each block
// until the input has ended and then stays fixed. Throws RenderError when
// the processor fails or a stop is requested.
RenderResult render (RenderJob& job);

} // namespace Render
} // namespace Calvir
