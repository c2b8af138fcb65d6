#!/bin/sh
# The WebAssembly engine plays the sample and the stress games (rules; a
# world larger than the screen; animated 16x16 sprites) as the host engine does. Skipped (77) without node or without the module
# (a build without clang and lld).
#   test_same_game.sh ENGINE.wasm TRACE_PROGRAM MAKE_STRESS SAMPLE.lvk TILES WORK
set -e
wasm=$1 trace=$2 make_stress=$3 sample=$4 tiles=$5 work=$6
command -v node >/dev/null 2>&1 || { echo "node is not installed: skipped"; exit 77; }
[ -n "$wasm" ] && [ -f "$wasm" ] || { echo "this build has no web engine: skipped"; exit 77; }
here=$(dirname "$0")
mkdir -p "$work"
"$make_stress" --rules "$work/StressRules.lvk" "$tiles" >/dev/null
"$make_stress" --scroll "$work/StressScroll.lvk" "$tiles" >/dev/null
"$make_stress" --sprites "$work/StressSprites.lvk" "$tiles" >/dev/null
node "$here/same_game.mjs" "$wasm" "$trace" "$sample" "$work/sample" 3000
node "$here/same_game.mjs" "$wasm" "$trace" "$work/StressRules.lvk" "$work/stress" 600
node "$here/same_game.mjs" "$wasm" "$trace" "$work/StressScroll.lvk" "$work/scroll" 600
node "$here/same_game.mjs" "$wasm" "$trace" "$work/StressSprites.lvk" "$work/sprites" 600
