#!/usr/bin/env bash
# Builds the Debian package into build/ (build/orvuq46_VERSION_ARCH.deb) and prints its path.
# Reuses build/ as scripts/build.sh configures it and builds only what the package installs.
# Install it with: sudo apt-get install ./build/orvuq46_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)" --target orvu_packaged >&2
rm -rf build/_CPack_Packages build/orvuq46_*.deb
(cd build && cpack -G DEB >cpack.log 2>&1) || { cat build/cpack.log >&2; exit 1; }
ls build/orvuq46_*.deb
