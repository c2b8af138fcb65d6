#include "ui/UUndoSteps.h"

namespace {
QString PendingName;  // one main window records steps at a time
}

void NameUndoStep(const QString& Name) { PendingName = Name; }

QString TakeUndoStepName() {
  QString Name = PendingName;
  PendingName.clear();
  return Name;
}
