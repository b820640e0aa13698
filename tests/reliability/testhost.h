// Host-side stand-ins shared by the reliability tests, the long run and the
// fuzz targets: parameter queues, a parameter-change list and the stereo
// buffers of one processing block, in either sample size.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <cmath>
#include <cstring>
#include <deque>
#include <vector>

namespace CalvirTest {

using namespace Steinberg;
using namespace Steinberg::Vst;

// Objects of this file live on the test's stack or in its containers; their
// reference counts are never used to end their lives.
#define CALVIR_TEST_FUNKNOWN(Interface)                                              \
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override          \
	{                                                                                \
		if (FUnknownPrivate::iidEqual (iid, FUnknown::iid) ||                        \
		    FUnknownPrivate::iidEqual (iid, Interface::iid))                         \
		{                                                                            \
			*obj = this;                                                             \
			return kResultOk;                                                        \
		}                                                                            \
		*obj = nullptr;                                                              \
		return kNoInterface;                                                         \
	}                                                                                \
	uint32 PLUGIN_API addRef () override { return 1; }                               \
	uint32 PLUGIN_API release () override { return 1; }

// One parameter's queue of points, in the order they were added.
class ParamQueue final : public IParamValueQueue
{
public:
	explicit ParamQueue (ParamID id = 0) : id (id) {}

	struct Point
	{
		int32 offset;
		ParamValue value;
	};

	ParamID PLUGIN_API getParameterId () override { return id; }
	int32 PLUGIN_API getPointCount () override { return static_cast<int32> (points.size ()); }
	tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, ParamValue& value) override
	{
		if (index < 0 || index >= getPointCount ())
			return kResultFalse;
		sampleOffset = points[static_cast<size_t> (index)].offset;
		value = points[static_cast<size_t> (index)].value;
		return kResultOk;
	}
	tresult PLUGIN_API addPoint (int32 sampleOffset, ParamValue value, int32& index) override
	{
		index = getPointCount ();
		points.push_back ({sampleOffset, value});
		return kResultOk;
	}
	CALVIR_TEST_FUNKNOWN (IParamValueQueue)

	ParamID id;
	std::vector<Point> points;
};

// The input parameter changes of one block. A null entry stands for a queue
// that the host could not deliver.
class ParamChanges final : public IParameterChanges
{
public:
	int32 PLUGIN_API getParameterCount () override { return static_cast<int32> (queues.size ()); }
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) override
	{
		if (index < 0 || index >= getParameterCount ())
			return nullptr;
		ParamQueue* q = queues[static_cast<size_t> (index)];
		return q;
	}
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID& id, int32& index) override
	{
		index = getParameterCount ();
		owned.emplace_back (id);
		queues.push_back (&owned.back ());
		return queues.back ();
	}
	CALVIR_TEST_FUNKNOWN (IParameterChanges)

	// Adds a queue holding one point with the given value.
	void set (ParamID id, ParamValue value)
	{
		int32 index = 0;
		auto* q = addParameterData (id, index);
		q->addPoint (0, value, index);
	}
	void clear ()
	{
		owned.clear ();
		queues.clear ();
	}
	// Appends an entry that delivers no queue.
	void addNullEntry () { queues.push_back (nullptr); }

private:
	std::deque<ParamQueue> owned; // stable addresses

	std::vector<ParamQueue*> queues;
};

// A value that is neither NaN, an infinity nor a subnormal number.
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

// Two channels of input and output in both sample sizes, and the ProcessData
// that points at the ones of the chosen size.
class StereoBlock
{
public:
	explicit StereoBlock (int32 maxSamples)
	: in32 (2, std::vector<float> (static_cast<size_t> (maxSamples)))
	, out32 (2, std::vector<float> (static_cast<size_t> (maxSamples)))
	, in64 (2, std::vector<double> (static_cast<size_t> (maxSamples)))
	, out64 (2, std::vector<double> (static_cast<size_t> (maxSamples)))
	{
	}

	// Fills ProcessData for numSamples samples; inPlace makes the output
	// buses share the input buffers.
	ProcessData& prepare (int32 sampleSize, int32 numSamples, IParameterChanges* changes = nullptr,
	                      bool inPlace = false)
	{
		for (int c = 0; c < 2; ++c)
		{
			p32in[c] = in32[c].data ();
			p32out[c] = inPlace ? in32[c].data () : out32[c].data ();
			p64in[c] = in64[c].data ();
			p64out[c] = inPlace ? in64[c].data () : out64[c].data ();
		}
		inBus = AudioBusBuffers ();
		outBus = AudioBusBuffers ();
		inBus.numChannels = outBus.numChannels = 2;
		if (sampleSize == kSample64)
		{
			inBus.channelBuffers64 = p64in;
			outBus.channelBuffers64 = p64out;
		}
		else
		{
			inBus.channelBuffers32 = p32in;
			outBus.channelBuffers32 = p32out;
		}
		data = ProcessData ();
		data.processMode = kRealtime;
		data.symbolicSampleSize = sampleSize;
		data.numSamples = numSamples;
		data.numInputs = 1;
		data.numOutputs = 1;
		data.inputs = &inBus;
		data.outputs = &outBus;
		data.inputParameterChanges = changes;
		return data;
	}

	// Output sample i of channel c of the last prepared block, widened.
	double output (int c, int32 i) const
	{
		if (data.symbolicSampleSize == kSample64)
			return outBus.channelBuffers64[c][i];
		return outBus.channelBuffers32[c][i];
	}
	// Whether output sample i of channel c is clean in its own sample size
	// (a subnormal float widens to a normal double).
	bool outputIsClean (int c, int32 i) const
	{
		if (data.symbolicSampleSize == kSample64)
			return isCleanSample (outBus.channelBuffers64[c][i]);
		return isCleanSample (outBus.channelBuffers32[c][i]);
	}
	// Sets input sample i of channel c in both sample sizes.
	void setInput (int c, int32 i, double value)
	{
		in64[c][static_cast<size_t> (i)] = value;
		in32[c][static_cast<size_t> (i)] = static_cast<float> (value);
	}

	std::vector<std::vector<float>> in32, out32;
	std::vector<std::vector<double>> in64, out64;
	ProcessData data;
	AudioBusBuffers inBus, outBus;

private:
	float* p32in[2] {};
	float* p32out[2] {};
	double* p64in[2] {};
	double* p64out[2] {};
};

} // namespace CalvirTest
