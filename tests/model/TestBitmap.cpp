#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/UBitmap.h"
#include "model/UBuiltinBitmaps.h"
#include "model/UErrors.h"
#include "model/UStream.h"
#include "TestSupport.h"

using namespace lvk;

namespace {

using TBytes = std::vector<std::uint8_t>;

void Le16(TBytes& B, std::uint32_t V) {
  B.push_back(static_cast<std::uint8_t>(V));
  B.push_back(static_cast<std::uint8_t>(V >> 8));
}

void Le32(TBytes& B, std::uint32_t V) {
  Le16(B, V & 0xFFFF);
  Le16(B, V >> 16);
}

std::uint32_t At32(const TBytes& B, std::size_t I) {
  return B[I] | (B[I + 1] << 8) | (B[I + 2] << 16) | (static_cast<std::uint32_t>(B[I + 3]) << 24);
}

// A hand-made BMP: headers as given, masks after a 40-byte header for bit
// fields (inside larger headers), raw table, an optional gap, then pixels.
struct TBmpParts {
  std::uint32_t HeaderSize = 40;
  std::int32_t Width = 1;
  std::int32_t Height = 1;
  std::uint16_t Planes = 1;
  std::uint16_t BitCount = 24;
  std::uint32_t Compression = BI_RGB;
  std::uint32_t SizeImage = 0;
  std::uint32_t ClrUsed = 0;
  std::array<std::uint32_t, 3> Masks{};
  std::uint32_t AlphaMask = 0;  // in headers of 56 bytes and more
  TBytes Table;
  TBytes Gap;
  TBytes Pixels;
  std::optional<std::uint32_t> OffBits;
};

TBytes MakeBmp(const TBmpParts& S) {
  TBytes Info;
  Le32(Info, S.HeaderSize);
  if (S.HeaderSize == 12) {
    Le16(Info, static_cast<std::uint32_t>(S.Width));
    Le16(Info, static_cast<std::uint32_t>(S.Height));
    Le16(Info, S.Planes);
    Le16(Info, S.BitCount);
  } else {
    Le32(Info, static_cast<std::uint32_t>(S.Width));
    Le32(Info, static_cast<std::uint32_t>(S.Height));
    Le16(Info, S.Planes);
    Le16(Info, S.BitCount);
    for (std::uint32_t V : {S.Compression, S.SizeImage, 0u, 0u, S.ClrUsed, 0u}) Le32(Info, V);
    if (S.HeaderSize > 40 || S.Compression == BI_BITFIELDS)
      for (std::uint32_t M : S.Masks) Le32(Info, M);
    if (S.HeaderSize >= 56) Le32(Info, S.AlphaMask);
    while (Info.size() < S.HeaderSize) Info.push_back(0);
  }
  std::uint32_t Offset = static_cast<std::uint32_t>(14 + Info.size() + S.Table.size() + S.Gap.size());
  TBytes Out = {'B', 'M'};
  Le32(Out, static_cast<std::uint32_t>(Offset + S.Pixels.size()));
  Le32(Out, 0);
  Le32(Out, S.OffBits.value_or(Offset));
  for (const TBytes* Part : {&std::as_const(Info), &S.Table, &S.Gap, &S.Pixels})
    Out.insert(Out.end(), Part->begin(), Part->end());
  return Out;
}

TPeekBitmap Load(const TBytes& Bytes) {
  TPeekBitmap P;
  P.LoadFromBytes(Bytes.data(), Bytes.size());
  return P;
}

template <typename F>
std::string GameError(F&& Action) {
  try {
    Action();
  } catch (const EGame& E) {
    return E.what();
  }
  return "(no error)";
}

const std::string Invalid = "Bitmap image is not valid";

TBytes RowOf(const TBitmap& B, int Y) { return TBytes(B.ScanLine(Y), B.ScanLine(Y) + B.RowSize()); }

}  // namespace

TEST(Bitmap, IndexedPixelsReadThroughTheColourTable) {
  // Table entries are stored blue, green, red, 0.
  TBmpParts One;
  One.Width = 10;
  One.BitCount = 1;
  One.Table = {0, 0, 0, 0, 0x30, 0x20, 0x10, 0};
  One.Pixels = {0b10000001, 0b01000000, 0, 0};
  TPeekBitmap B1 = Load(MakeBmp(One));
  EXPECT_EQ(B1.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(B1.GetColor(0, 0), 0x302010u);  // leftmost pixel is the top bit
  EXPECT_EQ(B1.GetColor(1, 0), 0u);
  EXPECT_EQ(B1.GetColor(7, 0), 0x302010u);
  EXPECT_EQ(B1.GetColor(8, 0), 0u);
  EXPECT_EQ(B1.GetColor(9, 0), 0x302010u);

  TBmpParts Four;
  Four.Width = 3;
  Four.BitCount = 4;
  Four.ClrUsed = 2;
  Four.Table = {3, 2, 1, 0, 6, 5, 4, 0};
  Four.Pixels = {0x10, 0x50, 0, 0};
  TPeekBitmap B4 = Load(MakeBmp(Four));
  EXPECT_EQ(B4.PixelFormat(), TPixelFormat::pf4bit);
  EXPECT_EQ(B4.ColorTable().size(), 2u);
  EXPECT_EQ(B4.GetColor(0, 0), 0x060504u);  // high half for even X
  EXPECT_EQ(B4.GetColor(1, 0), 0x030201u);  // low half for odd X
  EXPECT_EQ(B4.GetColor(2, 0), 0u);         // index 5 is past the table

  TBmpParts Eight;
  Eight.Width = 2;
  Eight.BitCount = 8;
  Eight.ClrUsed = 3;
  Eight.Table = {0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0x80, 0x01, 0};
  Eight.Pixels = {2, 7, 0, 0};
  TPeekBitmap B8 = Load(MakeBmp(Eight));
  EXPECT_EQ(B8.PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(B8.GetColor(0, 0), 0xFF8001u);
  EXPECT_EQ(B8.GetColor(1, 0), 0u);
  EXPECT_EQ(B8.GetColor(2, 0), 0u);  // outside the picture
  EXPECT_EQ(B8.GetColor(0, -1), 0u);
}

TEST(Bitmap, SixteenBitWordsExpandToFullComponents) {
  TBmpParts S;
  S.Width = 3;
  S.BitCount = 16;
  // 5-5-5: white; red 1, green 16, blue 31; only the top bit set.
  S.Pixels = {0xFF, 0x7F, 0x1F, 0x06, 0x00, 0x80, 0, 0};
  TPeekBitmap B15 = Load(MakeBmp(S));
  EXPECT_EQ(B15.PixelFormat(), TPixelFormat::pf15bit);
  EXPECT_EQ(B15.GetColor(0, 0), 0xFFFFFFu);
  EXPECT_EQ(B15.GetColor(1, 0), 0xFF8408u);
  EXPECT_EQ(B15.GetColor(2, 0), 0u);

  S.Compression = BI_BITFIELDS;
  S.Masks = {0xF800, 0x07E0, 0x001F};
  // 5-6-5: red 31 green 1; green 63 blue 2.
  S.Pixels = {0x20, 0xF8, 0xE2, 0x07, 0, 0, 0, 0};
  TPeekBitmap B16 = Load(MakeBmp(S));
  EXPECT_EQ(B16.PixelFormat(), TPixelFormat::pf16bit);
  EXPECT_EQ(B16.GetColor(0, 0), 0x0004FFu);
  EXPECT_EQ(B16.GetColor(1, 0), 0x10FF00u);
}

TEST(Bitmap, TrueColourPixelsPutRedInTheLowByte) {
  TBmpParts S;
  S.Width = 2;
  S.Height = 2;
  // Bottom row first: a blue pixel below, pure red at the top left.
  S.Pixels = {0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 1, 2, 3, 0, 0};
  TPeekBitmap B24 = Load(MakeBmp(S));
  EXPECT_EQ(B24.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(B24.GetColor(0, 0), 0x0000FFu);
  EXPECT_EQ(B24.GetColor(1, 0), 0x010203u);
  EXPECT_EQ(B24.GetColor(0, 1), 0xFF0000u);

  TBmpParts T;
  T.BitCount = 32;
  T.Pixels = {1, 2, 3, 0xAA};
  TPeekBitmap B32 = Load(MakeBmp(T));
  EXPECT_EQ(B32.PixelFormat(), TPixelFormat::pf32bit);
  EXPECT_EQ(B32.GetColor(0, 0), 0x010203u);
}

TEST(Bitmap, UnreadableFormatsNameThemselves) {
  const std::string Custom = "Don't know how to handle pixel format (\"Custom\")";
  TBmpParts S;
  S.BitCount = 32;
  S.Compression = BI_BITFIELDS;
  S.Masks = {0x3FF00000, 0xFFC00, 0x3FF};  // 10-10-10
  S.Pixels = {1, 2, 3, 4};
  TPeekBitmap B32 = Load(MakeBmp(S));
  EXPECT_EQ(B32.PixelFormat(), TPixelFormat::pfCustom);
  EXPECT_EQ(GameError([&] { B32.GetColor(0, 0); }), Custom);

  S.BitCount = 16;
  S.Masks = {0x7C00, 0x03E0, 0x001F};
  TPeekBitmap B16 = Load(MakeBmp(S));
  EXPECT_EQ(B16.PixelFormat(), TPixelFormat::pfCustom);
  EXPECT_EQ(GameError([&] { B16.GetColor(0, 0); }), Custom);

  TPeekBitmap Nothing;
  EXPECT_EQ(GameError([&] { Nothing.GetColor(0, 0); }), "Don't know how to handle pixel format (\"Device\")");
}

TEST(Bitmap, OtherHeaderFormsAreReadIntoTheStandardForm) {
  // Top-down rows are kept bottom-up and saved with a positive height.
  TBmpParts Top;
  Top.Height = -2;
  Top.BitCount = 8;
  Top.ClrUsed = 1;
  Top.Table = {0, 0, 0, 0};
  Top.Pixels = {1, 0, 0, 0, 2, 0, 0, 0};
  TPeekBitmap T = Load(MakeBmp(Top));
  EXPECT_EQ(T.Height(), 2);
  EXPECT_EQ(T.ScanLine(0)[0], 1);
  EXPECT_EQ(T.ScanLine(1)[0], 2);
  TBytes Saved = T.SaveToBytes();
  EXPECT_EQ(At32(Saved, 22), 2u);
  EXPECT_EQ(Saved[Saved.size() - 8], 2);

  // The old 12-byte header has 16-bit sizes and 3-byte table entries.
  TBmpParts Core;
  Core.HeaderSize = 12;
  Core.Width = 2;
  Core.BitCount = 1;
  Core.Table = {0, 0, 0, 0x30, 0x20, 0x10};
  Core.Pixels = {0x40, 0, 0, 0};
  TPeekBitmap C = Load(MakeBmp(Core));
  EXPECT_EQ(C.GetColor(0, 0), 0u);
  EXPECT_EQ(C.GetColor(1, 0), 0x302010u);
  Saved = C.SaveToBytes();
  EXPECT_EQ(At32(Saved, 14), 40u);
  EXPECT_EQ(At32(Saved, 58), 0x00102030u);  // blue, green, red, 0

  // Larger headers carry the masks inside; no masks follow them.
  TBmpParts V4;
  V4.HeaderSize = 108;
  V4.BitCount = 16;
  V4.Compression = BI_BITFIELDS;
  V4.Masks = {0xF800, 0x07E0, 0x001F};
  V4.Pixels = {0x1F, 0x00, 0, 0};
  TPeekBitmap V = Load(MakeBmp(V4));
  EXPECT_EQ(V.PixelFormat(), TPixelFormat::pf16bit);
  EXPECT_EQ(V.GetColor(0, 0), 0xFF0000u);
  EXPECT_EQ(V.SaveToBytes().size(), 14u + 40 + 12 + 4);
}

// The second OS/2 header is the 40-byte form with 24 bytes of its own after
// it; its compression 3 is Huffman coding, which nothing here reads.
TEST(Bitmap, Os2HeaderOf64BytesReadsLikeTheStandardForm) {
  TBmpParts Mono;
  Mono.HeaderSize = 64;
  Mono.Width = 2;
  Mono.BitCount = 1;
  Mono.Masks = {0xDEAD, 0xBEEF, 0xF00D};  // where OS/2 keeps its own fields
  Mono.Table = {0, 0, 0, 0, 0x30, 0x20, 0x10, 0};
  Mono.Pixels = {0x40, 0, 0, 0};
  TPeekBitmap M = Load(MakeBmp(Mono));
  EXPECT_EQ(M.GetColor(0, 0), 0u);
  EXPECT_EQ(M.GetColor(1, 0), 0x302010u);
  EXPECT_EQ(At32(M.SaveToBytes(), 14), 40u);

  TBmpParts Indexed = Mono;
  Indexed.BitCount = 8;
  Indexed.ClrUsed = 2;
  Indexed.Pixels = {1, 0, 0, 0};
  EXPECT_EQ(Load(MakeBmp(Indexed)).GetColor(0, 0), 0x302010u);

  TBmpParts True = Mono;
  True.BitCount = 24;
  True.Table.clear();
  True.Width = 1;
  True.Pixels = {0x10, 0x20, 0x30, 0};
  EXPECT_EQ(Load(MakeBmp(True)).GetColor(0, 0), 0x102030u);

  True.Compression = BI_BITFIELDS;
  True.BitCount = 32;
  EXPECT_EQ(GameError([&] { Load(MakeBmp(True)); }), Invalid);
}

TEST(Bitmap, Rle8DecodesRunsDeltasAndPaddedAbsoluteRuns) {
  TBmpParts S;
  S.Width = 6;
  S.Height = 3;
  S.BitCount = 8;
  S.Compression = BI_RLE8;
  S.ClrUsed = 1;
  S.Table = {0, 0, 0, 0};
  S.Pixels = {3, 5,              // three 5s
              0, 3, 7, 8, 9, 0,  // absolute run of three, padded
              0, 0,              // end of line
              0, 2, 2, 1,        // two right, one up
              2, 4,              // two 4s
              0, 1,              // end of bitmap
              9, 9};             // never read
  S.SizeImage = static_cast<std::uint32_t>(S.Pixels.size());
  TPeekBitmap B = Load(MakeBmp(S));
  EXPECT_EQ(B.Compression(), BI_RGB);
  EXPECT_EQ(RowOf(B, 2), (TBytes{5, 5, 5, 7, 8, 9, 0, 0}));
  EXPECT_EQ(RowOf(B, 1), TBytes(8, 0));
  EXPECT_EQ(RowOf(B, 0), (TBytes{0, 0, 4, 4, 0, 0, 0, 0}));
}

TEST(Bitmap, Rle4DecodesAlternatingNibbles) {
  TBmpParts S;
  S.Width = 7;
  S.Height = 2;
  S.BitCount = 4;
  S.Compression = BI_RLE4;
  S.Pixels = {5, 0x12,                       // 1 2 1 2 1
              0, 0,                          // end of line
              1, 0xF0,                       // F
              0, 5, 0xAB, 0xCD, 0xE0, 0,     // A B C D E, padded
              1, 0x11,                       // 1 at an even column
              0, 1};
  S.Table.assign(64, 0);
  S.SizeImage = static_cast<std::uint32_t>(S.Pixels.size());
  TPeekBitmap B = Load(MakeBmp(S));
  EXPECT_EQ(B.Compression(), BI_RGB);
  EXPECT_EQ(RowOf(B, 1), (TBytes{0x12, 0x12, 0x10, 0}));
  EXPECT_EQ(RowOf(B, 0), (TBytes{0xFA, 0xBC, 0xDE, 0x10}));
}

TEST(Bitmap, RleStaysInsideThePictureAndItsData) {
  TBmpParts S;
  S.Width = 2;
  S.BitCount = 8;
  S.Compression = BI_RLE8;
  S.ClrUsed = 1;
  S.Table = {0, 0, 0, 0};
  S.Pixels = {255, 7, 0, 2, 0, 5, 3, 9};  // a run far past the row, a delta past the top
  TPeekBitmap B = Load(MakeBmp(S));
  EXPECT_EQ(RowOf(B, 0), (TBytes{7, 7, 0, 0}));

  S.Pixels = {0, 16, 1, 2};  // absolute run longer than the data
  EXPECT_EQ(GameError([&] { Load(MakeBmp(S)); }), Invalid);
  S.Pixels = {0, 2, 5};  // delta cut short
  EXPECT_EQ(GameError([&] { Load(MakeBmp(S)); }), Invalid);
  S.Pixels = {2, 7};
  S.SizeImage = 100;  // more data claimed than the file has
  EXPECT_EQ(GameError([&] { Load(MakeBmp(S)); }), Invalid);

  S.SizeImage = 0;
  S.Width = 100000;
  S.Height = 100000;
  test::ResetLargestAllocation();
  EXPECT_EQ(GameError([&] { Load(MakeBmp(S)); }), Invalid);
  EXPECT_LT(test::LargestAllocation(), 1u << 20);

  // A file of a few dozen bytes may describe 2048 x 2048 pixels, no more:
  // a palette read visits each of them.
  S.Pixels = {0, 1};
  S.Width = 2048;
  S.Height = 2048;
  EXPECT_EQ(Load(MakeBmp(S)).Width(), 2048);
  S.Width = 2049;
  EXPECT_EQ(GameError([&] { Load(MakeBmp(S)); }), Invalid);
  S.Compression = BI_RLE4;
  S.BitCount = 4;
  S.Width = 1048577;  // 8.4 million pixels in half as many bytes
  S.Height = 8;
  test::ResetLargestAllocation();
  EXPECT_EQ(GameError([&] { Load(MakeBmp(S)); }), Invalid);
  EXPECT_LT(test::LargestAllocation(), 1u << 20);
  // Eight million one-pixel rows, each padded to four bytes.
  S.Compression = BI_RLE8;
  S.BitCount = 8;
  S.Width = 1;
  S.Height = 8 * 1024 * 1024;
  test::ResetLargestAllocation();
  EXPECT_EQ(GameError([&] { Load(MakeBmp(S)); }), Invalid);
  EXPECT_LT(test::LargestAllocation(), 1u << 20);
}

TEST(Bitmap, FileHeaderOffsetPlacesThePixels) {
  TBmpParts S;
  S.Gap = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  S.Pixels = {0, 0, 0xFF, 0};
  EXPECT_EQ(Load(MakeBmp(S)).GetColor(0, 0), 0x0000FFu);

  // An offset inside the headers or past the end is ignored.
  S.Gap.clear();
  for (std::uint32_t Bad : {10u, 1000u}) {
    S.OffBits = Bad;
    EXPECT_EQ(Load(MakeBmp(S)).GetColor(0, 0), 0x0000FFu) << Bad;
  }
}

TEST(Bitmap, SavedFormReadsBackByteExact) {
  TBmpParts S;
  S.Width = 3;
  S.Height = 2;
  S.BitCount = 8;
  S.ClrUsed = 3;
  S.SizeImage = 8;
  S.Table = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
  S.Pixels = {0, 1, 2, 0xAB, 2, 1, 0, 0xCD};  // padding bytes kept as stored
  TBytes Original = MakeBmp(S);
  EXPECT_EQ(Load(Original).SaveToBytes(), Original);

  TBmpParts F;
  F.BitCount = 32;
  F.Compression = BI_BITFIELDS;
  F.Masks = {0xFF0000, 0xFF00, 0xFF};
  F.SizeImage = 4;
  F.Pixels = {1, 2, 3, 4};
  Original = MakeBmp(F);
  TPeekBitmap B = Load(Original);
  EXPECT_EQ(B.SaveToBytes(), Original);

  std::string Path = testing::TempDir() + "lvk_bitmap_roundtrip.bmp";
  B.SaveToFile(Path);
  EXPECT_EQ(ReadWholeFile(Path), Original);
  TPeekBitmap Again;
  Again.LoadFromFile(Path);
  EXPECT_EQ(Again, B);
  std::remove(Path.c_str());
}

TEST(BuiltinBitmaps, QuestionMarkIsAStandard150ByteBmp) {
  TBytes B = LoadBuiltinBitmap("BmpNoBmp8x8").SaveToBytes();
  ASSERT_EQ(B.size(), 150u);
  EXPECT_EQ(At32(B, 2), 150u);   // total size
  EXPECT_EQ(At32(B, 10), 118u);  // pixel offset
  EXPECT_EQ(At32(B, 34), 32u);   // image size
  EXPECT_EQ(At32(B, 46), 16u);   // colours used
  EXPECT_EQ(At32(B, 54 + 4 * 8), 0x00C0C0C0u);
  EXPECT_EQ(At32(B, 54 + 4 * 9), 0x00FF0000u);  // red, stored blue-green-red
  EXPECT_EQ(At32(B, 54 + 4 * 2), 0x00008000u);
}

TEST(BuiltinBitmaps, PicturesShowTheirPixels) {
  // Rows from the top: White, Red, Silver, Green.
  auto Expect = [](const char* Name, const std::string& Rows) {
    TPeekBitmap B = LoadBuiltinBitmap(Name);
    ASSERT_EQ(B.Width(), 8);
    ASSERT_EQ(B.Height(), 8);
    EXPECT_EQ(B.BitCount(), 4);
    for (int I = 0; I < 64; ++I) {
      char C = Rows[I];
      std::uint32_t Want = C == 'W' ? 0xFFFFFF : C == 'R' ? 0x0000FF : C == 'S' ? 0xC0C0C0 : 0x008000;
      EXPECT_EQ(B.GetColor(I % 8, I / 8), Want) << Name << " " << I % 8 << "," << I / 8;
    }
  };
  Expect("BmpNoBmp8x8",
         "WWWWWWWW" "WWRRRRWW" "WRWWWWRW" "WWWWRRWW" "WWWRRWWW" "WWWWWWWW" "WWWRRWWW" "WWWWWWWW");
  Expect("BmpEmpty8x8",
         "WWWWWWWW" "WSSSSSSW" "WSSSSSSW" "WSSSSSSW" "WSSSSSSW" "WSSSSSSW" "WSSSSSSW" "WWWWWWWW");
  Expect("BmpNoTile8x8",
         "WWWWWWWW" "WGSSSSGW" "WSGSSGSW" "WSSGGSSW" "WSSGGSSW" "WSGSSGSW" "WGSSSSGW" "WWWWWWWW");
  EXPECT_THROW(LoadBuiltinBitmap("BmpNothing"), EAssertionFailed);
}

TEST(Bitmap, HostileFilesAreRejectedAndLeaveThePictureAlone) {
  TBmpParts Good;
  Good.Pixels = {1, 2, 3, 0};
  TPeekBitmap B = Load(MakeBmp(Good));
  const TPeekBitmap Before = B;

  auto Rejects = [&](TBytes Bytes, const char* Why) {
    EXPECT_EQ(GameError([&] { B.LoadFromBytes(Bytes.data(), Bytes.size()); }), Invalid) << Why;
    EXPECT_EQ(B, Before) << Why;
  };
  auto With = [&](auto Change) {
    TBmpParts S = Good;
    Change(S);
    return MakeBmp(S);
  };
  TBytes NotBm = MakeBmp(Good);
  NotBm[0] = 'P';
  Rejects(NotBm, "not BM");
  Rejects(TBytes{'B', 'M', 0}, "short file header");
  Rejects(With([](TBmpParts& S) { S.Planes = 2; }), "planes");
  Rejects(With([](TBmpParts& S) { S.BitCount = 7; }), "bits per pixel");
  Rejects(With([](TBmpParts& S) { S.Compression = BI_BITFIELDS; }), "bit fields at 24 bits");
  Rejects(With([](TBmpParts& S) { S.Compression = 4; }), "unknown compression");
  Rejects(With([](TBmpParts& S) {
            S.BitCount = 4;
            S.Compression = BI_RLE8;
          }),
          "RLE8 at 4 bits");
  Rejects(With([](TBmpParts& S) { S.HeaderSize = 20; }), "header size");
  Rejects(With([](TBmpParts& S) { S.Width = 0; }), "zero width");
  Rejects(With([](TBmpParts& S) { S.Height = 0; }), "zero height");
  Rejects(With([](TBmpParts& S) { S.Height = 2; }), "truncated rows");
  Rejects(With([](TBmpParts& S) { S.ClrUsed = 1000000; }), "colour table past the data");

  TBytes Huge = With([](TBmpParts& S) {
    S.Width = 100000;
    S.Height = 100000;
  });
  Huge.resize(100);
  test::ResetLargestAllocation();
  Rejects(Huge, "huge header in a tiny file");
  EXPECT_LT(test::LargestAllocation(), 1u << 20);
}

TEST(Bitmap, StreamReadsBackToBackAndStopsAfterThePixels) {
  TBmpParts S;
  S.Width = 2;
  S.BitCount = 8;
  S.ClrUsed = 1;
  S.Table = {0, 0, 0xFF, 0};
  S.Pixels = {0, 0, 0, 0};
  S.OffBits = 0;  // not used inside a project file
  TBytes Bmp = MakeBmp(S);
  TBytes File = {'x', 'y'};
  File.insert(File.end(), Bmp.begin(), Bmp.end());
  File.push_back('z');
  TMemoryStream Stream(File);
  Stream.Seek(2);
  TPeekBitmap B;
  B.LoadFromStream(Stream);
  EXPECT_EQ(B.GetColor(1, 0), 0x0000FFu);
  EXPECT_EQ(Stream.Position(), 2 + Bmp.size());

  // A stated image size beyond the rows is consumed as well.
  S.SizeImage = 6;
  S.Pixels = {0, 0, 0, 0, 0xEE, 0xEE};
  TMemoryStream Larger(MakeBmp(S));
  B.LoadFromStream(Larger);
  EXPECT_EQ(Larger.Position(), Larger.Size());
}

TEST(Bitmap, StreamDataPastTheEndIsAReadError) {
  TBmpParts S;
  S.Width = 2;
  S.Height = 2;
  S.Pixels = TBytes(16, 0);
  TBytes Bmp = MakeBmp(S);

  auto ReadError = [](TBytes Bytes, const char* Why) {
    TMemoryStream Stream(std::move(Bytes));
    TPeekBitmap B;
    EXPECT_THROW(B.LoadFromStream(Stream), EReadError) << Why;
    EXPECT_TRUE(B.Empty()) << Why;
  };
  ReadError(TBytes(Bmp.begin(), Bmp.end() - 1), "truncated rows");
  ReadError(TBytes(Bmp.begin(), Bmp.begin() + 30), "truncated header");
  S.ClrUsed = 0x10000000;
  ReadError(MakeBmp(S), "colour table past the end");
  S.ClrUsed = 0;
  S.SizeImage = 17;
  ReadError(MakeBmp(S), "image size past the end");
  S.SizeImage = 0;
  S.Width = S.Height = 100000;
  test::ResetLargestAllocation();
  ReadError(MakeBmp(S), "huge picture");
  EXPECT_LT(test::LargestAllocation(), 1u << 20);

  TBytes NotBm = Bmp;
  NotBm[1] = 'N';
  TMemoryStream Stream(NotBm);
  TPeekBitmap B;
  EXPECT_EQ(GameError([&] { B.LoadFromStream(Stream); }), Invalid);
}

// The forms image tools write: the larger headers (masks inside, alpha from
// 56 bytes on) or the 40-byte one with three masks after it; each colour in
// a byte of its own, in any order.
TEST(Bitmap, ThirtyTwoBitFieldsWithByteMasksRead) {
  struct TCase {
    std::uint32_t HeaderSize;
    std::array<std::uint32_t, 3> Masks;
    std::uint32_t Alpha;
    std::uint32_t Pixel;  // as stored, little-endian
    std::uint32_t Color;
    bool Transparent;
  };
  const TCase Cases[] = {
      {40, {0xFF0000, 0xFF00, 0xFF}, 0, 0x00102030, 0x302010, false},
      {52, {0xFF0000, 0xFF00, 0xFF}, 0, 0xAA102030, 0x302010, false},
      {56, {0xFF0000, 0xFF00, 0xFF}, 0xFF000000, 0x00102030, 0x302010, true},
      {108, {0xFF0000, 0xFF00, 0xFF}, 0xFF000000, 0x80102030, 0x302010, false},
      {124, {0xFF0000, 0xFF00, 0xFF}, 0xFF000000, 0x00102030, 0x302010, true},
      {124, {0xFF, 0xFF00, 0xFF0000}, 0xFF000000, 0x00102030, 0x102030, true},       // red in the low byte
      {108, {0xFF000000, 0xFF0000, 0xFF00}, 0xFF, 0x102030FF, 0x302010, false},      // alpha in the low byte
      {108, {0xFF000000, 0xFF0000, 0xFF00}, 0, 0x10203000, 0x302010, false},         // no alpha mask
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(::testing::Message() << "header " << C.HeaderSize << " alpha mask " << C.Alpha);
    TBmpParts S;
    S.HeaderSize = C.HeaderSize;
    S.Width = 2;
    S.BitCount = 32;
    S.Compression = BI_BITFIELDS;
    S.Masks = C.Masks;
    S.AlphaMask = C.Alpha;
    Le32(S.Pixels, C.Pixel);
    Le32(S.Pixels, C.Alpha);  // an opaque second pixel, so the alpha counts
    TPeekBitmap B = Load(MakeBmp(S));
    EXPECT_EQ(B.PixelFormat(), TPixelFormat::pf32bit);
    EXPECT_EQ(B.GetColor(0, 0), C.Color);
    EXPECT_EQ(B.Transparent(0, 0), C.Transparent);
    EXPECT_FALSE(B.Transparent(1, 0));
    EXPECT_FALSE(B.Transparent(2, 0));  // outside

    // Saved and read back, the picture keeps its masks and what they say.
    TPeekBitmap Back = Load(B.SaveToBytes());
    EXPECT_EQ(Back, B);
    EXPECT_EQ(Back.Transparent(0, 0), C.Transparent);
    EXPECT_EQ(At32(B.SaveToBytes(), 14), C.Alpha ? 108u : 40u);
  }
}

TEST(Bitmap, UnusualThirtyTwoBitMasksStayUnreadable) {
  const std::string Custom = "Don't know how to handle pixel format (\"Custom\")";
  struct TCase {
    std::array<std::uint32_t, 3> Masks;
    std::uint32_t Alpha;
  };
  const TCase Cases[] = {
      {{0x3FF00000, 0xFFC00, 0x3FF}, 0},              // 10-10-10
      {{0xFF0000, 0xFF0000, 0xFF}, 0},                // two colours in one byte
      {{0xFF0000, 0xFF00, 0xFF}, 0xFF},               // alpha over blue
      {{0x7F0000, 0x7F00, 0x7F}, 0},                  // 7 bits each
      {{0xFF0000, 0xFF00, 0}, 0xFF000000},            // no blue
      {{0xFF0000, 0xFF00, 0xFF}, 0xF0000000},         // part of a byte for alpha
  };
  for (const TCase& C : Cases) {
    TBmpParts S;
    S.HeaderSize = 124;
    S.BitCount = 32;
    S.Compression = BI_BITFIELDS;
    S.Masks = C.Masks;
    S.AlphaMask = C.Alpha;
    S.Pixels = {1, 2, 3, 4};
    TPeekBitmap B = Load(MakeBmp(S));
    EXPECT_EQ(B.PixelFormat(), TPixelFormat::pfCustom) << C.Masks[0] << " " << C.Alpha;
    EXPECT_EQ(GameError([&] { B.GetColor(0, 0); }), Custom);
  }
}

// Some tools write an alpha mask and leave every alpha byte 0: that picture
// is opaque, not one of transparent pixels only.
TEST(Bitmap, AnAlphaMaskNoPixelFillsIsIgnored) {
  TBmpParts S;
  S.HeaderSize = 124;
  S.Width = 2;
  S.BitCount = 32;
  S.Compression = BI_BITFIELDS;
  S.Masks = {0xFF0000, 0xFF00, 0xFF};
  S.AlphaMask = 0xFF000000;
  S.Pixels = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
  TPeekBitmap B = Load(MakeBmp(S));
  EXPECT_FALSE(B.AlphaUsed());
  EXPECT_FALSE(B.Transparent(0, 0));
  EXPECT_EQ(B.GetColor(1, 0), 0xFFFFFFu);
}
