#pragma once
// The about box: the program's logo and four values of its version record.
// Opened modally from Help | About and destroyed when it closes.
#include <QDialog>
#include <QIcon>

class QLabel;
class QPushButton;

class TfrmAbout : public QDialog {
  Q_OBJECT
public:
  explicit TfrmAbout(QWidget* Parent = nullptr);

private:
  QLabel* imgLogo = nullptr;
  QLabel* lblFileDescription = nullptr;
  QLabel* lblFileVersion = nullptr;
  QLabel* lblCompanyName = nullptr;
  QLabel* lblComments = nullptr;
  QPushButton* butClose = nullptr;
};

// Our own drawing of the program's icon, in every size it comes in.
QIcon LurvikIcon();
// The icon of the owner's window, or LurvikIcon when it has none.
QIcon ProgramIcon(const QWidget* Owner);

// Registers the pictures of the about and credits boxes. The resources live in
// a static library, where nothing else would keep them from being dropped.
void InitAboutResources();
