#!/usr/bin/python3
"""Encoding 1,000,000 positions: the numpy function of the Python module against miralto-cli on
the same positions and against a Python loop over the scalar function, all in this run.

Usage: python_encode.py MIRALTO_CLI [POSITIONS]   (the module must be importable)

Wall-clock times are the best of three runs (the loop runs once over a tenth of the positions and
is scaled up); CPU times are beside them, since a busy machine stretches wall-clock times. The
goals: the module takes no longer than miralto-cli, and is at least 20 times the loop's speed.
"""

import os
import resource
import subprocess
import sys
import tempfile
import time

import numpy as np

import miralto


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def best_of_three(run, cpu_clock):
    best_wall = best_cpu = float("inf")
    for _ in range(3):
        cpu, wall = cpu_clock(), time.perf_counter()
        run()
        best_wall = min(best_wall, time.perf_counter() - wall)
        best_cpu = min(best_cpu, cpu_clock() - cpu)
    return best_wall, best_cpu


def main():
    cli = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1_000_000
    rng = np.random.default_rng(20261210)
    lon = rng.uniform(70, 142, count)
    lat = rng.uniform(5, 77, count)

    with tempfile.TemporaryDirectory() as work:
        positions = os.path.join(work, "positions.txt")
        with open(positions, "w") as f:  # repr: the text that reads back as exactly the double
            f.writelines(f"{a!r} {b!r}\n" for a, b in zip(lon.tolist(), lat.tolist()))

        def run_cli(output=subprocess.DEVNULL):
            with open(positions) as source:
                subprocess.run([cli, "--correction", "0,0", "encode"], stdin=source,
                               stdout=output, check=True)

        with open(os.path.join(work, "codes.txt"), "w") as out:
            run_cli(out)
        with open(os.path.join(work, "codes.txt")) as f:
            cli_codes = f.read().split()
        cli_wall, cli_cpu = best_of_three(run_cli, children_cpu)

    codes = miralto.encode(lon, lat)
    if codes.tolist() != cli_codes:
        sys.exit("the module and miralto-cli disagree")
    module_wall, module_cpu = best_of_three(lambda: miralto.encode(lon, lat), time.process_time)

    tenth = count // 10
    lon_list, lat_list = lon[:tenth].tolist(), lat[:tenth].tolist()
    cpu, wall = time.process_time(), time.perf_counter()
    looped = [miralto.encode(a, b) for a, b in zip(lon_list, lat_list)]
    loop_wall = (time.perf_counter() - wall) * count / tenth
    loop_cpu = (time.process_time() - cpu) * count / tenth
    if looped != cli_codes[:tenth]:
        sys.exit("the scalar function and miralto-cli disagree")

    print(f"{'encoding ' + format(count, ',') + ' positions':<36} {'wall s':>8} {'cpu s':>8}"
          f" {'vs module (wall)':>17}")
    for name, w, c in (("miralto.encode(lon, lat) on arrays", module_wall, module_cpu),
                       ("miralto-cli encode", cli_wall, cli_cpu),
                       ("Python loop of miralto.encode(a, b)", loop_wall, loop_cpu)):
        print(f"{name:<36} {w:8.3f} {c:8.3f} {w / module_wall:16.1f}x")
    print(f"module / miralto-cli: {module_wall / cli_wall:.2f} (goal: at most 1), "
          f"loop / module: {loop_wall / module_wall:.1f} (goal: at least 20)")
    # The module spreads large arrays over the cores; on CPU time alone it must still be well ahead.
    print(f"on CPU time: module / miralto-cli: {module_cpu / cli_cpu:.2f}, "
          f"loop / module: {loop_cpu / module_cpu:.1f}")


if __name__ == "__main__":
    main()
