#pragma once
// A named sound of the game: made in the editor with the synthesizer's
// values, or imported from a WAV file as converted samples. Either way it
// ends as signed 8-bit mono samples at 16,384 Hz, the bytes the DS program
// plays and the play window mixes.
//
// A sound knows no game: the list that owns it names it (DefaultName), looks
// names up for SetName and marks the document changed when a setter says it
// changed something.
//
// Record, in the tagged value encoding:
//   "[TSound]"                 string, the marker
//   name                       string
//   kind                       integer: 0 made, 1 imported
//   wave, start Hz, end Hz, length ms, attack ms, decay ms, volume,
//   vibrato depth %, vibrato rate Hz, repeat
//                              10 integers, the made values (kept for an
//                              imported sound too, so making it again
//                              brings them back)
// and for an imported sound only:
//   sample count               integer, 1..32768
//   the samples                that many raw bytes, signed, right after the
//                              count's bytes (the writer flushes first, as
//                              a tile's picture does)
// The made values are clamped on reading as on setting. A wrong marker
// raises EGame "Read error: expected [TSound], read %s"; an unknown kind or
// a count that is out of range or more than the bytes left raises
// EReadError, before anything is allocated for the samples.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/lvk_seq.h"
#include "engine/lvk_synth.h"
#include "model/UItemId.h"
#include "model/UWave.h"
#include "support/UMemWatch.h"

namespace lvk {

class TGame;
class TStream;
class TWriter;
class TReader;

enum class TSoundKind { skMade = 0, skImported = 1 };

class TSound : public TIdentified {
public:
  LVK_COUNTED
  // A made sound with the first preset's values ("Coin").
  explicit TSound(std::string Name);
  // A sound of Owner's list (only TGame::AddSound makes these): its default
  // name, and every change marks the game and tells its document.
  explicit TSound(TGame& Owner);
  TGame* Owner() const { return FOwner; }
  // As the other items' names, looked up in the owner's list.
  void SetName(const std::string& Name);

  // "sSound" followed by the first number from Count + 1 on that Exists
  // denies, Exists being the owner's case-insensitive lookup.
  static std::string DefaultName(int Count, const std::function<bool(const std::string&)>& Exists);

  const std::string& Name() const { return FName; }
  // Raises EGame with the illegal-name message, or with "A sound with name
  // \"%s\" already exists" when Found (the owner's lookup of Name) is another
  // sound; the name stays then. True when the name changed (exact
  // comparison): the owner marks the document changed.
  bool SetName(const std::string& Name, const TSound* Found);

  TSoundKind Kind() const { return FKind; }
  // The made values, clamped. Kept while the sound is imported.
  const lvk_synth_params_t& Params() const { return FParams; }
  // Makes the sound of Params (clamped), dropping imported samples. True
  // when the kind or a value changed.
  bool SetParams(const lvk_synth_params_t& Params);
  // Makes the sound of the preset's values (0..LVK_SYNTH_PRESET_COUNT - 1;
  // another number is an assertion failure, unit USound).
  bool SetPreset(int Preset);
  // Imports Samples (signed 8-bit mono at 16,384 Hz): more than 2 seconds
  // are cut, the rest padded with silence to a multiple of 4. Empty Samples
  // are an assertion failure (unit USound). True when anything changed.
  bool SetImported(std::vector<std::int8_t> Samples);
  // Reads a WAV file and imports its samples. The reader's EGame or
  // EFileError leaves the sound as it was. The result tells what the file
  // held and whether it was cut at 2 seconds, for the caller's note.
  TWaveImport ImportWave(const std::string& FileName);

  // What the DS plays: rendered when first asked for after a change (made)
  // or as imported; never empty, a multiple of 4 samples. The reference and
  // its data stay valid until the sound changes: a host that mixes them
  // stops its voices first (lvk_mix_stop_samples).
  const std::vector<std::int8_t>& Samples() const;
  // Bytes the samples take in the DS program, without rendering.
  std::size_t DsSize() const;
  // Length in ms, rounded to the nearest, without rendering.
  int DurationMs() const;

  // As a song's instrument: the note at which the sound plays at its own
  // rate (1..84, C4 = 37 unless set), and a loop (in samples, Start below
  // End) that a held note repeats until the next note or a note-off; End 0
  // for none. Stored in the songs' section, not in this record.
  int BaseNote() const { return FBaseNote; }
  // Held to 1..84; true when it changed.
  bool SetBaseNote(int Note);
  std::uint32_t LoopStart() const { return FLoopStart; }
  std::uint32_t LoopEnd() const { return FLoopEnd; }
  bool HasLoop() const { return FLoopEnd > FLoopStart; }
  // End not above Start means no loop (both 0); End is held to
  // WaveMaxSamples. True when it changed.
  bool SetLoop(std::uint32_t Start, std::uint32_t End);

  void SaveToStream(TStream& Stream, TWriter& Writer) const;
  void LoadFromStream(TStream& Stream, TReader& Reader);

private:
  friend class TGame;  // reads and undoes sounds
  friend class TProjectFile;  // reads the song values in the songs' section
  // A sound of Owner's list called Name; the reader's, whose record names
  // the sound, so that no default name is looked for.
  TSound(TGame& Owner, std::string Name);
  // Asked before a change is written: the owner's game, when there is one.
  void MayChange() const;
  // Marks the owner's game changed, when there is one, and returns true.
  bool Touched(bool Renamed = false);

  TGame* FOwner = nullptr;
  std::string FName;
  TSoundKind FKind = TSoundKind::skMade;
  lvk_synth_params_t FParams{};
  std::vector<std::int8_t> FImported;
  // Rendered made sound; empty until asked for after a change.
  mutable std::vector<std::int8_t> FRendered;
  int FBaseNote = LVK_SEQ_DEFAULT_BASE_NOTE;
  std::uint32_t FLoopStart = 0;
  std::uint32_t FLoopEnd = 0;
};

}  // namespace lvk
