#!/usr/bin/python3
"""Adds a position-code column to a CSV file of positions, on a Dask cluster.

The file is read in partitions; each worker encodes its partition with miralto.encode over the
numpy columns (one C++ loop per partition) and the result is written back as one CSV file with
the input columns and a "code" column, in the input order. A position the code cannot hold gets
an empty code (or stops the run with --errors raise).

Without --scheduler the script starts a LocalCluster of worker processes on this machine; with
--scheduler tcp://HOST:8786 it uses a running Dask scheduler, whose workers must be able to
import miralto (install the module on each of them).
"""

import argparse

import dask.dataframe as dd
import pandas as pd
from distributed import Client, LocalCluster

import miralto


def encode_partition(frame, lon, lat, corrections, errors):
    """The partition with a "code" column: the window's codes for its lon and lat columns."""
    codes = miralto.encode(frame[lon].to_numpy(), frame[lat].to_numpy(), corrections,
                           errors=errors)
    return frame.assign(code=pd.Series(codes, index=frame.index, dtype=object))


def parse_arguments(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("input", help="CSV file with a header line")
    parser.add_argument("output", help="CSV file to write")
    parser.add_argument("--lon", default="lon", help="longitude column (decimal degrees)")
    parser.add_argument("--lat", default="lat", help="latitude column (decimal degrees)")
    parser.add_argument("--correction", default="0,0", metavar="LON,LAT",
                        help="corrections in tenths of arc-second")
    parser.add_argument("--errors", choices=("coerce", "raise"), default="coerce")
    parser.add_argument("--scheduler", metavar="ADDRESS",
                        help="a running Dask scheduler; a LocalCluster by default")
    parser.add_argument("--workers", type=int, default=2, help="local worker processes")
    parser.add_argument("--blocksize", default="8MB", help="bytes of CSV per partition")
    return parser.parse_args(argv)


def main(argv=None):
    args = parse_arguments(argv)
    corrections = tuple(int(v) for v in args.correction.split(","))
    if args.scheduler:
        client = Client(args.scheduler)
        cluster = None
    else:
        # No dashboard: several runs on one machine would compete for its port.
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                               dashboard_address=None)
        client = Client(cluster)
    try:
        # round_trip reads each number as exactly the double its text names, as miralto-cli
        # does; pandas' default reader can be one unit off in the last place.
        frame = dd.read_csv(args.input, blocksize=args.blocksize, float_precision="round_trip",
                            dtype={args.lon: "float64", args.lat: "float64"})
        meta = frame._meta.assign(code=pd.Series(dtype=object))
        coded = frame.map_partitions(encode_partition, args.lon, args.lat, corrections,
                                     args.errors, meta=meta)
        coded.to_csv(args.output, single_file=True, index=False)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()


if __name__ == "__main__":
    main()
