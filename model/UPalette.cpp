#include "model/UPalette.h"

#include <algorithm>
#include <exception>
#include <numeric>
#include <utility>
#include <vector>

#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/UGame.h"
#include "model/UTileBlock.h"

namespace lvk {

namespace {
constexpr const char* Unit = "UGame";
constexpr const char* Marker = "[TPalette]";
}  // namespace

TPalette::TPalette(TGame& Game) : FGame(Game) { Defaults(); }

TPalette::TEntryMap TPalette::EntriesKept() {
  TEntryMap Where;
  std::iota(Where.begin(), Where.end(), 0);
  return Where;
}

void TPalette::Change(const std::function<TEntryMap()>& Mutate) {
  FGame.MayChange();
  std::vector<std::pair<TTile*, TPixels>> Painted;
  for (int t = 0; t < FGame.TileCount(); ++t) {
    TTile* Tile = FGame.GetTile(t);
    if (IndexedInPalette(Tile->Bitmap(), *this)) Painted.emplace_back(Tile, TilePixels(Tile->Bitmap(), *this));
  }
  const std::array<TColor, MaxPaletteSize> Before = FColors;
  TEntryMap Where = EntriesKept();
  std::exception_ptr Fault;
  try {
    Where = Mutate();
  } catch (...) {
    Fault = std::current_exception();
  }
  if (FCount == 0) Painted.clear();  // no table to paint in: the pictures stay
  for (auto& [Tile, Pixels] : Painted) {
    for (int y = 0; y < Pixels.Height(); ++y)
      for (int x = 0; x < Pixels.Width(); ++x) {
        const int Old = Pixels.Get(x, y);
        if (Old == 0) continue;  // transparent whatever colour entry 0 has
        int New = Where[Old];
        if (New <= 0 || New >= FCount) New = FCount >= 2 ? NearestColor(1, Before[Old]) : 0;
        Pixels.Set(x, y, static_cast<std::uint8_t>(New));
      }
    Tile->SetBitmap(IndexedTilePicture(Pixels, 0, 0, *this));
  }
  FGame.Changed(TChangeKind::Changed, TItemKind::Palette, cfLook);
  if (Fault) std::rethrow_exception(Fault);
}

void TPalette::Assign(const TPalette& Source) {
  Change([&] {
    FCount = Source.FCount;
    std::copy_n(Source.FColors.begin(), FCount, FColors.begin());
    return EntriesKept();
  });
}

TColor TPalette::GetEntryColor(int Index) const {
  Assert(Index >= 0 && Index < FCount, Unit);
  return FColors[Index];
}

void TPalette::SetEntryColor(int Index, TColor Color) {
  Assert(Index >= 0 && Index < FCount && Color <= clWhite, Unit);
  if (FColors[Index] == Color) return;
  Change([&] {
    FColors[Index] = Color;
    return EntriesKept();
  });
}

void TPalette::FillBlack() {
  Change([&] {
    FCount = MaxPaletteSize;
    FColors.fill(clBlack);
    return EntriesKept();
  });
}

void TPalette::Append(TColor Color) { FColors[FCount++] = Color; }

void TPalette::LoadDefaults() {
  Change([&] {
    Defaults();
    return EntriesKept();
  });
}

// The game that owns the palette is still being made when this first runs:
// no tile to follow, no notice.
void TPalette::Defaults() {
  FCount = 0;
  Append(clWhite);
  for (int k = 1; k <= 16; ++k) Append(RGB(15 * k, 15 * k, 15 * k));
  Append(RGB(250, 250, 250));
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) Append(RGB(51 * r, 51 * g, 51 * b));
}

void TPalette::DeleteRange(int First, int Last) {
  Assert(First >= 0 && First <= Last && Last < FCount, Unit);
  int N = Last - First + 1;
  Change([&] {
    TEntryMap Where = EntriesKept();
    for (int i = First; i < FCount; ++i) Where[i] = i <= Last ? -1 : i - N;
    std::copy(FColors.begin() + Last + 1, FColors.begin() + FCount, FColors.begin() + First);
    FCount -= N;
    return Where;
  });
}

void TPalette::InsertRange(int First, int Last) {
  Assert(First >= 0 && First <= Last && First <= FCount, Unit);
  // Only the free room is inserted; a wide range must not overflow the count.
  long long Wanted = static_cast<long long>(Last) - First + 1;
  int N = static_cast<int>(std::min<long long>(Wanted, MaxPaletteSize - FCount));
  Change([&] {
    TEntryMap Where = EntriesKept();
    for (int i = First; i < FCount; ++i) Where[i] = i + N;
    std::copy_backward(FColors.begin() + First, FColors.begin() + FCount, FColors.begin() + FCount + N);
    std::fill_n(FColors.begin() + First, N, clWhite);
    FCount += N;
    return Where;
  });
}

void TPalette::MoveEntry(int From, int To) {
  Assert(From >= 0 && From < FCount && To >= 0 && To < FCount, Unit);
  if (From == To) return;
  // The entries move as the colours do: the same rotation of their indices.
  auto Move = [From, To](auto& List) {
    if (From < To)
      std::rotate(List.begin() + From, List.begin() + From + 1, List.begin() + To);
    else
      std::rotate(List.begin() + To, List.begin() + From, List.begin() + From + 1);
  };
  Change([&] {
    TEntryMap Order = EntriesKept(), Where = EntriesKept();
    Move(Order);
    for (int i = 0; i < FCount; ++i) Where[Order[i]] = i;
    Move(FColors);
    return Where;
  });
}

bool TPalette::SameMaskedColor(int I, int J, int Mask) const {
  TColor A = GetEntryColor(I), B = GetEntryColor(J);
  return (GetRValue(A) & Mask) == (GetRValue(B) & Mask) && (GetGValue(A) & Mask) == (GetGValue(B) & Mask) &&
         (GetBValue(A) & Mask) == (GetBValue(B) & Mask);
}

void TPalette::RemoveDuplicates(int First, int Mask) {
  Assert(First >= 0, Unit);
  Change([&] {
    // Origin: the index each entry had before; a removed entry is merged
    // into the one it duplicates, which keeps its place.
    TEntryMap Where = EntriesKept();
    std::vector<int> Origin(FCount);
    std::iota(Origin.begin(), Origin.end(), 0);
    for (int i = First; i < FCount; ++i) {
      int j = i + 1;
      while (j < FCount) {
        if (SameMaskedColor(i, j, Mask)) {
          std::copy(FColors.begin() + j + 1, FColors.begin() + FCount, FColors.begin() + j);
          Where[Origin[j]] = i;
          Origin.erase(Origin.begin() + j);
          --FCount;
        } else {
          ++j;
        }
      }
    }
    for (int i = 0; i < FCount; ++i) Where[Origin[i]] = i;
    return Where;
  });
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
  FGame.Changed(TChangeKind::Changed, TItemKind::Palette, cfLook);
}

}  // namespace lvk
