#include "model/UHistory.h"

#include <functional>

#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UStream.h"

namespace lvk {

namespace {
constexpr const char* Unit = "UHistory";
const std::string NoName;
}  // namespace

void TUndoHistory::Reset(TContent Content) {
  FStates.assign(1, TState{{}, std::move(Content)});
  FPosition = 0;
  FSaved = 0;
}

bool TUndoHistory::Record(const std::string& Name, TContent Content, bool Merge) {
  if (Content == Current()) return false;
  if (Merge && CanUndo() && !CanRedo() && FSaved != FPosition && FStates[FPosition].Name == Name) {
    if (Content == FStates[FPosition - 1].Content) {
      FStates.pop_back();
      --FPosition;
    } else
      FStates[FPosition].Content = std::move(Content);
    return true;
  }
  FStates.resize(FPosition + 1);
  if (FSaved > FPosition) FSaved = -1;  // the saved state could only be redone; it is gone now
  FStates.push_back(TState{Name, std::move(Content)});
  ++FPosition;
  if (StepCount() > FMaxSteps) {
    FStates.erase(FStates.begin());
    --FPosition;
    if (FSaved >= 0) --FSaved;
  }
  return true;
}

const std::string& TUndoHistory::UndoName() const { return CanUndo() ? FStates[FPosition].Name : NoName; }

const std::string& TUndoHistory::RedoName() const { return CanRedo() ? FStates[FPosition + 1].Name : NoName; }

const TContent& TUndoHistory::Undo() {
  Assert(CanUndo(), Unit);
  return FStates[--FPosition].Content;
}

const TContent& TUndoHistory::Redo() {
  Assert(CanRedo(), Unit);
  return FStates[++FPosition].Content;
}

namespace {

// An item's bytes as the project file has them.
template <typename T>
TContent Stored(const T& Item) {
  TMemoryStream Stream;
  TWriter Writer(Stream);
  Item.SaveToStream(Stream, Writer);
  Writer.FlushBuffer();
  return Stream.Bytes();
}

// The name for a list of Count items that grew, shrank or changed inside.
// Changed tells which of two items at an index differ, and how.
std::string ListChange(int BeforeCount, int AfterCount, const std::string& Noun,
                       const std::function<std::string(int)>& Changed) {
  if (AfterCount > BeforeCount) return "New " + Noun;
  if (AfterCount < BeforeCount) return "Delete " + Noun;
  for (int i = 0; i < AfterCount; ++i)
    if (std::string Name = Changed(i); !Name.empty()) return Name;
  return {};
}

bool SameAction(const TActionBase& A, const TActionBase& B) {
  if (&A.Kind() != &B.Kind()) return false;
  auto Params = [](const TActionBase& Action) {
    TMemoryStream Stream;
    TWriter Writer(Stream);
    Action.WriteParams(Stream, Writer);
    Writer.FlushBuffer();
    return Stream.Bytes();
  };
  return Params(A) == Params(B);
}

std::string HandlerChange(const THandler& Before, const THandler& After) {
  const TEventBase* B = Before.Event();
  const TEventBase* A = After.Event();
  if ((B == nullptr) != (A == nullptr) || (A && &A->Kind() != &B->Kind())) return "Change event";
  if (A && A->Summary() != B->Summary()) return "Change event settings";
  if (After.ActionCount() > Before.ActionCount()) return "Add action";
  if (After.ActionCount() < Before.ActionCount()) return "Delete action";
  int Differ = 0;
  for (int i = 0; i < After.ActionCount(); ++i)
    if (!SameAction(*After.GetAction(i), *Before.GetAction(i))) ++Differ;
  if (Differ == 1) return "Edit action";
  if (Differ > 1) return "Move action";
  if (Stored(After) != Stored(Before)) return "Change event settings";
  return {};
}

}  // namespace

std::string ChangeName(const TGame& Before, const TGame& After) {
  if (Before.Title() != After.Title()) return "Change title";
  if (Stored(Before.Palette()) != Stored(After.Palette())) return "Edit palette";
  std::string Name = ListChange(Before.TileCount(), After.TileCount(), "tile", [&](int i) -> std::string {
    const TTile& B = *Before.GetTile(i);
    const TTile& A = *After.GetTile(i);
    if (B.Name() != A.Name()) return "Rename tile";
    if (Stored(B) != Stored(A)) return "Import tile";
    return {};
  });
  if (Name.empty())
    Name = ListChange(Before.ActorCount(), After.ActorCount(), "actor", [&](int i) -> std::string {
      const TActor& B = *Before.GetActor(i);
      const TActor& A = *After.GetActor(i);
      if (B.Name() != A.Name()) return "Rename actor";
      if ((B.Tile() ? B.Tile()->Name() : "") != (A.Tile() ? A.Tile()->Name() : "")) return "Change actor's tile";
      return ListChange(B.HandlerCount(), A.HandlerCount(), "handler",
                        [&](int h) { return HandlerChange(*B.GetHandler(h), *A.GetHandler(h)); });
    });
  if (Name.empty())
    Name = ListChange(Before.LevelCount(), After.LevelCount(), "level", [&](int i) -> std::string {
      const TLevel& B = *Before.GetLevel(i);
      const TLevel& A = *After.GetLevel(i);
      if (B.Name() != A.Name()) return "Rename level";
      if (B.Width() != A.Width() || B.Height() != A.Height()) return "Resize level";
      if (Stored(B) != Stored(A)) return "Edit level layout";
      return {};
    });
  return Name.empty() ? "Change" : Name;
}

}  // namespace lvk
