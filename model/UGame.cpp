#include "model/UGame.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

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
#include "model/UNameIndex.h"
#include "model/UProjectFile.h"
#include "model/UStream.h"
#include "model/UText.h"
#include "model/USong.h"
#include "model/USound.h"
#include "model/UVariable.h"

namespace lvk {

namespace {
constexpr const char* Unit = "UGame";

template <typename T>
T* FindByName(const TOwnedList<T>& List, const std::string& Name) {
  for (int i = 0; i < List.Count(); ++i)
    if (SameTextAscii(List.At(i)->Name(), Name)) return List.At(i);
  return nullptr;
}

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
  FSongs.Clear();
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
  Changed(TChangeKind::Changed, TItemKind::Game, cfValues);
}

void TGame::SetHighScores(const THighScores& Scores) {
  Assert(Scores.Places >= 0 && Scores.Places <= THighScores::MaxPlaces && Scores.Letters >= 1 &&
             Scores.Letters <= THighScores::MaxLetters,
         Unit);
  if (Scores == FHighScores) return;
  MayChange();
  FHighScores = Scores;
  Changed(TChangeKind::Changed, TItemKind::Game, cfValues);
}

TVariable* TGame::ScoreVariable() const {
  if (FHighScores.Places == 0) return nullptr;
  TVariable* Score = VariableById(FHighScores.Score);
  return Score && Score->Scope() == TVariableScope::Game ? Score : nullptr;
}

void TGame::MarkModified() {
  FModified = true;
  Touch();
}

void TGame::MayChange() const {
  if (FDocument) Assert(FDocument->Editing(), "UDocument");
}

namespace {
std::uint32_t FieldsOf(TChangeKind Kind, std::uint32_t Fields) {
  return Kind == TChangeKind::Renamed ? cfName : Kind == TChangeKind::Changed ? Fields : cfAll;
}
}  // namespace

void TGame::Changed(TChangeKind Kind, const TIdentified& Item, std::uint32_t Fields) {
  MarkModified();
  Notify(Kind, Item, Fields);
}

void TGame::Notify(TChangeKind Kind, const TIdentified& Item, std::uint32_t Fields) {
  if (FDocument) FDocument->Notice({Kind, Item.ItemKind(), Item.Id(), FieldsOf(Kind, Fields)});
}

void TGame::Changed(TChangeKind Kind, TItemKind Item, std::uint32_t Fields) {
  MarkModified();
  Notify(Kind, Item, Fields);
}

void TGame::Notify(TChangeKind Kind, TItemKind Item, std::uint32_t Fields) {
  if (FDocument) FDocument->Notice({Kind, Item, NoItem, FieldsOf(Kind, Fields)});
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
  DeleteActions(ActionsLinking(*Tile));
  Notify(TChangeKind::Removing, *Tile);
  FTiles.Remove(Index);
  MarkModified();
}

TTile* TGame::DuplicateTile(const TTile* Tile) {
  IndexIn(FTiles, Tile);
  TTile* Copy = AddTile();
  Copy->FBitmap = Tile->FBitmap;
  Copy->FTransparentColor = Tile->FTransparentColor;
  Changed(TChangeKind::Changed, *Copy, cfLook);
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
  DeleteActions(ActionsLinking(*Actor));
  for (int i = 0; i < FLevels.Count(); ++i) FLevels.At(i)->ClearActor(Actor->Id());
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
  DeleteActions(ActionsLinking(*Variable));
  Notify(TChangeKind::Removing, *Variable);
  FVariables.Remove(Index);
  MarkModified();
}

TVariable* TGame::DuplicateVariable(const TVariable* Variable) {
  IndexIn(FVariables, Variable);
  TVariable* Copy = AddVariable();
  Copy->SetInitial(Variable->Initial());
  Copy->SetScope(Variable->Scope());
  Copy->SetSaved(Variable->Saved());
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
  DeleteActions(ActionsLinking(*Sound));
  for (int i = 0; i < FLevels.Count(); ++i)
    if (FLevels.At(i)->FMusic == Sound->Id()) FLevels.At(i)->SetMusic(nullptr);
  for (int i = 0; i < FSongs.Count(); ++i) FSongs.At(i)->DropInstrument(Sound->Id());
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
  Copy->SetBaseNote(Sound->BaseNote());
  Copy->SetLoop(Sound->LoopStart(), Sound->LoopEnd());
  return Copy;
}

TSong* TGame::GetSong(int Index) const { return CheckedAt(FSongs, Index, "Songs"); }

TSong* TGame::AddSong() {
  MayChange();
  TSong* Song = FSongs.Append(std::make_unique<TSong>(*this));
  Changed(TChangeKind::Added, *Song);
  return Song;
}

TSong* TGame::FindSongByName(const std::string& Name) const {
  if (FReading && FReading->Songs) return FReading->Songs->Find(Name);
  return FindByName(FSongs, Name);
}

int TGame::IndexOfSong(const TSong* Song) const { return IndexIn(FSongs, Song); }

void TGame::DeleteSong(TSong* Song) {
  const int Index = IndexIn(FSongs, Song);
  MayChange();
  DeleteActions(ActionsLinking(*Song));
  for (int i = 0; i < FLevels.Count(); ++i)
    if (FLevels.At(i)->FSong == Song->Id()) FLevels.At(i)->SetSong(nullptr);
  Notify(TChangeKind::Removing, *Song);
  FSongs.Remove(Index);
  MarkModified();
}

TSong* TGame::DuplicateSong(const TSong* Song) {
  IndexIn(FSongs, Song);
  TSong* Copy = AddSong();
  Copy->SetData(Song->Data());
  return Copy;
}

std::vector<TActionBase*> TGame::ActionsLinking(const TIdentified& Item) const {
  std::vector<TActionBase*> Found;
  for (int a = 0; a < FActors.Count(); ++a)
    for (int h = 0; h < FActors.At(a)->HandlerCount(); ++h) {
      const THandler& Handler = *FActors.At(a)->GetHandler(h);
      for (int i = 0; i < Handler.ActionCount(); ++i)
        if (Handler.GetAction(i)->Links(Item.ItemKind(), Item.Id())) Found.push_back(Handler.GetAction(i));
    }
  return Found;
}

std::vector<TActionBase*> TGame::ActionsNaming(TValueType Type, const std::string& Name) const {
  std::optional<TItemKind> Kind;
  switch (Type) {
    case TValueType::Actor: Kind = TItemKind::Actor; break;
    case TValueType::Tile: Kind = TItemKind::Tile; break;
    case TValueType::Sound: Kind = TItemKind::Sound; break;
    case TValueType::Variable: Kind = TItemKind::Variable; break;
    default: break;
  }
  const TIdentified* Item = Kind && !Name.empty() ? FindLinked(*Kind, {Name, NoItem}) : nullptr;
  return Item ? ActionsLinking(*Item) : std::vector<TActionBase*>();
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

void TGame::Save() {
  ++FRevision;
  TSafeFileWriter File(FFileName);
  TWriter Writer(File.Stream());
  TProjectFile::Save(*this, File.Stream(), Writer, FRevision, FEditTime);
  Writer.FlushBuffer();
  File.Commit();
  FModified = false;
}

std::vector<std::uint8_t> TGame::ContentBytes(std::vector<std::size_t>* Cuts) const {
  TMemoryStream Stream;
  TWriter Writer(Stream);
  if (Cuts) Cuts->clear();
  TProjectFile::Save(*this, Stream, Writer, 0, 0, Cuts);
  Writer.FlushBuffer();
  return Stream.Bytes();
}

void TGame::LoadContent(std::vector<std::uint8_t> Bytes) {
  TMemoryStream Stream(std::move(Bytes));
  TReader Reader(Stream);
  try {
    TProjectFile::Load(*this, Stream, Reader);
  } catch (const EReadError&) {
    throw EGame(FileUnexpected);
  }
  FModified = false;
}

void TGame::LoadFromFile(const std::string& Name) {
  SetFileName(Name);
  // Read into memory first: the reader asks for the bytes left at every
  // length, which a file would answer with system calls.
  LoadContent(ReadWholeFile(Name));
}

}  // namespace lvk
