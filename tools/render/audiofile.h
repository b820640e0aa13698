// Audio files through libsndfile: WAV, AIFF and FLAC files, mono or stereo,
// read as an input signal; the rendered stereo result written in the
// container that the output name's extension picks.
#pragma once

#include "tools/render/commandline.h"
#include "tools/render/inputsignal.h"

#include <sndfile.h>

#include <string>
#include <vector>

namespace Calvir {
namespace Render {

class AudioFileReader : public InputSignal
{
public:
	static constexpr int kMaxChannels = 2;

	// Opens the file; throws RenderError when it is missing, unreadable, not
	// a WAV, AIFF or FLAC file, or has more than two channels.
	explicit AudioFileReader (const std::string& path);
	~AudioFileReader () override;

	AudioFileReader (const AudioFileReader&) = delete;
	AudioFileReader& operator= (const AudioFileReader&) = delete;

	double sampleRate () const override { return static_cast<double> (info.samplerate); }
	int64_t frames () const override { return static_cast<int64_t> (info.frames); }
	int channels () const { return info.channels; }
	void read (float* left, float* right, int32_t count) override;
	void read (double* left, double* right, int32_t count) override;

private:
	std::string path;
	SF_INFO info {};
	SNDFILE* file {nullptr};
	std::vector<float> interleaved32;
	std::vector<double> interleaved64;

	template <typename Sample>
	void readFrames (std::vector<Sample>& scratch, Sample* left, Sample* right, int32_t count);
};

// The libsndfile format code for an output name and encoding; throws
// UsageError for an unknown extension or an encoding the container lacks.
int outputFormatFor (const std::string& path, OutputEncoding encoding);

class AudioFileWriter
{
public:
	// Writes a stereo file of the given format to an open descriptor, which
	// stays open and owned by the caller.
	AudioFileWriter (int descriptor, const std::string& name, int format, double sampleRate);
	~AudioFileWriter ();

	AudioFileWriter (const AudioFileWriter&) = delete;
	AudioFileWriter& operator= (const AudioFileWriter&) = delete;

	void write (const float* left, const float* right, int32_t count);
	void write (const double* left, const double* right, int32_t count);
	// Completes the file (header sizes); throws RenderError on failure.
	void close ();

private:
	std::string name;
	SNDFILE* file {nullptr};
	std::vector<float> interleaved32;
	std::vector<double> interleaved64;

	template <typename Sample>
	void writeFrames (std::vector<Sample>& scratch, const Sample* left, const Sample* right,
	                  int32_t count);
};

} // namespace Render
} // namespace Calvir
