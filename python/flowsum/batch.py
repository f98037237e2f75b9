"""Read many summary files at once: one row per file, on Dask.

    from flowsum import batch
    df = batch.extract("runs/*.sum", streams=["S2"], stream_properties=["TEMP"],
                       blocks=["H1"], block_results=["QCALC"])

The library holds one loaded file per process, so every file is opened,
read and closed inside a task running in a worker process, one file at a
time per process; the tasks return plain rows and the table is built here.
With client=None a local cluster of one single-threaded worker process per
core is started for the call and closed after it; a distributed.Client or a
scheduler address given by the caller is used as it is.

A file that does not load, lacks an asked-for object or value, or whose
worker died more often than the scheduler allows, gives its row with a
status and an error text; the batch goes on. Nothing is written to the
input files.
"""

import argparse
import glob as _glob
import json
import math
import os
import sys
import threading
from builtins import open as builtins_open
import time

import pandas as pd

from . import Error, LoadError, NotFoundError, UsageError
from . import open as _open

__all__ = ["extract", "main", "STATUSES"]

# Row statuses, in the order of increasing trouble.
STATUSES = ("ok", "warnings", "missing", "failed", "lost")

# The columns every row has, before the values.
_FIXED = ["path", "status", "load_status", "completion", "run_status", "error"]

# Files read by one task: enough to hide the scheduler's per-task cost
# (about a millisecond) behind the reads, few enough to keep every worker
# busy until the end and to lose little when a worker dies.
_MAX_FILES_PER_TASK = 50
_TASKS_PER_WORKER = 4

# The scheduler of a cluster started here: it re-runs a task whose worker
# died twice before it gives up on it, and hands a worker its next task only
# when the last one is done, so that a worker stuck in one file (a pipe
# without a writer, a file on a hung mount) holds no other task back.
_SCHEDULER_CONFIG = {"distributed.scheduler.allowed-failures": 2,
                     "distributed.scheduler.worker-saturation": 1.0}

# One file per process at a time, even on a worker with several threads.
_file_lock = threading.Lock()


def _as_list(value):
    if value is None:
        return None
    if isinstance(value, (str, os.PathLike)):
        return [str(value)]
    return [str(v) for v in value]


def _resolve_paths(paths):
    """The list of files: a glob (a str or path) is expanded and sorted, a
    list is taken in its order. An empty result or a directory is an error."""
    if isinstance(paths, (str, os.PathLike)):
        pattern = os.fspath(paths)
        found = sorted(_glob.glob(pattern, recursive=True))
        if not found:
            raise FileNotFoundError(f"no file matches {pattern!r}")
    else:
        found = [os.fspath(p) for p in paths]
        if not found:
            raise FileNotFoundError("no files given")
    for p in found:
        if os.path.isdir(p):
            raise IsADirectoryError(f"{p} is a directory, not a summary file "
                                    f"(give a glob such as {os.path.join(p, '*.sum')!r})")
    return found


def _label(obj, prop, detail, unit):
    label = f"{obj}:{prop}"
    if detail:
        label += " " + detail
    if unit:
        label += f" [{unit}]"
    return label


def _stream_values(s, streams, props, values, problems):
    try:
        known = streams
        tables = {"": s.stream_table(known)}
    except NotFoundError:
        present = set(s.streams()["id"])
        known = [sid for sid in streams if sid in present]
        problems.extend(f"stream {sid} not in file" for sid in streams if sid not in present)
        if not known:
            return
        tables = {"": s.stream_table(known)}
    wanted = props
    if wanted is None:
        main = tables[""].index.get_level_values("component") == ""
        wanted = list(dict.fromkeys(tables[""].index.get_level_values("property")[main]))
    for pi, prop in enumerate(wanted):
        table = tables[""]
        rows = table.index.get_level_values("property") == prop
        if not rows.any():
            # Not a row of the main table: perhaps a basis of the component
            # flows or fractions (MOLE-FRAC, ...), which has its own table.
            try:
                table = s.stream_table(known, basis=prop)
            except UsageError:
                problems.append(f"stream property {prop} not in file")
                continue
            rows = table.index.get_level_values("property") == prop
        part = table[rows]
        for sid in known:
            col = part[sid]
            if col.isna().all():
                problems.append(f"{sid}:{prop} not in file")
            for (_, sub, comp), unit, value in zip(part.index, part["unit"], col):
                detail = " ".join(x for x in (sub if sub != "MIXED" else "", comp) if x)
                oi = streams.index(sid)
                values.append((0, oi, pi, _label(sid, prop, detail, unit), value))


def _block_values(s, blocks, props, values, problems):
    for oi, bid in enumerate(blocks):
        try:
            results = s.block_results(bid)
        except NotFoundError:
            problems.append(f"block {bid} not in file")
            continue
        quals = [c for c in results.columns if c.startswith("qualifier")]
        wanted = props if props is not None else list(dict.fromkeys(results["property"]))
        for pi, prop in enumerate(wanted):
            part = results[results["property"] == prop]
            if part.empty:
                problems.append(f"{bid}:{prop} not in file")
            for *qs, value, text, unit in zip(*(part[c] for c in quals),
                                              part["value"], part["text"], part["unit"]):
                detail = " ".join(q for q in qs if q)
                if text and pd.isna(value):
                    value = text
                values.append((1, oi, pi, _label(bid, prop, detail, unit), value))


def _read_one(path, request):
    """Open, read and close one file; its row as a dict (values under
    "values" as (kind, object, property, label, value) tuples)."""
    row = {"path": path, "status": "ok", "load_status": None, "completion": None,
           "run_status": "", "error": "", "values": []}
    with _file_lock:
        try:
            s = _open(path, units=request["units"], ref_dir=request["ref_dir"])
        except LoadError as e:
            row.update(status="failed", load_status=e.status, error=str(e))
            return row
        with s:
            row["load_status"] = 0
            problems = []
            try:
                info = s.run_info()
                row["completion"] = info["completion"]
                row["run_status"] = info["status1"]
                if request["streams"]:
                    _stream_values(s, request["streams"], request["stream_properties"],
                                   row["values"], problems)
                if request["blocks"]:
                    _block_values(s, request["blocks"], request["block_results"],
                                  row["values"], problems)
            except UsageError:
                raise
            except Exception as e:
                # A damaged file that trips a query: its row says so, and
                # the batch goes on with the values read so far.
                row.update(status="failed", error=f"reading {path}: {type(e).__name__}: {e}")
                return row
            if problems:
                row.update(status="missing", error="; ".join(problems))
            elif s.messages:
                row.update(status="warnings",
                           error="; ".join(m.strip() for m in s.messages if m.strip()))
    return row


def _read_files(paths, request):
    """The task a worker runs: the rows of a few files, read one by one."""
    return [_read_one(p, request) for p in paths]


def _lost_row(path, error):
    return {"path": path, "status": "lost", "load_status": None, "completion": None,
            "run_status": "", "error": error, "values": []}


def _frame(rows, request):
    """The DataFrame of the rows, in path order; value columns in the order
    asked for (objects, then properties), and one empty column for an
    asked-for value no file holds."""
    order, data = {}, []
    for row in rows:
        cells = {}
        for kind, oi, pi, label, value in row["values"]:
            order.setdefault(label, (kind, oi, pi, len(order)))
            cells[label] = value
        data.append(cells)
    for kind, objs, props in ((0, request["streams"], request["stream_properties"]),
                              (1, request["blocks"], request["block_results"])):
        seen = {(k, oi, pi) for k, oi, pi, _ in order.values()}
        for oi, obj in enumerate(objs or []):
            for pi, prop in enumerate(props or []):
                if (kind, oi, pi) not in seen:
                    order[_label(obj, prop, "", "")] = (kind, oi, pi, len(order))
    columns = sorted(order, key=order.get)
    fixed = pd.DataFrame({c: [row[c] for row in rows] for c in _FIXED})
    for c in ("load_status", "completion"):
        fixed[c] = fixed[c].astype("Int64")
    values = pd.DataFrame(data, columns=columns, index=fixed.index)
    return pd.concat([fixed, values], axis=1)


class _Progress:
    """A counter of finished files on standard error."""

    def __init__(self, total, enabled):
        self.total, self.done, self.bad = total, 0, 0
        self.enabled = enabled
        self.tty = enabled and sys.stderr.isatty()
        self.shown = -1
        self.last = 0.0

    def add(self, rows):
        self.done += len(rows)
        self.bad += sum(r["status"] not in ("ok", "warnings") for r in rows)
        if not self.enabled:
            return
        now = time.monotonic()
        if self.tty and (now - self.last > 0.2 or self.done == self.total):
            self.last = now
            sys.stderr.write(f"\rflowsum-batch: {self.done}/{self.total} files, {self.bad} not ok")
            if self.done == self.total:
                sys.stderr.write("\n")
            sys.stderr.flush()
        elif not self.tty:
            tenth = self.done * 10 // self.total
            if tenth != self.shown:
                self.shown = tenth
                print(f"flowsum-batch: {self.done}/{self.total} files, {self.bad} not ok",
                      file=sys.stderr, flush=True)


def _start_local_cluster(workers):
    import dask
    from distributed import Client, LocalCluster

    if not workers:
        workers = len(os.sched_getaffinity(0)) if hasattr(os, "sched_getaffinity") else os.cpu_count()
    n = max(1, int(workers or 1))
    with dask.config.set(_SCHEDULER_CONFIG):
        cluster = LocalCluster(n_workers=n, threads_per_worker=1, processes=True,
                               dashboard_address=":0", silence_logs=40)
    try:
        return Client(cluster), cluster
    except BaseException:
        cluster.close()
        raise


def _run(client, paths, request, files_per_task, progress):
    from distributed import as_completed
    from distributed.scheduler import KilledWorker

    nworkers = max(1, len(client.scheduler_info()["workers"]))
    if files_per_task is None:
        files_per_task = min(_MAX_FILES_PER_TASK,
                             max(1, math.ceil(len(paths) / (nworkers * _TASKS_PER_WORKER))))
    rows, submitted = {}, []
    futures = as_completed()

    def submit(chunk):
        fut = client.submit(_read_files, chunk, request, pure=False)
        fut.flowsum_paths = chunk
        submitted.append(fut)
        futures.add(fut)

    for i in range(0, len(paths), files_per_task):
        submit(paths[i:i + files_per_task])
    try:
        for fut in futures:
            chunk = fut.flowsum_paths
            try:
                done = fut.result()
            except KilledWorker as e:
                if len(chunk) > 1:
                    # One file may be what kills its worker: read the files
                    # of the chunk one per task, so that only that one is lost.
                    for p in chunk:
                        submit([p])
                    continue
                done = [_lost_row(chunk[0], f"the worker reading it died: {e}")]
            for row in done:
                rows[row["path"]] = row
            progress.add(done)
    finally:
        # After an error (a unit set that does not exist, ...), the tasks
        # not yet run are dropped instead of read for nothing.
        for fut in submitted:
            if not fut.done():
                fut.cancel()
    return rows


def extract(paths, streams=None, stream_properties=None, blocks=None, block_results=None,
            units="SI", ref_dir=None, client=None, workers=None, files_per_task=None,
            progress=None):
    """One row per file: columns path, status, load_status, completion,
    run_status, error, then one column per value asked for, named
    "OBJECT:PROPERTY[ DETAIL] [UNIT]".

    paths: a glob (str or path; expanded and sorted) or a list of paths.
    streams, blocks: ids; stream_properties: properties of the stream table
    (TEMP, MOLEFLMX, ...) or a basis of component values (MOLE-FRAC, ...);
    block_results: block result properties. None for the properties: all of
    the object's. units, ref_dir: as in flowsum.open.
    client: a distributed.Client or a scheduler address; None starts a local
    cluster of `workers` processes (default: one per core) for the call.
    files_per_task: files one task reads (default: chosen from the count).
    progress: a counter on standard error (default: when it is a terminal).

    status: "ok"; "warnings" (loaded, with loader messages); "missing" (an
    asked-for object or value is not in the file); "failed" (not loaded,
    load_status the loader's status; or a query on the loaded file failed,
    load_status 0); "lost" (the worker died reading it, also when the file
    was retried). error holds the reason.
    """
    files = _resolve_paths(paths)
    request = {
        "streams": _as_list(streams), "stream_properties": _as_list(stream_properties),
        "blocks": _as_list(blocks), "block_results": _as_list(block_results),
        "units": units, "ref_dir": None if ref_dir is None else os.fspath(ref_dir),
    }
    order = list(dict.fromkeys(files))
    prog = _Progress(len(order), sys.stderr.isatty() if progress is None else progress)

    from distributed import Client

    own = cluster = None
    if client is None:
        own, cluster = _start_local_cluster(workers)
        client = own
    elif isinstance(client, str):
        own = client = Client(client)
    try:
        rows = _run(client, order, request, files_per_task, prog)
    finally:
        if own is not None:
            own.close()
        if cluster is not None:
            cluster.close()
    return _frame([rows[p] for p in files], request)


def _write_jsonl(df, out):
    """One JSON object per row; missing values as null, never a bare NaN."""
    records = df.astype(object).where(df.notna(), None).to_dict("records")
    for r in records:
        out.write(json.dumps(r, ensure_ascii=False, separators=(",", ":"),
                             default=lambda v: v.item()) + "\n")


def main(argv=None):
    """The flowsum-batch command: exit status 0 when every file was read,
    3 when the table was written but some rows are not "ok" (or "warnings"),
    1 when the batch could not run, 2 for wrong arguments."""
    ap = argparse.ArgumentParser(
        prog="flowsum-batch",
        description="One row per summary file: load status, run status and the values asked for.")
    ap.add_argument("paths", nargs="+", metavar="GLOB",
                    help="summary files or globs (quote a glob to let flowsum-batch expand it)")
    ap.add_argument("--stream", action="append", default=[], metavar="ID", help="a stream id (repeatable)")
    ap.add_argument("--property", action="append", default=[], metavar="NAME",
                    help="a stream property (TEMP, MOLEFLMX, ...) or basis (MOLE-FRAC, ...); default: all main rows")
    ap.add_argument("--block", action="append", default=[], metavar="ID", help="a block id (repeatable)")
    ap.add_argument("--result", action="append", default=[], metavar="NAME",
                    help="a block result property (QCALC, ...); default: all")
    ap.add_argument("--units", default="SI", help="SI, ENG, MET or OUT (as stored); default SI")
    ap.add_argument("--ref-dir", metavar="DIR", help="the folder of RCPROPNU.DAT and RCUNITS.DAT")
    ap.add_argument("--out", default="-", metavar="FILE", help="the output file (default: standard output)")
    ap.add_argument("--format", choices=("csv", "jsonl"), default="csv")
    ap.add_argument("--workers", type=int, metavar="N", help="local worker processes (default: one per core)")
    ap.add_argument("--scheduler", metavar="ADDRESS", help="a Dask scheduler to run on instead of a local cluster")
    ap.add_argument("--files-per-task", type=int, metavar="N", help=argparse.SUPPRESS)
    ap.add_argument("--progress", action=argparse.BooleanOptionalAction, default=None,
                    help="a counter on standard error (default: when it is a terminal)")
    args = ap.parse_args(argv)
    if args.workers is not None and args.workers < 1:
        ap.error("--workers must be at least 1")
    out = None
    try:
        paths = []
        for arg in args.paths:
            paths.extend(_resolve_paths(arg) if _glob.has_magic(arg) else [arg])
        # Opened first: an output that cannot be written is known before
        # the files are read, not after.
        out = sys.stdout if args.out == "-" else builtins_open(args.out, "w", newline="", encoding="utf-8")
        df = extract(paths, streams=args.stream or None, stream_properties=args.property or None,
                     blocks=args.block or None, block_results=args.result or None,
                     units=args.units, ref_dir=args.ref_dir, client=args.scheduler,
                     workers=args.workers, files_per_task=args.files_per_task,
                     progress=args.progress)
        if args.format == "csv":
            df.to_csv(out, index=False)
        else:
            _write_jsonl(df, out)
    except (OSError, Error, ValueError) as e:
        print(f"flowsum-batch: {e}", file=sys.stderr)
        return 1
    finally:
        if out is not None and out is not sys.stdout:
            out.close()
        _stop_resource_tracker()
    return 0 if df["status"].isin(("ok", "warnings")).all() else 3


def _stop_resource_tracker():
    """Wait for the helper process that Python's multiprocessing starts for
    the workers' semaphores: it would otherwise outlive the command for a
    moment, left in the caller's process group."""
    from multiprocessing import resource_tracker

    stop = getattr(resource_tracker._resource_tracker, "_stop", None)
    if stop is not None:
        stop()


if __name__ == "__main__":
    # Run through the package's module, so that the tasks the workers
    # receive name flowsum.batch and not __main__.
    from flowsum.batch import main as _main

    sys.exit(_main())
