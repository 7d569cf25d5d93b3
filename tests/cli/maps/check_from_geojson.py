"""Runs `miralto-cli encode --from geojson` on a FeatureCollection and reads the result back: the
same collection (foreign members and properties kept) with a code on each point, an error where a
feature is not a point; GDAL's ogrinfo opens it.

Usage: check_from_geojson.py CLI INPUT.geojson WORKDIR
"""
import json
import re
import subprocess
import sys

cli, source, workdir = sys.argv[1:4]
output = f"{workdir}/from_geojson.geojson"
run = subprocess.run([cli, "--correction", "0,0", "encode", "--from", "geojson", "-i", source,
                      "-o", output], capture_output=True, text=True)
with open(source, encoding="utf-8") as f:
    before = json.load(f)
with open(output, encoding="utf-8") as f:
    after = json.load(f)

failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


expect(run.returncode == 1, f"exit status {run.returncode}, expected 1")
expect(after["name"] == before["name"], "the collection's own members are kept")
codes = [(f.get("properties") or {}).get("code") for f in after["features"]]
errors = [(f.get("properties") or {}).get("error", "") for f in after["features"]]
expect(codes == ["8i4k7zwpg", "7uy1yuy1y", None, None, None], f"codes {codes}")
expect([bool(e) for e in errors] == [False, False, True, True, True], f"errors {errors}")
expect("not a Point" in errors[2] and "no coordinates" in errors[3] and
       errors[4].startswith("out of reach"), f"error texts {errors}")
first = after["features"][0]
expect(first["properties"]["name"] == "广州塔" and first["properties"]["height"] == 600,
       "the feature's own properties are kept")
expect([f["geometry"] for f in after["features"]] == [f["geometry"] for f in before["features"]],
       "geometries are kept")

summary = subprocess.run(["ogrinfo", "-ro", "-so", output, "sites"], capture_output=True,
                         text=True)
count = re.search(r"Feature Count: (\d+)", summary.stdout)
expect(count and int(count.group(1)) == 5, f"ogrinfo:\n{summary.stdout}{summary.stderr}")

if failures:
    print("\n".join(failures), file=sys.stderr)
    sys.exit(1)
