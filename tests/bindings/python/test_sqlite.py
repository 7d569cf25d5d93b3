"""The SQLite extension through Python's sqlite3 module."""

import math
import os
import sqlite3

import numpy as np
import pytest

import miralto

EXTENSION = os.environ.get("MIRALTO_SQLITE_EXTENSION")
pytestmark = pytest.mark.skipif(not EXTENSION, reason="the SQLite extension was not built")


@pytest.fixture
def db():
    connection = sqlite3.connect(":memory:")
    connection.enable_load_extension(True)
    connection.load_extension(EXTENSION)
    connection.enable_load_extension(False)
    yield connection
    connection.close()


@pytest.mark.parametrize("sql, expected", [
    ("vemo_encode(113.288959, 23.236255)", "8i4k7zwpg"),
    ("vemo_encode('113.288959', '23.236255')", "8i4k7zwpg"),
    ("vemo_encode(113, 23)", miralto.encode(113, 23)),
    ("vemo_encode(113.288959, 23.236255, 193, -106)",
     miralto.encode(113.288959, 23.236255, (193, -106))),
    ("vemo_encode_dms(113, 17, 39.5, 23, 13, 59.9)", "87ak7vtpg"),
    ("vemo_encode_notation('23°13′59.9″N', 'E113°17′39.5″')", "87ak7vtpg"),
    # corrections read as the window reads its correction fields: the nearest integer
    ("vemo_encode(113.288959, 23.236255, 192.5, '-106.2')",
     miralto.encode(113.288959, 23.236255, (192, -106))),
    ("vemo_encode_notation('23.236255N', '113.288959E', 193, -106)",
     miralto.encode(113.288959, 23.236255, (193, -106))),
    ("vemo_encode_dms('113', '17', '39.5', '23', '13', '59.9', 193, -106)", "8i4k7zwpg"),
    ("vemo_lon('8i4k7zwpg', -193, 106)", 113.283583333333),
    ("vemo_lat('8i4k7zwpg', -193, 106)", 23.2391944444444),
    ("vemo_lon('87ak7vtpg')", 113.294305555556),
    ("vemo_dms('87ak7vtpg')", "113 17 39.5 23 13 59.9"),
    ("vemo_dms(500000000)", "105 0 0 40 0 0"),
    ("vemo_compare_lon('8i4k7zwpg', '87ak7vtpg')", -193),
    ("vemo_compare_lat('8i4k7zwpg', '87ak7vtpg')", 106),
    ("vemo_encode(NULL, 23)", None),
    ("vemo_lon(NULL, 0, 0)", None),
    ("vemo_compare_lat('8i4k7zwpg', NULL)", None),
])
def test_functions(db, sql, expected):
    (value,) = db.execute("SELECT " + sql).fetchone()
    assert value == expected and type(value) is type(expected)


@pytest.mark.parametrize("sql, message", [
    ("vemo_encode(1, 2)", "out of reach: longitude 1°00'00.0\""),
    ("vemo_dms('8i4k7zwpl')", "invalid position code: character \"l\" at position 9"),
    ("vemo_encode_dms(113, 'x', 0, 23, 0, 0)", "conversion error: longitude minutes: \"x\""),
    ("vemo_encode(113, 23, 4294967296, 0)",
     "overflow error: the value 4294967296 is outside the integer range"),
])
def test_failures_are_sql_errors_with_the_message(db, sql, message):
    with pytest.raises(sqlite3.OperationalError) as caught:
        db.execute("SELECT " + sql).fetchone()
    assert str(caught.value).startswith(message)


def test_update_gives_the_module_codes_and_an_index_serves_a_lookup(db):
    rng = np.random.default_rng(3)
    lon = rng.uniform(70, 142.1, 500)
    lat = rng.uniform(5, 77.1, 500)
    db.execute("CREATE TABLE sites (lon REAL, lat REAL, code TEXT)")
    db.executemany("INSERT INTO sites (lon, lat) VALUES (?, ?)", zip(lon.tolist(), lat.tolist()))
    db.execute("UPDATE sites SET code = vemo_encode(lon, lat)")
    codes = [row[0] for row in db.execute("SELECT code FROM sites ORDER BY rowid")]
    assert codes == miralto.encode(lon, lat).tolist()

    db.execute("CREATE INDEX by_code ON sites (vemo_encode(lon, lat))")
    plan = " ".join(str(row) for row in db.execute(
        "EXPLAIN QUERY PLAN SELECT rowid FROM sites WHERE vemo_encode(lon, lat) = ?",
        (codes[17],)))
    assert "by_code" in plan
    (count,) = db.execute("SELECT count(*) FROM sites WHERE vemo_encode(lon, lat) = ?",
                          (codes[17],)).fetchone()
    assert count >= 1


def test_round_trip_through_the_decoded_columns(db):
    db.execute("CREATE TABLE t (code TEXT)")
    db.executemany("INSERT INTO t VALUES (?)", [("87ak7vtpg",), ("5zzzzzzzz",), (None,)])
    rows = db.execute("SELECT vemo_lon(code), vemo_lat(code) FROM t ORDER BY rowid").fetchall()
    lon, lat = miralto.decode(["87ak7vtpg", "5zzzzzzzz"], dd=True)
    assert rows[:2] == list(zip(lon.tolist(), lat.tolist()))
    assert rows[2] == (None, None)
    assert not any(math.isnan(v) for row in rows[:2] for v in row)
