// Widget tests run on the offscreen platform with QTest driving real windows.
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include "behaviour/UBehaviour.h"
#include "model/UGame.h"
#include "ui/FMain.h"

TEST(MainWindow, OpensOnANewDocument) {
  TfrmMain Main;
  Main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  EXPECT_EQ(Main.windowTitle(), "Lurvik");
  EXPECT_FALSE(Main.Game().Modified());
  auto* Welcome = Main.findChild<QLabel*>("lblWelcome");
  ASSERT_NE(Welcome, nullptr);
  EXPECT_TRUE(Welcome->text().contains("<Game title>"));
  EXPECT_TRUE(Welcome->text().contains("234"));
}

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  lvk::RegisterKinds();
  int Result = RUN_ALL_TESTS();
  lvk::UnregisterKinds();
  return Result;
}
