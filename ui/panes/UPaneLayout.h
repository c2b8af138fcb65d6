#pragma once
// What every pane does to lay out its controls: hints and rows.
#include <QHBoxLayout>
#include <QString>
#include <QVBoxLayout>
#include <QWidget>

// The short hint is the control's tool tip, the long one (or the short)
// what the status bar shows.
inline void SetHints(QWidget* W, const QString& Short, const QString& Long = {}) {
  W->setToolTip(Short);
  W->setStatusTip(Long.isEmpty() ? Short : Long);
}

// A new row of controls at the end of Into.
inline QHBoxLayout* Row(QVBoxLayout* Into) {
  auto* R = new QHBoxLayout;
  Into->addLayout(R);
  return R;
}
