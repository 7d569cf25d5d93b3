#!/usr/bin/python3
"""The time of one scalar call of the Python module, encode(lon, lat) on floats, against a Python
function of the same arguments that does nothing, in the same run.

Usage: python_scalar.py   (the module must be importable)

Each figure is the best of ROUNDS (default 7) timings of a loop of N calls (default 200,000),
alternating between the functions, so that a busy machine slows all alike. The goal: about
1.5 us a call for encode. Floats, ints and texts with at most a pair of corrections take the
module's short road; the call with another keyword shows the general one.
"""

import os
import timeit

import miralto


def nothing(lon, lat):
    pass


def main():
    calls = int(os.environ.get("N", "200000"))
    rounds = int(os.environ.get("ROUNDS", "7"))
    lon, lat = 113.288959, 23.236255
    assert miralto.encode(lon, lat) == "8i4k7zwpg"
    timers = {
        "nothing(lon, lat)": timeit.Timer("f(lon, lat)", globals={"f": nothing, "lon": lon, "lat": lat}),
        "miralto.encode(lon, lat)": timeit.Timer(
            "f(lon, lat)", globals={"f": miralto.encode, "lon": lon, "lat": lat}),
        "encode(lon, lat, (-193, 106))": timeit.Timer(
            "f(lon, lat, (-193, 106))", globals={"f": miralto.encode, "lon": lon, "lat": lat}),
        # Any other keyword takes the general road, which converts every argument.
        'encode(..., errors="raise")': timeit.Timer(
            'f(lon, lat, errors="raise")', globals={"f": miralto.encode, "lon": lon, "lat": lat}),
        "miralto.decode(code)": timeit.Timer(
            "f(code)", globals={"f": miralto.decode, "code": "8i4k7zwpg"}),
    }
    best = {name: float("inf") for name in timers}
    for _ in range(rounds):
        for name, timer in timers.items():
            best[name] = min(best[name], timer.timeit(calls) / calls)
    base = best["nothing(lon, lat)"]
    print(f"{calls} calls, best of {rounds} alternating rounds")
    for name, seconds in best.items():
        extra = "" if seconds == base else f"   {seconds / base:5.1f}x the empty function"
        print(f"{name:30s} {seconds * 1e6:6.2f} us a call{extra}")


if __name__ == "__main__":
    main()
