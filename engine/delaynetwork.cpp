// The feedback delay network: sixteen delay lines, each followed by a damping
// filter, mixed by a 16-point Hadamard matrix and fed back together with the
// input; two groups of output taps give the wet stereo pair.
#include "engine/enginemath.h"
#include "engine/engineconstants.h"
#include "processor/plugprocessor.h"

#include <cmath>

namespace Steinberg {
namespace Vst {

void PlugProcessor::configureDelayNetwork (int32 /*type: kNetworkType, the only variant*/, bool immediate,
                                           double T0, double T1, double hfRatio)
{
	updateStageCoefficients (immediate);

	ReverbState& r = reverb;
	r.shortGroupTapGain = EngineMath::shortGroupTapGain (r.smoothedDiffusion);

	// Line lengths in ms scale with the cube root of the room volume.
	const double sizeFactor = kSizeFactorScale * std::cbrt (kSizeFactorVolumeScale * r.roomSize);
	double lengthMs[kNumDelayLines];
	for (int32 i = 0; i < kNumDelayLines; ++i)
		lengthMs[i] = kDelayLineLengthsMs[i] * sizeFactor;

	// The lengths in samples change only while no flush is pending (or at
	// once when immediate): new lengths start from silent lines.
	if (!r.flushPending () || immediate)
	{
		for (int32 i = 0; i < kNumDelayLines; ++i)
			r.lineLengths[i] = static_cast<int32> (lengthMs[i] * r.samplesPerMs + kRoundingOffset);
	}

	// Damping filters: gain g per pass at DC (60 dB in T ms), g^(1/hfRatio)
	// at Nyquist. They follow the unrounded lengths of the current size.
	const double hfExponent = 1.0 - 1.0 / hfRatio;
	for (int32 i = 0; i < kNumDelayLines; ++i)
	{
		const double decayTimeMs = i < kNumLongLines ? T0 : T1;
		const double g = std::pow (10.0, kDecayDecades * lengthMs[i] / decayTimeMs);
		const double h = std::pow (g, hfExponent);
		const double n = 2.0 / (h + 1.0);
		r.dampingB0[i] = g * n;
		r.dampingPole[i] = 1.0 - n;
	}

	// Correction weights, proportional to what each line loses per pass.
	double lossSum = 1.0 - r.dampingB0[0];
	for (int32 i = 1; i < kNumDelayLines; ++i)
		lossSum += 1.0 - r.dampingB0[i];
	for (int32 i = 0; i < kNumDelayLines; ++i)
		r.feedbackWeights[i] = (1.0 - r.dampingB0[i]) / lossSum;
}

void PlugProcessor::processDelayNetwork (int32 /*type: kNetworkType, the only variant*/, double input,
                                         double& outLeft, double& outRight)
{
	ReverbState& r = reverb;
	const int32 w = r.writeIndex;

	// Every line is read before any is written.
	double d[kNumDelayLines];
	for (int32 i = 0; i < kNumDelayLines; ++i)
		d[i] = r.delayLines[i][EngineMath::wrapIndex (w, r.lineLengths[i], r.bufferLength)];

	const EngineMath::NetworkFilters filters {r.dampingB0, r.dampingPole, r.dampingState, r.feedbackWeights};
	double lineInputs[kNumDelayLines];
	EngineMath::networkSample (d, filters, r.smoothedDiffusion, r.shortGroupTapGain, r.fadeGain, input, outLeft,
	                           outRight, lineInputs);

	for (int32 k = 0; k < kNumDelayLines; ++k)
		r.delayLines[k][w] = lineInputs[k];
}

} // namespace Vst
} // namespace Steinberg
