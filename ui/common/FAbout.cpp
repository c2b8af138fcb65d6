#include "ui/common/FAbout.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "support/UVersionInfo.h"

// Outside any namespace: Q_INIT_RESOURCE names a function of the global one.
void InitAboutResources() {
  static const bool Done = [] {
    Q_INIT_RESOURCE(lurvik_about);
    return true;
  }();
  (void)Done;
}

QIcon LurvikIcon() {
  InitAboutResources();
  QIcon Icon;
  for (const char* Name : {":/about/LurvikIcon16.png", ":/about/LurvikIcon32.png", ":/about/LurvikIcon64.png"})
    Icon.addFile(QString::fromLatin1(Name));
  return Icon;
}

QIcon ProgramIcon(const QWidget* Owner) {
  // The program's icon is the one its main window shows; ours stands in for a
  // box opened without an owner that has one.
  const QIcon Icon = Owner ? Owner->window()->windowIcon() : QIcon();
  return Icon.isNull() ? LurvikIcon() : Icon;
}

namespace {

QLabel* MakeLabel(QWidget* Parent, const char* Name, int Left, int Top, int Width, bool Bold = false) {
  auto* Label = new QLabel(Parent);
  Label->setObjectName(QString::fromLatin1(Name));
  Label->setTextFormat(Qt::PlainText);
  if (Bold) {
    QFont Font = Label->font();
    Font.setBold(true);
    Label->setFont(Font);
  }
  Label->setGeometry(Left, Top, Width, Label->fontMetrics().height());
  return Label;
}

}  // namespace

TfrmAbout::TfrmAbout(QWidget* Parent) : QDialog(Parent) {
  InitAboutResources();
  setObjectName("frmAbout");
  setWindowTitle("About Lurvik");
  setWindowIcon(ProgramIcon(Parent));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
  setFixedSize(391, 177);

  imgLogo = new QLabel(this);
  imgLogo->setObjectName("imgLogo");
  imgLogo->setGeometry(8, 8, 50, 160);
  imgLogo->setScaledContents(true);
  imgLogo->setPixmap(QPixmap(":/about/LurvikLogo50x160.png"));

  // Text runs from the labels' left edge to the box's right margin.
  const int TextWidth = width() - 72 - 8;
  lblFileDescription = MakeLabel(this, "lblFileDescription", 72, 16, TextWidth, true);
  lblFileVersion = MakeLabel(this, "lblFileVersion", 72, 32, TextWidth);
  lblCompanyName = MakeLabel(this, "lblCompanyName", 72, 64, TextWidth);
  // Comments may be longer than one line: it wraps in the space above the button.
  lblComments = MakeLabel(this, "lblComments", 72, 80, TextWidth);
  lblComments->setWordWrap(true);
  lblComments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblComments->setFixedHeight(144 - 4 - 80);

  butClose = new QPushButton("&Close", this);
  butClose->setObjectName("butClose");
  butClose->setGeometry(312, 144, 75, 25);
  butClose->setDefault(true);
  connect(butClose, &QPushButton::clicked, this, &QDialog::accept);

  const lvk::TVersionInfo Info;
  lblFileDescription->setText(QString::fromStdString(Info.FileDescription()));
  lblCompanyName->setText(QString::fromStdString(Info.CompanyName()));
  lblFileVersion->setText(QString::fromStdString(Info.FileVersion()));
  lblComments->setText(QString::fromStdString(Info.Comments()));
}
