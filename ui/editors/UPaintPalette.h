#pragma once
// The game's palette beside the painter's picture: the only colours that can
// be painted. A click with the left or right button chooses that button's
// colour; the two chosen entries are marked L and R, entry 0 shows as the
// transparent checkerboard.
#include <QRgb>
#include <QVector>
#include <QWidget>

class TPaintPalette : public QWidget {
  Q_OBJECT
public:
  static constexpr int CellSize = 18;
  static constexpr int Columns = 16;

  explicit TPaintPalette(QWidget* Parent = nullptr);
  void SetColors(const QVector<QRgb>& Colors);
  void SetChosen(int Left, int Right);
  int IndexAt(const QPoint& Position) const;
  QRect CellRect(int Index) const;

signals:
  void Chosen(int Index, bool RightButton);

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  bool event(QEvent* Event) override;

private:
  QVector<QRgb> FColors;
  int FLeft = 1;
  int FRight = 0;
};
