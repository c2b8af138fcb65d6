#!/bin/sh
# Builds the Debian package out/lurvik-studio_VERSION_ARCH.deb: installs what
# is missing with apt-get, builds the DS kit (scripts/dskit.sh: from the
# source archives in ../shared/dskit/src or $LURVIK_DSKIT_SOURCES, else
# downloaded from the public repositories), builds the program into out/ for
# /usr and packs both with CPack. Install it with:
#   sudo apt install ./out/lurvik-studio_*.deb
# The Maintainer field: DEBFULLNAME and DEBEMAIL, or
# LURVIK_PACKAGE_MAINTAINER="Name <address>" (see README.md).
set -e
cd "$(dirname "$0")/.."
. scripts/deps.sh
# dpkg-shlibdeps (dpkg-dev) names the libraries' packages; file finds what to
# strip; the kit's build needs the ARM compiler and autotools.
lurvik_install_missing dpkg-dev file $LURVIK_KIT_PACKAGES
# The machine's cores, no more: ninja would take two more.
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/dskit.sh --jobs "$jobs" out/dskit

maintainer=
[ -n "${LURVIK_PACKAGE_MAINTAINER:-}" ] && maintainer="-DLURVIK_PACKAGE_MAINTAINER=$LURVIK_PACKAGE_MAINTAINER"
# The package needs only the program; the install rules take the rest from
# the sources, so packing does not build the tests and benchmarks first.
cmake -S . -B out -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
      -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON -DLURVIK_HARDENING=ON -DLURVIK_DSKIT_DIR="$(pwd)/out/dskit" \
      ${maintainer:+"$maintainer"}
cmake --build out -j "$jobs" --target lurvik-studio lurvik_devkitpro lurvik_help lurvik_package_docs
rm -f out/lurvik-studio_*.deb
(cd out && cpack -G DEB)
ls out/lurvik-studio_*.deb
