#pragma once
// The game's colour palette: at most 256 colours, entry 0 the transparent one.
// Every change tells the owning game (MarkModified). Broken preconditions fail
// an assertion before any slot is touched.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "support/UMemWatch.h"

namespace lvk {

class TGame;
class TStream;
class TWriter;
class TReader;

using TColor = std::uint32_t;  // red bits 0-7, green 8-15, blue 16-23

constexpr TColor RGB(int R, int G, int B) {
  return static_cast<TColor>((R & 0xFF) | ((G & 0xFF) << 8) | ((B & 0xFF) << 16));
}
constexpr int GetRValue(TColor C) { return C & 0xFF; }
constexpr int GetGValue(TColor C) { return (C >> 8) & 0xFF; }
constexpr int GetBValue(TColor C) { return (C >> 16) & 0xFF; }

constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clBlack = 0;
// Two colours look alike on the DS when they agree under this mask.
constexpr int DuplicateMask = 248;
constexpr int MaxPaletteSize = 256;

class TPalette {
public:
  LVK_COUNTED
  explicit TPalette(TGame& Game);

  TGame& Game() const { return FGame; }
  int Count() const { return FCount; }
  void Assign(const TPalette& Source);

  int GetRed(int Index) const { return GetRValue(GetEntryColor(Index)); }
  int GetGreen(int Index) const { return GetGValue(GetEntryColor(Index)); }
  int GetBlue(int Index) const { return GetBValue(GetEntryColor(Index)); }
  TColor GetEntryColor(int Index) const;
  void SetEntryColor(int Index, TColor Color);

  void FillBlack();
  void LoadDefaults();

  void DeleteRange(int First, int Last);
  void InsertRange(int First, int Last);
  void MoveEntry(int From, int To);
  void RemoveDuplicates(int First, int Mask);
  bool SameMaskedColor(int I, int J, int Mask) const;
  int NearestColor(int First, TColor Color) const;

  void SaveToStream(TStream& Stream, TWriter& Writer) const;
  void LoadFromStream(TStream& Stream, TReader& Reader);

  // Palette files (bitmap, JASC-PAL, CLRX). The savers write the active
  // entries through a temporary file, so a failed save raises EFileError and
  // leaves an old file as it was. The bitmap is a grid of Cols by Rows
  // swatches (each 0 to 256) on a background of entry 0.
  void SaveToBitmapFile(const std::string& FileName, int Cols, int Rows) const;
  void SaveToJascFile(const std::string& FileName) const;
  void SaveToClrxFile(const std::string& FileName) const;

  // The text readers raise EGame naming the file and the line of the first
  // fault; a file that cannot be opened or read is a read failure of its
  // line. After a fault the palette holds what was read up to it.
  void LoadFromJascFile(const std::string& FileName);
  void LoadFromClrxFile(const std::string& FileName);
  // The palette becomes the distinct colours of the picture's pixels in the
  // order met, rows from the top. Beyond 256 colours the rest are dropped and
  // the result is true: the caller then shows LostColorsMessage() before
  // anything else it reports. A file that cannot be read raises EFileError,
  // one that is no usable picture EGame; Count is 0 by then.
  [[nodiscard]] bool LoadFromBitmapFile(const std::string& FileName);

private:
  // Where each entry before a change went: its index after it, or -1 where
  // it is gone.
  using TEntryMap = std::array<int, MaxPaletteSize>;
  static TEntryMap EntriesKept();
  // Makes a change of the colours: Mutate changes them and answers where
  // the entries went. Tiles painted in the palette (pictures of its indices) follow:
  // their pixels keep naming the same entries, so a transparent pixel stays
  // transparent and a painted colour changes with its entry, rather than the
  // picture falling back to the nearest colours of a table it no longer
  // matches. A pixel whose entry is gone takes the nearest colour.
  // A fault thrown by Mutate leaves what it changed, followed as if nothing
  // moved, and goes on to the caller.
  void Change(const std::function<TEntryMap()>& Mutate);
  void Append(TColor Color);
  void Defaults();

  TGame& FGame;
  int FCount = 0;
  std::array<TColor, MaxPaletteSize> FColors{};
};

}  // namespace lvk
