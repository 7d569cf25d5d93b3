#!/bin/sh
# The Dask example on a LocalCluster of two worker processes: 200,000 positions (one in 20,000
# outside the code's reach) must get exactly miralto-cli's codes, in the input order, with an
# empty code where the converter reports an error.
# Usage: dask_example.sh PYTHON EXAMPLE MIRALTO_CLI
set -eu
python=$1 example=$2 cli=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

awk 'BEGIN { srand(5); print "id,lon,lat";
  for (i = 1; i <= 200000; i++)
    printf "%d,%.6f,%.6f\n", i, (i % 20000 == 0 ? 1 : 70 + rand() * 72.1), 5 + rand() * 72.1 }' \
  >"$scratch/sites.csv"

"$python" "$example" --workers 2 --blocksize 2MB "$scratch/sites.csv" "$scratch/coded.csv"

"$cli" --correction 0,0 encode --csv --columns 2,3 --header -i "$scratch/sites.csv" |
  tail -n +2 | sed 's/^ERROR: .*//' >"$scratch/cli.txt" || true
# The rows keep the input order (pandas may write the numbers in shorter forms).
cut -d, -f1 "$scratch/coded.csv" >"$scratch/dask_ids.txt"
cut -d, -f1 "$scratch/sites.csv" | cmp - "$scratch/dask_ids.txt"
tail -n +2 "$scratch/coded.csv" | cut -d, -f4 >"$scratch/dask.txt"
[ "$(grep -c '^$' "$scratch/dask.txt")" -eq 10 ] || { echo "expected 10 empty codes"; exit 1; }
cmp "$scratch/cli.txt" "$scratch/dask.txt"
echo "Dask example: 200,000 codes match miralto-cli"
