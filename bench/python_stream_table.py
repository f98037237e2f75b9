"""The Python stream table against the C++ one, on the same file.

    PYTHONPATH=build-bench/python python3 bench/python_stream_table.py \
        build-bench/bench/api_bench FILE [REPEATS]

Runs api_bench (the C++ API's stream table, fastest of its repetitions) and
then times Summary.stream_table() (the DataFrame, fastest of REPEATS) in
this process; prints both and their ratio (target: under 2) and exits 1
above it.
"""
import os
import re
import subprocess
import sys
import time

import flowsum


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    api_bench, path = argv[1], argv[2]
    repeats = int(argv[3]) if len(argv) > 3 else 5
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
    out = subprocess.run([api_bench, path, str(repeats)], capture_output=True, text=True).stdout
    found = re.search(r"FLOWSUM_API_SECONDS=([0-9.]+)", out)
    if not found:
        print("python_stream_table: api_bench gave no time:\n" + out, file=sys.stderr)
        return 2
    cpp = float(found.group(1))
    with flowsum.open(path, units="SI", ref_dir=data) as s:
        best = float("inf")
        for _ in range(repeats):
            t0 = time.perf_counter()
            df = s.stream_table()
            best = min(best, time.perf_counter() - t0)
    ratio = best / cpp if cpp > 0 else 0.0
    print(f"streams {df.shape[1] - 1}, rows {df.shape[0]}")
    print(f"C++ API stream table {cpp:.4f} s, Python DataFrame {best:.4f} s, "
          f"ratio {ratio:.3f} (target under 2)")
    return 0 if ratio < 2 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
