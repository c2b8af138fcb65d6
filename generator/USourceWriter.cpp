#include "generator/USourceWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

#include "model/UStream.h"
#include "model/UText.h"

namespace lvk {

namespace {

constexpr std::size_t FlushSize = 64 * 1024;
constexpr char Unmappable = '?';

// The code points of bytes 0x80 to 0x9F, taken from the model's own decoder
// so both directions agree.
const std::unordered_map<std::uint32_t, char>& HighCodePoints() {
  static const std::unordered_map<std::uint32_t, char> Map = [] {
    std::unordered_map<std::uint32_t, char> M;
    for (unsigned B = 0x80; B < 0xA0; ++B) {
      auto Byte = static_cast<std::uint8_t>(B);
      std::string Utf8 = Cp1252ToUtf8(&Byte, 1);
      // Two or three bytes: the lead byte's payload, then six bits a byte.
      std::uint32_t Cp = static_cast<std::uint8_t>(Utf8[0]) & (Utf8.size() == 2 ? 0x1F : 0x0F);
      for (std::size_t i = 1; i < Utf8.size(); ++i) Cp = (Cp << 6) | (static_cast<std::uint8_t>(Utf8[i]) & 0x3F);
      M.emplace(Cp, static_cast<char>(Byte));
    }
    return M;
  }();
  return Map;
}

// Decodes one UTF-8 sequence at Text[At]; false when it is malformed.
bool DecodeAt(std::string_view Text, std::size_t& At, std::uint32_t& Cp) {
  auto Lead = static_cast<std::uint8_t>(Text[At]);
  int Extra = Lead >= 0xC2 && Lead <= 0xDF ? 1 : Lead >= 0xE0 && Lead <= 0xEF ? 2 : Lead >= 0xF0 && Lead <= 0xF4 ? 3 : -1;
  if (Extra < 0 || At + static_cast<std::size_t>(Extra) >= Text.size()) return false;
  Cp = Lead & (0x3F >> Extra);
  for (int i = 1; i <= Extra; ++i) {
    auto Next = static_cast<std::uint8_t>(Text[At + i]);
    if ((Next & 0xC0) != 0x80) return false;
    Cp = (Cp << 6) | (Next & 0x3F);
  }
  static constexpr std::array<std::uint32_t, 4> Smallest{0, 0x80, 0x800, 0x10000};
  if (Cp < Smallest[Extra] || Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)) return false;
  At += Extra;
  return true;
}

char Cp1252Of(std::uint32_t Cp) {
  if (Cp < 0x80 || (Cp >= 0xA0 && Cp <= 0xFF)) return static_cast<char>(Cp);
  auto Found = HighCodePoints().find(Cp);
  return Found == HighCodePoints().end() ? Unmappable : Found->second;
}

}  // namespace

std::string Utf8ToCp1252(std::string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (std::size_t i = 0; i < Text.size(); ++i) {
    if (static_cast<std::uint8_t>(Text[i]) < 0x80) {
      Out += Text[i];
      continue;
    }
    std::uint32_t Cp = 0;
    Out += DecodeAt(Text, i, Cp) ? Cp1252Of(Cp) : Unmappable;
  }
  return Out;
}

void TSourceWriter::Add(std::string_view Text) {
  // Nearly all generated text is ASCII, which both encodings share.
  bool Ascii = std::all_of(Text.begin(), Text.end(), [](char C) { return static_cast<std::uint8_t>(C) < 0x80; });
  if (Ascii)
    FPending.append(Text);
  else
    FPending += Utf8ToCp1252(Text);
  if (FPending.size() >= FlushSize) Flush();
}

void TSourceWriter::EndLine() { Add("\r\n"); }

void TSourceWriter::Flush() {
  // Cleared first: after a failed write, nothing is written twice.
  std::string Piece;
  Piece.swap(FPending);
  if (!Piece.empty()) FStream.Write(Piece.data(), Piece.size());
}

}  // namespace lvk
