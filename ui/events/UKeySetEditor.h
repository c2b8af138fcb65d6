#pragma once
// An editor of a set of DS keys for an action's value: the toggles of
// OnKey, laid out as there, each with its key's name and where the play
// window has the key in its hints. The set is bit i for key i of OnKey's
// table.
#include <QWidget>
#include <vector>

class QToolButton;

class TKeySetEditor : public QWidget {
  Q_OBJECT
public:
  explicit TKeySetEditor(QWidget* Parent = nullptr);

  unsigned Keys() const { return FKeys; }
  // Shows a set without telling of it.
  void SetKeys(unsigned Keys);
  // The toggle whose caption is Caption ("A", "^"), or null.
  QToolButton* Toggle(const QString& Caption) const;

signals:
  // The user put a key into the set or took one out.
  void KeysChanged(unsigned Keys);

private:
  std::vector<QToolButton*> FToggles;  // in the order of OnKey's toggles
  std::vector<int> FIndexes;           // each toggle's key
  unsigned FKeys = 0;
};
