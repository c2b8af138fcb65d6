#!/bin/sh
# Installs, with apt-get, whatever the build and the tests need and this
# machine lacks. Sourced by run.sh and test.sh.
LURVIK_PACKAGES="build-essential cmake ninja-build pkg-config qt6-base-dev qt6-multimedia-dev libgl-dev \
libgtest-dev libgmock-dev libbenchmark-dev libjpeg62-turbo-dev libxmp-dev fonts-dejavu-core clang lld"
# clang and lld compile the engine to WebAssembly for Game | Export web page.
# The tests also compile the generated C and the DS-side program for the DS's processor,
# build the sample with the DS kit beside the source tree and boot it in DeSmuME under Xvfb.
LURVIK_TEST_PACKAGES="gcc-arm-none-eabi libnewlib-arm-none-eabi binutils-arm-none-eabi clang \
libclang-rt-14-dev llvm xz-utils desmume xvfb xdotool imagemagick"
# The DS kit (scripts/dskit.sh): Debian's ARM compiler, newlib and binutils it
# wraps, and what its host tools (ndstool, grit, bin2s) are built with.
LURVIK_KIT_PACKAGES="gcc-arm-none-eabi libnewlib-arm-none-eabi binutils-arm-none-eabi make xz-utils \
autoconf automake libtool pkg-config libfreeimage-dev"
LURVIK_TEST_PACKAGES="$LURVIK_TEST_PACKAGES $LURVIK_KIT_PACKAGES"
# The web page's tests: its engine in node, the page in a headless chromium
# driven by puppeteer-core from npm.
LURVIK_TEST_PACKAGES="$LURVIK_TEST_PACKAGES chromium"
# Debian's nodejs and npm, unless a node with its own npm is there already
# (such a nodejs conflicts with Debian's npm package).
command -v node >/dev/null 2>&1 || LURVIK_TEST_PACKAGES="$LURVIK_TEST_PACKAGES nodejs"
command -v npm >/dev/null 2>&1 || LURVIK_TEST_PACKAGES="$LURVIK_TEST_PACKAGES npm"

lurvik_install_missing() {
  missing=""
  for p in $LURVIK_PACKAGES $*; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
}
