#include "generator/USongRender.h"

#include <algorithm>

#include "model/UGame.h"
#include "model/USong.h"
#include "model/USound.h"
#include "model/UStream.h"

namespace lvk {

TSongTables::TSongTables(const TGame& Game, const TSong& Song) : TSongTables(Game, Song.Data()) {}

TSongTables::TSongTables(const TGame& Game, const TSongData& D) {
  const std::vector<TItemId> Instruments = SongInstruments(D);
  // A sound that is gone names none: the sequencer refuses such a song.
  for (TItemId Id : Instruments) {
    const TSound* Sound = Game.SoundById(Id);
    FInstruments.push_back(Sound ? static_cast<std::uint16_t>(Game.IndexOfSound(Sound)) : LVK_SEQ_NONE);
  }
  for (const TSongPattern& P : D.Patterns) {
    FPatternStart.push_back(static_cast<std::uint16_t>(FCells.size()));
    FPatternRows.push_back(static_cast<std::uint8_t>(P.Rows));
    for (int r = 0; r < P.Rows; ++r)
      for (int c = 0; c < D.Channels; ++c) {
        const TSongCell& C = P.At(r, c);
        const auto Found = std::find(Instruments.begin(), Instruments.end(), C.Instrument);
        FCells.push_back({C.Note,
                          static_cast<std::uint8_t>(C.Instrument == NoItem ? 0 : Found - Instruments.begin() + 1),
                          static_cast<std::uint8_t>(C.Volume < 0 ? LVK_SEQ_NO_VOLUME : C.Volume), C.Effect, C.Value});
      }
  }
  for (int O : D.Orders) FOrders.push_back(static_cast<std::uint8_t>(O));
  FTable = {FCells.data(),
            FPatternStart.data(),
            FPatternRows.data(),
            FOrders.data(),
            FInstruments.data(),
            static_cast<std::uint16_t>(FCells.size()),
            static_cast<std::uint8_t>(D.Channels),
            static_cast<std::uint8_t>(D.Tempo),
            static_cast<std::uint8_t>(FPatternRows.size()),
            static_cast<std::uint8_t>(FOrders.size()),
            static_cast<std::uint8_t>(FInstruments.size()),
            static_cast<std::uint8_t>(D.Loop < 0 ? LVK_SEQ_NO_LOOP : D.Loop)};
}

TSongSounds::TSongSounds(const TGame& Game) {
  for (int i = 0; i < Game.SoundCount(); ++i) {
    const TSound& S = *Game.GetSound(i);
    const std::vector<std::int8_t>& Samples = S.Samples();
    Sounds.push_back({Samples.data(), static_cast<std::uint32_t>(Samples.size()), S.LoopStart(), S.LoopEnd()});
    BaseNotes.push_back(static_cast<std::uint8_t>(S.BaseNote()));
  }
}

std::vector<std::int16_t> RenderSong(const TGame& Game, const TSong& Song, std::uint32_t Rate, std::uint32_t MaxSeconds) {
  const TSongTables Tables(Game, Song);
  const TSongSounds Sounds(Game);
  lvk_mixer_t Mixer;
  lvk_mix_init(&Mixer, Rate);
  lvk_seq_t Seq;
  lvk_seq_init(&Seq, Sounds.BaseNotes.data(), static_cast<std::uint16_t>(Sounds.BaseNotes.size()));
  const std::uint32_t MaxFrames = MaxSeconds * 60;
  // Counted first, then rendered into a vector of that size.
  const std::uint32_t Count = lvk_seq_render(&Seq, &Mixer, &Tables.Table(), Sounds.Sounds.data(),
                                             static_cast<std::uint16_t>(Sounds.Sounds.size()), nullptr, UINT32_MAX, MaxFrames);
  std::vector<std::int16_t> Out(Count);
  lvk_seq_render(&Seq, &Mixer, &Tables.Table(), Sounds.Sounds.data(), static_cast<std::uint16_t>(Sounds.Sounds.size()),
                 Out.data(), Count, MaxFrames);
  return Out;
}

void WriteWave16(const std::string& FileName, const std::vector<std::int16_t>& Samples, std::uint32_t Rate) {
  std::vector<std::uint8_t> B;
  auto Put = [&B](std::uint32_t V, int Bytes) {
    for (int i = 0; i < Bytes; ++i) B.push_back(static_cast<std::uint8_t>(V >> (8 * i)));
  };
  auto Id = [&B](const char* S) { B.insert(B.end(), S, S + 4); };
  const auto Data = static_cast<std::uint32_t>(Samples.size() * 2);
  Id("RIFF"), Put(36 + Data, 4), Id("WAVE");
  Id("fmt "), Put(16, 4), Put(1, 2), Put(1, 2), Put(Rate, 4), Put(Rate * 2, 4), Put(2, 2), Put(16, 2);
  Id("data"), Put(Data, 4);
  for (std::int16_t S : Samples) Put(static_cast<std::uint16_t>(S), 2);
  TSafeFileWriter Writer(FileName);
  Writer.Stream().Write(B.data(), B.size());
  Writer.Commit();
}

}  // namespace lvk
