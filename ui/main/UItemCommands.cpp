#include "ui/main/UItemCommands.h"

#include "ui/common/UTileFiles.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <memory>

#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/UNames.h"
#include "model/UTile.h"
#include "ui/common/UClipboard.h"
#include "ui/common/UDialogService.h"
#include "ui/main/UDocumentSession.h"
#include "ui/main/UGameTree.h"
#include "ui/main/UItemViews.h"

namespace {

QStringList LocalFiles(const QMimeData* Data) {
  QStringList Paths;
  if (!Data || !Data->hasUrls()) return Paths;
  for (const QUrl& Url : Data->urls())
    if (Url.isLocalFile()) Paths << Url.toLocalFile();
  return Paths;
}

const TItemView* ViewOf(const QTreeWidgetItem* Node) {
  return Node && NodeKind(Node) != TNodeKind::Pane ? ItemView(static_cast<lvk::TItemKind>(NodeKind(Node))) : nullptr;
}

bool IsFolderOf(const QTreeWidgetItem* Node, lvk::TItemKind Kind) {
  return Node && NodeKind(Node) == TNodeKind::Pane && PaneKind(Node) == Kind && Node->parent();
}

}  // namespace

TItemCommands::TItemCommands(QWidget* Window, TDocumentSession& Session, TGameTree& Tree,
                             std::function<void(QTreeWidgetItem*)> Select)
    : QObject(Window), FWindow(Window), FSession(Session), FTree(Tree), FSelect(std::move(Select)) {
  Tree.viewport()->installEventFilter(this);
  Tree.installEventFilter(this);  // the Menu key's context menu comes to the tree itself
}

bool TItemCommands::CanDelete(const QTreeWidgetItem* Node) { return ViewOf(Node) != nullptr; }

bool TItemCommands::CanDuplicate(const QTreeWidgetItem* Node) {
  const TItemView* View = ViewOf(Node);
  return View && View->Duplicable;
}

QString TItemCommands::DeleteQuestion(const QTreeWidgetItem* Node) const {
  const TItemView* View = ViewOf(Node);
  return View ? View->DeleteQuestion(FSession.Game(), NodeItem(FSession.Game(), Node)) : QString();
}

bool TItemCommands::DeleteNode(QTreeWidgetItem* Node) {
  if (!CanDelete(Node) || TDocumentSession::ModalWindowUp()) return false;
  const lvk::TIdentified* Item = NodeItem(FSession.Game(), Node);
  if (Dialogs().Message(FWindow, TMsgKind::Confirmation, DeleteQuestion(Node)) != TMsgAnswer::Yes) return false;
  // Timers run while the box is up: the node is looked up again.
  Node = FTree.NodeOf(Item);
  if (!Node) return false;
  // The next sibling, else the previous, else the folder or actor above:
  // a node the delete leaves (only the item's own node and those of the
  // collision handlers naming a deleted actor go).
  QTreeWidgetItem* Parent = Node->parent();
  const int Index = Parent->indexOfChild(Node);
  QTreeWidgetItem* Next = Index + 1 < Parent->childCount() ? Parent->child(Index + 1)
                          : Index > 0                      ? Parent->child(Index - 1)
                                                           : Parent;
  const TItemView& View = *ViewOf(Node);
  {
    lvk::TEdit Edit(FSession.Game(), std::string("Delete ") + View.Noun);
    View.Delete(FSession.Game(), Item);
  }
  FSelect(Next);
  return true;
}

QTreeWidgetItem* TItemCommands::DuplicateNode(QTreeWidgetItem* Node) {
  if (!CanDuplicate(Node) || TDocumentSession::ModalWindowUp()) return nullptr;
  const TItemView& View = *ViewOf(Node);
  if (View.DuplicateRefusal) {
    const QString Refusal = View.DuplicateRefusal(FSession.Game(), NodeItem(FSession.Game(), Node));
    if (!Refusal.isEmpty()) {
      ShowWarning(FWindow, Refusal);
      return nullptr;
    }
  }
  const lvk::TIdentified* Copy = nullptr;
  {
    lvk::TEdit Edit(FSession.Game(), std::string("Duplicate ") + View.Noun);
    Copy = View.Duplicate(FSession.Game(), NodeItem(FSession.Game(), Node));
  }
  FSelect(FTree.NodeOf(Copy));
  return FTree.NodeOf(Copy);
}

bool TItemCommands::CanMove(const QTreeWidgetItem* Node, int Delta) const {
  const TItemView* View = ViewOf(Node);
  if (!View || !View->Move) return false;
  const std::vector<const lvk::TIdentified*> Items = View->Items(FSession.Game(), View->Owner(NodeItem(FSession.Game(), Node)));
  const auto At = std::find(Items.begin(), Items.end(), NodeItem(FSession.Game(), Node)) - Items.begin();
  return At + Delta >= 0 && At + Delta < static_cast<std::ptrdiff_t>(Items.size());
}

bool TItemCommands::MoveNode(QTreeWidgetItem* Node, int Delta) {
  if (!CanMove(Node, Delta) || TDocumentSession::ModalWindowUp()) return false;
  const TItemView& View = *ViewOf(Node);
  const lvk::TIdentified* Item = NodeItem(FSession.Game(), Node);
  const std::vector<const lvk::TIdentified*> Items = View.Items(FSession.Game(), View.Owner(Item));
  const int From = static_cast<int>(std::find(Items.begin(), Items.end(), Item) - Items.begin());
  {
    lvk::TEdit Edit(FSession.Game(), std::string("Move ") + View.Noun);
    View.Move(FSession.Game(), From, From + Delta);
  }
  // The tree moved the node along and kept it current.
  FSelect(FTree.NodeOf(Item));
  return true;
}

bool TItemCommands::CanCopy(const QTreeWidgetItem* Node) { return Node && NodeKind(Node) == TNodeKind::Handler; }

bool TItemCommands::CanPaste(const QTreeWidgetItem* Node) {
  return Node && (NodeKind(Node) == TNodeKind::Handler || NodeKind(Node) == TNodeKind::Actor) &&
         lvk::HoldsHandler(TakeCopy());
}

bool TItemCommands::CopyNode(QTreeWidgetItem* Node) {
  if (!CanCopy(Node)) return false;
  const auto* Handler = static_cast<const lvk::THandler*>(NodeItem(FSession.Game(), Node));
  PutCopy(lvk::HandlerCopyBytes(*Handler), Node->text(0));
  return true;
}

QTreeWidgetItem* TItemCommands::PasteOnNode(QTreeWidgetItem* Node) {
  if (!CanPaste(Node) || TDocumentSession::ModalWindowUp()) return nullptr;
  auto* Actor = NodeKind(Node) == TNodeKind::Actor ? static_cast<lvk::TActor*>(NodeItem(FSession.Game(), Node))
                                                   : &static_cast<lvk::THandler*>(NodeItem(FSession.Game(), Node))->Actor();
  lvk::THandler* Pasted = nullptr;
  try {
    lvk::TEdit Edit(FSession.Game(), "Paste handler");
    Pasted = lvk::PasteHandler(*Actor, TakeCopy());
  } catch (const lvk::EGame& E) {
    ShowWarning(FWindow, QString::fromUtf8(E.what()));
    return nullptr;
  }
  FSelect(FTree.NodeOf(Pasted));
  return FTree.NodeOf(Pasted);
}

QMenu* TItemCommands::CreateNodeMenu(QTreeWidgetItem* Node, QWidget* Parent) {
  if (!CanDelete(Node)) return nullptr;
  auto* Menu = new QMenu(Parent);
  Menu->setObjectName("mnuNode");
  const lvk::TIdentified* Item = NodeItem(FSession.Game(), Node);
  auto Repeat = [](QAction* Into, const QAction* From) {
    if (!From) return;
    Into->setShortcut(From->shortcut());
    Into->setShortcutContext(Qt::WidgetShortcut);
    Into->setStatusTip(From->statusTip());
  };
  if (NodeKind(Node) == TNodeKind::Tile && PaintTile) {
    QAction* Paint = Menu->addAction("Pain&t...", this, [this, Id = Item->Id()] {
      if (lvk::TTile* Tile = FSession.Game().TileById(Id)) PaintTile(*Tile);
    });
    Paint->setObjectName("mnuNodePaint");
    Paint->setStatusTip("Paint the tile's picture pixel by pixel (or double-click the tile)");
    Menu->addSeparator();
  }
  if (NodeKind(Node) == TNodeKind::Actor && PaintFrames) {
    const auto* Actor = static_cast<const lvk::TActor*>(Item);
    QAction* Paint = Menu->addAction("Pain&t frames...", this, [this, Id = Item->Id()] {
      if (lvk::TActor* Actor = FSession.Game().ActorById(Id)) PaintFrames(*Actor);
    });
    Paint->setObjectName("mnuNodePaintFrames");
    Paint->setStatusTip("Paint the frames of the actor's first animation, one after the other");
    Paint->setEnabled(Actor->AnimationCount() > 0 && Actor->FrameCount(0) > 0);
    Menu->addSeparator();
  }
  QAction* Duplicate = Menu->addAction("D&uplicate", this, [this, Item] { DuplicateNode(FTree.NodeOf(Item)); });
  Duplicate->setObjectName("mnuNodeDuplicate");
  Repeat(Duplicate, DuplicateAction);
  Duplicate->setEnabled(CanDuplicate(Node));
  QAction* Delete = Menu->addAction("&Delete", this, [this, Item] { DeleteNode(FTree.NodeOf(Item)); });
  Delete->setObjectName("mnuNodeDelete");
  Repeat(Delete, DeleteAction);
  Menu->addSeparator();
  QAction* Copy = Menu->addAction("&Copy", this, [this, Item] { CopyNode(FTree.NodeOf(Item)); });
  Copy->setObjectName("mnuNodeCopy");
  Repeat(Copy, CopyAction);
  Copy->setEnabled(CanCopy(Node));
  QAction* Paste = Menu->addAction("&Paste", this, [this, Item] { PasteOnNode(FTree.NodeOf(Item)); });
  Paste->setObjectName("mnuNodePaste");
  Repeat(Paste, PasteAction);
  Paste->setEnabled(CanPaste(Node));
  if (ViewOf(Node)->Move) {
    Menu->addSeparator();
    QAction* Up = Menu->addAction("&Move up", this, [this, Item] { MoveNode(FTree.NodeOf(Item), -1); });
    Up->setObjectName("mnuNodeUp");
    Up->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    Up->setShortcutContext(Qt::WidgetShortcut);
    Up->setEnabled(CanMove(Node, -1));
    QAction* Down = Menu->addAction("Move d&own", this, [this, Item] { MoveNode(FTree.NodeOf(Item), 1); });
    Down->setObjectName("mnuNodeDown");
    Down->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    Down->setShortcutContext(Qt::WidgetShortcut);
    Down->setEnabled(CanMove(Node, 1));
  }
  return Menu;
}

void TItemCommands::ShowNodeMenu(QTreeWidgetItem* Node, QPoint GlobalPosition) {
  FSelect(Node);
  std::unique_ptr<QMenu> Menu(CreateNodeMenu(Node, FWindow));
  if (Menu) Menu->exec(GlobalPosition);
  FTree.setFocus();
}

// ---- Dropped files ----

QTreeWidgetItem* TItemCommands::DropTarget(QPoint Position, const QStringList& Paths) const {
  QTreeWidgetItem* Node = FTree.itemAt(Position);
  if (!Node || Paths.isEmpty()) return nullptr;
  if (NodeKind(Node) == TNodeKind::Tile && Paths.size() == 1) return Node;
  if (IsFolderOf(Node, lvk::TItemKind::Tile)) return Node;
  return nullptr;
}

bool TItemCommands::DropFiles(QTreeWidgetItem* Node, const QStringList& Paths) {
  if (!Node || Paths.isEmpty()) return false;
  if (NodeKind(Node) == TNodeKind::Tile) {
    if (Paths.size() != 1) return false;
    auto* Tile = static_cast<lvk::TTile*>(NodeItem(FSession.Game(), Node));
    FSelect(Node);
    ImportTileFile(FWindow, *Tile, Paths.front());
    return true;
  }
  if (!IsFolderOf(Node, lvk::TItemKind::Tile)) return false;
  lvk::TTile* Last = nullptr;
  {
    // The whole drop is one step, also when boxes tell of files left out.
    lvk::TEdit Edit(FSession.Game(), Paths.size() > 1 ? "Drop tiles" : "Drop tile");
    for (const QString& Path : Paths) {
      // Tried on a tile of a scratch game first, with Import's own checks: a
      // file that fails them makes no tile, only Import's warning.
      try {
        lvk::TGame Scratch;
        Scratch.AddTile()->ImportBitmap(Path.toStdString());
      } catch (const std::exception& E) {
        ShowWarning(FWindow, TileImportWarning(Path, QString::fromUtf8(E.what())));
        continue;
      }
      lvk::TGame& Game = FSession.Game();
      lvk::TTile* Tile = Game.AddTile();
      const std::string Name = QFileInfo(Path).completeBaseName().toStdString();
      if (lvk::IsLegalName(Name) && !Game.FindTileByName(Name)) Tile->SetName(Name);
      try {
        Tile->ImportBitmap(Path.toStdString());
      } catch (const std::exception& E) {
        // Changed since the trial; the tile keeps the question mark.
        ShowWarning(FWindow, TileImportWarning(Path, QString::fromUtf8(E.what())));
      }
      Last = Tile;
    }
  }
  if (Last) FSelect(FTree.NodeOf(Last));
  return true;
}

bool TItemCommands::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::ContextMenu && (Watched == &FTree || Watched == FTree.viewport())) {
    auto* Request = static_cast<QContextMenuEvent*>(Event);
    QTreeWidgetItem* Node = nullptr;
    QPoint At = Request->globalPos();
    if (Request->reason() == QContextMenuEvent::Mouse) {
      Node = FTree.itemAt(FTree.viewport()->mapFromGlobal(At));
    } else if ((Node = FTree.currentItem())) {
      // From the keyboard: beside the current node, not where the mouse is.
      FTree.scrollToItem(Node);
      At = FTree.viewport()->mapToGlobal(FTree.visualItemRect(Node).center());
    }
    if (Node) ShowNodeMenu(Node, At);
    return true;
  }
  if (Watched == &FTree && Event->type() == QEvent::KeyPress) {
    // Ctrl+Up and Ctrl+Down order the items the user orders; elsewhere the
    // tree keeps them (they move the current node without selecting it).
    auto* Key = static_cast<QKeyEvent*>(Event);
    const int Delta = Key->key() == Qt::Key_Up ? -1 : Key->key() == Qt::Key_Down ? 1 : 0;
    const TItemView* View = ViewOf(FTree.currentItem());
    if (Delta != 0 && Key->modifiers() == Qt::ControlModifier && View && View->Move) {
      MoveNode(FTree.currentItem(), Delta);
      return true;
    }
  }
  if (Watched != FTree.viewport()) return QObject::eventFilter(Watched, Event);
  switch (Event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* Drag = static_cast<QDragMoveEvent*>(Event);
      if (DropTarget(Drag->position().toPoint(), LocalFiles(Drag->mimeData())))
        Drag->acceptProposedAction();
      else
        Drag->ignore();
      return true;
    }
    case QEvent::Drop: {
      auto* Drop = static_cast<QDropEvent*>(Event);
      const QStringList Paths = LocalFiles(Drop->mimeData());
      const QPoint Position = Drop->position().toPoint();
      if (!DropTarget(Position, Paths)) {
        Drop->ignore();
        return true;
      }
      Drop->acceptProposedAction();
      // Boxes may follow: not while the drag source waits for the drop.
      QTimer::singleShot(0, this, [this, Position, Paths] { DropFiles(DropTarget(Position, Paths), Paths); });
      return true;
    }
    default: return QObject::eventFilter(Watched, Event);
  }
}
