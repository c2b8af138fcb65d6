// The undo history: steps, the saved state, the limit; the content it keeps
// and the restoring of a game in place.
#include <gtest/gtest.h>

#include "behaviour/UAction.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/UHistory.h"
#include "model/ULevel.h"

using namespace lvk;

namespace {

const std::string SampleFile = std::string(LVK_EXAMPLES) + "/Sample.lvk";

TContent Bytes(std::uint8_t B) { return TContent{B}; }

// The first handler with two actions or more.
THandler* Busy(const TGame& Game) {
  for (int a = 0; a < Game.ActorCount(); ++a)
    for (int h = 0; h < Game.GetActor(a)->HandlerCount(); ++h)
      if (Game.GetActor(a)->GetHandler(h)->ActionCount() >= 2) return Game.GetActor(a)->GetHandler(h);
  return nullptr;
}

}  // namespace

TEST(UndoHistory, StepsUndoRedoAndTheSavedState) {
  TUndoHistory History;
  History.Reset(Bytes(0));
  EXPECT_FALSE(History.CanUndo());
  EXPECT_FALSE(History.Record("Same", Bytes(0)));  // nothing changed, no step
  EXPECT_TRUE(History.Record("One", Bytes(1)));
  EXPECT_TRUE(History.Record("Two", Bytes(2)));
  EXPECT_FALSE(History.AtSaved());
  EXPECT_EQ(History.UndoName(), "Two");
  EXPECT_EQ(History.Undo(), Bytes(1));
  EXPECT_EQ(History.RedoName(), "Two");
  EXPECT_EQ(History.Undo(), Bytes(0));
  EXPECT_TRUE(History.AtSaved());
  EXPECT_FALSE(History.CanUndo());
  EXPECT_EQ(History.Redo(), Bytes(1));
  History.MarkSaved();
  // A new step drops the redo, and with it a saved state that lay there.
  EXPECT_TRUE(History.Record("Three", Bytes(3)));
  EXPECT_FALSE(History.CanRedo());
  EXPECT_EQ(History.Undo(), Bytes(1));
  EXPECT_TRUE(History.AtSaved());
  EXPECT_EQ(History.Undo(), Bytes(0));
  History.MarkSaved();
  History.Redo();
  History.Undo();
  History.Record("Four", Bytes(4));
  EXPECT_FALSE(History.AtSaved());
  History.Undo();
  EXPECT_TRUE(History.AtSaved());
}

TEST(UndoHistory, TypingInOneFieldIsOneStep) {
  TUndoHistory History;
  History.Reset(Bytes(0));
  History.Record("Other", Bytes(1));
  History.Record("Type", Bytes(2), "type");
  History.Record("Type", Bytes(3), "type");
  EXPECT_EQ(History.StepCount(), 2);
  EXPECT_EQ(History.Current(), Bytes(3));
  History.Record("Type", Bytes(1), "type");  // typed back to the start: no step left
  EXPECT_EQ(History.StepCount(), 1);
  History.Record("Type", Bytes(4), "type");
  History.MarkSaved();
  History.Record("Type", Bytes(5), "type");  // not into the step that ends at the saved state
  EXPECT_EQ(History.StepCount(), 3);
  History.Undo();
  EXPECT_TRUE(History.AtSaved());
}

TEST(UndoHistory, KeepsTheNewestStepsUpToItsLimit) {
  TUndoHistory History(100);
  History.Reset(Bytes(0));
  for (int i = 1; i <= 150; ++i) History.Record("Step " + std::to_string(i), Bytes(static_cast<std::uint8_t>(i)));
  EXPECT_EQ(History.StepCount(), 100);
  EXPECT_EQ(History.Position() + History.Dropped(), 150);
  int Undone = 0;
  while (History.CanUndo()) {
    History.Undo();
    ++Undone;
  }
  EXPECT_EQ(Undone, 100);
  EXPECT_EQ(History.Current(), Bytes(50));
  EXPECT_FALSE(History.AtSaved());  // the saved state fell off the list
  EXPECT_EQ(History.RedoName(), "Step 51");
}

TEST(UndoHistory, AStepKeepsOnlyTheRecordsItChanged) {
  TGame Game;
  Game.LoadFromFile(SampleFile);
  TUndoHistory History;
  std::vector<std::size_t> Cuts;
  TContent Start = Game.ContentBytes(&Cuts);
  // The head, every record, the lists' end and the sample's sections of
  // rules, of sounds and of sprites.
  ASSERT_GT(Game.VariableCount(), 0);
  ASSERT_GT(Game.SoundCount(), 0);
  EXPECT_EQ(Cuts.size(), static_cast<std::size_t>(1 + Game.TileCount() + Game.ActorCount() + Game.LevelCount() + 4));
  History.Reset(Start, Cuts);
  EXPECT_EQ(History.StoredBytes(), Start.size());
  auto Step = [&](const std::string& Name) {
    TContent Content = Game.ContentBytes(&Cuts);
    const std::size_t Stored = History.StoredBytes();
    EXPECT_TRUE(History.Record(Name, Content, {}, Cuts));
    EXPECT_EQ(History.Current(), Content);
    return History.StoredBytes() - Stored;
  };
  // A whole copy would be Start.size() again.
  Game.GetLevel(1)->SetCell(0, 0, nullptr);
  EXPECT_LT(Step("Cell"), Start.size() / 2);
  Game.DeleteTile(Game.GetTile(2));  // the records after it moved up one place
  EXPECT_LT(Step("Delete"), Start.size() / 10);
  Game.AddTile();
  EXPECT_LT(Step("New"), Start.size() / 10);
  const TContent Undone = History.Undo();
  EXPECT_EQ(Undone, History.Current());
  History.Undo();
  EXPECT_EQ(History.Undo(), Start);
}

TEST(GameContent, LeavesOutTheSaveCounterAndEditingTime) {
  TGame Game;
  Game.LoadFromFile(SampleFile);
  const TContent Before = Game.ContentBytes();
  Game.GetTile(0)->SetName("Renamed");
  EXPECT_NE(Game.ContentBytes(), Before);
  TGame Loaded;
  Loaded.LoadContent(Game.ContentBytes());
  EXPECT_EQ(Loaded.ContentBytes(), Game.ContentBytes());
  EXPECT_EQ(Loaded.Revision(), 0);
  EXPECT_FALSE(Loaded.Modified());
  Loaded.TakeDocumentState(Game);
  EXPECT_EQ(Loaded.FileName(), SampleFile);
  EXPECT_EQ(Loaded.Revision(), Game.Revision());
  EXPECT_EQ(Loaded.EditTime(), Game.EditTime());
  EXPECT_TRUE(Loaded.Modified());
}

TEST(GameContent, AssignsInPlaceWhatKeepsTheItems) {
  TGame Game;
  Game.LoadFromFile(SampleFile);
  TGame Changed;
  Changed.LoadContent(Game.ContentBytes());
  Changed.SetTitle("Other");
  Changed.Palette().SetEntryColor(1, RGB(1, 2, 3));
  Changed.GetTile(0)->SetName("Renamed");
  Changed.GetActor(0)->SetTile(Changed.GetTile(2));
  Changed.GetLevel(0)->SetCell(3, 3, Changed.GetActor(1));
  Changed.GetLevel(1)->SetSize(5, 4);

  TTile* Tile = Game.GetTile(0);
  TLevel* Level = Game.GetLevel(1);
  THandler* Handler = Busy(Game);
  ASSERT_NE(Handler, nullptr);
  ASSERT_TRUE(Game.AssignContentInPlace(Changed));
  EXPECT_EQ(Game.ContentBytes(), Changed.ContentBytes());
  EXPECT_EQ(Game.GetTile(0), Tile);
  EXPECT_EQ(Game.GetLevel(1), Level);
  EXPECT_EQ(Busy(Game), Handler);
  EXPECT_EQ(Game.GetActor(0)->Tile(), Game.GetTile(2));  // the game's own items, not Changed's
  EXPECT_EQ(Game.GetLevel(0)->GetCell(3, 3), Game.GetActor(1));

  // Handlers and their actions are not copied: the caller replaces the game.
  Busy(Changed)->AddAction(TActionDestroy::ClassKind());
  EXPECT_FALSE(Game.AssignContentInPlace(Changed));
  Changed.AddTile();
  const TContent Kept = Game.ContentBytes();
  EXPECT_FALSE(Game.AssignContentInPlace(Changed));
  EXPECT_EQ(Game.ContentBytes(), Kept);  // a different shape is refused untouched
}
