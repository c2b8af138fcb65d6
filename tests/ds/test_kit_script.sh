#!/bin/sh
# Tests scripts/dskit.sh without building a whole kit (CMake's build of the
# kit and ds_kit_sample do that): the sources' digests across archive formats,
# the download path against a folder standing in for the network, and that a
# digest that does not match, a missing archive, a build that fails half way
# and a kit folder the user may not write each say so and leave no kit behind.
#
#   sh test_kit_script.sh <scripts/dskit.sh> <folder of the nine source archives>
#
# Prints one line per check and "N passed, N failed"; exits 1 on any failure,
# 77 (skipped) without the source archives.

# The checks hand their values to sh -c as arguments, so its script is quoted.
# shellcheck disable=SC2016

script=${1:?usage: sh test_kit_script.sh <scripts/dskit.sh> <source archives>}
sources=${2:?}
[ -f "$sources/libnds-v1.8.3.tar.xz" ] || { echo "SKIPPED: no source archives in $sources"; exit 77; }
pins=$(dirname -- "$script")/dskit/sources.txt

tmp=$(mktemp -d) || exit 2
tmp=$(cd -- "$tmp" && pwd -P)
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
trap 'exit 2' INT TERM HUP

# shellcheck source=checks.sh
. "$(dirname -- "$0")/checks.sh"
# kit_script NAME ARGS...: runs the script with its output in $tmp/NAME.out; sets rc.
kit_script() {
    name=$1
    shift
    env PATH="${kit_path:-$PATH}" LURVIK_DSKIT_CACHE="$tmp/cache" LURVIK_DSKIT_URL="file://$tmp/none" bash "$script" "$@" \
        >"$tmp/$name.out" 2>&1 </dev/null
    rc=$?
}
# No kit, no half-built kit and no scratch folder beside where one was asked for.
no_kit() { [ ! -e "$1" ] && [ -z "$(ls -A -- "$(dirname -- "$1")" | grep '\.building-')" ]; }

pinned() { awk -v n="$1" '$1 == n { print $5 }' "$pins"; }

#-------------------------------------------------------------------------------
# The same tag in another archive format, with the top folder a repository's
# own download has, checks the same.
src=$tmp/src
mkdir -p "$src" "$tmp/unpack"
cp "$sources"/*.tar.xz "$src/"
tar -xJf "$sources/libnds-v1.8.3.tar.xz" -C "$tmp/unpack"
mv "$tmp/unpack/libnds" "$tmp/unpack/libnds-1.8.3"
rm "$src/libnds-v1.8.3.tar.xz"
tar -czf "$src/libnds-v1.8.3.tar.gz" -C "$tmp/unpack" libnds-1.8.3
bash "$script" --digest "$tmp/unpack/libnds-1.8.3" >"$tmp/digest.out" 2>&1
check "a tree's digest is the pinned one" "$tmp/digest.out" sh -c '[ "$(cat "$1")" = "$2" ]' - "$tmp/digest.out" "$(pinned libnds)"
kit_script check --check --offline --sources "$src"
check "--check: nine sources match, one of them a .tar.gz with another top folder" "$tmp/check.out" \
    sh -c '[ "$2" = 0 ] && grep -q "libnds v1.8.3: libnds-v1.8.3.tar.gz matches" "$1" &&
           grep -q "all 9 sources match their pinned digests" "$1"' - "$tmp/check.out" "$rc"

#-------------------------------------------------------------------------------
# Downloads: a folder laid out as the repositories' tag archives are, reached
# through a file:// address. The default ARM7 program is a folder of a whole
# examples repository there.
net=$tmp/net
while read -r name repo tag sub _; do
    case $name in '' | '#'*) continue ;; esac
    top=$(basename -- "$repo")-${tag#v}
    rm -rf "$tmp/unpack" && mkdir -p "$tmp/unpack/$top"
    tar -xJf "$sources/$(cd "$sources" && ls "$name"-*"$tag".tar.xz)" -C "$tmp/unpack"
    if [ "$sub" = . ]; then
        rmdir "$tmp/unpack/$top" && mv "$tmp/unpack/$name" "$tmp/unpack/$top"
    else
        mkdir -p "$tmp/unpack/$top/$(dirname -- "$sub")" && mv "$tmp/unpack/$name" "$tmp/unpack/$top/$sub"
        echo "another example" >"$tmp/unpack/$top/README.md"
    fi
    mkdir -p "$net/$repo/archive/refs/tags"
    tar -czf "$net/$repo/archive/refs/tags/$tag.tar.gz" -C "$tmp/unpack" "$top"
done <"$pins"
mkdir -p "$tmp/empty"
kit_script download --check --sources "$tmp/empty" --url "file://$net"
check "download: each archive fetched from BASE/REPOSITORY/archive/refs/tags/TAG.tar.gz and checked" "$tmp/download.out" \
    sh -c '[ "$2" = 0 ] && [ "$(grep -c "^dskit: downloading file://" "$1")" = 9 ] &&
           [ -f "$3/nds-examples/archive/refs/tags/v20200727.tar.gz" ] && [ -f "$4/default_arm7-v20200727.tar.gz" ] &&
           grep -q "all 9 sources match" "$1"' - "$tmp/download.out" "$rc" "$net/devkitPro" "$tmp/cache"
kit_script again --check --offline --sources "$tmp/empty"
check "download: kept, so the next run needs no network" "$tmp/again.out" \
    sh -c '[ "$2" = 0 ] && ! grep -q downloading "$1"' - "$tmp/again.out" "$rc"

#-------------------------------------------------------------------------------
# A damaged archive: refused before anything is built, and a damaged download
# is not kept.
kit=$tmp/kits/dskit
mkdir -p "$tmp/kits"
rm -rf "$tmp/unpack" && mkdir -p "$tmp/unpack"
tar -xJf "$sources/maxmod-v1.0.15.tar.xz" -C "$tmp/unpack"
echo "/* changed */" >>"$tmp/unpack/maxmod/Makefile"
tar -cJf "$src/maxmod-v1.0.15.tar.xz" -C "$tmp/unpack" maxmod
kit_script tampered --offline --sources "$src" "$kit"
check "digest that does not match: says so, names the archive, no kit" "$tmp/tampered.out" \
    sh -c '[ "$2" = 1 ] && grep -q "maxmod v1.0.15 in .*maxmod-v1.0.15.tar.xz do not match their pinned digest" "$1" &&
           grep -q "Nothing was built" "$1"' - "$tmp/tampered.out" "$rc"
check "digest that does not match: no kit folder" "$tmp/tampered.out" no_kit "$kit"
cp "$src/maxmod-v1.0.15.tar.xz" "$net/devkitPro/maxmod/archive/refs/tags/v1.0.15.tar.gz"
rm -f "$tmp/cache/maxmod-v1.0.15.tar.gz"
kit_script baddownload --check --sources "$tmp/empty" --url "file://$net"
check "a download that does not match is not kept" "$tmp/baddownload.out" \
    sh -c '[ "$2" = 1 ] && grep -q "do not match" "$1" && [ ! -e "$3" ]' - "$tmp/baddownload.out" "$rc" \
    "$tmp/cache/maxmod-v1.0.15.tar.gz"

# A missing archive, offline or with the download failing.
cp "$sources/maxmod-v1.0.15.tar.xz" "$src/"
rm "$src/grit-v0.9.2.tar.xz"
kit_script missing --offline --sources "$src" --cache "$tmp/nocache" "$kit"
check "missing archive: says which and where it was looked for, no kit" "$tmp/missing.out" \
    sh -c '[ "$2" = 1 ] && grep -q "The archive of grit v0.9.2 is missing: no grit-v0.9.2.tar.\* in $3 or $4" "$1"' - \
    "$tmp/missing.out" "$rc" "$src" "$tmp/nocache"
check "missing archive: no kit folder" "$tmp/missing.out" no_kit "$kit"
kit_script unreachable --sources "$src" --cache "$tmp/nocache" --url "file://$tmp/nowhere" "$kit"
check "missing archive, download failing: the address and the reason" "$tmp/unreachable.out" \
    sh -c '[ "$2" = 1 ] && grep -q "download of" "$1" && grep -q "file://$3/nowhere/devkitPro/grit/archive/refs/tags/v0.9.2.tar.gz" "$1"' - \
    "$tmp/unreachable.out" "$rc" "$tmp"
cp "$sources/grit-v0.9.2.tar.xz" "$src/"

#-------------------------------------------------------------------------------
# A build that fails half way (a make that always fails): the half-built kit
# and a killed run's leftover are gone, an older kit stays as it was.
if command -v arm-none-eabi-gcc >/dev/null 2>&1 && command -v autoreconf >/dev/null 2>&1 &&
    [ -f /usr/include/FreeImage.h ]; then
    mkdir -p "$tmp/fakebin" "$kit"
    printf '#!/bin/sh\necho "stand-in make: no" >&2\nexit 2\n' >"$tmp/fakebin/make"
    chmod +x "$tmp/fakebin/make"
    echo "an older kit" >"$kit/.dskit-stamp"
    echo "old" >"$kit/MANIFEST.txt"
    mkdir "$tmp/kits/.dskit.building-999999999"
    kit_path=$tmp/fakebin:$PATH
    kit_script halfway --offline --sources "$src" "$kit"
    kit_path=
    check "failing build: says which step failed and that no kit was made" "$tmp/halfway.out" \
        sh -c '[ "$2" != 0 ] && grep -q "^dskit: building devkitarm-crtls failed (see the lines above); no kit was made in $3" "$1"' - \
        "$tmp/halfway.out" "$rc" "$kit"
    check "failing build: the older kit is untouched, nothing half-built or left over beside it" "$tmp/halfway.out" \
        sh -c '[ "$(cat "$1/MANIFEST.txt")" = old ] && [ "$(ls -A "$2")" = dskit ]' - "$kit" "$tmp/kits"
else
    echo "skip  failing build: the kit's build tools are not installed"
fi

# Something else in the kit folder is never replaced.
mkdir -p "$tmp/mine"
echo "my notes" >"$tmp/mine/notes.txt"
kit_script notakit --offline --sources "$src" "$tmp/mine"
check "a folder that is not a kit: refused, left as it is" "$tmp/notakit.out" \
    sh -c '[ "$2" = 1 ] && grep -q "is not a DS kit made by this script" "$1" && [ "$(cat "$3")" = "my notes" ]' - \
    "$tmp/notakit.out" "$rc" "$tmp/mine/notes.txt"

#-------------------------------------------------------------------------------
# A kit folder the user may not write; root may write anywhere, so it is run
# as nobody there.
mkdir -p "$tmp/locked"
as_user=
if [ "$(id -u)" = 0 ]; then
    if command -v setpriv >/dev/null 2>&1 && id nobody >/dev/null 2>&1; then
        chmod 755 "$tmp" "$tmp/locked"
        chmod -R a+rX "$tmp/src"
        as_user="setpriv --reuid=$(id -u nobody) --regid=$(id -g nobody) --clear-groups"
    fi
else
    chmod 555 "$tmp/locked"
    as_user=env
fi
if [ -n "$as_user" ]; then
    # A copy the other user may read, wherever the source tree lies.
    mkdir -p "$tmp/scripts" && cp -R "$script" "$(dirname -- "$script")/dskit" "$tmp/scripts/" && chmod -R a+rX "$tmp/scripts"
    $as_user env HOME="$tmp" LURVIK_DSKIT_CACHE="$tmp/locked/cache" bash "$tmp/scripts/dskit.sh" --offline --sources "$src" \
        "$tmp/locked/dskit" >"$tmp/locked.out" 2>&1 </dev/null
    rc=$?
    check "kit folder the user may not write: says so at once, no kit" "$tmp/locked.out" \
        sh -c '[ "$2" = 1 ] && grep -q "^dskit: Cannot write the kit folder $3/dskit: Permission denied." "$1" &&
               ! grep -q "matches its digest" "$1" && [ -z "$(ls -A "$3")" ]' - "$tmp/locked.out" "$rc" "$tmp/locked"
else
    echo "skip  kit folder the user may not write: running as root without setpriv"
fi

checks_done
