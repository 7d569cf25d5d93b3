#!/usr/bin/env bash
# Every way miralto-cli writes, aimed at a full device: the exit status is 1 and standard error
# says the output could not be written. Usage: write_errors.sh MIRALTO_CLI
set -uo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '113.288959 23.236255\n' >"$work/one.txt"
printf '%s\n' '{"type":"FeatureCollection","features":[{"type":"Feature","properties":{},' \
  '"geometry":{"type":"Point","coordinates":[113.288959,23.236255]}}]}' >"$work/one.geojson"
failures=0
expect_failure() {  # input file, arguments...
  local input=$1 status
  shift
  "$cli" "$@" <"$input" >/dev/full 2>"$work/errors"
  status=$?
  if [ "$status" -ne 1 ] || ! grep -q "cannot write" "$work/errors"; then
    printf 'miralto-cli %s > /dev/full: exit status %s, standard error:\n%s\n' "$*" "$status" \
      "$(cat "$work/errors")"
    failures=$((failures + 1))
  fi
}
expect_failure "$work/one.txt" dms --correction 0,0 --threads 1
expect_failure "$work/one.txt" dms --correction 0,0 --threads 3
expect_failure "$work/one.txt" dms --correction 0,0 --to geojson
expect_failure /dev/null decode --input-string 8i4k7zwpg --correction 0,0
expect_failure "$work/one.geojson" encode --from geojson --correction 0,0
expect_failure /dev/null --help
expect_failure /dev/null --version
# -o names the full device.
"$cli" dms --correction 0,0 -o /dev/full <"$work/one.txt" 2>"$work/errors"
status=$?
if [ "$status" -ne 1 ]; then
  printf 'miralto-cli dms -o /dev/full: exit status %s\n' "$status"
  failures=$((failures + 1))
fi
exit $((failures > 0))
