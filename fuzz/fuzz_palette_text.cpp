// A JASC-PAL or CLRX palette file (the first byte chooses which, by its
// lowest bit): it loads, or fails with the program's own error naming the
// file and a line. A palette that loads writes a file that loads the same.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "model/UErrors.h"
#include "model/UGame.h"

using namespace lvk;

namespace {

std::string Colors(const TPalette& Palette) {
  std::string Out;
  for (int i = 0; i < Palette.Count(); ++i) Out += std::to_string(Palette.GetEntryColor(i)) + ",";
  return Out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) return 0;
  const bool Clrx = Data[0] & 1;
  const std::string& Name = fuzz::ScratchFile(".pal");
  fuzz::WriteScratch(Name, Data + 1, Size - 1);
  const std::string FileError = "File " + Name + " line ";
  const std::string ReadError = "Error reading file " + Name + " line ";
  const char* const Expected[] = {FileError.c_str(), ReadError.c_str(), nullptr};

  TGame Game;
  TPalette& Palette = Game.Palette();
  try {
    if (Clrx)
      Palette.LoadFromClrxFile(Name);
    else
      Palette.LoadFromJascFile(Name);
  } catch (const EGame& E) {
    fuzz::ExpectMessage(E.what(), Expected);
    return 0;
  } catch (const std::exception& E) {
    fuzz::Fault(std::string("read: ") + E.what());
  }
  if (Palette.Count() < 0 || Palette.Count() > MaxPaletteSize) fuzz::Fault("palette count out of range");

  const std::string Out = Name + ".out";
  TGame Other;
  try {
    if (Clrx) {
      Palette.SaveToClrxFile(Out);
      Other.Palette().LoadFromClrxFile(Out);
    } else {
      Palette.SaveToJascFile(Out);
      Other.Palette().LoadFromJascFile(Out);
    }
  } catch (const std::exception& E) {
    fuzz::Fault(std::string("a written palette does not read back: ") + E.what());
  }
  if (Colors(Other.Palette()) != Colors(Palette)) fuzz::Fault("a written palette reads back other colours");
  return 0;
}
