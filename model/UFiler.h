#pragma once
// The tagged value encoding of project files: TWriter writes it, TReader
// reads it. Both work through a 4096-byte buffer over a TStream; a record that
// writes raw bytes (the tile's picture) calls FlushBuffer or FixupBuffer first,
// so the file stays one continuous byte sequence.
#include <array>
#include <cstdint>
#include <string>

#include "model/UItemId.h"

namespace lvk {

class TStream;

enum TValueTag : std::uint8_t {
  vaNull = 0,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaString = 6,
  vaFalse = 8,
  vaTrue = 9,
  vaLString = 12,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20,
};

class TWriter {
public:
  explicit TWriter(TStream& Stream) : FStream(Stream) {}
  TWriter(const TWriter&) = delete;
  TWriter& operator=(const TWriter&) = delete;

  void WriteInteger(std::int32_t Value);
  void WriteString(const std::string& Value);
  void WriteBoolean(bool Value);
  void WriteDate(double Value);
  void WriteListEnd();
  // How a record names another item: by its name in the project file (a
  // String, "" for none), by its id in the undo history (an Integer, 0 for
  // none), so that a rename there changes the renamed item's record only.
  void SetLinksById(bool ById) { FLinksById = ById; }
  bool LinksById() const { return FLinksById; }
  void WriteLink(const std::string& Name, TItemId Id);
  // Hands every buffered byte to the stream. Called before raw bytes are
  // written to the stream and at the end of a save.
  void FlushBuffer();

private:
  void Write(const void* Bytes, std::size_t Count);
  void WriteByte(std::uint8_t B) { Write(&B, 1); }

  TStream& FStream;
  std::array<std::uint8_t, 4096> FBuffer;
  std::size_t FCount = 0;
  bool FLinksById = false;
};

// What WriteLink wrote: a name, or an id when links are by id.
struct TLink {
  std::string Name;
  TItemId Id = NoItem;
  bool IsNone() const { return Name.empty() && Id == NoItem; }
};

// Every failure here is EReadError: a wrong tag, data ending early, or a
// length that cannot fit in the bytes left (checked before allocating).
class TReader {
public:
  explicit TReader(TStream& Stream) : FStream(Stream) {}
  TReader(const TReader&) = delete;
  TReader& operator=(const TReader&) = delete;

  std::int32_t ReadInteger();
  std::string ReadString();
  bool ReadBoolean();
  double ReadDate();
  // True when the next byte is the end-of-list tag; consumes nothing.
  bool EndOfList();
  void ReadListEnd();
  // As the writer wrote it (TWriter::WriteLink).
  void SetLinksById(bool ById) { FLinksById = ById; }
  bool LinksById() const { return FLinksById; }
  TLink ReadLink();
  // Gives the read-ahead bytes back to the stream, whose position is then
  // that of the next unread value. Called before raw bytes are read from the
  // stream directly.
  void FixupBuffer();

  // Bytes not yet consumed, in the buffer and in the stream.
  std::uint64_t Remaining() const;

private:
  std::uint8_t ReadTag();
  void Read(void* Bytes, std::size_t Count);
  void Fill();
  std::int64_t ReadIntegerOfTag(std::uint8_t Tag, bool Allow64);

  TStream& FStream;
  std::array<std::uint8_t, 4096> FBuffer{};
  std::size_t FPos = 0;
  std::size_t FEnd = 0;
  bool FLinksById = false;
};

}  // namespace lvk
