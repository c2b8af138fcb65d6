#include "model/UWave.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "model/UErrors.h"
#include "model/UFormat.h"
#include "model/UStream.h"

namespace lvk {

namespace {

constexpr std::uint16_t FormatPcm = 1;
constexpr std::uint16_t FormatExtensible = 0xFFFE;
// The tail of the sub-format GUID that every KSDATAFORMAT_SUBTYPE_* shares;
// the PCM sub-type's first two bytes are the format tag 1.
constexpr std::array<std::uint8_t, 14> GuidTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                   0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::size_t PlainFormatSize = 16;
constexpr std::size_t ExtensibleFormatSize = 40;

std::uint16_t Get16(const std::uint8_t* P) { return static_cast<std::uint16_t>(P[0] | (P[1] << 8)); }

std::uint32_t Get32(const std::uint8_t* P) {
  return static_cast<std::uint32_t>(P[0]) | (static_cast<std::uint32_t>(P[1]) << 8) |
         (static_cast<std::uint32_t>(P[2]) << 16) | (static_cast<std::uint32_t>(P[3]) << 24);
}

void Put16(std::vector<std::uint8_t>& Out, std::uint32_t V) {
  Out.push_back(static_cast<std::uint8_t>(V));
  Out.push_back(static_cast<std::uint8_t>(V >> 8));
}

void Put32(std::vector<std::uint8_t>& Out, std::uint32_t V) {
  Put16(Out, V & 0xFFFF);
  Put16(Out, V >> 16);
}

void PutId(std::vector<std::uint8_t>& Out, const char* Id) {
  for (int i = 0; i < 4; ++i) Out.push_back(static_cast<std::uint8_t>(Id[i]));
}

// A chunk's name for a message: its four characters, unprintable ones as '?'.
std::string IdText(const std::uint8_t* Id) {
  std::string S;
  for (int i = 0; i < 4; ++i) S += Id[i] >= 32 && Id[i] < 127 && Id[i] != '"' ? static_cast<char>(Id[i]) : '?';
  return S;
}

[[noreturn]] void Damaged(const std::string& Id, std::uint64_t Claimed, std::uint64_t Left) {
  throw EGame(Format("WAV file is damaged: chunk \"%s\" claims %d bytes, but only %d are left", Id,
                     static_cast<std::int64_t>(Claimed), static_cast<std::int64_t>(Left)));
}

struct TFormat {
  std::uint16_t Tag = 0;
  int Channels = 0;
  std::uint32_t Rate = 0;
  int Bits = 0;
};

// Checks the format chunk's fields in the order a user can act on them:
// first whether it is PCM at all.
TFormat ParseFormat(const std::uint8_t* F, std::size_t Size) {
  TFormat Result;
  Result.Tag = Get16(F);
  Result.Channels = Get16(F + 2);
  Result.Rate = Get32(F + 4);
  Result.Bits = Get16(F + 14);
  bool Pcm = Result.Tag == FormatPcm;
  if (Result.Tag == FormatExtensible) {
    if (Size < ExtensibleFormatSize) throw EGame("WAV file is damaged: its format chunk is too short");
    // The sub-format GUID starts at byte 24, after the extension's size,
    // valid bits and channel mask.
    Pcm = Get16(F + 24) == FormatPcm && std::equal(GuidTail.begin(), GuidTail.end(), F + 26);
  }
  if (!Pcm)
    throw EGame(Format("WAV file is not PCM (format %d); only uncompressed PCM can be imported",
                       Result.Tag == FormatExtensible ? Get16(F + 24) : Result.Tag));
  if (Result.Bits != 8 && Result.Bits != 16)
    throw EGame(Format("WAV file has %d bits per sample; only 8 and 16 bits can be imported", Result.Bits));
  if (Result.Channels != 1 && Result.Channels != 2)
    throw EGame(Format("WAV file has %d channels; only mono and stereo can be imported", Result.Channels));
  if (Result.Rate == 0) throw EGame("WAV file has a sample rate of 0");
  return Result;
}

// The frames of the file as 16-bit mono, channels averaged.
std::vector<std::int32_t> Mono(const std::vector<std::uint8_t>& Data, const TFormat& F, std::size_t Frames) {
  std::vector<std::int32_t> Out(Frames);
  const std::size_t Step = static_cast<std::size_t>(F.Channels) * (F.Bits / 8);
  for (std::size_t i = 0; i < Frames; ++i) {
    const std::uint8_t* P = Data.data() + i * Step;
    std::int32_t Sum = 0;
    for (int c = 0; c < F.Channels; ++c)
      Sum += F.Bits == 8 ? (P[c] - 128) * 256 : static_cast<std::int16_t>(Get16(P + 2 * c));
    Out[i] = Sum >> (F.Channels - 1);
  }
  return Out;
}

std::int8_t To8Bit(std::int64_t V) { return static_cast<std::int8_t>(std::clamp<std::int64_t>((V + 128) >> 8, -128, 127)); }

// Output sample J covers the file's frames from J * Rate / 16384 up to
// (J + 1) * Rate / 16384. A higher rate averages the frames of that span; a
// lower one draws a straight line from the frame before to the one after.
std::vector<std::int8_t> Resample(const std::vector<std::int32_t>& In, std::uint32_t Rate, std::size_t Count) {
  std::vector<std::int8_t> Out(Count);
  const std::uint64_t Last = In.size() - 1;
  for (std::size_t J = 0; J < Count; ++J) {
    if (Rate > WaveSampleRate) {
      std::uint64_t From = std::min<std::uint64_t>(J * std::uint64_t{Rate} / WaveSampleRate, Last);
      std::uint64_t To = std::clamp<std::uint64_t>((J + 1) * std::uint64_t{Rate} / WaveSampleRate, From + 1, In.size());
      std::int64_t Sum = 0;
      for (std::uint64_t i = From; i < To; ++i) Sum += In[i];
      std::int64_t N = static_cast<std::int64_t>(To - From);
      // Rounded down, as the shifts elsewhere round.
      Out[J] = To8Bit((Sum >= 0 ? Sum : Sum - N + 1) / N);
    } else {
      // The position in 1/65536 frame: J * Rate / 16384 * 65536.
      std::uint64_t Position = J * std::uint64_t{Rate} * 4;
      std::uint64_t I = std::min<std::uint64_t>(Position >> 16, Last);
      std::int64_t Fraction = static_cast<std::int64_t>(Position & 0xFFFF);
      std::int64_t A = In[I], B = In[std::min(I + 1, Last)];
      Out[J] = To8Bit(A + (((B - A) * Fraction) >> 16));
    }
  }
  return Out;
}

TWaveImport ReadChecked(TStream& Stream) {
  std::uint8_t Head[12];
  if (Stream.Remaining() < sizeof Head) throw EGame("Not a WAV file (it does not start with RIFF and WAVE)");
  Stream.ReadBuffer(Head, sizeof Head);
  if (std::memcmp(Head, "RIFF", 4) != 0 || std::memcmp(Head + 8, "WAVE", 4) != 0)
    throw EGame("Not a WAV file (it does not start with RIFF and WAVE)");
  // The RIFF chunk's size counts "WAVE" too; bytes after it are not the
  // file's. Writers that stream leave it 0 or at its largest, so a size that
  // cannot be right stands for the rest of the file; the chunks inside are
  // each checked.
  const std::uint64_t RiffSize = Get32(Head + 4);
  const std::uint64_t Rest = Stream.Remaining();
  const std::uint64_t End = Stream.Position() + (RiffSize >= 4 && RiffSize - 4 <= Rest ? RiffSize - 4 : Rest);

  std::uint8_t Fmt[ExtensibleFormatSize] = {};
  std::size_t FmtSize = 0;
  bool HaveFormat = false, HaveData = false;
  std::uint64_t DataPosition = 0, DataSize = 0;
  while (!(HaveFormat && HaveData) && End - Stream.Position() >= 8) {
    std::uint8_t Chunk[8];
    Stream.ReadBuffer(Chunk, sizeof Chunk);
    const std::uint64_t Size = Get32(Chunk + 4);
    const std::uint64_t Body = Stream.Position();
    if (Size > End - Body) Damaged(IdText(Chunk), Size, End - Body);
    if (std::memcmp(Chunk, "fmt ", 4) == 0 && !HaveFormat) {
      if (Size < PlainFormatSize) throw EGame("WAV file is damaged: its format chunk is too short");
      FmtSize = static_cast<std::size_t>(std::min<std::uint64_t>(Size, sizeof Fmt));
      Stream.ReadBuffer(Fmt, FmtSize);
      HaveFormat = true;
    } else if (std::memcmp(Chunk, "data", 4) == 0 && !HaveData) {
      DataPosition = Body;
      DataSize = Size;
      HaveData = true;
    }
    // Chunks are padded to an even size; a missing last pad byte is harmless.
    Stream.Seek(std::min(End, Body + Size + Size % 2));
  }
  if (!HaveFormat) throw EGame("WAV file has no format chunk");
  if (!HaveData) throw EGame("WAV file has no data chunk");
  const TFormat F = ParseFormat(Fmt, FmtSize);

  const std::uint64_t FrameBytes = static_cast<std::uint64_t>(F.Channels) * (F.Bits / 8);
  const std::uint64_t Frames = DataSize / FrameBytes;
  if (Frames == 0) throw EGame("WAV file has no sound (its data chunk is empty)");

  TWaveImport Result;
  Result.Rate = F.Rate;
  Result.Channels = F.Channels;
  Result.Bits = F.Bits;
  Result.Frames = Frames;
  // Samples at 16,384 Hz, rounded up so that a single frame still sounds.
  const std::uint64_t Whole = (Frames * WaveSampleRate + F.Rate - 1) / F.Rate;
  const std::size_t Count = static_cast<std::size_t>(std::min<std::uint64_t>(Whole, WaveMaxSamples));
  Result.Cut = Whole > WaveMaxSamples;
  // Only the frames those samples reach, one more for the line to the next.
  const std::uint64_t Needed = std::min<std::uint64_t>(Frames, Count * std::uint64_t{F.Rate} / WaveSampleRate + 2);
  std::vector<std::uint8_t> Data(static_cast<std::size_t>(Needed * FrameBytes));
  Stream.Seek(DataPosition);
  Stream.ReadBuffer(Data.data(), Data.size());

  Result.Samples = Resample(Mono(Data, F, static_cast<std::size_t>(Needed)), F.Rate, Count);
  Result.Samples.resize((Count + 3) / 4 * 4, 0);
  return Result;
}

}  // namespace

TWaveImport ReadWave(TStream& Stream) {
  try {
    return ReadChecked(Stream);
  } catch (const EReadError&) {
    // Every size was checked against the stream's; only a file that shrank
    // while it was read gets here.
    throw EGame("WAV file is damaged: it ends early");
  }
}

TWaveImport ReadWaveBytes(const std::uint8_t* Bytes, std::size_t Count) {
  TMemoryStream Stream(Bytes, Count);
  return ReadWave(Stream);
}

TWaveImport ReadWaveFile(const std::string& FileName) {
  TFileStream Stream(FileName, TFileStream::fmOpenRead);
  return ReadWave(Stream);
}

std::vector<std::uint8_t> WaveBytes(const std::vector<std::int8_t>& Samples) {
  const auto Count = static_cast<std::uint32_t>(Samples.size());
  const std::uint32_t Pad = Count % 2;
  std::vector<std::uint8_t> Out;
  Out.reserve(44 + Count + Pad);
  PutId(Out, "RIFF");
  Put32(Out, 36 + Count + Pad);
  PutId(Out, "WAVE");
  PutId(Out, "fmt ");
  Put32(Out, PlainFormatSize);
  Put16(Out, FormatPcm);
  Put16(Out, 1);               // mono
  Put32(Out, WaveSampleRate);  // frames a second
  Put32(Out, WaveSampleRate);  // bytes a second
  Put16(Out, 1);               // bytes a frame
  Put16(Out, 8);               // bits a sample
  PutId(Out, "data");
  Put32(Out, Count);
  // 8-bit WAV samples are unsigned, 128 the silence.
  for (std::int8_t S : Samples) Out.push_back(static_cast<std::uint8_t>(S + 128));
  if (Pad) Out.push_back(0);
  return Out;
}

void SaveWaveFile(const std::string& FileName, const std::vector<std::int8_t>& Samples) {
  std::vector<std::uint8_t> Bytes = WaveBytes(Samples);
  TSafeFileWriter Writer(FileName);
  Writer.Stream().Write(Bytes.data(), Bytes.size());
  Writer.Commit();
}

}  // namespace lvk
