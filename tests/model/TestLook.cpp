// An actor's look: its sprite size, animations and frames, and the section
// after the levels that stores them.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "behaviour/REventCreate.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UTile.h"

using namespace lvk;
using test::TBytes;

namespace {

struct TLookGame {
  TGame Game;
  TTile* A;
  TTile* B;
  TActor* Hero;
  TLookGame() {
    A = Game.AddTile();
    A->SetName("tA");
    B = Game.AddTile();
    B->SetName("tB");
    Hero = Game.AddActor();
    Hero->SetName("aHero");
    Game.AddLevel()->SetSize(1, 1);
  }
  // 16x16, "Walk" back and forth at 6 frames: (tA tB / - -), (tB tA / - tA).
  void GiveLook() {
    Hero->SetSize(16, 16);
    const int Walk = Hero->AddAnimation();
    Hero->SetAnimationName(Walk, "Walk");
    Hero->SetFrameLength(Walk, 6);
    Hero->SetAnimationMode(Walk, TAnimationMode::BackAndForth);
    Hero->SetFrameTiles(Walk, 0, {A, B});
    Hero->AddFrame(Walk, {B, A, nullptr, A});
  }
};

TBytes Hex(const char* Text) {
  TBytes Bytes;
  for (const char* P = Text; *P; P += P[2] ? 3 : 2)
    Bytes.push_back(static_cast<std::uint8_t>(std::stoi(std::string(P, 2), nullptr, 16)));
  return Bytes;
}

// docs/ProjectFile.md, section 7.3, value by value.
const char* const SectionParts[] = {
    "06 0a 5b 54 53 70 72 69 74 65 73 5d",  // "[TSprites]"
    "02 01",                                // 1 actor
    "06 05 61 48 65 72 6f",                 // "aHero"
    "02 10 02 10",                          // 16 by 16
    "02 01",                                // 1 animation
    "06 04 57 61 6c 6b",                    // "Walk"
    "02 06 02 02",                          // 6 frames each, back and forth
    "02 02",                                // 2 frames
    "06 02 74 41 06 02 74 42 06 00 06 00",  // tA tB / none none
    "06 02 74 42 06 02 74 41 06 00 06 02 74 41",  // tB tA / none tA
};

TBytes SectionBytes() {
  TBytes Bytes;
  for (const char* Part : SectionParts) test::Append(Bytes, Hex(Part));
  return Bytes;
}

}  // namespace

TEST(Look, SizesKeepTheirCellsAndOnlyTheDsShapesAreSizes) {
  TLookGame G;
  EXPECT_EQ(G.Hero->Width(), 8);
  EXPECT_FALSE(G.Hero->HasLook());
  for (auto [W, H] : {std::pair{24, 24}, {8, 64}, {0, 8}, {128, 128}, {-8, 8}})
    EXPECT_THROW(G.Hero->SetSize(W, H), EGame) << W << "x" << H;
  G.GiveLook();
  // Wider: the old cells stay where they were; narrower and lower: cut.
  G.Hero->SetSize(32, 16);
  EXPECT_EQ(G.Hero->FrameTiles(0, 1), (TFrameTiles{G.B, G.A, nullptr, nullptr, nullptr, G.A, nullptr, nullptr}));
  G.Hero->SetSize(8, 16);
  EXPECT_EQ(G.Hero->FrameTiles(0, 1), (TFrameTiles{G.B, nullptr}));
  G.Hero->SetSize(8, 8);
  EXPECT_EQ(G.Hero->FrameTiles(0, 0), (TFrameTiles{G.A}));
  EXPECT_TRUE(G.Hero->HasLook());  // the animation is still there
}

TEST(Look, AnimationsAreNamedAsItemsAndFramesFitTheSize) {
  RegisterKinds();
  TLookGame G;
  G.GiveLook();
  const int Second = G.Hero->AddAnimation();
  EXPECT_EQ(G.Hero->GetAnimation(Second).Name, "Anim2");
  EXPECT_EQ(G.Hero->FrameCount(Second), 1);
  EXPECT_EQ(G.Hero->FrameTiles(Second, 0).size(), 4u);
  EXPECT_THROW(G.Hero->SetAnimationName(Second, "WALK"), EGame);  // names differ without regard to case
  EXPECT_THROW(G.Hero->SetAnimationName(Second, "2nd"), EGame);
  THandler* Start = G.Hero->AddHandler();
  Start->SetEvent(TEventCreate::ClassKind());
  TActionBase* Play = Start->AddAction(TActionSetAnimation::ClassKind());
  Play->SetValue(0, "anim2");
  G.Hero->SetAnimationName(Second, "Idle");
  EXPECT_EQ(Play->GetValue(0), "Idle");  // the actor's actions follow the name
  EXPECT_EQ(G.Hero->FindAnimation("idle"), Second);
  EXPECT_EQ(G.Hero->FindAnimation("Run"), -1);
  G.Hero->MoveAnimation(Second, 0);
  EXPECT_EQ(G.Hero->GetAnimation(0).Name, "Idle");
  EXPECT_EQ(G.Hero->RestingFrame(), (TFrameTiles{nullptr, nullptr, nullptr, nullptr}));
  for (auto [Asked, Kept] : {std::pair{0, 1}, {-5, 1}, {300, 255}, {12, 12}}) {
    G.Hero->SetFrameLength(0, Asked);
    EXPECT_EQ(G.Hero->GetAnimation(0).FrameLength, Kept) << Asked;
  }
  G.Hero->SetFrameTile(1, 0, 3, G.B);
  EXPECT_EQ(G.Hero->FrameTiles(1, 0), (TFrameTiles{G.A, G.B, nullptr, G.B}));
  G.Hero->MoveFrame(1, 1, 0);
  EXPECT_EQ(G.Hero->FrameTiles(1, 0)[0], G.B);
  G.Hero->DeleteFrame(1, 0);
  EXPECT_EQ(G.Hero->FrameCount(1), 1);
  // A deleted tile leaves the frames, which keep their size.
  G.Game.DeleteTile(G.B);
  EXPECT_EQ(G.Hero->FrameTiles(1, 0), (TFrameTiles{G.A, nullptr, nullptr, nullptr}));
  G.Hero->DeleteAnimation(0);
  EXPECT_EQ(G.Hero->RestingFrame()[0], G.A);
  // Without animations the actor rests on its tile, in the top left cell.
  G.Hero->DeleteAnimation(0);
  G.Hero->SetTile(G.A);
  EXPECT_EQ(G.Hero->RestingFrame(), (TFrameTiles{G.A, nullptr, nullptr, nullptr}));
  TActor* Copy = G.Game.DuplicateActor(G.Hero);
  EXPECT_EQ(Copy->Width(), 16);
}

TEST(Look, TheSectionIsTheDocumentedBytesAfterAGameStoredAsBefore) {
  RegisterKinds();
  TLookGame G;
  const TBytes Before = G.Game.ContentBytes();
  G.GiveLook();
  TBytes Expected = Before;
  test::Append(Expected, SectionBytes());
  EXPECT_EQ(G.Game.ContentBytes(), Expected);

  TGame Loaded;
  Loaded.LoadContent(Expected);
  const TActor& Hero = *Loaded.GetActor(0);
  EXPECT_EQ(Hero.Height(), 16);
  ASSERT_EQ(Hero.AnimationCount(), 1);
  EXPECT_EQ(Hero.GetAnimation(0).Name, "Walk");
  EXPECT_EQ(Hero.GetAnimation(0).FrameLength, 6);
  EXPECT_EQ(Hero.GetAnimation(0).Mode, TAnimationMode::BackAndForth);
  EXPECT_EQ(Hero.FrameTiles(0, 1), (TFrameTiles{Loaded.GetTile(1), Loaded.GetTile(0), nullptr, Loaded.GetTile(0)}));
  EXPECT_EQ(Loaded.ContentBytes(), Expected);

  // Taking the look away stores the game as before, byte for byte.
  G.Hero->DeleteAnimation(0);
  G.Hero->SetSize(8, 8);
  EXPECT_EQ(G.Game.ContentBytes(), Before);
}

TEST(Look, ADamagedSectionIsAReadErrorBeforeAnythingIsLost) {
  RegisterKinds();
  TLookGame G;
  const TBytes Before = G.Game.ContentBytes();
  const TBytes Section = SectionBytes();
  struct TCase {
    const char* What;
    std::size_t At;
    TBytes Put;  // replaces the byte at At; empty: cut the section there
  };
  const TCase Cases[] = {
      {"cut inside a frame", 60, {}},
      {"cut after the name", 21, {}},
      {"a size of 24", 22, {0x18}},
      {"a mode of 3", 36, {0x03}},
      {"a frame length of 0", 34, {0x00}},
      {"an actor no game has", 16, {'X'}},
      {"an actor count beyond the bytes", 13, {0x7f}},
      {"a frame count beyond the bytes", 38, {0x7f}},
      {"an animation without a legal name", 29, {'1'}},
  };
  for (const TCase& C : Cases) {
    TBytes Damaged = Section;
    if (C.Put.empty())
      Damaged.resize(C.At);
    else
      Damaged[C.At] = C.Put[0];
    TBytes File = Before;
    test::Append(File, Damaged);
    TGame Loaded;
    EXPECT_EQ(test::MessageOf([&] { Loaded.LoadContent(File); }), FileUnexpected) << C.What;
  }
  // The section twice; the same actor twice in one section, also when its
  // first entry sets nothing.
  TBytes Twice = Before;
  test::Append(Twice, Section);
  test::Append(Twice, Section);
  TBytes Plain = Hex("06 05 61 48 65 72 6f 02 08 02 08 02 00");  // "aHero", 8 by 8, no animation
  TBytes Named[2] = {Before, Before};
  for (int Order = 0; Order < 2; ++Order) {
    test::Append(Named[Order], Hex(SectionParts[0]));
    test::Append(Named[Order], Hex("02 02"));
    TBytes Full;
    for (std::size_t p = 2; p < std::size(SectionParts); ++p) test::Append(Full, Hex(SectionParts[p]));
    test::Append(Named[Order], Order == 0 ? Plain : Full);
    test::Append(Named[Order], Order == 0 ? Full : Plain);
  }
  for (const TBytes* File : {&Twice, &Named[0], &Named[1]}) {
    TGame Loaded;
    EXPECT_EQ(test::MessageOf([&] { Loaded.LoadContent(*File); }), FileUnexpected);
  }
}

TEST(Look, EveryChangeIsOneUndoStep) {
  RegisterKinds();
  TDocument Doc;
  Doc.New();
  TGame& Game = Doc.Game();
  {
    TEdit E(Game, "Setup");
    TTile* T = Game.AddTile();
    T->SetName("tA");
    Game.AddActor();
  }
  const TBytes Plain = Game.ContentBytes();
  {
    TEdit E(Game, "Change actor's size");
    Game.GetActor(0)->SetSize(32, 8);
  }
  {
    TEdit E(Game, "New animation");
    Game.GetActor(0)->AddAnimation();
  }
  {
    TEdit E(Game, "Change frame");
    Game.GetActor(0)->SetFrameTile(0, 0, 2, Game.GetTile(0));
  }
  EXPECT_EQ(Doc.UndoName(), "Change frame");
  ASSERT_TRUE(Doc.Undo());
  EXPECT_EQ(Doc.Game().GetActor(0)->FrameTiles(0, 0)[2], nullptr);
  ASSERT_TRUE(Doc.Undo());
  EXPECT_EQ(Doc.Game().GetActor(0)->AnimationCount(), 0);
  ASSERT_TRUE(Doc.Undo());
  EXPECT_EQ(Doc.Game().ContentBytes(), Plain);
  ASSERT_TRUE(Doc.Redo());
  ASSERT_TRUE(Doc.Redo());
  ASSERT_TRUE(Doc.Redo());
  EXPECT_EQ(Doc.Game().GetActor(0)->FrameTiles(0, 0)[2], Doc.Game().GetTile(0));
  EXPECT_EQ(Doc.Game().GetActor(0)->Width(), 32);
}
