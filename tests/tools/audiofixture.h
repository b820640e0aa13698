// Files for the renderer tests: a temporary folder that cleans up after
// itself, and audio files written and read back with libsndfile.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

namespace CalvirToolTest {

using Channels = std::vector<std::vector<double>>;

class TempFolder
{
public:
	TempFolder ();
	~TempFolder ();
	const std::string& path () const { return folder; }
	std::string file (const std::string& name) const { return folder + "/" + name; }
	// Names of the folder's entries, hidden ones included, sorted.
	std::vector<std::string> entries () const;

private:
	std::string folder;
};

struct AudioData
{
	int sampleRate {0};
	int format {0};
	Channels channels;
	int64_t frames () const { return channels.empty () ? 0 : static_cast<int64_t> (channels[0].size ()); }
};

// Deterministic noise in [-amplitude, amplitude], one vector per channel.
Channels makeNoise (int numChannels, int64_t frames, double amplitude, uint32_t seed);

// Writes the channels (all of equal length) in the given libsndfile format.
void writeAudio (const std::string& path, const Channels& channels, int sampleRate,
                 int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT);
// Reads a file; an empty AudioData when it cannot be opened.
AudioData readAudio (const std::string& path);

std::vector<char> readBytes (const std::string& path);
void writeBytes (const std::string& path, const std::vector<char>& bytes);
bool fileExists (const std::string& path);

} // namespace CalvirToolTest
