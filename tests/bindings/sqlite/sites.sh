#!/bin/sh
# The SQLite extension in Debian's sqlite3 shell: a table of positions imported from CSV, coded
# with UPDATE ... SET code = vemo_encode(lon, lat), must hold the batch converter's codes for the
# same lines; an index on the expression must be accepted (the functions are deterministic), and
# a failure must stop the statement with the message.
# Usage: sites.sh EXTENSION MIRALTO_CLI
set -eu
extension=$1 cli=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Positions within the code's reach (70 to 142.12 degrees, 5 to 77.12), with a fixed seed.
awk 'BEGIN { srand(11); print "site,lon,lat";
  for (i = 1; i <= 3000; i++) printf "s%d,%.6f,%.6f\n", i, 70 + rand() * 72.1, 5 + rand() * 72.1 }' \
  >"$scratch/sites.csv"

sqlite3 -batch -bail "$scratch/sites.db" <<SQL
# Quoted, as the shell splits a dot-command's arguments at blanks.
.load '$extension'
CREATE TABLE sites (site TEXT, lon REAL, lat REAL);
.import --csv --skip 1 '$scratch/sites.csv' sites
ALTER TABLE sites ADD COLUMN code TEXT;
UPDATE sites SET code = vemo_encode(lon, lat);
CREATE INDEX sites_by_code ON sites (vemo_encode(lon, lat, 0, 0));
.headers off
.mode list
.output '$scratch/sql.txt'
SELECT code FROM sites ORDER BY rowid;
SQL

"$cli" --correction 0,0 encode --csv --columns 2,3 --header -i "$scratch/sites.csv" |
  tail -n +2 >"$scratch/cli.txt"
diff -u "$scratch/cli.txt" "$scratch/sql.txt"

# A failure is an SQL error that carries the message; NULL gives NULL.
out=$(sqlite3 -batch :memory: ".load '$extension'" "SELECT vemo_encode(1, 2);" 2>&1 || true)
case $out in
  *"out of reach: longitude 1°00'00.0\" lies outside the reach of the code"*) ;;
  *) echo "unexpected: $out"; exit 1 ;;
esac
[ "$(sqlite3 -batch :memory: ".load '$extension'" "SELECT coalesce(vemo_encode(NULL, 2), 'null');")" = null ]
echo "SQLite shell: codes match the batch converter"
