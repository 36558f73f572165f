#!/usr/bin/env bash
# Installs what is needed, builds, and starts the tool over a simulated LAN of controllers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
exec ./build/orvuq46-demo "$@"
