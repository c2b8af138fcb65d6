#include "model/UItemCopies.h"

#include <string>

#include "model/UKinds.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/UGame.h"
#include "model/UStream.h"

namespace lvk {

namespace {

constexpr const char* HandlerMarker = "[THandler]";
constexpr const char* ActionsMarker = "[TActions]";

template <typename W>
TCopyBytes Written(const char* Marker, W Write) {
  TMemoryStream Stream;
  TWriter Writer(Stream);
  Writer.WriteString(Marker);
  Write(Stream, Writer);
  Writer.FlushBuffer();
  return Stream.Bytes();
}

// Reads a copy into Into; anything amiss is NoCopyMessage.
template <typename R>
void Read(const TCopyBytes& Bytes, const char* Marker, R ReadInto) {
  TMemoryStream Stream(Bytes);
  TReader Reader(Stream);
  try {
    if (Reader.ReadString() != Marker) throw EGame(NoCopyMessage);
    ReadInto(Stream, Reader);
  } catch (const EReadError&) {
    throw EGame(NoCopyMessage);
  } catch (const EGame&) {
    throw EGame(NoCopyMessage);
  }
}

bool Holds(const TCopyBytes& Bytes, const char* Marker) {
  TMemoryStream Stream(Bytes);
  TReader Reader(Stream);
  try {
    return Reader.ReadString() == Marker;
  } catch (const EReadError&) {
    return false;
  }
}

}  // namespace

TCopyBytes HandlerCopyBytes(const THandler& Handler) {
  return Written(HandlerMarker, [&](TStream& S, TWriter& W) { Handler.SaveToStream(S, W); });
}

THandler* PasteHandler(TActor& Into, const TCopyBytes& Bytes) {
  // Read into a game of its own first: a copy that breaks off leaves the
  // target untouched. Then into the target, where the names it holds are
  // looked up among the target's actors.
  {
    TGame Scratch;
    THandler* Trial = Scratch.AddActor()->AddHandler();
    Read(Bytes, HandlerMarker, [&](TStream& S, TReader& R) { Trial->LoadFromStream(S, R); });
  }
  THandler* To = Into.AddHandler();
  Read(Bytes, HandlerMarker, [&](TStream& S, TReader& R) { To->LoadFromStream(S, R); });
  // An actor this game lacks gives way to the handler's own.
  if (TEventBase* Event = To->Event(); Event && Event->NamesActor())
    Event->SetNamedActor(Event->NamedActor() ? *Event->NamedActor() : Into);
  To->Changed();  // read from the record, which tells no one
  return To;
}

TCopyBytes ActionCopyBytes(const THandler& Handler, int First, int Count) {
  return Written(ActionsMarker, [&](TStream& S, TWriter& W) {
    W.WriteInteger(Count);
    for (int i = First; i < First + Count; ++i) {
      W.WriteString(Handler.GetAction(i)->Kind().StreamKey());
      Handler.GetAction(i)->WriteParams(S, W);
    }
  });
}

int PasteActions(THandler& Into, int At, const TCopyBytes& Bytes) {
  // Read once into a handler of its own, so that a copy that breaks off
  // leaves the target untouched; then into the target, where the actions
  // look up what they name.
  int Count = 0;
  auto ReadActions = [&](THandler& Target, bool Place) {
    Read(Bytes, ActionsMarker, [&](TStream& S, TReader& R) {
      Count = R.ReadInteger();
      // Every action takes at least its key's bytes.
      if (Count < 0 || static_cast<std::uint64_t>(Count) > R.Remaining()) throw EGame(NoCopyMessage);
      for (int i = 0; i < Count; ++i) {
        const TActionKind* Kind = FindActionKind(R.ReadString());
        if (!Kind) throw EGame(NoCopyMessage);
        Target.AddAction(*Kind)->ReadParams(S, R);
        if (Place) Target.MoveAction(Target.ActionCount() - 1, At + i);
      }
    });
  };
  TGame Scratch;
  ReadActions(*Scratch.AddActor()->AddHandler(), false);
  Into.Actor().Owner().MayChange();  // also for a copy of no actions, which still tells
  ReadActions(Into, true);
  Into.Changed();  // read from the record, which tells no one
  return Count;
}

bool HoldsHandler(const TCopyBytes& Bytes) { return Holds(Bytes, HandlerMarker); }

bool HoldsActions(const TCopyBytes& Bytes) { return Holds(Bytes, ActionsMarker); }

}  // namespace lvk
