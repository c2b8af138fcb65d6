#include "ui/panes/PaneActor.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/UTile.h"
#include "ui/main/UPaneHost.h"
#include "ui/common/UPictures.h"
#include "ui/panes/UActorLook.h"
#include "ui/panes/UPaneLayout.h"

TEvtBitBtn::TEvtBitBtn(const lvk::TEventKind& Kind, QWidget* Parent) : TCtrlButton(Parent), FKind(Kind) {
  setIcon(IconPixmap(Kind.Icon()));
  setIconSize(QSize(16, 16));
  SetHints(this, QString::fromStdString(Kind.DisplayName()), QString::fromStdString(Kind.Description()));
}

// ---- Actors ----

TPaneActors::TPaneActors(TPaneHost& Host)
    : TItemPane(Host, "tsActors", "Actors", "Actors pane for managing the set of actors", "main-actors") {
  SetHeaderIcon(UiPixmap("BmpActors18x18"));
  butNewActor = NewButton("butNewActor", "BmpActorsNew16x16", "&New actor", "Add a new actor",
                          "Add a new actor (use ctrl-click for keeping focus)");
  Row(Body())->addWidget(butNewActor, 0, Qt::AlignLeft);
  Body()->addStretch(1);
  connect(butNewActor, &QPushButton::clicked, this, &TPaneActors::butNewActorClick);
}

void TPaneActors::butNewActorClick() {
  lvk::TActor* Actor = nullptr;
  {
    lvk::TEdit Edit(Game(), "New actor");
    Actor = Game().AddActor();
  }
  if (butNewActor->CtrlRecord() == 0) Host().SelectItem(*Actor);
}

lvk::TActor* TPaneActor::Actor() const { return Host().Game().ActorById(ItemId()); }

TPaneActor::TPaneActor(TPaneHost& Host)
    : TItemPane(Host, "tsActor", "Actor", "Actor pane for editing the attributes of an actor", "main-actor") {
  edtActorName = NameField("edtActorName", "The name of the actor");
  BindNameField(edtActorName, "Rename actor", [this](const std::string& N) { Actor()->SetName(N); });
  cbxActorTiles = new QComboBox(this);
  cbxActorTiles->setObjectName("cbxActorTiles");
  cbxActorTiles->setFixedWidth(145);
  cbxActorTiles->setIconSize(QSize(16, 16));
  SetHints(cbxActorTiles, "The tile associated with the actor");
  auto* TileLabel = new QLabel("&Tile", this);
  TileLabel->setBuddy(cbxActorTiles);
  QHBoxLayout* R = Row(Body());
  R->addWidget(TileLabel);
  R->addWidget(cbxActorTiles);
  R->addStretch(1);
  cbxActorSolid = new QCheckBox("&Solid", this);
  cbxActorSolid->setObjectName("cbxActorSolid");
  SetHints(cbxActorSolid, "Solid: an OnCollision with \"<any solid actor>\" collides with it",
           "Solid actors (walls, doors, blocks) are what an OnCollision handler with \"<any solid actor>\" "
           "collides with: one repel handler then stops a hero at every one of them");
  Row(Body())->addWidget(cbxActorSolid, 0, Qt::AlignLeft);
  pnlLook = new TActorLookPanel([this] { return Actor(); }, this);
  pnlLook->PaintFrame = [this](int Anim, int Frame) {
    if (lvk::TActor* A = Actor()) TItemPane::Host().PaintFrame(*A, Anim, Frame);
  };
  Body()->addWidget(pnlLook);

  lblNewHandler = new QLabel("New e&vent handler", this);
  lblNewHandler->setObjectName("lblNewHandler");
  pnlNewHandler = new QWidget(this);
  pnlNewHandler->setObjectName("pnlNewHandler");
  pnlNewHandler->setFixedHeight(33);
  Body()->addWidget(lblNewHandler);
  Body()->addWidget(pnlNewHandler);
  Body()->addStretch(1);
  connect(cbxActorTiles, &QComboBox::activated, this, &TPaneActor::cbxActorTilesChange);
  connect(cbxActorSolid, &QCheckBox::clicked, this, &TPaneActor::cbxActorSolidClick);
}

void TPaneActor::CreateHandlerButtons() {
  for (int i = 0; i < lvk::EventKindCount(); ++i) {
    auto* Button = new TEvtBitBtn(lvk::EventKindAt(i), pnlNewHandler);
    Button->setObjectName("butNew" + QString::fromStdString(lvk::EventKindAt(i).DisplayName()));
    Button->setGeometry(25 * i, 0, 25, 25);
    connect(Button, &QPushButton::clicked, this, [this, Button] { butNewHandlerClick(Button); });
    HandlerButtons.push_back(Button);
  }
  // The label's key moves to the first button without pressing it: a
  // label whose buddy is a button would click it.
  if (!HandlerButtons.empty()) {
    pnlNewHandler->setFocusPolicy(Qt::TabFocus);
    pnlNewHandler->setFocusProxy(HandlerButtons.front());
    lblNewHandler->setBuddy(pnlNewHandler);
  }
}

void TPaneActor::Follow(const lvk::TChange& Change) {
  if (Change.Kind != lvk::TChangeKind::Changed || !Change.Touches(lvk::cfLook) || !Actor()) return;
  // A tile painted elsewhere (the painter, an import) shows in the frames
  // and the picture at once, not when the strip is next clicked.
  bool Drawn = Shows(Change);
  if (Change.Item == lvk::TItemKind::Tile) {
    for (int a = 0; a < Actor()->AnimationCount() && !Drawn; ++a)
      for (int f = 0; f < Actor()->FrameCount(a) && !Drawn; ++f) {
        const lvk::TFrameIds& Tiles = Actor()->FrameIds(a, f);
        Drawn = std::find(Tiles.begin(), Tiles.end(), Change.Id) != Tiles.end();
      }
    Drawn = Drawn || Actor()->TileId() == Change.Id;
  }
  if (!Drawn) return;
  SetHeaderIcon(QPixmap::fromImage(ActorImage(Game(), *Actor())), 16);
  pnlLook->Follow();
}

void TPaneActor::Show() {
  if (!Actor()) return;
  lvk::TGame& Game = TItemPane::Game();
  edtActorName->setText(QString::fromStdString(Actor()->Name()));
  cbxActorSolid->setChecked(Actor()->Solid());
  pnlLook->ShowLook();
  SetHeaderIcon(QPixmap::fromImage(ActorImage(Game, *Actor())), 16);
  cbxActorTiles->clear();
  cbxActorTiles->addItem(PictureIcon(Game.NoTileBitmap()), "<no tile>");
  cbxActorTiles->setCurrentIndex(0);
  for (int i = 0; i < Game.TileCount(); ++i) {
    lvk::TTile* Tile = Game.GetTile(i);
    cbxActorTiles->addItem(PictureIcon(Tile->Bitmap()), QString::fromStdString(Tile->Name()));
    if (Tile == Actor()->Tile()) cbxActorTiles->setCurrentIndex(i + 1);
  }
}

void TPaneActor::cbxActorTilesChange(int Index) {
  if (!Actor()) return;
  lvk::TEdit Edit(Game(), "Change actor's tile");
  Actor()->SetTile(Index <= 0 ? nullptr : Game().GetTile(Index - 1));
}

void TPaneActor::cbxActorSolidClick(bool Solid) {
  if (!Actor() || Solid == Actor()->Solid()) return;
  lvk::TEdit Edit(Game(), Solid ? "Make actor solid" : "Make actor not solid");
  Actor()->SetSolid(Solid);
}

void TPaneActor::butNewHandlerClick(TEvtBitBtn* Button) {
  lvk::TActor* Owner = Actor();
  if (!Owner) return;
  lvk::THandler* Handler = nullptr;
  {
    lvk::TEdit Edit(Game(), "New handler");
    Handler = Owner->AddHandler();
    // Empty: no action is what most events need, and two placeholders were
    // only deleted again.
    Handler->SetEvent(Button->EventKind());
  }
  if (Button->CtrlRecord() == 0) Host().SelectItem(*Handler);
}
