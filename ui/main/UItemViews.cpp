#include "ui/main/UItemViews.h"

#include "model/UValueTypes.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UFrameTiles.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USong.h"
#include "model/USound.h"
#include "model/UTile.h"
#include "model/UVariable.h"
#include "ui/common/UPictures.h"
#include "ui/panes/UVariableLimits.h"

namespace {

using lvk::TItemKind;

QString Quoted(const std::string& Name) { return "\"" + QString::fromStdString(Name) + "\""; }

// "1 actor", "2 actors".
QString Counted(qsizetype Count, const QString& One, const QString& More) {
  return QString::number(Count) + " " + (Count == 1 ? One : More);
}

QString HandlerSummary(const lvk::THandler& Handler) {
  return Handler.Event() ? QString::fromStdString(Handler.Event()->Summary()) : QString("(no event)");
}

// A long list would make a box taller than the screen: the first few, and
// how many more.
constexpr std::size_t ListedActions = 12;

// The part of a delete question that lists the actions naming the item:
// an action cannot work without what it names, so they go with it.
QString ActionsGoing(const lvk::TGame& Game, lvk::TValueType Type, const std::string& Name) {
  const std::vector<lvk::TActionBase*> Naming = Game.ActionsNaming(Type, Name);
  if (Naming.empty()) return {};
  QString Text = "\n\n" +
                 QString(Naming.size() == 1 ? "This action names it and is" : "These actions name it and are") +
                 " deleted with it:";
  for (std::size_t i = 0; i < Naming.size() && i < ListedActions; ++i) {
    const lvk::THandler& Handler = Naming[i]->Handler();
    Text += "\n" + QString::fromStdString(Handler.Actor().Name()) + ", " + HandlerSummary(Handler) + ": " +
            QString::fromStdString(Naming[i]->Summary());
  }
  if (Naming.size() > ListedActions)
    Text += "\n" + Counted(static_cast<qsizetype>(Naming.size() - ListedActions), "more action", "more actions");
  return Text;
}

template <typename T>
std::vector<const lvk::TIdentified*> ListOf(int Count, T* (lvk::TGame::*At)(int) const, const lvk::TGame& Game) {
  std::vector<const lvk::TIdentified*> Items;
  for (int i = 0; i < Count; ++i) Items.push_back((Game.*At)(i));
  return Items;
}

const lvk::TIdentified* NoOwner(const lvk::TIdentified*) { return nullptr; }

// ---- Tiles ----

const TItemView TileView{
    TItemKind::Tile,
    "tile",
    "Tiles",
    "BmpTiles18x18",
    TItemKind::Game,
    nullptr,
    true,
    [](const lvk::TIdentified* Item) { return QString::fromStdString(static_cast<const lvk::TTile*>(Item)->Name()); },
    [](const lvk::TGame& Game, const lvk::TIdentified* Item) {
      return QPixmap::fromImage(ToImage(Game.GetTileBitmap(static_cast<const lvk::TTile*>(Item))));
    },
    NoOwner,
    [](const lvk::TGame& Game, const lvk::TIdentified*) { return ListOf(Game.TileCount(), &lvk::TGame::GetTile, Game); },
    [](const lvk::TGame& Game, const lvk::TIdentified* Item) {
      auto* Tile = static_cast<const lvk::TTile*>(Item);
      QString Text = "Delete the tile " + Quoted(Tile->Name()) + "?";
      int Users = 0;
      for (int i = 0; i < Game.ActorCount(); ++i) Users += Game.GetActor(i)->Tile() == Tile ? 1 : 0;
      if (Users > 0)
        Text += "\n\n" + Counted(Users, "actor is", "actors are") + " drawn with it and will have no tile.";
      const std::vector<lvk::TFrameUse> Frames = lvk::FramesShowing(Game, Tile);
      if (!Frames.empty()) {
        Text += "\n\nThese actors' frames show it and will have an empty cell there:";
        for (std::size_t i = 0; i < Frames.size() && i < ListedActions; ++i) {
          QStringList Named;
          for (const std::string& Frame : Frames[i].Frames) Named << QString::fromStdString(Frame);
          Text += "\n" + QString::fromStdString(Frames[i].Actor->Name()) + ": " + Named.join("; ");
        }
        if (Frames.size() > ListedActions)
          Text += "\n" + Counted(static_cast<qsizetype>(Frames.size() - ListedActions), "more actor", "more actors");
      }
      return Text + ActionsGoing(Game, lvk::TValueType::Tile, Tile->Name());
    },
    [](lvk::TGame& Game, const lvk::TIdentified* Item) {
      Game.DeleteTile(const_cast<lvk::TTile*>(static_cast<const lvk::TTile*>(Item)));
    },
    [](lvk::TGame& Game, const lvk::TIdentified* Item) -> const lvk::TIdentified* {
      return Game.DuplicateTile(static_cast<const lvk::TTile*>(Item));
    },
    nullptr,
    nullptr,
};

// ---- Actors ----

const TItemView ActorView{
    TItemKind::Actor,
    "actor",
    "Actors",
    "BmpActors18x18",
    TItemKind::Game,
    nullptr,
    true,
    [](const lvk::TIdentified* Item) { return QString::fromStdString(static_cast<const lvk::TActor*>(Item)->Name()); },
    [](const lvk::TGame& Game, const lvk::TIdentified* Item) {
      return QPixmap::fromImage(ActorImage(Game, *static_cast<const lvk::TActor*>(Item)));
    },
    NoOwner,
    [](const lvk::TGame& Game, const lvk::TIdentified*) { return ListOf(Game.ActorCount(), &lvk::TGame::GetActor, Game); },
    [](const lvk::TGame& Game, const lvk::TIdentified* Item) {
      auto* Actor = static_cast<const lvk::TActor*>(Item);
      QString Text = "Delete the actor " + Quoted(Actor->Name());
      if (Actor->HandlerCount() > 0) Text += " with its " + Counted(Actor->HandlerCount(), "handler", "handlers");
      Text += "?";
      const std::vector<lvk::THandler*> Naming = Game.HandlersNaming(*Actor);
      if (!Naming.empty()) {
        // A collision must name an actor: these cannot stay.
        Text += "\n\nThese collision handlers of other actors name it and are deleted with it:";
        for (const lvk::THandler* Handler : Naming)
          Text += "\n" + QString::fromStdString(Handler->Actor().Name()) + ": " + HandlerSummary(*Handler);
      }
      int Cells = 0;
      for (int l = 0; l < Game.LevelCount(); ++l) {
        const lvk::TLevel* Level = Game.GetLevel(l);
        for (int Row = 0; Row < Level->Height(); ++Row)
          for (int Column = 0; Column < Level->Width(); ++Column) Cells += Level->GetCell(Column, Row) == Actor;
      }
      if (Cells > 0)
        Text += "\n\n" + Counted(Cells, "level cell holds", "level cells hold") + " it and will become empty.";
      return Text + ActionsGoing(Game, lvk::TValueType::Actor, Actor->Name());
    },
    [](lvk::TGame& Game, const lvk::TIdentified* Item) {
      Game.DeleteActor(const_cast<lvk::TActor*>(static_cast<const lvk::TActor*>(Item)));
    },
    [](lvk::TGame& Game, const lvk::TIdentified* Item) -> const lvk::TIdentified* {
      return Game.DuplicateActor(static_cast<const lvk::TActor*>(Item));
    },
    nullptr,
    nullptr,
};

// ---- Handlers, under their actors ----

const TItemView HandlerView{
    TItemKind::Handler,
    "handler",
    nullptr,
    nullptr,
    TItemKind::Actor,
    nullptr,
    true,
    [](const lvk::TIdentified* Item) {
      auto* Handler = static_cast<const lvk::THandler*>(Item);
      QString Text = Handler->Event() ? QString::fromStdString(Handler->Event()->Summary()) : QString();
      // The comment tells two handlers of one summary apart.
      if (!Handler->Comment().empty()) Text += "  // " + QString::fromStdString(Handler->Comment()).simplified();
      return Text;
    },
    [](const lvk::TGame&, const lvk::TIdentified* Item) {
      const lvk::TEventBase* Event = static_cast<const lvk::THandler*>(Item)->Event();
      return Event ? IconPixmap(Event->Kind().Icon()) : QPixmap();
    },
    [](const lvk::TIdentified* Item) -> const lvk::TIdentified* { return &static_cast<const lvk::THandler*>(Item)->Actor(); },
    [](const lvk::TGame&, const lvk::TIdentified* Owner) {
      auto* Actor = static_cast<const lvk::TActor*>(Owner);
      std::vector<const lvk::TIdentified*> Items;
      for (int h = 0; h < Actor->HandlerCount(); ++h) Items.push_back(Actor->GetHandler(h));
      return Items;
    },
    [](const lvk::TGame&, const lvk::TIdentified* Item) {
      auto* Handler = static_cast<const lvk::THandler*>(Item);
      return "Delete the handler " + HandlerSummary(*Handler) + " of the actor " + Quoted(Handler->Actor().Name()) +
             "?";
    },
    [](lvk::TGame&, const lvk::TIdentified* Item) {
      auto* Handler = const_cast<lvk::THandler*>(static_cast<const lvk::THandler*>(Item));
      Handler->Actor().DeleteHandler(Handler);
    },
    [](lvk::TGame&, const lvk::TIdentified* Item) -> const lvk::TIdentified* {
      auto* Handler = static_cast<const lvk::THandler*>(Item);
      return Handler->Actor().AddHandlerCopy(*Handler);
    },
    nullptr,
    nullptr,
};

// ---- Levels ----

const TItemView LevelView{
    TItemKind::Level,
    "level",
    "Levels",
    "BmpLevels18x18",
    TItemKind::Game,
    "BmpLevel18x18",
    true,
    [](const lvk::TIdentified* Item) { return QString::fromStdString(static_cast<const lvk::TLevel*>(Item)->Name()); },
    [](const lvk::TGame&, const lvk::TIdentified*) { return QPixmap(); },
    NoOwner,
    [](const lvk::TGame& Game, const lvk::TIdentified*) { return ListOf(Game.LevelCount(), &lvk::TGame::GetLevel, Game); },
    [](const lvk::TGame&, const lvk::TIdentified* Item) {
      return "Delete the level " + Quoted(static_cast<const lvk::TLevel*>(Item)->Name()) + "?";
    },
    [](lvk::TGame& Game, const lvk::TIdentified* Item) {
      Game.DeleteLevel(const_cast<lvk::TLevel*>(static_cast<const lvk::TLevel*>(Item)));
    },
    [](lvk::TGame& Game, const lvk::TIdentified* Item) -> const lvk::TIdentified* {
      return Game.DuplicateLevel(static_cast<const lvk::TLevel*>(Item));
    },
    nullptr,
    nullptr,
};

// ---- Variables ----

const TItemView VariableView{
    TItemKind::Variable,
    "variable",
    "Variables",
    "BmpVariables18x18",
    TItemKind::Game,
    "BmpVariable18x18",
    true,
    [](const lvk::TIdentified* Item) { return QString::fromStdString(static_cast<const lvk::TVariable*>(Item)->Name()); },
    [](const lvk::TGame&, const lvk::TIdentified*) { return QPixmap(); },
    NoOwner,
    [](const lvk::TGame& Game, const lvk::TIdentified*) {
      return ListOf(Game.VariableCount(), &lvk::TGame::GetVariable, Game);
    },
    [](const lvk::TGame& Game, const lvk::TIdentified* Item) {
      auto* Variable = static_cast<const lvk::TVariable*>(Item);
      QString Text = "Delete the variable " + Quoted(Variable->Name()) + "?";
      Text += ActionsGoing(Game, lvk::TValueType::Variable, Variable->Name());
      return Text;
    },
    [](lvk::TGame& Game, const lvk::TIdentified* Item) {
      Game.DeleteVariable(const_cast<lvk::TVariable*>(static_cast<const lvk::TVariable*>(Item)));
    },
    [](lvk::TGame& Game, const lvk::TIdentified* Item) -> const lvk::TIdentified* {
      return Game.DuplicateVariable(static_cast<const lvk::TVariable*>(Item));
    },
    [](const lvk::TGame& Game, const lvk::TIdentified* Item) {
      return VariableLimitReached(Game, static_cast<const lvk::TVariable*>(Item)->Scope());
    },
    [](lvk::TGame& Game, int From, int To) { Game.MoveVariable(From, To); },
};

// ---- Sounds ----

const TItemView SoundView{
    TItemKind::Sound,
    "sound",
    "Sounds",
    "BmpSounds18x18",
    TItemKind::Game,
    "BmpSound18x18",
    true,
    [](const lvk::TIdentified* Item) { return QString::fromStdString(static_cast<const lvk::TSound*>(Item)->Name()); },
    [](const lvk::TGame&, const lvk::TIdentified*) { return QPixmap(); },
    NoOwner,
    [](const lvk::TGame& Game, const lvk::TIdentified*) { return ListOf(Game.SoundCount(), &lvk::TGame::GetSound, Game); },
    [](const lvk::TGame& Game, const lvk::TIdentified* Item) {
      auto* Sound = static_cast<const lvk::TSound*>(Item);
      QString Text = "Delete the sound " + Quoted(Sound->Name()) + "?";
      QStringList Levels;
      for (int i = 0; i < Game.LevelCount(); ++i)
        if (Game.GetLevel(i)->Music() == Sound) Levels << QString::fromStdString(Game.GetLevel(i)->Name());
      if (!Levels.isEmpty())
        Text += "\n\n" + QString(Levels.size() == 1 ? "The level " : "The levels ") + Levels.join(", ") +
                (Levels.size() == 1 ? " plays it as music and will have none." : " play it as music and will have none.");
      return Text + ActionsGoing(Game, lvk::TValueType::Sound, Sound->Name());
    },
    [](lvk::TGame& Game, const lvk::TIdentified* Item) {
      Game.DeleteSound(const_cast<lvk::TSound*>(static_cast<const lvk::TSound*>(Item)));
    },
    [](lvk::TGame& Game, const lvk::TIdentified* Item) -> const lvk::TIdentified* {
      return Game.DuplicateSound(static_cast<const lvk::TSound*>(Item));
    },
    nullptr,
    nullptr,
};

// ---- Songs ----

const TItemView SongView{
    TItemKind::Song,
    "song",
    "Songs",
    "BmpSounds18x18",
    TItemKind::Game,
    "BmpSound18x18",
    true,
    [](const lvk::TIdentified* Item) { return QString::fromStdString(static_cast<const lvk::TSong*>(Item)->Name()); },
    [](const lvk::TGame&, const lvk::TIdentified*) { return QPixmap(); },
    NoOwner,
    [](const lvk::TGame& Game, const lvk::TIdentified*) { return ListOf(Game.SongCount(), &lvk::TGame::GetSong, Game); },
    [](const lvk::TGame& Game, const lvk::TIdentified* Item) {
      auto* Song = static_cast<const lvk::TSong*>(Item);
      QString Text = "Delete the song " + Quoted(Song->Name()) + "?";
      QStringList Levels;
      for (int i = 0; i < Game.LevelCount(); ++i)
        if (Game.GetLevel(i)->Song() == Song) Levels << QString::fromStdString(Game.GetLevel(i)->Name());
      if (!Levels.isEmpty())
        Text += "\n\n" + QString(Levels.size() == 1 ? "The level " : "The levels ") + Levels.join(", ") +
                (Levels.size() == 1 ? " plays it and will have no music." : " play it and will have no music.");
      return Text;
    },
    [](lvk::TGame& Game, const lvk::TIdentified* Item) {
      Game.DeleteSong(const_cast<lvk::TSong*>(static_cast<const lvk::TSong*>(Item)));
    },
    [](lvk::TGame& Game, const lvk::TIdentified* Item) -> const lvk::TIdentified* {
      return Game.DuplicateSong(static_cast<const lvk::TSong*>(Item));
    },
    nullptr,
    nullptr,
};

}  // namespace

const std::vector<const TItemView*>& ItemViews() {
  static const std::vector<const TItemView*> Views = {&TileView, &ActorView, &HandlerView, &LevelView,
                                                      &VariableView, &SoundView, &SongView};
  return Views;
}

const TItemView* ItemView(lvk::TItemKind Kind) {
  for (const TItemView* View : ItemViews())
    if (View->Kind == Kind) return View;
  return nullptr;
}
