#include "ui/UHelp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QWidget>

#include "ui/UDialogService.h"

namespace {

const char* const KeywordProperty = "helpKeyword";
QString HelpRoot;

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
      // The current folder first, as always; then the pages installed beside
      // the program, so help works whatever folder it was started from.
      bool Opened = Dialogs().OpenDocument(Path);
      if (!Opened && !RootFolder.isEmpty()) {
        const QString Installed = QDir(RootFolder).filePath(Path);
        if (QFileInfo(Installed).absoluteFilePath() != QFileInfo(Path).absoluteFilePath()) Opened = Dialogs().OpenDocument(Installed);
      }
      if (!Opened) ShowWarning(Owner, "Sorry, could not find help file.\n\n    " + Path);
      return true;
    }
    default:
      return false;
  }
}

void SetHelpRootFolder(const QString& RootFolder) { HelpRoot = RootFolder; }

void HelpByKeyword(const QString& Keyword, QWidget* Owner) { AppHelp(HELP_KEY, Keyword, HelpRoot, Owner); }

void InstallHelpKeyHandler() {
  static THelpKeyFilter* Filter = nullptr;
  if (Filter) return;
  Filter = new THelpKeyFilter;
  Filter->setParent(qApp);
  qApp->installEventFilter(Filter);
}
