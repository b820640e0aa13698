// The progress line on standard error: shown only when that is a terminal
// and the render has taken a noticeable time, redrawn a few times a second,
// and wiped when the render ends.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace Calvir {
namespace Render {

class ProgressLine
{
public:
	static constexpr double kDelaySeconds = 0.5;     // nothing shown for shorter renders
	static constexpr double kIntervalSeconds = 0.1;  // between redraws

	// Shows nothing when disabled or when the stream is not a terminal.
	ProgressLine (std::FILE* stream, bool enabled);
	~ProgressLine ();

	void update (int64_t framesDone, int64_t framesTotal, double sampleRate);
	void finish ();

private:
	using Clock = std::chrono::steady_clock;
	std::FILE* stream;
	bool active;
	bool shown {false};
	Clock::time_point started;
	Clock::time_point lastDrawn;
};

} // namespace Render
} // namespace Calvir
