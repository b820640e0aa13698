#include "tools/render/parameterchanges.h"

#include <algorithm>

namespace Calvir {
namespace Render {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

template <typename Interface>
tresult answerInterface (Interface* self, const TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	if (FUnknownPrivate::iidEqual (iid, Interface::iid) || FUnknownPrivate::iidEqual (iid, FUnknown::iid))
	{
		*obj = self;
		return kResultOk;
	}
	*obj = nullptr;
	return kNoInterface;
}

} // namespace

//------------------------------------------------------------------------
ParamValueQueue::ParamValueQueue (ParamID id) : paramId (id)
{
	points.reserve (kReservedPoints);
}

void ParamValueQueue::reset (ParamID id)
{
	paramId = id;
	points.clear ();
}

int32 PLUGIN_API ParamValueQueue::getPointCount ()
{
	return static_cast<int32> (points.size ());
}

tresult PLUGIN_API ParamValueQueue::getPoint (int32 index, int32& sampleOffset, ParamValue& value)
{
	if (index < 0 || index >= getPointCount ())
		return kResultFalse;
	sampleOffset = points[static_cast<size_t> (index)].offset;
	value = points[static_cast<size_t> (index)].value;
	return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint (int32 sampleOffset, ParamValue value, int32& index)
{
	auto place = std::lower_bound (points.begin (), points.end (), sampleOffset,
	                               [] (const Point& p, int32 offset) { return p.offset < offset; });
	if (place != points.end () && place->offset == sampleOffset)
		place->value = value;
	else
	{
		try
		{
			place = points.insert (place, Point {sampleOffset, value});
		}
		catch (...)
		{
			return kOutOfMemory;
		}
	}
	index = static_cast<int32> (place - points.begin ());
	return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::queryInterface (const TUID iid, void** obj)
{
	return answerInterface<IParamValueQueue> (this, iid, obj);
}

//------------------------------------------------------------------------
void ParameterChanges::add (ParamID id, int32 sampleOffset, ParamValue value)
{
	int32 index = 0;
	if (auto* queue = addParameterData (id, index))
		queue->addPoint (sampleOffset, value, index);
}

int32 PLUGIN_API ParameterChanges::getParameterCount ()
{
	return usedQueues;
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData (int32 index)
{
	if (index < 0 || index >= usedQueues)
		return nullptr;
	return queues[static_cast<size_t> (index)].get ();
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData (const ParamID& id, int32& index)
{
	for (int32 i = 0; i < usedQueues; ++i)
	{
		if (queues[static_cast<size_t> (i)]->getParameterId () == id)
		{
			index = i;
			return queues[static_cast<size_t> (i)].get ();
		}
	}
	if (usedQueues == static_cast<int32> (queues.size ()))
	{
		try
		{
			queues.push_back (std::make_unique<ParamValueQueue> (id));
		}
		catch (...)
		{
			return nullptr;
		}
	}
	else
		queues[static_cast<size_t> (usedQueues)]->reset (id);
	index = usedQueues++;
	return queues[static_cast<size_t> (index)].get ();
}

tresult PLUGIN_API ParameterChanges::queryInterface (const TUID iid, void** obj)
{
	return answerInterface<IParameterChanges> (this, iid, obj);
}

} // namespace Render
} // namespace Calvir
