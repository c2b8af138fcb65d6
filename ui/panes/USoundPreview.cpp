#include "ui/panes/USoundPreview.h"

#include <QCoreApplication>
#include <QMediaDevices>
#include <QPointer>

#include "ui/play/UPlayAudio.h"

namespace {

// The sound pane's: the play window's mixer on the default device, opened
// at the first Play. Without a device it stays silent, as the play window.
class TDevicePreview final : public TSoundPreview {
public:
  void Play(const std::vector<std::int8_t>& Samples) override {
    if (!FAudio) {
      // Owned by the application, so the device goes before Qt does.
      FAudio = new lvk::TPlayAudio(QMediaDevices::defaultAudioOutput(), QCoreApplication::instance());
      FAudio->Start();
    }
    // The mixer lets go of the old samples before they are replaced.
    FAudio->SetSounds(nullptr);
    FSounds.assign(1, Samples);
    FAudio->SetSounds(&FSounds);
    FAudio->Play(0);
  }
  void Stop() override {
    if (FAudio) FAudio->StopAll();
  }
  QString Unheard() const override { return FAudio ? FAudio->SilentWhy() : QString(); }

private:
  lvk::TPlayAudio::TSounds FSounds;
  QPointer<lvk::TPlayAudio> FAudio;
};

TSoundPreview* Installed = nullptr;

}  // namespace

TSoundPreview& SoundPreview() {
  static TDevicePreview Device;
  return Installed ? *Installed : Device;
}

TSoundPreview* SetSoundPreview(TSoundPreview* Preview) {
  TSoundPreview* Old = Installed;
  Installed = Preview;
  return Old;
}
