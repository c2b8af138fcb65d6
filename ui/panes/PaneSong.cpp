#include "ui/panes/PaneSong.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "generator/USongRender.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UModuleImport.h"
#include "model/USong.h"
#include "ui/common/UPictures.h"
#include "ui/main/UPaneHost.h"
#include "ui/panes/UPaneLayout.h"

namespace {

TFileDialogRequest ModuleRequest() {
  return {"Import module", "Module files (*.mod *.xm *.s3m *.it);;All (*)", "mod", QString()};
}

}  // namespace

// ---- Songs ----

TPaneSongs::TPaneSongs(TPaneHost& Host)
    : TItemPane(Host, "tsSongs", "Songs", "Songs pane for managing the game's songs", "main-songs") {
  SetHeaderIcon(UiPixmap("BmpSounds18x18"));
  butNewSong = NewButton("butNewSong", "BmpSoundsNew16x16", "&New song", "Add a new song",
                         "Add a new, empty song (use ctrl-click for keeping focus)");
  butImportModule = new QPushButton("&Import module...", this);
  butImportModule->setObjectName("butImportModule");
  butImportModule->setFixedHeight(25);
  SetHints(butImportModule, "Add a new song from a MOD or XM file", "Add a new song from a module file; its samples become sounds");
  auto* R = new QHBoxLayout;
  R->addWidget(butNewSong);
  R->addWidget(butImportModule);
  R->addStretch(1);
  Body()->addLayout(R);
  lblSongsTotal = new QLabel(this);
  lblSongsTotal->setObjectName("lblSongsTotal");
  SetHints(lblSongsTotal, "How many songs the game has");
  Body()->addWidget(lblSongsTotal);
  Body()->addStretch(1);
  connect(butNewSong, &QPushButton::clicked, this, &TPaneSongs::butNewSongClick);
  connect(butImportModule, &QPushButton::clicked, this, &TPaneSongs::butImportModuleClick);
}

void TPaneSongs::Show() { lblSongsTotal->setText(QString("%1 songs").arg(Game().SongCount())); }

void TPaneSongs::Follow(const lvk::TChange& Change) {
  if (Change.Item == lvk::TItemKind::Song) Show();
}

void TPaneSongs::butNewSongClick() {
  lvk::TSong* Song = nullptr;
  {
    lvk::TEdit Edit(Game(), "New song");
    Song = Game().AddSong();
  }
  if (butNewSong->CtrlRecord() == 0) Host().SelectItem(*Song);
}

void TPaneSongs::butImportModuleClick() {
  const QString Path = Dialogs().OpenFile(this, ModuleRequest());
  if (Path.isEmpty()) return;
  lvk::TSong* Song = nullptr;
  lvk::TModuleImport Result;
  try {
    // The new song and its sounds are one step; a refused file leaves none.
    lvk::TEdit Edit(Game(), "Import module");
    Song = Game().AddSong();
    Result = lvk::ImportModule(*Song, Path.toStdString());
    try {
      Song->SetName("m" + QFileInfo(Path).completeBaseName().toStdString());
    } catch (const std::exception&) {
    }
  } catch (const std::exception& E) {
    ShowWarning(this, "Error importing module " + FileNamePart(Path) + "\n" + QString::fromUtf8(E.what()));
    return;
  }
  if (!Result.Note.empty()) ShowInformation(this, QString::fromStdString(Result.Note));
  Host().SelectItem(*Song);
}

// ---- One song ----

lvk::TSong* TPaneSong::Song() const { return Host().Game().SongById(ItemId()); }

TPaneSong::TPaneSong(TPaneHost& Host)
    : TItemPane(Host, "tsSong", "Song", "Song pane: a song of the game, made in the song editor", "main-song") {
  SetHeaderIcon(UiPixmap("BmpSound18x18"));
  edtSongName = NameField("edtSongName", "The name of the song");
  BindNameField(edtSongName, "Rename song", [this](const std::string& N) { Song()->SetName(N); });
  lblSongSummary = new QLabel(this);
  lblSongSummary->setObjectName("lblSongSummary");
  lblSongSummary->setWordWrap(true);
  Body()->addWidget(lblSongSummary);
  butEditSong = new QPushButton("Edit &song...", this);
  butEditSong->setObjectName("butEditSong");
  SetHints(butEditSong, "Open the song editor", "Open the song editor: patterns, order list, playing");
  butExportWav = new QPushButton("E&xport WAV...", this);
  butExportWav->setObjectName("butExportWav");
  SetHints(butExportWav, "Write the song as a WAV file", "Write the song, once through, as a 16-bit WAV file");
  auto* R = new QHBoxLayout;
  R->addWidget(butEditSong);
  R->addWidget(butExportWav);
  R->addStretch(1);
  Body()->addLayout(R);
  Body()->addStretch(1);
  connect(butEditSong, &QPushButton::clicked, this, &TPaneSong::butEditSongClick);
  connect(butExportWav, &QPushButton::clicked, this, &TPaneSong::butExportWavClick);
}

void TPaneSong::Show() {
  const lvk::TSong* S = Song();
  if (!S) return;
  edtSongName->setText(QString::fromStdString(S->Name()));
  const lvk::TSongData& D = S->Data();
  QStringList Levels;
  for (int i = 0; i < Game().LevelCount(); ++i)
    if (Game().GetLevel(i)->Song() == S) Levels << QString::fromStdString(Game().GetLevel(i)->Name());
  lblSongSummary->setText(QString("%1 channels, %2 patterns, %3 orders, %4 frames a row, %5 instruments.%6")
                              .arg(D.Channels)
                              .arg(D.Patterns.size())
                              .arg(D.Orders.size())
                              .arg(D.Tempo)
                              .arg(S->Instruments().size())
                              .arg(Levels.isEmpty() ? QString() : "\nPlayed by " + Levels.join(", ") + "."));
}

void TPaneSong::Follow(const lvk::TChange& Change) {
  if (Shows(Change) || Change.Item == lvk::TItemKind::Level) Show();
}

void TPaneSong::butEditSongClick() {
  if (Song()) Host().EditSong(*Song());
}

void TPaneSong::butExportWavClick() {
  if (!Song()) return;
  const QString Path = Dialogs().SaveFile(this, {"Export WAV", "WAV sound (*.wav);;All (*)", "wav", QString()});
  if (Path.isEmpty()) return;
  try {
    const std::vector<std::int16_t> Samples = lvk::RenderSong(Game(), *Song(), 44100);
    lvk::WriteWave16(Path.toStdString(), Samples, 44100);
  } catch (const std::exception& E) {
    ShowWarning(this, "Error exporting song " + FileNamePart(Path) + "\n" + QString::fromUtf8(E.what()));
  }
}
