#pragma once
// Tile pictures from and to BMP files, as the tile pane, the tree's drops and
// the item commands offer them.
#include <QString>

#include "ui/common/UDialogService.h"

class QWidget;

namespace lvk {
class TActor;
class TTile;
}

// The tile picture dialogs; both start in the folder last used by either.
TFileDialogRequest TileImportRequest();
TFileDialogRequest TileExportRequest();

// Imports one BMP file into Tile, the step "Import tile". A file that fails
// is told of in a warning box and leaves the tile as it was: false then.
bool ImportTileFile(QWidget* Parent, lvk::TTile& Tile, const QString& Path);
// The warning for a file that failed a tile's import: the reader's Error,
// and for a picture of another kind (a PNG, a JPEG) that tiles are BMP
// files, which the reader's own text does not say.
QString TileImportWarning(const QString& Path, const QString& Error);
// The dialog for a frame's picture, which starts where the tile dialogs do.
TFileDialogRequest FrameImportRequest();
// Imports a BMP of the actor's size into frame Frame of animation Anim, cut
// into the frame's own tiles, the step "Import frame"; told of and false as
// a tile's import.
bool ImportFrameFile(QWidget* Parent, lvk::TActor& Actor, int Anim, int Frame, const QString& Path);
// The folder of Path is where both dialogs start next.
void RememberTileFolder(const QString& Path);
