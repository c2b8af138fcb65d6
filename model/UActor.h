#pragma once
// Actors, drawn with one tile, and their event handlers: one event joined to
// an ordered list of actions.
#include <memory>
#include <string>
#include <vector>

#include "model/UAnimation.h"
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
  // A short note of the user's that tells handlers apart, shown after the
  // summary in the tree; empty by default. Marks the game changed.
  const std::string& Comment() const { return FComment; }
  void SetComment(const std::string& Comment);
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
  // The parts of the record that the undo history shares: the event (its
  // kind and settings) and one action (its kind and values).
  void SaveEvent(TStream& Stream, TWriter& Writer) const;
  static void SaveAction(const TActionBase& Action, TStream& Stream, TWriter& Writer);


private:
  friend class TGame;  // undo reads a handler's record in place
  TActor& FOwner;
  friend class TGame;  // undoes comments
  friend class TProjectFile;  // reads and writes comments in their section
  friend class TActor;  // copies the comment with the handler
  std::unique_ptr<TEventBase> FEvent;
  TOwnedList<TActionBase> FActions;
  std::string FComment;
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

  // Kept by id: null once the tile is gone.
  TTile* Tile() const;
  TItemId TileId() const { return FTileId; }
  void SetTile(TTile* Tile);
  // A solid actor is what an OnCollision with "any solid actor" collides
  // with, scenery or live.
  bool Solid() const { return FSolid; }
  void SetSolid(bool Solid);

  // The sprite size in pixels, 8x8 unless set; an instance's box has it.
  // SetSize raises EGame for a size the DS has no sprite of; frames keep
  // the tiles of the cells both sizes have.
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetSize(int Width, int Height);
  // The size in 8x8 cells: a frame holds Columns() x Rows() tiles.
  int Columns() const { return FWidth / 8; }
  int Rows() const { return FHeight / 8; }

  // Animations, the first being the one an instance starts with. Indexes
  // outside the lists are assertion failures. Names follow the item rules
  // and differ within the actor (EGame otherwise).
  int AnimationCount() const { return static_cast<int>(FAnimations.size()); }
  const TAnimation& GetAnimation(int Index) const;
  // -1 when the actor has none of that name (case ignored).
  int FindAnimation(const std::string& Name) const;
  // A new animation at the end with a default name and one empty frame.
  int AddAnimation();
  void DeleteAnimation(int Index);
  void MoveAnimation(int From, int To);
  void SetAnimationName(int Index, const std::string& Name);
  // Clamped to MinFrameLength..MaxFrameLength.
  void SetFrameLength(int Index, int Frames);
  void SetAnimationMode(int Index, TAnimationMode Mode);

  // Frames of animation Anim. Tiles must hold Columns() x Rows() entries
  // (fewer are filled up with none, more are cut).
  int FrameCount(int Anim) const { return static_cast<int>(GetAnimation(Anim).Frames.size()); }
  // The frame's tiles as they are now (the frame keeps ids).
  TFrameTiles FrameTiles(int Anim, int Frame) const;
  const TFrameIds& FrameIds(int Anim, int Frame) const;
  int AddFrame(int Anim, TFrameTiles Tiles = {});
  void DeleteFrame(int Anim, int Frame);
  void MoveFrame(int Anim, int From, int To);
  void SetFrameTiles(int Anim, int Frame, TFrameTiles Tiles);
  void SetFrameTile(int Anim, int Frame, int Cell, TTile* Tile);
  // What stands for the actor where it is not playing (level editor,
  // scenery): its first animation's first frame, or else its tile in the
  // top left cell.
  TFrameTiles RestingFrame() const;
  // Whether anything of the look differs from a plain 8x8 actor.
  bool HasLook() const { return FWidth != 8 || FHeight != 8 || !FAnimations.empty(); }
  // Every frame cell showing Tile shows none from now on.
  void ForgetTile(const TTile* Tile);

  int HandlerCount() const { return FHandlers.Count(); }
  THandler* GetHandler(int Index) const;
  THandler* AddHandler();
  // Handler must be one of this actor's (assertion failure otherwise).
  void DeleteHandler(THandler* Handler);
  // A copy of From (of any actor, also of another game) at the end. A
  // collision naming Self names this actor in the copy; one naming an actor
  // this game lacks names this actor too.
  THandler* AddHandlerCopy(const THandler& From, const TActor* Self = nullptr);

  // The record: the head (name and tile), then the handlers.
  void SaveToStream(TStream& Stream, TWriter& Writer) const;
  void LoadFromStream(TStream& Stream, TReader& Reader);
  void SaveHead(TWriter& Writer) const;
  void LoadHead(TReader& Reader);
  // The look's part of the sprites section after the levels (no name).
  void SaveLook(TWriter& Writer) const;
  void LoadLook(TReader& Reader);


private:
  friend class TGame;
  friend class TProjectFile;  // the solid actors and the looks are read in their sections
  // For the reader, whose record names the actor: no default name is looked for.
  TActor(TGame& Owner, std::string Name);
  // Tile, look and copies of Source's handlers; see TGame::DuplicateActor.
  void CopyFrom(const TActor& Source);
  TAnimation& Animation(int Index);
  TFrameIds Fitted(TFrameIds Tiles) const;
  TFrameIds IdsOf(const TFrameTiles& Tiles) const;
  TFrameTiles TilesOf(const TFrameIds& Ids) const;
  void LookChanged();

  TGame& FOwner;
  std::string FName;
  TItemId FTileId = NoItem;
  bool FSolid = false;
  int FWidth = 8;
  int FHeight = 8;
  std::vector<TAnimation> FAnimations;
  TOwnedList<THandler> FHandlers;
};

}  // namespace lvk
