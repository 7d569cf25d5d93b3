"""`miralto-cli encode --from geojson` on hostile and re-run input: nesting far past the limit is a
clean error, not a crash; properties pass through as written (long integers, numbers beyond the
double range), but for bytes that are not UTF-8; a feature's results of an earlier run are
replaced; a feature that is no object is named on standard error; member names are read as JSON
means them; and the input is read feature by feature, in memory far below the file's size and
little above a feature's, however many values it holds.

Usage: check_geojson_input.py CLI WORKDIR
"""
import json
import os
import resource
import subprocess
import sys

cli, workdir = sys.argv[1:3]
failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


def run(text, limit=None):
    def limited():
        if limit:
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))
    return subprocess.run([cli, "--correction", "0,0", "encode", "--from", "geojson"],
                          input=text.encode() if isinstance(text, str) else text,
                          capture_output=True, preexec_fn=limited)


def collection(*features):
    return '{"type":"FeatureCollection","features":[' + ",".join(features) + "]}"


POINT = '{"type":"Point","coordinates":[113.288959,23.236255]}'

# 100,000 levels of arrays in the properties, and in the geometry.
deep = "[" * 100000 + "]" * 100000
for where, feature in (
        ("properties", '{"type":"Feature","properties":{"x":' + deep + '},"geometry":' + POINT + "}"),
        ("geometry", '{"type":"Feature","properties":{},"geometry":{"type":"Point","coordinates":'
         + deep + "}}")):
    result = run(collection(feature))
    expect(result.returncode == 1 and b"nesting deeper than 256 levels" in result.stderr,
           f"100,000 levels in {where}: exit {result.returncode}, {result.stderr[-200:]!r}")

# Properties as written; one number beyond the double range does not stop the file.
feature = ('{"type":"Feature","properties":{"big":123456789012345678901234567890,'
           '"huge":1e400,"text":"a\\u00e9\\n"},"geometry":' + POINT + "}")
result = run(collection(feature, feature))
out = result.stdout.decode()
expect(result.returncode == 0, f"as written: exit {result.returncode} {result.stderr!r}")
expect(out.count('"big":123456789012345678901234567890') == 2 and out.count('"huge":1e400') == 2
       and out.count('"text":"a\\u00e9\\n"') == 2, f"as written: {out}")

# A re-run: this run's results replace an earlier run's, the failed feature loses its old code.
stale = ('{"type":"Feature","properties":{"name":"x","code":"old","error":"old"},"geometry":'
         + POINT + "}")
failing = ('{"type":"Feature","properties":{"code":"8i4k7zwpg"},"geometry":'
           '{"type":"Point","coordinates":[10,40]}}')
result = run(collection(stale, failing))
features = json.loads(result.stdout)["features"]
expect(features[0]["properties"] == {"name": "x", "code": "8i4k7zwpg"},
       f"re-run, converted: {features[0]['properties']}")
expect(list(features[1]["properties"]) == ["error"], f"re-run, failed: {features[1]['properties']}")

# Bytes that are not UTF-8 (Latin-1, a sequence cut short, an encoded surrogate) in property
# names and values and in the collection's own members become U+FFFD, as in every other output:
# the output stays JSON, and the feature is converted.
feature = (b'{"type":"Feature","properties":{"caf\xe9":"a\xffb","cut":"\xe5\xb9",'
           b'"s":"\xed\xa0\x80","ok":"\xe5\xb9\xbf"},"geometry":' + POINT.encode() + b"}")
result = run(b'{"type":"FeatureCollection","name":"\xff","features":[' + feature + b"]}")
try:
    written = json.loads(result.stdout.decode("utf-8"))
    expect(result.returncode == 0 and written["name"] == "\ufffd" and
           written["features"][0]["properties"] == {"caf\ufffd": "a\ufffdb", "cut": "\ufffd\ufffd",
                                                    "s": "\ufffd" * 3, "ok": "\u5e7f",
                                                    "code": "8i4k7zwpg"},
           f"not UTF-8: exit {result.returncode}, {written}")
except ValueError as error:
    failures.append(f"not UTF-8: the output is not UTF-8 JSON ({error}): {result.stdout!r}")

# Member names as JSON means them, in the feature and in its geometry alike: escapes read, and
# of two names alike the last counts.
for what, feature, expected in (
        ("escaped names", '{"t\\u0079pe":"Feature","geometr\\u0079":{"t\\u0079pe":"Poin\\u0074",'
         '"c\\u006fordinates":[113.288959,23.236255]}}', '"code":"8i4k7zwpg"'),
        ("the last geometry", '{"geometry":{"type":"Point","coordinates":[10,40]},"geometry":'
         + POINT + "}", '"code":"8i4k7zwpg"'),
        ("the last type", '{"geometry":{"type":"Point","coordinates":[113.288959,23.236255],'
         '"type":"LineString"}}', 'the geometry is a \\"LineString\\", not a Point'),
        ("the last coordinates", '{"geometry":{"type":"Point","coordinates":[10,40],'
         '"coordinates":[113.288959,23.236255]}}', '"code":"8i4k7zwpg"'),
        ("a type that is no string", '{"geometry":{"type":["Point"],"coordinates":[1,2]}}',
         'the geometry is a [\\"Point\\"], not a Point')):
    result = run(collection(feature))
    expect(expected in result.stdout.decode(), f"{what}: {result.stdout!r}")

# A feature that is no object has no properties to hold its error: standard error names it.
point = '{"type":"Feature","properties":{},"geometry":' + POINT + "}"
result = run(collection(point, "null", "5"))
expect(result.returncode == 1 and b"feature 2: " in result.stderr
       and b"feature 3: " in result.stderr and b"feature 1" not in result.stderr,
       f"no object: exit {result.returncode}, {result.stderr!r}")

# 80 MB in features of 2 MB each, in an address space of 96 MB: only one feature is held. The
# sanitizers' shadow memory needs more address space than that: there only the output is checked.
big = '{"type":"Feature","properties":{"note":"' + "x" * (2 << 20) + '"},"geometry":' + POINT + "}"
count = 40
sanitized = os.environ.get("MIRALTO_SANITIZE") == "1"
result = run(collection(*([big] * count)), limit=None if sanitized else 96 << 20)
expect(result.returncode == 0 and result.stdout.count(b'"code":"8i4k7zwpg"') == count,
       f"large input: exit {result.returncode}, {result.stderr[-300:]!r}")
# A feature's long arrays, in its properties and in a geometry that is no Point, held as text:
# what the reader notes of them stays small beside their text.
wide = "[" + ",".join(["1"] * (2 << 20)) + "]"
result = run(collection('{"type":"Feature","properties":{"x":' + wide + '},"geometry":' + POINT + "}",
                        '{"type":"Feature","geometry":{"type":"LineString","coordinates":'
                        + wide.replace("1", "[1,2]") + "}}"),
             limit=None if sanitized else 96 << 20)
expect(result.returncode == 1 and result.stdout.count(b'"code":"8i4k7zwpg"') == 1
       and result.stdout.count(b'not a Point') == 1,
       f"long arrays: exit {result.returncode}, {result.stderr[-300:]!r}")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("geojson input: nesting, properties as written, re-runs, member names and memory")
