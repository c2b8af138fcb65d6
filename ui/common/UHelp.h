#pragma once
// Keyword help: every window, pane and control may carry a help keyword; a
// request shows the page help/<keyword>.htm in the program's help window.
#include <QString>
#include <QVariant>

class QWidget;
class TfrmHelp;

// The platform's request kinds, by their numeric codes.
enum THelpCommand {
  HELP_CONTEXT = 1,
  HELP_FINDER = 3,
  HELP_KEY = 257,
  HELP_COMMAND = 258,
  HELP_PARTIALKEY = 261,
};

void SetHelpKeyword(QWidget* Widget, const QString& Keyword);
QString HelpKeyword(const QWidget* Widget);
// The widget's own keyword, or that of its nearest parent that has one.
QString NearestHelpKeyword(const QWidget* Widget);

// The application's help handler. Returns true when it handled the request;
// false leaves it to the platform's standard handling (there is none here).
// Root is the program's folder, where pages are looked for when the current
// folder has none.
bool AppHelp(int Command, const QVariant& Data, const QString& RootFolder, QWidget* Owner = nullptr);

// The help window, once a page was shown; nullptr before that, or after the
// dialog it was opened over has gone (it then goes with it).
TfrmHelp* HelpWindow();

// A request by keyword, as the Help buttons and F1 make it.
void HelpByKeyword(const QString& Keyword, QWidget* Owner = nullptr);
void SetHelpRootFolder(const QString& RootFolder);

// Sends F1 anywhere in the application to AppHelp with the keyword of the
// focused control.
void InstallHelpKeyHandler();
