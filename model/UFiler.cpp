#include "model/UFiler.h"

#include <cstring>
#include <vector>

#include "model/UErrors.h"
#include "model/UStream.h"
#include "model/UText.h"

namespace lvk {

namespace {

void PutLE(std::uint8_t* Out, std::uint64_t V, int Bytes) {
  for (int i = 0; i < Bytes; ++i) Out[i] = static_cast<std::uint8_t>(V >> (8 * i));
}

std::uint64_t GetLE(const std::uint8_t* In, int Bytes) {
  std::uint64_t V = 0;
  for (int i = 0; i < Bytes; ++i) V |= static_cast<std::uint64_t>(In[i]) << (8 * i);
  return V;
}

[[noreturn]] void Invalid() { throw EReadError("Invalid property value"); }

}  // namespace

// ---- TWriter ----

void TWriter::Write(const void* Bytes, std::size_t Count) {
  const auto* P = static_cast<const std::uint8_t*>(Bytes);
  while (Count > 0) {
    if (FCount == FBuffer.size()) FlushBuffer();
    std::size_t N = std::min(Count, FBuffer.size() - FCount);
    std::memcpy(FBuffer.data() + FCount, P, N);
    FCount += N;
    P += N;
    Count -= N;
  }
}

void TWriter::FlushBuffer() {
  if (FCount == 0) return;
  FStream.Write(FBuffer.data(), FCount);
  FCount = 0;
}

void TWriter::WriteInteger(std::int32_t Value) {
  std::uint8_t Out[5];
  int Bytes;
  if (Value >= -128 && Value <= 127) {
    Out[0] = vaInt8;
    Bytes = 1;
  } else if (Value >= -32768 && Value <= 32767) {
    Out[0] = vaInt16;
    Bytes = 2;
  } else {
    Out[0] = vaInt32;
    Bytes = 4;
  }
  PutLE(Out + 1, static_cast<std::uint32_t>(Value), Bytes);
  Write(Out, 1 + Bytes);
}

void TWriter::WriteLink(const std::string& Name, TItemId Id) {
  if (FLinksById)
    WriteInteger(static_cast<std::int32_t>(Id));
  else
    WriteString(Name);
}

void TWriter::WriteString(const std::string& Value) {
  std::uint8_t Head[5];
  int HeadSize;
  if (!IsAscii(Value) || Value.size() > 255) {
    Head[0] = IsAscii(Value) ? vaLString : vaUTF8String;
    PutLE(Head + 1, Value.size(), 4);
    HeadSize = 5;
  } else {
    Head[0] = vaString;
    Head[1] = static_cast<std::uint8_t>(Value.size());
    HeadSize = 2;
  }
  Write(Head, HeadSize);
  Write(Value.data(), Value.size());
}

void TWriter::WriteBoolean(bool Value) { WriteByte(Value ? vaTrue : vaFalse); }

void TWriter::WriteDate(double Value) {
  std::uint8_t Out[9];
  Out[0] = vaDate;
  std::uint64_t Bits;
  std::memcpy(&Bits, &Value, 8);
  PutLE(Out + 1, Bits, 8);
  Write(Out, 9);
}

void TWriter::WriteListEnd() { WriteByte(vaNull); }

// ---- TReader ----

void TReader::Fill() {
  FPos = 0;
  FEnd = FStream.Read(FBuffer.data(), FBuffer.size());
}

void TReader::Read(void* Bytes, std::size_t Count) {
  auto* P = static_cast<std::uint8_t*>(Bytes);
  while (Count > 0) {
    if (FPos == FEnd) {
      Fill();
      if (FEnd == 0) throw EReadError("Stream read error");
    }
    std::size_t N = std::min(Count, FEnd - FPos);
    std::memcpy(P, FBuffer.data() + FPos, N);
    FPos += N;
    P += N;
    Count -= N;
  }
}

std::uint64_t TReader::Remaining() const { return (FEnd - FPos) + FStream.Remaining(); }

void TReader::FixupBuffer() {
  std::size_t Unread = FEnd - FPos;
  if (Unread) FStream.Seek(FStream.Position() - Unread);
  FPos = FEnd = 0;
}

std::uint8_t TReader::ReadTag() {
  std::uint8_t Tag;
  Read(&Tag, 1);
  return Tag;
}

std::int64_t TReader::ReadIntegerOfTag(std::uint8_t Tag, bool Allow64) {
  int Bytes;
  switch (Tag) {
    case vaInt8: Bytes = 1; break;
    case vaInt16: Bytes = 2; break;
    case vaInt32: Bytes = 4; break;
    case vaInt64:
      if (!Allow64) Invalid();
      Bytes = 8;
      break;
    default: Invalid();
  }
  std::uint8_t In[8];
  Read(In, Bytes);
  std::uint64_t V = GetLE(In, Bytes);
  // Sign-extend from the stored width.
  int Shift = 64 - 8 * Bytes;
  return static_cast<std::int64_t>(V << Shift) >> Shift;
}

std::int32_t TReader::ReadInteger() { return static_cast<std::int32_t>(ReadIntegerOfTag(ReadTag(), false)); }

TLink TReader::ReadLink() {
  if (!FLinksById) return {ReadString(), NoItem};
  return {{}, static_cast<TItemId>(ReadInteger())};
}

std::string TReader::ReadString() {
  std::uint8_t Tag = ReadTag();
  std::uint64_t Length;
  if (Tag == vaString) {
    std::uint8_t L;
    Read(&L, 1);
    Length = L;
  } else if (Tag == vaLString || Tag == vaWString || Tag == vaUTF8String) {
    std::uint8_t In[4];
    Read(In, 4);
    Length = GetLE(In, 4);
  } else {
    Invalid();
  }
  std::uint64_t Bytes = Tag == vaWString ? Length * 2 : Length;
  if (Bytes > Remaining()) throw EReadError("Stream read error");
  std::vector<std::uint8_t> Data(static_cast<std::size_t>(Bytes));
  if (Bytes) Read(Data.data(), Data.size());
  switch (Tag) {
    case vaWString: return Utf16LeToUtf8(Data.data(), static_cast<std::size_t>(Length));
    case vaUTF8String: return SanitizeUtf8(Data.data(), Data.size());
    default: return Cp1252ToUtf8(Data.data(), Data.size());
  }
}

bool TReader::ReadBoolean() { return ReadTag() == vaTrue; }

double TReader::ReadDate() {
  std::uint8_t Tag = ReadTag();
  if (Tag == vaDate) {
    std::uint8_t In[8];
    Read(In, 8);
    std::uint64_t Bits = GetLE(In, 8);
    double D;
    std::memcpy(&D, &Bits, 8);
    return D;
  }
  return static_cast<double>(ReadIntegerOfTag(Tag, true));
}

bool TReader::EndOfList() {
  if (FPos == FEnd) {
    Fill();
    if (FEnd == 0) throw EReadError("Stream read error");
  }
  return FBuffer[FPos] == vaNull;
}

void TReader::ReadListEnd() {
  if (ReadTag() != vaNull) Invalid();
}

}  // namespace lvk
