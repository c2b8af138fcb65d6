#include "model/UVariable.h"

#include "model/UValueTypes.h"
#include "model/UGame.h"
#include "model/UNames.h"
#include "model/UErrors.h"
#include "model/UFiler.h"

namespace lvk {

TVariable::TVariable(TGame& Owner)
    : TVariable(Owner, DefaultItemName("vVariable", Owner.VariableCount(),
                                       [&](const std::string& N) { return Owner.FindVariableByName(N) != nullptr; })) {}

TVariable::TVariable(TGame& Owner, std::string Name)
    : TIdentified(&Owner, TItemKind::Variable), FOwner(Owner), FName(std::move(Name)) {}

void TVariable::SetName(const std::string& Name) {
  CheckItemName(Name, this, FOwner.FindVariableByName(Name), "A variable with name \"%s\" already exists");
  if (Name == FName) return;
  FOwner.MayChange();
  FName = Name;
  FOwner.Changed(TChangeKind::Renamed, *this);
}

void TVariable::SetInitial(std::int32_t Value) {
  if (Value == FInitial) return;
  FOwner.MayChange();
  FInitial = Value;
  FOwner.Changed(TChangeKind::Changed, *this, cfValues);
}

void TVariable::SetScope(TVariableScope Scope) {
  if (Scope == FScope) return;
  FOwner.MayChange();
  FScope = Scope;
  FOwner.Changed(TChangeKind::Changed, *this, cfValues);
}

void TVariable::SetSaved(bool Saved) {
  if (Saved == FSaved) return;
  FOwner.MayChange();
  FSaved = Saved;
  FOwner.Changed(TChangeKind::Changed, *this, cfValues);
}

void TVariable::SaveToStream(TWriter& Writer) const {
  Writer.WriteString(FName);
  Writer.WriteInteger(FInitial);
  Writer.WriteInteger(static_cast<std::int32_t>(FScope));
}

void TVariable::LoadFromStream(TReader& Reader) {
  FName = Reader.ReadString();
  FInitial = Reader.ReadInteger();
  const std::int32_t Scope = Reader.ReadInteger();
  if (Scope != 0 && Scope != 1) throw EReadError("section");
  FScope = static_cast<TVariableScope>(Scope);
}

}  // namespace lvk
