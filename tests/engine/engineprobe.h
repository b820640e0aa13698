// A PlugProcessor that opens the engine's members to the tests, and small
// helpers to drive it sample by sample or block by block.
#pragma once

#include "processor/plugids.h"
#include "processor/plugprocessor.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace CalvirTest {

using namespace Steinberg;
using namespace Steinberg::Vst;

class EngineProbe : public PlugProcessor
{
public:
	using PlugProcessor::advanceSmoothers;
	using PlugProcessor::allocateBuffers;
	using PlugProcessor::buffersHeld;
	using PlugProcessor::clearBuffers;
	using PlugProcessor::configureDelayNetwork;
	using PlugProcessor::freeBuffers;
	using PlugProcessor::paramState;
	using PlugProcessor::prepareEngine;
	using PlugProcessor::processBlock32;
	using PlugProcessor::processBlock64;
	using PlugProcessor::processBlockLiteral32;
	using PlugProcessor::processBlockLiteral64;
	using PlugProcessor::processDelayNetwork;
	using PlugProcessor::processSample;
	using PlugProcessor::raiseFlush;
	using PlugProcessor::reconfigureNetwork;
	using PlugProcessor::reverb;
	using PlugProcessor::sampleRate;
	using PlugProcessor::stepFlush;
	using PlugProcessor::updateCoefficients;
	using PlugProcessor::updateStageCoefficients;

	// Initialised, set up at rate and activated, as a host does it.
	explicit EngineProbe (double rate = 44100.0, int32 sampleSize = kSample64)
	{
		initialize (nullptr);
		setRate (rate, sampleSize);
		setActive (true);
	}
	~EngineProbe () override
	{
		setActive (false);
		terminate ();
	}

	void setRate (double rate, int32 sampleSize = kSample64)
	{
		ProcessSetup setup {kRealtime, sampleSize, 8192, rate};
		setupProcessing (setup);
	}

	// Stores a normalised value as a parameter queue would, then updates.
	void setParameter (ParamID id, ParamValue value)
	{
		ParamValue* fields[] = {nullptr,
		                        &paramState.level,
		                        &paramState.mix,
		                        &paramState.predelay,
		                        &paramState.rvbTime,
		                        &paramState.size,
		                        &paramState.diffusion,
		                        &paramState.hfDamp,
		                        &paramState.lpCut};
		*fields[id] = value;
		updateCoefficients (false);
	}

	// One stereo sample through the default 64-bit loop.
	void step (double inL, double inR, double& outL, double& outR)
	{
		double* in[] = {&inL, &inR};
		double* out[] = {&outL, &outR};
		processBlock64 (in, out, 1);
	}
	void step () // one sample of silence
	{
		double l = 0.0, r = 0.0;
		step (0.0, 0.0, l, r);
	}
};

// A stereo block of 64-bit or 32-bit samples with channel pointer arrays.
template <typename SampleType>
struct StereoBuffer
{
	explicit StereoBuffer (size_t n) : left (n), right (n) {}
	std::vector<SampleType> left;
	std::vector<SampleType> right;
	SampleType* channels[2] {};
	SampleType** ptrs (size_t offset = 0)
	{
		channels[0] = left.data () + offset;
		channels[1] = right.data () + offset;
		return channels;
	}
	size_t size () const { return left.size (); }
};

inline bool sameBits (double a, double b)
{
	uint64_t x = 0, y = 0;
	std::memcpy (&x, &a, sizeof x);
	std::memcpy (&y, &b, sizeof y);
	return x == y;
}

inline bool sameBits (float a, float b)
{
	uint32_t x = 0, y = 0;
	std::memcpy (&x, &a, sizeof x);
	std::memcpy (&y, &b, sizeof y);
	return x == y;
}

} // namespace CalvirTest
