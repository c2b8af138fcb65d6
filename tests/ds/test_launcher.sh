#!/bin/sh
# Tests the DS-side launcher and project without devkitPro: a fake devkitARM,
# a stand-in make, and a host build of main.c against a stand-in libnds.
#
#   sh test_launcher.sh <path to the ds folder> [generated.c sample...]
#
# Each sample (the editor's own output, e.g. a generator test's fixture) is
# compiled together with lvk.h, so the two cannot drift apart unnoticed.
# main.c runs the game engine, whose sources are taken from the engine folder
# beside the ds folder (the build copies them next to main.c).
#
# Prints one line per check and "N passed, N failed"; exits 1 on any failure.

# The checks hand their values to sh -c as arguments, so its script is quoted.
# shellcheck disable=SC2016

ds=${1:?usage: sh test_launcher.sh <path to the ds folder> [generated.c sample...]}
ds=$(cd -- "$ds" && pwd -P) || exit 2
shift
[ -f "$ds/launcher.sh" ] || { echo "no launcher.sh in $ds" >&2; exit 2; }
source_dir=$ds/msys/home/Lurvik/arm9/source
engine_dir=$(cd -- "$ds/../engine" 2>/dev/null && pwd -P) || engine_dir=

# The launcher reads these; the caller's values must not leak into the cases.
unset DEVKITPRO DEVKITARM LIBNDS

tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT
trap 'exit 2' INT TERM HUP

# shellcheck source=checks.sh
. "$(dirname -- "$0")/checks.sh"

# A copy of the devkitPro folder as the build puts it next to the executable.
make_tree() {
    mkdir -p "$1" &&
    cp "$ds/launcher.sh" "$1/" &&
    cp -R "$ds/msys" "$1/"
}

# A devkitPro with just enough for the launcher's checks and a stand-in for
# the parts of ds_rules the project's Makefile relies on.
make_devkitpro() {
    dkp=$1
    mkdir -p "$dkp/devkitARM/bin" "$dkp/libnds/include" "$dkp/libnds/lib" "$dkp/tools/bin"
    : >"$dkp/libnds/include/nds.h"
    cat >"$dkp/devkitARM/bin/arm-none-eabi-gcc" <<'EOF'
#!/bin/sh
# Records its arguments, checks its inputs exist, and writes the -o file.
printf '%s\n' "gcc $*" >>"$DEVKITPRO/gcc.log"
out=
prev=
for a in "$@"; do
    [ "$prev" = "-o" ] && out=$a
    case $a in
        *.c)
            [ -f "$a" ] || { echo "gcc: $a: No such file" >&2; exit 1; }
            if grep -q LVK_FAIL "$a"; then echo "$a:1: error: planted" >&2; exit 1; fi ;;
    esac
    prev=$a
done
[ -n "$out" ] && echo "object from $*" >"$out"
exit 0
EOF
    cat >"$dkp/tools/bin/ndstool" <<'EOF'
#!/bin/sh
printf '%s\n' "ndstool $*" >>"$DEVKITPRO/gcc.log"
[ "$1" = "-c" ] && echo "image" >"$2"
EOF
    chmod +x "$dkp/devkitARM/bin/arm-none-eabi-gcc" "$dkp/tools/bin/ndstool"
    cat >"$dkp/devkitARM/ds_rules" <<'EOF'
LIBNDS := $(DEVKITPRO)/libnds
export CC := arm-none-eabi-gcc
export CXX := arm-none-eabi-g++
GAME_TITLE := $(notdir $(OUTPUT))
GAME_SUBTITLE1 := built with devkitARM
GAME_SUBTITLE2 := stand-in
%.o: %.c
	$(CC) -MMD -MP -MF $(DEPSDIR)/$*.d $(CFLAGS) -c $< -o $@
%.elf:
	$(LD) $(LDFLAGS) $(OFILES) $(LIBPATHS) $(LIBS) -o $@
%.nds: %.elf
	ndstool -c $@ -9 $< "$(GAME_TITLE);$(GAME_SUBTITLE1);$(GAME_SUBTITLE2)"
EOF
}

# A stand-in make that reports what it was given and where.
fakebin=$tmp/fakebin
mkdir -p "$fakebin"
cat >"$fakebin/make" <<EOF
#!/bin/sh
: >"$tmp/make-ran"
echo "fake make in \$(pwd -P)"
echo "argc=\$#"
for a in "\$@"; do printf 'arg[%s]\n' "\$a"; done
echo "DEVKITPRO=\$DEVKITPRO"
echo "DEVKITARM=\$DEVKITARM"
echo "gcc=\$(command -v arm-none-eabi-gcc)"
if IFS= read -r line; then echo "stdin=\$line"; else echo "stdin=eof"; fi
echo "\${FAKE_MAKE_SAYS:-}"
echo "fake make on stderr" >&2
exit "\${FAKE_MAKE_RC:-0}"
EOF
chmod +x "$fakebin/make"
fakepath=$fakebin:$PATH

dkp=$tmp/dkp
make_devkitpro "$dkp"

# launch FOLDER [NAME=VALUE...] sh launcher.sh ARGS...: runs in FOLDER, sets rc.
launch() {
    dir=$1
    shift
    rm -f "$tmp/make-ran"
    (cd -- "$dir" && env "$@") >"$tmp/stdout" 2>&1 </dev/null
    rc=$?
}

#-------------------------------------------------------------------------------
# Without devkitARM or libnds the launcher explains and refuses.
tree=$tmp/plain/devkitPro
make_tree "$tree"
log=$tree/launcher.log
mkdir -p "$tmp/empty"

launch "$tree" DEVKITPRO="$tmp/empty" PATH="$fakepath" sh launcher.sh make
check "no devkitPro: exit code is not 0" "$log" isnt "$rc" 0
check "no devkitPro: log says devkitARM was not found" "$log" has "$log" "devkitARM was not found"
check "no devkitPro: log names the missing compiler" "$log" has "$log" "$tmp/empty/devkitARM/bin/arm-none-eabi-gcc"
check "no devkitPro: log names the missing ds_rules" "$log" has "$log" "$tmp/empty/devkitARM/ds_rules"
check "no devkitPro: log says which variables to set" "$log" has "$log" "set DEVKITPRO"
check "no devkitPro: make is not run" "$log" test ! -e "$tmp/make-ran"

mkdir -p "$tmp/halfdkp/devkitARM"
cp -R "$dkp/devkitARM/bin" "$tmp/halfdkp/devkitARM/"
launch "$tree" DEVKITPRO="$tmp/halfdkp" PATH="$fakepath" sh launcher.sh make
check "no ds_rules: exit code is not 0" "$log" isnt "$rc" 0
check "no ds_rules: log names ds_rules only" "$log" \
    sh -c 'grep -q "halfdkp/devkitARM/ds_rules" "$1" && ! grep -q "bin/arm-none-eabi-gcc$" "$1"' - "$log"

cp -R "$dkp/devkitARM" "$tmp/nolib"
launch "$tree" DEVKITARM="$tmp/nolib" PATH="$fakepath" sh launcher.sh make
check "no libnds: exit code is not 0" "$log" isnt "$rc" 0
check "no libnds: log says libnds was not found" "$log" has "$log" "libnds was not found"
check "no libnds: make is not run" "$log" test ! -e "$tmp/make-ran"

#-------------------------------------------------------------------------------
# A blank in the working folder's path (or devkitPro's) is refused plainly.
spaced="$tmp/with space/devkitPro"
make_tree "$spaced"
launch "$spaced" DEVKITPRO="$dkp" PATH="$fakepath" sh launcher.sh make
check "space in working folder: exit code is not 0" "$spaced/launcher.log" isnt "$rc" 0
check "space in working folder: log says to move the folder" "$spaced/launcher.log" \
    has "$spaced/launcher.log" "path holds no spaces"
check "space in working folder: log names the folder" "$spaced/launcher.log" \
    has "$spaced/launcher.log" "with space/devkitPro/msys/home/Lurvik"
check "space in working folder: make is not run" "$spaced/launcher.log" test ! -e "$tmp/make-ran"

cp -R "$dkp" "$tmp/dk p"
launch "$tree" DEVKITPRO="$tmp/dk p" PATH="$fakepath" sh launcher.sh make
check "space in devkitPro folder: refused" "$log" \
    sh -c '[ "$1" != 0 ] && grep -q "has a blank in its path" "$2" && [ ! -e "$3" ]' - "$rc" "$log" "$tmp/make-ran"

#-------------------------------------------------------------------------------
# With devkitARM present the command runs in the working folder, its output
# goes to the log and its exit code is the launcher's.
work=$(cd -- "$tree/msys/home/Lurvik" && pwd -P)

launch "$tree" DEVKITPRO="$dkp" PATH="$fakepath" FAKE_MAKE_SAYS=first-run sh launcher.sh make
check "make: exit code 0" "$log" is "$rc" 0
check "make: runs in the working folder" "$log" has "$log" "^fake make in $work\$"
check "make: no arguments after make" "$log" has "$log" "^argc=0\$"
check "make: stderr is in the log" "$log" has "$log" "^fake make on stderr\$"
check "make: DEVKITPRO and DEVKITARM exported" "$log" \
    sh -c 'grep -qx "DEVKITPRO=$2" "$1" && grep -qx "DEVKITARM=$2/devkitARM" "$1"' - "$log" "$dkp"
check "make: devkitARM's compiler comes first on PATH" "$log" has "$log" "^gcc=$dkp/devkitARM/bin/arm-none-eabi-gcc\$"
check "make: nothing on the launcher's stdout when not a terminal" "$tmp/stdout" test ! -s "$tmp/stdout"

# The editor's choice of tool chain: said in the log; with none usable, what
# is missing is said and nothing is built.
launch "$tree" DEVKITPRO="$dkp" PATH="$fakepath" LURVIK_TOOLCHAIN="Tool chain: the kit chosen here" sh launcher.sh make
check "the editor's tool chain line is in the log" "$log" \
    sh -c '[ "$2" = 0 ] && grep -qx "Tool chain: the kit chosen here" "$1"' - "$log" "$rc"
launch "$tree" DEVKITPRO="$dkp" PATH="$fakepath" \
    LURVIK_TOOLCHAIN_MISSING="No DS tool chain to build with: X is missing.
Install it with: sudo apt install x" sh launcher.sh make
check "no usable tool chain: refused, the log says what is missing and how to install it" "$log" \
    sh -c '[ "$2" = 1 ] && grep -qx "Build not started:" "$1" && grep -qx "Install it with: sudo apt install x" "$1" &&
           [ ! -e "$3" ]' - "$log" "$rc" "$tmp/make-ran"

launch "$tree" DEVKITPRO="$dkp" PATH="$fakepath" FAKE_MAKE_RC=2 sh launcher.sh make clean
check "make clean failing: exit code 2 passed on" "$log" is "$rc" 2
check "make clean failing: the word clean reaches make" "$log" \
    sh -c 'grep -qx "argc=1" "$1" && grep -qx "arg\[clean\]" "$1"' - "$log"
check "make clean failing: log says the exit code" "$log" has "$log" "exit code 2"
check "log is overwritten by each run" "$log" lacks "$log" "first-run"

launch "$tree" DEVKITPRO="$dkp" PATH="$fakepath" sh launcher.sh make "CFLAGS=-O2 -g" 'a*' '$HOME' ''
check "arguments reach make unchanged" "$log" \
    sh -c 'grep -qx "argc=4" "$1" && grep -qx "arg\[CFLAGS=-O2 -g\]" "$1" &&
           grep -qx "arg\[a\*\]" "$1" && grep -qx "arg\[\$HOME\]" "$1" && grep -qx "arg\[\]" "$1"' - "$log"

launch "$tree" DEVKITPRO="$dkp" PATH="$fakepath" sh launcher.sh "make  clean *"
check "one argument with blanks is split into words, not globbed" "$log" \
    sh -c 'grep -qx "argc=2" "$1" && grep -qx "arg\[clean\]" "$1" && grep -qx "arg\[\*\]" "$1"' - "$log"

launch "$tree" DEVKITPRO="$dkp" PATH="$fakepath" sh launcher.sh
check "no command runs make" "$log" sh -c '[ "$2" = 0 ] && grep -qx "argc=0" "$1"' - "$log" "$rc"
launch "$tree" DEVKITPRO="$dkp" PATH="$fakepath" sh launcher.sh ""
check "an empty command runs make" "$log" sh -c '[ "$2" = 0 ] && grep -qx "argc=0" "$1"' - "$log" "$rc"

launch "$tree" DEVKITPRO="$dkp" PATH="$fakepath" sh launcher.sh no-such-command-here
check "unknown command: exit code 127 and said so" "$log" \
    sh -c '[ "$2" = 127 ] && grep -q "was not found" "$1"' - "$log" "$rc"

launch / DEVKITPRO="$dkp" PATH="$fakepath" sh "$tree/launcher.sh" make
check "started from another folder: log beside the script, make in the working folder" "$log" \
    sh -c '[ "$2" = 0 ] && grep -qx "fake make in $3" "$1"' - "$log" "$rc" "$work"

launch "$tree" DEVKITARM="$dkp/devkitARM" PATH="$fakepath" sh launcher.sh make
check "DEVKITARM alone: DEVKITPRO is its parent" "$log" \
    sh -c '[ "$2" = 0 ] && grep -qx "DEVKITPRO=$3" "$1"' - "$log" "$rc" "$dkp"

rm -f "$tmp/make-ran"
(cd -- "$tree" && echo typed | env DEVKITPRO="$dkp" PATH="$fakepath" sh launcher.sh make) >/dev/null 2>&1
check "the command cannot read the caller's input" "$log" has "$log" "^stdin=eof\$"

#-------------------------------------------------------------------------------
# The project's Makefile, driven by real make through the launcher against
# the stand-in devkitARM: sources, flags, libraries and where the image ends.
if command -v make >/dev/null 2>&1; then
    gcclog=$dkp/gcc.log
    rm -f "$gcclog"
    printf 'int lvk_numlevels;\n' >"$work/arm9/source/generated.c"
    launch "$tree" DEVKITPRO="$dkp" sh launcher.sh make
    check "real make: exit code 0" "$log" is "$rc" 0
    check "real make: Lurvik.nds in the working folder" "$log" test -f "$work/Lurvik.nds"
    check "real make: main.c and generated.c compiled with -O2 thumb code for ARM9" "$gcclog" \
        sh -c 'for f in main generated; do
                   grep -q "gcc .* -O2 .*-mthumb -mthumb-interwork.* -DARM9 .*-c .*arm9/source/$f.c -o $f.o" "$1" || exit 1
               done
               ! grep -q -- "-Os" "$1"' - "$gcclog"
    check "real make: libnds headers on the include path" "$gcclog" has "$gcclog" "-I$dkp/libnds/include"
    check "real make: linked with ds_arm9.specs and libnds" "$gcclog" \
        has "$gcclog" "-specs=ds_arm9.specs.* main.o .*-L$dkp/libnds/lib -lnds9 -o $work/Lurvik.elf"
    check "real make: banner names the game" "$gcclog" has "$gcclog" "ndstool -c $work/Lurvik.nds .*Lurvik;Made with Lurvik Studio"

    # The meter build and the plain one keep their objects apart, and a switch
    # between them always makes the image anew.
    rm -f "$gcclog"
    launch "$tree" DEVKITPRO="$dkp" sh launcher.sh make LVK_METER=1
    check "real make LVK_METER=1: main.c built with the meter in a folder of its own, image made" "$gcclog" \
        sh -c '[ "$2" = 0 ] && grep -q "gcc .* -DLVK_METER .*-c .*arm9/source/main.c -o main.o" "$1" &&
               [ -f "$3/build-meter/main.o" ] && grep -q "^ndstool -c $3/Lurvik.nds" "$1"' - "$gcclog" "$rc" "$work"
    rm -f "$gcclog"
    launch "$tree" DEVKITPRO="$dkp" sh launcher.sh make
    check "real make after the meter build: the image is made anew, without the meter" "$gcclog" \
        sh -c '[ "$2" = 0 ] && ! grep -q -- "-DLVK_METER" "$1" && grep -q "^ndstool -c $3/Lurvik.nds" "$1"' - "$gcclog" "$rc" "$work"

    # make's dependency records name files by their full paths: in a folder
    # that moved they name files that are gone. Moved, it builds from clean.
    moved=$tmp/moved/devkitPro
    mkdir -p "$tmp/moved"
    mv "$tree" "$moved"
    printf 'main.o: %s/arm9/source/gone.h\n' "$work" >"$moved/msys/home/Lurvik/build/main.d"
    launch "$moved" DEVKITPRO="$dkp" sh launcher.sh make
    check "real make in a moved folder: built from clean, no stale record in the way" "$moved/launcher.log" \
        sh -c '[ "$2" = 0 ] && grep -q "^This project was built in $3: building it from clean here" "$1" &&
               [ -f "$4/msys/home/Lurvik/Lurvik.nds" ]' - "$moved/launcher.log" "$rc" "$work" "$moved"
    mv "$moved" "$tree"
    launch "$tree" DEVKITPRO="$dkp" sh launcher.sh make
    check "real make moved back: builds again" "$log" is "$rc" 0

    launch "$tree" DEVKITPRO="$dkp" sh launcher.sh make clean
    check "real make clean: build output removed" "$log" \
        sh -c '[ "$1" = 0 ] && [ ! -e "$2/Lurvik.nds" ] && [ ! -e "$2/Lurvik.elf" ] && [ ! -e "$2/build" ] &&
               [ ! -e "$2/build-meter" ]' - "$rc" "$work"

    printf 'LVK_FAIL\n' >"$work/arm9/source/generated.c"
    launch "$tree" DEVKITPRO="$dkp" sh launcher.sh make
    check "real make with a broken generated.c: make's code 2 and the compiler's message" "$log" \
        sh -c '[ "$2" = 2 ] && grep -q "generated.c:1: error: planted" "$1" && [ ! -e "$3/Lurvik.nds" ]' - "$log" "$rc" "$work"
    rm -f "$work/arm9/source/generated.c"
else
    echo "skip  real make: make is not installed"
fi

#-------------------------------------------------------------------------------
# main.c against a stand-in libnds: it must compile cleanly, agree with what
# generated.c defines, and step through the levels as the keys say.
stub=$tmp/stub
mkdir -p "$stub"
cat >"$stub/nds.h" <<'EOF'
/* Stand-in for the libnds declarations main.c and generated.c use. */
#ifndef STUB_NDS_H
#define STUB_NDS_H
#include <stdbool.h>
#include <stdint.h>
typedef uint8_t u8;
typedef uint16_t u16;
typedef uint32_t u32;
typedef int16_t s16;
typedef uint32_t uint32;
typedef struct PrintConsole PrintConsole;
#define BIT(n) (1u << (n))
#define DTCM_BSS
#define MODE_0_2D 0x10000
typedef enum { VRAM_A_LCD = 0, VRAM_A_MAIN_BG = 1 } VRAM_A_TYPE;
typedef enum { VRAM_B_LCD = 0, VRAM_B_MAIN_SPRITE = 2 } VRAM_B_TYPE;
typedef enum { BgType_Text8bpp, BgType_Text4bpp } BgType;
typedef enum { BgSize_T_256x256 = 0, BgSize_T_512x256 } BgSize;
typedef enum {
	KEY_A = BIT(0), KEY_B = BIT(1), KEY_SELECT = BIT(2), KEY_START = BIT(3),
	KEY_RIGHT = BIT(4), KEY_LEFT = BIT(5), KEY_UP = BIT(6), KEY_DOWN = BIT(7),
	KEY_R = BIT(8), KEY_L = BIT(9), KEY_X = BIT(10), KEY_Y = BIT(11),
	KEY_TOUCH = BIT(12), KEY_LID = BIT(13)
} KEYPAD_BITS;
typedef struct touchPosition { u16 rawx, rawy, px, py, z1, z2; } touchPosition;
typedef enum { SpriteMapping_1D_32 = 0x10, SpriteMapping_1D_128 = 0x12 } SpriteMapping;
typedef enum {
	SpriteSize_8x8 = 2, SpriteSize_16x16, SpriteSize_32x32, SpriteSize_64x64, SpriteSize_16x8, SpriteSize_32x8,
	SpriteSize_32x16, SpriteSize_64x32, SpriteSize_8x16, SpriteSize_8x32, SpriteSize_16x32, SpriteSize_32x64
} SpriteSize;
typedef enum { SpriteColorFormat_256Color = 1 } SpriteColorFormat;
typedef struct OamState { int mapping; } OamState;
extern OamState oamMain;
extern u16 stub_bg_palette[256], stub_sprite_palette[256], stub_sprite_gfx[65536];
extern u16 stub_timer[4];
#define BG_PALETTE stub_bg_palette
#define SPRITE_PALETTE stub_sprite_palette
#define SPRITE_GFX stub_sprite_gfx
#define TIMER_DATA(n) (stub_timer[(n)])
void videoSetMode(u32 mode);
void lcdMainOnBottom(void);
void vramSetBankA(VRAM_A_TYPE a);
void vramSetBankB(VRAM_B_TYPE b);
int bgInit(int layer, BgType type, BgSize size, int mapBase, int tileBase);
u16 *bgGetGfxPtr(int id);
u16 *bgGetMapPtr(int id);
void bgSetScroll(int id, int x, int y);
void bgUpdate(void);
void oamInit(OamState *oam, SpriteMapping mapping, bool extPalette);
void oamSet(OamState *oam, int id, int x, int y, int priority, int palette_alpha, SpriteSize size,
            SpriteColorFormat format, const void *gfxOffset, int affineIndex, bool sizeDouble, bool hide,
            bool hflip, bool vflip, bool mosaic);
void oamClearSprite(OamState *oam, int index);
void oamUpdate(OamState *oam);
PrintConsole *consoleDemoInit(void);
void scanKeys(void);
uint32 keysHeld(void);
void touchRead(touchPosition *data);
void swiWaitForVBlank(void);
void swiCopy(const void *source, void *dest, int flags);
void dmaCopy(const void *source, void *dest, uint32 size);
void dmaFillWords(u32 value, void *dest, uint32 size);
void dmaFillHalfWords(u16 value, void *dest, uint32 size);
void cpuStartTiming(int timer);
typedef enum { SoundFormat_16Bit = 1, SoundFormat_8Bit = 0 } SoundFormat;
void soundEnable(void);
int soundPlaySample(const void *data, SoundFormat format, u32 dataSize, u16 freq, u8 volume, u8 pan, bool loop,
                    u16 loopPoint);
void soundKill(int soundId);
#define RGB15(r, g, b) ((r) | ((g) << 5) | ((b) << 10))
#endif
EOF

# write_generated FILE LEVELS TILES: a generated.c shaped like the editor's,
# CR LF lines included; every cell of level k holds tile k % TILES.
write_generated() {
    awk -v levels="$2" -v tiles="$3" 'BEGIN {
        ORS = "\r\n"
        print "// This file is generated by Lurvik on 01/02/2025 10:11:12"
        print ""
        print "#include <stdio.h>"; print "#include <string.h>"; print "#include \"nds.h\""
        print ""
        print "extern int lvk_numlevels= " levels ";"
        print ""
        print "const u16 lvk_palette[2]={ // 0b?rrrrrgggggbbbbb"
        print "  RGB15(31,31,31), RGB15( 1, 1, 1)"
        print "};"; print ""
        print "const u8 lvk_tiles[" tiles "*64]={ // 8 rows of 8 pixels with an 8 bit palette index"
        for (k = 0; k < tiles; k++) {
            print "  // " k " tile" k
            for (y = 0; y < 8; y++) {
                line = "  "
                for (x = 0; x < 8; x++) line = line sprintf("0x%.2X, ", (k * 64 + y * 8 + x) % 256)
                print line
            }
        }
        print "};"; print ""
        print "const u16 lvk_levels[" levels "][32*24]={"
        for (l = 0; l < levels; l++) {
            print "  { // level" l
            for (y = 0; y < 24; y++) {
                line = "    "
                for (x = 0; x < 32; x++) line = line sprintf("%2d,", l % tiles)
                print line
            }
            print "  }, //level" l
        }
        print "};"; print ""
        print "extern void lvk_main( void ) {"
        print "  printf( \"\\n     Welcome  to  the  game\\n\\n\" );"
        print "  printf( \"%22s\\n\", \"<Game title>\" );"
        print "}"; print ""
        print "void lvk_videoinit( u8 *pTiles ) {"
        print "  swiCopy(lvk_tiles, pTiles, sizeof(lvk_tiles)/2 );"
        print "\tmemcpy( (void*)BG_PALETTE, lvk_palette, sizeof(lvk_palette) );"
        print "}"; print ""
        print "void lvk_showlevel( int lix, u16 *pLevel ) {"
        print "  int i;"
        print "\tfor( i=0; i<32*24; i++ )"
        print "\t\tpLevel[i] = lvk_levels[lix][i];"
        print "}"; print ""
    }' >"$1"
}

cc_ok=
if command -v cc >/dev/null 2>&1; then cc_ok=1; fi

if [ -n "$cc_ok" ]; then
    cc -fsyntax-only -std=gnu99 -Wall -Wextra -Werror -I"$stub" ${engine_dir:+-I"$engine_dir"} \
        "$source_dir/main.c" >"$tmp/cc.out" 2>&1
    check "main.c compiles without warnings (host cc)" "$tmp/cc.out" is $? 0

    # lvk.h and a generated file in one unit: conflicting types are errors.
    write_generated "$stub/generated.c" 2 3
    printf '#include "lvk.h"\n#include "generated.c"\n' >"$stub/both.c"
    cc -fsyntax-only -Wall -I"$stub" -I"$source_dir" "$stub/both.c" >"$tmp/cc.out" 2>&1
    check "lvk.h agrees with what generated.c defines" "$tmp/cc.out" is $? 0
    for sample in "$@"; do
        if [ -f "$sample" ]; then
            cp "$sample" "$stub/generated.c"
            cc -fsyntax-only -Wall -I"$stub" -I"$source_dir" "$stub/both.c" >"$tmp/cc.out" 2>&1
            check "lvk.h agrees with $(basename -- "$sample")" "$tmp/cc.out" is $? 0
        else
            bad "sample $sample exists"
        fi
    done

    cat >"$stub/stub_nds.c" <<'EOF'
/* Plays a key script into main.c and reports what it showed. LVK_KEYS holds
 * the keysHeld value of each frame ("V*N": N frames of V), LVK_TOUCH the pen's
 * "x,y"; one frame after the last the run ends. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "nds.h"
#include "lvk.h"
#include "lvk_engine.h"

#define GFX_BYTES (128 * 1024 - 16 * 1024)
#define MAX_FRAMES 512
u16 stub_bg_palette[256], stub_sprite_palette[256], stub_sprite_gfx[65536], stub_timer[4];
OamState oamMain;
static u16 gfx[GFX_BYTES / 2];
static u16 map[64 * 32];
static int bg_id = -1, keys[MAX_FRAMES], nkeys = -1, frame, fails, bottom, oam_ready;
static char shown[1024];
/* Sprites as main.c set them, and as the last oamUpdate showed them. */
static struct { int x, y, tile, hidden; } shadow[128], screen[128];

static void fail(const char *what) { printf("\nSTUB: %s\n", what); fails++; }

void videoSetMode(u32 mode) { if (mode != MODE_0_2D) fail("video mode"); }
void lcdMainOnBottom(void) { bottom = 1; }
void vramSetBankA(VRAM_A_TYPE a) { if (a != VRAM_A_MAIN_BG) fail("bank A"); }
void vramSetBankB(VRAM_B_TYPE b) { if (b != VRAM_B_MAIN_SPRITE) fail("bank B"); }
int bgInit(int layer, BgType type, BgSize size, int mapBase, int tileBase)
{
	if (layer != 0 || type != BgType_Text8bpp || size != BgSize_T_512x256 || mapBase != 0 || tileBase != 1)
		fail("bgInit arguments");
	return bg_id = 3;
}
u16 *bgGetGfxPtr(int id) { if (id != bg_id) fail("gfx of unknown bg"); return gfx; }
u16 *bgGetMapPtr(int id) { if (id != bg_id) fail("map of unknown bg"); return map; }
/* The games here are one screen: the background never scrolls. */
void bgSetScroll(int id, int x, int y) { if (id != bg_id || x != 0 || y != 0) fail("bgSetScroll"); }
void bgUpdate(void) {}
void oamInit(OamState *oam, SpriteMapping mapping, bool extPalette)
{
	if (oam != &oamMain || mapping != SpriteMapping_1D_128 || extPalette) fail("oamInit arguments");
	for (int i = 0; i < 128; i++) shadow[i].hidden = screen[i].hidden = 1;
	oam_ready = 1;
}
void oamSet(OamState *oam, int id, int x, int y, int priority, int palette_alpha, SpriteSize size,
            SpriteColorFormat format, const void *gfxOffset, int affineIndex, bool sizeDouble, bool hide,
            bool hflip, bool vflip, bool mosaic)
{
	const u16 *g = gfxOffset;
	(void)priority; (void)palette_alpha; (void)hflip; (void)vflip; (void)mosaic;
	if (!oam_ready || oam != &oamMain || id < 0 || id >= 128) { fail("oamSet before oamInit or out of range"); exit(3); }
	/* The test games have 8x8 actors only. */
	if (size != SpriteSize_8x8 || format != SpriteColorFormat_256Color || affineIndex != -1 || sizeDouble || hide)
		fail("oamSet: not a plain 8x8 256-colour sprite");
	/* 128 KiB mapped in steps of 128 bytes. */
	if (g < stub_sprite_gfx || g + 32 > stub_sprite_gfx + 65536 || (g - stub_sprite_gfx) % 64 != 0) {
		fail("sprite picture outside sprite VRAM"); exit(3);
	}
	shadow[id].x = x, shadow[id].y = y, shadow[id].hidden = 0, shadow[id].tile = -1;
	for (int t = 0; t * 64 < 3 * 64; t++)
		if (memcmp(g, lvk_tiles + t * 64, 64) == 0) { shadow[id].tile = t; break; }
}
void oamClearSprite(OamState *oam, int index)
{
	if (oam != &oamMain || index < 0 || index >= 128) { fail("oamClearSprite out of range"); exit(3); }
	shadow[index].hidden = 1;
}
void oamUpdate(OamState *oam) { if (oam == &oamMain) memcpy(screen, shadow, sizeof screen); }
PrintConsole *consoleDemoInit(void) { return NULL; }
void swiCopy(const void *source, void *dest, int flags)
{
	size_t bytes = (size_t)(flags & 0x1FFFFF) * 2;
	int in_gfx = dest == gfx && bytes <= sizeof gfx;
	int in_spr = (u16 *)dest >= stub_sprite_gfx && (u16 *)dest + bytes / 2 <= stub_sprite_gfx + 65536;
	if (!in_gfx && !in_spr) { fail("swiCopy outside the tiles"); exit(3); }
	memcpy(dest, source, bytes);
}
void dmaCopy(const void *source, void *dest, uint32 size)
{
	if (dest != stub_sprite_palette || size > sizeof stub_sprite_palette) { fail("dmaCopy elsewhere"); exit(3); }
	memcpy(dest, source, size);
}
void dmaFillWords(u32 value, void *dest, uint32 size)
{
	char *d = dest;
	int in_gfx = d >= (char *)gfx && d + size <= (char *)gfx + sizeof gfx;
	int in_map = d >= (char *)map && d + size <= (char *)map + sizeof map;
	if (!in_gfx && !in_map) { fail("dmaFillWords outside VRAM"); exit(3); }
	for (uint32 i = 0; i + 4 <= size; i += 4) memcpy(d + i, &value, 4);
}
void dmaFillHalfWords(u16 value, void *dest, uint32 size)
{
	u16 *d = dest;
	int in_map = d >= map && d + size / 2 <= map + sizeof map / 2;
	if (!in_map && (d < stub_sprite_gfx || d + size / 2 > stub_sprite_gfx + 65536)) { fail("dmaFillHalfWords outside VRAM"); exit(3); }
	for (uint32 i = 0; i < size / 2; i++) d[i] = value;
}
void cpuStartTiming(int timer) { (void)timer; }
/* Sixteen channels as the ARM7 hands them out: the first free one. A sound
 * played once frees its channel by the next frame, a looping one when
 * killed. Every call is logged as " fFRAME:playSOUND[,loop],chCHANNEL" or
 * " fFRAME:killCHANNEL". */
static int sound_on, channel_busy[16];
static char sounds[2048];
static void sound_log(const char *what)
{
	snprintf(sounds + strlen(sounds), sizeof sounds - strlen(sounds), " f%d:%s", frame, what);
}
void soundEnable(void) { sound_on = 1; }
int soundPlaySample(const void *data, SoundFormat format, u32 dataSize, u16 freq, u8 volume, u8 pan, bool loop,
                    u16 loopPoint)
{
	char what[64];
	int sound = -1, ch;
	for (int i = 0; i < lvk_game.sound_count; i++)
		if (data == lvk_sounds[i].data) sound = i;
	if (!sound_on) fail("soundPlaySample before soundEnable");
	if (sound < 0) fail("a sample that is none of lvk_sounds");
	else if (dataSize != lvk_sounds[sound].length) fail("a sample's size is not its sound's bytes");
	if ((uintptr_t)data % 4 != 0 || dataSize % 4 != 0) fail("a sample not in whole words");
	if (format != SoundFormat_8Bit || freq != 16384 || volume > 127 || pan != 64 || loopPoint != 0)
		fail("soundPlaySample arguments");
	for (ch = 0; ch < 16 && channel_busy[ch]; ch++)
		;
	if (ch == 16) ch = -1;
	else channel_busy[ch] = loop ? 2 : 1;
	snprintf(what, sizeof what, "play%d%s,ch%d", sound, loop ? ",loop" : "", ch);
	sound_log(what);
	return ch;
}
void soundKill(int soundId)
{
	char what[32];
	if (soundId < 0 || soundId >= 16 || channel_busy[soundId] != 2) fail("soundKill of a channel no music holds");
	else channel_busy[soundId] = 0;
	snprintf(what, sizeof what, "kill%d", soundId);
	sound_log(what);
}
void scanKeys(void)
{
	if (nkeys < 0) {
		const char *s = getenv("LVK_KEYS");
		nkeys = 0;
		while (s && *s) {
			int value = (int)strtol(s, (char **)&s, 0), times = 1;
			if (*s == '*') times = (int)strtol(s + 1, (char **)&s, 0);
			while (times-- > 0 && nkeys < MAX_FRAMES) keys[nkeys++] = value;
			if (*s == ',') s++; else if (*s) { fail("bad LVK_KEYS"); exit(3); }
		}
	}
}
uint32 keysHeld(void) { return frame >= 1 && frame <= nkeys ? (uint32)keys[frame - 1] : 0; }
void touchRead(touchPosition *data)
{
	const char *s = getenv("LVK_TOUCH");
	memset(data, 0, sizeof *data);
	if (!(keysHeld() & KEY_TOUCH)) fail("touchRead without the pen down");
	if (s) sscanf(s, "%hu,%hu", &data->px, &data->py);
}
void swiWaitForVBlank(void)
{
	if (frame == 0) {
		if (lvk_numlevels > 0 && memcmp(gfx, lvk_tiles, 64) != 0) fail("tiles not copied");
		if (memcmp(stub_sprite_palette, stub_bg_palette, sizeof stub_bg_palette) != 0) fail("sprites have another palette");
		if (!bottom) fail("the level is not on the touch screen");
	}
	for (int ch = 0; ch < 16; ch++)
		if (channel_busy[ch] == 1) channel_busy[ch] = 0;
	if (frame > 0 && frame > nkeys) {
		printf("\nshown:%s\n", shown);
		printf("sounds:%s\n", sounds);
		printf("map0=%d\n", map[0]);
		for (int i = 0; i < 3; i++) {
			if (screen[i].hidden) printf("sprite%d=hidden\n", i);
			else printf("sprite%d=%d,%d tile%d\n", i, screen[i].x, screen[i].y, screen[i].tile);
		}
		for (int i = 0; i < 32 * 24; i++)
			if (map[i] == 3) printf("empty cell %d,%d\n", i % 32, i / 32);
		exit(fails ? 1 : 0);
	}
	frame++;
}
void __real_lvk_showlevel(int lix, u16 *pLevel);
void __wrap_lvk_showlevel(int lix, u16 *pLevel)
{
	if (lix < 0 || lix >= lvk_numlevels) { fail("level number out of range"); exit(3); }
	if (pLevel != map) fail("level not shown on the map");
	snprintf(shown + strlen(shown), sizeof shown - strlen(shown), " %d", lix);
	__real_lvk_showlevel(lix, pLevel);
}
EOF

    # write_gamedata FILE LEVELS TILES [play]: the engine's tables for such a
    # game. Without "play" no actor has a handler (the viewer); with it, in a
    # game of 2 levels and 3 tiles: a hero (tile 1) at cell (2,3) walks right
    # while Right is held, is stopped by a wall (scenery, tile 0) at (9,3) and
    # goes to the next level when the pen touches it; a coin (tile 2) at (5,3)
    # vanishes when the hero reaches it. Level 2 holds only the hero, at (0,0).
    # With "sound" instead of "play", the same game with sounds: the hero
    # plays sound 0 when made, the coin sound 1 when the hero reaches it;
    # level 1 loops sound 2 as its music, level 2 sound 1.
    write_gamedata() {
        awk -v levels="$2" -v tiles="$3" -v play="${4:-}" 'BEGIN {
            print "#include \"lvk_engine.h\""
            if (play == "sound") {
                print "static const lvk_actor_t actors[] = {{0, 0, 0}, {1, 0, 4}, {2, 4, 1}};"
                print "static const lvk_handler_t handlers[] = {"
                print "  {LVK_EVENT_KEY, LVK_HANDLER_PRESS, LVK_KEY_RIGHT, LVK_NONE, 0, 2},"
                print "  {LVK_EVENT_COLLISION, LVK_HANDLER_REPEL, 0, 0, 2, 0},"
                print "  {LVK_EVENT_TOUCH, 0, LVK_AREA_H, LVK_NONE, 2, 1},"
                print "  {LVK_EVENT_CREATE, 0, 0, LVK_NONE, 5, 1},"
                print "  {LVK_EVENT_COLLISION, 0, 0, 1, 3, 2}};"
                print "static const lvk_action_t actions[] = {{.kind = LVK_ACTION_SET_SPEED_SIZE, .n = {16}},"
                print "  {.kind = LVK_ACTION_SET_SPEED_DIR, .n = {1}}, {.kind = LVK_ACTION_NEXT_LEVEL},"
                print "  {.kind = LVK_ACTION_PLAY_SOUND, .ref = 1}, {.kind = LVK_ACTION_DESTROY},"
                print "  {.kind = LVK_ACTION_PLAY_SOUND, .ref = 0}};"
                print "static const lvk_level_t levels[] = {{0, 2, 0, 0, 3}, {2, 1, 0, 0, 2}};"
                print "static const lvk_spawn_t spawns[] = {{1, 2, 3}, {2, 5, 3}, {1, 0, 0}};"
                print "static const int8_t sound0[8] __attribute__((aligned(4))) = {1, 2, 3, 4, 5, 6, 7, 8};"
                print "static const int8_t sound1[4] __attribute__((aligned(4))) = {-1, -2, -3, -4};"
                print "static const int8_t sound2[12] __attribute__((aligned(4))) = {9};"
                print "const lvk_sound_t lvk_sounds[3] = {{sound0, 8}, {sound1, 4}, {sound2, 12}};"
            } else if (play) {
                print "static const lvk_actor_t actors[] = {{0, 0, 0}, {1, 0, 3}, {2, 3, 1}};"
                print "static const lvk_handler_t handlers[] = {"
                print "  {LVK_EVENT_KEY, LVK_HANDLER_PRESS, LVK_KEY_RIGHT, LVK_NONE, 0, 2},"
                print "  {LVK_EVENT_COLLISION, LVK_HANDLER_REPEL, 0, 0, 2, 0},"
                print "  {LVK_EVENT_TOUCH, 0, LVK_AREA_H, LVK_NONE, 2, 1},"
                print "  {LVK_EVENT_COLLISION, 0, 0, 1, 3, 1}};"
                print "static const lvk_action_t actions[] = {{.kind = LVK_ACTION_SET_SPEED_SIZE, .n = {16}},"
                print "  {.kind = LVK_ACTION_SET_SPEED_DIR, .n = {1}}, {.kind = LVK_ACTION_NEXT_LEVEL},"
                print "  {.kind = LVK_ACTION_DESTROY}};"
                print "static const lvk_level_t levels[] = {{0, 2}, {2, 1}};"
                print "static const lvk_spawn_t spawns[] = {{1, 2, 3}, {2, 5, 3}, {1, 0, 0}};"
            } else {
                print "static const lvk_level_t levels[" (levels ? levels : 1) "];"
            }
            if (play != "sound") print "const lvk_sound_t lvk_sounds[1] = {{0, 0}};"
            print "const uint16_t lvk_maps[1] = {0};"

            printf "static const uint16_t scenery[%d] = {", (levels ? levels : 1) * 768
            for (i = 0; i < levels * 768; i++) printf "%s%s", (i % 16 ? " " : "\n  "), (play && i == 3 * 32 + 9 ? "0," : "0xFFFF,")
            print "};"
            if (play == "sound")
                print "const lvk_game_t lvk_game = {3, 3, 5, 6, 2, 3, actors, handlers, actions, levels, spawns, scenery, 0, 0, 0, 3};"
            else if (play)
                print "const lvk_game_t lvk_game = {3, 3, 4, 4, 2, 3, actors, handlers, actions, levels, spawns, scenery};"
            else
                print "const lvk_game_t lvk_game = {" tiles ", 0, 0, 0, " levels ", 0, 0, 0, 0, levels, 0, scenery};"
        }' >"$1"
    }

    # play LEVELS TILES KEYS [play]: builds main.c with such a game, runs the key script.
    play() {
        write_generated "$stub/generated.c" "$1" "$2"
        write_gamedata "$stub/lvk_gamedata.c" "$1" "$2" "${4:-}"
        out=$tmp/play.out
        if ! cc -std=gnu99 -w -I"$stub" -I"$source_dir" -I"$engine_dir" -o "$stub/game" \
                "$source_dir/main.c" "$source_dir/lvk_ring.c" "$stub/generated.c" "$stub/lvk_gamedata.c" "$engine_dir"/lvk_engine*.c "$engine_dir"/lvk_save.c \
                "$stub/stub_nds.c" -Wl,--wrap=lvk_showlevel >"$out" 2>&1; then
            return 1
        fi
        if command -v timeout >/dev/null 2>&1; then
            LVK_KEYS=$3 timeout 10 "$stub/game" >"$out" 2>&1
        else
            LVK_KEYS=$3 "$stub/game" >"$out" 2>&1
        fi
    }

  if [ -n "$engine_dir" ] && [ -f "$engine_dir/lvk_engine.c" ]; then
    cc -fsyntax-only -std=gnu99 -Wall -Wextra -Werror -DLVK_METER=1 -I"$stub" -I"$engine_dir" \
        "$source_dir/main.c" >"$tmp/cc.out" 2>&1
    check "main.c with the meter compiles without warnings (host cc)" "$tmp/cc.out" is $? 0

    # Keys are held ones now: a 0 between two presses of the same key.
    # RIGHT, A, A (wraps), B (wraps back), LEFT, A with B.
    play 3 3 "16,0,1,0,1,0,2,0,32,0,3"
    check "three levels: runs to the end of the key script" "$tmp/play.out" is $? 0
    check "three levels: next, wrap forward, back, wrap back" "$tmp/play.out" has "$tmp/play.out" "^shown: 0 1 2 0 2 1 2\$"
    check "three levels: the map holds the last level shown" "$tmp/play.out" has "$tmp/play.out" "^map0=2\$"
    check "three levels: sub screen shows the start text, the level and the keys" "$tmp/play.out" \
        sh -c 'grep -q "Welcome  to  the  game" "$1" && grep -q "Level 3 of 3" "$1" &&
               grep -q "A/Right: next  B/Left: back" "$1"' - "$tmp/play.out"

    play 1 2 "1,2,16,32"
    check "one level: every key keeps level 1" "$tmp/play.out" \
        sh -c '[ "$2" = 0 ] && grep -qx "shown: 0 0 0 0 0" "$1"' - "$tmp/play.out" $?

    play 0 1 "1,2,16,32"
    check "no levels: no level shown, no crash, and said so" "$tmp/play.out" \
        sh -c '[ "$2" = 0 ] && grep -qx "shown:" "$1" && grep -q "no levels" "$1"' - "$tmp/play.out" $?

    # A game that plays: Right held for a second walks the hero from x 16 over
    # the coin at x 40 to the wall at x 72.
    play 2 3 "16*60" play
    check "playing: runs to the end of the key script" "$tmp/play.out" is $? 0
    check "playing: the hero's sprite walked to the wall and stopped there" "$tmp/play.out" \
        has "$tmp/play.out" "^sprite0=64,24 tile1\$"
    check "playing: the coin's sprite is gone" "$tmp/play.out" has "$tmp/play.out" "^sprite1=hidden\$"
    check "playing: the live actors' cells show the empty tile, the others the level's" "$tmp/play.out" \
        sh -c '[ "$(grep -c "^empty cell" "$1")" = 2 ] && grep -qx "empty cell 2,3" "$1" &&
               grep -qx "empty cell 5,3" "$1" && grep -qx "map0=0" "$1"' - "$tmp/play.out"
    check "playing: the keys line names Start+Select" "$tmp/play.out" has "$tmp/play.out" "Start+Select: next level"
    check "playing: a game without sounds plays none" "$tmp/play.out" has "$tmp/play.out" "^sounds:\$"

    LVK_TOUCH=100,100 play 2 3 "4096,0" play
    check "playing: the pen away from the hero leaves the level alone" "$tmp/play.out" \
        sh -c '[ "$2" = 0 ] && grep -qx "shown: 0" "$1"' - "$tmp/play.out" $?
    LVK_TOUCH=20,28 play 2 3 "4096,0" play
    check "playing: the pen on the hero goes to level 2, redrawn with its sprites" "$tmp/play.out" \
        sh -c '[ "$2" = 0 ] && grep -qx "shown: 0 1" "$1" && grep -qx "sprite0=0,0 tile1" "$1" &&
               grep -qx "sprite1=hidden" "$1" && grep -qx "empty cell 0,0" "$1" &&
               grep -q "Level 2 of 2" "$1"' - "$tmp/play.out" $?

    # Sounds: the level's music loops from the start, each sound the engine
    # starts goes to a free channel once; a level change kills the music
    # and starts the next level's.
    play 2 3 "16*60" sound
    check "sounds: runs to the end of the key script" "$tmp/play.out" is $? 0
    frames=$(sed -n 's/^sounds:.* f\([0-9]*\):play1,ch1$/\1/p' "$tmp/play.out")
    check "sounds: the music loops from the start, the hero's sound plays once, the coin's when reached" \
        "$tmp/play.out" sh -c 'grep -qx "sounds: f0:play2,loop,ch0 f0:play0,ch1 f[0-9]*:play1,ch1" "$1" &&
                               [ "$2" -gt 5 ] && [ "$2" -lt 60 ]' - "$tmp/play.out" "${frames:-0}"
    LVK_TOUCH=20,28 play 2 3 "4096,0" sound
    check "sounds: the next level kills the music and starts its own and its sounds" "$tmp/play.out" \
        sh -c '[ "$2" = 0 ] && grep -qx "shown: 0 1" "$1" &&
               grep -qx "sounds: f0:play2,loop,ch0 f0:play0,ch1 f1:kill0 f1:play1,loop,ch0 f1:play0,ch1" "$1"' \
        - "$tmp/play.out" $?
  else
    bad "the engine's sources are beside the ds folder (engine/lvk_engine.c)"
  fi
else
    echo "skip  host checks of main.c: no cc"
fi

if command -v arm-none-eabi-gcc >/dev/null 2>&1 &&
   echo '#include <stdio.h>' | arm-none-eabi-gcc -fsyntax-only -x c - >/dev/null 2>&1; then
    arm-none-eabi-gcc -fsyntax-only -Wall -Wextra -Werror -mcpu=arm946e-s -mthumb -DARM9 -DLVK_METER=1 \
        -I"$stub" ${engine_dir:+-I"$engine_dir"} "$source_dir/main.c" >"$tmp/arm.out" 2>&1
    check "main.c compiles without warnings (arm-none-eabi-gcc)" "$tmp/arm.out" is $? 0
else
    echo "skip  arm-none-eabi-gcc check: no arm-none-eabi-gcc with C library headers"
fi

checks_done
