#include "model/UFormat.h"

#include <cstdio>

namespace lvk {

namespace {

std::string IntText(std::int64_t V, char Conv, int Precision) {
  std::string Digits;
  bool Negative = false;
  std::uint64_t U;
  if (Conv == 'x') {
    // A hexadecimal value is shown as the 32-bit pattern, like the platform did.
    U = static_cast<std::uint32_t>(V);
    char Buf[32];
    std::snprintf(Buf, sizeof Buf, "%llX", static_cast<unsigned long long>(U));
    Digits = Buf;
  } else {
    Negative = V < 0;
    U = Negative ? 0 - static_cast<std::uint64_t>(V) : static_cast<std::uint64_t>(V);
    Digits = std::to_string(U);
  }
  // A precision gives a minimum digit count; "%.d" of 0 still shows "0".
  if (Precision > 0 && static_cast<int>(Digits.size()) < Precision)
    Digits.insert(0, Precision - Digits.size(), '0');
  return Negative ? "-" + Digits : Digits;
}

}  // namespace

std::string FormatV(const std::string& Pattern, const std::vector<TFormatArg>& Args) {
  std::string Out;
  std::size_t Next = 0;
  for (std::size_t i = 0; i < Pattern.size(); ++i) {
    char C = Pattern[i];
    if (C != '%') {
      Out += C;
      continue;
    }
    if (i + 1 < Pattern.size() && Pattern[i + 1] == '%') {
      Out += '%';
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool LeftAlign = false;
    if (j < Pattern.size() && Pattern[j] == '-') {
      LeftAlign = true;
      ++j;
    }
    int Width = 0;
    while (j < Pattern.size() && Pattern[j] >= '0' && Pattern[j] <= '9') Width = Width * 10 + (Pattern[j++] - '0');
    int Precision = -1;
    if (j < Pattern.size() && Pattern[j] == '.') {
      ++j;
      Precision = 0;
      while (j < Pattern.size() && Pattern[j] >= '0' && Pattern[j] <= '9')
        Precision = Precision * 10 + (Pattern[j++] - '0');
    }
    if (j >= Pattern.size()) {
      Out += Pattern.substr(i);
      break;
    }
    char Conv = Pattern[j];
    if (Conv == 'X') Conv = 'x';
    std::string Piece;
    const TFormatArg* Arg = Next < Args.size() ? &Args[Next] : nullptr;
    if (Conv == 's') {
      if (Arg) Piece = std::holds_alternative<std::string>(*Arg) ? std::get<std::string>(*Arg)
                                                                : std::to_string(std::get<std::int64_t>(*Arg));
      if (Precision >= 0 && static_cast<int>(Piece.size()) > Precision) Piece.resize(Precision);
    } else if (Conv == 'd' || Conv == 'x' || Conv == 'u') {
      std::int64_t V = 0;
      if (Arg && std::holds_alternative<std::int64_t>(*Arg)) V = std::get<std::int64_t>(*Arg);
      Piece = IntText(V, Conv == 'x' ? 'x' : 'd', Precision);
    } else {
      // Not a conversion we know: keep the text as it stands.
      Out += Pattern.substr(i, j - i + 1);
      i = j;
      continue;
    }
    ++Next;
    if (static_cast<int>(Piece.size()) < Width) {
      std::string Pad(Width - Piece.size(), ' ');
      Piece = LeftAlign ? Piece + Pad : Pad + Piece;
    }
    Out += Piece;
    i = j;
  }
  return Out;
}

}  // namespace lvk
