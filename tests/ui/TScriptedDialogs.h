#pragma once
// A dialog service for widget tests: it answers from a script and records
// what was asked, so no real box or dialog ever waits for a user.
#include <QStringList>
#include <deque>

#include "ui/common/UDialogService.h"

struct TAskedMessage {
  TMsgKind Kind;
  QString Text;
};

class TScriptedDialogs : public TDialogService {
public:
  TScriptedDialogs() { FPrevious = SetDialogService(this); }
  ~TScriptedDialogs() override { SetDialogService(FPrevious); }

  // Answers given in order; a box asked with none left answers Cancel (or
  // OK) and is recorded as unexpected.
  std::deque<TMsgAnswer> Answers;
  std::deque<QString> Files;  // paths for the file dialogs; empty = cancel
  std::deque<int> Filters;    // 1-based filter chosen in each file dialog; 1 when none left
  bool OpenDocumentResult = true;
  bool StartResult = true;

  std::vector<TAskedMessage> Messages;
  std::vector<TFileDialogRequest> FileRequests;
  QStringList OpenedDocuments;
  struct TStart {
    QString Program;
    QStringList Arguments;
    QString Folder;
  };
  std::vector<TStart> Started;
  int Unexpected = 0;

  TMsgAnswer Message(QWidget*, TMsgKind Kind, const QString& Text, bool WithCancel) override {
    Messages.push_back({Kind, Text});
    if (Kind != TMsgKind::Confirmation) return TMsgAnswer::Ok;
    if (Answers.empty()) {
      ++Unexpected;
      return WithCancel ? TMsgAnswer::Cancel : TMsgAnswer::No;
    }
    TMsgAnswer A = Answers.front();
    Answers.pop_front();
    return A;
  }
  QString OpenFile(QWidget*, const TFileDialogRequest& R) override { return NextFile(R); }
  QString SaveFile(QWidget*, const TFileDialogRequest& R) override { return NextFile(R); }
  bool OpenDocument(const QString& Path) override {
    OpenedDocuments << Path;
    return OpenDocumentResult;
  }
  bool StartDetached(const QString& Program, const QStringList& Arguments, const QString& Folder) override {
    Started.push_back({Program, Arguments, Folder});
    return StartResult;
  }

  QString LastText() const { return Messages.empty() ? QString() : Messages.back().Text; }

private:
  QString NextFile(const TFileDialogRequest& R) {
    FileRequests.push_back(R);
    if (R.ChosenFilter) {
      *R.ChosenFilter = Filters.empty() ? 1 : Filters.front();
      if (!Filters.empty()) Filters.pop_front();
    }
    if (Files.empty()) return {};
    QString F = Files.front();
    Files.pop_front();
    return F;
  }
  TDialogService* FPrevious;
};
