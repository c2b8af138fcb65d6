#pragma once
// The panes of the songs: the folder pane with New song and Import module,
// and the pane of one song with its name, what it holds, and the buttons
// that open the song editor and export it as a WAV file.
#include "ui/panes/UItemPane.h"

class QLabel;
class QLineEdit;

namespace lvk {
class TSong;
}

class TPaneSongs : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneSongs(TPaneHost& Host);
  void Show() override;
  void Follow(const lvk::TChange& Change) override;
  TCtrlButton* butNewSong;
  QPushButton* butImportModule;
  QLabel* lblSongsTotal;
  void butNewSongClick();
  void butImportModuleClick();
};

class TPaneSong : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneSong(TPaneHost& Host);
  void Show() override;
  void Follow(const lvk::TChange& Change) override;
  lvk::TSong* Song() const;

  QLineEdit* edtSongName;
  QLabel* lblSongSummary;
  QPushButton* butEditSong;
  QPushButton* butExportWav;
  void butEditSongClick();
  void butExportWavClick();
};
