// The input parameter changes of one block as a host hands them over: a list
// of queues, each with its points. Queues record which point indices were
// asked for, and can be made to fail every point request. Hooks let a test
// act at the moment the processor reads the changes.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "support/testfunknown.h"

#include <deque>
#include <functional>
#include <vector>

namespace CalvirTestSupport {

using Steinberg::int32;
using Steinberg::tresult;
using Steinberg::Vst::ParamID;
using Steinberg::Vst::ParamValue;

class TestParamValueQueue final : public Steinberg::Vst::IParamValueQueue
{
public:
	struct Point
	{
		int32 sampleOffset;
		ParamValue value;
	};

	explicit TestParamValueQueue (ParamID id) : id (id) {}

	// Appends a point; points keep the order in which they were added.
	void add (int32 sampleOffset, ParamValue value);
	// Every later getPoint answers kResultFalse.
	void failPointRequests () { failing = true; }
	// The indices that getPoint was called with, in order.
	const std::vector<int32>& requestedIndices () const { return requested; }
	// Runs hook whenever the processor asks for the point count, which is
	// where it begins with the queue.
	void whenVisited (std::function<void ()> hook) { visited = std::move (hook); }

	ParamID PLUGIN_API getParameterId () override;
	int32 PLUGIN_API getPointCount () override;
	tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, ParamValue& value) override;
	tresult PLUGIN_API addPoint (int32 sampleOffset, ParamValue value, int32& index) override;
	CALVIR_TEST_SUPPORT_FUNKNOWN (Steinberg::Vst::IParamValueQueue)

private:
	ParamID id;
	std::vector<Point> points;
	std::vector<int32> requested;
	bool failing {false};
	std::function<void ()> visited;
};

class TestParameterChanges final : public Steinberg::Vst::IParameterChanges
{
public:
	// Appends an empty queue for id and returns it.
	TestParamValueQueue& addQueue (ParamID id);
	// Appends a queue for id holding one point with value at offset 0.
	TestParamValueQueue& set (ParamID id, ParamValue value);
	// Appends an entry that delivers no queue (getParameterData answers null).
	void addNullEntry ();
	void clear ();
	// Runs hook whenever the processor asks for the number of queues, which
	// is where it begins with the block's changes.
	void whenCounted (std::function<void ()> hook) { counted = std::move (hook); }

	int32 PLUGIN_API getParameterCount () override;
	Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData (int32 index) override;
	Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData (const ParamID& id,
	                                                               int32& index) override;
	CALVIR_TEST_SUPPORT_FUNKNOWN (Steinberg::Vst::IParameterChanges)

private:
	std::deque<TestParamValueQueue> queues; // stable addresses
	std::vector<TestParamValueQueue*> entries;
	std::function<void ()> counted;
};

} // namespace CalvirTestSupport
