#include "ui/USoundPreview.h"

namespace {

// Until the sound device is wired in: plays nothing.
class TSilentPreview final : public TSoundPreview {
public:
  void Play(const std::vector<std::int8_t>&) override {}
  void Stop() override {}
};

TSoundPreview* Installed = nullptr;

}  // namespace

TSoundPreview& SoundPreview() {
  static TSilentPreview Silent;
  return Installed ? *Installed : Silent;
}

TSoundPreview* SetSoundPreview(TSoundPreview* Preview) {
  TSoundPreview* Old = Installed;
  Installed = Preview;
  return Old;
}
