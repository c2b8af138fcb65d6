#include "ui/building/FBuild.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QProcessEnvironment>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "generator/UBackEnd.h"
#include "ui/common/UDialogService.h"
#include "ui/common/UHelp.h"
#include "ui/building/URunImage.h"

namespace {

// Wide enough for a compiler's usual line.
constexpr int WindowWidth = 720;
constexpr int TopHeight = 65;
constexpr int DetailsHeight = 500;
constexpr int CommandHeight = 72;
constexpr int BackEndLogHeight = 212;

QString FromStd(const std::string& S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }

// Waits for the back-end in a local event loop, so the windows repaint and
// answer while it runs.
class TQtProcessRunner final : public lvk::TProcessRunner {
public:
  std::optional<std::uint32_t> Run(const lvk::TProcessCall& Call) override {
    QProcess Process;
    Process.setProgram(FromStd(Call.Program));
    QStringList Arguments;
    for (const std::string& A : Call.Arguments) Arguments << FromStd(A);
    Process.setArguments(Arguments);
    Process.setWorkingDirectory(FromStd(Call.Folder));
    if (!Call.Environment.empty()) {
      QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
      for (const auto& [Name, Value] : Call.Environment) Environment.insert(FromStd(Name), FromStd(Value));
      Process.setProcessEnvironment(Environment);
    }
    // The launcher writes its own log; it must not wait for a keyboard, and
    // what it would print to a terminal is in that log.
    Process.setStandardInputFile(QProcess::nullDevice());
    Process.setStandardOutputFile(QProcess::nullDevice());
    Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);

    QEventLoop Loop;
    bool Failed = false;
    bool Finished = false;
    // Either can come from within start() already.
    QObject::connect(&Process, &QProcess::errorOccurred, &Loop, [&](QProcess::ProcessError Error) {
      if (Error != QProcess::FailedToStart) return;
      Failed = true;
      Loop.quit();
    });
    QObject::connect(&Process, &QProcess::finished, &Loop, [&] {
      Finished = true;
      Loop.quit();
    });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &Loop, &QEventLoop::quit);
    Process.start();
    if (!Failed && !Finished) Loop.exec();
    if (Failed) return {};
    if (!Finished) return lvk::StillActive;  // the program is closing
    if (Process.exitStatus() == QProcess::CrashExit) return 128u + static_cast<std::uint32_t>(Process.exitCode());
    return static_cast<std::uint32_t>(Process.exitCode());
  }
};

// Read-only text on the window's face colour, as the status and the logs show.
void FaceColoured(QWidget* W) {
  QPalette P = W->palette();
  P.setColor(QPalette::Base, P.color(QPalette::Window));
  W->setPalette(P);
}

void Hint(QWidget* W, const QString& Text) {
  W->setToolTip(Text);
  W->setStatusTip(Text);
}

QPlainTextEdit* LogMemo(const char* Name, const QString& HintText, QWidget* Parent) {
  auto* Memo = new QPlainTextEdit(Parent);
  Memo->setObjectName(Name);
  Memo->setReadOnly(true);
  Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont Font("Courier New", 8);
  Font.setStyleHint(QFont::TypeWriter);
  Font.setFixedPitch(true);
  Memo->setFont(Font);
  FaceColoured(Memo);
  Hint(Memo, HintText);
  return Memo;
}

// A log with its header strip above it.
QWidget* LogPanel(const char* Name, const QString& Header, QPlainTextEdit*& Memo, const char* MemoName,
                  const QString& HintText, QWidget* Parent) {
  auto* Panel = new QWidget(Parent);
  Panel->setObjectName(Name);
  auto* Layout = new QVBoxLayout(Panel);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(2);
  auto* Label = new QLabel(Header, Panel);
  Label->setContentsMargins(4, 2, 4, 0);
  QFont Bold = Label->font();
  Bold.setBold(true);
  Label->setFont(Bold);
  Memo = LogMemo(MemoName, HintText, Panel);
  Layout->addWidget(Label);
  Layout->addWidget(Memo, 1);
  return Panel;
}

// Text shortened in the middle to the width it has, so that both ends of a
// long path stay readable; the whole path is in the tool tip.
class TPathLabel final : public QLabel {
public:
  using QLabel::QLabel;
  QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter Painter(this);
    const QRect R = contentsRect();
    style()->drawItemText(&Painter, R, Qt::AlignRight | Qt::AlignVCenter, palette(), isEnabled(),
                          fontMetrics().elidedText(text(), Qt::ElideMiddle, R.width()), foregroundRole());
  }
};

// The user's settings, as the main window keeps them.
constexpr const char* KeyKit = "Build/Kit";
QSettings UserSettings() {
  return QSettings(QCoreApplication::applicationName(), QCoreApplication::applicationName());
}

constexpr const char* ToolChainOrder =
    "A build uses the first of: the kit chosen here; DEVKITPRO and DEVKITARM from the environment "
    "when they hold libnds 1.8; the kit that comes with Lurvik Studio.";

}  // namespace

QString TfrmBuild::ChosenKit() { return UserSettings().value(KeyKit).toString(); }

void TfrmBuild::SetChosenKit(const QString& Folder) {
  QSettings Settings = UserSettings();
  if (Folder.isEmpty())
    Settings.remove(KeyKit);
  else
    Settings.setValue(KeyKit, Folder);
}

QString TfrmBuild::WaitingText() { return "Waiting for a press on the \"Build\" button..."; }

TfrmBuild::TfrmBuild(QWidget* Parent) : QDialog(Parent) {
  setObjectName("frmBuild");
  setWindowTitle("Lurvik build");
  setModal(true);
  SetHelpKeyword(this, "build");

  auto* pnlTop = new QWidget(this);
  pnlTop->setObjectName("pnlTop");
  pnlTop->setFixedHeight(TopHeight);
  butGenerate = new QPushButton("&Build", pnlTop);
  butGenerate->setObjectName("butGenerate");
  butGenerate->setFixedSize(79, 38);
  butGenerate->setDefault(true);
  Hint(butGenerate, "Build an executable for the Nintendo DS");
  butRun = new QPushButton("&Run", pnlTop);
  butRun->setObjectName("butRun");
  butRun->setFixedSize(79, 38);
  butRun->setAutoDefault(false);  // Enter stays Build
  Hint(butRun, "Run the built game in the DS emulator (once a build made it)");
  lblStatus = new QLabel("Build &status", pnlTop);
  lblStatus->setObjectName("lblStatus");
  edtStatus = new QLineEdit(pnlTop);
  edtStatus->setObjectName("edtStatus");
  edtStatus->setReadOnly(true);
  FaceColoured(edtStatus);
  lblStatus->setBuddy(edtStatus);
  butDetails = new QPushButton("...", pnlTop);
  butDetails->setObjectName("butDetails");
  butDetails->setCheckable(true);
  butDetails->setAutoDefault(false);
  butDetails->setFixedSize(38, 24);
  Hint(butDetails, "Show/hide details of the build process");
  Hint(edtStatus, "What the build is doing, and its summary when it has ended");
  auto* TopLayout = new QHBoxLayout(pnlTop);
  TopLayout->setContentsMargins(8, 8, 8, 8);
  TopLayout->setSpacing(8);
  TopLayout->addWidget(butGenerate, 0, Qt::AlignVCenter);
  TopLayout->addWidget(butRun, 0, Qt::AlignVCenter);
  auto* StatusColumn = new QVBoxLayout;
  StatusColumn->setSpacing(2);
  StatusColumn->addWidget(lblStatus);
  StatusColumn->addWidget(edtStatus);
  TopLayout->addLayout(StatusColumn, 1);
  TopLayout->addWidget(butDetails, 0, Qt::AlignTop);

  pnlCommand = new QWidget(this);
  pnlCommand->setObjectName("pnlCommand");
  pnlCommand->setFixedHeight(CommandHeight);
  lblCommand = new QLabel("&Command", pnlCommand);
  lblCommand->setObjectName("lblCommand");
  edtCommand = new QLineEdit("make", pnlCommand);
  edtCommand->setObjectName("edtCommand");
  Hint(edtCommand, "The command to be executed, typical options are \"make\" or \"make clean\"");
  lblCommand->setBuddy(edtCommand);
  cbxShowCmd = new QCheckBox("Show &cmd", pnlCommand);
  cbxShowCmd->setObjectName("cbxShowCmd");
  cbxShowCmd->setLayoutDirection(Qt::RightToLeft);  // the label on the left
  Hint(cbxShowCmd, "Show the cmd-shell window (must be closed manually when shown)");
  auto* CommandLayout = new QVBoxLayout(pnlCommand);
  CommandLayout->setContentsMargins(8, 4, 8, 8);
  CommandLayout->setSpacing(2);
  lblFolder = new TPathLabel(pnlCommand);
  lblFolder->setObjectName("lblFolder");
  lblFolder->setStatusTip("The folder the tool chain builds in; the DS project there is yours to change");
  auto* CommandHeader = new QHBoxLayout;
  CommandHeader->setSpacing(12);
  CommandHeader->addWidget(lblCommand);
  CommandHeader->addWidget(lblFolder, 1);
  CommandLayout->addLayout(CommandHeader);
  auto* CommandRow = new QHBoxLayout;
  CommandRow->setSpacing(12);
  CommandRow->addWidget(edtCommand, 1);
  CommandRow->addWidget(cbxShowCmd);
  CommandLayout->addLayout(CommandRow);
  CommandLayout->addStretch(1);

  // Which tool chain the build uses and why, with the chooser of a kit.
  pnlToolChain = new QWidget(this);
  pnlToolChain->setObjectName("pnlToolChain");
  lblToolChain = new QLabel(pnlToolChain);
  lblToolChain->setObjectName("lblToolChain");
  lblToolChain->setWordWrap(true);
  // The install command is there to be copied.
  lblToolChain->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  lblToolChain->setToolTip(ToolChainOrder);
  lblToolChain->setStatusTip(ToolChainOrder);
  lblToolChain->installEventFilter(this);
  lblToolChain->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  butKit = new QPushButton("Choose &kit...", pnlToolChain);
  butKit->setObjectName("butKit");
  butKit->setAutoDefault(false);
  Hint(butKit, "Build with a DS kit of your own: a folder holding devkitARM and libnds 1.8");
  butKitDefault = new QPushButton("&Default", pnlToolChain);
  butKitDefault->setObjectName("butKitDefault");
  butKitDefault->setAutoDefault(false);
  Hint(butKitDefault, "Forget the kit chosen here: the environment's tool chain or Lurvik Studio's own kit");
  auto* ToolChainLayout = new QHBoxLayout(pnlToolChain);
  ToolChainLayout->setContentsMargins(8, 0, 8, 6);
  ToolChainLayout->setSpacing(8);
  ToolChainLayout->addWidget(lblToolChain, 1);
  ToolChainLayout->addWidget(butKit, 0, Qt::AlignTop);
  ToolChainLayout->addWidget(butKitDefault, 0, Qt::AlignTop);

  splLogs = new QSplitter(Qt::Vertical, this);
  splLogs->setObjectName("splLogs");
  splLogs->setHandleWidth(1);
  splLogs->setChildrenCollapsible(false);
  pnlFeLog = LogPanel("pnlFeLog", "Front-end log", memFeLog, "memFeLog",
                      "Shows the steps of the code generation by the front-end", splLogs);
  pnlBeLog = LogPanel("pnlBeLog", "Back-end log", memBeLog, "memBeLog",
                      "Shows the output of the back-end (makefile calling the compiler)", splLogs);
  splLogs->addWidget(pnlFeLog);
  splLogs->addWidget(pnlBeLog);
  splLogs->setStretchFactor(0, 1);
  splLogs->setStretchFactor(1, 0);

  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  Layout->addWidget(pnlTop);
  Layout->addWidget(pnlCommand);
  Layout->addWidget(pnlToolChain);
  Layout->addWidget(splLogs, 1);

  connect(butGenerate, &QPushButton::clicked, this, [this] { butGenerateClick(); });
  connect(butRun, &QPushButton::clicked, this, [this] { butRunClick(); });
  connect(butKit, &QPushButton::clicked, this, [this] { butKitClick(); });
  connect(butKitDefault, &QPushButton::clicked, this, [this] { butKitDefaultClick(); });
  connect(butDetails, &QPushButton::clicked, this, [this] { butDetailsClick(); });

  // The logs are what the window is for: it opens showing them.
  resize(WindowWidth, TopHeight);
  butDetails->setChecked(true);
  butDetailsClick();
  SetStatus(WaitingText().toStdString());
  butGenerate->setFocus();
}

void TfrmBuild::SetRootFolder(const QString& RootFolder) {
  FRootFolder = RootFolder;
  const QString Working = FromStd(lvk::WorkingFolder(RootFolder.toStdString()));
  lblFolder->setText("Builds in " + Working);
  lblFolder->setToolTip(Working);
  UpdateToolChain();
  UpdateRunButton();
}

void TfrmBuild::UpdateToolChain() {
  FToolChain = lvk::ChooseToolChain(lvk::ToolChainInputs(FRootFolder.toStdString(), ChosenKit().toStdString()));
  QStringList Lines;
  for (const std::string& L : FToolChain.Lines()) Lines << FromStd(L);
  lblToolChain->setText(Lines.join('\n'));
  QPalette P = palette();
  if (!FToolChain.Usable()) P.setColor(QPalette::WindowText, Qt::darkRed);
  lblToolChain->setPalette(P);
  butKitDefault->setEnabled(!ChosenKit().isEmpty());
  FitToolChainText();
}

void TfrmBuild::FitToolChainText() {
  // A word-wrapped label in a row with buttons is not given the height its
  // text needs at the width it gets: the text is measured here.
  const QRect Contents = lblToolChain->contentsRect();
  if (Contents.width() <= 0) return;
  const int Height = lblToolChain->fontMetrics()
                         .boundingRect(QRect(0, 0, Contents.width(), 1 << 20), Qt::TextWordWrap, lblToolChain->text())
                         .height() +
                     lblToolChain->height() - Contents.height();
  if (Height != lblToolChain->minimumHeight()) lblToolChain->setMinimumHeight(Height);
}

bool TfrmBuild::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == lblToolChain && Event->type() == QEvent::Resize) FitToolChainText();
  return QDialog::eventFilter(Watched, Event);
}

void TfrmBuild::UpdateRunButton() { butRun->setEnabled(!FRunning && QFileInfo(ImagePath()).isFile()); }

void TfrmBuild::butRunClick() {
  if (!butRun->isEnabled()) return;
  RunImage(this, ImagePath(), FRootFolder);
}

void TfrmBuild::butKitClick() {
  if (FRunning) return;
  TFileDialogRequest Request;
  Request.Title = "Choose a DS kit: the folder that holds devkitARM and libnds";
  Request.Folder = true;
  Request.Directory = ChosenKit().isEmpty() ? FromStd(FToolChain.DevkitPro) : ChosenKit();
  const QString Folder = Dialogs().OpenFile(this, Request);
  if (Folder.isEmpty()) return;
  const QString Kit = QDir::cleanPath(QFileInfo(Folder).absoluteFilePath());
  const lvk::TKitCheck Check = lvk::CheckKit(Kit.toStdString(), (Kit + "/devkitARM").toStdString());
  if (!Check.Usable) {
    ShowWarning(this, "The folder " + Kit + " is not a DS kit to build with: " + FromStd(Check.Problem) + ".");
    return;
  }
  SetChosenKit(Kit);
  UpdateToolChain();
}

void TfrmBuild::butKitDefaultClick() {
  if (FRunning) return;
  SetChosenKit({});
  UpdateToolChain();
}

void TfrmBuild::SetGame(const lvk::TGame& Game) { FGame = &Game; }

QString TfrmBuild::ImagePath() const { return FromStd(lvk::BuiltImagePath(FRootFolder.toStdString())); }

void TfrmBuild::butDetailsClick() {
  const bool Shown = butDetails->isChecked();
  pnlCommand->setVisible(Shown);
  pnlToolChain->setVisible(Shown);
  splLogs->setVisible(Shown);
  pnlCommand->setEnabled(Shown);
  pnlToolChain->setEnabled(Shown);
  splLogs->setEnabled(Shown);
  if (Shown) {
    setMinimumHeight(TopHeight + CommandHeight + 160);
    setMaximumHeight(QWIDGETSIZE_MAX);
    resize(width(), TopHeight + DetailsHeight);
    FitOnScreen();
    const int Logs = height() - TopHeight - CommandHeight - pnlToolChain->sizeHint().height();
    splLogs->setSizes({std::max(Logs - BackEndLogHeight, 0), std::min(BackEndLogHeight, Logs)});
  } else {
    // Only the top strip: the window does not grow to show nothing.
    setFixedHeight(TopHeight);
  }
}

void TfrmBuild::FitOnScreen() {
  const QScreen* Screen = screen();
  if (!Screen) return;
  const QRect Area = Screen->availableGeometry();
  // The frame the window manager adds; nothing before the window is shown.
  const QSize Frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
  const int MaxWidth = std::max(Area.width() - Frame.width(), 1);
  const int MaxHeight = std::max(Area.height() - Frame.height(), TopHeight);
  setMinimumSize(std::min(minimumWidth(), MaxWidth), std::min(minimumHeight(), MaxHeight));
  const QSize Size(std::min(width(), MaxWidth), std::min(height(), MaxHeight));
  if (Size != size()) resize(Size);
  if (!isVisible()) return;
  // Grown past the bottom or the right edge: moved back onto the screen.
  const QRect Outer(frameGeometry().topLeft(), Size + Frame);
  QPoint At = Outer.topLeft();
  if (Outer.right() > Area.right()) At.setX(Area.right() - Outer.width() + 1);
  if (Outer.bottom() > Area.bottom()) At.setY(Area.bottom() - Outer.height() + 1);
  At.setX(std::max(At.x(), Area.left()));
  At.setY(std::max(At.y(), Area.top()));
  if (At != Outer.topLeft()) move(At);
}

void TfrmBuild::ShowFailure(int FirstErrorLine) {
  if (!butDetails->isChecked()) {
    butDetails->setChecked(true);
    butDetailsClick();
  }
  WidenToLongestLine();
  // The cursor ends at the start of the line, so the view does not scroll
  // sideways to the end of a long one.
  QTextCursor Cursor(memBeLog->document());
  const QTextBlock Line = memBeLog->document()->findBlockByNumber(FirstErrorLine);
  if (FirstErrorLine >= 0 && Line.isValid()) {
    Cursor = QTextCursor(Line);
    Cursor.movePosition(QTextCursor::EndOfBlock);
    Cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
  } else {
    Cursor.movePosition(QTextCursor::End);
    Cursor.movePosition(QTextCursor::StartOfBlock);
  }
  memBeLog->setTextCursor(Cursor);
  // The lines before an error (the file, the function) belong to it.
  memBeLog->centerCursor();
}

void TfrmBuild::WidenToLongestLine() {
  layout()->activate();  // the logs were hidden until now: their sizes are stale
  int Widest = 0;
  for (const QPlainTextEdit* Memo : {memFeLog, memBeLog}) {
    const QFontMetrics Metrics(Memo->font());
    const int Margins = width() - Memo->viewport()->width() + 2 * static_cast<int>(Memo->document()->documentMargin());
    for (QTextBlock B = Memo->document()->begin(); B.isValid(); B = B.next())
      Widest = std::max(Widest, Metrics.horizontalAdvance(B.text()) + Margins + Metrics.averageCharWidth());
  }
  if (Widest <= width()) return;
  resize(Widest, height());
  FitOnScreen();
}

void TfrmBuild::butGenerateClick() {
  if (FRunning || !FGame) return;
  FRunning = true;
  butGenerate->setEnabled(false);
  butRun->setEnabled(false);
  memFeLog->clear();
  memBeLog->clear();
  // The kit may have been installed or removed since the window opened.
  UpdateToolChain();
  TQtProcessRunner Runner;
  lvk::TBuildRequest Request;
  Request.Game = FGame;
  Request.RootFolder = FRootFolder.toStdString();
  Request.Command = edtCommand->text().toStdString();
  Request.ShowWindow = cbxShowCmd->isChecked();
  Request.ToolChain = FToolChain;
  try {
    lvk::TBuildOutcome Outcome = lvk::BuildGame(Request, *this, Runner, [this](const std::vector<std::string>& Lines) {
      QStringList Text;
      for (const std::string& L : Lines) Text << FromStd(L);
      memBeLog->setPlainText(Text.join('\n'));
    });
    FStartTime = Outcome.StartTime;
    lvk::LogSummary(*this, Outcome);
    if (Outcome.Failed()) ShowFailure(Outcome.FirstErrorLine);
  } catch (const std::exception& E) {
    // The front-end log shows how far the build came.
    ShowFailure(-1);
    ShowErrorBox(this, FromStd(E.what()));
  }
  FRunning = false;
  butGenerate->setEnabled(true);
  UpdateRunButton();
  butGenerate->setFocus();
}

void TfrmBuild::LogLine(const std::string& Text) { memFeLog->appendPlainText(FromStd(Text)); }

void TfrmBuild::SetStatus(const std::string& Text) { edtStatus->setText(FromStd(Text)); }

void TfrmBuild::ShowNotice(const std::string& Text) { ShowInformation(this, FromStd(Text)); }

void TfrmBuild::reject() {
  if (FRunning) return;
  QDialog::reject();
}
