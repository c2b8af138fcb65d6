#include "ui/main/UDocumentSession.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QWidget>

#include "model/UDocument.h"
#include "model/UGame.h"
#include "ui/common/UApplication.h"
#include "ui/common/UDialogService.h"

namespace {

constexpr const char* KeyRecent = "RecentFiles";
constexpr const char* KeySaveFolder = "LastSaveFolder";

// The user's settings: ~/.config/lurvik-studio/lurvik-studio.conf, the
// application's name serving as the maker's too.
std::unique_ptr<QSettings> UserSettings() {
  return std::make_unique<QSettings>(QCoreApplication::applicationName(), QCoreApplication::applicationName());
}

QString FromStd(const std::string& S) { return QString::fromStdString(S); }

// Sets a flag for as long as it lives.
class TFlag {
public:
  explicit TFlag(bool& Flag) : FFlag(Flag) { FFlag = true; }
  ~TFlag() { FFlag = false; }
  TFlag(const TFlag&) = delete;
  TFlag& operator=(const TFlag&) = delete;

private:
  bool& FFlag;
};

}  // namespace

TFileDialogRequest ProjectOpenRequest(const QString& Folder) {
  return {"Open a game design", "Lurvik Studio (*.lvk);;All files (*)", "lvk", Folder};
}

TFileDialogRequest ProjectSaveRequest(const QString& Folder) {
  return {"Save a game design", "Lurvik Studio (*.lvk);;All files (*)", "lvk", Folder};
}

TDocumentSession::TDocumentSession(QWidget* Window)
    : QObject(Window), FWindow(Window), FDocument(std::make_unique<lvk::TDocument>()) {
  FDocument->AddListener(this);
}

TDocumentSession::~TDocumentSession() { FDocument->RemoveListener(this); }

lvk::TGame& TDocumentSession::Game() const { return FDocument->Game(); }

void TDocumentSession::DocumentChanged(const lvk::TChange& Change) { emit Changed(Change); }

bool TDocumentSession::ModalWindowUp() {
  if (!QApplication::activeModalWidget()) return false;
  QApplication::beep();
  return true;
}

// ---- Files ----

bool TDocumentSession::ConfirmSave() {
  if (!FDocument->Modified()) return true;
  const QString Name = FileNamePart(FromStd(Game().FileName()));
  switch (Dialogs().Message(FWindow, TMsgKind::Confirmation, "Save changes to the game " + Name + " first?", true)) {
    case TMsgAnswer::Yes: return Save();
    case TMsgAnswer::No: return true;
    default: return false;
  }
}

bool TDocumentSession::Save() {
  if (Game().FileName() == lvk::NoFileName) return SaveAs();
  try {
    FDocument->Save();
  } catch (const std::exception&) {
    ShowWarning(FWindow, "Error saving file " + FileNamePart(FromStd(Game().FileName())));
    return false;
  }
  AddRecentFile(FromStd(Game().FileName()));
  UserSettings()->setValue(KeySaveFolder, QFileInfo(FromStd(Game().FileName())).absolutePath());
  return true;
}

bool TDocumentSession::SaveAs() {
  const QString Path = Dialogs().SaveFile(FWindow, ProjectSaveRequest(SaveFolder()));
  if (Path.isEmpty()) return false;
  try {
    FDocument->SaveAs(Path.toStdString());
  } catch (const std::exception&) {
    ShowWarning(FWindow, "Error saving file " + FileNamePart(FromStd(Game().FileName())));
    return false;
  }
  AddRecentFile(Path);
  UserSettings()->setValue(KeySaveFolder, QFileInfo(Path).absolutePath());
  return true;
}

void TDocumentSession::New() {
  if (ModalWindowUp() || !ConfirmSave()) return;
  TFlag Opening(FOpening);
  FDocument->New();
}

void TDocumentSession::Open() {
  if (ModalWindowUp() || !ConfirmSave()) return;
  const QString Path = Dialogs().OpenFile(FWindow, ProjectOpenRequest(LastGameFolder()));
  if (!Path.isEmpty()) OpenFile(Path);
}

bool TDocumentSession::OpenFile(const QString& FileName, bool AsCopy) {
  if (ModalWindowUp()) return false;
  try {
    TFlag Opening(FOpening);
    TFlag Reading(FOpeningFile);
    FDocument->Open(FileName.toStdString(), AsCopy);
  } catch (const std::exception& E) {
    ShowWarning(FWindow, "Error opening file " + FileNamePart(FileName) + "\n" + QString::fromUtf8(E.what()));
    return false;
  }
  AddRecentFile(FileName);
  return true;
}

void TDocumentSession::OpenRecent(const QString& FileName) {
  if (ModalWindowUp()) return;
  // Said before anything else: there is nothing to save changes for.
  if (!QFileInfo(FileName).isFile()) {
    QStringList Files = RecentFiles();
    Files.removeAll(FileName);
    SetRecentFiles(Files);
    ShowWarning(FWindow, "The game " + FileName + " no longer exists and was removed from the recent list");
    return;
  }
  if (!ConfirmSave()) return;
  // The installed sample stays as it is, whichever way it is opened.
  const bool Sample =
      !FSampleGame.isEmpty() && QFileInfo(FileName).absoluteFilePath() == QFileInfo(FSampleGame).absoluteFilePath();
  OpenFile(FileName, Sample);
}

void TDocumentSession::OpenSample() {
  if (ModalWindowUp()) return;
  if (FSampleGame.isEmpty() || !QFileInfo(FSampleGame).isFile()) {
    ShowWarning(FWindow, "No sample game was found" +
                             (FSampleGame.isEmpty() ? QString() : " at " + QDir::toNativeSeparators(FSampleGame)));
    return;
  }
  if (!ConfirmSave()) return;
  // A sample that failed to load leaves the open game as it was.
  OpenFile(FSampleGame, true);
}

QString TDocumentSession::LastGameFolder() const {
  QStringList Games = RecentFiles();
  if (Game().FileName() != lvk::NoFileName) Games.prepend(FromStd(Game().FileName()));
  // The installed sample's folder is no place of the user's games.
  const QString Sample = FSampleGame.isEmpty() ? QString() : QFileInfo(FSampleGame).absoluteFilePath();
  for (const QString& Path : Games) {
    if (QFileInfo(Path).absoluteFilePath() == Sample) continue;
    const QFileInfo Folder(QFileInfo(Path).absolutePath());
    if (Folder.isDir()) return Folder.absoluteFilePath();
  }
  return {};
}

QString TDocumentSession::SaveFolder() const {
  QStringList Folders;
  if (Game().FileName() != lvk::NoFileName) Folders << QFileInfo(FromStd(Game().FileName())).absolutePath();
  Folders << UserSettings()->value(KeySaveFolder).toString()
          << QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  for (const QString& Folder : Folders)
    if (!Folder.isEmpty() && QFileInfo(Folder).isDir()) return QFileInfo(Folder).absoluteFilePath();
  return QDir::homePath();
}

// ---- Recent games ----

QStringList TDocumentSession::RecentFiles() const { return UserSettings()->value(KeyRecent).toStringList(); }

void TDocumentSession::SetRecentFiles(const QStringList& Files) {
  UserSettings()->setValue(KeyRecent, Files.mid(0, MaxRecentFiles));
  emit RecentFilesChanged();
}

void TDocumentSession::AddRecentFile(const QString& FileName) {
  const QString Path = QFileInfo(FileName).absoluteFilePath();
  QStringList Files = RecentFiles();
  Files.removeAll(Path);
  Files.prepend(Path);
  SetRecentFiles(Files);
}

void TDocumentSession::FillRecentMenu(QMenu* Menu, const std::function<void(const QString&)>& Choose) const {
  Menu->clear();
  const QStringList Files = RecentFiles();
  for (int i = 0; i < Files.size(); ++i) {
    QString Caption = FileNamePart(Files[i]);
    Caption.replace("&", "&&");
    QAction* Item = Menu->addAction(QString("&%1 %2").arg(i + 1).arg(Caption));
    Item->setObjectName(QString("mnuRecent%1").arg(i + 1));
    Item->setStatusTip(Files[i]);
    connect(Item, &QAction::triggered, Menu, [Choose, Path = Files[i]] { Choose(Path); });
  }
  if (Files.isEmpty()) Menu->addAction("No games opened yet")->setEnabled(false);
}

QString TDocumentSession::WindowTitle() const {
  QString Name = "Untitled";
  if (Game().FileName() != lvk::NoFileName) Name = FileNamePart(FromStd(Game().FileName())).replace("[*]", "[*][*]");
  return Name + "[*] - " + AppTitle;
}

// ---- Undo and redo ----

bool TDocumentSession::Undo() { return !ModalWindowUp() && FDocument->Undo(); }

bool TDocumentSession::Redo() { return !ModalWindowUp() && FDocument->Redo(); }

QString TDocumentSession::UndoText() const {
  return FDocument->CanUndo() ? "Undo " + FromStd(FDocument->UndoName()) : QString("Undo");
}

QString TDocumentSession::RedoText() const {
  return FDocument->CanRedo() ? "Redo " + FromStd(FDocument->RedoName()) : QString("Redo");
}

void TDocumentSession::InstallUndoKeys(QWidget* Editor, std::function<void()> Shown) {
  auto Add = [&](const QList<QKeySequence>& Keys, bool Forward) {
    for (const QKeySequence& Key : Keys) {
      auto* Shortcut = new QShortcut(Key, Editor);
      connect(Shortcut, &QShortcut::activated, Editor, [this, Shown, Forward] {
        if (Forward ? FDocument->Redo() : FDocument->Undo())
          Shown();
        else
          QApplication::beep();
      });
    }
  };
  Add({QKeySequence::Undo}, false);
  Add({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}, true);
}
