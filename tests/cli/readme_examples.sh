#!/usr/bin/env bash
# Runs the examples of the README ("$ " lines in its sh blocks that call miralto-cli) with the
# program given (and the words before it, an emulator, if any) and checks that each writes exactly
# the lines the README shows under it. Usage: readme_examples.sh README PROGRAM [EMULATOR...]
set -euo pipefail
readme=$(realpath "$1")
program=$(realpath "$2")
shift 2
runner=("$@" "$program")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# The files the examples read: their outputs less what the program adds.
printf 'site,lon,lat\n"Guangzhou, tower",113.288959,23.236255\n' >sites.csv
printf '%s\n' '{"type":"FeatureCollection","features":[{"type":"Feature",' \
  '"properties":{"name":"tower"},"geometry":{"type":"Point","coordinates":[113.288959,23.236255]}}]}' \
  >towers.geojson

miralto-cli() { "${runner[@]}" "$@"; }

failures=0
examples=0
check() {  # command, expected output
  [ -n "$1" ] || return 0
  examples=$((examples + 1))
  local got
  got=$(eval "$1" 2>"$work/errors"; printf x)  # the x keeps trailing line ends
  if [ "${got%x}" != "$2" ]; then
    failures=$((failures + 1))
    printf 'README example: %s\n--- got\n%s--- expected\n%s--- standard error\n%s\n' \
      "$1" "${got%x}" "$2" "$(cat "$work/errors")"
  fi
}

command=""
expected=""
in_block=0
while IFS= read -r line || [ -n "$line" ]; do
  if [ "$line" = '```sh' ]; then in_block=1; continue; fi
  [ $in_block -eq 1 ] || continue
  if [ "$line" = '```' ] || [[ $line == '$ '* ]]; then
    check "$command" "$expected"
    command=""
    expected=""
    [ "$line" = '```' ] && in_block=0
    [[ $line == '$ '*miralto-cli* ]] && command=${line#'$ '}
  elif [ -n "$command" ]; then
    expected+="$line"$'\n'
  fi
done <"$readme"

if [ $examples -eq 0 ]; then
  echo "no miralto-cli example found in $readme"
  exit 1
fi
exit $((failures > 0))
