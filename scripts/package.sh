#!/bin/sh
# Builds the Debian package out/lurvik-studio_VERSION_ARCH.deb: installs what
# is missing with apt-get, builds the program into out/ for /usr and packs it
# with CPack. Install it with: sudo apt install ./out/lurvik-studio_*.deb
set -e
cd "$(dirname "$0")/.."
. scripts/deps.sh
# dpkg-shlibdeps (dpkg-dev) names the libraries' packages; file finds what to strip.
lurvik_install_missing dpkg-dev file
# The package needs only the program; the install rules take the rest from
# the sources, so packing does not build the tests and benchmarks first.
cmake -S . -B out -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
      -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build out --target lurvik-studio
rm -f out/lurvik-studio_*.deb
(cd out && cpack -G DEB)
ls out/lurvik-studio_*.deb
