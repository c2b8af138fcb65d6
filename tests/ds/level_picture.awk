# Renders level WANT (counted from 0) of a generated.c as the DS shows it on
# its 256x192 background: one "r,g,b" line (5 bits a channel) a pixel, row by
# row. Exits 1 when the file holds no palette or no such level.
function num(s,   i, v) {
    if (s !~ /^0[xX]/) return s + 0
    v = 0
    for (i = 3; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", tolower(substr(s, i, 1))) - 1
    return v
}
{ sub(/\/\/.*/, "") }
/lvk_palette\[/ { sec = "palette"; next }
/lvk_tiles\[/ { sec = "tiles"; next }
/lvk_levels\[/ { sec = "levels"; level = -1; next }
/^};/ { sec = ""; next }
sec == "palette" {
    while (match($0, /RGB15\( *[0-9]+, *[0-9]+, *[0-9]+ *\)/)) {
        c = substr($0, RSTART + 6, RLENGTH - 7)
        gsub(/ /, "", c)
        palette[colours++] = c
        $0 = substr($0, RSTART + RLENGTH)
    }
}
sec == "tiles" {
    n = split($0, f, /[ \t,]+/)
    for (i = 1; i <= n; i++) if (f[i] ~ /^(0[xX][0-9a-fA-F]+|[0-9]+)$/) pixels[npixels++] = num(f[i])
}
sec == "levels" {
    if ($0 ~ /\{/) level++
    if (level == want) {
        n = split($0, f, /[^0-9]+/)
        for (i = 1; i <= n; i++) if (f[i] != "") map[cells++] = f[i] + 0
    }
}
END {
    if (colours == 0 || cells != 32 * 24) exit 1
    tiles = int(npixels / 64)
    for (y = 0; y < 192; y++)
        for (x = 0; x < 256; x++) {
            t = map[int(y / 8) * 32 + int(x / 8)]
            # A cell without a tile, and colour 0 of any tile, show the backdrop: colour 0.
            p = t < tiles ? pixels[t * 64 + (y % 8) * 8 + x % 8] : 0
            print (p in palette) ? palette[p] : palette[0]
        }
}
