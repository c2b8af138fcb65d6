#pragma once
// The editing frame of each event kind. The kinds themselves know no user
// interface, so the table from kind to frame lives here.
#include <QString>
#include <functional>

class QWidget;

namespace lvk {
class TEventBase;
}

// Builds the frame of Event's kind as a child of Host, filling it (a host
// without a layout gets one), with every control set from the event. The
// host owns the frame and must free it before the event is replaced. When
// the user changes a value the frame stores it, marks the game changed and
// calls SummaryChanged with the event's new summary, which is the text of
// the handler's tree node. Null for a kind without a frame.
QWidget* CreateEventEditor(lvk::TEventBase& Event, QWidget* Host,
                           std::function<void(const QString& Summary)> SummaryChanged);
