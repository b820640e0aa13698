// Fuzz target: the controller's setComponentState with arbitrary bytes.
//
// Input: the stream bytes; the controller reads records from it until one
// runs short. Properties:
// - a complete record sets all nine parameters: bypass 1 or 0, the eight
//   values clamped to [0, 1], a NaN giving the parameter's default;
// - a record that runs short answers kResultFalse and changes none of them;
// - no crash, no leak.
#include "fuzz/fuzzcheck.h"
#include "fuzz/statecodec.h"

#include "controller/plugcontroller.h"
#include "processor/plugids.h"

#include "public.sdk/source/common/memorystream.h"

#include <cmath>
#include <cstdint>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace CalvirFuzz;

namespace {

constexpr int kMaxRestores = 4;
constexpr int32 kParameterCount = kNumParameters; // the controller counts in int32

double expectedValue (double stored, double defaultValue)
{
	if (std::isnan (stored))
		return defaultValue;
	return stored > 1.0 ? 1.0 : stored < 0.0 ? 0.0 : stored;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
	FUnknown* instance = PlugController::createInstance (nullptr);
	FUZZ_CHECK (instance != nullptr);
	IEditController* controller = nullptr;
	FUZZ_CHECK (instance->queryInterface (IEditController::iid, reinterpret_cast<void**> (&controller)) ==
	            kResultOk);
	instance->release ();
	FUZZ_CHECK (controller->initialize (nullptr) == kResultOk);
	FUZZ_CHECK (controller->getParameterCount () == kParameterCount);

	double defaults[kNumParameters];
	for (int32 i = 0; i < kParameterCount; ++i)
	{
		ParameterInfo info {};
		FUZZ_CHECK (controller->getParameterInfo (i, info) == kResultOk);
		defaults[i] = info.defaultNormalizedValue;
		// Start away from the defaults, so that a partial change would show.
		controller->setParamNormalized (i, 0.3 + 0.01 * i);
	}

	std::vector<uint8_t> bytes (data, data + size);
	MemoryStream stream (bytes.data (), static_cast<TSize> (bytes.size ()));
	size_t consumed = 0;
	for (int restore = 0; restore < kMaxRestores; ++restore)
	{
		double before[kNumParameters];
		for (int32 i = 0; i < kParameterCount; ++i)
			before[i] = controller->getParamNormalized (i);
		const tresult result = controller->setComponentState (&stream);
		if (size - consumed >= kStateBytes)
		{
			FUZZ_CHECK (result == kResultOk);
			const DecodedState d = decodeState (bytes.data () + consumed);
			consumed += kStateBytes;
			FUZZ_CHECK (controller->getParamNormalized (kBypassId) == (d.bypass ? 1.0 : 0.0));
			for (int32 i = 1; i < kParameterCount; ++i)
			{
				FUZZ_CHECK (controller->getParamNormalized (i) == expectedValue (d.value (i - 1), defaults[i]));
				// The conversions for display must survive the raw stored value too.
				String128 text {};
				controller->getParamStringByValue (i, d.value (i - 1), text);
				const double plain = controller->normalizedParamToPlain (i, d.value (i - 1));
				(void)controller->plainParamToNormalized (i, plain);
				ParamValue parsed = 0.0;
				controller->getParamValueByString (i, text, parsed);
			}
		}
		else
		{
			FUZZ_CHECK (result == kResultFalse);
			for (int32 i = 0; i < kParameterCount; ++i)
				FUZZ_CHECK (bitsOf (controller->getParamNormalized (i)) == bitsOf (before[i]));
			break;
		}
	}
	// Display strings of whatever the values now are.
	for (int32 i = 0; i < kParameterCount; ++i)
	{
		String128 text {};
		controller->getParamStringByValue (i, controller->getParamNormalized (i), text);
	}
	controller->terminate ();
	controller->release ();
	return 0;
}
