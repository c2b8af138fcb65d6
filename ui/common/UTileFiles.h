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
// The dialog for a frame's picture, which starts where the tile dialogs do.
TFileDialogRequest FrameImportRequest();
// Imports a BMP of the actor's size into frame Frame of animation Anim, cut
// into the frame's own tiles, the step "Import frame"; told of and false as
// a tile's import.
bool ImportFrameFile(QWidget* Parent, lvk::TActor& Actor, int Anim, int Frame, const QString& Path);
// The folder of Path is where both dialogs start next.
void RememberTileFolder(const QString& Path);
