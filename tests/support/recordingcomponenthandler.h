// The host's side of a controller's edits: every call as a line ("begin 3",
// "perform 3", "end 3") and every performed value, in order.
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "support/testfunknown.h"

#include <string>
#include <vector>

namespace CalvirTestSupport {

class RecordingComponentHandler : public Steinberg::Vst::IComponentHandler
{
public:
	Steinberg::tresult PLUGIN_API beginEdit (Steinberg::Vst::ParamID id) override
	{
		log.push_back ("begin " + std::to_string (id));
		return Steinberg::kResultOk;
	}
	Steinberg::tresult PLUGIN_API performEdit (Steinberg::Vst::ParamID id,
	                                           Steinberg::Vst::ParamValue value) override
	{
		log.push_back ("perform " + std::to_string (id));
		values.push_back (value);
		return Steinberg::kResultOk;
	}
	Steinberg::tresult PLUGIN_API endEdit (Steinberg::Vst::ParamID id) override
	{
		log.push_back ("end " + std::to_string (id));
		return Steinberg::kResultOk;
	}
	Steinberg::tresult PLUGIN_API restartComponent (Steinberg::int32) override
	{
		return Steinberg::kResultOk;
	}
	CALVIR_TEST_SUPPORT_FUNKNOWN (Steinberg::Vst::IComponentHandler)

	std::vector<std::string> log;
	std::vector<Steinberg::Vst::ParamValue> values;
};

} // namespace CalvirTestSupport
