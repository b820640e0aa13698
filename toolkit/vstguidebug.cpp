#include "toolkit/vstguidebug.h"

namespace VSTGUI {

namespace {

AssertionHandler& assertionHandler ()
{
	static AssertionHandler handler;
	return handler;
}

} // namespace

void setAssertionHandler (const AssertionHandler& handler)
{
	assertionHandler () = handler;
}

bool hasAssertionHandler ()
{
	return static_cast<bool> (assertionHandler ());
}

void doAssert (const char* filename, const char* line, const char* description) noexcept
{
	auto& handler = assertionHandler ();
	if (!handler)
		return;
	try
	{
		handler (filename, line, description);
	}
	catch (...)
	{
		// An assertion must not turn into an exception crossing the caller.
	}
}

} // namespace VSTGUI
