#include "ui/events/UEventEditors.h"

#include <QLayout>
#include <QVBoxLayout>

#include "behaviour/REventAnimationEnd.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventDestroy.h"
#include "behaviour/REventKey.h"
#include "behaviour/REventKeyHeld.h"
#include "behaviour/REventOutside.h"
#include "behaviour/REventTimer.h"
#include "behaviour/REventTouch.h"
#include "ui/events/FraEventAnimationEnd.h"
#include "ui/events/FraEventCollision.h"
#include "ui/events/FraEventCreate.h"
#include "ui/events/FraEventDestroy.h"
#include "ui/events/FraEventKey.h"
#include "ui/events/FraEventKeyHeld.h"
#include "ui/events/FraEventOutside.h"
#include "ui/events/FraEventTimer.h"
#include "ui/events/FraEventTouch.h"

namespace {

using TSummaryChanged = TfraEvent::TSummaryChanged;
using TFactory = TfraEvent* (*)(lvk::TEventBase&, TSummaryChanged, QWidget*);

template <class TEvent, class TFrame>
TfraEvent* Make(lvk::TEventBase& Event, TSummaryChanged SummaryChanged, QWidget* Host) {
  return new TFrame(static_cast<TEvent&>(Event), std::move(SummaryChanged), Host);
}

struct TEditorEntry {
  const lvk::TEventKind& Kind;
  TFactory Factory;
};

// Built on first use: the kinds are function-local singletons themselves.
// A kind missing here shows no frame (a test walks the registered kinds).
const auto& EditorTable() {
  static const TEditorEntry Table[] = {
      {lvk::TEventCreate::ClassKind(), &Make<lvk::TEventCreate, TfraEventCreate>},
      {lvk::TEventDestroy::ClassKind(), &Make<lvk::TEventDestroy, TfraEventDestroy>},
      {lvk::TEventKey::ClassKind(), &Make<lvk::TEventKey, TfraEventkey>},
      {lvk::TEventTouch::ClassKind(), &Make<lvk::TEventTouch, TfraEventTouch>},
      {lvk::TEventCollision::ClassKind(), &Make<lvk::TEventCollision, TfraEventCollision>},
      {lvk::TEventOutside::ClassKind(), &Make<lvk::TEventOutside, TfraEventOutside>},
      {lvk::TEventKeyHeld::ClassKind(), &Make<lvk::TEventKeyHeld, TfraEventKeyHeld>},
      {lvk::TEventTimer::ClassKind(), &Make<lvk::TEventTimer, TfraEventTimer>},
      {lvk::TEventAnimationEnd::ClassKind(), &Make<lvk::TEventAnimationEnd, TfraEventAnimationEnd>},
  };
  return Table;
}

}  // namespace

QWidget* CreateEventEditor(lvk::TEventBase& Event, QWidget* Host,
                           std::function<void(const QString& Summary)> SummaryChanged) {
  for (const TEditorEntry& Entry : EditorTable()) {
    if (&Entry.Kind != &Event.Kind()) continue;
    TfraEvent* Frame = Entry.Factory(Event, std::move(SummaryChanged), Host);
    QLayout* Layout = Host->layout();
    if (!Layout) {
      Layout = new QVBoxLayout(Host);
      Layout->setContentsMargins(0, 0, 0, 0);
    }
    Layout->addWidget(Frame);
    Frame->show();
    return Frame;
  }
  return nullptr;
}
