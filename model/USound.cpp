#include "model/USound.h"

#include <algorithm>

#include "model/UValueTypes.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/UGame.h"
#include "model/UNames.h"
#include "model/UStream.h"

namespace lvk {

namespace {

constexpr const char* Marker = "[TSound]";
constexpr const char* Unit = "USound";

bool SameParams(const lvk_synth_params_t& A, const lvk_synth_params_t& B) {
  return A.wave == B.wave && A.start_hz == B.start_hz && A.end_hz == B.end_hz && A.length_ms == B.length_ms &&
         A.attack_ms == B.attack_ms && A.decay_ms == B.decay_ms && A.volume == B.volume &&
         A.vibrato_depth == B.vibrato_depth && A.vibrato_rate == B.vibrato_rate && A.repeat == B.repeat;
}

// The made values in their stored order.
std::int32_t* Fields(lvk_synth_params_t& P, int Index) {
  std::int32_t* All[] = {&P.wave,      &P.start_hz, &P.end_hz, &P.length_ms,     &P.attack_ms,
                         &P.decay_ms,  &P.volume,   &P.vibrato_depth, &P.vibrato_rate, &P.repeat};
  return All[Index];
}
constexpr int FieldCount = 10;

}  // namespace

TSound::TSound(std::string Name)
    : TIdentified(nullptr, TItemKind::Sound), FName(std::move(Name)), FParams(lvk_synth_presets[0].params) {
  lvk_synth_clamp(&FParams);
}

TSound::TSound(TGame& Owner)
    : TSound(Owner, DefaultName(Owner.SoundCount(),
                                [&](const std::string& N) { return Owner.FindSoundByName(N) != nullptr; })) {}

TSound::TSound(TGame& Owner, std::string Name)
    : TIdentified(&Owner, TItemKind::Sound), FOwner(&Owner), FName(std::move(Name)), FParams(lvk_synth_presets[0].params) {
  lvk_synth_clamp(&FParams);
}

void TSound::MayChange() const {
  if (FOwner) FOwner->MayChange();
}

bool TSound::Touched(bool Renamed) {
  if (FOwner) FOwner->Changed(Renamed ? TChangeKind::Renamed : TChangeKind::Changed, *this, Renamed ? cfName : cfValues);
  return true;
}

void TSound::SetName(const std::string& Name) {
  if (!SetName(Name, FOwner ? FOwner->FindSoundByName(Name) : nullptr)) return;
  Touched(true);
}

std::string TSound::DefaultName(int Count, const std::function<bool(const std::string&)>& Exists) {
  return DefaultItemName("sSound", Count, Exists);
}

bool TSound::SetName(const std::string& Name, const TSound* Found) {
  CheckItemName(Name, this, Found, "A sound with name \"%s\" already exists");
  if (Name == FName) return false;
  MayChange();
  FName = Name;
  return true;
}

bool TSound::SetParams(const lvk_synth_params_t& Params) {
  lvk_synth_params_t Clamped = Params;
  lvk_synth_clamp(&Clamped);
  if (FKind == TSoundKind::skMade && SameParams(Clamped, FParams)) return false;
  MayChange();
  FKind = TSoundKind::skMade;
  FParams = Clamped;
  FImported.clear();
  FImported.shrink_to_fit();
  FRendered.clear();
  return Touched();
}

bool TSound::SetPreset(int Preset) {
  Assert(Preset >= 0 && Preset < LVK_SYNTH_PRESET_COUNT, Unit);
  return SetParams(lvk_synth_presets[Preset].params);
}

bool TSound::SetImported(std::vector<std::int8_t> Samples) {
  Assert(!Samples.empty(), Unit);
  if (Samples.size() > WaveMaxSamples) Samples.resize(WaveMaxSamples);
  Samples.resize((Samples.size() + 3) / 4 * 4, 0);
  if (FKind == TSoundKind::skImported && Samples == FImported) return false;
  MayChange();
  FKind = TSoundKind::skImported;
  FImported = std::move(Samples);
  FRendered.clear();
  FRendered.shrink_to_fit();
  return Touched();
}

TWaveImport TSound::ImportWave(const std::string& FileName) {
  TWaveImport Result = ReadWaveFile(FileName);
  SetImported(Result.Samples);
  return Result;
}

const std::vector<std::int8_t>& TSound::Samples() const {
  if (FKind == TSoundKind::skImported) return FImported;
  if (FRendered.empty()) {
    FRendered.resize(lvk_synth_length(&FParams));
    lvk_synth_render(&FParams, FRendered.data(), static_cast<std::uint32_t>(FRendered.size()));
  }
  return FRendered;
}

std::size_t TSound::DsSize() const {
  return FKind == TSoundKind::skImported ? FImported.size() : lvk_synth_length(&FParams);
}

int TSound::DurationMs() const {
  if (FKind == TSoundKind::skMade) return FParams.length_ms;
  return static_cast<int>((FImported.size() * 1000 + WaveSampleRate / 2) / WaveSampleRate);
}

bool TSound::SetBaseNote(int Note) {
  Note = std::clamp(Note, LVK_SEQ_MIN_NOTE, LVK_SEQ_MAX_NOTE);
  if (Note == FBaseNote) return false;
  MayChange();
  FBaseNote = Note;
  return Touched();
}

bool TSound::SetLoop(std::uint32_t Start, std::uint32_t End) {
  End = std::min<std::uint32_t>(End, WaveMaxSamples);
  if (End <= Start) Start = End = 0;
  if (Start == FLoopStart && End == FLoopEnd) return false;
  MayChange();
  FLoopStart = Start;
  FLoopEnd = End;
  return Touched();
}

void TSound::SaveToStream(TStream& Stream, TWriter& Writer) const {
  Writer.WriteString(Marker);
  Writer.WriteString(FName);
  Writer.WriteInteger(static_cast<std::int32_t>(FKind));
  lvk_synth_params_t P = FParams;
  for (int i = 0; i < FieldCount; ++i) Writer.WriteInteger(*Fields(P, i));
  if (FKind == TSoundKind::skImported) {
    Writer.WriteInteger(static_cast<std::int32_t>(FImported.size()));
    Writer.FlushBuffer();
    Stream.Write(FImported.data(), FImported.size());
  }
}

void TSound::LoadFromStream(TStream& Stream, TReader& Reader) {
  std::string Read = Reader.ReadString();
  if (Read != Marker) throw EGame(Format("Read error: expected %s, read %s", Marker, Read));
  std::string Name = Reader.ReadString();
  std::int32_t Kind = Reader.ReadInteger();
  if (Kind != static_cast<std::int32_t>(TSoundKind::skMade) && Kind != static_cast<std::int32_t>(TSoundKind::skImported))
    throw EReadError("Unknown sound kind");
  lvk_synth_params_t P{};
  for (int i = 0; i < FieldCount; ++i) *Fields(P, i) = Reader.ReadInteger();
  lvk_synth_clamp(&P);
  std::vector<std::int8_t> Samples;
  if (Kind == static_cast<std::int32_t>(TSoundKind::skImported)) {
    std::int32_t Count = Reader.ReadInteger();
    if (Count < 1 || static_cast<std::size_t>(Count) > WaveMaxSamples ||
        static_cast<std::uint64_t>(Count) > Reader.Remaining())
      throw EReadError("Sample count out of range");
    Reader.FixupBuffer();
    Samples.resize(static_cast<std::size_t>(Count));
    Stream.ReadBuffer(Samples.data(), Samples.size());
    Samples.resize((Samples.size() + 3) / 4 * 4, 0);
  }
  // Only a whole record changes the sound.
  FName = std::move(Name);
  FKind = static_cast<TSoundKind>(Kind);
  FParams = P;
  FImported = std::move(Samples);
  FRendered.clear();
}

}  // namespace lvk
