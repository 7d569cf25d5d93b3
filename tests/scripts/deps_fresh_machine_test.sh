#!/usr/bin/env bash
# The set-up steps of scripts/deps.sh on a machine where none of the packages is installed yet (a
# fresh minimal Debian): each asks apt-get for what is missing instead of stopping, and a step that
# does fail says which command failed. Stand-ins play dpkg-query (nothing installed) and apt-get
# (records what it is asked).
# Usage: deps_fresh_machine_test.sh
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
printf '#!/bin/sh\necho "dpkg-query: no packages found matching $3" >&2\nexit 1\n' \
  >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho "$*" >>"%s"\n' "$work/apt.log" >"$work/bin/apt-get"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Each step runs as the scripts run it: sourced, under `set -euo pipefail`.
run_step() {
  PATH="$work/bin:$PATH" bash -c 'set -euo pipefail; . scripts/deps.sh; '"$1"'; echo finished' \
    2>"$work/stderr" || true
}

cd "$source_dir"
for step in need_postgresql_packages 'need_packages "${BUILD_PACKAGES[@]}"'; do
  : >"$work/apt.log"
  out=$(run_step "$step")
  [ "$(tail -n 1 <<<"$out")" = finished ] || fail "$step stopped on a machine without its packages: $(cat "$work/stderr")"
  grep -q ' install ' "$work/apt.log" || fail "$step did not ask apt-get to install anything"
  [ "$step" != need_postgresql_packages ] || grep -q 'postgresql-server-dev-15' "$work/apt.log" ||
    fail "need_postgresql_packages did not install the server's development files"
done

# A Debian source package unpacked into a folder that does not exist yet: found, and no step
# reported as failed on the way.
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
case "$1" in
  indextargets) echo deb-src ;;
  source) mkdir "$3-1.0" ;;
esac
STUB
chmod +x "$work/bin/apt-get"
out=$(cd "$work" && PATH="$work/bin:$PATH" bash -c \
  'set -euo pipefail; . "$1/scripts/deps.sh"; debian_source libcsv sources/new' _ "$source_dir" \
  2>"$work/stderr")
[ "$out" = sources/new/libcsv-1.0 ] || fail "debian_source gave '$out': $(cat "$work/stderr")"
[ ! -s "$work/stderr" ] || fail "debian_source on a fresh machine reported: $(cat "$work/stderr")"

# A failing command under set -e is named, not silent.
run_step 'false_step() { false; }; false_step' >/dev/null
grep -q 'failed (status 1) at .*: false' "$work/stderr" ||
  fail "a failed step said nothing: $(cat "$work/stderr")"
echo "deps.sh on a fresh machine: passed"
