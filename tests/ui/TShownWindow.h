#pragma once
// Whether a window's screen (its backing store, what the user sees) is what
// a fresh paint of it gives now: a view that missed a change of the model
// keeps showing the old picture until something repaints it.
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWidget>

inline bool ShowsWhatItPaints(QWidget& Window, QWidget* Part = nullptr) {
  QTest::qWait(30);  // the repaints the changes asked for, and no other
  if (!Part) Part = &Window;
  const QRect Area(Part->mapTo(&Window, QPoint(0, 0)), Part->size());
  const QImage Shown =
      Window.screen()->grabWindow(Window.winId()).toImage().copy(Area).convertToFormat(QImage::Format_RGB32);
  return Shown == Part->grab().toImage().convertToFormat(QImage::Format_RGB32);
}
