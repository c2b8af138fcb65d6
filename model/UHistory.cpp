#include "model/UHistory.h"

#include <algorithm>
#include <functional>
#include <set>

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

TUndoHistory::TState TUndoHistory::Split(const std::string& Name, const TContent& Content,
                                         const std::vector<std::size_t>& Cuts, const TState& Like) {
  TState State{Name, {}};
  std::size_t Start = 0;
  std::vector<std::size_t> Ends;
  for (std::size_t Cut : Cuts)
    if (Cut > Start && Cut <= Content.size()) Ends.push_back(Start = Cut);
  if (Ends.empty() || Ends.back() != Content.size()) Ends.push_back(Content.size());
  const int Shift = static_cast<int>(Ends.size()) - static_cast<int>(Like.Parts.size());
  Start = 0;
  for (std::size_t i = 0; i < Ends.size(); ++i) {
    const auto First = Content.begin() + static_cast<std::ptrdiff_t>(Start);
    const auto Last = Content.begin() + static_cast<std::ptrdiff_t>(Ends[i]);
    TPart Part;
    // The record at the same place, or where one inserted or deleted
    // record before it moved it.
    for (long long Old : {static_cast<long long>(i), static_cast<long long>(i) - Shift}) {
      if (Old < 0 || Old >= static_cast<long long>(Like.Parts.size())) continue;
      const TPart& Candidate = Like.Parts[static_cast<std::size_t>(Old)];
      if (std::equal(First, Last, Candidate->begin(), Candidate->end())) {
        Part = Candidate;
        break;
      }
    }
    State.Parts.push_back(Part ? Part : std::make_shared<const TContent>(First, Last));
    Start = Ends[i];
  }
  return State;
}

TContent TUndoHistory::Joined(const TState& State) {
  TContent Content;
  std::size_t Size = 0;
  for (const TPart& Part : State.Parts) Size += Part->size();
  Content.reserve(Size);
  for (const TPart& Part : State.Parts) Content.insert(Content.end(), Part->begin(), Part->end());
  return Content;
}

bool TUndoHistory::Same(const TState& State, const TContent& Content) {
  std::size_t At = 0;
  for (const TPart& Part : State.Parts) {
    if (Part->size() > Content.size() - At ||
        !std::equal(Part->begin(), Part->end(), Content.begin() + static_cast<std::ptrdiff_t>(At)))
      return false;
    At += Part->size();
  }
  return At == Content.size();
}

void TUndoHistory::Reset(const TContent& Content, const std::vector<std::size_t>& Cuts) {
  FStates.assign(1, Split({}, Content, Cuts, TState{}));
  FPosition = 0;
  FSaved = 0;
  FDropped = 0;
}

bool TUndoHistory::Record(const std::string& Name, const TContent& Content, bool Merge,
                          const std::vector<std::size_t>& Cuts) {
  if (IsCurrent(Content)) return false;
  if (Merge && CanUndo() && !CanRedo() && FSaved != FPosition && FStates[FPosition].Name == Name) {
    if (Same(FStates[FPosition - 1], Content)) {
      FStates.pop_back();
      --FPosition;
    } else
      FStates[FPosition] = Split(Name, Content, Cuts, FStates[FPosition - 1]);
    return true;
  }
  TState State = Split(Name, Content, Cuts, FStates[FPosition]);
  FStates.resize(FPosition + 1);
  if (FSaved > FPosition) FSaved = -1;  // the saved state could only be redone; it is gone now
  FStates.push_back(std::move(State));
  ++FPosition;
  if (StepCount() > FMaxSteps) {
    FStates.erase(FStates.begin());
    --FPosition;
    ++FDropped;
    if (FSaved >= 0) --FSaved;
  }
  return true;
}

const std::string& TUndoHistory::UndoName() const { return CanUndo() ? FStates[FPosition].Name : NoName; }

const std::string& TUndoHistory::RedoName() const { return CanRedo() ? FStates[FPosition + 1].Name : NoName; }

TContent TUndoHistory::Undo() {
  Assert(CanUndo(), Unit);
  return Joined(FStates[--FPosition]);
}

TContent TUndoHistory::Redo() {
  Assert(CanRedo(), Unit);
  return Joined(FStates[++FPosition]);
}

std::size_t TUndoHistory::StoredBytes() const {
  std::set<const TContent*> Seen;
  std::size_t Bytes = 0;
  for (const TState& State : FStates)
    for (const TPart& Part : State.Parts)
      if (Seen.insert(Part.get()).second) Bytes += Part->size();
  return Bytes;
}

namespace {

// The bytes Write writes.
template <typename TWrite>
TContent Written(const TWrite& Write) {
  TMemoryStream Stream;
  TWriter Writer(Stream);
  Write(Stream, Writer);
  Writer.FlushBuffer();
  return Stream.Bytes();
}

// An item's bytes as the project file has them.
template <typename T>
TContent Stored(const T& Item) {
  return Written([&](TStream& Stream, TWriter& Writer) { Item.SaveToStream(Stream, Writer); });
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
    return Written([&](TStream& Stream, TWriter& Writer) { Action.WriteParams(Stream, Writer); });
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
