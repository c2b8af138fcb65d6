#include "model/UProjectFile.h"

#include <algorithm>
#include <unordered_set>

#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/UGame.h"
#include "model/UKinds.h"
#include "model/ULevel.h"
#include "model/UNameIndex.h"
#include "model/USong.h"
#include "model/USound.h"
#include "model/UStream.h"
#include "model/UValueTypes.h"
#include "model/UVariable.h"

namespace lvk {

namespace {
constexpr const char* Marker = "[TGame]";
constexpr const char* RulesMarker = "[TVariables]";
constexpr const char* SoundsMarker = "[TSounds]";
constexpr const char* SpritesMarker = "[TSprites]";
constexpr const char* TransparentMarker = "[TTransparentColors]";
constexpr const char* CommentsMarker = "[THandlerComments]";
constexpr const char* CamerasMarker = "[TCameras]";
constexpr const char* BackdropsMarker = "[TBackdrops]";
constexpr const char* SavedDataMarker = "[TSavedData]";
constexpr const char* SongsMarker = "[TSongs]";
}  // namespace

template <typename T>
T* TGame::AddRead(TOwnedList<T>& List, TItemKind) {
  MayChange();
  T* Item = List.Append(std::unique_ptr<T>(new T(*this, std::string())));
  Changed(TChangeKind::Added, *Item);
  return Item;
}

void TProjectFile::SaveSounds(const TGame& Game, TStream& Stream, TWriter& Writer) {
  Writer.WriteString(SoundsMarker);
  Writer.WriteInteger(Game.FSounds.Count());
  for (int i = 0; i < Game.FSounds.Count(); ++i) Game.FSounds.At(i)->SaveToStream(Stream, Writer);
  int Loops = 0;
  for (int l = 0; l < Game.FLevels.Count(); ++l) Loops += Game.FLevels.At(l)->Music() != nullptr;
  Writer.WriteInteger(Loops);
  for (int l = 0; l < Game.FLevels.Count(); ++l)
    if (const TSound* Music = Game.FLevels.At(l)->Music()) {
      Writer.WriteInteger(l);
      Writer.WriteLink(Music->Name(), Music->Id());
    }
}

void TProjectFile::LoadSounds(TGame& Game, TStream& Stream, TReader& Reader) {
  // A sound's record takes more than ten bytes: a count beyond that is damage.
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 10) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) {
    TSound* Sound = Game.AddRead(Game.FSounds, TItemKind::Sound);
    try {
      Sound->LoadFromStream(Stream, Reader);
    } catch (const EGame&) {
      throw EReadError("section");  // a marker amiss inside a section is damage like any other
    }
  }
  if (Game.FReading) Game.FReading->Sounds.emplace(Game.FSounds);
  const std::int32_t Loops = Reader.ReadInteger();
  if (Loops < 0 || Loops > Game.FLevels.Count()) throw EReadError("section");
  for (std::int32_t i = 0; i < Loops; ++i) {
    const std::int32_t Level = Reader.ReadInteger();
    TSound* Music = Game.FindSoundByName(Reader.ReadString());
    if (Level < 0 || Level >= Game.FLevels.Count() || !Music) throw EReadError("section");
    Game.FLevels.At(Level)->FMusic = Music->Id();
  }
}

bool TProjectFile::HasRules(const TGame& Game) {
  if (Game.FVariables.Count() > 0) return true;
  for (int i = 0; i < Game.FActors.Count(); ++i)
    if (Game.FActors.At(i)->Solid()) return true;
  return false;
}

void TProjectFile::SaveRules(const TGame& Game, TWriter& Writer) {
  Writer.WriteString(RulesMarker);
  Writer.WriteInteger(Game.FVariables.Count());
  for (int i = 0; i < Game.FVariables.Count(); ++i) {
    Game.FVariables.At(i)->SaveToStream(Writer);
  }
  int Solid = 0;
  for (int i = 0; i < Game.FActors.Count(); ++i) Solid += Game.FActors.At(i)->Solid();
  Writer.WriteInteger(Solid);
  for (int i = 0; i < Game.FActors.Count(); ++i)
    if (Game.FActors.At(i)->Solid()) Writer.WriteString(Game.FActors.At(i)->Name());
}

void TProjectFile::LoadRules(TGame& Game, TReader& Reader) {
  // Every entry takes at least three bytes: a count beyond that is damage.
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 3) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) {
    Game.AddRead(Game.FVariables, TItemKind::Variable)->LoadFromStream(Reader);
  }
  const std::int32_t Solid = Reader.ReadInteger();
  if (Solid < 0 || static_cast<std::uint64_t>(Solid) > Reader.Remaining()) throw EReadError("section");
  for (std::int32_t i = 0; i < Solid; ++i) {
    TActor* Actor = Game.FindActorByName(Reader.ReadString());
    if (!Actor) throw EReadError("section");
    Actor->FSolid = true;
  }
}

bool TProjectFile::HasSprites(const TGame& Game) {
  for (int i = 0; i < Game.FActors.Count(); ++i)
    if (Game.FActors.At(i)->HasLook()) return true;
  return false;
}

void TProjectFile::SaveSprites(const TGame& Game, TWriter& Writer) {
  Writer.WriteString(SpritesMarker);
  int Count = 0;
  for (int i = 0; i < Game.FActors.Count(); ++i) Count += Game.FActors.At(i)->HasLook();
  Writer.WriteInteger(Count);
  for (int i = 0; i < Game.FActors.Count(); ++i)
    if (Game.FActors.At(i)->HasLook()) {
      Writer.WriteString(Game.FActors.At(i)->Name());
      Game.FActors.At(i)->SaveLook(Writer);
    }
}

void TProjectFile::LoadSprites(TGame& Game, TReader& Reader) {
  // An entry takes at least 8 bytes; an actor is named once.
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 8) throw EReadError("section");
  // An entry may set nothing (8x8, no animation): the actor is named all
  // the same, so whether it has a look does not tell a second naming.
  std::unordered_set<const TActor*> Named;
  for (std::int32_t i = 0; i < Count; ++i) {
    TActor* Actor = Game.FindActorByName(Reader.ReadString());
    if (!Actor || !Named.insert(Actor).second) throw EReadError("section");
    Actor->LoadLook(Reader);
  }
}

bool TProjectFile::HasTransparentColors(const TGame& Game) {
  for (int i = 0; i < Game.FTiles.Count(); ++i)
    if (Game.FTiles.At(i)->TransparentColor()) return true;
  return false;
}

void TProjectFile::SaveTransparentColors(const TGame& Game, TWriter& Writer) {
  Writer.WriteString(TransparentMarker);
  int Count = 0;
  for (int i = 0; i < Game.FTiles.Count(); ++i) Count += Game.FTiles.At(i)->TransparentColor().has_value();
  Writer.WriteInteger(Count);
  for (int i = 0; i < Game.FTiles.Count(); ++i)
    if (const auto& Color = Game.FTiles.At(i)->TransparentColor()) {
      Writer.WriteInteger(i);
      Writer.WriteInteger(static_cast<std::int32_t>(*Color));
    }
}

void TProjectFile::LoadTransparentColors(TGame& Game, TReader& Reader) {
  // An entry takes at least four bytes; a tile has one colour at most.
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 4) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) {
    const std::int32_t Index = Reader.ReadInteger();
    const std::int32_t Color = Reader.ReadInteger();
    if (Index < 0 || Index >= Game.FTiles.Count() || Color < 0 || Color > 0xFFFFFF) throw EReadError("section");
    TTile& Tile = *Game.FTiles.At(Index);
    if (Tile.FTransparentColor) throw EReadError("section");
    Tile.FTransparentColor = static_cast<std::uint32_t>(Color);
  }
}

bool TProjectFile::HasComments(const TGame& Game) {
  for (int a = 0; a < Game.FActors.Count(); ++a)
    for (int h = 0; h < Game.FActors.At(a)->HandlerCount(); ++h)
      if (!Game.FActors.At(a)->GetHandler(h)->Comment().empty()) return true;
  return false;
}

void TProjectFile::SaveComments(const TGame& Game, TWriter& Writer) {
  Writer.WriteString(CommentsMarker);
  int Count = 0;
  for (int a = 0; a < Game.FActors.Count(); ++a)
    for (int h = 0; h < Game.FActors.At(a)->HandlerCount(); ++h) Count += !Game.FActors.At(a)->GetHandler(h)->Comment().empty();
  Writer.WriteInteger(Count);
  for (int a = 0; a < Game.FActors.Count(); ++a)
    for (int h = 0; h < Game.FActors.At(a)->HandlerCount(); ++h)
      if (const std::string& Comment = Game.FActors.At(a)->GetHandler(h)->Comment(); !Comment.empty()) {
        Writer.WriteInteger(a);
        Writer.WriteInteger(h);
        Writer.WriteString(Comment);
      }
}

void TProjectFile::LoadComments(TGame& Game, TReader& Reader) {
  // An entry takes at least six bytes; a handler has one comment at most,
  // and an empty one is never written.
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 6) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) {
    const std::int32_t Actor = Reader.ReadInteger();
    const std::int32_t Handler = Reader.ReadInteger();
    std::string Comment = Reader.ReadString();
    if (Actor < 0 || Actor >= Game.FActors.Count() || Handler < 0 || Handler >= Game.FActors.At(Actor)->HandlerCount())
      throw EReadError("section");
    THandler& Into = *Game.FActors.At(Actor)->GetHandler(Handler);
    if (Comment.empty() || !Into.FComment.empty()) throw EReadError("section");
    Into.FComment = std::move(Comment);
  }
}

bool TProjectFile::HasCameras(const TGame& Game) {
  for (int l = 0; l < Game.FLevels.Count(); ++l)
    if (!Game.FLevels.At(l)->Camera().IsDefault()) return true;
  return false;
}

void TProjectFile::SaveCameras(const TGame& Game, TWriter& Writer) {
  Writer.WriteString(CamerasMarker);
  int Count = 0;
  for (int l = 0; l < Game.FLevels.Count(); ++l) Count += !Game.FLevels.At(l)->Camera().IsDefault();
  Writer.WriteInteger(Count);
  for (int l = 0; l < Game.FLevels.Count(); ++l) {
    const TLevelCamera& Camera = Game.FLevels.At(l)->Camera();
    if (Camera.IsDefault()) continue;
    Writer.WriteInteger(l);
    Game.FLevels.At(l)->SaveCamera(Writer);
  }
}

bool TProjectFile::HasBackdrops(const TGame& Game) {
  for (int l = 0; l < Game.FLevels.Count(); ++l)
    if (Game.FLevels.At(l)->Backdrop()) return true;
  return false;
}

void TProjectFile::SaveBackdrops(const TGame& Game, TWriter& Writer) {
  Writer.WriteString(BackdropsMarker);
  int Count = 0;
  for (int l = 0; l < Game.FLevels.Count(); ++l) Count += Game.FLevels.At(l)->Backdrop().has_value();
  Writer.WriteInteger(Count);
  for (int l = 0; l < Game.FLevels.Count(); ++l)
    if (const auto& Color = Game.FLevels.At(l)->Backdrop()) {
      Writer.WriteInteger(l);
      Writer.WriteInteger(static_cast<std::int32_t>(*Color));
    }
}

void TProjectFile::LoadBackdrops(TGame& Game, TReader& Reader) {
  const int Count = Reader.ReadInteger();
  if (Count < 1 || Count > Game.FLevels.Count()) throw EReadError("section");
  for (int i = 0; i < Count; ++i) {
    const int Level = Reader.ReadInteger();
    if (Level < 0 || Level >= Game.FLevels.Count() || Game.FLevels.At(Level)->FBackdrop) throw EReadError("section");
    const std::int32_t Color = Reader.ReadInteger();
    if (Color < 0 || Color > 0xFFFFFF) throw EReadError("section");
    Game.FLevels.At(Level)->FBackdrop = static_cast<std::uint32_t>(Color);
  }
}

bool TProjectFile::HasSavedData(const TGame& Game) {
  if (Game.FHighScores != THighScores()) return true;
  for (int v = 0; v < Game.FVariables.Count(); ++v)
    if (Game.FVariables.At(v)->FSaved) return true;
  return false;
}

void TProjectFile::SaveSavedData(const TGame& Game, TWriter& Writer) {
  Writer.WriteString(SavedDataMarker);
  int Count = 0;
  for (int v = 0; v < Game.FVariables.Count(); ++v) Count += Game.FVariables.At(v)->FSaved;
  Writer.WriteInteger(Count);
  for (int v = 0; v < Game.FVariables.Count(); ++v)
    if (Game.FVariables.At(v)->FSaved) Writer.WriteInteger(v);
  const THighScores& Scores = Game.FHighScores;
  const TVariable* Score = Game.VariableById(Scores.Score);
  Writer.WriteInteger(Scores.Places);
  Writer.WriteInteger(Score ? Game.IndexOfVariable(Score) : -1);
  Writer.WriteBoolean(Scores.HigherIsBetter);
  Writer.WriteInteger(Scores.Letters);
}

void TProjectFile::LoadSavedData(TGame& Game, TReader& Reader) {
  const int Variables = Game.FVariables.Count();
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || Count > Variables) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) {
    const std::int32_t Index = Reader.ReadInteger();
    if (Index < 0 || Index >= Variables || Game.FVariables.At(Index)->FSaved) throw EReadError("section");
    Game.FVariables.At(Index)->FSaved = true;
  }
  THighScores Scores;
  Scores.Places = Reader.ReadInteger();
  const std::int32_t Score = Reader.ReadInteger();
  Scores.HigherIsBetter = Reader.ReadBoolean();
  Scores.Letters = Reader.ReadInteger();
  if (Scores.Places < 0 || Scores.Places > THighScores::MaxPlaces || Score < -1 || Score >= Variables ||
      Scores.Letters < 1 || Scores.Letters > THighScores::MaxLetters)
    throw EReadError("section");
  Scores.Score = Score < 0 ? NoItem : Game.FVariables.At(Score)->Id();
  Game.FHighScores = Scores;
  // A section that sets nothing is never written: reading one back would
  // not give the same bytes.
  if (!HasSavedData(Game)) throw EReadError("section");
}

namespace {
bool HasSongValues(const TSound& Sound) { return Sound.BaseNote() != LVK_SEQ_DEFAULT_BASE_NOTE || Sound.HasLoop(); }
}  // namespace

bool TProjectFile::HasSongs(const TGame& Game) {
  if (Game.FSongs.Count() > 0) return true;
  for (int i = 0; i < Game.FSounds.Count(); ++i)
    if (HasSongValues(*Game.FSounds.At(i))) return true;
  return false;
}

void TProjectFile::SaveSongs(const TGame& Game, TWriter& Writer) {
  Writer.WriteString(SongsMarker);
  Writer.WriteInteger(Game.FSongs.Count());
  for (int i = 0; i < Game.FSongs.Count(); ++i) Game.FSongs.At(i)->SaveToStream(Writer);
  int Count = 0;
  for (int i = 0; i < Game.FSounds.Count(); ++i) Count += HasSongValues(*Game.FSounds.At(i));
  Writer.WriteInteger(Count);
  for (int i = 0; i < Game.FSounds.Count(); ++i) {
    const TSound& Sound = *Game.FSounds.At(i);
    if (!HasSongValues(Sound)) continue;
    Writer.WriteInteger(i);
    Writer.WriteInteger(Sound.BaseNote());
    Writer.WriteInteger(static_cast<std::int32_t>(Sound.LoopStart()));
    Writer.WriteInteger(static_cast<std::int32_t>(Sound.LoopEnd()));
  }
  Count = 0;
  for (int l = 0; l < Game.FLevels.Count(); ++l) Count += Game.FLevels.At(l)->Song() != nullptr;
  Writer.WriteInteger(Count);
  for (int l = 0; l < Game.FLevels.Count(); ++l)
    if (const TSong* Song = Game.FLevels.At(l)->Song()) {
      Writer.WriteInteger(l);
      Writer.WriteString(Song->Name());
    }
}

void TProjectFile::LoadSongs(TGame& Game, TReader& Reader) {
  // A song's record takes more than sixteen bytes, a sound's values eight,
  // a level's song three: counts beyond are damage.
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 16) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) Game.AddRead(Game.FSongs, TItemKind::Song)->LoadFromStream(Reader);
  if (Game.FReading) Game.FReading->Songs.emplace(Game.FSongs);
  const std::int32_t Sounds = Reader.ReadInteger();
  if (Sounds < 0 || Sounds > Game.FSounds.Count()) throw EReadError("section");
  std::vector<bool> Seen(static_cast<std::size_t>(Game.FSounds.Count()), false);
  for (std::int32_t i = 0; i < Sounds; ++i) {
    const std::int32_t Index = Reader.ReadInteger();
    const std::int32_t Base = Reader.ReadInteger();
    const std::int32_t Start = Reader.ReadInteger();
    const std::int32_t End = Reader.ReadInteger();
    if (Index < 0 || Index >= Game.FSounds.Count() || Seen[static_cast<std::size_t>(Index)]) throw EReadError("section");
    if (Base < LVK_SEQ_MIN_NOTE || Base > LVK_SEQ_MAX_NOTE) throw EReadError("section");
    if (Start < 0 || End < 0 || End > static_cast<std::int32_t>(WaveMaxSamples) || (End != 0 && Start >= End) ||
        (End == 0 && Start != 0))
      throw EReadError("section");
    Seen[static_cast<std::size_t>(Index)] = true;
    TSound& Sound = *Game.FSounds.At(Index);
    Sound.FBaseNote = Base;
    Sound.FLoopStart = static_cast<std::uint32_t>(Start);
    Sound.FLoopEnd = static_cast<std::uint32_t>(End);
  }
  const std::int32_t Levels = Reader.ReadInteger();
  if (Levels < 0 || Levels > Game.FLevels.Count()) throw EReadError("section");
  for (std::int32_t i = 0; i < Levels; ++i) {
    const std::int32_t Level = Reader.ReadInteger();
    TSong* Song = Game.FindSongByName(Reader.ReadString());
    if (Level < 0 || Level >= Game.FLevels.Count() || !Song || Game.FLevels.At(Level)->FSong != NoItem)
      throw EReadError("section");
    Game.FLevels.At(Level)->FSong = Song->Id();
    Game.FLevels.At(Level)->FMusic = NoItem;
  }
}

void TProjectFile::LoadCameras(TGame& Game, TReader& Reader) {
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 1 || Count > Game.FLevels.Count()) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) {
    const std::int32_t Level = Reader.ReadInteger();
    if (Level < 0 || Level >= Game.FLevels.Count() || !Game.FLevels.At(Level)->Camera().IsDefault()) throw EReadError("section");
    TLevel& Into = *Game.FLevels.At(Level);
    Into.LoadCamera(Reader);
    // An entry that sets nothing is never written: reading one back would
    // not give the same bytes.
    if (Into.Camera().IsDefault()) throw EReadError("section");
  }
}


void TProjectFile::Save(const TGame& Game, TStream& Stream, TWriter& Writer, int Revision, double EditTime,
                        std::vector<std::size_t>* Cuts) {
  auto Cut = [&] {
    if (!Cuts) return;
    Writer.FlushBuffer();
    Cuts->push_back(static_cast<std::size_t>(Stream.Position()));
  };
  Writer.WriteString(Signature);
  Writer.WriteInteger(FileVersion);
  Writer.WriteString(Marker);
  Writer.WriteInteger(Revision);
  Writer.WriteDate(EditTime);
  Writer.WriteString(Game.FTitle);
  Game.FPalette->SaveToStream(Stream, Writer);
  Cut();
  for (int i = 0; i < Game.FTiles.Count(); ++i) {
    Game.FTiles.At(i)->SaveToStream(Stream, Writer);
    Cut();
  }
  Writer.WriteListEnd();
  for (int i = 0; i < Game.FActors.Count(); ++i) {
    Game.FActors.At(i)->SaveToStream(Stream, Writer);
    Cut();
  }
  Writer.WriteListEnd();
  for (int i = 0; i < Game.FLevels.Count(); ++i) {
    Game.FLevels.At(i)->SaveToStream(Stream, Writer);
    Cut();
  }
  Writer.WriteListEnd();
  Cut();
  if (HasRules(Game)) {
    SaveRules(Game, Writer);
    Cut();
  }
  if (Game.FSounds.Count() > 0) {
    SaveSounds(Game, Stream, Writer);
    Cut();
  }
  if (HasSprites(Game)) {
    SaveSprites(Game, Writer);
    Cut();
  }
  if (HasTransparentColors(Game)) {
    SaveTransparentColors(Game, Writer);
    Cut();
  }
  if (HasComments(Game)) {
    SaveComments(Game, Writer);
    Cut();
  }
  if (HasCameras(Game)) {
    SaveCameras(Game, Writer);
    Cut();
  }
  if (HasBackdrops(Game)) {
    SaveBackdrops(Game, Writer);
    Cut();
  }
  if (HasSavedData(Game)) {
    SaveSavedData(Game, Writer);
    Cut();
  }
  if (HasSongs(Game)) {
    SaveSongs(Game, Writer);
    Cut();
  }
}

void TProjectFile::LinkActionValues(TGame& Game) {
  // An action's value that names an item by name holds its id once that
  // item is read: setting the value again finds items stored after it.
  for (int a = 0; a < Game.FActors.Count(); ++a)
    for (int h = 0; h < Game.FActors.At(a)->HandlerCount(); ++h) {
      const THandler& Handler = *Game.FActors.At(a)->GetHandler(h);
      for (int i = 0; i < Handler.ActionCount(); ++i) {
        TActionBase& Action = *Handler.GetAction(i);
        for (int v = 0; v < Action.ValueCount(); ++v) {
          const TValueType Type = Action.ValueInfo(v).Type;
          if (Type == TValueType::Actor || Type == TValueType::Tile || Type == TValueType::Sound ||
              Type == TValueType::Variable || Type == TValueType::Number || Type == TValueType::Text)
            Action.SetValue(v, Action.GetValue(v));
        }
      }
    }
}

void TProjectFile::Load(TGame& Game, TStream& Stream, TReader& Reader) {
  Game.FReading = std::make_unique<TGame::TReadIndexes>();
  struct TDone {
    TGame& Game;
    ~TDone() { Game.FReading.reset(); }
  } Done{Game};
  if (Reader.ReadString() != Signature)
    throw EGame(Format("File %s does not start with Lurvik signature", Game.FFileName));
  int Version = Reader.ReadInteger();
  if (Version != FileVersion)
    throw EGame(Format("File %s has Lurvik file version %d, expected %d", Game.FFileName, Version, FileVersion));
  std::string Read = Reader.ReadString();
  if (Read != Marker) throw EGame(Format("Read error: expected %s, read %s", Marker, Read));
  Game.FRevision = Reader.ReadInteger();
  Game.FEditTime = Reader.ReadDate();
  Game.FTitle = Reader.ReadString();
  Game.FPalette->LoadFromStream(Stream, Reader);
  while (!Reader.EndOfList()) Game.AddRead(Game.FTiles, TItemKind::Tile)->LoadFromStream(Stream, Reader);
  Reader.ReadListEnd();
  Game.FReading->Tiles.emplace(Game.FTiles);
  // Filled as the actors come: their collisions look up the ones before.
  Game.FReading->Actors.emplace();
  while (!Reader.EndOfList()) {
    TActor* Actor = Game.AddRead(Game.FActors, TItemKind::Actor);
    Actor->LoadFromStream(Stream, Reader);
    Game.FReading->Actors->Add(Actor);
  }
  Reader.ReadListEnd();
  // An event may name an actor stored after its own; all are known now.
  for (int i = 0; i < Game.FActors.Count(); ++i) {
    TActor* Actor = Game.FActors.At(i);
    for (int h = 0; h < Actor->HandlerCount(); ++h)
      if (TEventBase* Event = Actor->GetHandler(h)->Event()) Event->ResolveNames();
  }
  while (!Reader.EndOfList()) Game.AddRead(Game.FLevels, TItemKind::Level)->LoadFromStream(Stream, Reader);
  Reader.ReadListEnd();
  // The sections, each opened by its marker "[...]". Bytes that open none
  // are ignored, as readers before sections ignored all that follows; a
  // marker of a section this program does not know, or a damaged section,
  // is a read error.
  bool SongsRead = false;
  while (Reader.Remaining() > 0) {
    std::string Section;
    try {
      Section = Reader.ReadString();
    } catch (const EReadError&) {
      break;
    }
    if (Section.size() < 3 || Section.front() != '[' || Section.back() != ']') break;
    // The songs' section is the last the writer writes.
    if (SongsRead) throw EReadError("section");
    // Each section comes once and in the writer's order: none after one
    // that the writer writes later.
    const bool Saved = HasSavedData(Game);
    const bool Later = HasTransparentColors(Game) || HasComments(Game) || HasCameras(Game) || HasBackdrops(Game) || Saved;
    if (Section == RulesMarker && !HasRules(Game) && Game.FSounds.Count() == 0 && !HasSprites(Game) && !Later)
      LoadRules(Game, Reader);
    else if (Section == SoundsMarker && Game.FSounds.Count() == 0 && !HasSprites(Game) && !Later)
      LoadSounds(Game, Stream, Reader);
    else if (Section == SpritesMarker && !HasSprites(Game) && !Later)
      LoadSprites(Game, Reader);
    else if (Section == TransparentMarker && !Later)
      LoadTransparentColors(Game, Reader);
    else if (Section == CommentsMarker && !HasComments(Game) && !HasCameras(Game) && !HasBackdrops(Game) && !Saved)
      LoadComments(Game, Reader);
    else if (Section == CamerasMarker && !HasCameras(Game) && !HasBackdrops(Game) && !Saved)
      LoadCameras(Game, Reader);
    else if (Section == BackdropsMarker && !HasBackdrops(Game) && !Saved)
      LoadBackdrops(Game, Reader);
    else if (Section == SavedDataMarker && !Saved)
      LoadSavedData(Game, Reader);
    else if (Section == SongsMarker)
      LoadSongs(Game, Reader), SongsRead = true;
    else
      throw EReadError("section");
  }
  LinkActionValues(Game);
}

}  // namespace lvk
