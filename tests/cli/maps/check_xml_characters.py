"""Texts that XML 1.0 forbids (C0 controls but tab, LF and CR; U+FFFE, U+FFFF) become U+FFFD in the
names, descriptions and comments of KML and GPX, and the files stay well-formed: xmllint and GDAL's
ogrinfo open them.

Usage: check_xml_characters.py CLI WORKDIR
"""
import csv
import subprocess
import sys
import xml.etree.ElementTree as ET

cli, workdir = sys.argv[1:3]
REPLACEMENT = "\ufffd"
# (text in the record, as XML must carry it)
CASES = [
    ("a\ufffeb", "a\ufffdb"),
    ("a\uffffb", "a\ufffdb"),
    ("a\x01b\x1fc", "a\ufffdb\ufffdc"),
    ("a\x0bb\x0cc", "a\ufffdb\ufffdc"),
    ("tab\there", "tab\there"),
    ("del\x7f c1\x85", "del\x7f c1\x85"),
    ("\ufffd kept", "\ufffd kept"),
    ("\U0001f30d beyond the BMP", "\U0001f30d beyond the BMP"),
]
failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


sites = f"{workdir}/xml_characters.csv"
with open(sites, "w", encoding="utf-8", newline="") as f:
    writer = csv.writer(f, lineterminator="\n")
    writer.writerow(["name", "lon", "lat"])
    for text, _ in CASES:
        writer.writerow([text, "113.288959", "23.236255"])
    # A failed record: its text goes into a comment.
    writer.writerow(["bad\ufffe", "x\uffff", "23"])

for fmt, layer in (("kml", "sites"), ("gpx", "waypoints")):
    output = f"{workdir}/xml_characters.{fmt}"
    run = subprocess.run([cli, "--correction", "0,0", "encode", "--csv", "--columns", "2,3",
                          "--header", "--to", fmt, "-i", sites, "-o", output],
                         capture_output=True, text=True)
    expect(run.returncode == 1, f"{fmt}: exit status {run.returncode}, expected 1")
    lint = subprocess.run(["xmllint", "--noout", output], capture_output=True, text=True)
    expect(lint.returncode == 0, f"{fmt}: xmllint refuses the file: {lint.stderr.strip()}")
    info = subprocess.run(["ogrinfo", "-ro", "-al", output], capture_output=True, text=True)
    expect(info.returncode == 0 and "Feature Count" not in info.stderr,
           f"{fmt}: ogrinfo refuses the file: {info.stderr.strip()}")
    try:
        tree = ET.parse(output, parser=ET.XMLParser(target=ET.TreeBuilder(insert_comments=True)))
    except ET.ParseError as error:
        expect(False, f"{fmt}: not well-formed: {error}")
        continue
    text = "".join(tree.getroot().itertext())
    comments = [c.text for c in tree.iter(ET.Comment)]
    for original, carried in CASES:
        expect(carried in text, f"{fmt}: {carried!r} not carried (from {original!r})")
    expect(len(comments) == 1 and "x" + REPLACEMENT in comments[0],
           f"{fmt}: the error comment {comments}")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print(f"xml characters: {len(CASES)} texts in kml and gpx, well-formed")
