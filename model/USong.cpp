#include "model/USong.h"

#include <algorithm>
#include <unordered_map>

#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/UNames.h"
#include "model/USound.h"
#include "model/UStream.h"

namespace lvk {

namespace {
constexpr std::size_t CellBytes = 5;

int Clamp(int V, int Lo, int Hi) { return V < Lo ? Lo : V > Hi ? Hi : V; }

bool NoteInRange(int Note) { return Note == 0 || Note == NoteOff || (Note >= LVK_SEQ_MIN_NOTE && Note <= LVK_SEQ_MAX_NOTE); }
}  // namespace

TSongPattern EmptyPattern(int Rows) {
  TSongPattern P;
  P.Rows = Clamp(Rows, SongMinRows, SongMaxRows);
  P.Cells.assign(static_cast<std::size_t>(P.Rows * SongMaxChannels), TSongCell());
  return P;
}

void ClampSongData(TSongData& D) {
  D.Tempo = Clamp(D.Tempo, SongMinTempo, SongMaxTempo);
  D.BeatRows = Clamp(D.BeatRows, 1, SongMaxRows);
  D.Channels = Clamp(D.Channels, 1, SongMaxChannels);
  if (D.Patterns.empty()) D.Patterns.push_back(EmptyPattern(64));
  if (D.Patterns.size() > static_cast<std::size_t>(SongMaxPatterns)) D.Patterns.resize(SongMaxPatterns);
  for (TSongPattern& P : D.Patterns) {
    P.Rows = Clamp(P.Rows, SongMinRows, SongMaxRows);
    P.Cells.resize(static_cast<std::size_t>(P.Rows * SongMaxChannels));
    for (TSongCell& C : P.Cells) {
      if (!NoteInRange(C.Note)) C.Note = 0;
      if (C.Volume < NoVolume || C.Volume > 15) C.Volume = NoVolume;
      if (C.Effect >= LVK_SEQ_FX_COUNT) C.Effect = LVK_SEQ_FX_NONE, C.Value = 0;
    }
  }
  if (D.Orders.empty()) D.Orders.push_back(0);
  if (D.Orders.size() > static_cast<std::size_t>(SongMaxOrders)) D.Orders.resize(SongMaxOrders);
  for (int& O : D.Orders)
    if (O < 0 || O >= static_cast<int>(D.Patterns.size())) O = 0;
  if (D.Loop < SongNoLoop || D.Loop >= static_cast<int>(D.Orders.size())) D.Loop = SongNoLoop;
}

std::string NoteName(int Note) {
  static const char* const Names[12] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
  if (Note == NoteOff) return "===";
  if (Note < LVK_SEQ_MIN_NOTE || Note > LVK_SEQ_MAX_NOTE) return "---";
  return std::string(Names[(Note - 1) % 12]) + static_cast<char>('1' + (Note - 1) / 12);
}

TSong::TSong(TGame& Owner)
    : TSong(Owner, DefaultItemName("mSong", Owner.SongCount(),
                                   [&](const std::string& N) { return Owner.FindSongByName(N) != nullptr; })) {}

TSong::TSong(TGame& Owner, std::string Name)
    : TIdentified(&Owner, TItemKind::Song), FOwner(Owner), FName(std::move(Name)) {
  ClampSongData(FData);
}

void TSong::SetName(const std::string& Name) {
  CheckItemName(Name, this, FOwner.FindSongByName(Name), "A song with name \"%s\" already exists");
  if (Name == FName) return;
  FOwner.MayChange();
  FName = Name;
  FOwner.Changed(TChangeKind::Renamed, *this);
}

bool TSong::SetData(TSongData Data) {
  ClampSongData(Data);
  if (Data == FData) return false;
  FOwner.MayChange();
  FData = std::move(Data);
  FOwner.Changed(TChangeKind::Changed, *this, cfValues);
  return true;
}

void TSong::DropInstrument(TItemId Sound) {
  TSongData Data = FData;
  for (TSongPattern& P : Data.Patterns)
    for (TSongCell& C : P.Cells)
      if (C.Instrument == Sound) C.Instrument = NoItem;
  SetData(std::move(Data));
}

std::vector<TItemId> TSong::Instruments() const { return SongInstruments(FData); }

std::vector<TItemId> SongInstruments(const TSongData& Data) {
  std::vector<TItemId> List;
  for (const TSongPattern& P : Data.Patterns)
    for (int r = 0; r < P.Rows; ++r)
      for (int c = 0; c < Data.Channels; ++c) {
        const TItemId I = P.At(r, c).Instrument;
        if (I != NoItem && std::find(List.begin(), List.end(), I) == List.end()) List.push_back(I);
      }
  return List;
}

void TSong::SaveToStream(TWriter& Writer) const {
  Writer.WriteString(FName);
  Writer.WriteInteger(FData.Tempo);
  Writer.WriteInteger(FData.BeatRows);
  Writer.WriteInteger(FData.Channels);
  Writer.WriteInteger(FData.Loop);
  const std::vector<TItemId> Instruments = this->Instruments();
  Writer.WriteInteger(static_cast<std::int32_t>(Instruments.size()));
  for (TItemId I : Instruments) FOwner.WriteLink(Writer, TItemKind::Sound, I);
  Writer.WriteInteger(static_cast<std::int32_t>(FData.Patterns.size()));
  for (const TSongPattern& P : FData.Patterns) {
    Writer.WriteInteger(P.Rows);
    // Only the cells that hold something: most of a pattern is empty.
    int Used = 0;
    for (int r = 0; r < P.Rows; ++r)
      for (int c = 0; c < FData.Channels; ++c) Used += !P.At(r, c).Empty();
    Writer.WriteInteger(Used);
    for (int r = 0; r < P.Rows; ++r)
      for (int c = 0; c < FData.Channels; ++c) {
        const TSongCell& C = P.At(r, c);
        if (C.Empty()) continue;
        const auto Index = C.Instrument == NoItem
                               ? 0
                               : std::find(Instruments.begin(), Instruments.end(), C.Instrument) - Instruments.begin() + 1;
        Writer.WriteInteger(r * SongMaxChannels + c);
        Writer.WriteInteger(C.Note);
        Writer.WriteInteger(static_cast<std::int32_t>(Index));
        Writer.WriteInteger(C.Volume);
        Writer.WriteInteger(C.Effect);
        Writer.WriteInteger(C.Value);
      }
  }
  Writer.WriteInteger(static_cast<std::int32_t>(FData.Orders.size()));
  for (int O : FData.Orders) Writer.WriteInteger(O);
}

void TSong::LoadFromStream(TReader& Reader) {
  auto Range = [](std::int32_t V, std::int32_t Lo, std::int32_t Hi) {
    if (V < Lo || V > Hi) throw EReadError("section");
    return static_cast<int>(V);
  };
  // Every count is checked against the bytes left before anything is made
  // for it: an Integer takes at least two bytes.
  auto Count = [&](std::int32_t Max, std::uint64_t BytesEach) {
    const std::int32_t N = Reader.ReadInteger();
    if (N < 0 || N > Max || static_cast<std::uint64_t>(N) * BytesEach > Reader.Remaining()) throw EReadError("section");
    return static_cast<int>(N);
  };
  std::string Name = Reader.ReadString();
  TSongData D;
  D.Tempo = Range(Reader.ReadInteger(), SongMinTempo, SongMaxTempo);
  D.BeatRows = Range(Reader.ReadInteger(), 1, SongMaxRows);
  D.Channels = Range(Reader.ReadInteger(), 1, SongMaxChannels);
  D.Loop = Range(Reader.ReadInteger(), SongNoLoop, SongMaxOrders - 1);
  std::vector<TItemId> Instruments(static_cast<std::size_t>(Count(LVK_SEQ_MAX_INSTRUMENTS, 2)));
  for (TItemId& I : Instruments) {
    const TLink Link = Reader.ReadLink();
    I = FOwner.LinkedId(TItemKind::Sound, Link);
    if (I == NoItem) throw EReadError("section");
  }
  D.Patterns.resize(static_cast<std::size_t>(Count(SongMaxPatterns, 4)));
  if (D.Patterns.empty()) throw EReadError("section");
  for (TSongPattern& P : D.Patterns) {
    P = EmptyPattern(Range(Reader.ReadInteger(), SongMinRows, SongMaxRows));
    const int Used = Count(P.Rows * D.Channels, 12);
    for (int u = 0; u < Used; ++u) {
      const int Place = Range(Reader.ReadInteger(), 0, P.Rows * SongMaxChannels - 1);
      if (Place % SongMaxChannels >= D.Channels) throw EReadError("section");
      TSongCell& C = P.Cells[static_cast<std::size_t>(Place)];
      if (!C.Empty()) throw EReadError("section");
      const int Note = Range(Reader.ReadInteger(), 0, NoteOff);
      if (!NoteInRange(Note)) throw EReadError("section");
      C.Note = static_cast<std::uint8_t>(Note);
      const int Instrument = Range(Reader.ReadInteger(), 0, static_cast<std::int32_t>(Instruments.size()));
      C.Instrument = Instrument ? Instruments[static_cast<std::size_t>(Instrument - 1)] : NoItem;
      C.Volume = static_cast<std::int8_t>(Range(Reader.ReadInteger(), NoVolume, 15));
      C.Effect = static_cast<std::uint8_t>(Range(Reader.ReadInteger(), 0, LVK_SEQ_FX_COUNT - 1));
      C.Value = static_cast<std::uint8_t>(Range(Reader.ReadInteger(), 0, 255));
      if (C.Empty()) throw EReadError("section");
    }
  }
  D.Orders.resize(static_cast<std::size_t>(Count(SongMaxOrders, 2)));
  if (D.Orders.empty()) throw EReadError("section");
  for (int& O : D.Orders) O = Range(Reader.ReadInteger(), 0, static_cast<std::int32_t>(D.Patterns.size()) - 1);
  if (D.Loop >= static_cast<int>(D.Orders.size())) throw EReadError("section");
  FName = std::move(Name);
  FData = std::move(D);
}

}  // namespace lvk
