#include "model/UText.h"

namespace lvk {

namespace {

const std::uint16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::uint32_t Replacement = 0xFFFD;

}  // namespace

bool IsAscii(const std::string& S) {
  for (unsigned char C : S)
    if (C >= 0x80) return false;
  return true;
}

void AppendUtf8(std::string& Out, std::uint32_t Cp) {
  if (Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)) Cp = Replacement;
  if (Cp < 0x80) {
    Out += static_cast<char>(Cp);
  } else if (Cp < 0x800) {
    Out += static_cast<char>(0xC0 | (Cp >> 6));
    Out += static_cast<char>(0x80 | (Cp & 0x3F));
  } else if (Cp < 0x10000) {
    Out += static_cast<char>(0xE0 | (Cp >> 12));
    Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Cp & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (Cp >> 18));
    Out += static_cast<char>(0x80 | ((Cp >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Cp & 0x3F));
  }
}

std::string Cp1252ToUtf8(const std::uint8_t* Bytes, std::size_t Count) {
  std::string Out;
  Out.reserve(Count);
  for (std::size_t i = 0; i < Count; ++i) {
    std::uint8_t B = Bytes[i];
    if (B < 0x80)
      Out += static_cast<char>(B);
    else if (B < 0xA0)
      AppendUtf8(Out, Cp1252High[B - 0x80]);
    else
      AppendUtf8(Out, B);
  }
  return Out;
}

std::string Utf16LeToUtf8(const std::uint8_t* Bytes, std::size_t Units) {
  std::string Out;
  Out.reserve(Units);
  for (std::size_t i = 0; i < Units; ++i) {
    std::uint32_t U = Bytes[2 * i] | (Bytes[2 * i + 1] << 8);
    if (U >= 0xD800 && U <= 0xDBFF && i + 1 < Units) {
      std::uint32_t V = Bytes[2 * i + 2] | (Bytes[2 * i + 3] << 8);
      if (V >= 0xDC00 && V <= 0xDFFF) {
        AppendUtf8(Out, 0x10000 + ((U - 0xD800) << 10) + (V - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(Out, (U >= 0xD800 && U <= 0xDFFF) ? Replacement : U);
  }
  return Out;
}

std::string SanitizeUtf8(const std::uint8_t* Bytes, std::size_t Count) {
  std::string Out;
  Out.reserve(Count);
  std::size_t i = 0;
  while (i < Count) {
    std::uint8_t B = Bytes[i];
    if (B < 0x80) {
      Out += static_cast<char>(B);
      ++i;
      continue;
    }
    int Len = (B >= 0xC2 && B <= 0xDF) ? 2 : (B >= 0xE0 && B <= 0xEF) ? 3 : (B >= 0xF0 && B <= 0xF4) ? 4 : 0;
    std::uint32_t Cp = Len == 2 ? (B & 0x1F) : Len == 3 ? (B & 0x0F) : (B & 0x07);
    bool Ok = Len > 0 && i + Len <= Count;
    for (int k = 1; Ok && k < Len; ++k) {
      std::uint8_t C = Bytes[i + k];
      if ((C & 0xC0) != 0x80) Ok = false;
      Cp = (Cp << 6) | (C & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed too.
    if (Ok && ((Len == 3 && Cp < 0x800) || (Len == 4 && (Cp < 0x10000 || Cp > 0x10FFFF)) ||
               (Cp >= 0xD800 && Cp <= 0xDFFF)))
      Ok = false;
    if (Ok) {
      Out.append(reinterpret_cast<const char*>(Bytes + i), Len);
      i += Len;
    } else {
      AppendUtf8(Out, Replacement);
      ++i;
    }
  }
  return Out;
}

bool SameTextAscii(const std::string& A, const std::string& B) {
  if (A.size() != B.size()) return false;
  for (std::size_t i = 0; i < A.size(); ++i) {
    unsigned char X = A[i], Y = B[i];
    if (X >= 'A' && X <= 'Z') X += 32;
    if (Y >= 'A' && Y <= 'Z') Y += 32;
    if (X != Y) return false;
  }
  return true;
}

}  // namespace lvk
