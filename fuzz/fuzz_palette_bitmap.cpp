// A BMP file read as a palette: the palette becomes the picture's colours,
// or the read fails with the program's own error.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "model/UErrors.h"
#include "model/UGame.h"

using namespace lvk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static const char* const Expected[] = {"Bitmap image is not valid", "Don't know how to handle pixel format",
                                         nullptr};
  const std::string& Name = fuzz::ScratchFile(".bmp");
  fuzz::WriteScratch(Name, Data, Size);
  TGame Game;
  TPalette& Palette = Game.Palette();
  try {
    bool Lost = Palette.LoadFromBitmapFile(Name);
    if (Palette.Count() > MaxPaletteSize || (Lost && Palette.Count() != MaxPaletteSize))
      fuzz::Fault("palette count " + std::to_string(Palette.Count()) + (Lost ? " with lost colours" : ""));
  } catch (const EGame& E) {
    fuzz::ExpectMessage(E.what(), Expected);
    if (Palette.Count() != 0) fuzz::Fault("a failed read leaves colours in the palette");
  } catch (const std::exception& E) {
    fuzz::Fault(std::string("read: ") + E.what());
  }
  return 0;
}
