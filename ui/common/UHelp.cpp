#include "ui/common/UHelp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include "ui/common/FHelp.h"
#include "ui/common/UDialogService.h"

namespace {

const char* const KeywordProperty = "helpKeyword";
QString HelpRoot;
QPointer<TfrmHelp> TheHelpWindow;

// The page under the current folder, else under the root folder; empty when
// neither has it.
QString FindPage(const QString& Path, const QString& RootFolder) {
  if (QFileInfo(Path).isFile()) return QFileInfo(Path).absoluteFilePath();
  if (RootFolder.isEmpty()) return {};
  const QFileInfo Installed(QDir(RootFolder).filePath(Path));
  return Installed.isFile() ? Installed.absoluteFilePath() : QString();
}

// A window that is not modal is blocked while a modal dialog is up, unless it
// belongs to that dialog: the help window moves to the modal dialog asking
// for it, and goes with it.
void ShowPage(const QString& Page, QWidget* Owner) {
  QWidget* Modal = QApplication::activeModalWidget();
  if (!TheHelpWindow) {
    QWidget* Parent = Modal ? Modal : Owner ? Owner->window() : QApplication::activeWindow();
    TheHelpWindow = new TfrmHelp(Parent);
  } else if (Modal && Modal != TheHelpWindow && Modal != TheHelpWindow->parentWidget()) {
    const QRect Place = TheHelpWindow->geometry();
    TheHelpWindow->setParent(Modal, TheHelpWindow->windowFlags());
    TheHelpWindow->setGeometry(Place);
  }
  TheHelpWindow->ShowPage(Page);
}

class THelpKeyFilter final : public QObject {
protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(Event)->key() == Qt::Key_F1 &&
        Watched->isWidgetType()) {
      QWidget* Focus = QApplication::focusWidget();
      if (!Focus) Focus = static_cast<QWidget*>(Watched);
      QString Keyword = NearestHelpKeyword(Focus);
      if (!Keyword.isEmpty()) {
        HelpByKeyword(Keyword, Focus->window());
        return true;
      }
    }
    return QObject::eventFilter(Watched, Event);
  }
};

}  // namespace

void SetHelpKeyword(QWidget* Widget, const QString& Keyword) { Widget->setProperty(KeywordProperty, Keyword); }

QString HelpKeyword(const QWidget* Widget) { return Widget->property(KeywordProperty).toString(); }

QString NearestHelpKeyword(const QWidget* Widget) {
  for (const QWidget* W = Widget; W; W = W->parentWidget()) {
    QString K = HelpKeyword(W);
    if (!K.isEmpty()) return K;
  }
  return {};
}

bool AppHelp(int Command, const QVariant& Data, const QString& RootFolder, QWidget* Owner) {
  switch (Command) {
    case HELP_CONTEXT:
      ShowInformation(Owner, "Help without keyword... " + QString::number(Data.toLongLong()));
      return true;
    case HELP_FINDER:
      ShowInformation(Owner, "Help for contents");
      return true;
    case HELP_KEY:
    case HELP_COMMAND:
    case HELP_PARTIALKEY: {
      const QString Path = QString("help") + QDir::separator() + Data.toString() + ".htm";
      // The current folder first, as always; then the pages installed with
      // the program, so help works whatever folder it was started from.
      const QString Page = FindPage(Path, RootFolder);
      if (Page.isEmpty())
        ShowWarning(Owner, "Sorry, could not find help file.\n\n    " + Path);
      else
        ShowPage(Page, Owner);
      return true;
    }
    default:
      return false;
  }
}

TfrmHelp* HelpWindow() { return TheHelpWindow; }

void SetHelpRootFolder(const QString& RootFolder) { HelpRoot = RootFolder; }

void HelpByKeyword(const QString& Keyword, QWidget* Owner) { AppHelp(HELP_KEY, Keyword, HelpRoot, Owner); }

void InstallHelpKeyHandler() {
  static THelpKeyFilter* Filter = nullptr;
  if (Filter) return;
  Filter = new THelpKeyFilter;
  Filter->setParent(qApp);
  qApp->installEventFilter(Filter);
}
