#include "model/UBitmap.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "model/UErrors.h"
#include "model/UFormat.h"
#include "model/UStream.h"

namespace lvk {

namespace {

const char* const SInvalid = "Bitmap image is not valid";

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t MaskBytes = 12;
// The header written for a picture with an alpha mask: the four masks, the
// colour space and its unused end points and gammas.
constexpr std::uint32_t V4HeaderSize = 108;
constexpr std::uint32_t LcsSrgb = 0x73524742;  // "sRGB"
// Headers from this size on hold an alpha mask after the three colour masks.
constexpr std::uint32_t AlphaHeaderSize = 56;
// Run-length data can describe far more pixels than it has bytes, so the
// decoded picture is capped instead of being bounded by the input: at
// 2048 x 2048 pixels, which a palette read visits one by one. Row padding
// makes that at most 16 MB (four bytes a pixel in a one-pixel-wide picture).
constexpr std::uint64_t MaxRlePixels = 4u * 1024 * 1024;

[[noreturn]] void Invalid() { throw EGame(SInvalid); }

std::uint16_t Get16(const std::uint8_t* P) { return static_cast<std::uint16_t>(P[0] | (P[1] << 8)); }

std::uint32_t Get32(const std::uint8_t* P) {
  return static_cast<std::uint32_t>(P[0]) | (static_cast<std::uint32_t>(P[1]) << 8) |
         (static_cast<std::uint32_t>(P[2]) << 16) | (static_cast<std::uint32_t>(P[3]) << 24);
}

void Put16(std::vector<std::uint8_t>& Out, std::uint32_t V) {
  Out.push_back(static_cast<std::uint8_t>(V));
  Out.push_back(static_cast<std::uint8_t>(V >> 8));
}

void Put32(std::vector<std::uint8_t>& Out, std::uint32_t V) {
  Put16(Out, V & 0xFFFF);
  Put16(Out, V >> 16);
}

std::uint64_t RowBytes(std::uint64_t Width, std::uint64_t BitCount) {
  return (Width * BitCount + 31) / 32 * 4;
}

std::uint32_t Rgb(std::uint32_t R, std::uint32_t G, std::uint32_t B) { return R | (G << 8) | (B << 16); }

std::uint32_t Expand5(std::uint32_t V) { return (V << 3) | (V >> 2); }
std::uint32_t Expand6(std::uint32_t V) { return (V << 2) | (V >> 4); }

// A read-only stream over bytes owned by the caller, so that a file's bytes
// are parsed in place by the same reader as a project file's stream.
class TByteView : public TStream {
public:
  TByteView(const std::uint8_t* Bytes, std::size_t Count) : FBytes(Bytes), FCount(Count) {}
  std::size_t Read(void* Buffer, std::size_t Count) override {
    std::size_t N = FPos < FCount ? std::min<std::uint64_t>(Count, FCount - FPos) : 0;
    if (N > 0) std::memcpy(Buffer, FBytes + FPos, N);
    FPos += N;
    return N;
  }
  void Write(const void*, std::size_t) override { throw EFileError("Cannot write to a read-only stream"); }
  std::uint64_t Position() const override { return FPos; }
  void Seek(std::uint64_t Position) override { FPos = Position; }
  std::uint64_t Size() const override { return FCount; }

private:
  const std::uint8_t* FBytes;
  std::size_t FCount;
  std::uint64_t FPos = 0;
};

// What the headers say, already checked and in the 40-byte form.
struct TInfo {
  std::uint32_t OffBits = 0;
  std::uint32_t HeaderSize = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::uint16_t Planes = 0;
  std::uint16_t BitCount = 0;
  std::uint32_t Compression = BI_RGB;
  std::uint32_t SizeImage = 0;
  std::uint32_t ClrUsed = 0;
  std::array<std::uint32_t, 3> Masks{};
  std::uint32_t AlphaMask = 0;

  bool Core() const { return HeaderSize == CoreHeaderSize; }
  bool Rle() const { return Compression == BI_RLE8 || Compression == BI_RLE4; }
  bool TopDown() const { return Height < 0; }
  std::uint64_t Rows() const { return TopDown() ? -static_cast<std::int64_t>(Height) : Height; }
  std::uint64_t RowSize() const { return RowBytes(static_cast<std::uint64_t>(Width), BitCount); }
};

// 64 is the second OS/2 form: the 40-byte fields, then its own, which are
// not needed to read the pixels.
constexpr std::uint32_t Os2HeaderSize = 64;

bool KnownHeaderSize(std::uint32_t Size) {
  return Size == 12 || Size == 40 || Size == 52 || Size == 56 || Size == Os2HeaderSize || Size == 108 || Size == 124;
}

bool KnownBitCount(std::uint16_t Bits) {
  return Bits == 1 || Bits == 4 || Bits == 8 || Bits == 16 || Bits == 24 || Bits == 32;
}

bool CompressionFits(std::uint32_t Compression, std::uint16_t Bits, std::uint32_t HeaderSize) {
  // In the OS/2 form 3 means Huffman coding, not bit fields.
  if (HeaderSize == Os2HeaderSize && Compression == BI_BITFIELDS) return false;
  switch (Compression) {
    case BI_RGB: return true;
    case BI_RLE8: return Bits == 8;
    case BI_RLE4: return Bits == 4;
    case BI_BITFIELDS: return Bits == 16 || Bits == 32;
    default: return false;
  }
}

// A picture with no pixels is no picture file to import, but a project file
// may hold one in a tile, whose size is not checked on load.
void Validate(const TInfo& Info, bool InProject) {
  if (Info.Planes != 1 || !KnownBitCount(Info.BitCount) ||
      !CompressionFits(Info.Compression, Info.BitCount, Info.HeaderSize))
    Invalid();
  if (Info.Width < 0 || Info.Height == INT32_MIN) Invalid();
  if (!InProject && (Info.Width == 0 || Info.Height == 0)) Invalid();
}

// Decodes run-length data into uncompressed rows (first row of the data
// first). Every write is clipped to the picture and every read to the data.
class TRleDecoder {
public:
  TRleDecoder(const std::vector<std::uint8_t>& Data, const TInfo& Info, std::vector<std::uint8_t>& Rows)
      : FData(Data), FRows(Rows), FWidth(static_cast<std::uint64_t>(Info.Width)), FRowCount(Info.Rows()),
        FRowSize(Info.RowSize()), FFourBit(Info.Compression == BI_RLE4) {}

  void Run() {
    // Data that simply ends without the end-of-bitmap mark is accepted.
    while (FPos + 2 <= FData.size() && FY < FRowCount) {
      std::uint8_t Count = Next();
      std::uint8_t Value = Next();
      if (Count > 0)
        Encoded(Count, Value);
      else if (!Escape(Value))
        return;
    }
  }

private:
  std::uint8_t Next() {
    if (FPos >= FData.size()) Invalid();
    return FData[FPos++];
  }

  void Encoded(unsigned Count, std::uint8_t Value) {
    for (unsigned I = 0; I < Count; ++I) Put(FFourBit ? (I % 2 == 0 ? Value >> 4 : Value & 15) : Value);
  }

  // Returns false at the end-of-bitmap mark.
  bool Escape(std::uint8_t Code) {
    switch (Code) {
      case 0: FX = 0; ++FY; return true;
      case 1: return false;
      case 2: FX += Next(); FY += Next(); return true;
      default: Absolute(Code); return true;
    }
  }

  void Absolute(unsigned Count) {
    std::size_t Bytes = FFourBit ? (Count + 1) / 2 : Count;
    if (Bytes > FData.size() - FPos) Invalid();
    for (unsigned I = 0; I < Count; ++I) {
      std::uint8_t B = FData[FPos + (FFourBit ? I / 2 : I)];
      Put(FFourBit ? (I % 2 == 0 ? B >> 4 : B & 15) : B);
    }
    // Absolute runs are padded to a 16-bit boundary; a missing last pad byte is harmless.
    FPos = std::min(FData.size(), FPos + Bytes + Bytes % 2);
  }

  void Put(unsigned Value) {
    if (FX < FWidth && FY < FRowCount) {
      std::uint8_t& B = FRows[FY * FRowSize + (FFourBit ? FX / 2 : FX)];
      if (!FFourBit)
        B = static_cast<std::uint8_t>(Value);
      else if (FX % 2 == 0)
        B = static_cast<std::uint8_t>((B & 0x0F) | (Value << 4));
      else
        B = static_cast<std::uint8_t>((B & 0xF0) | Value);
    }
    ++FX;
  }

  const std::vector<std::uint8_t>& FData;
  std::vector<std::uint8_t>& FRows;
  std::uint64_t FWidth, FRowCount, FRowSize;
  bool FFourBit;
  std::size_t FPos = 0;
  std::uint64_t FX = 0, FY = 0;
};

// Reads one BMP from a stream. A file's BMP may place its pixels by the file
// header's offset; a project file's BMP has everything back to back, and a
// short project file is a read error rather than a bad picture.
class TBmpReader {
public:
  TBmpReader(TStream& Stream, bool InProject) : FStream(Stream), FInProject(InProject) {}

  void Read(TBitmap& Result) {
    TInfo Info = ReadHeaders();
    std::vector<std::uint32_t> Table = ReadColorTable(Info);
    if (!FInProject) SeekToPixels(Info);
    std::vector<std::uint8_t> Rows = Info.Rle() ? ReadRle(Info) : ReadRows(Info);
    if (Info.TopDown()) FlipRows(Rows, Info.RowSize());
    bool Fields = Info.Compression == BI_BITFIELDS;
    Result.Assign(Info.Width, static_cast<int>(Info.Rows()), Info.BitCount, Fields ? BI_BITFIELDS : BI_RGB,
                  Fields ? Info.Masks : std::array<std::uint32_t, 3>{}, std::move(Table), std::move(Rows),
                  Fields ? Info.AlphaMask : 0);
  }

private:
  void Require(std::uint64_t Count) {
    if (Count <= FStream.Remaining()) return;
    if (FInProject) throw EReadError("Bitmap data past the end of the stream");
    Invalid();
  }

  void ReadExact(void* Buffer, std::size_t Count) {
    Require(Count);
    FStream.ReadBuffer(Buffer, Count);
  }

  void Skip(std::uint64_t Count) {
    Require(Count);
    FStream.Seek(FStream.Position() + Count);
  }

  TInfo ReadHeaders() {
    std::uint8_t File[FileHeaderSize];
    ReadExact(File, sizeof File);
    if (File[0] != 'B' || File[1] != 'M') Invalid();
    TInfo Info;
    Info.OffBits = Get32(File + 10);
    FHeadersStart = FStream.Position() - FileHeaderSize;

    std::uint8_t Header[124] = {};
    ReadExact(Header, 4);
    Info.HeaderSize = Get32(Header);
    if (!KnownHeaderSize(Info.HeaderSize)) Invalid();
    ReadExact(Header + 4, Info.HeaderSize - 4);
    if (Info.Core()) {
      Info.Width = Get16(Header + 4);
      Info.Height = Get16(Header + 6);
      Info.Planes = Get16(Header + 8);
      Info.BitCount = Get16(Header + 10);
    } else {
      Info.Width = static_cast<std::int32_t>(Get32(Header + 4));
      Info.Height = static_cast<std::int32_t>(Get32(Header + 8));
      Info.Planes = Get16(Header + 12);
      Info.BitCount = Get16(Header + 14);
      Info.Compression = Get32(Header + 16);
      Info.SizeImage = Get32(Header + 20);
      Info.ClrUsed = Get32(Header + 32);
    }
    Validate(Info, FInProject);
    if (Info.Compression == BI_BITFIELDS) ReadMasks(Info, Header);
    FHeadersEnd = FStream.Position();
    return Info;
  }

  void ReadMasks(TInfo& Info, const std::uint8_t* Header) {
    std::uint8_t Outside[MaskBytes];
    const std::uint8_t* Masks = Header + InfoHeaderSize;
    if (Info.HeaderSize == InfoHeaderSize) {
      ReadExact(Outside, sizeof Outside);
      Masks = Outside;
    }
    for (int I = 0; I < 3; ++I) Info.Masks[I] = Get32(Masks + 4 * I);
    if (Info.HeaderSize >= AlphaHeaderSize && Info.BitCount == 32) Info.AlphaMask = Get32(Header + InfoHeaderSize + MaskBytes);
  }

  std::vector<std::uint32_t> ReadColorTable(const TInfo& Info) {
    std::uint64_t Count = Info.ClrUsed;
    if (Info.Core() || Count == 0) Count = Info.BitCount <= 8 ? 1u << Info.BitCount : 0;
    std::uint64_t EntrySize = Info.Core() ? 3 : 4;
    Require(Count * EntrySize);
    // Entries past what the pixels can index are skipped, not kept.
    std::uint64_t Kept = std::min<std::uint64_t>(Count, 1u << std::min<int>(Info.BitCount, 8));
    std::vector<std::uint32_t> Table;
    Table.reserve(Kept);
    for (std::uint64_t I = 0; I < Kept; ++I) {
      std::uint8_t E[4];
      ReadExact(E, EntrySize);
      Table.push_back(Rgb(E[2], E[1], E[0]));
    }
    Skip((Count - Kept) * EntrySize);
    return Table;
  }

  // The file header's offset is used when it points past the headers and into
  // the file; otherwise the pixels are taken to follow the colour table.
  void SeekToPixels(const TInfo& Info) {
    std::uint64_t Offset = FHeadersStart + Info.OffBits;
    if (Offset >= FHeadersEnd && Offset < FStream.Size()) FStream.Seek(Offset);
  }

  std::vector<std::uint8_t> ReadRows(const TInfo& Info) {
    std::uint64_t Size = Info.RowSize() * Info.Rows();
    // A project file's BMP is consumed up to its stated image size, so that
    // the next value is found even when that size includes extra bytes.
    std::uint64_t Consumed = FInProject ? std::max<std::uint64_t>(Info.SizeImage, Size) : Size;
    Require(Consumed);
    if (Size > INT_MAX) Invalid();
    std::vector<std::uint8_t> Rows(Size);
    ReadExact(Rows.data(), Rows.size());
    Skip(Consumed - Size);
    return Rows;
  }

  std::vector<std::uint8_t> ReadRle(const TInfo& Info) {
    std::uint64_t Consumed = Info.SizeImage;
    if (Consumed == 0) Consumed = FInProject ? Info.RowSize() * Info.Rows() : FStream.Remaining();
    Require(Consumed);
    if (static_cast<std::uint64_t>(Info.Width) * Info.Rows() > MaxRlePixels) Invalid();
    std::vector<std::uint8_t> Data(Consumed);
    ReadExact(Data.data(), Data.size());
    std::vector<std::uint8_t> Rows(Info.RowSize() * Info.Rows(), 0);
    TRleDecoder(Data, Info, Rows).Run();
    return Rows;
  }

  static void FlipRows(std::vector<std::uint8_t>& Rows, std::uint64_t RowSize) {
    if (RowSize == 0) return;  // no pixels to turn
    std::size_t Count = Rows.size() / RowSize;
    for (std::size_t I = 0; I < Count / 2; ++I)
      std::swap_ranges(Rows.begin() + I * RowSize, Rows.begin() + (I + 1) * RowSize,
                       Rows.begin() + (Count - 1 - I) * RowSize);
  }

  TStream& FStream;
  bool FInProject;
  std::uint64_t FHeadersStart = 0;
  std::uint64_t FHeadersEnd = 0;
};

bool WholeByte(std::uint32_t Mask) {
  return Mask == 0xFFu || Mask == 0xFF00u || Mask == 0xFF0000u || Mask == 0xFF000000u;
}

// The 32-bit bit-field forms image tools write: each colour in a byte of its
// own, alpha in the fourth byte or nowhere. Other masks stay unreadable.
bool ByteMasks(const std::array<std::uint32_t, 3>& Masks, std::uint32_t Alpha) {
  if (!WholeByte(Masks[0]) || !WholeByte(Masks[1]) || !WholeByte(Masks[2])) return false;
  if ((Masks[0] | Masks[1] | Masks[2]) != (Masks[0] ^ Masks[1] ^ Masks[2])) return false;  // two share a byte
  return Alpha == 0 || (WholeByte(Alpha) && (Alpha & (Masks[0] | Masks[1] | Masks[2])) == 0);
}

int MaskShift(std::uint32_t Mask) {
  int Shift = 0;
  while (Mask && !(Mask & 1)) {
    Mask >>= 1;
    ++Shift;
  }
  return Shift;
}

}  // namespace

TPixelFormat TBitmap::PixelFormat() const {
  if (Empty()) return TPixelFormat::pfDevice;
  switch (FBitCount) {
    case 1: return TPixelFormat::pf1bit;
    case 4: return TPixelFormat::pf4bit;
    case 8: return TPixelFormat::pf8bit;
    case 16:
      if (FCompression == BI_RGB) return TPixelFormat::pf15bit;
      return FMasks[1] == 0x07E0 ? TPixelFormat::pf16bit : TPixelFormat::pfCustom;
    case 24: return TPixelFormat::pf24bit;
    case 32:
      return FCompression == BI_RGB || ByteMasks(FMasks, FAlphaMask) ? TPixelFormat::pf32bit : TPixelFormat::pfCustom;
    default: return TPixelFormat::pfCustom;
  }
}

int TBitmap::RowSize() const {
  return static_cast<int>(
      RowBytes(static_cast<std::uint64_t>(std::max(FWidth, 0)), static_cast<std::uint64_t>(FBitCount)));
}

const std::uint8_t* TBitmap::ScanLine(int Y) const {
  Assert(Y >= 0 && Y < FHeight, "UGame");
  return FRows.data() + static_cast<std::size_t>(FHeight - 1 - Y) * static_cast<std::size_t>(RowSize());
}

std::uint8_t* TBitmap::ScanLine(int Y) {
  return const_cast<std::uint8_t*>(static_cast<const TBitmap&>(*this).ScanLine(Y));
}

void TBitmap::Assign(int Width, int Height, int BitCount, std::uint32_t Compression,
                     const std::array<std::uint32_t, 3>& Masks, std::vector<std::uint32_t> ColorTable,
                     std::vector<std::uint8_t> Rows, std::uint32_t AlphaMask) {
  Assert(Width >= 0 && Height >= 0 && BitCount >= 0, "UGame");
  Assert(Rows.size() == RowBytes(static_cast<std::uint64_t>(Width), static_cast<std::uint64_t>(BitCount)) *
                            static_cast<std::uint64_t>(Height),
         "UGame");
  FWidth = Width;
  FHeight = Height;
  FBitCount = BitCount;
  FCompression = Compression;
  FMasks = Masks;
  FAlphaMask = AlphaMask;
  FColorTable = std::move(ColorTable);
  FRows = std::move(Rows);
  FAlphaUsed = false;
  if (FAlphaMask != 0 && FBitCount == 32)
    for (std::size_t I = 0; I + 4 <= FRows.size() && !FAlphaUsed; I += 4) FAlphaUsed = (Get32(&FRows[I]) & FAlphaMask) != 0;
}

void TBitmap::LoadFromFile(const std::string& FileName) {
  std::vector<std::uint8_t> Bytes = ReadWholeFile(FileName);
  LoadFromBytes(Bytes.data(), Bytes.size());
}

void TBitmap::LoadFromBytes(const std::uint8_t* Bytes, std::size_t Count) {
  TByteView View(Bytes, Count);
  TBitmap Loaded;
  TBmpReader(View, false).Read(Loaded);
  *this = std::move(Loaded);
}

void TBitmap::LoadFromStream(TStream& Stream) {
  TBitmap Loaded;
  TBmpReader(Stream, true).Read(Loaded);
  *this = std::move(Loaded);
}

void TBitmap::SaveToStream(TStream& Stream) const {
  std::vector<std::uint8_t> Bytes = SaveToBytes();
  Stream.Write(Bytes.data(), Bytes.size());
}

std::vector<std::uint8_t> TBitmap::SaveToBytes() const {
  bool HasMasks = FCompression == BI_BITFIELDS;
  // Only a picture with alpha needs the larger header; all others keep the
  // 40-byte form that every stored game holds.
  bool HasAlpha = HasMasks && FAlphaMask != 0;
  std::uint32_t HeaderSize = HasAlpha ? V4HeaderSize : InfoHeaderSize;
  std::uint32_t Offset = FileHeaderSize + HeaderSize + (HasMasks && !HasAlpha ? MaskBytes : 0) +
                         4 * static_cast<std::uint32_t>(FColorTable.size());
  std::uint32_t ImageSize = static_cast<std::uint32_t>(FRows.size());
  std::vector<std::uint8_t> Out;
  Out.reserve(Offset + ImageSize);
  Out.push_back('B');
  Out.push_back('M');
  Put32(Out, Offset + ImageSize);
  Put32(Out, 0);
  Put32(Out, Offset);
  Put32(Out, HeaderSize);
  Put32(Out, static_cast<std::uint32_t>(FWidth));
  Put32(Out, static_cast<std::uint32_t>(FHeight));
  Put16(Out, 1);
  Put16(Out, static_cast<std::uint32_t>(FBitCount));
  Put32(Out, FCompression);
  Put32(Out, ImageSize);
  Put32(Out, 0);
  Put32(Out, 0);
  Put32(Out, static_cast<std::uint32_t>(FColorTable.size()));
  Put32(Out, 0);
  if (HasMasks)
    for (std::uint32_t M : FMasks) Put32(Out, M);
  if (HasAlpha) {
    Put32(Out, FAlphaMask);
    Put32(Out, LcsSrgb);
    Out.resize(FileHeaderSize + HeaderSize, 0);  // end points and gammas, unused with sRGB
  }
  for (std::uint32_t C : FColorTable) Put32(Out, ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF));
  Out.insert(Out.end(), FRows.begin(), FRows.end());
  return Out;
}

void TBitmap::SaveToFile(const std::string& FileName) const {
  TSafeFileWriter Writer(FileName);
  SaveToStream(Writer.Stream());
  Writer.Commit();
}

std::uint32_t TPeekBitmap::GetColor(int X, int Y) const {
  TPixelFormat Format = PixelFormat();
  if (Format == TPixelFormat::pfDevice || Format == TPixelFormat::pfCustom)
    throw EGame(lvk::Format("Don't know how to handle pixel format (\"%s\")", PixelFormatName(Format)));
  if (X < 0 || Y < 0 || X >= Width() || Y >= Height()) return 0;
  const std::uint8_t* Row = ScanLine(Y);
  auto Indexed = [this](unsigned Index) {
    return Index < ColorTable().size() ? ColorTable()[Index] & 0xFFFFFF : 0;
  };
  switch (Format) {
    case TPixelFormat::pf1bit: return Indexed((Row[X / 8] >> (7 - X % 8)) & 1);
    case TPixelFormat::pf4bit: return Indexed(X % 2 == 0 ? Row[X / 2] >> 4 : Row[X / 2] & 15);
    case TPixelFormat::pf8bit: return Indexed(Row[X]);
    case TPixelFormat::pf15bit: {
      std::uint32_t W = Get16(Row + 2 * X);
      return Rgb(Expand5((W >> 10) & 31), Expand5((W >> 5) & 31), Expand5(W & 31));
    }
    case TPixelFormat::pf16bit: {
      std::uint32_t W = Get16(Row + 2 * X);
      return Rgb(Expand5(W >> 11), Expand6((W >> 5) & 63), Expand5(W & 31));
    }
    case TPixelFormat::pf24bit: return Rgb(Row[3 * X + 2], Row[3 * X + 1], Row[3 * X]);
    case TPixelFormat::pf32bit: {
      if (Compression() != BI_BITFIELDS) return Rgb(Row[4 * X + 2], Row[4 * X + 1], Row[4 * X]);
      std::uint32_t P = Get32(Row + 4 * X);
      auto Part = [P](std::uint32_t Mask) { return (P & Mask) >> MaskShift(Mask); };
      return Rgb(Part(Masks()[0]), Part(Masks()[1]), Part(Masks()[2]));
    }
    default: throw EGame(lvk::Format("Don't know how to handle pixel format (\"%s\")", "Other"));
  }
}

bool TPeekBitmap::Transparent(int X, int Y) const {
  if (!AlphaUsed() || PixelFormat() != TPixelFormat::pf32bit) return false;
  if (X < 0 || Y < 0 || X >= Width() || Y >= Height()) return false;
  return (Get32(ScanLine(Y) + 4 * X) & AlphaMask()) == 0;
}

const char* PixelFormatName(TPixelFormat Format) {
  switch (Format) {
    case TPixelFormat::pfDevice: return "Device";
    case TPixelFormat::pfCustom: return "Custom";
    default: return "Other";
  }
}

}  // namespace lvk
