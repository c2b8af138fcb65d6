#!/bin/sh
# Installs what is missing, builds the editor into out/ and starts it.
set -e
cd "$(dirname "$0")/.."
. scripts/deps.sh
lurvik_install_missing
cmake -S . -B out -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build out --target lurvik-studio
exec ./out/lurvik-studio "$@"
