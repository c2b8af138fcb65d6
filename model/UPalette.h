#pragma once
// The game's colour palette: at most 256 colours, entry 0 the transparent one.
// Every change tells the owning game (MarkModified). Broken preconditions fail
// an assertion before any slot is touched.
#include <array>
#include <cstdint>

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
  explicit TPalette(TGame& Game);

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

private:
  void Append(TColor Color);

  TGame& FGame;
  int FCount = 0;
  std::array<TColor, MaxPaletteSize> FColors{};
};

}  // namespace lvk
