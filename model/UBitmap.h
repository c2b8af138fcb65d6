#pragma once
// The model's own picture: a device-independent bitmap as read from and
// written to BMP files. It keeps what the file said (size, bits per pixel,
// masks, colour table, rows) and writes the standard form: 14-byte file
// header, 40-byte information header, masks for bit-field pictures, colour
// table, rows bottom-up padded to 4 bytes. Run-length pictures are decoded on
// reading and kept uncompressed.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lvk {

class TStream;

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// Compression values of the information header that a kept picture can have.
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

class TBitmap {
public:
  TBitmap() = default;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int BitCount() const { return FBitCount; }
  // BI_RGB or BI_BITFIELDS; run-length pictures are stored decoded.
  std::uint32_t Compression() const { return FCompression; }
  // Red, green and blue masks; meaningful for BI_BITFIELDS only.
  const std::array<std::uint32_t, 3>& Masks() const { return FMasks; }
  // The alpha mask of a bit-field picture read with a header that has one;
  // 0 for every other picture. A picture with one is written with the
  // 108-byte header, which holds it.
  std::uint32_t AlphaMask() const { return FAlphaMask; }
  // Some pixel has alpha above 0. Tools that write an alpha mask without
  // filling it leave every pixel at 0: such a picture is opaque.
  bool AlphaUsed() const { return FAlphaUsed; }
  // Colour values (red in bits 0-7, green 8-15, blue 16-23).
  const std::vector<std::uint32_t>& ColorTable() const { return FColorTable; }
  TPixelFormat PixelFormat() const;
  bool Empty() const { return FWidth == 0 || FHeight == 0; }

  // Bytes of one row, padded to a multiple of 4.
  int RowSize() const;
  // Row Y counted from the top of the picture.
  const std::uint8_t* ScanLine(int Y) const;
  std::uint8_t* ScanLine(int Y);

  // Builds a picture from its parts; Rows holds RowSize() * Height bytes,
  // bottom row first. Used by the built-in pictures and by tests.
  void Assign(int Width, int Height, int BitCount, std::uint32_t Compression,
              const std::array<std::uint32_t, 3>& Masks, std::vector<std::uint32_t> ColorTable,
              std::vector<std::uint8_t> Rows, std::uint32_t AlphaMask = 0);

  // Reads a BMP file. Throws EFileError when the file cannot be opened and
  // EGame "Bitmap image is not valid" when it is not a BMP the program can
  // hold. The picture is unchanged when an error is raised.
  void LoadFromFile(const std::string& FileName);
  // Reads a BMP from memory, with the same rules as LoadFromFile.
  void LoadFromBytes(const std::uint8_t* Bytes, std::size_t Count);

  // Reads a BMP that lies inside a project file, starting at the stream's
  // position: header, masks, colour table and pixel data follow each other
  // directly (the file header's offset is not used). Any size loads, a
  // picture with no pixels too. A header that is not a BMP's raises EGame
  // "Bitmap image is not valid"; data that cannot fit in the bytes left
  // raises EReadError before anything is allocated for it. Leaves the stream
  // after the last pixel byte.
  void LoadFromStream(TStream& Stream);

  // Writes the standard BMP form.
  void SaveToStream(TStream& Stream) const;
  std::vector<std::uint8_t> SaveToBytes() const;
  // Written through a temporary file, so a failure leaves an old file intact.
  void SaveToFile(const std::string& FileName) const;

  bool operator==(const TBitmap& Other) const = default;

private:
  int FWidth = 0;
  int FHeight = 0;
  int FBitCount = 0;
  std::uint32_t FCompression = BI_RGB;
  std::array<std::uint32_t, 3> FMasks{};
  std::uint32_t FAlphaMask = 0;
  bool FAlphaUsed = false;
  std::vector<std::uint32_t> FColorTable;
  std::vector<std::uint8_t> FRows;  // bottom row first
};

// A picture that can read the colour of any pixel whatever its format.
class TPeekBitmap : public TBitmap {
public:
  using TBitmap::TBitmap;
  // The colour at column X, row Y (from the top-left, from 0). Throws EGame
  // "Don't know how to handle pixel format (\"...\")" for a format it cannot
  // read. An index past the colour table, or a position outside the picture,
  // reads as black.
  std::uint32_t GetColor(int X, int Y) const;
  // True for a pixel whose alpha is 0 in a picture that uses its alpha mask:
  // such a pixel is drawn with the transparent palette entry. False for any
  // picture without alpha and for a position outside the picture.
  bool Transparent(int X, int Y) const;
};

const char* PixelFormatName(TPixelFormat Format);

}  // namespace lvk
