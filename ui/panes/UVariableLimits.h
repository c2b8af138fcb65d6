#pragma once
// How many variables of each scope a game may have: the engine keeps room
// for so many and no more. The commands that add a variable or change its
// scope ask here first and refuse with the text given.
#include <QString>

namespace lvk {
class TGame;
enum class TVariableScope;
}  // namespace lvk

int VariableLimit(lvk::TVariableScope Scope);
int VariableCount(const lvk::TGame& Game, lvk::TVariableScope Scope);
// Why one more variable of Scope cannot be had, or empty when it can.
QString VariableLimitReached(const lvk::TGame& Game, lvk::TVariableScope Scope);
// "game" or "instance".
QString ScopeWord(lvk::TVariableScope Scope);
