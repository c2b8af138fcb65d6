#!/bin/bash
# Builds the sample game with a real DS tool chain through the program's own
# headless build, checks the cartridge image's header and boots it in DeSmuME
# under Xvfb: the top screen must show the first level's colours, and A must
# step to the next level.
#
#   bash test_dskit.sh KIT_DIR STUDIO GAME TILES WORK
#
# KIT_DIR holds dskit.tar.xz (a relocatable devkitARM + libnds kit), STUDIO is
# the lurvik-studio executable (it builds in its own devkitPro folder, whose
# path the build prints), GAME the sample's project file, TILES its tile
# pictures (the source of the colours to look for), WORK a scratch folder that
# is emptied first; the screenshots stay there for a look after a failure.
#
# Exits 77 (skipped) when the kit, the emulator or the X tools are missing.

kit_dir=${1:?usage: test_dskit.sh KIT_DIR STUDIO GAME TILES WORK}
studio=${2:?}
game=${3:?}
tiles=${4:?}
work=${5:?}

skip() {
    echo "SKIPPED: $*"
    exit 77
}

emulator=/usr/games/desmume
[ -f "$kit_dir/dskit.tar.xz" ] || skip "no DS kit at $kit_dir/dskit.tar.xz"
[ -x "$emulator" ] || skip "DeSmuME ($emulator) is not installed"
for tool in Xvfb xdotool import convert arm-none-eabi-gcc; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done

passed=0
failed=0
ok() {
    passed=$((passed + 1))
    printf 'ok    %s\n' "$1"
}
bad() {
    failed=$((failed + 1))
    printf 'FAIL  %s\n' "$1"
    [ -n "${2:-}" ] && printf '%s\n' "$2" | sed 's/^/      | /'
}
finish() {
    printf '%d passed, %d failed\n' "$passed" "$failed"
    [ "$failed" -eq 0 ]
    exit
}
ms_since() { echo $((($(date +%s%N) - $1) / 1000000)); }

t_start=$(date +%s%N)
rm -rf "$work" && mkdir -p "$work" || exit 2
work=$(cd -- "$work" && pwd -P) || exit 2

emu_pid=
xvfb_pid=
# shellcheck disable=SC2317 # called by the trap
cleanup() {
    # DeSmuME ignores SIGTERM (SDL turns it into a quit event nobody reads).
    [ -n "$emu_pid" ] && kill -KILL "$emu_pid" 2>/dev/null && wait "$emu_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 2' INT TERM HUP

tar -xJf "$kit_dir/dskit.tar.xz" -C "$work" || { bad "the kit unpacks"; finish; }
# shellcheck source=/dev/null
. "$work/dskit/env.sh"
unset LIBNDS

# ---------------------------------------------------------------- build
# No display: --build must not need one. A data folder of the test's own, in
# case the program builds in a copy of its tool chain folder there.
studio_run() {
    env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$work/data" "$studio" "$@" </dev/null
}
# Nothing of an earlier run may pass for this one's.
studio_run --build "$game" --command "make clean" >"$work/clean.out" 2>&1 ||
    bad "--build --command \"make clean\" exits 0" "$(cat "$work/clean.out")"
touch "$work/started"

t_build=$(date +%s%N)
studio_run --build "$game" >"$work/build.out" 2>&1
status=$?
build_ms=$(ms_since "$t_build")
echo "--build took $build_ms ms"
if [ "$status" -eq 0 ]; then ok "--build exits 0"; else bad "--build exits 0 (got $status)" "$(cat "$work/build.out")"; fi

summary=$(grep '^Done (.* errors, .* warnings, in ' "$work/build.out" | tail -n 1)
errors=$(printf '%s' "$summary" | sed -n 's/^Done (\([0-9]*\) errors.*/\1/p')
warnings=$(printf '%s' "$summary" | sed -n 's/.* \([0-9]*\) warnings.*/\1/p')
if [ "$errors" = 0 ]; then ok "the summary counts 0 errors"; else bad "the summary counts 0 errors: '$summary'"; fi
# gcc warns that lvk_numlevels is "initialized and declared 'extern'".
if [ "${warnings:-0}" -ge 1 ]; then ok "the summary counts gcc's warnings"
else bad "the summary counts gcc's warnings: '$summary'" "$(grep -i 'warning' "$work/build.out")"; fi

image=$(sed -n 's/^Prog //p' "$work/build.out" | tail -n 1)
backend_log=$(sed -n 's/^Log  //p' "$work/build.out" | tail -n 1)
if [ -z "$image" ] || [ ! -s "$image" ] || [ ! "$image" -nt "$work/started" ]; then
    bad "the build made Lurvik.nds (${image:-no Prog line})" "$(cat "$backend_log" 2>/dev/null)"
    finish
fi
ok "the build made Lurvik.nds ($(wc -c <"$image") bytes)"
project=$(dirname -- "$image")

# ---------------------------------------------------------------- header
info=$(ndstool -i "$image" 2>&1)
field() { printf '%s\n' "$info" | sed -n "s/^$1[[:space:]]*//p" | head -n 1; }
for crc in 'Header CRC' 'Logo CRC' 'Secure area CRC' 'Banner CRC:'; do
    case $(printf '%s\n' "$info" | grep -m 1 "$crc") in
        *'(OK'*) ok "ndstool: $crc OK" ;;
        *) bad "ndstool: $crc OK" "$info" ;;
    esac
done
unit=$(field '0x12[[:space:]]*Unit code')
case $unit in
    0x00 | 0x02) ok "unit code $unit runs on a DS" ;;
    *) bad "unit code runs on a DS (got '$unit')" ;;
esac
title=$(field '0x00[[:space:]]*Game title')
code=$(field '0x0C[[:space:]]*Game code')
if [ -n "$title" ] && [ ${#code} -eq 4 ]; then ok "game title '$title', code '$code'"
else bad "game title and 4-character code (got '$title', '$code')"; fi
# An arm9-only project gets the kit's default arm7: both must be in the image.
arm9=$(field '0x2C[[:space:]]*ARM9 code size')
arm7=$(field '0x3C[[:space:]]*ARM7 code size')
if [ $((arm9)) -gt 0 ] && [ $((arm7)) -gt 0 ]; then ok "ARM9 ($arm9) and ARM7 ($arm7) code present"
else bad "ARM9 and ARM7 code present (got '$arm9', '$arm7')"; fi
# The banner carries the project's own texts, in the Makefile's order.
makefile=$project/Makefile
for n in 1 2 3; do
    var=$(echo "GAME_TITLE GAME_SUBTITLE1 GAME_SUBTITLE2" | cut -d' ' -f"$n")
    want=$(sed -n "s/^${var}[[:space:]]*:=[[:space:]]*//p" "$makefile")
    got=$(field "English banner text, line $n:")
    if [ -n "$want" ] && [ "$got" = "$want" ]; then ok "banner line $n: $got"
    else bad "banner line $n is '$want' (got '$got')"; fi
done

# ---------------------------------------------------------------- emulator
rom=$work/Lurvik.nds # a copy, so the emulator's side files stay out of the project
cp "$image" "$rom"
mkdir -p "$work/xdg/desmume"
# A private configuration: the default key map, and no bars around the screens,
# so the window is exactly the two 256x192 screens.
printf '%s\n' '[KEYS]' A=120 B=122 Select=99 Start=65293 Right=65363 Left=65361 Up=65362 \
    Down=65364 R=119 L=113 X=115 Y=97 Debug=112 Boost=111 Lid=65288 >"$work/xdg/desmume/config"
printf '[View]\nShowMenu=false\nShowToolbar=false\nShowStatusbar=false\n' >"$work/xdg/desmume/config.cfg"

Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
n=
for _ in $(seq 100); do
    n=$(cat "$work/display" 2>/dev/null)
    [ -n "$n" ] && break
    sleep 0.05
done
[ -n "$n" ] || { bad "Xvfb starts" "$(cat "$work/xvfb.log")"; finish; }
export DISPLAY=:$n
XDG_CONFIG_HOME=$work/xdg "$emulator" --disable-sound "$rom" >"$work/desmume.log" 2>&1 &
emu_pid=$!
t_emu=$(date +%s%N)
# The visible window: DeSmuME also owns an unmapped leader window of that name.
win=$(timeout 30 xdotool search --sync --onlyvisible --name '^DeSmuME' 2>/dev/null | head -n 1)
[ -n "$win" ] || { bad "DeSmuME opens its window" "$(cat "$work/desmume.log")"; finish; }
timeout 10 xdotool windowfocus --sync "$win"

# Colours are compared as the DS holds them, 5 bits a channel, one step either way.
# histogram PICTURE [GEOMETRY]: "count r,g,b" lines, 5-bit colours, most frequent first.
histogram() {
    convert "$1" ${2:+-crop "$2" +repage} -depth 8 -format %c histogram:info:- |
        sed -n 's/^ *\([0-9]*\): *( *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1 \2 \3 \4/p' |
        awk '{ printf "%d %d,%d,%d\n", $1, int($2 * 31 / 255 + 0.5), int($3 * 31 / 255 + 0.5), int($4 * 31 / 255 + 0.5) }' |
        sort -rn
}
near() { # RGB RGB
    awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, ","); split(b, y, ","); for (i = 1; i <= 3; i++) { d = x[i] - y[i]; if (d < -1 || d > 1) exit 1 } }'
}
# pixels_of HISTOGRAM RGB: pixels within one step of the colour.
pixels_of() {
    printf '%s\n' "$1" | awk -v want="$2" '
        BEGIN { split(want, w, ",") }
        { split($2, c, ","); ok = 1
          for (i = 1; i <= 3; i++) { d = c[i] - w[i]; if (d < -1 || d > 1) ok = 0 }
          if (ok) n += $1 }
        END { print n + 0 }'
}
# tile_colour NAME [RGB...]: the most frequent colour of a tile picture that is
# none of the given ones (the grass tile is mostly earth).
tile_colour() {
    local name=$1 rgb other
    shift
    while read -r _ rgb; do
        for other in "$@"; do near "$rgb" "$other" && continue 2; done
        echo "$rgb"
        return
    done < <(histogram "$tiles/$name.bmp")
}
sky=$(tile_colour Sky)
earth=$(tile_colour Earth "$sky")
grass=$(tile_colour Grass "$sky" "$earth")
water=$(tile_colour Water "$sky")
echo "colours looked for: sky $sky, earth $earth, grass $grass, water $water (5 bits a channel)"

# Boot: poll until the sky colour fills much of the top screen.
screen=$((256 * 192))
shot=$work/level1.png
top=
booted=
end=$(($(date +%s%N) + 30000000000))
while [ "$(date +%s%N)" -lt "$end" ]; do
    import -window "$win" "$shot" 2>/dev/null && top=$(histogram "$shot" 256x192+0+0)
    if [ -n "$top" ] && [ "$(pixels_of "$top" "$sky")" -ge $((screen * 2 / 5)) ]; then booted=1; break; fi
    sleep 0.2
done
if [ -n "$booted" ]; then ok "the game starts: sky colour after $(ms_since "$t_emu") ms"
else bad "the game starts (sky $sky over 40% of the top screen)" "$top"; finish; fi

# The first level is a meadow: mostly sky over a band of earth topped with grass.
colours=$(printf '%s\n' "$top" | grep -c .)
if [ "$colours" -ge 8 ]; then ok "the top screen has $colours colours"; else bad "the top screen has 8 colours or more ($colours)" "$top"; fi
n_earth=$(pixels_of "$top" "$earth")
n_grass=$(pixels_of "$top" "$grass")
if [ "$n_earth" -ge $((screen / 20)) ] && [ "$n_grass" -ge $((screen / 200)) ]; then
    ok "earth ($n_earth pixels) and grass ($n_grass) on the top screen"
else
    bad "earth (>= 5%) and grass (>= 0.5%) on the top screen: $n_earth, $n_grass" "$top"
fi
bottom=$(histogram "$shot" 256x192+0+192)
if [ "$(printf '%s\n' "$bottom" | grep -c .)" -ge 2 ]; then ok "the bottom screen shows the start text"
else bad "the bottom screen shows the start text" "$bottom"; fi

# A steps to the second level, islands in the sea: much more water.
n_water1=$(pixels_of "$top" "$water")
want_water=$((n_water1 * 3 + screen / 50))
shot2=$work/level2.png
top2=
n_water2=0
# One more press if the first got lost on its way through X; both would wrap
# round to the first level only if the game took the first one late.
for _ in 1 2; do
    xdotool keydown x
    sleep 0.1
    xdotool keyup x
    end=$(($(date +%s%N) + 3000000000))
    while [ "$(date +%s%N)" -lt "$end" ]; do
        import -window "$win" "$shot2" 2>/dev/null && top2=$(histogram "$shot2" 256x192+0+0) &&
            n_water2=$(pixels_of "$top2" "$water")
        [ "$n_water2" -ge "$want_water" ] && break 2
        sleep 0.2
    done
done
if [ "$n_water2" -ge "$want_water" ]; then ok "A shows the next level (water $n_water1 -> $n_water2 pixels)"
else bad "A shows the next level (water $n_water1 -> $n_water2 pixels, want $want_water)" "$top2"; fi

echo "screenshots: $shot $shot2"
echo "whole test took $(ms_since "$t_start") ms"
finish
