#pragma once
// The document: the one owner of the game being edited, its undo history,
// its file and its saved state. Code changes the game only inside an edit
// (TEdit below) named after the step it makes; the outermost edit records
// one undo step when it ends (none when the content is as before). While
// the game belongs to a document, a change outside an edit is a programming
// error (an assertion failure, unit UDocument), so no change can miss its
// step.
//
// Listeners hear of every change as it happens (an item added, about to be
// removed, renamed or changed), of the game put back in place or replaced by
// undo, New and Open, of every edit's end and of every save; views follow
// these notices instead of patching each other. The document knows no view.
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "model/UChange.h"
#include "model/UHistory.h"
#include "support/UMemWatch.h"

namespace lvk {

class TGame;

class TDocument {
public:
  LVK_COUNTED
  // An empty game, saved under no name.
  TDocument();
  ~TDocument();
  TDocument(const TDocument&) = delete;
  TDocument& operator=(const TDocument&) = delete;

  // Replaced by New and Open only: undo and redo keep the game and every
  // item whose record they leave as it was.
  TGame& Game() const { return *FGame; }

  // Files. New and Open start a new history. Open loads beside the open
  // game and takes its place only when the load succeeded; a failure raises
  // and leaves everything as it was. As a copy, the game opened has no file
  // name yet (Save asks for one) and counts as saved until changed.
  void New();
  void Open(const std::string& FileName, bool AsCopy = false);
  // Save raises what the game's save raised, the document then still
  // changed; Save As keeps the new name also after a failure.
  void Save();
  void SaveAs(const std::string& FileName);
  // The game differs from what its file holds (or, unsaved, from what it
  // was when created or opened as a copy).
  bool Modified() const;

  // Undo and redo. Inside a modal editor's scope only the steps made since
  // it opened can be undone and redone.
  bool CanUndo() const;
  bool CanRedo() const;
  // The name of the step Undo or Redo would take, or empty.
  std::string UndoName() const;
  std::string RedoName() const;
  bool Undo();
  bool Redo();
  const TUndoHistory& History() const { return FHistory; }
  void BeginScope();
  void EndScope();
  bool InScope() const { return FScopeDepth > 0; }

  // True inside an edit, and while the document itself puts content back.
  bool Editing() const { return FEditDepth > 0 || FRestoring > 0; }

  void AddListener(TDocumentListener* Listener);
  void RemoveListener(TDocumentListener* Listener);

  // A step writes the records of the items told of as changed during its
  // edit and takes the others from the step before. With StepChecks every
  // step also writes all records and fails (assertion, unit UDocument) on
  // any that differs: a change that told no one. Tests and the monkey
  // turn it on.
  static bool StepChecks;

private:
  friend class TEdit;
  friend class TGame;
  void BeginEdit(const std::string& Name, const std::string& MergeKey);
  // Ends an edit; the outermost records the step, or with Failed puts the
  // game back as it was before the edit.
  void EndEdit(bool Failed) noexcept;
  // From the game: a change of its content.
  void Notice(const TChange& Change);
  void Tell(const TChange& Change);
  // Makes the game's records To where they are From, record by record in
  // place (TGame::ApplyState), and tells the listeners.
  void Restore(const std::vector<TRecordView>& From, const std::vector<TRecordView>& To);
  void Replace(std::unique_ptr<TGame> Game);
  void StartHistory();
  // The game's records after an edit, as ChangedRecords' notices say.
  std::vector<TRecordView> ChangedRecords() const;
  void ForgetChanges();
  bool MayMerge() const;
  void UpdateModified();
  // Positions counted from the first state ever recorded, as the oldest
  // states leave a full history.
  int Reached() const { return FHistory.Position() + FHistory.Dropped(); }

  std::unique_ptr<TGame> FGame;
  TUndoHistory FHistory;
  std::string FSavedFileName;
  std::vector<TDocumentListener*> FListeners;
  int FEditDepth = 0;
  int FRestoring = 0;
  std::string FEditName;
  std::string FEditKey;
  int FScopeDepth = 0;
  int FScopeStart = 0;  // where the scope opened
  int FScopeEnd = 0;    // the furthest step reached inside it
  // What the open edit changed: the ids told of, and the head (title and
  // palette).
  std::unordered_set<TItemId> FChanged;
  bool FHeadChanged = false;
};

// One edit: opened on the game's document with the name of the step it
// makes ("Rename tile") and, for typing in one field, a merge key that makes
// consecutive edits with that key one step. Edits opened inside an edit
// join it. When an exception leaves the outermost edit, the game is put back
// as it was before the edit, and the exception goes on. A game without a
// document (a scratch or test game) is changed directly.
class TEdit {
public:
  TEdit(TGame& Game, const std::string& Name, const std::string& MergeKey = {});
  ~TEdit();
  TEdit(const TEdit&) = delete;
  TEdit& operator=(const TEdit&) = delete;

private:
  TDocument* FDocument;
  int FExceptions;
};

}  // namespace lvk
