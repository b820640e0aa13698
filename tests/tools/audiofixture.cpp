#include "tools/audiofixture.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace CalvirToolTest {

TempFolder::TempFolder ()
{
	const char* base = std::getenv ("TMPDIR");
	std::string pattern = std::string (base && *base ? base : "/tmp") + "/calvir-render-test.XXXXXX";
	std::vector<char> buffer (pattern.begin (), pattern.end ());
	buffer.push_back ('\0');
	if (mkdtemp (buffer.data ()))
		folder = buffer.data ();
}

TempFolder::~TempFolder ()
{
	if (folder.empty ())
		return;
	for (const auto& name : entries ())
	{
		const std::string path = file (name);
		struct stat info {};
		if (lstat (path.c_str (), &info) == 0 && S_ISDIR (info.st_mode))
			rmdir (path.c_str ());
		else
			unlink (path.c_str ());
	}
	rmdir (folder.c_str ());
}

std::vector<std::string> TempFolder::entries () const
{
	std::vector<std::string> names;
	if (DIR* dir = opendir (folder.c_str ()))
	{
		while (dirent* entry = readdir (dir))
		{
			std::string name = entry->d_name;
			if (name != "." && name != "..")
				names.push_back (name);
		}
		closedir (dir);
	}
	std::sort (names.begin (), names.end ());
	return names;
}

Channels makeNoise (int numChannels, int64_t frames, double amplitude, uint32_t seed)
{
	std::mt19937 generator (seed);
	Channels channels (static_cast<size_t> (numChannels));
	for (auto& channel : channels)
	{
		channel.resize (static_cast<size_t> (frames));
		for (auto& sample : channel)
		{
			// Values a float holds exactly, so 32-bit files keep them.
			const double unit = static_cast<double> (generator () >> 8) / static_cast<double> (1u << 24);
			sample = static_cast<float> (amplitude * (2.0 * unit - 1.0));
		}
	}
	return channels;
}

void writeAudio (const std::string& path, const Channels& channels, int sampleRate, int format)
{
	SF_INFO info {};
	info.channels = static_cast<int> (channels.size ());
	info.samplerate = sampleRate;
	info.format = format;
	SNDFILE* file = sf_open (path.c_str (), SFM_WRITE, &info);
	if (!file)
		return;
	const size_t frames = channels.empty () ? 0 : channels[0].size ();
	std::vector<double> interleaved (frames * channels.size ());
	for (size_t i = 0; i < frames; ++i)
		for (size_t c = 0; c < channels.size (); ++c)
			interleaved[i * channels.size () + c] = channels[c][i];
	sf_writef_double (file, interleaved.data (), static_cast<sf_count_t> (frames));
	sf_close (file);
}

AudioData readAudio (const std::string& path)
{
	AudioData data;
	SF_INFO info {};
	SNDFILE* file = sf_open (path.c_str (), SFM_READ, &info);
	if (!file)
		return data;
	data.sampleRate = info.samplerate;
	data.format = info.format;
	std::vector<double> interleaved (static_cast<size_t> (info.frames * info.channels));
	const sf_count_t got = sf_readf_double (file, interleaved.data (), info.frames);
	sf_close (file);
	data.channels.assign (static_cast<size_t> (info.channels),
	                      std::vector<double> (static_cast<size_t> (got)));
	for (sf_count_t i = 0; i < got; ++i)
		for (int c = 0; c < info.channels; ++c)
			data.channels[static_cast<size_t> (c)][static_cast<size_t> (i)] =
			    interleaved[static_cast<size_t> (i * info.channels + c)];
	return data;
}

std::vector<char> readBytes (const std::string& path)
{
	std::ifstream file (path, std::ios::binary);
	return std::vector<char> ((std::istreambuf_iterator<char> (file)), std::istreambuf_iterator<char> ());
}

void writeBytes (const std::string& path, const std::vector<char>& bytes)
{
	std::ofstream file (path, std::ios::binary);
	file.write (bytes.data (), static_cast<std::streamsize> (bytes.size ()));
}

bool fileExists (const std::string& path)
{
	struct stat info {};
	return stat (path.c_str (), &info) == 0;
}

} // namespace CalvirToolTest
