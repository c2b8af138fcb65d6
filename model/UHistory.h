#pragma once
// The undo history of a document: the content after every step, from the
// state it was opened or created in to the newest step. Undo and redo move a
// position through the list; a new step drops what could be redone. The
// oldest steps go when the list is full. A state is kept as its records
// (cut where the game's content says), and a record a step left as it was
// is shared with the state before, so a step costs about what it changed.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/UItemId.h"

namespace lvk {

using TContent = std::vector<std::uint8_t>;

// Which item a record of a state holds: its kind, its id and, for a handler
// or an action, the id of the actor or handler it belongs to.
struct TRecordKey {
  TItemKind Kind = TItemKind::Game;
  TItemId Id = NoItem;
  TItemId Parent = NoItem;
  bool operator==(const TRecordKey&) const = default;
};

// One record of a state as the history keeps it (shared, never changed).
struct TRecordView {
  TRecordKey Key;
  std::shared_ptr<const TContent> Bytes;
};

class TUndoHistory {
public:
  static constexpr int DefaultMaxSteps = 200;
  explicit TUndoHistory(int MaxSteps = DefaultMaxSteps) : FMaxSteps(MaxSteps < 1 ? 1 : MaxSteps) {}

  // A document as opened, created or saved: the only state, the saved one.
  // Keys, when given, name the record before each cut and the last one.
  void Reset(const TContent& Content, const std::vector<std::size_t>& Cuts = {},
             const std::vector<TRecordKey>& Keys = {});
  // A step to Content, unless that is the current content. True for a step.
  // A step with a MergeKey puts Content into the newest step instead when
  // that step has the same key and nothing could be redone, as typing in
  // one field is one step; a step merged back to where it started goes
  // away. The saved state is never merged into, nor any step when MayMerge
  // is false (the new step still takes the key for the steps after it).
  // Content equal to the current state's takes Keys there (the same
  // content with other ids, as after deleting an item and making its like).
  bool Record(const std::string& Name, const TContent& Content, const std::string& MergeKey = {},
              const std::vector<std::size_t>& Cuts = {}, bool MayMerge = true,
              const std::vector<TRecordKey>& Keys = {});
  // The same with the state given as its records, which the history keeps
  // as they are (shared with the states that hold them too): a step stores
  // only the records its edit wrote.
  void Reset(const std::vector<TRecordView>& Records);
  bool Record(const std::string& Name, const std::vector<TRecordView>& Records, const std::string& MergeKey = {},
              bool MayMerge = true);
  bool IsCurrent(const std::vector<TRecordView>& Records) const { return Same(FStates[FPosition], Records); }
  // The current state's records with their keys (given with the content).
  std::vector<TRecordView> CurrentRecords() const;
  // Whether Record with MergeKey would merge into the newest step.
  bool WouldMerge(const std::string& MergeKey) const;

  bool CanUndo() const { return FPosition > 0; }
  bool CanRedo() const { return FPosition + 1 < static_cast<int>(FStates.size()); }
  // The names of the steps Undo and Redo would take.
  const std::string& UndoName() const;
  const std::string& RedoName() const;
  // Move one step and give the content to show then.
  TContent Undo();
  TContent Redo();
  TContent Current() const { return Joined(FStates[FPosition]); }
  bool IsCurrent(const TContent& Content) const { return Same(FStates[FPosition], Content); }

  int Position() const { return FPosition; }
  // How many of the oldest states went for newer ones: Position() +
  // Dropped() stays the same for a state however many went since.
  int Dropped() const { return FDropped; }
  int StepCount() const { return static_cast<int>(FStates.size()) - 1; }
  // How many changes were recorded, merged ones included: a change merged
  // into the step before counts although no step was added.
  long Records() const { return FRecords; }
  int MaxSteps() const { return FMaxSteps; }

  // The current state is the one in the file; the document is unchanged
  // exactly when the position is back there.
  void MarkSaved();
  bool AtSaved() const { return FSaved == FPosition; }
  // Whether the current content is the saved content, also when it came
  // back there by other steps or the saved state left the list.
  bool CurrentIsSaved() const;
  // The bytes the history holds, each shared record once.
  std::size_t StoredBytes() const;

private:
  using TPart = std::shared_ptr<const TContent>;
  struct TState {
    std::string Name;  // of the step that led here
    std::string MergeKey;
    std::vector<TPart> Parts;
    std::vector<TRecordKey> Keys;  // one a part, or none
  };
  // Content cut into records, each shared with Like where equal.
  static TState Split(const std::string& Name, const TContent& Content, const std::vector<std::size_t>& Cuts,
                      const TState& Like, const std::vector<TRecordKey>& Keys = {});
  static TContent Joined(const TState& State);
  static bool Same(const TState& State, const TContent& Content);
  static bool Same(const TState& State, const std::vector<TRecordView>& Records);
  static bool Same(const TState& A, const TState& B);
  static TState FromRecords(const std::string& Name, const std::vector<TRecordView>& Records);
  // Puts the step State after the current state (or into it, merging).
  bool Add(TState State, const std::string& MergeKey, bool MayMerge);
  int FMaxSteps;
  std::vector<TState> FStates{TState{}};
  int FPosition = 0;
  int FSaved = 0;  // -1 once the saved state left the list or could no longer be redone
  TState FSavedState;  // the saved content, kept also when it left the list
  int FDropped = 0;
  long FRecords = 0;
};

}  // namespace lvk
