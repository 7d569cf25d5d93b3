#!/usr/bin/env python3
"""Writes the finished translations of a Qt Linguist file as a C++ table, so that windows without
Qt tell the same texts as the Qt window. An unfinished, vanished or obsolete entry is left out, as
lrelease -nounfinished leaves it out.

usage: translation_table.py LANGUAGE_FILE.ts OUTPUT.cpp
"""
import sys
import xml.etree.ElementTree as ElementTree


def literal(text):
    """A C++ string literal of the UTF-8 bytes of `text`; octal escapes stop after three digits."""
    out = []
    for byte in text.encode("utf-8"):
        char = chr(byte)
        if char in '"\\':
            out.append("\\" + char)
        elif 0x20 <= byte < 0x7F and char != "?":  # no trigraphs
            out.append(char)
        else:
            out.append("\\%03o" % byte)
    return '"' + "".join(out) + '"'


def main(source, output):
    rows = []
    for context in ElementTree.parse(source).getroot().iter("context"):
        name = context.findtext("name", "")
        for message in context.iter("message"):
            translation = message.find("translation")
            if translation is None or translation.get("type") in ("unfinished", "vanished",
                                                                  "obsolete"):
                continue
            text = translation.text or ""
            if text:
                rows.append((name, message.findtext("source", ""), text))
    # Sorted by bytes, as the lookup compares string_views.
    rows.sort(key=lambda row: (row[0].encode("utf-8"), row[1].encode("utf-8")))
    lines = [
        "// Generated from " + source.replace("\\", "/").split("/")[-1] + ": do not edit.",
        '#include "form/translations.h"',
        "",
        "namespace miralto::form {",
        "",
        "namespace {",
        "constexpr Translation kRows[] = {",
    ]
    for name, english, text in rows:
        lines.append("    {%s, %s, %s}," % (literal(name), literal(english), literal(text)))
    lines += ["};", "}  // namespace", "",
              "constinit const std::span<const Translation> kChinese{kRows};", "",
              "}  // namespace miralto::form", ""]
    with open(output, "w", encoding="utf-8", newline="\n") as file:
        file.write("\n".join(lines))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
