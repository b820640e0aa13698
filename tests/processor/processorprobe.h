// A PlugProcessor whose parameter record, engine state and processing set-up
// the processor tests can read.
#pragma once

#include "processor/plugprocessor.h"

namespace CalvirProcessorTest {

class ProcessorProbe : public Steinberg::Vst::PlugProcessor
{
public:
	const Steinberg::Vst::PlugState& params () const { return paramState; }
	Steinberg::Vst::PlugState& mutableParams () { return paramState; }
	const Steinberg::Vst::ReverbState& engine () const { return reverb; }
	const Steinberg::Vst::ProcessSetup& setup () const { return processSetup; }
	double currentSampleRate () const { return sampleRate; }
	bool holdsBuffers () const { return buffersHeld (); }
};

} // namespace CalvirProcessorTest
