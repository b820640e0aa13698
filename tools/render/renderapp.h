// The calvir-render program: command line in, exit status out. Everything
// the user sees is written to out (results, --list, --help) and err (errors,
// warnings, the progress line's terminal is standard error itself).
#pragma once

#include <csignal>
#include <ostream>

namespace Calvir {
namespace Render {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// stopRequested, when given, is polled between blocks (set by a signal
// handler) and ends the render without writing anything.
int runRenderApp (int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                  const volatile std::sig_atomic_t* stopRequested = nullptr);

} // namespace Render
} // namespace Calvir
