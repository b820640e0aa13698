// The long run: an hour of audio (by default) at 48000 Hz through one
// processor, with random automation of every parameter every few blocks,
// random block sizes, bypass now and then, and a switch of sample size every
// quarter of an hour. Every output sample must be finite and not subnormal,
// the output must stay bounded, and its DC must not grow. Not part of the
// default test run: scripts/longrun.sh builds and starts it.
//
// Usage: calvir_longrun [--seconds S] [--rate HZ] [--seed N]
#include "reliability/probeprocessor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace CalvirTest;

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int32 kMaxBlock = 2048;
constexpr int32 kMinBlock = 16;
constexpr int32 kMaxBlocksBetweenAutomation = 8;
constexpr double kSecondsPerSampleSizeSwitch = 900.0;
constexpr double kDcWindowSeconds = 60.0;
// Full-scale input at +12 dB output level with the longest, largest room:
// the output stays far inside this.
constexpr double kOutputLimit = 64.0;
// The DC of one minute of output: zero-mean input gives a few 1e-3 at most.
constexpr double kDcLimit = 0.02;
// The last windows' mean DC may not exceed the first ones' by more than this.
constexpr double kDcGrowthLimit = 5e-3;
constexpr int kDcCompareWindows = 5;

struct Options
{
	double seconds {3600.0};
	double rate {48000.0};
	unsigned seed {20240601};
};

bool parse (int argc, char** argv, Options& o)
{
	for (int i = 1; i < argc; ++i)
	{
		const std::string a = argv[i];
		if (i + 1 >= argc)
			return false;
		if (a == "--seconds")
			o.seconds = std::atof (argv[++i]);
		else if (a == "--rate")
			o.rate = std::atof (argv[++i]);
		else if (a == "--seed")
			o.seed = static_cast<unsigned> (std::strtoul (argv[++i], nullptr, 10));
		else
			return false;
	}
	return o.seconds > 0.0 && o.rate >= 4000.0;
}

// The input: segments of noise, sines, impulses and silence of random length
// and amplitude, all with zero mean.
class InputSignal
{
public:
	InputSignal (std::mt19937& rng, double rate) : rng (rng), rate (rate) {}

	double next (int c)
	{
		if (c == 0 && remaining-- <= 0)
			newSegment ();
		switch (kind)
		{
			case 0: return 0.0;
			case 1: return amplitude * uniform (rng);
			case 2: phase[c] += increment * (c == 0 ? 1.0 : 1.01); return amplitude * std::sin (phase[c]);
			default: return (remaining % impulseSpacing == 0) ? amplitude * (c == 0 ? 1.0 : -1.0) : 0.0;
		}
	}

private:
	void newSegment ()
	{
		kind = static_cast<int> (rng () % 4);
		remaining = static_cast<int64_t> (rate * (0.2 + 8.0 * unit (rng)));
		amplitude = std::pow (10.0, -4.0 * unit (rng)); // 0 to -80 dBFS
		increment = kTwoPi * 20.0 * std::pow (1000.0, unit (rng)) / rate;
		impulseSpacing = 1 + static_cast<int64_t> (rate * unit (rng));
	}

	std::mt19937& rng;
	double rate;
	std::uniform_real_distribution<double> uniform {-1.0, 1.0};
	std::uniform_real_distribution<double> unit {0.0, 1.0};
	int kind {0};
	int64_t remaining {0};
	double amplitude {0.0};
	double increment {0.0};
	double phase[2] {};
	int64_t impulseSpacing {1};
};

} // namespace

int main (int argc, char** argv)
{
	Options opt;
	if (!parse (argc, argv, opt))
	{
		std::fprintf (stderr, "usage: %s [--seconds S] [--rate HZ] [--seed N]\n", argv[0]);
		return 2;
	}
	std::mt19937 rng (opt.seed);
	std::uniform_real_distribution<double> unit (0.0, 1.0);
	InputSignal input (rng, opt.rate);

	ProcessorSession s;
	int32 sampleSize = kSample64;
	if (s.setup (opt.rate, sampleSize, kMaxBlock) != kResultOk || s.activate (true) != kResultOk)
	{
		std::fprintf (stderr, "FAIL: set-up or activation refused\n");
		return 1;
	}

	const auto total = static_cast<int64_t> (opt.seconds * opt.rate);
	const auto switchEvery = static_cast<int64_t> (kSecondsPerSampleSizeSwitch * opt.rate);
	const auto dcWindow = static_cast<int64_t> (kDcWindowSeconds * opt.rate);
	TestAudioBlock block (sampleSize, kMaxBlock);
	TestParameterChanges changes;
	std::vector<double> dcMeans[2];
	double dcSum[2] {};
	int64_t dcCount = 0;
	double peak = 0.0;
	int64_t automationEvents = 0, bypassedBlocks = 0, switches = 0;
	int32 blocksToAutomation = 1;
	bool bypass = false;
	int64_t nextSwitch = switchEvery;

	for (int64_t pos = 0; pos < total;)
	{
		if (pos >= nextSwitch)
		{
			// Legal order: deactivate, set up with the other sample size, activate.
			s.activate (false);
			sampleSize = sampleSize == kSample64 ? kSample32 : kSample64;
			if (s.setup (opt.rate, sampleSize, kMaxBlock) != kResultOk || s.activate (true) != kResultOk)
			{
				std::fprintf (stderr, "FAIL: re-activation refused at %.1f s\n", pos / opt.rate);
				return 1;
			}
			nextSwitch += switchEvery;
			++switches;
		}
		const auto n = static_cast<int32> (std::min<int64_t> (
		    kMinBlock + static_cast<int32> (rng () % (kMaxBlock - kMinBlock + 1)), total - pos));
		changes.clear ();
		if (--blocksToAutomation <= 0)
		{
			// Every parameter gets a new value; the ends of the range now and then.
			for (ParamID id = kLevelId; id <= kLPCutId; ++id)
			{
				const double r = unit (rng);
				changes.set (id, r < 0.05 ? 0.0 : r > 0.95 ? 1.0 : unit (rng));
			}
			if (bypass || unit (rng) < 0.01)
				bypass = !bypass && unit (rng) < 0.5;
			changes.set (kBypassId, bypass ? 1.0 : 0.0);
			blocksToAutomation = 1 + static_cast<int32> (rng () % kMaxBlocksBetweenAutomation);
			++automationEvents;
		}
		ProcessData& data = block.reset (sampleSize, n);
		block.setParameterChanges (&changes);
		for (int32 i = 0; i < n; ++i)
			for (int c = 0; c < 2; ++c)
				block.setInput (c, i, input.next (c));
		if (s->process (data) != kResultOk)
		{
			std::fprintf (stderr, "FAIL: process refused at %.1f s\n", pos / opt.rate);
			return 1;
		}
		bypassedBlocks += bypass ? 1 : 0;
		for (int32 i = 0; i < n; ++i)
			for (int c = 0; c < 2; ++c)
			{
				const double v = block.output (c, i);
				if (!block.outputIsClean (c, i))
				{
					std::fprintf (stderr, "FAIL: sample %g at %.6f s, channel %d\n", v,
					              (pos + i) / opt.rate, c);
					return 1;
				}
				peak = std::max (peak, std::fabs (v));
				dcSum[c] += v;
			}
		pos += n;
		dcCount += n;
		if (dcCount >= dcWindow || pos >= total)
		{
			for (int c = 0; c < 2; ++c)
			{
				dcMeans[c].push_back (dcSum[c] / static_cast<double> (dcCount));
				dcSum[c] = 0.0;
			}
			dcCount = 0;
			const int unclean = s->countUncleanEngineValues ();
			if (unclean != 0)
			{
				std::fprintf (stderr, "FAIL: %d subnormal or non-finite engine values at %.1f s\n",
				              unclean, pos / opt.rate);
				return 1;
			}
		}
		if (peak > kOutputLimit)
		{
			std::fprintf (stderr, "FAIL: output %g above the limit %g at %.1f s\n", peak, kOutputLimit,
			              pos / opt.rate);
			return 1;
		}
	}

	bool ok = true;
	double worstDc = 0.0;
	for (int c = 0; c < 2; ++c)
	{
		const auto& m = dcMeans[c];
		for (double v : m)
			worstDc = std::max (worstDc, std::fabs (v));
		const size_t k = std::min<size_t> (kDcCompareWindows, m.size () / 2);
		if (k > 0)
		{
			double first = 0.0, last = 0.0;
			for (size_t i = 0; i < k; ++i)
			{
				first += std::fabs (m[i]);
				last += std::fabs (m[m.size () - 1 - i]);
			}
			first /= static_cast<double> (k);
			last /= static_cast<double> (k);
			std::printf ("channel %d: mean |DC| of the first %zu windows %.3g, of the last %zu %.3g\n", c,
			             k, first, k, last);
			if (last > first + kDcGrowthLimit)
			{
				std::fprintf (stderr, "FAIL: DC grows on channel %d\n", c);
				ok = false;
			}
		}
	}
	if (worstDc > kDcLimit)
	{
		std::fprintf (stderr, "FAIL: DC %g above %g in a %.0f s window\n", worstDc, kDcLimit,
		              kDcWindowSeconds);
		ok = false;
	}
	std::printf ("%.0f s at %.0f Hz: %lld automation events, %lld bypassed blocks, %lld sample-size "
	             "switches, peak %.4g, worst DC per %.0f s window %.3g: %s\n",
	             opt.seconds, opt.rate, static_cast<long long> (automationEvents),
	             static_cast<long long> (bypassedBlocks), static_cast<long long> (switches), peak,
	             kDcWindowSeconds, worstDc, ok ? "PASS" : "FAIL");
	return ok ? 0 : 1;
}
