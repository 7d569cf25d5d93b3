"""Shared helpers of the Python tests: the test vector tables and the programs under test."""

import csv
import os
import pathlib

import pytest

DATA = pathlib.Path(os.environ.get("MIRALTO_TEST_DATA",
                                   pathlib.Path(__file__).parents[2] / "data"))


def vectors(name):
    """The rows of a vector table: RFC 4180 fields, '#' lines and empty lines skipped."""
    with open(DATA / name, newline="", encoding="utf-8") as f:
        lines = [line for line in f if line.strip() and not line.startswith("#")]
    return [pytest.param(row, id=f"{name}:{i}") for i, row in enumerate(csv.reader(lines))]


def error_kind(field):
    """The kind named by an expected field such as "error:out of reach", or None."""
    return field[len("error:"):] if field.startswith("error:") else None
