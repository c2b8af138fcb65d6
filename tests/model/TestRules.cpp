// Games with rules: variables, solid actors and the new event and action
// kinds, through the project file, renames and deletes, and into the
// engine's tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventKeyHeld.h"
#include "behaviour/REventTimer.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UValueAction.h"
#include "generator/UBuildLog.h"
#include "generator/UGameTables.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UTile.h"
#include "model/UVariable.h"

using namespace lvk;

namespace {

// A game with two variables, a solid wall and a hero whose handlers hold
// every new kind, each value away from its default.
struct TRulesGame {
  TGame Game;
  TActor* Hero;
  TActor* Wall;
  TVariable* Score;
  TVariable* Speed;
  THandler* Timer;
  TRulesGame() {
    RegisterKinds();
    TTile* Brick = Game.AddTile();
    Brick->SetName("tBrick");
    Hero = Game.AddActor();
    Hero->SetName("aHero");
    Wall = Game.AddActor();
    Wall->SetName("aWall");
    Wall->SetSolid(true);
    Score = Game.AddVariable();
    Score->SetName("vScore");
    Score->SetInitial(-5);
    Speed = Game.AddVariable();
    Speed->SetScope(TVariableScope::Instance);
    Timer = Hero->AddHandler();
    Timer->SetEvent(TEventTimer::ClassKind());
    static_cast<TEventTimer*>(Timer->Event())->SetFrames(90);
    static_cast<TEventTimer*>(Timer->Event())->SetRepeat(true);
    const std::vector<std::pair<const TActionKind*, std::vector<std::string>>> Actions = {
        {&TActionIfVariable::ClassKind(), {"vScore", ">=", "10"}},
        {&TActionSetVariable::ClassKind(), {"vScore", "vVariable2", "1"}},
        {&TActionShowText::ClassKind(), {"2", "Score {vScore} of {VSCORE}"}},
        {&TActionSpawn::ClassKind(), {"aWall", "8", "-8"}},
        {&TActionGoToLevel::ClassKind(), {"2"}},
        {&TActionRestartGame::ClassKind(), {}},
        {&TActionBounce::ClassKind(), {"1", "0"}},
        {&TActionSetTile::ClassKind(), {"tBrick"}},
        {&TActionMoveToward::ClassKind(), {"aWall", "vScore"}},
        {&TActionIfCount::ClassKind(), {"aWall", "<>", "0"}},
        {&TActionIfChance::ClassKind(), {"4"}},
        {&TActionIfKeyHeld::ClassKind(), {"3"}},
        {&TActionSetSpeedSize::ClassKind(), {"vVariable2", "-3", "1"}}};
    for (const auto& [Kind, Values] : Actions) {
      TActionBase* A = Timer->AddAction(*Kind);
      for (std::size_t i = 0; i < Values.size(); ++i) A->SetValue(static_cast<int>(i), Values[i]);
    }
    THandler* Held = Hero->AddHandler();
    Held->SetEvent(TEventKeyHeld::ClassKind());
    static_cast<TEventKeyHeld*>(Held->Event())->SetKeys(0x30);
    THandler* Walls = Hero->AddHandler();
    Walls->SetEvent(TEventCollision::ClassKind());
    static_cast<TEventCollision*>(Walls->Event())->SetAnySolid();
    static_cast<TEventCollision*>(Walls->Event())->SetOverlap(false);
    Game.AddLevel()->SetSize(32, 24);
    Game.GetLevel(0)->SetCell(1, 1, Hero);
    Game.GetLevel(0)->SetCell(2, 2, Wall);
  }
  TActionBase* Action(int Index) const { return Timer->GetAction(Index); }
};

}  // namespace

TEST(Rules, EveryNewKindAndTheSectionRoundTrip) {
  TRulesGame R;
  const TContent Bytes = R.Game.ContentBytes();
  TGame Loaded;
  Loaded.LoadContent(Bytes);
  EXPECT_EQ(Loaded.ContentBytes(), Bytes);
  ASSERT_EQ(Loaded.VariableCount(), 2);
  EXPECT_EQ(Loaded.GetVariable(0)->Initial(), -5);
  EXPECT_EQ(Loaded.GetVariable(1)->Scope(), TVariableScope::Instance);
  EXPECT_TRUE(Loaded.FindActorByName("aWall")->Solid());
  EXPECT_FALSE(Loaded.FindActorByName("aHero")->Solid());
  // What the tree and the action list show.
  const std::vector<std::string> Summaries = {"If vScore >= 10",
                                              "SetVariable(vScore, vVariable2, relative)",
                                              "ShowText(2, \"Score {vScore} of {VSCORE}\")",
                                              "Spawn(aWall, 8, -8)",
                                              "GoToLevel(2)",
                                              "RestartGame()",
                                              "Bounce(x)",
                                              "SetTile(tBrick)",
                                              "MoveToward(aWall, vScore)",
                                              "If count of aWall <> 0",
                                              "If chance 1 in 4",
                                              "If held A+B",
                                              "SetSpeedSize(vVariable2, -3, relative)"};
  const THandler& Timer = *Loaded.FindActorByName("aHero")->GetHandler(0);
  ASSERT_EQ(Timer.ActionCount(), static_cast<int>(Summaries.size()));
  for (int i = 0; i < Timer.ActionCount(); ++i) EXPECT_EQ(Timer.GetAction(i)->Summary(), Summaries[i]) << i;
  EXPECT_EQ(Timer.Event()->Summary(), "OnTimer( 90, repeat )");
  EXPECT_EQ(Loaded.FindActorByName("aHero")->GetHandler(1)->Event()->Summary(), "OnKeyHeld( >< )");
  EXPECT_EQ(Loaded.FindActorByName("aHero")->GetHandler(2)->Event()->Summary(), "OnCollision( <Solid>, repel )");

  // Without variables and solid actors nothing of the section is written.
  TGame Plain;
  Plain.AddActor();
  Plain.AddLevel();
  const TContent Before = Plain.ContentBytes();
  Plain.AddVariable();
  EXPECT_GT(Plain.ContentBytes().size(), Before.size());
  Plain.DeleteVariable(Plain.GetVariable(0));
  EXPECT_EQ(Plain.ContentBytes(), Before);
}

TEST(Rules, RenamesAreFollowedAndDeletesTakeTheActionsThatNameTheItem) {
  TRulesGame R;
  R.Score->SetName("vPoints");
  EXPECT_EQ(R.Action(0)->Summary(), "If vPoints >= 10");
  EXPECT_EQ(R.Action(1)->GetValue(0), "vPoints");
  EXPECT_EQ(R.Action(2)->GetValue(1), "Score {vPoints} of {vPoints}");
  EXPECT_EQ(R.Action(8)->GetValue(1), "vPoints");
  R.Wall->SetName("aBrick");
  EXPECT_EQ(R.Action(3)->GetValue(0), "aBrick");
  EXPECT_EQ(R.Game.ActionsNaming(TValueType::Actor, "ABRICK").size(), 3u);  // names compare as names do
  EXPECT_EQ(R.Game.ActionsNaming(TValueType::Variable, "vVariable2").size(), 2u);

  const int Count = R.Timer->ActionCount();
  R.Game.DeleteVariable(R.Speed);
  EXPECT_EQ(R.Timer->ActionCount(), Count - 2);
  R.Game.DeleteTile(R.Game.GetTile(0));
  EXPECT_EQ(R.Timer->ActionCount(), Count - 3);
  R.Game.DeleteActor(R.Wall);
  EXPECT_EQ(R.Timer->ActionCount(), Count - 6);
  // A collision with any solid actor names no actor: it stays.
  EXPECT_EQ(R.Hero->HandlerCount(), 3);
  R.Game.MoveVariable(0, 0);
  TGame Loaded;
  Loaded.LoadContent(R.Game.ContentBytes());
  EXPECT_EQ(Loaded.ContentBytes(), R.Game.ContentBytes());
}

TEST(Rules, DamagedOrUnknownSectionsAreReadErrorsAndOtherTrailingBytesAreIgnored) {
  TRulesGame R;
  TGame Empty;
  const TContent Head = Empty.ContentBytes();  // no section
  const TContent Whole = R.Game.ContentBytes();
  auto Error = [](const TContent& Bytes) {
    try {
      TGame G;
      G.LoadContent(Bytes);
      return std::string("no error");
    } catch (const EGame& E) {
      return std::string(E.what());
    }
  };
  // The section cut anywhere after its marker (a marker cut short is
  // bytes like any others after the levels).
  const std::string Marker = "[TVariables]";
  const auto At = std::search(Whole.begin(), Whole.end(), Marker.begin(), Marker.end()) - Whole.begin();
  for (std::size_t N = static_cast<std::size_t>(At) + Marker.size(); N < Whole.size(); ++N)
    EXPECT_EQ(Error(TContent(Whole.begin(), Whole.begin() + static_cast<std::ptrdiff_t>(N))), FileUnexpected) << N;
  auto With = [&](const TContent& Tail) {
    TContent Bytes = Head;
    Bytes.insert(Bytes.end(), Tail.begin(), Tail.end());
    return Bytes;
  };
  EXPECT_EQ(Error(With(test::ShortString("[TUnknown]"))), FileUnexpected);
  EXPECT_EQ(Error(With({1, 2, 3})), "no error");  // no section: ignored, as always
  TContent BadScope = test::ShortString(Marker);
  for (int B : {2, 1, 6, 1, int('v'), 2, 0, 2, 2, 2, 0}) BadScope.push_back(static_cast<std::uint8_t>(B));
  EXPECT_EQ(Error(With(BadScope)), FileUnexpected);
  TContent NoSuchActor = test::ShortString(Marker);
  for (int B : {2, 0, 2, 1, 6, 1, int('a')}) NoSuchActor.push_back(static_cast<std::uint8_t>(B));
  EXPECT_EQ(Error(With(NoSuchActor)), FileUnexpected);
  TContent HugeCount = test::ShortString(Marker);
  for (int B : {4, 0xFF, 0xFF, 0xFF, 0x7F}) HugeCount.push_back(static_cast<std::uint8_t>(B));
  EXPECT_EQ(Error(With(HugeCount)), FileUnexpected);
}

TEST(Rules, TheTablesCarryVariablesTextsSolidsAndEveryValue) {
  TRulesGame R;
  TTextBuildLog Log;
  const TGameTables T = BuildBehaviourTables(R.Game, Log);
  EXPECT_EQ(Log.ErrorCount(), 0);
  ASSERT_EQ(T.Variables.size(), 2u);
  EXPECT_EQ(T.Variables[0].initial, -5);
  EXPECT_EQ(T.Variables[1].scope, LVK_SCOPE_INSTANCE);
  EXPECT_EQ(T.Actors[1].flags, LVK_ACTOR_SOLID);
  EXPECT_EQ(T.Handlers[0].event, LVK_EVENT_TIMER);
  EXPECT_EQ(T.Handlers[0].frames, 90u);
  EXPECT_EQ(T.Handlers[0].flags, LVK_HANDLER_REPEAT);
  EXPECT_EQ(T.Handlers[1].mask, 0x30);
  EXPECT_EQ(T.Handlers[2].other, LVK_ANY_SOLID);
  const lvk_action_t* A = &T.Actions[T.Handlers[0].first_action];
  EXPECT_EQ(A[0].kind, LVK_ACTION_IF_VARIABLE);
  EXPECT_EQ(A[0].n[2], LVK_COMPARE_AT_LEAST);
  EXPECT_EQ(A[0].n[0], 10);
  EXPECT_EQ(A[1].var[0], LVK_VARIABLE(1));  // the value from vVariable2
  EXPECT_EQ(A[1].relative, 1);
  // The text: a literal, the score, a literal, the score again.
  const lvk_text_t& Text = T.Texts[A[2].ref];
  ASSERT_EQ(Text.segment_count, 4);
  EXPECT_EQ(T.Chars.substr(T.Segments[Text.first_segment].first, T.Segments[Text.first_segment].length), "Score ");
  EXPECT_EQ(T.Segments[Text.first_segment + 1].variable, LVK_VARIABLE(0));
  EXPECT_EQ(A[3].ref, 1);  // Spawn's actor
  EXPECT_EQ(A[3].n[1], -8);
  EXPECT_EQ(A[6].n[0], 1);  // Bounce x, not y
  EXPECT_EQ(A[6].n[1], 0);
  EXPECT_EQ(A[7].ref, 0);  // the tile has a picture: its number
  EXPECT_EQ(A[8].var[0], LVK_VARIABLE(0));
  EXPECT_EQ(A[11].ref, 3);  // the key set
  const lvk_game_t Game = T.Game();
  EXPECT_TRUE(lvk_game_check(&Game));

  // What a rule names that is not there is a counted error, and the action
  // takes no part; a number that is neither is used as 0.
  R.Action(1)->SetValue(0, "vNothing");
  R.Action(2)->SetValue(1, "{vGone}");
  R.Action(3)->SetValue(0, "aNobody");
  R.Action(12)->SetValue(0, "vMissing");
  TTextBuildLog Errors;
  const TGameTables Less = BuildBehaviourTables(R.Game, Errors);
  EXPECT_EQ(Errors.ErrorCount(), 4);
  EXPECT_EQ(Less.Actions.size(), T.Actions.size() - 3);
  const lvk_game_t Checked = Less.Game();
  EXPECT_TRUE(lvk_game_check(&Checked));
}
