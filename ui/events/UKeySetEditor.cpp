#include "ui/events/UKeySetEditor.h"

#include <QGridLayout>
#include <QToolButton>

#include "behaviour/REventKey.h"
#include "ui/events/FraEvent.h"

namespace {

// OnKey's toggles sit 20 pixels apart from (31, 4): their column and row.
constexpr int Step = 20, Left = 31, Top = 4;

}  // namespace

TKeySetEditor::TKeySetEditor(QWidget* Parent) : QWidget(Parent) {
  auto* Grid = new QGridLayout(this);
  Grid->setContentsMargins(0, 0, 0, 0);
  Grid->setSpacing(0);
  const int Size = std::max(20, fontMetrics().height() + 6);
  for (const TToggleInfo& Key : KeyToggles()) {
    auto* Button = new QToolButton(this);
    Button->setObjectName(Key.Name);
    Button->setText(Key.Caption);
    Button->setCheckable(true);
    Button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    Button->setFixedSize(Size, Size);
    StyleToggle(Button);
    const int Index = lvk::TEventKey::IndexOfKey(Key.Caption);
    SetHint(Button, KeyHint(Key.Hint, Index));
    Grid->addWidget(Button, (Key.Top - Top) / Step, (Key.Left - Left) / Step);
    connect(Button, &QToolButton::clicked, this, [this, Index](bool Down) {
      const unsigned Keys = Down ? FKeys | (1u << Index) : FKeys & ~(1u << Index);
      if (Keys == FKeys) return;
      FKeys = Keys;
      emit KeysChanged(Keys);
    });
    FToggles.push_back(Button);
    FIndexes.push_back(Index);
  }
  Grid->setColumnStretch(Grid->columnCount(), 1);
  // A label's key reaches the first toggle (a policy of its own, or the
  // label would not pass the focus on).
  setFocusPolicy(Qt::TabFocus);
  setFocusProxy(FToggles.front());
}

void TKeySetEditor::SetKeys(unsigned Keys) {
  FKeys = Keys;
  for (std::size_t i = 0; i < FToggles.size(); ++i) FToggles[i]->setChecked((Keys >> FIndexes[i]) & 1u);
}

QToolButton* TKeySetEditor::Toggle(const QString& Caption) const {
  for (QToolButton* Button : FToggles)
    if (Button->text() == Caption) return Button;
  return nullptr;
}
