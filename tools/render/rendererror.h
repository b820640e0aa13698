// The two kinds of failure the renderer reports: a render that cannot be done
// (exit status 1) and a command line that makes no sense (exit status 2).
// Each carries the one message the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace Calvir {
namespace Render {

class RenderError : public std::runtime_error
{
public:
	explicit RenderError (const std::string& message) : std::runtime_error (message) {}
};

class UsageError : public RenderError
{
public:
	explicit UsageError (const std::string& message) : RenderError (message) {}
};

} // namespace Render
} // namespace Calvir
