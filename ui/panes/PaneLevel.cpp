#include "ui/panes/PaneLevel.h"

#include <algorithm>
#include <functional>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UPalette.h"
#include "model/USound.h"
#include "ui/main/UPaneHost.h"
#include "ui/common/UPictures.h"
#include "ui/panes/UPaneLayout.h"

namespace {

// A size box that sets a value typed below its least to the least, and says
// so, rather than changing it unseen.
class TSizeSpin final : public QSpinBox {
public:
  using QSpinBox::QSpinBox;
  std::function<void(int Typed)> BelowMinimum;

protected:
  void fixup(QString& Input) const override {
    bool Number = false;
    const int Typed = locale().toInt(Input.trimmed(), &Number);
    if (!Number || Typed >= minimum()) return QSpinBox::fixup(Input);
    Input = QString::number(minimum());
    if (BelowMinimum) BelowMinimum(Typed);
  }
};

QIcon Swatch(std::uint32_t Color) {
  QPixmap Picture(16, 16);
  Picture.fill(QColor(lvk::GetRValue(Color), lvk::GetGValue(Color), lvk::GetBValue(Color)));
  QPainter Painter(&Picture);
  Painter.setPen(Qt::black);
  Painter.drawRect(0, 0, 15, 15);
  return QIcon(Picture);
}

QString ColorText(std::uint32_t Color) {
  return QString("%1, %2, %3").arg(lvk::GetRValue(Color)).arg(lvk::GetGValue(Color)).arg(lvk::GetBValue(Color));
}

// Entry 0's colour first (no colour of the level's own), then each other
// entry's; a colour of the level's own that no entry has comes last.
void ShowBackdrops(QComboBox& Box, const lvk::TPalette& Palette, const std::optional<std::uint32_t>& Current) {
  const QSignalBlocker Block(&Box);
  Box.clear();
  if (Palette.Count() > 0)
    Box.addItem(Swatch(Palette.GetEntryColor(0)), "Entry 0's colour");
  else
    Box.addItem("Black (no palette)");
  int Chosen = 0;
  for (int i = 1; i < Palette.Count(); ++i) {
    const std::uint32_t Color = Palette.GetEntryColor(i);
    Box.addItem(Swatch(Color), QString("Entry %1: %2").arg(i).arg(ColorText(Color)), Color);
    if (Current && *Current == Color && Chosen == 0) Chosen = Box.count() - 1;
  }
  if (Current && Chosen == 0) {
    Box.addItem(Swatch(*Current), QString("Own (%1)").arg(ColorText(*Current)), *Current);
    Chosen = Box.count() - 1;
  }
  Box.setCurrentIndex(Chosen);
}

}  // namespace

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
  cbxLevelBackdrop = new QComboBox(this);
  cbxLevelBackdrop->setObjectName("cbxLevelBackdrop");
  cbxLevelBackdrop->setFixedWidth(200);
  SetHints(cbxLevelBackdrop, "The colour behind the level",
           "The colour shown behind the level's tiles and actors, and beyond its edges: palette entry 0's colour, "
           "or one of the palette's colours kept as this level's own (entry 0 stays transparent in every picture)");
  auto* BackdropLabel = new QLabel("&Backdrop", this);
  BackdropLabel->setBuddy(cbxLevelBackdrop);
  QHBoxLayout* BackdropRow = Row(Body());
  BackdropRow->addWidget(BackdropLabel);
  BackdropRow->addWidget(cbxLevelBackdrop);
  BackdropRow->addStretch(1);
  // The two labels line up their boxes.
  const int LabelWidth = std::max(MusicLabel->sizeHint().width(), BackdropLabel->sizeHint().width());
  MusicLabel->setFixedWidth(LabelWidth);
  BackdropLabel->setFixedWidth(LabelWidth);

  auto Spin = [this](const char* Name, int Min, int Max, const QString& Short, const QString& Long) {
    QSpinBox* Box = new TSizeSpin(this);
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
  lblLevelSizeNote = new QLabel(SizeBox);
  lblLevelSizeNote->setObjectName("lblLevelSizeNote");
  lblLevelSizeNote->setWordWrap(true);
  lblLevelSizeNote->hide();
  SizeRows->addWidget(lblLevelSizeNote);
  auto Note = [this](const QString& Text) {
    lblLevelSizeNote->setText(Text);
    lblLevelSizeNote->show();
    FNoteLevel = Level() ? Level()->Id() : lvk::NoItem;
  };
  static_cast<TSizeSpin*>(spnLevelWidth)->BelowMinimum = [Note](int Typed) {
    Note(QString("A width of %1 is narrower than the screen: a level is at least one screen, %2 columns (256 "
                 "pixels) wide, so the width is %2.")
             .arg(Typed)
             .arg(lvk::MinLevelColumns));
  };
  static_cast<TSizeSpin*>(spnLevelHeight)->BelowMinimum = [Note](int Typed) {
    Note(QString("A height of %1 is lower than the screen: a level is at least one screen, %2 rows (192 pixels) "
                 "high, so the height is %2.")
             .arg(Typed)
             .arg(lvk::MinLevelRows));
  };
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
  connect(cbxLevelBackdrop, &QComboBox::activated, this, &TPaneLevel::cbxLevelBackdropChange);
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
  // The note stays while its level is shown, also once its size is set.
  if (Level()->Id() != FNoteLevel) lblLevelSizeNote->hide();
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
  ShowBackdrops(*cbxLevelBackdrop, Game.Palette(), Level()->Backdrop());
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
  // The list of sounds or actors (their names and order), the palette, or
  // this level changed under the pane; a sound's or an actor's settings
  // show nowhere here.
  if (Change.Kind == lvk::TChangeKind::Removing) return;
  const bool Listed = Change.Item == lvk::TItemKind::Sound || Change.Item == lvk::TItemKind::Actor;
  if ((Listed && (Change.Kind != lvk::TChangeKind::Changed || Change.Touches(lvk::cfName))) ||
      (Change.Item == lvk::TItemKind::Palette && Change.Touches(lvk::cfLook)) || Shows(Change))
    Show();
}

void TPaneLevel::cbxLevelBackdropChange(int Index) {
  if (!Level() || Index < 0) return;
  const QVariant Data = cbxLevelBackdrop->itemData(Index);
  const std::optional<std::uint32_t> Color =
      Data.isValid() ? std::optional<std::uint32_t>(Data.toUInt()) : std::nullopt;
  if (Color == Level()->Backdrop()) return;
  lvk::TEdit Edit(Game(), "Change level backdrop");
  Level()->SetBackdrop(Color);
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
