// Edit | Undo and Redo.
#include <gtest/gtest.h>
