#pragma once
// Whether the game can use the values of an action as they are stored: a
// number that is a whole number or a variable's name, names of items the
// game has, texts whose {names} are variables. The action list marks and
// explains what fails; the reasons are the ones it shows.
#include <QString>
#include <QStringList>

#include "model/UValueTypes.h"

namespace lvk {
class TActionBase;
class TGame;
}  // namespace lvk

// What a number field that is neither says.
extern const char* const NotWholeNote;

// Whether a stored argument text is a whole number the game can use: an
// optional sign and digits, or empty for 0.
bool IsWholeArgument(const QString& Text);
// Whether a number value is one the game can use: a whole number or the
// name of one of the game's variables.
bool IsNumberValue(const QString& Text, const lvk::TGame& Game);
// The {names} of a text that are no variable of the game, each once.
QStringList UnknownTextNames(const QString& Text, const lvk::TGame& Game);
// Why the game cannot use a value of Type as Text gives it (a number that is
// none, a name no item of the game has, a text naming no variable), or
// empty when it can.
QString ValueProblem(lvk::TValueType Type, const QString& Text, const lvk::TGame& Game);
// Why a number the game uses within a range (the kinds' catalogue gives it)
// is not one of it, or empty: a variable's name, a number inside.
QString RangeProblem(const lvk::TActionValue& Info, const QString& Text);
// The first problem of an action's values, or empty; a relative action's
// numbers are not held to their ranges.
QString ActionProblem(const lvk::TActionBase& Action, const lvk::TGame& Game);
