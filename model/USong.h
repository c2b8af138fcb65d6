#pragma once
// A song of the game, made in the song editor or imported from a module
// file, played by the engine's sequencer (engine/lvk_seq.h states how).
//
// A song: a name (the item naming rules; new ones are mSong1, mSong2, ...), a
// tempo (frames of 60 Hz a row, 1..31), a beats line every N rows (1..64,
// the editor's only), 1..8 channels, 1..64 patterns of 16..64 rows, and an
// order list (1..255 entries, each a pattern) with a loop point (an entry
// the song goes on from after the last, or none: it ends). A row of a
// channel (TSongCell): a note C1..B7, a note-off or none; an instrument, one
// of the game's sounds, or none; a volume 0..15 or none; an effect and its
// value.
//
// The song editor changes a song whole: it takes Data(), changes its copy
// and hands it to SetData inside one edit, so every change is one undo step.
// Patterns always hold cells for all eight channels (channels the song does
// not use are kept, so narrowing and widening a song loses nothing until it
// is saved); the file stores the channels the song uses.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/lvk_seq.h"
#include "model/UItemId.h"
#include "support/UMemWatch.h"

namespace lvk {

class TGame;
class TWriter;
class TReader;

constexpr int SongMaxChannels = LVK_SEQ_CHANNELS;
constexpr int SongMinRows = LVK_SEQ_MIN_ROWS;
constexpr int SongMaxRows = LVK_SEQ_MAX_ROWS;
constexpr int SongMaxPatterns = LVK_SEQ_MAX_PATTERNS;
constexpr int SongMaxOrders = LVK_SEQ_MAX_ORDERS;
constexpr int SongMinTempo = LVK_SEQ_MIN_TEMPO;
constexpr int SongMaxTempo = LVK_SEQ_MAX_TEMPO;
constexpr int SongNoLoop = -1;
constexpr std::uint8_t NoteOff = LVK_SEQ_NOTE_OFF;
constexpr std::int8_t NoVolume = -1;

struct TSongCell {
  std::uint8_t Note = 0;        // 0 none; 1..84 C1..B7; NoteOff
  TItemId Instrument = NoItem;  // a sound of the game
  std::int8_t Volume = NoVolume;  // 0..15
  std::uint8_t Effect = LVK_SEQ_FX_NONE;
  std::uint8_t Value = 0;
  bool Empty() const { return Note == 0 && Instrument == NoItem && Volume == NoVolume && Effect == 0 && Value == 0; }
  bool operator==(const TSongCell&) const = default;
};

struct TSongPattern {
  int Rows = 64;
  std::vector<TSongCell> Cells;  // Rows x SongMaxChannels, row after row
  TSongCell& At(int Row, int Channel) { return Cells[static_cast<std::size_t>(Row * SongMaxChannels + Channel)]; }
  const TSongCell& At(int Row, int Channel) const {
    return Cells[static_cast<std::size_t>(Row * SongMaxChannels + Channel)];
  }
  bool operator==(const TSongPattern&) const = default;
};

struct TSongData {
  int Tempo = 6;
  int BeatRows = 4;
  int Channels = 4;
  std::vector<TSongPattern> Patterns;
  std::vector<int> Orders;
  int Loop = 0;
  bool operator==(const TSongData&) const = default;
};

// An empty pattern of Rows rows (held to 16..64).
TSongPattern EmptyPattern(int Rows);
// Data brought into its ranges: numbers held, at least one pattern and one
// order, cells sized to their rows, orders naming patterns (others become
// 0), a loop past the orders none, cell values out of range none.
void ClampSongData(TSongData& Data);
// The game's sounds Data names, in the order first named (rows of each
// pattern in turn, the song's channels in a row).
std::vector<TItemId> SongInstruments(const TSongData& Data);
// "C-4", "C#4", "===" for a note-off, "---" for none.
std::string NoteName(int Note);

class TSong : public TIdentified {
public:
  LVK_COUNTED
  // Only TGame::AddSong constructs songs: one pattern of 64 rows, one order.
  explicit TSong(TGame& Owner);
  TGame& Owner() const { return FOwner; }

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Name);

  const TSongData& Data() const { return FData; }
  // Clamped first (ClampSongData); true when anything changed.
  bool SetData(TSongData Data);
  // Cells whose instrument is Sound lose it (the sound is being deleted).
  void DropInstrument(TItemId Sound);
  // The game's sounds the song names, in the order first named (rows of
  // each pattern in turn, channels in a row).
  std::vector<TItemId> Instruments() const;

  // The song's record (the [TSongs] section's, docs/ProjectFile.md 7.9):
  // instruments as links. A record out of range or naming no sound is
  // EReadError.
  void SaveToStream(TWriter& Writer) const;
  void LoadFromStream(TReader& Reader);

private:
  friend class TGame;
  TSong(TGame& Owner, std::string Name);
  TGame& FOwner;
  std::string FName;
  TSongData FData;
};

}  // namespace lvk
