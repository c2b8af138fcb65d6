#include "model/UHistory.h"

#include <algorithm>
#include <set>
#include <unordered_map>

#include "model/UErrors.h"

namespace lvk {

namespace {
constexpr const char* Unit = "UHistory";
const std::string NoName;
}  // namespace

TUndoHistory::TState TUndoHistory::Split(const std::string& Name, const TContent& Content,
                                         const std::vector<std::size_t>& Cuts, const TState& Like,
                                         const std::vector<TRecordKey>& Keys) {
  TState State{Name, {}, {}, {}};
  std::size_t Start = 0;
  std::vector<std::size_t> Ends;
  for (std::size_t Cut : Cuts)
    if (Cut > Start && Cut <= Content.size()) Ends.push_back(Start = Cut);
  if (Ends.empty() || Ends.back() != Content.size()) Ends.push_back(Content.size());
  const int Shift = static_cast<int>(Ends.size()) - static_cast<int>(Like.Parts.size());
  // With keys, an item's record is shared with its own record before,
  // wherever that stood.
  const bool Keyed = Keys.size() == Ends.size() && Like.Keys.size() == Like.Parts.size();
  std::unordered_map<TItemId, std::size_t> LikeAt;
  if (Keyed)
    for (std::size_t i = 0; i < Like.Keys.size(); ++i)
      if (Like.Keys[i].Id != NoItem) LikeAt.emplace(Like.Keys[i].Id, i);
  if (Keys.size() == Ends.size()) State.Keys = Keys;
  Start = 0;
  for (std::size_t i = 0; i < Ends.size(); ++i) {
    const auto First = Content.begin() + static_cast<std::ptrdiff_t>(Start);
    const auto Last = Content.begin() + static_cast<std::ptrdiff_t>(Ends[i]);
    TPart Part;
    if (Keyed && Keys[i].Id != NoItem) {
      const auto Found = LikeAt.find(Keys[i].Id);
      if (Found != LikeAt.end() && Like.Keys[Found->second] == Keys[i]) {
        const TPart& Candidate = Like.Parts[Found->second];
        if (std::equal(First, Last, Candidate->begin(), Candidate->end())) Part = Candidate;
      }
    }
    // The record at the same place, or where one inserted or deleted
    // record before it moved it.
    for (long long Old : {static_cast<long long>(i), static_cast<long long>(i) - Shift}) {
      if (Part) break;
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

bool TUndoHistory::Same(const TState& State, const std::vector<TRecordView>& Records) {
  if (State.Keys.size() != State.Parts.size() || State.Parts.size() != Records.size()) {
    TContent Content;
    for (const TRecordView& R : Records) Content.insert(Content.end(), R.Bytes->begin(), R.Bytes->end());
    return Same(State, Content);
  }
  // Record by record: equal bytes are the same content, whatever the ids.
  for (std::size_t i = 0; i < Records.size(); ++i)
    if (State.Parts[i] != Records[i].Bytes && *State.Parts[i] != *Records[i].Bytes) return false;
  return true;
}

bool TUndoHistory::Same(const TState& A, const TState& B) {
  // Both cut into one record an item: equal when every record is.
  if (A.Keys.size() == A.Parts.size() && B.Keys.size() == B.Parts.size() && !A.Keys.empty() && !B.Keys.empty()) {
    if (A.Parts.size() != B.Parts.size()) return false;
    for (std::size_t i = 0; i < A.Parts.size(); ++i)
      if (A.Parts[i] != B.Parts[i] && *A.Parts[i] != *B.Parts[i]) return false;
    return true;
  }
  return Same(A, Joined(B));
}

TUndoHistory::TState TUndoHistory::FromRecords(const std::string& Name, const std::vector<TRecordView>& Records) {
  TState State{Name, {}, {}, {}};
  State.Parts.reserve(Records.size());
  State.Keys.reserve(Records.size());
  for (const TRecordView& R : Records) {
    State.Parts.push_back(R.Bytes);
    State.Keys.push_back(R.Key);
  }
  return State;
}

void TUndoHistory::Reset(const std::vector<TRecordView>& Records) {
  FStates.assign(1, FromRecords({}, Records));
  FPosition = 0;
  FSaved = 0;
  FSavedState = FStates[0];
  FDropped = 0;
}

bool TUndoHistory::Record(const std::string& Name, const std::vector<TRecordView>& Records,
                          const std::string& MergeKey, bool MayMerge) {
  if (IsCurrent(Records)) {
    FStates[FPosition].Keys = FromRecords({}, Records).Keys;
    return false;
  }
  return Add(FromRecords(Name, Records), MergeKey, MayMerge);
}

void TUndoHistory::Reset(const TContent& Content, const std::vector<std::size_t>& Cuts,
                         const std::vector<TRecordKey>& Keys) {
  FStates.assign(1, Split({}, Content, Cuts, TState{}, Keys));
  FPosition = 0;
  FSaved = 0;
  FSavedState = FStates[0];
  FDropped = 0;
}

void TUndoHistory::MarkSaved() {
  FSaved = FPosition;
  FSavedState = FStates[FPosition];
}

bool TUndoHistory::CurrentIsSaved() const {
  if (FSaved == FPosition) return true;
  const TState& Now = FStates[FPosition];
  return Same(Now, FSavedState);
}

bool TUndoHistory::WouldMerge(const std::string& MergeKey) const {
  return !MergeKey.empty() && CanUndo() && !CanRedo() && FSaved != FPosition &&
         FStates[FPosition].MergeKey == MergeKey;
}

bool TUndoHistory::Record(const std::string& Name, const TContent& Content, const std::string& MergeKey,
                          const std::vector<std::size_t>& Cuts, bool MayMerge, const std::vector<TRecordKey>& Keys) {
  if (IsCurrent(Content)) {
    TState& Now = FStates[FPosition];
    if (Keys.size() == Now.Parts.size()) Now.Keys = Keys;
    return false;
  }
  const bool Merging = MayMerge && WouldMerge(MergeKey);
  return Add(Split(Name, Content, Cuts, FStates[Merging ? FPosition - 1 : FPosition], Keys), MergeKey, MayMerge);
}

bool TUndoHistory::Add(TState State, const std::string& MergeKey, bool MayMerge) {
  ++FRecords;
  if (MayMerge && WouldMerge(MergeKey)) {
    if (Same(FStates[FPosition - 1], State)) {
      FStates.pop_back();
      --FPosition;
    } else {
      State.MergeKey = MergeKey;
      FStates[FPosition] = std::move(State);
    }
    return true;
  }
  State.MergeKey = MergeKey;
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

std::vector<TRecordView> TUndoHistory::CurrentRecords() const {
  const TState& State = FStates[FPosition];
  std::vector<TRecordView> Result;
  Result.reserve(State.Parts.size());
  for (std::size_t i = 0; i < State.Parts.size(); ++i)
    Result.push_back({i < State.Keys.size() ? State.Keys[i] : TRecordKey{}, State.Parts[i]});
  return Result;
}

std::size_t TUndoHistory::StoredBytes() const {
  std::set<const TContent*> Seen;
  std::size_t Bytes = 0;
  for (const TState& State : FStates)
    for (const TPart& Part : State.Parts)
      if (Seen.insert(Part.get()).second) Bytes += Part->size();
  return Bytes;
}

}  // namespace lvk
