#!/bin/sh
# Draws the pictures of the credits box with ImageMagick and saves them as
# small JPEG files next to this script: the background of the box's left part
# and one picture per row. They are our own drawings, not the logos of the
# projects they stand for. Needs the DejaVu fonts (fonts-dejavu-core).
set -eu
cd "$(dirname "$0")"
BOLD=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
PLAIN=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
Q="-strip -sampling-factor 4:4:4 -quality 90"

# Background (185x345, stretched over the left part): a night-blue gradient
# with a faint 8x8 tile grid.
GRID=""
x=7; while [ $x -lt 185 ]; do GRID="$GRID line $x,0 $x,344"; x=$((x + 8)); done
y=7; while [ $y -lt 345 ]; do GRID="$GRID line 0,$y 184,$y"; y=$((y + 8)); done
convert -size 185x345 gradient:'#1f5c78'-'#17233f' \
  -stroke '#ffffff' -strokewidth 1 -fill none \
  \( +clone -alpha transparent -draw "$GRID" -channel A -evaluate multiply 0.10 +channel \) \
  -compose over -composite \
  -stroke none -fill '#f2b134' -draw 'rectangle 16,304 23,311' \
  -fill '#5fb86a' -draw 'rectangle 24,304 31,311' -draw 'rectangle 36,160 43,167' \
  -fill '#3fa0c8' -draw 'rectangle 24,296 31,303' -draw 'rectangle 28,160 35,167' \
  $Q CreditsBackground.jpg

# Row 1 (160x48): the back-end tool chain, a chip beside its two names.
convert -size 160x48 xc:'#26313f' \
  -fill none -stroke '#5c6b7d' -draw 'rectangle 0,0 159,47' \
  -stroke '#b8c2cc' -strokewidth 2 \
  -draw 'line 6,14 40,14' -draw 'line 6,24 40,24' -draw 'line 6,34 40,34' \
  -draw 'line 13,7 13,41' -draw 'line 23,7 23,41' -draw 'line 33,7 33,41' \
  -stroke none -fill '#0f151d' -draw 'rectangle 10,11 36,37' \
  -fill '#f2b134' -draw 'rectangle 15,16 31,32' \
  -fill '#ffffff' -font $BOLD -pointsize 15 -annotate +48+22 'devkitPro' \
  -fill '#f2b134' -font $PLAIN -pointsize 11 -annotate +49+38 'libnds  ARM9' \
  $Q CreditsToolchain.jpg

# Row 2 (32x32): the emulator, a two-screen handheld.
convert -size 32x32 xc:'#2f6f8f' \
  -fill '#d8dee6' -stroke '#0d1426' -draw 'roundrectangle 6,1 25,30 3,3' \
  -stroke none -fill '#0d1426' -draw 'rectangle 6,15 25,16' \
  -fill '#3b5b8c' -draw 'rectangle 9,4 22,12' -draw 'rectangle 9,19 22,27' \
  -fill '#f2b134' -draw 'rectangle 12,7 14,9' \
  -fill '#5fb86a' -draw 'rectangle 17,22 19,24' \
  $Q CreditsEmulator.jpg

# Row 3 (120x88, shown kept in proportion in 89x65): the GUI toolkit, a
# window with a few widgets.
convert -size 120x88 xc:'#2f6f8f' \
  -fill '#f4f6f8' -stroke '#0d1426' -draw 'rectangle 6,6 113,81' \
  -stroke none -fill '#41a85f' -draw 'rectangle 7,7 112,19' \
  -fill '#ffffff' -font $BOLD -pointsize 10 -annotate +12+17 'Qt 6 Widgets' \
  -fill '#c9d1dc' -stroke '#7a8796' -draw 'rectangle 14,28 56,40' \
  -stroke none -fill '#26313f' -font $PLAIN -pointsize 9 -annotate +22+38 'Close' \
  -fill '#ffffff' -stroke '#7a8796' -draw 'rectangle 66,29 75,38' \
  -stroke '#41a85f' -strokewidth 2 -draw 'line 68,33 70,36' -draw 'line 70,36 74,30' \
  -stroke '#7a8796' -strokewidth 1 -draw 'line 14,54 104,54' \
  -fill '#41a85f' -draw 'rectangle 48,49 53,59' \
  -fill '#ffffff' -draw 'rectangle 14,64 104,74' \
  -stroke none -fill '#3fa0c8' -draw 'rectangle 16,66 70,72' \
  $Q CreditsToolkit.jpg

# Row 4 (110x63): the build system, a project tree turned into a stack of
# built layers.
convert -size 110x63 xc:'#26313f' \
  -fill none -stroke '#5c6b7d' -draw 'rectangle 0,0 109,62' \
  -stroke none \
  -fill '#3fa0c8' -draw 'polygon 10,40 30,30 50,40 30,50' \
  -fill '#5fb86a' -draw 'polygon 10,30 30,20 50,30 30,40' \
  -fill '#f2b134' -draw 'polygon 10,20 30,10 50,20 30,30' \
  -fill '#ffffff' -font $BOLD -pointsize 14 -annotate +56+30 'CMake' \
  -fill '#b8c2cc' -font $PLAIN -pointsize 9 -annotate +57+45 'build' \
  $Q CreditsBuild.jpg
