#!/bin/sh
# Draws the program's logo (50x160, the about box's left strip) and its icon
# (64, 32 and 16 pixels square) with ImageMagick. Run it from any folder; it
# writes the PNG files next to itself.
set -eu
cd "$(dirname "$0")"

# The logo: the letter L laid out in 8x8 tiles over a night-blue strip, with
# a two-screen handheld below it.
convert -size 50x160 gradient:'#17233f'-'#1f5c78' \
  -fill '#f2b134' -draw 'rectangle 10,14 19,23'  -draw 'rectangle 10,26 19,35' \
  -fill '#ef7d3c' -draw 'rectangle 10,38 19,47'  -draw 'rectangle 10,50 19,59' \
  -fill '#d9483b' -draw 'rectangle 10,62 19,71'  -draw 'rectangle 10,74 19,83' \
  -fill '#5fb86a' -draw 'rectangle 22,74 31,83' \
  -fill '#3fa0c8' -draw 'rectangle 34,74 43,83' \
  -fill '#ffffff' -draw 'rectangle 36,62 41,67' \
  -fill '#c9d1dc' -stroke '#0d1426' -strokewidth 1 \
  -draw 'roundrectangle 9,98 41,149 4,4' \
  -stroke none -fill '#0d1426' -draw 'rectangle 9,123 41,124' \
  -fill '#2b3f66' -draw 'rectangle 13,102 37,119' -draw 'rectangle 13,128 37,145' \
  -fill '#f2b134' -draw 'rectangle 16,112 19,115' \
  -fill '#5fb86a' -draw 'rectangle 24,108 27,111' \
  -fill '#ef7d3c' -draw 'rectangle 29,136 32,139' \
  -strip PNG24:LurvikLogo50x160.png

# The icon: the same tile L on a rounded square.
convert -size 64x64 xc:none \
  -fill '#1b3552' -draw 'roundrectangle 1,1 62,62 10,10' \
  -fill '#f2b134' -draw 'rectangle 12,10 23,21' \
  -fill '#ef7d3c' -draw 'rectangle 12,24 23,35' \
  -fill '#d9483b' -draw 'rectangle 12,38 23,49' \
  -fill '#5fb86a' -draw 'rectangle 26,38 37,49' \
  -fill '#3fa0c8' -draw 'rectangle 40,38 51,49' \
  -strip PNG32:LurvikIcon64.png
convert LurvikIcon64.png -resize 32x32 -strip PNG32:LurvikIcon32.png
convert LurvikIcon64.png -resize 16x16 -strip PNG32:LurvikIcon16.png
