#include "ui/common/FHelp.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QRegularExpression>
#include <QSet>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QToolBar>

#include "ui/common/UDialogService.h"

namespace {

const char* const ContentsPage = "table-of-contents.htm";
// A contents page is a few kilobytes; anything bigger is not ours.
constexpr qint64 MaxContentsBytes = 1 << 20;

constexpr int PathRole = Qt::UserRole;

QString PlainText(const QString& Html) { return QTextDocumentFragment::fromHtml(Html).toPlainText().simplified(); }

// A page's path without the anchor, to compare pages.
QString PagePath(const QUrl& Url) { return Url.isLocalFile() ? QFileInfo(Url.toLocalFile()).absoluteFilePath() : QString(); }

}  // namespace

TfrmHelp::TfrmHelp(QWidget* Parent) : QMainWindow(Parent) {
  setObjectName("frmHelp");
  setWindowFlag(Qt::Window);
  setWindowTitle("Lurvik Studio help");
  resize(860, 620);

  lstContents = new QListWidget(this);
  lstContents->setObjectName("lstContents");
  lstContents->setToolTip("Help pages");
  lstContents->setStatusTip("The help pages; click one or press Enter to show it");
  brwPage = new QTextBrowser(this);
  brwPage->setObjectName("brwPage");
  // Links are followed here, so that a missing page says so and nothing is
  // handed to an outside program.
  brwPage->setOpenLinks(false);
  brwPage->setOpenExternalLinks(false);

  auto* Splitter = new QSplitter(Qt::Horizontal, this);
  Splitter->setObjectName("splHelp");
  Splitter->addWidget(lstContents);
  Splitter->addWidget(brwPage);
  Splitter->setStretchFactor(1, 1);
  Splitter->setCollapsible(1, false);
  Splitter->setSizes({210, 650});
  setCentralWidget(Splitter);

  auto AddAction = [this](const QString& Name, QStyle::StandardPixmap Icon, const QString& Text, const QString& Tip,
                          const QString& Status, const QKeySequence& Key) {
    auto* A = new QAction(style()->standardIcon(Icon), Text, this);
    A->setObjectName(Name);
    A->setShortcut(Key);
    A->setToolTip(Tip + " (" + Key.toString(QKeySequence::NativeText) + ")");
    A->setStatusTip(Status);
    return A;
  };
  actBack = AddAction("actBack", QStyle::SP_ArrowBack, "&Back", "Back", "Show the page shown before this one",
                      QKeySequence(Qt::ALT | Qt::Key_Left));
  actForward = AddAction("actForward", QStyle::SP_ArrowForward, "&Forward", "Forward",
                         "Show the page shown after this one", QKeySequence(Qt::ALT | Qt::Key_Right));
  actContents = AddAction("actContents", QStyle::SP_DirHomeIcon, "&Contents", "Contents",
                          "Show the table of contents of the help pages", QKeySequence(Qt::ALT | Qt::Key_Home));
  actBack->setEnabled(false);
  actForward->setEnabled(false);
  auto* Bar = addToolBar("Navigation");
  Bar->setObjectName("tbrHelp");
  Bar->setMovable(false);
  Bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  Bar->addAction(actBack);
  Bar->addAction(actForward);
  Bar->addSeparator();
  Bar->addAction(actContents);
  auto* Close = new QAction(this);
  Close->setShortcut(Qt::Key_Escape);
  addAction(Close);
  statusBar()->setObjectName("barHelpStatus");

  connect(actBack, &QAction::triggered, brwPage, &QTextBrowser::backward);
  connect(actForward, &QAction::triggered, brwPage, &QTextBrowser::forward);
  connect(actContents, &QAction::triggered, this, [this] {
    if (!FFolder.isEmpty()) FollowLink(QUrl::fromLocalFile(QDir(FFolder).filePath(ContentsPage)));
  });
  connect(Close, &QAction::triggered, this, &QWidget::close);
  connect(brwPage, &QTextBrowser::backwardAvailable, actBack, &QAction::setEnabled);
  connect(brwPage, &QTextBrowser::forwardAvailable, actForward, &QAction::setEnabled);
  connect(brwPage, &QTextBrowser::anchorClicked, this, &TfrmHelp::FollowLink);
  connect(brwPage, &QTextBrowser::highlighted, this,
          [this](const QUrl& Link) { statusBar()->showMessage(Link.isEmpty() ? QString() : Link.toString()); });
  // Emitted before source() gives the new page.
  connect(brwPage, &QTextBrowser::sourceChanged, this, [this](const QUrl& Page) {
    const QString Title = brwPage->documentTitle();
    setWindowTitle(Title.isEmpty() ? "Lurvik Studio help" : Title);
    SelectInContents(PagePath(Page));
  });
  auto Open = [this](QListWidgetItem* Item) {
    if (Item) FollowLink(QUrl::fromLocalFile(Item->data(PathRole).toString()));
  };
  connect(lstContents, &QListWidget::itemClicked, this, Open);
  connect(lstContents, &QListWidget::itemActivated, this, Open);
}

void TfrmHelp::ShowPage(const QString& Path) {
  const QFileInfo Page(Path);
  if (Page.absolutePath() != FFolder) FillContents(Page.absolutePath());
  brwPage->setSource(QUrl::fromLocalFile(Page.absoluteFilePath()));
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

QString TfrmHelp::CurrentPage() const { return PagePath(brwPage->source()); }

void TfrmHelp::FollowLink(const QUrl& Link) {
  const QUrl Target = brwPage->source().resolved(Link);
  // Outside addresses stay outside: help never starts another program.
  if (!Target.isLocalFile()) {
    statusBar()->showMessage("Not a help page: " + Link.toString(), 5000);
    return;
  }
  const QFileInfo Page(Target.toLocalFile());
  if (!Page.isFile()) {
    ShowWarning(this, "Sorry, could not find help file.\n\n    " + QString("help") + QDir::separator() + Page.fileName());
    return;
  }
  if (Page.absolutePath() != FFolder) FillContents(Page.absolutePath());
  brwPage->setSource(Target);
}

// The contents are the pages the contents page links to, in its order; a
// folder without one lists its pages by name.
void TfrmHelp::FillContents(const QString& Folder) {
  FFolder = Folder;
  lstContents->clear();
  const QDir Dir(Folder);
  QSet<QString> Listed;
  auto Add = [&](const QString& FileName, const QString& Text) {
    const QString Path = Dir.absoluteFilePath(FileName);
    if (Listed.contains(Path) || !QFileInfo(Path).isFile()) return;
    Listed.insert(Path);
    auto* Item = new QListWidgetItem(Text.isEmpty() ? QFileInfo(FileName).completeBaseName() : Text, lstContents);
    Item->setData(PathRole, Path);
    Item->setToolTip(FileName);
  };
  QFile Contents(Dir.filePath(ContentsPage));
  if (Contents.open(QIODevice::ReadOnly)) {
    const QString Html = QString::fromUtf8(Contents.read(MaxContentsBytes));
    Add(ContentsPage, "Contents");
    static const QRegularExpression Link(R"(<a\s[^>]*href\s*=\s*"([^"#:]+\.htm)(#[^"]*)?"[^>]*>(.*?)</a>)",
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::DotMatchesEverythingOption);
    for (auto M = Link.globalMatch(Html); M.hasNext();) {
      const QRegularExpressionMatch Found = M.next();
      const QString FileName = Found.captured(1);
      if (!FileName.contains('/')) Add(FileName, PlainText(Found.captured(3)));
    }
  }
  if (lstContents->count() == 0)
    for (const QString& FileName : Dir.entryList({"*.htm"}, QDir::Files, QDir::Name)) Add(FileName, {});
}

void TfrmHelp::SelectInContents(const QString& Path) {
  QSignalBlocker Quiet(lstContents);
  lstContents->clearSelection();
  for (int i = 0; i < lstContents->count(); ++i)
    if (lstContents->item(i)->data(PathRole).toString() == Path) {
      lstContents->setCurrentRow(i);
      lstContents->scrollToItem(lstContents->item(i));
      return;
    }
}
