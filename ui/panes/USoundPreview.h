#pragma once
// Plays one sound at once for the sound pane: a later sound cuts the one
// before. The application's plays on the default sound device; without one
// it stays silent. Tests install their own to hear what was asked for.
#include <QString>
#include <cstdint>
#include <vector>

class TSoundPreview {
public:
  virtual ~TSoundPreview() = default;
  // Samples: signed 8-bit mono at 16,384 Hz; copied, so the caller may
  // change the sound at once.
  virtual void Play(const std::vector<std::int8_t>& Samples) = 0;
  virtual void Stop() = 0;
  // Why what Play plays is not heard ("No sound device: ..."); empty while
  // it is.
  virtual QString Unheard() const { return {}; }
};

// The preview in force; the application's until a test installs another.
TSoundPreview& SoundPreview();
// Installs a preview (not owned) and gives back the previous one; nullptr
// restores the application's.
TSoundPreview* SetSoundPreview(TSoundPreview* Preview);
