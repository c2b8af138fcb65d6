// The sample game shipped in examples/: it must open, hold a playable game
// and be the file its tile pictures make.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventKey.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UNames.h"
#include "model/UStream.h"
#include "model/UTile.h"

using namespace lvk;
using test::TBytes;

namespace {

const std::string SampleFile = std::string(LVK_EXAMPLES) + "/Sample.lvk";
const std::string TilesFolder = std::string(LVK_EXAMPLES) + "/tiles";

// The bytes of a project file up to and including its revision.
TBytes FileHead(int Revision) {
  TMemoryStream Stream;
  TWriter Writer(Stream);
  Writer.WriteString(Signature);
  Writer.WriteInteger(FileVersion);
  Writer.WriteString("[TGame]");
  Writer.WriteInteger(Revision);
  Writer.FlushBuffer();
  return Stream.Bytes();
}

bool StartsWith(const TBytes& Bytes, const TBytes& Head) {
  return Bytes.size() >= Head.size() && std::equal(Head.begin(), Head.end(), Bytes.begin());
}

}  // namespace

TEST(SampleGame, Loads) {
  TGame Game;
  ASSERT_NO_THROW(Game.LoadFromFile(SampleFile));
  EXPECT_FALSE(Game.Modified());
  EXPECT_NE(Game.Title(), DefaultTitle);
  EXPECT_GT(Game.Palette().Count(), 1);
}

TEST(SampleGame, TilesAreTheTilePictures) {
  TGame Game;
  Game.LoadFromFile(SampleFile);
  ASSERT_GE(Game.TileCount(), 8);
  std::set<std::string> Names;
  for (int i = 0; i < Game.TileCount(); ++i) {
    TTile* Tile = Game.GetTile(i);
    SCOPED_TRACE(Tile->Name());
    EXPECT_TRUE(IsLegalName(Tile->Name()));
    EXPECT_TRUE(Names.insert(Tile->Name()).second) << "two tiles share a name";
    EXPECT_EQ(Tile->Bitmap().Width(), 8);
    EXPECT_EQ(Tile->Bitmap().Height(), 8);
    EXPECT_NO_THROW(Tile->Bitmap().GetColor(0, 0));
    // A tile picture changed without running the generator leaves the file stale.
    TPeekBitmap Picture;
    ASSERT_NO_THROW(Picture.LoadFromFile(TilesFolder + "/" + Tile->Name() + ".bmp"));
    EXPECT_EQ(Tile->Bitmap(), Picture);
  }
}

TEST(SampleGame, ActorsAreDrawnAndBehave) {
  TGame Game;
  Game.LoadFromFile(SampleFile);
  ASSERT_GE(Game.ActorCount(), 3);
  int WithHandlers = 0;
  std::uint16_t KeysHandled = 0;
  for (int i = 0; i < Game.ActorCount(); ++i) {
    TActor* Actor = Game.GetActor(i);
    SCOPED_TRACE(Actor->Name());
    EXPECT_TRUE(IsLegalName(Actor->Name()));
    EXPECT_EQ(Game.FindActorByName(Actor->Name()), Actor) << "two actors share a name";
    ASSERT_NE(Actor->Tile(), nullptr);
    EXPECT_GE(Game.IndexOfTile(Actor->Tile()), 0);
    if (Actor->HandlerCount() > 0) ++WithHandlers;
    for (int h = 0; h < Actor->HandlerCount(); ++h) {
      THandler* Handler = Actor->GetHandler(h);
      ASSERT_NE(Handler->Event(), nullptr);
      // As the editor makes them: a speed, then a direction.
      ASSERT_EQ(Handler->ActionCount(), 2);
      EXPECT_EQ(&Handler->GetAction(0)->Kind(), &TActionSetSpeedSize::ClassKind());
      EXPECT_EQ(&Handler->GetAction(1)->Kind(), &TActionSetSpeedDir::ClassKind());
      if (auto* Collision = dynamic_cast<TEventCollision*>(Handler->Event())) {
        ASSERT_NE(Collision->OtherActor(), nullptr);
        EXPECT_EQ(Game.FindActorByName(Collision->OtherActor()->Name()), Collision->OtherActor());
      }
      if (auto* Key = dynamic_cast<TEventKey*>(Handler->Event()); Key && Key->Press()) KeysHandled |= Key->Keys();
    }
  }
  EXPECT_GE(WithHandlers, 3);
  // Somebody answers each cursor key.
  for (const char* Key : {">", "<", "^", "v"})
    EXPECT_TRUE(KeysHandled & (1u << TEventKey::IndexOfKey(Key))) << "nothing answers " << Key;
}

TEST(SampleGame, LevelsAreFull) {
  TGame Game;
  Game.LoadFromFile(SampleFile);
  ASSERT_GE(Game.LevelCount(), 2);
  for (int i = 0; i < Game.LevelCount(); ++i) {
    TLevel* Level = Game.GetLevel(i);
    SCOPED_TRACE(Level->Name());
    EXPECT_TRUE(IsLegalName(Level->Name()));
    ASSERT_EQ(Level->Width(), 32);
    ASSERT_EQ(Level->Height(), 24);
    int Filled = 0;
    std::set<TActor*> Used;
    for (int Row = 0; Row < Level->Height(); ++Row)
      for (int Column = 0; Column < Level->Width(); ++Column)
        if (TActor* Actor = Level->GetCell(Column, Row)) {
          ++Filled;
          Used.insert(Actor);
        }
    // A cell naming an actor the game lacks reads back empty.
    EXPECT_GE(Filled, Level->Width() * Level->Height() * 3 / 4);
    EXPECT_GE(Used.size(), 5u) << "a level of a few kinds of cells is no picture";
  }
}

TEST(SampleGame, SavedAgainOnlyTheRevisionChanges) {
  test::TTestClock Clock;  // no editing time passes while it loads and saves
  test::TTempDir Dir;
  TGame Game;
  Game.LoadFromFile(SampleFile);
  const int Revision = Game.Revision();
  Game.SetFileName(Dir.File("again.lvk"));
  Game.Save();
  TBytes Before = test::ReadBytes(SampleFile), After = test::ReadBytes(Game.FileName());
  TBytes OldHead = FileHead(Revision), NewHead = FileHead(Revision + 1);
  ASSERT_TRUE(StartsWith(Before, OldHead));
  ASSERT_TRUE(StartsWith(After, NewHead));
  EXPECT_TRUE(TBytes(Before.begin() + OldHead.size(), Before.end()) ==
              TBytes(After.begin() + NewHead.size(), After.end()));
}
