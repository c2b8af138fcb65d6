#pragma once
// Who an item is: an id its game gives it when it is made, unique in the game
// and kept while the item lives, across undo and redo too (an item that undo
// brings back gets its old id again). A copy or a paste is a new item with a
// new id. Ids live in memory and in the undo history, never in the project
// file. Views keep ids and look the item up when they need it: an id that
// no longer resolves names an item that is gone.
#include <cstdint>

namespace lvk {

class TGame;

using TItemId = std::uint32_t;
constexpr TItemId NoItem = 0;

// The things of a game that can be told of or looked up.
enum class TItemKind { Game, Palette, Tile, Actor, Handler, Level, Variable, Sound, Action, Song };

// The base of every item with an id: registers the item with its game while
// it lives, so the game resolves the id to it.
class TIdentified {
public:
  TItemId Id() const { return FId; }
  TItemKind ItemKind() const { return FKind; }
  TIdentified(const TIdentified&) = delete;
  TIdentified& operator=(const TIdentified&) = delete;

protected:
  // Game may be null for an item of no game (an id of NoItem).
  TIdentified(TGame* Game, TItemKind Kind);
  ~TIdentified();

private:
  friend class TGame;
  TGame* FIdGame;
  TItemKind FKind;
  TItemId FId;
};

}  // namespace lvk
