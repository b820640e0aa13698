#include "tools/render/progressline.h"

#include <unistd.h>

namespace Calvir {
namespace Render {

namespace {

double secondsBetween (std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
	return std::chrono::duration<double> (to - from).count ();
}

} // namespace

ProgressLine::ProgressLine (std::FILE* output, bool enabled)
: stream (output)
, active (enabled && output && ::isatty (::fileno (output)))
, started (Clock::now ())
, lastDrawn (started)
{
}

ProgressLine::~ProgressLine ()
{
	finish ();
}

void ProgressLine::update (int64_t framesDone, int64_t framesTotal, double sampleRate)
{
	if (!active || framesTotal <= 0)
		return;
	const auto now = Clock::now ();
	if (secondsBetween (started, now) < kDelaySeconds)
		return;
	if (shown && secondsBetween (lastDrawn, now) < kIntervalSeconds)
		return;
	lastDrawn = now;
	shown = true;
	const double percent = 100.0 * static_cast<double> (framesDone) / static_cast<double> (framesTotal);
	std::fprintf (stream, "\rcalvir-render: %3.0f%%  %.1f s of %.1f s\033[K", percent,
	              static_cast<double> (framesDone) / sampleRate,
	              static_cast<double> (framesTotal) / sampleRate);
	std::fflush (stream);
}

void ProgressLine::finish ()
{
	if (shown)
	{
		std::fprintf (stream, "\r\033[K");
		std::fflush (stream);
		shown = false;
	}
}

} // namespace Render
} // namespace Calvir
