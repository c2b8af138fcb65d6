#pragma once
// Drop-down lists of a game's items, drawn with the items' pictures: the
// actors (the collision frame's other actor, an action's actor) and the
// tiles. Besides the items a list may hold entries that name none ("<any
// solid actor>", "<this actor>", a name no item has); every entry carries
// the text an action stores for it.
#include <QComboBox>

namespace lvk {
class TActor;
class TGame;
}  // namespace lvk

// The role of an entry's stored text: the item's name, or the entry's own.
constexpr int ValueRole = Qt::UserRole + 1;

// A drop-down list of a game's actors, drawn by the program: the actor's
// picture stretched to 16x16, then its name. The closed box draws its
// current item the same way; an entry that names no actor has no picture.
class TActorComboBox : public QComboBox {
  Q_OBJECT
public:
  TActorComboBox(const lvk::TGame& Game, QWidget* Parent);

  const lvk::TGame& Game() const { return *FGame; }
  // Another game's actors from the next Fill on.
  void SetGame(const lvk::TGame& Game) { FGame = &Game; }
  // Clears the list and adds every actor of the game in the game's order.
  void Fill();
  // An entry that names no actor, at Row, storing Value.
  void InsertSpecial(int Row, const QString& Text, const QString& Value = {});
  // The actor of an entry; null for one that names none.
  lvk::TActor* Actor(int Index) const;
  int IndexOf(const lvk::TActor* Actor) const;
  int ItemHeight() const;

protected:
  void paintEvent(QPaintEvent* Event) override;

private:
  const lvk::TGame* FGame;  // not owned; the user of the list sets another before this one goes
};

// A drop-down list of a game's tiles with their pictures, after an entry
// "<no tile>" storing the empty text.
class TTileComboBox : public QComboBox {
  Q_OBJECT
public:
  TTileComboBox(const lvk::TGame& Game, QWidget* Parent);
  void SetGame(const lvk::TGame& Game) { FGame = &Game; }
  void Fill();

private:
  const lvk::TGame* FGame;  // not owned, as the actors' list's
};

// The entry storing Value (names compared as names are), or -1.
int IndexOfValue(const QComboBox& List, const QString& Value);
