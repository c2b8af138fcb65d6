#!/bin/sh
# Installs what is missing, builds the editor into out/ and starts it.
set -e
cd "$(dirname "$0")/.."
. scripts/deps.sh
lurvik_install_missing $LURVIK_KIT_PACKAGES
cmake -S . -B out -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The DS kit too, when its source archives are at hand (ds/CMakeLists.txt).
targets=lurvik-studio
cmake --build out --target help | grep -q '^lurvik_dskit:' && targets="$targets lurvik_dskit"
cmake --build out --target $targets
# With no file named, the editor opens on the sample game.
[ $# -eq 0 ] && set -- examples/Sample.lvk
exec ./out/lurvik-studio "$@"
