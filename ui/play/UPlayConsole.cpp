#include "ui/play/UPlayConsole.h"

#include <algorithm>

#include "engine/lvk_font.h"
#include "generator/UGenerator.h"

namespace lvk {

namespace {

constexpr int TabSize = 3;
// Longer parameter lists are not escapes the DS program writes; the rest of
// such an escape is skipped without growing the buffer.
constexpr std::size_t MaxParameters = 16;

}  // namespace

const std::uint8_t* ConsoleGlyph(unsigned char C) {
  return C >= LVK_FONT_FIRST && C <= LVK_FONT_LAST ? lvk_font_glyphs[C - LVK_FONT_FIRST] : nullptr;
}

void TPlayConsole::Clear() {
  FCells.fill(' ');
  FColumn = 0;
  FRow = 0;
  FEscape = 0;
  FParameters.clear();
}

std::string TPlayConsole::RowText(int Row) const {
  std::string Text(FCells.begin() + Row * Columns, FCells.begin() + (Row + 1) * Columns);
  Text.erase(Text.find_last_not_of(' ') + 1);
  return Text;
}

void TPlayConsole::NewRow() {
  FColumn = 0;
  if (++FRow < Rows) return;
  FRow = Rows - 1;
  std::copy(FCells.begin() + Columns, FCells.end(), FCells.begin());
  std::fill(FCells.end() - Columns, FCells.end(), ' ');
}

void TPlayConsole::Put(unsigned char C) {
  // The wrap waits for the next character, so a full row followed by a
  // newline leaves no empty row.
  if (FColumn >= Columns) NewRow();
  FCells[FRow * Columns + FColumn] = C;
  ++FColumn;
}

void TPlayConsole::Escape(char Final) {
  // Numbers separated by ";"; missing ones read as 0.
  int Numbers[2] = {0, 0};
  int Count = 0;
  for (char C : FParameters) {
    if (C == ';') {
      if (++Count > 1) break;
    } else if (C >= '0' && C <= '9' && Numbers[Count] < 1000) {
      Numbers[Count] = Numbers[Count] * 10 + (C - '0');
    }
  }
  switch (Final) {
    case 'H':
    case 'f':
      FRow = std::min(Numbers[0], Rows - 1);
      FColumn = std::min(Numbers[1], Columns - 1);
      break;
    case 'J':
      if (Numbers[0] == 2) {
        FCells.fill(' ');
        FRow = FColumn = 0;
      }
      break;
    case 'K':
      if (FColumn < Columns) std::fill(FCells.begin() + FRow * Columns + FColumn, FCells.begin() + (FRow + 1) * Columns, ' ');
      break;
    default: break;
  }
}

void TPlayConsole::Write(std::string_view Text) {
  for (char Ch : Text) {
    auto C = static_cast<unsigned char>(Ch);
    if (FEscape == 1) {
      FEscape = C == '[' ? 2 : 0;
      continue;
    }
    if (FEscape == 2) {
      if ((C >= '0' && C <= '9') || C == ';') {
        if (FParameters.size() < MaxParameters) FParameters += Ch;
        continue;
      }
      Escape(Ch);
      FEscape = 0;
      FParameters.clear();
      continue;
    }
    switch (C) {
      case 0x1B: FEscape = 1; break;
      case '\n': NewRow(); break;
      case '\r': FColumn = 0; break;
      case '\t':
        // Moves without printing; past the last column the next character wraps.
        FColumn = std::min(Columns, FColumn + TabSize - FColumn % TabSize);
        break;
      default: Put(C); break;
    }
  }
}

bool PrintUpperScreen(TPlayConsole& Console, lvk_host_screen_t& Screen, lvk_engine_t& Engine, const std::string& Title) {
  int Repaint = 0;
  const std::uint32_t Rows = lvk_host_rows_to_print(&Screen, &Engine, &Repaint);
  if (Repaint) {
    Console.Write("\x1b[2J");
    Console.Write(WelcomeText(Title));
  }
  char Line[LVK_TEXT_COLUMNS + 1];
  for (int Row = 0; Row < LVK_TEXT_ROWS; ++Row)
    if (((Rows >> Row) & 1u) && lvk_host_row(&Engine, Row, Line))
      Console.Write("\x1b[" + std::to_string(Row) + ";0H" + Line);
  return Rows != 0;
}

}  // namespace lvk
