#pragma once
// The painter's tools and what one use of them does to a picture, kept apart
// from the widgets: a stroke is the picture before the mouse went down and
// the points it passed; a selection is a part lifted off the picture that
// can be moved and put down again without damaging what lies under it.
#include <cstdint>
#include <vector>

#include "model/UPixels.h"

enum class TPaintTool { Pencil, Line, Rectangle, FilledRectangle, Fill, Picker, Eraser, Move };

struct TPaintToolInfo {
  TPaintTool Tool;
  const char* Name;  // also the name of the undo step a use of it makes
  const char* Key;   // a key sequence in its portable form
  const char* Hint;
  const char* LongHint;
  const char* HelpKeyword;
};

// Every tool, in the order of the tool bar.
const std::vector<TPaintToolInfo>& PaintTools();
const TPaintToolInfo& PaintToolInfo(TPaintTool Tool);
// Tools that paint while the mouse is down; the picker and the move tool do not.
bool IsDrawingTool(TPaintTool Tool);

// One drag of a drawing tool: the pencil and the eraser leave a trail, the
// line and the rectangles follow the mouse from where it went down, the
// fill acts once where it went down.
class TStroke {
public:
  TStroke(TPaintTool Tool, const lvk::TPixels& Before, int X, int Y, std::uint8_t Index);
  void MoveTo(int X, int Y);
  const lvk::TPixels& Result() const { return FResult; }
  TPaintTool Tool() const { return FTool; }

private:
  TPaintTool FTool;
  lvk::TPixels FBefore;
  lvk::TPixels FResult;
  int FStartX, FStartY, FLastX, FLastY;
  std::uint8_t FIndex;
};

// A rectangle of the picture chosen with the move tool. Once lifted (by its
// first move or a paste) its pixels float over the picture as it was
// without them, so moving it again and again loses nothing under it; the
// hole it leaves is transparent.
class TPaintSelection {
public:
  bool Active() const { return !FRect.Empty(); }
  bool Lifted() const { return FLifted; }
  const lvk::TPixelRect& Rect() const { return FRect; }
  // A new rectangle (clipped to the picture), not lifted.
  void Select(const lvk::TPixelRect& Rect, const lvk::TPixels& Picture);
  void Clear();
  // The selected pixels: the floating part once lifted.
  lvk::TPixels Part(const lvk::TPixels& Picture) const;
  // The picture with the selection moved by (DX, DY) from where it is,
  // lifting it first; the selection goes along.
  lvk::TPixels MoveBy(const lvk::TPixels& Picture, int DX, int DY);
  // Part floats at (X, Y) over Picture: the picture with it put down there.
  lvk::TPixels PasteAt(const lvk::TPixels& Picture, const lvk::TPixels& Part, int X, int Y);
  // The picture the floating part was last put down on: a picture that
  // differs (an undo, another command) leaves nothing to float over.
  const lvk::TPixels& Shown() const { return FShown; }

private:
  lvk::TPixelRect FRect;
  bool FLifted = false;
  lvk::TPixels FBase;   // the picture without the floating part
  lvk::TPixels FPart;
  lvk::TPixels FShown;  // FBase with FPart put down at FRect
};
