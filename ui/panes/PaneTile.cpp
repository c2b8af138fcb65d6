#include "ui/panes/PaneTile.h"

#include <algorithm>
#include <optional>

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "model/UDocument.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/UTile.h"
#include "model/UTileBlock.h"
#include "ui/main/UPaneHost.h"
#include "ui/common/UPictures.h"
#include "ui/common/UTileFiles.h"
#include "ui/panes/UPaneLayout.h"

namespace {

QPixmap Picture(const lvk::TPeekBitmap& Bitmap) { return QPixmap::fromImage(ToImage(Bitmap)); }

// 8x8 pixels shown as 16x16 squares each.
constexpr int LargeTileSize = 128;
// What the colour list of a large picture stops at.
constexpr std::size_t MaxListedColors = 256;

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

}  // namespace

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
  // A painted tile is indexed in the game's palette: its entry 0 pixels are
  // the transparent ones, whatever colour entry 0 has.
  const lvk::TPeekBitmap& Bitmap = Tile()->Bitmap();
  if (!Large.isNull() && Bitmap.Width() == 8 && Bitmap.Height() == 8) {
    QPainter Paint(&Large);
    const int Side = LargeTileSize / 8, Half = Side / 2;
    const bool Painted = lvk::IndexedInPalette(Bitmap, Game().Palette());
    try {
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          if (!(Painted && Bitmap.ScanLine(y)[x] == 0) && !Tile()->PixelTransparent(x, y)) continue;
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
