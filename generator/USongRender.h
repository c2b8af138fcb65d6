#pragma once
// Songs as the engine plays them: a song's tables for the sequencer, the
// game's sounds for the mixer's song channels, and a song rendered through
// both into 16-bit samples, for the WAV export (the song editor's and the
// command line's).
#include <cstdint>
#include <string>
#include <vector>

#include "engine/lvk_seq.h"
#include "engine/lvk_seq_mix.h"

namespace lvk {

class TGame;
class TSong;
struct TSongData;

// Song's tables (engine/lvk_seq.h), instruments as indexes of the game's
// sounds. Table() points into this object: it lives as long.
class TSongTables {
public:
  TSongTables(const TGame& Game, const TSong& Song);
  // Data as it stands, in range or not (the editor's loop of a few rows).
  TSongTables(const TGame& Game, const TSongData& Data);
  TSongTables(const TSongTables&) = delete;
  TSongTables& operator=(const TSongTables&) = delete;
  const lvk_seq_song_t& Table() const { return FTable; }

private:
  std::vector<lvk_seq_cell_t> FCells;
  std::vector<std::uint16_t> FPatternStart;
  std::vector<std::uint8_t> FPatternRows;
  std::vector<std::uint8_t> FOrders;
  std::vector<std::uint16_t> FInstruments;
  lvk_seq_song_t FTable{};
};

// Every sound of the game as a song channel plays it, with its base note.
// The samples are the sounds' own (TSound::Samples): valid while no sound
// changes.
struct TSongSounds {
  explicit TSongSounds(const TGame& Game);
  std::vector<lvk_seq_sound_t> Sounds;
  std::vector<std::uint8_t> BaseNotes;
};

// One pass of Song (engine/lvk_seq_mix.h: until it ends or first goes
// back), at most MaxSeconds, at Rate samples a second.
std::vector<std::int16_t> RenderSong(const TGame& Game, const TSong& Song, std::uint32_t Rate,
                                     std::uint32_t MaxSeconds = 600);

// A 16-bit mono PCM WAV file of Samples at Rate, written so that a failure
// leaves any file there as it was (EFileError).
void WriteWave16(const std::string& FileName, const std::vector<std::int16_t>& Samples, std::uint32_t Rate);

}  // namespace lvk
