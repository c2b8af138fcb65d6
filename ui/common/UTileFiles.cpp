#include "ui/common/UTileFiles.h"

#include <QFileInfo>
#include <exception>

#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UFrameTiles.h"
#include "model/UGame.h"
#include "model/UTile.h"
#include "ui/common/UDialogService.h"

namespace {
// Where both tile dialogs start: the folder of the file last imported or exported.
QString TileFolder;
}  // namespace

void RememberTileFolder(const QString& Path) { TileFolder = QFileInfo(Path).absolutePath(); }

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
  RememberTileFolder(Path);
  return true;
}

TFileDialogRequest FrameImportRequest() {
  return {"Import frame image", "Bitmap (*.bmp);;All (*)", "bmp", TileFolder};
}

bool ImportFrameFile(QWidget* Parent, lvk::TActor& Actor, int Anim, int Frame, const QString& Path) {
  try {
    lvk::TEdit Edit(Actor.Owner(), "Import frame");
    lvk::ImportFramePicture(Actor, Anim, Frame, Path.toStdString());
  } catch (const std::exception& E) {
    ShowWarning(Parent, "Error importing bitmap " + FileNamePart(Path) + "\n" + QString::fromUtf8(E.what()));
    return false;
  }
  RememberTileFolder(Path);
  return true;
}
