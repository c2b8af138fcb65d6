#include "ui/common/UDialogService.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include "ui/common/UApplication.h"

namespace {

class TQtDialogService final : public TDialogService {
public:
  TMsgAnswer Message(QWidget* Parent, TMsgKind Kind, const QString& Text, bool WithCancel) override {
    QMessageBox Box(Parent);
    Box.setWindowTitle(AppTitle);
    Box.setText(Text);
    switch (Kind) {
      case TMsgKind::Warning: Box.setIcon(QMessageBox::Warning); break;
      case TMsgKind::Information: Box.setIcon(QMessageBox::Information); break;
      case TMsgKind::Error: Box.setIcon(QMessageBox::Critical); break;
      case TMsgKind::Confirmation:
        Box.setIcon(QMessageBox::Question);
        Box.setStandardButtons(WithCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                          : QMessageBox::Yes | QMessageBox::No);
        break;
    }
    int Result = Box.exec();
    if (Kind != TMsgKind::Confirmation) return TMsgAnswer::Ok;
    if (Result == QMessageBox::Yes) return TMsgAnswer::Yes;
    if (Result == QMessageBox::No) return TMsgAnswer::No;
    return WithCancel ? TMsgAnswer::Cancel : TMsgAnswer::No;
  }

  QString OpenFile(QWidget* Parent, const TFileDialogRequest& R) override {
    return Run(Parent, R, QFileDialog::AcceptOpen);
  }
  QString SaveFile(QWidget* Parent, const TFileDialogRequest& R) override {
    return Run(Parent, R, QFileDialog::AcceptSave);
  }

  bool OpenDocument(const QString& Path) override {
    if (!QFileInfo::exists(Path)) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(Path).absoluteFilePath()));
  }

  bool StartDetached(const QString& Program, const QStringList& Arguments, const QString& Folder) override {
    return QProcess::startDetached(Program, Arguments, Folder);
  }

private:
  static QString Run(QWidget* Parent, const TFileDialogRequest& R, QFileDialog::AcceptMode Mode) {
    QFileDialog Dlg(Parent, R.Title, R.Directory, R.Filter);
    Dlg.setAcceptMode(Mode);
    if (R.Folder) {
      Dlg.setFileMode(QFileDialog::Directory);
      Dlg.setOption(QFileDialog::ShowDirsOnly);
      if (Dlg.exec() != QDialog::Accepted || Dlg.selectedFiles().isEmpty()) return {};
      return Dlg.selectedFiles().first();
    }
    // A typed name of a file that does not exist is accepted; the load reports it.
    Dlg.setFileMode(QFileDialog::AnyFile);
    Dlg.setDefaultSuffix(R.DefaultSuffix);
    // A name typed without extension gets the one of the chosen filter, when it names one.
    QObject::connect(&Dlg, &QFileDialog::filterSelected, &Dlg, [&Dlg](const QString& Filter) {
      static const QRegularExpression Single(R"(\(\*\.(\w+)\)$)");
      const QRegularExpressionMatch M = Single.match(Filter);
      if (M.hasMatch()) Dlg.setDefaultSuffix(M.captured(1));
    });
    // Replacing an existing file is not asked about: the save is safe anyway.
    Dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (Dlg.exec() != QDialog::Accepted || Dlg.selectedFiles().isEmpty()) return {};
    if (R.ChosenFilter)
      *R.ChosenFilter = std::max<int>(1, R.Filter.split(";;").indexOf(Dlg.selectedNameFilter()) + 1);
    return Dlg.selectedFiles().first();
  }
};

TQtDialogService RealService;
TDialogService* Current = &RealService;

}  // namespace

TDialogService& Dialogs() { return *Current; }

TDialogService* SetDialogService(TDialogService* Service) {
  TDialogService* Previous = Current;
  Current = Service ? Service : &RealService;
  return Previous;
}

void ShowWarning(QWidget* Parent, const QString& Text) { Dialogs().Message(Parent, TMsgKind::Warning, Text); }

void ShowInformation(QWidget* Parent, const QString& Text) {
  Dialogs().Message(Parent, TMsgKind::Information, Text);
}

bool AskYesNo(QWidget* Parent, const QString& Text) {
  return Dialogs().Message(Parent, TMsgKind::Confirmation, Text) == TMsgAnswer::Yes;
}

QString ErrorBoxText(const QString& Message) {
  if (!Message.isEmpty() && Message.back().unicode() > u'.') return Message + ".";
  return Message;
}

void ShowErrorBox(QWidget* Parent, const QString& Message) {
  Dialogs().Message(Parent, TMsgKind::Error, ErrorBoxText(Message));
}

QString FileNamePart(const QString& Path) { return QFileInfo(Path).fileName(); }
