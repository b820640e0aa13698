// Every sample rate from 4000 to 768000 Hz, common and odd ones: activation,
// one second of noise and two seconds of silence give finite output whose
// tail decays. Rates below 4000 Hz and non-finite rates are refused.
#include "reliability/probeprocessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>

using namespace CalvirTest;

namespace {

constexpr int32 kBlock = 1024;
// Full-scale noise in, default settings: the output stays well inside this.
constexpr double kOutputLimit = 8.0;
// After two seconds of silence the tail of a one-second reverb lies far below
// the noise: at least 60 dB under the level measured while the noise played.
constexpr double kTailRatio = 1e-3;
// Below this RMS the tail counts as gone (the denormal offset's residue).
constexpr double kSilenceFloor = 1e-12;

double rms (const std::vector<double>& x, size_t begin, size_t end)
{
	double sum = 0.0;
	for (size_t i = begin; i < end; ++i)
		sum += x[i] * x[i];
	return std::sqrt (sum / static_cast<double> (end - begin));
}

struct SweepCase
{
	double rate;
	int32 sampleSize;
};

std::string caseName (const testing::TestParamInfo<SweepCase>& info)
{
	std::string name = std::to_string (static_cast<long long> (info.param.rate * 10.0));
	return name + (info.param.sampleSize == kSample64 ? "_Sample64" : "_Sample32");
}

class SampleRateSweep : public testing::TestWithParam<SweepCase>
{
};

TEST_P (SampleRateSweep, NoiseThenSilenceDecays)
{
	const double rate = GetParam ().rate;
	const int32 sampleSize = GetParam ().sampleSize;
	ProcessorSession s;
	ASSERT_EQ (s.setup (rate, sampleSize), kResultOk);
	ASSERT_EQ (s.activate (true), kResultOk);
	// The reverb alone, so the tail is not hidden behind the dry signal.
	s.setParams ({{kMixId, 1.0}});

	const auto noiseSamples = static_cast<size_t> (rate);
	const auto totalSamples = 3 * noiseSamples;
	std::vector<double> mid (totalSamples);
	TestAudioBlock block (sampleSize, kBlock);
	std::mt19937 rng (static_cast<unsigned> (rate));
	std::uniform_real_distribution<double> noise (-1.0, 1.0);
	double peak = 0.0;
	for (size_t pos = 0; pos < totalSamples; pos += kBlock)
	{
		const auto n = static_cast<int32> (std::min<size_t> (kBlock, totalSamples - pos));
		block.reset (sampleSize, n);
		for (int32 i = 0; i < n; ++i)
			for (int c = 0; c < 2; ++c)
				block.setInput (c, i, pos + static_cast<size_t> (i) < noiseSamples ? noise (rng) : 0.0);
		ASSERT_EQ (s->process (block.data ()), kResultOk);
		for (int32 i = 0; i < n; ++i)
		{
			const double l = block.output (0, i);
			const double r = block.output (1, i);
			ASSERT_TRUE (block.outputIsClean (0, i) && block.outputIsClean (1, i))
			    << "sample " << pos + static_cast<size_t> (i) << ": " << l << ", " << r;
			peak = std::max ({peak, std::fabs (l), std::fabs (r)});
			mid[pos + static_cast<size_t> (i)] = 0.5 * (l + r);
		}
	}
	EXPECT_LT (peak, kOutputLimit);

	// Level while the noise plays (its second half, once the reverb has built
	// up) against quarter seconds of silence.
	const double during = rms (mid, noiseSamples / 2, noiseSamples);
	ASSERT_GT (during, 1e-3) << "no reverb at all";
	const size_t quarter = noiseSamples / 4;
	double previous = during;
	for (size_t w = noiseSamples + quarter; w + quarter <= totalSamples; w += quarter)
	{
		const double level = rms (mid, w, w + quarter);
		EXPECT_TRUE (level < previous || level < kSilenceFloor)
		    << level << " after " << previous << ": the tail grows at " << static_cast<double> (w) / rate << " s";
		previous = level;
	}
	EXPECT_LT (previous, during * kTailRatio);
	EXPECT_EQ (s->countUncleanEngineValues (), 0);
}

std::vector<SweepCase> sweepCases ()
{
	const double rates[] = {4000,   4001,   6000,   7350,   8000,   11025,  12000,  16000,
	                        22050,  24000,  29400.5, 32000, 37800,  44056,  44100,  47999.5,
	                        48000,  50000,  64000,  88200,  96000,  100000, 176400, 192000,
	                        250000, 352800, 384000, 500000, 705600, 767999, 768000};
	std::vector<SweepCase> cases;
	int32 i = 0;
	for (double rate : rates)
		cases.push_back ({rate, (i++ % 2) ? kSample32 : kSample64});
	return cases;
}

INSTANTIATE_TEST_SUITE_P (Rates, SampleRateSweep, testing::ValuesIn (sweepCases ()), caseName);

// Rates below 4000 Hz and non-finite rates are refused; the previous rate
// stays, and activation and processing at it work as before.
TEST (SampleRateRefusal, KeepsThePreviousRate)
{
	const double refused[] = {0.0,
	                          -0.0,
	                          -48000.0,
	                          1.0,
	                          3999.0,
	                          3999.999,
	                          std::numeric_limits<double>::denorm_min (),
	                          std::numeric_limits<double>::quiet_NaN (),
	                          std::numeric_limits<double>::infinity (),
	                          -std::numeric_limits<double>::infinity (),
	                          -std::numeric_limits<double>::max ()};
	for (int32 sampleSize : {kSample32, kSample64})
	{
		ProcessorSession s;
		ASSERT_EQ (s.setup (22050.0, sampleSize), kResultOk);
		const uint32 tail = s->getTailSamples ();
		for (double rate : refused)
		{
			EXPECT_EQ (s.setup (rate, sampleSize), kResultFalse) << rate;
			EXPECT_EQ (s->currentSampleRate (), 22050.0) << rate;
			EXPECT_EQ (s->getTailSamples (), tail) << rate;
		}
		ASSERT_EQ (s.activate (true), kResultOk);
		EXPECT_EQ (s->engine ().bufferLength, 5517);
		TestAudioBlock block (sampleSize, 256);
		for (int32 i = 0; i < 256; ++i)
			block.setInput (0, i, i == 0 ? 1.0 : 0.0);
		ASSERT_EQ (s->process (block.data ()), kResultOk);
		for (int32 i = 0; i < 256; ++i)
			ASSERT_TRUE (std::isfinite (block.output (0, i)) && std::isfinite (block.output (1, i)));
	}
}

} // namespace
