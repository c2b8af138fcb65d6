#pragma once
// WAV files: importing one as a sound's samples, and writing samples as one.
//
// A sound's samples are signed 8-bit mono at 16,384 Hz, at most 2 seconds,
// padded with silence to a multiple of 4 (the DS's sound channels count
// words). The reader takes RIFF/WAVE files of uncompressed PCM (format 1,
// or WAVE_FORMAT_EXTENSIBLE with the PCM sub-format), 8 or 16 bits, mono or
// stereo, at any rate, and converts them: the channels are averaged, the
// rate changed with integer arithmetic only (an average over each output
// sample's span of the file when the file's rate is higher, a straight line
// between neighbouring samples when lower), so a file converts to the same
// bytes everywhere. A file longer than 2 seconds is cut after 2 seconds and
// the caller is told (Cut), so it can say so to the user.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lvk {

class TStream;

constexpr std::uint32_t WaveSampleRate = 16384;
// 2 seconds.
constexpr std::size_t WaveMaxSamples = 32768;

struct TWaveImport {
  // The converted samples: never empty, a multiple of 4, at most WaveMaxSamples.
  std::vector<std::int8_t> Samples;
  // True when the file held more than 2 seconds, of which Samples are the first 2.
  bool Cut = false;
  // What the file held.
  std::uint32_t Rate = 0;
  int Channels = 0;
  int Bits = 0;
  std::uint64_t Frames = 0;
};

// Reads a WAV file from the stream's position to its end. A file that is not
// one the program takes raises EGame naming the reason:
//   "Not a WAV file (it does not start with RIFF and WAVE)"
//   "WAV file is damaged: chunk \"%s\" claims %d bytes, but only %d are left"
//   "WAV file is damaged: its format chunk is too short"
//   "WAV file has no format chunk", "WAV file has no data chunk"
//   "WAV file has no sound (its data chunk is empty)"
//   "WAV file is not PCM (format %d); only uncompressed PCM can be imported"
//   "WAV file has %d bits per sample; only 8 and 16 bits can be imported"
//   "WAV file has %d channels; only mono and stereo can be imported"
//   "WAV file has a sample rate of 0"
//   "WAV file is damaged: it ends early" (a file that shrank while read)
// Every chunk's size is checked against the bytes left before anything is
// read or allocated for it; of the data only what the first 2 seconds need
// is read. Chunks after the format and data chunks are not looked at. A
// RIFF size that does not fit (streaming writers leave it 0) stands for the
// rest of the file.
TWaveImport ReadWave(TStream& Stream);
TWaveImport ReadWaveBytes(const std::uint8_t* Bytes, std::size_t Count);
// EFileError when the file cannot be opened or read.
TWaveImport ReadWaveFile(const std::string& FileName);

// The samples as a WAV file: PCM, 8 bits, mono, 16,384 Hz.
std::vector<std::uint8_t> WaveBytes(const std::vector<std::int8_t>& Samples);
// Written through a temporary file, so a failure leaves an old file intact.
void SaveWaveFile(const std::string& FileName, const std::vector<std::int8_t>& Samples);

}  // namespace lvk
