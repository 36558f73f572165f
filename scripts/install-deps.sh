#!/usr/bin/env bash
# Installs the Debian packages needed to build, test and run orvuQ46. Idempotent, no prompts.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev            # libFuzzer and the sanitizer runtimes for clang
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libssl-dev                          # test-only: OpenSSL's libcrypto as AES/CMAC reference
  nlohmann-json3-dev                  # orvusim's scenario files
  qt6-base-dev qt6-qpa-plugins fonts-dejavu-core
  libfontconfig-dev                   # the font set-up started early, beside Qt's own start
  fonts-liberation2                   # the windows' font: Liberation Sans, with Arial's metrics
  qt6-translations-l10n               # Qt's own texts in Polish (qtbase_pl)
  xvfb xauth x11-apps
  iproute2                            # test-only: network namespaces of the discovery test
  dpkg-dev help2man librsvg2-bin      # the package: shlibs, manual pages, icon bitmaps
  lintian desktop-file-utils appstream  # the package's checks
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
