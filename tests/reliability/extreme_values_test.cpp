// Parameter values outside [0, 1], infinities and NaN, whether they come in a
// parameter queue or in a restored state: the record keeps them as they came,
// and the engine behaves exactly as with the value clamped to [0, 1], a NaN as
// the parameter's default. The output stays finite throughout, and so it does
// for the largest input samples the engine takes with every parameter at an
// end of its range.
#include "reliability/probeprocessor.h"

#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace CalvirTest;

namespace {

constexpr double kRate = 22050.0;
constexpr int32 kBlock = 256;
constexpr int32 kBlocks = 48; // about half a second: a whole flush cycle, where a change raises one
const double kNaN = std::numeric_limits<double>::quiet_NaN ();
const double kInf = std::numeric_limits<double>::infinity ();

// The processor's default normalised values, by parameter ID.
double defaultValue (ParamID id)
{
	const PlugState defaults;
	const double values[] = {0.0,           defaults.level,     defaults.mix,
	                         defaults.predelay, defaults.rvbTime, defaults.size,
	                         defaults.diffusion, defaults.hfDamp, defaults.lpCut};
	return values[id];
}

double engineEquivalent (ParamID id, double v)
{
	if (std::isnan (v))
		return defaultValue (id);
	return v < 0.0 ? 0.0 : v > 1.0 ? 1.0 : v;
}

double fieldOf (const PlugState& s, ParamID id)
{
	const double values[] = {0.0,    s.level,     s.mix,    s.predelay, s.rvbTime,
	                         s.size, s.diffusion, s.hfDamp, s.lpCut};
	return values[id];
}

bool sameBits (double a, double b)
{
	return std::memcmp (&a, &b, sizeof a) == 0;
}

// A 140-byte state holding the defaults with one value replaced.
std::vector<uint8_t> stateWith (ParamID id, double v)
{
	ProcessorSession s;
	Steinberg::MemoryStream out;
	EXPECT_EQ (s->getState (&out), kResultOk);
	const auto* data = reinterpret_cast<const uint8_t*> (out.getData ());
	std::vector<uint8_t> bytes (data, data + out.getSize ());
	const size_t offset = 12 + 8 * (id - 1); // the eight values follow the header and bypass
	std::memcpy (&bytes[offset], &v, sizeof v); // little-endian machine
	return bytes;
}

enum class Route
{
	kQueue,
	kState
};

void deliver (ProcessorSession& s, Route route, ParamID id, double v)
{
	if (route == Route::kQueue)
	{
		s.setParams ({{id, v}});
		return;
	}
	std::vector<uint8_t> bytes = stateWith (id, v);
	Steinberg::MemoryStream in (bytes.data (), static_cast<Steinberg::TSize> (bytes.size ()));
	ASSERT_EQ (s->setState (&in), kResultOk);
	s.setParams ({}); // the next block applies the restore
}

class ExtremeValues : public testing::TestWithParam<std::tuple<Route, int32>>
{
};

TEST_P (ExtremeValues, ActLikeTheClampedValue)
{
	const Route route = std::get<0> (GetParam ());
	const int32 sampleSize = std::get<1> (GetParam ());
	const double oddValues[] = {kNaN, -kNaN, kInf, -kInf, 1e300, -1e300, 1.0000000000000002,
	                            2.0, -1e-300, -0.0, -std::numeric_limits<double>::denorm_min ()};
	for (ParamID id = kLevelId; id <= kLPCutId; ++id)
		for (double odd : oddValues)
		{
			ProcessorSession oddProc, clampedProc;
			for (auto* s : {&oddProc, &clampedProc})
			{
				ASSERT_EQ (s->setup (kRate, sampleSize), kResultOk);
				ASSERT_EQ (s->activate (true), kResultOk);
			}
			deliver (oddProc, route, id, odd);
			deliver (clampedProc, route, id, engineEquivalent (id, odd));
			// The record keeps what came.
			ASSERT_TRUE (sameBits (fieldOf (oddProc->params (), id), odd)) << "parameter " << id;

			TestAudioBlock a (sampleSize, kBlock), b (sampleSize, kBlock);
			std::mt19937 rng (id);
			std::uniform_real_distribution<double> noise (-1.0, 1.0);
			for (int32 block = 0; block < kBlocks; ++block)
			{
				for (int32 i = 0; i < kBlock; ++i)
					for (int c = 0; c < 2; ++c)
					{
						const double v = block < kBlocks / 2 ? noise (rng) : 0.0;
						a.setInput (c, i, v);
						b.setInput (c, i, v);
					}
				ASSERT_EQ (oddProc->process (a.data ()), kResultOk);
				ASSERT_EQ (clampedProc->process (b.data ()), kResultOk);
				for (int c = 0; c < 2; ++c)
					for (int32 i = 0; i < kBlock; ++i)
					{
						ASSERT_TRUE (a.outputIsClean (c, i)) << "parameter " << id << " = " << odd;
						ASSERT_TRUE (sameBits (a.output (c, i), b.output (c, i)))
						    << "parameter " << id << " = " << odd << ", block " << block << ", sample " << i;
					}
			}
			EXPECT_EQ (oddProc->getTailSamples (), clampedProc->getTailSamples ()) << "parameter " << id;
			EXPECT_EQ (oddProc->countUncleanEngineValues (), 0) << oddProc->describeUncleanEngineValues ();
		}
}

INSTANTIATE_TEST_SUITE_P (
    Routes, ExtremeValues,
    testing::Combine (testing::Values (Route::kQueue, Route::kState), testing::Values (kSample32, kSample64)),
    [] (const testing::TestParamInfo<std::tuple<Route, int32>>& info) {
	    return std::string (std::get<0> (info.param) == Route::kQueue ? "Queue" : "State") +
	           (std::get<1> (info.param) == kSample64 ? "_Sample64" : "_Sample32");
    });

} // namespace

namespace {

// The largest input magnitude the engine takes as it is (kMaxInputMagnitude
// in engine/engineconstants.h), and the largest output magnitude it gives for
// such inputs as the bound's comment states it, with a decade to spare. A
// 32-bit sample lies within the bound even at the float limit, and its
// output must stay a finite float.
constexpr double kBound = 1e300;
constexpr double kOutputCeiling = 1e304;

double boundFor (int32 sampleSize)
{
	return sampleSize == kSample64 ? kBound : std::numeric_limits<float>::max ();
}

// Normalised values of the eight continuous parameters, in ID order from level.
struct Ends
{
	const char* name;
	double values[kLPCutId];
};

const Ends kEnds[] = {
    {"AllAtZero", {0, 0, 0, 0, 0, 0, 0, 0}},
    {"AllAtOne", {1, 1, 1, 1, 1, 1, 1, 1}},
    // The longest, loudest ring: the largest gain from the input to the output.
    {"LongestRing", {1, 1, 0, 1, 0, 1, 0, 1}},
    {"LoudDryAndWet", {1, 0.5, 1, 1, 1, 0, 1, 0}},
};

struct AtTheBound
{
	const Ends* ends;
	double rate;
	int32 sampleSize;
};

void PrintTo (const AtTheBound& p, std::ostream* os)
{
	*os << p.ends->name << " at " << p.rate << " Hz, " << p.sampleSize;
}

class InputsAtTheBound : public testing::TestWithParam<AtTheBound>
{
protected:
	// A processor with the parameters at their ends, activated anew so
	// that the smoothers start at their targets and no flush is under way.
	void bringUp (ProcessorSession& s)
	{
		const AtTheBound p = GetParam ();
		ASSERT_EQ (s.setup (p.rate, p.sampleSize), kResultOk);
		ASSERT_EQ (s.activate (true), kResultOk);
		for (ParamID id = kLevelId; id <= kLPCutId; ++id)
			s.setParams ({{id, p.ends->values[id - kLevelId]}});
		ASSERT_EQ (s.activate (false), kResultOk);
		ASSERT_EQ (s.activate (true), kResultOk);
	}

	// Runs n samples of input (left, right) = input (i) through s and
	// returns the largest output magnitude; fails at the first output that is
	// not finite.
	double run (ProcessorSession& s, int32 n, const std::function<void (int32, double&, double&)>& input,
	            std::vector<double>* leftOutput = nullptr)
	{
		const int32 sampleSize = GetParam ().sampleSize;
		TestAudioBlock block (sampleSize, kBlock);
		double peak = 0.0;
		for (int32 start = 0; start < n; start += kBlock)
		{
			const int32 len = std::min (kBlock, n - start);
			block.reset (sampleSize, len);
			for (int32 i = 0; i < len; ++i)
			{
				double l = 0.0, r = 0.0;
				input (start + i, l, r);
				block.setInput (0, i, l);
				block.setInput (1, i, r);
			}
			EXPECT_EQ (s->process (block.data ()), kResultOk);
			for (int c = 0; c < 2; ++c)
				for (int32 i = 0; i < len; ++i)
				{
					const double y = block.output (c, i);
					if (!std::isfinite (y))
					{
						ADD_FAILURE () << "output " << y << " at sample " << start + i << ", channel " << c;
						return std::numeric_limits<double>::infinity ();
					}
					peak = std::max (peak, std::fabs (y));
					if (leftOutput && c == 0)
						leftOutput->push_back (y);
				}
		}
		return peak;
	}
};

// Inputs of the bound's magnitude, sustained, alternating, of opposite signs
// in the two channels; and the worst input for the left output: the signs of its impulse response, reversed in time, so
// that every contribution adds up at the last sample. No output sample and no
// value in the engine is infinite or NaN, and the output stays far below the
// largest double.
TEST_P (InputsAtTheBound, GiveFiniteOutput)
{
	const int32 n = static_cast<int32> (2.0 * GetParam ().rate); // 2 s
	const double bound = boundFor (GetParam ().sampleSize);
	std::vector<double> impulseResponse;
	{
		ProcessorSession s;
		bringUp (s);
		run (
		    s, n, [] (int32 i, double& l, double& r) { l = r = i == 0 ? 1.0 : 0.0; }, &impulseResponse);
	}
	struct Pattern
	{
		const char* name;
		std::function<void (int32, double&, double&)> input;
	};
	const Pattern patterns[] = {
	    {"sustained", [&] (int32, double& l, double& r) { l = r = bound; }},
	    {"alternating", [&] (int32 i, double& l, double& r) { l = r = (i % 2) ? -bound : bound; }},
	    {"opposite channels", [&] (int32, double& l, double& r) {
		     l = bound;
		     r = -bound;
	     }},
	    {"reversed impulse response", [&] (int32 i, double& l, double& r) {
		     l = r = impulseResponse[static_cast<size_t> (n - 1 - i)] < 0.0 ? -bound : bound;
	     }},
	};
	for (const Pattern& pattern : patterns)
	{
		SCOPED_TRACE (pattern.name);
		ProcessorSession s;
		bringUp (s);
		const double peak = run (s, n, pattern.input);
		EXPECT_LT (peak, kOutputCeiling);
		EXPECT_EQ (s->countUncleanEngineValues (true, false), 0) << s->describeUncleanEngineValues (true, false);
	}
}

std::vector<AtTheBound> atTheBoundCases ()
{
	std::vector<AtTheBound> cases;
	for (const Ends& ends : kEnds)
	{
		for (double rate : {44100.0, 192000.0})
			cases.push_back ({&ends, rate, kSample64});
		cases.push_back ({&ends, 44100.0, kSample32});
	}
	return cases;
}

INSTANTIATE_TEST_SUITE_P (Ends, InputsAtTheBound, testing::ValuesIn (atTheBoundCases ()),
                          [] (const testing::TestParamInfo<AtTheBound>& info) {
	                          return std::string (info.param.ends->name) + "_" +
	                                 std::to_string (static_cast<long> (info.param.rate)) +
	                                 (info.param.sampleSize == kSample64 ? "_Sample64" : "_Sample32");
                          });

} // namespace
