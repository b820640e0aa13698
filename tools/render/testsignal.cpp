#include "tools/render/testsignal.h"

#include <cmath>

namespace Calvir {
namespace Render {

namespace {

int64_t frameAt (double seconds, double sampleRate)
{
	return static_cast<int64_t> (std::floor (seconds * sampleRate + 0.5));
}

constexpr std::minstd_rand::result_type kNoiseSeed = 1;

} // namespace

TestSignal::TestSignal (double sampleRate)
: rate (sampleRate)
, totalFrames (frameAt (kLengthSeconds, sampleRate))
, burstStart (frameAt (kBurstStartSeconds, sampleRate))
, burstEnd (frameAt (kBurstStartSeconds + kBurstLengthSeconds, sampleRate))
, clicks {{0.25, 1.0, 0.0, 0}, {0.75, 0.0, 1.0, 0}, {1.25, 1.0, 1.0, 0}}
, noise (kNoiseSeed)
{
	for (auto& click : clicks)
		click.frame = frameAt (click.seconds, sampleRate);
}

double TestSignal::nextNoise ()
{
	// Uniform in [-1, 1] from the generator's range min () .. max ().
	const double range = static_cast<double> (std::minstd_rand::max () - std::minstd_rand::min ());
	return 2.0 * (static_cast<double> (noise () - std::minstd_rand::min ()) / range) - 1.0;
}

void TestSignal::next (double& left, double& right)
{
	left = 0.0;
	right = 0.0;
	if (position < totalFrames)
	{
		for (const auto& click : clicks)
		{
			if (click.frame == position)
			{
				left += kClickAmplitude * click.leftGain;
				right += kClickAmplitude * click.rightGain;
			}
		}
		if (position >= burstStart && position < burstEnd)
		{
			left += kBurstAmplitude * nextNoise ();
			right += kBurstAmplitude * nextNoise ();
		}
	}
	++position;
}

void TestSignal::read (float* left, float* right, int32_t count)
{
	for (int32_t i = 0; i < count; ++i)
	{
		double l = 0.0;
		double r = 0.0;
		next (l, r);
		left[i] = static_cast<float> (l);
		right[i] = static_cast<float> (r);
	}
}

void TestSignal::read (double* left, double* right, int32_t count)
{
	for (int32_t i = 0; i < count; ++i)
		next (left[i], right[i]);
}

} // namespace Render
} // namespace Calvir
