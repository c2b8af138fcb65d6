#pragma once
// The dialog service of the monkey: every message box and file dialog is
// answered by chance, after the windows behind it were painted and the
// event loop ran a while, as it does while a real box is up. The files it
// offers include ones that fail: junk, truncated and damaged games, missing
// names, folders, paths below a plain file.
#include <QString>
#include <QStringList>

#include "MonkeyDice.h"
#include "ui/common/UDialogService.h"

class TMonkeyDialogs final : public TDialogService {
public:
  // Work is an empty folder the monkey owns; Examples is the folder of the
  // sample game and its tiles (only read, never written).
  TMonkeyDialogs(TDice& Dice, const QString& Work, const QString& Examples);
  ~TMonkeyDialogs() override;

  TMsgAnswer Message(QWidget* Parent, TMsgKind Kind, const QString& Text, bool WithCancel) override;
  QString OpenFile(QWidget* Parent, const TFileDialogRequest& Request) override;
  QString SaveFile(QWidget* Parent, const TFileDialogRequest& Request) override;
  bool OpenDocument(const QString& Path) override;
  bool StartDetached(const QString& Program, const QStringList& Arguments, const QString& Folder) override;

  // True while a box or dialog is "up": the user cannot touch the windows.
  // A modal window that opened meanwhile (a click delayed by a timer, as a
  // mnemonic's animated click is) is on top of the box, and usable.
  bool BoxUp() const;
  // While stopping, boxes never cancel and saves go where they succeed, so
  // the last window closes.
  void SetStopping(bool Stopping) { FStopping = Stopping; }
  // Answers to the save question while stopping: the first by chance, then No.
  void ResetCloseAttempts() { FCloseAttempts = 0; }

  int BoxCount() const { return FBoxCount; }

private:
  void WhileUp(const QString& What);
  void ChooseFilter(const TFileDialogRequest& Request);
  QString GoodSavePath(const TFileDialogRequest& Request);

  TDice& FDice;
  QString FWork;
  QStringList FOpenable;   // files worth opening, saved ones added as they come
  QStringList FFailing;    // names that cannot be opened or written
  int FBoxDepth = 0;
  QWidget* FModalAtBox = nullptr;  // the modal window under the box, if any
  int FBoxCount = 0;
  int FSaved = 0;
  int FCloseAttempts = 0;
  bool FStopping = false;
  TDialogService* FPrevious;
};
