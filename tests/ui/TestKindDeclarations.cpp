// Each kind is declared once, in the catalogue (engine/lvk_kinds.h): the
// registries must hold exactly its kinds, in its order, with its texts,
// numbers and values, and what the other places hold of a kind (its icon,
// its event frame, its help page and the values and ranges that page
// states, its number in the engine's tables and the engine's check of the
// values it stores there) must agree with it. The catalogue is walked, so a
// new kind is checked without touching this test.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "TScriptedDialogs.h"
#include "behaviour/UKindCatalogue.h"
#include "generator/UGameTables.h"
#include "model/UActor.h"
#include "model/UBitmap.h"
#include "model/UGame.h"
#include "model/UKinds.h"
#include "ui/common/UHelp.h"
#include "ui/events/UEventEditors.h"

using namespace lvk;

namespace {

bool HasHelpPage(const std::string& Prefix, const std::string& Name) {
  const QDir Pages(QCoreApplication::applicationDirPath() + "/help");
  return QFileInfo::exists(Pages.filePath(QString::fromStdString(Prefix + Name).toLower() + ".htm"));
}

QString HelpPage(const std::string& Page) {
  QFile File(QCoreApplication::applicationDirPath() + "/help/" + QString::fromStdString(Page) + ".htm");
  return File.open(QIODevice::ReadOnly) ? QString::fromUtf8(File.readAll()) : QString();
}

// A row of a help page's table of values: its labels ("X, Y" for two), what
// it says and its keys.
struct THelpRow {
  QStringList Labels;
  QString Text;
  QString Keys;
};

std::vector<THelpRow> HelpValueRows(const QString& Page) {
  const qsizetype From = Page.indexOf("<h2>Values</h2>");
  if (From < 0) return {};
  const QString Table = Page.mid(From, Page.indexOf("</table>", From) - From);
  static const QRegularExpression Row("<tr><td>(.*?)</td><td>(.*?)</td><td>(.*?)</td></tr>",
                                      QRegularExpression::DotMatchesEverythingOption);
  std::vector<THelpRow> Rows;
  for (auto M = Row.globalMatch(Table); M.hasNext();) {
    const auto Match = M.next();
    Rows.push_back({Match.captured(1).split(", "), Match.captured(2), Match.captured(3)});
  }
  return Rows;
}

// The help page of an action describes each of its values in a row that
// names it, gives its access key and states its range as the catalogue has
// it; no row names a value the kind lacks.
void ExpectHelpValues(const TCatalogueKind& Kind) {
  const std::vector<THelpRow> Rows = HelpValueRows(HelpPage(ActionHelpPage(Kind)));
  std::set<QString> Labels;
  for (const TActionValue& V : Kind.Values) {
    const QString Label = QString(V.Label).remove('&');
    Labels.insert(Label);
    const auto Row = std::find_if(Rows.begin(), Rows.end(), [&](const THelpRow& R) { return R.Labels.contains(Label); });
    if (Row == Rows.end()) {
      ADD_FAILURE() << Kind.Name << ": its help page has no row for " << Label.toStdString();
      continue;
    }
    const QString Key = QString(V.Label).section('&', 1).left(1).toUpper();
    EXPECT_TRUE(Row->Keys.contains("<kbd>" + Key + "</kbd>")) << Kind.Name << ": " << Label.toStdString() << "'s key";
    if (V.HasRange())
      EXPECT_TRUE(Row->Text.contains(QString::fromStdString(RangeText(V))))
          << Kind.Name << ": the help page does not say " << Label.toStdString() << " takes " << RangeText(V);
  }
  for (const THelpRow& R : Rows)
    for (const QString& Label : R.Labels)
      EXPECT_TRUE(Labels.count(Label)) << Kind.Name << ": its help page describes a value " << Label.toStdString();
}

void ExpectIcon(const TPeekBitmap& Icon, const std::string& Name, std::vector<const TPeekBitmap*>& Seen) {
  EXPECT_EQ(Icon.Width(), 16) << Name;
  EXPECT_EQ(Icon.Height(), 16) << Name;
  for (const TPeekBitmap* Other : Seen) EXPECT_FALSE(Icon == *Other) << Name << " shares its icon";
  Seen.push_back(&Icon);
}

// The engine's code of every kind lies in 0..Count-1, no two kinds share
// one, and every code the engine plays has its kind.
template <typename TKind>
void ExpectCodes(int KindCount, const TKind& (*At)(int), const TKind* (*ByCode)(int), int Count) {
  std::set<int> Codes;
  for (int i = 0; i < KindCount; ++i) {
    const TKind& Kind = At(i);
    const TEngineCode Code = Kind.EngineCode();
    EXPECT_TRUE(Code.Code >= 0 && Code.Code < Count) << Kind.DisplayName() << " has no engine number";
    EXPECT_EQ(ByCode(Code.Code), &Kind) << Kind.DisplayName() << " shares its number " << Code.Code;
    EXPECT_NE(std::string(Code.Name), "") << Kind.DisplayName();
    Codes.insert(Code.Code);
  }
  EXPECT_EQ(static_cast<int>(Codes.size()), Count) << "an engine number without its kind";
}

// Tables with one actor of one handler of one action, and Counts of the items
// an action names (the same count for each unless given).
struct TTables {
  TGameTables T;
  explicit TTables(std::map<TValueType, int> Counts = {}, int Others = 1) {
    auto Of = [&](TValueType Type) { return Counts.count(Type) ? Counts[Type] : Others; };
    T.Actors.resize(static_cast<std::size_t>(Of(TValueType::Actor)));
    T.Actors[0].handler_count = 1;
    // Two animations, so that SetAnimation's number (checked against its
    // actor's animations) is valid at 0 and 1 like every other kind's ref.
    T.Animations.resize(2);
    T.Actors[0].animation_count = 2;
    T.Handlers.push_back({});
    T.Handlers[0].action_count = 1;
    T.Actions.push_back({});
    T.TileCount = static_cast<std::uint16_t>(Of(TValueType::Tile));
    T.Variables.resize(static_cast<std::size_t>(Of(TValueType::Variable)), {0, LVK_SCOPE_GAME});
    T.Texts.resize(static_cast<std::size_t>(Of(TValueType::Text)));
    T.SoundCount = static_cast<std::uint16_t>(Of(TValueType::Sound));
  }
  bool Check() const {
    const lvk_game_t Game = T.Game();
    return lvk_game_check(&Game) != 0;
  }
};

// The value types an action stores as a number of another item in its
// entry's ref, which the engine must check against that item's count.
bool NamesItem(TValueType Type) {
  return Type == TValueType::Variable || Type == TValueType::Actor || Type == TValueType::Tile ||
         Type == TValueType::Text || Type == TValueType::Sound;
}

}  // namespace

TEST(KindDeclarations, EveryEventKindHasItsIconFrameHelpNumberAndCheck) {
  TScriptedDialogs Dialogs;
  TGame Game;
  THandler* Handler = Game.AddActor()->AddHandler();
  std::vector<const TPeekBitmap*> Icons;
  ASSERT_EQ(EventKindCount(), static_cast<int>(EventCatalogue().size()));
  for (int i = 0; i < EventKindCount(); ++i) {
    const TEventKind& Kind = EventKindAt(i);
    const std::string Name = Kind.DisplayName();
    const TCatalogueKind& Entry = EventCatalogue()[static_cast<std::size_t>(i)];
    EXPECT_EQ(Name, Entry.Name);
    EXPECT_EQ(Kind.Description(), Entry.Text) << Name;
    EXPECT_EQ(Kind.SortOrder(), Entry.SortOrder) << Name;
    EXPECT_EQ(Kind.EngineCode().Code, Entry.Number) << Name;
    EXPECT_FALSE(HelpPage(EventHelpPage(Entry)).isEmpty()) << Name;
    ExpectIcon(Kind.Icon(), Name, Icons);
    EXPECT_TRUE(HasHelpPage("event-", Name)) << Name << " has no help page";
    Handler->SetEvent(Kind);
    QWidget Host;
    std::unique_ptr<QWidget> Frame(CreateEventEditor(*Handler->Event(), &Host, {}));
    EXPECT_NE(Frame, nullptr) << Name << " has no editor frame";
    if (Frame) {
      EXPECT_EQ(NearestHelpKeyword(Frame.get()), "event-" + QString::fromStdString(Name).toLower()) << Name;
    }

    // An event naming another actor has that actor checked by the engine;
    // any other leaves the field alone.
    TTables Tables;
    Tables.T.Handlers[0].event = static_cast<std::uint8_t>(Kind.EngineCode().Code);
    EXPECT_TRUE(Tables.Check()) << Name;
    Tables.T.Handlers[0].other = static_cast<std::uint16_t>(Tables.T.Actors.size());
    EXPECT_EQ(Tables.Check(), !Handler->Event()->NamesActor()) << Name << ": the engine's check of its other actor";
  }
  ExpectCodes<TEventKind>(EventKindCount(), &EventKindAt, &FindEventKindByCode, LVK_EVENT_KINDS);
}

TEST(KindDeclarations, EveryActionKindHasItsIconHelpNumberAndCheck) {
  TGame Game;
  THandler* Handler = Game.AddActor()->AddHandler();
  std::vector<const TPeekBitmap*> Icons;
  for (int i = 0; i < EventKindCount(); ++i) Icons.push_back(&EventKindAt(i).Icon());
  ASSERT_EQ(ActionKindCount(), static_cast<int>(ActionCatalogue().size()));
  for (int i = 0; i < ActionKindCount(); ++i) {
    const TActionKind& Kind = ActionKindAt(i);
    const std::string Name = Kind.DisplayName();
    const TCatalogueKind& Declared = ActionCatalogue()[static_cast<std::size_t>(i)];
    EXPECT_EQ(Name, Declared.Name);
    EXPECT_EQ(Kind.Description(), Declared.Text) << Name;
    EXPECT_EQ(Kind.EngineCode().Code, Declared.Number) << Name;
    ExpectIcon(Kind.Icon(), Name, Icons);
    EXPECT_TRUE(HasHelpPage("action-", Name)) << Name << " has no help page";
    ExpectHelpValues(Declared);

    // The engine checks the item an action names against that item's count
    // (not another's), and a comparison against the comparisons; an action
    // naming nothing takes any ref.
    std::unique_ptr<TActionBase> Action(Kind.Create(*Handler));
    // The editor's values are the catalogue's: what the pane shows and
    // checks, the defaults a new action starts with, the ranges.
    ASSERT_EQ(Action->ValueCount(), static_cast<int>(Declared.Values.size())) << Name;
    for (int v = 0; v < Action->ValueCount(); ++v) {
      const TActionValue Info = Action->ValueInfo(v), &Value = Declared.Values[static_cast<std::size_t>(v)];
      EXPECT_EQ(std::string(Info.Label), Value.Label) << Name;
      EXPECT_EQ(Info.Type, Value.Type) << Name;
      EXPECT_EQ(std::make_pair(Info.Min, Info.Max), std::make_pair(Value.Min, Value.Max)) << Name;
      EXPECT_EQ(Action->GetValue(v), Value.Default) << Name;
      EXPECT_EQ(std::string(Info.Hint).find("%r"), std::string::npos) << Name << ": a range left unfilled";
    }
    std::optional<TValueType> Named;
    bool Compares = false;
    for (int v = 0; v < Action->ValueCount(); ++v) {
      const TValueType Type = Action->ValueInfo(v).Type;
      if (NamesItem(Type)) Named = Type;
      Compares = Compares || Type == TValueType::Compare;
    }
    auto Entry = [&](TTables& Tables) -> lvk_action_t& {
      Tables.T.Actions[0].kind = static_cast<std::uint8_t>(Kind.EngineCode().Code);
      return Tables.T.Actions[0];
    };
    TTables Valid;
    Entry(Valid);
    EXPECT_TRUE(Valid.Check()) << Name;
    TTables Beyond;
    Entry(Beyond).ref = 1;
    EXPECT_EQ(Beyond.Check(), !Named) << Name << ": the engine's check of the item it names";
    if (Named) {
      TTables Others({{*Named, 2}}, 1);
      Entry(Others).ref = 1;
      EXPECT_TRUE(Others.Check()) << Name << ": checked against another item's count";
      TTables Own({{*Named, 1}}, 2);
      Entry(Own).ref = 1;
      EXPECT_FALSE(Own.Check()) << Name << ": checked against another item's count";
    }
    TTables Comparison;
    Entry(Comparison).n[2] = LVK_COMPARE_AT_LEAST + 1;
    EXPECT_EQ(Comparison.Check(), !Compares) << Name << ": the engine's check of its comparison";
  }
  ExpectCodes<TActionKind>(ActionKindCount(), &ActionKindAt, &FindActionKindByCode, LVK_ACTION_KINDS);
}
