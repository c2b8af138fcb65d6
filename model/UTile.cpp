#include "model/UTile.h"

#include "model/UValueTypes.h"
#include "model/UBuiltinBitmaps.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/UGame.h"
#include "model/UNames.h"
#include "model/UTileBlock.h"

namespace lvk {

namespace {
constexpr const char* Marker = "[TTile]";
}

TTile::TTile(TGame& Owner)
    : TTile(Owner, DefaultItemName("tTile", Owner.TileCount(),
                                   [&](const std::string& N) { return Owner.FindTileByName(N) != nullptr; })) {}

TTile::TTile(TGame& Owner, std::string Name)
    : TIdentified(&Owner, TItemKind::Tile), FOwner(Owner), FName(std::move(Name)), FBitmap(LoadBuiltinBitmap("BmpNoBmp8x8")) {}

void TTile::SetName(const std::string& Name) {
  CheckItemName(Name, this, FOwner.FindTileByName(Name), "A tile with name \"%s\" already exists");
  if (Name == FName) return;
  FOwner.MayChange();
  FName = Name;
  FOwner.Changed(TChangeKind::Renamed, *this);
}

void TTile::ImportBitmap(const std::string& FileName) {
  TPeekBitmap Loaded;
  Loaded.LoadFromFile(FileName);  // its errors leave the tile as it was
  std::string Error;
  if (Loaded.Width() != 8) Error = Format("Width of image is %d, but it must be 8", Loaded.Width());
  if (Loaded.Height() != 8) Error = Format("Height of image is %d, but it must be 8", Loaded.Height());
  try {
    Loaded.GetColor(0, 0);
  } catch (const EGame& E) {
    Error = E.what();
  }
  // A picture that fails the checks leaves the tile's own: throwing the
  // old one away would lose it unseen, without a change to save or undo.
  if (!Error.empty()) throw EGame(Error);
  FOwner.MayChange();
  FBitmap = std::move(Loaded);
  FOwner.Changed(TChangeKind::Changed, *this, cfLook);
}

void TTile::SetBitmap(TPeekBitmap Bitmap) {
  if (Bitmap == FBitmap) return;
  FOwner.MayChange();
  FBitmap = std::move(Bitmap);
  FOwner.Changed(TChangeKind::Changed, *this, cfLook);
}

void TTile::SetTransparentColor(std::optional<std::uint32_t> Color) {
  Assert(!Color || *Color <= 0xFFFFFF, "UGame");
  if (Color == FTransparentColor) return;
  FOwner.MayChange();
  FTransparentColor = Color;
  FOwner.Changed(TChangeKind::Changed, *this, cfLook);
}

bool TTile::PixelTransparent(int X, int Y) const {
  if (FBitmap.Transparent(X, Y)) return true;
  // A painted picture holds palette indices: 0 is the transparent entry,
  // whatever colour it has.
  if (FBitmap.BitCount() == 8 && X >= 0 && Y >= 0 && X < FBitmap.Width() && Y < FBitmap.Height() &&
      FBitmap.ScanLine(Y)[X] == 0 && IndexedInPalette(FBitmap, FOwner.Palette()))
    return true;
  return FTransparentColor && FBitmap.GetColor(X, Y) == *FTransparentColor;
}

void TTile::SaveToStream(TStream& Stream, TWriter& Writer) const {
  Writer.WriteString(Marker);
  Writer.WriteString(FName);
  Writer.FlushBuffer();
  FBitmap.SaveToStream(Stream);
}

void TTile::LoadFromStream(TStream& Stream, TReader& Reader) {
  std::string Read = Reader.ReadString();
  if (Read != Marker) throw EGame(Format("Read error: expected %s, read %s", Marker, Read));
  FName = Reader.ReadString();
  Reader.FixupBuffer();
  FBitmap.LoadFromStream(Stream);
}

}  // namespace lvk
