#!/bin/bash
# The DS program's engine meter on the stress games: each is written by
# lurvik_make_stress, its generated.c by the program's --generate, and this
# source tree's DS program and engine are built with "make LVK_METER=1" and
# the DS kit in a project folder of its own, then played in DeSmuME under
# Xvfb; the meter rows (the engine's share of a frame, average and peak of a
# second, and each phase's share) are read from screenshots two seconds
# apart.
#
#   scripts/meter.sh BUILD WORK [plain | rules | scroll | sprites | sounds]...
#
# BUILD is a CMake folder (out) with lurvik-studio, lurvik_make_stress and
# the DS kit built; WORK a scratch folder (each game's project folder and
# screenshots stay there, so a second run builds only what changed).
# Without games named: rules, scroll and sprites. The phases' row reads
# s(tart) a(nimation) i(nput) m(ove) c(ollision) o(utside) e(nd), in percent
# of a frame.
build=$(cd -- "${1:?usage: meter.sh BUILD WORK [GAME]...}" && pwd -P) || exit 2
work=${2:?usage: meter.sh BUILD WORK [GAME]...}
shift 2
[ $# -eq 0 ] && set -- rules scroll sprites
source_dir=$(cd -- "$(dirname -- "$0")/.." && pwd -P)
kit=$build/dskit
studio=$build/lurvik-studio
make_stress=$build/tests/lurvik_make_stress
for need in "$kit/.dskit-stamp" "$studio" "$make_stress" /usr/games/desmume; do
    [ -e "$need" ] || { echo "meter.sh: $need is missing" >&2; exit 2; }
done
# shellcheck source=../tests/ds/console.sh
. "$source_dir/tests/ds/console.sh"
mkdir -p "$work" && work=$(cd -- "$work" && pwd -P) || exit 2

emu_pid=
xvfb_pid=
# shellcheck disable=SC2317 # called by the trap
cleanup() {
    # DeSmuME ignores SIGTERM.
    [ -n "$emu_pid" ] && kill -KILL "$emu_pid" 2>/dev/null && wait "$emu_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    emu_pid=''
    xvfb_pid=''
}
trap cleanup EXIT
trap 'exit 2' INT TERM HUP
unset DEVKITPRO DEVKITARM LIBNDS
console_font "$kit" "$work" || exit 2

for game in "$@"; do
    dir=$work/$game
    mkdir -p "$dir/xdg/desmume" || exit 2
    case $game in
    plain) option= ;;
    rules | scroll | sprites | sounds) option=--$game ;;
    *) echo "meter.sh: no stress game $game" >&2; exit 2 ;;
    esac
    # shellcheck disable=SC2086 # no option for the plain game
    "$make_stress" $option "$dir/Stress.lvk" "$source_dir/examples/tiles" || exit 1
    # The project folder stays between runs: make builds only what changed.
    project=$dir/Lurvik
    mkdir -p "$project" && cp -Ru "$source_dir/ds/msys/home/Lurvik/." "$project/" &&
        for file in "$source_dir"/engine/lvk_engine*.[ch] "$source_dir"/engine/lvk_kinds.h \
            "$source_dir"/engine/lvk_host.h; do
            cmp -s "$file" "$project/arm9/source/${file##*/}" || cp "$file" "$project/arm9/source/"
        done || exit 2
    if ! env -u DISPLAY "$studio" --generate "$dir/Stress.lvk" --working-folder "$project" </dev/null \
        >"$dir/build.out" 2>&1 ||
        ! (. "$kit/env.sh" && cd "$project" && make LVK_METER=1) >>"$dir/build.out" 2>&1; then
        cat "$dir/build.out"
        exit 1
    fi
    image=$project/Lurvik.nds

    printf '%s\n' '[KEYS]' A=120 B=122 Select=99 Start=65293 Right=65363 Left=65361 Up=65362 \
        Down=65364 R=119 L=113 X=115 Y=97 Debug=112 Boost=111 Lid=65288 >"$dir/xdg/desmume/config"
    printf '[View]\nShowMenu=false\nShowToolbar=false\nShowStatusbar=false\n' >"$dir/xdg/desmume/config.cfg"
    rm -f "$dir/display"
    Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    n=
    for _ in $(seq 100); do
        n=$(cat "$dir/display" 2>/dev/null)
        [ -n "$n" ] && break
        sleep 0.05
    done
    [ -n "$n" ] || { echo "meter.sh: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=:$n
    SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME=$dir/xdg /usr/games/desmume "$image" >"$dir/desmume.log" 2>&1 &
    emu_pid=$!
    win=$(timeout 30 xdotool search --sync --onlyvisible --name '^DeSmuME' 2>/dev/null | head -n 1)
    [ -n "$win" ] || { echo "meter.sh: no DeSmuME window" >&2; exit 1; }
    sleep 2
    for shot in 1 2 3 4 5 6; do
        sleep 2
        import -window "$win" "$dir/meter-$shot.png"
        printf '%-8s %-31s | %s\n' "$game" "$(console_row "$dir/meter-$shot.png" 23)" \
            "$(console_row "$dir/meter-$shot.png" 22)"
    done
    cleanup
done
