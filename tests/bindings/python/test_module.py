"""The Python module against the shared vector tables, scalars and arrays alike."""

import importlib.metadata
import math
import os
import pathlib
import re
import subprocess

import numpy as np
import pytest

import miralto
from conftest import error_kind, vectors

ENCODE = [p.values[0] for p in vectors("encode.csv")]
DECODE = [p.values[0] for p in vectors("decode.csv")]
COMPARE = [p.values[0] for p in vectors("compare.csv")]
TO_DMS = [p.values[0] for p in vectors("decimal_to_dms.csv")]
TO_DD = [p.values[0] for p in vectors("dms_to_decimal.csv")]


def outcome(call):
    """What a call gives, or the kind of the miralto error it raises."""
    try:
        return call()
    except miralto.Error as error:
        return "error:" + error.kind


# Scalars: each operation gives the window's texts for every row of its table.

@pytest.mark.parametrize("row", vectors("encode.csv"))
def test_encode_dms_rows(row):
    *fields, lon_correction, lat_correction, expected = row
    corrections = (int(lon_correction), int(lat_correction))
    assert outcome(lambda: miralto.encode_dms(*fields, corrections)) == expected


@pytest.mark.parametrize("row", vectors("decode.csv"))
def test_decode_rows(row):
    code, lon_correction, lat_correction, *expected = row
    got = outcome(lambda: miralto.decode(code, (int(lon_correction), int(lat_correction))))
    assert got == (expected[0] if error_kind(expected[0]) else tuple(expected))


@pytest.mark.parametrize("row", vectors("compare.csv"))
def test_compare_rows(row):
    code, reference, *expected = row
    got = outcome(lambda: miralto.compare(code, reference))
    if error_kind(expected[0]):
        assert got == expected[0]
    else:  # the table gives the latitude first
        assert got == (int(expected[1]), int(expected[0]))


@pytest.mark.parametrize("row", vectors("decimal_to_dms.csv"))
def test_to_dms_rows(row):
    text, *expected = row
    got = outcome(lambda: miralto.to_dms(text))
    assert got == (expected[0] if error_kind(expected[0]) else tuple(expected))


@pytest.mark.parametrize("row", vectors("dms_to_decimal.csv"))
def test_to_dd_rows(row):
    *fields, expected = row
    got = outcome(lambda: miralto.to_dd(*fields))
    # The float is exactly the number the window's text shows.
    assert got == (expected if error_kind(expected) else float(expected))


# Arrays: the whole table in one call, good and bad rows mixed.

def test_encode_dms_table_as_arrays():
    rows = [r for r in ENCODE if r[6:8] == ["0", "0"]]
    columns = [np.array([r[i] for r in rows]) for i in range(6)]
    codes, failed = miralto.encode_dms(*columns, errors="coerce", return_mask=True)
    expected = [r[8] for r in rows]
    assert failed.tolist() == [error_kind(e) is not None for e in expected]
    assert codes.tolist() == [("" if error_kind(e) else e) for e in expected]


def test_decode_table_as_arrays_with_corrections_per_call():
    for corrections in {(int(r[1]), int(r[2])) for r in DECODE}:
        rows = [r for r in DECODE if (int(r[1]), int(r[2])) == corrections]
        fields, failed = miralto.decode([r[0] for r in rows], corrections, errors="coerce",
                                        return_mask=True)
        for i, r in enumerate(rows):
            if error_kind(r[3]):
                assert failed[i] and all(f[i] == "" for f in fields)
            else:
                assert not failed[i] and [f[i] for f in fields] == r[3:9]


def test_compare_table_as_arrays():
    lon, lat = miralto.compare([r[0] for r in COMPARE], [r[1] for r in COMPARE],
                               errors="coerce")
    for i, r in enumerate(COMPARE):
        if error_kind(r[2]):
            assert math.isnan(lon[i]) and math.isnan(lat[i])
        else:
            assert (lon[i], lat[i]) == (float(r[3]), float(r[2]))


def test_to_dms_and_to_dd_tables_as_arrays():
    d, m, s = miralto.to_dms([r[0] for r in TO_DMS], errors="coerce")
    for i, r in enumerate(TO_DMS):
        assert [d[i], m[i], s[i]] == ([""] * 3 if error_kind(r[1]) else r[1:4])
    values = miralto.to_dd(*[[r[k] for r in TO_DD] for k in range(3)], errors="coerce")
    for i, r in enumerate(TO_DD):
        assert (math.isnan(values[i]) if error_kind(r[3]) else values[i] == float(r[3]))


def test_the_first_failure_raises_and_names_its_index():
    with pytest.raises(miralto.OutOfReachError) as caught:
        miralto.encode([113.288959, 113.0, 1.0, 2.0], [23.236255, 23.0, 2.0, 3.0])
    assert caught.value.index == 2
    assert str(caught.value).startswith("element 2: out of reach: longitude 1°00'00.0\"")
    with pytest.raises(miralto.InvalidCodeError) as caught:
        miralto.decode(np.array([["87ak7vtpg", "87ak7vtpg"], ["87ak7vtpg", "8i4k7zwpl"]]))
    assert tuple(int(i) for i in caught.value.index) == (1, 1)


@pytest.mark.parametrize("bad", [[30000, 80000], [80000, 99999], [99999]])
def test_the_first_failure_of_a_large_array_is_the_one_named(bad):
    # Large arrays are split among threads: the earliest failure must win whichever ends first.
    lon = np.full(100000, 113.288959)
    lon[bad] = 1.0
    with pytest.raises(miralto.OutOfReachError) as caught:
        miralto.encode(lon, 23.236255)
    assert caught.value.index == bad[0]


# Numbers as floats give what their texts give; missing values stay missing.

def test_floats_and_texts_give_the_same_codes():
    rng = np.random.default_rng(7)
    lon = rng.uniform(69.5, 142.5, 40000)  # enough to be shared among threads
    lat = rng.uniform(4.5, 77.5, 40000)
    from_floats, failed_floats = miralto.encode(lon, lat, (-193, 106), errors="coerce",
                                                return_mask=True)
    from_texts, failed_texts = miralto.encode([repr(x) for x in lon], [repr(x) for x in lat],
                                              (-193, 106), errors="coerce", return_mask=True)
    assert failed_floats.any() and not failed_floats.all()
    assert (from_floats == from_texts).all() and (failed_floats == failed_texts).all()
    assert from_floats[7] == miralto.encode(float(lon[7]), lat[7], (-193, 106), errors="coerce")


def test_missing_values_give_missing_results_and_are_not_failures():
    codes, failed = miralto.encode([113.288959, None, math.nan, 1.0], [23.236255, 23.0, 23.0, 2.0],
                                   errors="coerce", return_mask=True)
    assert codes.tolist() == ["8i4k7zwpg", "", "", ""]
    assert failed.tolist() == [False, False, False, True]
    assert miralto.encode(None, 23.0) is None
    assert miralto.decode(None) == (None,) * 6
    lon, lat = miralto.decode(["8i4k7zwpg", None], dd=True)
    assert lon[0] == 113.288944444444 and math.isnan(lon[1]) and math.isnan(lat[1])


def test_arrays_broadcast_and_keep_their_shape():
    codes = miralto.encode(np.array([[113.0], [114.0]]), np.array([23.0, 24.0, 25.0]))
    assert codes.shape == (2, 3)
    assert codes[1, 2] == miralto.encode(114.0, 25.0)
    assert miralto.compare(np.array([], dtype=str), "87ak7vtpg")[0].shape == (0,)


@pytest.mark.parametrize("order", ["<", ">"])
def test_arrays_in_either_byte_order_give_the_same_results(order):
    # Arrays read from a file written on another machine keep its byte order.
    texts = np.array(["113.288959", "23.236255"], dtype=order + "U10")
    codes = np.array(["8i4k7zwpg"], dtype=order + "U9")
    numbers = np.array([113.288959, 23.236255], dtype=order + "f8")
    assert [a.tolist() for a in miralto.to_dms(texts)] == [["113", "23"], ["17", "14"],
                                                           ["20.24048", "10.52032"]]
    assert miralto.decode(codes)[0].tolist() == ["113"]
    assert miralto.encode(numbers[:1], numbers[1:]).tolist() == ["8i4k7zwpg"]


def test_arrays_over_a_buffer_at_an_odd_offset_give_the_same_results():
    # Not aligned for their items: read through copies, as a sanitizer build checks.
    def at_odd_offset(values, dtype):
        item = np.dtype(dtype).itemsize
        array = np.frombuffer(bytearray(1 + item * len(values)), dtype=dtype, offset=1)
        array[:] = values
        assert not array.flags.aligned
        return array

    numbers = at_odd_offset([113.288959, 23.236255], "<f8")
    assert miralto.encode(numbers[:1], numbers[1:]).tolist() == ["8i4k7zwpg"]
    assert miralto.decode(at_odd_offset(["8i4k7zwpg"], "<U9"))[0].tolist() == ["113"]


def test_codes_held_as_numbers_read_as_their_digits():
    assert miralto.decode(500000000) == miralto.decode("500000000")
    assert miralto.decode(np.array([500000000]))[0].tolist() == ["105"]


def test_scalar_coerce_gives_empty_text_or_nan():
    assert miralto.encode(1, 2, errors="coerce", return_mask=True) == ("", True)
    assert math.isnan(miralto.to_dd("1", "x", "0", errors="coerce"))
    assert miralto.encode(113.288959, 23.236255, return_mask=True) == ("8i4k7zwpg", False)


# Plain scalars, with or without a pair of corrections, take a shorter road than calls with other
# keywords: both give the same results and raise the same errors, whatever the arguments.

SCALAR_CALLS = [
    ("encode", (113.288959, 23.236255)),
    ("encode", (113, 23)),
    ("encode", ("113.288959", " 23.236255 ")),
    ("encode", (1.0, 2.0)),
    ("encode", (10**30, 23.0)),
    ("encode", (-(2**63), 23)),
    ("encode", (math.inf, 23.0)),
    ("encode", (math.nan, 23.0)),
    ("encode", (None, 23.0)),
    ("encode", ("\ud800", 23.0)),
    ("encode", (np.float64(113.288959), 23.236255)),
    ("encode", (True, 23.0)),
    ("encode_dms", (113, 17, 39.5, 23, 13, 59.9)),
    ("encode_dms", ("113", "x", 0, 23, 0, 0)),
    ("decode", ("8i4k7zwpg",)),
    ("decode", (500000000,)),
    ("decode", ("8i4k7zwpl",)),
    ("encode_notation", ("23°13′59.9″N", "E113°17′39.5″")),
    ("notation_to_dd", ("23°30′S", "113.5E")),
    ("compare", ("8i4k7zwpg", "87ak7vtpg")),
    ("compare", ("8i4k7zwpg", "x")),
    ("to_dms", (113.288959,)),
    ("to_dms", (math.nan,)),
    ("to_dms", ("abc",)),
    ("to_dd", (113, 17, 20.24048)),
    ("to_dd", ("1", "x", "0")),
    ("encode", (113.288959, 23.236255, (-193, 106))),
    ("encode", (113.288959, 23.236255, (192.5, "-106.2"))),
    ("encode", (113.288959, 23.236255, (2**40, 0))),
    ("encode", (113.288959, 23.236255, (math.nan, 0))),
    ("encode", (113.288959, 23.236255, [1, 2])),
    ("encode", (113.288959, 23.236255, (1, 2, 3))),
    ("decode", ("8i4k7zwpg", (-193, 106))),
    ("compare", ("8i4k7zwpg", "87ak7vtpg", (1, 2))),
]


def raised_or_returned(call):
    try:
        return "returned", call()
    except TypeError as error:  # a misuse: its message repeats the call's own arguments
        return "raised", type(error)
    except Exception as error:  # the class, message and attributes all count
        return "raised", type(error), str(error), vars(error)


@pytest.mark.parametrize("name, args", SCALAR_CALLS)
def test_positional_scalars_give_what_calls_with_keywords_give(name, args):
    f = getattr(miralto, name)
    general = raised_or_returned(lambda: f(*args, errors="raise"))
    calls = [lambda: f(*args)]
    if len(args) > 1 and isinstance(args[-1], (tuple, list)):  # the corrections as a keyword too
        calls.append(lambda: f(*args[:-1], corrections=args[-1]))
    for call in calls:
        short = raised_or_returned(call)
        assert repr(short) == repr(general)  # NaN equals NaN as text
        assert types(short[1]) == types(general[1])


def types(value):
    return [type(x) for x in value] if isinstance(value, tuple) else [type(value)]


def test_the_functions_keep_their_name_text_and_module():
    import pickle
    for name in ("encode", "decode", "to_dd"):
        f = getattr(miralto, name)
        assert f.__name__ == name and f.__module__ == "miralto"
        assert f.__doc__.startswith(name + "(")
        assert pickle.loads(pickle.dumps(f)) is f


# Positions as people write them give what miralto-cli gives for the same fields.

WRITTEN = [
    ("113.288959", "23.236255"),
    ("23.236255N", "113.288959E"),
    ("E113°17′39.5″", "23°13′59.9″N"),
    ("113d17m39.5s", "23:13:59.9"),
    ("113:17.3373", "N23:14"),
    ("113.5W", "23.5"),
    ("23.5N", "23.5N"),
    ("113°61′", "23"),
    ("x", "23"),
]


def cli_lines(command, pairs):
    cli = os.environ.get("MIRALTO_CLI")
    if not cli:
        pytest.skip("MIRALTO_CLI names no miralto-cli")
    lines = "".join(f"{a} {b}\n" for a, b in pairs)
    result = subprocess.run([cli, "--correction", "0,0", command], input=lines.encode(),
                            capture_output=True)
    return result.stdout.decode().splitlines()


def test_encode_notation_gives_the_batch_converters_codes():
    expected = cli_lines("encode", WRITTEN)
    for (first, second), line in zip(WRITTEN, expected):
        got = outcome(lambda: miralto.encode_notation(first, second))
        assert (got.startswith("error:") if line.startswith("ERROR") else got == line), (first, line)
    codes, failed = miralto.encode_notation(*zip(*WRITTEN), errors="coerce", return_mask=True)
    assert codes.tolist() == ["" if e.startswith("ERROR") else e for e in expected]
    assert failed.tolist() == [e.startswith("ERROR") for e in expected]


def test_notation_to_dd_gives_the_batch_converters_numbers():
    expected = cli_lines("dd", WRITTEN)
    lon, lat = miralto.notation_to_dd(*zip(*WRITTEN), errors="coerce")
    for i, line in enumerate(expected):
        if line.startswith("ERROR"):
            assert math.isnan(lon[i]) and math.isnan(lat[i])
        else:
            assert [lon[i], lat[i]] == [float(v) for v in line.split()]


# Errors are the host's own error types too.

@pytest.mark.parametrize("call, cls, host", [
    (lambda: miralto.encode(1, 2), miralto.OutOfReachError, ValueError),
    (lambda: miralto.decode("8i4k7zwpl"), miralto.InvalidCodeError, ValueError),
    (lambda: miralto.to_dd("x", 0, 0), miralto.ConversionError, ValueError),
    (lambda: miralto.to_dms(1e39), miralto.OverflowError, OverflowError),
    (lambda: miralto.to_dms(math.inf), miralto.OverflowError, OverflowError),
    (lambda: miralto.encode(113, 23, (2**31, 0)), miralto.OverflowError, OverflowError),
])
def test_errors_are_typed_by_kind_and_carry_the_message(call, cls, host):
    with pytest.raises(cls) as caught:
        call()
    assert isinstance(caught.value, host) and isinstance(caught.value, miralto.Error)
    assert str(caught.value) == caught.value.message
    assert caught.value.message.startswith(caught.value.kind + ": ")
    assert caught.value.index is None


@pytest.mark.parametrize("call, cls", [
    (lambda: miralto.encode(113, 23, errors="ignore"), ValueError),
    (lambda: miralto.encode(113, 23, (1, 2, 3)), TypeError),
    (lambda: miralto.encode([object()], [23.0]), TypeError),
    (lambda: miralto.encode(np.array(["2020-01-01"], dtype="datetime64[D]"), 23.0), TypeError),
])
def test_misuse_raises_python_errors(call, cls):
    with pytest.raises(cls):
        call()


def test_stubs_name_every_public_function_and_error():
    stub = pathlib.Path(miralto.__file__).with_name("miralto.pyi")
    if not stub.exists():
        stub = pathlib.Path(__file__).parents[3] / "bindings" / "python" / "miralto.pyi"
    declared = set(re.findall(r"^(?:def|class) (\w+)", stub.read_text(), re.M))
    public = {n for n in dir(miralto) if not n.startswith("_")}
    assert declared == public
    for name in public:
        assert getattr(miralto, name).__doc__, name


# The stubs name every error class the module has: a new kind of error needs its line there too.

def test_the_stubs_name_every_error_class():
    stubs = (pathlib.Path(__file__).parents[3] / "bindings" / "python" / "miralto.pyi").read_text()
    declared = set(re.findall(r"^class (\w+)\(Error\b", stubs, re.M))
    module = {name for name, value in vars(miralto).items()
              if isinstance(value, type) and issubclass(value, miralto.Error)
              and value is not miralto.Error}
    assert declared == module


def test_one_version_with_the_batch_converter():
    cli = os.environ.get("MIRALTO_CLI")
    if not cli:
        pytest.skip("MIRALTO_CLI names no miralto-cli")
    shown = subprocess.run([cli, "--version"], capture_output=True, check=True).stdout.decode()
    assert shown.strip() == "miralto-cli " + miralto.__version__
    assert miralto.__version__ == "1.00"


def test_metadata_names_the_module_its_version_and_licence():
    # What pip and importlib.metadata read: the metadata found beside the module imported.
    found = importlib.metadata.distribution("miralto")
    assert pathlib.Path(found.locate_file("miralto.pyi")).parent == \
        pathlib.Path(miralto.__file__).parent
    assert found.metadata["Name"] == "miralto"
    assert found.version == miralto.__version__
    assert found.metadata["License"] == "Apache-2.0"


# Texts that are not UTF-8 and elements with a NUL: the module's typed errors, not Python's.

@pytest.mark.parametrize("call, cls, index", [
    (lambda: miralto.decode(b"\xff\xfe"), miralto.InvalidCodeError, None),
    (lambda: miralto.decode("8i4k7zwp\ud800"), miralto.InvalidCodeError, None),
    (lambda: miralto.to_dd("1\udc00", 0, 0), miralto.ConversionError, None),
    (lambda: miralto.to_dd(b"1\xff", 0, 0), miralto.ConversionError, None),
    (lambda: miralto.decode(["8i4k7zwpg", b"\xff\xfe"]), miralto.InvalidCodeError, 1),
    (lambda: miralto.decode(["8i4k7zwpg", "8i4k\udfff"]), miralto.InvalidCodeError, 1),
    (lambda: miralto.decode(np.array(["8i4k7zwpg", "8i4k\ud800zwpg"])), miralto.InvalidCodeError,
     1),
    (lambda: miralto.decode(b"8i4k\x007zwpg"), miralto.InvalidCodeError, None),
    (lambda: miralto.decode(np.array([b"8i4k7zwpg", b"8i4k\x007zwpg"])), miralto.InvalidCodeError,
     1),
    (lambda: miralto.to_dd(np.array([b"113", b"1\x0013"]), 0, 0), miralto.ConversionError, 1),
])
def test_undecodable_texts_are_typed_errors(call, cls, index):
    with pytest.raises(cls) as caught:
        call()
    assert caught.value.index == index
    assert isinstance(str(caught.value), str)


# Corrections are read as the window reads its correction fields, as miralto-cli and SQLite do.

@pytest.mark.parametrize("corrections, expected", [
    ((1.9, 2.7), (2, 3)),
    ((2.5, 3.5), (2, 4)),
    ((-1.5, -2.5), (-2, -2)),
    (("-193", "106"), (-193, 106)),
    ((" 12.5", "13.5abc"), (12, 14)),
    ((np.int64(-193), np.float32(106.0)), (-193, 106)),
    ([-193, 106], (-193, 106)),
])
def test_corrections_round_as_the_window_reads_them(corrections, expected):
    code = miralto.encode(113.288959, 23.236255, corrections)
    assert code == miralto.encode(113.288959, 23.236255, expected)


@pytest.mark.parametrize("corrections", ["12", b"12", (1, 2, 3), (1,), 12, (None, 1), (object(), 1)])
def test_corrections_that_are_no_pair_are_type_errors(corrections):
    with pytest.raises(TypeError):
        miralto.encode(113.288959, 23.236255, corrections)
