#pragma once
// The play window's sound: the sounds a game starts and its level's music,
// mixed as the DS's channels would play them (engine/lvk_mix) and handed to
// an audio device through a QAudioSink that pulls the mixed samples. The
// sink lives on a thread of its own: a window busy drawing or a modal box
// never leaves the device without samples, so the sound does not break up.
//
// Without a device, or with one that cannot open or fails while playing,
// the game plays silently: the mixer still runs for whoever pulls (the
// tests do, through Pull), and Silenced says why, once.
#include <QAudioDevice>
#include <QAudioFormat>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/lvk_mix.h"
#include "engine/lvk_seq_mix.h"


namespace lvk {

class TPlayAudio : public QObject {
  Q_OBJECT
public:
  // The game's sounds by number: signed 8-bit mono at LVK_SOUND_RATE.
  using TSounds = std::vector<std::vector<std::int8_t>>;

  static const QString NoDeviceText;
  static const QString FailedText;

  // Plays on Device when started; a null device plays nothing.
  explicit TPlayAudio(const QAudioDevice& Device, QObject* Parent = nullptr);
  ~TPlayAudio() override;

  // The sounds Play and SetMusic name from now on (nullptr: none). Stops
  // everything first: the mixer no longer reads the sounds given before,
  // which the caller may then free. Sounds must stay unchanged and alive
  // until the next call or the end of this object.
  void SetSounds(const TSounds* Sounds);
  // Starts sound Sound once; a number with no sound does nothing.
  void Play(int Sound);
  // Loops sound Sound from its start as the music, in place of the music
  // before; -1 (or a number with no sound) stops the music.
  void SetMusic(int Sound);
  // Silences every sound, the music and the song.
  void StopAll();

  // Songs: the sequencer steps on the mixer's own clock, once every 1/60 s
  // of output. Sounds (Count of them, with their base notes) and Song stay
  // the caller's, unchanged and alive until StopSong or the next PlaySong.
  void PlaySong(const lvk_seq_song_t* Song, const lvk_seq_sound_t* Sounds, const std::uint8_t* BaseNotes,
                std::uint16_t Count, bool Restart = true);
  // As PlaySong, from Order's row Row (the song's orders and rows, held in range).
  void PlaySongFrom(const lvk_seq_song_t* Song, const lvk_seq_sound_t* Sounds, const std::uint8_t* BaseNotes,
                    std::uint16_t Count, int Order, int Row);
  void StopSong();
  bool SongPlaying() const;
  // Where the song is: its order and row; -1, -1 when none plays.
  void SongPosition(int& Order, int& Row) const;
  // Sound (one of Sounds given to PlaySong, or of those given here) at
  // Pitch on song channel Channel, as a typed note is heard; the song
  // stops first.
  void PlayNote(const lvk_seq_sound_t& Sound, int BaseNote, int Note, int Channel = 0);
  // Voices sounding, the music's included.
  int Active() const;

  // Opens the device, the first time, and lets it pull the mix. Without a
  // device, or when it cannot be opened, the game goes silent (Silenced).
  void Start();
  // Lets go of the device; everything stops. Start opens it again.
  void Stop();
  // The thread the device pulls on: the audio thread once a device was
  // opened, else none.
  QThread* SinkThread() const;

  // The next Frames mixed samples, 16-bit mono at Rate(): what the device
  // pulls, moving every voice on.
  void Pull(std::int16_t* Out, int Frames);
  // The mix's samples a second: the device's (LVK_SOUND_RATE when it takes
  // that or there is none).
  int Rate() const { return static_cast<int>(FMixer.rate); }
  // The format the device gets; invalid without a device.
  const QAudioFormat& Format() const { return FFormat; }
  bool Silent() const { return FSilent; }
  // What Silenced said; empty while not silent.
  const QString& SilentWhy() const { return FWhy; }

signals:
  // From now on the game is not heard, and why: said once.
  void Silenced(const QString& Why);

private:
  class TStream;
  class TSinkHost;
  void Silence(const QString& Why);

  QAudioDevice FDevice;
  QAudioFormat FFormat;
  mutable QMutex FLock;  // the device may pull from another thread
  lvk_mixer_t FMixer{};
  lvk_seq_player_t FPlayer{};
  const TSounds* FSounds = nullptr;
  bool FSilent = false;
  QString FWhy;
  // Lives on FThread and owns the sink and the stream it reads there.
  TSinkHost* FHost = nullptr;
  QThread FThread;
};

}  // namespace lvk
