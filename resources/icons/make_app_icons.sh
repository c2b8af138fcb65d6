#!/bin/sh
# The program's icon in the sizes desktops ask for (hicolor theme, 16 to 256
# pixels), from the handheld that resources/ui/make_ui_art.py draws at 48 and
# 64 pixels: the small sizes scaled down smoothly, the large ones enlarged
# pixel for pixel so the tiles stay crisp. Needs ImageMagick; writes the PNG
# files to app/ beside this script.
set -eu
cd "$(dirname "$0")"
ui=../ui
mkdir -p app
for size in 16 22 24 32; do
    convert "$ui/Logo.png" -filter Lanczos -resize "${size}x${size}" -strip "PNG32:app/lurvik-studio-$size.png"
done
convert "$ui/AppIcon.png" -strip PNG32:app/lurvik-studio-48.png
convert "$ui/Logo.png" -strip PNG32:app/lurvik-studio-64.png
for size in 128 256; do
    convert "$ui/Logo.png" -filter point -resize "${size}x${size}" -strip "PNG32:app/lurvik-studio-$size.png"
done
