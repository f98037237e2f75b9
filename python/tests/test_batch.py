"""Batch extraction on a local Dask cluster: rows, statuses, errors, a
worker that dies, and the flowsum-batch command line."""
import concurrent.futures
import hashlib
import os
import pathlib
import signal
import subprocess
import sys
import time

import dask
import psutil
import pytest
from distributed import Client, LocalCluster

import flowsum
from flowsum import batch

SOURCE = pathlib.Path(os.environ.get("FLOWSUM_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
DATA = SOURCE / "data"
sys.path.insert(0, str(SOURCE / "bench"))
from batch_bench_sweep import write_sweep  # noqa: E402

ASK = dict(streams=["S2"], stream_properties=["TEMP", "MOLE-FRAC"], blocks=["H1"],
           block_results=["QCALC"], ref_dir=DATA, progress=False)


@pytest.fixture(scope="module")
def cluster():
    # As extract's own cluster, but with no retries: one killed worker is
    # enough to lose a task.
    with dask.config.set({**batch._SCHEDULER_CONFIG, "distributed.scheduler.allowed-failures": 0}):
        local = LocalCluster(n_workers=2, threads_per_worker=1, dashboard_address=":0",
                             silence_logs=40)
    client = Client(local)
    try:
        yield local, client
    finally:
        client.close()
        local.close()


@pytest.fixture(scope="module")
def runs(tmp_path_factory):
    """30 files: 27 runs of a sweep and, at 5, 15 and 25, a file that is not
    a summary file, an empty one and one cut short before its streams."""
    folder = tmp_path_factory.mktemp("runs")
    paths = write_sweep(folder, 27)
    text = paths[0].read_text()
    damaged = [("garbage", "not a summary file\n"), ("empty", ""),
               ("cut", text[:text.index(" DSET BLOCK TEMPCHG")])]
    for at, (name, body) in zip((5, 15, 25), damaged):
        p = folder / f"{name}.sum"
        p.write_text(body)
        paths.insert(at, p)
    return paths


def test_rows_of_readable_and_damaged_files(cluster, runs):
    before = {p: hashlib.sha1(p.read_bytes()).hexdigest() for p in runs}
    df = batch.extract(runs, client=cluster[1], files_per_task=4, **ASK)
    assert df["path"].tolist() == [str(p) for p in runs]
    assert df["status"].value_counts().to_dict() == {"ok": 27, "failed": 2, "missing": 1}
    failed = df[df["status"] == "failed"]
    assert failed["load_status"].tolist() == [1, 1] and failed["completion"].isna().all()
    assert failed["error"].str.contains("NO RESULTS FOUND").all()
    cut = df.iloc[25]
    assert cut["status"] == "missing" and "stream S2 not in file" in cut["error"]
    ok = df[df["status"] == "ok"]
    assert ok["S2:TEMP [K]"].is_monotonic_increasing
    assert ok["S2:TEMP [K]"].iloc[[0, -1]].tolist() == [310.0, 350.0]
    assert ok["H1:QCALC [W]"].iloc[-1] > ok["H1:QCALC [W]"].iloc[0] > 0
    assert ok["S2:MOLE-FRAC WATER"].notna().all()
    seventh = df[df["path"].str.endswith("run0007.sum")].iloc[0]
    assert seventh["run_status"] == "RUN COMPLETED WITH ERRORS" and seventh["completion"] != 0
    assert before == {p: hashlib.sha1(p.read_bytes()).hexdigest() for p in runs}


def test_missing_objects_and_bad_paths(cluster, runs, tmp_path):
    df = batch.extract(runs[:2], streams=["S2", "NOPE"], stream_properties=["TEMP", "XYZ"],
                       blocks=["H1"], block_results=["TEMP"], ref_dir=DATA, progress=False,
                       client=cluster[0].scheduler_address)
    assert (df["status"] == "missing").all()
    assert df["error"].iloc[0] == "stream NOPE not in file; stream property XYZ not in file"
    assert list(df.columns[6:]) == ["S2:TEMP [K]", "S2:XYZ", "NOPE:TEMP", "NOPE:XYZ",
                                    "H1:TEMP [K]"]
    assert df["NOPE:TEMP"].isna().all() and df["S2:TEMP [K]"].notna().all()
    with pytest.raises(flowsum.UsageError):  # misuse stops the batch, with its own error
        batch.extract(runs[:6], units="CUBITS", client=cluster[1], files_per_task=1)
    with pytest.raises(FileNotFoundError):
        batch.extract(str(tmp_path / "*.sum"), client=cluster[1])
    with pytest.raises(IsADirectoryError):
        batch.extract([runs[0], tmp_path], client=cluster[1])


def _wait_for_one_task(client, other_than=None, timeout=60):
    """The (worker, key) of the only task left processing."""
    deadline, seen = time.monotonic() + timeout, 0
    while time.monotonic() < deadline:
        busy = [(w, k) for w, keys in client.processing().items() for k in keys]
        seen = seen + 1 if len(busy) == 1 and busy[0][1] != other_than else 0
        if seen == 10:  # a second with only that task
            return busy[0]
        time.sleep(0.1)
    raise AssertionError("no single task left processing")


def test_a_killed_worker_costs_only_the_file_it_was_reading(cluster, runs, tmp_path):
    # A FIFO without a writer holds its reader in open(): the worker reading
    # it is busy for as long as the test wants, then killed.
    local, client = cluster
    fifo = tmp_path / "stuck.sum"
    os.mkfifo(fifo)
    paths = runs[:4] + [fifo] + runs[6:8]
    with concurrent.futures.ThreadPoolExecutor(1) as pool:
        job = pool.submit(batch.extract, paths, client=client, files_per_task=3, **ASK)
        try:
            key = None
            for _ in range(2):  # the chunk holding the FIFO, then the FIFO alone
                worker, key = _wait_for_one_task(client, other_than=key)
                pids = {n.worker_address: n.process.pid for n in local.workers.values()}
                os.kill(pids[worker], signal.SIGKILL)
            df = job.result(timeout=60)
        finally:
            try:  # release a reader still waiting, if any
                os.close(os.open(fifo, os.O_WRONLY | os.O_NONBLOCK))
            except OSError:
                pass
    assert df["path"].tolist() == [str(p) for p in paths]
    assert df["status"].tolist() == ["ok"] * 4 + ["lost"] + ["ok"] * 2
    assert "died" in df["error"].iloc[4]


def test_local_cluster_is_closed_and_command_line(runs, tmp_path):
    before = {p.pid for p in psutil.Process().children(recursive=True)}
    df = batch.extract(runs[:3], workers=1, **ASK)
    assert df["status"].tolist() == ["ok"] * 3
    assert {p.pid for p in psutil.Process().children(recursive=True)} <= before

    out = tmp_path / "rows.jsonl"
    folder = runs[0].parent
    cmd = [sys.executable, "-m", "flowsum.batch", str(folder / "run000*.sum"), str(runs[5]),
           "--stream", "S2", "--property", "TEMP", "--ref-dir", str(DATA),
           "--workers", "1", "--format", "jsonl", "--out", str(out)]
    done = subprocess.run(cmd, capture_output=True, text=True, timeout=120)
    assert done.returncode == 3, done.stderr  # written, but one file did not load
    lines = out.read_text().splitlines()
    assert len(lines) == 10 and '"status":"failed"' in lines[-1]
    assert '"S2:TEMP [K]":310.0' in lines[0] and '"S2:TEMP [K]":null' in lines[-1]
    bad = subprocess.run(cmd[:3] + [str(tmp_path / "none*.sum")], capture_output=True,
                         text=True, timeout=60)
    assert bad.returncode == 1 and "no file matches" in bad.stderr
