#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60) on a seed corpus
# made from the test vectors; prints executions and findings per target and fails on a finding.
# Usage: fuzz/run.sh [SECONDS]; FUZZ_JOBS targets at a time (default: the cores)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
need_packages "${BUILD_PACKAGES[@]}" clang libclang-rt-14-dev

seconds=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMIRALTO_BUILD_FUZZERS=ON -DMIRALTO_BUILD_UI=OFF -DMIRALTO_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz

work=build-fuzz/runs
rm -rf "$work"
mkdir -p "$work/seeds"
# Seeds: every field of every vector, and every vector's fields one a line.
n=0
for table in tests/data/*.csv; do
  while IFS= read -r row; do
    case "$row" in ''|'#'*) continue ;; esac
    n=$((n + 1))
    printf '%s' "$row" | tr ',' '\n' > "$work/seeds/row$n"
    IFS=',' read -r -a fields <<< "$row"
    for i in "${!fields[@]}"; do printf '%s' "${fields[$i]}" > "$work/seeds/field$n-$i"; done
  done < "$table"
done

# The GeoJSON reader starts from a collection of the tests.
cp tests/cli/from_geojson.in "$work/seeds/geojson"

# The targets run as many at a time as there are cores (FUZZ_JOBS changes that), each for SECONDS.
fuzz_one() {
  local fuzzer=$1 name status=0
  name=$(basename "$fuzzer")
  mkdir -p "$work/$name/corpus" "$work/$name/findings"
  "$fuzzer" "$work/$name/corpus" "$work/seeds" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$work/$name/findings/" -max_len=4096 > "$work/$name/log" 2>&1 || status=$?
  echo "$status" > "$work/$name/status"
}
jobs=${FUZZ_JOBS:-$(nproc)}
for fuzzer in build-fuzz/fuzz/*_fuzzer; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  fuzz_one "$fuzzer" &
done
wait

failed=0
passed=0
printf '%-24s %14s  %s\n' target executions findings
for fuzzer in build-fuzz/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer")
  status=$(cat "$work/$name/status")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name/log" | tail -n 1)
  findings=$(find "$work/$name/findings" -type f | wc -l)
  printf '%-24s %14s  %s\n' "$name" "${runs:-?}" "$findings"
  if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
    failed=$((failed + 1))
    tail -n 40 "$work/$name/log"
  else
    passed=$((passed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
