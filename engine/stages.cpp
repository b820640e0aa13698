// Input stage, diffusers and output stage: everything in the reverb chain
// around the feedback delay network, and the coefficients of those stages.
//
//   mono sum × fade gain → input low-pass (× 0.05) → pre-delay →
//   allpass diffuser 1 → allpass diffuser 2 → delay network →
//   mid/side low cut → wet/dry mix
#include "engine/engineconstants.h"
#include "engine/enginemath.h"
#include "processor/plugprocessor.h"

#include <algorithm>
#include <cmath>

namespace Steinberg {
namespace Vst {

void PlugProcessor::updateStageCoefficients (bool immediate)
{
	ReverbState& r = reverb;

	r.dryGain = EngineMath::dryGain (r.smoothedMix);

	// Bilinear first-order low-pass with a gain of kInputGain at DC. The
	// corner stays below half the sample rate. The gain is stored once, in
	// its final value: the unit-gain numerator is never held in the record.
	const double cornerHz = std::min (r.lowPassHz, kMaxLowPassFraction * sampleRate);
	const double w = cornerHz * kTwoPi / sampleRate;
	const double d = (1.0 - std::sin (w)) / std::cos (w);
	const double unitGain = 0.5 - 0.5 * d;
	r.inputLowPass.pole = d;
	r.inputLowPass.gain = unitGain * kInputGain;

	// The pre-delay length changes only while no flush is pending (or at once
	// when immediate): the new length takes effect in silence.
	if (!r.flushPending () || immediate)
	{
		int32 samples = static_cast<int32> (r.samplesPerMs * r.preDelayMs + kRoundingOffset);
		// The pre-delay line is written before it is read, so a delay of a
		// whole bufferLength would read the sample just written: no delay at
		// all. Below 8000 Hz the longest pre-delay can round to that length;
		// it is kept one sample shorter.
		if (r.bufferLength > 0 && samples >= r.bufferLength)
			samples = r.bufferLength - 1;
		r.preDelaySamples = samples;
	}

	EngineMath::diffuserGains (r.diffuserLengthMs, r.smoothedDiffusion, r.diffuserGain);
}

void PlugProcessor::processSample (double xL, double xR, double& outL, double& outR)
{
	ReverbState& r = reverb;
	const int32 w = r.writeIndex;
	const int32 n = r.bufferLength;

	// 1, 2. Mono sum through the input low-pass.
	const double y = EngineMath::lowPassStep (r.inputLowPass, (xL + xR) * r.fadeGain);

	// 3. Pre-delay: written first, so a delay of 0 reads this very sample.
	r.preDelayLine[w] = y;
	const double p = r.preDelayLine[EngineMath::wrapIndex (w, r.preDelaySamples, n)];

	// 4-6. The two allpass diffusers.
	const int32 i = EngineMath::wrapIndex (w, r.diffuserLengthSamples[0], n);
	const int32 j = EngineMath::wrapIndex (w, r.diffuserLengthSamples[1], n);
	double* x1 = r.diffuserInputLines[0];
	double* y1 = r.diffuserOutputLines[0];
	double* x2 = r.diffuserInputLines[1];
	double* y2 = r.diffuserOutputLines[1];
	const EngineMath::DiffuserTaps taps {x1 + i, y1 + i, x2 + j, y2 + j, x1 + w, y1 + w, x2 + w, y2 + w};
	const double a2 = EngineMath::diffuserPair (taps, r.diffuserGain, p);

	// 7. The network gives the wet pair.
	double wetL = 0.0;
	double wetR = 0.0;
	processDelayNetwork (kNetworkType, a2, wetL, wetR);

	// 8-10. Low cut in mid/side form, then back to left/right.
	double left = 0.0;
	double right = 0.0;
	EngineMath::midSideLowCut (wetL, wetR, r.midLowCut, r.sideLowCut, left, right);

	// 11. Wet/dry mix; the dry input passes exactly as given.
	outL = r.smoothedMix * left + r.dryGain * xL;
	outR = r.smoothedMix * right + r.dryGain * xR;
}

} // namespace Vst
} // namespace Steinberg
