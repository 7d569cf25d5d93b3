#!/usr/bin/env bash
# Throughput of miralto-cli against GeoConvert (GeographicLib) on the same file in the same run,
# and the peak memory of a ten-million-line stream. With BASELINE=COMMIT the miralto-cli of that
# commit is built too and timed in the same run, so a change is measured against its base on the
# same machine; with INSTRUCTIONS=1 both are also run under callgrind on 100,000 lines, whose
# instruction counts a busy machine does not disturb.
# Usage: [BASELINE=COMMIT] [INSTRUCTIONS=1] bench/cli_throughput.sh [LINES]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
need_packages "${BUILD_PACKAGES[@]}" geographiclib-tools time
[ "${INSTRUCTIONS:-}" = 1 ] && need_packages valgrind

lines=${1:-1000000}
configure_and_build() {  # source folder, build folder
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIRALTO_BUILD_UI=OFF \
    -DMIRALTO_BUILD_TESTS=OFF -DMIRALTO_BUILD_BINDINGS=OFF >/dev/null
  cmake --build "$2" --target miralto-cli >/dev/null
}
configure_and_build . build-bench
cli=build-bench/cli/miralto-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
base=
if [ -n "${BASELINE:-}" ]; then
  rm -rf build-bench-baseline
  mkdir -p build-bench-baseline/src
  git archive "$BASELINE" | tar -x -C build-bench-baseline/src
  configure_and_build build-bench-baseline/src build-bench-baseline/build
  base=build-bench-baseline/build/cli/miralto-cli
fi

# Random positions inside the code's reach, fixed seed; the same positions in DMS notation.
generate() {
  awk -v n="$1" 'BEGIN { srand(20261210); for (i = 0; i < n; i++) printf "%.6f %.6f\n", 70 + 72 * rand(), 5 + 72 * rand() }'
}
generate "$lines" > "$work/dd.txt"
awk '{ for (i = 1; i <= 2; i++) { v = $i; d = int(v); m = int((v - d) * 60); s = ((v - d) * 60 - m) * 60
         if (sprintf("%.2f", s) == "60.00") s = 59.99
         printf "%d°%d′%.2f″%s", d, m, s, (i == 1 ? "E " : "N\n") } }' "$work/dd.txt" > "$work/notations.txt"
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
report() {  # name seconds [baseline seconds]
  awk -v name="$1" -v s="$2" -v b="${3:-}" -v g="$geo" -v n="$lines" \
    'BEGIN { printf "%-34s %8.3f s %12.0f lines/s %7.2fx GeoConvert", name, s, n / s, g / s
             if (b != "") printf "   baseline %.3f s, %+.1f%% time", b, 100 * (s - b) / b
             printf "\n" }'
}
echo "$lines lines, best of three runs"
report "GeoConvert -d -w" "$geo"
for row in "dms|dd.txt|dms" "encode (LON LAT)|dd.txt|encode" "decode|codes.txt|decode"; do
  IFS='|' read -r name file args <<< "$row"
  # shellcheck disable=SC2086
  t=$(best_of_three "$work/$file" "$cli" --correction 0,0 $args)
  b=
  # shellcheck disable=SC2086
  [ -n "$base" ] && b=$(best_of_three "$work/$file" "$base" --correction 0,0 $args)
  report "miralto-cli $name" "$t" "$b"
done
enc_dms=$(best_of_three "$work/notations.txt" "$cli" --correction 0,0 encode)
report "miralto-cli encode (DMS notations)" "$enc_dms"
dec_dd=$(best_of_three "$work/codes.txt" "$cli" --correction 0,0 decode --dd)
dec_geo=$(best_of_three "$work/codes.txt" "$cli" --correction 0,0 decode --to geojson)
report "miralto-cli decode --dd" "$dec_dd"
report "miralto-cli decode --to geojson" "$dec_geo"
awk -v g="$dec_geo" -v t="$dec_dd" 'BEGIN { printf "decode --to geojson takes %.2fx the time of decode --dd\n", g / t }'

# Instructions of a command on the first 100,000 lines of FILE.
instructions() {
  local file=$1
  shift
  head -n 100000 "$file" | valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 \
    >/dev/null | sed -n 's/.*Collected : //p'
}
if [ "${INSTRUCTIONS:-}" = 1 ]; then
  echo "instructions over 100000 lines (callgrind)"
  for row in "dms|dd.txt|dms" "encode (LON LAT)|dd.txt|encode" "decode|codes.txt|decode" \
    "decode --dd|codes.txt|decode --dd" "encode (DMS notations)|notations.txt|encode" \
    "decode --to geojson|codes.txt|decode --to geojson"; do
    IFS='|' read -r name file args <<< "$row"
    # shellcheck disable=SC2086
    n=$(instructions "$work/$file" "$cli" --correction 0,0 $args)
    b=
    # shellcheck disable=SC2086
    [ -n "$base" ] && [[ $name != *notations* && $name != *geojson* ]] &&
      b=$(instructions "$work/$file" "$base" --correction 0,0 $args)
    awk -v name="$name" -v n="$n" -v b="$b" 'BEGIN { printf "  %-28s %14d", name, n
      if (b != "") printf "   baseline %14d, %+.1f%%", b, 100 * (n - b) / b
      printf "\n" }'
  done
fi

peak() {  # file, arguments: peak resident memory in MiB
  local file=$1
  shift
  /usr/bin/time -f %M "$cli" --correction 0,0 "$@" < "$file" 2>&1 >/dev/null | tail -n 1 |
    awk '{ printf "%.1f", $1 / 1024 }'
}
echo "peak resident memory over $lines codes: decode --dd $(peak "$work/codes.txt" decode --dd) MiB," \
  "decode --to geojson $(peak "$work/codes.txt" decode --to geojson) MiB"
mem=$(generate 10000000 | /usr/bin/time -f %M "$cli" --correction 0,0 dms 2>&1 >/dev/null | tail -n 1)
awk -v kb="$mem" 'BEGIN { printf "peak resident memory of dms over 10000000 lines: %.1f MiB\n", kb / 1024 }'
