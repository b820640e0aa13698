// The audio processor component: buses, set-up, activation, the per-block
// road from parameter changes to output buffers, bypass, state and tail.
// The reverb engine's operations are members of this class (engine/).
#pragma once

#include "engine/parametermapping.h"
#include "engine/reverbstate.h"
#include "processor/plugstate.h"
#include "processor/statehandover.h"
#include "sdk/vstaudioeffect.h"

#include <atomic>

namespace Steinberg {
namespace Vst {

class PlugProcessor : public AudioEffect
{
public:
	PlugProcessor ();
	~PlugProcessor () SMTG_OVERRIDE;

	tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API setActive (TBool state) SMTG_OVERRIDE;
	tresult PLUGIN_API setState (IBStream* stream) SMTG_OVERRIDE;
	tresult PLUGIN_API getState (IBStream* stream) SMTG_OVERRIDE;
	tresult PLUGIN_API setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
	                                       SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
	tresult PLUGIN_API canProcessSampleSize (int32 symbolicSampleSize) SMTG_OVERRIDE;
	tresult PLUGIN_API setupProcessing (ProcessSetup& setup) SMTG_OVERRIDE;
	tresult PLUGIN_API process (ProcessData& data) SMTG_OVERRIDE;
	uint32 PLUGIN_API getTailSamples () SMTG_OVERRIDE;

	static FUnknown* createInstance (void* context);

protected:
	//--- Reverb engine (engine/) ------------------------------------------
	// Engine state and preparation
	void initializeEngine ();  // start values, set once by initialize
	void prepareEngine ();
	void allocateBuffers (int32 length);
	void clearBuffers (int32 length);
	void freeBuffers ();
	bool buffersHeld () const; // all 21 delay buffers are held

	// Parameter mapping and smoothing
	void updateCoefficients (bool immediate);
	void reconfigureNetwork (bool immediate);
	void advanceSmoothers ();
	void raiseFlush ();

	// Block loop and flush cycle. processBlock32/64 recompute per sample only
	// what can change; processBlockLiteral32/64 follow the algorithm step by
	// step, reconfiguring the whole network every sample. Both give the same
	// output bit for bit.
	void processBlock32 (Sample32** inputs, Sample32** outputs, int32 numSamples);
	void processBlock64 (Sample64** inputs, Sample64** outputs, int32 numSamples);
	void processBlockLiteral32 (Sample32** inputs, Sample32** outputs, int32 numSamples);
	void processBlockLiteral64 (Sample64** inputs, Sample64** outputs, int32 numSamples);
	void stepFlush ();

	// Input stage, diffusers, output stage
	void processSample (double xL, double xR, double& outL, double& outR);
	void updateStageCoefficients (bool immediate);

	// Feedback delay network
	void configureDelayNetwork (int32 type, bool immediate, double T0, double T1, double hfRatio);
	void processDelayNetwork (int32 type, double input, double& outLeft, double& outRight);

	// Shared body of the block loops, and the per-sample coefficient refresh
	// of the default loop.
	template <typename SampleType, bool literal>
	void renderBlock (SampleType** inputs, SampleType** outputs, int32 numSamples);
	void refreshCoefficients ();

	ReverbState reverb;
	//--- end of the reverb engine -----------------------------------------

	// Applies a restore handed over by setState, as setState itself would:
	// the record, then updateCoefficients. Called by the thread that runs the
	// engine: the audio thread at the start of a block, or the main thread
	// while inactive, activating or deactivating. Never waits; false when no
	// restore was pending.
	bool applyPendingRestore ();

	// The live parameter record. While the processor is active only the audio
	// thread writes it (and the engine); setState hands restores over.
	PlugState paramState;
	StateHandOver stateHandOver;
	bool active {false};         // main thread only: between setActive (true) and (false)
	double sampleRate {kDefaultSampleRate}; // Hz, the engine's: main thread while inactive, then audio thread
	// The same rate for getTailSamples, which any thread may call.
	std::atomic<double> tailSampleRate {kDefaultSampleRate}; // Hz
};

} // namespace Vst
} // namespace Steinberg
