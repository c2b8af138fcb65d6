// A tile's transparent colour and a handler's comment: their sections after
// the levels, byte for byte as docs/ProjectFile.md gives them, what a damaged
// section does, the undo step of each, and the pixels that become entry 0.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/UTile.h"

using namespace lvk;
using test::TBytes;

namespace {

TBytes Hex(const std::string& Text) {
  TBytes Bytes;
  for (std::size_t i = 0; i + 1 < Text.size(); i += 3)
    Bytes.push_back(static_cast<std::uint8_t>(std::stoi(Text.substr(i, 2), nullptr, 16)));
  return Bytes;
}

const char* const TransparentPart =
    "06 14 5b 54 54 72 61 6e 73 70 61 72 65 6e 74 43 6f 6c 6f 72 73 5d "  // "[TTransparentColors]"
    "02 01 "                                                                // 1 tile
    "02 00 04 ff ff 00 00 ";                                                // tile 0: yellow
const char* const CommentsPart =
    "06 12 5b 54 48 61 6e 64 6c 65 72 43 6f 6d 6d 65 6e 74 73 5d "  // "[THandlerComments]"
    "02 01 "                                                        // 1 comment
    "02 00 02 00 "                                                  // actor 0, handler 0
    "06 06 53 63 6f 72 65 73 ";                                     // "Scores"

TBytes WithTail(const std::string& Tail) {
  TBytes Bytes = test::WorkedExampleBytes();
  test::Append(Bytes, Hex(Tail));
  return Bytes;
}

std::string ReadError(const TBytes& Bytes) {
  try {
    TGame Game;
    Game.LoadContent(Bytes);
  } catch (const std::exception& E) {
    return E.what();
  }
  return "(read)";
}

}  // namespace

TEST(TileAndHandlerNotes, TheDocumentedBytesAreWrittenAndReadBack) {
  RegisterKinds();
  const TBytes Expected = WithTail(std::string(TransparentPart) + CommentsPart);
  ASSERT_EQ(Expected.size(), 396u + 0x41);

  TGame Game;
  Game.LoadContent(test::WorkedExampleBytes());
  Game.GetTile(0)->SetTransparentColor(RGB(255, 255, 0));
  Game.GetActor(0)->GetHandler(0)->SetComment("Scores");
  EXPECT_EQ(Game.ContentBytes(), Expected);

  TGame Loaded;
  Loaded.LoadContent(Expected);
  EXPECT_EQ(Loaded.GetTile(0)->TransparentColor(), RGB(255, 255, 0));
  EXPECT_EQ(Loaded.GetActor(0)->GetHandler(0)->Comment(), "Scores");

  // Without either, the game is stored as before them.
  Loaded.GetTile(0)->SetTransparentColor(std::nullopt);
  Loaded.GetActor(0)->GetHandler(0)->SetComment("");
  EXPECT_EQ(Loaded.ContentBytes(), test::WorkedExampleBytes());
}

TEST(TileAndHandlerNotes, DamagedOrMisplacedSectionsAreReadErrors) {
  RegisterKinds();
  const std::string Unexpected = "Read error: file has unexpected format";
  const std::string Transparent = "06 14 5b 54 54 72 61 6e 73 70 61 72 65 6e 74 43 6f 6c 6f 72 73 5d ";
  const std::string Comments = "06 12 5b 54 48 61 6e 64 6c 65 72 43 6f 6d 6d 65 6e 74 73 5d ";
  const std::string Sounds = "06 09 5b 54 53 6f 75 6e 64 73 5d 02 00 02 00 ";
  const struct {
    const char* What;
    std::string Tail;
  } Cases[] = {
      {"tile index past the tiles", Transparent + "02 01 02 01 02 00 "},
      {"negative tile index", Transparent + "02 01 02 ff 02 00 "},
      {"colour above 24 bits", Transparent + "02 01 02 00 04 00 00 00 01 "},
      {"negative colour", Transparent + "02 01 02 00 02 ff "},
      {"a tile twice", Transparent + "02 02 02 00 02 01 02 00 02 02 "},
      {"count beyond the bytes", Transparent + "02 40 02 00 02 00 "},
      {"cut short", Transparent + "02 01 02 00 "},
      {"actor index past the actors", Comments + "02 01 02 01 02 00 06 01 78 "},
      {"handler index past the handlers", Comments + "02 01 02 00 02 01 06 01 78 "},
      {"empty comment", Comments + "02 01 02 00 02 00 06 00 "},
      {"a handler twice", Comments + "02 02 02 00 02 00 06 01 78 02 00 02 00 06 01 79 "},
      {"comments before colours", std::string(CommentsPart) + TransparentPart},
      {"colours twice", std::string(TransparentPart) + TransparentPart},
      {"an older section after a new one", std::string(TransparentPart) + Sounds},
  };
  for (const auto& C : Cases) EXPECT_EQ(ReadError(WithTail(C.Tail)), Unexpected) << C.What;
  EXPECT_EQ(ReadError(WithTail(std::string(TransparentPart) + CommentsPart)), "(read)");
}

TEST(TileAndHandlerNotes, EachChangeIsOneUndoStep) {
  RegisterKinds();
  test::TTempDir Dir;
  test::WriteBytes(Dir.File("example.lvk"), test::WorkedExampleBytes());
  TDocument Doc;
  Doc.Open(Dir.File("example.lvk"));
  {
    TEdit Edit(Doc.Game(), "Set transparent colour");
    Doc.Game().GetTile(0)->SetTransparentColor(RGB(0, 0, 0));
  }
  {
    TEdit Edit(Doc.Game(), "Change handler comment");
    Doc.Game().GetActor(0)->GetHandler(0)->SetComment("Scores");
  }
  EXPECT_TRUE(Doc.Game().Modified());
  ASSERT_TRUE(Doc.Undo());
  EXPECT_EQ(Doc.Game().GetActor(0)->GetHandler(0)->Comment(), "");
  EXPECT_EQ(Doc.Game().GetTile(0)->TransparentColor(), RGB(0, 0, 0));
  ASSERT_TRUE(Doc.Undo());
  EXPECT_EQ(Doc.Game().GetTile(0)->TransparentColor(), std::nullopt);
  EXPECT_FALSE(Doc.Game().Modified());
  ASSERT_TRUE(Doc.Redo());
  ASSERT_TRUE(Doc.Redo());
  EXPECT_EQ(Doc.Game().GetActor(0)->GetHandler(0)->Comment(), "Scores");

  // Copies keep them.
  TEdit Edit(Doc.Game(), "Duplicate");
  TTile* Copy = Doc.Game().DuplicateTile(Doc.Game().GetTile(0));
  EXPECT_EQ(Copy->TransparentColor(), RGB(0, 0, 0));
  TActor* Twin = Doc.Game().DuplicateActor(Doc.Game().GetActor(0));
  EXPECT_EQ(Twin->GetHandler(0)->Comment(), "Scores");
}
