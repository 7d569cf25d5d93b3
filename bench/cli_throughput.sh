#!/usr/bin/env bash
# Throughput of miralto-cli against the floor of reading, splitting and writing the same bytes (mawk
# '{print $2, $1}' on the same file), on one thread and on all cores, and against GeographicLib's
# GeoConvert turning the same positions into degrees, minutes and seconds, in one run; then the peak
# memory of ten-million-line inputs. Each round times the floor and every command one after the
# other, so a machine that other work slows down slows all of them alike; the figures are the
# medians over the rounds of each time and of each ratio ("GC": GeoConvert's time against the
# command's, on one thread and on all cores). The CPU time of the one-thread runs against the
# floor's is beside them: on a machine that other work loads, the scheduler shares the cores by
# thread, which favours the many-thread runs in wall-clock time. With INSTRUCTIONS=1 the commands
# are also counted under callgrind on 100,000 lines, which a busy machine does not disturb.
# Usage: [ROUNDS=5] [INSTRUCTIONS=1] bench/cli_throughput.sh [LINES]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
need_packages "${BUILD_PACKAGES[@]}" mawk time geographiclib-tools
[ "${INSTRUCTIONS:-}" = 1 ] && need_packages valgrind

lines=${1:-1000000}
rounds=${ROUNDS:-5}
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIRALTO_BUILD_UI=OFF \
  -DMIRALTO_BUILD_TESTS=OFF -DMIRALTO_BUILD_BINDINGS=OFF >/dev/null
cmake --build build-bench --target miralto-cli >/dev/null
cli=build-bench/cli/miralto-cli
cores=$(nproc)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Random positions inside the code's reach, fixed seed, and their codes.
generate() {
  awk -v n="$1" 'BEGIN { srand(20261210); for (i = 0; i < n; i++) printf "%.6f %.6f\n", 70 + 72 * rand(), 5 + 72 * rand() }'
}
generate "$lines" > "$work/dd.txt"
"$cli" --correction 0,0 encode < "$work/dd.txt" > "$work/codes.txt"

seconds() {  # file, command...: wall-clock seconds of the command reading the file; CPU seconds
  local file=$1 start end  # (user and system) go to the file $work/cpu
  shift
  start=$(date +%s%N)
  /usr/bin/time -o "$work/cpu" -f "%U %S" "$@" < "$file" > /dev/null
  end=$(date +%s%N)
  awk -v ns="$((end - start))" 'BEGIN { printf "%.4f", ns / 1e9 }'
}
cpu() { awk '{ printf "%.4f", $1 + $2 }' "$work/cpu"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

rows=("encode|dd.txt|encode" "dms|dd.txt|dms" "decode --dd|codes.txt|decode --dd")
echo "$lines lines, $rounds rounds, $cores cores; load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((r = 0; r < rounds; r++)); do
  floor=$(seconds "$work/dd.txt" mawk '{print $2, $1}')
  floor_cpu=$(cpu)
  echo "$floor" >> "$work/floor"
  echo "$floor_cpu" >> "$work/floor_cpu"
  geo=$(seconds "$work/dd.txt" GeoConvert -d -w)
  echo "$geo" >> "$work/geo"
  for row in "${rows[@]}"; do
    IFS='|' read -r name file args <<< "$row"
    # shellcheck disable=SC2086
    one=$(seconds "$work/$file" "$cli" --correction 0,0 --threads 1 $args)
    awk -v c="$(cpu)" -v f="$floor_cpu" 'BEGIN { print c / f }' >> "$work/${name// /_}.cpu_ratio"
    # shellcheck disable=SC2086
    all=$(seconds "$work/$file" "$cli" --correction 0,0 $args)
    key=${name// /_}
    echo "$one" >> "$work/$key.one"
    echo "$all" >> "$work/$key.all"
    awk -v o="$one" -v a="$all" -v f="$floor" 'BEGIN { print o / f }' >> "$work/$key.one_ratio"
    awk -v o="$one" -v a="$all" -v f="$floor" 'BEGIN { print a / f }' >> "$work/$key.all_ratio"
    awk -v o="$one" -v a="$all" 'BEGIN { print o / a }' >> "$work/$key.speedup"
    awk -v g="$geo" -v o="$one" 'BEGIN { print g / o }' >> "$work/$key.geo_one"
    awk -v g="$geo" -v a="$all" 'BEGIN { print g / a }' >> "$work/$key.geo"
  done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-16s %9s %9s %11s %11s %9s %11s %9s %9s\n" "" "1 thread" "$cores cores" "1 / floor" \
  "all / floor" "speed-up" "CPU 1 / floor" "GC / 1" "GC / all"
printf "%-16s %8.3fs %8s %11s %11s %9s %10.3fs\n" "mawk floor" "$(median < "$work/floor")" "" "" "" "" \
  "$(median < "$work/floor_cpu")"
printf "%-16s %8.3fs\n" "GeoConvert -d -w" "$(median < "$work/geo")"
for row in "${rows[@]}"; do
  IFS='|' read -r name _ _ <<< "$row"
  key=${name// /_}
  printf "%-16s %8.3fs %8.3fs %10.2fx %10.2fx %8.2fx %12.2fx %8.1fx %8.1fx\n" "$name" \
    "$(median < "$work/$key.one")" "$(median < "$work/$key.all")" \
    "$(median < "$work/$key.one_ratio")" "$(median < "$work/$key.all_ratio")" \
    "$(median < "$work/$key.speedup")" "$(median < "$work/$key.cpu_ratio")" \
    "$(median < "$work/$key.geo_one")" "$(median < "$work/$key.geo")"
done

if [ "${INSTRUCTIONS:-}" = 1 ]; then
  echo "instructions a line over 100000 lines (callgrind, one thread)"
  for row in "${rows[@]}"; do
    IFS='|' read -r name file args <<< "$row"
    # shellcheck disable=SC2086
    n=$(head -n 100000 "$work/$file" | valgrind --tool=callgrind --callgrind-out-file=/dev/null \
      "$cli" --correction 0,0 --threads 1 $args 2>&1 >/dev/null | sed -n 's/.*Collected : //p')
    awk -v name="$name" -v n="$n" 'BEGIN { printf "  %-12s %8.0f\n", name, n / 100000 }'
  done
fi

# Peak resident memory over ten million lines from a file, which gives full blocks.
big=10000000
generate "$big" > "$work/big.txt"
"$cli" --correction 0,0 encode < "$work/big.txt" > "$work/big_codes.txt"
for row in "${rows[@]}"; do
  IFS='|' read -r name file args <<< "$row"
  [ "$file" = codes.txt ] && input=big_codes.txt || input=big.txt
  for threads in 1 "$cores"; do
    # shellcheck disable=SC2086
    kb=$(/usr/bin/time -f %M "$cli" --correction 0,0 --threads "$threads" $args \
      < "$work/$input" 2>&1 >/dev/null | tail -n 1)
    awk -v name="$name" -v t="$threads" -v kb="$kb" -v n="$big" \
      'BEGIN { printf "peak resident memory of %s over %d lines, %d thread(s): %.1f MiB\n", name, n, t, kb / 1024 }'
  done
done
