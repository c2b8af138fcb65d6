// A BMP file imported into a tile: it becomes the tile's picture, or the
// import fails with the program's own error. An imported picture is 8 by 8,
// every pixel reads, and it survives the tile's save and load.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "behaviour/UBehaviour.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/UStream.h"

using namespace lvk;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  RegisterKinds();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static const char* const Expected[] = {"Bitmap image is not valid", "Width of image is ", "Height of image is ",
                                         "Don't know how to handle pixel format", nullptr};
  const std::string& Name = fuzz::ScratchFile(".bmp");
  fuzz::WriteScratch(Name, Data, Size);
  TGame Game;
  TTile* Tile = Game.AddTile();
  try {
    Tile->ImportBitmap(Name);
  } catch (const EGame& E) {
    fuzz::ExpectMessage(E.what(), Expected);
    return 0;
  } catch (const std::exception& E) {
    fuzz::Fault(std::string("import: ") + E.what());
  }
  const TPeekBitmap& Picture = Tile->Bitmap();
  if (Picture.Width() != 8 || Picture.Height() != 8) fuzz::Fault("an imported picture is not 8x8");
  std::uint32_t Colors[64];
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) Colors[y * 8 + x] = Picture.GetColor(x, y);

  TMemoryStream Stream;
  TWriter Writer(Stream);
  Tile->SaveToStream(Stream, Writer);
  Writer.FlushBuffer();
  Stream.Seek(0);
  TTile* Copy = Game.AddTile();
  try {
    TReader Reader(Stream);
    Copy->LoadFromStream(Stream, Reader);
  } catch (const std::exception& E) {
    fuzz::Fault(std::string("reading a saved tile: ") + E.what());
  }
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if (Copy->Bitmap().GetColor(x, y) != Colors[y * 8 + x]) fuzz::Fault("a saved tile reads back other colours");
  return 0;
}
