// A stereo source of input frames at a fixed sample rate: an audio file or
// the built-in test signal. Frames are read in order, block by block.
#pragma once

#include <cstdint>

namespace Calvir {
namespace Render {

class InputSignal
{
public:
	virtual ~InputSignal () = default;

	virtual double sampleRate () const = 0; // Hz
	virtual int64_t frames () const = 0;

	// The next count frames, one buffer per channel (a mono source gives the
	// same samples to both). Frames past the end read as zero.
	virtual void read (float* left, float* right, int32_t count) = 0;
	virtual void read (double* left, double* right, int32_t count) = 0;
};

} // namespace Render
} // namespace Calvir
