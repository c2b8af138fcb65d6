#pragma once
// A named 8x8 picture of the game. It keeps the picture in full colour as it
// was imported; pixels meet the palette only when code is generated.
#include <cstdint>
#include <optional>
#include <string>

#include "model/UBitmap.h"
#include "model/UItemId.h"
#include "support/UMemWatch.h"

namespace lvk {

class TGame;
class TStream;
class TWriter;
class TReader;

class TTile : public TIdentified {
public:
  LVK_COUNTED
  // Only TGame::AddTile constructs tiles.
  explicit TTile(TGame& Owner);

  TGame& Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Name);

  const TPeekBitmap& Bitmap() const { return FBitmap; }
  // Replaces the picture by an 8x8 BMP file of a readable pixel format. A
  // file that cannot be read or a picture that fails the checks leaves the
  // tile as it was.
  void ImportBitmap(const std::string& FileName);
  // Replaces the picture by one made in the editor (the painter's); inside
  // an edit, like every change.
  void SetBitmap(TPeekBitmap Bitmap);

  // The colour of the picture that is drawn with the transparent palette
  // entry (a black background that should not show as black squares); none
  // by default. A colour value with red in the low byte, at most 0xFFFFFF.
  const std::optional<std::uint32_t>& TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(std::optional<std::uint32_t> Color);
  // Whether the pixel is drawn with palette entry 0: it has the transparent
  // colour, the picture's alpha makes it transparent, or the picture was
  // painted in the palette and the pixel is entry 0. Throws as GetColor
  // does for a picture it cannot read.
  bool PixelTransparent(int X, int Y) const;

  void SaveToStream(TStream& Stream, TWriter& Writer) const;
  void LoadFromStream(TStream& Stream, TReader& Reader);


private:
  friend class TGame;  // duplicates and undoes a tile's picture, reads tiles
  friend class TProjectFile;  // transparent colours are read in their section
  // For the reader, whose record names the tile: no default name is looked for.
  TTile(TGame& Owner, std::string Name);

  TGame& FOwner;
  std::string FName;
  TPeekBitmap FBitmap;
  std::optional<std::uint32_t> FTransparentColor;
};

}  // namespace lvk
