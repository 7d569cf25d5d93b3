"""The module over pandas columns: the nullable dtypes (Float64, Int64, string) mark a missing
value with pd.NA, which must read as missing, as None and NaN do in other columns."""

import math

import miralto
import pandas as pd


def test_nullable_columns_give_missing_results_where_object_columns_do():
    frame = pd.DataFrame({
        "lon": pd.array([113.288959, pd.NA, 113.288959, 1.0], dtype="Float64"),
        "lat": pd.array([23.236255, 23.236255, pd.NA, 2.0], dtype="Float64"),
        "code": pd.array(["8i4k7zwpg", pd.NA, "8i4k7zwpg", "x"], dtype="string"),
        "degrees": pd.array([113, pd.NA, 113, 1], dtype="Int64"),
    })
    plain = frame.astype(object).where(frame.notna(), None)  # the same values, None for pd.NA
    assert plain.iloc[1, 0] is None

    for columns in (frame, plain):
        codes, failed = miralto.encode(columns["lon"], columns["lat"], errors="coerce",
                                       return_mask=True)
        assert codes.tolist() == ["8i4k7zwpg", "", "", ""]
        assert failed.tolist() == [False, False, False, True]
        (lon, lat), failed = miralto.decode(columns["code"], dd=True, errors="coerce",
                                            return_mask=True)
        assert lon[0] == 113.288944444444 and math.isnan(lon[1]) and math.isnan(lat[1])
        assert failed.tolist() == [False, False, False, True]
        dd = miralto.to_dd(columns["degrees"], 17, 20.24048, errors="coerce")
        assert dd[0] == 113.288955688889 and math.isnan(dd[1])
    # Raising too: a missing value is no failure.
    assert miralto.encode(frame["lon"].iloc[:3], frame["lat"].iloc[:3]).tolist() == \
        ["8i4k7zwpg", "", ""]


def test_a_missing_cell_on_its_own_gives_missing_results():
    assert miralto.encode(pd.NA, 23.0) is None
    assert miralto.decode(pd.NA) == (None,) * 6
    assert miralto.to_dd(pd.NA, 0, 0) is None

