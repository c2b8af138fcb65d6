#pragma once
// Names for the steps of Edit | Undo. A command that changes the document
// names its change; the main window takes the name when it records the step.
// A change nobody named gets a name from what changed.
#include <QString>

void NameUndoStep(const QString& Name);
// The name given since the last call, or an empty text.
QString TakeUndoStepName();
