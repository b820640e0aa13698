// The built-in input used when no file is given: three clicks (left, right,
// both) and a short burst of stereo noise within three seconds, the same
// samples on every run for a given sample rate.
#pragma once

#include "tools/render/inputsignal.h"

#include <random>

namespace Calvir {
namespace Render {

class TestSignal : public InputSignal
{
public:
	static constexpr double kLengthSeconds = 3.0;
	static constexpr double kClickAmplitude = 0.8;
	static constexpr double kBurstStartSeconds = 2.0;
	static constexpr double kBurstLengthSeconds = 0.1;
	static constexpr double kBurstAmplitude = 0.25;

	explicit TestSignal (double sampleRate);

	double sampleRate () const override { return rate; }
	int64_t frames () const override { return totalFrames; }
	void read (float* left, float* right, int32_t count) override;
	void read (double* left, double* right, int32_t count) override;

	// The sample pair of the next frame; advances the position.
	void next (double& left, double& right);

private:
	struct Click
	{
		double seconds;
		double leftGain;
		double rightGain;
		int64_t frame;
	};
	static constexpr int kNumClicks = 3;

	double rate;
	int64_t totalFrames;
	int64_t burstStart;
	int64_t burstEnd;
	int64_t position {0};
	Click clicks[kNumClicks];
	std::minstd_rand noise; // its sequence is fixed by the C++ standard: same samples everywhere

	double nextNoise ();
};

} // namespace Render
} // namespace Calvir
