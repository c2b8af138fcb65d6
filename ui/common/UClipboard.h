#pragma once
// The system clipboard for handlers and actions copied in Lurvik Studio: a
// type of its own beside a plain text of the copy, so another game of this
// program (or another run of it) can paste it, and a text editor shows
// what was copied.
#include <QString>

#include "model/UItemCopies.h"

void PutCopy(const lvk::TCopyBytes& Bytes, const QString& Text);
// Empty when the clipboard holds no copy of ours.
lvk::TCopyBytes TakeCopy();
