// The host's side of a block's parameter changes: one queue of (sample
// offset, normalised value) points per parameter, handed to the processor in
// ProcessData. Both objects belong to the host and outlive every process call,
// so their reference counts are nominal.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <memory>
#include <vector>

namespace Calvir {
namespace Render {

class ParamValueQueue : public Steinberg::Vst::IParamValueQueue
{
public:
	static constexpr Steinberg::int32 kReservedPoints = 16;

	explicit ParamValueQueue (Steinberg::Vst::ParamID id);
	virtual ~ParamValueQueue () = default;

	void reset (Steinberg::Vst::ParamID id);

	Steinberg::Vst::ParamID PLUGIN_API getParameterId () SMTG_OVERRIDE { return paramId; }
	Steinberg::int32 PLUGIN_API getPointCount () SMTG_OVERRIDE;
	Steinberg::tresult PLUGIN_API getPoint (Steinberg::int32 index, Steinberg::int32& sampleOffset,
	                                        Steinberg::Vst::ParamValue& value) SMTG_OVERRIDE;
	// Keeps the points ordered by offset; a point at an offset already held
	// replaces that point's value.
	Steinberg::tresult PLUGIN_API addPoint (Steinberg::int32 sampleOffset,
	                                        Steinberg::Vst::ParamValue value,
	                                        Steinberg::int32& index) SMTG_OVERRIDE;

	Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
	Steinberg::uint32 PLUGIN_API addRef () SMTG_OVERRIDE { return 1; }
	Steinberg::uint32 PLUGIN_API release () SMTG_OVERRIDE { return 1; }

private:
	struct Point
	{
		Steinberg::int32 offset;
		Steinberg::Vst::ParamValue value;
	};
	Steinberg::Vst::ParamID paramId;
	std::vector<Point> points;
};

class ParameterChanges : public Steinberg::Vst::IParameterChanges
{
public:
	ParameterChanges () = default;
	virtual ~ParameterChanges () = default;

	// Empties the list for the next block; the queues are kept for reuse.
	void clear () { usedQueues = 0; }
	// Adds one point to the queue of the given parameter.
	void add (Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset,
	          Steinberg::Vst::ParamValue value);

	Steinberg::int32 PLUGIN_API getParameterCount () SMTG_OVERRIDE;
	Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData (Steinberg::int32 index) SMTG_OVERRIDE;
	Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData (const Steinberg::Vst::ParamID& id,
	                                                               Steinberg::int32& index) SMTG_OVERRIDE;

	Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
	Steinberg::uint32 PLUGIN_API addRef () SMTG_OVERRIDE { return 1; }
	Steinberg::uint32 PLUGIN_API release () SMTG_OVERRIDE { return 1; }

private:
	// Queues live on the heap so the pointers handed out stay valid.
	std::vector<std::unique_ptr<ParamValueQueue>> queues;
	Steinberg::int32 usedQueues {0};
};

} // namespace Render
} // namespace Calvir
