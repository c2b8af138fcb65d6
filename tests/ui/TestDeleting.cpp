// Deleting and duplicating from the main window.
#include <gtest/gtest.h>
