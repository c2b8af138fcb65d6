#include "ui/main/UGameTree.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <functional>

#include "model/UGame.h"
#include "ui/common/UApplication.h"
#include "ui/main/UItemViews.h"
#include "ui/common/UPictures.h"

namespace {

constexpr int KindRole = Qt::UserRole;
constexpr int DataRole = Qt::UserRole + 1;
constexpr int TreeIndent = 21;
constexpr int TreeImageSize = 18;

// Item nodes with a picture of the model's show it instead of an image of
// the list: drawn stretched to 16x16 where the node's image goes.
class TTreeDelegate final : public QStyledItemDelegate {
public:
  TTreeDelegate(QObject* Parent, std::function<lvk::TGame&()> Game)
      : QStyledItemDelegate(Parent), FGame(std::move(Game)) {}

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    QStyledItemDelegate::paint(Painter, Option, Index);
    const auto Kind = static_cast<TNodeKind>(Index.data(KindRole).toInt());
    if (Kind == TNodeKind::Pane) return;
    const TItemView* View = ItemView(static_cast<lvk::TItemKind>(Kind));
    if (!View || View->NodeIcon) return;
    const lvk::TIdentified* Item = FGame().FindItem(View->Kind, Index.data(DataRole).value<lvk::TItemId>());
    if (!Item) return;
    const QPixmap Picture = View->Picture(FGame(), Item);
    if (Picture.isNull()) return;
    QStyleOptionViewItem Opt = Option;
    initStyleOption(&Opt, Index);
    QRect Icon = Opt.widget->style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &Opt, Opt.widget);
    Painter->drawPixmap(QRect(Icon.left() + 1, Icon.top() + 1, TreeImageSize - 2, TreeImageSize - 2), Picture);
  }

  // A handler's summary can be longer than the tree is wide: an item's
  // whole text is its node's tool tip.
  bool helpEvent(QHelpEvent* Event, QAbstractItemView* View, const QStyleOptionViewItem& Option,
                 const QModelIndex& Index) override {
    if (Event->type() == QEvent::ToolTip && Index.isValid() &&
        static_cast<TNodeKind>(Index.data(KindRole).toInt()) != TNodeKind::Pane) {
      QToolTip::showText(Event->globalPos(), Index.data(Qt::DisplayRole).toString(), View, View->visualRect(Index),
                         HintHidePause());
      return true;
    }
    return QStyledItemDelegate::helpEvent(Event, View, Option, Index);
  }

private:
  std::function<lvk::TGame&()> FGame;  // replaced with New and Open
};

// A transparent image that keeps the place of the picture the delegate draws.
QIcon BlankIcon() {
  QPixmap Blank(TreeImageSize, TreeImageSize);
  Blank.fill(Qt::transparent);
  return QIcon(Blank);
}

}  // namespace

TNodeKind NodeKind(const QTreeWidgetItem* Node) { return static_cast<TNodeKind>(Node->data(0, KindRole).toInt()); }

lvk::TItemId NodeId(const QTreeWidgetItem* Node) {
  return NodeKind(Node) == TNodeKind::Pane ? lvk::NoItem : Node->data(0, DataRole).value<lvk::TItemId>();
}

lvk::TIdentified* NodeItem(const lvk::TGame& Game, const QTreeWidgetItem* Node) {
  if (!Node || NodeKind(Node) == TNodeKind::Pane) return nullptr;
  return Game.FindItem(static_cast<lvk::TItemKind>(NodeKind(Node)), NodeId(Node));
}

lvk::TItemKind PaneKind(const QTreeWidgetItem* Node) {
  return static_cast<lvk::TItemKind>(Node->data(0, DataRole).value<quintptr>());
}

TGameTree::TGameTree(QWidget* Parent, std::function<lvk::TGame&()> Game) : QTreeWidget(Parent), FGame(Game) {
  setObjectName("tvwTree");
  setHeaderHidden(true);
  setIndentation(TreeIndent);
  setIconSize(QSize(TreeImageSize, TreeImageSize));
  setMinimumSize(100, 50);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setStatusTip("Navigation pane showing all game elements (tiles, actors, levels, etc)");
  setItemDelegate(new TTreeDelegate(this, std::move(Game)));
  // Node texts are never cut: the column grows with them and the tree
  // scrolls sideways when it is narrower.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(QHeaderView::Fixed);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  FFitTimer = new QTimer(this);
  FFitTimer->setSingleShot(true);
  FFitTimer->setInterval(0);
  connect(FFitTimer, &QTimer::timeout, this, &TGameTree::FitColumn);
  auto Refit = [this] { FFitTimer->start(); };
  connect(model(), &QAbstractItemModel::dataChanged, this, Refit);
  connect(model(), &QAbstractItemModel::rowsInserted, this, Refit);
  connect(model(), &QAbstractItemModel::rowsRemoved, this, Refit);
  connect(this, &QTreeWidget::itemExpanded, this, Refit);
  connect(this, &QTreeWidget::itemCollapsed, this, Refit);
  viewport()->setAcceptDrops(true);
}

bool TGameTree::viewportEvent(QEvent* Event) {
  if (Event->type() == QEvent::Resize) FFitTimer->start();
  return QTreeWidget::viewportEvent(Event);
}

void TGameTree::FitColumn() {
  const QAbstractItemView* View = this;  // where the width of the widest node is public
  header()->resizeSection(0, std::max(View->sizeHintForColumn(0), viewport()->width()));
}

QTreeWidgetItem* TGameTree::AddNode(QTreeWidgetItem* Parent, int Row, const QString& Text, TNodeKind Kind,
                                    quintptr Data) {
  auto* Node = new QTreeWidgetItem();
  if (Kind != TNodeKind::Pane) FNodes.insert(static_cast<lvk::TItemId>(Data), Node);
  Node->setText(0, Text);
  Node->setData(0, KindRole, static_cast<int>(Kind));
  Node->setData(0, DataRole, QVariant::fromValue(Data));
  if (!Parent)
    addTopLevelItem(Node);
  else
    Parent->insertChild(std::clamp(Row, 0, Parent->childCount()), Node);
  return Node;
}

QTreeWidgetItem* TGameTree::AddItemNode(const TItemView& View, const lvk::TIdentified* Item) {
  const lvk::TIdentified* Owner = View.Owner(Item);
  QTreeWidgetItem* Parent = Owner ? NodeOf(Owner) : FolderNode(View.Kind);
  if (!Parent) return nullptr;
  // In list order: the place the item has among its own.
  const std::vector<const lvk::TIdentified*> Items = View.Items(FGame(), Owner);
  const int Row = static_cast<int>(std::find(Items.begin(), Items.end(), Item) - Items.begin());
  auto* Node = AddNode(Parent, Row, View.Text(Item), static_cast<TNodeKind>(View.Kind), Item->Id());
  Node->setIcon(0, View.NodeIcon ? QIcon(UiPixmap(View.NodeIcon)) : BlankIcon());
  Parent->setExpanded(true);
  // The kinds listed under this one (an actor's handlers).
  for (const TItemView* Child : ItemViews())
    if (!Child->Folder && Child->OwnerKind == View.Kind)
      for (const lvk::TIdentified* Sub : Child->Items(FGame(), Item)) AddItemNode(*Child, Sub);
  return Node;
}

void TGameTree::RemoveNode(QTreeWidgetItem* Node) {
  if (!Node) return;
  emit NodeRemoving(Node);
  std::function<void(QTreeWidgetItem*)> Forget = [&](QTreeWidgetItem* N) {
    FNodes.remove(NodeId(N));
    for (int i = 0; i < N->childCount(); ++i) Forget(N->child(i));
  };
  Forget(Node);
  // The window chooses what to show next, when the whole command is done.
  const QSignalBlocker Quiet(this);
  delete Node;
}

void TGameTree::MoveNode(const TItemView& View, const lvk::TIdentified* Item) {
  QTreeWidgetItem* Node = NodeOf(Item);
  QTreeWidgetItem* Parent = Node ? Node->parent() : nullptr;
  if (!Parent) return;
  const std::vector<const lvk::TIdentified*> Items = View.Items(FGame(), View.Owner(Item));
  const int Row = static_cast<int>(std::find(Items.begin(), Items.end(), Item) - Items.begin());
  const int Now = Parent->indexOfChild(Node);
  if (Row == Now || Row >= Parent->childCount()) return;
  const bool Current = currentItem() == Node;
  const QSignalBlocker Quiet(this);
  Parent->takeChild(Now);
  Parent->insertChild(Row, Node);
  if (Current) setCurrentItem(Node);
}

void TGameTree::Rebuild() {
  {
    const QSignalBlocker Quiet(this);
    clear();
  }
  FNodes.clear();
  FFolders.clear();
  FGameNode = AddNode(nullptr, 0, "Game", TNodeKind::Pane, static_cast<quintptr>(lvk::TItemKind::Game));
  FGameNode->setIcon(0, UiPixmap("BmpGame18x18"));
  for (const TItemView* View : ItemViews()) {
    if (!View->Folder) continue;
    QTreeWidgetItem* Folder =
        AddNode(FGameNode, FGameNode->childCount(), View->Folder, TNodeKind::Pane, static_cast<quintptr>(View->Kind));
    Folder->setIcon(0, UiPixmap(View->FolderIcon));
    FFolders.insert(static_cast<int>(View->Kind), Folder);
    for (const lvk::TIdentified* Item : View->Items(FGame(), nullptr)) AddItemNode(*View, Item);
  }
  FGameNode->setExpanded(true);
  const QSignalBlocker Quiet(this);
  setCurrentItem(FGameNode, 0, QItemSelectionModel::NoUpdate);
}

void TGameTree::RefreshTexts() {
  for (auto It = FNodes.cbegin(); It != FNodes.cend(); ++It) {
    const TItemView* View = ItemView(static_cast<lvk::TItemKind>(NodeKind(It.value())));
    const lvk::TIdentified* Item = FGame().FindItem(View->Kind, It.key());
    if (!Item) continue;
    const QString Text = View->Text(Item);
    if (It.value()->text(0) != Text) It.value()->setText(0, Text);
  }
  viewport()->update();
}

void TGameTree::Follow(const lvk::TChange& Change) {
  const TItemView* View = ItemView(Change.Item);
  switch (Change.Kind) {
    case lvk::TChangeKind::Added:
      if (View && !NodeOf(Change.Id))
        if (const lvk::TIdentified* Item = FGame().FindItem(Change.Item, Change.Id)) AddItemNode(*View, Item);
      break;
    case lvk::TChangeKind::Removing: RemoveNode(NodeOf(Change.Id)); break;
    case lvk::TChangeKind::Renamed:
    case lvk::TChangeKind::Changed:
      // A rename of an actor shows in its collision handlers' summaries too.
      if (Change.Item == lvk::TItemKind::Actor && Change.Kind == lvk::TChangeKind::Renamed) {
        RefreshTexts();
      } else if (QTreeWidgetItem* Node = View ? NodeOf(Change.Id) : nullptr) {
        if (const lvk::TIdentified* Item = FGame().FindItem(Change.Item, Change.Id)) {
          const QString Text = View->Text(Item);
          if (Node->text(0) != Text) Node->setText(0, Text);
        }
      }
      viewport()->update();  // pictures: an actor is drawn with its tile's
      break;
    case lvk::TChangeKind::Moved:
      if (View)
        if (const lvk::TIdentified* Item = FGame().FindItem(Change.Item, Change.Id)) MoveNode(*View, Item);
      break;
    case lvk::TChangeKind::Refreshed: RefreshTexts(); break;
    default: break;
  }
}

QList<int> TGameTree::NodePath(const QTreeWidgetItem* Node) const {
  QList<int> Path;
  for (; Node; Node = Node->parent())
    Path.prepend(Node->parent() ? Node->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(Node))
                                : indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(Node)));
  return Path;
}

QTreeWidgetItem* TGameTree::NodeAtPath(const QList<int>& Path) const {
  QTreeWidgetItem* Node = topLevelItem(0);
  for (int Depth = 1; Node && Depth < Path.size(); ++Depth) {
    if (Node->childCount() == 0) break;
    Node = Node->child(std::min(Path[Depth], Node->childCount() - 1));
  }
  return Node;
}
