// A WAV file imported into a sound: it becomes the sound's samples, or the
// import fails with the program's own error and the sound stays as it was.
// Imported samples are as the reader promises, read the same from a file and
// from memory, survive the sound's record, and mix.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "engine/lvk_mix.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/USound.h"
#include "model/UStream.h"

using namespace lvk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static const char* const Expected[] = {"Not a WAV file", "WAV file ", nullptr};
  const std::string& Name = fuzz::ScratchFile(".wav");
  fuzz::WriteScratch(Name, Data, Size);
  TSound Sound("sSound1");
  const std::vector<std::int8_t> Before = Sound.Samples();
  TWaveImport Import;
  try {
    Import = Sound.ImportWave(Name);
  } catch (const EGame& E) {
    fuzz::ExpectMessage(E.what(), Expected);
    if (Sound.Kind() != TSoundKind::skMade || Sound.Samples() != Before) fuzz::Fault("a failed import changed the sound");
    return 0;
  } catch (const std::exception& E) {
    fuzz::Fault(std::string("import: ") + E.what());
  }
  const std::vector<std::int8_t>& Samples = Sound.Samples();
  if (Sound.Kind() != TSoundKind::skImported || Samples != Import.Samples) fuzz::Fault("the sound is not the import");
  if (Samples.empty() || Samples.size() % 4 != 0 || Samples.size() > WaveMaxSamples)
    fuzz::Fault("imported samples of a wrong length");
  if (Import.Cut && Samples.size() != WaveMaxSamples) fuzz::Fault("a cut import is not 2 seconds long");
  if (ReadWaveBytes(Data, Size).Samples != Samples) fuzz::Fault("a file and its bytes read differently");

  TMemoryStream Stream;
  TWriter Writer(Stream);
  Sound.SaveToStream(Stream, Writer);
  Writer.FlushBuffer();
  Stream.Seek(0);
  TSound Copy("sSound2");
  try {
    TReader Reader(Stream);
    Copy.LoadFromStream(Stream, Reader);
  } catch (const std::exception& E) {
    fuzz::Fault(std::string("reading a saved sound: ") + E.what());
  }
  if (Copy.Samples() != Samples) fuzz::Fault("a saved sound reads back other samples");

  lvk_mixer_t Mixer;
  lvk_mix_init(&Mixer, 44100);
  lvk_mix_play(&Mixer, Samples.data(), static_cast<std::uint32_t>(Samples.size()), 127);
  lvk_mix_music(&Mixer, Samples.data(), static_cast<std::uint32_t>(Samples.size()), 127);
  std::int16_t Out[512];
  lvk_mix_render(&Mixer, Out, 512);
  return 0;
}
