#pragma once
// The game document: palette, tiles, actors and levels, the document's file
// name, title, save counter, editing time and changed flag, and the project
// file that holds it all.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/UBitmap.h"
#include "model/UChange.h"
#include "model/UHistory.h"
#include "model/UItemId.h"
#include "model/UPalette.h"
#include "model/UTile.h"
#include "support/UMemWatch.h"

namespace lvk {

class TActor;
class THandler;
class TLevel;
class TVariable;
class TSound;
class TSong;
class TDocument;
class TActionBase;
struct TLink;
class TWriter;
enum class TValueType;

constexpr const char* NoFileName = "<no name>";
constexpr const char* DefaultTitle = "<Game title>";

// A game's high-score table: Places places (none when 0) of the score
// variable's values, higher or lower ones better, with initials of Letters
// letters. The play window, the DS and the web page each keep the table.
struct THighScores {
  static constexpr int MaxPlaces = 10;
  static constexpr int MaxLetters = 8;
  int Places = 0;
  TItemId Score = NoItem;  // a game variable; none or another counts as no table
  bool HigherIsBetter = true;
  int Letters = 3;
  bool operator==(const THighScores&) const = default;
};
constexpr const char* Signature = "Lurvik";
constexpr int FileVersion = 1;
constexpr const char* FileUnexpected = "Read error: file has unexpected format";

// A list of owned items whose capacity grows in steps of 16. Removing an item
// keeps the others' order and addresses.
template <typename T>
class TOwnedList {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  T* At(int Index) const { return FItems[Index].get(); }
  T* Append(std::unique_ptr<T> Item) {
    if (FItems.size() == FItems.capacity()) FItems.reserve(FItems.capacity() + 16);
    FItems.push_back(std::move(Item));
    return FItems.back().get();
  }
  int IndexOf(const T* Item) const {
    for (std::size_t i = 0; i < FItems.size(); ++i)
      if (FItems[i].get() == Item) return static_cast<int>(i);
    return -1;
  }
  void Clear() { FItems.clear(); }
  // Takes the item at Index out of the list and hands it to the caller.
  std::unique_ptr<T> Remove(int Index) {
    auto Item = std::move(FItems[Index]);
    FItems.erase(FItems.begin() + Index);
    return Item;
  }
  // Puts the items into Order, which holds each of them once.
  void Reorder(const std::vector<T*>& Order) {
    std::vector<std::unique_ptr<T>> Items;
    Items.reserve(FItems.capacity());
    for (T* Item : Order) Items.push_back(Remove(IndexOf(Item)));
    FItems = std::move(Items);
  }
  // Moves the item at From to position To, the others keeping their order.
  void Move(int From, int To) {
    auto Item = std::move(FItems[From]);
    FItems.erase(FItems.begin() + From);
    FItems.insert(FItems.begin() + To, std::move(Item));
  }

private:
  std::vector<std::unique_ptr<T>> FItems;
};

class TGame {
public:
  LVK_COUNTED
  TGame();
  ~TGame();
  TGame(const TGame&) = delete;
  TGame& operator=(const TGame&) = delete;

  // Document state.
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Name);
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Title);
  // The high-score table's settings; places and letters outside their
  // ranges are an assertion failure (the pane keeps them inside).
  const THighScores& HighScores() const { return FHighScores; }
  void SetHighScores(const THighScores& Scores);
  // The score variable when the game has a table: a game variable; else null.
  TVariable* ScoreVariable() const;
  int Revision() const { return FRevision; }
  double EditTime() const { return FEditTime; }
  double LastTouch() const { return FLastTouch; }
  // Changed since loaded or saved; the document keeps it.
  bool Modified() const { return FModified; }
  // Adds the time since the last change to the editing time, a long pause
  // counting as 30 seconds.
  void Touch();

  // The document that owns this game, or null for a game of its own (one
  // being loaded, a scratch copy, a test's). In a document every change of
  // the content happens inside one of its edits (UDocument.h).
  TDocument* Document() const { return FDocument; }
  // What every change of the content asks before it writes: in a document
  // without an open edit it fails (assertion, unit UDocument), so a refused
  // change leaves the item as it was.
  void MayChange() const;
  // What the game's items call when their stored content changed: marks
  // the game changed and tells the document. Notify tells without marking,
  // for the changes that leave the marking to their callers. Fields says
  // what of the item changed (UChange.h); a rename tells its name.
  void Changed(TChangeKind Kind, const TIdentified& Item, std::uint32_t Fields = cfAll);
  void Notify(TChangeKind Kind, const TIdentified& Item, std::uint32_t Fields = cfAll);
  // For the game itself and its palette, which have no id.
  void Changed(TChangeKind Kind, TItemKind Item, std::uint32_t Fields = cfAll);
  void Notify(TChangeKind Kind, TItemKind Item, std::uint32_t Fields = cfAll);

  // Items by id: null for an id no item of that kind has (any more).
  TIdentified* FindItem(TItemKind Kind, TItemId Id) const;
  TTile* TileById(TItemId Id) const;
  TActor* ActorById(TItemId Id) const;
  THandler* HandlerById(TItemId Id) const;
  TActionBase* ActionById(TItemId Id) const;
  TLevel* LevelById(TItemId Id) const;
  TVariable* VariableById(TItemId Id) const;
  TSound* SoundById(TItemId Id) const;
  TSong* SongById(TItemId Id) const;
  // What a record's link names (TReader::ReadLink): by id, or by name as
  // the project file names it; null for none and for a name or id no item
  // of the kind has.
  TIdentified* FindLinked(TItemKind Kind, const TLink& Link) const;
  TTile* TileByLink(const TLink& Link) const;
  TActor* ActorByLink(const TLink& Link) const;
  TSound* SoundByLink(const TLink& Link) const;
  // The id of what a link names, NoItem for none.
  TItemId LinkedId(TItemKind Kind, const TLink& Link) const;
  // Writes the link to the item of Kind with Id as the writer names items:
  // by its name in the project file, by id in the undo history; an id that
  // no item has (any more) as none.
  void WriteLink(TWriter& Writer, TItemKind Kind, TItemId Id) const;
  // The name of a tile, actor, level, variable, sound or song; empty for others.
  static const std::string& NameOf(const TIdentified& Item);

  // The content for the undo history, cut into one record per item (the
  // head with the title and palette; each tile; each actor, followed by each
  // of its handlers, each followed by its actions; each level, variable and
  // sound), each keyed by the item's kind and id. A record holds every
  // stored field of its item, also those the project file keeps in a
  // section after the levels (undo puts back only what the records hold),
  // written by the item's own writers with other items named by id: a
  // rename changes the renamed item's record only.
  std::vector<TRecordKey> RecordKeys() const;
  // The records of the game as it is, in order: the record of Before with
  // the same key where Changed says the item did not change, else the
  // record written now (shared with Before's when equal). With Before
  // empty, every record is written.
  std::vector<TRecordView> StateRecords(const std::vector<TRecordView>& Before,
                                        const std::function<bool(const TRecordKey&)>& Changed) const;
  // Every record written, joined; Cuts receives each record's end.
  TContent StateBytes(std::vector<std::size_t>& Cuts, std::vector<TRecordKey>& Keys) const;
  // Makes the content To where it is From (this game's records as they
  // are): an item whose record is the same is left alone, a changed one is
  // read again in place, a removed one goes, an added one comes where it
  // stood with its id. Tells the document of each (removals before, the
  // rest after). From empty, on an empty game, builds the whole game.
  void ApplyState(const std::vector<TRecordView>& From, const std::vector<TRecordView>& To,
                  const std::function<void(const TChange&)>& Tell);

  // Files. Save writes through a temporary file, so a failed save leaves the
  // previous file as it was.
  void Save();
  // Into a freshly constructed game.
  void LoadFromFile(const std::string& Name);

  // The content for the undo history: the project file's bytes with the
  // save counter and editing time written as 0, so that equal content gives
  // equal bytes however often and long the game was edited.
  // Cuts, when given, receives the end of every record (the head with the
  // palette, each tile, actor and level, the list ends): histories share
  // the records that a step left as they were.
  std::vector<std::uint8_t> ContentBytes(std::vector<std::size_t>* Cuts = nullptr) const;
  // Into a freshly constructed game: the bytes of a project file, or of
  // ContentBytes.
  void LoadContent(std::vector<std::uint8_t> Bytes);

  TPalette& Palette() { return *FPalette; }
  const TPalette& Palette() const { return *FPalette; }

  // Deleting and duplicating mark the document changed; an item that is not
  // in its list (or none) is an assertion failure (unit UGame). A delete
  // keeps the other items' order and addresses.

  // Tiles.
  int TileCount() const { return FTiles.Count(); }
  TTile* GetTile(int Index) const;
  TTile* AddTile();
  TTile* FindTileByName(const std::string& Name) const;
  int IndexOfTile(const TTile* Tile) const;
  const TPeekBitmap& GetTileBitmap(const TTile* Tile) const;
  // Actors drawn with the tile are left without one.
  void DeleteTile(TTile* Tile);
  // A new tile (default name) at the end, with Tile's picture.
  TTile* DuplicateTile(const TTile* Tile);

  // Actors.
  int ActorCount() const { return FActors.Count(); }
  TActor* GetActor(int Index) const;
  TActor* AddActor();
  TActor* FindActorByName(const std::string& Name) const;
  // The empty-cell picture for none, the no-tile picture for an actor
  // without a tile, else its tile's picture.
  const TPeekBitmap& GetActorBitmap(const TActor* Actor) const;
  // The handlers of other actors whose collision event names Actor: they go
  // with it when it is deleted, since a collision must name an actor.
  std::vector<THandler*> HandlersNaming(const TActor& Actor) const;
  // Deletes the actor with its handlers and HandlersNaming(Actor); the
  // level cells holding it become empty.
  void DeleteActor(TActor* Actor);
  // A new actor (default name) at the end, with Actor's tile and copies of
  // its handlers. A collision naming Actor itself names the copy in the
  // copy, as the copy collides with its own kind; any other actor stays.
  TActor* DuplicateActor(const TActor* Actor);

  // Levels. A new level is 0 by 0; the editor sizes it.
  int LevelCount() const { return FLevels.Count(); }
  TLevel* GetLevel(int Index) const;
  TLevel* AddLevel();
  TLevel* FindLevelByName(const std::string& Name) const;
  void DeleteLevel(TLevel* Level);
  // A new level (default name) at the end, with Level's size and cells.
  TLevel* DuplicateLevel(const TLevel* Level);

  // Variables. Their names follow the item rules; actions name them.
  int VariableCount() const { return FVariables.Count(); }
  TVariable* GetVariable(int Index) const;
  TVariable* AddVariable();
  TVariable* FindVariableByName(const std::string& Name) const;
  int IndexOfVariable(const TVariable* Variable) const;
  // Deletes the variable with the actions that name it.
  void DeleteVariable(TVariable* Variable);
  // A new variable (default name) at the end, with Variable's value and scope.
  TVariable* DuplicateVariable(const TVariable* Variable);
  // Moves a variable to another place of the list; both indexes must lie
  // inside it (assertion failure otherwise).
  void MoveVariable(int From, int To);

  // Sounds, made in the editor or imported. Actions and levels name them.
  int SoundCount() const { return FSounds.Count(); }
  TSound* GetSound(int Index) const;
  TSound* AddSound();
  TSound* FindSoundByName(const std::string& Name) const;
  int IndexOfSound(const TSound* Sound) const;
  // Deletes the sound with the actions that name it; levels that loop it
  // play silent.
  void DeleteSound(TSound* Sound);
  TSound* DuplicateSound(const TSound* Sound);

  // Songs, played by the sequencer. Their cells name sounds.
  int SongCount() const { return FSongs.Count(); }
  TSong* GetSong(int Index) const;
  TSong* AddSong();
  TSong* FindSongByName(const std::string& Name) const;
  int IndexOfSong(const TSong* Song) const;
  void DeleteSong(TSong* Song);
  // A new song (default name) at the end, with Song's tempo, patterns and orders.
  TSong* DuplicateSong(const TSong* Song);

  // The actions whose values name Item (numbers and texts name variables
  // too), in list order: found by id.
  std::vector<TActionBase*> ActionsLinking(const TIdentified& Item) const;
  // The same for the item of Type called Name (compared as names are);
  // none for a name no item has.
  std::vector<TActionBase*> ActionsNaming(TValueType Type, const std::string& Name) const;

  const TPeekBitmap& EmptyBitmap() const { return FEmptyBitmap; }
  const TPeekBitmap& NoTileBitmap() const { return FNoTileBitmap; }


private:
  friend class TDocument;
  friend class TProjectFile;  // reads and writes the lists and the sections
  friend class TIdentified;
  friend class TActor;  // deleting a handler marks the game
  friend struct TTestAccess;  // tests reset a scratch game's changed state
  // Marks the game changed and counts the editing time.
  void MarkModified();
  // Sets the flag without counting a change, as the document does when an
  // edit or an undo step leads back to (or away from) the saved content.
  void SetModified(bool Modified) { FModified = Modified; }
  TItemId NewId() { return FNextId++; }
  // Gives Item the id Id (undo bringing an item back).
  void SetItemId(TIdentified& Item, TItemId Id);
  // ApplyState's parts (UGameState.cpp).
  void WriteRecord(const TRecordKey& Key, TStream& Stream, TWriter& Writer) const;
  void LoadRecord(TIdentified* Item, TItemKind Kind, const TContent& Bytes);
  TIdentified* CreateItem(TItemKind Kind, TItemId Id, TIdentified* Parent);
  void DeleteActions(const std::vector<TActionBase*>& Actions);
  // A new item at the end of List for the reader, named by its record: a
  // default name is not looked for, as that searches the list and, with
  // names chosen to be in the way, costs the cube of the items read.
  template <typename T>
  T* AddRead(TOwnedList<T>& List, TItemKind Kind);

  std::string FFileName = NoFileName;
  std::string FTitle = DefaultTitle;
  THighScores FHighScores;
  int FRevision = 0;
  double FEditTime = 0;
  double FLastTouch = 0;
  bool FModified = false;
  TDocument* FDocument = nullptr;
  TItemId FNextId = 1;
  std::unordered_map<TItemId, TIdentified*> FIndex;
  std::unique_ptr<TPalette> FPalette;
  // While a file is read: the names of the lists read so far, so that the
  // names referring to them are found in constant time and a file of many
  // names reads in time that grows with its size. Null at all other times.
  struct TReadIndexes;
  std::unique_ptr<TReadIndexes> FReading;
  TOwnedList<TTile> FTiles;
  TOwnedList<TActor> FActors;
  TOwnedList<TLevel> FLevels;
  TOwnedList<TVariable> FVariables;
  TOwnedList<TSound> FSounds;
  TOwnedList<TSong> FSongs;
  TPeekBitmap FEmptyBitmap;
  TPeekBitmap FNoTileBitmap;
};

}  // namespace lvk
