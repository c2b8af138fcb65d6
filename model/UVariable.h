#pragma once
// A variable of a game: a name (the item naming rules; new ones are
// vVariable1, vVariable2, ...), an initial value and a scope. A game
// variable has one value for the whole game, kept across levels; an
// instance variable a value of its own in every instance, set to the
// initial value when the instance is made. Actions name variables by name.
// A saved game variable is what SaveGame keeps and LoadGame brings back.
#include <cstdint>
#include <string>

#include "model/UItemId.h"
#include "support/UMemWatch.h"

namespace lvk {

class TGame;
class TWriter;
class TReader;

enum class TVariableScope { Game = 0, Instance = 1 };

class TVariable : public TIdentified {
public:
  LVK_COUNTED
  // Only TGame::AddVariable constructs variables.
  explicit TVariable(TGame& Owner);
  TGame& Owner() const { return FOwner; }

  const std::string& Name() const { return FName; }
  // As the other items' names; the actions that name the variable follow.
  void SetName(const std::string& Name);
  std::int32_t Initial() const { return FInitial; }
  void SetInitial(std::int32_t Value);
  TVariableScope Scope() const { return FScope; }
  void SetScope(TVariableScope Scope);
  // Kept by SaveGame; only a game variable's value is ever saved.
  bool Saved() const { return FSaved; }
  void SetSaved(bool Saved);

  // Name, initial value and scope, as the variables' section stores them;
  // a scope other than 0 or 1 is EReadError.
  void SaveToStream(TWriter& Writer) const;
  void LoadFromStream(TReader& Reader);

private:
  friend class TGame;  // copies and undoes variables
  friend class TProjectFile;  // reads and writes them in their section
  // For the reader, whose record names the variable: no default name is looked for.
  TVariable(TGame& Owner, std::string Name);
  TGame& FOwner;
  std::string FName;
  std::int32_t FInitial = 0;
  TVariableScope FScope = TVariableScope::Game;
  bool FSaved = false;  // stored in the saved data's section, not the variable's record
};

}  // namespace lvk
