"""Write a parameter sweep of summary files: the bundled example with the
heater's outlet temperature (and with it its duty, the vapour fraction of
its outlet stream S2 and the run id) changed from one run to the next.

    python3 bench/batch_bench_sweep.py FOLDER COUNT

writes FOLDER/run0001.sum ... Every seventh run is marked as completed
with errors. The batch tests, the batch benchmark and docs/batch.md use it.
"""
import pathlib
import sys

EXAMPLE = pathlib.Path(__file__).resolve().parents[1] / "examples" / "flowsheet.sum"

_RUNID = " DSET RUN-STATUS RUNID @RUNID (EXAMPLE1)"
_RUNIT = ' DSET RUN-STATUS IT @RUNIT (0 "RUN COMPLETED NORMALLY" "ALL BLOCKS CONVERGED")'
_HEATER = " DSET BLOCK TEMPCHG H1 RESULTS @HEATRES (330.0 1 2950000.0 1 83695.5 1 0.71)"
_S2 = " DSET STREAM MATERIAL S2 STR_MAIN @STRMAIN (H1 F1 CONVEN 330.0 1 2950000.0 1"
_S2_NEXT = "    0.71 0.045 1 "


def run_text(example, i, count):
    """The text of run i (1-based) of count: outlet temperature from 310 K to
    350 K, duty proportional to the rise above the 296.4 K inlet. The
    numbers keep the width of the example's, so no line grows past 80
    columns."""
    t = round(310.0 + 40.0 * (i - 1) / max(1, count - 1), 1)
    duty = 83695.5 * (t - 296.4) / (330.0 - 296.4)
    vfrac = min(1.0, 0.62 + 0.09 * (t - 296.4) / (330.0 - 296.4))
    out = []
    for line in example.splitlines():
        if line == _RUNID:
            line = f" DSET RUN-STATUS RUNID @RUNID (SWP{i:05d})"
        elif line == _RUNIT and i % 7 == 0:
            line = ' DSET RUN-STATUS IT @RUNIT (2 "RUN COMPLETED WITH ERRORS" "H1 NOT CONVERGED")'
        elif line == _HEATER:
            line = f" DSET BLOCK TEMPCHG H1 RESULTS @HEATRES ({t:.1f} 1 2950000.0 1 {duty:.2f} 1 {vfrac:.2f})"
        elif line == _S2:
            line = f" DSET STREAM MATERIAL S2 STR_MAIN @STRMAIN (H1 F1 CONVEN {t:.1f} 1 2950000.0 1"
        elif line.startswith(_S2_NEXT):
            line = f"    {vfrac:.2f} 0.045 1 " + line[len(_S2_NEXT):]
        out.append(line)
    return "\n".join(out) + "\n"


def write_sweep(folder, count):
    """Write count runs into folder; their paths in order."""
    folder = pathlib.Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    example = EXAMPLE.read_text()
    paths = []
    for i in range(1, count + 1):
        p = folder / f"run{i:04d}.sum"
        p.write_text(run_text(example, i, count))
        paths.append(p)
    return paths


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    write_sweep(sys.argv[1], int(sys.argv[2]))
