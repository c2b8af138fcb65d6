#include "model/UModuleImport.h"

#include <xmp.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "model/UErrors.h"
#include "model/UFormat.h"
#include "model/UGame.h"
#include "model/UNames.h"
#include "model/USong.h"
#include "model/USound.h"
#include "model/UStream.h"
#include "model/UWave.h"

namespace lvk {

namespace {

// libxmp's effect numbers (the module forms' own, as its loaders store them).
enum : std::uint8_t {
  xfArpeggio = 0x00,
  xfSlideUp = 0x01,
  xfSlideDown = 0x02,
  xfSlideToNote = 0x03,
  xfVibrato = 0x04,
  xfVolumeSlide = 0x0a,
  xfJump = 0x0b,
  xfVolume = 0x0c,
  xfBreak = 0x0d,
  xfExtended = 0x0e,
  xfSpeed = 0x0f,
};
// libxmp's note 61 is the one its samples play at their own rate (8363 Hz
// and their transpose); ours is C4.
constexpr int XmpBase = 61;

std::string EffectName(int Type, int Value) {
  switch (Type) {
    case 0x05: return "slide to note with volume slide";
    case 0x06: return "vibrato with volume slide";
    case 0x07: return "tremolo";
    case 0x08: return "panning";
    case 0x09: return "sample offset";
    case xfExtended: return Format("extended effect E%X", Value >> 4);
    case xfSpeed: return "tempo in beats a minute";
    case 0x10: return "global volume";
    case 0x11: return "global volume slide";
    case 0x14: return "key off";
    case 0x15: return "envelope position";
    case 0x19: return "panning slide";
    case 0x1b: return "retrigger";
    case 0x1d: return "tremor";
    default: return Format("effect %.2X", Type);
  }
}

struct TXmp {
  xmp_context Context = xmp_create_context();
  bool Loaded = false;
  ~TXmp() {
    if (Loaded) xmp_release_module(Context);
    xmp_free_context(Context);
  }
};

// The sample of a module instrument, as a sound: 8-bit at 16,384 Hz so that
// BaseNote plays it at its own pitch.
struct TImportedSound {
  std::string Name;
  std::vector<std::int8_t> Samples;
  int BaseNote = LVK_SEQ_DEFAULT_BASE_NOTE;
  std::uint32_t LoopStart = 0, LoopEnd = 0;
  bool Cut = false;
};

bool MakeSound(const xmp_module& M, int Instrument, TImportedSound& Out) {
  const xmp_instrument& I = M.xxi[Instrument];
  if (I.nsm < 1 || !I.sub) return false;
  const xmp_subinstrument& Sub = I.sub[0];
  if (Sub.sid < 0 || Sub.sid >= M.smp) return false;
  const xmp_sample& S = M.xxs[Sub.sid];
  if (S.len <= 0 || !S.data || (S.flg & XMP_SAMPLE_SYNTH)) return false;
  // The sample sounds our C4 at Rate; at 16,384 Hz it would sound Semis
  // above: the whole note nearest stands for it, the samples stretched by
  // the little left over.
  const double Rate = 8363.0 * std::pow(2.0, (Sub.xpo + Sub.fin / 128.0) / 12.0);
  const double Semis = 12.0 * std::log2(LVK_SEQ_SOURCE_RATE / Rate);
  const int Base = std::clamp(LVK_SEQ_DEFAULT_BASE_NOTE + static_cast<int>(std::lround(Semis)), LVK_SEQ_MIN_NOTE,
                              LVK_SEQ_MAX_NOTE);
  const double Stretch = LVK_SEQ_SOURCE_RATE / (Rate * std::pow(2.0, (Base - LVK_SEQ_DEFAULT_BASE_NOTE) / 12.0));
  const bool Wide = (S.flg & XMP_SAMPLE_16BIT) != 0;
  auto At = [&](long i) -> double {
    if (i >= S.len) i = S.len - 1;
    if (Wide) return reinterpret_cast<const std::int16_t*>(S.data)[i] / 256.0;
    return static_cast<std::int8_t>(S.data[i]);
  };
  const double Wanted = S.len * Stretch;
  std::size_t Length = static_cast<std::size_t>(std::max(1.0, std::floor(Wanted)));
  if (Length > WaveMaxSamples) {
    Length = WaveMaxSamples;
    Out.Cut = true;
  }
  Out.Samples.resize(Length);
  for (std::size_t i = 0; i < Length; ++i) {
    const double Where = i / Stretch;
    const long Whole = static_cast<long>(Where);
    const double Part = Where - Whole;
    const double V = At(Whole) * (1 - Part) + At(Whole + 1) * Part;
    Out.Samples[i] = static_cast<std::int8_t>(std::clamp(std::lround(V), -128L, 127L));
  }
  Out.BaseNote = Base;
  if ((S.flg & XMP_SAMPLE_LOOP) && S.lpe > S.lps) {
    Out.LoopStart = static_cast<std::uint32_t>(std::lround(S.lps * Stretch));
    Out.LoopEnd = std::min<std::uint32_t>(static_cast<std::uint32_t>(std::lround(S.lpe * Stretch)),
                                          static_cast<std::uint32_t>(Length));
    if (Out.LoopEnd <= Out.LoopStart) Out.LoopStart = Out.LoopEnd = 0;
  }
  std::string Name = "s";
  for (const char C : std::string(I.name[0] ? I.name : S.name))
    if ((C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '_') Name += C;
  Out.Name = Name.size() > 1 ? Name : Format("sSample%d", Instrument + 1);
  return true;
}

// Module volume 0..64 as the volume column's 0..15.
std::int8_t Volume(int V) { return static_cast<std::int8_t>(std::clamp((V * 15 + 32) / 64, 0, 15)); }

TModuleImport Import(TSong& Song, TXmp& Xmp, const std::string& Name) {
  xmp_module_info Info;
  xmp_get_module_info(Xmp.Context, &Info);
  const xmp_module& M = *Info.mod;
  if (M.chn > SongMaxChannels)
    throw EGame(Format("The module \"%s\" has %d channels; a song has at most %d.", Name, M.chn, SongMaxChannels));
  if (M.pat > SongMaxPatterns)
    throw EGame(Format("The module \"%s\" has %d patterns; a song has at most %d.", Name, M.pat, SongMaxPatterns));
  if (M.chn < 1 || M.pat < 1 || M.len < 1) throw EGame(Format("The module \"%s\" holds no song.", Name));

  // Module ticks come bpm x 2 / 5 times a second, rows every speed ticks:
  // in frames of 1/60 s a row is speed x 150 / bpm.
  const int Bpm = M.bpm > 0 ? M.bpm : 125;
  auto Frames = [Bpm](int Speed) { return std::clamp((Speed * 150 + Bpm / 2) / Bpm, SongMinTempo, SongMaxTempo); };

  TSongData D;
  D.Channels = M.chn;
  D.Tempo = Frames(M.spd > 0 ? M.spd : 6);
  D.BeatRows = 4;
  std::set<std::string> Dropped;
  std::map<int, int> Instruments;  // module instrument -> index into Sounds, -1 none
  std::vector<TImportedSound> Sounds;
  bool RowsCut = false;
  for (int p = 0; p < M.pat; ++p) {
    const xmp_pattern* P = M.xxp[p];
    const int Rows = P ? P->rows : 0;
    if (Rows > SongMaxRows) RowsCut = true;
    TSongPattern Out = EmptyPattern(std::clamp(Rows, SongMinRows, SongMaxRows));
    for (int c = 0; c < M.chn && P; ++c) {
      const int Track = P->index[c];
      if (Track < 0 || Track >= M.trk || !M.xxt[Track]) continue;
      const xmp_track& T = *M.xxt[Track];
      for (int r = 0; r < std::min({Rows, T.rows, SongMaxRows}); ++r) {
        const xmp_event& E = T.event[r];
        TSongCell& Cell = Out.At(r, c);
        if (E.note == XMP_KEY_OFF || E.note == XMP_KEY_CUT || E.note == XMP_KEY_FADE) {
          Cell.Note = NoteOff;
        } else if (E.note > 0 && E.note <= XMP_MAX_KEYS) {
          int Note = E.note - XmpBase + LVK_SEQ_DEFAULT_BASE_NOTE;
          while (Note < LVK_SEQ_MIN_NOTE) Note += 12;
          while (Note > LVK_SEQ_MAX_NOTE) Note -= 12;
          Cell.Note = static_cast<std::uint8_t>(Note);
        }
        if (E.ins > 0 && E.ins <= M.ins) {
          auto Found = Instruments.find(E.ins - 1);
          if (Found == Instruments.end()) {
            TImportedSound S;
            const bool Made = MakeSound(M, E.ins - 1, S);
            if (Made) Sounds.push_back(std::move(S));
            Found = Instruments.emplace(E.ins - 1, Made ? static_cast<int>(Sounds.size()) - 1 : -1).first;
          }
          // The sound's id is known once it is added: the index for now.
          if (Found->second >= 0) Cell.Instrument = static_cast<TItemId>(Found->second + 1);
          const xmp_instrument& I = M.xxi[E.ins - 1];
          if (E.vol == 0 && I.nsm > 0 && I.sub && I.sub[0].vol < 64) Cell.Volume = Volume(I.sub[0].vol);
        }
        if (E.vol > 0) Cell.Volume = Volume(E.vol - 1);
        auto Effect = [&](std::uint8_t Type, std::uint8_t Value) {
          switch (Type) {
            case xfArpeggio:
              if (Value) Cell.Effect = LVK_SEQ_FX_ARPEGGIO, Cell.Value = Value;
              return;
            case xfSlideUp: Cell.Effect = LVK_SEQ_FX_SLIDE_UP, Cell.Value = Value; return;
            case xfSlideDown: Cell.Effect = LVK_SEQ_FX_SLIDE_DOWN, Cell.Value = Value; return;
            case xfSlideToNote: Cell.Effect = LVK_SEQ_FX_SLIDE_TO_NOTE, Cell.Value = Value; return;
            case xfVibrato: Cell.Effect = LVK_SEQ_FX_VIBRATO, Cell.Value = Value; return;
            case xfVolumeSlide: Cell.Effect = LVK_SEQ_FX_VOLUME_SLIDE, Cell.Value = Value; return;
            case xfJump: Cell.Effect = LVK_SEQ_FX_JUMP, Cell.Value = Value; return;
            case xfVolume: Cell.Volume = Volume(std::min<int>(Value, 64)); return;
            case xfBreak:
              // Written in decimal digits.
              Cell.Effect = LVK_SEQ_FX_END_PATTERN;
              Cell.Value = static_cast<std::uint8_t>(std::min(((Value >> 4) * 10 + (Value & 0x0F)), 255));
              return;
            case xfExtended:
              if ((Value >> 4) == 0x0C) {
                Cell.Effect = LVK_SEQ_FX_NOTE_CUT, Cell.Value = Value & 0x0F;
                return;
              }
              break;
            case xfSpeed:
              if (Value > 0 && Value < 0x20) {
                Cell.Effect = LVK_SEQ_FX_SET_TEMPO, Cell.Value = static_cast<std::uint8_t>(Frames(Value));
                return;
              }
              if (Value == 0) return;
              break;
            default: break;
          }
          Dropped.insert(EffectName(Type, Value));
        };
        if (E.fxt || E.fxp) Effect(E.fxt, E.fxp);
        if (E.f2t || E.f2p) {
          // The second effect (the volume column's) where the first left room.
          if (Cell.Effect == LVK_SEQ_FX_NONE || E.f2t == xfVolume)
            Effect(E.f2t, E.f2p);
          else
            Dropped.insert(EffectName(E.f2t, E.f2p));
        }
      }
    }
    // A short pattern ends where it ends.
    if (Rows > 0 && Rows < SongMinRows) {
      TSongCell& Last = Out.At(Rows - 1, 0);
      if (Last.Effect == LVK_SEQ_FX_NONE) Last.Effect = LVK_SEQ_FX_END_PATTERN, Last.Value = 0;
    }
    D.Patterns.push_back(std::move(Out));
  }
  for (int o = 0; o < M.len && o < XMP_MAX_MOD_LENGTH && D.Orders.size() < static_cast<std::size_t>(SongMaxOrders); ++o)
    if (M.xxo[o] < M.pat) D.Orders.push_back(M.xxo[o]);
  if (D.Orders.empty()) throw EGame(Format("The module \"%s\" holds no song.", Name));
  D.Loop = M.rst >= 0 && M.rst < static_cast<int>(D.Orders.size()) ? M.rst : 0;

  // Everything is read: now the game changes.
  TGame& Game = Song.Owner();
  std::vector<TItemId> Ids;
  bool SamplesCut = false;
  for (TImportedSound& S : Sounds) {
    TSound* Sound = Game.AddSound();
    std::string SoundName = S.Name;
    for (int n = 2; !IsLegalName(SoundName) || Game.FindSoundByName(SoundName); ++n) SoundName = S.Name + Format("_%d", n);
    Sound->SetName(SoundName);
    Sound->SetImported(std::move(S.Samples));
    Sound->SetBaseNote(S.BaseNote);
    Sound->SetLoop(S.LoopStart, S.LoopEnd);
    SamplesCut = SamplesCut || S.Cut;
    Ids.push_back(Sound->Id());
  }
  for (TSongPattern& P : D.Patterns)
    for (TSongCell& C : P.Cells)
      if (C.Instrument != NoItem) C.Instrument = Ids[C.Instrument - 1];
  Song.SetData(std::move(D));

  TModuleImport Result;
  Result.Sounds = static_cast<int>(Ids.size());
  std::vector<std::string> Lines;
  if (!Dropped.empty()) {
    std::string List;
    for (const std::string& E : Dropped) List += (List.empty() ? "" : ", ") + E;
    Lines.push_back("Effects a song does not play were left out: " + List + ".");
  }
  if (RowsCut) Lines.push_back(Format("Patterns longer than %d rows were cut.", SongMaxRows));
  if (SamplesCut) Lines.push_back("Samples longer than 2 seconds were cut.");
  for (const std::string& L : Lines) Result.Note += (Result.Note.empty() ? "" : "\n") + L;
  return Result;
}

}  // namespace

TModuleImport ImportModuleBytes(TSong& Song, const std::uint8_t* Bytes, std::size_t Size, const std::string& Name) {
  TXmp Xmp;
  if (Size == 0 || xmp_load_module_from_memory(Xmp.Context, Bytes, static_cast<long>(Size)) != 0)
    throw EGame(Format("The file \"%s\" is not a module file this program reads.", Name));
  Xmp.Loaded = true;
  return Import(Song, Xmp, Name);
}

TModuleImport ImportModule(TSong& Song, const std::string& FileName) {
  const std::vector<std::uint8_t> Bytes = ReadWholeFile(FileName);
  const auto Slash = FileName.rfind('/');
  return ImportModuleBytes(Song, Bytes.data(), Bytes.size(), Slash == std::string::npos ? FileName : FileName.substr(Slash + 1));
}

}  // namespace lvk
