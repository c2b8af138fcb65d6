// A module file imported into a song: the song and the game's sounds take
// it in range, or the import fails with the program's own message and the
// game stays as it was. The imported song plays through the sequencer and
// the mixer, and the game saves and reads back with it.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "generator/USongRender.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/UModuleImport.h"
#include "model/USong.h"
#include "model/USound.h"

using namespace lvk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static const char* const Expected[] = {"The file \"fuzz.mod\" is not a module", "The module \"fuzz.mod\" ", nullptr};
  TGame Game;
  TSong* Song = Game.AddSong();
  const TSongData Before = Song->Data();
  TModuleImport Import;
  try {
    Import = ImportModuleBytes(*Song, Data, Size, "fuzz.mod");
  } catch (const EGame& E) {
    fuzz::ExpectMessage(E.what(), Expected);
    if (Game.SoundCount() != 0 || Song->Data() != Before) fuzz::Fault("a failed import changed the game");
    return 0;
  } catch (const std::exception& E) {
    fuzz::Fault(std::string("import: ") + E.what());
  }
  if (Import.Sounds != Game.SoundCount()) fuzz::Fault("the sounds counted are not the sounds added");
  TSongData Held = Song->Data();
  ClampSongData(Held);
  if (Held != Song->Data()) fuzz::Fault("an imported song out of its ranges");
  for (int i = 0; i < Game.SoundCount(); ++i) {
    const TSound& S = *Game.GetSound(i);
    if (S.LoopEnd() > S.Samples().size() || (S.HasLoop() && S.LoopStart() >= S.LoopEnd()))
      fuzz::Fault("a loop outside its sound");
  }
  // A few seconds of it, as the export renders it.
  RenderSong(Game, *Song, 8000, 4);
  const std::vector<std::uint8_t> Bytes = Game.ContentBytes();
  TGame Again;
  try {
    Again.LoadContent(Bytes);
  } catch (const std::exception& E) {
    fuzz::Fault(std::string("an imported song does not read back: ") + E.what());
  }
  if (Again.ContentBytes() != Bytes) fuzz::Fault("an imported song reads back differently");
  return 0;
}
