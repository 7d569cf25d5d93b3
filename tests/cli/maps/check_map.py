"""Runs miralto-cli with --to FORMAT on sites.csv, reads the output back with a parser and opens it
with GDAL's ogrinfo: the feature count, the first point, the escaped names and the error record.

Usage: check_map.py CLI FORMAT SITES.csv WORKDIR
"""
import json
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

cli, fmt, sites, workdir = sys.argv[1:5]
output = f"{workdir}/sites.{fmt}"
run = subprocess.run(
    [cli, "--correction", "0,0", "encode", "--csv", "--columns", "2,3", "--header", "--to", fmt,
     "-i", sites, "-o", output], capture_output=True, text=True)
failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


expect(run.returncode == 1, f"exit status {run.returncode}, expected 1 for the bad record")
FIRST = (113.288955688889, 23.2362556444444)
TOWER = 'Tower "A" & <B>'
# The bad field holds "--", which an XML comment cannot: the comment keeps the message readable.
ERROR = 'ERROR: line 4: conversion error: column 2: "'

with open(output, encoding="utf-8") as f:
    text = f.read()

if fmt == "geojson":
    doc = json.loads(text)
    features = doc["features"]
    expect(doc["type"] == "FeatureCollection", "not a FeatureCollection")
    expect(len(features) == 3, f"{len(features)} features, expected 3")
    expect(tuple(features[0]["geometry"]["coordinates"]) == FIRST, "first point")
    expect(features[0]["properties"] == {"name": TOWER, "lon": "113.288959", "lat": "23.236255",
                                         "code": "8i4k7zwpg"}, f"first properties {features[0]}")
    expect(features[1]["properties"]["name"] == "广州塔", "Chinese name")
    expect(features[2]["geometry"] is None, "the bad record has a geometry")
    expect(("ERROR: " + features[2]["properties"]["error"]).startswith(ERROR + '--5 -->"'),
           f"error property {features[2]['properties']}")
    expected_count, layer = 3, "sites"
else:
    tree = ET.fromstring(text.encode(), parser=ET.XMLParser(
        target=ET.TreeBuilder(insert_comments=True)))
    comments = [c.text for c in tree.iter(ET.Comment)]
    expect(len(comments) == 1 and comments[0].strip().startswith(ERROR + "- -5 - ->"),
           f"error comments {comments}")
    if fmt == "kml":
        ns = {"k": "http://www.opengis.net/kml/2.2"}
        marks = tree.findall(".//k:Placemark", ns)
        expect(len(marks) == 2, f"{len(marks)} placemarks, expected 2")
        expect(marks[0].findtext("k:name", namespaces=ns) == "8i4k7zwpg", "placemark name")
        data = {d.get("name"): d.findtext("k:value", namespaces=ns)
                for d in marks[0].findall(".//k:Data", ns)}
        expect(data.get("name") == TOWER, f"escaped name {data}")
        coords = marks[0].findtext(".//k:coordinates", namespaces=ns).split(",")
        expect(tuple(map(float, coords)) == FIRST, f"first point {coords}")
        second = {d.get("name"): d.findtext("k:value", namespaces=ns)
                  for d in marks[1].findall(".//k:Data", ns)}
        expect(second.get("name") == "广州塔", "Chinese name")
        layer = "sites"
    else:
        ns = {"g": "http://www.topografix.com/GPX/1/1"}
        points = tree.findall("g:wpt", ns)
        expect(tree.get("version") == "1.1", "GPX version")
        expect(len(points) == 2, f"{len(points)} waypoints, expected 2")
        expect((float(points[0].get("lon")), float(points[0].get("lat"))) == FIRST, "first point")
        expect(f"name={TOWER};" in points[0].findtext("g:desc", namespaces=ns), "escaped name")
        expect("name=广州塔;" in points[1].findtext("g:desc", namespaces=ns), "Chinese name")
        layer = "waypoints"
    expected_count = 2

# GDAL opens the file as a map layer.
summary = subprocess.run(["ogrinfo", "-ro", "-so", output, layer], capture_output=True, text=True)
count = re.search(r"Feature Count: (\d+)", summary.stdout)
expect(summary.returncode == 0 and count and int(count.group(1)) == expected_count,
       f"ogrinfo summary:\n{summary.stdout}{summary.stderr}")
full = subprocess.run(["ogrinfo", "-ro", output, layer], capture_output=True, text=True)
point = re.search(r"POINT Z? ?\(([-0-9.e]+) ([-0-9.e]+)", full.stdout)
expect(point and (float(point.group(1)), float(point.group(2))) == FIRST,
       f"ogrinfo first point: {point.group(0) if point else full.stdout[:2000]}")

if failures:
    print(f"--- {fmt} output\n{text}\n--- failures", file=sys.stderr)
    for failure in failures:
        print(failure, file=sys.stderr)
    sys.exit(1)
