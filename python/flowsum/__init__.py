"""Read a flowsheet simulator's summary file into pandas.

    import flowsum
    with flowsum.open("run.sum", units="SI") as s:
        print(s.stream_table(basis="MOLE-FRAC"))

The library holds one loaded file per process: open a second file only
after closing the first. Every table comes back as a new DataFrame that
stays valid after the file is closed; the Summary itself does not: any call
on a closed Summary raises UsageError. Missing values are NaN.
"""

import pandas as pd

from ._core import Error, LoadError, NotFoundError, UsageError
from ._core import Summary as _CoreSummary

__all__ = ["open", "Summary", "Error", "LoadError", "NotFoundError", "UsageError"]


def open(path, units="SI", ref_dir=None):
    """Load the summary file at path; values in units (SI, ENG, MET or OUT,
    as stored). ref_dir is the folder of RCPROPNU.DAT and RCUNITS.DAT
    (default: beside the file, then the installed data folder)."""
    return Summary(_CoreSummary.open(str(path), units, "" if ref_dir is None else str(ref_dir)))


def _frame(columns):
    """A DataFrame of (name, unit, values) columns; units as a second level
    of the column labels."""
    data = {(name, unit): values for name, unit, values in columns}
    return pd.DataFrame(data, columns=pd.MultiIndex.from_tuples(list(data), names=["column", "unit"])
                        if data else None)


class Summary:
    """A loaded summary file. Use as a context manager, or call close()."""

    def __init__(self, core):
        self._core = core

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self):
        self._core.close()

    @property
    def closed(self):
        return not self._core.is_open

    @property
    def units(self):
        return self._core.units

    @property
    def messages(self):
        """The loader's messages."""
        return list(self._core.messages)

    def run_info(self):
        """Title, version, run id, status texts and flags, completion code and
        object counts, as a dict."""
        return self._core.run_info()

    def blocks(self):
        """One row per block: id, model."""
        return pd.DataFrame(self._core.blocks(), columns=["id", "model"])

    def streams(self):
        """One row per stream: id, type, source and destination block (empty
        for a feed or a product)."""
        return pd.DataFrame(self._core.streams(), columns=["id", "type", "source", "destination"])

    def components(self):
        """One row per component: id and whether it is conventional."""
        return pd.DataFrame(self._core.components(), columns=["id", "conventional"])

    def property_tables(self):
        return list(self._core.property_tables())

    def connections(self, block):
        """The inlet and outlet streams of a block, as a dict of two lists."""
        inlets, outlets = self._core.connections(block)
        return {"inlets": list(inlets), "outlets": list(outlets)}

    def substreams(self, stream):
        return list(self._core.substreams(stream))

    def phases(self, stream):
        """Phase compositions (a DataFrame indexed by component, columns Y, X,
        X1, X2) and the phase properties by property number (a dict); None
        for a part the file does not hold."""
        has_xy, cols, has_props, props = self._core.phases(stream)
        comps = None
        if has_xy:
            data = {name: values for name, _, values in cols}
            comps = pd.DataFrame(data).set_index("component")
        return comps, (props if has_props else None)

    def stream_table(self, streams=None, basis="MASS-FLOW"):
        """The stream table: one column per stream, rows indexed by property,
        substream and component, the unit of each row in column "unit".
        Rows are the main-table rows without a component (a property with a
        basis is named "PROPERTY/BASIS"), then the component flows or
        fractions of every substream on basis, named after the basis."""
        if isinstance(streams, str):
            streams = [streams]
        prop, sub, comp, unit, ids, values = self._core.stream_table(list(streams or []), basis)
        index = pd.MultiIndex.from_arrays([prop, sub, comp],
                                          names=["property", "substream", "component"])
        df = pd.DataFrame(values, index=index, columns=pd.Index(ids, name="stream"), copy=False)
        df.insert(0, "unit", unit)
        return df

    def block_results(self, block):
        """One row per result: property, its qualifiers, value (NaN for texts),
        text, unit."""
        return pd.DataFrame({name: values for name, _, values in self._core.block_results(block)})

    def property_table(self, table):
        """One row per point; columns labelled (column, unit)."""
        return _frame(self._core.property_table(table))

    def sensitivity(self, study):
        """One row per point; the study's columns, then "status"."""
        return _frame(self._core.sensitivity(study))

    # Detail views of one block or object: a dict of DataFrames by table
    # name, in the order of the C++ API (docs/cpp-api.md names the tables).
    def _tables(self, view, id):
        return {name: _frame(cols) for name, cols in view(id)}

    def column_profiles(self, block):
        """"column N" tray profiles and "column N PROPERTY" compositions."""
        return self._tables(self._core.column_profiles, block)

    def heating_curves(self, block):
        """One table per curve, points as rows."""
        return self._tables(self._core.heating_curves, block)

    def exchanger(self, block):
        """Geometry, shells, tubes, nozzles, zones, zone profiles, ..."""
        return self._tables(self._core.exchanger, block)

    def compressor(self, block):
        """Performance by stage, stage and cooler profiles, wheels."""
        return self._tables(self._core.compressor, block)

    def reactor_profiles(self, block):
        """Profiles per substream (and a batch vessel's), points as rows."""
        return self._tables(self._core.reactor_profiles, block)

    def relief(self, id):
        """Scenario results, vent and vessel profiles."""
        return self._tables(self._core.relief, id)

    def pipeline(self, block):
        """Segments, conditions, compositions and profiles along the line."""
        return self._tables(self._core.pipeline, block)
