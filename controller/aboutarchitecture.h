// The machine architecture line of the about box.
#pragma once

#include <cstdint>
#include <string>

namespace Steinberg {
namespace Vst {

// The outcome of asking macOS for "sysctl.proc_translated" (whether the
// process runs translated): the call's return value, errno after it, and the
// 32-bit value it reported.
struct TranslationQuery
{
	int result;
	int error;
	int32_t value;
};

// The architecture text for an outcome of that query:
// | outcome                              | text              |
// | -1 with ENOENT (no such name)        | "x86_64-macOS"    |
// | -1 with any other errno              | "unknown"         |
// | success, value 2                     | "x86_64-macOS"    |
// | success, value 1                     | "arm64-macOS (T)" |
// | success, value 0                     | "arm64-macOS"     |
// | success, any other value             | "unknown"         |
std::string architectureFromTranslationQuery (const TranslationQuery& query);

// The architecture of the machine this module runs on. On macOS the query
// above decides; elsewhere there is no such query, and the machine name that
// the kernel reports is given with the system's name, such as "x86_64-Linux"
// ("unknown" if the kernel does not answer).
std::string currentArchitecture ();

} // namespace Vst
} // namespace Steinberg
