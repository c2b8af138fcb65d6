#include "ui/events/UValueEditors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QIcon>
#include <QLineEdit>
#include <QValidator>
#include <algorithm>
#include <functional>
#include <stdexcept>

#include "behaviour/UAction.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/USound.h"
#include "model/UVariable.h"
#include "ui/common/UItemPickers.h"
#include "ui/events/UKeySetEditor.h"
#include "ui/events/UValueChecks.h"

namespace {

QString FromStd(const std::string& S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }

// Lets every keystroke through, so a stored text that is not a number can
// be edited into one; only a whole number, a variable's name (or nothing)
// is acceptable, and only an acceptable text is ever stored.
class TNumberValidator final : public QValidator {
public:
  TNumberValidator(QObject* Parent, std::function<bool(const QString&)> Acceptable)
      : QValidator(Parent), FAcceptable(std::move(Acceptable)) {}
  State validate(QString& Input, int&) const override { return FAcceptable(Input) ? Acceptable : Intermediate; }

private:
  std::function<bool(const QString&)> FAcceptable;
};

QString NthName(const char* Prefix, std::size_t Nth) { return QString("%1%2").arg(Prefix).arg(Nth + 1); }

// A list whose choice stores the chosen entry's text.
template <class TList>
TList* Chooser(TList* List, TValueEditorOwner& Owner, const QString& Name) {
  List->setObjectName(Name);
  List->setMinimumWidth(120);
  List->hide();
  QObject::connect(List, &QComboBox::activated, List, [&Owner, List](int Row) {
    if (Row >= 0) Owner.ValueEdited(List, List->itemData(Row, ValueRole).toString().toStdString());
  });
  return List;
}

QComboBox* NamesList(TValueEditorOwner& Owner, const char* Prefix, std::size_t Nth) {
  auto* List = Chooser(new QComboBox(Owner.ValuesPanel()), Owner, NthName(Prefix, Nth));
  List->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return List;
}

void AddEntry(QComboBox& List, const QString& Caption, const QString& Stored, const QIcon& Icon = {}) {
  List.addItem(Icon, Caption);
  List.setItemData(List.count() - 1, Stored, ValueRole);
}

// Selects the stored name, first adding an entry for a name that no item
// has: shown, not lost.
void SelectName(QComboBox& List, const QString& Text, const char* What) {
  if (!Text.isEmpty() && IndexOfValue(List, Text) < 0) {
    AddEntry(List, Text + " (no " + What + ")", Text);
    List.setItemData(List.count() - 1, QColor(Qt::red), Qt::ForegroundRole);
  }
  List.setCurrentIndex(IndexOfValue(List, Text));
}

// ---- Number: a whole number or a variable's name ----

QWidget* MakeNumber(TValueEditorOwner& Owner, std::size_t Nth) {
  auto* Field = new QLineEdit(Owner.ValuesPanel());
  Field->setObjectName(NthName("edtArg", Nth));
  Field->setValidator(new TNumberValidator(Field, [&Owner](const QString& Text) {
    const lvk::TGame* Game = Owner.ShownGame();
    return Game ? IsNumberValue(Text, *Game) : IsWholeArgument(Text);
  }));
  Field->setFixedWidth(90);
  auto* Completer = new QCompleter(Owner.VariableNames(), Field);
  Completer->setCaseSensitivity(Qt::CaseInsensitive);
  Completer->setCompletionMode(QCompleter::PopupCompletion);
  Field->setCompleter(Completer);
  QObject::connect(Completer, qOverload<const QString&>(&QCompleter::activated), Field,
                   [&Owner, Field] { Owner.NumberEdited(Field); });
  Field->installEventFilter(Owner.FieldWatch());
  Field->hide();
  QObject::connect(Field, &QLineEdit::editingFinished, Field, [&Owner, Field] { Owner.NumberEdited(Field); });
  QObject::connect(Field, &QLineEdit::textEdited, Field, [&Owner, Field] { Owner.FieldTyped(Field); });
  return Field;
}

void ShowNumber(QWidget* Editor, const TShownValue& V) {
  auto* Field = static_cast<QLineEdit*>(Editor);
  Field->setText(V.Text);
  // Narrow beside a text (ShowText's row), which needs the room.
  const bool BesideText =
      V.Index + 1 < V.Action.ValueCount() && V.Action.ValueInfo(V.Index + 1).Type == lvk::TValueType::Text;
  Field->setFixedWidth(BesideText ? Field->fontMetrics().horizontalAdvance("000") + 24 : 90);
}

// ---- Flag: a tick ----

QWidget* MakeFlag(TValueEditorOwner& Owner, std::size_t Nth) {
  auto* Box = new QCheckBox(Owner.ValuesPanel());
  Box->setObjectName(Nth == 0 ? QString("cbxRelative") : NthName("cbxFlag", Nth));
  Box->hide();
  QObject::connect(Box, &QCheckBox::toggled, Box, [&Owner, Box](bool On) { Owner.ValueEdited(Box, On ? "1" : "0"); });
  return Box;
}

void ShowFlag(QWidget* Editor, const TShownValue& V) {
  auto* Box = static_cast<QCheckBox*>(Editor);
  Box->setText(V.Action.ValueInfo(V.Index).Label);
  Box->setChecked(V.Text == "1");
}

// ---- Text: any text; names that are no variable are marked ----

QWidget* MakeText(TValueEditorOwner& Owner, std::size_t Nth) {
  auto* Field = new QLineEdit(Owner.ValuesPanel());
  Field->setObjectName(NthName("edtText", Nth));
  Field->setMinimumWidth(140);
  Field->installEventFilter(Owner.FieldWatch());
  Field->hide();
  QObject::connect(Field, &QLineEdit::editingFinished, Field,
                   [&Owner, Field] { Owner.ValueEdited(Field, Field->text().toStdString()); });
  QObject::connect(Field, &QLineEdit::textEdited, Field, [&Owner, Field] { Owner.FieldTyped(Field); });
  return Field;
}

void ShowText(QWidget* Editor, const TShownValue& V) { static_cast<QLineEdit*>(Editor)->setText(V.Text); }

// ---- Variable, sound, animation: lists of names ----

QWidget* MakeVariable(TValueEditorOwner& Owner, std::size_t Nth) { return NamesList(Owner, "cbxVariable", Nth); }

void ShowVariable(QWidget* Editor, const TShownValue& V) {
  auto* List = static_cast<QComboBox*>(Editor);
  List->clear();
  if (V.Text.isEmpty()) AddEntry(*List, "<no variable>", QString());
  for (int i = 0; i < V.Game.VariableCount(); ++i) {
    const QString Name = FromStd(V.Game.GetVariable(i)->Name());
    AddEntry(*List, Name, Name);
  }
  SelectName(*List, V.Text, "variable");
}

QWidget* MakeSound(TValueEditorOwner& Owner, std::size_t Nth) { return NamesList(Owner, "cbxSound", Nth); }

void ShowSound(QWidget* Editor, const TShownValue& V) {
  auto* List = static_cast<QComboBox*>(Editor);
  List->clear();
  if (V.Text.isEmpty()) AddEntry(*List, "<no sound>", QString());
  for (int i = 0; i < V.Game.SoundCount(); ++i) {
    const QString Name = FromStd(V.Game.GetSound(i)->Name());
    AddEntry(*List, Name, Name, QIcon(":/ui/BmpSound18x18.png"));
  }
  SelectName(*List, V.Text, "sound");
}

QWidget* MakeAnimation(TValueEditorOwner& Owner, std::size_t Nth) { return NamesList(Owner, "cbxAnimation", Nth); }

void ShowAnimation(QWidget* Editor, const TShownValue& V) {
  // The handler's own actor's animations: the only ones it can play.
  auto* List = static_cast<QComboBox*>(Editor);
  List->clear();
  if (V.Text.isEmpty()) AddEntry(*List, "<no animation>", QString());
  const lvk::TActor& Own = V.Action.Handler().Actor();
  for (int i = 0; i < Own.AnimationCount(); ++i) {
    const QString Name = FromStd(Own.GetAnimation(i).Name);
    AddEntry(*List, Name, Name);
  }
  SelectName(*List, V.Text, "animation");
}

// ---- Actor, tile: lists with the items' pictures ----

QWidget* MakeActor(TValueEditorOwner& Owner, std::size_t Nth) {
  return Chooser(new TActorComboBox(*Owner.ShownGame(), Owner.ValuesPanel()), Owner, NthName("cbxActor", Nth));
}

void ShowActor(QWidget* Editor, const TShownValue& V) {
  auto* List = static_cast<TActorComboBox*>(Editor);
  List->Fill();
  // No actor named: the handler's own.
  List->InsertSpecial(0, "<this actor>");
  SelectName(*List, V.Text, "actor");
}

void ActorFollowGame(QWidget* Editor, const lvk::TGame& Game) { static_cast<TActorComboBox*>(Editor)->SetGame(Game); }

QWidget* MakeTile(TValueEditorOwner& Owner, std::size_t Nth) {
  return Chooser(new TTileComboBox(*Owner.ShownGame(), Owner.ValuesPanel()), Owner, NthName("cbxTile", Nth));
}

void ShowTile(QWidget* Editor, const TShownValue& V) {
  auto* List = static_cast<TTileComboBox*>(Editor);
  List->Fill();
  SelectName(*List, V.Text, "tile");
}

void TileFollowGame(QWidget* Editor, const lvk::TGame& Game) { static_cast<TTileComboBox*>(Editor)->SetGame(Game); }

// ---- Keys: a toggle per key ----

QWidget* MakeKeys(TValueEditorOwner& Owner, std::size_t Nth) {
  auto* Keys = new TKeySetEditor(Owner.ValuesPanel());
  Keys->setObjectName(NthName("pnlKeys", Nth));
  Keys->hide();
  QObject::connect(Keys, &TKeySetEditor::KeysChanged, Keys,
                   [&Owner, Keys](unsigned Set) { Owner.ValueEdited(Keys, std::to_string(Set)); });
  return Keys;
}

void ShowKeys(QWidget* Editor, const TShownValue& V) {
  static_cast<TKeySetEditor*>(Editor)->SetKeys(V.Text.toUInt() & 0xFFFF);
}

// ---- Compare: the six comparisons ----

QWidget* MakeCompare(TValueEditorOwner& Owner, std::size_t Nth) {
  static const char* const Words[] = {"equal to", "not equal to", "less than", "at most", "more than", "at least"};
  QComboBox* List = NamesList(Owner, "cbxCompare", Nth);
  for (int i = 0; i < lvk::CompareCount; ++i)
    AddEntry(*List, QString(lvk::CompareNames[i]) + "   " + Words[i], QString(lvk::CompareNames[i]));
  return List;
}

void ShowCompare(QWidget* Editor, const TShownValue& V) {
  auto* List = static_cast<QComboBox*>(Editor);
  List->setCurrentIndex(std::max(0, IndexOfValue(*List, V.Text)));
}

using lvk::TValueType;

constexpr TValueEditorType Rows[] = {
    // Type                  OwnLabel Wide   Make           Show           FollowGame
    {TValueType::Number,     false,   false, MakeNumber,    ShowNumber,    nullptr},
    {TValueType::Flag,       true,    false, MakeFlag,      ShowFlag,      nullptr},
    {TValueType::Variable,   false,   false, MakeVariable,  ShowVariable,  nullptr},
    {TValueType::Actor,      false,   false, MakeActor,     ShowActor,     ActorFollowGame},
    {TValueType::Tile,       false,   false, MakeTile,      ShowTile,      TileFollowGame},
    {TValueType::Keys,       false,   true,  MakeKeys,      ShowKeys,      nullptr},
    {TValueType::Text,       false,   true,  MakeText,      ShowText,      nullptr},
    {TValueType::Compare,    false,   false, MakeCompare,   ShowCompare,   nullptr},
    {TValueType::Sound,      false,   false, MakeSound,     ShowSound,     nullptr},
    {TValueType::Animation,  false,   false, MakeAnimation, ShowAnimation, nullptr},
};

}  // namespace

const TValueEditorType& ValueEditorType(lvk::TValueType Type) {
  for (const TValueEditorType& Row : Rows)
    if (Row.Type == Type) return Row;
  // A value type added without its editor: a fault of the program.
  throw std::logic_error("no editor for a value type");
}
