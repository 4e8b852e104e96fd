#!/usr/bin/env bash
# Takes the README's pictures again. The end-to-end tests that show the
# panel (Num Lock on), the tray menu and the About window save screenshots
# of them under Wine; the three the README shows are copied here.
set -eu
cd "$(dirname "$0")/.."
bash cmake/prerequisites.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
# The Wine session's start and stop come with them, as their fixtures.
ctest --preset windows -R '^e2e\.(indicator|app)$'
shots=build/win/screenshots
cp "$shots/panel-num-on.png" docs/panel.png
cp "$shots/menu.png" docs/menu.png
cp "$shots/about.png" docs/about.png
echo "pictures: docs/panel.png docs/menu.png docs/about.png"
