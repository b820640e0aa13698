// Assertions of the toolkit: a failed check is handed to an installable
// handler; without a handler nothing is reported.
#pragma once

#include <functional>

namespace VSTGUI {

using AssertionHandler =
    std::function<void (const char* filename, const char* line, const char* description)>;

void setAssertionHandler (const AssertionHandler& handler);
bool hasAssertionHandler ();
void doAssert (const char* filename, const char* line, const char* description = nullptr) noexcept;

} // namespace VSTGUI

#define VSTGUI_ASSERT_STRINGIFY2(x) #x
#define VSTGUI_ASSERT_STRINGIFY(x) VSTGUI_ASSERT_STRINGIFY2 (x)
#define vstgui_assert(condition, description)                                                  \
	do                                                                                         \
	{                                                                                          \
		if (!(condition))                                                                      \
			::VSTGUI::doAssert (__FILE__, VSTGUI_ASSERT_STRINGIFY (__LINE__), description);    \
	} while (false)
