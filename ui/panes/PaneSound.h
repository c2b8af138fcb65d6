#pragma once
// The panes of the sounds: the folder pane with its New and Import buttons,
// and the pane of one sound with its values, presets, picture, DS size and
// Play button.
#include <cstdint>
#include <vector>

#include "engine/lvk_synth.h"
#include "ui/panes/UItemPane.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lvk {
class TSound;
}

class TPaneSounds : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneSounds(TPaneHost& Host);
  void Show() override;
  void Follow(const lvk::TChange& Change) override;
  TCtrlButton* butNewSound;
  QPushButton* butImportSound;
  QLabel* lblSoundsTotal;  // how much of the DS's room the sounds take
  void butNewSoundClick();
  void butImportSoundClick();
};

class TPaneSound : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneSound(TPaneHost& Host);
  void Show() override;
  void Release() override;
  void Follow(const lvk::TChange& Change) override;
  lvk::TSound* Sound() const;

  QLineEdit* edtSoundName;
  QLabel* lblSoundKind;
  QComboBox* cbxSoundPreset;
  QPushButton* butSoundRandom;
  QComboBox* cbxSoundWave;
  QSpinBox* spnStartHz;
  QSpinBox* spnEndHz;
  QSpinBox* spnLengthMs;
  QSpinBox* spnAttackMs;
  QSpinBox* spnDecayMs;
  QSpinBox* spnVolume;
  QSpinBox* spnVibratoDepth;
  QSpinBox* spnVibratoRate;
  QSpinBox* spnRepeat;
  QLabel* imgSoundWave;
  QLabel* lblSoundSize;
  QPushButton* butSoundPlay;
  QLabel* lblSoundUnheard;  // why Play is not heard, after it was pressed
  QCheckBox* chkPlayOnChange;
  QPushButton* butSoundImport;
  QPushButton* butSoundExport;

  void cbxSoundPresetActivated(int Index);
  void butSoundRandomClick();
  void butSoundPlayClick();
  void butSoundImportClick();
  void butSoundExportClick();
  // Imports one WAV file into the sound, the step "Import sound"; a file
  // that fails is told of in a warning box and changes nothing.
  void ImportFile(const QString& Path);

private:
  QSpinBox* ValueBox(const QString& Name, int Minimum, int Maximum, const QString& Suffix, const QString& Hint);
  // The values as the boxes hold them.
  lvk_synth_params_t BoxValues() const;
  // Makes the sound of Params in the step Step; merged with the step before
  // when MergeKey is that step's too (one step per held arrow key).
  void ChangeValues(const lvk_synth_params_t& Params, const char* Step, const QString& MergeKey);
  void ValueChanged(const QString& Field);
  void ShowValues();
  void ShowPicture();
  // Plays the sound when "Play on change" is ticked.
  void Changed();
  bool FShowing = false;
};

// The picture of Samples, Width x Height: per column the lowest and highest
// sample it covers, around a middle line.
QPixmap WavePicture(const std::vector<std::int8_t>& Samples, int Width, int Height);

// "3,276 bytes on the DS, 0.20 s".
QString SoundSizeText(std::size_t Bytes, int Milliseconds);

// The WAV import and export dialogs; both start in the folder last used.
TFileDialogRequest SoundImportRequest();
TFileDialogRequest SoundExportRequest();

// Imports a WAV file into Sound, the step "Import sound". A file that fails
// is told of in a warning box and leaves the sound as it was: false then. A
// file longer than two seconds is imported cut, and the user told so.
bool ImportSoundFile(QWidget* Parent, lvk::TSound& Sound, const QString& Path);
