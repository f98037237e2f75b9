"""The Python package: errors, object lifetime and the DataFrames it builds."""
import os
import pathlib

import numpy as np
import pandas as pd
import pytest

import flowsum

SOURCE = pathlib.Path(os.environ.get("FLOWSUM_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
EXAMPLE = SOURCE / "examples" / "flowsheet.sum"
DATA = SOURCE / "data"


@pytest.fixture
def summary():
    with flowsum.open(EXAMPLE, units="SI", ref_dir=DATA) as s:
        yield s


def test_errors_are_typed_and_carry_the_load_status(tmp_path):
    with pytest.raises(flowsum.LoadError) as e:
        flowsum.open(tmp_path / "missing.sum")
    assert isinstance(e.value, OSError) and e.value.status == 1
    bad = tmp_path / "bad.sum"
    bad.write_text("not a summary file\n")
    with pytest.raises(flowsum.LoadError) as e:
        flowsum.open(bad, ref_dir=DATA)
    assert e.value.status == 1 and e.value.messages  # the loader's own lines
    with pytest.raises(flowsum.UsageError):
        flowsum.open(EXAMPLE, units="CUBITS")


def test_objects_are_valid_only_while_loaded(summary):
    with pytest.raises(flowsum.UsageError):
        flowsum.open(EXAMPLE, ref_dir=DATA)  # one loaded file per process
    with pytest.raises(KeyError):
        summary.block_results("NOPE")
    with pytest.raises(flowsum.NotFoundError):
        summary.stream_table(["S1", "NOPE"])
    table = summary.stream_table()
    summary.close()
    assert summary.closed
    with pytest.raises(flowsum.UsageError):
        summary.blocks()
    assert table.shape[1] == 9  # a DataFrame outlives its file
    with flowsum.open(EXAMPLE, ref_dir=DATA) as again:
        assert len(again.streams()) == 8


def test_stream_table_frame(summary):
    df = summary.stream_table(basis="MOLE-FRAC")
    assert list(df.columns) == ["unit", "S1", "S2", "VAP", "LIQ", "FEED1", "FEED2", "DIST", "BOTT"]
    assert df.index.names == ["property", "substream", "component"]
    assert df.loc[("TEMP", "MIXED", ""), "unit"] == "K"
    assert df.loc[("TEMP", "MIXED", ""), "S1"] == pytest.approx(296.4)
    fractions = df.xs(("MOLE-FRAC", "MIXED"), level=("property", "substream"))
    assert fractions.drop(columns="unit").sum().to_numpy() == pytest.approx(np.ones(8), abs=1e-5)
    one = summary.stream_table("FEED1", basis="MOLE-FRAC")
    assert list(one.columns) == ["unit", "FEED1"]
    pd.testing.assert_series_equal(one["FEED1"], df["FEED1"].loc[one.index])


def test_objects_and_results_frames(summary):
    info = summary.run_info()
    assert info["run_id"] == "EXAMPLE1"
    blocks = summary.blocks()
    assert list(blocks.columns) == ["id", "model"] and len(blocks) == info["blocks"]
    assert {"C1", "F1", "H1", "M1"} <= set(blocks["id"]) and blocks["id"].is_monotonic_increasing
    streams = summary.streams().set_index("id")
    assert streams.loc["FEED1", "source"] == "" and streams.loc["LIQ", "destination"] == "C1"
    assert summary.connections("M1") == {"inlets": ["FEED1", "FEED2"], "outlets": ["S1"]}
    results = summary.block_results("H1")
    assert results.columns[0] == "property" and list(results.columns[-3:]) == ["value", "text", "unit"]
    assert len(results) > 0
    assert results["value"].dtype == np.float64
    numeric = results[results["text"] == ""]
    assert not numeric["value"].isna().all()


def test_detail_views_are_frames_by_table_name(summary):
    tables = summary.column_profiles("C1")
    assert list(tables) == ["column 1", "column 1 X"]
    assert tables["column 1"][("TEMP", "K")].iloc[-1] == pytest.approx(380.0)
    assert list(summary.pipeline("L1"))[0] == "segments"
    with pytest.raises(flowsum.NotFoundError):
        summary.relief("NOPE")
