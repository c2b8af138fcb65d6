#!/bin/bash
# The DS program's sounds on a real tool chain and in DeSmuME: the stress
# game with sounds (one ball starts two sounds every quarter of a second,
# the level loops a third) is built with the meter through the program's
# own headless build; its samples must lie in main RAM, where the ARM7 that
# feeds the sound channels reads them, word-aligned. Booted in DeSmuME with
# its sound emulated, the upper screen's sound row must tell of sounds that
# got a channel: the row is read from a screenshot with the console's own
# font, taken from the kit's libnds. The ARM7 hands out the first free
# channel, so the channels the sounds get show that the music holds one.
# The meter's figures are printed, not judged.
#
#   bash test_ds_sound.sh KIT STUDIO MAKE_STRESS TILES WORK
#
# KIT is the DS kit beside STUDIO, MAKE_STRESS the stress game's writer,
# TILES the sample's tile pictures, WORK a scratch folder emptied first
# (the screenshot stays there). Exits 77 (skipped) when the kit, the
# emulator or the X tools are missing.

kit_dir=${1:?usage: test_ds_sound.sh KIT STUDIO MAKE_STRESS TILES WORK}
studio=${2:?}
make_stress=${3:?}
tiles=${4:?}
work=${5:?}

skip() {
    echo "SKIPPED: $*"
    exit 77
}
emulator=/usr/games/desmume
[ -f "$kit_dir/.dskit-stamp" ] || skip "no DS kit at $kit_dir"
[ -x "$emulator" ] || skip "DeSmuME ($emulator) is not installed"
for tool in Xvfb xdotool import convert arm-none-eabi-gcc arm-none-eabi-nm arm-none-eabi-objcopy; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done

# shellcheck source=checks.sh
. "$(dirname -- "$0")/checks.sh"
# shellcheck source=console.sh
. "$(dirname -- "$0")/console.sh"

rm -rf "$work" && mkdir -p "$work" || exit 2
work=$(cd -- "$work" && pwd -P) || exit 2
emu_pid=
xvfb_pid=
# shellcheck disable=SC2317 # called by the trap
cleanup() {
    # DeSmuME ignores SIGTERM.
    [ -n "$emu_pid" ] && kill -KILL "$emu_pid" 2>/dev/null && wait "$emu_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 2' INT TERM HUP
unset DEVKITPRO DEVKITARM LIBNDS

# ---------------------------------------------------------------- build
"$make_stress" --sounds "$work/Sounds.lvk" "$tiles" >"$work/make.out" 2>&1
check "the stress game with sounds is written" "$work/make.out" is $? 0
env -u DISPLAY XDG_DATA_HOME="$work/data" "$studio" --build "$work/Sounds.lvk" --command "make LVK_METER=1" \
    </dev/null >"$work/build.out" 2>&1
check "--build with the meter exits 0" "$work/build.out" is $? 0
image=$(sed -n 's/^Prog //p' "$work/build.out" | tail -n 1)
elf=${image%.nds}.elf
if [ -z "$image" ] || [ ! -s "$image" ] || [ ! -s "$elf" ]; then
    bad "the build made Lurvik.nds and Lurvik.elf" "$work/build.out"
    checks_done
    exit
fi
cp "$image" "$work/Sounds.nds"

# Every sample in main RAM (0x02000000 up to 4 MiB), at a word's start, and
# the table of them too.
arm-none-eabi-nm "$elf" | awk '$3 ~ /^lvk_sound/ { print $1, $3 }' >"$work/samples.txt"
check "the game's three samples and their table are in the image" "$work/samples.txt" \
    sh -c '[ "$(grep -c " lvk_sound_[0-9]*$" "$1")" = 3 ] && grep -q " lvk_sounds$" "$1"' - "$work/samples.txt"
in_main_ram() {
    while read -r address _; do
        a=$((0x$address))
        [ "$a" -ge $((0x02000000)) ] && [ "$a" -lt $((0x02400000)) ] && [ $((a % 4)) -eq 0 ] || return 1
    done <"$1"
}
check "every sample lies in main RAM, word-aligned" "$work/samples.txt" in_main_ram "$work/samples.txt"

# ---------------------------------------------------------------- emulator
mkdir -p "$work/xdg/desmume"
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
[ -n "$n" ] || { bad "Xvfb starts" "$work/xvfb.log"; checks_done; exit; }
export DISPLAY=:$n
# Sound on, heard nowhere: the emulated channels then play and end as on a
# DS, freeing themselves.
SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME=$work/xdg "$emulator" "$work/Sounds.nds" >"$work/desmume.log" 2>&1 &
emu_pid=$!
win=$(timeout 30 xdotool search --sync --onlyvisible --name '^DeSmuME' 2>/dev/null | head -n 1)
[ -n "$win" ] || { bad "DeSmuME opens its window" "$work/desmume.log"; checks_done; exit; }

console_font "$kit_dir" "$work"

# A few seconds of play: a dozen sounds and more.
sleep 4
shot=$work/sounds.png
import -window "$win" "$shot"
sound_row=$(console_row "$shot" 21)
meter_row=$(console_row "$shot" 23)
status_row=$(console_row "$shot" 20)
printf '%s\n' "$status_row" "$sound_row" "$meter_row" >"$work/rows.txt"
check "the console reads as text (the status line)" "$work/rows.txt" is "$status_row" "Level 1 of 1"
channel=$(printf '%s\n' "$sound_row" | sed -n 's/^sound [01] on channel \([0-9]*\) #\([0-9]*\)$/\1/p')
started=$(printf '%s\n' "$sound_row" | sed -n 's/^sound [01] on channel \([0-9]*\) #\([0-9]*\)$/\2/p')
check "the sound row tells of a sound that got a channel: '$sound_row'" "$work/rows.txt" isnt "$channel" ""
check "a dozen sounds were started ($started)" "$work/rows.txt" sh -c '[ "${1:-0}" -ge 12 ]' - "$started"
# The two sounds of a quarter start in one frame, and the first has ended
# before the next quarter's: the second gets channel 2, after the music's 0
# and the first's 1.
check "the second sound of a pair plays on channel 2: the music holds 0 (channel $channel)" "$work/rows.txt" \
    is "$channel" 2
echo "meter with 8 sounds a second: $meter_row"
echo "screenshot: $shot"
checks_done
