// The C++ API: every call is made through the exported routines, with the
// caller fields padded and their hidden lengths passed here and nowhere
// else above the exported layer.
#include "flowsum/summary.hpp"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "api/detail.hpp"
#include "flowsum.h"

// The installed data folder relative to the folders of the library and of
// the programs (so that an installed tree can be moved as a whole).
#ifndef FLOWSUM_DATA_FROM_LIBDIR
#define FLOWSUM_DATA_FROM_LIBDIR ""
#endif
#ifndef FLOWSUM_DATA_FROM_BINDIR
#define FLOWSUM_DATA_FROM_BINDIR ""
#endif
#ifndef FLOWSUM_DATA_INSTALL_DIR
#define FLOWSUM_DATA_INSTALL_DIR ""
#endif
#ifndef FLOWSUM_SOURCE_DATA_DIR
#define FLOWSUM_SOURCE_DATA_DIR ""
#endif

namespace flowsum {

namespace detail {

std::mutex& library_lock() {
  static std::mutex m;
  return m;
}

std::string field(std::string_view s, size_t n) {
  std::string out(n, ' ');
  s.copy(out.data(), std::min(n, s.size()));
  return out;
}
std::string_view trimmed_view(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0')) --n;
  return s.substr(0, n);
}
std::string trimmed(std::string_view s) { return std::string(trimmed_view(s)); }
std::string element(const std::string& a, size_t len, size_t i) {
  return trimmed(std::string_view(a).substr(i * len, len));
}
double value_or_nan(double v) { return std::isnan(v) || std::fabs(v) >= kMissing ? kNaN : v; }
size_t count(int64_t n) { return n > 0 ? static_cast<size_t>(n) : 0; }
std::string joined(std::initializer_list<std::string> parts) {
  std::string out;
  for (const std::string& p : parts)
    if (!p.empty()) out += (out.empty() ? "" : " ") + p;
  return out;
}

}  // namespace detail

namespace {

using namespace detail;
namespace fs = std::filesystem;

// Numbered units of the load; high numbers, so a program that also opens
// units of its own for other files keeps its usual low ones.
constexpr int64_t kSummaryUnit = 81, kScratchUnit = 82, kPropertyUnit = 83,
                  kUnitTableUnit = 84, kMessageUnit = 85;

bool g_loaded = false;

// The folder of the file this code was loaded from: the shared library, or
// the program that links the static one.
fs::path own_folder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&own_folder), &info) == 0 || !info.dli_fname) return {};
  std::error_code ec;
  fs::path self = fs::canonical(fs::path(info.dli_fname), ec);
  if (ec) self = fs::path(info.dli_fname);
  return self.parent_path();
}

fs::path reference_dir(const std::string& path, const std::string& ref_dir) {
  if (!ref_dir.empty()) return ref_dir;
  auto has_both = [](const fs::path& dir) {
    std::error_code ec;
    return fs::is_regular_file(dir / "RCPROPNU.DAT", ec) &&
           fs::is_regular_file(dir / "RCUNITS.DAT", ec);
  };
  const fs::path beside = fs::path(path).parent_path();
  std::vector<fs::path> candidates = {beside.empty() ? fs::path(".") : beside};
  if (const char* env = std::getenv("FLOWSUM_DATA_DIR"); env && *env) candidates.emplace_back(env);
  const fs::path own = own_folder();
  if (!own.empty()) {
    for (const char* rel : {FLOWSUM_DATA_FROM_LIBDIR, FLOWSUM_DATA_FROM_BINDIR})
      if (*rel) candidates.push_back((own / rel).lexically_normal());
  }
  candidates.emplace_back(FLOWSUM_DATA_INSTALL_DIR);
  candidates.emplace_back(FLOWSUM_SOURCE_DATA_DIR);
  for (const fs::path& dir : candidates)
    if (!dir.empty() && has_both(dir)) return dir;
  return {};
}

const char* load_status_text(int64_t status) {
  switch (status) {
    case 1: return "the summary file, the scratch file or a syntax error in its body";
    case 2: return "the property-number file RCPROPNU.DAT";
    case 3: return "the unit-table file RCUNITS.DAT";
    case 4: return "the work area is too small";
    default: return "load failed";
  }
}

std::vector<std::string> read_lines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    const std::string t = trimmed(line);
    if (!t.empty()) lines.push_back(t);
  }
  return lines;
}

void close_units() {
  int64_t u1 = kSummaryUnit, u2 = kScratchUnit, u3 = kPropertyUnit, u4 = kUnitTableUnit;
  tkclos_(&u1, &u2, &u3, &u4);
  int64_t err = 0;
  tkclfl_(&u1, &err);
}

// Number of main-table rows (and substreams) of a stream; false when the
// stream is not in the file (TKSINF leaves its outputs untouched then).
bool stream_sizes(const std::string& id, int64_t& nsub, int64_t& nrows, std::string* source = nullptr,
                  std::string* destination = nullptr) {
  std::string sid = field(id, kIdChars), src(kIdChars, ' '), dst(kIdChars, ' ');
  nsub = -1;
  nrows = -1;
  int64_t dum = 0;
  tksinf_(sid.data(), src.data(), dst.data(), &nsub, &nrows, &dum, kIdChars, kIdChars, kIdChars);
  if (nsub < 0 || nrows < 0) return false;
  if (source) *source = trimmed(src);
  if (destination) *destination = trimmed(dst);
  return true;
}

std::vector<Block> list_objects(void (*list)(int64_t*, char*, char*, int64_t*, size_t, size_t),
                                int64_t n) {
  constexpr size_t kTypeChars = 12;
  std::vector<Block> out;
  if (n < 1) return out;
  std::string ids(count(n) * kIdChars, ' '), types(count(n) * kTypeChars, ' ');
  int64_t ierr = 1;
  list(&n, ids.data(), types.data(), &ierr, kIdChars, kTypeChars);
  out.reserve(count(n));
  for (size_t i = 0; i < count(n); ++i)
    out.push_back({element(ids, kIdChars, i), element(types, kTypeChars, i)});
  return out;
}

RunInfo read_run_info() {
  RunInfo r;
  std::string title(64, ' '), version(20, ' '), runid(8, ' '), s1(80, ' '), s2(80, ' ');
  tktitl_(title.data(), title.size());
  int64_t ninfo = 0;
  tkinfo_(version.data(), runid.data(), s1.data(), s2.data(), &r.completion, r.flags.data(),
          &r.blocks, &r.streams, &r.property_tables, &ninfo, version.size(), runid.size(),
          s1.size(), s2.size());
  r.title = trimmed(title);
  r.version = trimmed(version);
  r.run_id = trimmed(runid);
  r.status1 = trimmed(s1);
  r.status2 = trimmed(s2);
  return r;
}

}  // namespace

using namespace detail;

// ---- Table ------------------------------------------------------------------

size_t Table::find(std::string_view name) const {
  for (size_t i = 0; i < columns.size(); ++i)
    if (columns[i].name == name) return i;
  return columns.size();
}

const Column& Table::column(std::string_view name) const {
  const size_t i = find(name);
  if (i == columns.size()) throw NotFoundError("no column " + std::string(name));
  return columns[i];
}

Column& Table::add_numbers(std::string name, std::string unit) {
  Column& c = columns.emplace_back();
  c.name = std::move(name);
  c.unit = std::move(unit);
  return c;
}

Column& Table::add_texts(std::string name) {
  Column& c = columns.emplace_back();
  c.name = std::move(name);
  c.is_text = true;
  return c;
}

// ---- Summary ------------------------------------------------------------------

Summary Summary::open(const std::string& path, const OpenOptions& options) {
  std::lock_guard lock(library_lock());
  if (g_loaded)
    throw UsageError("a summary file is already open; close it before opening " + path);
  std::string units = options.units;
  for (char& ch : units) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (units != "SI" && units != "ENG" && units != "MET" && units != "OUT")
    throw UsageError("unknown unit set " + options.units + " (SI, ENG, MET or OUT)");

  int64_t unit = kSummaryUnit, recl = 0, ierr = 0;
  const std::string name = path.empty() ? std::string(" ") : path;
  const std::string access = field("SEQUENTIAL", 16), form = field("FORMATTED", 16),
                    old = field("OLD", 8), read = field("READ", 8), write = field("WRITE", 8);
  tkopen_(&unit, name.data(), access.data(), form.data(), &recl, old.data(), read.data(), &ierr,
          name.size(), access.size(), form.size(), old.size(), read.size());
  if (ierr != 0)
    throw LoadError("cannot open " + path + " (status " + std::to_string(ierr) + ")", 1);

  // The loader's messages go to a file of their own, read back after the load.
  std::error_code ec;
  fs::path tmp = fs::temp_directory_path(ec);
  if (ec) tmp = "/tmp";
  std::string message_path = (tmp / "flowsum-messages-XXXXXX").string();
  const int fd = mkstemp(message_path.data());
  int64_t msg = 0;
  if (fd >= 0) {
    ::close(fd);
    int64_t mu = kMessageUnit, merr = 0;
    tkopen_(&mu, message_path.data(), access.data(), form.data(), &recl, old.data(), write.data(),
            &merr, message_path.size(), access.size(), form.size(), old.size(), write.size());
    if (merr == 0) msg = kMessageUnit;
  }

  const fs::path refs = reference_dir(path, options.ref_dir);
  const std::string prp = refs.empty() ? " " : (refs / "RCPROPNU.DAT").string();
  const std::string unt = refs.empty() ? " " : (refs / "RCUNITS.DAT").string();
  const std::string unitset = field(units, 4);
  int64_t iscr = kScratchUnit, isum = kSummaryUnit, iprp = kPropertyUnit, iunt = kUnitTableUnit;
  double rmiss = kMissing;
  ierr = 0;
  tkini2_(unitset.data(), &iscr, &isum, &iprp, prp.data(), &iunt, unt.data(), &rmiss, &ierr, &msg,
          unitset.size(), prp.size(), unt.size());

  std::vector<std::string> messages;
  if (fd >= 0) {
    int64_t mu = kMessageUnit, merr = 0;
    tkclfl_(&mu, &merr);
    messages = read_lines(message_path);
    std::remove(message_path.c_str());
  }
  if (ierr != 0) {
    close_units();
    std::string what = "cannot load " + path + ": " + load_status_text(ierr);
    if (!messages.empty()) {
      const std::string& last = messages.back();
      what += " (" + last.substr(std::min(last.find_first_not_of(' '), last.size())) + ")";
    }
    throw LoadError(what, ierr, std::move(messages));
  }
  Summary s;
  s.open_ = true;
  s.units_ = units;
  s.messages_ = std::move(messages);
  g_loaded = true;
  return s;
}

Summary::Summary(Summary&& other) noexcept
    : open_(other.open_), units_(std::move(other.units_)), messages_(std::move(other.messages_)) {
  other.open_ = false;
}

Summary& Summary::operator=(Summary&& other) noexcept {
  if (this != &other) {
    close();
    open_ = other.open_;
    units_ = std::move(other.units_);
    messages_ = std::move(other.messages_);
    other.open_ = false;
  }
  return *this;
}

Summary::~Summary() { close(); }

void Summary::close() noexcept {
  if (!open_) return;
  std::lock_guard lock(library_lock());
  close_units();
  open_ = false;
  g_loaded = false;
}

void Summary::check_open() const {
  if (!open_) throw UsageError("the summary file is closed");
}

RunInfo Summary::run_info() const {
  FLOWSUM_ENTER();
  return read_run_info();
}

std::vector<Block> Summary::blocks() const {
  FLOWSUM_ENTER();
  return list_objects(tkbids_, read_run_info().blocks);
}

std::vector<Stream> Summary::streams() const {
  FLOWSUM_ENTER();
  std::vector<Stream> out;
  for (Block& b : list_objects(tksids_, read_run_info().streams)) {
    Stream s{std::move(b.id), std::move(b.model), {}, {}};
    int64_t nsub = 0, nrows = 0;
    stream_sizes(s.id, nsub, nrows, &s.source, &s.destination);
    out.push_back(std::move(s));
  }
  return out;
}

std::vector<Component> Summary::components() const {
  FLOWSUM_ENTER();
  int64_t ncc = 0, nnc = 0;
  tkcomp_(&ncc, &nnc);
  std::string conv(std::max<size_t>(count(ncc), 1) * 8, ' '),
      nonconv(std::max<size_t>(count(nnc), 1) * 8, ' ');
  tkcids_(&ncc, &nnc, conv.data(), nonconv.data(), 8, 8);
  std::vector<Component> out;
  for (size_t i = 0; i < count(ncc); ++i) out.push_back({element(conv, 8, i), true});
  for (size_t i = 0; i < count(nnc); ++i) out.push_back({element(nonconv, 8, i), false});
  return out;
}

std::vector<std::string> Summary::property_tables() const {
  FLOWSUM_ENTER();
  std::vector<std::string> out;
  const int64_t n = read_run_info().property_tables;
  for (int64_t k = 1; k <= n; ++k) {
    std::string id(kIdChars, ' '), type(12, ' ');
    int64_t kk = k, ierr = 0;
    tknppt_(&kk, id.data(), type.data(), &ierr, kIdChars, type.size());
    if (!trimmed(id).empty()) out.push_back(trimmed(id));
  }
  return out;
}

Connections Summary::connections(const std::string& block) const {
  FLOWSUM_ENTER();
  constexpr size_t kTypeChars = 12;
  const std::string bid = field(block, kIdChars);
  int64_t nin = 0, nout = 0, status = 0;
  tkcntn_(bid.data(), &nin, &nout, &status, kIdChars);
  const size_t ni = std::max<size_t>(count(nin), 1), no = std::max<size_t>(count(nout), 1);
  std::string ii(ni * kIdChars, ' '), it(ni * kTypeChars, ' '), oi(no * kIdChars, ' '),
      ot(no * kTypeChars, ' ');
  int64_t ierr = 1;
  tkcnct_(bid.data(), &nin, &nout, ii.data(), it.data(), oi.data(), ot.data(), &ierr, kIdChars,
          kIdChars, kTypeChars, kIdChars, kTypeChars);
  if (ierr == 1) throw NotFoundError("no block " + block);
  Connections c;
  for (size_t i = 0; i < count(nin); ++i) c.inlets.push_back(element(ii, kIdChars, i));
  for (size_t i = 0; i < count(nout); ++i) c.outlets.push_back(element(oi, kIdChars, i));
  return c;
}

std::vector<std::string> Summary::substreams(const std::string& stream) const {
  FLOWSUM_ENTER();
  int64_t nsub = 0, nrows = 0;
  if (!stream_sizes(stream, nsub, nrows)) throw NotFoundError("no stream " + stream);
  const std::string sid = field(stream, kIdChars);
  std::vector<std::string> out;
  for (int64_t k = 1; k <= nsub; ++k) {
    std::string name(8, ' ');
    int64_t kk = k, ncomp = 0, ntotal = 0;
    tknsub_(sid.data(), &kk, name.data(), &ncomp, &ntotal, kIdChars, name.size());
    out.push_back(trimmed(name));
  }
  return out;
}

StreamPhases Summary::phases(const std::string& stream) const {
  FLOWSUM_ENTER();
  int64_t nsub = 0, nrows = 0;
  if (!stream_sizes(stream, nsub, nrows)) throw NotFoundError("no stream " + stream);
  int64_t ncc = 0, nnc = 0;
  tkcomp_(&ncc, &nnc);
  const size_t n = std::max<size_t>(count(ncc), 1);
  std::vector<double> y(n, kMissing), x(n, kMissing), x1(n, kMissing), x2(n, kMissing);
  StreamPhases p;
  p.property_numbers = {64, 63, 94, 95, 88, 61, 89, 90, 991, 992, 993, 994};
  std::array<double, 12> v;
  v.fill(kMissing);
  const std::string sid = field(stream, kIdChars);
  int64_t nn = static_cast<int64_t>(n), fphas = 0, fxy = 0;
  tksphs_(sid.data(), &nn, &fphas, &fxy, y.data(), x.data(), x1.data(), x2.data(), &v[0], &v[1],
          &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], kIdChars);
  p.has_compositions = fxy != 0;
  p.has_properties = fphas != 0;
  for (size_t i = 0; i < 12; ++i) p.properties[i] = value_or_nan(v[i]);
  p.compositions.columns.reserve(5);
  Column& ids = p.compositions.add_texts("component");
  std::string conv(n * 8, ' '), nonconv(8, ' ');
  int64_t none = 0;
  tkcids_(&ncc, &none, conv.data(), nonconv.data(), 8, 8);
  for (size_t i = 0; i < count(ncc); ++i) ids.texts.push_back(element(conv, 8, i));
  const std::pair<const char*, std::vector<double>*> comps[] = {{"Y", &y}, {"X", &x}, {"X1", &x1},
                                                                {"X2", &x2}};
  for (const auto& [name, values] : comps) {
    Column& c = p.compositions.add_numbers(name);
    for (size_t i = 0; i < count(ncc); ++i) c.values.push_back(value_or_nan((*values)[i]));
  }
  return p;
}

Table Summary::stream_table(const std::vector<std::string>& chosen, const std::string& basis) const {
  FLOWSUM_ENTER();
  // TKSUBS reads any other text as "MASS-FLOW"; the rows are named after the
  // basis, so a mistyped one would label mass flows with it.
  static constexpr std::string_view kBases[] = {"MASS-FLOW", "MOLE-FLOW", "STDVOL-FLOW",
                                                "MASS-FRAC", "MOLE-FRAC", "STDVOL-FRAC"};
  if (std::find(std::begin(kBases), std::end(kBases), basis) == std::end(kBases))
    throw UsageError("unknown basis " + basis +
                     " (MASS-FLOW, MOLE-FLOW, STDVOL-FLOW, MASS-FRAC, MOLE-FRAC or STDVOL-FRAC)");
  std::vector<std::string> ids = chosen;
  if (ids.empty())
    for (Block& b : list_objects(tksids_, read_run_info().streams)) ids.push_back(std::move(b.id));

  Table t;
  t.columns.reserve(4 + ids.size());  // the references below stay valid
  Column& property = t.add_texts("property");
  Column& substream = t.add_texts("substream");
  Column& component = t.add_texts("component");
  Column& unit = t.add_texts("unit");
  std::vector<std::vector<double>> columns;
  columns.reserve(ids.size());

  // Rows are keyed by property, substream and component; a row first seen
  // in a later stream is added with NaN for the streams before it. Streams
  // mostly list the same rows in the same order, so the row at the same
  // place in the stream before is tried first and the key is hashed only
  // when it differs.
  std::unordered_map<std::string, size_t> row_of;
  std::vector<size_t> order, previous_order;
  std::string key;
  auto row = [&](std::string_view p, std::string_view s, std::string_view c,
                 std::string_view label) -> size_t {
    const size_t at = order.size();
    if (at < previous_order.size()) {
      const size_t r = previous_order[at];
      if (property.texts[r] == p && substream.texts[r] == s && component.texts[r] == c) {
        if (unit.texts[r].empty()) unit.texts[r] = label;
        order.push_back(r);
        return r;
      }
    }
    key.assign(p).append(1, '\x1f').append(s).append(1, '\x1f').append(c);
    auto it = row_of.find(key);
    size_t r;
    if (it == row_of.end()) {
      r = property.texts.size();
      row_of.emplace(key, r);
      property.texts.emplace_back(p);
      substream.texts.emplace_back(s);
      component.texts.emplace_back(c);
      unit.texts.emplace_back(label);
    } else {
      r = it->second;
      if (unit.texts[r].empty()) unit.texts[r] = label;
    }
    order.push_back(r);
    return r;
  };
  // A key that comes twice in one stream shows its first row.
  std::vector<char> filled;
  auto put = [&](std::vector<double>& col, size_t r, double v) {
    if (col.size() <= r) col.resize(r + 1, kNaN);
    if (filled.size() <= r) filled.resize(r + 1, 0);
    if (filled[r]) return;
    filled[r] = 1;
    col[r] = value_or_nan(v);
  };
  auto view = [](const std::string& a, size_t len, size_t i, size_t from = 0, size_t n = 0) {
    return trimmed_view(std::string_view(a).substr(i * len + from, n ? n : len));
  };

  constexpr size_t kRow = 64, kName = 12, kLabel = 16, kComp = 8;
  const std::string b = field(basis, 12);
  const std::string_view basis_name = trimmed_view(b);
  int64_t ncc = 0, nnc = 0;
  tkcomp_(&ncc, &nnc);
  const size_t ncomp_max = std::max<size_t>(count(ncc) + count(nnc), 1);
  std::string rows, names, labels, comp_ids, tnames, tlabels, sub(8, ' '), label(kLabel, ' '), pb;
  std::vector<double> values, comp_values, tvalues;
  for (const std::string& id : ids) {
    int64_t nsub = 0, nrows = 0;
    if (!stream_sizes(id, nsub, nrows)) throw NotFoundError("no stream " + id);
    std::vector<double>& col = columns.emplace_back();
    col.reserve(property.texts.size());
    std::fill(filled.begin(), filled.end(), 0);
    previous_order.swap(order);
    order.clear();
    const std::string sid = field(id, kIdChars);
    const size_t nr = count(nrows);
    rows.assign(std::max<size_t>(nr, 1) * kRow, ' ');
    names.assign(std::max<size_t>(nr, 1) * kName, ' ');
    labels.assign(std::max<size_t>(nr, 1) * kLabel, ' ');
    values.assign(std::max<size_t>(nr, 1), kMissing);
    int64_t dum = 0, nout = 0;
    tkstrm_(sid.data(), &dum, rows.data(), values.data(), names.data(), labels.data(), &nout,
            kIdChars, kRow, kName, kLabel);
    for (size_t i = 0; i < nr; ++i) {
      if (!view(rows, kRow, i, 32, 16).empty()) continue;  // component rows come below
      std::string_view p = view(rows, kRow, i, 0, 16);
      const std::string_view rb = view(rows, kRow, i, 48, 16);
      if (!rb.empty()) p = pb.assign(p).append(1, '/').append(rb);
      std::string_view s = view(rows, kRow, i, 16, 16);
      if (s.empty()) s = "MIXED";
      put(col, row(p, s, {}, view(labels, kLabel, i)), values[i]);
    }
    for (int64_t k = 1; k <= nsub; ++k) {
      int64_t kk = k, nc = 0, ntotal = 0;
      tknsub_(sid.data(), &kk, sub.data(), &nc, &ntotal, kIdChars, sub.size());
      // A substream without a name (its rows have no total row) cannot be
      // asked for: TKSUBS would take the blank for "MIXED".
      if (nc < 1 || trimmed_view(sub).empty()) continue;
      const size_t n = std::min(count(nc), ncomp_max);
      comp_ids.assign(n * kComp, ' ');
      comp_values.assign(n, kMissing);
      // The totals are not kept; their arrays only grow, sized by the
      // substream's total count and never below the main table's rows (a
      // total is one of them), so no file makes TKSUBS write past them.
      const size_t nt = std::max({count(ntotal), nr, size_t{1}});
      if (tvalues.size() < nt) {
        tnames.assign(nt * kName, ' ');
        tlabels.assign(nt * kLabel, ' ');
        tvalues.assign(nt, kMissing);
      }
      label.assign(kLabel, ' ');
      int64_t nn = static_cast<int64_t>(n);
      tksubs_(sid.data(), sub.data(), b.data(), &nn, comp_ids.data(), comp_values.data(),
              label.data(), &dum, tnames.data(), tvalues.data(), tlabels.data(), kIdChars,
              sub.size(), b.size(), kComp, kLabel, kName, kLabel);
      const std::string_view s = trimmed_view(sub), lab = trimmed_view(label);
      for (size_t i = 0; i < n; ++i) {
        const std::string_view c = view(comp_ids, kComp, i);
        if (c.empty()) continue;
        put(col, row(basis_name, s, c, lab), comp_values[i]);
      }
    }
  }
  const size_t nrows = property.texts.size();
  for (size_t j = 0; j < ids.size(); ++j) {
    Column& c = t.add_numbers(ids[j]);
    c.values = std::move(columns[j]);
    c.values.resize(nrows, kNaN);
  }
  return t;
}

Table Summary::block_results(const std::string& block) const {
  FLOWSUM_ENTER();
  const std::string bid = field(block, kIdChars);
  int64_t nres = 0, ndesc = 0, status = 0;
  tknres_(bid.data(), &nres, &ndesc, &status, kIdChars);
  if (status == 1) throw NotFoundError("no block " + block);
  constexpr size_t kName = 12, kQual = 8, kText = 8, kLabel = 16;
  const size_t n = count(nres), nd = count(ndesc), room = std::max<size_t>(n, 1);
  std::string pnames(room * kName, ' '), quals(std::max<size_t>(n * nd, 1) * kQual, ' '),
      tvalues(room * kText, ' '), utypes(room * kName, ' '), ulabels(room * kLabel, ' ');
  std::vector<int64_t> vtypes(room, 0), ivalues(room, 0);
  std::vector<double> rvalues(room, kMissing);
  int64_t d1 = 0, d2 = 0;
  if (n > 0)
    tkbres_(bid.data(), &d1, &d2, pnames.data(), quals.data(), vtypes.data(), ivalues.data(),
            tvalues.data(), rvalues.data(), utypes.data(), ulabels.data(), kIdChars, kName, kQual,
            kText, kName, kLabel);
  Table t;
  t.columns.reserve(nd + 4);  // the references below stay valid
  Column& names = t.add_texts("property");
  for (size_t j = 0; j < n; ++j) names.texts.push_back(element(pnames, kName, j));
  for (size_t q = 0; q < nd; ++q) {
    Column& c = t.add_texts("qualifier " + std::to_string(q + 1));
    for (size_t j = 0; j < n; ++j) c.texts.push_back(element(quals, kQual, j * nd + q));
  }
  Column& value = t.add_numbers("value");
  Column& text = t.add_texts("text");
  Column& unit = t.add_texts("unit");
  for (size_t j = 0; j < n; ++j) {
    value.values.push_back(vtypes[j] == 1   ? static_cast<double>(ivalues[j])
                           : vtypes[j] == 2 ? value_or_nan(rvalues[j])
                                            : kNaN);
    text.texts.push_back(vtypes[j] == 3 ? element(tvalues, kText, j) : std::string());
    unit.texts.push_back(element(ulabels, kLabel, j));
  }
  return t;
}

Table Summary::property_table(const std::string& id) const {
  FLOWSUM_ENTER();
  const std::string tid = field(id, kIdChars);
  int64_t np = 0, ncol = 0, status = 0;
  tksppt_(tid.data(), &np, &ncol, &status, kIdChars);
  if (status == 1) throw NotFoundError("no property table " + id);
  Table t;
  if (np < 1) return t;
  for (int64_t k = 1; k <= ncol; ++k) {
    std::string pname(12, ' '), sub(8, ' '), phase(8, ' '), comp(8, ' '), basis(8, ' '),
        fb(8, ' '), utype(12, ' '), ulabel(16, ' ');
    std::vector<double> v(count(np), kMissing);
    int64_t kk = k, ierr = 0;
    tknppr_(tid.data(), &np, &kk, pname.data(), sub.data(), phase.data(), comp.data(),
            basis.data(), fb.data(), v.data(), utype.data(), ulabel.data(), &ierr, kIdChars,
            pname.size(), sub.size(), phase.size(), comp.size(), basis.size(), fb.size(),
            utype.size(), ulabel.size());
    if (ierr != 0) continue;
    Column& c = t.add_numbers(joined({trimmed(pname), trimmed(sub), trimmed(phase), trimmed(comp),
                                      trimmed(basis)}),
                              trimmed(ulabel));
    for (double x : v) c.values.push_back(value_or_nan(x));
  }
  return t;
}

Table Summary::sensitivity(const std::string& study) const {
  FLOWSUM_ENTER();
  const std::string sid = field(study, kIdChars);
  int64_t np = 0, ncol = 0, status = 0;
  tknsen_(sid.data(), &np, &ncol, &status, kIdChars);
  if (status == 1) throw NotFoundError("no sensitivity study " + study);
  const size_t p = count(np), c = count(ncol);
  std::string desc(std::max<size_t>(6 * c, 1) * 8, ' ');
  std::vector<double> matrix(std::max<size_t>(p * c, 1), kMissing);
  std::vector<int64_t> pstatus(std::max<size_t>(p, 1), std::numeric_limits<int64_t>::min());
  int64_t ld = std::max<int64_t>(np, 1), dum = 0, ierr = 0;
  tksens_(sid.data(), &ld, &dum, desc.data(), matrix.data(), pstatus.data(), &ierr, kIdChars, 8);
  if (ierr != 0) throw NotFoundError("sensitivity study " + study + " could not be read");
  Table t;
  for (size_t k = 0; k < c; ++k) {
    std::string name;
    for (size_t d = 0; d < 6; ++d) {
      const std::string part = element(desc, 8, 6 * k + d);
      if (!part.empty()) name += (name.empty() ? "" : " ") + part;
    }
    Column& col = t.add_numbers(name.empty() ? "column " + std::to_string(k + 1) : name);
    for (size_t i = 0; i < p; ++i) col.values.push_back(value_or_nan(matrix[k * p + i]));
  }
  Column& st = t.add_numbers("status");
  for (size_t i = 0; i < p; ++i)
    st.values.push_back(pstatus[i] == std::numeric_limits<int64_t>::min()
                            ? kNaN
                            : static_cast<double>(pstatus[i]));
  return t;
}

std::string find_reference_dir(const std::string& summary_path, const std::string& ref_dir) {
  return reference_dir(summary_path, ref_dir).string();
}

}  // namespace flowsum
