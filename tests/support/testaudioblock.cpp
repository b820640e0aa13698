#include "support/testaudioblock.h"

namespace CalvirTestSupport {

using namespace Steinberg;
using namespace Steinberg::Vst;

TestAudioBlock::TestAudioBlock (int32 symbolicSampleSize, int32 numSamples, int32 numChannels)
: numChannels (numChannels)
{
	const auto channels = static_cast<size_t> (numChannels > 0 ? numChannels : 0);
	const auto length = static_cast<size_t> (numSamples > 0 ? numSamples : 0);
	in32.assign (channels, std::vector<float> (length, 0.0f));
	out32.assign (channels, std::vector<float> (length, 0.0f));
	in64.assign (channels, std::vector<double> (length, 0.0));
	out64.assign (channels, std::vector<double> (length, 0.0));
	reset (symbolicSampleSize, numSamples);
}

ProcessData& TestAudioBlock::reset (int32 symbolicSampleSize, int32 numSamples)
{
	inPtr32.clear ();
	outPtr32.clear ();
	inPtr64.clear ();
	outPtr64.clear ();
	for (size_t c = 0; c < in32.size (); ++c)
	{
		inPtr32.push_back (in32[c].data ());
		outPtr32.push_back (out32[c].data ());
		inPtr64.push_back (in64[c].data ());
		outPtr64.push_back (out64[c].data ());
	}

	inBus = AudioBusBuffers ();
	outBus = AudioBusBuffers ();
	inBus.numChannels = numChannels;
	outBus.numChannels = numChannels;
	if (symbolicSampleSize == kSample64)
	{
		inBus.channelBuffers64 = inPtr64.data ();
		outBus.channelBuffers64 = outPtr64.data ();
	}
	else
	{
		inBus.channelBuffers32 = inPtr32.data ();
		outBus.channelBuffers32 = outPtr32.data ();
	}

	processData = ProcessData ();
	processData.processMode = kRealtime;
	processData.symbolicSampleSize = symbolicSampleSize;
	processData.numSamples = numSamples;
	processData.numInputs = 1;
	processData.numOutputs = 1;
	processData.inputs = &inBus;
	processData.outputs = &outBus;
	return processData;
}

double TestAudioBlock::input (int32 c, int32 i) const
{
	if (processData.symbolicSampleSize == kSample64)
		return inPtr64[static_cast<size_t> (c)][i];
	return inPtr32[static_cast<size_t> (c)][i];
}

double TestAudioBlock::output (int32 c, int32 i) const
{
	// A channel pointer a test has nulled still has its storage behind it.
	const auto channel = static_cast<size_t> (c);
	if (processData.symbolicSampleSize == kSample64)
		return outPtr64[channel] ? outPtr64[channel][i] : out64[channel][static_cast<size_t> (i)];
	return outPtr32[channel] ? outPtr32[channel][i] : out32[channel][static_cast<size_t> (i)];
}

void TestAudioBlock::setInput (int32 c, int32 i, double value)
{
	if (processData.symbolicSampleSize == kSample64)
		inPtr64[static_cast<size_t> (c)][i] = value;
	else
		inPtr32[static_cast<size_t> (c)][i] = static_cast<float> (value);
}

void TestAudioBlock::setOutput (int32 c, int32 i, double value)
{
	if (processData.symbolicSampleSize == kSample64)
		outPtr64[static_cast<size_t> (c)][i] = value;
	else
		outPtr32[static_cast<size_t> (c)][i] = static_cast<float> (value);
}

bool TestAudioBlock::outputIsClean (int32 c, int32 i) const
{
	const auto channel = static_cast<size_t> (c);
	if (processData.symbolicSampleSize == kSample64)
		return isCleanSample (outPtr64[channel] ? outPtr64[channel][i] : out64[channel][static_cast<size_t> (i)]);
	return isCleanSample (outPtr32[channel] ? outPtr32[channel][i] : out32[channel][static_cast<size_t> (i)]);
}

void TestAudioBlock::fillOutputs (double value)
{
	for (size_t c = 0; c < outPtr64.size (); ++c)
		for (int32 i = 0; i < processData.numSamples; ++i)
			setOutput (static_cast<int32> (c), i, value);
}

void TestAudioBlock::useInputsAsOutputs ()
{
	outPtr32 = inPtr32;
	outPtr64 = inPtr64;
	if (processData.symbolicSampleSize == kSample64)
		outBus.channelBuffers64 = outPtr64.data ();
	else
		outBus.channelBuffers32 = outPtr32.data ();
}

} // namespace CalvirTestSupport
