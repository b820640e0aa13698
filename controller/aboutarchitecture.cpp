#include "controller/aboutarchitecture.h"

#include <cerrno>

#if defined(__APPLE__)
#include <sys/sysctl.h>
#include <sys/types.h>
#else
#include <sys/utsname.h>
#endif

namespace Steinberg {
namespace Vst {

namespace {

constexpr char kIntelMacOS[] = "x86_64-macOS";
constexpr char kArmMacOS[] = "arm64-macOS";
constexpr char kArmMacOSTranslated[] = "arm64-macOS (T)";
constexpr char kUnknown[] = "unknown";

constexpr int kQueryFailed = -1;
// The values "sysctl.proc_translated" reports.
constexpr int32_t kNative = 0;
constexpr int32_t kTranslated = 1;
constexpr int32_t kIntelNative = 2;

} // namespace

std::string architectureFromTranslationQuery (const TranslationQuery& query)
{
	if (query.result == kQueryFailed)
		return query.error == ENOENT ? kIntelMacOS : kUnknown;
	switch (query.value)
	{
		case kIntelNative: return kIntelMacOS;
		case kTranslated: return kArmMacOSTranslated;
		case kNative: return kArmMacOS;
		default: return kUnknown;
	}
}

std::string currentArchitecture ()
{
#if defined(__APPLE__)
	int32_t value = 0;
	size_t size = sizeof (value);
	errno = 0;
	const int result = sysctlbyname ("sysctl.proc_translated", &value, &size, nullptr, 0);
	return architectureFromTranslationQuery ({result, errno, value});
#else
	struct utsname names {};
	if (uname (&names) != 0 || names.machine[0] == 0)
		return kUnknown;
	return std::string (names.machine) + "-" + names.sysname;
#endif
}

} // namespace Vst
} // namespace Steinberg
