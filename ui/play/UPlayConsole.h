#pragma once
// The text console of the DS's upper screen as the DS program sets it up: 32
// columns by 24 rows of 8x8 characters, written with printf. The play window
// feeds it the same text the DS program prints, so both show the same screen.
// No Qt: the frame drawing reads it.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/lvk_host.h"
#include "generator/UGenerator.h"  // WelcomeText

namespace lvk {

class TPlayConsole {
public:
  static constexpr int Columns = 32;
  static constexpr int Rows = 24;

  TPlayConsole() { Clear(); }

  // Empty screen, cursor at the top left.
  void Clear();
  // Prints Text as bytes, as the DS console does: "\n" starts the next row,
  // "\r" goes back to column 0, a tab moves to the next multiple of 3, a
  // character past the last column wraps first, the bottom row scrolls, and
  // the escapes ESC [ row ; col H, ESC [ 2 J and ESC [ K place the cursor,
  // clear the screen and clear to the end of the row. Other escapes are
  // skipped. An escape may be split over several calls.
  void Write(std::string_view Text);

  // The byte shown in a cell (a space where nothing was printed).
  unsigned char At(int Column, int Row) const { return FCells[Row * Columns + Column]; }
  // A row without its trailing spaces.
  std::string RowText(int Row) const;
  int CursorColumn() const { return FColumn; }
  int CursorRow() const { return FRow; }

private:
  void Put(unsigned char C);
  void NewRow();
  void Escape(char Final);

  std::array<unsigned char, Columns * Rows> FCells{};
  int FColumn = 0;
  int FRow = 0;
  // An escape being read: 0 none, 1 after ESC, 2 inside ESC [.
  int FEscape = 0;
  std::string FParameters;
};

// Brings the upper screen up to date as the DS program does after a step or
// a level start (lvk_host.h): the game's rows, the status and keys lines,
// and on a repaint the start text for a game titled Title first. Screen is
// what was printed before. Gives whether anything was printed.
bool PrintUpperScreen(TPlayConsole& Console, lvk_host_screen_t& Screen, lvk_engine_t& Engine, const std::string& Title);

// The 8x8 glyph of an ASCII character (32 to 126): eight rows, top first, bit
// 7 the leftmost pixel. Other bytes have no glyph (nullptr).
const std::uint8_t* ConsoleGlyph(unsigned char C);

}  // namespace lvk
