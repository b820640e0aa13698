#include "tools/render/parametertable.h"

#include "tools/render/rendererror.h"

#include "base/source/fstring.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <iomanip>
#include <sstream>

namespace Calvir {
namespace Render {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::string toUtf8 (const TChar* text)
{
	String converted (text);
	converted.toMultiByte (kCP_Utf8);
	return converted.text8 ();
}

std::string trim (const std::string& text)
{
	auto first = text.find_first_not_of (" \t");
	if (first == std::string::npos)
		return {};
	auto last = text.find_last_not_of (" \t");
	return text.substr (first, last - first + 1);
}

bool equalIgnoringCase (const std::string& a, const std::string& b)
{
	return a.size () == b.size () &&
	       std::equal (a.begin (), a.end (), b.begin (), [] (char x, char y) {
		       return std::tolower (static_cast<unsigned char> (x)) ==
		              std::tolower (static_cast<unsigned char> (y));
	       });
}

std::string withUnits (const std::string& value, const std::string& units)
{
	return units.empty () ? value : value + " " + units;
}

} // namespace

ParameterTable::ParameterTable (IEditController& editController) : controller (editController)
{
	const int32 count = controller.getParameterCount ();
	for (int32 index = 0; index < count; ++index)
	{
		ParameterInfo info {};
		if (controller.getParameterInfo (index, info) != kResultOk)
			continue;
		ParameterEntry entry;
		entry.id = info.id;
		entry.title = toUtf8 (info.title);
		entry.units = toUtf8 (info.units);
		entry.stepCount = info.stepCount;
		entry.defaultNormalized = info.defaultNormalizedValue;
		parameters.push_back (entry);
	}
}

std::string ParameterTable::titleList () const
{
	std::string list;
	for (const auto& entry : parameters)
		list += (list.empty () ? "\"" : ", \"") + entry.title + "\"";
	return list;
}

const ParameterEntry& ParameterTable::find (const std::string& title) const
{
	for (const auto& entry : parameters)
		if (entry.title == title)
			return entry;
	for (const auto& entry : parameters)
		if (equalIgnoringCase (entry.title, title))
			return entry;
	throw UsageError ("unknown parameter \"" + title + "\"; the parameters are " + titleList ());
}

ParamValue ParameterTable::normalizedFromText (const ParameterEntry& entry,
                                               const std::string& text) const
{
	const std::string value = trim (text);

	// A stepped parameter also takes its display strings.
	if (entry.stepCount > 0)
	{
		for (int32 step = 0; step <= entry.stepCount; ++step)
		{
			const ParamValue normalized = static_cast<ParamValue> (step) / entry.stepCount;
			if (equalIgnoringCase (display (entry, normalized), value))
				return normalized;
		}
	}

	char* end = nullptr;
	errno = 0;
	const double plain = value.empty () ? 0.0 : std::strtod (value.c_str (), &end);
	const bool parsed = !value.empty () && errno == 0 && end != value.c_str ();
	const std::string rest = parsed ? trim (end) : value;
	if (!parsed || !(rest.empty () || (!entry.units.empty () && equalIgnoringCase (rest, entry.units))))
		throw UsageError ("\"" + text + "\" is not a value of \"" + entry.title + "\" (range " +
		                  rangeText (entry) + ")");

	const ParamValue normalized = controller.plainParamToNormalized (entry.id, plain);
	if (!(normalized >= 0.0 && normalized <= 1.0))
		throw UsageError ("value " + value + " of \"" + entry.title + "\" is outside its range " +
		                  rangeText (entry));
	return normalized;
}

std::string ParameterTable::display (const ParameterEntry& entry, ParamValue normalized) const
{
	String128 text {};
	if (controller.getParamStringByValue (entry.id, normalized, text) != kResultOk)
		return "?";
	return toUtf8 (text);
}

std::string ParameterTable::rangeText (const ParameterEntry& entry) const
{
	if (entry.stepCount > 0)
	{
		std::string steps;
		for (int32 step = 0; step <= entry.stepCount; ++step)
			steps += (step ? ", " : "") +
			         display (entry, static_cast<ParamValue> (step) / entry.stepCount);
		return steps;
	}
	return withUnits (display (entry, 0.0) + " to " + display (entry, 1.0), entry.units);
}

void ParameterTable::print (std::ostream& out) const
{
	struct Row
	{
		std::string cells[6];
	};
	std::vector<Row> rows;
	rows.push_back ({{"ID", "Title", "Units", "Range", "Default", "Current"}});
	for (const auto& entry : parameters)
	{
		rows.push_back ({{std::to_string (entry.id), entry.title, entry.units,
		                  entry.stepCount > 0 ? rangeText (entry)
		                                      : display (entry, 0.0) + " to " + display (entry, 1.0),
		                  display (entry, entry.defaultNormalized),
		                  display (entry, controller.getParamNormalized (entry.id))}});
	}

	size_t widths[6] {};
	for (const auto& row : rows)
		for (size_t column = 0; column < 6; ++column)
			widths[column] = std::max (widths[column], row.cells[column].size ());

	for (const auto& row : rows)
	{
		std::string line;
		for (size_t column = 0; column < 6; ++column)
		{
			std::string cell = row.cells[column];
			if (column == 0)
				cell.insert (0, widths[0] - cell.size (), ' ');
			else if (column < 5)
				cell.append (widths[column] - cell.size (), ' ');
			line += (column ? "  " : "") + cell;
		}
		out << line << "\n";
	}
}

} // namespace Render
} // namespace Calvir
