// The sounds in the main window: the folder and sound panes, presets,
// Random and value changes as undo steps, playing on change, WAV import and
// export, a level's music and PlaySound's choice of sound.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <gtest/gtest.h>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "behaviour/REventCreate.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UWave.h"
#include "ui/main/FMain.h"
#include "ui/events/FraActions.h"
#include "ui/panes/PaneHandler.h"
#include "ui/panes/PaneLevel.h"
#include "ui/panes/PaneSound.h"
#include "ui/panes/USoundPreview.h"
#include "ui/play/UPlayAudio.h"

using namespace lvk;

namespace {

// Hears what the pane asks to play.
struct TListener : TSoundPreview {
  std::vector<std::vector<std::int8_t>> Played;
  int Stops = 0;
  void Play(const std::vector<std::int8_t>& Samples) override { Played.push_back(Samples); }
  void Stop() override { ++Stops; }
  QString Why;  // what it says it is not heard for
  QString Unheard() const override { return Why; }
};

struct Sounds : ::testing::Test {
  TScriptedDialogs Dialogs;
  TListener Heard;
  TSoundPreview* Before = SetSoundPreview(&Heard);
  TfrmMain Main;
  QTemporaryDir Folder;
  void SetUp() override {
    Main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  }
  void TearDown() override { SetSoundPreview(Before); }
  TGame& Game() { return Main.Game(); }
  TPaneSound& Pane() { return *Main.tsSound; }
  std::string UndoName() { return Main.Session().UndoText().toStdString(); }
  TSound* NewSound() {
    Main.SelectNode(Main.SoundsNode());
    QTest::mouseClick(Main.tsSounds->butNewSound, Qt::LeftButton);
    EXPECT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsSound));
    return Pane().Sound();
  }
  QString Write(const QString& Name, const std::vector<std::uint8_t>& Bytes) {
    const QString Path = Folder.filePath(Name);
    std::ofstream(Path.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    return Path;
  }
};

bool SameParams(const lvk_synth_params_t& A, const lvk_synth_params_t& B) {
  return A.wave == B.wave && A.start_hz == B.start_hz && A.end_hz == B.end_hz && A.length_ms == B.length_ms &&
         A.attack_ms == B.attack_ms && A.decay_ms == B.decay_ms && A.volume == B.volume &&
         A.vibrato_depth == B.vibrato_depth && A.vibrato_rate == B.vibrato_rate && A.repeat == B.repeat;
}

}  // namespace

// A preset, a run of arrow presses in one box and Random are one step each,
// and every change plays the sound while "Play on change" is ticked.
TEST_F(Sounds, PresetValuesAndRandomEachOneStepAndHeard) {
  TSound* Sound = NewSound();
  ASSERT_NE(Sound, nullptr);
  EXPECT_EQ(Sound->Name(), "sSound1");
  EXPECT_EQ(UndoName(), "Undo New sound");
  EXPECT_EQ(Main.tsSounds->lblSoundsTotal->text().left(14), "1 of 64 sounds");

  Pane().cbxSoundPreset->setFocus();
  QTest::keyClick(Pane().cbxSoundPreset, Qt::Key_Down);  // the second preset
  EXPECT_TRUE(SameParams(Sound->Params(), lvk_synth_presets[1].params));
  EXPECT_EQ(UndoName(), "Undo Sound preset");
  EXPECT_EQ(Pane().spnStartHz->value(), lvk_synth_presets[1].params.start_hz);
  ASSERT_EQ(Heard.Played.size(), 1u);
  EXPECT_EQ(Heard.Played.back(), Sound->Samples());

  const int Hz = Sound->Params().start_hz;
  Pane().spnStartHz->setFocus();
  QTest::keyClick(Pane().spnStartHz, Qt::Key_Up);
  QTest::keyClick(Pane().spnStartHz, Qt::Key_Up);
  EXPECT_EQ(Sound->Params().start_hz, Hz + 2);
  EXPECT_EQ(Heard.Played.size(), 3u);
  EXPECT_EQ(UndoName(), "Undo Change sound");
  Main.mnuUndoClick();  // both presses at once
  EXPECT_EQ(Sound->Params().start_hz, Hz);
  EXPECT_EQ(Pane().spnStartHz->value(), Hz);
  EXPECT_EQ(UndoName(), "Undo Sound preset");

  Pane().chkPlayOnChange->setChecked(false);
  QTest::mouseClick(Pane().butSoundRandom, Qt::LeftButton);
  EXPECT_FALSE(SameParams(Sound->Params(), lvk_synth_presets[1].params));
  EXPECT_EQ(UndoName(), "Undo Random sound");
  EXPECT_EQ(Heard.Played.size(), 3u);  // unticked: silent
  EXPECT_EQ(Pane().lblSoundSize->text(),
            SoundSizeText(Sound->DsSize(), Sound->DurationMs()));

  // Space plays from the pane, but types a blank in the name and ticks a
  // tick that has the focus.
  Pane().cbxSoundWave->setFocus();
  QTest::keyClick(Pane().cbxSoundWave, Qt::Key_Space);
  EXPECT_EQ(Heard.Played.size(), 4u);
  Pane().edtSoundName->setFocus();
  QTest::keyClick(Pane().edtSoundName, Qt::Key_Space);
  EXPECT_EQ(Heard.Played.size(), 4u);
  Pane().chkPlayOnChange->setFocus();
  QTest::keyClick(Pane().chkPlayOnChange, Qt::Key_Space);
  EXPECT_TRUE(Pane().chkPlayOnChange->isChecked());
  EXPECT_EQ(Heard.Played.size(), 4u);
}

// A WAV file that cannot be read warns with the reader's reason and leaves
// the sound as it was; a long one is cut to 2 seconds and says so; export
// writes what the DS plays.
// Play with no device says so, in the play window's words, and stops saying
// it once the sound is heard.
TEST_F(Sounds, PlayWithoutADeviceSaysSo) {
  ASSERT_NE(NewSound(), nullptr);
  EXPECT_TRUE(Pane().lblSoundUnheard->isHidden());
  QTest::mouseClick(Pane().butSoundPlay, Qt::LeftButton);
  EXPECT_EQ(Heard.Played.size(), 1u);
  EXPECT_TRUE(Pane().lblSoundUnheard->isHidden());
  // The application's own preview, on no device, tells why as the play
  // window's audio does.
  lvk::TPlayAudio NoDevice{QAudioDevice()};
  NoDevice.Start();
  ASSERT_TRUE(NoDevice.SilentWhy().startsWith("No sound device: ")) << NoDevice.SilentWhy().toStdString();
  Heard.Why = NoDevice.SilentWhy();
  Pane().butSoundPlay->setFocus();
  QTest::keyClick(Pane().butSoundPlay, Qt::Key_Space);
  EXPECT_EQ(Heard.Played.size(), 2u);
  EXPECT_FALSE(Pane().lblSoundUnheard->isHidden());
  EXPECT_EQ(Pane().lblSoundUnheard->text(), Heard.Why);
  Heard.Why.clear();
  QTest::mouseClick(Pane().butSoundPlay, Qt::LeftButton);
  EXPECT_TRUE(Pane().lblSoundUnheard->isHidden());
}

TEST_F(Sounds, WavImportAndExport) {
  TSound* Sound = NewSound();
  const std::vector<std::int8_t> Made = Sound->Samples();
  const std::size_t Steps = Main.Document().History().Position();

  const QString Bad = Write("bad.wav", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
  Dialogs.Files = {Bad};
  QTest::mouseClick(Pane().butSoundImport, Qt::LeftButton);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0].Kind, TMsgKind::Warning);
  EXPECT_TRUE(Dialogs.Messages[0].Text.startsWith("Error importing sound bad.wav\n"));
  EXPECT_EQ(Sound->Samples(), Made);
  EXPECT_EQ(Sound->Kind(), TSoundKind::skMade);
  EXPECT_EQ(Main.Document().History().Position(), Steps);

  // Three seconds of 8-bit mono at the DS rate: two are kept.
  std::vector<std::int8_t> Long(3 * WaveSampleRate);
  for (std::size_t i = 0; i < Long.size(); ++i) Long[i] = static_cast<std::int8_t>((i % 64) * 2 - 64);
  Dialogs.Files = {Write("long.wav", WaveBytes(Long))};
  QTest::mouseClick(Pane().butSoundImport, Qt::LeftButton);
  ASSERT_EQ(Dialogs.Messages.size(), 2u);
  EXPECT_EQ(Dialogs.Messages[1].Kind, TMsgKind::Information);
  EXPECT_EQ(Sound->Kind(), TSoundKind::skImported);
  EXPECT_EQ(Sound->Samples(), std::vector<std::int8_t>(Long.begin(), Long.begin() + WaveMaxSamples));
  EXPECT_EQ(UndoName(), "Undo Import sound");
  EXPECT_TRUE(Pane().lblSoundKind->text().startsWith("Imported"));

  const QString Out = Folder.filePath("out.wav");
  Dialogs.Files = {Out};
  QTest::mouseClick(Pane().butSoundExport, Qt::LeftButton);
  EXPECT_EQ(ReadWaveFile(Out.toStdString()).Samples, Sound->Samples());

  Main.mnuUndoClick();
  EXPECT_EQ(Sound->Samples(), Made);
  EXPECT_TRUE(Pane().lblSoundKind->text().startsWith("Made"));

  // From the folder: a new sound named after the file, or none at all.
  Main.SelectNode(Main.SoundsNode());
  Dialogs.Files = {Bad};
  QTest::mouseClick(Main.tsSounds->butImportSound, Qt::LeftButton);
  EXPECT_EQ(Game().SoundCount(), 1);
  Dialogs.Files = {Write("ping.wav", WaveBytes(std::vector<std::int8_t>(100, 20)))};
  QTest::mouseClick(Main.tsSounds->butImportSound, Qt::LeftButton);
  ASSERT_EQ(Game().SoundCount(), 2);
  EXPECT_EQ(Game().GetSound(1)->Name(), "sping");
  EXPECT_EQ(Pane().Sound(), Game().GetSound(1));
}

// A level's music is one step; deleting the sound asks, naming the level
// and the actions that play it, and takes both; undo gives them back.
// PlaySound picks from the game's sounds.
TEST_F(Sounds, MusicPlaySoundAndDelete) {
  TSound* Sound = NewSound();
  THandler* Handler = nullptr;
  test::Edit(Game(), [&] {
    Game().AddLevel();
    Handler = Game().AddActor()->AddHandler();
    Handler->SetEvent(TEventCreate::ClassKind());
    Handler->AddAction(TActionPlaySound::ClassKind());
  });
  Main.RebuildTree();
  Main.SelectItem(*Game().GetLevel(0));
  QComboBox* Music = Main.tsLevel->cbxLevelMusic;
  ASSERT_EQ(Music->count(), 2);
  EXPECT_EQ(Music->itemText(0), "(none)");
  Music->setFocus();
  QTest::keyClick(Music, Qt::Key_Down);
  EXPECT_EQ(Game().GetLevel(0)->Music(), Sound);
  EXPECT_EQ(UndoName(), "Undo Change level music");

  Main.SelectItem(*Handler);
  TfraActions* Actions = Main.tsHandler->fraActions;
  Actions->SelectAction(0);
  auto* Picker = qobject_cast<QComboBox*>(Actions->ValueEditor(0));
  ASSERT_NE(Picker, nullptr);
  EXPECT_EQ(Picker->currentText(), "<no sound>");
  EXPECT_TRUE(Actions->lblActionNote->text().startsWith("No sound chosen yet"));
  Picker->setFocus();
  QTest::keyClick(Picker, Qt::Key_Down);
  EXPECT_EQ(Handler->GetAction(0)->GetValue(0), "sSound1");
  EXPECT_EQ(Handler->GetAction(0)->Summary(), "PlaySound(sSound1)");

  Dialogs.Answers = {TMsgAnswer::Yes};
  EXPECT_TRUE(Main.DeleteNode(Main.NodeOf(Sound)));
  EXPECT_EQ(Dialogs.LastText().toStdString(),
            "Delete the sound \"sSound1\"?\n\nThe level lLevel1 plays it as music and will have none.\n\n"
            "This action names it and is deleted with it:\naActor1, OnCreate: PlaySound(sSound1)");
  EXPECT_EQ(Game().SoundCount(), 0);
  EXPECT_EQ(Game().GetLevel(0)->Music(), nullptr);
  EXPECT_EQ(Handler->ActionCount(), 0);
  Main.mnuUndoClick();
  ASSERT_EQ(Game().SoundCount(), 1);
  EXPECT_EQ(Game().GetLevel(0)->Music(), Game().GetSound(0));
  EXPECT_EQ(Game().GetActor(0)->GetHandler(0)->ActionCount(), 1);
}
