#!/usr/bin/env bash
# The window program started as a user starts it, on a virtual X server: its window, titled
# "Miralto", appears with the icon at 16 and at 32 pixels (the program reads its font
# configuration on a thread of its own and its icon's images by name before the window shows).
# Usage: window_start_test.sh MIRALTO
set -euo pipefail
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
export HOME=$home XDG_RUNTIME_DIR=$home/runtime QT_QPA_PLATFORM=xcb
# shellcheck disable=SC2016
xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  "$1" &
  app=$!
  icon=
  # xprop also succeeds on a window that has no icon yet ("no such atom"): wait for the icon.
  for _ in $(seq 100); do
    icon=$(xprop -name Miralto -notype _NET_WM_ICON 2>/dev/null) || icon=
    [[ $icon == *"Icon ("* ]] && break
    kill -0 "$app" 2>/dev/null || { echo "the window program ended before its window showed"; exit 1; }
    sleep 0.1
  done
  kill "$app"
  wait "$app" 2>/dev/null || true
  [ -n "$icon" ] || { echo "no window titled Miralto within 10 seconds"; exit 1; }
  for size in "16 x 16" "32 x 32"; do
    grep -q "Icon ($size)" <<<"$icon" || { echo "the window has no icon of $size pixels"; exit 1; }
  done
' window_start_test "$1"
