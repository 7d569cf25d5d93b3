#!/usr/bin/env bash
# Runs the PostgreSQL extensions' regression tests (sql/*.sql against expected/*.out) with
# pg_regress in a server of their own, which pg_regress creates with initdb, starts on a socket in
# a temporary folder and stops. The server is a copy of the installed one whose share and library
# folders hold the extensions beside the installed files (the server finds both relative to its
# own program), so nothing is installed on the machine. The server refuses to run as root: as
# root, everything runs as the user nobody.
# Usage: regress.sh CMAKE BUILD_DIR MIRALTO_CLI VERSION TEST...
# With MIRALTO_ACCEPT_RESULTS=1 the outputs replace expected/*.out (review them with git diff).
# With MIRALTO_PG_PACKAGE_ROOT=DIR the extensions come from DIR, an unpacked package, instead of
# the build's install rules (BUILD_DIR and CMAKE are then not used).
set -euo pipefail
cmake=$1 build=$2 cli=$3 version=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
data=$(cd "$here/../../data" && pwd)
pg_config=${PG_CONFIG:-pg_config}
bindir=$("$pg_config" --bindir)
pkglibdir=$("$pg_config" --pkglibdir)
sharedir=$("$pg_config" --sharedir)
pg_regress=$pkglibdir/pgxs/src/test/regress/pg_regress

work=$(mktemp -d /tmp/miralto-pg.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
fail() {
  echo "regress.sh: $*" >&2
  exit 1
}

# The extensions as the package installs them, then the server's own files beside them.
root=$work/root
if [ -n "${MIRALTO_PG_PACKAGE_ROOT:-}" ]; then
  mkdir -p "$root"
  cp -a "$MIRALTO_PG_PACKAGE_ROOT"/. "$root/"
else
  DESTDIR=$root "$cmake" --install "$build" --component postgresql >/dev/null
fi
mkdir -p "$root$bindir" "$root$pkglibdir" "$root$sharedir/extension"
# Copies of the programs that locate the other folders; links for everything else.
for program in postgres initdb pg_ctl psql; do
  cp "$bindir/$program" "$root$bindir/"
done
cp -rsn "$pkglibdir"/* "$root$pkglibdir/"
cp -rsn "$sharedir"/* "$root$sharedir/"

# The control file and the install script agree with the project's version.
control=$root$sharedir/extension/miralto.control
grep -qx "default_version = '$version'" "$control" ||
  fail "miralto.control does not name version $version: $(grep default_version "$control")"
for extension in miralto miralto_postgis; do
  [ -f "$root$sharedir/extension/$extension--$version.sql" ] ||
    fail "no install script $extension--$version.sql for the version of $extension.control"
done

# The tests, and the vector tables without their comments, in a folder the server's user owns.
run=$work/run
mkdir -p "$run/data"
cp -r "$here/sql" "$here/expected" "$run/"
for table in "$data"/*.csv; do
  grep -v '^#' "$table" | grep -v '^$' >"$run/data/$(basename "$table")" || true
done
# Positions within the code's reach, with the batch converter's codes for them.
awk 'BEGIN { srand(23); print "site,lon,lat";
  for (i = 1; i <= 3000; i++) printf "s%d,%.6f,%.6f\n", i, 70 + rand() * 72.1, 5 + rand() * 72.1 }' \
  >"$work/sites.csv"
"$cli" --correction 0,0 encode --csv --columns 2,3 --header -i "$work/sites.csv" | tail -n +2 |
  paste -d , <(tail -n +2 "$work/sites.csv") - >"$run/data/sites.csv"
[ "$(wc -l <"$run/data/sites.csv")" -eq 3000 ] || fail "the batch converter coded no sites"

as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody:nogroup "$run"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$run" TMPDIR="$run")
fi
cd "$run"
status=0
"${as_user[@]}" "$pg_regress" --temp-instance="$run/instance" --bindir="$root$bindir" \
  --inputdir="$run" --outputdir="$run" --encoding=UTF8 --no-locale "$@" || status=$?
if [ "${MIRALTO_ACCEPT_RESULTS:-0}" = 1 ]; then
  cp "$run"/results/*.out "$here/expected/"
fi
if [ $status -ne 0 ]; then
  [ -f "$run/regression.diffs" ] && cat "$run/regression.diffs"
  [ -d "$run/log" ] && tail -n 30 "$run"/log/*.log
  exit $status
fi
