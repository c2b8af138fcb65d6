#include "ui/panes/UVariableLimits.h"

#include "engine/lvk_engine.h"
#include "model/UGame.h"
#include "model/UVariable.h"

int VariableLimit(lvk::TVariableScope Scope) {
  return Scope == lvk::TVariableScope::Instance ? LVK_MAX_INSTANCE_VARIABLES : LVK_MAX_GAME_VARIABLES;
}

int VariableCount(const lvk::TGame& Game, lvk::TVariableScope Scope) {
  int Count = 0;
  for (int i = 0; i < Game.VariableCount(); ++i) Count += Game.GetVariable(i)->Scope() == Scope;
  return Count;
}

QString ScopeWord(lvk::TVariableScope Scope) { return Scope == lvk::TVariableScope::Instance ? "instance" : "game"; }

QString VariableLimitReached(const lvk::TGame& Game, lvk::TVariableScope Scope) {
  if (VariableCount(Game, Scope) < VariableLimit(Scope)) return {};
  const QString Other = Scope == lvk::TVariableScope::Game ? "an instance" : "a game";
  return QString("The game has %1 %2 variables, as many as a game can have. Delete one, or make one %3 "
                 "variable, first.")
      .arg(VariableLimit(Scope))
      .arg(ScopeWord(Scope), Other);
}
