#!/usr/bin/env bash
# Throughput of miralto-cli against GeoConvert (GeographicLib) on the same file in the same run,
# and the peak memory of a ten-million-line stream. Usage: bench/cli_throughput.sh [LINES]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
need_packages "${BUILD_PACKAGES[@]}" geographiclib-tools time

lines=${1:-1000000}
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIRALTO_BUILD_UI=OFF \
  -DMIRALTO_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench --target miralto-cli >/dev/null
cli=build-bench/cli/miralto-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Random positions inside the code's reach, fixed seed.
generate() {
  awk -v n="$1" 'BEGIN { srand(20261210); for (i = 0; i < n; i++) printf "%.6f %.6f\n", 70 + 72 * rand(), 5 + 72 * rand() }'
}
generate "$lines" > "$work/dd.txt"
"$cli" --correction 0,0 encode < "$work/dd.txt" > "$work/codes.txt"

# Best of three wall-clock times of a command reading FILE, in seconds.
best_of_three() {
  local file=$1 best= start end took
  shift
  for _ in 1 2 3; do
    start=$(date +%s%N)
    "$@" < "$file" > /dev/null
    end=$(date +%s%N)
    took=$(( end - start ))
    if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi
  done
  awk -v ns="$best" 'BEGIN { printf "%.3f", ns / 1e9 }'
}

geo=$(best_of_three "$work/dd.txt" GeoConvert -d -w)
dms=$(best_of_three "$work/dd.txt" "$cli" --correction 0,0 dms)
enc=$(best_of_three "$work/dd.txt" "$cli" --correction 0,0 encode)
dec=$(best_of_three "$work/codes.txt" "$cli" --correction 0,0 decode)

report() {  # name seconds
  awk -v name="$1" -v s="$2" -v g="$geo" -v n="$lines" \
    'BEGIN { printf "%-28s %8.3f s %12.0f lines/s %7.2fx GeoConvert\n", name, s, n / s, g / s }'
}
echo "$lines lines, best of three runs"
report "GeoConvert -d -w" "$geo"
report "miralto-cli dms" "$dms"
report "miralto-cli encode (LON LAT)" "$enc"
report "miralto-cli decode" "$dec"

peak=$(generate 10000000 | /usr/bin/time -f %M "$cli" --correction 0,0 dms 2>&1 >/dev/null | tail -n 1)
awk -v kb="$peak" 'BEGIN { printf "peak resident memory of dms over 10000000 lines: %.1f MiB\n", kb / 1024 }'
