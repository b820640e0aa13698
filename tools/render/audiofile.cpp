#include "tools/render/audiofile.h"

#include "tools/render/rendererror.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Calvir {
namespace Render {

namespace {

constexpr int kOutputChannels = 2;
constexpr int kFormatProbeRate = 48000; // Hz; any valid rate serves to test a format

bool isReadableContainer (int format)
{
	switch (format & SF_FORMAT_TYPEMASK)
	{
		case SF_FORMAT_WAV:
		case SF_FORMAT_WAVEX:
		case SF_FORMAT_RF64:
		case SF_FORMAT_AIFF:
		case SF_FORMAT_FLAC:
			return true;
		default:
			return false;
	}
}

std::string lowerExtension (const std::string& path)
{
	auto slash = path.rfind ('/');
	auto dot = path.rfind ('.');
	if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
		return {};
	std::string extension = path.substr (dot + 1);
	std::transform (extension.begin (), extension.end (), extension.begin (),
	                [] (unsigned char c) { return static_cast<char> (std::tolower (c)); });
	return extension;
}

sf_count_t readInterleaved (SNDFILE* file, float* data, sf_count_t frames)
{
	return sf_readf_float (file, data, frames);
}

sf_count_t readInterleaved (SNDFILE* file, double* data, sf_count_t frames)
{
	return sf_readf_double (file, data, frames);
}

sf_count_t writeInterleaved (SNDFILE* file, const float* data, sf_count_t frames)
{
	return sf_writef_float (file, data, frames);
}

sf_count_t writeInterleaved (SNDFILE* file, const double* data, sf_count_t frames)
{
	return sf_writef_double (file, data, frames);
}

} // namespace

//------------------------------------------------------------------------
AudioFileReader::AudioFileReader (const std::string& filePath) : path (filePath)
{
	struct stat status {};
	if (::stat (path.c_str (), &status) != 0)
		throw RenderError ("cannot read \"" + path + "\": " + std::strerror (errno));
	if (S_ISDIR (status.st_mode))
		throw RenderError ("cannot read \"" + path + "\": it is a folder");
	const int probe = ::open (path.c_str (), O_RDONLY);
	if (probe < 0)
		throw RenderError ("cannot read \"" + path + "\": " + std::strerror (errno));
	::close (probe);

	file = sf_open (path.c_str (), SFM_READ, &info);
	if (!file)
		throw RenderError ("\"" + path + "\" is not a supported audio file (WAV, AIFF or FLAC): " +
		                   sf_strerror (nullptr));
	if (!isReadableContainer (info.format))
	{
		sf_close (file);
		file = nullptr;
		throw RenderError ("\"" + path + "\" has an unsupported format; WAV, AIFF and FLAC are read");
	}
	if (info.channels < 1 || info.channels > kMaxChannels)
	{
		const int count = info.channels;
		sf_close (file);
		file = nullptr;
		throw RenderError ("\"" + path + "\" has " + std::to_string (count) +
		                   " channels; mono and stereo files are read");
	}
	if (info.samplerate <= 0)
	{
		sf_close (file);
		file = nullptr;
		throw RenderError ("\"" + path + "\" has no valid sample rate");
	}
}

AudioFileReader::~AudioFileReader ()
{
	if (file)
		sf_close (file);
}

template <typename Sample>
void AudioFileReader::readFrames (std::vector<Sample>& scratch, Sample* left, Sample* right,
                                  int32_t count)
{
	const size_t needed = static_cast<size_t> (count) * static_cast<size_t> (info.channels);
	if (scratch.size () < needed)
		scratch.resize (needed);
	const sf_count_t got = readInterleaved (file, scratch.data (), count);
	if (got < count && sf_error (file) != SF_ERR_NO_ERROR)
		throw RenderError ("cannot read \"" + path + "\": " + sf_strerror (file));
	const int32_t frames = static_cast<int32_t> (std::max<sf_count_t> (got, 0));
	for (int32_t i = 0; i < frames; ++i)
	{
		left[i] = scratch[static_cast<size_t> (i * info.channels)];
		right[i] = scratch[static_cast<size_t> (i * info.channels + info.channels - 1)];
	}
	std::fill (left + frames, left + count, Sample (0));
	std::fill (right + frames, right + count, Sample (0));
}

void AudioFileReader::read (float* left, float* right, int32_t count)
{
	readFrames (interleaved32, left, right, count);
}

void AudioFileReader::read (double* left, double* right, int32_t count)
{
	readFrames (interleaved64, left, right, count);
}

//------------------------------------------------------------------------
int outputFormatFor (const std::string& path, OutputEncoding encoding)
{
	const std::string extension = lowerExtension (path);
	int container = 0;
	if (extension == "wav")
		container = SF_FORMAT_WAV;
	else if (extension == "aif" || extension == "aiff")
		container = SF_FORMAT_AIFF;
	else if (extension == "flac")
		container = SF_FORMAT_FLAC;
	else
		throw UsageError ("output \"" + path + "\": the name must end in .wav, .aiff, .aif or .flac");

	int subtype = 0;
	switch (encoding)
	{
		case OutputEncoding::kAuto:
			subtype = container == SF_FORMAT_FLAC ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT;
			break;
		case OutputEncoding::kFloat: subtype = SF_FORMAT_FLOAT; break;
		case OutputEncoding::kDouble: subtype = SF_FORMAT_DOUBLE; break;
		case OutputEncoding::kPcm16: subtype = SF_FORMAT_PCM_16; break;
		case OutputEncoding::kPcm24: subtype = SF_FORMAT_PCM_24; break;
	}

	SF_INFO probe {};
	probe.channels = kOutputChannels;
	probe.samplerate = kFormatProbeRate;
	probe.format = container | subtype;
	if (!sf_format_check (&probe))
		throw UsageError ("output \"" + path + "\": this file type holds no " +
		                  (subtype == SF_FORMAT_DOUBLE ? "double" : "float") +
		                  " samples; use --encoding pcm16 or pcm24");
	return probe.format;
}

//------------------------------------------------------------------------
AudioFileWriter::AudioFileWriter (int descriptor, const std::string& fileName, int format,
                                  double sampleRate)
: name (fileName)
{
	const double rounded = std::floor (sampleRate + 0.5);
	if (rounded != sampleRate || rounded < 1.0 || rounded > static_cast<double> (INT32_MAX))
		throw RenderError ("cannot write \"" + name + "\": audio files hold whole sample rates, not " +
		                   std::to_string (sampleRate) + " Hz");
	SF_INFO info {};
	info.channels = kOutputChannels;
	info.samplerate = static_cast<int> (rounded);
	info.format = format;
	file = sf_open_fd (descriptor, SFM_WRITE, &info, SF_FALSE);
	if (!file)
		throw RenderError ("cannot write \"" + name + "\": " + sf_strerror (nullptr));
	const int subtype = format & SF_FORMAT_SUBMASK;
	if (subtype != SF_FORMAT_FLOAT && subtype != SF_FORMAT_DOUBLE)
		sf_command (file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioFileWriter::~AudioFileWriter ()
{
	if (file)
		sf_close (file);
}

template <typename Sample>
void AudioFileWriter::writeFrames (std::vector<Sample>& scratch, const Sample* left,
                                   const Sample* right, int32_t count)
{
	const size_t needed = static_cast<size_t> (count) * kOutputChannels;
	if (scratch.size () < needed)
		scratch.resize (needed);
	for (int32_t i = 0; i < count; ++i)
	{
		scratch[static_cast<size_t> (2 * i)] = left[i];
		scratch[static_cast<size_t> (2 * i + 1)] = right[i];
	}
	if (writeInterleaved (file, scratch.data (), count) != count)
		throw RenderError ("cannot write \"" + name + "\": " + sf_strerror (file));
}

void AudioFileWriter::write (const float* left, const float* right, int32_t count)
{
	writeFrames (interleaved32, left, right, count);
}

void AudioFileWriter::write (const double* left, const double* right, int32_t count)
{
	writeFrames (interleaved64, left, right, count);
}

void AudioFileWriter::close ()
{
	if (!file)
		return;
	sf_write_sync (file);
	const int error = sf_error (file);
	const int closed = sf_close (file);
	file = nullptr;
	if (error != SF_ERR_NO_ERROR || closed != 0)
		throw RenderError ("cannot write \"" + name + "\": " + sf_error_number (error ? error : closed));
}

} // namespace Render
} // namespace Calvir
