#!/usr/bin/env bash
# Configures and builds the programs into build/ (build/orvuq46, build/orvuq46-demo, build/orvusim).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)"
