#!/usr/bin/env bash
# Standard output appended by the shell to the file the program reads, `miralto-cli dms -i f >> f`
# or `< f >> f`: refused with status 2 and the file left as it was, rather than the results read
# back as input. Other files, /dev/null and a record given on the command line still work.
# Usage: output_appends_to_input.sh INPUT PROGRAM [EMULATOR...]
set -uo pipefail
input=$(realpath "$1")
program=$(realpath "$2")
shift 2
runner=("$@" "$program")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
miralto-cli() { "${runner[@]}" "$@"; }

failures=0
fail() {
  printf '%s\n--- standard error\n%s\n' "$1" "$(cat errors)"
  failures=$((failures + 1))
}
# With the fault, one thread reads its own output until the disk is full: a size limit ends it.
limited() { (ulimit -f 4096 && eval "$1") 2>errors; }

for threads in 1 3; do
  for how in '-i f.txt >>f.txt' '<f.txt >>f.txt' '<f.txt >>link.txt' '-i link.txt >>f.txt'; do
    cp "$input" f.txt
    ln -sf f.txt link.txt
    limited "miralto-cli dms --correction 0,0 --threads $threads $how"
    status=$?
    if [ "$status" -ne 2 ] || ! grep -q "standard output is the input file" errors; then
      fail "miralto-cli dms --threads $threads $how: exit status $status, expected 2"
    elif ! cmp -s "$input" f.txt; then
      fail "miralto-cli dms --threads $threads $how: the input file was changed"
    fi
  done
done

# Not the file read: these convert.
cp "$input" f.txt
cp "$input" g.txt
for how in '<f.txt >>g.txt' '-i f.txt <g.txt >>g.txt' '<f.txt >/dev/null' '</dev/null >/dev/null' \
  '--input-string "113 23" <f.txt >>f.txt'; do
  limited "miralto-cli dms --correction 0,0 $how"
  status=$?
  [ "$status" -eq 0 ] || fail "miralto-cli dms $how: exit status $status, expected 0"
done
# g.txt: its lines, then the results of f.txt's twice.
[ "$(wc -l <g.txt)" -eq $((3 * $(wc -l <"$input"))) ] || fail "the results were not appended"
exit $((failures > 0))
