#pragma once
// The values of an action as the handler pane shows and edits them: each
// with a label (with & before its key letter), a hint and a type that says
// which control edits it. An action gives and takes its values as texts:
// numbers as typed (a whole number; empty is 0), flags as "1" or "0".
namespace lvk {

enum class TValueType {
  Number,  // a whole number
  Flag,    // on or off
};

struct TActionValue {
  const char* Label;
  const char* Hint;
  TValueType Type;
};

}  // namespace lvk
