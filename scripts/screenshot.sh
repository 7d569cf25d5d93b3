#!/usr/bin/env bash
# Starts the built window on a virtual X server, saves a picture of it and stops it.
# Usage: scripts/screenshot.sh [--windows] [FILE.png] [SECONDS] [SCALE]
# (defaults: build-window/miralto-window.png, or build-windows/miralto-window.png with --windows;
# 3 seconds, natural size). --windows shows the Windows window (build-windows/win32/miralto.exe,
# from the test command's Windows stage) under Wine, in the tests' Wine prefix with its CJK face
# linked to Tahoma, from an empty folder of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
windows=
if [ "${1:-}" = --windows ]; then
  windows=1
  shift
fi
out=${1:-build-window${windows:+s}/miralto-window.png}
seconds=${2:-3}
scale=${3:-1}
shooter=build-window/tools/miralto-screenshot
if [ -n "$windows" ]; then
  app=build-windows/win32/miralto.exe
  screen=400x280x24
  [ -f "$app" ] || { echo "build the Windows window first (scripts/test.sh)" >&2; exit 1; }
else
  app=build-window/ui/miralto
  screen=320x216x24
  [ -x "$app" ] || { echo "build the tool first (scripts/run.sh)" >&2; exit 1; }
fi
[ -x "$shooter" ] || { echo "build the screenshot taker first (scripts/run.sh)" >&2; exit 1; }

runtime=$(mktemp -d)
export XDG_RUNTIME_DIR=$runtime
# The server picks a free display and names it once it accepts connections: a display chosen here
# could be another server's, whose screen would then be taken.
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$runtime/display" >/dev/null 2>&1 &
xvfb=$!
app_pid=
cleanup() {
  kill $app_pid "$xvfb" 2>/dev/null || true
  [ -z "$windows" ] || wineserver -k 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$runtime/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.1
done
display=:$(head -n 1 "$runtime/display")
[ "$display" != : ] || { echo "the virtual X server did not start" >&2; exit 1; }

if [ -n "$windows" ]; then
  export WINEPREFIX=$PWD/build-windows/wineprefix-window WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
  (cd "$runtime" && cmake -DWINE="$(command -v wine)" -P "$OLDPWD/tests/win32/wine_fonts.cmake")
  cp "$app" "$runtime/"
  DISPLAY=$display wine "$runtime/miralto.exe" >/dev/null 2>&1 &
  app_pid=$!
  # Wine starts its prefix's services first.
  seconds=$((seconds + 3))
else
  DISPLAY=$display QT_QPA_PLATFORM=xcb "$app" &
  app_pid=$!
fi
sleep "$seconds"
# A picture of an empty screen is no picture of the window.
kill -0 "$xvfb" 2>/dev/null || { echo "the virtual X server on $display stopped" >&2; exit 1; }
if ! kill -0 "$app_pid" 2>/dev/null; then
  status=0
  wait "$app_pid" || status=$?
  app_pid=
  echo "the window program ended (exit status $status) before its picture was taken" >&2
  exit 1
fi
DISPLAY=$display QT_QPA_PLATFORM=xcb "$shooter" "$out" "$scale"
echo "Screenshot of the window: $out"
