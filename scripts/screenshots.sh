#!/usr/bin/env bash
# Takes the README's pictures of the windows under Xvfb, at scale factors 1 and 2, into docs/:
# main-window, location-dialog and save-dialog (.png and @2x.png), the Ethernet list's menu
# and its windows (ethernet-menu, restore-dialog, addresses-dialog).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target ui_tests
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/orvu-xdg.XXXXXX)}
chmod 700 "$XDG_RUNTIME_DIR"
for scale in 1 2; do
  QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale ORVU_SHOTS="$root/docs" \
    xvfb-run -a -s "-screen 0 1920x1280x24" \
    "$root/build/ui_tests" --gtest_filter='Screenshots.*:*MenuScreenshotsOfTheEthernet*'
done
# The menu's windows draw themselves the same offscreen, without an X server's popups.
for scale in 1 2; do
  QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale ORVU_SHOTS="$root/docs" \
    "$root/build/ui_tests" --gtest_filter='*MenuScreenshotsOfTheRestore*'
done
ls -l docs/main-window*.png docs/location-dialog*.png docs/save-dialog*.png
