// The palette's bitmap, JASC-PAL and CLRX files.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/UBitmap.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/UPaletteFiles.h"

using namespace lvk;
using test::TBytes;

namespace {

using TLoader = void (TPalette::*)(const std::string&);

void SetColors(TPalette& P, const std::vector<TColor>& Colors) {
  if (P.Count() > 0) P.DeleteRange(0, P.Count() - 1);
  if (!Colors.empty()) P.InsertRange(0, static_cast<int>(Colors.size()) - 1);
  for (std::size_t i = 0; i < Colors.size(); ++i) P.SetEntryColor(static_cast<int>(i), Colors[i]);
}

std::vector<TColor> Colors(const TPalette& P) {
  std::vector<TColor> V;
  for (int i = 0; i < P.Count(); ++i) V.push_back(P.GetEntryColor(i));
  return V;
}

// N colours that differ in red, so no two are equal.
std::vector<TColor> Distinct(int N) {
  std::vector<TColor> V;
  for (int i = 0; i < N; ++i) V.push_back(RGB(i, 255 - i, (i * 7) & 255));
  return V;
}

std::string Text(const TBytes& B) { return std::string(B.begin(), B.end()); }
TBytes Bytes(const std::string& S) { return TBytes(S.begin(), S.end()); }

class PaletteFile : public ::testing::Test {
protected:
  std::string Write(const std::string& Content, const std::string& Name = "in.pal") {
    std::string Path = Dir.File(Name);
    test::WriteBytes(Path, Bytes(Content));
    return Path;
  }

  // The EGame message of loading Content, or "" when it loads.
  std::string LoadError(TLoader Loader, const std::string& Content) { return ErrorOf(Loader, Write(Content)); }

  std::string ErrorOf(TLoader Loader, const std::string& Path) {
    try {
      (Game.Palette().*Loader)(Path);
    } catch (const EGame& E) {
      return E.what();
    }
    return "";
  }

  std::string Msg(const std::string& Rest) { return "File " + Dir.File("in.pal") + " line " + Rest; }

  test::TTempDir Dir;
  TGame Game;
};

constexpr TLoader Jasc = &TPalette::LoadFromJascFile;
constexpr TLoader Clrx = &TPalette::LoadFromClrxFile;

}  // namespace

TEST(PaletteFileNumbers, TakeDecimalAndTakeHex) {
  std::string_view Line = "  12  34\t5";
  EXPECT_EQ(TakeDecimal(Line), 12u);
  EXPECT_EQ(TakeDecimal(Line), 34u);
  EXPECT_EQ(Line, "\t5");
  // A tab is not skipped; a failure leaves the line as it was.
  EXPECT_EQ(TakeDecimal(Line), std::nullopt);
  EXPECT_EQ(Line, "\t5");
  std::string_view Max = "4294967295 ", TooBig = "4294967296", Signed = "-1";
  EXPECT_EQ(TakeDecimal(Max), 4294967295u);
  EXPECT_EQ(Max, "");
  EXPECT_EQ(TakeDecimal(TooBig), std::nullopt);
  EXPECT_EQ(TooBig, "4294967296");
  EXPECT_EQ(TakeDecimal(Signed), std::nullopt);

  std::string_view Hex = " 0x00ffffff 0xA";
  EXPECT_EQ(TakeHex(Hex), 0x00FFFFFFu);
  EXPECT_EQ(Hex, "0xA");
  // Upper case is the callers' to lower.
  EXPECT_EQ(TakeHex(Hex), std::nullopt);
  for (std::string_view Bad : {"0x", "0x g", "ff", "0X1", "0xfffffffff"}) {
    std::string_view L = Bad;
    EXPECT_EQ(TakeHex(L), std::nullopt) << Bad;
    EXPECT_EQ(L, Bad);
  }
}

TEST_F(PaletteFile, JascExportOfDefaultPalette) {
  test::ClearModified(Game);
  std::string Path = Dir.File("default.pal");
  Game.Palette().SaveToJascFile(Path);
  EXPECT_FALSE(Game.Modified());

  std::string Out = Text(test::ReadBytes(Path));
  EXPECT_TRUE(Out.starts_with("JASC-PAL\r\n0100\r\n234\r\n255 255 255\r\n15 15 15\r\n")) << Out.substr(0, 60);
  EXPECT_TRUE(Out.ends_with("\r\n255 255 255\r\n"));
  // 237 lines, each ended by CR LF.
  EXPECT_EQ(std::count(Out.begin(), Out.end(), '\n'), 237);
  EXPECT_EQ(std::count(Out.begin(), Out.end(), '\r'), 237);
  EXPECT_EQ(Out.find("\n"), Out.find("\r") + 1);
  EXPECT_NE(Out.find("\r\n0 0 0\r\n0 0 51\r\n"), std::string::npos);
}

TEST_F(PaletteFile, ClrxExportLayout) {
  TPalette& P = Game.Palette();
  std::string Path = Dir.File("out.pal");
  SetColors(P, {});
  P.SaveToClrxFile(Path);
  EXPECT_EQ(Text(test::ReadBytes(Path)), "CLRX 8 0\r\n");

  SetColors(P, {clWhite, RGB(255, 0, 0)});
  P.SaveToClrxFile(Path);
  EXPECT_EQ(Text(test::ReadBytes(Path)), "CLRX 8 2\r\n0x00ffffff 0x000000ff ");

  SetColors(P, {1, 2, 3, 0xABCDEF, 5});
  P.SaveToClrxFile(Path);
  EXPECT_EQ(Text(test::ReadBytes(Path)),
            "CLRX 8 5\r\n0x00000001 0x00000002 0x00000003 0x00abcdef \r\n0x00000005 ");
}

TEST_F(PaletteFile, TextRoundTripsForEveryCount) {
  TPalette& P = Game.Palette();
  struct TFormat {
    void (TPalette::*Save)(const std::string&) const;
    TLoader Load;
  };
  for (TFormat F : {TFormat{&TPalette::SaveToJascFile, Jasc}, TFormat{&TPalette::SaveToClrxFile, Clrx}}) {
    for (int N = 0; N <= 256; ++N) {
      std::vector<TColor> Want = Distinct(N);
      SetColors(P, Want);
      std::string Path = Dir.File("round.pal");
      (P.*F.Save)(Path);
      P.FillBlack();
      test::ClearModified(Game);
      (P.*F.Load)(Path);
      ASSERT_EQ(Colors(P), Want) << N;
      EXPECT_TRUE(Game.Modified());
    }
  }
}

TEST_F(PaletteFile, EmptyOrMissingFiles) {
  EXPECT_EQ(LoadError(Jasc, ""), Msg("1 has wrong header (should be \"JASC-PAL\")"));
  EXPECT_EQ(LoadError(Clrx, ""), Msg("1 has wrong header (should start with \"CLRX\")"));
  std::string Missing = Dir.File("missing.pal");
  for (TLoader Load : {Jasc, Clrx}) {
    try {
      (Game.Palette().*Load)(Missing);
      ADD_FAILURE() << "a missing file loaded";
    } catch (const EGame& E) {
      EXPECT_EQ(std::string(E.what()), "Error reading file " + Missing + " line 1");
    }
  }
}

TEST_F(PaletteFile, JascAcceptedForms) {
  const TPalette& P = Game.Palette();
  // Trailing blanks, LF-only line ends, blank lines of any blank characters at
  // the end, spaces before numbers, components past 255 cut to 8 bits.
  EXPECT_EQ(LoadError(Jasc, "JASC-PAL\r\n0100\r\n3\r\n1 2 3   \r\n  10  20 30\t\n256 0 511\r\n\r\n  \t\r\n\n"), "");
  EXPECT_EQ(Colors(P), (std::vector<TColor>{RGB(1, 2, 3), RGB(10, 20, 30), RGB(0, 0, 255)}));
  // The last line needs no line end; the size may be signed or hexadecimal.
  EXPECT_EQ(LoadError(Jasc, "JASC-PAL\r\n0100\r\n+2\r\n1 1 1\r\n2 2 2"), "");
  EXPECT_EQ(P.Count(), 2);
  EXPECT_EQ(LoadError(Jasc, "JASC-PAL\n0100\n  $1\n7 7 7\n"), "");
  EXPECT_EQ(Colors(P), std::vector<TColor>{RGB(7, 7, 7)});
  EXPECT_EQ(LoadError(Jasc, "JASC-PAL\n0100\n0X0\n"), "");
  EXPECT_EQ(P.Count(), 0);
}

TEST_F(PaletteFile, JascErrors) {
  const std::string Head = "JASC-PAL\r\n0100\r\n";
  struct TCase {
    std::string Content, Message;
  };
  const TCase Cases[] = {
      {"jasc-pal\r\n", "1 has wrong header (should be \"JASC-PAL\")"},
      {"JASC-PAL \r\n0100\r\n0\r\n", "1 has wrong header (should be \"JASC-PAL\")"},
      {"JASC-PAL\r\n0101\r\n0\r\n", "2 has version number (should be \"0100\")"},
      {Head + "234 \r\n", "3 should have palette size (number)"},
      {Head + "0x\r\n", "3 should have palette size (number)"},
      {Head + "257\r\n", "3 should have palette size (0..256)"},
      {Head + "-1\r\n", "3 should have palette size (0..256)"},
      {Head + "1\r\n1\t2 3\r\n", "4 should have 3 numbers (second is wrong)"},
      {Head + "1\r\n1 2\t3\r\n", "4 should have 3 numbers (third is wrong)"},
      {Head + "1\r\n1 2\r\n", "4 should have 3 numbers (third is wrong)"},
      {Head + "1\r\n4294967296 2 3\r\n", "4 should have 3 numbers (first is wrong)"},
      {Head + "1\r\n1 2 3 4\r\n", "4 should have only three numbers"},
      {Head + "5\r\n1 1 1\r\n2 2 2\r\n3 3 3\r\n4 4 4\r\n", "8 should have 3 numbers (first is wrong)"},
      {Head + "1\r\n1 2 3\r\n\r\n  \r\nx\r\n", "7 should be empty"},
  };
  for (const TCase& C : Cases) EXPECT_EQ(LoadError(Jasc, C.Content), Msg(C.Message)) << C.Content;

  // The palette keeps what was read before the fault; the editor restores the defaults.
  LoadError(Jasc, Head + "5\r\n1 1 1\r\n2 2 2\r\n3 3 3\r\n4 4 4\r\n");
  ASSERT_EQ(Game.Palette().Count(), 5);
  EXPECT_EQ(Game.Palette().GetEntryColor(3), RGB(4, 4, 4));
}

TEST_F(PaletteFile, ClrxAcceptedForms) {
  const TPalette& P = Game.Palette();
  EXPECT_EQ(LoadError(Clrx, "CLRX 8 5\r\n0X00FFFFFF 0x000000FF 0x1 0x00abcdef \r\n  0x0000ff00\t\r\n\r\n \n"), "");
  EXPECT_EQ(Colors(P), (std::vector<TColor>{clWhite, RGB(255, 0, 0), 1, 0xABCDEF, RGB(0, 255, 0)}));
  // The fifth number of a line that does not finish the palette is not examined.
  EXPECT_EQ(LoadError(Clrx, "CLRX8 6\n0x1 0x2 0x3 0x4 junk\n0x5 0x6"), "");
  EXPECT_EQ(Colors(P), (std::vector<TColor>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(LoadError(Clrx, "CLRX 8 0\r\n\r\n"), "");
  EXPECT_EQ(P.Count(), 0);
}

TEST_F(PaletteFile, ClrxErrors) {
  const std::string Four = "0x00ffffff 0x00000001 0x00000002 0x00000003 0x00000004\r\n";
  struct TCase {
    std::string Content, Message;
  };
  const TCase Cases[] = {
      {"clrx 8 1\r\n0x1\r\n", "1 has wrong header (should start with \"CLRX\")"},
      {"CLRX 16 4\r\n", "1 should have 8 as first numbers"},
      {"CLRX 8\r\n", "1 should have a second numbers"},
      {"CLRX 8 300\r\n", "1 should have palette size as second number (0..256)"},
      {"CLRX 8 4 4\r\n", "1 should have CLRX num num"},
      {"CLRX 8 4\r\n" + Four, "2 has too many color"},
      {"CLRX 8 5\r\n" + Four, "3 should have 4 hex numbers (1st wrong)"},
      {"CLRX 8 2\r\n0x00ffffff ff\r\n", "2 should have 4 hex numbers (2nd wrong)"},
      {"CLRX 8 4\r\n0x1 0x2 0x\r\n", "2 should have 4 hex numbers (3rd wrong)"},
      {"CLRX 8 4\r\n0x1 0x2 0x3\t0x4\r\n", "2 should have 4 hex numbers (4th wrong)"},
      {"CLRX 8 2\r\n0x01000000 0x0\r\n", "2 has color with 4th byte non-zero"},
      {"CLRX 8 1\r\n0x100000000\r\n", "2 should have 4 hex numbers (1st wrong)"},
      {"CLRX 8 2\r\n0x0 0x1\r\n\r\n0x2\r\n", "4 should be empty"},
      {"CLRX 8 0\r\n0x0\r\n", "2 should be empty"},
  };
  for (const TCase& C : Cases) EXPECT_EQ(LoadError(Clrx, C.Content), Msg(C.Message)) << C.Content;
}

TEST_F(PaletteFile, HostileTextFailsQuicklyWithoutBigAllocations) {
  auto Start = std::chrono::steady_clock::now();
  const std::string Million(1000000, '9');
  struct TCase {
    TLoader Load;
    std::string Content, Message;
  };
  const TCase Cases[] = {
      {Jasc, "JASC-PAL\r\n0100\r\n1\r\n" + Million + " 0 0\r\n", "4 should have 3 numbers (first is wrong)"},
      {Jasc, "JASC-PAL\r\n0100\r\n" + Million + "\r\n", "3 should have palette size (number)"},
      {Clrx, "CLRX 8 " + Million + "\r\n", "1 should have a second numbers"},
      {Clrx, "CLRX 8 1\r\n0x" + Million + "\r\n", "2 should have 4 hex numbers (1st wrong)"},
  };
  for (const TCase& C : Cases) EXPECT_EQ(LoadError(C.Load, C.Content), Msg(C.Message));

  // Sixteen megabytes without a line end: the first line is too long to read.
  std::string Path = Write(std::string(16u << 20, 'A'));
  test::ResetLargestAllocation();
  for (TLoader Load : {Jasc, Clrx}) EXPECT_EQ(ErrorOf(Load, Path), "Error reading file " + Path + " line 1");
  EXPECT_LT(test::LargestAllocation(), std::size_t{4} << 20);

  // Binary garbage, with line ends and zero bytes among it.
  std::string Garbage;
  unsigned Seed = 12345;
  for (int i = 0; i < 200000; ++i) {
    Seed = Seed * 1103515245 + 12345;
    Garbage += static_cast<char>(Seed >> 16);
  }
  for (TLoader Load : {Jasc, Clrx}) EXPECT_EQ(LoadError(Load, Garbage).rfind(Msg("1 has wrong header"), 0), 0u);
  EXPECT_EQ(LoadError(Jasc, "JASC-PAL\r\n0100\r\n0\r\n" + Garbage).rfind(Msg(""), 0), 0u);
  EXPECT_EQ(LoadError(Clrx, "CLRX 8 0\r\n" + Garbage).rfind(Msg(""), 0), 0u);

  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(5));
}

TEST_F(PaletteFile, BitmapSwatches) {
  const TPalette& P = Game.Palette();  // the default palette, 234 entries
  std::string Path = Dir.File("swatch.bmp");
  struct TGrid {
    int Cols, Rows, Width, Height;
  };
  for (TGrid G : {TGrid{16, 16, 273, 161}, TGrid{18, 15, 307, 151}}) {
    P.SaveToBitmapFile(Path, G.Cols, G.Rows);
    TPeekBitmap B;
    B.LoadFromFile(Path);
    ASSERT_EQ(B.Width(), G.Width);
    ASSERT_EQ(B.Height(), G.Height);
    EXPECT_EQ(B.BitCount(), 8);
    EXPECT_EQ(B.ColorTable().size(), 256u);
    for (int r = 0; r < G.Rows; ++r)
      for (int c = 0; c < G.Cols; ++c) {
        TColor Want = P.GetEntryColor(std::min(r * G.Cols + c, P.Count() - 1));
        // Corners and middle of the swatch, then the background lines around it.
        for (auto [x, y] : {std::pair{1, 1}, {16, 9}, {8, 5}, {1, 9}, {16, 1}})
          ASSERT_EQ(B.GetColor(c * 17 + x, r * 10 + y), Want) << c << "," << r;
        for (auto [x, y] : {std::pair{0, 5}, {17, 5}, {8, 0}, {8, 10}})
          ASSERT_EQ(B.GetColor(c * 17 + x, r * 10 + y), P.GetEntryColor(0)) << c << "," << r;
      }
  }
  // An empty palette has nothing to draw with: all black.
  SetColors(Game.Palette(), {});
  P.SaveToBitmapFile(Path, 16, 16);
  TPeekBitmap Empty;
  Empty.LoadFromFile(Path);
  EXPECT_EQ(Empty.GetColor(8, 5), clBlack);
}

TEST_F(PaletteFile, BitmapRoundTrips) {
  TPalette& P = Game.Palette();
  std::string Path = Dir.File("round.bmp");
  for (int N = 1; N <= 256; ++N) {
    std::vector<TColor> Want = Distinct(N);
    SetColors(P, Want);
    P.SaveToBitmapFile(Path, N % 2 ? 16 : 18, N % 2 ? 16 : 15);
    P.FillBlack();
    test::ClearModified(Game);
    EXPECT_FALSE(P.LoadFromBitmapFile(Path));
    ASSERT_EQ(Colors(P), Want) << N;
    EXPECT_TRUE(Game.Modified());
  }
  // Equal entries collapse into their first occurrence.
  SetColors(P, {1, 2, 1, 3, 2});
  P.SaveToBitmapFile(Path, 16, 16);
  EXPECT_FALSE(P.LoadFromBitmapFile(Path));
  EXPECT_EQ(Colors(P), (std::vector<TColor>{1, 2, 3}));
}

TEST_F(PaletteFile, BitmapWithTooManyColours) {
  // 300 distinct colours along each of two rows, in 24 bits.
  const int Width = 300, Height = 2, RowSize = 900;
  std::vector<std::uint8_t> Rows(RowSize * Height);
  auto ColorAt = [](int x) { return RGB(x & 255, x >> 8, 77); };
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) {
      TColor C = ColorAt(x);
      Rows[y * RowSize + 3 * x] = static_cast<std::uint8_t>(GetBValue(C));
      Rows[y * RowSize + 3 * x + 1] = static_cast<std::uint8_t>(GetGValue(C));
      Rows[y * RowSize + 3 * x + 2] = static_cast<std::uint8_t>(GetRValue(C));
    }
  TBitmap B;
  B.Assign(Width, Height, 24, BI_RGB, {}, {}, Rows);
  std::string Path = Dir.File("many.bmp");
  B.SaveToFile(Path);

  TPalette& P = Game.Palette();
  EXPECT_TRUE(P.LoadFromBitmapFile(Path));
  ASSERT_EQ(P.Count(), 256);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(P.GetEntryColor(i), ColorAt(i));
  EXPECT_EQ(LostColorsMessage(),
            "A Lurvik palette has a maximum of 256 colors.\nYour bitmap has more colors.\nThey are discarded.");
}

TEST_F(PaletteFile, BitmapThatCannotBeRead) {
  TPalette& P = Game.Palette();
  EXPECT_THROW((void)P.LoadFromBitmapFile(Dir.File("missing.bmp")), EFileError);
  EXPECT_EQ(P.Count(), 0);
  P.FillBlack();
  std::string Path = Write("JASC-PAL\r\n", "not.bmp");
  EXPECT_ANY_THROW((void)P.LoadFromBitmapFile(Path));
  EXPECT_EQ(P.Count(), 0);
}

TEST_F(PaletteFile, FailedSavesRaiseFileErrors) {
  const TPalette& P = Game.Palette();
  std::string Missing = Dir.File("no-such-folder/out.pal");
  std::string Folder = Dir.File("folder.pal");
  std::filesystem::create_directory(Folder);
  for (const std::string& Bad : {Missing, Folder}) {
    EXPECT_THROW(P.SaveToJascFile(Bad), EFileError) << Bad;
    EXPECT_THROW(P.SaveToClrxFile(Bad), EFileError) << Bad;
    EXPECT_THROW(P.SaveToBitmapFile(Bad, 16, 16), EFileError) << Bad;
  }
  EXPECT_TRUE(std::filesystem::is_directory(Folder));
}
