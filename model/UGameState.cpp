// The game's content as the undo history keeps it, one record per item, and
// putting such content back record by record. See TGame::StateBytes.
#include <algorithm>
#include <functional>
#include <unordered_map>
#include <unordered_set>

#include "model/UKinds.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USong.h"
#include "model/USound.h"
#include "model/UStream.h"
#include "model/UVariable.h"

namespace lvk {

namespace {
constexpr const char* Unit = "UGameState";

// The order in which changed records are read again, and their notices
// told: what others name (tiles, sounds, variables, actors) before what
// names them. Records name items by id, and every item is made before any
// record is read, so the order is the views' only.
int ReadOrder(TItemKind Kind) {
  switch (Kind) {
    case TItemKind::Tile: return 0;
    case TItemKind::Sound: return 1;
    case TItemKind::Song:
    case TItemKind::Variable: return 2;
    case TItemKind::Actor: return 3;
    case TItemKind::Handler: return 4;
    case TItemKind::Action: return 5;
    case TItemKind::Level: return 6;
    default: return 7;
  }
}

bool SameBytes(const TRecordView& A, const TRecordView& B) {
  return A.Bytes == B.Bytes || (A.Bytes && B.Bytes && *A.Bytes == *B.Bytes);
}

}  // namespace

const std::string& TGame::NameOf(const TIdentified& Item) {
  static const std::string None;
  switch (Item.ItemKind()) {
    case TItemKind::Tile: return static_cast<const TTile&>(Item).Name();
    case TItemKind::Actor: return static_cast<const TActor&>(Item).Name();
    case TItemKind::Level: return static_cast<const TLevel&>(Item).Name();
    case TItemKind::Variable: return static_cast<const TVariable&>(Item).Name();
    case TItemKind::Sound: return static_cast<const TSound&>(Item).Name();
    case TItemKind::Song: return static_cast<const TSong&>(Item).Name();
    default: return None;
  }
}

TItemId TGame::LinkedId(TItemKind Kind, const TLink& Link) const {
  const TIdentified* Item = FindLinked(Kind, Link);
  return Item ? Item->Id() : NoItem;
}

void TGame::WriteLink(TWriter& Writer, TItemKind Kind, TItemId Id) const {
  const TIdentified* Item = Id == NoItem ? nullptr : FindItem(Kind, Id);
  if (Item)
    Writer.WriteLink(NameOf(*Item), Id);
  else
    Writer.WriteLink(std::string(), NoItem);
}

TIdentified::TIdentified(TGame* Game, TItemKind Kind)
    : FIdGame(Game), FKind(Kind), FId(Game ? Game->NewId() : NoItem) {
  if (FIdGame) FIdGame->FIndex.emplace(FId, this);
}

TIdentified::~TIdentified() {
  if (FIdGame) FIdGame->FIndex.erase(FId);
}

void TGame::SetItemId(TIdentified& Item, TItemId Id) {
  Assert(Item.FIdGame == this && Id != NoItem, Unit);
  if (Item.FId == Id) return;
  Assert(FIndex.find(Id) == FIndex.end(), Unit);
  FIndex.erase(Item.FId);
  Item.FId = Id;
  FIndex.emplace(Id, &Item);
  FNextId = std::max(FNextId, Id + 1);
}

TIdentified* TGame::FindItem(TItemKind Kind, TItemId Id) const {
  const auto Found = FIndex.find(Id);
  return Found != FIndex.end() && Found->second->ItemKind() == Kind ? Found->second : nullptr;
}

TTile* TGame::TileById(TItemId Id) const { return static_cast<TTile*>(FindItem(TItemKind::Tile, Id)); }
TActor* TGame::ActorById(TItemId Id) const { return static_cast<TActor*>(FindItem(TItemKind::Actor, Id)); }
THandler* TGame::HandlerById(TItemId Id) const { return static_cast<THandler*>(FindItem(TItemKind::Handler, Id)); }
TActionBase* TGame::ActionById(TItemId Id) const {
  return static_cast<TActionBase*>(FindItem(TItemKind::Action, Id));
}
TLevel* TGame::LevelById(TItemId Id) const { return static_cast<TLevel*>(FindItem(TItemKind::Level, Id)); }
TVariable* TGame::VariableById(TItemId Id) const {
  return static_cast<TVariable*>(FindItem(TItemKind::Variable, Id));
}
TSound* TGame::SoundById(TItemId Id) const { return static_cast<TSound*>(FindItem(TItemKind::Sound, Id)); }
TSong* TGame::SongById(TItemId Id) const { return static_cast<TSong*>(FindItem(TItemKind::Song, Id)); }

TIdentified* TGame::FindLinked(TItemKind Kind, const TLink& Link) const {
  if (Link.Id != NoItem) return FindItem(Kind, Link.Id);
  if (Link.Name.empty()) return nullptr;
  switch (Kind) {
    case TItemKind::Tile: return FindTileByName(Link.Name);
    case TItemKind::Actor: return FindActorByName(Link.Name);
    case TItemKind::Sound: return FindSoundByName(Link.Name);
    case TItemKind::Level: return FindLevelByName(Link.Name);
    case TItemKind::Variable: return FindVariableByName(Link.Name);
    case TItemKind::Song: return FindSongByName(Link.Name);
    default: return nullptr;
  }
}

TTile* TGame::TileByLink(const TLink& Link) const { return static_cast<TTile*>(FindLinked(TItemKind::Tile, Link)); }
TActor* TGame::ActorByLink(const TLink& Link) const { return static_cast<TActor*>(FindLinked(TItemKind::Actor, Link)); }
TSound* TGame::SoundByLink(const TLink& Link) const { return static_cast<TSound*>(FindLinked(TItemKind::Sound, Link)); }

void TGame::WriteRecord(const TRecordKey& Key, TStream& Stream, TWriter& Writer) const {
  switch (Key.Kind) {
    case TItemKind::Game:
      Writer.WriteString(FTitle);
      FPalette->SaveToStream(Stream, Writer);
      Writer.WriteInteger(FHighScores.Places);
      Writer.WriteInteger(static_cast<std::int32_t>(FHighScores.Score));
      Writer.WriteBoolean(FHighScores.HigherIsBetter);
      Writer.WriteInteger(FHighScores.Letters);
      break;
    case TItemKind::Tile: {
      const TTile& Tile = *TileById(Key.Id);
      Tile.SaveToStream(Stream, Writer);
      Writer.WriteBoolean(Tile.FTransparentColor.has_value());
      if (Tile.FTransparentColor) Writer.WriteInteger(static_cast<std::int32_t>(*Tile.FTransparentColor));
      break;
    }
    case TItemKind::Actor: {
      const TActor& Actor = *ActorById(Key.Id);
      Actor.SaveHead(Writer);
      Writer.WriteBoolean(Actor.FSolid);
      Actor.SaveLook(Writer);
      break;
    }
    case TItemKind::Handler: {
      const THandler& Handler = *HandlerById(Key.Id);
      Writer.WriteString(Handler.FComment);
      Writer.WriteBoolean(Handler.FEvent != nullptr);
      if (Handler.FEvent) Handler.SaveEvent(Stream, Writer);
      break;
    }
    case TItemKind::Action: THandler::SaveAction(*ActionById(Key.Id), Stream, Writer); break;
    case TItemKind::Level: {
      const TLevel& Level = *LevelById(Key.Id);
      Level.SaveToStream(Stream, Writer);
      const TSound* Music = Level.Music();
      Writer.WriteBoolean(Music != nullptr);
      if (Music) Writer.WriteLink(Music->Name(), Music->Id());
      Level.SaveCamera(Writer);
      Writer.WriteInteger(Level.FBackdrop ? static_cast<std::int32_t>(*Level.FBackdrop) : -1);
      WriteLink(Writer, TItemKind::Song, Level.FSong);
      break;
    }
    case TItemKind::Variable:
      VariableById(Key.Id)->SaveToStream(Writer);
      Writer.WriteBoolean(VariableById(Key.Id)->FSaved);
      break;
    case TItemKind::Sound: {
      const TSound& Sound = *SoundById(Key.Id);
      Sound.SaveToStream(Stream, Writer);
      Writer.WriteInteger(Sound.BaseNote());
      Writer.WriteInteger(static_cast<std::int32_t>(Sound.LoopStart()));
      Writer.WriteInteger(static_cast<std::int32_t>(Sound.LoopEnd()));
      break;
    }
    case TItemKind::Song: SongById(Key.Id)->SaveToStream(Writer); break;
    default: Assert(false, Unit);
  }
}

std::vector<TRecordKey> TGame::RecordKeys() const {
  std::vector<TRecordKey> Keys;
  Keys.reserve(static_cast<std::size_t>(1 + FTiles.Count() + FActors.Count() * 8 + FLevels.Count() + FVariables.Count() +
                                        FSounds.Count() + FSongs.Count()));
  Keys.push_back({TItemKind::Game, NoItem, NoItem});
  for (int i = 0; i < FTiles.Count(); ++i) Keys.push_back({TItemKind::Tile, FTiles.At(i)->Id(), NoItem});
  for (int i = 0; i < FActors.Count(); ++i) {
    const TActor& Actor = *FActors.At(i);
    Keys.push_back({TItemKind::Actor, Actor.Id(), NoItem});
    for (int h = 0; h < Actor.HandlerCount(); ++h) {
      const THandler& Handler = *Actor.GetHandler(h);
      Keys.push_back({TItemKind::Handler, Handler.Id(), Actor.Id()});
      for (int a = 0; a < Handler.ActionCount(); ++a)
        Keys.push_back({TItemKind::Action, Handler.GetAction(a)->Id(), Handler.Id()});
    }
  }
  for (int i = 0; i < FLevels.Count(); ++i) Keys.push_back({TItemKind::Level, FLevels.At(i)->Id(), NoItem});
  for (int i = 0; i < FVariables.Count(); ++i) Keys.push_back({TItemKind::Variable, FVariables.At(i)->Id(), NoItem});
  for (int i = 0; i < FSounds.Count(); ++i) Keys.push_back({TItemKind::Sound, FSounds.At(i)->Id(), NoItem});
  for (int i = 0; i < FSongs.Count(); ++i) Keys.push_back({TItemKind::Song, FSongs.At(i)->Id(), NoItem});
  return Keys;
}

std::vector<TRecordView> TGame::StateRecords(const std::vector<TRecordView>& Before,
                                             const std::function<bool(const TRecordKey&)>& Changed) const {
  const std::vector<TRecordKey> Keys = RecordKeys();
  std::vector<TRecordView> Records;
  Records.reserve(Keys.size());
  // Mostly the records stand where they stood: the map is made only for
  // the first that does not.
  std::unordered_map<TItemId, std::size_t> BeforeAt;
  auto Previous = [&](std::size_t i, const TRecordKey& Key) -> const TRecordView* {
    if (i < Before.size() && Before[i].Key == Key) return &Before[i];
    if (Key.Id == NoItem) return !Before.empty() && Before.front().Key == Key ? &Before.front() : nullptr;
    if (BeforeAt.empty())
      for (std::size_t b = 0; b < Before.size(); ++b)
        if (Before[b].Key.Id != NoItem) BeforeAt.emplace(Before[b].Key.Id, b);
    const auto Found = BeforeAt.find(Key.Id);
    return Found != BeforeAt.end() && Before[Found->second].Key == Key ? &Before[Found->second] : nullptr;
  };
  TMemoryStream Stream;
  TWriter Writer(Stream);
  Writer.SetLinksById(true);
  for (std::size_t i = 0; i < Keys.size(); ++i) {
    const TRecordKey& Key = Keys[i];
    const TRecordView* Old = Previous(i, Key);
    if (Old && !Changed(Key)) {
      Records.push_back(*Old);
      continue;
    }
    const std::uint64_t Start = Stream.Position();
    WriteRecord(Key, Stream, Writer);
    Writer.FlushBuffer();
    const auto First = Stream.Bytes().begin() + static_cast<std::ptrdiff_t>(Start);
    const auto Last = Stream.Bytes().end();
    // Written again as it was (a cell set and set back): the record before
    // is shared.
    if (Old && Old->Bytes && std::equal(First, Last, Old->Bytes->begin(), Old->Bytes->end()))
      Records.push_back(*Old);
    else
      Records.push_back({Key, std::make_shared<const TContent>(First, Last)});
  }
  return Records;
}

TContent TGame::StateBytes(std::vector<std::size_t>& Cuts, std::vector<TRecordKey>& Keys) const {
  const std::vector<TRecordView> Records = StateRecords({}, [](const TRecordKey&) { return true; });
  TContent Content;
  Cuts.clear();
  Keys.clear();
  for (const TRecordView& Record : Records) {
    Content.insert(Content.end(), Record.Bytes->begin(), Record.Bytes->end());
    Cuts.push_back(Content.size());
    Keys.push_back(Record.Key);
  }
  return Content;
}

TIdentified* TGame::CreateItem(TItemKind Kind, TItemId Id, TIdentified* Parent) {
  TIdentified* Item = nullptr;
  switch (Kind) {
    case TItemKind::Tile: Item = FTiles.Append(std::unique_ptr<TTile>(new TTile(*this, std::string()))); break;
    case TItemKind::Actor: Item = FActors.Append(std::unique_ptr<TActor>(new TActor(*this, std::string()))); break;
    case TItemKind::Level: Item = FLevels.Append(std::unique_ptr<TLevel>(new TLevel(*this, std::string()))); break;
    case TItemKind::Variable:
      Item = FVariables.Append(std::unique_ptr<TVariable>(new TVariable(*this, std::string())));
      break;
    case TItemKind::Sound: Item = FSounds.Append(std::unique_ptr<TSound>(new TSound(*this, std::string()))); break;
    case TItemKind::Song: Item = FSongs.Append(std::unique_ptr<TSong>(new TSong(*this, std::string()))); break;
    case TItemKind::Handler: {
      Assert(Parent && Parent->ItemKind() == TItemKind::Actor, Unit);
      auto* Actor = static_cast<TActor*>(Parent);
      Item = Actor->FHandlers.Append(std::make_unique<THandler>(*Actor));
      break;
    }
    case TItemKind::Action:
      // Made when its record is read: the record names the kind.
      Assert(false, Unit);
      break;
    default: Assert(false, Unit);
  }
  SetItemId(*Item, Id);
  return Item;
}

void TGame::LoadRecord(TIdentified* Item, TItemKind Kind, const TContent& Bytes) {
  TMemoryStream Stream(Bytes);
  TReader Reader(Stream);
  Reader.SetLinksById(true);
  switch (Kind) {
    case TItemKind::Game:
      FTitle = Reader.ReadString();
      FPalette->LoadFromStream(Stream, Reader);
      FHighScores.Places = Reader.ReadInteger();
      FHighScores.Score = static_cast<TItemId>(Reader.ReadInteger());
      FHighScores.HigherIsBetter = Reader.ReadBoolean();
      FHighScores.Letters = Reader.ReadInteger();
      break;
    case TItemKind::Tile: {
      auto* Tile = static_cast<TTile*>(Item);
      Tile->LoadFromStream(Stream, Reader);
      Tile->FTransparentColor.reset();
      if (Reader.ReadBoolean()) Tile->FTransparentColor = static_cast<std::uint32_t>(Reader.ReadInteger());
      break;
    }
    case TItemKind::Actor: {
      auto* Actor = static_cast<TActor*>(Item);
      Actor->LoadHead(Reader);
      Actor->FSolid = Reader.ReadBoolean();
      Actor->LoadLook(Reader);
      break;
    }
    case TItemKind::Handler: {
      auto* Handler = static_cast<THandler*>(Item);
      Handler->FEvent.reset();
      Handler->FComment = Reader.ReadString();
      if (Reader.ReadBoolean()) {
        const std::string Key = Reader.ReadString();
        const TEventKind* EventKind = FindEventKind(Key);
        if (!EventKind) throw EGame(Format("File refers to unregistered event \"%s\"", Key));
        Handler->FEvent.reset(EventKind->Create(*Handler));
        Handler->FEvent->ReadParams(Stream, Reader);
      }
      break;
    }
    case TItemKind::Action: {
      // Past the kind, which ApplyState checked.
      Reader.ReadString();
      static_cast<TActionBase*>(Item)->ReadParams(Stream, Reader);
      break;
    }
    case TItemKind::Level: {
      auto* Level = static_cast<TLevel*>(Item);
      Level->LoadFromStream(Stream, Reader);
      Level->FMusic = Reader.ReadBoolean() ? LinkedId(TItemKind::Sound, Reader.ReadLink()) : NoItem;
      Level->LoadCamera(Reader);
      const std::int32_t Backdrop = Reader.ReadInteger();
      Level->FBackdrop = Backdrop < 0 ? std::nullopt : std::optional<std::uint32_t>(Backdrop);
      Level->FSong = LinkedId(TItemKind::Song, Reader.ReadLink());
      break;
    }
    case TItemKind::Variable:
      static_cast<TVariable*>(Item)->LoadFromStream(Reader);
      static_cast<TVariable*>(Item)->FSaved = Reader.ReadBoolean();
      break;
    case TItemKind::Sound: {
      auto* Sound = static_cast<TSound*>(Item);
      Sound->LoadFromStream(Stream, Reader);
      Sound->FBaseNote = Reader.ReadInteger();
      Sound->FLoopStart = static_cast<std::uint32_t>(Reader.ReadInteger());
      Sound->FLoopEnd = static_cast<std::uint32_t>(Reader.ReadInteger());
      break;
    }
    case TItemKind::Song: static_cast<TSong*>(Item)->LoadFromStream(Reader); break;
    default: Assert(false, Unit);
  }
}

void TGame::ApplyState(const std::vector<TRecordView>& From, const std::vector<TRecordView>& To,
                       const std::function<void(const TChange&)>& Tell) {
  auto Told = [&](TChangeKind Kind, const TIdentified& Item) { Tell({Kind, Item.ItemKind(), Item.Id()}); };
  std::unordered_map<TItemId, const TRecordView*> Before;
  for (const TRecordView& R : From)
    if (R.Key.Id != NoItem) Before.emplace(R.Key.Id, &R);
  std::unordered_map<TItemId, TRecordKey> After;
  for (const TRecordView& R : To)
    if (R.Key.Id != NoItem) After.emplace(R.Key.Id, R.Key);

  // What goes: told first, while it still exists; actions before their
  // handlers, handlers before their actors.
  std::vector<const TRecordView*> Gone;
  for (const TRecordView& R : From) {
    if (R.Key.Id == NoItem) continue;
    const auto Found = After.find(R.Key.Id);
    if (Found == After.end() || !(Found->second == R.Key)) Gone.push_back(&R);
  }
  for (auto It = Gone.rbegin(); It != Gone.rend(); ++It) {
    TIdentified* Item = FindItem((*It)->Key.Kind, (*It)->Key.Id);
    if (!Item) continue;
    Told(TChangeKind::Removing, *Item);
  }
  for (auto It = Gone.rbegin(); It != Gone.rend(); ++It) {
    const TRecordKey& Key = (*It)->Key;
    TIdentified* Item = FindItem(Key.Kind, Key.Id);
    if (!Item) continue;
    switch (Key.Kind) {
      case TItemKind::Action: {
        auto* Action = static_cast<TActionBase*>(Item);
        THandler& Handler = Action->Handler();
        Handler.FActions.Remove(Handler.FActions.IndexOf(Action));
        break;
      }
      case TItemKind::Handler: {
        auto* Handler = static_cast<THandler*>(Item);
        TActor& Actor = Handler->Actor();
        Actor.FHandlers.Remove(Actor.FHandlers.IndexOf(Handler));
        break;
      }
      case TItemKind::Tile: FTiles.Remove(FTiles.IndexOf(static_cast<TTile*>(Item))); break;
      case TItemKind::Actor: FActors.Remove(FActors.IndexOf(static_cast<TActor*>(Item))); break;
      case TItemKind::Level: FLevels.Remove(FLevels.IndexOf(static_cast<TLevel*>(Item))); break;
      case TItemKind::Variable: FVariables.Remove(FVariables.IndexOf(static_cast<TVariable*>(Item))); break;
      case TItemKind::Sound: FSounds.Remove(FSounds.IndexOf(static_cast<TSound*>(Item))); break;
      case TItemKind::Song: FSongs.Remove(FSongs.IndexOf(static_cast<TSong*>(Item))); break;
      default: break;
    }
  }

  // What comes, and what changed: made where they stand, then read in an
  // order in which every name a record holds is known.
  struct TRead {
    const TRecordView* Record;
    bool Added;
    std::string OldName;
  };
  std::vector<TRead> Reads;
  TIdentified* Parent[2] = {nullptr, nullptr};  // the actor, the handler
  for (const TRecordView& R : To) {
    TIdentified* Item = R.Key.Id == NoItem ? nullptr : FindItem(R.Key.Kind, R.Key.Id);
    const bool Added = R.Key.Id != NoItem && !Item;
    if (Added && R.Key.Kind == TItemKind::Action) {
      // An action is made by its kind, which its record names.
      TMemoryStream Stream(*R.Bytes);
      TReader Reader(Stream);
      const std::string Key = Reader.ReadString();
      const TActionKind* Kind = FindActionKind(Key);
      if (!Kind) throw EGame(Format("File refers to unregistered action \"%s\"", Key));
      Assert(Parent[1] != nullptr, Unit);
      auto* Handler = static_cast<THandler*>(Parent[1]);
      Item = Handler->FActions.Append(std::unique_ptr<TActionBase>(Kind->Create(*Handler)));
      SetItemId(*Item, R.Key.Id);
    } else if (Added) {
      Item = CreateItem(R.Key.Kind, R.Key.Id, Parent[0]);
    }
    if (R.Key.Kind == TItemKind::Actor) Parent[0] = Item;
    if (R.Key.Kind == TItemKind::Handler) Parent[1] = Item;
    if (R.Key.Kind == TItemKind::Action && !Added) {
      // An action's record starts with its kind: another kind is another object.
      auto* Action = static_cast<TActionBase*>(Item);
      TMemoryStream Stream(*R.Bytes);
      TReader Reader(Stream);
      if (Reader.ReadString() != Action->Kind().StreamKey()) throw EGame(FileUnexpected);
    }
    const auto Old = Before.find(R.Key.Id);
    const bool Same = R.Key.Id == NoItem
                          ? !From.empty() && From.front().Key.Kind == TItemKind::Game && SameBytes(From.front(), R)
                          : (!Added && Old != Before.end() && SameBytes(*Old->second, R));
    if (Added || !Same) Reads.push_back({&R, Added, Item ? NameOf(*Item) : std::string()});
  }
  std::stable_sort(Reads.begin(), Reads.end(),
                   [](const TRead& A, const TRead& B) { return ReadOrder(A.Record->Key.Kind) < ReadOrder(B.Record->Key.Kind); });
  for (const TRead& Read : Reads) {
    TIdentified* Item = Read.Record->Key.Id == NoItem ? nullptr : FindItem(Read.Record->Key.Kind, Read.Record->Key.Id);
    LoadRecord(Item, Read.Record->Key.Kind, *Read.Record->Bytes);
  }

  // Every list in the order of To.
  std::vector<TTile*> Tiles;
  std::vector<TActor*> Actors;
  std::vector<TLevel*> Levels;
  std::vector<TVariable*> Variables;
  std::vector<TSound*> Sounds;
  std::vector<TSong*> Songs;
  std::unordered_map<TActor*, std::vector<THandler*>> Handlers;
  std::unordered_map<THandler*, std::vector<TActionBase*>> Actions;
  for (const TRecordView& R : To) {
    switch (R.Key.Kind) {
      case TItemKind::Tile: Tiles.push_back(TileById(R.Key.Id)); break;
      case TItemKind::Actor: Actors.push_back(ActorById(R.Key.Id)); break;
      case TItemKind::Level: Levels.push_back(LevelById(R.Key.Id)); break;
      case TItemKind::Variable: Variables.push_back(VariableById(R.Key.Id)); break;
      case TItemKind::Sound: Sounds.push_back(SoundById(R.Key.Id)); break;
      case TItemKind::Song: Songs.push_back(SongById(R.Key.Id)); break;
      case TItemKind::Handler: Handlers[ActorById(R.Key.Parent)].push_back(HandlerById(R.Key.Id)); break;
      case TItemKind::Action: Actions[HandlerById(R.Key.Parent)].push_back(ActionById(R.Key.Id)); break;
      default: break;
    }
  }
  std::vector<const TIdentified*> Moved;
  auto Order = [&](auto& List, const auto& Want) {
    using T = std::remove_pointer_t<typename std::decay_t<decltype(Want)>::value_type>;
    Assert(static_cast<int>(Want.size()) == List.Count(), Unit);
    bool Differs = false;
    for (std::size_t i = 0; i < Want.size(); ++i)
      if (List.At(static_cast<int>(i)) != Want[i]) {
        Differs = true;
        if (!std::is_same_v<T, TActionBase>) Moved.push_back(Want[i]);
      }
    if (Differs) List.Reorder(Want);
  };
  Order(FTiles, Tiles);
  Order(FActors, Actors);
  Order(FLevels, Levels);
  Order(FVariables, Variables);
  Order(FSounds, Sounds);
  Order(FSongs, Songs);
  for (int i = 0; i < FActors.Count(); ++i) {
    TActor* Actor = FActors.At(i);
    Order(Actor->FHandlers, Handlers[Actor]);
    for (int h = 0; h < Actor->HandlerCount(); ++h) Order(Actor->FHandlers.At(h)->FActions, Actions[Actor->GetHandler(h)]);
  }

  // Told once everything stands: views look the items up by id.
  std::unordered_set<TItemId> ToldHandlers;
  for (const TRead& Read : Reads) {
    const TRecordKey& Key = Read.Record->Key;
    if (Key.Kind == TItemKind::Game) {
      Tell({TChangeKind::Changed, TItemKind::Game, NoItem});
      Tell({TChangeKind::Changed, TItemKind::Palette, NoItem});
      continue;
    }
    if (Key.Kind == TItemKind::Action) {
      // An action is part of its handler: the handler changed.
      if (!After.count(Key.Parent) || !ToldHandlers.insert(Key.Parent).second) continue;
      if (THandler* Handler = HandlerById(Key.Parent)) Told(TChangeKind::Changed, *Handler);
      continue;
    }
    TIdentified* Item = FindItem(Key.Kind, Key.Id);
    if (Read.Added) {
      Told(TChangeKind::Added, *Item);
    } else {
      if (NameOf(*Item) != Read.OldName) Told(TChangeKind::Renamed, *Item);
      if (Key.Kind != TItemKind::Handler || ToldHandlers.insert(Key.Id).second) Told(TChangeKind::Changed, *Item);
    }
  }
  // A handler whose actions went (and nothing else of it changed).
  for (const TRecordView* R : Gone)
    if (R->Key.Kind == TItemKind::Action && After.count(R->Key.Parent) && ToldHandlers.insert(R->Key.Parent).second)
      if (THandler* Handler = HandlerById(R->Key.Parent)) Told(TChangeKind::Changed, *Handler);
  for (const TIdentified* Item : Moved) Told(TChangeKind::Moved, *Item);
}

}  // namespace lvk
