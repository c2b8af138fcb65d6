#!/bin/sh
# Installs what is missing, builds the editor into out/ and starts it.
set -e
cd "$(dirname "$0")/.."
. scripts/deps.sh
lurvik_install_missing
cmake -S . -B out -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build out --target lurvik-studio
# With no file named, the editor opens on the sample game.
[ $# -eq 0 ] && set -- examples/Sample.lvk
exec ./out/lurvik-studio "$@"
