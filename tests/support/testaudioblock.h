// The buffers of one processing block as a host hands them over: one input
// and one output bus of numChannels channels each, in 32-bit or 64-bit
// samples, and the ProcessData that points at them. Tests may change any
// field of data(), inputBus() or outputBus() afterwards (channel counts,
// null pointers) to build malformed blocks. One block can serve a whole run
// of blocks: reset() makes it fresh for the next one.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cmath>
#include <vector>

namespace CalvirTestSupport {

using Steinberg::int32;

// A sample that is neither NaN, an infinity nor a subnormal number.
inline bool isCleanSample (double v)
{
	const int c = std::fpclassify (v);
	return c == FP_ZERO || c == FP_NORMAL;
}
inline bool isCleanSample (float v)
{
	const int c = std::fpclassify (v);
	return c == FP_ZERO || c == FP_NORMAL;
}

class TestAudioBlock
{
public:
	// Every input and output sample starts at 0.
	TestAudioBlock (int32 symbolicSampleSize, int32 numSamples, int32 numChannels = 2);

	TestAudioBlock (const TestAudioBlock&) = delete;
	TestAudioBlock& operator= (const TestAudioBlock&) = delete;

	// Makes the block as the constructor left it, for numSamples samples (at
	// most as many as it was made with) in the given sample size: both buses
	// point at the block's own buffers again and ProcessData holds nothing
	// else. The samples keep their values.
	Steinberg::Vst::ProcessData& reset (int32 symbolicSampleSize, int32 numSamples);

	Steinberg::Vst::ProcessData& data () { return processData; }
	Steinberg::Vst::AudioBusBuffers& inputBus () { return inBus; }
	Steinberg::Vst::AudioBusBuffers& outputBus () { return outBus; }

	int32 numSamples () const { return processData.numSamples; }
	int32 sampleSize () const { return processData.symbolicSampleSize; }

	// Sample i of channel c, widened to double; set rounds to the block's size.
	// Output reads go to the channel's own storage when its pointer was nulled.
	double input (int32 c, int32 i) const;
	double output (int32 c, int32 i) const;
	void setInput (int32 c, int32 i, double value);
	void setOutput (int32 c, int32 i, double value);
	// Whether output sample i of channel c is clean in the block's own sample
	// size (a subnormal float widens to a normal double).
	bool outputIsClean (int32 c, int32 i) const;
	// Every output sample of every channel set to value.
	void fillOutputs (double value);

	// The output bus uses the input bus's buffers (processing in place).
	void useInputsAsOutputs ();

	void setParameterChanges (Steinberg::Vst::IParameterChanges* changes)
	{
		processData.inputParameterChanges = changes;
	}

private:
	int32 numChannels;
	std::vector<std::vector<float>> in32, out32;
	std::vector<std::vector<double>> in64, out64;
	std::vector<float*> inPtr32, outPtr32;
	std::vector<double*> inPtr64, outPtr64;
	Steinberg::Vst::AudioBusBuffers inBus, outBus;
	Steinberg::Vst::ProcessData processData;
};

} // namespace CalvirTestSupport
