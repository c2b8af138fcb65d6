#pragma once
// Actors, drawn with one tile, and their event handlers: one event joined to
// an ordered list of actions.
#include <memory>
#include <string>
#include <vector>

#include "model/UGame.h"
#include "support/UMemWatch.h"

namespace lvk {

class TTile;
class TActor;
class TEventBase;
class TActionBase;
class TEventKind;
class TActionKind;

class THandler : public TIdentified {
public:
  LVK_COUNTED
  // Only TActor::AddHandler constructs handlers.
  explicit THandler(TActor& Owner);
  ~THandler();
  THandler(const THandler&) = delete;
  THandler& operator=(const THandler&) = delete;

  TActor& Actor() const { return FOwner; }
  TEventBase* Event() const { return FEvent.get(); }
  // Replaces the event by a new one of Kind with its defaults. Does not mark
  // the document changed (an edit around it does); tells the document.
  void SetEvent(const TEventKind& Kind);
  // What its event and actions call when their stored settings changed:
  // marks the game changed and tells the document.
  void Changed();

  int ActionCount() const { return FActions.Count(); }
  TActionBase* GetAction(int Index) const;
  TActionBase* AddAction(const TActionKind& Kind);
  // Moves an action to another place in the order it runs in; both indexes
  // must lie inside the list (assertion failure otherwise).
  void MoveAction(int From, int To);
  // Deletes the action at Index, which must lie inside the list (assertion
  // failure otherwise); the later ones move up.
  void DeleteAction(int Index);

  void SaveToStream(TStream& Stream, TWriter& Writer) const;
  void LoadFromStream(TStream& Stream, TReader& Reader);


private:
  friend class TGame;  // undo reads a handler's record in place
  TActor& FOwner;
  std::unique_ptr<TEventBase> FEvent;
  TOwnedList<TActionBase> FActions;
};

class TActor : public TIdentified {
public:
  LVK_COUNTED
  // Only TGame::AddActor constructs actors.
  explicit TActor(TGame& Owner);
  ~TActor();
  TActor(const TActor&) = delete;
  TActor& operator=(const TActor&) = delete;

  TGame& Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Name);

  TTile* Tile() const { return FTile; }
  void SetTile(TTile* Tile);
  // A solid actor is what an OnCollision with "any solid actor" collides
  // with, scenery or live.
  bool Solid() const { return FSolid; }
  void SetSolid(bool Solid);

  int HandlerCount() const { return FHandlers.Count(); }
  THandler* GetHandler(int Index) const;
  THandler* AddHandler();
  // Handler must be one of this actor's (assertion failure otherwise).
  void DeleteHandler(THandler* Handler);
  // A copy of From (of any actor, also of another game) at the end. A
  // collision naming Self names this actor in the copy; one naming an actor
  // this game lacks names this actor too.
  THandler* AddHandlerCopy(const THandler& From, const TActor* Self = nullptr);

  void SaveToStream(TStream& Stream, TWriter& Writer) const;
  void LoadFromStream(TStream& Stream, TReader& Reader);


private:
  friend class TGame;
  // For the reader, whose record names the actor: no default name is looked for.
  TActor(TGame& Owner, std::string Name);
  // Tile and copies of Source's handlers; see TGame::DuplicateActor.
  void CopyFrom(const TActor& Source);

  TGame& FOwner;
  std::string FName;
  TTile* FTile = nullptr;
  bool FSolid = false;
  TOwnedList<THandler> FHandlers;
};

}  // namespace lvk
