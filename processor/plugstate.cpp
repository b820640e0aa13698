// Stream form, little-endian, 140 bytes, no magic number and no version:
//   uint64 header (0) | int32 bypass | 8 x float64 parameter values in the
//   order of their IDs 1..8 | 6 x float64 reserved | 4 x int32 reserved flags
// Reading is all or nothing: every field is read into a temporary first.
#include "processor/plugstate.h"

#include "base/source/fstreamer.h"
#include "processor/plugids.h"

#include <initializer_list>

namespace Steinberg {
namespace Vst {

namespace {

constexpr uint64 kStreamHeader = 0;
constexpr int32 kNumParameterValues = kNumParameters - 1; // every parameter but bypass

struct StreamFields
{
	int32 bypass {0};
	double values[kNumParameterValues] {}; // level ... lpCut
	double reserved[PlugState::kNumReserved] {};
	int32 reservedFlags[PlugState::kNumReservedFlags] {};
};

int32 toStreamFlag (bool value)
{
	return value ? 1 : 0;
}

bool fromStreamFlag (int32 value)
{
	return value > 0;
}

} // namespace

tresult PlugState::read (IBStream* stream)
{
	if (stream == nullptr)
		return kResultFalse;

	IBStreamer streamer (stream, kLittleEndian);
	StreamFields fields;
	uint64 header = 0;

	if (!streamer.readInt64u (header))
		return kResultFalse;
	if (!streamer.readInt32 (fields.bypass))
		return kResultFalse;
	for (double& value : fields.values)
	{
		if (!streamer.readDouble (value))
			return kResultFalse;
	}
	for (double& value : fields.reserved)
	{
		if (!streamer.readDouble (value))
			return kResultFalse;
	}
	for (int32& flag : fields.reservedFlags)
	{
		if (!streamer.readInt32 (flag))
			return kResultFalse;
	}

	bypass = fromStreamFlag (fields.bypass);
	level = fields.values[0];
	mix = fields.values[1];
	predelay = fields.values[2];
	rvbTime = fields.values[3];
	size = fields.values[4];
	diffusion = fields.values[5];
	hfDamp = fields.values[6];
	lpCut = fields.values[7];
	for (int32 i = 0; i < kNumReserved; ++i)
		reserved[i] = fields.reserved[i];
	for (int32 i = 0; i < kNumReservedFlags; ++i)
		reservedFlags[i] = fromStreamFlag (fields.reservedFlags[i]);
	return kResultOk;
}

tresult PlugState::write (IBStream* stream) const
{
	if (stream == nullptr)
		return kResultFalse;

	IBStreamer streamer (stream, kLittleEndian);

	if (!streamer.writeInt64u (kStreamHeader))
		return kResultFalse;
	if (!streamer.writeInt32 (toStreamFlag (bypass)))
		return kResultFalse;
	for (double value : {level, mix, predelay, rvbTime, size, diffusion, hfDamp, lpCut})
	{
		if (!streamer.writeDouble (value))
			return kResultFalse;
	}
	for (double value : reserved)
	{
		if (!streamer.writeDouble (value))
			return kResultFalse;
	}
	for (bool flag : reservedFlags)
	{
		if (!streamer.writeInt32 (toStreamFlag (flag)))
			return kResultFalse;
	}
	return kResultOk;
}

} // namespace Vst
} // namespace Steinberg
