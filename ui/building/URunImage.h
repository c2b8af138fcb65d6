#pragma once
// Starting the DS emulator on a built image: Game | Run and the build
// window's Run button. One place finds the emulator and says, in a box, what
// went wrong; the emulator is started detached and never waited for.
#include <QString>
#include <QStringList>

class QWidget;

// The DS emulator's program name as it is to be started: the bare name when
// it is on the search path, else its path in the first of Folders that holds
// it (Debian installs it in /usr/games, which root's search path and some
// desktops' lack); empty when neither has it.
QString FindEmulator(const QString& Name = "desmume", const QStringList& Folders = {"/usr/games"});

// The command as the box shows it: the program and the image, the image
// quoted when it holds a blank.
QString EmulatorCommandText(const QString& Program, const QString& ImagePath);

// Starts the emulator on ImagePath with RootFolder's "no$gba-w" folder as its
// working folder where that exists; it is looked for as FindEmulator does. A
// missing emulator, or one that does not start, is said in a warning box
// naming the command; true when it started.
bool RunImage(QWidget* Parent, const QString& ImagePath, const QString& RootFolder,
              const QStringList& EmulatorFolders = {"/usr/games"});
