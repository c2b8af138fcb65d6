#pragma once
// What a document tells its listeners: which item changed and how. Items
// are named by kind and id (UItemId.h); the notice of a removal comes while
// the item still exists, so a view can let go of it first. No view type
// appears here: views implement the listener.
#include <cstdint>

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

// What of an item a Changed notice says changed, so that a view redraws
// only what shows it. A notice whose fields are not known (an undo step
// read the item again) carries cfAll.
enum TChangeField : std::uint32_t {
  cfName = 1u << 0,      // its name
  cfLook = 1u << 1,      // how it is drawn: a tile's picture; an actor's tile, size, animations; the colours
  cfValues = 1u << 2,    // its settings: an actor's solidity, a variable's value and scope, a sound, the title
  cfHandlers = 1u << 3,  // an actor's handlers came or went; a handler's event, actions or comment
  cfCells = 1u << 4,     // the actors placed on a level
  cfSize = 1u << 5,      // a level's size (its cells moved with it)
  cfPlay = 1u << 6,      // how a level plays: its music, camera and backdrop
  cfAll = 0xFFFFFFFFu,
};

struct TChange {
  TChangeKind Kind;
  TItemKind Item;
  TItemId Id;  // the item's; NoItem for the game and the palette
  std::uint32_t Fields = cfAll;  // of a Changed notice; cfAll for the other kinds
  bool Touches(std::uint32_t Mask) const { return (Fields & Mask) != 0; }
};

class TDocumentListener {
public:
  virtual ~TDocumentListener() = default;
  virtual void DocumentChanged(const TChange& Change) = 0;
};

}  // namespace lvk
