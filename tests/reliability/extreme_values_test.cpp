// Parameter values outside [0, 1], infinities and NaN, whether they come in a
// parameter queue or in a restored state: the record keeps them as they came,
// and the engine behaves exactly as with the value clamped to [0, 1], a NaN as
// the parameter's default. The output stays finite throughout, and so it does
// for the largest input samples the engine takes with every parameter at an
// end of its range.
#include "reliability/probeprocessor.h"
#include "engine/engineconstants.h"

#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
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

// Every parameter at an end of its range, and inputs as large as the engine
// takes them as they are: sustained, of opposite signs in the two channels,
// and the worst input for the left output (the signs of its impulse response
// reversed in time, so that every contribution adds up at the last sample).
// No output and no engine value is infinite or NaN, and the output stays a
// decade below what the bound's comment promises. A 32-bit sample lies within
// the bound even at the float limit; its output must stay a finite float.
constexpr double kOutputCeiling = 1e304;

struct Ends
{
	const char* name;
	double values[kLPCutId]; // normalised, in ID order from level
};

const Ends kEnds[] = {
    {"all at 0", {0, 0, 0, 0, 0, 0, 0, 0}},
    {"all at 1", {1, 1, 1, 1, 1, 1, 1, 1}},
    {"longest, loudest ring", {1, 1, 0, 1, 0, 1, 0, 1}},
    {"loud dry and wet", {1, 0.5, 1, 1, 1, 0, 1, 0}},
};

// The left output of a processor, activated anew with the parameters at the
// ends (smoothers at their targets, no flush under way), for these inputs.
std::vector<double> renderAtEnds (const Ends& ends, double rate, int32 sampleSize, const std::vector<double>& left,
                                  const std::vector<double>& right)
{
	ProcessorSession s;
	EXPECT_EQ (s.setup (rate, sampleSize), kResultOk);
	EXPECT_EQ (s.activate (true), kResultOk);
	for (ParamID id = kLevelId; id <= kLPCutId; ++id)
		s.setParams ({{id, ends.values[id - kLevelId]}});
	EXPECT_EQ (s.activate (false), kResultOk);
	EXPECT_EQ (s.activate (true), kResultOk);
	std::vector<double> out;
	TestAudioBlock block (sampleSize, kBlock);
	const int32 n = static_cast<int32> (left.size ());
	for (int32 start = 0; start < n; start += kBlock)
	{
		const int32 len = std::min (kBlock, n - start);
		block.reset (sampleSize, len);
		for (int32 i = 0; i < len; ++i)
		{
			block.setInput (0, i, left[static_cast<size_t> (start + i)]);
			block.setInput (1, i, right[static_cast<size_t> (start + i)]);
		}
		EXPECT_EQ (s->process (block.data ()), kResultOk);
		for (int c = 0; c < 2; ++c)
			for (int32 i = 0; i < len; ++i)
			{
				const double y = block.output (c, i);
				if (!(std::fabs (y) < kOutputCeiling))
				{
					ADD_FAILURE () << y << " at sample " << start + i << ", channel " << c;
					return out;
				}
			}
		for (int32 i = 0; i < len; ++i)
			out.push_back (block.output (0, i));
	}
	EXPECT_EQ (s->countUncleanEngineValues (true, false), 0) << s->describeUncleanEngineValues (true, false);
	return out;
}

TEST (InputsAtTheBound, GiveFiniteOutputWithEveryParameterAtAnEnd)
{
	const std::pair<double, int32> setups[] = {{44100.0, kSample64}, {192000.0, kSample64}, {44100.0, kSample32}};
	for (const Ends& ends : kEnds)
		for (const auto& setup : setups)
		{
			SCOPED_TRACE (std::string (ends.name) + " at " + std::to_string (setup.first) + " Hz, " +
			              (setup.second == kSample64 ? "64" : "32") + "-bit");
			const double bound = setup.second == kSample64 ? kMaxInputMagnitude : std::numeric_limits<float>::max ();
			const size_t n = static_cast<size_t> (2.0 * setup.first); // 2 s
			std::vector<double> impulse (n, 0.0);
			impulse[0] = 1.0;
			const std::vector<double> response = renderAtEnds (ends, setup.first, setup.second, impulse, impulse);
			ASSERT_EQ (response.size (), n);
			std::vector<double> worst (n);
			for (size_t i = 0; i < n; ++i)
				worst[i] = response[n - 1 - i] < 0.0 ? -bound : bound;
			const std::vector<double> high (n, bound), low (n, -bound);
			renderAtEnds (ends, setup.first, setup.second, high, high);
			renderAtEnds (ends, setup.first, setup.second, high, low);
			renderAtEnds (ends, setup.first, setup.second, worst, worst);
		}
}

} // namespace
