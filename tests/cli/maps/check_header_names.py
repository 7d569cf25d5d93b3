"""GeoJSON from a CSV header: every property name is unique, whether the header repeats a name,
holds one equal to a generated "column N", or is shorter than its records (the missing columns are
named "column N", not dropped).

Usage: check_header_names.py CLI WORKDIR
"""
import json
import subprocess
import sys

cli, workdir = sys.argv[1:3]
CASES = [
    # header, record, expected property names (before the result "code")
    ("site,lon,lat,site", "a,113.288959,23.236255,b", ["site", "lon", "lat", "column 4"]),
    ("x,column 3,x", "113.288959,23.236255,c",
     ["x", "column 3", "column 3 (2)"]),
    ("lon,lat", "113.288959,23.236255,c,d", ["lon", "lat", "column 3", "column 4"]),
    ("lon,lat,column 4", "113.288959,23.236255,c,d",
     ["lon", "lat", "column 4", "column 4 (2)"]),
]
failures = []
for header, record, names in CASES:
    run = subprocess.run([cli, "--correction", "0,0", "encode", "--csv", "--header", "--columns",
                          "1,2" if header.startswith("lon") or header.startswith("x") else "2,3",
                          "--to", "geojson"], input=f"{header}\n{record}\n",
                         capture_output=True, text=True)
    # Pairs as written: a dict would hide a repeated key by keeping the last.
    doc = json.loads(run.stdout, object_pairs_hook=list)
    features = dict(doc)["features"]
    got = [key for key, _ in dict(features[0])["properties"]]
    if run.returncode != 0 or got != names + ["code"]:
        failures.append(f"{header!r} / {record!r}: {got} (exit {run.returncode}), "
                        f"expected {names + ['code']}")
if failures:
    print("\n".join(failures))
    sys.exit(1)
print(f"header names: {len(CASES)} headers, every name unique")
