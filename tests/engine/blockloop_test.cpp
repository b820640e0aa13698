// Block loop and flush cycle: timing of the cycle, changes during each
// phase, the two sample sizes, in-place buffers, the input offset, bypass,
// non-finite input and input beyond the bound, and silence without subnormals.
#include "engineprobe.h"
#include "engine/engineconstants.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace CalvirTest;

namespace {

// fadeGain after each sample, counting from 1, of numSamples of silence.
std::vector<double> fadeGains (EngineProbe& e, int32 numSamples)
{
	std::vector<double> gains (static_cast<size_t> (numSamples) + 1);
	for (int32 i = 1; i <= numSamples; ++i)
	{
		e.step ();
		gains[static_cast<size_t> (i)] = e.reverb.fadeGain;
	}
	return gains;
}

// Activation leaves the cycle idle; a change of pre-delay or of room size
// while active runs all of it.
TEST (Flush, TimingAfterAChangeAt44100)
{
	for (ParamID id : {kPredelayId, kSizeId})
	{
		EngineProbe e (44100.0);
		const std::vector<double> idle = fadeGains (e, 1000);
		for (size_t i = 1; i < idle.size (); ++i)
			ASSERT_EQ (idle[i], 1.0) << i;
		ASSERT_EQ (e.reverb.flushPhase, FlushPhase::kFlushIdle);

		e.setParameter (id, 0.3);
		const std::vector<double> g = fadeGains (e, 20000);
		for (size_t i = 1; i <= 6615; ++i)
		{
			ASSERT_GT (g[i], 0.0) << id << " " << i;
			ASSERT_LT (g[i], i == 1 ? 1.0 : g[i - 1]) << id << " " << i;
		}
		for (size_t i = 6616; i <= 17640; ++i)
			ASSERT_EQ (g[i], 0.0) << id << " " << i;
		for (size_t i = 17641; i <= 19844; ++i)
		{
			ASSERT_GT (g[i], g[i - 1]) << id << " " << i;
			ASSERT_LT (g[i], 1.0) << id << " " << i;
		}
		for (size_t i = 19845; i <= 20000; ++i)
			ASSERT_EQ (g[i], 1.0) << id << " " << i;
		EXPECT_EQ (e.reverb.flushPhase, FlushPhase::kFlushIdle);
		EXPECT_EQ (e.reverb.silenceCountdown, 11025);
	}
}

TEST (Flush, NewLengthsTakeEffectInTheLastSilentSample)
{
	EngineProbe e (44100.0);
	for (int32 i = 0; i < 20000; ++i)
		e.step ();
	ASSERT_EQ (e.reverb.flushPhase, FlushPhase::kFlushIdle);
	const int32 oldLength = e.reverb.lineLengths[0];
	const int32 oldPreDelay = e.reverb.preDelaySamples;
	e.setParameter (kSizeId, 1.0);
	e.setParameter (kPredelayId, 0.5);
	for (int32 i = 1; i < 6615 + 11025; ++i)
	{
		e.step ();
		ASSERT_EQ (e.reverb.lineLengths[0], oldLength) << i;
		ASSERT_EQ (e.reverb.preDelaySamples, oldPreDelay) << i;
	}
	e.step ();
	EXPECT_EQ (e.reverb.flushPhase, FlushPhase::kFlushFadeIn);
	EXPECT_EQ (e.reverb.fadeGain, 0.0);
	EXPECT_EQ (e.reverb.lineLengths[0], static_cast<int32> (40.503959 * (0.1 * std::cbrt (10.0 * e.reverb.roomSize)) * 44.1 + 0.5));
	EXPECT_EQ (e.reverb.preDelaySamples, static_cast<int32> (44.1 * std::exp2 (7.965784284662086 * 0.5) + 0.5));
	// Every line position written during the silence, and so everything a
	// line can read back, holds zero when the new lengths start.
	const ReverbState& r = e.reverb;
	for (const double* line : r.delayLines)
		for (int32 back = 0; back < r.silenceLength; ++back)
		{
			const int32 index = (r.writeIndex - 1 - back + r.bufferLength) % r.bufferLength;
			ASSERT_EQ (line[index], 0.0) << back;
		}
	for (int32 length : r.lineLengths)
		EXPECT_LE (length, r.silenceLength);
}

TEST (Flush, ChangeDuringFadeOutOrSilenceEndsOnSchedule)
{
	for (int32 changeAt : {3000, 10000})
	{
		EngineProbe e (44100.0);
		for (int32 i = 1; i <= 17640; ++i)
		{
			if (i == 1)
				e.setParameter (kPredelayId, 0.3); // starts the cycle
			if (i == changeAt)
				e.setParameter (kSizeId, 0.9);
			e.step ();
		}
		EXPECT_EQ (e.reverb.flushPhase, FlushPhase::kFlushFadeIn) << changeAt;
		EXPECT_EQ (e.reverb.lineLengths[0],
		           static_cast<int32> (40.503959 * (0.1 * std::cbrt (10.0 * e.reverb.roomSize)) * 44.1 + 0.5));
	}
}

TEST (Flush, ChangeDuringFadeInStartsAFullCycle)
{
	EngineProbe e (44100.0);
	e.setParameter (kSizeId, 0.3);
	for (int32 i = 0; i < 17640 + 1000; ++i)
		e.step ();
	ASSERT_EQ (e.reverb.flushPhase, FlushPhase::kFlushFadeIn);
	const double gain = e.reverb.fadeGain;
	e.setParameter (kPredelayId, 0.1);
	const std::vector<double> g = fadeGains (e, 30000);
	// From the current gain down, then a full 250 ms silence.
	const auto fallSamples = static_cast<size_t> (std::ceil (gain / e.reverb.fadeOutStep));
	size_t firstZero = 0;
	while (g[firstZero + 1] != 0.0)
		++firstZero;
	++firstZero;
	EXPECT_NEAR (static_cast<double> (firstZero), static_cast<double> (fallSamples), 1.0);
	size_t lastZero = firstZero;
	while (g[lastZero + 1] == 0.0)
		++lastZero;
	EXPECT_EQ (lastZero - firstZero + 1, 11025u);
}

// Changes in every block keep the reverb input near zero; the cycle that
// was running ends on time all the same.
TEST (Flush, ChangesInEveryBlock)
{
	EngineProbe e (44100.0);
	StereoBuffer<double> b (512);
	double maxGainAfterFirstCycle = 0.0;
	int32 sample = 0;
	for (int32 block = 0; block < 120; ++block)
	{
		e.setParameter (kSizeId, 0.3 + 0.001 * block);
		for (int32 i = 0; i < 512; ++i)
		{
			e.processBlock64 (b.ptrs (i), b.ptrs (i), 1);
			++sample;
			if (sample == 17640)
			{
				EXPECT_EQ (e.reverb.flushPhase, FlushPhase::kFlushFadeIn);
			}
			if (sample > 17640)
				maxGainAfterFirstCycle = std::max (maxGainAfterFirstCycle, e.reverb.fadeGain);
		}
	}
	EXPECT_LE (maxGainAfterFirstCycle, 512.0 * e.reverb.fadeInStep);
}

TEST (Flush, OtherParametersLeaveTheCycleAlone)
{
	EngineProbe e (44100.0);
	for (int32 i = 0; i < 20000; ++i)
		e.step ();
	for (ParamID id : {kLevelId, kMixId, kRvbTimeId, kDiffusionId, kHFDampId, kLPCutId})
	{
		e.setParameter (id, 0.33);
		e.step ();
		EXPECT_EQ (e.reverb.flushPhase, FlushPhase::kFlushIdle);
		EXPECT_EQ (e.reverb.fadeGain, 1.0);
	}
}

//------------------------------------------------------------------------
// Block loop
//------------------------------------------------------------------------

std::vector<double> noise (size_t n, unsigned seed, double amplitude = 1.0)
{
	std::mt19937 rng (seed);
	std::uniform_real_distribution<double> dist (-amplitude, amplitude);
	std::vector<double> v (n);
	for (double& x : v)
		x = dist (rng);
	return v;
}

TEST (BlockLoop, EmptyBlocksChangeNothing)
{
	EngineProbe e (44100.0);
	e.setParameter (kSizeId, 0.3); // a flush raised, its fade not yet begun
	StereoBuffer<double> b (4);
	b.left.assign (4, 7.0);
	const int32 index = e.reverb.writeIndex;
	const double mix = e.reverb.mixSmootherState;
	e.processBlock64 (b.ptrs (), b.ptrs (), 0);
	e.processBlock64 (b.ptrs (), b.ptrs (), -5);
	EXPECT_EQ (b.left[0], 7.0);
	EXPECT_EQ (e.reverb.writeIndex, index);
	EXPECT_EQ (e.reverb.mixSmootherState, mix);
	EXPECT_EQ (e.reverb.flushPhase, FlushPhase::kFlushFadeOut);
	EXPECT_EQ (e.reverb.fadeGain, 1.0);
}

TEST (BlockLoop, WriteIndexWrapsAtTheBufferLength)
{
	EngineProbe e (8000.0);
	StereoBuffer<double> b (2002);
	e.processBlock64 (b.ptrs (), b.ptrs (), 2001);
	EXPECT_EQ (e.reverb.writeIndex, 2001);
	e.processBlock64 (b.ptrs (), b.ptrs (), 1);
	EXPECT_EQ (e.reverb.writeIndex, 0);
}

// Mid-run, with parameter changes, the 32-bit path gives the 64-bit path's
// results rounded to float, and in-place buffers give what separate ones do.
TEST (BlockLoop, SampleSizesAndInPlaceAgree)
{
	constexpr size_t kLength = 30000;
	const std::vector<double> inL = noise (kLength, 1, 0.8);
	const std::vector<double> inR = noise (kLength, 2, 0.8);
	EngineProbe e64 (44100.0), e32 (44100.0, kSample32), inPlace (44100.0);

	StereoBuffer<double> in64 (kLength), out64 (kLength), io64 (kLength);
	StereoBuffer<float> in32 (kLength), out32 (kLength);
	for (size_t i = 0; i < kLength; ++i)
	{
		// Values that float holds exactly, so both paths see the same input.
		in32.left[i] = static_cast<float> (inL[i]);
		in32.right[i] = static_cast<float> (inR[i]);
		in64.left[i] = io64.left[i] = in32.left[i];
		in64.right[i] = io64.right[i] = in32.right[i];
	}
	size_t pos = 0;
	for (int32 block = 0; pos < kLength; ++block)
	{
		const auto n = static_cast<int32> (std::min<size_t> (333 + 97 * (block % 5), kLength - pos));
		if (block == 20)
			for (EngineProbe* e : {&e64, &e32, &inPlace})
			{
				e->setParameter (kMixId, 0.8);
				e->setParameter (kDiffusionId, 0.3);
				e->setParameter (kRvbTimeId, 0.9);
				e->setParameter (kSizeId, 0.2);
			}
		e64.processBlock64 (in64.ptrs (pos), out64.ptrs (pos), n);
		e32.processBlock32 (in32.ptrs (pos), out32.ptrs (pos), n);
		inPlace.processBlock64 (io64.ptrs (pos), io64.ptrs (pos), n);
		pos += static_cast<size_t> (n);
	}
	for (size_t i = 0; i < kLength; ++i)
	{
		ASSERT_TRUE (sameBits (out32.left[i], static_cast<float> (out64.left[i]))) << i;
		ASSERT_TRUE (sameBits (out32.right[i], static_cast<float> (out64.right[i]))) << i;
		ASSERT_TRUE (sameBits (io64.left[i], out64.left[i])) << i;
		ASSERT_TRUE (sameBits (io64.right[i], out64.right[i])) << i;
	}
}

TEST (BlockLoop, ZerosWithMixBelowOneGiveTheOffset)
{
	for (int32 sampleSize : {kSample64, kSample32})
	{
		EngineProbe e (44100.0, sampleSize);
		StereoBuffer<double> b (44100);
		StereoBuffer<float> f (44100);
		if (sampleSize == kSample64)
			e.processBlock64 (b.ptrs (), b.ptrs (), 44100);
		else
			e.processBlock32 (f.ptrs (), f.ptrs (), 44100);
		for (size_t i = 0; i < 44100; ++i)
		{
			const double l = sampleSize == kSample64 ? b.left[i] : f.left[i];
			ASSERT_GT (std::fabs (l), 1e-19) << i;
			ASSERT_LT (std::fabs (l), 1e-17) << i;
		}
	}
}

// The output level scales the dry and the wet signal alike.
TEST (BlockLoop, LevelScalesEverything)
{
	EngineProbe unity (44100.0), quiet (44100.0);
	quiet.paramState.level = 0.0;
	quiet.updateCoefficients (true);
	const std::vector<double> x = noise (25000, 3);
	for (size_t i = 0; i < x.size (); ++i)
	{
		double l1 = 0.0, r1 = 0.0, l2 = 0.0, r2 = 0.0;
		unity.step (x[i], 0.5 * x[i], l1, r1);
		quiet.step (x[i], 0.5 * x[i], l2, r2);
		ASSERT_EQ (l2, l1 * quiet.reverb.smoothedLevel) << i;
		ASSERT_EQ (r2, r1 * quiet.reverb.smoothedLevel) << i;
	}
}

// Bypassed blocks (the processor copies input to output) freeze the engine:
// no smoothing, no flush progress, no buffer or index change.
TEST (BlockLoop, BypassFreezesTheEngine)
{
	EngineProbe e (44100.0);
	const std::vector<double> x = noise (8000, 4);
	StereoBuffer<double> b (8000);
	b.left = x;
	b.right = x;
	e.processBlock64 (b.ptrs (), b.ptrs (), 8000);
	e.setParameter (kMixId, 0.9); // a glide in progress
	e.processBlock64 (b.ptrs (), b.ptrs (), 100);

	const ReverbState before = e.reverb;
	const std::vector<double> lineBefore (e.reverb.delayLines[3], e.reverb.delayLines[3] + e.reverb.bufferLength);
	e.paramState.bypass = true;
	StereoBuffer<double> in (512), out (512);
	in.left = std::vector<double> (x.begin (), x.begin () + 512);
	in.right = in.left;
	AudioBusBuffers inBus {}, outBus {};
	inBus.numChannels = outBus.numChannels = 2;
	inBus.channelBuffers64 = in.ptrs ();
	outBus.channelBuffers64 = out.ptrs ();
	ProcessData data {};
	data.processMode = kRealtime;
	data.symbolicSampleSize = kSample64;
	data.numSamples = 512;
	data.numInputs = data.numOutputs = 1;
	data.inputs = &inBus;
	data.outputs = &outBus;
	for (int32 block = 0; block < 4; ++block)
		ASSERT_EQ (e.process (data), kResultOk);
	EXPECT_EQ (out.left, in.left);

	const ReverbState& after = e.reverb;
	EXPECT_EQ (after.writeIndex, before.writeIndex);
	EXPECT_EQ (after.mixSmootherState, before.mixSmootherState);
	EXPECT_EQ (after.smoothedMix, before.smoothedMix);
	EXPECT_EQ (after.fadeGain, before.fadeGain);
	EXPECT_EQ (after.flushPhase, before.flushPhase);
	EXPECT_EQ (after.silenceCountdown, before.silenceCountdown);
	EXPECT_EQ (after.inputLowPass.prevOutput, before.inputLowPass.prevOutput);
	EXPECT_EQ (after.midLowCut.prevOutput, before.midLowCut.prevOutput);
	for (int32 i = 0; i < kNumDelayLines; ++i)
		EXPECT_EQ (after.dampingState[i], before.dampingState[i]);
	EXPECT_TRUE (std::equal (lineBefore.begin (), lineBefore.end (), e.reverb.delayLines[3]));
}

// NaN, infinities and samples beyond the bound (kMaxInputMagnitude) enter as
// 0, in the literal loop and in every kernel variant of the default loop: the
// output is that of zeros there, bit for bit, and finite.
TEST (BlockLoop, InputBeyondTheBoundEntersAsZeroInEveryLoop)
{
	const double max = std::numeric_limits<double>::max ();
	const double bad[] = {std::nextafter (kMaxInputMagnitude, max), -1e301, 1e308, max, -max,
	                      std::numeric_limits<double>::quiet_NaN (), -std::numeric_limits<double>::infinity ()};
	const size_t numBad = sizeof bad / sizeof bad[0];
	constexpr size_t kBlock = 256;
	const std::vector<double> x = noise (80 * kBlock, 9);
	const std::pair<bool, KernelVariant> loops[] = {{true, KernelVariant::kPairs},
	                                                {false, KernelVariant::kPairs},
	                                                {false, KernelVariant::kQuadsAvx2},
	                                                {false, KernelVariant::kQuadsAvx512}};
	for (const auto& [literal, variant] : loops)
	{
		if (!kernelVariantSupported (variant))
			continue;
		SCOPED_TRACE (literal ? -1 : static_cast<int> (variant));
		EngineProbe dirty (44100.0), clean (44100.0);
		dirty.reverb.kernelVariant = clean.reverb.kernelVariant = variant;
		StereoBuffer<double> in (kBlock), cleanIn (kBlock), out (kBlock), cleanOut (kBlock);
		for (size_t start = 0; start < x.size (); start += kBlock)
		{
			for (size_t k = 0; k < kBlock; ++k)
			{
				const size_t i = start + k;
				const bool region = i >= 8000 && i < 8600;
				const bool left = region && i % 3 != 0;
				const bool right = region && i % 5 == 0;
				in.left[k] = left ? bad[i % numBad] : x[i];
				in.right[k] = right ? bad[(i + 3) % numBad] : -x[i];
				cleanIn.left[k] = left ? 0.0 : x[i];
				cleanIn.right[k] = right ? 0.0 : -x[i];
			}
			auto process = literal ? &EngineProbe::processBlockLiteral64 : &EngineProbe::processBlock64;
			(dirty.*process) (in.ptrs (), out.ptrs (), kBlock);
			(clean.*process) (cleanIn.ptrs (), cleanOut.ptrs (), kBlock);
			for (size_t k = 0; k < kBlock; ++k)
			{
				ASSERT_TRUE (std::isfinite (out.left[k]) && std::isfinite (out.right[k])) << start + k;
				ASSERT_TRUE (sameBits (out.left[k], cleanOut.left[k]) && sameBits (out.right[k], cleanOut.right[k]))
				    << start + k;
			}
		}
		StereoBuffer<float> f (64);
		f.left.assign (64, std::numeric_limits<float>::quiet_NaN ());
		dirty.processBlock32 (f.ptrs (), f.ptrs (), 64);
		for (float v : f.left)
			EXPECT_TRUE (std::isfinite (v));
	}
}

// Missing channel buffers: silence on whatever output exists, no crash.
TEST (BlockLoop, MissingChannelsGiveSilence)
{
	EngineProbe e (44100.0);
	StereoBuffer<double> b (16);
	b.left.assign (16, 1.0);
	b.right.assign (16, 1.0);
	double* in[] = {b.left.data (), nullptr};
	e.processBlock64 (in, b.ptrs (), 16);
	EXPECT_EQ (b.left[3], 0.0);
	EXPECT_EQ (b.right[3], 0.0);
	e.processBlock64 (nullptr, nullptr, 16);
}

bool isSubnormal (double v)
{
	return v != 0.0 && std::fabs (v) < std::numeric_limits<double>::min ();
}

// Every scalar of the engine state that decays in silence.
bool scalarStateClean (const ReverbState& r)
{
	const double values[] = {r.inputLowPass.prevInput, r.inputLowPass.prevOutput, r.midLowCut.prevInput,
	                         r.midLowCut.prevOutput,   r.sideLowCut.prevInput,    r.sideLowCut.prevOutput,
	                         r.smoothedDiffusion,      r.diffusionSmootherState,  r.diffuserGain[0],
	                         r.diffuserGain[1],        r.smoothedMix,             r.smoothedLevel};
	for (double v : values)
		if (isSubnormal (v))
			return false;
	for (double v : r.dampingState)
		if (isSubnormal (v))
			return false;
	return true;
}

// Activation, a loud second, a size change, then long silence with the
// smoothed diffusion gliding to 0: neither the outputs (in either sample
// size) nor any engine value or buffer ever holds a subnormal number. The
// flush silences let the input low-pass decay to nothing, the glide takes
// the diffusion smoother through every magnitude.
TEST (BlockLoop, LongSilenceStaysFreeOfSubnormals)
{
	constexpr int32 kSeconds = 20;
	constexpr int32 kRate = 44100;
	for (int32 sampleSize : {kSample64, kSample32})
	{
		EngineProbe e (kRate, sampleSize);
		e.setParameter (kMixId, 1.0);  // the wet signal alone
		e.setParameter (kLevelId, 0.0); // −36 dB: smaller values still
		const std::vector<double> x = noise (kRate, 6);
		StereoBuffer<double> b (kRate);
		StereoBuffer<float> f (kRate);
		for (int32 second = 0; second < kSeconds; ++second)
		{
			if (second == 2)
			{
				e.setParameter (kSizeId, 0.1);
				e.setParameter (kDiffusionId, 0.0);
			}
			for (size_t i = 0; i < kRate; ++i)
			{
				b.left[i] = b.right[i] = second == 1 ? x[i] : 0.0;
				f.left[i] = f.right[i] = static_cast<float> (b.left[i]);
			}
			for (int32 i = 0; i < kRate; ++i)
			{
				if (sampleSize == kSample64)
				{
					e.processBlock64 (b.ptrs (i), b.ptrs (i), 1);
					ASSERT_FALSE (isSubnormal (b.left[i]) || isSubnormal (b.right[i])) << second << " " << i;
				}
				else
				{
					e.processBlock32 (f.ptrs (i), f.ptrs (i), 1);
					ASSERT_FALSE (std::fpclassify (f.left[i]) == FP_SUBNORMAL ||
					              std::fpclassify (f.right[i]) == FP_SUBNORMAL)
					    << second << " " << i;
				}
				ASSERT_TRUE (scalarStateClean (e.reverb)) << second << " " << i;
			}
			const ReverbState& r = e.reverb;
			auto checkBuffer = [&] (const double* buffer) {
				for (int32 i = 0; i < r.bufferLength; ++i)
					ASSERT_FALSE (isSubnormal (buffer[i])) << i;
			};
			checkBuffer (r.preDelayLine);
			for (int32 k = 0; k < kNumDiffusers; ++k)
			{
				checkBuffer (r.diffuserInputLines[k]);
				checkBuffer (r.diffuserOutputLines[k]);
			}
			for (const double* line : r.delayLines)
				checkBuffer (line);
		}
		EXPECT_EQ (e.reverb.smoothedDiffusion, 0.0);
	}
}

} // namespace
