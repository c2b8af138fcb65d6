#pragma once
// The welcome pane: the logo, the ways to start (a new game, an existing one,
// the sample game that comes with the program) and the four steps to a
// first game.
#include "ui/panes/UPane.h"

class QPushButton;
class TPaneHost;

class TPaneSplash : public TPane {
  Q_OBJECT
public:
  explicit TPaneSplash(TPaneHost& Host);

  // The sample game the pane offers; empty when there is none, which leaves
  // its button disabled with a hint saying why. Set at creation from the
  // program's data folder.
  void SetSampleGame(const QString& Path);
  const QString& SampleGame() const { return FSampleGame; }

  // Opens the sample as a game without a file name, so that its first Save
  // asks where to keep the user's copy and the installed one stays as it is.
  void butSampleClick();

  QPushButton* butNew;
  QPushButton* butOpen;
  QPushButton* butSample;

private:
  TPaneHost& FHost;
  QString FSampleGame;
};
