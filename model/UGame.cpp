#include "model/UGame.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "model/UValueTypes.h"
#include "model/UKinds.h"
#include "model/UActor.h"
#include "model/UBuiltinBitmaps.h"
#include "model/UClock.h"
#include "model/UDocument.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/ULevel.h"
#include "model/UStream.h"
#include "model/UText.h"
#include "model/USound.h"
#include "model/UVariable.h"

namespace lvk {

namespace {
constexpr const char* Unit = "UGame";
constexpr const char* Marker = "[TGame]";
constexpr const char* RulesMarker = "[TVariables]";
constexpr const char* SoundsMarker = "[TSounds]";
constexpr const char* SpritesMarker = "[TSprites]";
constexpr const char* TransparentMarker = "[TTransparentColors]";
constexpr const char* CommentsMarker = "[THandlerComments]";
constexpr const char* CamerasMarker = "[TCameras]";

template <typename T>
T* FindByName(const TOwnedList<T>& List, const std::string& Name) {
  for (int i = 0; i < List.Count(); ++i)
    if (SameTextAscii(List.At(i)->Name(), Name)) return List.At(i);
  return nullptr;
}

// The key under which SameTextAscii finds a name.
std::string FoldedName(std::string Name) {
  for (char& C : Name)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C + 32);
  return Name;
}

// A list's items by name, the first of equal names winning as in FindByName.
template <typename T>
class TNameIndex {
public:
  TNameIndex() = default;
  explicit TNameIndex(const TOwnedList<T>& List) {
    FItems.reserve(static_cast<std::size_t>(List.Count()));
    for (int i = 0; i < List.Count(); ++i) Add(List.At(i));
  }
  void Add(T* Item) { FItems.try_emplace(FoldedName(Item->Name()), Item); }
  T* Find(const std::string& Name) const {
    auto It = FItems.find(FoldedName(Name));
    return It == FItems.end() ? nullptr : It->second;
  }

private:
  std::unordered_map<std::string, T*> FItems;
};

template <typename T>
T* CheckedAt(const TOwnedList<T>& List, int Index, const char* Family) {
  if (Index < 0) throw EGame(Format(std::string(Family) + " index must be >=0 (is %d)", Index));
  if (Index >= List.Count())
    throw EGame(Format(std::string(Family) + " index must be <%d (is %d)", List.Count(), Index));
  return List.At(Index);
}

// The index of an item that must be in the list.
template <typename T>
int IndexIn(const TOwnedList<T>& List, const T* Item) {
  int Index = List.IndexOf(Item);
  Assert(Index >= 0, Unit);
  return Index;
}
}  // namespace

struct TGame::TReadIndexes {
  std::optional<TNameIndex<TTile>> Tiles;
  std::optional<TNameIndex<TActor>> Actors;
  std::optional<TNameIndex<TSound>> Sounds;
};

TGame::TGame()
    : FLastTouch(Now()),
      FEmptyBitmap(LoadBuiltinBitmap("BmpEmpty8x8")),
      FNoTileBitmap(LoadBuiltinBitmap("BmpNoTile8x8")) {
  FPalette = std::make_unique<TPalette>(*this);
  // The new palette marked the document changed; a new game is not.
  FModified = false;
}

TGame::~TGame() {
  FPalette.reset();
  FTiles.Clear();
  FActors.Clear();
  FLevels.Clear();
  FVariables.Clear();
  FSounds.Clear();
}

void TGame::SetFileName(const std::string& Name) {
  if (Name == FFileName) return;
  FFileName = Name;
  MarkModified();
}

void TGame::SetTitle(const std::string& Title) {
  if (Title == FTitle) return;
  MayChange();
  FTitle = Title;
  Changed(TChangeKind::Changed, TItemKind::Game);
}

void TGame::MarkModified() {
  FModified = true;
  Touch();
}

void TGame::MayChange() const {
  if (FDocument) Assert(FDocument->Editing(), "UDocument");
}

void TGame::Changed(TChangeKind Kind, const TIdentified& Item) {
  MarkModified();
  Notify(Kind, Item);
}

void TGame::Notify(TChangeKind Kind, const TIdentified& Item) {
  if (FDocument) FDocument->Notice({Kind, Item.ItemKind(), Item.Id()});
}

void TGame::Changed(TChangeKind Kind, TItemKind Item) {
  MarkModified();
  Notify(Kind, Item);
}

void TGame::Notify(TChangeKind Kind, TItemKind Item) {
  if (FDocument) FDocument->Notice({Kind, Item, NoItem});
}

void TGame::Touch() {
  double Current = Now();
  double Diff = Current - FLastTouch;
  if (Diff < MinutesToDays(10))
    FEditTime += Diff;
  else
    FEditTime += SecondsToDays(30);
  FLastTouch = Current;
}

template <typename T>
T* TGame::AddRead(TOwnedList<T>& List, TItemKind Kind) {
  MayChange();
  T* Item = List.Append(std::unique_ptr<T>(new T(*this, std::string())));
  Changed(TChangeKind::Added, *Item);
  return Item;
}

TTile* TGame::GetTile(int Index) const { return CheckedAt(FTiles, Index, "Tile"); }

TTile* TGame::AddTile() {
  MayChange();
  TTile* Tile = FTiles.Append(std::make_unique<TTile>(*this));
  Changed(TChangeKind::Added, *Tile);
  return Tile;
}

TTile* TGame::FindTileByName(const std::string& Name) const {
  if (FReading && FReading->Tiles) return FReading->Tiles->Find(Name);
  return FindByName(FTiles, Name);
}

int TGame::IndexOfTile(const TTile* Tile) const { return IndexIn(FTiles, Tile); }

void TGame::DeleteTile(TTile* Tile) {
  int Index = IndexIn(FTiles, Tile);
  MayChange();
  for (int i = 0; i < FActors.Count(); ++i) {
    if (FActors.At(i)->Tile() == Tile) FActors.At(i)->SetTile(nullptr);
    FActors.At(i)->ForgetTile(Tile);
  }
  DeleteActions(ActionsNaming(TValueType::Tile, Tile->Name()));
  Notify(TChangeKind::Removing, *Tile);
  FTiles.Remove(Index);
  MarkModified();
}

TTile* TGame::DuplicateTile(const TTile* Tile) {
  IndexIn(FTiles, Tile);
  TTile* Copy = AddTile();
  Copy->FBitmap = Tile->FBitmap;
  Copy->FTransparentColor = Tile->FTransparentColor;
  Changed(TChangeKind::Changed, *Copy);
  return Copy;
}

const TPeekBitmap& TGame::GetTileBitmap(const TTile* Tile) const {
  return Tile ? Tile->Bitmap() : FNoTileBitmap;
}

TActor* TGame::GetActor(int Index) const { return CheckedAt(FActors, Index, "Actors"); }

TActor* TGame::AddActor() {
  MayChange();
  TActor* Actor = FActors.Append(std::make_unique<TActor>(*this));
  Changed(TChangeKind::Added, *Actor);
  return Actor;
}

TActor* TGame::FindActorByName(const std::string& Name) const {
  if (FReading && FReading->Actors) return FReading->Actors->Find(Name);
  return FindByName(FActors, Name);
}

std::vector<THandler*> TGame::HandlersNaming(const TActor& Actor) const {
  std::vector<THandler*> Result;
  for (int i = 0; i < FActors.Count(); ++i) {
    TActor* Other = FActors.At(i);
    if (Other == &Actor) continue;  // its own handlers go with it anyway
    for (int h = 0; h < Other->HandlerCount(); ++h) {
      THandler* Handler = Other->GetHandler(h);
      if (Handler->Event() && Handler->Event()->NamedActor() == &Actor) Result.push_back(Handler);
    }
  }
  return Result;
}

void TGame::DeleteActor(TActor* Actor) {
  int Index = IndexIn(FActors, Actor);
  MayChange();
  for (THandler* Handler : HandlersNaming(*Actor)) Handler->Actor().DeleteHandler(Handler);
  DeleteActions(ActionsNaming(TValueType::Actor, Actor->Name()));
  for (int i = 0; i < FLevels.Count(); ++i) FLevels.At(i)->ClearActor(Actor);
  // Its own handlers go with it: each is told of, so nothing keeps one.
  for (int h = 0; h < Actor->HandlerCount(); ++h) Notify(TChangeKind::Removing, *Actor->GetHandler(h));
  Notify(TChangeKind::Removing, *Actor);
  FActors.Remove(Index);
  MarkModified();
}

TActor* TGame::DuplicateActor(const TActor* Actor) {
  IndexIn(FActors, Actor);
  TActor* Copy = AddActor();
  Copy->CopyFrom(*Actor);
  return Copy;
}

const TPeekBitmap& TGame::GetActorBitmap(const TActor* Actor) const {
  if (!Actor) return FEmptyBitmap;
  return GetTileBitmap(Actor->Tile());
}

TLevel* TGame::GetLevel(int Index) const { return CheckedAt(FLevels, Index, "Levels"); }

TLevel* TGame::AddLevel() {
  MayChange();
  TLevel* Level = FLevels.Append(std::make_unique<TLevel>(*this));
  Changed(TChangeKind::Added, *Level);
  return Level;
}

TLevel* TGame::FindLevelByName(const std::string& Name) const { return FindByName(FLevels, Name); }

void TGame::DeleteLevel(TLevel* Level) {
  const int Index = IndexIn(FLevels, Level);
  MayChange();
  Notify(TChangeKind::Removing, *Level);
  FLevels.Remove(Index);
  MarkModified();
}

TLevel* TGame::DuplicateLevel(const TLevel* Level) {
  IndexIn(FLevels, Level);
  TLevel* Copy = AddLevel();
  Copy->CopyCells(*Level);
  return Copy;
}

TVariable* TGame::GetVariable(int Index) const { return CheckedAt(FVariables, Index, "Variables"); }

TVariable* TGame::AddVariable() {
  MayChange();
  TVariable* Variable = FVariables.Append(std::make_unique<TVariable>(*this));
  Changed(TChangeKind::Added, *Variable);
  return Variable;
}

TVariable* TGame::FindVariableByName(const std::string& Name) const { return FindByName(FVariables, Name); }

int TGame::IndexOfVariable(const TVariable* Variable) const { return IndexIn(FVariables, Variable); }

void TGame::DeleteVariable(TVariable* Variable) {
  const int Index = IndexIn(FVariables, Variable);
  MayChange();
  DeleteActions(ActionsNaming(TValueType::Variable, Variable->Name()));
  Notify(TChangeKind::Removing, *Variable);
  FVariables.Remove(Index);
  MarkModified();
}

TVariable* TGame::DuplicateVariable(const TVariable* Variable) {
  IndexIn(FVariables, Variable);
  TVariable* Copy = AddVariable();
  Copy->SetInitial(Variable->Initial());
  Copy->SetScope(Variable->Scope());
  return Copy;
}

void TGame::MoveVariable(int From, int To) {
  Assert(From >= 0 && From < FVariables.Count() && To >= 0 && To < FVariables.Count(), Unit);
  if (From == To) return;
  MayChange();
  FVariables.Move(From, To);
  Changed(TChangeKind::Moved, *FVariables.At(To));
}

TSound* TGame::GetSound(int Index) const { return CheckedAt(FSounds, Index, "Sounds"); }

TSound* TGame::AddSound() {
  MayChange();
  TSound* Sound = FSounds.Append(std::make_unique<TSound>(*this));
  Changed(TChangeKind::Added, *Sound);
  return Sound;
}

TSound* TGame::FindSoundByName(const std::string& Name) const {
  if (FReading && FReading->Sounds) return FReading->Sounds->Find(Name);
  return FindByName(FSounds, Name);
}

int TGame::IndexOfSound(const TSound* Sound) const { return IndexIn(FSounds, Sound); }

void TGame::DeleteSound(TSound* Sound) {
  const int Index = IndexIn(FSounds, Sound);
  MayChange();
  DeleteActions(ActionsNaming(TValueType::Sound, Sound->Name()));
  for (int i = 0; i < FLevels.Count(); ++i)
    if (FLevels.At(i)->Music() == Sound) FLevels.At(i)->SetMusic(nullptr);
  Notify(TChangeKind::Removing, *Sound);
  FSounds.Remove(Index);
  MarkModified();
}

TSound* TGame::DuplicateSound(const TSound* Sound) {
  IndexIn(FSounds, Sound);
  TSound* Copy = AddSound();
  if (Sound->Kind() == TSoundKind::skImported)
    Copy->SetImported(Sound->Samples());
  else
    Copy->SetParams(Sound->Params());
  return Copy;
}

void TGame::SaveSounds(TStream& Stream, TWriter& Writer) const {
  Writer.WriteString(SoundsMarker);
  Writer.WriteInteger(FSounds.Count());
  for (int i = 0; i < FSounds.Count(); ++i) FSounds.At(i)->SaveToStream(Stream, Writer);
  int Loops = 0;
  for (int l = 0; l < FLevels.Count(); ++l) Loops += FLevels.At(l)->Music() != nullptr;
  Writer.WriteInteger(Loops);
  for (int l = 0; l < FLevels.Count(); ++l)
    if (const TSound* Music = FLevels.At(l)->Music()) {
      Writer.WriteInteger(l);
      Writer.WriteString(Music->Name());
    }
}

void TGame::LoadSounds(TStream& Stream, TReader& Reader) {
  // A sound's record takes more than ten bytes: a count beyond that is damage.
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 10) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) {
    TSound* Sound = AddRead(FSounds, TItemKind::Sound);
    try {
      Sound->LoadFromStream(Stream, Reader);
    } catch (const EGame&) {
      throw EReadError("section");  // a marker amiss inside a section is damage like any other
    }
  }
  if (FReading) FReading->Sounds.emplace(FSounds);
  const std::int32_t Loops = Reader.ReadInteger();
  if (Loops < 0 || Loops > FLevels.Count()) throw EReadError("section");
  for (std::int32_t i = 0; i < Loops; ++i) {
    const std::int32_t Level = Reader.ReadInteger();
    TSound* Music = FindSoundByName(Reader.ReadString());
    if (Level < 0 || Level >= FLevels.Count() || !Music) throw EReadError("section");
    FLevels.At(Level)->FMusic = Music;
  }
}

std::vector<TActionBase*> TGame::ActionsNaming(TValueType Type, const std::string& Name) const {
  std::vector<TActionBase*> Found;
  for (int a = 0; a < FActors.Count(); ++a)
    for (int h = 0; h < FActors.At(a)->HandlerCount(); ++h) {
      const THandler& Handler = *FActors.At(a)->GetHandler(h);
      for (int i = 0; i < Handler.ActionCount(); ++i)
        if (Handler.GetAction(i)->Names(Type, Name)) Found.push_back(Handler.GetAction(i));
    }
  return Found;
}

void TGame::RenameReferences(TValueType Type, const std::string& Old, const std::string& New) {
  for (int a = 0; a < FActors.Count(); ++a)
    for (int h = 0; h < FActors.At(a)->HandlerCount(); ++h) {
      const THandler& Handler = *FActors.At(a)->GetHandler(h);
      for (int i = 0; i < Handler.ActionCount(); ++i) Handler.GetAction(i)->RenameReference(Type, Old, New);
    }
}

void TGame::DeleteActions(const std::vector<TActionBase*>& Actions) {
  // From the last, so the indexes of the others stay.
  for (auto It = Actions.rbegin(); It != Actions.rend(); ++It) {
    THandler& Handler = (*It)->Handler();
    for (int i = 0; i < Handler.ActionCount(); ++i)
      if (Handler.GetAction(i) == *It) {
        Handler.DeleteAction(i);
        break;
      }
  }
}

bool TGame::HasRules() const {
  if (FVariables.Count() > 0) return true;
  for (int i = 0; i < FActors.Count(); ++i)
    if (FActors.At(i)->Solid()) return true;
  return false;
}

void TGame::SaveRules(TWriter& Writer) const {
  Writer.WriteString(RulesMarker);
  Writer.WriteInteger(FVariables.Count());
  for (int i = 0; i < FVariables.Count(); ++i) {
    const TVariable& V = *FVariables.At(i);
    Writer.WriteString(V.FName);
    Writer.WriteInteger(V.FInitial);
    Writer.WriteInteger(static_cast<std::int32_t>(V.FScope));
  }
  int Solid = 0;
  for (int i = 0; i < FActors.Count(); ++i) Solid += FActors.At(i)->Solid();
  Writer.WriteInteger(Solid);
  for (int i = 0; i < FActors.Count(); ++i)
    if (FActors.At(i)->Solid()) Writer.WriteString(FActors.At(i)->Name());
}

void TGame::LoadRules(TReader& Reader) {
  // Every entry takes at least three bytes: a count beyond that is damage.
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 3) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) {
    TVariable* V = AddRead(FVariables, TItemKind::Variable);
    V->FName = Reader.ReadString();
    V->FInitial = Reader.ReadInteger();
    const std::int32_t Scope = Reader.ReadInteger();
    if (Scope != 0 && Scope != 1) throw EReadError("section");
    V->FScope = static_cast<TVariableScope>(Scope);
  }
  const std::int32_t Solid = Reader.ReadInteger();
  if (Solid < 0 || static_cast<std::uint64_t>(Solid) > Reader.Remaining()) throw EReadError("section");
  for (std::int32_t i = 0; i < Solid; ++i) {
    TActor* Actor = FindActorByName(Reader.ReadString());
    if (!Actor) throw EReadError("section");
    Actor->FSolid = true;
  }
}

bool TGame::HasSprites() const {
  for (int i = 0; i < FActors.Count(); ++i)
    if (FActors.At(i)->HasLook()) return true;
  return false;
}

void TGame::SaveSprites(TWriter& Writer) const {
  Writer.WriteString(SpritesMarker);
  int Count = 0;
  for (int i = 0; i < FActors.Count(); ++i) Count += FActors.At(i)->HasLook();
  Writer.WriteInteger(Count);
  for (int i = 0; i < FActors.Count(); ++i)
    if (FActors.At(i)->HasLook()) {
      Writer.WriteString(FActors.At(i)->Name());
      FActors.At(i)->SaveLook(Writer);
    }
}

void TGame::LoadSprites(TReader& Reader) {
  // An entry takes at least 8 bytes; an actor is named once.
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 8) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) {
    TActor* Actor = FindActorByName(Reader.ReadString());
    if (!Actor || Actor->HasLook()) throw EReadError("section");
    Actor->LoadLook(Reader);
  }
}

bool TGame::HasTransparentColors() const {
  for (int i = 0; i < FTiles.Count(); ++i)
    if (FTiles.At(i)->TransparentColor()) return true;
  return false;
}

void TGame::SaveTransparentColors(TWriter& Writer) const {
  Writer.WriteString(TransparentMarker);
  int Count = 0;
  for (int i = 0; i < FTiles.Count(); ++i) Count += FTiles.At(i)->TransparentColor().has_value();
  Writer.WriteInteger(Count);
  for (int i = 0; i < FTiles.Count(); ++i)
    if (const auto& Color = FTiles.At(i)->TransparentColor()) {
      Writer.WriteInteger(i);
      Writer.WriteInteger(static_cast<std::int32_t>(*Color));
    }
}

void TGame::LoadTransparentColors(TReader& Reader) {
  // An entry takes at least four bytes; a tile has one colour at most.
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 4) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) {
    const std::int32_t Index = Reader.ReadInteger();
    const std::int32_t Color = Reader.ReadInteger();
    if (Index < 0 || Index >= FTiles.Count() || Color < 0 || Color > 0xFFFFFF) throw EReadError("section");
    TTile& Tile = *FTiles.At(Index);
    if (Tile.FTransparentColor) throw EReadError("section");
    Tile.FTransparentColor = static_cast<std::uint32_t>(Color);
  }
}

bool TGame::HasComments() const {
  for (int a = 0; a < FActors.Count(); ++a)
    for (int h = 0; h < FActors.At(a)->HandlerCount(); ++h)
      if (!FActors.At(a)->GetHandler(h)->Comment().empty()) return true;
  return false;
}

void TGame::SaveComments(TWriter& Writer) const {
  Writer.WriteString(CommentsMarker);
  int Count = 0;
  for (int a = 0; a < FActors.Count(); ++a)
    for (int h = 0; h < FActors.At(a)->HandlerCount(); ++h) Count += !FActors.At(a)->GetHandler(h)->Comment().empty();
  Writer.WriteInteger(Count);
  for (int a = 0; a < FActors.Count(); ++a)
    for (int h = 0; h < FActors.At(a)->HandlerCount(); ++h)
      if (const std::string& Comment = FActors.At(a)->GetHandler(h)->Comment(); !Comment.empty()) {
        Writer.WriteInteger(a);
        Writer.WriteInteger(h);
        Writer.WriteString(Comment);
      }
}

void TGame::LoadComments(TReader& Reader) {
  // An entry takes at least six bytes; a handler has one comment at most,
  // and an empty one is never written.
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 6) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) {
    const std::int32_t Actor = Reader.ReadInteger();
    const std::int32_t Handler = Reader.ReadInteger();
    std::string Comment = Reader.ReadString();
    if (Actor < 0 || Actor >= FActors.Count() || Handler < 0 || Handler >= FActors.At(Actor)->HandlerCount())
      throw EReadError("section");
    THandler& Into = *FActors.At(Actor)->GetHandler(Handler);
    if (Comment.empty() || !Into.FComment.empty()) throw EReadError("section");
    Into.FComment = std::move(Comment);
  }
}

bool TGame::HasCameras() const {
  for (int l = 0; l < FLevels.Count(); ++l)
    if (!FLevels.At(l)->Camera().IsDefault()) return true;
  return false;
}

void TGame::SaveCameras(TWriter& Writer) const {
  Writer.WriteString(CamerasMarker);
  int Count = 0;
  for (int l = 0; l < FLevels.Count(); ++l) Count += !FLevels.At(l)->Camera().IsDefault();
  Writer.WriteInteger(Count);
  for (int l = 0; l < FLevels.Count(); ++l) {
    const TLevelCamera& Camera = FLevels.At(l)->Camera();
    if (Camera.IsDefault()) continue;
    Writer.WriteInteger(l);
    Writer.WriteString(Camera.Follow ? Camera.Follow->Name() : std::string());
    Writer.WriteInteger(Camera.DeadWidth);
    Writer.WriteInteger(Camera.DeadHeight);
    Writer.WriteInteger((Camera.LockX ? 1 : 0) | (Camera.LockY ? 2 : 0));
  }
}

void TGame::LoadCameras(TReader& Reader) {
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 1 || Count > FLevels.Count()) throw EReadError("section");
  for (std::int32_t i = 0; i < Count; ++i) {
    const std::int32_t Level = Reader.ReadInteger();
    if (Level < 0 || Level >= FLevels.Count() || !FLevels.At(Level)->FCamera.IsDefault()) throw EReadError("section");
    TLevelCamera Camera;
    const std::string Follow = Reader.ReadString();
    if (!Follow.empty() && !(Camera.Follow = FindActorByName(Follow))) throw EReadError("section");
    Camera.DeadWidth = std::clamp<std::int32_t>(Reader.ReadInteger(), 0, TLevelCamera::MaxDeadWidth);
    Camera.DeadHeight = std::clamp<std::int32_t>(Reader.ReadInteger(), 0, TLevelCamera::MaxDeadHeight);
    const std::int32_t Flags = Reader.ReadInteger();
    Camera.LockX = (Flags & 1) != 0;
    Camera.LockY = (Flags & 2) != 0;
    // An entry that sets nothing is never written: reading one back would
    // not give the same bytes.
    if (Camera.IsDefault()) throw EReadError("section");
    FLevels.At(Level)->FCamera = Camera;
  }
}

void TGame::Save() {
  ++FRevision;
  TSafeFileWriter File(FFileName);
  TWriter Writer(File.Stream());
  SaveToStream(File.Stream(), Writer);
  Writer.FlushBuffer();
  File.Commit();
  FModified = false;
}

std::vector<std::uint8_t> TGame::ContentBytes(std::vector<std::size_t>* Cuts) const {
  TMemoryStream Stream;
  TWriter Writer(Stream);
  if (Cuts) Cuts->clear();
  SaveContent(Stream, Writer, 0, 0, Cuts);
  Writer.FlushBuffer();
  return Stream.Bytes();
}

void TGame::LoadContent(std::vector<std::uint8_t> Bytes) {
  TMemoryStream Stream(std::move(Bytes));
  TReader Reader(Stream);
  try {
    LoadFromStream(Stream, Reader);
  } catch (const EReadError&) {
    throw EGame(FileUnexpected);
  }
  FModified = false;
}

void TGame::SaveToStream(TStream& Stream, TWriter& Writer) const {
  SaveContent(Stream, Writer, FRevision, FEditTime);
}

void TGame::SaveContent(TStream& Stream, TWriter& Writer, int Revision, double EditTime,
                        std::vector<std::size_t>* Cuts) const {
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
  Writer.WriteString(FTitle);
  FPalette->SaveToStream(Stream, Writer);
  Cut();
  for (int i = 0; i < FTiles.Count(); ++i) {
    FTiles.At(i)->SaveToStream(Stream, Writer);
    Cut();
  }
  Writer.WriteListEnd();
  for (int i = 0; i < FActors.Count(); ++i) {
    FActors.At(i)->SaveToStream(Stream, Writer);
    Cut();
  }
  Writer.WriteListEnd();
  for (int i = 0; i < FLevels.Count(); ++i) {
    FLevels.At(i)->SaveToStream(Stream, Writer);
    Cut();
  }
  Writer.WriteListEnd();
  Cut();
  if (HasRules()) {
    SaveRules(Writer);
    Cut();
  }
  if (FSounds.Count() > 0) {
    SaveSounds(Stream, Writer);
    Cut();
  }
  if (HasSprites()) {
    SaveSprites(Writer);
    Cut();
  }
  if (HasTransparentColors()) {
    SaveTransparentColors(Writer);
    Cut();
  }
  if (HasComments()) {
    SaveComments(Writer);
    Cut();
  }
  if (HasCameras()) {
    SaveCameras(Writer);
    Cut();
  }
}

void TGame::LoadFromFile(const std::string& Name) {
  SetFileName(Name);
  // Read into memory first: the reader asks for the bytes left at every
  // length, which a file would answer with system calls.
  LoadContent(ReadWholeFile(Name));
}

void TGame::LoadFromStream(TStream& Stream, TReader& Reader) {
  FReading = std::make_unique<TReadIndexes>();
  struct TDone {
    TGame& Game;
    ~TDone() { Game.FReading.reset(); }
  } Done{*this};
  if (Reader.ReadString() != Signature)
    throw EGame(Format("File %s does not start with Lurvik signature", FFileName));
  int Version = Reader.ReadInteger();
  if (Version != FileVersion)
    throw EGame(Format("File %s has Lurvik file version %d, expected %d", FFileName, Version, FileVersion));
  std::string Read = Reader.ReadString();
  if (Read != Marker) throw EGame(Format("Read error: expected %s, read %s", Marker, Read));
  FRevision = Reader.ReadInteger();
  FEditTime = Reader.ReadDate();
  FTitle = Reader.ReadString();
  FPalette->LoadFromStream(Stream, Reader);
  while (!Reader.EndOfList()) AddRead(FTiles, TItemKind::Tile)->LoadFromStream(Stream, Reader);
  Reader.ReadListEnd();
  FReading->Tiles.emplace(FTiles);
  // Filled as the actors come: their collisions look up the ones before.
  FReading->Actors.emplace();
  while (!Reader.EndOfList()) {
    TActor* Actor = AddRead(FActors, TItemKind::Actor);
    Actor->LoadFromStream(Stream, Reader);
    FReading->Actors->Add(Actor);
  }
  Reader.ReadListEnd();
  // An event may name an actor stored after its own; all are known now.
  for (int i = 0; i < FActors.Count(); ++i) {
    TActor* Actor = FActors.At(i);
    for (int h = 0; h < Actor->HandlerCount(); ++h)
      if (TEventBase* Event = Actor->GetHandler(h)->Event()) Event->ResolveNames();
  }
  while (!Reader.EndOfList()) AddRead(FLevels, TItemKind::Level)->LoadFromStream(Stream, Reader);
  Reader.ReadListEnd();
  // The sections, each opened by its marker "[...]". Bytes that open none
  // are ignored, as readers before sections ignored all that follows; a
  // marker of a section this program does not know, or a damaged section,
  // is a read error.
  while (Reader.Remaining() > 0) {
    std::string Section;
    try {
      Section = Reader.ReadString();
    } catch (const EReadError&) {
      return;
    }
    if (Section.size() < 3 || Section.front() != '[' || Section.back() != ']') return;
    // Each section comes once and in the writer's order: none after one
    // that the writer writes later.
    const bool Later = HasTransparentColors() || HasComments() || HasCameras();
    if (Section == RulesMarker && !HasRules() && FSounds.Count() == 0 && !HasSprites() && !Later)
      LoadRules(Reader);
    else if (Section == SoundsMarker && FSounds.Count() == 0 && !HasSprites() && !Later)
      LoadSounds(Stream, Reader);
    else if (Section == SpritesMarker && !HasSprites() && !Later)
      LoadSprites(Reader);
    else if (Section == TransparentMarker && !Later)
      LoadTransparentColors(Reader);
    else if (Section == CommentsMarker && !HasComments() && !HasCameras())
      LoadComments(Reader);
    else if (Section == CamerasMarker && !HasCameras())
      LoadCameras(Reader);
    else
      throw EReadError("section");
  }
}

}  // namespace lvk
