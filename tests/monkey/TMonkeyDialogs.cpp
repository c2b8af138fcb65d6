#include "TMonkeyDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "model/UWave.h"

namespace {

void WriteFile(const QString& Path, const QByteArray& Bytes) {
  QFile F(Path);
  if (F.open(QIODevice::WriteOnly)) F.write(Bytes);
}

QString Short(const QString& Text) {
  QString S = Text.left(70);
  S.replace('\n', ' ');
  return S;
}

}  // namespace

TMonkeyDialogs::TMonkeyDialogs(TDice& Dice, const QString& Work, const QString& Examples)
    : FDice(Dice), FWork(Work) {
  QDir W(Work);
  W.mkpath("out");
  QFile Sample(QDir(Examples).filePath("Sample.lvk"));
  QByteArray Game;
  if (Sample.open(QIODevice::ReadOnly)) Game = Sample.readAll();
  // A copy: saving over it must never touch the source tree.
  WriteFile(W.filePath("Sample.lvk"), Game);
  WriteFile(W.filePath("half.lvk"), Game.left(Game.size() / 2));
  QByteArray Damaged = Game;
  for (int i = 0; i < 12 && !Damaged.isEmpty(); ++i)
    Damaged[FDice.Below(static_cast<int>(Damaged.size()))] = static_cast<char>(FDice.Below(256));
  WriteFile(W.filePath("damaged.lvk"), Damaged);
  WriteFile(W.filePath("junk.lvk"), "garbage");
  WriteFile(W.filePath("empty.lvk"), {});
  WriteFile(W.filePath("junk.bmp"), "BM\x10\x00\x00\x00junk");
  WriteFile(W.filePath("junk.pal"), "JASC-PAL\r\n0100\r\n99999\r\n1 2\r\n");
  WriteFile(W.filePath("text.pal"), "JASC-PAL\r\n0100\r\n2\r\n255 0 0\r\n0 0 255\r\n");
  // Sounds: a short one, one too long to keep whole, a cut one and junk.
  auto Wave = [](std::size_t Count) {
    std::vector<std::int8_t> Samples(Count);
    for (std::size_t i = 0; i < Count; ++i) Samples[i] = static_cast<std::int8_t>((i * 7) % 200 - 100);
    const std::vector<std::uint8_t> Bytes = lvk::WaveBytes(Samples);
    return QByteArray(reinterpret_cast<const char*>(Bytes.data()), static_cast<qsizetype>(Bytes.size()));
  };
  WriteFile(W.filePath("beep.wav"), Wave(2000));
  WriteFile(W.filePath("long.wav"), Wave(3 * lvk::WaveSampleRate));
  WriteFile(W.filePath("cut.wav"), Wave(2000).left(60));
  WriteFile(W.filePath("junk.wav"), "RIFF\x04\x00\x00\x00WAVEjunk");
  FOpenable << W.filePath("Sample.lvk") << W.filePath("half.lvk") << W.filePath("damaged.lvk")
            << W.filePath("junk.lvk") << W.filePath("empty.lvk") << W.filePath("junk.bmp") << W.filePath("junk.pal")
            << W.filePath("text.pal") << W.filePath("beep.wav") << W.filePath("long.wav") << W.filePath("cut.wav")
            << W.filePath("junk.wav");
  for (const QFileInfo& Tile : QDir(QDir(Examples).filePath("tiles")).entryInfoList({"*.bmp"}, QDir::Files))
    FOpenable << Tile.absoluteFilePath();
  FFailing << W.filePath("missing.lvk") << W.filePath("no-such-folder/game.lvk") << W.filePath("junk.lvk/below.lvk")
           << Work << W.filePath("out") << QString("/proc/lurvik-monkey.lvk");
  FPrevious = SetDialogService(this);
}

TMonkeyDialogs::~TMonkeyDialogs() { SetDialogService(FPrevious); }

bool TMonkeyDialogs::BoxUp() const {
  return FBoxDepth > 0 && QApplication::activeModalWidget() == FModalAtBox;
}

void TMonkeyDialogs::WhileUp(const QString& What) {
  Trace("  box: " + Short(What).toStdString());
  ++FBoxCount;
  ++FBoxDepth;
  QWidget* const Under = FModalAtBox;
  FModalAtBox = QApplication::activeModalWidget();
  // The windows behind a real box repaint while it is up, all of them.
  for (QWidget* W : QApplication::topLevelWidgets())
    if (W->isVisible() && (W->windowType() == Qt::Window || W->windowType() == Qt::Dialog)) W->repaint();
  const int Rounds = FDice.Between(1, 3);
  for (int i = 0; i < Rounds; ++i) QApplication::processEvents(QEventLoop::AllEvents, 5);
  FModalAtBox = Under;
  --FBoxDepth;
}

TMsgAnswer TMonkeyDialogs::Message(QWidget*, TMsgKind Kind, const QString& Text, bool WithCancel) {
  WhileUp(Text);
  if (Kind != TMsgKind::Confirmation) return TMsgAnswer::Ok;
  TMsgAnswer Answer;
  if (FStopping) {
    const bool SaveQuestion = Text.startsWith("Save changes");
    Answer = SaveQuestion && ++FCloseAttempts > 1 ? TMsgAnswer::No
                                                  : (FDice.Chance(0.5) ? TMsgAnswer::Yes : TMsgAnswer::No);
  } else {
    const int Choice = FDice.Below(WithCancel ? 3 : 2);
    Answer = Choice == 0 ? TMsgAnswer::Yes : Choice == 1 ? TMsgAnswer::No : TMsgAnswer::Cancel;
  }
  Trace(std::string("  answer ") + (Answer == TMsgAnswer::Yes ? "Yes" : Answer == TMsgAnswer::No ? "No" : "Cancel"));
  return Answer;
}

void TMonkeyDialogs::ChooseFilter(const TFileDialogRequest& Request) {
  if (Request.ChosenFilter) *Request.ChosenFilter = 1 + FDice.Below(static_cast<int>(Request.Filter.split(";;").size()));
}

QString TMonkeyDialogs::GoodSavePath(const TFileDialogRequest& Request) {
  const QString Suffix = Request.DefaultSuffix.isEmpty() ? QString("dat") : Request.DefaultSuffix;
  return QDir(FWork).filePath(QString("out/saved-%1.%2").arg(++FSaved % 8).arg(Suffix));
}

QString TMonkeyDialogs::OpenFile(QWidget*, const TFileDialogRequest& Request) {
  WhileUp("open dialog: " + Request.Title);
  ChooseFilter(Request);
  QString Path;
  const int Choice = FDice.Weighted({15, 25, 60});
  if (Choice == 1) {
    Path = FDice.Chance(0.5) ? FDice.Pick(std::vector<QString>(FFailing.begin(), FFailing.end())) : QString();
  } else if (Choice == 2) {
    // Mostly files of the kind asked for, sometimes any.
    QStringList Fitting = FOpenable.filter("." + Request.DefaultSuffix);
    const QStringList& From = Fitting.isEmpty() || FDice.Chance(0.25) ? FOpenable : Fitting;
    Path = FDice.Pick(std::vector<QString>(From.begin(), From.end()));
  }
  if (FStopping) Path.clear();
  Trace("  open -> " + (Path.isEmpty() ? std::string("(cancel)") : Path.toStdString()));
  return Path;
}

QString TMonkeyDialogs::SaveFile(QWidget*, const TFileDialogRequest& Request) {
  WhileUp("save dialog: " + Request.Title);
  ChooseFilter(Request);
  QString Path;
  const int Choice = FStopping ? 3 : FDice.Weighted({20, 20, 10, 50});
  if (Choice == 1)
    Path = FDice.Pick(std::vector<QString>(FFailing.begin(), FFailing.end()));
  else if (Choice == 2)
    Path = FOpenable.first();  // over the copy of the sample game
  else if (Choice == 3) {
    Path = GoodSavePath(Request);
    if (!FOpenable.contains(Path)) FOpenable << Path;
  }
  Trace("  save -> " + (Path.isEmpty() ? std::string("(cancel)") : Path.toStdString()));
  return Path;
}

bool TMonkeyDialogs::OpenDocument(const QString& Path) {
  const bool Opened = QFileInfo::exists(Path) && FDice.Chance(0.5);
  Trace("  open document " + Path.toStdString() + (Opened ? " (opened)" : " (failed)"));
  return Opened;
}

bool TMonkeyDialogs::StartDetached(const QString& Program, const QStringList& Arguments, const QString&) {
  const bool Started = FDice.Chance(0.5);
  Trace("  start " + Program.toStdString() + " " + Arguments.join(' ').toStdString() + (Started ? "" : " (failed)"));
  return Started;
}
