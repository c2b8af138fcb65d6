#pragma once
// The actions, each described by its values in the kinds' catalogue
// (engine/lvk_kinds.h). One class does what they share: it keeps the values
// as texts, stores them in the catalogue's order (numbers and texts and
// names as strings, flags as booleans, key sets and comparisons as
// integers), writes the summary and encodes each value into the slot the
// catalogue names.
#include <span>
#include <string>
#include <vector>

#include "behaviour/UBehaviour.h"
#include "engine/lvk_kinds.h"

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
  // The kind's summary pattern with the values shown in it, or
  // "Name(v1, v2, ...)" (a flag as its word when set).
  std::string Summary() const override;
  void Encode(lvk_action_t& Entry, TTableContext& Context) const override;
  bool Links(TItemKind Kind, TItemId Id) const override;

protected:
  // A value as a summary shows it: numbers as typed (empty as 0), names,
  // texts in quotes, key sets by their names.
  std::string Shown(int Index) const;
  const std::string& Value(int Index) const;

private:
  // A value that names an item (an actor, tile, sound or variable, a number
  // given as a variable's name) holds its id, and the name as typed or read
  // beside it: the value follows a rename without changing, and a name no
  // item has stays as it is. A text holds the id of each {name} in it.
  bool Linked(std::size_t Index) const;
  bool IsText(std::size_t Index) const { return FInfo[Index].Type == TValueType::Text; }
  // The ids a value names as it is typed or read.
  TItemId IdOf(std::size_t Index, const std::string& Value) const;
  std::vector<TItemId> TextIds(const std::string& Text) const;
  std::span<const TActionValue> FInfo;
  std::vector<std::string> FValues;
  std::vector<TItemId> FIds;
  std::vector<std::vector<TItemId>> FTextIds;
};

// A key set's names ("A+B"), or "no key".
std::string KeySetNames(unsigned Keys);

// The action kinds whose class is made from their values (shapes Rule and
// Guard in the catalogue): TActionSetVariable, TActionIfCount, ... Their
// values, texts and engine numbers are the catalogue's.
#define LVK_VALUE_ACTION_CLASS(Id, Number, Name, Class, Shape, Text, Summary) LVK_VALUE_ACTION_CLASS_##Shape(Class)
#define LVK_VALUE_ACTION_CLASS_Rule(Class)                           \
  class Class final : public TValueAction {                          \
  public:                                                            \
    static const TActionKind& ClassKind();                           \
    explicit Class(THandler& Handler);                               \
    const TActionKind& Kind() const override { return ClassKind(); } \
  };
#define LVK_VALUE_ACTION_CLASS_Guard(Class) LVK_VALUE_ACTION_CLASS_Rule(Class)
#define LVK_VALUE_ACTION_CLASS_Speed(Class)
#define LVK_VALUE_ACTION_CLASS_Plain(Class)
#define LVK_VALUE_ACTION_CLASS_Own(Class)
LVK_ACTION_CATALOGUE(LVK_VALUE_ACTION_CLASS, LVK_KIND_SKIP)
#undef LVK_VALUE_ACTION_CLASS

// ClearText(row) or ClearText(all rows): gives rows of the upper screen back.
class TActionClearText final : public TValueAction {
public:
  static const TActionKind& ClassKind();
  explicit TActionClearText(THandler& Handler);
  const TActionKind& Kind() const override { return ClassKind(); }
  std::string Summary() const override;
};

// Mirror(mirrored, face movement); "Mirror(off)" with neither.
class TActionMirror final : public TValueAction {
public:
  static const TActionKind& ClassKind();
  explicit TActionMirror(THandler& Handler);
  const TActionKind& Kind() const override { return ClassKind(); }
  std::string Summary() const override;
};

}  // namespace lvk
