#!/usr/bin/env bash
# Installs what is missing, builds the tool and starts its window. Where there is no display, the
# window starts on a virtual X server, a screenshot of it is saved, and it stops after a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

need_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
# A build folder of its own (CMakePresets.json), so that the test command's build keeps its options.
cmake --preset window
cmake --build --preset window

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build-window/ui/miralto
fi
echo "No display here: starting the window on a virtual X server for a few seconds."
scripts/screenshot.sh build-window/miralto-window.png 3
