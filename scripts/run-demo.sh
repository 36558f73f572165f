#!/usr/bin/env bash
# Installs what is needed, builds the demo program alone (not the tests and benchmarks that
# scripts/build.sh builds too), and starts the tool over a simulated LAN of controllers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The options stay as they are: build/ is also the folder of scripts/build.sh and scripts/test.sh,
# whose tests a cached ORVU_TESTS=OFF would silently drop.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)" --target orvuq46-demo
exec ./build/orvuq46-demo "$@"
