// The reference the renderer is compared with: the built bundle loaded
// through its factory and its processor driven block by block right here,
// the way the renderer promises to drive it.
#pragma once

#include "tools/audiofixture.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <vector>

namespace CalvirToolTest {

struct DirectPoint
{
	int64_t frame;
	Steinberg::Vst::ParamID id;
	Steinberg::Vst::ParamValue value;
};

struct DirectSetup
{
	double sampleRate {44100.0};
	Steinberg::int32 blockSize {512};
	Steinberg::int32 sampleSize {Steinberg::Vst::kSample32};
	std::vector<char> state;          // given to setState before activation when not empty
	std::vector<DirectPoint> points;  // delivered in the block containing their frame
};

// Processes the stereo input in blocks, then silence for the processor's
// tail (getTailSamples once the input has ended); returns both outputs.
// Empty on any failure to load or set up the processor.
Channels renderDirectly (const Channels& input, const DirectSetup& setup);

// The processor's default state stream.
std::vector<char> defaultProcessorState ();

// Through the controller's parameter object: the normalised value of a
// plain value.
Steinberg::Vst::ParamValue controllerNormalized (Steinberg::Vst::ParamID id, double plain);

} // namespace CalvirToolTest
