#pragma once
// Turning the model's pictures into Qt's, for drawing. Qt never decodes a
// tile: the model reads every pixel, and this only copies the colours.
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

#include <vector>

namespace lvk {
class TPeekBitmap;
class TActor;
class TGame;
class TTile;
}

// Every pixel as GetColor reads it; a format the model cannot read gives an
// empty image.
QImage ToImage(const lvk::TPeekBitmap& Picture);
// A model picture as a 16x16 icon, every pixel a sharp square: an icon
// draws a smaller picture unscaled in a corner of its place.
QIcon PictureIcon(const lvk::TPeekBitmap& Picture);
// A kind's 16x16 icon with its background colour (fuchsia) transparent.
QPixmap IconPixmap(const lvk::TPeekBitmap& Icon);
// A frame drawn from its tiles at the actor's size; cells without a tile
// are transparent.
QImage FrameImage(const lvk::TActor& Actor, const std::vector<lvk::TTile*>& Tiles);
// What stands for an actor in the tree and the lists: the first frame of
// its animations when they draw it (a square, the frame centred in it), else
// its tile's picture, or the no-tile picture.
QImage ActorImage(const lvk::TGame& Game, const lvk::TActor& Actor);
// Built-in artwork of the user interface, by resource name ("BmpGame18x18").
QPixmap UiPixmap(const QString& Name);
