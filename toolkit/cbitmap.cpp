#include "toolkit/cbitmap.h"

#include <array>
#include <cstdint>
#include <fstream>

namespace VSTGUI {

namespace {

// A PNG file starts with an 8-byte signature, then the IHDR chunk: 4 bytes
// length, "IHDR", then width and height as big-endian 32-bit numbers.
constexpr std::array<unsigned char, 8> kPngSignature {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr size_t kPngHeaderBytes = 24;
constexpr size_t kChunkTypeOffset = 12;
constexpr size_t kWidthOffset = 16;
constexpr size_t kHeightOffset = 20;
// PNG limits dimensions to 2^31 - 1; anything beyond a sane size is refused.
constexpr uint32_t kMaxBitmapSide = 1u << 16;

uint32_t readBigEndian32 (const unsigned char* bytes)
{
	return (uint32_t (bytes[0]) << 24) | (uint32_t (bytes[1]) << 16) | (uint32_t (bytes[2]) << 8) |
	       uint32_t (bytes[3]);
}

} // namespace

CBitmap* CBitmap::createFromPngFile (const std::string& path)
{
	std::ifstream file (path, std::ios::binary);
	if (!file)
		return nullptr;
	std::array<unsigned char, kPngHeaderBytes> header {};
	if (!file.read (reinterpret_cast<char*> (header.data ()), header.size ()))
		return nullptr;
	if (!std::equal (kPngSignature.begin (), kPngSignature.end (), header.begin ()))
		return nullptr;
	const unsigned char* type = header.data () + kChunkTypeOffset;
	if (type[0] != 'I' || type[1] != 'H' || type[2] != 'D' || type[3] != 'R')
		return nullptr;
	const uint32_t width = readBigEndian32 (header.data () + kWidthOffset);
	const uint32_t height = readBigEndian32 (header.data () + kHeightOffset);
	if (width == 0 || height == 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
		return nullptr;
	return new CBitmap (width, height);
}

} // namespace VSTGUI
