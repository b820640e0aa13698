#include "tools/render/renderer.h"

#include "tools/render/audiofile.h"
#include "tools/render/hostedplugin.h"
#include "tools/render/inputsignal.h"
#include "tools/render/parameterchanges.h"
#include "tools/render/progressline.h"
#include "tools/render/rendererror.h"

#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <algorithm>
#include <cmath>

namespace Calvir {
namespace Render {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int32 kNumChannels = 2;

template <typename Sample>
RenderResult renderBlocks (RenderJob& job)
{
	HostedPlugin& plugin = *job.plugin;
	InputSignal& input = *job.input;
	const double sampleRate = input.sampleRate ();
	const int64_t inputFrames = input.frames ();
	const auto block = static_cast<size_t> (job.blockSize);
	const auto maxTail = static_cast<int64_t> (RenderJob::kMaxTailSeconds * sampleRate);

	std::vector<Sample> inputData (kNumChannels * block);
	std::vector<Sample> outputData (kNumChannels * block);
	Sample* inputChannels[kNumChannels] = {inputData.data (), inputData.data () + block};
	Sample* outputChannels[kNumChannels] = {outputData.data (), outputData.data () + block};

	AudioBusBuffers inputBus {};
	inputBus.numChannels = kNumChannels;
	AudioBusBuffers outputBus {};
	outputBus.numChannels = kNumChannels;
	if constexpr (sizeof (Sample) == sizeof (Sample32))
	{
		inputBus.channelBuffers32 = inputChannels;
		outputBus.channelBuffers32 = outputChannels;
	}
	else
	{
		inputBus.channelBuffers64 = inputChannels;
		outputBus.channelBuffers64 = outputChannels;
	}

	std::vector<ScheduledChange> changes = job.changes;
	std::stable_sort (changes.begin (), changes.end (),
	                  [] (const ScheduledChange& a, const ScheduledChange& b) { return a.frame < b.frame; });
	size_t nextChange = 0;
	ParameterChanges inputChanges;
	ParameterChanges outputChanges;

	ProcessContext context {};
	context.sampleRate = sampleRate;
	context.state = ProcessContext::kPlaying;

	ProcessData data;
	data.processMode = kOffline;
	data.symbolicSampleSize = sizeof (Sample) == sizeof (Sample32) ? kSample32 : kSample64;
	data.numInputs = 1;
	data.numOutputs = 1;
	data.inputs = &inputBus;
	data.outputs = &outputBus;
	data.inputParameterChanges = &inputChanges;
	data.outputParameterChanges = &outputChanges;
	data.processContext = &context;

	plugin.start ();
	int64_t position = 0;
	int64_t tail = 0;
	bool tailFixed = false;
	for (;;)
	{
		if (!tailFixed)
		{
			tail = std::min<int64_t> (plugin.tailSamples (), maxTail);
			tailFixed = position >= inputFrames;
		}
		const int64_t total = inputFrames + tail;
		if (position >= total)
			break;
		const auto frames = static_cast<int32> (std::min<int64_t> (job.blockSize, total - position));

		const auto fromInput =
		    static_cast<int32> (std::clamp<int64_t> (inputFrames - position, 0, frames));
		if (fromInput > 0)
			input.read (inputChannels[0], inputChannels[1], fromInput);
		for (auto* channel : inputChannels)
			std::fill (channel + fromInput, channel + block, Sample (0));

		inputChanges.clear ();
		outputChanges.clear ();
		while (nextChange < changes.size () && changes[nextChange].frame < position + frames)
		{
			const auto& change = changes[nextChange++];
			inputChanges.add (change.id, static_cast<int32> (change.frame - position), change.value);
		}

		context.projectTimeSamples = position;
		context.continousTimeSamples = position;
		inputBus.silenceFlags = 0;
		outputBus.silenceFlags = 0;
		data.numSamples = frames;
		if (plugin.process (data) != kResultOk)
			throw RenderError ("the plug-in failed to process the block at " +
			                   std::to_string (static_cast<double> (position) / sampleRate) + " s");
		job.output->write (outputChannels[0], outputChannels[1], frames);
		position += frames;

		if (job.stopRequested && *job.stopRequested)
			throw RenderError ("interrupted; nothing was written");
		if (job.progress)
			job.progress->update (position, total, sampleRate);
	}
	plugin.stop ();
	if (job.progress)
		job.progress->finish ();

	RenderResult result;
	result.frames = position;
	result.changesNotReached = static_cast<int32_t> (changes.size () - nextChange);
	return result;
}

} // namespace

int64_t frameOfTime (double seconds, double sampleRate)
{
	const double frame = std::floor (seconds * sampleRate);
	// Beyond any render: later than every frame a file can hold.
	constexpr double kLastFrame = 9.0e18;
	return frame < kLastFrame ? static_cast<int64_t> (frame) : static_cast<int64_t> (kLastFrame);
}

RenderResult render (RenderJob& job)
{
	if (job.precision == SamplePrecision::k64)
		return renderBlocks<Sample64> (job);
	return renderBlocks<Sample32> (job);
}

} // namespace Render
} // namespace Calvir
