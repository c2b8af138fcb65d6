#pragma once
// The panes of the tiles: the folder pane with its New and Paint buttons and
// the palette, and the pane of one tile with its picture and transparent colour.
#include "ui/panes/UItemPane.h"

class QComboBox;
class QLabel;

namespace lvk {
class TTile;
}

class TPaneTiles : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneTiles(TPaneHost& Host);
  TCtrlButton* butNewTile;
  QPushButton* butNewPaintedTile;
  QPushButton* butPaletteEditor;
  void butNewTileClick();
  // A new tile, blank (all transparent), in the painter at once.
  void butNewPaintedTileClick();
  void butPaletteEditorClick();
};

class TPaneTile : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneTile(TPaneHost& Host);
  void Show() override;
  lvk::TTile* Tile() const;
  void Follow(const lvk::TChange& Change) override;
  QLineEdit* edtTileName;
  QPushButton* butTileImport;
  QPushButton* butTileExport;
  QPushButton* butTilePaint;
  QLabel* imgTile;  // the picture, large and with crisp pixels
  // "(none)", then each colour of the picture; the data is the colour value
  // (red in the low byte), none for "(none)".
  QComboBox* cbxTileTransparent;
  void cbxTileTransparentChange(int Index);
  // Import of one file into the tile, its failure told in a warning box.
  void ImportFile(const QString& Path);
  void butTileImportClick();
  void butTileExportClick();
  void butTilePaintClick();

private:
  void ShowPicture();
  void ShowTransparentColors();
};
