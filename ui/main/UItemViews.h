#pragma once
// How the main window shows and handles each kind of item: the text and
// picture of its tree node, where its node goes, how it is deleted and
// duplicated and what the delete asks. The tree, the item commands and the
// main window look a kind up here instead of each switching over the kinds;
// a new kind of item is one more entry.
#include <QPixmap>
#include <QString>
#include <vector>

#include "model/UChange.h"

namespace lvk {
class TGame;
}

struct TItemView {
  lvk::TItemKind Kind;
  // "tile": the steps "New tile", "Delete tile", "Duplicate tile".
  const char* Noun;
  // The folder node's caption and icon, or none for a kind listed under
  // the items of OwnerKind.
  const char* Folder;
  const char* FolderIcon;
  lvk::TItemKind OwnerKind;
  // The icon of every node of the kind, or none for a picture of its own.
  const char* NodeIcon;
  bool Duplicable;

  // The node's text.
  QString (*Text)(const lvk::TIdentified* Item);
  // The picture drawn over the node's icon, or a null pixmap.
  QPixmap (*Picture)(const lvk::TGame& Game, const lvk::TIdentified* Item);
  // The item the node lies under (a handler's actor), or null for the folder.
  const lvk::TIdentified* (*Owner)(const lvk::TIdentified* Item);
  // The game's items of this kind in list order (for a kind listed under
  // another item: those of Owner).
  std::vector<const lvk::TIdentified*> (*Items)(const lvk::TGame& Game, const lvk::TIdentified* Owner);
  // The confirmation text that names the item and what goes with it.
  QString (*DeleteQuestion)(const lvk::TGame& Game, const lvk::TIdentified* Item);
  void (*Delete)(lvk::TGame& Game, const lvk::TIdentified* Item);
  // The copy, or null for a kind that is not Duplicable.
  const lvk::TIdentified* (*Duplicate)(lvk::TGame& Game, const lvk::TIdentified* Item);
  // Why no copy can be made now (a limit reached), or empty; null for
  // kinds without limits.
  QString (*DuplicateRefusal)(const lvk::TGame& Game, const lvk::TIdentified* Item) = nullptr;
  // Moves the item at From of its list to To; null for kinds whose order
  // the user does not set.
  void (*Move)(lvk::TGame& Game, int From, int To) = nullptr;
};

// The kinds with nodes of their own, in the order of the tree.
const std::vector<const TItemView*>& ItemViews();
// Null for a kind without nodes (the game, the palette).
const TItemView* ItemView(lvk::TItemKind Kind);
