#include "ui/building/URunImage.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "ui/common/UDialogService.h"

QString FindEmulator(const QString& Name, const QStringList& Folders) {
  if (!QStandardPaths::findExecutable(Name).isEmpty()) return Name;
  return Folders.isEmpty() ? QString() : QStandardPaths::findExecutable(Name, Folders);
}

QString EmulatorCommandText(const QString& Program, const QString& ImagePath) {
  const bool Blank = ImagePath.contains(' ') || ImagePath.contains('\t');
  return Program + " " + (Blank ? "\"" + ImagePath + "\"" : ImagePath);
}

bool RunImage(QWidget* Parent, const QString& ImagePath, const QString& RootFolder,
              const QStringList& EmulatorFolders) {
  const QString Name = "desmume";
  const QString Program = FindEmulator(Name, EmulatorFolders);
  if (Program.isEmpty()) {
    ShowWarning(Parent, "The DS emulator " + Name + " was not found on the search path nor in " +
                            EmulatorFolders.join(", ") + ", so " +
                            EmulatorCommandText(Name, ImagePath) +
                            " cannot run.\nInstall it with: sudo apt install desmume");
    return false;
  }
  const QString Folder = QDir(RootFolder).filePath("no$gba-w");
  if (!Dialogs().StartDetached(Program, {ImagePath}, QFileInfo(Folder).isDir() ? Folder : QString())) {
    ShowWarning(Parent, "The DS emulator could not be started:\n" + EmulatorCommandText(Program, ImagePath));
    return false;
  }
  return true;
}
