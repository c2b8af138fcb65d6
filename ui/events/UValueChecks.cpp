#include "ui/events/UValueChecks.h"

#include "behaviour/UAction.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/UNames.h"
#include "model/USound.h"

namespace {

QString FromStd(const std::string& S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }

}  // namespace

const char* const NotWholeNote =
    "Not a whole number nor a variable's name: the game cannot use it. Type a whole number (for example -2, 0 or "
    "16) or a variable's name.";

bool IsWholeArgument(const QString& Text) { return lvk::ParseWholeNumber(Text.toStdString()).has_value(); }

bool IsNumberValue(const QString& Text, const lvk::TGame& Game) {
  return IsWholeArgument(Text) || Game.FindVariableByName(Text.toStdString()) != nullptr;
}

QStringList UnknownTextNames(const QString& Text, const lvk::TGame& Game) {
  // As the game reads a text: {name} with a legal name stands for a
  // variable; other braces are characters like any other.
  QStringList Unknown;
  for (qsizetype Open = Text.indexOf('{'); Open >= 0; Open = Text.indexOf('{', Open + 1)) {
    const qsizetype Close = Text.indexOf('}', Open);
    if (Close < 0) break;
    const std::string Name = Text.mid(Open + 1, Close - Open - 1).toStdString();
    if (!lvk::IsLegalName(Name)) continue;
    if (!Game.FindVariableByName(Name) && !Unknown.contains(FromStd(Name), Qt::CaseInsensitive))
      Unknown << FromStd(Name);
    Open = Close;
  }
  return Unknown;
}

QString ValueProblem(lvk::TValueType Type, const QString& Text, const lvk::TGame& Game) {
  const std::string Name = Text.toStdString();
  switch (Type) {
    case lvk::TValueType::Number: return IsNumberValue(Text, Game) ? QString() : QString(NotWholeNote);
    case lvk::TValueType::Variable:
      if (Text.isEmpty())
        return "No variable chosen yet: the game leaves this action out. Choose one (the Variables folder adds "
               "them).";
      return Game.FindVariableByName(Name) ? QString()
                                           : "\"" + Text + "\" is no variable of this game: the game leaves this "
                                                           "action out. Choose another.";
    case lvk::TValueType::Actor:
      return Text.isEmpty() || Game.FindActorByName(Name)
                 ? QString()
                 : "\"" + Text + "\" is no actor of this game: the game leaves this action out. Choose another.";
    case lvk::TValueType::Tile:
      return Text.isEmpty() || Game.FindTileByName(Name)
                 ? QString()
                 : "\"" + Text + "\" is no tile of this game: the game leaves this action out. Choose another.";
    case lvk::TValueType::Sound:
      if (Text.isEmpty())
        return "No sound chosen yet: the game leaves this action out. Choose one (the Sounds folder adds them).";
      return Game.FindSoundByName(Name) ? QString()
                                        : "\"" + Text + "\" is no sound of this game: the game leaves this action "
                                                        "out. Choose another.";
    case lvk::TValueType::Text: {
      const QStringList Unknown = UnknownTextNames(Text, Game);
      if (Unknown.isEmpty()) return {};
      return "The text names {" + Unknown.join("}, {") + "}, which " + (Unknown.size() == 1 ? "is" : "are") +
             " no variable: the game leaves this action out. Mend the name or add the variable.";
    }
    default: return {};
  }
}

QString RangeProblem(const lvk::TActionValue& Info, const QString& Text) {
  const std::optional<std::int32_t> N = lvk::ParseWholeNumber(Text.toStdString());
  if (!Info.HasRange() || !N || (*N >= Info.Min && *N <= Info.Max)) return {};
  const QString Range = QString::number(Info.Min) + " to " + QString::number(Info.Max);
  return "\"" + Text + "\" is outside " + Range + ", what " + QString(Info.Label).remove('&') +
         " takes: the game does not use it as it is. Type a number from " + Range + ".";
}

QString ActionProblem(const lvk::TActionBase& Action, const lvk::TGame& Game) {
  // A relative action's numbers are differences: the range bounds the result.
  bool Relative = false;
  for (int v = 0; v < Action.ValueCount(); ++v)
    Relative = Relative || (Action.ValueInfo(v).Slot == lvk::TValueSlot::Relative && Action.GetValue(v) == "1");
  for (int v = 0; v < Action.ValueCount(); ++v) {
    if (Action.ValueInfo(v).Type == lvk::TValueType::Animation) {
      // Only the handler's own actor knows its animations.
      const std::string Name = Action.GetValue(v);
      if (Name.empty())
        return "No animation chosen yet: the game leaves this action out. Choose one (the actor's pane adds them).";
      if (Action.Handler().Actor().FindAnimation(Name) < 0)
        return "\"" + FromStd(Name) + "\" is no animation of this actor: the game leaves this action out. Choose "
                                         "another.";
      continue;
    }
    const QString Problem = ValueProblem(Action.ValueInfo(v).Type, FromStd(Action.GetValue(v)), Game);
    if (!Problem.isEmpty()) return Problem;
    if (!Relative) {
      const QString Outside = RangeProblem(Action.ValueInfo(v), FromStd(Action.GetValue(v)));
      if (!Outside.isEmpty()) return Outside;
    }
  }
  return {};
}

