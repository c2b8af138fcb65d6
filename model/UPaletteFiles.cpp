#include "model/UPaletteFiles.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "model/UBitmap.h"
#include "model/UErrors.h"
#include "model/UFormat.h"
#include "model/UGame.h"
#include "model/UPalette.h"
#include "model/UStream.h"

namespace lvk {

namespace {

constexpr const char* Unit = "UGame";
constexpr const char* LineEnd = "\r\n";
// Swatch geometry of the exported bitmap: 16 by 9 pixels with a line between.
constexpr int SwatchPitchX = 17;
constexpr int SwatchPitchY = 10;
constexpr int MaxSwatchGrid = 256;
// Palette lines are a few dozen characters. A longer line than this counts
// as unreadable, so a file without line ends cannot take memory by the
// gigabyte.
constexpr std::size_t MaxLineLength = std::size_t{1} << 20;

bool IsBlank(std::string_view Text) {
  return std::all_of(Text.begin(), Text.end(), [](char C) { return static_cast<unsigned char>(C) <= 32; });
}

std::string ToLower(std::string_view Text) {
  std::string Lower(Text);
  for (char& C : Lower)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  return Lower;
}

std::size_t SkipSpaces(std::string_view Line, std::size_t Pos) {
  while (Pos < Line.size() && Line[Pos] == ' ') ++Pos;
  return Pos;
}

int DigitValue(char C, unsigned Base) {
  if (C >= '0' && C <= '9') return C - '0';
  if (Base == 16 && C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

// The digits from Pos on and the spaces after them. Line changes only when a
// number is taken.
std::optional<std::uint32_t> TakeDigits(std::string_view& Line, std::size_t Pos, unsigned Base) {
  if (Pos >= Line.size() || DigitValue(Line[Pos], Base) < 0) return std::nullopt;
  std::uint64_t Value = 0;
  for (int Digit; Pos < Line.size() && (Digit = DigitValue(Line[Pos], Base)) >= 0; ++Pos) {
    Value = Value * Base + static_cast<unsigned>(Digit);
    // Rejected rather than reduced: a wrapped count could land in range.
    if (Value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  }
  Line.remove_prefix(SkipSpaces(Line, Pos));
  return static_cast<std::uint32_t>(Value);
}

// The JASC size line: leading spaces, an optional sign, then decimal digits
// or hexadecimal ones after "$" or "0x", and nothing after them.
std::optional<std::int64_t> ParseInteger(std::string_view Text) {
  if (Text.empty() || Text.back() == ' ') return std::nullopt;  // TakeDigits would skip it
  std::string Lower = ToLower(Text);
  std::string_view Rest = Lower;
  Rest.remove_prefix(SkipSpaces(Rest, 0));
  bool Negative = Rest.starts_with('-');
  if (Negative || Rest.starts_with('+')) Rest.remove_prefix(1);
  unsigned Base = 10;
  if (Rest.starts_with('$') || Rest.starts_with("0x")) {
    Base = 16;
    Rest.remove_prefix(Rest[0] == '$' ? 1 : 2);
  }
  std::optional<std::uint32_t> Value = TakeDigits(Rest, 0, Base);
  if (!Value || !Rest.empty()) return std::nullopt;
  return Negative ? -std::int64_t{*Value} : std::int64_t{*Value};
}

// The lines of a palette text file, numbered from 1. A line ends at CR LF or
// LF; past the end of the file come empty lines. Every fault is raised as
// EGame naming the file and the current line.
class TLineFile {
public:
  explicit TLineFile(const std::string& FileName) : FFileName(FileName), FBuffer(64 * 1024) {
    try {
      FStream.emplace(FileName, TFileStream::fmOpenRead);
    } catch (const EFileError&) {
      FFailed = true;  // reported as the first line's read failure
    }
  }

  // Valid until the next call.
  std::string_view Next() {
    ++FLineNo;
    if (!ReadLine()) Fail("Error reading file %s line %d");
    return FLine;
  }

  [[noreturn]] void Fail(const char* Pattern) const { throw EGame(Format(Pattern, FFileName, FLineNo)); }

  // Nothing but blank lines may follow the palette.
  void ExpectBlankToEnd() {
    while (!AtEnd())
      if (!IsBlank(Next())) Fail("File %s line %d should be empty");
  }

private:
  bool Fill() {
    if (FFailed) return false;
    try {
      FEnd = FStream->Read(FBuffer.data(), FBuffer.size());
    } catch (const EReadError&) {
      FFailed = true;
      FEnd = 0;
    }
    FPos = 0;
    return FEnd > 0;
  }

  // A read error is left for Next to report on the line it spoils.
  bool AtEnd() { return FPos == FEnd && !Fill() && !FFailed; }

  bool ReadLine() {
    FLine.clear();
    for (;;) {
      if (FPos == FEnd && !Fill()) return !FFailed;
      auto Begin = FBuffer.begin() + static_cast<std::ptrdiff_t>(FPos);
      auto End = FBuffer.begin() + static_cast<std::ptrdiff_t>(FEnd);
      auto NewLine = std::find(Begin, End, '\n');
      if (FLine.size() + static_cast<std::size_t>(NewLine - Begin) > MaxLineLength) return false;
      FLine.append(Begin, NewLine);
      FPos = static_cast<std::size_t>(NewLine - FBuffer.begin());
      if (NewLine != End) {
        ++FPos;
        if (!FLine.empty() && FLine.back() == '\r') FLine.pop_back();
        return true;
      }
    }
  }

  std::string FFileName;
  std::optional<TFileStream> FStream;
  std::vector<char> FBuffer;
  std::size_t FPos = 0;
  std::size_t FEnd = 0;
  bool FFailed = false;
  int FLineNo = 0;
  std::string FLine;
};

void WriteTextFile(const std::string& FileName, const std::string& Text) {
  TSafeFileWriter Writer(FileName);
  Writer.Stream().Write(Text.data(), Text.size());
  Writer.Commit();
}

}  // namespace

std::optional<std::uint32_t> TakeDecimal(std::string_view& Line) { return TakeDigits(Line, SkipSpaces(Line, 0), 10); }

std::optional<std::uint32_t> TakeHex(std::string_view& Line) {
  std::size_t Pos = SkipSpaces(Line, 0);
  if (Line.substr(Pos, 2) != "0x") return std::nullopt;
  return TakeDigits(Line, Pos + 2, 16);
}

std::string LostColorsMessage() {
  return Format("A Lurvik palette has a maximum of %d colors.\n", MaxPaletteSize) +
         "Your bitmap has more colors.\nThey are discarded.";
}

void TPalette::SaveToJascFile(const std::string& FileName) const {
  std::string Text = Format("JASC-PAL%s0100%s%d%s", LineEnd, LineEnd, FCount, LineEnd);
  for (int i = 0; i < FCount; ++i)
    Text += Format("%d %d %d", GetRValue(FColors[i]), GetGValue(FColors[i]), GetBValue(FColors[i])) + LineEnd;
  WriteTextFile(FileName, Text);
}

void TPalette::SaveToClrxFile(const std::string& FileName) const {
  std::string Text = Format("CLRX 8 %d", FCount) + LineEnd;
  for (int i = 0; i < FCount; ++i) {
    Text += ToLower(Format("0x%.8x ", FColors[i]));
    if (i % 4 == 3) Text += LineEnd;
  }
  WriteTextFile(FileName, Text);
}

void TPalette::SaveToBitmapFile(const std::string& FileName, int Cols, int Rows) const {
  Assert(Cols >= 0 && Cols <= MaxSwatchGrid && Rows >= 0 && Rows <= MaxSwatchGrid, Unit);
  const int Width = Cols * SwatchPitchX + 1;
  const int Height = Rows * SwatchPitchY + 1;
  const std::size_t RowSize = (static_cast<std::size_t>(Width) + 3) / 4 * 4;
  // Inactive slots are written black; so is every pixel of an empty palette.
  std::vector<std::uint32_t> Table(MaxPaletteSize, clBlack);
  std::copy_n(FColors.begin(), FCount, Table.begin());
  TBitmap Picture;
  Picture.Assign(Width, Height, 8, BI_RGB, {}, std::move(Table), std::vector<std::uint8_t>(RowSize * Height, 0));
  for (int r = 0; r < Rows && FCount > 0; ++r)
    for (int c = 0; c < Cols; ++c) {
      // Cells past the palette's end repeat its last colour.
      auto Index = static_cast<std::uint8_t>(std::min(r * Cols + c, FCount - 1));
      for (int y = r * SwatchPitchY + 1; y < (r + 1) * SwatchPitchY; ++y)
        std::fill_n(Picture.ScanLine(y) + c * SwatchPitchX + 1, SwatchPitchX - 1, Index);
    }
  Picture.SaveToFile(FileName);
}

void TPalette::LoadFromJascFile(const std::string& FileName) {
  Change([&] {
    TLineFile File(FileName);
    if (File.Next() != "JASC-PAL") File.Fail("File %s line %d has wrong header (should be \"JASC-PAL\")");
    if (File.Next() != "0100") File.Fail("File %s line %d has version number (should be \"0100\")");
    std::optional<std::int64_t> Size = ParseInteger(File.Next());
    if (!Size) File.Fail("File %s line %d should have palette size (number)");
    if (*Size < 0 || *Size > MaxPaletteSize) File.Fail("File %s line %d should have palette size (0..256)");
    FCount = static_cast<int>(*Size);

    static constexpr std::array<const char*, 3> Wrong = {
        "File %s line %d should have 3 numbers (first is wrong)",
        "File %s line %d should have 3 numbers (second is wrong)",
        "File %s line %d should have 3 numbers (third is wrong)",
    };
    for (int i = 0; i < FCount; ++i) {
      std::string_view Line = File.Next();
      std::array<std::uint32_t, 3> Rgb{};
      for (std::size_t k = 0; k < Rgb.size(); ++k) {
        std::optional<std::uint32_t> Value = TakeDecimal(Line);
        if (!Value) File.Fail(Wrong[k]);
        Rgb[k] = *Value & 0xFF;
      }
      if (!IsBlank(Line)) File.Fail("File %s line %d should have only three numbers");
      FColors[i] = RGB(static_cast<int>(Rgb[0]), static_cast<int>(Rgb[1]), static_cast<int>(Rgb[2]));
    }
    File.ExpectBlankToEnd();
    return EntriesKept();
  });
}

void TPalette::LoadFromClrxFile(const std::string& FileName) {
  Change([&] {
    TLineFile File(FileName);
    std::string_view Header = File.Next();
    if (!Header.starts_with("CLRX")) File.Fail("File %s line %d has wrong header (should start with \"CLRX\")");
    Header.remove_prefix(4);
    std::optional<std::uint32_t> Bits = TakeDecimal(Header);
    if (!Bits || *Bits != 8) File.Fail("File %s line %d should have 8 as first numbers");
    std::optional<std::uint32_t> Size = TakeDecimal(Header);
    if (!Size) File.Fail("File %s line %d should have a second numbers");
    if (*Size > MaxPaletteSize) File.Fail("File %s line %d should have palette size as second number (0..256)");
    if (!IsBlank(Header)) File.Fail("File %s line %d should have CLRX num num");
    FCount = static_cast<int>(*Size);

    static constexpr std::array<const char*, 4> Wrong = {
        "File %s line %d should have 4 hex numbers (1st wrong)",
        "File %s line %d should have 4 hex numbers (2nd wrong)",
        "File %s line %d should have 4 hex numbers (3rd wrong)",
        "File %s line %d should have 4 hex numbers (4th wrong)",
    };
    int i = 0;
    while (i < FCount) {
      std::string Lower = ToLower(File.Next());
      std::string_view Line = Lower;
      // What follows the fourth number of a line that does not finish the
      // palette is not looked at.
      for (std::size_t k = 0; k < Wrong.size() && i < FCount; ++k) {
        std::optional<std::uint32_t> Value = TakeHex(Line);
        if (!Value) File.Fail(Wrong[k]);
        if (*Value > clWhite) File.Fail("File %s line %d has color with 4th byte non-zero");
        FColors[i++] = *Value;
      }
      if (i == FCount && !IsBlank(Line)) File.Fail("File %s line %d has too many color");
    }
    File.ExpectBlankToEnd();
    return EntriesKept();
  });
}

bool TPalette::LoadFromBitmapFile(const std::string& FileName) {
  bool Lost = false;
  Change([&] {
    FCount = 0;
    TPeekBitmap Picture;
    Picture.LoadFromFile(FileName);
    // One bit per possible colour: the lookup stays constant-time however
    // large the picture is.
    std::vector<bool> Known(std::size_t{1} << 24, false);
    // Once a colour is lost the palette is full and nothing later can change it.
    for (int y = 0; y < Picture.Height() && !Lost; ++y)
      for (int x = 0; x < Picture.Width() && !Lost; ++x) {
        TColor C = Picture.GetColor(x, y) & clWhite;
        if (Known[C]) continue;
        if (FCount == MaxPaletteSize) {
          Lost = true;
        } else {
          Known[C] = true;
          FColors[FCount++] = C;
        }
      }
    return EntriesKept();
  });
  return Lost;
}

}  // namespace lvk
