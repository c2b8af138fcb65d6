#pragma once
// The actions described by a table of their values: the rules of a game
// (variables, text, spawning, level jumps, guards). One class does what they
// share: it keeps the values as texts, stores them in the order of the table
// (numbers and texts and names as strings, flags as booleans, key sets and
// comparisons as integers), writes the summary "Name(v1, v2, ...)" and
// encodes each value into the slot its table names. A kind is its table,
// its texts and its engine code; guards also word their summary.
#include <span>
#include <string>
#include <vector>

#include "behaviour/UBehaviour.h"

namespace lvk {

class TValueAction : public TActionBase {
public:
  TValueAction(THandler& Handler, std::span<const TActionValue> Values);

  int ValueCount() const override { return static_cast<int>(FInfo.size()); }
  TActionValue ValueInfo(int Index) const override;
  std::string GetValue(int Index) const override;
  void SetValue(int Index, const std::string& Value) override;

  void WriteParams(TStream& Stream, TWriter& Writer) const override;
  // Values the table bounds (a comparison, a flag) are read as they can be:
  // a comparison outside the list is "=".
  void ReadParams(TStream& Stream, TReader& Reader) override;
  // These kinds write no C line: the engine plays them from the tables.
  void WriteC(std::ostream& Out) const override;
  std::string Summary() const override;
  void Encode(lvk_action_t& Entry, TTableContext& Context) const override;

protected:
  // A value as a summary shows it: numbers as typed (empty as 0), names,
  // texts in quotes, key sets by their names.
  std::string Shown(int Index) const;

private:
  // A value that names an item (an actor, tile, sound or variable) holds
  // its id, and the name as typed or read beside it: the value follows a
  // rename without changing, and a name no item has stays as it is.
  bool Linked(std::size_t Index) const;
  std::span<const TActionValue> FInfo;
  std::vector<std::string> FValues;
  std::vector<TItemId> FIds;
};

// A key set's names ("A+B"), or "no key".
std::string KeySetNames(unsigned Keys);

// The rule actions.

#define LVK_VALUE_ACTION(Name)                                                 \
  class Name final : public TValueAction {                                     \
  public:                                                                      \
    static const TActionKind& ClassKind();                                     \
    explicit Name(THandler& Handler);                                          \
    const TActionKind& Kind() const override { return ClassKind(); }           \
    std::string Summary() const override;                                      \
  }

// SetVariable(variable, value, relative): sets or adds to a variable.
LVK_VALUE_ACTION(TActionSetVariable);
// ShowText(row, text): prints a line of the upper screen.
LVK_VALUE_ACTION(TActionShowText);
// Spawn(actor, dx, dy): a new instance beside this one.
LVK_VALUE_ACTION(TActionSpawn);
// GoToLevel(level): from 1; 0 this level again.
LVK_VALUE_ACTION(TActionGoToLevel);
// RestartGame(): the game variables back and the first level.
LVK_VALUE_ACTION(TActionRestartGame);
// Bounce(x, y): turns round on the axes ticked.
LVK_VALUE_ACTION(TActionBounce);
// SetTile(tile): drawn with another tile.
LVK_VALUE_ACTION(TActionSetTile);
// MoveToward(actor, speed): heads for the nearest instance of the actor.
LVK_VALUE_ACTION(TActionMoveToward);
// The guards: the rest of the handler's actions run only when they hold.
LVK_VALUE_ACTION(TActionIfVariable);
LVK_VALUE_ACTION(TActionIfCount);
LVK_VALUE_ACTION(TActionIfChance);
LVK_VALUE_ACTION(TActionIfKeyHeld);
// CameraFollow(actor), MoveCamera(x, y, speed), ShakeCamera(frames,
// strength): the camera of a level bigger than the screen.
LVK_VALUE_ACTION(TActionCameraFollow);
LVK_VALUE_ACTION(TActionMoveCamera);
LVK_VALUE_ACTION(TActionShakeCamera);
// PlaySound(sound): starts a sound; several play at once.
LVK_VALUE_ACTION(TActionPlaySound);
// ClearText(row) or ClearText(all rows): gives rows of the upper screen back.
LVK_VALUE_ACTION(TActionClearText);
// JumpTo(x, y, relative): puts this instance at a place, in pixels.
LVK_VALUE_ACTION(TActionJumpTo);
// JumpToStart(): back where this instance was placed or spawned.
LVK_VALUE_ACTION(TActionJumpToStart);
// Otherwise: the rest runs only when the guard before it failed.
LVK_VALUE_ACTION(TActionOtherwise);
// SetAnimation(animation, restart): plays another of the actor's animations.
LVK_VALUE_ACTION(TActionSetAnimation);
// Mirror(mirrored, face movement): draws the instance mirrored left to right.
LVK_VALUE_ACTION(TActionMirror);

#undef LVK_VALUE_ACTION

}  // namespace lvk
