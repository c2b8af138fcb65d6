#pragma once
// Every message box, file dialog and hand-over to another program goes
// through one service, so that tests can answer them and the rest of the
// user interface never calls QMessageBox or QFileDialog itself.
#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

enum class TMsgKind { Warning, Information, Confirmation, Error };
enum class TMsgAnswer { Ok, Yes, No, Cancel };

struct TFileDialogRequest {
  QString Title;
  QString Filter;         // Qt form: "Lurvik Studio (*.lvk);;All files (*.*)"
  QString DefaultSuffix;  // without the dot
  QString Directory;      // starting folder; empty for the platform's default
  // When set, receives the 1-based position in Filter of the filter the user
  // chose, for callers that pick a file format by it.
  int* ChosenFilter = nullptr;
  // OpenFile chooses an existing folder instead of a file.
  bool Folder = false;
};

class TDialogService {
public:
  virtual ~TDialogService() = default;
  // Kinds: Warning and Information with OK, Error with OK (the application's
  // error box), Confirmation with Yes/No or, when WithCancel, Yes/No/Cancel.
  virtual TMsgAnswer Message(QWidget* Parent, TMsgKind Kind, const QString& Text, bool WithCancel = false) = 0;
  // The chosen path, or an empty string when the user cancelled.
  virtual QString OpenFile(QWidget* Parent, const TFileDialogRequest& Request) = 0;
  virtual QString SaveFile(QWidget* Parent, const TFileDialogRequest& Request) = 0;
  // Opens a document with the platform's default program; false on failure.
  virtual bool OpenDocument(const QString& Path) = 0;
  // Starts a program detached; false when it cannot be started.
  virtual bool StartDetached(const QString& Program, const QStringList& Arguments, const QString& Folder) = 0;
};

// The service in force; the real one until a test installs another.
TDialogService& Dialogs();
// Installs a service (not owned) and gives back the previous one; nullptr
// restores the real one.
TDialogService* SetDialogService(TDialogService* Service);

// Shorthands for the common boxes.
void ShowWarning(QWidget* Parent, const QString& Text);
void ShowInformation(QWidget* Parent, const QString& Text);
bool AskYesNo(QWidget* Parent, const QString& Text);
// The application's error box: the message with a full stop appended when
// its last character comes after the full stop in character order.
void ShowErrorBox(QWidget* Parent, const QString& Message);
QString ErrorBoxText(const QString& Message);

// The file name part of a path, as the warning boxes show it.
QString FileNamePart(const QString& Path);
