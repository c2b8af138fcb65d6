#pragma once
// What a document tells its listeners: which item changed and how. Items
// are named by kind and id (UItemId.h); the notice of a removal comes while
// the item still exists, so a view can let go of it first. No view type
// appears here: views implement the listener.
#include "model/UItemId.h"

namespace lvk {

enum class TChangeKind {
  Added,     // a new item at the end of its list (a handler: of its actor's)
  Removing,  // the item is about to go; it still exists
  Renamed,   // its name changed
  Changed,   // something else of it changed (a handler: its event or actions)
  Moved,     // it moved to another place in its list
  Refreshed, // Item is the game: any item may have changed in place, none came or went
  Replaced,  // Item is the new game: every item of the old one is gone
  Edited,    // an edit ended; the undo history and the saved state may have moved
  Saved,     // the game was saved or opened: the saved state moved
};

struct TChange {
  TChangeKind Kind;
  TItemKind Item;
  TItemId Id;  // the item's; NoItem for the game and the palette
};

class TDocumentListener {
public:
  virtual ~TDocumentListener() = default;
  virtual void DocumentChanged(const TChange& Change) = 0;
};

}  // namespace lvk
