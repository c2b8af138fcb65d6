#include "model/UPalette.h"

#include <algorithm>

#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/UGame.h"

namespace lvk {

namespace {
constexpr const char* Unit = "UGame";
constexpr const char* Marker = "[TPalette]";
}  // namespace

TPalette::TPalette(TGame& Game) : FGame(Game) { LoadDefaults(); }

void TPalette::Assign(const TPalette& Source) {
  FGame.MayChange();
  FCount = Source.FCount;
  std::copy_n(Source.FColors.begin(), FCount, FColors.begin());
  FGame.Changed(TChangeKind::Changed, TItemKind::Palette);
}

TColor TPalette::GetEntryColor(int Index) const {
  Assert(Index >= 0 && Index < FCount, Unit);
  return FColors[Index];
}

void TPalette::SetEntryColor(int Index, TColor Color) {
  Assert(Index >= 0 && Index < FCount && Color <= clWhite, Unit);
  if (FColors[Index] == Color) return;
  FGame.MayChange();
  FColors[Index] = Color;
  FGame.Changed(TChangeKind::Changed, TItemKind::Palette);
}

void TPalette::FillBlack() {
  FGame.MayChange();
  FCount = MaxPaletteSize;
  FColors.fill(clBlack);
  FGame.Changed(TChangeKind::Changed, TItemKind::Palette);
}

void TPalette::Append(TColor Color) { FColors[FCount++] = Color; }

void TPalette::LoadDefaults() {
  FGame.MayChange();
  FCount = 0;
  Append(clWhite);
  for (int k = 1; k <= 16; ++k) Append(RGB(15 * k, 15 * k, 15 * k));
  Append(RGB(250, 250, 250));
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) Append(RGB(51 * r, 51 * g, 51 * b));
  FGame.Changed(TChangeKind::Changed, TItemKind::Palette);
}

void TPalette::DeleteRange(int First, int Last) {
  Assert(First >= 0 && First <= Last && Last < FCount, Unit);
  FGame.MayChange();
  int N = Last - First + 1;
  std::copy(FColors.begin() + Last + 1, FColors.begin() + FCount, FColors.begin() + First);
  FCount -= N;
  FGame.Changed(TChangeKind::Changed, TItemKind::Palette);
}

void TPalette::InsertRange(int First, int Last) {
  Assert(First >= 0 && First <= Last && First <= FCount, Unit);
  FGame.MayChange();
  // Only the free room is inserted; a wide range must not overflow the count.
  long long Wanted = static_cast<long long>(Last) - First + 1;
  int N = static_cast<int>(std::min<long long>(Wanted, MaxPaletteSize - FCount));
  std::copy_backward(FColors.begin() + First, FColors.begin() + FCount, FColors.begin() + FCount + N);
  std::fill_n(FColors.begin() + First, N, clWhite);
  FCount += N;
  FGame.Changed(TChangeKind::Changed, TItemKind::Palette);
}

void TPalette::MoveEntry(int From, int To) {
  Assert(From >= 0 && From < FCount && To >= 0 && To < FCount, Unit);
  if (From == To) return;
  FGame.MayChange();
  if (From < To)
    std::rotate(FColors.begin() + From, FColors.begin() + From + 1, FColors.begin() + To);
  else
    std::rotate(FColors.begin() + To, FColors.begin() + From, FColors.begin() + From + 1);
  FGame.Changed(TChangeKind::Changed, TItemKind::Palette);
}

bool TPalette::SameMaskedColor(int I, int J, int Mask) const {
  TColor A = GetEntryColor(I), B = GetEntryColor(J);
  return (GetRValue(A) & Mask) == (GetRValue(B) & Mask) && (GetGValue(A) & Mask) == (GetGValue(B) & Mask) &&
         (GetBValue(A) & Mask) == (GetBValue(B) & Mask);
}

void TPalette::RemoveDuplicates(int First, int Mask) {
  Assert(First >= 0, Unit);
  FGame.MayChange();
  for (int i = First; i < FCount; ++i) {
    int j = i + 1;
    while (j < FCount) {
      if (SameMaskedColor(i, j, Mask)) {
        std::copy(FColors.begin() + j + 1, FColors.begin() + FCount, FColors.begin() + j);
        --FCount;
      } else {
        ++j;
      }
    }
  }
  FGame.Changed(TChangeKind::Changed, TItemKind::Palette);
}

int TPalette::NearestColor(int First, TColor Color) const {
  Assert(First >= 0 && First < FCount, Unit);
  int R = GetRValue(Color), G = GetGValue(Color), B = GetBValue(Color);
  int Best = First;
  int BestSum = 3 * 255 * 255 + 1;  // more than any distance
  for (int i = First; i < FCount; ++i) {
    int DR = R - GetRValue(FColors[i]), DG = G - GetGValue(FColors[i]), DB = B - GetBValue(FColors[i]);
    int Sum = DR * DR + DG * DG + DB * DB;
    // Only a strictly smaller distance wins, so of equals the lowest index stays.
    Best = Sum < BestSum ? i : Best;
    BestSum = Sum < BestSum ? Sum : BestSum;
  }
  return Best;
}

void TPalette::SaveToStream(TStream&, TWriter& Writer) const {
  Writer.WriteString(Marker);
  Writer.WriteInteger(FCount);
  for (int i = 0; i < FCount; ++i) {
    Writer.WriteInteger(GetRValue(FColors[i]));
    Writer.WriteInteger(GetGValue(FColors[i]));
    Writer.WriteInteger(GetBValue(FColors[i]));
  }
}

void TPalette::LoadFromStream(TStream&, TReader& Reader) {
  std::string Read = Reader.ReadString();
  if (Read != Marker) throw EGame(Format("Read error: expected %s, read %s", Marker, Read));
  int Count = Reader.ReadInteger();
  if (Count < 0 || Count > MaxPaletteSize)
    throw EGame(Format("Read error: palette size (%d) not in %d..%d", Count, 0, MaxPaletteSize));
  FGame.MayChange();
  FCount = Count;
  for (int i = 0; i < Count; ++i) {
    int R = Reader.ReadInteger();
    int G = Reader.ReadInteger();
    int B = Reader.ReadInteger();
    FColors[i] = RGB(R, G, B);
  }
  FGame.Changed(TChangeKind::Changed, TItemKind::Palette);
}

}  // namespace lvk
