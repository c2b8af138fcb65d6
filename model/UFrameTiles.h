#pragma once
// Frames with tiles of their own. A frame made from another (Add frame) or
// from a picture gets new tiles, named after its actor, animation and
// frame, so painting it leaves every other frame as it was; a tile the
// user put into several frames on purpose stays shared until then.
#include <string>
#include <vector>

namespace lvk {

class TActor;
class TGame;
class TTile;
class TPeekBitmap;

// A free tile name for cell Cell of frame Frame of animation Anim, both
// counted from 0 here and from 1 in the name: "aHero_walk_2_3" is the third
// cell of the walk's second frame; an 8x8 actor's frame has no cell number.
std::string FrameTileName(const TActor& Actor, int Anim, int Frame, int Cell);

// A new tile of the game named for the cell, put into it; with Like's
// picture and transparent colour when given, else with the new tile's.
TTile* AddFrameTile(TActor& Actor, int Anim, int Frame, int Cell, const TTile* Like = nullptr);

// Every cell of the frame that shows a tile gets a copy of it, named for
// the cell. Inside the caller's edit.
void CopyFrameTiles(TActor& Actor, int Anim, int Frame);

// Whether Tile is shown by nothing but that cell: no other cell of any
// frame, no actor drawn with it, no action naming it.
bool TileOnlyInCell(const TActor& Actor, int Anim, int Frame, int Cell, const TTile* Tile);

// The 8x8 part at cell (Column, Row) of Picture, in Picture's own format.
TPeekBitmap CutTilePicture(const TPeekBitmap& Picture, int Column, int Row);

// Reads a BMP of the actor's size into the frame, cell by cell in full
// colour as a tile's import keeps it. A cell whose tile is the frame's own
// gets the picture; any other cell a new tile. A file that cannot be read
// or is not of the actor's size raises EGame with a tile import's words
// ("Width of image is 24, but it must be 16") and changes nothing.
void ImportFramePicture(TActor& Actor, int Anim, int Frame, const std::string& FileName);

// The actors whose frames show Tile, with the frames, in list order.
struct TFrameUse {
  const TActor* Actor;
  // One an animation: "walk frames 1, 2", "jump frame 3".
  std::vector<std::string> Frames;
};
std::vector<TFrameUse> FramesShowing(const TGame& Game, const TTile* Tile);

}  // namespace lvk
