// The plug-in's parameters as its edit controller publishes them, and the
// translation of what a user types ("Rvb Time", "2.5", "on") into parameter
// IDs and normalised values through the controller's own conversions.
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <ostream>
#include <string>
#include <vector>

namespace Calvir {
namespace Render {

struct ParameterEntry
{
	Steinberg::Vst::ParamID id {0};
	std::string title; // UTF-8
	std::string units; // UTF-8, may be empty
	Steinberg::int32 stepCount {0};
	Steinberg::Vst::ParamValue defaultNormalized {0.0};
};

class ParameterTable
{
public:
	// Reads every parameter's information from the controller, which must
	// stay alive as long as this table.
	explicit ParameterTable (Steinberg::Vst::IEditController& controller);

	const std::vector<ParameterEntry>& entries () const { return parameters; }

	// The parameter with this title (exact, else ignoring letter case).
	// Throws UsageError listing the valid titles when there is none.
	const ParameterEntry& find (const std::string& title) const;

	// The normalised value of a typed value: one of a stepped parameter's
	// display strings ("Off", "On", any letter case) or a plain number,
	// optionally followed by the parameter's units. Throws UsageError for
	// text that is no value, and for a number outside the parameter's range
	// (naming the range).
	Steinberg::Vst::ParamValue normalizedFromText (const ParameterEntry& entry,
	                                               const std::string& text) const;

	// The controller's display string of a normalised value.
	std::string display (const ParameterEntry& entry, Steinberg::Vst::ParamValue normalized) const;
	// "0.20 to 4.00 s", or "Off, On" for a stepped parameter.
	std::string rangeText (const ParameterEntry& entry) const;

	// One line per parameter: ID, title, units, range, default and current
	// display strings, under a heading line.
	void print (std::ostream& out) const;

private:
	Steinberg::Vst::IEditController& controller;
	std::vector<ParameterEntry> parameters;

	std::string titleList () const;
};

} // namespace Render
} // namespace Calvir
