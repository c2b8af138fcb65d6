#pragma once
// What every event editing frame shares: the event it edits (not owned; the
// host frees the frame before the event goes), its place in the host, its
// hint, controls kept at their design places as the frame grows, and the
// one way a changed value is applied.
#include <QFrame>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ui/events/UKeyToggles.h"

class QLabel;

class QToolButton;

namespace lvk {
class TEventBase;
class TGame;
}  // namespace lvk

class TfraEvent : public QFrame {
  Q_OBJECT
public:
  using TSummaryChanged = std::function<void(const QString& Summary)>;

  TfraEvent(lvk::TEventBase& Event, const QString& Name, QSize DesignSize, int MinimumWidth, const QString& Hint,
            TSummaryChanged SummaryChanged, QWidget* Parent);

  lvk::TEventBase& Event() const { return FEvent; }
  QSize sizeHint() const override { return FDesignSize; }
  // Design sizes are for a font 13 pixels high; a larger font scales the
  // whole frame by the same factor, so texts keep fitting their controls.
  double Scale() const { return FScale; }

protected:
  // Stores a value that really differs in the event, the step "Change
  // event settings" (the event's setters mark the game changed), and hands
  // the event's new summary on.
  void Apply(const std::function<void()>& Store);
  lvk::TGame& Game() const;

  // Puts a control at its design rectangle (scaled); an edge in Anchors
  // keeps its distance to the same edge of the frame when the frame is
  // resized. An empty size means the control's own size; a control whose
  // text needs more width than its design gets it.
  void Place(QWidget* Control, const QRect& DesignRect, Qt::Edges Anchors = Qt::LeftEdge | Qt::TopEdge);
  void resizeEvent(QResizeEvent* Event) override;

private:
  struct TPlacement {
    QWidget* Control;
    QRect Rect;
    Qt::Edges Anchors;
  };
  void Arrange();

  QRect Scaled(const QRect& Rect) const;

  lvk::TEventBase& FEvent;
  double FScale;
  QSize FDesignSize;
  TSummaryChanged FSummaryChanged;
  std::vector<TPlacement> FPlacements;
};

// A frame whose parameter is a set of named members, one toggle button
// (caption = the member's name, no glyph) per member.

class TfraEventMask : public TfraEvent {
  Q_OBJECT
public:
  using TfraEvent::TfraEvent;

protected:
  virtual unsigned EventMask() const = 0;
  virtual void SetEventMask(unsigned Mask) = 0;
  // The member a caption names, by the kind's own name lookup; a caption
  // that is not a member is a design error of the frame (assertion failure).
  virtual int IndexOfCaption(const std::string& Caption) const = 0;

  QToolButton* AddToggle(const QString& Name, const QString& Caption, const QString& Hint, const QRect& Rect);
  // The toggles of a table, each Size big, in the table's (tab) order.
  void AddToggles(std::span<const TToggleInfo> Specs, QSize Size);
  // The toggles of the DS keys at OnKey's places, with their keys' hints.
  void AddKeyToggles();
  // The word-wrapped caption beside a compass of toggles.
  QLabel* AddCompassCaption(const QString& Name, const QString& Text, int Width);
  // Gives every toggle its index from its caption and shows it down when
  // its member is in the event's set. Called once all toggles exist.
  void ShowMask();

private:
  void ToggleClick(int Index, bool Down);

  std::vector<QToolButton*> FToggles;
};

// The hint convention "short|long": tool tip and status-bar text.
void SetHint(QWidget* Control, const QString& Hint);
// The look of every toggle of a set: one that is down reads as down at a
// glance.
void StyleToggle(QToolButton* Toggle);
