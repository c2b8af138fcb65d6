#!/bin/sh
# Installs what is missing, builds everything into out/ and runs every test.
# Widget tests need no display: they run on Qt's offscreen platform.
set -e
cd "$(dirname "$0")/.."
. scripts/deps.sh
lurvik_install_missing $LURVIK_TEST_PACKAGES
cmake -S . -B out -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build out
QT_QPA_PLATFORM=offscreen ctest --test-dir out --output-on-failure -j2
# The same tests under the address and undefined-behaviour sanitizers, and
# each fuzz target for a bounded time.
sh scripts/hardening.sh
