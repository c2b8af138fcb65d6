#include "ui/panes/PaneItems.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UTile.h"
#include "ui/events/FraActions.h"
#include "ui/panes/UActorLook.h"
#include "ui/events/UEventEditors.h"
#include "ui/common/UHelp.h"
#include "ui/main/UPaneHost.h"
#include "ui/common/UPictures.h"

namespace {

// Where both tile dialogs start: the folder of the file last imported or exported.
QString TileFolder;

QPixmap Picture(const lvk::TPeekBitmap& Bitmap) { return QPixmap::fromImage(ToImage(Bitmap)); }

// 8x8 pixels shown as 16x16 squares each.
constexpr int LargeTileSize = 128;

void SetHints(QWidget* W, const QString& Short, const QString& Long = {}) {
  W->setToolTip(Short);
  W->setStatusTip(Long.isEmpty() ? Short : Long);
}

QHBoxLayout* Row(QVBoxLayout* Into) {
  auto* R = new QHBoxLayout;
  Into->addLayout(R);
  return R;
}

// Runs Leave when the focus moves from the field to another control. Not
// when the window loses it: a box shown for the name takes the focus too.
class TLeaveWatch final : public QObject {
public:
  TLeaveWatch(QLineEdit* Field, std::function<void()> Leave) : QObject(Field), FLeave(std::move(Leave)) {
    Field->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::FocusOut) {
      const Qt::FocusReason Reason = static_cast<QFocusEvent*>(Event)->reason();
      if (Reason != Qt::ActiveWindowFocusReason && Reason != Qt::PopupFocusReason) FLeave();
    }
    return false;
  }

private:
  std::function<void()> FLeave;
};

}  // namespace

TFileDialogRequest TileImportRequest() {
  return {"Import tile image", "Bitmap (*.bmp);;All (*)", "bmp", TileFolder};
}

TFileDialogRequest TileExportRequest() {
  return {"Export tile image", "Bitmap (*.bmp);;All (*)", "bmp", TileFolder};
}

bool ImportTileFile(QWidget* Parent, lvk::TTile& Tile, const QString& Path) {
  try {
    // A picture that fails its checks goes back with the step.
    lvk::TEdit Edit(Tile.Owner(), "Import tile");
    Tile.ImportBitmap(Path.toStdString());
  } catch (const std::exception& E) {
    ShowWarning(Parent, "Error importing bitmap " + FileNamePart(Path) + "\n" + QString::fromUtf8(E.what()));
    return false;
  }
  TileFolder = QFileInfo(Path).absolutePath();
  return true;
}

// ---- Buttons ----

void TCtrlButton::mousePressEvent(QMouseEvent* Event) {
  FCtrlRecord = (Event->modifiers() & Qt::ControlModifier) ? 1 : 0;
  QPushButton::mousePressEvent(Event);
}

TEvtBitBtn::TEvtBitBtn(const lvk::TEventKind& Kind, QWidget* Parent) : TCtrlButton(Parent), FKind(Kind) {
  setIcon(IconPixmap(Kind.Icon()));
  setIconSize(QSize(16, 16));
  SetHints(this, QString::fromStdString(Kind.DisplayName()), QString::fromStdString(Kind.Description()));
}

// ---- The common parts ----

TItemPane::TItemPane(TPaneHost& Host, const QString& Name, const QString& Caption, const QString& LongHint,
                     const QString& Keyword)
    : TPane(Name, Caption, LongHint, Keyword), FHost(Host) {}

lvk::TGame& TItemPane::Game() const { return FHost.Game(); }

QLineEdit* TItemPane::NameField(const QString& ObjectName, const QString& Hint) {
  auto* Field = new QLineEdit(this);
  Field->setObjectName(ObjectName);
  Field->setFixedWidth(121);
  SetHints(Field, Hint);
  auto* Label = new QLabel("&Name", this);
  Label->setBuddy(Field);
  QHBoxLayout* R = Row(Body());
  R->addWidget(Label);
  R->addWidget(Field);
  R->addStretch(1);
  return Field;
}

void TItemPane::BindNameField(QLineEdit* Field, const char* Step, std::function<void(const std::string&)> Rename) {
  // Enter and leaving the field both check the text, also when it did not
  // change since a rejected Enter (editingFinished would stay silent then).
  auto Commit = [this, Field, Step, Rename] {
    if (!Tag()) return;
    try {
      lvk::TEdit Edit(Game(), Step);
      Rename(Field->text().toStdString());
    } catch (const std::exception& E) {
      // The application's error box, shown here rather than by unwinding
      // through Qt; the field keeps the rejected text.
      ShowErrorBox(this, QString::fromUtf8(E.what()));
    }
  };
  connect(Field, &QLineEdit::returnPressed, this, Commit);
  new TLeaveWatch(Field, Commit);
}

TCtrlButton* TItemPane::NewButton(const QString& ObjectName, const QString& Glyph, const QString& Caption,
                                  const QString& ShortHint, const QString& LongHint) {
  auto* Button = new TCtrlButton(Caption, this);
  Button->setObjectName(ObjectName);
  Button->setIcon(UiPixmap(Glyph));
  Button->setIconSize(QSize(16, 16));
  Button->setFixedSize(90, 25);
  SetHints(Button, ShortHint, LongHint);
  return Button;
}

// ---- Tiles ----

TPaneTiles::TPaneTiles(TPaneHost& Host)
    : TItemPane(Host, "tsTiles", "Tiles", "Tiles pane for managing the set of tiles", "main-tiles") {
  SetHeaderIcon(UiPixmap("BmpTiles18x18"));
  butNewTile = NewButton("butNewTile", "BmpTilesNew16x16", "&New tile", "Add a new tile",
                         "Add a new tile (use ctrl-click for keeping focus)");
  butPaletteEditor = new QPushButton("Edit &palette", this);  // Alt+E opens the Edit menu
  butPaletteEditor->setObjectName("butPaletteEditor");
  butPaletteEditor->setFixedSize(107, 25);
  SetHints(butPaletteEditor, "Edit the color palette");
  QHBoxLayout* R = Row(Body());
  R->addWidget(butNewTile);
  R->addStretch(1);
  R->addWidget(butPaletteEditor);
  Body()->addStretch(1);
  connect(butNewTile, &QPushButton::clicked, this, &TPaneTiles::butNewTileClick);
  connect(butPaletteEditor, &QPushButton::clicked, this, &TPaneTiles::butPaletteEditorClick);
}

void TPaneTiles::butNewTileClick() {
  lvk::TTile* Tile = nullptr;
  {
    lvk::TEdit Edit(Game(), "New tile");
    Tile = Game().AddTile();
  }
  if (butNewTile->CtrlRecord() == 0) Host().SelectItem(Tile);
}

void TPaneTiles::butPaletteEditorClick() { Host().EditPalette(); }

TPaneTile::TPaneTile(TPaneHost& Host)
    : TItemPane(Host, "tsTile", "Tile", "Tile pane for editing the attributes of a tile", "main-tile") {
  edtTileName = NameField("edtTileName", "The name of the tile");
  BindNameField(edtTileName, "Rename tile", [this](const std::string& N) { Tile()->SetName(N); });
  butTileImport = new QPushButton("&Import", this);
  butTileImport->setObjectName("butTileImport");
  SetHints(butTileImport, "Import a picture as tile");
  butTileExport = new QPushButton("E&xport", this);
  butTileExport->setObjectName("butTileExport");
  SetHints(butTileExport, "Export tile as bitmap");
  QHBoxLayout* R = Row(Body());
  R->addWidget(butTileImport);
  R->addWidget(butTileExport);
  R->addStretch(1);
  imgTile = new QLabel(this);
  imgTile->setObjectName("imgTile");
  imgTile->setFrameShape(QFrame::Box);
  imgTile->setLineWidth(1);
  imgTile->setFixedSize(LargeTileSize + 2, LargeTileSize + 2);
  imgTile->setAlignment(Qt::AlignCenter);
  SetHints(imgTile, "The tile's picture, enlarged",
           "The tile's picture, enlarged; import a BMP file or drop one on the tile in the tree");
  Row(Body())->addWidget(imgTile, 0, Qt::AlignLeft);
  Body()->addStretch(1);
  connect(butTileImport, &QPushButton::clicked, this, &TPaneTile::butTileImportClick);
  connect(butTileExport, &QPushButton::clicked, this, &TPaneTile::butTileExportClick);
}

void TPaneTile::Show() {
  if (!Tile()) return;
  ShowPicture();
  edtTileName->setText(QString::fromStdString(Tile()->Name()));
}

void TPaneTile::Follow(const lvk::TChange& Change) {
  if (Change.Object == Tile() && Change.Kind == lvk::TChangeKind::Changed) ShowPicture();
}

void TPaneTile::ShowPicture() {
  const QPixmap Small = Picture(Game().GetTileBitmap(Tile()));
  SetHeaderIcon(Small, 16);
  // Nearest neighbour: every pixel a sharp square.
  imgTile->setPixmap(Small.scaled(LargeTileSize, LargeTileSize, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

void TPaneTile::ImportFile(const QString& Path) {
  if (!Tile()) return;  // released while the file dialog was up
  ImportTileFile(this, *Tile(), Path);
  if (Tile()) ShowPicture();
}

// A pane's commands do nothing once it was released (a delayed click can
// come after a delete or New took its element away).

void TPaneTile::butTileImportClick() {
  if (!Tile()) return;
  const QString Path = Dialogs().OpenFile(this, TileImportRequest());
  if (!Path.isEmpty()) ImportFile(Path);
}

void TPaneTile::butTileExportClick() {
  if (!Tile()) return;
  const QString Path = Dialogs().SaveFile(this, TileExportRequest());
  if (Path.isEmpty() || !Tile()) return;
  try {
    Tile()->Bitmap().SaveToFile(Path.toStdString());
  } catch (const std::exception& E) {
    ShowWarning(this, "Error exporting bitmap " + FileNamePart(Path) + "\n" + QString::fromUtf8(E.what()));
    return;
  }
  TileFolder = QFileInfo(Path).absolutePath();
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
  if (butNewActor->CtrlRecord() == 0) Host().SelectItem(Actor);
}

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
  if (Change.Object == Actor() && Change.Kind == lvk::TChangeKind::Changed) {
    SetHeaderIcon(Picture(Game().GetActorBitmap(Actor())), 16);
    pnlLook->Follow();
  }
}

void TPaneActor::Show() {
  if (!Actor()) return;
  lvk::TGame& Game = TItemPane::Game();
  edtActorName->setText(QString::fromStdString(Actor()->Name()));
  cbxActorSolid->setChecked(Actor()->Solid());
  pnlLook->ShowLook();
  SetHeaderIcon(Picture(Game.GetActorBitmap(Actor())), 16);
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
    Handler->SetEvent(Button->EventKind());
    // The two actions come first, so the handler's pane lists them.
    Handler->AddAction(lvk::TActionSetSpeedSize::ClassKind());
    Handler->AddAction(lvk::TActionSetSpeedDir::ClassKind());
  }
  if (Button->CtrlRecord() == 0) Host().SelectItem(Handler);
}

// ---- Handlers ----

TPaneHandler::TPaneHandler(TPaneHost& Host)
    : TItemPane(Host, "tsHandler", "Handler", "Event pane for managing the attributes of an event", "main-handler") {
  auto* Strip = new QWidget(this);
  Strip->setFixedHeight(69);
  auto* StripLayout = new QHBoxLayout(Strip);
  StripLayout->setContentsMargins(0, 0, 0, 0);
  gbxEventEditor = new QGroupBox(Strip);
  gbxEventEditor->setObjectName("gbxEventEditor");
  auto* EditorLayout = new QVBoxLayout(gbxEventEditor);
  EditorLayout->setContentsMargins(2, 2, 2, 2);
  auto* Column = new QWidget(Strip);
  Column->setFixedWidth(64);
  auto* ColumnLayout = new QVBoxLayout(Column);
  ColumnLayout->setContentsMargins(2, 2, 2, 2);
  butEventOther = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), "&Other", Column);
  butEventOther->setObjectName("butEventOther");
  butEventOther->setFixedSize(60, 25);
  SetHints(butEventOther, "Changes the type of the event (OnCreate, OnKey, ...)");
  butEventHelp = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), "He&lp", Column);
  butEventHelp->setObjectName("butEventHelp");
  butEventHelp->setFixedSize(60, 25);
  SetHints(butEventHelp, "Help on the event type");
  ColumnLayout->addWidget(butEventOther);
  ColumnLayout->addWidget(butEventHelp);
  StripLayout->addWidget(gbxEventEditor, 1);
  StripLayout->addWidget(Column);
  Body()->addWidget(Strip);
  fraActions = new TfraActions(this);
  Body()->addWidget(fraActions, 1);
  connect(butEventOther, &QPushButton::clicked, this, &TPaneHandler::butEventOtherClick);
  connect(butEventHelp, &QPushButton::clicked, this, &TPaneHandler::butEventHelpClick);
}

void TPaneHandler::Show() {
  if (!Handler() || !Handler()->Event()) return;
  const lvk::TEventKind& Kind = Handler()->Event()->Kind();
  SetCaption(QString::fromStdString(Kind.DisplayName()) + " handler");
  SetHeaderIcon(IconPixmap(Kind.Icon()), 16);
  delete FEditor;  // the frame of the event shown last, maybe of a replaced event
  FEditor = CreateEventEditor(*Handler()->Event(), gbxEventEditor, {});
  fraActions->SetHandler(Handler());
}

void TPaneHandler::Release() {
  // The frame holds the handler's event.
  delete FEditor;
  FEditor = nullptr;
  fraActions->SetHandler(nullptr);
  TItemPane::Release();
}

void TPaneHandler::butEventOtherClick() {
  if (!Handler()) return;
  Host().SelectEvent(*Handler());
  if (Handler()) Show();
}

void TPaneHandler::butEventHelpClick() {
  if (!Handler() || !Handler()->Event()) return;
  HelpByKeyword("event-" + QString::fromStdString(Handler()->Event()->Kind().DisplayName()).toLower(), this);
}

// ---- Levels ----

TPaneLevels::TPaneLevels(TPaneHost& Host)
    : TItemPane(Host, "tsLevels", "Levels", "Levels pane for managing the set of levels", "main-levels") {
  SetHeaderIcon(UiPixmap("BmpLevels18x18"));
  butNewLevel = NewButton("butNewLevel", "BmpLevelsNew16x16", "&New level", "Add a new level",
                          "Add a new level (use ctrl-click for keeping focus)");
  Row(Body())->addWidget(butNewLevel, 0, Qt::AlignLeft);
  Body()->addStretch(1);
  connect(butNewLevel, &QPushButton::clicked, this, &TPaneLevels::butNewLevelClick);
}

void TPaneLevels::butNewLevelClick() {
  lvk::TLevel* Level = nullptr;
  {
    lvk::TEdit Edit(Game(), "New level");
    Level = Game().AddLevel();
    Level->SetSize(32, 24);
  }
  if (butNewLevel->CtrlRecord() == 0) Host().SelectItem(Level);
}

TPaneLevel::TPaneLevel(TPaneHost& Host)
    : TItemPane(Host, "tsLevel", "Level", "Level pane for editing the attributes of a level", "main-level") {
  SetHeaderIcon(UiPixmap("BmpLevel18x18"));
  edtLevelName = NameField("edtLevelName", "The name of the level");
  BindNameField(edtLevelName, "Rename level", [this](const std::string& N) { Level()->SetName(N); });
  butEditLayout = new QPushButton("Edit &layout", this);
  butEditLayout->setObjectName("butEditLayout");
  butEditLayout->setFixedSize(120, 21);
  SetHints(butEditLayout, "Edit initial layout of the level");
  Row(Body())->addWidget(butEditLayout, 0, Qt::AlignLeft);
  cbxLevelMusic = new QComboBox(this);
  cbxLevelMusic->setObjectName("cbxLevelMusic");
  cbxLevelMusic->setFixedWidth(145);
  SetHints(cbxLevelMusic, "A sound that loops while the level plays",
           "The level's music: a sound of the game that loops from the level's start to its end, beside the "
           "sounds its actors play");
  auto* MusicLabel = new QLabel("&Music", this);
  MusicLabel->setBuddy(cbxLevelMusic);
  QHBoxLayout* R = Row(Body());
  R->addWidget(MusicLabel);
  R->addWidget(cbxLevelMusic);
  R->addStretch(1);
  Body()->addStretch(1);
  connect(butEditLayout, &QPushButton::clicked, this, &TPaneLevel::butEditLayoutClick);
  connect(cbxLevelMusic, &QComboBox::activated, this, &TPaneLevel::cbxLevelMusicChange);
}

void TPaneLevel::Show() {
  if (!Level()) return;
  edtLevelName->setText(QString::fromStdString(Level()->Name()));
  const lvk::TGame& Game = TItemPane::Game();
  cbxLevelMusic->clear();
  cbxLevelMusic->addItem("(none)");
  for (int i = 0; i < Game.SoundCount(); ++i) {
    const lvk::TSound* Sound = Game.GetSound(i);
    cbxLevelMusic->addItem(UiPixmap("BmpSound18x18"), QString::fromStdString(Sound->Name()),
                           QString::fromStdString(Sound->Name()));
    if (Sound == Level()->Music()) cbxLevelMusic->setCurrentIndex(i + 1);
  }
  if (!Level()->Music()) cbxLevelMusic->setCurrentIndex(0);
}

void TPaneLevel::Follow(const lvk::TChange& Change) {
  // The list of sounds, or this level's music, changed under the pane.
  if (Change.Kind != lvk::TChangeKind::Removing && (Change.Item == lvk::TItemKind::Sound || Change.Object == Level()))
    Show();
}

void TPaneLevel::cbxLevelMusicChange(int Index) {
  if (!Level()) return;
  // By name: the list may be older than the game's sounds.
  lvk::TSound* Music =
      Index <= 0 ? nullptr : Game().FindSoundByName(cbxLevelMusic->itemData(Index).toString().toStdString());
  if (Music == Level()->Music()) return;
  lvk::TEdit Edit(Game(), "Change level music");
  Level()->SetMusic(Music);
}

void TPaneLevel::butEditLayoutClick() {
  if (Level()) Host().EditLevelLayout(*Level());
}
