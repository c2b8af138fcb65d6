// The song editor, driven by keys as a user drives it: notes typed on the
// piano rows at the octave shown with the instrument chosen, a note-off,
// hex and decimal digits, a selection transposed by a semitone and an
// octave, rows inserted, a pattern cloned; each change one undo step.
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/USong.h"
#include "model/USound.h"
#include "ui/editors/FSongEditor.h"
#include "ui/main/FMain.h"

using namespace lvk;

namespace {

struct SongEditor : ::testing::Test {
  TfrmMain Main;
  TSong* Song = nullptr;
  TSound* Lead = nullptr;
  std::unique_ptr<TfrmSongEditor> Editor;
  void SetUp() override {
    test::Edit(Main.Game(), [this] {
      Main.Game().AddSound();
      Lead = Main.Game().AddSound();
      Lead->SetName("sLead");
      Song = Main.Game().AddSong();
    });
    Editor = std::make_unique<TfrmSongEditor>();
    Editor->SetSong(Main.Game(), *Song);
    Editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Editor.get()));
    Editor->grdSong->setFocus();
  }
  const TSongCell& Cell(int Row, int Channel, int Pattern = 0) { return Song->Data().Patterns[static_cast<std::size_t>(Pattern)].At(Row, Channel); }
  void Key(int K, Qt::KeyboardModifiers M = Qt::NoModifier) { QTest::keyClick(Editor->grdSong, static_cast<Qt::Key>(K), M); }
  void Text(const char* S) { QTest::keyClicks(Editor->grdSong, S); }
  int Steps() { return Main.Document().History().StepCount(); }
};

}  // namespace

TEST_F(SongEditor, NotesDigitsTransposeAndUndo) {
  Editor->cbxInstrument->setCurrentIndex(1);
  const int Before = Steps();
  const TSongData Start = Song->Data();
  // The lower row at octave 4: Z is C4, S C#4, X D4; the upper row an
  // octave above; 1 a note-off. Each goes down a row.
  Key(Qt::Key_Z);
  Key(Qt::Key_S);
  Key(Qt::Key_Q);
  Key(Qt::Key_1);
  Key(Qt::Key_BracketLeft);  // octave 3
  Key(Qt::Key_X);
  EXPECT_EQ(Cell(0, 0), (TSongCell{37, Lead->Id(), NoVolume, 0, 0}));
  EXPECT_EQ(Cell(1, 0).Note, 38);
  EXPECT_EQ(Cell(2, 0).Note, 49);
  EXPECT_EQ(Cell(3, 0).Note, NoteOff);
  EXPECT_EQ(Cell(4, 0).Note, 27);
  EXPECT_EQ(Editor->CursorRow(), 5);
  EXPECT_EQ(Steps(), Before + 5) << "one step a note";

  // Volume in hex, then in decimal; an effect and its value.
  Editor->MoveCursor(0, 0, sfVolume, false);
  Text("c");
  EXPECT_EQ(Cell(0, 0).Volume, 12);
  Editor->chkHex->setChecked(false);
  Text("15");
  EXPECT_EQ(Cell(0, 0).Volume, 15);
  Key(Qt::Key_Right);
  Text("1");
  Key(Qt::Key_Right);
  Text("055");
  EXPECT_EQ(Cell(0, 0).Effect, LVK_SEQ_FX_ARPEGGIO);
  EXPECT_EQ(Cell(0, 0).Value, 55);

  // Rows 0..2 selected: up a semitone, then down an octave; the note-off
  // and empty rows stay as they are.
  Editor->MoveCursor(0, 0, sfNote, false);
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Cell(0, 0).Note, 38);
  EXPECT_EQ(Cell(2, 0).Note, 50);
  EXPECT_EQ(Cell(3, 0).Note, NoteOff);
  Key(Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Cell(0, 0).Note, 26);
  EXPECT_EQ(Cell(1, 0).Note, 27);
  EXPECT_EQ(Main.Session().UndoText().toStdString().find("Transpose an octave") != std::string::npos, true)
      << Main.Session().UndoText().toStdString();
  ASSERT_TRUE(Main.Document().Undo());
  Editor->ShowUndone();
  EXPECT_EQ(Cell(0, 0).Note, 38);

  // Copy the selection, paste it on channel 2; Delete clears a selection;
  // Insert moves the rows below down.
  Key(Qt::Key_C, Qt::ControlModifier);
  Editor->MoveCursor(0, 2, sfNote, false);
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Cell(2, 2).Note, 50);
  Key(Qt::Key_Insert);
  EXPECT_TRUE(Cell(0, 2).Empty());
  EXPECT_EQ(Cell(3, 2).Note, 50);
  EXPECT_EQ(Cell(0, 0).Note, 38) << "other channels stay";
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Cell(2, 2).Note, 50);
  Editor->MoveCursor(0, 2, sfNote, false);
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_Delete);
  EXPECT_TRUE(Cell(0, 2).Empty());
  EXPECT_TRUE(Cell(1, 2).Empty());
  EXPECT_EQ(Cell(2, 2).Note, 50);

  // A clone plays after the pattern shown, which the order list then shows.
  Editor->butClonePattern->click();
  ASSERT_EQ(Song->Data().Patterns.size(), 2u);
  EXPECT_EQ(Song->Data().Orders, (std::vector<int>{0, 1}));
  EXPECT_EQ(Editor->CurrentPattern(), 1);
  EXPECT_EQ(Cell(2, 2, 1).Note, 50);
  Editor->spnTempo->setValue(3);
  EXPECT_EQ(Song->Data().Tempo, 3);
  // Playing and stopping, with or without a device, change nothing.
  const TSongData Played = Song->Data();
  Editor->PlaySong();
  Editor->LoopSelection();
  Editor->Stop();
  EXPECT_EQ(Song->Data(), Played);
  // Every change undone leaves the song as it was made.
  for (int Made = Steps() - Before; Made > 0; --Made) ASSERT_TRUE(Main.Document().Undo());
  Editor->ShowUndone();
  EXPECT_EQ(Song->Data(), Start);
}
