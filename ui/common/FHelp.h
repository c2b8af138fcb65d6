#pragma once
// The help window: the local help pages in the program's own browser, with
// their contents on the left and back/forward, so that help needs no outside
// program. One window is made and reused; it is not modal.
#include <QMainWindow>
#include <QUrl>

class QAction;
class QListWidget;
class QTextBrowser;

class TfrmHelp : public QMainWindow {
  Q_OBJECT
public:
  explicit TfrmHelp(QWidget* Parent = nullptr);

  // Shows the page (a path to an existing .htm file) and brings the window
  // to the front. The contents list is read from the page's folder.
  void ShowPage(const QString& Path);
  // The absolute path of the page shown; empty before the first.
  QString CurrentPage() const;

  QListWidget* lstContents;
  QTextBrowser* brwPage;
  QAction* actBack;
  QAction* actForward;
  QAction* actContents;

private:
  void FillContents(const QString& Folder);
  void SelectInContents(const QString& Path);
  void FollowLink(const QUrl& Link);

  QString FFolder;  // the help folder the contents list was read from
};
