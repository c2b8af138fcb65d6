#pragma once
// Whether a window's screen (its backing store, what the user sees) is what
// a fresh paint of it gives now: a view that missed a change of the model
// keeps showing the old picture until something repaints it.
#include <QElapsedTimer>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWidget>

inline bool ShowsWhatItPaints(QWidget& Window, QWidget* Part = nullptr) {
  if (!QTest::qWaitForWindowExposed(&Window)) return false;
  if (!Part) Part = &Window;
  const QRect Area(Part->mapTo(&Window, QPoint(0, 0)), Part->size());
  const QImage Fresh = Part->grab().toImage().convertToFormat(QImage::Format_RGB32);
  // The repaints the changes asked for may take a few event rounds; a
  // repaint nobody asked for never comes, however long this waits.
  QElapsedTimer Waited;
  Waited.start();
  do {
    QTest::qWait(20);
    const QImage Shown =
        Window.screen()->grabWindow(Window.winId()).toImage().copy(Area).convertToFormat(QImage::Format_RGB32);
    if (Shown == Fresh) return true;
  } while (Waited.elapsed() < 500);
  return false;
}
