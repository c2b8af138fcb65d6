#include "ui/panes/PaneHandler.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QVBoxLayout>

#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "ui/events/FraActions.h"
#include "ui/events/UEventEditors.h"
#include "ui/common/UHelp.h"
#include "ui/main/UPaneHost.h"
#include "ui/common/UPictures.h"
#include "ui/panes/UPaneLayout.h"

namespace {

// A comment tells handlers apart in the tree: a few words.
constexpr int MaxCommentLength = 80;

}  // namespace

// ---- Handlers ----

lvk::THandler* TPaneHandler::Handler() const { return Host().Game().HandlerById(ItemId()); }

TPaneHandler::TPaneHandler(TPaneHost& Host)
    : TItemPane(Host, "tsHandler", "Handler", "Event pane for managing the attributes of an event", "main-handler") {
  auto* Strip = new QWidget(this);
  Strip->setFixedHeight(69);
  auto* StripLayout = new QHBoxLayout(Strip);
  StripLayout->setContentsMargins(0, 0, 0, 0);
  gbxEventEditor = new QGroupBox(Strip);
  gbxEventEditor->setObjectName("gbxEventEditor");
  auto* EditorLayout = new QVBoxLayout(gbxEventEditor);
  EditorLayout->setContentsMargins(2, 2, 2, 2);
  auto* Column = new QWidget(Strip);
  Column->setFixedWidth(64);
  auto* ColumnLayout = new QVBoxLayout(Column);
  ColumnLayout->setContentsMargins(2, 2, 2, 2);
  butEventOther = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), "&Other", Column);
  butEventOther->setObjectName("butEventOther");
  butEventOther->setFixedSize(60, 25);
  SetHints(butEventOther, "Changes the type of the event (OnCreate, OnKey, ...)");
  butEventHelp = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), "He&lp", Column);
  butEventHelp->setObjectName("butEventHelp");
  butEventHelp->setFixedSize(60, 25);
  SetHints(butEventHelp, "Help on the event type");
  ColumnLayout->addWidget(butEventOther);
  ColumnLayout->addWidget(butEventHelp);
  StripLayout->addWidget(gbxEventEditor, 1);
  StripLayout->addWidget(Column);
  edtHandlerComment = new QLineEdit(this);
  edtHandlerComment->setObjectName("edtHandlerComment");
  edtHandlerComment->setMaxLength(MaxCommentLength);
  edtHandlerComment->setPlaceholderText("A note that tells this handler apart");
  SetHints(edtHandlerComment, "A short comment, shown after the handler in the tree",
           "A short comment, shown after the handler's summary in the tree, so two handlers of one kind can be "
           "told apart; Enter or leaving the field keeps it");
  BindNameField(edtHandlerComment, "Change handler comment",
                [this](const std::string& Text) {
                  Handler()->SetComment(Text);
                  edtHandlerComment->setModified(false);  // taken: an undo may show another text
                });
  auto* CommentLabel = new QLabel("Commen&t", this);
  CommentLabel->setBuddy(edtHandlerComment);
  QHBoxLayout* CommentRow = Row(Body());
  CommentRow->addWidget(CommentLabel);
  CommentRow->addWidget(edtHandlerComment, 1);
  Body()->addWidget(Strip);
  fraActions = new TfraActions(this);
  Body()->addWidget(fraActions, 1);
  connect(butEventOther, &QPushButton::clicked, this, &TPaneHandler::butEventOtherClick);
  connect(butEventHelp, &QPushButton::clicked, this, &TPaneHandler::butEventHelpClick);
}

void TPaneHandler::Show() {
  if (!Handler() || !Handler()->Event()) return;
  const lvk::TEventKind& Kind = Handler()->Event()->Kind();
  SetCaption(QString::fromStdString(Kind.DisplayName()) + " handler");
  SetHeaderIcon(IconPixmap(Kind.Icon()), 16);
  delete FEditor;  // the frame of the event shown last, maybe of a replaced event
  FEditor = CreateEventEditor(*Handler()->Event(), gbxEventEditor, {});
  fraActions->SetHandler(Handler());
  edtHandlerComment->setText(QString::fromStdString(Handler()->Comment()));
}

void TPaneHandler::Follow(const lvk::TChange& Change) {
  // Not over what the user is typing: the notice may be of an action.
  if (Shows(Change) && Change.Kind == lvk::TChangeKind::Changed &&
      !(edtHandlerComment->hasFocus() && edtHandlerComment->isModified()))
    edtHandlerComment->setText(QString::fromStdString(Handler()->Comment()));
}

void TPaneHandler::Release() {
  // The frame holds the handler's event.
  delete FEditor;
  FEditor = nullptr;
  fraActions->SetHandler(nullptr);
  TItemPane::Release();
}

void TPaneHandler::butEventOtherClick() {
  if (!Handler()) return;
  Host().SelectEvent(*Handler());
  if (Handler()) Show();
}

void TPaneHandler::butEventHelpClick() {
  if (!Handler() || !Handler()->Event()) return;
  HelpByKeyword("event-" + QString::fromStdString(Handler()->Event()->Kind().DisplayName()).toLower(), this);
}
