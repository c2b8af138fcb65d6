// Tiles: the record, and importing pictures with their checks.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "model/UBuiltinBitmaps.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/UStream.h"

using namespace lvk;
using test::TBytes;
using test::Append;
using test::MessageOf;
using test::RecordOf;

namespace {

std::uint32_t Le32(const TBytes& B, std::size_t At) {
  return B[At] | (B[At + 1] << 8) | (B[At + 2] << 16) | (static_cast<std::uint32_t>(B[At + 3]) << 24);
}

std::string ImportMessage(TTile& Tile, const std::string& FileName) {
  try {
    Tile.ImportBitmap(FileName);
  } catch (const std::exception& E) {
    return E.what();
  }
  return "no error";
}

}  // namespace

TEST(TileRecord, NewTileIs167Bytes) {
  TGame Game;
  TTile* Tile = Game.AddTile();
  TBytes R = RecordOf(*Tile);
  ASSERT_EQ(R.size(), 167u);
  TBytes Head = test::ShortString("[TTile]");
  TBytes Name = test::ShortString("tTile1");
  EXPECT_TRUE(std::equal(Head.begin(), Head.end(), R.begin()));
  EXPECT_TRUE(std::equal(Name.begin(), Name.end(), R.begin() + 9));
  const std::size_t Bmp = 17;
  EXPECT_EQ(R[Bmp], 'B');
  EXPECT_EQ(R[Bmp + 1], 'M');
  EXPECT_EQ(Le32(R, Bmp + 2), 150u);
  EXPECT_EQ(Le32(R, Bmp + 10), 118u);
  EXPECT_EQ(Le32(R, Bmp + 14 + 32), 16u);  // colours used
  // The question mark: white with red strokes.
  EXPECT_EQ(Tile->Bitmap().GetColor(0, 0), 0xFFFFFFu);
  EXPECT_EQ(Tile->Bitmap().GetColor(2, 1), 0x0000FFu);
  EXPECT_EQ(Tile->Bitmap().GetColor(3, 6), 0x0000FFu);
}

TEST(TileRecord, RecordsFollowEachOtherDirectly) {
  TGame Game;
  TTile* A = Game.AddTile();
  TTile* B = Game.AddTile();
  A->SetName("First");
  TMemoryStream S;
  TWriter W(S);
  A->SaveToStream(S, W);
  B->SaveToStream(S, W);
  W.WriteListEnd();
  W.FlushBuffer();
  const TBytes Bytes = S.Bytes();
  const std::size_t Second = RecordOf(*A).size();
  TBytes Marker = test::ShortString("[TTile]");
  EXPECT_TRUE(std::equal(Marker.begin(), Marker.end(), Bytes.begin() + Second));

  TGame Copy;
  TMemoryStream In(Bytes);
  TReader R(In);
  Copy.AddTile()->LoadFromStream(In, R);
  Copy.AddTile()->LoadFromStream(In, R);
  EXPECT_TRUE(R.EndOfList());
  EXPECT_EQ(Copy.GetTile(0)->Name(), "First");
  EXPECT_EQ(Copy.GetTile(1)->Name(), "tTile2");
}

TEST(TileRecord, NamesAndSizesAreNotCheckedOnLoad) {
  TGame Game;
  TBytes B = test::ShortString("[TTile]");
  TBytes Name = test::ShortString("not a name!");
  B.insert(B.end(), Name.begin(), Name.end());
  TBytes Big = test::SolidBitmap(16, 16, 24, 0x00FF00).SaveToBytes();
  B.insert(B.end(), Big.begin(), Big.end());
  TMemoryStream S(B);
  TReader R(S);
  TTile* Tile = Game.AddTile();
  Tile->LoadFromStream(S, R);
  EXPECT_EQ(Tile->Name(), "not a name!");
  EXPECT_EQ(Tile->Bitmap().Width(), 16);
  EXPECT_EQ(S.Position(), B.size());
}

// A picture without pixels, as other tools write one into a tile: the game
// loads, keeps it, and saves it again.
TEST(TileRecord, AProjectWithAnEmptyTilePictureLoads) {
  test::TTempDir Dir;
  TGame Game;
  Game.AddTile();
  Game.SetFileName(Dir.File("game.lvk"));
  Game.Save();
  TBytes File = test::ReadBytes(Game.FileName());
  const TBytes QuestionMark = LoadBuiltinBitmap("BmpNoBmp8x8").SaveToBytes();
  auto At = std::search(File.begin(), File.end(), QuestionMark.begin(), QuestionMark.end());
  ASSERT_NE(At, File.end());
  for (auto [Width, Height] : {std::pair{0, 0}, {0, 8}, {5, 0}}) {
    TBitmap Empty;
    Empty.Assign(Width, Height, 24, BI_RGB, {}, {}, {});
    TBytes Patched(File.begin(), At);
    Append(Patched, Empty.SaveToBytes());
    Patched.insert(Patched.end(), At + static_cast<std::ptrdiff_t>(QuestionMark.size()), File.end());
    test::WriteBytes(Dir.File("empty.lvk"), Patched);

    TGame Loaded;
    EXPECT_EQ(MessageOf([&] { Loaded.LoadFromFile(Dir.File("empty.lvk")); }), "no error") << Width << "x" << Height;
    ASSERT_EQ(Loaded.TileCount(), 1);
    EXPECT_TRUE(Loaded.GetTile(0)->Bitmap().Empty());
    EXPECT_EQ(Loaded.GetTile(0)->Bitmap().Width(), Width);
    EXPECT_EQ(Loaded.GetTile(0)->Bitmap().Height(), Height);
    Loaded.SetFileName(Dir.File("again.lvk"));
    Loaded.Save();
    TGame Again;
    Again.LoadFromFile(Dir.File("again.lvk"));
    EXPECT_EQ(Again.GetTile(0)->Bitmap(), Loaded.GetTile(0)->Bitmap());
  }
}

TEST(TileRecord, BadMarkerAndBadPicture) {
  TGame Game;
  TTile* Tile = Game.AddTile();
  TMemoryStream S(test::ShortString("[TActor]"));
  TReader R(S);
  try {
    Tile->LoadFromStream(S, R);
    FAIL();
  } catch (const EGame& E) {
    EXPECT_STREQ(E.what(), "Read error: expected [TTile], read [TActor]");
  }
  TBytes B = test::ShortString("[TTile]");
  TBytes Rest = test::ShortString("t");
  B.insert(B.end(), Rest.begin(), Rest.end());
  TBytes NotBmp(60, 'Z');
  B.insert(B.end(), NotBmp.begin(), NotBmp.end());
  TMemoryStream S2(B);
  TReader R2(S2);
  try {
    Tile->LoadFromStream(S2, R2);
    FAIL();
  } catch (const EGame& E) {
    EXPECT_STREQ(E.what(), "Bitmap image is not valid");
  }
}

TEST(TileImport, GoodPicturesReplaceTheQuestionMark) {
  test::TTempDir Dir;
  TGame Game;
  TTile* Tile = Game.AddTile();
  test::SolidBitmap(8, 8, 24, 0x0000FF).SaveToFile(Dir.File("red.bmp"));
  test::ClearModified(Game);
  Tile->ImportBitmap(Dir.File("red.bmp"));
  EXPECT_TRUE(Game.Modified());
  EXPECT_EQ(Tile->Bitmap().GetColor(7, 7), 0x0000FFu);
  EXPECT_EQ(Tile->Bitmap().BitCount(), 24);
  for (int Bits : {1, 4, 8, 16, 32}) {
    test::SolidBitmap(8, 8, Bits, 0x00F8F8F8).SaveToFile(Dir.File("any.bmp"));
    EXPECT_EQ(ImportMessage(*Tile, Dir.File("any.bmp")), "no error") << Bits;
    EXPECT_EQ(Tile->Bitmap().BitCount(), Bits);
  }
}

TEST(TileImport, FailuresInTheirPrecedence) {
  test::TTempDir Dir;
  TGame Game;
  TTile* Tile = Game.AddTile();
  test::SolidBitmap(8, 8, 24, 0x00FF00).SaveToFile(Dir.File("good.bmp"));
  Tile->ImportBitmap(Dir.File("good.bmp"));
  const TPeekBitmap Good = Tile->Bitmap();
  auto Import = [&](const TPeekBitmap& B) {
    // A picture that fails keeps the tile's own.
    B.SaveToFile(Dir.File("in.bmp"));
    test::ClearModified(Game);
    std::string M = ImportMessage(*Tile, Dir.File("in.bmp"));
    EXPECT_EQ(Tile->Bitmap(), Good) << M;
    EXPECT_FALSE(Game.Modified()) << M;
    return M;
  };
  EXPECT_EQ(Import(test::SolidBitmap(10, 8, 24, 0)), "Width of image is 10, but it must be 8");
  EXPECT_EQ(Import(test::SolidBitmap(8, 9, 24, 0)), "Height of image is 9, but it must be 8");
  EXPECT_EQ(Import(test::SolidBitmap(16, 16, 24, 0)), "Height of image is 16, but it must be 8");
  const std::array<std::uint32_t, 3> Masks{0x3FF00000, 0xFFC00, 0x3FF};  // 10-10-10
  EXPECT_EQ(Import(test::SolidBitmap(8, 8, 32, 0, BI_BITFIELDS, Masks)),
            "Don't know how to handle pixel format (\"Custom\")");
  EXPECT_EQ(Import(test::SolidBitmap(16, 16, 32, 0, BI_BITFIELDS, Masks)),
            "Don't know how to handle pixel format (\"Custom\")");
}

TEST(TileImport, UnreadableFilesLeaveTheTileAlone) {
  test::TTempDir Dir;
  TGame Game;
  TTile* Tile = Game.AddTile();
  test::SolidBitmap(8, 8, 24, 0x00FF00).SaveToFile(Dir.File("good.bmp"));
  Tile->ImportBitmap(Dir.File("good.bmp"));
  const TPeekBitmap Before = Tile->Bitmap();
  test::ClearModified(Game);
  test::WriteBytes(Dir.File("text.bmp"), TBytes{'h', 'e', 'l', 'l', 'o'});
  EXPECT_EQ(ImportMessage(*Tile, Dir.File("text.bmp")), "Bitmap image is not valid");
  EXPECT_THROW(Tile->ImportBitmap(Dir.File("missing.bmp")), EFileError);
  EXPECT_EQ(Tile->Bitmap(), Before);
  EXPECT_FALSE(Game.Modified());
}
