# shellcheck shell=bash
# Reading the DS program's upper screen (the libnds console) from a DeSmuME
# screenshot, with the console's own font taken from the kit's libnds.
# Sourced by tests/ds/test_ds_sound.sh and scripts/meter.sh.
#
#   console_font KIT WORK     the font's glyphs into WORK/font.txt
#   console_row SHOT ROW      the text of one console row, "?" for a cell no glyph matches

console_font() {
    # 8x8 glyphs of 4 bits a pixel, character c at 32 * c.
    console_font_file=$2/font.txt
    (cd "$2" && arm-none-eabi-ar x "$1/libnds/lib/libnds9.a" default_font.bin.o && mv default_font.bin.o font.o) &&
        arm-none-eabi-objcopy -O binary -j .rodata.default_font_bin "$2/font.o" "$2/font.bin" &&
        od -An -tu1 -v "$2/font.bin" | tr -s ' ' '\n' | grep -v '^$' >"$console_font_file"
}

console_row() {
    convert "$1" -crop "256x8+0+$(($2 * 8))" +repage -colorspace gray -depth 8 gray:- | od -An -tu1 -v -w1 |
        awk 'NR == FNR { b = $1 + 0; i = NR - 1; c = int(i / 32); k = i % 32
                         y = int(k / 4); x = (k % 4) * 2
                         if (c >= 32 && c < 127) { g[c, y * 8 + x] = (b % 16) ? 1 : 0; g[c, y * 8 + x + 1] = int(b / 16) ? 1 : 0 }
                         next }
             { p = FNR - 1; cell[int((p % 256) / 8), int(p / 256) * 8 + p % 8] = $1 >= 128 }
             END {
                 for (col = 0; col < 32; col++) {
                     ch = "?"
                     for (c = 32; c < 127 && ch == "?"; c++) {
                         same = 1
                         for (q = 0; q < 64 && same; q++) if (g[c, q] != cell[col, q]) same = 0
                         if (same) ch = sprintf("%c", c)
                     }
                     line = line ch
                 }
                 sub(/ +$/, "", line); print line
             }' "$console_font_file" -
}
