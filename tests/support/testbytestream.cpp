#include "support/testbytestream.h"

#include <algorithm>
#include <cstring>

namespace CalvirTestSupport {

using namespace Steinberg;

tresult PLUGIN_API TestByteStream::read (void* buffer, int32 numBytes, int32* numBytesRead)
{
	++reads;
	if (numBytesRead)
		*numBytesRead = 0;
	if (buffer == nullptr || numBytes < 0)
		return kInvalidArgument;
	const auto available = static_cast<int64_t> (bytes.size ()) - position;
	const auto count = static_cast<int32> (std::max<int64_t> (0, std::min<int64_t> (numBytes, available)));
	if (count > 0)
		std::memcpy (buffer, bytes.data () + position, static_cast<size_t> (count));
	position += count;
	if (numBytesRead)
		*numBytesRead = count;
	return kResultOk;
}

tresult PLUGIN_API TestByteStream::write (void* buffer, int32 numBytes, int32* numBytesWritten)
{
	++writes;
	if (numBytesWritten)
		*numBytesWritten = 0;
	if (buffer == nullptr || numBytes < 0)
		return kInvalidArgument;
	const auto start = static_cast<size_t> (position);
	const size_t room = writeLimit > start ? writeLimit - start : 0;
	const size_t count = std::min (static_cast<size_t> (numBytes), room);
	if (start + count > bytes.size ())
		bytes.resize (start + count);
	if (count > 0)
		std::memcpy (bytes.data () + start, buffer, count);
	position += static_cast<int64_t> (count);
	if (numBytesWritten)
		*numBytesWritten = static_cast<int32> (count);
	return count == static_cast<size_t> (numBytes) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API TestByteStream::seek (int64 pos, int32 mode, int64* result)
{
	int64_t target = pos;
	if (mode == kIBSeekCur)
		target += position;
	else if (mode == kIBSeekEnd)
		target += static_cast<int64_t> (bytes.size ());
	else if (mode != kIBSeekSet)
		return kInvalidArgument;
	if (target < 0)
		return kResultFalse;
	position = target;
	if (result)
		*result = position;
	return kResultOk;
}

tresult PLUGIN_API TestByteStream::tell (int64* pos)
{
	if (pos == nullptr)
		return kInvalidArgument;
	*pos = position;
	return kResultOk;
}

} // namespace CalvirTestSupport
