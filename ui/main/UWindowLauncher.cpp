#include "ui/main/UWindowLauncher.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UActor.h"
#include "model/UTile.h"
#include "ui/common/FAbout.h"
#include "ui/building/FBuild.h"
#include "ui/common/FCredits.h"
#include "ui/events/FEventSelector.h"
#include "ui/editors/FLevelEditor.h"
#include "ui/editors/FPainter.h"
#include "ui/editors/FPaletteEditor.h"
#include "ui/editors/FSongEditor.h"
#include "ui/play/FPlay.h"
#include "ui/common/UDialogService.h"
#include "ui/common/UTileFiles.h"
#include "ui/main/UDocumentSession.h"
#include "ui/building/URunImage.h"

namespace {

// An undo scope for as long as a modal editor is open.
class TScope {
public:
  explicit TScope(lvk::TDocument& Document) : FDocument(Document) { FDocument.BeginScope(); }
  ~TScope() { FDocument.EndScope(); }
  TScope(const TScope&) = delete;
  TScope& operator=(const TScope&) = delete;

private:
  lvk::TDocument& FDocument;
};

}  // namespace

TWindowLauncher::TWindowLauncher(QWidget* Window, TDocumentSession& Session, QString RootFolder)
    : QObject(Window), FWindow(Window), FSession(Session), FRootFolder(std::move(RootFolder)) {}

void TWindowLauncher::EditPalette() {
  TfrmPaletteEditor Editor(FWindow);
  Editor.SetPalette(&FSession.Game().Palette());
  TScope Scope(FSession.Document());
  auto Shown = [&Editor] {
    Editor.SyncCurrentColor();
    Editor.grdPalette->viewport()->update();
  };
  // Undo and redo keep the game: the editor shows the palette as it is
  // after each.
  const QMetaObject::Connection Follow =
      connect(&FSession, &TDocumentSession::Changed, &Editor, [Shown](const lvk::TChange& Change) {
        if (Change.Item == lvk::TItemKind::Palette || Change.Kind == lvk::TChangeKind::Edited) Shown();
      });
  FSession.InstallUndoKeys(&Editor, Shown);
  Editor.exec();
  disconnect(Follow);
}

void TWindowLauncher::EditLevelLayout(lvk::TLevel& Level) {
  TfrmLevelEditor Editor(FWindow);
  Editor.SetLevel(&Level);
  int Index = 0;
  for (int i = 0; i < FSession.Game().LevelCount(); ++i)
    if (FSession.Game().GetLevel(i) == &Level) Index = i;
  TScope Scope(FSession.Document());
  // The editor shows its level as the model has it after every change,
  // undo and redo included; a level that goes closes it.
  const lvk::TItemId Shown = Level.Id();
  const QMetaObject::Connection Follow =
      connect(&FSession, &TDocumentSession::Changed, &Editor, [&Editor, Shown](const lvk::TChange& Change) {
        if (Change.Kind == lvk::TChangeKind::Removing && Change.Id == Shown) {
          Editor.FollowLevel(nullptr);
          Editor.reject();
        } else {
          Editor.Follow(Change);
        }
      });
  FSession.InstallUndoKeys(&Editor, [&Editor] { Editor.ShowUndone(); });
  // The play window of a modal editor must be its child, or the editor
  // would keep its keys from it; it goes back to the main window after.
  Editor.SetPlay([this, &Editor, Index] { Play(Index, &Editor); });
  Editor.exec();
  disconnect(Follow);
  if (FPlay && FPlay->parentWidget() == &Editor) {
    const bool Shown = FPlay->isVisible();
    FPlay->setParent(FWindow, FPlay->windowFlags());
    if (Shown) FPlay->show();
  }
}

void TWindowLauncher::EditSong(lvk::TSong& Song) {
  TfrmSongEditor Editor(FWindow);
  Editor.SetSong(FSession.Game(), Song);
  TScope Scope(FSession.Document());
  const lvk::TItemId Shown = Song.Id();
  const QMetaObject::Connection Follow =
      connect(&FSession, &TDocumentSession::Changed, &Editor, [&Editor, Shown](const lvk::TChange& Change) {
        if (Change.Kind == lvk::TChangeKind::Removing && Change.Id == Shown)
          Editor.reject();
        else
          Editor.Follow(Change);
      });
  FSession.InstallUndoKeys(&Editor, [&Editor] { Editor.ShowUndone(); });
  Editor.exec();
  disconnect(Follow);
}

void TWindowLauncher::PaintTile(lvk::TTile& Tile) {
  // The tile is looked up by its id whenever the painter needs it: an undo
  // inside the painter may take it away (a tile the painter made).
  const lvk::TItemId Id = Tile.Id();
  TPaintTarget Target;
  Target.Caption = [this, Id] {
    const lvk::TTile* Now = FSession.Game().TileById(Id);
    return Now ? QString("Paint tile %1").arg(QString::fromStdString(Now->Name())) : QString("Paint tile");
  };
  Target.Block = [this, Id]() -> std::optional<lvk::TTileBlock> {
    lvk::TTile* Now = FSession.Game().TileById(Id);
    if (!Now) return std::nullopt;
    return lvk::TTileBlock({Now}, 1, 1);
  };
  Target.Import = [this, Id](QWidget* Parent) {
    const QString Path = Dialogs().OpenFile(Parent, TileImportRequest());
    lvk::TTile* Now = FSession.Game().TileById(Id);
    return Now && !Path.isEmpty() && ImportTileFile(Parent, *Now, Path);
  };
  RunPainter(std::move(Target));
}

void TWindowLauncher::PaintFrame(lvk::TActor& Actor, int Anim, int Frame) {
  if (Anim < 0 || Anim >= Actor.AnimationCount() || Frame < 0 || Frame >= Actor.FrameCount(Anim)) return;
  // Looked up by id, as a tile is; the frame shown moves with the frame buttons.
  auto Shown = std::make_shared<int>(Frame);
  auto Find = [this, Id = Actor.Id(), Anim]() -> lvk::TActor* {
    lvk::TActor* Found = FSession.Game().ActorById(Id);
    return Found && Anim < Found->AnimationCount() ? Found : nullptr;
  };
  TPaintTarget Target;
  Target.Caption = [Find, Anim, Shown] {
    lvk::TActor* A = Find();
    if (!A) return QString("Paint frame");
    return QString("Paint %1: %2, frame %3 of %4")
        .arg(QString::fromStdString(A->Name()), QString::fromStdString(A->GetAnimation(Anim).Name))
        .arg(*Shown + 1)
        .arg(A->FrameCount(Anim));
  };
  Target.Block = [Find, Anim, Shown]() -> std::optional<lvk::TTileBlock> {
    lvk::TActor* A = Find();
    if (!A || *Shown >= A->FrameCount(Anim)) return std::nullopt;
    return lvk::FrameBlock(*A, Anim, *Shown);
  };
  // The frame before, or the last one under the first, as the animation loops.
  Target.Onion = [this, Find, Anim, Shown]() -> lvk::TPixels {
    lvk::TActor* A = Find();
    if (!A || A->FrameCount(Anim) < 2 || *Shown >= A->FrameCount(Anim)) return {};
    const int Before = (*Shown + A->FrameCount(Anim) - 1) % A->FrameCount(Anim);
    return lvk::FrameBlock(*A, Anim, Before).Read(FSession.Game().Palette());
  };
  Target.StepFrame = [Find, Anim, Shown](int Delta) {
    lvk::TActor* A = Find();
    if (!A || A->FrameCount(Anim) < 2) return false;
    const int Count = A->FrameCount(Anim);
    *Shown = ((*Shown + Delta) % Count + Count) % Count;
    return true;
  };
  Target.Import = [Find, Anim, Shown](QWidget* Parent) {
    const QString Path = Dialogs().OpenFile(Parent, FrameImportRequest());
    lvk::TActor* A = Find();
    return A && *Shown < A->FrameCount(Anim) && !Path.isEmpty() && ImportFrameFile(Parent, *A, Anim, *Shown, Path);
  };
  RunPainter(std::move(Target));
}

void TWindowLauncher::RunPainter(TPaintTarget Target) {
  // The scope first: the painter's Undo and Redo show what it can undo,
  // never a step left pending in the main window.
  TScope Scope(FSession.Document());
  TfrmPainter Painter(FWindow, FSession.Document(), std::move(Target));
  const QMetaObject::Connection Follow =
      connect(&FSession, &TDocumentSession::Changed, &Painter, [&Painter](const lvk::TChange& Change) {
        Painter.Follow(Change);
      });
  Painter.exec();
  disconnect(Follow);
}

void TWindowLauncher::SelectEvent(lvk::THandler& Handler) {
  TfrmEventSelector Selector(FWindow);
  Selector.SetHandler(Handler);
  Selector.exec();
}

void TWindowLauncher::Build() {
  TfrmBuild Window(FWindow);
  Window.SetGame(FSession.Game());
  Window.SetRootFolder(FRootFolder);
  // New and Open, the only changes that replace the game, cannot happen
  // while the window is up.
  Window.exec();
  // Run starts this image from now on, whether or not a build ran.
  FLastImagePath = Window.ImagePath();
}

void TWindowLauncher::Run() {
  if (FLastImagePath.isEmpty()) {
    ShowInformation(FWindow, "First Game | Build, then Game | Run");
    return;
  }
  // A failed build leaves nothing to run; its log says why.
  if (!QFileInfo(FLastImagePath).isFile()) {
    ShowInformation(FWindow, "The last build made no Lurvik.nds; see the build log.");
    return;
  }
  // A missing emulator, or one that does not start, is said in a box.
  RunImage(FWindow, FLastImagePath, FRootFolder);
}

void TWindowLauncher::Play(int Level, QWidget* Owner) {
  if (!Owner) Owner = FWindow;
  if (!FPlay) {
    // It asks for the document each time the game starts, so it never plays
    // one that New or Open replaced.
    FPlay = new TfrmPlay([this]() -> const lvk::TGame* { return &FSession.Game(); }, Owner);
    FPlay->setAttribute(Qt::WA_DeleteOnClose);
    connect(&FSession, &TDocumentSession::Changed, FPlay, [this](const lvk::TChange& Change) {
      const bool Content = Change.Kind != lvk::TChangeKind::Edited && Change.Kind != lvk::TChangeKind::Saved;
      if (Content && FPlay) FPlay->GameChanged();
    });
  } else if (FPlay->parentWidget() != Owner) {
    FPlay->setParent(Owner, FPlay->windowFlags());
  }
  FPlay->Play(Level);
  FPlay->show();
  FPlay->raise();
  FPlay->activateWindow();
}

void TWindowLauncher::About() {
  TfrmAbout Box(FWindow);
  Box.exec();
}

void TWindowLauncher::Credits() {
  TfrmCredits Box(FWindow);
  Box.exec();
}
