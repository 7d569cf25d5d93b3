#!/usr/bin/env bash
# scripts/screenshot.sh (what scripts/run.sh shows where there is no display) saves a picture only
# of a window program that is still running: one that ended first fails the command, with its exit
# status, instead of leaving a picture of an empty screen. Stand-ins play the window program and
# the picture taker, in a copy of the script's folder layout.
# Usage: screenshot_test.sh
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts" "$work/build-window/ui" "$work/build-window/tools"
cp "$source_dir/scripts/screenshot.sh" "$work/scripts/"
# The picture taker reaches the display it is given (xprop asks the server), and says so.
# shellcheck disable=SC2016
printf '#!/bin/sh\nxprop -root >/dev/null && echo taken > "$1"\n' \
  >"$work/build-window/tools/miralto-screenshot"
chmod +x "$work/build-window/tools/miralto-screenshot"

# window program | expected exit status of screenshot.sh | expected in its output
cases=(
  'echo "cannot open the display" >&2; exit 3|1|ended (exit status 3)'
  'xprop -root >/dev/null && exec sleep 60; exit 4|0|Screenshot of the window'
)
failed=0
for row in "${cases[@]}"; do
  IFS='|' read -r program want_status want_text <<<"$row"
  printf '#!/bin/sh\n%s\n' "$program" >"$work/build-window/ui/miralto"
  chmod +x "$work/build-window/ui/miralto"
  rm -f "$work/shot.png"
  status=0
  output=$("$work/scripts/screenshot.sh" "$work/shot.png" 1 2>&1) || status=$?
  if [ "$status" != "$want_status" ] || [[ $output != *"$want_text"* ]]; then
    echo "window program '$program': exit status $status, output: $output" >&2
    failed=1
  elif [ "$want_status" = 0 ] && [ ! -s "$work/shot.png" ]; then
    echo "window program '$program': no picture" >&2
    failed=1
  elif [ "$want_status" != 0 ] && [ -e "$work/shot.png" ]; then
    echo "window program '$program': a picture of the empty screen" >&2
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "screenshot: a picture only of a running window"
exit "$failed"
