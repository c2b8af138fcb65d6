#!/bin/sh
# Runs a build command for the DS project in msys/home/Lurvik below this folder
# and leaves everything it printed in launcher.log beside this script.
#
#   sh launcher.sh [command [argument...]]     (no command: make)
#
# The tool chain is DEVKITPRO/DEVKITARM's. The editor sets them to the one it
# chose, with LURVIK_TOOLCHAIN saying which and why (written to the log), or
# sets LURVIK_TOOLCHAIN_MISSING when it found none (the log says what is
# missing, and nothing is built).
#
# The editor reads only launcher.log and the exit code, so every way this can
# fail must end up in the log, and the exit code is the command's own.
# A single argument holding blanks ("make clean") is split into words, so the
# editor may hand over its command line either as one text or word by word;
# an empty or blank one means make.

here=$(cd -- "$(dirname -- "$0")" && pwd -P) || {
    echo "launcher: cannot enter the folder of $0" >&2
    exit 1
}
log=$here/launcher.log
work=$here/msys/home/Lurvik

if ! : >"$log" 2>/dev/null; then
    echo "launcher: cannot write $log; the folder must be writable." >&2
    exit 1
fi

say() {
    printf '%s\n' "$@" >>"$log"
}

# Refuses to build and says why; the editor shows the log to the user.
fail() {
    say "Build not started:" "" "$@"
    if [ -t 1 ]; then cat "$log"; fi
    exit 1
}

has_blank() {
    case $1 in
        *[[:space:]]*) return 0 ;;
    esac
    return 1
}

if [ $# -eq 0 ]; then
    set -- make
elif [ $# -eq 1 ] && { [ -z "$1" ] || has_blank "$1"; }; then
    set -f
    # shellcheck disable=SC2086 # the split is the point
    set -- $1
    set +f
    [ $# -eq 0 ] && set -- make
fi

# devkitPro's own convention: DEVKITARM lives inside DEVKITPRO unless both are set.
if [ -z "${DEVKITPRO:-}" ]; then
    if [ -n "${DEVKITARM:-}" ]; then
        DEVKITPRO=$(dirname -- "$DEVKITARM")
    else
        DEVKITPRO=/opt/devkitpro
    fi
fi
DEVKITARM=${DEVKITARM:-$DEVKITPRO/devkitARM}
export DEVKITPRO DEVKITARM

say "Lurvik launcher, $(date '+%Y-%m-%d %H:%M:%S')" \
    "DEVKITPRO=$DEVKITPRO" \
    "DEVKITARM=$DEVKITARM" \
    "Working folder: $work" \
    "Command: $*"
# The editor chooses the tool chain and says which and why; with none usable
# it says what is missing instead, and nothing is built.
if [ -n "${LURVIK_TOOLCHAIN_MISSING:-}" ]; then
    say ""
    fail "$LURVIK_TOOLCHAIN_MISSING"
fi
[ -n "${LURVIK_TOOLCHAIN:-}" ] && say "$LURVIK_TOOLCHAIN"
say ""

if [ ! -d "$work" ]; then
    fail "The DS project folder $work is missing." \
         "Reinstall Lurvik Studio, or copy its devkitPro folder back next to the program."
fi

# devkitPro's make rules split paths at blanks, so they cannot build there.
if has_blank "$work"; then
    fail "The DS project folder $work" \
         "has a blank in its path; devkitPro's make rules cannot build in such a folder." \
         "Move or install Lurvik Studio to a folder whose full path holds no spaces" \
         "(for example $HOME/lurvik), then build again."
fi
if has_blank "$DEVKITPRO" || has_blank "$DEVKITARM"; then
    fail "The devkitPro folder \"$DEVKITPRO\" or devkitARM folder \"$DEVKITARM\"" \
         "has a blank in its path; devkitPro's make rules cannot use it." \
         "Install devkitPro to a folder without spaces (the default is /opt/devkitpro)" \
         "and set DEVKITPRO and DEVKITARM to it."
fi

missing=
[ -x "$DEVKITARM/bin/arm-none-eabi-gcc" ] || missing="$missing  $DEVKITARM/bin/arm-none-eabi-gcc
"
[ -f "$DEVKITARM/ds_rules" ] || missing="$missing  $DEVKITARM/ds_rules
"
if [ -n "$missing" ]; then
    fail "devkitARM was not found; these files are missing:" "$missing" \
         "Install devkitPro with devkitARM and libnds (devkitPro's pacman: dkp-pacman -S nds-dev)." \
         "If it is installed somewhere other than /opt/devkitpro, set DEVKITPRO to its folder" \
         "(and DEVKITARM, if devkitARM is not \$DEVKITPRO/devkitARM) before starting Lurvik Studio."
fi
libnds=${LIBNDS:-$DEVKITPRO/libnds}
if [ ! -f "$libnds/include/nds.h" ]; then
    fail "libnds was not found: $libnds/include/nds.h is missing." \
         "Install it with devkitPro's pacman (dkp-pacman -S nds-dev), or set DEVKITPRO" \
         "to the devkitPro folder that holds libnds."
fi

PATH=$DEVKITARM/bin:$DEVKITPRO/tools/bin:$PATH
# The editor counts the compiler's errors and warnings by their English
# words, so the tools must not translate them.
LC_ALL=C
export PATH LC_ALL

cd -- "$work" || fail "Cannot enter the DS project folder $work."

# stdin from /dev/null: nothing may wait for a keyboard nobody watches.
"$@" </dev/null >>"$log" 2>&1
rc=$?
case $rc in
    0) say "" "Command ended successfully." ;;
    126) say "" "Command \"$1\" could not be run (exit code 126)." ;;
    127) say "" "Command \"$1\" was not found (exit code 127)." ;;
    *) say "" "Command failed with exit code $rc." ;;
esac
if [ -t 1 ]; then cat "$log"; fi
exit "$rc"
