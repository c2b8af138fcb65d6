#!/bin/sh
# Tests the Debian package made from a built tree: its control fields and
# file list, lintian's verdict (when lintian is installed), then the program
# unpacked into a temporary root, building headless with a stand-in tool
# chain in the user's own folder, keeping an edited main.c when a newer
# version comes, and building the sample for real with the DS kit the
# package ships, nothing of a tool chain in the environment.
#
#   sh test_package.sh <build folder>
#
# Prints one line per check and "N passed, N failed"; exits 1 on any
# failure, 77 (skipped) when the packaging tools are missing.

# The checks hand their values to sh -c as arguments, so its script is quoted.
# shellcheck disable=SC2016

bin=${1:?usage: sh test_package.sh <build folder>}
bin=$(cd -- "$bin" && pwd -P) || exit 2
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is missing; apt-get install dpkg-dev cmake to test the package"
        exit 77
    fi
done
[ -f "$bin/CPackConfig.cmake" ] || { echo "no CPackConfig.cmake in $bin" >&2; exit 2; }

tmp=$(mktemp -d) || exit 2
tmp=$(cd -- "$tmp" && pwd -P)
trap 'rm -rf "$tmp"' EXIT
trap 'exit 2' INT TERM HUP

# shellcheck source=../ds/checks.sh
. "$(dirname -- "$0")/../ds/checks.sh"
field_has() { printf '%s\n' "$1" | grep -q -e "$2"; }

#-------------------------------------------------------------------------------
# The package, from the tree as it is built (no second build of the world).
if ! cpack --config "$bin/CPackConfig.cmake" -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1; then
    bad "cpack makes the package" "$tmp/cpack.log"
    echo "$passed passed, $failed failed"
    exit 1
fi
deb=$(ls "$tmp"/pkg/lurvik-studio_*.deb 2>/dev/null | head -n 1)
check "package file is named lurvik-studio_VERSION_ARCH.deb" "$tmp/cpack.log" \
    sh -c 'case $(basename "$1") in lurvik-studio_*_"$2".deb) ;; *) exit 1 ;; esac' - "$deb" \
    "$(dpkg --print-architecture)"

field() { dpkg-deb -f "$deb" "$1"; }
dpkg-deb -f "$deb" >"$tmp/control" 2>&1
dpkg-deb -c "$deb" | awk '{ print $1 " " $6 }' >"$tmp/files"
check "control: package and section" "$tmp/control" \
    sh -c '[ "$1" = lurvik-studio ] && [ "$2" = editors ] && [ "$3" = optional ]' - \
    "$(field Package)" "$(field Section)" "$(field Priority)"
check "control: maintainer with an address" "$tmp/control" field_has "$(field Maintainer)" '^[^<]\+ <[^@>]\+@[^>]\+>$'
check "control: description with a summary and a wrapped body" "$tmp/control" \
    sh -c '[ "$(printf "%s\n" "$1" | head -n 1)" = "editor for tile-based Nintendo DS games" ] &&
           [ "$(printf "%s\n" "$1" | wc -l)" -gt 2 ] && [ "$(printf "%s\n" "$1" | wc -L)" -le 80 ]' - \
    "$(field Description)"
depends=$(field Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libqt6multimedia6 libjpeg62-turbo libxmp4 libc6 qt6-qpa-plugins; do
    check "control: depends on $lib" "$tmp/control" field_has "$depends" "\(^\|, \)$lib\( \|,\|$\)"
done
# The kit the package ships runs Debian's ARM compiler, newlib and binutils,
# and builds with make: no longer only recommended.
for p in gcc-arm-none-eabi libnewlib-arm-none-eabi binutils-arm-none-eabi make; do
    check "control: depends on $p" "$tmp/control" field_has "$depends" "\(^\|, \)$p\( \|,\|$\)"
done
recommends=$(field Recommends)
check "control: recommends desmume" "$tmp/control" field_has "$recommends" "\(^\|, \)desmume\(,\|$\)"

share=./usr/share/lurvik-studio
for f in ./usr/bin/lurvik-studio "$share/help/table-of-contents.htm" "$share/help/build.htm" \
         "$share/devkitPro/launcher.sh" "$share/devkitPro/msys/home/Lurvik/Makefile" \
         "$share/devkitPro/msys/home/Lurvik/arm9/source/main.c" "$share/examples/Sample.lvk" \
         ./usr/share/applications/lurvik-studio.desktop ./usr/share/mime/packages/lurvik-studio.xml \
         ./usr/share/icons/hicolor/48x48/apps/lurvik-studio.png; do
    check "files: $f" "$tmp/files" has "$tmp/files" " $f\$"
done
for f in ./usr/share/doc/lurvik-studio/copyright ./usr/share/doc/lurvik-studio/changelog.gz \
         ./usr/share/man/man1/lurvik-studio.1.gz ./usr/share/lintian/overrides/lurvik-studio; do
    check "files: $f" "$tmp/files" has "$tmp/files" " $f\$"
done
for size in 16 22 24 32 48 64 128 256; do
    check "files: icon ${size}x$size" "$tmp/files" has "$tmp/files" " ./usr/share/icons/hicolor/${size}x$size/apps/lurvik-studio.png\$"
done
# The DS kit, when the tree was built with it (its source archives at hand).
kit=./usr/lib/lurvik-studio/dskit
if [ -f "$bin/dskit/.dskit-stamp" ]; then
    for f in "$kit/devkitARM/bin/arm-none-eabi-gcc" "$kit/devkitARM/ds_rules" "$kit/libnds/lib/libnds9.a" \
             "$kit/libnds/include/nds/libversion.h" "$kit/libnds/default.elf" "$kit/tools/bin/ndstool" \
             "$kit/debian-packages.txt"; do
        check "files: kit $f" "$tmp/files" has "$tmp/files" " $f\$"
    done
fi
check "files: program and launcher are executable" "$tmp/files" \
    sh -c 'grep -q "^-rwxr-xr-x ./usr/bin/lurvik-studio$" "$1" &&
           grep -q "^-rwxr-xr-x ./usr/share/lurvik-studio/devkitPro/launcher.sh$" "$1"' - "$tmp/files"
check "files: no data beside the program in /usr/bin" "$tmp/files" \
    sh -c '[ "$(grep -c " ./usr/bin/." "$1")" = 1 ]' - "$tmp/files"

#-------------------------------------------------------------------------------
# Unpacked into a temporary root, as dpkg would install it.
root=$tmp/root
dpkg-deb -x "$deb" "$root"
check "desktop entry opens .lvk files with the program" "$root/usr/share/applications/lurvik-studio.desktop" \
    sh -c 'grep -qx "MimeType=application/x-lurvik-game;" "$1" && grep -q "^Exec=lurvik-studio %f$" "$1" &&
           grep -q "type=\"application/x-lurvik-game\"" "$2" && grep -q "pattern=\"\*.lvk\"" "$2"' - \
    "$root/usr/share/applications/lurvik-studio.desktop" "$root/usr/share/mime/packages/lurvik-studio.xml"
check "desktop entry has one main menu category" "$root/usr/share/applications/lurvik-studio.desktop" \
    sh -c '[ "$(sed -n "s/^Categories=//p" "$1" | tr ";" "\n" |
             grep -cxE "AudioVideo|Audio|Video|Development|Education|Game|Graphics|Network|Office|Science|Settings|System|Utility")" = 1 ]' - \
    "$root/usr/share/applications/lurvik-studio.desktop"
# The manual page tells every option and exit status --help does.
studio_bin=$root/usr/bin/lurvik-studio
"$studio_bin" --help >"$tmp/help" 2>&1 </dev/null
zcat "$root/usr/share/man/man1/lurvik-studio.1.gz" | sed 's/\\-/-/g' >"$tmp/manual"
for option in $(grep -o -- '--[a-z-]*' "$tmp/help" | sort -u); do
    check "manual page: $option" "$tmp/manual" has "$tmp/manual" "^\..* $option\( \|\$\)"
done
for code in $(sed -n '/^Exit status/,$p' "$tmp/help" | grep -o '\(^\|, \|: \)[0-9][0-9]* ' | tr -dc '0-9\n'); do
    check "manual page: exit status $code" "$tmp/manual" has "$tmp/manual" "^\.B $code\$"
done
check "manual page: version $(field Version)" "$tmp/manual" has "$tmp/manual" "Lurvik Studio $(field Version)"

# lintian, on a package built as it is shipped: a build without Debian's
# hardening flags (the sanitizer build) is not.
if command -v lintian >/dev/null 2>&1 && grep -q '^LURVIK_HARDENING:BOOL=ON$' "$bin/CMakeCache.txt"; then
    lintian --display-info --tag-display-limit 0 "$deb" >"$tmp/lintian" 2>&1
    check "lintian: no errors and no warnings" "$tmp/lintian" \
        sh -c '! grep -q "^[EW]: " "$1"' - "$tmp/lintian"
    check "lintian: hardened, fully stripped, with copyright and changelog" "$tmp/lintian" \
        sh -c '! grep -qE "hardening-no-|binary-has-unneeded-section|no-copyright-file|no-changelog|no-manual-page" "$1"' - \
        "$tmp/lintian"
else
    echo "skip  lintian: not installed, or a build without Debian's hardening flags"
fi
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$root/usr/share/applications/lurvik-studio.desktop" >"$tmp/validate" 2>&1
    check "desktop entry is valid" "$tmp/validate" test ! -s "$tmp/validate"
fi

# A devkitPro with just enough for the launcher's checks, and a make that
# records where it ran.
dkp=$tmp/dkp
mkdir -p "$dkp/devkitARM/bin" "$dkp/libnds/include/nds" "$dkp/libnds/lib" "$dkp/tools/bin" "$tmp/fakebin"
: >"$dkp/libnds/include/nds.h"
: >"$dkp/libnds/lib/libnds9.a"
printf '#define _LIBNDS_MAJOR_ 1\n#define _LIBNDS_MINOR_ 8\n#define _LIBNDS_PATCH_ 3\n' >"$dkp/libnds/include/nds/libversion.h"
: >"$dkp/devkitARM/ds_rules"
printf '#!/bin/sh\nexit 0\n' >"$dkp/devkitARM/bin/arm-none-eabi-gcc"
cp "$dkp/devkitARM/bin/arm-none-eabi-gcc" "$dkp/tools/bin/ndstool"
chmod +x "$dkp/tools/bin/ndstool"
cat >"$tmp/fakebin/make" <<MAKE
#!/bin/sh
pwd -P >"$tmp/make-ran-in"
echo "stand-in make: \$*"
echo image >Lurvik.nds
MAKE
chmod +x "$dkp/devkitARM/bin/arm-none-eabi-gcc" "$tmp/fakebin/make"

sample=$root/usr/share/lurvik-studio/examples/Sample.lvk
# studio NAME [noxdg]: a headless build of the sample; sets rc.
studio() {
    name=$1
    if [ "${2:-}" = noxdg ]; then set -- -u XDG_DATA_HOME; else set -- XDG_DATA_HOME="$tmp/xdg"; fi
    rm -f "$tmp/make-ran-in"
    env -u DISPLAY -u WAYLAND_DISPLAY "$@" HOME="$tmp/home" DEVKITPRO="$dkp" PATH="$tmp/fakebin:$PATH" \
        "$root/usr/bin/lurvik-studio" --build "$sample" >"$tmp/$name.out" 2>&1 </dev/null
    rc=$?
}

mkdir -p "$tmp/home"
touch "$tmp/unpacked"
sleep 1
user=$tmp/xdg/lurvik-studio/devkitPro
work=$user/msys/home/Lurvik
studio first
out=$tmp/first.out
check "first build: succeeds" "$out" [ "$rc" = 0 ]
check "first build: says where it copied the DS project" "$out" \
    has "$out" "^Copied the DS project and launcher from $root/usr/share/lurvik-studio/devkitPro to $user\$"
check "first build: logs the user's folders" "$out" \
    sh -c 'grep -qx "Dir devkitPro=$2" "$1" && grep -qx "Dir working  =$3" "$1"' - "$out" "$user" "$work"
check "first build: make ran in the user's working folder" "$out" \
    sh -c '[ "$(cat "$1")" = "$2" ]' - "$tmp/make-ran-in" "$work"
check "first build: generated.c and the image are in the user's folder" "$out" \
    sh -c '[ -s "$1/arm9/source/generated.c" ] && [ -f "$1/Lurvik.nds" ] && [ -f "$2/launcher.log" ]' - "$work" "$user"
(cd "$root/usr/share/lurvik-studio/devkitPro" && find . -type f | sort) >"$tmp/installed-files"
check "first build: every installed DS file is in the user's copy" "$tmp/installed-files" \
    sh -c '[ -s "$3" ] && while read -r f; do cmp -s "$1/$f" "$2/$f" || exit 1; done <"$3"' - \
    "$root/usr/share/lurvik-studio/devkitPro" "$user" "$tmp/installed-files"
find "$root" -newer "$tmp/unpacked" >"$tmp/written"
check "first build: nothing written below the installed root" "$tmp/written" test ! -s "$tmp/written"

# A newer version of main.c and lvk.h, after the user changed main.c.
main=$work/arm9/source/main.c
lvk=$work/arm9/source/lvk.h
echo "/* the user's own change */" >>"$main"
new=$root/usr/share/lurvik-studio/devkitPro/msys/home/Lurvik/arm9/source
chmod u+w "$new/main.c" "$new/lvk.h"
echo "/* version 2 */" >>"$new/main.c"
echo "/* version 2 */" >>"$new/lvk.h"
studio update
out=$tmp/update.out
check "update: succeeds" "$out" [ "$rc" = 0 ]
check "update: the user's main.c survives" "$main" \
    sh -c 'grep -q "the user.s own change" "$1" && ! grep -q "version 2" "$1"' - "$main"
check "update: the log says main.c was kept and where the new one is" "$out" \
    has "$out" "^Kept your changed $main; the new version is $new/main.c\$"
check "update: an unchanged file takes the new version" "$lvk" has "$lvk" "version 2"
studio again
check "update: said once, not on every build" "$tmp/again.out" \
    sh -c '[ "$2" = 0 ] && ! grep -q "^Kept\|^Updated\|^Copied" "$1"' - "$tmp/again.out" "$rc"

# Without XDG_DATA_HOME the folder is below HOME, as Qt's own rule has it.
studio home noxdg
check "no XDG_DATA_HOME: builds in ~/.local/share/lurvik-studio" "$tmp/home.out" \
    sh -c '[ "$2" = 0 ] && [ "$(cat "$3")" = "$4" ]' - "$tmp/home.out" "$rc" "$tmp/make-ran-in" \
    "$tmp/home/.local/share/lurvik-studio/devkitPro/msys/home/Lurvik"

#-------------------------------------------------------------------------------
# The sample built for real with the kit the package ships, nothing of a tool
# chain in the environment: what a fresh user account gets with the package.
if [ -f "$bin/dskit/.dskit-stamp" ] && command -v arm-none-eabi-gcc >/dev/null 2>&1 && command -v make >/dev/null 2>&1; then
    shipped=$root/usr/lib/lurvik-studio/dskit
    env -u DISPLAY -u WAYLAND_DISPLAY -u DEVKITPRO -u DEVKITARM -u LIBNDS PATH=/usr/bin:/bin \
        HOME="$tmp/fresh" XDG_DATA_HOME="$tmp/fresh/data" "$studio_bin" --build "$sample" \
        >"$tmp/fresh.out" 2>&1 </dev/null
    rc=$?
    check "shipped kit: the sample builds with 0 errors and 0 warnings" "$tmp/fresh.out" \
        sh -c '[ "$2" = 0 ] && grep -q "^Done (0 errors, 0 warnings, in " "$1"' - "$tmp/fresh.out" "$rc"
    check "shipped kit: chosen because nothing else is there" "$tmp/fresh.out" \
        has "$tmp/fresh.out" "^Tool chain: the kit that comes with Lurvik Studio, $shipped\$"
    image=$tmp/fresh/data/lurvik-studio/devkitPro/msys/home/Lurvik/Lurvik.nds
    check "shipped kit: a cartridge image with the game's banner" "$tmp/fresh.out" \
        sh -c '[ -s "$1" ] && "$2" -i "$1" 2>/dev/null | grep -q "Made with Lurvik Studio"' - "$image" "$shipped/tools/bin/ndstool"
else
    echo "skip  shipped kit: the tree has no DS kit, or the ARM compiler or make is missing"
fi

checks_done
