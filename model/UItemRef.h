#pragma once
// A window's hold on an item of the game it shows: the game and the item's
// id, looked up at every use, so that no pointer outlives the item. Get
// gives null once the item is gone (deleted, or taken away by an undo) and
// the item again when an undo brings it back, with its id. The game must
// outlive the hold: a window lets go when the document replaces its game.
#include "model/UGame.h"

namespace lvk {

template <typename T>
class TItemRef {
public:
  TItemRef() = default;
  TItemRef(T* Item) : FGame(Item ? &GameOf(*Item) : nullptr), FId(Item ? Item->Id() : NoItem) {}
  TItemRef(TGame& Game, TItemId Id) : FGame(&Game), FId(Id) {}

  T* Get() const { return FGame && FId != NoItem ? Find(*FGame, FId, static_cast<T*>(nullptr)) : nullptr; }
  operator T*() const { return Get(); }
  T* operator->() const { return Get(); }
  TItemId Id() const { return FId; }
  // Held an item that no longer is.
  bool Gone() const { return FId != NoItem && !Get(); }

private:
  // A handler's game is its actor's.
  static TGame& GameOf(T& Item) {
    if constexpr (requires { Item.Owner(); })
      return Item.Owner();
    else
      return Item.Actor().Owner();
  }
  static TTile* Find(const TGame& Game, TItemId Id, TTile*) { return Game.TileById(Id); }
  static TActor* Find(const TGame& Game, TItemId Id, TActor*) { return Game.ActorById(Id); }
  static THandler* Find(const TGame& Game, TItemId Id, THandler*) { return Game.HandlerById(Id); }
  static TLevel* Find(const TGame& Game, TItemId Id, TLevel*) { return Game.LevelById(Id); }
  static TVariable* Find(const TGame& Game, TItemId Id, TVariable*) { return Game.VariableById(Id); }
  static TSound* Find(const TGame& Game, TItemId Id, TSound*) { return Game.SoundById(Id); }
  TGame* FGame = nullptr;
  TItemId FId = NoItem;
};

}  // namespace lvk
