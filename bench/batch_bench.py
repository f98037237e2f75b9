"""Batch extraction: files per second with 1 and 2 local workers, against a
plain loop over the same files in one process.

    PYTHONPATH=build/python /usr/bin/python3 bench/batch_bench.py [--files 1000] [--repeats 3]

Writes a sweep of FILES runs of the bundled example's size (batch_bench_sweep.py)
into --dir (default build/bench-data/batch, kept between runs) and reads,
from each, the stream S2's TEMP and MOLE-FRAC rows and the block H1's QCALC:

- loop: the rows read one file after another in this process, by the same
  reading function the workers run, and the DataFrame built from them;
- N workers: flowsum.batch.extract on a local cluster of N single-threaded
  worker processes already started (its start-up is timed on its own).

Every time is the fastest of --repeats. Targets: 2 workers at least 1.7x
one worker; 1 worker no more than 1.3x the loop. The last line,
FLOWSUM_BATCH ..., carries the figures for scripts.
"""
import argparse
import os
import pathlib
import sys
import time

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from batch_bench_sweep import write_sweep  # noqa: E402

from flowsum import batch  # noqa: E402

ASK = dict(streams=["S2"], stream_properties=["TEMP", "MOLE-FRAC"], blocks=["H1"],
           block_results=["QCALC"], units="SI", ref_dir=str(HERE.parent / "data"))


def best(repeats, fn):
    times = []
    for _ in range(repeats):
        t0 = time.perf_counter()
        out = fn()
        times.append(time.perf_counter() - t0)
    return min(times), out


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--files", type=int, default=1000)
    ap.add_argument("--repeats", type=int, default=3)
    ap.add_argument("--dir", default=str(HERE.parent / "build" / "bench-data" / "batch"))
    args = ap.parse_args()

    folder = pathlib.Path(args.dir)
    paths = sorted(folder.glob("run*.sum"))
    if len(paths) != args.files:
        for p in paths:
            p.unlink()
        paths = write_sweep(folder, args.files)
    paths = [str(p) for p in paths]
    size = os.path.getsize(paths[0])

    request = {"streams": ASK["streams"], "stream_properties": ASK["stream_properties"],
               "blocks": ASK["blocks"], "block_results": ASK["block_results"],
               "units": ASK["units"], "ref_dir": ASK["ref_dir"]}
    loop, df_loop = best(args.repeats, lambda: batch._frame(batch._read_files(paths, request), request))

    results = {}
    for workers in (1, 2):
        t0 = time.perf_counter()
        client, cluster = batch._start_local_cluster(workers)
        start = time.perf_counter() - t0
        try:
            t, df = best(args.repeats, lambda: batch.extract(paths, client=client, progress=False, **ASK))
        finally:
            client.close()
            cluster.close()
        if not df.equals(df_loop):
            print("batch_bench: the batch's table differs from the loop's", file=sys.stderr)
            return 1
        results[workers] = (t, start)

    n = len(paths)
    t1, s1 = results[1]
    t2, s2 = results[2]
    print(f"{n} files of {size} bytes, fastest of {args.repeats}")
    print("| run | seconds | files/s | cluster start-up (s) |")
    print("| --- | --- | --- | --- |")
    print(f"| plain loop, one process | {loop:.3f} | {n / loop:.0f} | |")
    print(f"| extract, 1 worker | {t1:.3f} | {n / t1:.0f} | {s1:.2f} |")
    print(f"| extract, 2 workers | {t2:.3f} | {n / t2:.0f} | {s2:.2f} |")
    print(f"2 workers / 1 worker: {t1 / t2:.2f}x the files per second (target at least 1.7)")
    print(f"1 worker / loop: {t1 / loop:.2f}x the time (target at most 1.3)")
    print(f"per file: loop {1e3 * loop / n:.2f} ms, 1 worker {1e3 * t1 / n:.2f} ms, "
          f"2 workers {1e3 * t2 / n:.2f} ms of wall time")
    print(f"FLOWSUM_BATCH files={n} loop_s={loop:.4f} w1_s={t1:.4f} w2_s={t2:.4f} "
          f"speedup={t1 / t2:.3f} overhead={t1 / loop:.3f} start1_s={s1:.3f} start2_s={s2:.3f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
