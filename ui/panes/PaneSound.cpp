#include "ui/panes/PaneSound.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QRandomGenerator>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/USound.h"
#include "ui/main/UPaneHost.h"
#include "ui/common/UPictures.h"
#include "ui/panes/USoundPreview.h"
#include "ui/panes/UPaneLayout.h"

namespace {

// Where both WAV dialogs start: the folder of the file last imported or exported.
QString SoundFolder;

// The DS program's room for samples, as the generator counts it.
constexpr std::size_t SoundRoom = 1024 * 1024;

constexpr int PictureWidth = 240;
constexpr int PictureHeight = 64;

const char* const WaveNames[LVK_WAVE_COUNT] = {"Square 12.5 %", "Square 25 %", "Square 50 %",
                                               "Square 75 %",   "Triangle",    "Noise"};

}  // namespace

QPixmap WavePicture(const std::vector<std::int8_t>& Samples, int Width, int Height) {
  QPixmap Picture(Width, Height);
  Picture.fill(QColor(24, 28, 36));
  QPainter P(&Picture);
  const int Middle = Height / 2;
  P.setPen(QColor(70, 78, 96));
  P.drawLine(0, Middle, Width - 1, Middle);
  if (Samples.empty()) return Picture;
  P.setPen(QColor(120, 220, 140));
  const double Scale = (Height / 2 - 1) / 128.0;
  for (int x = 0; x < Width; ++x) {
    const std::size_t First = Samples.size() * static_cast<std::size_t>(x) / static_cast<std::size_t>(Width);
    const std::size_t Last =
        std::max(First + 1, Samples.size() * static_cast<std::size_t>(x + 1) / static_cast<std::size_t>(Width));
    const auto [Low, High] = std::minmax_element(Samples.begin() + static_cast<std::ptrdiff_t>(First),
                                                 Samples.begin() + static_cast<std::ptrdiff_t>(Last));
    P.drawLine(x, Middle - static_cast<int>(*High * Scale), x, Middle - static_cast<int>(*Low * Scale));
  }
  return Picture;
}

QString SoundSizeText(std::size_t Bytes, int Milliseconds) {
  const QLocale C(QLocale::English);
  return C.toString(static_cast<qulonglong>(Bytes)) + " bytes on the DS, " +
         QString::number(Milliseconds / 1000.0, 'f', 2) + " s";
}

TFileDialogRequest SoundImportRequest() {
  return {"Import sound", "WAV sound (*.wav);;All (*)", "wav", SoundFolder};
}

TFileDialogRequest SoundExportRequest() {
  return {"Export sound", "WAV sound (*.wav);;All (*)", "wav", SoundFolder};
}

bool ImportSoundFile(QWidget* Parent, lvk::TSound& Sound, const QString& Path) {
  lvk::TWaveImport Import;
  try {
    Import = lvk::ReadWaveFile(Path.toStdString());
    lvk::TEdit Edit(*Sound.Owner(), "Import sound");
    Sound.SetImported(Import.Samples);
  } catch (const std::exception& E) {
    ShowWarning(Parent, "Error importing sound " + FileNamePart(Path) + "\n" + QString::fromUtf8(E.what()));
    return false;
  }
  SoundFolder = QFileInfo(Path).absolutePath();
  if (Import.Cut)
    ShowInformation(Parent, FileNamePart(Path) + " is longer than 2 seconds; only its first 2 seconds were imported.");
  return true;
}

// ---- Sounds ----

TPaneSounds::TPaneSounds(TPaneHost& Host)
    : TItemPane(Host, "tsSounds", "Sounds", "Sounds pane for managing the game's sounds", "main-sounds") {
  SetHeaderIcon(UiPixmap("BmpSounds18x18"));
  butNewSound = NewButton("butNewSound", "BmpSoundsNew16x16", "&New sound", "Add a new sound",
                          "Add a new sound made with the synthesizer (use ctrl-click for keeping focus)");
  butImportSound = new QPushButton("&Import WAV...", this);
  butImportSound->setObjectName("butImportSound");
  butImportSound->setFixedHeight(25);
  SetHints(butImportSound, "Add a new sound from a WAV file");
  auto* R = new QHBoxLayout;
  R->addWidget(butNewSound);
  R->addWidget(butImportSound);
  R->addStretch(1);
  Body()->addLayout(R);
  lblSoundsTotal = new QLabel(this);
  lblSoundsTotal->setObjectName("lblSoundsTotal");
  SetHints(lblSoundsTotal, "What the sounds take of the DS program's room for sounds");
  Body()->addWidget(lblSoundsTotal);
  Body()->addStretch(1);
  connect(butNewSound, &QPushButton::clicked, this, &TPaneSounds::butNewSoundClick);
  connect(butImportSound, &QPushButton::clicked, this, &TPaneSounds::butImportSoundClick);
}

void TPaneSounds::Show() {
  std::size_t Bytes = 0;
  for (int i = 0; i < Game().SoundCount(); ++i) Bytes += Game().GetSound(i)->DsSize();
  const QLocale C(QLocale::English);
  lblSoundsTotal->setText(QString("%1 of 64 sounds, %2 of %3 bytes on the DS")
                              .arg(Game().SoundCount())
                              .arg(C.toString(static_cast<qulonglong>(Bytes)))
                              .arg(C.toString(static_cast<qulonglong>(SoundRoom))));
}

void TPaneSounds::Follow(const lvk::TChange& Change) {
  if (Change.Item == lvk::TItemKind::Sound) Show();
}

void TPaneSounds::butNewSoundClick() {
  lvk::TSound* Sound = nullptr;
  {
    lvk::TEdit Edit(Game(), "New sound");
    Sound = Game().AddSound();
  }
  if (butNewSound->CtrlRecord() == 0) Host().SelectItem(*Sound);
}

void TPaneSounds::butImportSoundClick() {
  const QString Path = Dialogs().OpenFile(this, SoundImportRequest());
  if (Path.isEmpty()) return;
  // The new sound and its samples are one step.
  lvk::TSound* Sound = nullptr;
  lvk::TWaveImport Import;
  try {
    // Read before the edit: a file that fails then leaves nothing to undo.
    Import = lvk::ReadWaveFile(Path.toStdString());
    lvk::TEdit Edit(Game(), "Import sound");
    Sound = Game().AddSound();
    Sound->SetImported(Import.Samples);
    const std::string Base = QFileInfo(Path).completeBaseName().toStdString();
    // The file's name when it makes a good and free sound name.
    try {
      Sound->SetName("s" + Base);
    } catch (const std::exception&) {
    }
  } catch (const std::exception& E) {
    ShowWarning(this, "Error importing sound " + FileNamePart(Path) + "\n" + QString::fromUtf8(E.what()));
    return;
  }
  SoundFolder = QFileInfo(Path).absolutePath();
  if (Import.Cut)
    ShowInformation(this, FileNamePart(Path) + " is longer than 2 seconds; only its first 2 seconds were imported.");
  Host().SelectItem(*Sound);
}

// ---- One sound ----

lvk::TSound* TPaneSound::Sound() const { return Host().Game().SoundById(ItemId()); }

TPaneSound::TPaneSound(TPaneHost& Host)
    : TItemPane(Host, "tsSound", "Sound", "Sound pane for making a sound or importing one", "main-sound") {
  SetHeaderIcon(UiPixmap("BmpSound18x18"));
  edtSoundName = NameField("edtSoundName", "The name of the sound");
  BindNameField(edtSoundName, "Rename sound", [this](const std::string& N) { Sound()->SetName(N); });
  lblSoundKind = new QLabel(this);
  lblSoundKind->setObjectName("lblSoundKind");
  lblSoundKind->setWordWrap(true);
  Body()->addWidget(lblSoundKind);

  auto* Values = new QGroupBox("Synthesizer", this);
  auto* Grid = new QGridLayout(Values);
  int Row = 0;
  auto AddRow = [&](const QString& Caption, QWidget* Field, QWidget* Second = nullptr, const QString& Caption2 = {}) {
    auto* Label = new QLabel(Caption, Values);
    Label->setBuddy(Field);
    Grid->addWidget(Label, Row, 0);
    Grid->addWidget(Field, Row, 1);
    if (Second) {
      auto* Label2 = new QLabel(Caption2, Values);
      Label2->setBuddy(Second);
      Grid->addWidget(Label2, Row, 2);
      Grid->addWidget(Second, Row, 3);
    }
    ++Row;
  };
  cbxSoundPreset = new QComboBox(Values);
  cbxSoundPreset->setObjectName("cbxSoundPreset");
  for (const lvk_synth_preset_t& Preset : lvk_synth_presets) cbxSoundPreset->addItem(Preset.name);
  SetHints(cbxSoundPreset, "Fill the values with a preset", "Fill the values with a preset; Random varies it");
  butSoundRandom = new QPushButton("&Random", Values);
  butSoundRandom->setObjectName("butSoundRandom");
  SetHints(butSoundRandom, "Vary the preset at random", "Make a variation of the chosen preset, at random");
  AddRow("Pre&set", cbxSoundPreset, butSoundRandom, QString());
  cbxSoundWave = new QComboBox(Values);
  cbxSoundWave->setObjectName("cbxSoundWave");
  for (const char* Name : WaveNames) cbxSoundWave->addItem(Name);
  SetHints(cbxSoundWave, "The wave: a square of a duty, a triangle or noise");
  spnStartHz = ValueBox("spnStartHz", LVK_SYNTH_MIN_HZ, LVK_SYNTH_MAX_HZ, " Hz", "The pitch at the start");
  spnEndHz = ValueBox("spnEndHz", LVK_SYNTH_MIN_HZ, LVK_SYNTH_MAX_HZ, " Hz", "The pitch at the end: the pitch slides to it");
  spnLengthMs = ValueBox("spnLengthMs", LVK_SYNTH_MIN_MS, LVK_SYNTH_MAX_MS, " ms", "The length of the whole sound");
  spnRepeat = ValueBox("spnRepeat", 0, LVK_SYNTH_MAX_REPEAT, "", "How often the slide starts again within the length");
  spnAttackMs = ValueBox("spnAttackMs", 0, LVK_SYNTH_MAX_MS, " ms", "The rise from silence at the start");
  spnDecayMs = ValueBox("spnDecayMs", 0, LVK_SYNTH_MAX_MS, " ms", "The fall to silence at the end");
  spnVolume = ValueBox("spnVolume", 0, LVK_SYNTH_MAX_VOLUME, "", "The loudness, 0 to 127");
  spnVibratoDepth = ValueBox("spnVibratoDepth", 0, LVK_SYNTH_MAX_VIBRATO_DEPTH, " %",
                             "How far the vibrato swings the pitch; 0 for none");
  spnVibratoRate = ValueBox("spnVibratoRate", 0, LVK_SYNTH_MAX_VIBRATO_RATE, " Hz", "How fast the vibrato swings; 0 for none");
  AddRow("&Wave", cbxSoundWave, spnVolume, "Vol&ume");
  AddRow("S&tart pitch", spnStartHz, spnEndHz, "En&d pitch");
  AddRow("&Length", spnLengthMs, spnRepeat, "Re&peat");
  AddRow("&Attack", spnAttackMs, spnDecayMs, "De&cay");
  AddRow("&Vibrato", spnVibratoDepth, spnVibratoRate, "Vibrato rate");
  Grid->setColumnStretch(4, 1);
  Body()->addWidget(Values);

  imgSoundWave = new QLabel(this);
  imgSoundWave->setObjectName("imgSoundWave");
  imgSoundWave->setFixedSize(PictureWidth, PictureHeight);
  SetHints(imgSoundWave, "The sound's wave, from start to end");
  lblSoundSize = new QLabel(this);
  lblSoundSize->setObjectName("lblSoundSize");
  SetHints(lblSoundSize, "What the sound takes in the DS program, and how long it plays");

  butSoundPlay = new QPushButton("Play", this);
  butSoundPlay->setObjectName("butSoundPlay");
  butSoundPlay->setIcon(UiPixmap("BmpPlay16x16"));
  SetHints(butSoundPlay, "Play the sound (Space)");
  // Space plays from anywhere in the pane but a text field (which types
  // it) and a button or tick (which it presses, as everywhere).
  auto* Space = new QShortcut(QKeySequence(Qt::Key_Space), this);
  Space->setContext(Qt::WidgetWithChildrenShortcut);
  connect(Space, &QShortcut::activated, this, [this] {
    QWidget* Focus = focusWidget();
    if (auto* Button = qobject_cast<QAbstractButton*>(Focus))
      Button->click();
    else if (!qobject_cast<QLineEdit*>(Focus))
      butSoundPlayClick();
  });
  lblSoundUnheard = new QLabel(this);
  lblSoundUnheard->setObjectName("lblSoundUnheard");
  lblSoundUnheard->setWordWrap(true);
  lblSoundUnheard->setStyleSheet("color: #b00000");
  SetHints(lblSoundUnheard, "The sounds are not heard; the desktop's sound settings tell which devices there are");
  lblSoundUnheard->hide();
  chkPlayOnChange = new QCheckBox("Pla&y on change", this);
  chkPlayOnChange->setObjectName("chkPlayOnChange");
  chkPlayOnChange->setChecked(true);
  SetHints(chkPlayOnChange, "Play the sound after every change of a value");
  butSoundImport = new QPushButton("&Import WAV...", this);
  butSoundImport->setObjectName("butSoundImport");
  SetHints(butSoundImport, "Replace the sound with a WAV file", "Replace the sound with a WAV file: PCM, 8 or 16 bits, mono or stereo, up to 2 seconds");
  butSoundExport = new QPushButton("E&xport WAV...", this);
  butSoundExport->setObjectName("butSoundExport");
  SetHints(butSoundExport, "Save the sound as a WAV file");
  // The picture with what plays it beside it, and the file buttons on the
  // name's row: the pane fits the main window at its first size.
  auto* Beside = new QVBoxLayout;
  Beside->addWidget(lblSoundSize);
  Beside->addWidget(butSoundPlay, 0, Qt::AlignLeft);
  Beside->addWidget(lblSoundUnheard);
  Beside->addWidget(chkPlayOnChange);
  Beside->addStretch(1);
  auto* Bottom = new QHBoxLayout;
  Bottom->addWidget(imgSoundWave, 0, Qt::AlignTop);
  Bottom->addLayout(Beside, 1);
  Body()->addLayout(Bottom);
  if (auto* NameRow = qobject_cast<QHBoxLayout*>(Body()->itemAt(0)->layout())) {
    NameRow->addWidget(butSoundImport);
    NameRow->addWidget(butSoundExport);
  }
  Body()->addStretch(1);

  connect(cbxSoundPreset, &QComboBox::activated, this, &TPaneSound::cbxSoundPresetActivated);
  connect(butSoundRandom, &QPushButton::clicked, this, &TPaneSound::butSoundRandomClick);
  connect(cbxSoundWave, &QComboBox::activated, this, [this] { ValueChanged("wave"); });
  connect(butSoundPlay, &QPushButton::clicked, this, &TPaneSound::butSoundPlayClick);
  connect(butSoundImport, &QPushButton::clicked, this, &TPaneSound::butSoundImportClick);
  connect(butSoundExport, &QPushButton::clicked, this, &TPaneSound::butSoundExportClick);
}

QSpinBox* TPaneSound::ValueBox(const QString& Name, int Minimum, int Maximum, const QString& Suffix,
                               const QString& Hint) {
  auto* Box = new QSpinBox(this);
  Box->setObjectName(Name);
  Box->setRange(Minimum, Maximum);
  Box->setSuffix(Suffix);
  // Typing changes the sound on Enter or leaving the box; the arrows at once.
  Box->setKeyboardTracking(false);
  Box->setMinimumWidth(90);
  SetHints(Box, Hint);
  connect(Box, &QSpinBox::valueChanged, this, [this, Name] { ValueChanged(Name); });
  return Box;
}

lvk_synth_params_t TPaneSound::BoxValues() const {
  return {cbxSoundWave->currentIndex(), spnStartHz->value(),  spnEndHz->value(),        spnLengthMs->value(),
          spnAttackMs->value(),         spnDecayMs->value(),  spnVolume->value(),       spnVibratoDepth->value(),
          spnVibratoRate->value(),      spnRepeat->value()};
}

void TPaneSound::ChangeValues(const lvk_synth_params_t& Params, const char* Step, const QString& MergeKey) {
  if (!Sound()) return;
  bool Did = false;
  {
    lvk::TEdit Edit(Game(), Step, MergeKey.toStdString());
    Did = Sound()->SetParams(Params);
  }
  ShowValues();
  if (Did) Changed();
}

void TPaneSound::ValueChanged(const QString& Field) {
  if (FShowing || !Sound()) return;
  // One step for a run of changes of one value of one sound.
  const QString Key = QString("sound %1 %2").arg(Sound()->Id()).arg(Field);
  ChangeValues(BoxValues(), "Change sound", Key);
}

void TPaneSound::cbxSoundPresetActivated(int Index) {
  if (Index < 0 || Index >= LVK_SYNTH_PRESET_COUNT) return;
  ChangeValues(lvk_synth_presets[Index].params, "Sound preset", {});
}

void TPaneSound::butSoundRandomClick() {
  const int Preset = std::clamp(cbxSoundPreset->currentIndex(), 0, LVK_SYNTH_PRESET_COUNT - 1);
  lvk_synth_params_t Varied;
  lvk_synth_vary(&lvk_synth_presets[Preset].params, QRandomGenerator::global()->generate(), &Varied);
  ChangeValues(Varied, "Random sound", {});
}

void TPaneSound::butSoundPlayClick() {
  if (!Sound()) return;
  SoundPreview().Play(Sound()->Samples());
  // Said, as the play window says it, rather than a Play that does nothing.
  const QString Why = SoundPreview().Unheard();
  lblSoundUnheard->setText(Why);
  lblSoundUnheard->setVisible(!Why.isEmpty());
}

void TPaneSound::ImportFile(const QString& Path) {
  if (!Sound()) return;  // released while the file dialog was up
  if (ImportSoundFile(this, *Sound(), Path) && Sound()) {
    ShowValues();
    Changed();
  }
}

void TPaneSound::butSoundImportClick() {
  if (!Sound()) return;
  const QString Path = Dialogs().OpenFile(this, SoundImportRequest());
  if (!Path.isEmpty()) ImportFile(Path);
}

void TPaneSound::butSoundExportClick() {
  if (!Sound()) return;
  const QString Path = Dialogs().SaveFile(this, SoundExportRequest());
  if (Path.isEmpty() || !Sound()) return;
  try {
    lvk::SaveWaveFile(Path.toStdString(), Sound()->Samples());
  } catch (const std::exception& E) {
    ShowWarning(this, "Error exporting sound " + FileNamePart(Path) + "\n" + QString::fromUtf8(E.what()));
    return;
  }
  SoundFolder = QFileInfo(Path).absolutePath();
}

void TPaneSound::Changed() {
  if (chkPlayOnChange->isChecked()) butSoundPlayClick();
}

void TPaneSound::Show() {
  if (!Sound()) return;
  edtSoundName->setText(QString::fromStdString(Sound()->Name()));
  ShowValues();
}

void TPaneSound::Release() {
  SoundPreview().Stop();
  TItemPane::Release();
}

void TPaneSound::Follow(const lvk::TChange& Change) {
  if (Shows(Change) && Change.Kind == lvk::TChangeKind::Changed) ShowValues();
}

void TPaneSound::ShowValues() {
  const lvk::TSound& S = *Sound();
  const lvk_synth_params_t& P = S.Params();
  FShowing = true;
  cbxSoundWave->setCurrentIndex(P.wave);
  const std::pair<QSpinBox*, int> Boxes[] = {{spnStartHz, P.start_hz},         {spnEndHz, P.end_hz},
                                             {spnLengthMs, P.length_ms},       {spnAttackMs, P.attack_ms},
                                             {spnDecayMs, P.decay_ms},         {spnVolume, P.volume},
                                             {spnVibratoDepth, P.vibrato_depth}, {spnVibratoRate, P.vibrato_rate},
                                             {spnRepeat, P.repeat}};
  for (const auto& [Box, Value] : Boxes) Box->setValue(Value);
  FShowing = false;
  if (S.Kind() == lvk::TSoundKind::skImported)
    lblSoundKind->setText("Imported from a WAV file. Changing a value below makes the sound again with the synthesizer.");
  else
    lblSoundKind->setText("Made with the synthesizer: choose a preset, vary it, or set the values.");
  ShowPicture();
  lblSoundSize->setText(SoundSizeText(S.DsSize(), S.DurationMs()));
}

void TPaneSound::ShowPicture() {
  imgSoundWave->setPixmap(WavePicture(Sound()->Samples(), PictureWidth, PictureHeight));
}
