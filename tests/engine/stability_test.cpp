// Stability at every corner of the parameter space: each of the eight
// parameters at 0 and at 1 (256 combinations), at 44100 and 96000 Hz. Two
// seconds of full-scale noise and two seconds of silence must give finite
// outputs within a bound, and a tail that decays.
#include "engineprobe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace CalvirTest;

namespace {

// Largest output magnitude allowed: 16 (+24 dB). The loudest corners are
// level +12 dB (×3.98), wet only, the longest reverb time in the smallest
// room without damping, where the reverb builds up to about 2 RMS; the
// largest peak measured over all corners is about 10.
constexpr double kOutputLimit = 16.0;
// The last quarter second of the silence against the last quarter second of
// the noise: at least 12 dB down at every corner (the slowest corner, 4 s
// reverb time, decays by about 25 dB in the time).
constexpr double kTailRatio = 0.25;
// Below this RMS a signal counts as gone (the offset's residue).
constexpr double kSilenceFloor = 1e-12;
constexpr int32 kBlock = 512;
constexpr int32 kNumParameters = 8;
constexpr int32 kNumCorners = 1 << kNumParameters;

struct CornerResult
{
	bool finite {true};
	double peak {0.0};
	double noiseRms {0.0};
	double firstTailRms {0.0};
	double lastTailRms {0.0};
};

CornerResult runCorner (double rate, int32 corner)
{
	EngineProbe e (rate);
	ParamValue* fields[kNumParameters] = {&e.paramState.level,     &e.paramState.mix,
	                                      &e.paramState.predelay,  &e.paramState.rvbTime,
	                                      &e.paramState.size,      &e.paramState.diffusion,
	                                      &e.paramState.hfDamp,    &e.paramState.lpCut};
	for (int32 p = 0; p < kNumParameters; ++p)
		*fields[p] = (corner >> p) & 1 ? 1.0 : 0.0;
	e.updateCoefficients (true);

	const auto second = static_cast<size_t> (rate);
	const size_t quarter = second / 4;
	const size_t total = 4 * second;
	std::mt19937 rng (static_cast<unsigned> (corner));
	std::uniform_real_distribution<double> noise (-1.0, 1.0);
	StereoBuffer<double> b (kBlock);
	CornerResult result;
	double noiseEnergy = 0.0, firstEnergy = 0.0, lastEnergy = 0.0;
	for (size_t pos = 0; pos < total; pos += kBlock)
	{
		const auto n = static_cast<int32> (std::min<size_t> (kBlock, total - pos));
		for (int32 i = 0; i < n; ++i)
		{
			const bool loud = pos + static_cast<size_t> (i) < 2 * second;
			b.left[static_cast<size_t> (i)] = loud ? noise (rng) : 0.0;
			b.right[static_cast<size_t> (i)] = loud ? noise (rng) : 0.0;
		}
		e.processBlock64 (b.ptrs (), b.ptrs (), n);
		for (int32 i = 0; i < n; ++i)
		{
			const double l = b.left[static_cast<size_t> (i)];
			const double r = b.right[static_cast<size_t> (i)];
			if (!std::isfinite (l) || !std::isfinite (r))
				result.finite = false;
			result.peak = std::max ({result.peak, std::fabs (l), std::fabs (r)});
			const size_t t = pos + static_cast<size_t> (i);
			const double energy = l * l + r * r;
			if (t >= 2 * second - quarter && t < 2 * second)
				noiseEnergy += energy;
			else if (t >= 2 * second && t < 2 * second + quarter)
				firstEnergy += energy;
			else if (t >= total - quarter)
				lastEnergy += energy;
		}
	}
	const auto norm = static_cast<double> (2 * quarter);
	result.noiseRms = std::sqrt (noiseEnergy / norm);
	result.firstTailRms = std::sqrt (firstEnergy / norm);
	result.lastTailRms = std::sqrt (lastEnergy / norm);
	return result;
}

std::string describe (double rate, int32 corner, const CornerResult& r)
{
	static const char* names[kNumParameters] = {"level", "mix", "predelay", "rvbTime",
	                                            "size",  "diffusion", "hfDamp", "lpCut"};
	std::ostringstream s;
	s << rate << " Hz, corner";
	for (int32 p = 0; p < kNumParameters; ++p)
		s << ' ' << names[p] << '=' << ((corner >> p) & 1);
	s << ": peak " << r.peak << ", noise rms " << r.noiseRms << ", tail rms " << r.firstTailRms << " then "
	  << r.lastTailRms;
	return s.str ();
}

class CornerStability : public testing::TestWithParam<double>
{
};

TEST_P (CornerStability, FiniteBoundedAndDecaying)
{
	const double rate = GetParam ();
	std::vector<CornerResult> results (kNumCorners);
	std::atomic<int32> next {0};
	auto worker = [&] () {
		for (int32 c = next++; c < kNumCorners; c = next++)
			results[static_cast<size_t> (c)] = runCorner (rate, c);
	};
	const unsigned numThreads = std::max (1u, std::min (8u, std::thread::hardware_concurrency ()));
	std::vector<std::thread> threads;
	for (unsigned t = 0; t < numThreads; ++t)
		threads.emplace_back (worker);
	for (std::thread& t : threads)
		t.join ();

	double largestPeak = 0.0;
	for (int32 c = 0; c < kNumCorners; ++c)
	{
		const CornerResult& r = results[static_cast<size_t> (c)];
		largestPeak = std::max (largestPeak, r.peak);
		ASSERT_TRUE (r.finite) << describe (rate, c, r);
		EXPECT_LT (r.peak, kOutputLimit) << describe (rate, c, r);
		EXPECT_GT (r.noiseRms, 0.0) << describe (rate, c, r);
		if (r.lastTailRms > kSilenceFloor)
		{
			EXPECT_LT (r.lastTailRms, r.noiseRms * kTailRatio) << describe (rate, c, r);
			EXPECT_LT (r.lastTailRms, r.firstTailRms) << describe (rate, c, r);
		}
	}
	RecordProperty ("largestPeak", std::to_string (largestPeak));
}

INSTANTIATE_TEST_SUITE_P (Rates, CornerStability, testing::Values (44100.0, 96000.0));

} // namespace
