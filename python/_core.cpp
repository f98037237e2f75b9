// The compiled part of the Python package: the C++ API's Summary and its
// tables handed to Python as lists and numpy arrays. DataFrames are built
// in Python (flowsum/__init__.py); pandas never enters this module.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstring>

#include "flowsum/summary.hpp"

namespace py = pybind11;

namespace {

// The Python classes of the errors; created once, kept for the process.
py::handle g_error, g_load_error, g_not_found, g_usage;

py::array_t<double> numbers(const std::vector<double>& v) {
  py::array_t<double> a(static_cast<py::ssize_t>(v.size()));
  if (!v.empty()) std::memcpy(a.mutable_data(), v.data(), v.size() * sizeof(double));
  return a;
}

// A table as a list of (name, unit, values): values a list of texts or a
// numpy array of floats (NaN missing).
py::list columns(const flowsum::Table& t) {
  py::list out;
  for (const flowsum::Column& c : t.columns) {
    if (c.is_text)
      out.append(py::make_tuple(c.name, c.unit, py::cast(c.texts)));
    else
      out.append(py::make_tuple(c.name, c.unit, numbers(c.values)));
  }
  return out;
}

// A detail view of a block or object: a list of (table name, columns).
template <flowsum::Tables (flowsum::Summary::*View)(const std::string&) const>
py::list named_tables(const flowsum::Summary& s, const std::string& id) {
  py::list out;
  for (const flowsum::NamedTable& t : (s.*View)(id)) out.append(py::make_tuple(t.name, columns(t.table)));
  return out;
}

// The stream table: its four key columns as lists, the stream ids, and the
// values as one (rows x streams) array, each stream's values contiguous.
py::tuple stream_table(const flowsum::Summary& s, const std::vector<std::string>& ids,
                       const std::string& basis) {
  // The table of a large file takes a while: other Python threads run
  // meanwhile (the library's own lock keeps its calls one at a time).
  flowsum::Table t;
  {
    py::gil_scoped_release unlocked;
    t = s.stream_table(ids, basis);
  }
  const size_t rows = t.rows(), nkeys = 4, ncols = t.columns.size() - nkeys;
  py::array_t<double, py::array::f_style> matrix({rows, ncols});
  double* out = matrix.mutable_data();
  std::vector<std::string> names;
  names.reserve(ncols);
  for (size_t j = 0; j < ncols; ++j) {
    const flowsum::Column& c = t.columns[nkeys + j];
    if (rows) std::memcpy(out + j * rows, c.values.data(), rows * sizeof(double));
    names.push_back(c.name);
  }
  return py::make_tuple(py::cast(t.columns[0].texts), py::cast(t.columns[1].texts),
                        py::cast(t.columns[2].texts), py::cast(t.columns[3].texts),
                        py::cast(names), matrix);
}

}  // namespace

PYBIND11_MODULE(_core, m) {
  m.doc() = "flowsum's compiled core; use the flowsum package instead.";

  g_error = py::exception<flowsum::Error>(m, "Error", PyExc_Exception).release();
  g_load_error = py::exception<flowsum::LoadError>(
                     m, "LoadError", py::make_tuple(g_error, py::handle(PyExc_OSError)))
                     .release();
  g_not_found = py::exception<flowsum::NotFoundError>(
                    m, "NotFoundError", py::make_tuple(g_error, py::handle(PyExc_KeyError)))
                    .release();
  g_usage = py::exception<flowsum::UsageError>(m, "UsageError", g_error).release();
  // Every error carries the loader's status and messages as attributes.
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const flowsum::Error& e) {
      py::handle type = dynamic_cast<const flowsum::LoadError*>(&e)       ? g_load_error
                        : dynamic_cast<const flowsum::NotFoundError*>(&e) ? g_not_found
                        : dynamic_cast<const flowsum::UsageError*>(&e)    ? g_usage
                                                                          : g_error;
      py::object inst = type(e.what());
      inst.attr("status") = e.status();
      inst.attr("messages") = py::cast(e.messages());
      PyErr_SetObject(type.ptr(), inst.ptr());
    }
  });

  py::class_<flowsum::Summary>(m, "Summary")
      .def_static(
          "open",
          [](const std::string& path, const std::string& units, const std::string& ref_dir) {
            return flowsum::Summary::open(path, {units, ref_dir});
          },
          py::arg("path"), py::arg("units") = "SI", py::arg("ref_dir") = "")
      .def("close", &flowsum::Summary::close)
      .def_property_readonly("is_open", &flowsum::Summary::is_open)
      .def_property_readonly("units", &flowsum::Summary::units)
      .def_property_readonly("messages", &flowsum::Summary::messages)
      .def("run_info",
           [](const flowsum::Summary& s) {
             const flowsum::RunInfo r = s.run_info();
             py::dict d;
             d["title"] = r.title;
             d["version"] = r.version;
             d["run_id"] = r.run_id;
             d["status1"] = r.status1;
             d["status2"] = r.status2;
             d["completion"] = r.completion;
             d["flags"] = py::cast(std::vector<int64_t>(r.flags.begin(), r.flags.end()));
             d["blocks"] = r.blocks;
             d["streams"] = r.streams;
             d["property_tables"] = r.property_tables;
             return d;
           })
      .def("blocks",
           [](const flowsum::Summary& s) {
             py::list out;
             for (const flowsum::Block& b : s.blocks()) out.append(py::make_tuple(b.id, b.model));
             return out;
           })
      .def("streams",
           [](const flowsum::Summary& s) {
             py::list out;
             for (const flowsum::Stream& x : s.streams())
               out.append(py::make_tuple(x.id, x.type, x.source, x.destination));
             return out;
           })
      .def("components",
           [](const flowsum::Summary& s) {
             py::list out;
             for (const flowsum::Component& c : s.components())
               out.append(py::make_tuple(c.id, c.conventional));
             return out;
           })
      .def("property_tables", &flowsum::Summary::property_tables)
      .def("connections",
           [](const flowsum::Summary& s, const std::string& block) {
             const flowsum::Connections c = s.connections(block);
             return py::make_tuple(c.inlets, c.outlets);
           })
      .def("substreams", &flowsum::Summary::substreams)
      .def("phases",
           [](const flowsum::Summary& s, const std::string& stream) {
             const flowsum::StreamPhases p = s.phases(stream);
             py::dict props;
             for (size_t i = 0; i < p.properties.size(); ++i)
               props[py::int_(p.property_numbers[i])] = p.properties[i];
             return py::make_tuple(p.has_compositions, columns(p.compositions), p.has_properties,
                                   props);
           })
      .def("stream_table", &stream_table, py::arg("streams"), py::arg("basis"))
      .def("block_results",
           [](const flowsum::Summary& s, const std::string& id) { return columns(s.block_results(id)); })
      .def("property_table",
           [](const flowsum::Summary& s, const std::string& id) { return columns(s.property_table(id)); })
      .def("sensitivity",
           [](const flowsum::Summary& s, const std::string& id) { return columns(s.sensitivity(id)); })
      .def("column_profiles", &named_tables<&flowsum::Summary::column_profiles>)
      .def("heating_curves", &named_tables<&flowsum::Summary::heating_curves>)
      .def("exchanger", &named_tables<&flowsum::Summary::exchanger>)
      .def("compressor", &named_tables<&flowsum::Summary::compressor>)
      .def("reactor_profiles", &named_tables<&flowsum::Summary::reactor_profiles>)
      .def("relief", &named_tables<&flowsum::Summary::relief>)
      .def("pipeline", &named_tables<&flowsum::Summary::pipeline>);
}
