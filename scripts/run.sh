#!/usr/bin/env bash
# Installs what is missing, builds the tool and starts its window. Where there is no display, the
# window starts on a virtual X server, a screenshot of it is saved, and it stops after a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

need_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRALTO_BUILD_UI=ON \
  -DMIRALTO_BUILD_TESTS=OFF -DMIRALTO_BUILD_TOOLS=ON -DMIRALTO_BUILD_BINDINGS=OFF
cmake --build build --target miralto miralto-screenshot

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/ui/miralto
fi
echo "No display here: starting the window on a virtual X server for a few seconds."
scripts/screenshot.sh build/miralto-window.png 3
