#!/usr/bin/env bash
# Builds the DS kit: a small, relocatable devkitPro-style tool chain with libnds 1.8
# around Debian's own arm-none-eabi compiler, newlib and binutils, from the nine
# public source trees pinned in dskit/sources.txt beside this script.
#
#   sh scripts/dskit.sh [options] KIT_FOLDER
#   sh scripts/dskit.sh --check [options]        fetch and check the sources only
#   sh scripts/dskit.sh --digest DIR             the digest of an unpacked tree
#
# Options (and the environment variables that set them too):
#   --sources DIR   the archives NAME-TAG.tar.* (or .zip) are taken from DIR
#                   (LURVIK_DSKIT_SOURCES; default ../shared/dskit/src beside the
#                   repository)
#   --url BASE      archives missing there are downloaded from
#                   BASE/REPOSITORY/archive/refs/tags/TAG.tar.gz (LURVIK_DSKIT_URL;
#                   default https://github.com) into the cache folder
#   --cache DIR     where downloads are kept (LURVIK_DSKIT_CACHE; default
#                   $XDG_CACHE_HOME/lurvik-studio/dskit-sources)
#   --offline       never download (LURVIK_DSKIT_OFFLINE=1)
#   --jobs N        parallel jobs (default: the machine's cores)
#   --force         build even when KIT_FOLDER holds this very kit already
#
# Every source tree is checked against its pinned digest before it is used. The kit
# is built in a folder beside KIT_FOLDER and renamed to it only when complete, so a
# failed or interrupted build leaves no kit behind, and an older kit stays usable
# until the new one replaces it. A KIT_FOLDER that holds something else than a kit of
# this script is never replaced.
#
# What comes out:
#   devkitARM/bin/        arm-none-eabi-*: gcc, g++, c++, cpp wrap Debian's compiler with
#                         this kit's specs, crt0 and libsysbase; the rest run Debian's tools
#   devkitARM/            devkitARM's make rules; arm-none-eabi/lib: crt0s, specs, linker
#                         scripts, libsysbase.a; arm-none-eabi/include/sys/iosupport.h
#   libnds/               libnds 1.8 (libnds9.a, libnds7.a), dswifi, maxmod, the default
#                         ARM7 program (default.elf) and banner icon
#   tools/bin/            ndstool, grit, bin2s
#   env.sh                ". KIT/env.sh" sets DEVKITPRO, DEVKITARM and PATH
#   MANIFEST.txt          what was built from what
#   debian-packages.txt   the Debian packages the kit runs with, and a file of each
#   licenses/             the components' license texts
#
# libsysbase: libnds 1.8 is written against devkitPro's newlib fork, which adds
# <sys/iosupport.h> (devoptab_t, devoptab_list[]), the weak __syscall_* hooks,
# fake_heap_start/end and build_argv, all called by the DS crt0. Debian's newlib has
# none of them and expects plain _write/_read/_sbrk; dskit/sysbase.c supplies them.
# Run by sh as the README says: the rest needs bash.
if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -Eeuo pipefail

here=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")" && pwd -P)
repo=$(cd -- "$here/.." && pwd -P)
pins=$here/dskit/sources.txt

say() { printf 'dskit: %s\n' "$*"; }
die() {
    printf 'dskit: %s\n' "$@" >&2
    exit 1
}
step() { printf '\n=== %s\n' "$*"; }

# The digest of an unpacked tree: sha256 over "content-hash  ./relative/path" lines
# of its files, sorted bytewise; a symbolic link counts by its target.
tree_digest() {
    (
        cd -- "$1" || exit 1
        find . \( -type f -o -type l \) -print0 | LC_ALL=C sort -z |
            while IFS= read -r -d '' f; do
                if [ -L "$f" ]; then printf 'link %s  %s\n' "$(readlink -- "$f")" "$f"; else sha256sum -- "$f"; fi
            done
    ) | sha256sum | cut -d' ' -f1
}

usage() {
    sed -n '2,/^# Run by sh/p' "${BASH_SOURCE[0]}" | sed -e '$d' -e 's/^# \{0,1\}//'
    exit "${1:-0}"
}

sources=${LURVIK_DSKIT_SOURCES:-$repo/../shared/dskit/src}
url=${LURVIK_DSKIT_URL:-https://github.com}
cache=${LURVIK_DSKIT_CACHE:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/lurvik-studio/dskit-sources}
offline=${LURVIK_DSKIT_OFFLINE:-0}
jobs=$(nproc 2>/dev/null || echo 2)
check_only=0
force=0
kit=
while [ $# -gt 0 ]; do
    case $1 in
        --sources) sources=${2:?--sources needs a folder}; shift ;;
        --url) url=${2:?--url needs an address}; shift ;;
        --cache) cache=${2:?--cache needs a folder}; shift ;;
        --offline) offline=1 ;;
        --jobs) jobs=${2:?--jobs needs a number}; shift ;;
        --force) force=1 ;;
        --check) check_only=1 ;;
        --digest)
            [ -d "${2:-}" ] || die "--digest needs an unpacked source folder"
            tree_digest "$2"
            exit 0 ;;
        -h | --help) usage 0 ;;
        -*) die "unknown option $1 (see --help)" ;;
        *) [ -z "$kit" ] || die "only one kit folder, please (got $kit and $1)"; kit=$1 ;;
    esac
    shift
done
[ -n "$kit" ] || [ "$check_only" = 1 ] || usage 64 >&2
case $jobs in '' | *[!0-9]* | 0) die "--jobs needs a whole number above 0 (got '$jobs')" ;; esac

#------------------------------------------------------------------------------
# The kit folder: checked before anything is fetched or built, so that a folder
# the user may not write is said at once.
stamp=
if [ -n "$kit" ]; then
    case $kit in *[[:space:]]*) die "The kit folder \"$kit\" has a blank in its path; devkitPro's make rules cannot use it." ;; esac
    case $kit in /*) ;; *) kit=$PWD/$kit ;; esac
    kit=${kit%/}
    parent=$(dirname -- "$kit")
    name=$(basename -- "$kit")
    if ! err=$(mkdir -p -- "$parent" 2>&1) || [ ! -w "$parent" ] || [ ! -x "$parent" ]; then
        [ -n "$err" ] || err="Permission denied"
        die "Cannot write the kit folder $kit: ${err##*: }." \
            "Choose a folder you may write, or run this as a user who may write $parent."
    fi
    parent=$(cd -- "$parent" && pwd -P)
    kit=$parent/$name
    if [ -e "$kit" ] && [ ! -f "$kit/.dskit-stamp" ] && [ -n "$(ls -A -- "$kit" 2>/dev/null)" ]; then
        die "$kit exists and is not a DS kit made by this script; it is left as it is." \
            "Remove it yourself or choose another kit folder."
    fi
    # What decides the kit's content: the recipe (this script and its files), the
    # pinned sources and Debian's compiler.
    host_gcc=$(command -v arm-none-eabi-gcc || true)
    stamp=$(
        cat -- "${BASH_SOURCE[0]}" "$here"/dskit/*
        [ -n "$host_gcc" ] && "$host_gcc" --version | head -n 1
    )
    stamp=$(printf '%s' "$stamp" | sha256sum | cut -d' ' -f1)
    if [ "$force" = 0 ] && [ "$(cat -- "$kit/.dskit-stamp" 2>/dev/null)" = "$stamp" ]; then
        say "the DS kit in $kit is up to date"
        exit 0
    fi
fi

#------------------------------------------------------------------------------
# What the build needs from Debian, said all at once with the command that
# installs it.
need_packages=
need() { # need PACKAGE TEST...
    local package=$1
    shift
    "$@" >/dev/null 2>&1 || need_packages="$need_packages $package"
}
has() { command -v "$1"; }
need sha256sum has sha256sum
need xz-utils has xz
need tar has tar
if [ "$check_only" = 0 ]; then
    need gcc-arm-none-eabi has arm-none-eabi-gcc
    need binutils-arm-none-eabi has arm-none-eabi-ar
    need libnewlib-arm-none-eabi test -f /usr/lib/arm-none-eabi/newlib/libc.a
    need make has make
    need build-essential has c++
    need autoconf has autoreconf
    need automake has automake
    need libtool has libtoolize
    need pkg-config has pkg-config
    need libfreeimage-dev test -f /usr/include/FreeImage.h
fi
if [ -n "$need_packages" ]; then
    die "These Debian packages are missing:$need_packages" \
        "Install them with: sudo apt-get install$need_packages"
fi

#------------------------------------------------------------------------------
# Scratch space for unpacking and building; gone when the script ends, whatever
# way it ends. The kit under construction lives beside the kit folder.
work=$(mktemp -d "${TMPDIR:-/tmp}/dskit-work.XXXXXX")
building=
current="preparing"
cleanup() {
    rm -rf -- "$work"
    if [ -n "$building" ]; then rm -rf -- "$building"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
trap 'printf "\ndskit: %s failed (see the lines above); no kit was made%s.\n" "$current" "${kit:+ in $kit}" >&2' ERR

fetch() { # fetch URL FILE
    if command -v curl >/dev/null 2>&1; then
        curl -fsSL --retry 2 -o "$2" -- "$1"
    elif command -v wget >/dev/null 2>&1; then
        wget -q -O "$2" -- "$1"
    else
        echo "neither curl nor wget is installed" >&2
        return 1
    fi
}

# The archive of NAME at TAG in a folder, by the names this script and the
# repositories' own downloads use.
find_archive() { # find_archive DIR NAME TAG
    local f
    for f in "$1/$2-$3".tar.* "$1/$2-$3".zip "$1/$2"-*-"$3".tar.*; do
        if [ -f "$f" ]; then
            printf '%s\n' "$f"
            return 0
        fi
    done
    return 1
}

unpack() { # unpack ARCHIVE DIR
    mkdir -p -- "$2"
    case $1 in
        *.zip)
            if command -v unzip >/dev/null 2>&1; then unzip -q -- "$1" -d "$2"
            else python3 -m zipfile -e "$1" "$2"; fi ;;
        *) tar -xf "$1" -C "$2" ;;
    esac
}

#------------------------------------------------------------------------------
step "Sources"
mkdir -p "$work/src"
checked=0
while read -r src_name src_repo src_tag src_sub src_digest; do
    case $src_name in '' | '#'*) continue ;; esac
    current="fetching $src_name $src_tag"
    archive=$(find_archive "$sources" "$src_name" "$src_tag" || find_archive "$cache" "$src_name" "$src_tag" || true)
    downloaded=0
    if [ -z "$archive" ]; then
        if [ "$offline" = 1 ]; then
            die "The archive of $src_name $src_tag is missing: no $src_name-$src_tag.tar.* in $sources or $cache." \
                "Put it there, or build without --offline to download it from the public repository."
        fi
        address=$url/$src_repo/archive/refs/tags/$src_tag.tar.gz
        say "downloading $address"
        mkdir -p -- "$cache" || die "Cannot write the download folder $cache."
        if ! fetch "$address" "$cache/$src_name-$src_tag.tar.gz.part" 2>"$work/fetch.err"; then
            rm -f -- "$cache/$src_name-$src_tag.tar.gz.part"
            die "The archive of $src_name $src_tag is missing: not in $sources, and the download of" \
                "$address failed: $(tail -n 1 "$work/fetch.err")"
        fi
        mv -f -- "$cache/$src_name-$src_tag.tar.gz.part" "$cache/$src_name-$src_tag.tar.gz"
        archive=$cache/$src_name-$src_tag.tar.gz
        downloaded=1
    fi
    current="unpacking $archive"
    rm -rf -- "$work/unpack"
    if ! unpack "$archive" "$work/unpack" 2>"$work/unpack.err"; then
        die "Cannot unpack $archive: $(tail -n 1 "$work/unpack.err")"
    fi
    # A repository's archive holds one top folder, whatever its name.
    tree=$work/unpack
    entries=$(ls -A -- "$tree")
    if [ "$(printf '%s\n' "$entries" | wc -l)" = 1 ] && [ -d "$tree/$entries" ]; then tree=$tree/$entries; fi
    # A whole repository's archive; one of just the subfolder is taken as it is.
    if [ "$src_sub" != . ] && [ -d "$tree/$src_sub" ]; then tree=$tree/$src_sub; fi
    digest=$(tree_digest "$tree")
    if [ "$digest" != "$src_digest" ]; then
        # A bad download is not kept, so the next run fetches it anew.
        [ "$downloaded" = 1 ] && rm -f -- "$archive"
        die "The sources of $src_name $src_tag in $archive do not match their pinned digest" \
            "(expected $src_digest, got $digest): the archive is damaged or not of that tag." \
            "Nothing was built."
    fi
    mv -- "$tree" "$work/src/$src_name"
    printf '%s %s %s %s\n' "$src_name" "$src_tag" "$(basename -- "$archive")" "$digest" >>"$work/sources.list"
    say "$src_name $src_tag: $(basename -- "$archive") matches its digest"
    checked=$((checked + 1))
done <"$pins"
rm -rf -- "$work/unpack"
if [ "$check_only" = 1 ]; then
    say "all $checked sources match their pinned digests"
    exit 0
fi
SRC=$work/src

#------------------------------------------------------------------------------
current="preparing the kit folder"
# Leftovers of runs that were killed outright; each carries its process number.
for old in "$parent/.$name".building-* "$parent/.$name".old-*; do
    [ -e "$old" ] || continue
    pid=${old##*-}
    case $pid in '' | *[!0-9]*) continue ;; esac
    kill -0 "$pid" 2>/dev/null || rm -rf -- "$old"
done
if ! err=$(mkdir -- "$parent/.$name.building-$$" 2>&1); then
    die "Cannot write the kit folder $kit: ${err##*: }."
fi
building=$parent/.$name.building-$$
OUT=$building
DKA=$OUT/devkitARM
SYSLIB=$DKA/arm-none-eabi/lib
SYSINC=$DKA/arm-none-eabi/include
mkdir -p "$DKA/bin" "$SYSLIB" "$SYSINC/sys" "$OUT/tools/bin" "$OUT/libnds/include" "$OUT/libnds/lib" "$OUT/licenses"
echo "kit:   $kit (built in $OUT)"
echo "build: $work"

HOSTGCC=$(command -v arm-none-eabi-gcc)
HOSTBIN=$(dirname -- "$(readlink -f -- "$HOSTGCC")")
"$HOSTGCC" --version | head -n 1

copysrc() { # copysrc NAME: a fresh copy of a checked tree to build in
    rm -rf -- "${work:?}/build/$1"
    mkdir -p "$work/build"
    cp -R -- "$SRC/$1" "$work/build/$1"
}

#------------------------------------------------------------------------------
current="making devkitARM/bin"
step "devkitARM/bin: Debian's compiler and binutils"
for t in "$HOSTBIN"/arm-none-eabi-*; do
    n=$(basename -- "$t")
    case $n in
        arm-none-eabi-gcc-[0-9]*) continue ;; # the versioned driver name
        arm-none-eabi-gcc | arm-none-eabi-g++ | arm-none-eabi-c++ | arm-none-eabi-cpp)
            # The kit's crt0s, specs and linker scripts (-B), <sys/iosupport.h> and
            # libsysbase, all found from the wrapper's own place so the kit can move.
            cat >"$DKA/bin/$n" <<EOF
#!/bin/sh
# $n of the DS kit: Debian's $t with the kit's start files and libsysbase.
dka=\$(cd -- "\$(dirname -- "\$(readlink -f -- "\$0")")/.." && pwd -P)
exec "$t" -B"\$dka/arm-none-eabi/lib/" -idirafter "\$dka/arm-none-eabi/include" \\
    -specs="\$dka/arm-none-eabi/lib/sysbase.specs" "\$@"
EOF
            ;;
        *)
            # A script rather than a link: the kit stays whole wherever it is copied.
            printf '#!/bin/sh\nexec "%s" "$@"\n' "$t" >"$DKA/bin/$n" ;;
    esac
    chmod 755 "$DKA/bin/$n"
done
export DEVKITPRO=$OUT DEVKITARM=$DKA
export PATH=$OUT/tools/bin:$DKA/bin:$PATH

#------------------------------------------------------------------------------
current="copying devkitARM's make rules"
step "devkitarm-rules"
for f in base_rules base_tools ds_rules; do
    install -m 644 -- "$SRC/devkitarm-rules/$f" "$DKA/$f"
done

#------------------------------------------------------------------------------
current="building libsysbase"
step "libsysbase (devkitPro's newlib additions for Debian's newlib)"
install -m 644 -- "$here/dskit/iosupport.h" "$SYSINC/sys/iosupport.h"
install -m 644 -- "$here/dskit/sysbase.specs" "$SYSLIB/sysbase.specs"
mkdir -p "$work/build/sysbase"
# ARM code for armv4t with interworking: links into both ARM9 and ARM7 programs.
"$HOSTGCC" -O2 -g -Wall -marm -march=armv4t -mthumb-interwork -ffunction-sections -fdata-sections \
    -idirafter "$SYSINC" -c "$here/dskit/sysbase.c" -o "$work/build/sysbase/sysbase.o"
"$HOSTBIN/arm-none-eabi-ar" rcs "$SYSLIB/libsysbase.a" "$work/build/sysbase/sysbase.o"

#------------------------------------------------------------------------------
current="building devkitarm-crtls"
step "devkitarm-crtls"
copysrc devkitarm-crtls
crt0s="ds_arm7_vram_crt0.o thumb/ds_arm7_vram_crt0.o ds_arm7_crt0.o thumb/ds_arm7_crt0.o
       ds_arm9_crt0.o thumb/ds_arm9_crt0.o ds_cart_crt0.o thumb/ds_cart_crt0.o"
# shellcheck disable=SC2086 # a list of targets
make -C "$work/build/devkitarm-crtls" thumb $crt0s
(cd "$work/build/devkitarm-crtls" && cp -- ds_*.specs ds_*.ld ds_*.mem dsi_*.mem dldi.ld ./*.o "$SYSLIB/" &&
    cp -R -- thumb "$SYSLIB/")

#------------------------------------------------------------------------------
current="building the host tools"
step "host tools: bin2s (general-tools), ndstool, grit"
# Debian's hardening flags where dpkg knows them, so the tools are built as the
# distribution builds its own.
if command -v dpkg-buildflags >/dev/null 2>&1; then
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    host_cppflags=$(dpkg-buildflags --get CPPFLAGS)
    host_cflags=$(dpkg-buildflags --get CFLAGS)
    host_cxxflags=$(dpkg-buildflags --get CXXFLAGS)
    host_ldflags=$(dpkg-buildflags --get LDFLAGS)
else
    host_cppflags="-D_FORTIFY_SOURCE=2"
    host_cflags="-g -O2 -fstack-protector-strong"
    host_cxxflags=$host_cflags
    host_ldflags="-Wl,-z,relro -Wl,-z,now"
fi
autotool() { # autotool NAME
    copysrc "$1"
    (
        cd "$work/build/$1"
        if [ ! -x configure ]; then sh ./autogen.sh; fi
        ./configure --prefix="$OUT/tools" --disable-dependency-tracking \
            CPPFLAGS="$host_cppflags" CFLAGS="$host_cflags" CXXFLAGS="$host_cxxflags" LDFLAGS="$host_ldflags"
        make -j"$jobs"
        make install
    )
}
autotool general-tools
# bin2s is what devkitARM's bin2o rule runs; the rest of general-tools is not
# used by DS projects.
rm -f "$OUT"/tools/bin/generate_compile_commands "$OUT"/tools/bin/padbin "$OUT"/tools/bin/raw2c \
    "$OUT"/tools/bin/bmp2bin
autotool ndstool
autotool grit
rm -rf "$OUT/tools/share" "$OUT/tools/lib" "$OUT/tools/include"
# As Debian strips its programs: no symbols, no compiler notes.
for t in "$OUT"/tools/bin/*; do
    if [ "$(head -c 4 -- "$t")" = "$(printf '\177ELF')" ]; then
        strip --remove-section=.comment --remove-section=.note -- "$t"
    fi
done

#------------------------------------------------------------------------------
current="building libnds"
step "libnds"
copysrc libnds
rm -rf "$work/build/libnds/lib"
make -C "$work/build/libnds" -j"$jobs"
(cd "$work/build/libnds" && cp -R -- include lib "$OUT/libnds/" && cp -- icon.bmp "$OUT/libnds/" &&
    cp -- libnds_license.txt "$OUT/licenses/libnds.txt")

#------------------------------------------------------------------------------
current="building dswifi"
step "dswifi"
copysrc dswifi
rm -rf "$work/build/dswifi/lib"
make -C "$work/build/dswifi" -j"$jobs"
(cd "$work/build/dswifi" && cp -R -- include lib "$OUT/libnds/" && cp -- dswifi_license.txt "$OUT/licenses/dswifi.txt")

#------------------------------------------------------------------------------
current="building maxmod"
step "maxmod"
copysrc maxmod
make -C "$work/build/maxmod" ds7 ds9
(cd "$work/build/maxmod" && cp -- lib/libmm7.a lib/libmm9.a "$OUT/libnds/lib/" &&
    cp -- include/maxmod7.h include/maxmod9.h include/mm_types.h "$OUT/libnds/include/" &&
    cp -- maxmod_license.txt "$OUT/licenses/maxmod.txt")

#------------------------------------------------------------------------------
current="building the default ARM7 program"
step "default arm7 (libnds/default.elf)"
copysrc default_arm7
make -C "$work/build/default_arm7" TARGET=default
arm7elf=$(ls -t "$work"/build/default_arm7/*.elf 2>/dev/null | head -n 1)
[ -n "$arm7elf" ] || die "the default ARM7 build left no .elf in $work/build/default_arm7"
cp -- "$arm7elf" "$OUT/libnds/default.elf"

#------------------------------------------------------------------------------
current="writing env.sh, the manifest and the licenses"
step "env.sh, MANIFEST.txt, debian-packages.txt, licenses"
cat >"$OUT/env.sh" <<'EOF'
# Source this file (". /path/to/kit/env.sh") to use the DS kit it sits in.
_dskit=$(cd -- "$(dirname -- "${BASH_SOURCE[0]:-$0}")" && pwd -P)
export DEVKITPRO=$_dskit
export DEVKITARM=$_dskit/devkitARM
export PATH=$_dskit/tools/bin:$_dskit/devkitARM/bin:$PATH
unset _dskit
EOF
# The editor checks these before it builds with the kit: a kit without the
# compiler it wraps cannot build, and the user is told which package to install.
{
    echo "# Debian packages the DS kit runs with: package, then a file of it"
    echo "gcc-arm-none-eabi $HOSTBIN/arm-none-eabi-gcc"
    echo "binutils-arm-none-eabi $HOSTBIN/arm-none-eabi-as"
    echo "libnewlib-arm-none-eabi /usr/lib/arm-none-eabi/newlib/libc.a"
    echo "make make"
} >"$OUT/debian-packages.txt"
# devkitarm-crtls and devkitarm-rules carry no license file; each crtls file
# names its license.
printf 'Mozilla Public License, v. 2.0, as each source file says: https://mozilla.org/MPL/2.0/\n' \
    >"$OUT/licenses/devkitarm-crtls.txt"
cp -- "$SRC/ndstool/COPYING" "$OUT/licenses/ndstool.txt"
sed -n '1,/^-\{20,\}/p' "$SRC/general-tools/bin2s.c" >"$OUT/licenses/bin2s.txt"
cat -- "$SRC/grit/licence-mit.txt" "$SRC/grit/license-gpl.txt" >"$OUT/licenses/grit.txt"
sed -n '1,/^-\{20,\}/p' "$SRC/default_arm7/source/template.c" >"$OUT/licenses/default-arm7.txt"
{
    echo "DS kit made by scripts/dskit.sh on $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo
    echo "compiler:  $("$HOSTGCC" --version | head -n 1) (Debian, wrapped)"
    echo "newlib:    $(dpkg-query -W -f='${Package} ${Version}' libnewlib-arm-none-eabi 2>/dev/null || echo unknown)"
    echo "binutils:  $("$HOSTBIN/arm-none-eabi-as" --version | head -n 1)"
    echo "libnds:    $(grep -h '_LIBNDS_STRING' "$OUT/libnds/include/nds/libversion.h" | cut -d'"' -f2)"
    echo "libsysbase: the kit's own (scripts/dskit/sysbase.c)"
    echo
    echo "sources (name, tag, archive, tree digest), each checked against scripts/dskit/sources.txt:"
    sed 's/^/  /' "$work/sources.list"
    echo
    echo "Use:  . <kit>/env.sh   (or DEVKITPRO=<kit> DEVKITARM=<kit>/devkitARM PATH=<kit>/tools/bin:<kit>/devkitARM/bin:\$PATH)"
} >"$OUT/MANIFEST.txt"
cat "$OUT/MANIFEST.txt"

#------------------------------------------------------------------------------
current="putting the kit in place"
printf '%s\n' "$stamp" >"$OUT/.dskit-stamp"
chmod -R u+rwX,go+rX,go-w -- "$OUT"
if [ -e "$kit" ]; then
    mv -- "$kit" "$parent/.$name.old-$$"
fi
mv -- "$OUT" "$kit"
building=
rm -rf -- "$parent/.$name.old-$$"
say "done: $kit"
