#!/usr/bin/env bash
# Start-up of the window against a bare Qt window of the same size under Xvfb: the time from
# starting each program to the mapping of its window, median of ROUNDS alternating runs (default
# 15). Beside them, the bare window with one more of the things the window does before it shows (its
# icon, the Chinese translations, a grid of labels and text boxes, the list of font families, a
# Chinese caption, a Latin one, both, the window's texts as plain labels), to tell where the time
# goes (the icon read as it was before, every image format plugin asked to guess its format; the
# two captions with fontconfig's configuration read ahead on a thread, as the window does). The
# CPU time each program took until its window mapped is beside (all its threads'; a
# loaded machine stretches wall-clock times far more than CPU times), and the time until the
# window is first drawn into: a program that maps its window before it loads its fonts only moves
# that time past the mapping.
# With BUILD=DIR the window of that build folder is timed instead of a release build's.
# Usage: [ROUNDS=15] [BUILD=DIR] bench/window_startup.sh
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
need_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" libx11-dev libxdamage-dev
build=${BUILD:-build-bench-ui}
if [ -z "${BUILD:-}" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIRALTO_BUILD_UI=ON \
    -DMIRALTO_BUILD_TESTS=OFF -DMIRALTO_BUILD_BINDINGS=OFF >/dev/null
fi
cmake --build "$build" --target miralto >/dev/null
cmake -S bench/window -B build-bench-window -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench-window >/dev/null
window=$(realpath "$build/ui/miralto")
probe=$(realpath build-bench-window/window_probe)
icons=$(realpath ui/icons)
# A folder of its own, so that no correction file of an earlier run is found beside the program.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/runtime LANG=C.UTF-8 \
  LC_ALL=C.UTF-8
xvfb-run -a -s "-screen 0 1024x768x24" build-bench-window/window_startup "${ROUNDS:-15}" \
  "miralto" "$window" \
  "bare Qt window" "$probe @SIZE@" \
  "bare + icon" "$probe @SIZE@ --icon $icons" \
  "bare + icon, format guessed" "$probe @SIZE@ --icon-guessed $icons" \
  "bare + Chinese translations" "$probe @SIZE@ --translations" \
  "bare + 10 labels, 10 text boxes" "$probe @SIZE@ --widgets 10" \
  "bare + font families listed" "$probe @SIZE@ --families" \
  "bare + a Chinese caption" "$probe @SIZE@ --chinese" \
  "bare + a Latin caption" "$probe @SIZE@ --latin" \
  "bare + Latin and Chinese" "$probe @SIZE@ --latin --chinese" \
  "bare + both, fonts read ahead" "$probe @SIZE@ --latin --chinese --fonts-ahead" \
  "bare + the window's texts" "$probe @SIZE@ --texts" \
  "bare + the texts, laid out first" "$probe @SIZE@ --texts --sized" \
  "miralto, LANG=zh_CN.UTF-8" "env LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 $window"
