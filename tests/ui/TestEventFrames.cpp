// The event editing frames and the event selector, driven as the user
// drives them on the offscreen platform.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventDestroy.h"
#include "behaviour/REventKey.h"
#include "behaviour/REventKeyHeld.h"
#include "behaviour/REventOutside.h"
#include "behaviour/REventTimer.h"
#include "behaviour/REventTouch.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "ui/events/FEventSelector.h"
#include "ui/common/FHelp.h"
#include "ui/events/FraEventCollision.h"
#include "ui/events/FraEventCreate.h"
#include "ui/events/FraEventDestroy.h"
#include "ui/events/FraEventKey.h"
#include "ui/events/FraEventKeyHeld.h"
#include "ui/events/FraEventOutside.h"
#include "ui/events/FraEventTimer.h"
#include "ui/events/FraEventTouch.h"
#include "ui/events/UEventEditors.h"
#include "ui/common/UHelp.h"
#include "ui/common/UPictures.h"

using namespace lvk;

namespace {

// A game with three actors, the first drawn with a tile, and a host in which
// a frame is built for one handler of the first actor; every summary the
// frame hands on is recorded.
struct EventFrames : ::testing::Test {
  TGame Game;
  TActor* Hero;
  TActor* Wall;
  THandler* Handler;
  QWidget Host;
  QStringList Summaries;

  EventFrames() {
    Hero = Game.AddActor();
    Hero->SetName("Hero");
    Hero->SetTile(Game.AddTile());
    Wall = Game.AddActor();
    Wall->SetName("Wall");
    Game.AddActor()->SetName("Coin");
    Handler = Hero->AddHandler();
    Host.resize(400, 60);
  }

  template <class TFrame>
  TFrame* Build(const TEventKind& Kind) {
    Handler->SetEvent(Kind);
    return Build<TFrame>();
  }
  // A frame for the handler's event as it is now.
  template <class TFrame>
  TFrame* Build() {
    test::ClearModified(Game);
    QWidget* Frame = CreateEventEditor(*Handler->Event(), &Host, [this](const QString& S) { Summaries << S; });
    Host.show();
    Host.layout()->activate();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Host));
    auto* Typed = dynamic_cast<TFrame*>(Frame);
    EXPECT_NE(Typed, nullptr);
    return Typed;
  }
  template <class TEvent>
  TEvent& Event() const {
    return static_cast<TEvent&>(*Handler->Event());
  }
  // Clicks a control and tells whether the game was marked changed by it.
  bool ClickMarks(QAbstractButton* Button) {
    test::ClearModified(Game);
    QTest::mouseClick(Button, Qt::LeftButton);
    return Game.Modified();
  }
};

QToolButton* Toggle(QWidget* Frame, const char* Name) {
  auto* Button = Frame->findChild<QToolButton*>(Name);
  EXPECT_NE(Button, nullptr) << Name;
  return Button;
}

// The captions of the toggles that are down, in child order.
QStringList Down(QWidget* Frame) {
  QStringList Captions;
  for (QToolButton* B : Frame->findChildren<QToolButton*>())
    if (B->isChecked()) Captions << B->text();
  Captions.sort();
  return Captions;
}

}  // namespace

TEST_F(EventFrames, FactoryFillsTheHostWithTheKindsFrame) {
  auto* Create = Build<TfraEventCreate>(TEventCreate::ClassKind());
  ASSERT_NE(Create, nullptr);
  EXPECT_EQ(Create->lblEventCreate->text(), "No settings for OnCreate");
  EXPECT_EQ(Create->geometry(), Host.rect());
  delete Create;

  auto* Destroy = Build<TfraEventDestroy>(TEventDestroy::ClassKind());
  ASSERT_NE(Destroy, nullptr);
  EXPECT_EQ(Destroy->lblEventCreate->text(), "No settings for OnDestroy");
  delete Destroy;

  // Controls anchored to the right keep their distance to the right edge;
  // the list anchored on both sides grows with the frame.
  auto* Key = Build<TfraEventkey>(TEventKey::ClassKind());
  ASSERT_NE(Key, nullptr);
  EXPECT_EQ(Key->size(), Host.size());
  EXPECT_GE(Key->minimumWidth(), 300);
  const QRect Release = Key->rbutRelease->geometry();
  const QRect A = Toggle(Key, "butKeyA")->geometry();
  EXPECT_LT(A.right(), Key->lblStyle->x());
  Host.resize(Host.width() + 100, Host.height());
  Host.layout()->activate();
  EXPECT_EQ(Key->rbutRelease->geometry(), Release.translated(100, 0));
  EXPECT_EQ(Toggle(Key, "butKeyA")->geometry(), A);
  delete Key;

  auto* Collision = Build<TfraEventCollision>(TEventCollision::ClassKind());
  ASSERT_NE(Collision, nullptr);
  const QRect List = Collision->cbxOtherActor->geometry();
  const QRect Repel = Collision->rbutRepel->geometry();
  EXPECT_LT(List.right(), Collision->rbutOverlap->x());
  EXPECT_LT(Collision->rbutOverlap->x() + Collision->rbutOverlap->sizeHint().width(), Repel.x() + 1);
  Host.resize(Host.width() - 100, Host.height());
  Host.layout()->activate();
  EXPECT_EQ(Collision->cbxOtherActor->geometry(), List.adjusted(0, 0, -100, 0));
  EXPECT_EQ(Collision->rbutRepel->geometry(), Repel.translated(-100, 0));
  delete Collision;

  auto* Touch = Build<TfraEventTouch>(TEventTouch::ClassKind());
  ASSERT_NE(Touch, nullptr);
  delete Touch;
  auto* Outside = Build<TfraEventOutside>(TEventOutside::ClassKind());
  ASSERT_NE(Outside, nullptr);
  EXPECT_FALSE(Game.Modified());
  EXPECT_TRUE(Summaries.isEmpty());
}

TEST_F(EventFrames, KeyFrameShowsTheEventAndAppliesRealChangesOnly) {
  Handler->SetEvent(TEventKey::ClassKind());
  Event<TEventKey>().SetPress(true);
  Event<TEventKey>().SetKeys(0b111);  // A, B, Select
  auto* Frame = Build<TfraEventkey>();
  ASSERT_NE(Frame, nullptr);
  EXPECT_EQ(Down(Frame), (QStringList{"?", "A", "B"}));
  EXPECT_TRUE(Frame->rbutPress->isChecked());
  EXPECT_FALSE(Frame->rbutRelease->isChecked());

  EXPECT_TRUE(ClickMarks(Toggle(Frame, "butStart")));
  EXPECT_EQ(Event<TEventKey>().Keys(), 0b1111);
  EXPECT_EQ(Summaries, (QStringList{"OnKey( AB?S, press )"}));
  // Up again: marked a second time, the earlier summary back.
  EXPECT_TRUE(ClickMarks(Toggle(Frame, "butStart")));
  EXPECT_EQ(Event<TEventKey>().Keys(), 0b111);
  EXPECT_EQ(Summaries.size(), 2);
  EXPECT_EQ(Summaries.last(), "OnKey( AB?, press )");

  // The checked style clicked again changes nothing.
  EXPECT_FALSE(ClickMarks(Frame->rbutPress));
  EXPECT_EQ(Summaries.size(), 2);
  EXPECT_TRUE(ClickMarks(Frame->rbutRelease));
  EXPECT_FALSE(Event<TEventKey>().Press());
  EXPECT_EQ(Summaries.last(), "OnKey( AB?, release )");

  // Every key toggled off leaves the empty set.
  for (const char* Name : {"butKeyA", "butKeyB", "butSelect"}) QTest::mouseClick(Toggle(Frame, Name), Qt::LeftButton);
  EXPECT_EQ(Event<TEventKey>().Keys(), 0);
  EXPECT_EQ(Summaries.last(), "OnKey( , release )");

  // Keyboard: the keys are reached with Tab and toggled with Space.
  QToolButton* Lid = Toggle(Frame, "butLid");
  Lid->setFocus();
  QTest::keyClick(Lid, Qt::Key_Space);
  EXPECT_EQ(Event<TEventKey>().Keys(), 1 << 13);
  // A toggle's single symbol is named in its tip, with its key in the play window.
  EXPECT_EQ(Lid->toolTip(), "Lid (in the play window: C key)");
  EXPECT_EQ(Toggle(Frame, "butKeyUp")->toolTip(), "Up (in the play window: Up key)");
  EXPECT_EQ(Toggle(Frame, "butSelect")->toolTip(), "Select (in the play window: Backspace or Shift keys)");
}

TEST_F(EventFrames, CompassFramesToggleTheirAreas) {
  auto* Touch = Build<TfraEventTouch>(TEventTouch::ClassKind());
  ASSERT_NE(Touch, nullptr);
  EXPECT_EQ(Down(Touch), (QStringList{"H"}));
  EXPECT_TRUE(ClickMarks(Toggle(Touch, "butTouchN")));
  EXPECT_EQ(Event<TEventTouch>().Areas(), 257);
  EXPECT_EQ(Summaries, (QStringList{"OnTouch( N-H )"}));
  EXPECT_EQ(Toggle(Touch, "butTouchSW")->statusTip(), "Touching south-west of the actor");
  delete Touch;

  Summaries.clear();
  auto* Outside = Build<TfraEventOutside>(TEventOutside::ClassKind());
  ASSERT_NE(Outside, nullptr);
  EXPECT_EQ(Down(Outside).size(), 8);
  EXPECT_EQ(Outside->findChildren<QToolButton*>().size(), 8);  // no middle: that is the screen
  for (const char* Name : {"butOutsideE", "butOutsideSE", "butOutsideS", "butOutsideSW", "butOutsideW"})
    EXPECT_TRUE(ClickMarks(Toggle(Outside, Name))) << Name;
  EXPECT_EQ(Event<TEventOutside>().Areas(), 0b10000011);
  EXPECT_EQ(Summaries.size(), 5);
  EXPECT_EQ(Summaries.last(), "OnOutside( N-NE-NW )");
}

TEST_F(EventFrames, CollisionFrameChoosesActorAndStyle) {
  Handler->SetEvent(TEventCollision::ClassKind());
  Event<TEventCollision>().SetOtherActor(*Wall);
  auto* Frame = Build<TfraEventCollision>();
  ASSERT_NE(Frame, nullptr);
  TActorComboBox* List = Frame->cbxOtherActor;
  ASSERT_EQ(List->count(), 3);
  EXPECT_EQ(List->itemText(0), "Hero");
  EXPECT_EQ(List->itemText(2), "Coin");
  EXPECT_EQ(List->currentIndex(), 1);
  EXPECT_TRUE(Frame->rbutOverlap->isChecked());

  // Choosing the actor that is already the other one changes nothing.
  test::ClearModified(Game);
  emit List->activated(1);
  EXPECT_FALSE(Game.Modified());
  EXPECT_TRUE(Summaries.isEmpty());

  // The arrow key on the closed list chooses the next actor.
  List->setFocus();
  QTest::keyClick(List, Qt::Key_Down);
  EXPECT_EQ(Event<TEventCollision>().OtherActor(), Game.GetActor(2));
  EXPECT_TRUE(Game.Modified());
  EXPECT_EQ(Summaries, (QStringList{"OnCollision( Coin, overlap )"}));

  // Repel, Overlap and Repel again: three changes; the checked one again: none.
  EXPECT_TRUE(ClickMarks(Frame->rbutRepel));
  EXPECT_TRUE(ClickMarks(Frame->rbutOverlap));
  EXPECT_TRUE(ClickMarks(Frame->rbutRepel));
  EXPECT_FALSE(ClickMarks(Frame->rbutRepel));
  EXPECT_FALSE(Event<TEventCollision>().Overlap());
  EXPECT_EQ(Summaries.size(), 4);
  EXPECT_EQ(Summaries.last(), "OnCollision( Coin, repel )");

  // The label's mnemonic reaches the list.
  EXPECT_EQ(Frame->lblCollisionWith->buddy(), List);
}

TEST_F(EventFrames, ActorListDrawsEachActorsPictureAndName) {
  auto* Frame = Build<TfraEventCollision>(TEventCollision::ClassKind());
  ASSERT_NE(Frame, nullptr);
  TActorComboBox* List = Frame->cbxOtherActor;
  const int H = List->ItemHeight();
  for (int Row : {0, 1}) {
    QImage Canvas(120, H, QImage::Format_RGB32);
    Canvas.fill(Qt::black);
    QStyleOptionViewItem Option;
    Option.initFrom(List->view());
    Option.rect = Canvas.rect();
    Option.state &= ~QStyle::State_Selected;
    {
      QPainter Painter(&Canvas);
      List->itemDelegate()->paint(&Painter, Option, List->model()->index(Row, 0));
    }
    // The model's picture, each of its 8x8 pixels doubled, 2 pixels in.
    const QImage Picture = ToImage(Game.GetActorBitmap(Game.GetActor(Row)));
    ASSERT_EQ(Picture.size(), QSize(8, 8));
    const int Top = (H - 16) / 2;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        ASSERT_EQ(Canvas.pixel(2 + x, Top + y), Picture.pixel(x / 2, y / 2)) << Row << ": " << x << "," << y;
    EXPECT_EQ(QColor(Canvas.pixel(1, Top)), Option.palette.color(QPalette::Base));
    // The name is written from 22 pixels in: nothing of it left of that.
    const QColor Base = Option.palette.color(QPalette::Base);
    bool Ink = false;
    for (int y = 0; y < H; ++y) {
      for (int x = 18; x < 22; ++x) EXPECT_EQ(QColor(Canvas.pixel(x, y)), Base) << x << "," << y;
      for (int x = 22; x < 60; ++x) Ink |= QColor(Canvas.pixel(x, y)) != Base;
    }
    EXPECT_TRUE(Ink);
  }
  // Hero has a tile, Wall none: two different pictures were compared.
  EXPECT_NE(ToImage(Game.GetActorBitmap(Hero)), ToImage(Game.GetActorBitmap(Wall)));
}

TEST_F(EventFrames, CollisionWithAnySolidActorOnceOneIsSolid) {
  Handler->SetEvent(TEventCollision::ClassKind());
  Event<TEventCollision>().SetOtherActor(*Wall);
  // No actor is solid: nothing to offer.
  auto* Frame = Build<TfraEventCollision>();
  EXPECT_EQ(Frame->cbxOtherActor->count(), 3);
  delete Frame;

  Wall->SetSolid(true);
  Frame = Build<TfraEventCollision>();
  TActorComboBox* List = Frame->cbxOtherActor;
  ASSERT_EQ(List->count(), 4);
  EXPECT_EQ(List->itemText(0), "<any solid actor>");
  EXPECT_EQ(List->Actor(0), nullptr);
  EXPECT_EQ(List->currentIndex(), List->IndexOf(Wall));
  emit List->activated(0);
  EXPECT_TRUE(Event<TEventCollision>().AnySolid());
  EXPECT_EQ(Summaries, (QStringList{"OnCollision( <Solid>, overlap )"}));
  emit List->activated(0);
  EXPECT_EQ(Summaries.size(), 1);
  delete Frame;

  // Shown as chosen, and left for an actor again.
  Frame = Build<TfraEventCollision>();
  EXPECT_EQ(Frame->cbxOtherActor->currentIndex(), 0);
  emit Frame->cbxOtherActor->activated(Frame->cbxOtherActor->IndexOf(Hero));
  EXPECT_FALSE(Event<TEventCollision>().AnySolid());
  EXPECT_EQ(Event<TEventCollision>().OtherActor(), Hero);
  EXPECT_EQ(Summaries.last(), "OnCollision( Hero, overlap )");
}

TEST_F(EventFrames, KeyHeldFrameTogglesTheKeysHeld) {
  auto* Frame = Build<TfraEventKeyHeld>(TEventKeyHeld::ClassKind());
  ASSERT_NE(Frame, nullptr);
  EXPECT_EQ(Down(Frame), (QStringList{"A"}));
  EXPECT_TRUE(ClickMarks(Toggle(Frame, "butKeyRight")));
  EXPECT_EQ(Event<TEventKeyHeld>().Keys(), 0b10001);
  EXPECT_EQ(Summaries, (QStringList{"OnKeyHeld( A> )"}));
  EXPECT_TRUE(ClickMarks(Toggle(Frame, "butKeyA")));
  EXPECT_EQ(Summaries.last(), "OnKeyHeld( > )");
  EXPECT_EQ(Toggle(Frame, "butKeyRight")->toolTip(), "Right (in the play window: Right key)");
  EXPECT_EQ(Frame->findChildren<QToolButton*>().size(), 14);
}

TEST_F(EventFrames, TimerFrameCountsFramesAndShowsTheTime) {
  auto* Frame = Build<TfraEventTimer>(TEventTimer::ClassKind());
  ASSERT_NE(Frame, nullptr);
  EXPECT_EQ(Frame->speFrames->value(), 60);
  EXPECT_EQ(Frame->lblSeconds->text(), "= 1 second");
  EXPECT_FALSE(Frame->cbxRepeat->isChecked());

  // Typed digits make one change, when Enter is pressed.
  Frame->speFrames->setFocus();
  QTest::keyClick(Frame->speFrames, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(Frame->speFrames, "150");
  EXPECT_EQ(Event<TEventTimer>().Frames(), 60);
  QTest::keyClick(Frame->speFrames, Qt::Key_Return);
  EXPECT_EQ(Event<TEventTimer>().Frames(), 150);
  EXPECT_EQ(Frame->lblSeconds->text(), "= 2.5 seconds");
  EXPECT_EQ(Summaries, (QStringList{"OnTimer( 150, once )"}));
  EXPECT_TRUE(ClickMarks(Frame->cbxRepeat));
  EXPECT_EQ(Summaries.last(), "OnTimer( 150, repeat )");

  // The range is the event's.
  Frame->speFrames->setValue(0);
  EXPECT_EQ(Event<TEventTimer>().Frames(), 1);
  Frame->speFrames->setValue(TEventTimer::MaxFrames + 1);
  EXPECT_EQ(Event<TEventTimer>().Frames(), TEventTimer::MaxFrames);
  EXPECT_EQ(Frame->lblSeconds->text(), "= 4 h 37 min 47 s");
  EXPECT_EQ(FramesAsTime(1), "0.02 seconds");
  EXPECT_EQ(FramesAsTime(3600), "1 min");
  EXPECT_EQ(FramesAsTime(6000), "1 min 40 s");
  EXPECT_EQ(Frame->lblFrames->buddy(), Frame->speFrames);
}

namespace {

struct EventSelector : ::testing::Test {
  TScriptedDialogs Dialogs;
  TGame Game;
  THandler* Handler;
  std::unique_ptr<TfrmEventSelector> Dialog;

  EventSelector() {
    TActor* Actor = Game.AddActor();
    Handler = Actor->AddHandler();
    Handler->SetEvent(TEventTouch::ClassKind());
    static_cast<TEventTouch*>(Handler->Event())->SetAreas(0b11);
    test::ClearModified(Game);
  }
  void Open() {
    Dialog = std::make_unique<TfrmEventSelector>();
    Dialog->SetHandler(*Handler);
    Dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog.get()));
  }
  // The event is the one it was, with its settings.
  bool Untouched(const TEventBase* Before) const {
    return Handler->Event() == Before && static_cast<TEventTouch*>(Handler->Event())->Areas() == 0b11 &&
           !Game.Modified();
  }
};

}  // namespace

TEST_F(EventSelector, ListsTheKindsWithTheCurrentOneDown) {
  Open();
  QStringList Labels;
  for (QLabel* L : Dialog->KindLabels) Labels << L->text();
  EXPECT_EQ(Labels, (QStringList{"OnCreate", "OnDestroy", "OnKey", "OnTouch", "OnCollision", "OnOutside",
                                  "OnKeyHeld", "OnTimer", "OnAnimationEnd"}));
  ASSERT_EQ(Dialog->KindButtons.size(), 9u);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Dialog->KindButtons[i]->isChecked(), i == 3) << i;
  EXPECT_EQ(Dialog->KindButtons[4]->toolTip(), "Fires when an actor collides with another actor");
  EXPECT_EQ(Dialog->windowTitle(), "Event selector");
  EXPECT_EQ(Dialog->size(), QSize(255, 22 * 9 + 8));
  // Help and Cancel keep their distances to the bottom.
  EXPECT_EQ(Dialog->height() - Dialog->butCancel->geometry().bottom() - 1, 5);
  EXPECT_EQ(Dialog->height() - Dialog->BitBtn1->geometry().bottom() - 1, 37);
}

TEST_F(EventSelector, ChoosingAnotherKindGivesItsDefaults) {
  Open();
  QTest::mouseClick(Dialog->KindLabels[2], Qt::LeftButton);  // OnKey, by its label
  EXPECT_EQ(Dialog->result(), QDialog::Accepted);
  EXPECT_FALSE(Dialog->isVisible());
  ASSERT_EQ(&Handler->Event()->Kind(), &TEventKey::ClassKind());
  EXPECT_EQ(Handler->Event()->Summary(), "OnKey( A, release )");
  EXPECT_TRUE(Game.Modified());

  // From there, OnTouch again by its button: the old areas are gone.
  test::ClearModified(Game);
  Open();
  EXPECT_TRUE(Dialog->KindButtons[2]->isChecked());
  QTest::mouseClick(Dialog->KindButtons[3], Qt::LeftButton);
  EXPECT_EQ(Handler->Event()->Summary(), "OnTouch( H )");
  EXPECT_TRUE(Game.Modified());
  EXPECT_FALSE(Dialog->isVisible());
}

TEST_F(EventSelector, TheCurrentKindCancelEscAndCloseChangeNothing) {
  const TEventBase* Before = Handler->Event();
  Open();
  QTest::mouseClick(Dialog->KindButtons[3], Qt::LeftButton);
  EXPECT_FALSE(Dialog->isVisible());
  EXPECT_TRUE(Untouched(Before));

  Open();
  QTest::mouseClick(Dialog->KindLabels[3], Qt::LeftButton);
  EXPECT_FALSE(Dialog->isVisible());
  EXPECT_TRUE(Untouched(Before));

  Open();
  QTest::mouseClick(Dialog->butCancel, Qt::LeftButton);
  EXPECT_EQ(Dialog->result(), QDialog::Rejected);
  EXPECT_FALSE(Dialog->isVisible());
  EXPECT_TRUE(Untouched(Before));

  Open();
  QTest::keyClick(Dialog.get(), Qt::Key_Escape);
  EXPECT_EQ(Dialog->result(), QDialog::Rejected);
  EXPECT_FALSE(Dialog->isVisible());
  EXPECT_TRUE(Untouched(Before));

  Open();
  Dialog->close();
  EXPECT_TRUE(Untouched(Before));
}

TEST_F(EventSelector, ArrowsMoveBetweenKindsWithoutChoosing) {
  const TEventBase* Before = Handler->Event();
  Open();
  QApplication::setActiveWindow(Dialog.get());
  EXPECT_TRUE(Dialog->KindButtons[3]->hasFocus());
  QTest::keyClick(Dialog->KindButtons[3], Qt::Key_Down);
  EXPECT_TRUE(Dialog->KindButtons[4]->hasFocus());
  EXPECT_TRUE(Dialog->isVisible());
  EXPECT_TRUE(Untouched(Before));
  // Space chooses the focused kind.
  QTest::keyClick(Dialog->KindButtons[4], Qt::Key_Space);
  EXPECT_EQ(&Handler->Event()->Kind(), &TEventCollision::ClassKind());
  EXPECT_FALSE(Dialog->isVisible());
}

TEST_F(EventSelector, HelpOpensItsPageAndStaysOpen) {
  Open();
  QTest::mouseClick(Dialog->BitBtn1, Qt::LeftButton);
  ASSERT_NE(HelpWindow(), nullptr);
  EXPECT_TRUE(HelpWindow()->CurrentPage().endsWith("help/event-selector.htm"));
  EXPECT_TRUE(Dialog->isVisible());
  EXPECT_TRUE(Dialogs.Messages.empty());
}
