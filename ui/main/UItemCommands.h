#pragma once
// The commands on the items of the tree: Delete (asking first, naming the
// item and what goes with it), Duplicate, the context menu of a node, and
// BMP files dropped on the tree. Each is one edit of the document, named
// after its step. They work on nodes of the tree and select the node to
// show afterwards.
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QTreeWidgetItem;
class QWidget;
class TDocumentSession;
class TGameTree;
namespace lvk {
class TActor;
class TTile;
}

class TItemCommands : public QObject {
  Q_OBJECT
public:
  // Watches the tree's viewport for context menus and drops; Select shows
  // a node and its pane as a click on it would.
  TItemCommands(QWidget* Window, TDocumentSession& Session, TGameTree& Tree,
                std::function<void(QTreeWidgetItem*)> Select);

  static bool CanDelete(const QTreeWidgetItem* Node);
  static bool CanDuplicate(const QTreeWidgetItem* Node);
  QString DeleteQuestion(const QTreeWidgetItem* Node) const;
  // Asks, then deletes the node's item and selects the next node; false
  // when nothing was deleted.
  bool DeleteNode(QTreeWidgetItem* Node);
  // The copy's node, selected, or null. A kind at its limit says so in a
  // box and makes no copy.
  QTreeWidgetItem* DuplicateNode(QTreeWidgetItem* Node);
  // Moves the node's item Delta places in its list (variables), the step
  // "Move variable"; false when it cannot go there.
  bool CanMove(const QTreeWidgetItem* Node, int Delta) const;
  bool MoveNode(QTreeWidgetItem* Node, int Delta);
  // Copy puts a handler on the clipboard; Paste adds the handler there to
  // the node's actor (an actor's node or one of its handlers'), selected.
  static bool CanCopy(const QTreeWidgetItem* Node);
  static bool CanPaste(const QTreeWidgetItem* Node);
  bool CopyNode(QTreeWidgetItem* Node);
  QTreeWidgetItem* PasteOnNode(QTreeWidgetItem* Node);
  // Duplicate, Delete, Copy, Paste and, for kinds the user orders, Move up
  // and Move down for a node; the caller owns the menu. The item,
  // not the node, is kept: looked up again when chosen.
  QMenu* CreateNodeMenu(QTreeWidgetItem* Node, QWidget* Parent);

  // Files dropped on the tree: on the Tiles node each becomes a new tile
  // (named after the file where it can be), on a tile node the one file is
  // imported into it. False when the node takes no files.
  bool DropFiles(QTreeWidgetItem* Node, const QStringList& Paths);
  // The node under Position of the viewport that takes Paths, or null.
  QTreeWidgetItem* DropTarget(QPoint Position, const QStringList& Paths) const;

  // Set by the window: the Duplicate and Delete items its Edit menu has,
  // whose keys and hints the node menu repeats.
  QAction* DuplicateAction = nullptr;
  QAction* DeleteAction = nullptr;
  QAction* CopyAction = nullptr;
  QAction* PasteAction = nullptr;
  // Set by the window: opens the painter on a tile, for the menu's Paint.
  std::function<void(lvk::TTile& Tile)> PaintTile;
  // And on the first frame of an actor's first animation.
  std::function<void(lvk::TActor& Actor)> PaintFrames;

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void ShowNodeMenu(QTreeWidgetItem* Node, QPoint GlobalPosition);

  QWidget* FWindow;
  TDocumentSession& FSession;
  TGameTree& FTree;
  std::function<void(QTreeWidgetItem*)> FSelect;
};
