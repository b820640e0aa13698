#include "support/testparameterchanges.h"

namespace CalvirTestSupport {

using namespace Steinberg;

void TestParamValueQueue::add (int32 sampleOffset, ParamValue value)
{
	points.push_back ({sampleOffset, value});
}

ParamID PLUGIN_API TestParamValueQueue::getParameterId ()
{
	return id;
}

int32 PLUGIN_API TestParamValueQueue::getPointCount ()
{
	if (visited)
		visited ();
	return static_cast<int32> (points.size ());
}

tresult PLUGIN_API TestParamValueQueue::getPoint (int32 index, int32& sampleOffset,
                                                  ParamValue& value)
{
	requested.push_back (index);
	if (failing || index < 0 || index >= static_cast<int32> (points.size ()))
		return kResultFalse;
	sampleOffset = points[static_cast<size_t> (index)].sampleOffset;
	value = points[static_cast<size_t> (index)].value;
	return kResultOk;
}

tresult PLUGIN_API TestParamValueQueue::addPoint (int32 sampleOffset, ParamValue value,
                                                  int32& index)
{
	index = static_cast<int32> (points.size ());
	add (sampleOffset, value);
	return kResultOk;
}

TestParamValueQueue& TestParameterChanges::addQueue (ParamID id)
{
	queues.emplace_back (id);
	entries.push_back (&queues.back ());
	return queues.back ();
}

TestParamValueQueue& TestParameterChanges::set (ParamID id, ParamValue value)
{
	TestParamValueQueue& queue = addQueue (id);
	queue.add (0, value);
	return queue;
}

void TestParameterChanges::addNullEntry ()
{
	entries.push_back (nullptr);
}

void TestParameterChanges::clear ()
{
	entries.clear ();
	queues.clear ();
}

int32 PLUGIN_API TestParameterChanges::getParameterCount ()
{
	if (counted)
		counted ();
	return static_cast<int32> (entries.size ());
}

Vst::IParamValueQueue* PLUGIN_API TestParameterChanges::getParameterData (int32 index)
{
	if (index < 0 || index >= static_cast<int32> (entries.size ()))
		return nullptr;
	return entries[static_cast<size_t> (index)];
}

Vst::IParamValueQueue* PLUGIN_API TestParameterChanges::addParameterData (const ParamID& id,
                                                                          int32& index)
{
	index = static_cast<int32> (entries.size ());
	return &addQueue (id);
}

} // namespace CalvirTestSupport
