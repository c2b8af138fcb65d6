// The undo history: steps, the saved state, the limit; the content it keeps
// and the restoring of a game in place.
#include <gtest/gtest.h>

#include <functional>

#include "behaviour/UAction.h"
#include "behaviour/REventCreate.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UTile.h"
#include "model/UGame.h"
#include "model/UHistory.h"
#include "model/UValueTypes.h"
#include "model/UVariable.h"
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
  // rules, of sounds, of cameras, of sprites and of saved data.
  ASSERT_GT(Game.VariableCount(), 0);
  ASSERT_GT(Game.SoundCount(), 0);
  EXPECT_EQ(Cuts.size(), static_cast<std::size_t>(1 + Game.TileCount() + Game.ActorCount() + Game.LevelCount() + 6));
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
}

TEST(GameContent, UndoAndRedoPutBackOnlyTheRecordsThatChanged) {
  RegisterKinds();
  TDocument Doc;
  Doc.Open(SampleFile, true);
  TGame& Game = Doc.Game();
  const TContent Before = Game.ContentBytes();
  TTile* Tile = Game.GetTile(0);
  TTile* Other = Game.GetTile(1);
  TLevel* Level = Game.GetLevel(1);
  THandler* Handler = Busy(Game);
  ASSERT_NE(Handler, nullptr);
  TActionBase* Action = Handler->GetAction(0);
  const TItemId Ids[] = {Tile->Id(), Level->Id(), Handler->Id(), Action->Id()};
  {
    TEdit Edit(Game, "Many");
    Game.SetTitle("Other");
    Game.Palette().SetEntryColor(1, RGB(1, 2, 3));
    Tile->SetName("Renamed");
    Game.GetActor(0)->SetTile(Game.GetTile(2));
    Game.GetLevel(0)->SetCell(3, 3, Game.GetActor(1));
    Level->SetSize(5, 4);
    Handler->AddAction(TActionDestroy::ClassKind());
    Game.AddTile();
    Game.DeleteActor(Game.GetActor(Game.ActorCount() - 1));
  }
  const TContent After = Game.ContentBytes();
  for (int Round = 0; Round < 2; ++Round) {
    ASSERT_TRUE(Doc.Undo());
    EXPECT_EQ(Game.ContentBytes(), Before);
    EXPECT_EQ(&Doc.Game(), &Game);  // the game is kept, and so are its items
    EXPECT_EQ(Game.GetTile(0), Tile);
    EXPECT_EQ(Game.GetTile(1), Other);
    EXPECT_EQ(Game.GetLevel(1), Level);
    EXPECT_EQ(Busy(Game), Handler);
    EXPECT_EQ(Handler->GetAction(0), Action);
    EXPECT_EQ(Game.TileById(Ids[0]), Tile);
    EXPECT_EQ(Game.LevelById(Ids[1]), Level);
    EXPECT_EQ(Game.HandlerById(Ids[2]), Handler);
    EXPECT_EQ(Game.ActionById(Ids[3]), Action);
    ASSERT_TRUE(Doc.Redo());
    EXPECT_EQ(Game.ContentBytes(), After);
    EXPECT_EQ(Game.GetTile(0), Tile);
    EXPECT_EQ(Game.GetLevel(1), Level);
    EXPECT_EQ(Game.GetActor(0)->Tile(), Game.GetTile(2));  // the game's own items
    EXPECT_EQ(Game.GetLevel(0)->GetCell(3, 3), Game.GetActor(1));
  }
}

// A step writes the records of what its edit changed and shares the rest:
// a rename writes the renamed item's record only, however many items name
// it (by id in the history), and a placed cell its level's.
TEST(GameContent, AStepWritesOnlyTheRecordsOfWhatChanged) {
  RegisterKinds();
  TDocument Doc;
  Doc.Open(SampleFile, true);
  TGame& Game = Doc.Game();
  // An actor that a collision, an action and levels name.
  TActor* Named = nullptr;
  for (int a = 0; a < Game.ActorCount() && !Named; ++a)
    if (!Game.HandlersNaming(*Game.GetActor(a)).empty() &&
        !Game.ActionsNaming(TValueType::Actor, Game.GetActor(a)->Name()).empty())
      Named = Game.GetActor(a);
  ASSERT_NE(Named, nullptr);
  bool Placed = false;
  for (int l = 0; l < Game.LevelCount(); ++l)
    for (int y = 0; y < Game.GetLevel(l)->Height(); ++y)
      for (int x = 0; x < Game.GetLevel(l)->Width(); ++x) Placed |= Game.GetLevel(l)->GetCell(x, y) == Named;
  ASSERT_TRUE(Placed);
  TTile* Drawn = Named->Tile();
  ASSERT_NE(Drawn, nullptr);
  TLevel* Level = Game.GetLevel(0);
  struct TCase {
    const char* What;
    std::function<void()> Edit;
    TItemId Written;  // the one record's item, or NoItem for the head
  };
  const TCase Cases[] = {
      {"rename a tile actors are drawn with", [&] { Drawn->SetName("tRenamed"); }, Drawn->Id()},
      {"rename an actor collisions and levels name", [&] { Named->SetName("aRenamed"); }, Named->Id()},
      {"place an actor", [&] { Level->SetCell(1, 1, Named); }, Level->Id()},
      {"one palette colour", [&] { Game.Palette().SetEntryColor(3, RGB(9, 8, 7)); }, NoItem},
  };
  for (const TCase& C : Cases) {
    const std::vector<TRecordView> Before = Doc.History().CurrentRecords();
    const std::size_t Stored = Doc.History().StoredBytes();
    {
      TEdit Edit(Game, C.What);
      C.Edit();
    }
    const std::vector<TRecordView> After = Doc.History().CurrentRecords();
    ASSERT_EQ(After.size(), Before.size()) << C.What;
    std::vector<TItemId> Written;
    std::size_t WrittenBytes = 0;
    for (std::size_t i = 0; i < After.size(); ++i)
      if (After[i].Bytes != Before[i].Bytes) {
        Written.push_back(After[i].Key.Id);
        WrittenBytes += After[i].Bytes->size();
      }
    EXPECT_EQ(Written, std::vector<TItemId>{C.Written}) << C.What;
    EXPECT_EQ(Doc.History().StoredBytes() - Stored, WrittenBytes) << C.What;
    // And undo and redo take the game there and back.
    const TContent Now = Game.ContentBytes();
    ASSERT_TRUE(Doc.Undo());
    EXPECT_NE(Game.ContentBytes(), Now) << C.What;
    ASSERT_TRUE(Doc.Redo());
    EXPECT_EQ(Game.ContentBytes(), Now) << C.What;
  }
  EXPECT_EQ(Named->Tile(), Drawn);
  EXPECT_EQ(Game.HandlersNaming(*Named).front()->Event()->NamedActor(), Named);
}

// Numbers and texts name variables by id: a rename writes the variable's
// record alone and the values show the new name (a {name} typed in another
// case keeps its case until renamed); a delete finds the actions by id and
// takes them along; undo puts every value back as it was typed. The file
// still names the variables.
TEST(GameContent, NumbersAndTextsNameVariablesById) {
  RegisterKinds();
  TDocument Doc;
  TGame& Game = Doc.Game();
  TVariable* Score = nullptr;
  TVariable* Lives = nullptr;
  TActionBase* Set = nullptr;
  TActionBase* Show = nullptr;
  TActionBase* Plain = nullptr;
  {
    TEdit Edit(Game, "Make");
    Score = Game.AddVariable();
    Score->SetName("vScore");
    Lives = Game.AddVariable();
    Lives->SetName("vLives");
    THandler* Handler = Game.AddActor()->AddHandler();
    Handler->SetEvent(TEventCreate::ClassKind());
    Set = Handler->AddAction(TActionSetVariable::ClassKind());
    Set->SetValue(0, "vScore");
    Set->SetValue(1, "VLIVES");
    Show = Handler->AddAction(TActionShowText::ClassKind());
    Show->SetValue(1, "{vScore}{x y} and {VLIVES} {vGone} {");
    Plain = Handler->AddAction(TActionShowText::ClassKind());
    Plain->SetValue(1, "no names");
  }
  const TItemId SetId = Set->Id(), ShowId = Show->Id();
  auto Values = [&] {
    return Game.ActionById(SetId)->GetValue(1) + "|" + Game.ActionById(ShowId)->GetValue(1);
  };
  const std::string Typed = "VLIVES|{vScore}{x y} and {VLIVES} {vGone} {";
  EXPECT_EQ(Values(), Typed);
  EXPECT_EQ(Game.ActionsLinking(*Lives).size(), 2u);
  EXPECT_EQ(Game.ActionsLinking(*Score).size(), 2u);

  const std::vector<TRecordView> Before = Doc.History().CurrentRecords();
  {
    TEdit Edit(Game, "Rename");
    Lives->SetName("vHearts");
  }
  const std::vector<TRecordView> After = Doc.History().CurrentRecords();
  ASSERT_EQ(After.size(), Before.size());
  for (std::size_t i = 0; i < After.size(); ++i)
    EXPECT_EQ(After[i].Bytes != Before[i].Bytes, After[i].Key.Id == Lives->Id()) << "record " << i;
  EXPECT_EQ(Values(), "vHearts|{vScore}{x y} and {vHearts} {vGone} {");
  // The file names them, and reads back to the same values.
  TGame Loaded;
  Loaded.LoadContent(Game.ContentBytes());
  const THandler& Read = *Loaded.GetActor(0)->GetHandler(0);
  EXPECT_EQ(Read.GetAction(0)->GetValue(1) + "|" + Read.GetAction(1)->GetValue(1), Values());
  EXPECT_EQ(Loaded.ActionsLinking(*Loaded.GetVariable(1)).size(), 2u);

  ASSERT_TRUE(Doc.Undo());
  EXPECT_EQ(Values(), Typed);
  {
    TEdit Edit(Game, "Delete");
    Game.DeleteVariable(Game.GetVariable(1));
  }
  EXPECT_EQ(Game.ActionById(SetId), nullptr);
  EXPECT_EQ(Game.ActionById(ShowId), nullptr);
  EXPECT_EQ(Game.GetActor(0)->GetHandler(0)->ActionCount(), 1);  // the action naming none stays
  ASSERT_TRUE(Doc.Undo());
  EXPECT_EQ(Values(), Typed);
  EXPECT_EQ(Game.ActionsLinking(*Game.GetVariable(1)).size(), 2u);
}
