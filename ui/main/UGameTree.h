#pragma once
// The game tree of the main window: the game's node, a folder node for each
// kind of item with the items' nodes below it (handlers below their actors),
// and the tree's own map from items to nodes. It follows the document's
// notices: a new item gets its node, an item about to go loses it, a rename
// or change redraws it, a move takes its node along, a game put back in
// place refreshes every node.
// Building it again for a replaced game is the window's call, which first
// lets the panes go.
#include <QHash>
#include <QTreeWidget>
#include <functional>

#include "model/UChange.h"
#include "model/UItemId.h"

class QTimer;
struct TItemView;

namespace lvk {
class TGame;
}

// What a node stands for: a pane of its own (the game, a folder) or an item.
enum class TNodeKind {
  Pane = -1,
  Tile = static_cast<int>(lvk::TItemKind::Tile),
  Actor = static_cast<int>(lvk::TItemKind::Actor),
  Handler = static_cast<int>(lvk::TItemKind::Handler),
  Level = static_cast<int>(lvk::TItemKind::Level),
  Variable = static_cast<int>(lvk::TItemKind::Variable),
};

TNodeKind NodeKind(const QTreeWidgetItem* Node);
// The id of an item node's item (lvk::NoItem for a pane node).
lvk::TItemId NodeId(const QTreeWidgetItem* Node);
// The item of an item node as Game has it now, or null (a pane node).
lvk::TIdentified* NodeItem(const lvk::TGame& Game, const QTreeWidgetItem* Node);
// The kind a folder or the game node stands for.
lvk::TItemKind PaneKind(const QTreeWidgetItem* Node);

class TGameTree : public QTreeWidget {
  Q_OBJECT
public:
  // Game gives the document's game as it is now.
  TGameTree(QWidget* Parent, std::function<lvk::TGame&()> Game);

  // The whole tree anew from the game, the game node current (not
  // selected: a view that gets the focus would select it and hide the
  // welcome).
  void Rebuild();
  // Follows one notice of the document.
  void Follow(const lvk::TChange& Change);

  QTreeWidgetItem* GameNode() const { return FGameNode; }
  // The folder of a kind (Tiles, Actors, Levels, Variables), or null.
  QTreeWidgetItem* FolderNode(lvk::TItemKind Kind) const { return FFolders.value(static_cast<int>(Kind), nullptr); }
  // Null for an item without a node.
  QTreeWidgetItem* NodeOf(lvk::TItemId Item) const { return FNodes.value(Item, nullptr); }
  QTreeWidgetItem* NodeOf(const lvk::TIdentified* Item) const { return Item ? NodeOf(Item->Id()) : nullptr; }

  // The rows from the root to a node, and the node at such a path in a tree
  // that may have changed: the deepest that still exists.
  QList<int> NodePath(const QTreeWidgetItem* Node) const;
  QTreeWidgetItem* NodeAtPath(const QList<int>& Path) const;

signals:
  // A node is about to be removed with its children (the panes let go of
  // what they show first).
  void NodeRemoving(QTreeWidgetItem* Node);

protected:
  bool viewportEvent(QEvent* Event) override;

private:
  QTreeWidgetItem* AddNode(QTreeWidgetItem* Parent, int Row, const QString& Text, TNodeKind Kind, quintptr Data);
  QTreeWidgetItem* AddItemNode(const TItemView& View, const lvk::TIdentified* Item);
  void RemoveNode(QTreeWidgetItem* Node);
  // Puts an item's node at the item's place in its list, the current node
  // staying current without a word to the window: the same item stays shown.
  void MoveNode(const TItemView& View, const lvk::TIdentified* Item);
  void RefreshTexts();
  // The node column as wide as its widest text, at least the tree's width.
  void FitColumn();

  std::function<lvk::TGame&()> FGame;
  QHash<lvk::TItemId, QTreeWidgetItem*> FNodes;  // item nodes by the item's id
  QHash<int, QTreeWidgetItem*> FFolders;
  QTreeWidgetItem* FGameNode = nullptr;
  QTimer* FFitTimer;
};
