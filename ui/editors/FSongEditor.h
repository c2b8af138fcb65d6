#pragma once
// The song editor: a tracker grid of the pattern the order list's current
// entry plays (rows down, channels across: note, instrument, volume,
// effect and value), the order list beside it, the song's tempo, beats and
// channels above. The keyboard enters notes as a piano (two rows of keys,
// an octave each), Delete clears, 1 is a note-off, and the other columns
// take digits in hex or decimal. Every change is one step of the document's
// undo history. Play plays the song from its start, Play from cursor from
// the row under the cursor, Loop the selected rows again and again; a note
// typed or clicked is heard at once. Opened modally from the song's pane.
#include <QAbstractScrollArea>
#include <QDialog>
#include <memory>
#include <vector>

#include "model/UItemId.h"
#include "model/USong.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QTimer;
class QToolButton;

namespace lvk {
class TChange;
class TGame;
class TPlayAudio;
class TSongSounds;
class TSongTables;
}  // namespace lvk

class TfrmSongEditor;

// The columns of a channel, left to right.
enum TSongField { sfNote = 0, sfInstrument = 1, sfVolume = 2, sfEffect = 3, sfValue = 4, sfCount = 5 };

class TSongGrid : public QAbstractScrollArea {
  Q_OBJECT
public:
  explicit TSongGrid(TfrmSongEditor& Editor);
  // Where a point of the viewport lies: row, channel and field; false outside the cells.
  bool CellAt(const QPoint& Point, int& Row, int& Channel, int& Field) const;
  // Keeps the row in view.
  void ShowRow(int Row);
  void UpdateScroll();
  int RowHeight() const { return FRowHeight; }
  int ChannelWidth() const { return FChannelWidth; }

protected:
  void paintEvent(QPaintEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab moves between channels

private:
  TfrmSongEditor& FEditor;
  int FRowHeight = 16;
  int FChannelWidth = 120;
  int FRowLabelWidth = 34;
  int FCharWidth = 8;
};

class TfrmSongEditor : public QDialog {
  Q_OBJECT
public:
  explicit TfrmSongEditor(QWidget* Parent = nullptr);
  ~TfrmSongEditor() override;

  // The song to edit, looked up by id in Game whenever it is needed.
  void SetSong(lvk::TGame& Game, lvk::TSong& Song);
  lvk::TSong* Song() const;
  // A notice of the document: the grid and the lists follow the song.
  void Follow(const lvk::TChange& Change);
  void ShowUndone();

  // The pattern shown: the one the current order entry plays.
  int CurrentOrder() const { return FOrder; }
  int CurrentPattern() const;
  const lvk::TSongData& Data() const;
  int CursorRow() const { return FRow; }
  int CursorChannel() const { return FChannel; }
  int CursorField() const { return FField; }
  bool HasSelection() const { return FSelecting; }
  // The selection: rows and channels, first to last.
  void Selection(int& Row1, int& Row2, int& Channel1, int& Channel2) const;
  int Octave() const;
  bool Hex() const;
  // The row being played in the pattern shown, or -1.
  int PlayingRow() const { return FPlayingRow; }
  // The number an instrument shows: its sound's place in the game, from 1.
  int InstrumentNumber(lvk::TItemId Sound) const;

  // Commands, as the keys and buttons give them.
  void MoveCursor(int Row, int Channel, int Field, bool Select);
  bool TypeKey(int Key, const QString& Text, Qt::KeyboardModifiers Modifiers);
  void ClearAtCursor();
  void Transpose(int Semitones);
  void CopySelection();
  void CutSelection();
  void Paste();
  void InsertRow();
  void DeleteRow();
  void ClonePattern();
  void NewPattern();
  void AddOrder();
  void RemoveOrder();
  void SetLoopHere();
  void PlaySong();
  void PlayFromCursor();
  void LoopSelection();
  void Stop();
  void ExportWav();
  void ImportModule();
  void HearNote(int Note, lvk::TItemId Instrument);

  QToolButton* butPlay;
  QToolButton* butPlayCursor;
  QToolButton* butLoop;
  QToolButton* butStop;
  QSpinBox* spnTempo;
  QSpinBox* spnBeats;
  QSpinBox* spnChannels;
  QSpinBox* spnRows;
  QSpinBox* spnOctave;
  QComboBox* cbxInstrument;
  QCheckBox* chkHex;
  QListWidget* lbxOrders;
  QPushButton* butAddOrder;
  QPushButton* butRemoveOrder;
  QPushButton* butNewPattern;
  QPushButton* butClonePattern;
  QPushButton* butLoopHere;
  QPushButton* butTransposeUp;
  QPushButton* butTransposeDown;
  QPushButton* butImport;
  QPushButton* butExport;
  QPushButton* butHelp;
  TSongGrid* grdSong;
  QStatusBar* stbSong;

private:
  // One step of the undo history: Change gets a copy of the song's data.
  void Change(const char* Step, const std::function<void(lvk::TSongData&)>& Changer);
  void Refresh();
  void FillOrders();
  void FillInstruments();
  void ShowCellHint();
  void PollPlaying();
  void StartPlaying(int Order, int Row, const lvk::TSongData* Looped);
  lvk::TPlayAudio& Audio();

  lvk::TGame* FGame = nullptr;
  lvk::TItemId FSongId = lvk::NoItem;
  int FOrder = 0;
  int FRow = 0, FChannel = 0, FField = 0;
  bool FSelecting = false;
  int FAnchorRow = 0, FAnchorChannel = 0;
  int FPlayingRow = -1;
  bool FFilling = false;
  std::vector<lvk::TSongCell> FClip;  // rows x channels
  int FClipRows = 0, FClipChannels = 0;
  std::unique_ptr<lvk::TPlayAudio> FAudio;
  std::unique_ptr<lvk::TSongTables> FTables;
  std::unique_ptr<lvk::TSongSounds> FSounds;
  std::unique_ptr<lvk::TSong> FLoopSong;  // the selected rows, for Loop
  QTimer* FPoll = nullptr;
};
