// A project file from arbitrary bytes: it loads, or fails with the program's
// own error. A game that loads must save to a file that loads back the same,
// to the last byte of its content.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USong.h"
#include "model/USound.h"

using namespace lvk;

namespace {

// Names, sizes and colours: what a save and a load must carry over unchanged.
std::string Outline(const TGame& Game) {
  std::string Out = Game.Title() + "\n";
  for (int i = 0; i < Game.Palette().Count(); ++i) Out += std::to_string(Game.Palette().GetEntryColor(i)) + ",";
  for (int i = 0; i < Game.TileCount(); ++i) {
    const TPeekBitmap& B = Game.GetTile(i)->Bitmap();
    Out += "\nT " + Game.GetTile(i)->Name() + " " + std::to_string(B.Width()) + "x" + std::to_string(B.Height()) +
           "x" + std::to_string(B.BitCount());
  }
  for (int i = 0; i < Game.ActorCount(); ++i) {
    TActor* A = Game.GetActor(i);
    Out += "\nA " + A->Name() + " " + (A->Tile() ? A->Tile()->Name() : "-") + " " + std::to_string(A->HandlerCount());
    for (int h = 0; h < A->HandlerCount(); ++h) Out += " " + std::to_string(A->GetHandler(h)->ActionCount());
  }
  for (int i = 0; i < Game.LevelCount(); ++i) {
    TLevel* L = Game.GetLevel(i);
    Out += "\nL " + L->Name() + " " + std::to_string(L->Width()) + "x" + std::to_string(L->Height()) + " " +
           (L->Song() ? L->Song()->Name() : "-");
  }
  for (int i = 0; i < Game.SoundCount(); ++i) {
    const TSound* S = Game.GetSound(i);
    Out += "\nS " + S->Name() + " " + std::to_string(S->BaseNote()) + " " + std::to_string(S->LoopStart()) + ".." +
           std::to_string(S->LoopEnd());
  }
  for (int i = 0; i < Game.SongCount(); ++i) {
    const TSongData& D = Game.GetSong(i)->Data();
    Out += "\nM " + Game.GetSong(i)->Name() + " " + std::to_string(D.Channels) + " " + std::to_string(D.Patterns.size()) +
           " " + std::to_string(D.Orders.size()) + " " + std::to_string(Game.GetSong(i)->Instruments().size());
  }
  return Out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  RegisterKinds();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string& Name = fuzz::ScratchFile(".lvk");
  fuzz::WriteScratch(Name, Data, Size);
  std::string Loaded;
  std::vector<std::uint8_t> LoadedBytes;
  {
    TGame Game;
    try {
      Game.LoadFromFile(Name);
    } catch (const EGame&) {
      return 0;
    } catch (const EAssertionFailed& E) {
      // A collision event naming no actor of the game stops the load this way.
      if (std::string(E.what()) != "Assertion failure (REventCollision)") fuzz::Fault(E.what());
      return 0;
    } catch (const std::exception& E) {
      fuzz::Fault(std::string("load: ") + E.what());
    }
    Loaded = Outline(Game);
    LoadedBytes = Game.ContentBytes();
    try {
      Game.SetFileName(Name + ".out");
      Game.Save();
    } catch (const std::exception& E) {
      fuzz::Fault(std::string("save: ") + E.what());
    }
  }
  TGame Again;
  try {
    Again.LoadFromFile(Name + ".out");
  } catch (const std::exception& E) {
    fuzz::Fault(std::string("reload of a saved game: ") + E.what());
  }
  if (Outline(Again) != Loaded) fuzz::Fault("a saved game reads back differently:\n" + Loaded + "\n--\n" + Outline(Again));
  // Everything else too: handlers, variables, solid actors, sounds, music.
  if (Again.ContentBytes() != LoadedBytes) fuzz::Fault("a saved game's content reads back differently");
  return 0;
}
