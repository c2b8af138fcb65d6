#include "ui/play/UPlayAudio.h"

#include <QAudioSink>
#include <QIODevice>
#include <QMutexLocker>
#include <algorithm>
#include <array>
#include <cstring>

#include "engine/lvk_engine.h"

namespace lvk {

const QString TPlayAudio::NoDeviceText = "No sound device: the game plays silently.";
const QString TPlayAudio::FailedText = "The sound device cannot play: the game plays silently.";

namespace {

// What the device holds ahead of the game: short, so a sound is heard a
// few frames after the one that starts it; the audio thread feeds it, so a
// busy window does not make it run dry.
constexpr qint64 LatencyUs = 100000;
// The samples the DS plays, at full channel volume: their level is in them.
constexpr std::int32_t Volume = 127;

// 16-bit samples: mono at the DS's rate if the device takes it, else at the
// device's own rate, else with its own channels (each gets the same).
QAudioFormat ChooseFormat(const QAudioDevice& Device) {
  QAudioFormat Format;
  Format.setSampleFormat(QAudioFormat::Int16);
  Format.setChannelCount(1);
  Format.setSampleRate(LVK_SOUND_RATE);
  if (Device.isFormatSupported(Format)) return Format;
  const QAudioFormat Preferred = Device.preferredFormat();
  Format.setSampleRate(Preferred.sampleRate());
  if (Device.isFormatSupported(Format)) return Format;
  Format.setChannelCount(Preferred.channelCount());
  if (Device.isFormatSupported(Format)) return Format;
  return QAudioFormat();
}

}  // namespace

// What the sink reads: the mix, as much as it asks for, never running dry
// (silence when nothing plays), so the sink never stops for want of data.
class TPlayAudio::TStream final : public QIODevice {
public:
  explicit TStream(TPlayAudio& Audio) : FAudio(Audio) {}
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override { return BlockFrames * FrameBytes() + QIODevice::bytesAvailable(); }

protected:
  qint64 readData(char* Data, qint64 MaxSize) override {
    const int Channels = std::max(1, FAudio.FFormat.channelCount());
    const qint64 Frames = MaxSize / FrameBytes();
    std::array<std::int16_t, BlockFrames> Mono;
    char* At = Data;
    for (qint64 Done = 0; Done < Frames;) {
      const int N = static_cast<int>(std::min<qint64>(Frames - Done, BlockFrames));
      FAudio.Pull(Mono.data(), N);
      // Every channel gets the same; Data need not be aligned for 16 bits.
      for (int i = 0; i < N; ++i)
        for (int c = 0; c < Channels; ++c, At += sizeof(std::int16_t))
          std::memcpy(At, &Mono[static_cast<std::size_t>(i)], sizeof(std::int16_t));
      Done += N;
    }
    return Frames * FrameBytes();
  }
  qint64 writeData(const char*, qint64) override { return -1; }

private:
  static constexpr int BlockFrames = 512;
  qint64 FrameBytes() const { return 2 * std::max(1, FAudio.FFormat.channelCount()); }

  TPlayAudio& FAudio;
};

// The sink and the stream it reads, made, started and stopped on the audio
// thread, where the device's pulls come. TPlayAudio calls it there and waits.
class TPlayAudio::TSinkHost final : public QObject {
public:
  explicit TSinkHost(TPlayAudio& Audio) : FAudio(Audio) {}

  void Open(const QAudioDevice& Device, const QAudioFormat& Format) {
    FStream = std::make_unique<TStream>(FAudio);
    FSink = std::make_unique<QAudioSink>(Device, Format);
    FSink->setBufferSize(Format.bytesForDuration(LatencyUs));
    connect(FSink.get(), &QAudioSink::stateChanged, this, [this] {
      if (!Failed()) return;
      // Said on the window's thread; not at all once the audio is gone.
      TPlayAudio* Audio = &FAudio;
      QMetaObject::invokeMethod(Audio, [Audio] { Audio->Silence(FailedText); }, Qt::QueuedConnection);
    });
  }
  // False when the device cannot play.
  bool Start() {
    if (FSink->state() != QAudio::StoppedState) return !Failed();
    if (!FStream->isOpen()) FStream->open(QIODevice::ReadOnly);
    FSink->start(FStream.get());
    return !Failed();
  }
  void Stop() {
    if (FSink) FSink->stop();
  }
  // The sink goes first: nothing pulls from the stream or the mixer after.
  void Close() {
    Stop();
    FSink.reset();
    FStream.reset();
  }

private:
  // Running dry is no fault (the stream never does); a device that cannot
  // open or fails while playing is.
  bool Failed() const {
    const QAudio::Error Error = FSink->error();
    return Error == QAudio::OpenError || Error == QAudio::IOError || Error == QAudio::FatalError;
  }

  TPlayAudio& FAudio;
  std::unique_ptr<TStream> FStream;
  std::unique_ptr<QAudioSink> FSink;
};

namespace {

// Runs Call on Host's thread and waits for it.
template <class TCall>
void OnThreadOf(QObject* Host, TCall Call) {
  QMetaObject::invokeMethod(Host, std::move(Call), Qt::BlockingQueuedConnection);
}

}  // namespace

TPlayAudio::TPlayAudio(const QAudioDevice& Device, QObject* Parent) : QObject(Parent), FDevice(Device) {
  lvk_mix_init(&FMixer, LVK_SOUND_RATE);
  lvk_seq_player_init(&FPlayer, nullptr, nullptr, 0);
  FThread.setObjectName("LurvikAudio");
}

TPlayAudio::~TPlayAudio() {
  if (!FHost) return;
  OnThreadOf(FHost, [this] { FHost->Close(); });
  FThread.quit();
  FThread.wait();
  delete FHost;  // its thread has ended: nothing of it runs any more
}

QThread* TPlayAudio::SinkThread() const { return FHost ? const_cast<QThread*>(&FThread) : nullptr; }

void TPlayAudio::SetSounds(const TSounds* Sounds) {
  const QMutexLocker Lock(&FLock);
  lvk_mix_stop_all(&FMixer);
  FSounds = Sounds;
}

void TPlayAudio::Play(int Sound) {
  const QMutexLocker Lock(&FLock);
  if (!FSounds || Sound < 0 || Sound >= static_cast<int>(FSounds->size())) return;
  const std::vector<std::int8_t>& Samples = (*FSounds)[static_cast<std::size_t>(Sound)];
  lvk_mix_play(&FMixer, Samples.data(), static_cast<std::uint32_t>(Samples.size()), Volume);
}

void TPlayAudio::SetMusic(int Sound) {
  const QMutexLocker Lock(&FLock);
  if (!FSounds || Sound < 0 || Sound >= static_cast<int>(FSounds->size())) {
    lvk_mix_music(&FMixer, nullptr, 0, 0);
    return;
  }
  const std::vector<std::int8_t>& Samples = (*FSounds)[static_cast<std::size_t>(Sound)];
  lvk_mix_music(&FMixer, Samples.data(), static_cast<std::uint32_t>(Samples.size()), Volume);
}

void TPlayAudio::StopAll() {
  const QMutexLocker Lock(&FLock);
  lvk_seq_stop(&FPlayer.seq);
  lvk_mix_stop_all(&FMixer);
}

void TPlayAudio::PlaySong(const lvk_seq_song_t* Song, const lvk_seq_sound_t* Sounds, const std::uint8_t* BaseNotes,
                          std::uint16_t Count, bool Restart) {
  const QMutexLocker Lock(&FLock);
  if (FPlayer.sounds != Sounds || FPlayer.count != Count || FPlayer.seq.base_notes != BaseNotes) {
    lvk_seq_player_stop(&FPlayer, &FMixer);
    lvk_seq_player_init(&FPlayer, Sounds, BaseNotes, Count);
  }
  lvk_seq_player_play(&FPlayer, &FMixer, Song, Restart ? 1 : 0);
}

void TPlayAudio::PlaySongFrom(const lvk_seq_song_t* Song, const lvk_seq_sound_t* Sounds, const std::uint8_t* BaseNotes,
                              std::uint16_t Count, int Order, int Row) {
  PlaySong(Song, Sounds, BaseNotes, Count, true);
  const QMutexLocker Lock(&FLock);
  if (!FPlayer.seq.playing) return;
  Order = std::clamp(Order, 0, Song->order_count - 1);
  FPlayer.seq.order = static_cast<std::uint8_t>(Order);
  FPlayer.seq.row = static_cast<std::uint8_t>(std::clamp(Row, 0, Song->pattern_rows[Song->orders[Order]] - 1));
}

void TPlayAudio::StopSong() {
  const QMutexLocker Lock(&FLock);
  lvk_seq_player_stop(&FPlayer, &FMixer);
}

bool TPlayAudio::SongPlaying() const {
  const QMutexLocker Lock(&FLock);
  return FPlayer.seq.playing != 0;
}

void TPlayAudio::SongPosition(int& Order, int& Row) const {
  const QMutexLocker Lock(&FLock);
  Order = FPlayer.seq.playing ? FPlayer.seq.order : -1;
  Row = FPlayer.seq.playing ? FPlayer.seq.row : -1;
}

void TPlayAudio::PlayNote(const lvk_seq_sound_t& Sound, int BaseNote, int Note, int Channel) {
  const QMutexLocker Lock(&FLock);
  lvk_seq_player_stop(&FPlayer, &FMixer);
  lvk_mix_song_start(&FMixer, Channel, Sound.data, Sound.length, Sound.loop_start, Sound.loop_end,
                     lvk_seq_rate(Note * LVK_SEQ_FINE, BaseNote), LVK_SEQ_MAX_OUT_VOLUME);
}

int TPlayAudio::Active() const {
  const QMutexLocker Lock(&FLock);
  return lvk_mix_active(&FMixer);
}

void TPlayAudio::Pull(std::int16_t* Out, int Frames) {
  if (Frames <= 0) return;
  const QMutexLocker Lock(&FLock);
  lvk_seq_player_render(&FPlayer, &FMixer, Out, static_cast<std::uint32_t>(Frames));
}

void TPlayAudio::Start() {
  if (FSilent) return;
  if (FDevice.isNull()) {
    Silence(NoDeviceText);
    return;
  }
  if (!FHost) {
    FFormat = ChooseFormat(FDevice);
    if (!FFormat.isValid()) {
      Silence(FailedText);
      return;
    }
    {
      const QMutexLocker Lock(&FLock);
      if (FMixer.rate != static_cast<std::uint32_t>(FFormat.sampleRate()))
        lvk_mix_init(&FMixer, static_cast<std::uint32_t>(FFormat.sampleRate()));
    }
    FHost = new TSinkHost(*this);
    FHost->moveToThread(&FThread);
    FThread.start(QThread::HighPriority);
    OnThreadOf(FHost, [this] { FHost->Open(FDevice, FFormat); });
  }
  bool Playing = true;
  OnThreadOf(FHost, [this, &Playing] { Playing = FHost->Start(); });
  if (!Playing) Silence(FailedText);
}

void TPlayAudio::Stop() {
  if (FHost) OnThreadOf(FHost, [this] { FHost->Stop(); });
  StopAll();
}

void TPlayAudio::Silence(const QString& Why) {
  if (FSilent) return;
  FSilent = true;
  FWhy = Why;
  if (FHost) OnThreadOf(FHost, [this] { FHost->Stop(); });
  emit Silenced(Why);
}

}  // namespace lvk
