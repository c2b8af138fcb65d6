#include "ui/editors/UPaintTools.h"

#include <algorithm>

using lvk::TPixelRect;
using lvk::TPixels;

const std::vector<TPaintToolInfo>& PaintTools() {
  static const std::vector<TPaintToolInfo> Tools = {
      {TPaintTool::Pencil, "Pencil", "B", "Pencil (B)",
       "Pencil: paint pixels, left button in the left colour, right button in the right one", "painter-pencil"},
      {TPaintTool::Line, "Line", "L", "Line (L)", "Line: drag from one end to the other", "painter-line"},
      {TPaintTool::Rectangle, "Rectangle", "R", "Rectangle (R)", "Rectangle: drag from corner to corner",
       "painter-rectangle"},
      {TPaintTool::FilledRectangle, "Filled rectangle", "Shift+R", "Filled rectangle (Shift+R)",
       "Filled rectangle: drag from corner to corner", "painter-rectangle"},
      {TPaintTool::Fill, "Fill", "G", "Flood fill (G)",
       "Flood fill: the area of one colour under the mouse takes the chosen colour", "painter-fill"},
      {TPaintTool::Picker, "Colour picker", "I", "Colour picker (I, or Alt+click with any tool)",
       "Colour picker: the colour under the mouse becomes the left or right colour", "painter-picker"},
      {TPaintTool::Eraser, "Eraser", "E", "Eraser (E)", "Eraser: paints the transparent colour 0",
       "painter-eraser"},
      {TPaintTool::Move, "Move", "M", "Select and move (M)",
       "Select and move: drag out a part, then drag it; Ctrl+C and Ctrl+V copy and paste it", "painter-move"},
  };
  return Tools;
}

const TPaintToolInfo& PaintToolInfo(TPaintTool Tool) {
  for (const TPaintToolInfo& Info : PaintTools())
    if (Info.Tool == Tool) return Info;
  return PaintTools().front();
}

bool IsDrawingTool(TPaintTool Tool) { return Tool != TPaintTool::Picker && Tool != TPaintTool::Move; }

TStroke::TStroke(TPaintTool Tool, const TPixels& Before, int X, int Y, std::uint8_t Index)
    : FTool(Tool), FBefore(Before), FResult(Before), FStartX(X), FStartY(Y), FLastX(X), FLastY(Y),
      FIndex(Tool == TPaintTool::Eraser ? 0 : Index) {
  if (FTool == TPaintTool::Fill)
    FResult.FloodFill(X, Y, FIndex);
  else
    MoveTo(X, Y);
}

void TStroke::MoveTo(int X, int Y) {
  switch (FTool) {
    case TPaintTool::Pencil:
    case TPaintTool::Eraser:
      FResult.DrawLine(FLastX, FLastY, X, Y, FIndex);
      break;
    case TPaintTool::Line:
      FResult = FBefore;
      FResult.DrawLine(FStartX, FStartY, X, Y, FIndex);
      break;
    case TPaintTool::Rectangle:
    case TPaintTool::FilledRectangle:
      FResult = FBefore;
      FResult.DrawRect(lvk::RectFromCorners(FStartX, FStartY, X, Y), FIndex, FTool == TPaintTool::FilledRectangle);
      break;
    default:
      break;
  }
  FLastX = X;
  FLastY = Y;
}

void TPaintSelection::Select(const TPixelRect& Rect, const TPixels& Picture) {
  const int L = std::max(Rect.Left, 0), T = std::max(Rect.Top, 0);
  const int R = std::min(Rect.Left + Rect.Width, Picture.Width());
  const int B = std::min(Rect.Top + Rect.Height, Picture.Height());
  Clear();
  if (R > L && B > T) FRect = {L, T, R - L, B - T};
}

void TPaintSelection::Clear() {
  FRect = {};
  FLifted = false;
  FBase = FPart = FShown = TPixels();
}

TPixels TPaintSelection::Part(const TPixels& Picture) const { return FLifted ? FPart : Picture.Copy(FRect); }

TPixels TPaintSelection::MoveBy(const TPixels& Picture, int DX, int DY) {
  if (!Active()) return Picture;
  if (!FLifted) {
    FPart = Picture.Copy(FRect);
    FBase = Picture;
    FBase.DrawRect(FRect, 0, true);
    FLifted = true;
  }
  FRect.Left += DX;
  FRect.Top += DY;
  FShown = FBase;
  FShown.Paste(FPart, FRect.Left, FRect.Top);
  return FShown;
}

TPixels TPaintSelection::PasteAt(const TPixels& Picture, const TPixels& Part, int X, int Y) {
  Clear();
  if (Part.Width() == 0 || Part.Height() == 0) return Picture;
  FBase = Picture;
  FPart = Part;
  FRect = {X, Y, Part.Width(), Part.Height()};
  FLifted = true;
  FShown = FBase;
  FShown.Paste(FPart, X, Y);
  return FShown;
}
