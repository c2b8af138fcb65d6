#include "generator/UGameTables.h"

#include <algorithm>
#include <limits>
#include <tuple>
#include <type_traits>

#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "generator/UBuildLog.h"
#include "model/UActor.h"
#include "model/UFormat.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UNames.h"
#include "model/USound.h"
#include "model/UTile.h"
#include "model/UTileBlock.h"
#include "model/UVariable.h"

namespace lvk {

namespace {

constexpr int TileSide = 8;
constexpr int Columns = LVK_LEVEL_COLUMNS;
constexpr int Rows = LVK_LEVEL_ROWS;
// Every index of the engine's tables is 16 bits, and LVK_NONE is taken.
constexpr std::size_t MaxEntries = 0xFFFE;
constexpr int MaxSounds = 64;
constexpr std::size_t MaxSoundBytes = 1024 * 1024;

using TActorNumbers = std::unordered_map<const TActor*, int>;

// Every kind writes its own settings into its entry; the builder gives it
// the actors' numbers and the place of the setting for its messages.
class TBehaviourBuilder final : public TTableContext {
public:
  TBehaviourBuilder(const TGame& Game, TBuildLog& Log, TGameTables& T) : FGame(Game), FLog(Log), T(T) {}

  std::uint16_t ActorNumber(const TActor* Actor) const override {
    // A loaded game has resolved every name; the actor itself is the default.
    auto Found = FNumbers.find(Actor);
    return static_cast<std::uint16_t>(Found != FNumbers.end() ? Found->second : FActor);
  }

  std::int32_t WholeNumber(const std::string& Text) override {
    if (auto Value = ParseWholeNumber(Text)) return *Value;
    Fail(Format("argument \"%s\" is not a whole number", Text), false);
    return 0;
  }

  TEngineNumber Number(const std::string& Text) override {
    if (auto Value = ParseWholeNumber(Text)) return {*Value, LVK_LITERAL};
    if (auto Found = FVariables.find(Upper(Text)); Found != FVariables.end())
      return {0, LVK_VARIABLE(Found->second)};
    // Used as 0: the action still plays.
    Fail(IsLegalName(Text) ? Format("argument \"%s\" is no variable", Text)
                           : Format("argument \"%s\" is not a whole number", Text),
         false);
    return {0, LVK_LITERAL};
  }

  std::uint16_t VariableNumber(const std::string& Name) override {
    if (auto Found = FVariables.find(Upper(Name)); Found != FVariables.end())
      return static_cast<std::uint16_t>(Found->second);
    Fail(Format("\"%s\" is no variable", Name));
    return 0;
  }

  std::uint16_t ActorNamed(const std::string& Name) override {
    if (Name.empty()) return static_cast<std::uint16_t>(FActor);
    if (const TActor* Actor = FGame.FindActorByName(Name)) return ActorNumber(Actor);
    Fail(Format("\"%s\" is no actor", Name));
    return static_cast<std::uint16_t>(FActor);
  }

  std::uint16_t TileNamed(const std::string& Name) override {
    if (Name.empty()) return LVK_NONE;
    const TTile* Tile = FGame.FindTileByName(Name);
    if (!Tile) {
      Fail(Format("\"%s\" is no tile", Name));
      return LVK_NONE;
    }
    // As a cell shows it: a tile without a picture draws nothing.
    return Tile->Bitmap().Empty() ? LVK_NONE : static_cast<std::uint16_t>(FGame.IndexOfTile(Tile));
  }

  // Literal runs and {name}s of variables; a brace that opens no variable's
  // name is a character like any other.
  std::uint16_t TextNumber(const std::string& Text) override {
    lvk_text_t Entry{};
    Entry.first_segment = static_cast<std::uint16_t>(T.Segments.size());
    auto Literal = [&](std::size_t From, std::size_t Count) {
      if (Count == 0) return;
      T.Segments.push_back({static_cast<std::uint32_t>(T.Chars.size()), static_cast<std::uint16_t>(Count), LVK_LITERAL});
      T.Chars.append(Text, From, Count);
    };
    std::size_t Start = 0, At = 0;
    while ((At = Text.find('{', At)) != std::string::npos) {
      const std::size_t Close = Text.find('}', At);
      if (Close == std::string::npos) break;
      const std::string Name = Text.substr(At + 1, Close - At - 1);
      if (!IsLegalName(Name)) {
        ++At;
        continue;
      }
      Literal(Start, At - Start);
      auto Found = FVariables.find(Upper(Name));
      if (Found == FVariables.end())
        Fail(Format("the text names \"%s\", which is no variable", Name));
      else
        T.Segments.push_back({0, 0, LVK_VARIABLE(Found->second)});
      Start = At = Close + 1;
    }
    Literal(Start, Text.size() - Start);
    Entry.segment_count = static_cast<std::uint16_t>(T.Segments.size() - Entry.first_segment);
    T.Texts.push_back(Entry);
    return static_cast<std::uint16_t>(T.Texts.size() - 1);
  }

  std::uint16_t AnimationNumber(const std::string& Name) override {
    if (Name.empty()) {
      Fail("no animation is chosen");
      return 0;
    }
    const int Found = FGame.GetActor(FActor)->FindAnimation(Name);
    if (Found < 0) Fail(Format("\"%s\" is no animation of this actor", Name));
    return static_cast<std::uint16_t>(std::max(Found, 0));
  }

  std::uint16_t SoundNumber(const std::string& Name) override {
    if (auto Found = FSounds.find(Upper(Name)); Found != FSounds.end())
      return static_cast<std::uint16_t>(Found->second);
    Fail(Name.empty() ? std::string("no sound is chosen") : Format("\"%s\" is no sound that plays", Name));
    return 0;
  }

  void AddSaving() {
    const std::string& Title = FGame.Title();
    T.Saving.game_key = lvk_save_key(Title.data(), Title.size());
    const THighScores& Scores = FGame.HighScores();
    if (Scores.Places == 0) return;
    const TVariable* Score = FGame.ScoreVariable();
    auto Found = Score ? FVariables.find(Upper(Score->Name())) : FVariables.end();
    if (Found == FVariables.end()) {
      T.Notes.push_back("The high-score table has no score (a game variable): the game keeps no table");
      return;
    }
    T.Saving.score_variable = static_cast<std::uint16_t>(Found->second);
    T.Saving.score_places = static_cast<std::uint8_t>(Scores.Places);
    T.Saving.score_letters = static_cast<std::uint8_t>(Scores.Letters);
    T.Saving.score_higher = Scores.HigherIsBetter ? 1 : 0;
  }

  void Build() {
    AddVariables();
    AddSaving();
    AddSounds();
    TCellValues Values(FGame);
    T.TileCount = static_cast<std::uint16_t>(std::min<int>(Values.None(), LVK_NONE - 1));
    for (int a = 0; a < FGame.ActorCount(); ++a) FNumbers[FGame.GetActor(a)] = a;
    bool Fits = FitsTheEngine();
    if (!Fits)
      FLog.LogError(Format("The game has too many actors, handlers or actions for the engine (at most %d each); "
                           "no actor takes part in play",
                           static_cast<int>(MaxEntries)));
    int Actors = std::min(FGame.ActorCount(), static_cast<int>(MaxEntries));
    for (int a = 0; a < Actors; ++a) {
      const TActor& Actor = *FGame.GetActor(a);
      int Tile = Values.Value(&Actor);
      lvk_actor_t Entry{};
      Entry.tile = Tile == Values.None() ? LVK_NONE : static_cast<std::uint16_t>(Tile);
      Entry.flags = Actor.Solid() ? LVK_ACTOR_SOLID : 0;
      Entry.width = static_cast<std::uint8_t>(Actor.Width());
      Entry.height = static_cast<std::uint8_t>(Actor.Height());
      Entry.first_handler = static_cast<std::uint16_t>(T.Handlers.size());
      if (Fits) AddHandlers(Actor, a);
      Entry.handler_count = static_cast<std::uint16_t>(T.Handlers.size() - Entry.first_handler);
      T.Actors.push_back(Entry);
      T.ActorNames.push_back(Actor.Name());
    }
    AddAnimations(Values);
    // Not an error (an unseen actor may be meant), but easily missed.
    for (std::size_t a = 0; a < T.Actors.size(); ++a)
      if (T.Actors[a].handler_count > 0 && !Seen(T.Actors[a]))
        T.Notes.push_back("Actor " + T.ActorNames[a] + " has no tile with a picture: it plays unseen");
    int Levels = FGame.LevelCount();
    if (Levels > static_cast<int>(MaxEntries)) {
      FLog.LogError(Format("The game has more than %d levels; the later ones cannot be played", static_cast<int>(MaxEntries)));
      Levels = static_cast<int>(MaxEntries);
    }
    for (int l = 0; l < Levels; ++l) AddLevel(*FGame.GetLevel(l));
  }

private:
  // An actor with animations in play is drawn with their frames, its tile
  // unused; one without, with its tile.
  bool Seen(const lvk_actor_t& Actor) const {
    if (Actor.animation_count == 0) return Actor.tile != LVK_NONE;
    for (int n = Actor.first_animation; n < Actor.first_animation + Actor.animation_count; ++n) {
      const lvk_animation_t& A = T.Animations[static_cast<std::size_t>(n)];
      for (int f = A.first_frame; f < A.first_frame + A.frame_count; ++f) {
        const std::size_t End = static_cast<std::size_t>(f) + 1 < T.Frames.size() ? T.Frames[f + 1] : T.FrameTiles.size();
        for (std::size_t c = T.Frames[static_cast<std::size_t>(f)]; c < End; ++c)
          if (T.FrameTiles[c] != LVK_NONE) return true;
      }
    }
    return false;
  }

  static std::string Upper(std::string Name) {
    for (char& C : Name) C = static_cast<char>(C >= 'a' && C <= 'z' ? C - 'a' + 'A' : C);
    return Name;
  }

  // A counted error at the place of the action being encoded, which then
  // takes no part in play. Handlers and actions are counted from 1, as the
  // user sees them listed.
  void Fail(const std::string& What, bool Drop = true) {
    const TActor& Actor = *FGame.GetActor(FActor);
    FLog.LogError(Format("Actor %s, handler %d (%s), action %d (%s): %s", Actor.Name(), FHandler + 1,
                         Actor.GetHandler(FHandler)->Event()->Kind().DisplayName(), FAction + 1,
                         Actor.GetHandler(FHandler)->GetAction(FAction)->Kind().DisplayName(), What));
    FFailed = FFailed || Drop;
  }

  // At most so many sounds, and so many bytes of them in all (the DS has 4
  // MB); the sounds beyond either take no part, named in one counted error.
  void AddSounds() {
    std::size_t Bytes = 0;
    std::string Left;
    for (int i = 0; i < FGame.SoundCount(); ++i) {
      const TSound& Sound = *FGame.GetSound(i);
      const bool Fits = static_cast<int>(FSounds.size()) < MaxSounds && Bytes + Sound.DsSize() <= MaxSoundBytes;
      if (!Fits) {
        Left += (Left.empty() ? "" : ", ") + Sound.Name();
        continue;
      }
      Bytes += Sound.DsSize();
      FSounds.emplace(Upper(Sound.Name()), static_cast<int>(T.SoundNames.size()));
      T.SoundNames.push_back(Sound.Name());
      T.SoundItems.push_back(i);
    }
    T.SoundCount = static_cast<std::uint16_t>(T.SoundNames.size());
    if (!Left.empty())
      FLog.LogError(Format("The game's sounds go beyond %d sounds or %d bytes in all; these take no part in play: %s",
                           MaxSounds, static_cast<int>(MaxSoundBytes), Left));
  }

  // The engine has room for so many of each scope; the rest are errors.
  void AddVariables() {
    int Counts[2] = {0, 0};
    const int Limits[2] = {LVK_MAX_GAME_VARIABLES, LVK_MAX_INSTANCE_VARIABLES};
    for (int i = 0; i < FGame.VariableCount(); ++i) {
      const TVariable& V = *FGame.GetVariable(i);
      const int Scope = V.Scope() == TVariableScope::Instance ? 1 : 0;
      if (++Counts[Scope] > Limits[Scope]) {
        if (Counts[Scope] == Limits[Scope] + 1)
          FLog.LogError(Format("The game has more than %d %s variables; from %s on they take no part in play",
                               Limits[Scope], Scope ? "instance" : "game", V.Name()));
        continue;
      }
      FVariables.emplace(Upper(V.Name()), static_cast<int>(T.Variables.size()));
      // Only a game variable's value is ever saved; the key names it in saves.
      T.Variables.push_back({V.Initial(), static_cast<std::uint8_t>(Scope ? LVK_SCOPE_INSTANCE : LVK_SCOPE_GAME),
                             static_cast<std::uint8_t>(V.Saved() && !Scope), lvk_save_key(V.Name().data(), V.Name().size())});
      T.VariableNames.push_back(V.Name());
    }
  }

  bool FitsTheEngine() const {
    std::size_t Handlers = 0, Actions = 0;
    for (int a = 0; a < FGame.ActorCount(); ++a) {
      const TActor& Actor = *FGame.GetActor(a);
      Handlers += Actor.HandlerCount();
      for (int h = 0; h < Actor.HandlerCount(); ++h) Actions += Actor.GetHandler(h)->ActionCount();
    }
    return static_cast<std::size_t>(FGame.ActorCount()) <= MaxEntries && Handlers <= MaxEntries &&
           Actions <= MaxEntries;
  }

  void AddHandlers(const TActor& Actor, int Number) {
    int Collisions = 0;
    FActor = Number;
    for (int h = 0; h < Actor.HandlerCount(); ++h) {
      const THandler& Handler = *Actor.GetHandler(h);
      if (!Handler.Event() || Handler.Event()->Kind().EngineCode().Code < 0) continue;
      FHandler = h;
      lvk_handler_t Entry{};
      Entry.event = static_cast<std::uint8_t>(Handler.Event()->Kind().EngineCode().Code);
      Handler.Event()->Encode(Entry, *this);
      if (Entry.event == LVK_EVENT_COLLISION && ++Collisions == LVK_MAX_COLLISION_HANDLERS + 1)
        FLog.LogError(Format("Actor %s has more than %d OnCollision handlers; the later ones never fire",
                             Actor.Name(), LVK_MAX_COLLISION_HANDLERS));
      Entry.first_action = static_cast<std::uint16_t>(T.Actions.size());
      for (FAction = 0; FAction < Handler.ActionCount(); ++FAction) {
        const TActionBase& Action = *Handler.GetAction(FAction);
        const int Code = Action.Kind().EngineCode().Code;
        if (Code < 0) continue;  // a kind the engine does not play
        lvk_action_t ActionEntry{};
        ActionEntry.kind = static_cast<std::uint8_t>(Code);
        FFailed = false;
        Action.Encode(ActionEntry, *this);
        if (!FFailed) T.Actions.push_back(ActionEntry);
      }
      Entry.action_count = static_cast<std::uint16_t>(T.Actions.size() - Entry.first_action);
      T.Handlers.push_back(Entry);
    }
  }

  // The frames of the actors that can have instances (live ones and those
  // a Spawn names), as far as the sprite memory goes once the tiles drawn
  // as 8x8 sprites have theirs.
  void AddAnimations(const TCellValues& Values) {
    std::vector<bool> Sprite(T.Actors.size(), false);
    for (std::size_t a = 0; a < T.Actors.size(); ++a) Sprite[a] = T.Actors[a].handler_count > 0;
    for (const lvk_action_t& A : T.Actions)
      if (A.kind == LVK_ACTION_SPAWN && A.ref < Sprite.size()) Sprite[A.ref] = true;
    const lvk_game_t Game = T.Game();
    std::uint32_t Cursor = 0;
    std::vector<bool> TileSprite(T.TileCount, false);
    for (int Tile; (Tile = lvk_game_sprite_tile(&Game, &Cursor)) >= 0;)
      if (Tile < T.TileCount && !TileSprite[Tile]) {
        TileSprite[Tile] = true;
        T.SpriteBytes += SpritePictureBytes(8, 8);
      }
    std::string Left;
    for (std::size_t a = 0; a < T.Actors.size(); ++a) {
      const TActor& Actor = *FGame.GetActor(static_cast<int>(a));
      if (!Sprite[a] || Actor.AnimationCount() == 0) continue;
      std::size_t Bytes = 0, Count = 0;
      for (int n = 0; n < Actor.AnimationCount(); ++n) Count += Actor.GetAnimation(n).Frames.size();
      Bytes = Count * SpritePictureBytes(Actor.Width(), Actor.Height());
      if (T.SpriteBytes + Bytes > SpriteMemory || T.Frames.size() + Count > MaxEntries ||
          T.Animations.size() + Actor.AnimationCount() > MaxEntries) {
        Left += (Left.empty() ? "" : ", ") + Actor.Name();
        continue;
      }
      T.SpriteBytes += Bytes;
      T.Actors[a].first_animation = static_cast<std::uint16_t>(T.Animations.size());
      T.Actors[a].animation_count = static_cast<std::uint16_t>(Actor.AnimationCount());
      for (int n = 0; n < Actor.AnimationCount(); ++n) {
        const TAnimation& Animation = Actor.GetAnimation(n);
        lvk_animation_t Entry{};
        Entry.first_frame = static_cast<std::uint16_t>(T.Frames.size());
        Entry.frame_count = static_cast<std::uint16_t>(Animation.Frames.size());
        Entry.length = static_cast<std::uint8_t>(Animation.FrameLength);
        Entry.mode = static_cast<std::uint8_t>(Animation.Mode);
        for (int f = 0; f < Actor.FrameCount(n); ++f) {
          T.Frames.push_back(static_cast<std::uint32_t>(T.FrameTiles.size()));
          for (const TTile* Tile : Actor.FrameTiles(n, f)) {
            const int Value = Values.TileValue(Tile);
            T.FrameTiles.push_back(Value == Values.None() ? LVK_NONE : static_cast<std::uint16_t>(Value));
          }
        }
        T.Animations.push_back(Entry);
      }
    }
    if (!Left.empty())
      FLog.LogError(Format("The sprites' frames go beyond the DS's %d KiB of sprite memory; these actors play "
                           "without their animations: %s",
                           static_cast<int>(SpriteMemory / 1024), Left));
    // A SetAnimation of an animation its actor has not in the tables (left
    // out, or none such) names none: the engine refuses a number past the
    // actor's animations, and none changes nothing.
    for (const lvk_actor_t& Actor : T.Actors)
      for (std::size_t h = Actor.first_handler; h < Actor.first_handler + Actor.handler_count && h < T.Handlers.size(); ++h)
        for (std::size_t k = T.Handlers[h].first_action;
             k < T.Handlers[h].first_action + T.Handlers[h].action_count && k < T.Actions.size(); ++k)
          if (T.Actions[k].kind == LVK_ACTION_SET_ANIMATION && T.Actions[k].ref >= Actor.animation_count)
            T.Actions[k].ref = LVK_NONE;
  }

  void AddLevel(const TLevel& Level) {
    lvk_level_t Entry{};
    Entry.first_spawn = static_cast<std::uint16_t>(std::min(T.Spawns.size(), MaxEntries));
    std::size_t SceneryStart = T.Scenery.size();
    const int Width = TableColumns(Level), Height = TableRows(Level);
    T.Scenery.resize(SceneryStart + static_cast<std::size_t>(Width) * Height, LVK_NONE);
    int Live = 0;
    for (int r = 0; r < std::min(Height, Level.Height()); ++r)
      for (int c = 0; c < std::min(Width, Level.Width()); ++c) {
        const TActor* Actor = Level.GetCell(c, r);
        if (!Actor) continue;
        auto Found = FNumbers.find(Actor);
        if (Found == FNumbers.end()) continue;
        int Number = Found->second;
        if (Number >= static_cast<int>(T.Actors.size())) continue;
        if (T.Actors[Number].handler_count == 0) {
          // A larger actor covers its block of cells, as far as the level goes.
          for (int br = r; br < std::min({Height, Level.Height(), r + Actor->Rows()}); ++br)
            for (int bc = c; bc < std::min({Width, Level.Width(), c + Actor->Columns()}); ++bc)
              T.Scenery[SceneryStart + static_cast<std::size_t>(br) * Width + bc] = static_cast<std::uint16_t>(Number);
        } else if (T.Spawns.size() < MaxEntries) {
          T.Spawns.push_back({static_cast<std::uint16_t>(Number), static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(r)});
          ++Live;
        } else if (!FSpawnsFull) {
          FSpawnsFull = true;
          FLog.LogError(Format("The levels place more than %d live actors in all; from level %s on, not all take part",
                               static_cast<int>(MaxEntries), Level.Name()));
        }
      }
    if (Live > LVK_MAX_INSTANCES)
      FLog.LogError(Format("Level %s places %d live actors; only the first %d take part", Level.Name(), Live,
                           LVK_MAX_INSTANCES));
    Entry.spawn_count = static_cast<std::uint16_t>(Live);
    if (const TSound* Music = Level.Music())
      if (auto Found = FSounds.find(Upper(Music->Name())); Found != FSounds.end())
        Entry.music = static_cast<std::uint16_t>(Found->second + 1);
    Entry.width = static_cast<std::uint16_t>(Width);
    Entry.height = static_cast<std::uint16_t>(Height);
    const TLevelCamera& Camera = Level.Camera();
    if (Camera.Follow)
      if (auto Found = FNumbers.find(Camera.Follow); Found != FNumbers.end() && Found->second < static_cast<int>(T.Actors.size()))
        Entry.follow = static_cast<std::uint16_t>(Found->second + 1);
    Entry.dead_width = static_cast<std::uint16_t>(std::clamp(Camera.DeadWidth, 0, LVK_SCREEN_WIDTH));
    Entry.dead_height = static_cast<std::uint16_t>(std::clamp(Camera.DeadHeight, 0, LVK_SCREEN_HEIGHT));
    Entry.camera_flags = static_cast<std::uint8_t>((Camera.LockX ? LVK_CAMERA_LOCK_X : 0u) | (Camera.LockY ? LVK_CAMERA_LOCK_Y : 0u));
    // Without a colour of its own, entry 0's, which the DS shows behind its
    // backgrounds; an empty palette leaves the DS's cleared black.
    const TPalette& Palette = FGame.Palette();
    Entry.backdrop = Level.Backdrop() ? DsColor(*Level.Backdrop()) : Palette.Count() > 0 ? DsColor(Palette, 0) : 0;
    T.Levels.push_back(Entry);
    T.LevelNames.push_back(Level.Name());
  }

  const TGame& FGame;
  TBuildLog& FLog;
  TGameTables& T;
  TActorNumbers FNumbers;
  bool FSpawnsFull = false;
  // Where the kind being encoded sits: actor number, handler and action index.
  int FActor = 0, FHandler = 0, FAction = 0;
  bool FFailed = false;  // the action being encoded names what is not there
  std::unordered_map<std::string, int> FVariables;  // upper-case name to number
  std::unordered_map<std::string, int> FSounds;
};

}  // namespace

lvk_game_t TGameTables::Game() const {
  lvk_game_t G{};
  G.tile_count = TileCount;
  G.actor_count = static_cast<std::uint16_t>(Actors.size());
  G.handler_count = static_cast<std::uint16_t>(Handlers.size());
  G.action_count = static_cast<std::uint16_t>(Actions.size());
  G.level_count = static_cast<std::uint16_t>(Levels.size());
  G.spawn_count = static_cast<std::uint16_t>(Spawns.size());
  G.actors = Actors.data();
  G.handlers = Handlers.data();
  G.actions = Actions.data();
  G.levels = Levels.data();
  G.spawns = Spawns.data();
  G.scenery = Scenery.data();
  G.variable_count = static_cast<std::uint16_t>(Variables.size());
  G.text_count = static_cast<std::uint16_t>(Texts.size());
  G.segment_count = static_cast<std::uint16_t>(Segments.size());
  G.sound_count = SoundCount;
  G.char_count = static_cast<std::uint32_t>(Chars.size());
  G.variables = Variables.data();
  G.texts = Texts.data();
  G.segments = Segments.data();
  G.chars = Chars.data();
  G.scenery_count = static_cast<std::uint32_t>(Scenery.size());
  G.animation_count = static_cast<std::uint16_t>(Animations.size());
  G.frame_count = static_cast<std::uint16_t>(Frames.size());
  G.frame_tile_count = static_cast<std::uint32_t>(FrameTiles.size());
  G.animations = Animations.empty() ? nullptr : Animations.data();
  G.frames = Frames.empty() ? nullptr : Frames.data();
  G.frame_tiles = FrameTiles.empty() ? nullptr : FrameTiles.data();
  G.saving = Saving;
  return G;
}

namespace {

// The entries' padding bytes, which the web page carries as they are, zeroed:
// left as the entries were made they hold whatever the memory held before, so
// the same game gave other pages (and put stray bytes of this program in them).
template <typename T>
void ClearPadding([[maybe_unused]] std::vector<T>& Entries) {
#if defined(__has_builtin)
#if __has_builtin(__builtin_clear_padding)
  if constexpr (!std::has_unique_object_representations_v<T>)
    for (T& Entry : Entries) __builtin_clear_padding(&Entry);
#endif
#endif
}

}  // namespace

TGameTables BuildBehaviourTables(const TGame& Game, TBuildLog& Log) {
  TGameTables Tables;
  TBehaviourBuilder(Game, Log, Tables).Build();
  std::apply([](auto&... Entries) { (ClearPadding(Entries), ...); }, Tables.EntryLists());
  return Tables;
}

void AddSoundSamples(const TGame& Game, TGameTables& Tables) {
  Tables.Sounds.clear();
  for (int Item : Tables.SoundItems) Tables.Sounds.push_back(Game.GetSound(Item)->Samples());
}

TGameTables BuildGameTables(const TGame& Game, TBuildLog& Log) {
  TGameTables Tables = BuildBehaviourTables(Game, Log);
  const TPalette& Palette = Game.Palette();
  for (int i = 0; i < Palette.Count(); ++i) Tables.Palette.push_back(DsColor(Palette, i));
  TPixelMapper Mapper(Palette);
  for (int k = 0; k < Game.TileCount(); ++k) Tables.Tiles.push_back(Mapper.Map(*Game.GetTile(k)));
  TCellValues Values(Game);
  for (int l = 0; l < Game.LevelCount(); ++l) Tables.Backgrounds.push_back(Values.Map(*Game.GetLevel(l)));
  AddSoundSamples(Game, Tables);
  return Tables;
}

std::array<int, 3> DsComponents(const TPalette& Palette, int Index) {
  return {Palette.GetRed(Index) / 8, Palette.GetGreen(Index) / 8, Palette.GetBlue(Index) / 8};
}

std::uint16_t DsColor(const TPalette& Palette, int Index) {
  auto [R, G, B] = DsComponents(Palette, Index);
  return static_cast<std::uint16_t>(R | (G << 5) | (B << 10));
}

std::uint16_t DsColor(std::uint32_t Color) {
  return static_cast<std::uint16_t>(GetRValue(Color) / 8 | (GetGValue(Color) / 8) << 5 | (GetBValue(Color) / 8) << 10);
}

bool TileIs8x8(const TTile& Tile) { return Tile.Bitmap().Width() == TileSide && Tile.Bitmap().Height() == TileSide; }

TTilePixels TPixelMapper::Map(const TTile& Tile) {
  TTilePixels Pixels{};
  if (!TileIs8x8(Tile) || FPalette.Count() < 2) return Pixels;
  const TPeekBitmap& Bitmap = Tile.Bitmap();
  // A painted picture holds palette indices: they are kept, so the
  // eraser's entry 0 stays transparent instead of becoming the nearest
  // opaque colour.
  if (IndexedInPalette(Bitmap, FPalette)) {
    for (int y = 0; y < TileSide; ++y)
      for (int x = 0; x < TileSide; ++x) {
        const std::uint8_t Index = Bitmap.ScanLine(y)[x];
        Pixels[y * TileSide + x] = Index < FPalette.Count() && !Tile.PixelTransparent(x, y) ? Index : 0;
      }
    return Pixels;
  }
  for (int y = 0; y < TileSide; ++y)
    for (int x = 0; x < TileSide; ++x)
      Pixels[y * TileSide + x] =
          Tile.PixelTransparent(x, y) ? 0 : static_cast<std::uint8_t>(Nearest(Bitmap.GetColor(x, y)));
  return Pixels;
}

int TPixelMapper::Nearest(std::uint32_t Color) {
  auto [At, Added] = FKnown.try_emplace(Color, 0);
  if (Added) At->second = FPalette.NearestColor(1, Color);
  return At->second;
}

std::size_t SpritePictureBytes(int Width, int Height) {
  const std::size_t Bytes = static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height);
  return (Bytes + SpriteBlock - 1) / SpriteBlock * SpriteBlock;
}

TCellValues::TCellValues(const TGame& Game) : FNone(Game.TileCount()) {
  for (int i = Game.TileCount() - 1; i >= 0; --i)
    if (!Game.GetTile(i)->Bitmap().Empty()) FTiles[Game.GetTile(i)] = i;
  for (int i = 0; i < Game.ActorCount(); ++i) FValues[Game.GetActor(i)] = TileValue(Game.GetActor(i)->Tile());
}

int TCellValues::TileValue(const TTile* Tile) const {
  auto Found = FTiles.find(Tile);
  return Found == FTiles.end() ? FNone : Found->second;
}

int TCellValues::Value(const TActor* Actor) const {
  auto Found = Actor ? FValues.find(Actor) : FValues.end();
  return Found == FValues.end() ? FNone : Found->second;
}

TLevelMap TCellValues::Map(const TLevel& Level) const {
  TLevelMap Map;
  Map.Width = TableColumns(Level);
  Map.Height = TableRows(Level);
  Map.assign(static_cast<std::size_t>(Map.Width) * Map.Height, static_cast<std::uint16_t>(FNone));
  const int Columns = Map.Width;
  const int Height = std::min(Map.Height, Level.Height()), Width = std::min(Map.Width, Level.Width());
  for (int r = 0; r < Height; ++r)
    for (int c = 0; c < Width; ++c) {
      const TActor* Actor = Level.GetCell(c, r);
      if (!Actor || !Actor->HasLook() || Actor->HandlerCount() > 0) {
        // A live actor's cell shows where its sprite starts: the top left
        // tile of its resting frame (the DS clears it when the level starts).
        const int V = Actor && Actor->HasLook() ? TileValue(Actor->RestingFrame().front()) : Value(Actor);
        if (Actor || Map[static_cast<std::size_t>(r) * Columns + c] == FNone) Map[static_cast<std::size_t>(r) * Columns + c] = static_cast<std::uint16_t>(V);
        continue;
      }
      // Scenery with a look: its resting frame over its block; a cell the
      // frame has no tile for keeps what is there.
      const TFrameTiles Frame = Actor->RestingFrame();
      for (int br = 0; br < Actor->Rows() && r + br < Height; ++br)
        for (int bc = 0; bc < Actor->Columns() && c + bc < Width; ++bc)
          if (const int V = TileValue(Frame[br * Actor->Columns() + bc]); V != FNone || (br == 0 && bc == 0))
            Map[static_cast<std::size_t>(r + br) * Columns + c + bc] = static_cast<std::uint16_t>(V);
    }
  return Map;
}

int TableColumns(const TLevel& Level) { return Level.Width() <= 0 ? Columns : std::min(Level.Width(), LVK_MAX_LEVEL_COLUMNS); }
int TableRows(const TLevel& Level) { return Level.Height() <= 0 ? Rows : std::min(Level.Height(), LVK_MAX_LEVEL_ROWS); }

}  // namespace lvk
