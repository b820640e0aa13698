// A PlugProcessor that lets tests look at its parameter record and engine
// state, and a helper that brings one up the way a host does. Used by the
// reliability tests, the long run and the processor fuzz targets.
#pragma once

#include "processor/plugids.h"
#include "processor/plugprocessor.h"
#include "support/testaudioblock.h"
#include "support/testparameterchanges.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

namespace CalvirTest {

using namespace Steinberg;
using namespace Steinberg::Vst;
using CalvirTestSupport::isCleanSample;
using CalvirTestSupport::TestAudioBlock;
using CalvirTestSupport::TestParameterChanges;

class ProbeProcessor : public PlugProcessor
{
public:
	const PlugState& params () const { return paramState; }
	const ReverbState& engine () const { return reverb; }
	double currentSampleRate () const { return sampleRate; }

	// Calls visit (name, index, value, isTarget) with every floating-point value
	// of the engine state and, with withBuffers, of every delay buffer that is
	// held. isTarget marks the parameter targets: the host's normalised values
	// mapped, which a host may send as small as it likes.
	template <typename Visitor>
	void forEachEngineValue (Visitor&& visit, bool withBuffers = true) const
	{
		const ReverbState& r = reverb;
#define CALVIR_VISIT(field) visit (#field, 0, r.field, false)
#define CALVIR_VISIT_TARGET(field) visit (#field, 0, r.field, true)
		CALVIR_VISIT (samplesPerMs);
		CALVIR_VISIT_TARGET (levelTarget);
		CALVIR_VISIT_TARGET (mixTarget);
		CALVIR_VISIT_TARGET (diffusionTarget);
		CALVIR_VISIT_TARGET (preDelayMs);
		CALVIR_VISIT_TARGET (reverbTimeMs);
		CALVIR_VISIT_TARGET (roomSize);
		CALVIR_VISIT_TARGET (hfDamping);
		CALVIR_VISIT_TARGET (lowPassHz);
		CALVIR_VISIT (smoothedLevel);
		CALVIR_VISIT (smoothedMix);
		CALVIR_VISIT (smoothedDiffusion);
		CALVIR_VISIT (levelSmootherState);
		CALVIR_VISIT (mixSmootherState);
		CALVIR_VISIT (diffusionSmootherState);
		CALVIR_VISIT (smoothingTimeMs);
		CALVIR_VISIT (smoothingGain);
		CALVIR_VISIT (smoothingPole);
		CALVIR_VISIT_TARGET (lastPreDelayMs);
		CALVIR_VISIT_TARGET (lastRoomSize);
		CALVIR_VISIT (fadeGain);
		CALVIR_VISIT (fadeOutStep);
		CALVIR_VISIT (fadeInStep);
		CALVIR_VISIT (midLowCutHz);
		CALVIR_VISIT (sideLowCutHz);
		CALVIR_VISIT (dryGain);
		CALVIR_VISIT (shortGroupTapGain);
		CALVIR_VISIT (inputLowPass.gain);
		CALVIR_VISIT (inputLowPass.pole);
		CALVIR_VISIT (inputLowPass.prevInput);
		CALVIR_VISIT (inputLowPass.prevOutput);
		CALVIR_VISIT (midLowCut.gain);
		CALVIR_VISIT (midLowCut.pole);
		CALVIR_VISIT (midLowCut.prevInput);
		CALVIR_VISIT (midLowCut.prevOutput);
		CALVIR_VISIT (sideLowCut.gain);
		CALVIR_VISIT (sideLowCut.pole);
		CALVIR_VISIT (sideLowCut.prevInput);
		CALVIR_VISIT (sideLowCut.prevOutput);
#undef CALVIR_VISIT
#undef CALVIR_VISIT_TARGET
		for (int k = 0; k < kNumDiffusers; ++k)
		{
			visit ("diffuserLengthMs", k, r.diffuserLengthMs[k], false);
			visit ("diffuserGain", k, r.diffuserGain[k], false);
		}
		for (int i = 0; i < kNumDelayLines; ++i)
		{
			visit ("dampingB0", i, r.dampingB0[i], false);
			visit ("dampingPole", i, r.dampingPole[i], false);
			visit ("dampingState", i, r.dampingState[i], false);
			visit ("feedbackWeights", i, r.feedbackWeights[i], false);
		}
		if (!withBuffers)
			return;
		auto visitBuffer = [&] (const char* name, int k, const double* b) {
			if (b == nullptr)
				return;
			for (int32 i = 0; i < r.bufferLength; ++i)
				visit (name, k, b[i], false);
		};
		visitBuffer ("preDelayLine", 0, r.preDelayLine);
		for (int k = 0; k < kNumDiffusers; ++k)
		{
			visitBuffer ("diffuserInputLines", k, r.diffuserInputLines[k]);
			visitBuffer ("diffuserOutputLines", k, r.diffuserOutputLines[k]);
		}
		for (int i = 0; i < kNumDelayLines; ++i)
			visitBuffer ("delayLines", i, r.delayLines[i]);
	}

	// Whether a value of the engine is acceptable: always finite; outside the
	// parameter targets also not subnormal, when requireNormal says so.
	static bool acceptable (double v, bool isTarget, bool requireNormal)
	{
		if (!std::isfinite (v))
			return false;
		return !requireNormal || isTarget || isCleanSample (v);
	}

	// Number of engine values that are not finite, or that are subnormal
	// outside the parameter targets.
	int countUncleanEngineValues (bool withBuffers = true, bool requireNormal = true) const
	{
		int n = 0;
		forEachEngineValue (
		    [&] (const char*, int, double v, bool isTarget) {
			    if (!acceptable (v, isTarget, requireNormal))
				    ++n;
		    },
		    withBuffers);
		return n;
	}

	// The first few of those values, for failure messages.
	std::string describeUncleanEngineValues (bool withBuffers = true, bool requireNormal = true) const
	{
		std::string text;
		int shown = 0;
		forEachEngineValue (
		    [&] (const char* name, int index, double v, bool isTarget) {
			    if (acceptable (v, isTarget, requireNormal) || shown >= kMaxDescribed)
				    return;
			    ++shown;
			    char line[160];
			    std::snprintf (line, sizeof line, "%s[%d] = %g; ", name, index, v);
			    text += line;
		    },
		    withBuffers);
		return text;
	}

private:
	static constexpr int kMaxDescribed = 8;
};

// Owns one ProbeProcessor through its reference count and drives it in the
// VST 3 order.
class ProcessorSession
{
public:
	ProcessorSession () : proc (new ProbeProcessor) { proc->initialize (nullptr); }
	~ProcessorSession ()
	{
		if (active)
			activate (false);
		proc->terminate ();
		proc->release ();
	}
	ProcessorSession (const ProcessorSession&) = delete;
	ProcessorSession& operator= (const ProcessorSession&) = delete;

	tresult setup (double rate, int32 sampleSize, int32 maxBlock = 8192)
	{
		ProcessSetup s {};
		s.processMode = kRealtime;
		s.symbolicSampleSize = sampleSize;
		s.maxSamplesPerBlock = maxBlock;
		s.sampleRate = rate;
		return proc->setupProcessing (s);
	}
	// Activation with processing switched on, or processing switched off and
	// deactivation, in the order hosts use.
	tresult activate (bool state)
	{
		if (!state && active)
			proc->setProcessing (false);
		const tresult r = proc->setActive (state);
		active = state && r == kResultOk;
		if (active)
			proc->setProcessing (true);
		return r;
	}
	// Sets parameters as a host would: one queue per value, applied with a
	// block of zero samples.
	void setParams (std::initializer_list<std::pair<ParamID, ParamValue>> values)
	{
		TestParameterChanges changes;
		for (auto& v : values)
			changes.set (v.first, v.second);
		TestAudioBlock empty (kSample64, 1);
		empty.reset (kSample64, 0);
		empty.setParameterChanges (&changes);
		proc->process (empty.data ());
	}

	ProbeProcessor* operator-> () { return proc; }
	ProbeProcessor& get () { return *proc; }

private:
	ProbeProcessor* proc;
	bool active {false};
};

} // namespace CalvirTest
