#pragma once
// Event and action kinds as the model knows them: the two abstract bases,
// their kind descriptors and the two process-wide registries. The kinds
// themselves live above the model and register here at start-up. A kind answers its class-level questions
// (key, names, icon, sort order) without an instance and creates instances;
// the registries turn a stored key back into a kind.
#include <iosfwd>
#include <string>

#include "engine/lvk_engine.h"
#include "model/UItemId.h"
#include "model/UValueTypes.h"
#include "support/UMemWatch.h"

namespace lvk {

class THandler;
class TStream;
class TWriter;
class TReader;
class TPeekBitmap;
class TEventBase;
class TActionBase;
class TActor;
class TTableContext;

// A kind's code in the engine (LVK_EVENT_..., LVK_ACTION_...) with its name
// there, which the generated tables show; -1 for a kind the engine does not
// play.
struct TEngineCode {
  int Code;
  const char* Name;
};
#define LVK_ENGINE_CODE(Name) ::lvk::TEngineCode{Name, #Name}

class TEventKind {
public:
  virtual ~TEventKind() = default;
  // "<" + DisplayName + ">": the registry key and the stored tag.
  std::string StreamKey() const { return "<" + DisplayName() + ">"; }
  virtual std::string DisplayName() const = 0;
  virtual std::string Description() const = 0;
  virtual int SortOrder() const = 0;
  // The kind's 16x16 icon, owned by the kind.
  virtual const TPeekBitmap& Icon() const = 0;
  // The event's number in the engine's handler table; -1 for none.
  virtual TEngineCode EngineCode() const { return {-1, ""}; }
  // A new event of this kind for Handler, with the kind's defaults.
  virtual TEventBase* Create(THandler& Handler) const = 0;
};

class TActionKind {
public:
  virtual ~TActionKind() = default;
  std::string StreamKey() const { return "<" + DisplayName() + ">"; }
  virtual std::string DisplayName() const = 0;
  virtual std::string Description() const = 0;
  virtual const TPeekBitmap& Icon() const = 0;
  // The action's number in the engine's action table; -1 for none.
  virtual TEngineCode EngineCode() const { return {-1, ""}; }
  // A new action of this kind for Handler: Indent 0, every parameter zero.
  virtual TActionBase* Create(THandler& Handler) const = 0;
};

class TEventBase {
public:
  LVK_COUNTED
  explicit TEventBase(THandler& Handler) : FHandler(Handler) {}
  virtual ~TEventBase() = default;
  TEventBase(const TEventBase&) = delete;
  TEventBase& operator=(const TEventBase&) = delete;

  THandler& Handler() const { return FHandler; }
  virtual const TEventKind& Kind() const = 0;
  virtual void WriteParams(TStream& Stream, TWriter& Writer) const = 0;
  virtual void ReadParams(TStream& Stream, TReader& Reader) = 0;
  // Called once every actor of a loading game has been read: a reference to
  // another actor, stored by name, may name one read after this event.
  virtual void ResolveNames() {}
  // The other actor the event names (a collision with one actor), or null;
  // what goes with that actor and what a copy names follows from it.
  virtual TActor* NamedActor() const { return nullptr; }
  // Whether the event names one actor, also while that actor is not known
  // yet (a name read that the game does not have).
  virtual bool NamesActor() const { return false; }
  // Names Actor instead; an event that names no actor ignores it.
  virtual void SetNamedActor(TActor&) {}
  virtual std::string Summary() const = 0;
  // Its settings in its entry of the engine's handler table (the builder
  // sets the event's code and the action range).
  virtual void Encode(lvk_handler_t& Entry, TTableContext& Context) const;

protected:
  // A setting's setter: stores Value when it differs and tells the handler
  // (which marks the game changed).
  template <typename T>
  void Store(T& Field, const T& Value) {
    if (Field == Value) return;
    MayChange();
    Field = Value;
    SettingsChanged();
  }
  // Asked before a setting is written (TGame::MayChange).
  void MayChange() const;

private:
  void SettingsChanged();
  THandler& FHandler;
};

class TActionBase : public TIdentified {
public:
  LVK_COUNTED
  // An action has an id of its handler's game, as every item.
  explicit TActionBase(THandler& Handler);
  virtual ~TActionBase() = default;
  TActionBase(const TActionBase&) = delete;
  TActionBase& operator=(const TActionBase&) = delete;

  THandler& Handler() const { return FHandler; }
  // Two-space steps in front of the C statement; always 0 today.
  int Indent() const { return FIndent; }
  virtual const TActionKind& Kind() const = 0;
  virtual void WriteParams(TStream& Stream, TWriter& Writer) const = 0;
  virtual void ReadParams(TStream& Stream, TReader& Reader) = 0;
  // Writes one line, the action's C statement, ended by CR LF.
  virtual void WriteC(std::ostream& Out) const = 0;
  virtual std::string Summary() const = 0;
  // Its settings in its entry of the engine's action table (the builder
  // sets the kind's code).
  virtual void Encode(lvk_action_t& Entry, TTableContext& Context) const;

  // Its values for the handler pane; an index outside 0..ValueCount()-1 is
  // an assertion failure (unit UAction). SetValue stores through the
  // setters, so a change marks the game.
  virtual int ValueCount() const { return 0; }
  virtual TActionValue ValueInfo(int Index) const;
  virtual std::string GetValue(int Index) const;
  virtual void SetValue(int Index, const std::string& Value);
  // Whether a value names the item of Kind with Id: a value of its type,
  // and for variables also a number given as a name or a {name} in a text.
  virtual bool Links(TItemKind, TItemId) const { return false; }
  // The values of Type that named Old name New. For what is named by name
  // only (an animation of the actor); items are named by id and followed.
  void RenameReference(TValueType Type, const std::string& Old, const std::string& New);

protected:
  // As TEventBase::Store.
  template <typename T>
  void Store(T& Field, const T& Value) {
    if (Field == Value) return;
    MayChange();
    Field = Value;
    SettingsChanged();
  }
  void MayChange() const;

private:
  void SettingsChanged();
  THandler& FHandler;
  int FIndent = 0;
};

// Registries. Registering a key twice, or EventKindAt outside 0..count-1,
// fails an assertion (unit UGame). The registries do not own the kinds.
void RegisterEventKind(const TEventKind& Kind);
void RegisterActionKind(const TActionKind& Kind);
const TEventKind* FindEventKind(const std::string& Key);
const TActionKind* FindActionKind(const std::string& Key);
int EventKindCount();
const TEventKind& EventKindAt(int Index);
// The action kinds in registration order, as a list to choose from.
int ActionKindCount();
const TActionKind& ActionKindAt(int Index);
// The kind with an engine code, or null: the generated tables name it.
const TEventKind* FindEventKindByCode(int Code);
const TActionKind* FindActionKindByCode(int Code);
// Empties both registries (at exit).
void ClearKindRegistries();

}  // namespace lvk
