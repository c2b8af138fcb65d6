// The document's edits: one named step per outermost edit, nothing half done
// after an exception, typing merged by its key, the changed state following
// the content, and the notices views follow.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventTimer.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/UItemCopies.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UVariable.h"

using namespace lvk;

namespace {

const std::string SampleFile = std::string(LVK_EXAMPLES) + "/Sample.lvk";

struct TRecorder : TDocumentListener {
  const TGame* Game = nullptr;
  std::vector<TChange> Heard;
  std::vector<std::string> NamesAtRemoval;  // a removed tile is still there to be read
  void DocumentChanged(const TChange& C) override {
    Heard.push_back(C);
    if (C.Kind == TChangeKind::Removing && C.Item == TItemKind::Tile)
      NamesAtRemoval.push_back(Game->TileById(C.Id)->Name());
  }
  int Count(TChangeKind Kind) const {
    int N = 0;
    for (const TChange& C : Heard) N += C.Kind == Kind;
    return N;
  }
};

struct Edits : ::testing::Test {
  TDocument Doc;
  TRecorder Ear;
  void SetUp() override {
    RegisterKinds();
    Doc.Open(SampleFile, true);
    Ear.Game = &Doc.Game();
    Doc.AddListener(&Ear);
  }
  void TearDown() override { Doc.RemoveListener(&Ear); }
  TGame& Game() { return Doc.Game(); }
};

}  // namespace

TEST_F(Edits, TheOutermostEditIsOneNamedStepAndOnlyWhenTheContentChanged) {
  const std::string First = Game().GetTile(0)->Name(), Second = Game().GetTile(1)->Name();
  {
    TEdit Edit(Game(), "Rename tile");
    Game().GetTile(0)->SetName("First");
    {
      TEdit Inner(Game(), "Inner");  // joins the outer edit
      Game().GetTile(1)->SetName("Second");
    }
    EXPECT_EQ(Doc.History().StepCount(), 0);
  }
  EXPECT_EQ(Doc.History().StepCount(), 1);
  EXPECT_EQ(Doc.UndoName(), "Rename tile");
  {
    TEdit Edit(Game(), "Nothing");
    Game().GetTile(0)->SetName("Other");
    Game().GetTile(0)->SetName("First");  // and back: no step, not changed by it
  }
  EXPECT_EQ(Doc.History().StepCount(), 1);
  EXPECT_TRUE(Doc.Modified());
  ASSERT_TRUE(Doc.Undo());  // both renames at once
  EXPECT_EQ(Game().GetTile(0)->Name(), First);
  EXPECT_EQ(Game().GetTile(1)->Name(), Second);
  EXPECT_FALSE(Doc.Modified());  // back at the content it was opened with
  // A change outside an edit is a programming error, caught at once.
  EXPECT_THROW(Game().SetTitle("Loose"), EAssertionFailed);
}

TEST_F(Edits, AnExceptionPutsTheGameBackAndGoesOn) {
  const TContent Before = Game().ContentBytes();
  TTile* Kept = Game().GetTile(0);
  auto Fail = [](const std::function<void()>& Change) {
    Change();
    throw std::runtime_error("half way");
  };
  // In place: the items stay.
  EXPECT_THROW(
      {
        TEdit Edit(Game(), "Rename");
        Fail([&] { Game().GetTile(0)->SetName("Half"); });
      },
      std::runtime_error);
  EXPECT_EQ(Game().ContentBytes(), Before);
  EXPECT_EQ(Game().GetTile(0), Kept);
  EXPECT_EQ(Ear.Count(TChangeKind::Refreshed), 1);
  // A new item and a deleted one: both put back in place, the game kept.
  EXPECT_THROW(
      {
        TEdit Edit(Game(), "Delete");
        Fail([&] {
          Game().AddTile();
          Game().DeleteActor(Game().GetActor(0));
        });
      },
      std::runtime_error);
  EXPECT_EQ(Game().ContentBytes(), Before);
  EXPECT_EQ(Ear.Count(TChangeKind::Replaced), 0);
  EXPECT_EQ(Game().GetTile(0), Kept);
  EXPECT_EQ(Doc.History().StepCount(), 0);
  EXPECT_FALSE(Doc.Modified());
}

TEST_F(Edits, TypingInOneFieldMergesByItsKeyAndNothingElseMerges) {
  auto Type = [&](const std::string& Title, const std::string& Key) {
    TEdit Edit(Game(), "Change title", Key);
    Game().SetTitle(Title);
  };
  Type("A", "title");
  Type("AB", "title");
  Type("ABC", "title");
  EXPECT_EQ(Doc.History().StepCount(), 1);
  Type("ABCD", "");  // no key: a step of its own
  Type("ABCDE", "other");
  Type("ABCDEF", "title");  // not consecutive with the first ones
  EXPECT_EQ(Doc.History().StepCount(), 4);
}

TEST_F(Edits, TheChangedStateFollowsTheContentAndTheFile) {
  const std::string File = ::testing::TempDir() + "edits.lvk";
  Doc.SaveAs(File);
  EXPECT_FALSE(Doc.Modified());
  EXPECT_EQ(Ear.Count(TChangeKind::Saved), 1);
  TActor* Was = Game().GetLevel(0)->GetCell(0, 0);
  {
    TEdit Edit(Game(), "Edit level layout");
    Game().GetLevel(0)->SetCell(0, 0, Was ? nullptr : Game().GetActor(1));
  }
  EXPECT_TRUE(Doc.Modified());
  {
    TEdit Edit(Game(), "Edit level layout");
    Game().GetLevel(0)->SetCell(0, 0, Was);
  }
  // Two steps away from the saved state, yet the same content as the file.
  EXPECT_EQ(Doc.History().StepCount(), 2);
  EXPECT_FALSE(Doc.Modified());
  Doc.Open(File);
  EXPECT_FALSE(Doc.Modified());
  EXPECT_FALSE(Doc.CanUndo());
  std::remove(File.c_str());
}

TEST_F(Edits, ListenersHearOfEveryItemWhileItStillExists) {
  TTile* Tile = Game().GetTile(1);
  const std::string Name = Tile->Name();
  {
    TEdit Edit(Game(), "Delete tile");
    Game().DeleteTile(Tile);
  }
  ASSERT_EQ(Ear.NamesAtRemoval.size(), 1u);
  EXPECT_EQ(Ear.NamesAtRemoval[0], Name);
  EXPECT_EQ(Ear.Heard.back().Kind, TChangeKind::Edited);
  Ear.Heard.clear();
  TActor* Actor = Game().GetActor(0);
  const int Handlers = Actor->HandlerCount() + static_cast<int>(Game().HandlersNaming(*Actor).size());
  const TItemId ActorId = Actor->Id();
  {
    TEdit Edit(Game(), "Delete actor");
    Game().DeleteActor(Actor);
  }
  int Removed = 0;
  for (const TChange& C : Ear.Heard) Removed += C.Kind == TChangeKind::Removing && C.Item == TItemKind::Handler;
  EXPECT_EQ(Removed, Handlers);
  // Undo puts the deleted actor back in the same game, with its id, and
  // tells of it and of each of its handlers once it stands.
  Ear.Heard.clear();
  ASSERT_TRUE(Doc.Undo());
  EXPECT_EQ(Ear.Heard.back().Kind, TChangeKind::Edited);
  EXPECT_EQ(Ear.Count(TChangeKind::Replaced), 0);
  ASSERT_NE(Game().ActorById(ActorId), nullptr);
  int Added = 0;
  for (const TChange& C : Ear.Heard) {
    Added += C.Kind == TChangeKind::Added && C.Item == TItemKind::Handler;
    if (C.Kind == TChangeKind::Added && C.Item == TItemKind::Actor) EXPECT_EQ(C.Id, ActorId);
  }
  EXPECT_EQ(Added, Game().ActorById(ActorId)->HandlerCount());
}

// A Changed notice says what changed, so a view redraws only for what it
// shows; a rename says the name; a notice of an undo says everything.
TEST_F(Edits, NoticesSayWhatChanged) {
  TActor* Actor = Game().GetActor(0);
  TLevel* Level = Game().GetLevel(0);
  TTile* Tile = Game().GetTile(0);
  TVariable* Variable = Game().GetVariable(0);
  TSound* Sound = Game().GetSound(0);
  THandler* Handler = nullptr;
  for (int a = 0; a < Game().ActorCount() && !Handler; ++a)
    if (Game().GetActor(a)->HandlerCount() > 0) Handler = Game().GetActor(a)->GetHandler(0);
  ASSERT_NE(Handler, nullptr);
  struct TCase {
    const char* What;
    std::function<void()> Edit;
    TItemKind Item;
    std::uint32_t Fields;
  };
  const TCase Cases[] = {
      {"rename an actor", [&] { Actor->SetName("aFresh"); }, TItemKind::Actor, cfName},
      {"an actor's tile", [&] { Actor->SetTile(Game().GetTile(1) == Actor->Tile() ? Tile : Game().GetTile(1)); },
       TItemKind::Actor, cfLook},
      {"an actor's size", [&] { Actor->SetSize(Actor->Width() == 32 ? 16 : 32, 32); }, TItemKind::Actor, cfLook},
      {"an actor's solidity", [&] { Actor->SetSolid(!Actor->Solid()); }, TItemKind::Actor, cfValues},
      {"a tile's transparency", [&] { Tile->SetTransparentColor(0x123456); }, TItemKind::Tile, cfLook},
      {"a placed actor", [&] { Level->SetCell(0, 0, Level->GetCell(0, 0) ? nullptr : Actor); }, TItemKind::Level, cfCells},
      {"a level's size", [&] { Level->SetSize(Level->Width() + 1, Level->Height()); }, TItemKind::Level,
       cfSize | cfCells},
      {"a level's backdrop", [&] { Level->SetBackdrop(0x654321); }, TItemKind::Level, cfPlay},
      {"a variable's value", [&] { Variable->SetInitial(Variable->Initial() + 1); }, TItemKind::Variable, cfValues},
      {"a sound", [&] { Sound->SetPreset(Sound->Kind() == TSoundKind::skMade ? 1 : 0); }, TItemKind::Sound, cfValues},
      {"a handler's comment", [&] { Handler->SetComment("note"); }, TItemKind::Handler, cfHandlers},
      {"a colour", [&] { Game().Palette().SetEntryColor(3, RGB(9, 8, 7)); }, TItemKind::Palette, cfLook},
  };
  for (const TCase& C : Cases) {
    Ear.Heard.clear();
    {
      TEdit Edit(Game(), C.What);
      C.Edit();
    }
    std::vector<std::uint32_t> Fields;
    for (const TChange& Heard : Ear.Heard)
      if (Heard.Kind == TChangeKind::Changed || Heard.Kind == TChangeKind::Renamed) Fields.push_back(Heard.Fields);
    ASSERT_FALSE(Fields.empty()) << C.What;
    for (const std::uint32_t F : Fields) EXPECT_EQ(F, C.Fields) << C.What;
    EXPECT_EQ(Ear.Heard.front().Item, C.Item) << C.What;
    Ear.Heard.clear();
    ASSERT_TRUE(Doc.Undo()) << C.What;
    for (const TChange& Heard : Ear.Heard)
      if (Heard.Kind == TChangeKind::Changed) EXPECT_EQ(Heard.Fields, cfAll) << C.What << ", undone";
  }
}

TEST_F(Edits, AModalEditorsScopeReachesOnlyItsOwnSteps) {
  {
    TEdit Edit(Game(), "Change title", "title");
    Game().SetTitle("Before");
  }
  Doc.BeginScope();
  EXPECT_FALSE(Doc.CanUndo());
  {
    TEdit Edit(Game(), "Change title", "title");  // no merge into the step before the scope
    Game().SetTitle("Inside");
  }
  EXPECT_EQ(Doc.History().StepCount(), 2);
  EXPECT_TRUE(Doc.Undo());
  EXPECT_FALSE(Doc.CanUndo());
  EXPECT_TRUE(Doc.Redo());
  EXPECT_FALSE(Doc.CanRedo());
  Doc.EndScope();
  EXPECT_TRUE(Doc.CanUndo());
  EXPECT_EQ(Game().Title(), "Inside");
}

// Every operation that changes stored content marks the game changed itself,
// on a game of its own too; a new event is left to the step around it.
TEST(Marking, EveryStoringOperationMarksTheGame) {
  RegisterKinds();
  TGame Game;
  Game.LoadFromFile(SampleFile);
  THandler* Handler = nullptr;
  for (int a = 0; a < Game.ActorCount() && !Handler; ++a)
    for (int h = 0; h < Game.GetActor(a)->HandlerCount(); ++h)
      if (THandler* H = Game.GetActor(a)->GetHandler(h); H->ActionCount() > 1 && dynamic_cast<TActionSpeed*>(H->GetAction(0)))
        Handler = H;
  ASSERT_NE(Handler, nullptr);
  auto* Speed = static_cast<TActionSpeed*>(Handler->GetAction(0));
  const struct {
    const char* Name;
    std::function<void()> Change;
    bool Marks;
  } Cases[] = {
      {"Arg1", [&] { Speed->SetArg1(Speed->Arg1() + "1"); }, true},
      {"Arg2", [&] { Speed->SetArg2(Speed->Arg2() + "1"); }, true},
      {"Relative", [&] { Speed->SetRelative(!Speed->Relative()); }, true},
      {"same Arg1", [&] { Speed->SetArg1(Speed->Arg1()); }, false},
      {"MoveAction", [&] { Handler->MoveAction(0, Handler->ActionCount() - 1); }, true},
      {"SetEvent", [&] { Handler->SetEvent(EventKindAt(1)); }, false},
  };
  for (const auto& C : Cases) {
    test::ClearModified(Game);
    C.Change();
    EXPECT_EQ(Game.Modified(), C.Marks) << C.Name;
  }
}

// Copies of handlers and actions read back only what they hold: anything
// else is the one message, and the target stays as it was.
TEST(Copies, BytesThatHoldNoCopyChangeNothing) {
  RegisterKinds();
  TGame Game;
  Game.LoadFromFile(SampleFile);
  TActor& Into = *Game.FindActorByName("aBlob");
  ASSERT_GT(Into.HandlerCount(), 0);
  const THandler& Some = *Game.FindActorByName("aHero")->GetHandler(0);
  const TCopyBytes Handler = HandlerCopyBytes(Some);
  const TCopyBytes Actions = ActionCopyBytes(Some, 0, Some.ActionCount());
  const TContent Before = Game.ContentBytes();
  auto Cut = [](TCopyBytes B, std::size_t N) {
    B.resize(std::min(B.size(), N));
    return B;
  };
  TCopyBytes HugeCount = ActionCopyBytes(Some, 0, 0);
  HugeCount.back() = 0x7F;  // a count of actions far beyond the bytes
  for (const TCopyBytes& Bad : {TCopyBytes{}, TCopyBytes{6, 3, 'a', 'b', 'c'}, Cut(Handler, Handler.size() - 1),
                                Cut(Handler, 12), Actions /* not a handler */}) {
    EXPECT_THROW(PasteHandler(Into, Bad), EGame);
    EXPECT_EQ(Game.ContentBytes(), Before);
  }
  for (const TCopyBytes& Bad : {Handler, Cut(Actions, Actions.size() - 1), HugeCount}) {
    EXPECT_THROW(PasteActions(*Into.GetHandler(0), 0, Bad), EGame);
    EXPECT_EQ(Game.ContentBytes(), Before);
  }
  EXPECT_TRUE(HoldsHandler(Handler) && HoldsActions(Actions) && !HoldsHandler(Actions));
}

namespace {

// A game of a document with one item of every kind to change: two tiles and
// actors, the first actor with a handler of two actions, a level, a
// variable and a sound.
struct Guard : ::testing::Test {
  TDocument Doc;
  test::TTempDir Dir;
  std::string Jasc;
  TCopyBytes HandlerBytes, ActionBytes;
  void SetUp() override {
    RegisterKinds();
    test::Edit(G(), [&] {
      G().AddTile();
      G().AddTile();
      TActor* Actor = G().AddActor();
      G().AddActor();
      Actor->SetTile(G().GetTile(0));
      THandler* Handler = Actor->AddHandler();
      Handler->SetEvent(TEventCollision::ClassKind());
      Handler->AddAction(ActionKindAt(0));
      Handler->AddAction(ActionKindAt(1));
      G().AddLevel()->SetSize(4, 3);
      G().AddVariable();
      G().AddSound();
    });
    Jasc = Dir.File("Black.pal");
    TGame Black;
    Black.Palette().FillBlack();
    Black.Palette().SaveToJascFile(Jasc);
    HandlerBytes = HandlerCopyBytes(*Handler());
    ActionBytes = ActionCopyBytes(*Handler(), 0, 2);
  }
  TGame& G() { return Doc.Game(); }
  TTile* Tile() { return G().GetTile(0); }
  TActor* Actor() { return G().GetActor(0); }
  THandler* Handler() { return Actor()->GetHandler(0); }
  TLevel* Level() { return G().GetLevel(0); }
  TVariable* Variable() { return G().GetVariable(0); }
  TSound* Sound() { return G().GetSound(0); }
  TPalette& Palette() { return G().Palette(); }
};

}  // namespace

// Every way to change the content asks before it writes: outside an edit it
// fails and leaves the game as it was to the byte; inside one it changes it.
TEST_F(Guard, EveryChangeIsRefusedOutsideAnEditBeforeItWrites) {
  const struct {
    const char* Name;
    std::function<void()> Change;
  } Cases[] = {
      {"SetTitle", [&] { G().SetTitle("Loose"); }},
      {"AddTile", [&] { G().AddTile(); }},
      {"DeleteTile", [&] { G().DeleteTile(Tile()); }},
      {"DuplicateTile", [&] { G().DuplicateTile(Tile()); }},
      {"AddActor", [&] { G().AddActor(); }},
      {"DeleteActor", [&] { G().DeleteActor(Actor()); }},
      {"DuplicateActor", [&] { G().DuplicateActor(Actor()); }},
      {"AddLevel", [&] { G().AddLevel(); }},
      {"DeleteLevel", [&] { G().DeleteLevel(Level()); }},
      {"DuplicateLevel", [&] { G().DuplicateLevel(Level()); }},
      {"AddVariable", [&] { G().AddVariable(); }},
      {"DeleteVariable", [&] { G().DeleteVariable(Variable()); }},
      {"DuplicateVariable", [&] { G().DuplicateVariable(Variable()); }},
      {"MoveVariable", [&] { G().DuplicateVariable(Variable()), G().MoveVariable(0, 1); }},
      {"AddSound", [&] { G().AddSound(); }},
      {"DeleteSound", [&] { G().DeleteSound(Sound()); }},
      {"DuplicateSound", [&] { G().DuplicateSound(Sound()); }},
      {"Tile SetName", [&] { Tile()->SetName("tLoose"); }},
      {"Tile SetBitmap", [&] { Tile()->SetBitmap(G().NoTileBitmap()); }},
      {"Tile SetTransparentColor", [&] { Tile()->SetTransparentColor(0x123456); }},
      {"Actor SetName", [&] { Actor()->SetName("aLoose"); }},
      {"Actor SetSolid", [&] { Actor()->SetSolid(!Actor()->Solid()); }},
      {"Actor SetTile", [&] { Actor()->SetTile(G().GetTile(1)); }},
      {"Actor SetSize", [&] { Actor()->SetSize(16, 16); }},
      {"Actor AddAnimation", [&] { Actor()->AddAnimation(); }},
      {"Actor AddHandler", [&] { Actor()->AddHandler()->SetEvent(EventKindAt(0)); }},
      {"Actor DeleteHandler", [&] { Actor()->DeleteHandler(Handler()); }},
      {"Handler SetEvent", [&] { Handler()->SetEvent(TEventTimer::ClassKind()); }},
      {"Handler SetComment", [&] { Handler()->SetComment("Loose"); }},
      {"Handler AddAction", [&] { Handler()->AddAction(ActionKindAt(0)); }},
      {"Handler MoveAction", [&] { Handler()->MoveAction(0, 1); }},
      {"Handler DeleteAction", [&] { Handler()->DeleteAction(0); }},
      {"Action SetValue", [&] { Handler()->GetAction(0)->SetValue(0, "7"); }},
      {"Event setting", [&] { static_cast<TEventCollision*>(Handler()->Event())->SetOverlap(false); }},
      {"Event SetAnySolid", [&] { static_cast<TEventCollision*>(Handler()->Event())->SetAnySolid(); }},
      {"Event SetOtherActor", [&] { static_cast<TEventCollision*>(Handler()->Event())->SetOtherActor(*G().GetActor(1)); }},
      {"PasteHandler", [&] { PasteHandler(*G().GetActor(1), HandlerBytes); }},
      {"PasteActions", [&] { PasteActions(*Handler(), 1, ActionBytes); }},
      {"Level SetName", [&] { Level()->SetName("lLoose"); }},
      {"Level SetSize", [&] { Level()->SetSize(5, 5); }},
      {"Level SetCell", [&] { Level()->SetCell(1, 1, Actor()); }},
      {"Level SetMusic", [&] { Level()->SetMusic(Sound()); }},
      {"Level SetCamera", [&] { Level()->SetCamera({Actor(), 16, 16, true, false}); }},
      {"Level SetBackdrop", [&] { Level()->SetBackdrop(0x00C08040); }},
      {"Variable SetName", [&] { Variable()->SetName("vLoose"); }},
      {"Variable SetInitial", [&] { Variable()->SetInitial(42); }},
      {"Variable SetScope", [&] { Variable()->SetScope(TVariableScope::Instance); }},
      {"Sound SetName", [&] { Sound()->SetName("sLoose"); }},
      {"Sound SetPreset", [&] { Sound()->SetPreset(1); }},
      {"Sound SetImported", [&] { Sound()->SetImported({1, 2, 3, 4}); }},
      {"Palette SetEntryColor", [&] { Palette().SetEntryColor(0, RGB(1, 2, 3)); }},
      {"Palette FillBlack", [&] { Palette().FillBlack(); }},
      {"Palette DeleteRange", [&] { Palette().DeleteRange(0, 1); }},
      {"Palette InsertRange", [&] { Palette().InsertRange(0, 0); }},
      {"Palette MoveEntry", [&] { Palette().MoveEntry(0, 2); }},
      {"Palette RemoveDuplicates", [&] { Palette().RemoveDuplicates(0, 0xFF); }},
      {"Palette LoadFromJascFile", [&] { Palette().LoadFromJascFile(Jasc); }},
  };
  for (const auto& C : Cases) {
    const test::TBytes Before = G().ContentBytes();
    EXPECT_THROW(C.Change(), EAssertionFailed) << C.Name;
    EXPECT_EQ(G().ContentBytes(), Before) << C.Name << " wrote before it was refused";
    {
      TEdit Edit(G(), C.Name);
      C.Change();
    }
    EXPECT_NE(G().ContentBytes(), Before) << C.Name << " changed nothing inside an edit";
    ASSERT_TRUE(Doc.Undo()) << C.Name;
    ASSERT_EQ(G().ContentBytes(), Before) << C.Name;
  }
}
