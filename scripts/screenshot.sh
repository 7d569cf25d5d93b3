#!/usr/bin/env bash
# Starts the built window on a virtual X server, saves a picture of it and stops it.
# Usage: scripts/screenshot.sh [FILE.png] [SECONDS] [SCALE]
# (defaults: build-window/miralto-window.png, 3 seconds, natural size)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-window/miralto-window.png}
seconds=${2:-3}
scale=${3:-1}
app=build-window/ui/miralto
shooter=build-window/tools/miralto-screenshot
[ -x "$app" ] && [ -x "$shooter" ] || { echo "build the tool first (scripts/run.sh)" >&2; exit 1; }

runtime=$(mktemp -d)
export XDG_RUNTIME_DIR=$runtime
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 320x216x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app_pid=
trap 'kill $app_pid "$xvfb" 2>/dev/null || true; rm -rf "$runtime"' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

DISPLAY=$display QT_QPA_PLATFORM=xcb "$app" &
app_pid=$!
sleep "$seconds"
DISPLAY=$display QT_QPA_PLATFORM=xcb "$shooter" "$out" "$scale"
echo "Screenshot of the window: $out"
