#pragma once
// Shared helpers of the model tests: a temporary folder, a clock the test
// sets, and whole-file reads and writes.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/UBitmap.h"
#include "model/UDocument.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/UStream.h"

namespace lvk {
// What a test may do that the editor may not (a friend of TGame).
struct TTestAccess {
  static void ClearModified(TGame& Game) { Game.FModified = false; }
};
}  // namespace lvk

namespace lvk::test {

// Resets a scratch game's changed state, so that a test sees what its next
// step changes.
inline void ClearModified(TGame& Game) { TTestAccess::ClearModified(Game); }

using TBytes = std::vector<std::uint8_t>;

// Runs Change on Game as one edit, as a command of the editor does: set-up
// of a test on a game that belongs to a document.
template <typename F>
void Edit(TGame& Game, F Change) {
  TEdit Step(Game, "Test");
  Change();
}

class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  const std::string& Path() const { return FPath; }
  std::string File(const std::string& Name) const { return FPath + "/" + Name; }

private:
  std::string FPath;
};

// Holds the model's clock at a time the test moves; restores the system clock.
class TTestClock {
public:
  explicit TTestClock(double Start = 46000.5);
  ~TTestClock();
  void AdvanceMinutes(double Minutes) { FNow += Minutes / 1440.0; }
  double Now() const { return FNow; }

private:
  double FNow;
};

// The largest single allocation through operator new since the last reset,
// to prove that a lying length allocates nothing big.
void ResetLargestAllocation();
std::size_t LargestAllocation();

// A whole text file; empty when it cannot be read.
std::string Slurp(const std::string& FileName);
// A word for sh, in single quotes.
std::string Quote(const std::string& S);

TBytes ReadBytes(const std::string& FileName);
void WriteBytes(const std::string& FileName, const TBytes& Bytes);

// The message of what F raises, or "no error".
std::string MessageOf(const std::function<void()>& F);

// The bytes an item's record writer produces.
template <typename T>
TBytes RecordOf(const T& Item) {
  TMemoryStream S;
  TWriter W(S);
  Item.SaveToStream(S, W);
  W.FlushBuffer();
  return S.Bytes();
}

// The 396 bytes of the worked example of docs/ProjectFile.md.
TBytes WorkedExampleBytes();

inline void Append(TBytes& B, const TBytes& More) { B.insert(B.end(), More.begin(), More.end()); }

// The tagged bytes of a string value as the writer produces it.
TBytes ShortString(const std::string& S);

// An 8x8 (or any size) picture filled with one colour, in the given format.
TPeekBitmap SolidBitmap(int Width, int Height, int BitCount, std::uint32_t Color,
                        std::uint32_t Compression = BI_RGB,
                        std::array<std::uint32_t, 3> Masks = {});

}  // namespace lvk::test
