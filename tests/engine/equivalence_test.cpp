// The default block loop (coefficients recomputed only where they change,
// the sample kernel in each of its variants) against the literal one (the
// whole network reconfigured every sample): random automation of every
// parameter, random block sizes, reactivations, several sample rates, both
// sample sizes - every output sample and the engine state must agree bit for
// bit.
#include "engine/kernelvariant.h"
#include "engineprobe.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

using namespace CalvirTest;

namespace {

constexpr double kSeconds = 2.5;
constexpr int32 kMaxBlock = 700;

struct Scenario
{
	double rate;
	int32 sampleSize;
};

void PrintTo (const Scenario& s, std::ostream* os)
{
	*os << s.rate << " Hz, " << (s.sampleSize == kSample32 ? "32" : "64") << "-bit";
}

std::string name (const testing::TestParamInfo<Scenario>& info)
{
	std::ostringstream s;
	s << static_cast<long> (info.param.rate) << (info.param.sampleSize == kSample32 ? "_f32" : "_f64");
	return s.str ();
}

// The next normalised value of an automated parameter: mostly anywhere in
// [0, 1], sometimes an end, now and then outside the range or NaN (which
// the engine maps from a clamped copy).
double automationValue (std::mt19937& rng)
{
	std::uniform_real_distribution<double> unit (0.0, 1.0);
	const double pick = unit (rng);
	if (pick < 0.08)
		return 0.0;
	if (pick < 0.16)
		return 1.0;
	if (pick < 0.18)
		return 1.5;
	if (pick < 0.19)
		return std::numeric_limits<double>::quiet_NaN ();
	return unit (rng);
}

bool sameState (const ReverbState& a, const ReverbState& b, std::string& what)
{
	auto check = [&] (double x, double y, const char* field) {
		if (!sameBits (x, y))
		{
			what = field;
			return false;
		}
		return true;
	};
	if (a.writeIndex != b.writeIndex || a.flushPhase != b.flushPhase || a.silenceCountdown != b.silenceCountdown ||
	    a.preDelaySamples != b.preDelaySamples)
	{
		what = "index, flush phase, countdown or pre-delay";
		return false;
	}
	bool same = check (a.fadeGain, b.fadeGain, "fadeGain") && check (a.smoothedMix, b.smoothedMix, "smoothedMix") &&
	            check (a.smoothedLevel, b.smoothedLevel, "smoothedLevel") &&
	            check (a.smoothedDiffusion, b.smoothedDiffusion, "smoothedDiffusion") &&
	            check (a.dryGain, b.dryGain, "dryGain") && check (a.diffuserGain[0], b.diffuserGain[0], "g1") &&
	            check (a.diffuserGain[1], b.diffuserGain[1], "g2") &&
	            check (a.shortGroupTapGain, b.shortGroupTapGain, "shortGroupTapGain") &&
	            check (a.inputLowPass.prevOutput, b.inputLowPass.prevOutput, "input low-pass") &&
	            check (a.midLowCut.prevOutput, b.midLowCut.prevOutput, "mid low cut") &&
	            check (a.sideLowCut.prevOutput, b.sideLowCut.prevOutput, "side low cut");
	for (int32 i = 0; same && i < kNumDelayLines; ++i)
		same = check (a.dampingState[i], b.dampingState[i], "dampingState") && a.lineLengths[i] == b.lineLengths[i];
	return same;
}

class DefaultMatchesLiteral : public testing::TestWithParam<Scenario>
{
};

TEST_P (DefaultMatchesLiteral, UnderRandomAutomation)
{
	const Scenario scenario = GetParam ();
	const bool f32 = scenario.sampleSize == kSample32;
	for (KernelVariant variant : {KernelVariant::kPairs, KernelVariant::kQuadsAvx2, KernelVariant::kQuadsAvx512})
	{
		if (!kernelVariantSupported (variant))
			continue;
		SCOPED_TRACE (static_cast<int> (variant));
		EngineProbe fast (scenario.rate, scenario.sampleSize), literal (scenario.rate, scenario.sampleSize);
		fast.reverb.kernelVariant = variant;

		std::mt19937 rng (static_cast<unsigned> (scenario.rate) + static_cast<unsigned> (variant));
		std::uniform_int_distribution<int32> blockSize (0, kMaxBlock);
		std::uniform_real_distribution<double> unit (0.0, 1.0);
		std::uniform_real_distribution<double> noise (-1.0, 1.0);
		const auto total = static_cast<size_t> (kSeconds * scenario.rate);
		StereoBuffer<double> in64 (kMaxBlock), out64a (kMaxBlock), out64b (kMaxBlock);
		StereoBuffer<float> in32 (kMaxBlock), out32a (kMaxBlock), out32b (kMaxBlock);
		ParamID ids[] = {kLevelId, kMixId, kPredelayId, kRvbTimeId, kSizeId, kDiffusionId, kHFDampId, kLPCutId};

		size_t pos = 0;
		bool quiet = false;
		while (pos < total)
		{
			// Parameter queues of this block: each parameter changes with
			// some probability; a few changes repeat the current value.
			for (ParamID id : ids)
			{
				const double p = unit (rng);
				if (p < 0.08)
				{
					const double value = automationValue (rng);
					fast.setParameter (id, value);
					literal.setParameter (id, value);
				}
				else if (p < 0.1)
				{
					fast.updateCoefficients (false);
					literal.updateCoefficients (false);
				}
			}
			if (unit (rng) < 0.05)
				quiet = !quiet;
			// Now and then the host deactivates and activates again.
			if (unit (rng) < 0.02)
			{
				for (EngineProbe* e : {&fast, &literal})
				{
					e->setActive (false);
					e->setActive (true);
				}
				fast.reverb.kernelVariant = variant;
			}

			const int32 n = static_cast<int32> (std::min<size_t> (static_cast<size_t> (blockSize (rng)), total - pos));
			for (size_t i = 0; i < static_cast<size_t> (n); ++i)
			{
				const double l = quiet ? 0.0 : noise (rng);
				const double r = quiet ? 0.0 : noise (rng);
				in64.left[i] = l;
				in64.right[i] = r;
				in32.left[i] = static_cast<float> (l);
				in32.right[i] = static_cast<float> (r);
			}
			if (f32)
			{
				fast.processBlock32 (in32.ptrs (), out32a.ptrs (), n);
				literal.processBlockLiteral32 (in32.ptrs (), out32b.ptrs (), n);
			}
			else
			{
				fast.processBlock64 (in64.ptrs (), out64a.ptrs (), n);
				literal.processBlockLiteral64 (in64.ptrs (), out64b.ptrs (), n);
			}
			for (size_t i = 0; i < static_cast<size_t> (n); ++i)
			{
				const bool same = f32 ? sameBits (out32a.left[i], out32b.left[i]) &&
				                            sameBits (out32a.right[i], out32b.right[i])
				                      : sameBits (out64a.left[i], out64b.left[i]) &&
				                            sameBits (out64a.right[i], out64b.right[i]);
				ASSERT_TRUE (same) << "sample " << pos + i << " at " << scenario.rate << " Hz";
			}
			std::string what;
			ASSERT_TRUE (sameState (fast.reverb, literal.reverb, what))
			    << what << " differs after sample " << pos + static_cast<size_t> (n);
			pos += static_cast<size_t> (n);
		}
	}
}

INSTANTIATE_TEST_SUITE_P (Rates, DefaultMatchesLiteral,
                          testing::Values (Scenario {4000.0, kSample64}, Scenario {22050.0, kSample32},
                                           Scenario {44100.0, kSample64}, Scenario {48000.0, kSample32},
                                           Scenario {96000.0, kSample64}, Scenario {192000.0, kSample32}),
                          name);

// The default loop after a literal block and the other way round: the
// bookkeeping of what the default loop derived must not go stale.
TEST (DefaultMatchesLiteral, AlternatingLoops)
{
	EngineProbe mixed (48000.0), literal (48000.0);
	std::mt19937 rng (3);
	std::uniform_real_distribution<double> noise (-1.0, 1.0);
	StereoBuffer<double> in (256), a (256), b (256);
	for (int32 block = 0; block < 400; ++block)
	{
		if (block % 7 == 0)
		{
			const double value = (block % 3) * 0.4;
			mixed.setParameter (kMixId, value);
			literal.setParameter (kMixId, value);
			mixed.setParameter (kDiffusionId, 1.0 - value);
			literal.setParameter (kDiffusionId, 1.0 - value);
		}
		for (size_t i = 0; i < 256; ++i)
			in.left[i] = in.right[i] = noise (rng);
		if (block % 2)
			mixed.processBlock64 (in.ptrs (), a.ptrs (), 256);
		else
			mixed.processBlockLiteral64 (in.ptrs (), a.ptrs (), 256);
		literal.processBlockLiteral64 (in.ptrs (), b.ptrs (), 256);
		for (size_t i = 0; i < 256; ++i)
			ASSERT_TRUE (sameBits (a.left[i], b.left[i]) && sameBits (a.right[i], b.right[i])) << block << " " << i;
	}
}

} // namespace
