#include "ui/building/FExportWeb.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "generator/UBuildLog.h"
#include "generator/UWebExport.h"
#include "model/UGame.h"
#include "ui/common/UDialogService.h"
#include "ui/common/UHelp.h"

namespace {

QString FromStd(const std::string& S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }

}  // namespace

QString PageSizeText(quint64 Bytes) {
  const QLocale C(QLocale::English);
  const QString Exact = C.toString(Bytes) + (Bytes == 1 ? " byte" : " bytes");
  if (Bytes < 1024) return Exact;
  const double Kb = Bytes / 1024.0;
  return Exact + " (" + (Kb < 1024 ? C.toString(Kb, 'f', 1) + " KB" : C.toString(Kb / 1024.0, 'f', 2) + " MB") + ")";
}

QString TfrmExportWeb::SuggestedFile(const lvk::TGame& Game) {
  // A game never saved has a stand-in name, no file.
  if (Game.FileName().empty() || Game.FileName() == lvk::NoFileName) return QDir::home().filePath("game.html");
  const QFileInfo Info(FromStd(Game.FileName()));
  return Info.dir().filePath(Info.completeBaseName() + ".html");
}

TfrmExportWeb* TfrmExportWeb::Run(QWidget* Parent, const lvk::TGame& Game) {
  TFileDialogRequest Request;
  Request.Title = "Export web page";
  Request.Filter = "Web pages (*.html);;All files (*)";
  Request.DefaultSuffix = "html";
  Request.Directory = SuggestedFile(Game);
  const QString File = Dialogs().SaveFile(Parent, Request);
  if (File.isEmpty()) return nullptr;
  lvk::TTextBuildLog Log;
  quint64 Size = 0;
  try {
    Size = lvk::ExportWebPage(Game, File.toStdString(), Log);
  } catch (const std::exception& E) {
    ShowErrorBox(Parent, FromStd(E.what()));
    return nullptr;
  }
  QStringList Problems;
  for (const std::string& Line : Log.Lines()) Problems << FromStd(Line.rfind("ERROR: ", 0) == 0 ? Line.substr(7) : Line);
  auto* Window = new TfrmExportWeb(Parent, File, Size, Problems);
  Window->show();
  return Window;
}

TfrmExportWeb::TfrmExportWeb(QWidget* Parent, const QString& File, quint64 Size, const QStringList& Problems)
    : QDialog(Parent), FFile(File) {
  setObjectName("frmExportWeb");
  setWindowTitle("Export web page");
  setAttribute(Qt::WA_DeleteOnClose);
  SetHelpKeyword(this, "export-web");

  auto* Layout = new QVBoxLayout(this);
  auto* Heading = new QLabel("<b>The game is written as a web page.</b>", this);
  Layout->addWidget(Heading);
  lblFile = new QLabel(QDir::toNativeSeparators(File), this);
  lblFile->setObjectName("lblFile");
  lblFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lblFile->setWordWrap(true);
  lblFile->setToolTip("The page: one file with everything inside");
  lblFile->setStatusTip("Put this one file on a web site or send it; it plays in any browser, also from a disk");
  Layout->addWidget(lblFile);
  lblSize = new QLabel(PageSizeText(Size), this);
  lblSize->setObjectName("lblSize");
  lblSize->setToolTip("The page's size with the engine, pictures and sounds inside");
  Layout->addWidget(lblSize);

  memProblems = new QPlainTextEdit(this);
  memProblems->setObjectName("memProblems");
  memProblems->setReadOnly(true);
  memProblems->setPlainText(Problems.join("\n"));
  memProblems->setToolTip("What the game's build would report: its errors, and actors nothing draws");
  memProblems->setMinimumHeight(90);
  auto* lblProblems = new QLabel(QString("<b>Problems in the game: %1</b>").arg(Problems.size()), this);
  lblProblems->setObjectName("lblProblems");
  lblProblems->setStyleSheet("color: #b00000");
  lblProblems->setVisible(!Problems.isEmpty());
  memProblems->setVisible(!Problems.isEmpty());
  Layout->addWidget(lblProblems);
  Layout->addWidget(memProblems, 1);

  auto* Buttons = new QHBoxLayout;
  Buttons->addStretch(1);
  butOpen = new QPushButton("&Open in browser", this);
  butOpen->setObjectName("butOpen");
  butOpen->setToolTip("Open the page in the system's web browser");
  butOpen->setDefault(true);
  connect(butOpen, &QPushButton::clicked, this, [this] {
    if (!Dialogs().OpenDocument(FFile))
      ShowWarning(this, "The page " + FileNamePart(FFile) + " could not be opened in a browser.");
  });
  butClose = new QPushButton("&Close", this);
  butClose->setObjectName("butClose");
  connect(butClose, &QPushButton::clicked, this, &QDialog::close);
  Buttons->addWidget(butOpen);
  Buttons->addWidget(butClose);
  Layout->addLayout(Buttons);
  resize(Problems.isEmpty() ? QSize(440, 150) : QSize(560, 320));
}
