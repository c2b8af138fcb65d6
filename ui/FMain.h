#pragma once
// The editor's main window. For now it holds the document and shows its
// title; the tree, panes and menus come with the window's own work.
#include <QMainWindow>
#include <memory>

namespace lvk {
class TGame;
}

class QLabel;

class TfrmMain : public QMainWindow {
  Q_OBJECT
public:
  explicit TfrmMain(QWidget* Parent = nullptr);
  ~TfrmMain() override;

  lvk::TGame& Game() { return *FGame; }

private:
  std::unique_ptr<lvk::TGame> FGame;
  QLabel* lblWelcome = nullptr;
};
