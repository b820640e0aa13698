// Checks of the fixed-size fields and class IDs that a factory writes into
// its class records, as a host reads them.
#pragma once

#include "pluginterfaces/base/funknown.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace CalvirTestSupport {

// The text fills the field's start; every byte after it is zero.
template <size_t N>
::testing::AssertionResult isPaddedText (const Steinberg::char8 (&field)[N], const std::string& text)
{
	if (text.size () >= N)
		return ::testing::AssertionFailure () << "text longer than the field";
	const std::string held (field, strnlen (field, N));
	if (held != text)
		return ::testing::AssertionFailure () << "field holds \"" << held << "\"";
	for (size_t i = text.size (); i < N; ++i)
	{
		if (field[i] != 0)
			return ::testing::AssertionFailure () << "byte " << i << " is not zero";
	}
	return ::testing::AssertionSuccess ();
}

// The class ID's 16 bytes as a record holds them: the four words in order,
// each most significant byte first.
inline std::string classIdBytes (const Steinberg::FUID& fuid)
{
	std::string bytes;
	for (Steinberg::uint32 word : {fuid.getLong1 (), fuid.getLong2 (), fuid.getLong3 (), fuid.getLong4 ()})
		for (int shift = 24; shift >= 0; shift -= 8)
			bytes.push_back (static_cast<char> ((word >> shift) & 0xFF));
	return bytes;
}

inline std::string classIdBytes (const Steinberg::TUID cid)
{
	return std::string (cid, sizeof (Steinberg::TUID));
}

} // namespace CalvirTestSupport
