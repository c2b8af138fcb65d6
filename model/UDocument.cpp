#include "model/UDocument.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "model/UErrors.h"
#include "model/UGame.h"

namespace lvk {

namespace {
constexpr const char* Unit = "UDocument";
}

TDocument::TDocument() { New(); }

TDocument::~TDocument() {
  if (FGame) FGame->FDocument = nullptr;
}

void TDocument::Tell(const TChange& Change) {
  // A listener may leave (or another come) while it hears of a change.
  const std::vector<TDocumentListener*> Listeners = FListeners;
  for (TDocumentListener* Listener : Listeners)
    if (std::find(FListeners.begin(), FListeners.end(), Listener) != FListeners.end())
      Listener->DocumentChanged(Change);
}

void TDocument::AddListener(TDocumentListener* Listener) { FListeners.push_back(Listener); }

void TDocument::RemoveListener(TDocumentListener* Listener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), Listener), FListeners.end());
}

void TDocument::Notice(const TChange& Change) {
  Assert(Editing(), Unit);
  // Putting content back tells of it once, when all of it is back; the
  // records it reads are the history's already.
  if (FRestoring > 0) return;
  if (Change.Id == NoItem)
    FHeadChanged = true;
  else
    FChanged.insert(Change.Id);
  Tell(Change);
}

bool TDocument::StepChecks = false;

std::vector<TRecordView> TDocument::ChangedRecords() const {
  const std::vector<TRecordView> Before = FHistory.CurrentRecords();
  // An action tells of its change through its handler.
  std::vector<TRecordView> Records = FGame->StateRecords(Before, [&](const TRecordKey& Key) {
    if (Key.Id == NoItem) return FHeadChanged;
    return FChanged.count(Key.Id) > 0 || (Key.Kind == TItemKind::Action && FChanged.count(Key.Parent) > 0);
  });
  if (StepChecks) {
    // Every record not written must be the one all writing gives. The edit
    // ends in a destructor that lets nothing out: a difference stops the
    // program, which a test or the monkey reports.
    const std::vector<TRecordView> All = FGame->StateRecords({}, [](const TRecordKey&) { return true; });
    for (std::size_t i = 0; i < All.size() || i < Records.size(); ++i)
      if (i >= All.size() || i >= Records.size() || !(All[i].Key == Records[i].Key) || *All[i].Bytes != *Records[i].Bytes) {
        std::fprintf(stderr, "Step \"%s\": record %zu (item %u) changed without a notice\n", FEditName.c_str(), i,
                     i < All.size() ? All[i].Key.Id : 0u);
        std::abort();
      }
  }
  return Records;
}

void TDocument::ForgetChanges() {
  FChanged.clear();
  FHeadChanged = false;
}

void TDocument::Replace(std::unique_ptr<TGame> Game) {
  std::unique_ptr<TGame> Old = std::move(FGame);
  FGame = std::move(Game);
  FGame->FDocument = this;
  if (Old) Old->FDocument = nullptr;
  // The old game lives on until every listener has let go of its items.
  Tell({TChangeKind::Replaced, TItemKind::Game, NoItem});
}

void TDocument::StartHistory() {
  FHistory.Reset(FGame->StateRecords({}, [](const TRecordKey&) { return true; }));
  ForgetChanges();
  FSavedFileName = FGame->FileName();
  FScopeStart = FScopeEnd = Reached();
}

void TDocument::UpdateModified() {
  FGame->SetModified(!(FHistory.CurrentIsSaved() && FGame->FileName() == FSavedFileName));
}

bool TDocument::Modified() const { return FGame->Modified(); }

void TDocument::New() {
  Replace(std::make_unique<TGame>());
  StartHistory();
  UpdateModified();
  Tell({TChangeKind::Saved, TItemKind::Game, NoItem});
}

void TDocument::Open(const std::string& FileName, bool AsCopy) {
  auto Loaded = std::make_unique<TGame>();
  Loaded->LoadFromFile(FileName);
  if (AsCopy) Loaded->FFileName = NoFileName;
  Replace(std::move(Loaded));
  StartHistory();
  UpdateModified();
  Tell({TChangeKind::Saved, TItemKind::Game, NoItem});
}

void TDocument::Save() {
  try {
    FGame->Save();
  } catch (...) {
    UpdateModified();
    Tell({TChangeKind::Saved, TItemKind::Game, NoItem});
    throw;
  }
  FHistory.MarkSaved();
  FSavedFileName = FGame->FileName();
  UpdateModified();
  Tell({TChangeKind::Saved, TItemKind::Game, NoItem});
}

void TDocument::SaveAs(const std::string& FileName) {
  FGame->SetFileName(FileName);  // the name is no content: no edit, no step
  Save();
}

bool TDocument::CanUndo() const { return FHistory.CanUndo() && (!InScope() || Reached() > FScopeStart); }

bool TDocument::CanRedo() const { return FHistory.CanRedo() && (!InScope() || Reached() < FScopeEnd); }

std::string TDocument::UndoName() const { return CanUndo() ? FHistory.UndoName() : std::string(); }

std::string TDocument::RedoName() const { return CanRedo() ? FHistory.RedoName() : std::string(); }

bool TDocument::Undo() {
  if (!CanUndo() || Editing()) return false;
  const std::vector<TRecordView> From = FHistory.CurrentRecords();
  FHistory.Undo();
  Restore(From, FHistory.CurrentRecords());
  UpdateModified();
  Tell({TChangeKind::Edited, TItemKind::Game, NoItem});
  return true;
}

bool TDocument::Redo() {
  if (!CanRedo() || Editing()) return false;
  const std::vector<TRecordView> From = FHistory.CurrentRecords();
  FHistory.Redo();
  Restore(From, FHistory.CurrentRecords());
  UpdateModified();
  Tell({TChangeKind::Edited, TItemKind::Game, NoItem});
  return true;
}

void TDocument::Restore(const std::vector<TRecordView>& From, const std::vector<TRecordView>& To) {
  std::vector<TChange> Later;
  bool Any = false;
  ++FRestoring;
  try {
    // A removal is told before the item goes; the rest once all stands.
    FGame->ApplyState(From, To, [&](const TChange& Change) {
      Any = true;
      if (Change.Kind == TChangeKind::Removing)
        Tell(Change);
      else
        Later.push_back(Change);
    });
  } catch (...) {
    --FRestoring;
    // A record that could not be read back (memory ran out): build the
    // state whole in a new game rather than leave this one half done.
    auto Built = std::make_unique<TGame>();
    Built->FFileName = FGame->FFileName;
    Built->FRevision = FGame->FRevision;
    Built->FEditTime = FGame->FEditTime;
    Built->FLastTouch = FGame->FLastTouch;
    Built->ApplyState({}, To, [](const TChange&) {});
    Replace(std::move(Built));
    ForgetChanges();
    return;
  }
  --FRestoring;
  ForgetChanges();
  FGame->MarkModified();
  for (const TChange& Change : Later) Tell(Change);
  if (Any) Tell({TChangeKind::Refreshed, TItemKind::Game, NoItem});
}

bool TDocument::MayMerge() const {
  // Typing merges into the step before, but not into one made before a
  // modal editor's scope opened: undo there stops at the scope.
  return !InScope() || Reached() > FScopeStart;
}

void TDocument::BeginScope() {
  if (FScopeDepth++ == 0) FScopeStart = FScopeEnd = Reached();
}

void TDocument::EndScope() {
  if (FScopeDepth > 0) --FScopeDepth;
  Tell({TChangeKind::Edited, TItemKind::Game, NoItem});
}

void TDocument::BeginEdit(const std::string& Name, const std::string& MergeKey) {
  if (FEditDepth++ > 0) return;
  FEditName = Name;
  FEditKey = MergeKey;
}

void TDocument::EndEdit(bool Failed) noexcept {
  if (--FEditDepth > 0) return;
  try {
    const std::vector<TRecordView> Records = ChangedRecords();
    ForgetChanges();
    if (Failed) {
      // The game as it is now, against the state before the edit.
      if (!FHistory.IsCurrent(Records)) Restore(Records, FHistory.CurrentRecords());
    } else if (FHistory.Record(FEditName, Records, FEditKey, MayMerge()) && InScope()) {
      FScopeEnd = Reached();
    }
    UpdateModified();
    Tell({TChangeKind::Edited, TItemKind::Game, NoItem});
  } catch (...) {
    // Out of memory taking the content: the change stays without a step;
    // the next edit's step takes it along, as every record is written then.
    FHeadChanged = true;
    for (const TRecordKey& Key : FGame->RecordKeys()) FChanged.insert(Key.Id);
  }
}

TEdit::TEdit(TGame& Game, const std::string& Name, const std::string& MergeKey)
    : FDocument(Game.Document()), FExceptions(std::uncaught_exceptions()) {
  if (FDocument) FDocument->BeginEdit(Name, MergeKey);
}

TEdit::~TEdit() {
  if (FDocument) FDocument->EndEdit(std::uncaught_exceptions() > FExceptions);
}

}  // namespace lvk
