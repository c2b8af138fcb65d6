// The model tests' entry point: the kinds are registered once, explicitly,
// as the program itself does at start.
#include <gtest/gtest.h>

#include "model/UDocument.h"
#include "behaviour/UBehaviour.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  lvk::TDocument::StepChecks = true;  // every undo step checked against all records written
  lvk::RegisterKinds();
  int Result = RUN_ALL_TESTS();
  lvk::UnregisterKinds();
  return Result;
}
