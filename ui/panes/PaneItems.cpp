#include "ui/panes/PaneItems.h"

#include <algorithm>
#include <optional>

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
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UTile.h"
#include "model/UTileBlock.h"
#include "ui/events/FraActions.h"
#include "ui/panes/UActorLook.h"
#include "ui/events/UEventEditors.h"
#include "ui/common/UHelp.h"
#include "ui/main/UPaneHost.h"
#include "ui/common/UPictures.h"
#include "ui/common/UTileFiles.h"

namespace {

QPixmap Picture(const lvk::TPeekBitmap& Bitmap) { return QPixmap::fromImage(ToImage(Bitmap)); }

// 8x8 pixels shown as 16x16 squares each.
constexpr int LargeTileSize = 128;
// What the colour list of a large picture stops at.
constexpr std::size_t MaxListedColors = 256;
// A comment tells handlers apart in the tree: a few words.
constexpr int MaxCommentLength = 80;

QColor ModelColor(std::uint32_t C) { return QColor(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF); }

QIcon Swatch(std::uint32_t C) {
  QPixmap Square(16, 16);
  Square.fill(ModelColor(C));
  QPainter(&Square).drawRect(0, 0, 15, 15);
  return QIcon(Square);
}

// The picture's colours in the order met, top-left first.
std::vector<std::uint32_t> PictureColors(const lvk::TPeekBitmap& Picture) {
  std::vector<std::uint32_t> Colors;
  try {
    for (int y = 0; y < Picture.Height() && Colors.size() < MaxListedColors; ++y)
      for (int x = 0; x < Picture.Width() && Colors.size() < MaxListedColors; ++x) {
        const std::uint32_t C = Picture.GetColor(x, y);
        if (std::find(Colors.begin(), Colors.end(), C) == Colors.end()) Colors.push_back(C);
      }
  } catch (const lvk::EGame&) {
    // A picture of a format that cannot be read has no colours to pick.
  }
  return Colors;
}

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
    if (ItemId() == lvk::NoItem) return;
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
  butNewPaintedTile = new QPushButton("Paint ne&w tile...", this);
  butNewPaintedTile->setObjectName("butNewPaintedTile");
  SetHints(butNewPaintedTile, "Add a blank tile and paint it",
           "Add a new tile, all transparent, and open the painter on it");
  QHBoxLayout* R = Row(Body());
  R->addWidget(butNewTile);
  R->addWidget(butNewPaintedTile);
  R->addStretch(1);
  R->addWidget(butPaletteEditor);
  Body()->addStretch(1);
  connect(butNewTile, &QPushButton::clicked, this, &TPaneTiles::butNewTileClick);
  connect(butNewPaintedTile, &QPushButton::clicked, this, &TPaneTiles::butNewPaintedTileClick);
  connect(butPaletteEditor, &QPushButton::clicked, this, &TPaneTiles::butPaletteEditorClick);
}

void TPaneTiles::butNewTileClick() {
  lvk::TTile* Tile = nullptr;
  {
    lvk::TEdit Edit(Game(), "New tile");
    Tile = Game().AddTile();
  }
  if (butNewTile->CtrlRecord() == 0) Host().SelectItem(*Tile);
}

void TPaneTiles::butNewPaintedTileClick() {
  lvk::TTile* Tile = nullptr;
  {
    lvk::TEdit Edit(Game(), "New tile");
    Tile = Game().AddTile();
    Tile->SetBitmap(lvk::IndexedTilePicture(lvk::TPixels(lvk::BlockTileSide, lvk::BlockTileSide), 0, 0,
                                            Game().Palette()));
  }
  Host().SelectItem(*Tile);
  Host().PaintTile(*Tile);
}

void TPaneTiles::butPaletteEditorClick() { Host().EditPalette(); }

lvk::TTile* TPaneTile::Tile() const { return Host().Game().TileById(ItemId()); }

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
  butTilePaint = new QPushButton("&Paint...", this);
  butTilePaint->setObjectName("butTilePaint");
  SetHints(butTilePaint, "Paint the tile", "Paint the tile's picture pixel by pixel in the game's colours");
  QHBoxLayout* R = Row(Body());
  R->addWidget(butTileImport);
  R->addWidget(butTileExport);
  R->addWidget(butTilePaint);
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
  cbxTileTransparent = new QComboBox(this);
  cbxTileTransparent->setObjectName("cbxTileTransparent");
  cbxTileTransparent->setIconSize(QSize(16, 16));
  cbxTileTransparent->setMinimumWidth(145);
  SetHints(cbxTileTransparent, "The colour of the picture that is drawn transparent",
           "Pixels of this colour become the transparent palette entry 0 when the game is built and played: "
           "a black background then does not show as black squares");
  auto* TransparentLabel = new QLabel("&Transparent colour", this);
  TransparentLabel->setBuddy(cbxTileTransparent);
  TransparentLabel->setMinimumWidth(TransparentLabel->sizeHint().width() + 8);  // the row must not cut it
  R = Row(Body());
  R->addWidget(TransparentLabel);
  R->addWidget(cbxTileTransparent);
  R->addStretch(1);
  Body()->addStretch(1);
  connect(cbxTileTransparent, &QComboBox::activated, this, &TPaneTile::cbxTileTransparentChange);
  connect(butTileImport, &QPushButton::clicked, this, &TPaneTile::butTileImportClick);
  connect(butTileExport, &QPushButton::clicked, this, &TPaneTile::butTileExportClick);
  connect(butTilePaint, &QPushButton::clicked, this, &TPaneTile::butTilePaintClick);
}

void TPaneTile::Show() {
  if (!Tile()) return;
  ShowPicture();
  edtTileName->setText(QString::fromStdString(Tile()->Name()));
}

void TPaneTile::Follow(const lvk::TChange& Change) {
  if (Shows(Change) && Change.Kind == lvk::TChangeKind::Changed) ShowPicture();
}

void TPaneTile::ShowPicture() {
  const QPixmap Small = Picture(Game().GetTileBitmap(Tile()));
  SetHeaderIcon(Small, 16);
  // Nearest neighbour: every pixel a sharp square.
  QPixmap Large = Small.scaled(LargeTileSize, LargeTileSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  // Pixels the game leaves transparent show a checkerboard, as in paint programs.
  const lvk::TPeekBitmap& Bitmap = Tile()->Bitmap();
  if (!Large.isNull() && Bitmap.Width() == 8 && Bitmap.Height() == 8) {
    QPainter Paint(&Large);
    const int Side = LargeTileSize / 8, Half = Side / 2;
    try {
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          if (!Tile()->PixelTransparent(x, y)) continue;
          Paint.fillRect(x * Side, y * Side, Side, Side, QColor(255, 255, 255));
          Paint.fillRect(x * Side, y * Side, Half, Half, QColor(204, 204, 204));
          Paint.fillRect(x * Side + Half, y * Side + Half, Half, Half, QColor(204, 204, 204));
        }
    } catch (const lvk::EGame&) {
      // Unreadable pixels: the picture shows as it is.
    }
  }
  imgTile->setPixmap(Large);
  ShowTransparentColors();
}

void TPaneTile::ShowTransparentColors() {
  const QSignalBlocker Quiet(cbxTileTransparent);
  cbxTileTransparent->clear();
  cbxTileTransparent->addItem("(none)");
  const std::optional<std::uint32_t> Current = Tile()->TransparentColor();
  std::vector<std::uint32_t> Colors = PictureColors(Tile()->Bitmap());
  // A colour kept from an earlier picture stays visible, so it can be taken off.
  if (Current && std::find(Colors.begin(), Colors.end(), *Current) == Colors.end()) Colors.push_back(*Current);
  for (std::uint32_t C : Colors) {
    const QColor Q = ModelColor(C);
    cbxTileTransparent->addItem(Swatch(C), QString("%1, %2, %3").arg(Q.red()).arg(Q.green()).arg(Q.blue()),
                                QVariant::fromValue<uint>(C));
    if (Current == C) cbxTileTransparent->setCurrentIndex(cbxTileTransparent->count() - 1);
  }
  cbxTileTransparent->setEnabled(cbxTileTransparent->count() > 1);
}

void TPaneTile::cbxTileTransparentChange(int Index) {
  if (!Tile()) return;
  const QVariant Data = cbxTileTransparent->itemData(Index);
  const std::optional<std::uint32_t> Color = Data.isValid() ? std::optional<std::uint32_t>(Data.toUInt()) : std::nullopt;
  if (Color == Tile()->TransparentColor()) return;
  lvk::TEdit Edit(Game(), Color ? "Set transparent colour" : "Clear transparent colour");
  Tile()->SetTransparentColor(Color);
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
  RememberTileFolder(Path);
}

void TPaneTile::butTilePaintClick() {
  if (Tile()) Host().PaintTile(*Tile());
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
  if (Shows(Change) && Change.Kind == lvk::TChangeKind::Changed) {
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
  if (Button->CtrlRecord() == 0) Host().SelectItem(*Handler);
}

// ---- Handlers ----

lvk::THandler* TPaneHandler::Handler() const { return Host().Game().HandlerById(ItemId()); }

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
  edtHandlerComment = new QLineEdit(this);
  edtHandlerComment->setObjectName("edtHandlerComment");
  edtHandlerComment->setMaxLength(MaxCommentLength);
  edtHandlerComment->setPlaceholderText("A note that tells this handler apart");
  SetHints(edtHandlerComment, "A short comment, shown after the handler in the tree",
           "A short comment, shown after the handler's summary in the tree, so two handlers of one kind can be "
           "told apart; Enter or leaving the field keeps it");
  BindNameField(edtHandlerComment, "Change handler comment",
                [this](const std::string& Text) {
                  Handler()->SetComment(Text);
                  edtHandlerComment->setModified(false);  // taken: an undo may show another text
                });
  auto* CommentLabel = new QLabel("Commen&t", this);
  CommentLabel->setBuddy(edtHandlerComment);
  QHBoxLayout* CommentRow = Row(Body());
  CommentRow->addWidget(CommentLabel);
  CommentRow->addWidget(edtHandlerComment, 1);
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
  edtHandlerComment->setText(QString::fromStdString(Handler()->Comment()));
}

void TPaneHandler::Follow(const lvk::TChange& Change) {
  // Not over what the user is typing: the notice may be of an action.
  if (Shows(Change) && Change.Kind == lvk::TChangeKind::Changed &&
      !(edtHandlerComment->hasFocus() && edtHandlerComment->isModified()))
    edtHandlerComment->setText(QString::fromStdString(Handler()->Comment()));
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
  if (butNewLevel->CtrlRecord() == 0) Host().SelectItem(*Level);
}

lvk::TLevel* TPaneLevel::Level() const { return Host().Game().LevelById(ItemId()); }

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

  auto Spin = [this](const char* Name, int Min, int Max, const QString& Short, const QString& Long) {
    auto* Box = new QSpinBox(this);
    Box->setObjectName(Name);
    Box->setRange(Min, Max);
    Box->setFixedWidth(64);
    SetHints(Box, Short, Long);
    return Box;
  };
  auto* SizeBox = new QGroupBox("Size in cells", this);
  auto* SizeRows = new QVBoxLayout(SizeBox);
  spnLevelWidth = Spin("spnLevelWidth", lvk::MinLevelColumns, lvk::MaxLevelColumns, "Columns of the level",
                       "Columns of the level: 32 is one screen, 256 the most (2,048 pixels)");
  spnLevelHeight = Spin("spnLevelHeight", lvk::MinLevelRows, lvk::MaxLevelRows, "Rows of the level",
                        "Rows of the level: 24 is one screen, 256 the most (2,048 pixels)");
  cbxLevelAnchor = new QComboBox(SizeBox);
  cbxLevelAnchor->setObjectName("cbxLevelAnchor");
  for (const char* Place : {"Top left", "Top", "Top right", "Left", "Middle", "Right", "Bottom left", "Bottom",
                            "Bottom right"})
    cbxLevelAnchor->addItem(Place);
  SetHints(cbxLevelAnchor, "Where the cells stay when the size changes",
           "Where the level's cells stay when its size changes: new cells are added, or cells dropped, on the other "
           "sides");
  butLevelResize = new QPushButton("Set si&ze", SizeBox);
  butLevelResize->setObjectName("butLevelResize");
  SetHints(butLevelResize, "Give the level the size above",
           "Give the level the size above, keeping its cells at the chosen place (one undo step)");
  auto* WidthLabel = new QLabel("&Width", SizeBox);
  WidthLabel->setBuddy(spnLevelWidth);
  auto* HeightLabel = new QLabel("Heigh&t", SizeBox);
  HeightLabel->setBuddy(spnLevelHeight);
  QHBoxLayout* SizeRow = Row(SizeRows);
  SizeRow->addWidget(WidthLabel);
  SizeRow->addWidget(spnLevelWidth);
  SizeRow->addWidget(HeightLabel);
  SizeRow->addWidget(spnLevelHeight);
  SizeRow->addStretch(1);
  auto* AnchorLabel = new QLabel("&Keep cells at", SizeBox);
  AnchorLabel->setBuddy(cbxLevelAnchor);
  QHBoxLayout* AnchorRow = Row(SizeRows);
  AnchorRow->addWidget(AnchorLabel);
  AnchorRow->addWidget(cbxLevelAnchor);
  AnchorRow->addWidget(butLevelResize);
  AnchorRow->addStretch(1);
  Body()->addWidget(SizeBox);

  auto* CameraBox = new QGroupBox("Camera", this);
  auto* CameraRows = new QVBoxLayout(CameraBox);
  cbxCameraFollow = new QComboBox(CameraBox);
  cbxCameraFollow->setObjectName("cbxCameraFollow");
  cbxCameraFollow->setFixedWidth(145);
  SetHints(cbxCameraFollow, "The actor the camera follows",
           "The actor the camera follows, starting at its first instance; (none): the camera stays at the top left "
           "until an action moves it");
  spnDeadWidth = Spin("spnDeadWidth", 0, lvk::TLevelCamera::MaxDeadWidth, "Dead zone width, pixels",
                      "Width of the box in the screen's middle inside which the followed actor moves without "
                      "scrolling");
  spnDeadHeight = Spin("spnDeadHeight", 0, lvk::TLevelCamera::MaxDeadHeight, "Dead zone height, pixels",
                       "Height of the box in the screen's middle inside which the followed actor moves without "
                       "scrolling");
  chkLockX = new QCheckBox("Lock &across", CameraBox);
  chkLockX->setObjectName("chkLockX");
  SetHints(chkLockX, "The camera never scrolls left or right");
  chkLockY = new QCheckBox("Lock &up and down", CameraBox);
  chkLockY->setObjectName("chkLockY");
  SetHints(chkLockY, "The camera never scrolls up or down");
  auto* FollowLabel = new QLabel("F&ollows", CameraBox);
  FollowLabel->setBuddy(cbxCameraFollow);
  QHBoxLayout* FollowRow = Row(CameraRows);
  FollowRow->addWidget(FollowLabel);
  FollowRow->addWidget(cbxCameraFollow);
  FollowRow->addStretch(1);
  auto* DeadLabel = new QLabel("&Dead zone", CameraBox);
  DeadLabel->setBuddy(spnDeadWidth);
  QHBoxLayout* DeadRow = Row(CameraRows);
  DeadRow->addWidget(DeadLabel);
  DeadRow->addWidget(spnDeadWidth);
  DeadRow->addWidget(new QLabel("x", CameraBox));
  DeadRow->addWidget(spnDeadHeight);
  DeadRow->addStretch(1);
  QHBoxLayout* LockRow = Row(CameraRows);
  LockRow->addWidget(chkLockX);
  LockRow->addWidget(chkLockY);
  LockRow->addStretch(1);
  Body()->addWidget(CameraBox);
  Body()->addStretch(1);
  connect(butEditLayout, &QPushButton::clicked, this, &TPaneLevel::butEditLayoutClick);
  connect(cbxLevelMusic, &QComboBox::activated, this, &TPaneLevel::cbxLevelMusicChange);
  connect(butLevelResize, &QPushButton::clicked, this, &TPaneLevel::butLevelResizeClick);
  connect(cbxCameraFollow, &QComboBox::activated, this, &TPaneLevel::CameraChange);
  // Typed numbers count when the box is left or Enter pressed, not per key.
  connect(spnDeadWidth, &QSpinBox::editingFinished, this, &TPaneLevel::CameraChange);
  connect(spnDeadHeight, &QSpinBox::editingFinished, this, &TPaneLevel::CameraChange);
  connect(chkLockX, &QCheckBox::clicked, this, &TPaneLevel::CameraChange);
  connect(chkLockY, &QCheckBox::clicked, this, &TPaneLevel::CameraChange);
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
  spnLevelWidth->setValue(Level()->Width());
  spnLevelHeight->setValue(Level()->Height());
  const lvk::TLevelCamera& Camera = Level()->Camera();
  cbxCameraFollow->clear();
  cbxCameraFollow->addItem("(none)");
  for (int i = 0; i < Game.ActorCount(); ++i) {
    const lvk::TActor* Actor = Game.GetActor(i);
    cbxCameraFollow->addItem(QString::fromStdString(Actor->Name()), QString::fromStdString(Actor->Name()));
    if (Actor == Camera.Follow) cbxCameraFollow->setCurrentIndex(i + 1);
  }
  if (!Camera.Follow) cbxCameraFollow->setCurrentIndex(0);
  const QSignalBlocker BlockW(spnDeadWidth), BlockH(spnDeadHeight);
  spnDeadWidth->setValue(Camera.DeadWidth);
  spnDeadHeight->setValue(Camera.DeadHeight);
  chkLockX->setChecked(Camera.LockX);
  chkLockY->setChecked(Camera.LockY);
}

void TPaneLevel::butLevelResizeClick() {
  if (!Level()) return;
  const int Width = spnLevelWidth->value(), Height = spnLevelHeight->value();
  const int Anchor = std::max(0, cbxLevelAnchor->currentIndex());
  const lvk::TLevelAnchor At{Anchor % 3, Anchor / 3};
  if (Width == Level()->Width() && Height == Level()->Height()) return;
  const int Dropped = Level()->CellsDropped(Width, Height, At);
  if (Dropped > 0 &&
      !AskYesNo(this, QString("Making the level %1 x %2 drops %3 placed actor%4. Continue?")
                          .arg(Width)
                          .arg(Height)
                          .arg(Dropped)
                          .arg(Dropped == 1 ? "" : "s"))) {
    Show();
    return;
  }
  lvk::TEdit Edit(Game(), "Change level size");
  Level()->SetSize(Width, Height, At);
}

void TPaneLevel::CameraChange() {
  if (!Level()) return;
  lvk::TLevelCamera Camera;
  const int Index = cbxCameraFollow->currentIndex();
  Camera.Follow =
      Index <= 0 ? nullptr : Game().FindActorByName(cbxCameraFollow->itemData(Index).toString().toStdString());
  Camera.DeadWidth = spnDeadWidth->value();
  Camera.DeadHeight = spnDeadHeight->value();
  Camera.LockX = chkLockX->isChecked();
  Camera.LockY = chkLockY->isChecked();
  if (Camera == Level()->Camera()) return;
  lvk::TEdit Edit(Game(), "Change level camera");
  Level()->SetCamera(Camera);
}

void TPaneLevel::Follow(const lvk::TChange& Change) {
  // The list of sounds or actors, or this level, changed under the pane.
  if (Change.Kind != lvk::TChangeKind::Removing &&
      (Change.Item == lvk::TItemKind::Sound || Change.Item == lvk::TItemKind::Actor || Shows(Change)))
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
