#!/usr/bin/env bash
# A plain configure works when the first python3 on the PATH has no numpy: the Python module is
# skipped with one line saying why, and -DMIRALTO_BUILD_PYTHON=ON makes it an error.
# Usage: python_optional.sh SOURCE_DIR CMAKE
set -euo pipefail
source_dir=$1 cmake=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "python_optional: $*" >&2
  exit 1
}
# Python without its site packages: the interpreter and headers are there, numpy is not.
mkdir "$work/bin"
printf '#!/bin/sh\nexec /usr/bin/python3 -S "$@"\n' >"$work/bin/python3"
chmod +x "$work/bin/python3"
export PATH="$work/bin:$PATH"
configure() {
  "$cmake" -S "$source_dir" -B "$work/build" -G Ninja -DMIRALTO_BUILD_UI=OFF \
    -DMIRALTO_BUILD_TESTS=OFF "$@" >"$work/log" 2>&1
}
configure || { cat "$work/log"; fail "a plain configure failed"; }
skipped=$(grep -c 'Python module skipped' "$work/log" || true)
[ "$skipped" = 1 ] || { cat "$work/log"; fail "the skip was said $skipped times"; }
grep -q 'Python module skipped: .*lacks NumPy' "$work/log" || fail "the skip does not say why"
! grep -q 'miralto_python' "$work/build/build.ninja" || fail "the module is built anyway"
rm -rf "$work/build"
if configure -DMIRALTO_BUILD_PYTHON=ON; then fail "-DMIRALTO_BUILD_PYTHON=ON did not require numpy"; fi
echo "python_optional: skipped with one line; required with -DMIRALTO_BUILD_PYTHON=ON"
