// The C++ API's detail views of single blocks and objects: column, heating
// curve, exchanger, compressor, reactor, relief and pipeline tables, read
// through the exported routines with the arrays sized from their counts.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "api/detail.hpp"
#include "flowsum.h"
#include "flowsum/summary.hpp"

namespace flowsum {

using namespace detail;

namespace {

// Counts from a damaged file beyond this are not read: no simulator writes
// a profile of more values, and sizing arrays from such a count would only
// cost memory.
constexpr int64_t kMaxValues = 1'000'000;
bool sane(int64_t n) { return n >= 0 && n <= kMaxValues; }
bool sane(int64_t a, int64_t b) { return sane(a) && sane(b) && (b == 0 || a <= kMaxValues / b); }

// Widths of the caller fields: names, component ids, unit labels, quantity
// names, substreams; text values get room for the longest the file holds.
constexpr size_t kName = 12, kComp = 8, kLabel = 16, kQual = 12, kSub = 8, kText = 32;

// A numeric column of values, the missing-value marker as NaN.
void add_values(Table& t, std::string name, std::string unit, const double* v, size_t n,
                size_t stride = 1) {
  Column& c = t.add_numbers(std::move(name), std::move(unit));
  c.values.reserve(n);
  for (size_t i = 0; i < n; ++i) c.values.push_back(value_or_nan(v[i * stride]));
}

// The axis column 1..n that profiles start with.
void add_axis(Table& t, const char* name, size_t n) {
  Column& c = t.add_numbers(name);
  for (size_t i = 1; i <= n; ++i) c.values.push_back(static_cast<double>(i));
}

// A model when the block is in the file; NotFoundError otherwise.
std::string block_model(const std::string& block, const char* kind) {
  const std::string id = field(block, kIdChars);
  std::string model(kComp, ' ');
  int64_t ierr = 1;
  tkvblk_(id.data(), model.data(), &ierr, id.size(), model.size());
  if (ierr != 0) throw NotFoundError(std::string("no ") + kind + " " + block);
  return trimmed(model);
}

// A result list: names, kinds (1 integer, 2 real, 3 text, 4 message),
// integers, texts, reals and labels of n entries.
struct Results {
  std::string names, texts, labels, qnames;
  std::vector<int64_t> kinds, ints;
  std::vector<double> reals;
  explicit Results(size_t n, size_t text_width = kText)
      : names(std::max<size_t>(n, 1) * kName, ' '),
        texts(std::max<size_t>(n, 1) * text_width, ' '),
        labels(std::max<size_t>(n, 1) * kLabel, ' '),
        qnames(std::max<size_t>(n, 1) * kQual, ' '),
        kinds(std::max<size_t>(n, 1), 0),
        ints(std::max<size_t>(n, 1), 0),
        reals(std::max<size_t>(n, 1), kMissing) {}
  // The columns of block_results; an entry without a name ends the list.
  Table table(size_t n, size_t text_width = kText) const {
    Table t;
    t.columns.reserve(4);
    Column& property = t.add_texts("property");
    Column& value = t.add_numbers("value");
    Column& text = t.add_texts("text");
    Column& unit = t.add_texts("unit");
    for (size_t i = 0; i < n; ++i) {
      std::string name = element(names, kName, i);
      if (name.empty()) continue;
      property.texts.push_back(std::move(name));
      value.values.push_back(kinds[i] == 1   ? static_cast<double>(ints[i])
                             : kinds[i] == 2 ? value_or_nan(reals[i])
                                             : kNaN);
      text.texts.push_back(kinds[i] == 3 || kinds[i] == 4 ? element(texts, text_width, i)
                                                          : std::string());
      unit.texts.push_back(kinds[i] == 2 ? element(labels, kLabel, i) : std::string());
    }
    return t;
  }
};

// Reads one per-point property into values (npoint long) and its label;
// the routine's error flag.
using PointReader = std::function<int64_t(const std::string& name, double* values, std::string& label)>;
// Reads one composition into values (ld components by npoint), its
// component ids and label; the routine's error flag.
using CompositionReader = std::function<int64_t(const std::string& name, int64_t ld, std::string& ids,
                                                double* values, std::string& label)>;

// A listed profile of np points and nc components: the per-point
// properties (kind 1) side by side in the table called title, then one
// table per composition property (kind 2), components as columns.
void profile_tables(Tables& out, const std::string& title, const char* axis, int64_t np, int64_t nc,
                    const std::string& names, const std::vector<int64_t>& kinds, const PointReader& one,
                    const CompositionReader& two) {
  // A composition may list the run's components although the profile
  // counts none of its own: room for the larger of the two.
  int64_t ncc = 0, nnc = 0;
  tkcomp_(&ncc, &nnc);
  nc = std::max(nc, ncc + nnc);
  if (!sane(np) || !sane(nc) || !sane(np, nc) || np == 0) return;
  const size_t n = count(np), ncomp = count(nc);
  Table points;
  add_axis(points, axis, n);
  std::vector<double> v;
  for (size_t k = 0; k < kinds.size(); ++k) {
    if (kinds[k] != 1) continue;
    const std::string name = field(element(names, kName, k), kName);
    std::string label(kLabel, ' ');
    v.assign(n, kMissing);
    if (one(name, v.data(), label) != 0) continue;
    add_values(points, trimmed(name), trimmed(label), v.data(), n);
  }
  if (points.columns.size() > 1) out.push_back({title, std::move(points)});
  if (ncomp == 0) return;
  for (size_t k = 0; k < kinds.size(); ++k) {
    if (kinds[k] != 2) continue;
    const std::string name = field(element(names, kName, k), kName);
    std::string label(kLabel, ' '), ids(ncomp * kComp, ' ');
    v.assign(n * ncomp, kMissing);
    if (two(name, nc, ids, v.data(), label) != 0) continue;
    Table t;
    add_axis(t, axis, n);
    const std::string unit = trimmed(label);
    for (size_t c = 0; c < ncomp; ++c) {
      std::string comp = element(ids, kComp, c);
      if (comp.empty()) continue;
      add_values(t, std::move(comp), unit, v.data() + c, n, ncomp);
    }
    out.push_back({title + " " + trimmed(name), std::move(t)});
  }
}

// A grid of nprop properties at npoint points as the compressor routines
// return it: values[point * nprop + property], a label per value.
using GridRoutine = void (*)(const char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*,
                             size_t, size_t, size_t, size_t);

void grid_table(Tables& out, std::string title, const char* axis, int64_t nprop, int64_t npoint,
                const std::function<int64_t(int64_t*, int64_t*, char*, double*, char*, char*)>& read) {
  if (nprop <= 0 || npoint <= 0 || !sane(nprop, npoint)) return;
  const size_t np = count(nprop), npt = count(npoint);
  std::string names(np * kName, ' '), utypes(np * npt * kQual, ' '), labels(np * npt * kLabel, ' ');
  std::vector<double> values(np * npt, kMissing);
  int64_t a = nprop, b = npoint;
  if (read(&a, &b, names.data(), values.data(), utypes.data(), labels.data()) != 0) return;
  Table t;
  add_axis(t, axis, npt);
  for (size_t k = 0; k < np; ++k)
    add_values(t, element(names, kName, k), element(labels, kLabel, k), values.data() + k, npt, np);
  out.push_back({std::move(title), std::move(t)});
}

}  // namespace

// ---- Column profiles ----------------------------------------------------------

Tables Summary::column_profiles(const std::string& block) const {
  FLOWSUM_ENTER();
  block_model(block, "block");
  const std::string id = field(block, kIdChars);
  int64_t ncol = 0;
  tkncol_(id.data(), &ncol, id.size());
  Tables out;
  for (int64_t c = 1; c <= ncol && sane(ncol); ++c) {
    int64_t col = c, nt = 0, nc = 0, np = 0, ierr = 1;
    tkprof_(id.data(), &col, &nt, &nc, &np, id.size());
    if (np <= 0 || !sane(np)) continue;
    std::string names(count(np) * kName, ' ');
    std::vector<int64_t> kinds(count(np), 0);
    tkprop_(id.data(), &col, &np, kinds.data(), names.data(), &ierr, id.size(), kName);
    if (ierr != 0) continue;
    profile_tables(
        out, "column " + std::to_string(c), "tray", nt, nc, names, kinds,
        [&](const std::string& name, double* v, std::string& label) {
          std::string q(kQual, ' ');
          int64_t n = nt, e = 1;
          tkpro1_(id.data(), name.data(), &col, &n, v, q.data(), label.data(), &e, id.size(), kName, kQual,
                  kLabel);
          return e;
        },
        [&](const std::string& name, int64_t ld, std::string& ids, double* v, std::string& label) {
          std::string q(kQual, ' ');
          int64_t n = nt, e = 1;
          tkpro2_(id.data(), name.data(), &col, &ld, ids.data(), &n, v, q.data(), label.data(), &e, id.size(),
                  kName, kComp, kQual, kLabel);
          return e;
        });
  }
  return out;
}

// ---- Heating curves -------------------------------------------------------------

namespace {

// The target unit's label of a unit type, by its name.
std::string label_of(const char* type) {
  std::string t = field(type, kQual), l(kLabel, ' ');
  int64_t n = 1;
  tklabl_(&n, t.data(), l.data(), t.size(), l.size());
  return trimmed(l);
}

}  // namespace

Tables Summary::heating_curves(const std::string& block) const {
  FLOWSUM_ENTER();
  block_model(block, "block");
  std::string id = field(block, kIdChars);
  int64_t n = 0;
  tknhcr_(id.data(), &n, id.size());
  Tables out;
  if (n <= 0 || !sane(n)) return out;
  constexpr size_t kLoc = 8, kType = 16;
  const size_t m = count(n);
  std::string locs(m * kLoc, ' '), types(m * kType, ' ');
  std::vector<int64_t> numbers(m, 0);
  int64_t ierr = 1;
  tklhcr_(id.data(), &n, locs.data(), types.data(), numbers.data(), &ierr, id.size(), kLoc, kType);
  const std::string temp = label_of("TEMPERATURE"), pres = label_of("PRESSURE"),
                    duty = label_of("HEAT-DUTY");
  for (size_t i = 0; i < m; ++i) {
    const std::string loc = locs.substr(i * kLoc, kLoc), type = types.substr(i * kType, kType);
    int64_t number = numbers[i], np = 0, nf = 0;
    tkshcr_(id.data(), loc.data(), type.data(), &number, &np, &nf, id.size(), kLoc, kType);
    if (np <= 0 || !sane(np) || !sane(nf) || !sane(np, nf + 6)) continue;
    const size_t npt = count(np);
    std::vector<std::vector<double>> cols(5, std::vector<double>(npt, kMissing));
    int64_t e = 1;
    tkhcur_(id.data(), loc.data(), type.data(), &number, &np, cols[0].data(), cols[1].data(),
            cols[2].data(), cols[3].data(), cols[4].data(), &e, id.size(), kLoc, kType);
    if (e != 0) continue;
    Table t;
    add_axis(t, "point", npt);
    const char* heads[] = {"status", "temp", "pres", "vfrac", "duty"};
    const std::string units[] = {"", temp, pres, "", duty};
    for (size_t k = 0; k < 5; ++k) add_values(t, heads[k], units[k], cols[k].data(), npt);
    std::vector<double> v;
    for (int64_t k = 1; k <= nf; ++k) {
      std::string pn(kName, ' '), sub(kSub, ' '), ph(kSub, ' '), cp(kComp, ' '), bs(4, ' '), fb(4, ' '),
          qn(kQual, ' '), lb(kLabel, ' ');
      v.assign(npt, kMissing);
      int64_t kk = k, f = 1;
      tknhcp_(id.data(), loc.data(), type.data(), &number, &np, &kk, pn.data(), sub.data(), ph.data(),
              cp.data(), bs.data(), fb.data(), v.data(), qn.data(), lb.data(), &f, id.size(), kLoc, kType,
              kName, kSub, kSub, kComp, 4, 4, kQual, kLabel);
      if (f != 0) continue;
      add_values(t, joined({trimmed(pn), trimmed(sub), trimmed(ph), trimmed(cp), trimmed(bs)}), trimmed(lb),
                 v.data(), npt);
    }
    const std::string where = trimmed(loc);
    out.push_back({joined({trimmed(type), std::to_string(number)}) + (where.empty() ? "" : " at " + where),
                   std::move(t)});
  }
  return out;
}

// ---- Exchanger detail -----------------------------------------------------------

namespace {

using ResultRoutine = void (*)(const char*, int64_t*, char*, int64_t*, int64_t*, char*, double*, char*, char*,
                               int64_t*, int64_t*, size_t, size_t, size_t, size_t, size_t);
using ValueRoutine = void (*)(const char*, int64_t*, char*, double*, char*, char*, int64_t*, int64_t*, size_t,
                              size_t, size_t, size_t);

void result_section(Tables& out, const std::string& id, const char* title, int64_t n, ResultRoutine read) {
  if (n <= 0 || !sane(n)) return;
  Results r(count(n));
  int64_t dum = 0, nval = 0, ierr = 1;
  read(id.data(), &dum, r.names.data(), r.kinds.data(), r.ints.data(), r.texts.data(), r.reals.data(),
       r.qnames.data(), r.labels.data(), &nval, &ierr, id.size(), kName, kText, kQual, kLabel);
  if (ierr != 0) return;
  Table t = r.table(std::min(count(n), count(nval)));
  if (t.rows() > 0) out.push_back({title, std::move(t)});
}

void value_section(Tables& out, const std::string& id, const char* title, int64_t n, ValueRoutine read) {
  if (n <= 0 || !sane(n)) return;
  Results r(count(n));
  int64_t dum = 0, nval = 0, ierr = 1;
  read(id.data(), &dum, r.names.data(), r.reals.data(), r.qnames.data(), r.labels.data(), &nval, &ierr,
       id.size(), kName, kQual, kLabel);
  if (ierr != 0) return;
  std::fill(r.kinds.begin(), r.kinds.end(), 2);
  Table t = r.table(std::min(count(n), count(nval)));
  if (t.rows() > 0) out.push_back({title, std::move(t)});
}

}  // namespace

Tables Summary::exchanger(const std::string& block) const {
  FLOWSUM_ENTER();
  block_model(block, "block");
  const std::string id = field(block, kIdChars);
  Tables out;
  int64_t ngm = 0;
  tkngm_(id.data(), &ngm, id.size());
  if (ngm > 0 && sane(ngm)) {
    Results r(count(ngm));
    int64_t dum = 0;
    tkhxgm_(id.data(), &ngm, r.names.data(), r.kinds.data(), r.ints.data(), r.texts.data(), r.reals.data(),
            r.qnames.data(), r.labels.data(), &dum, id.size(), kName, kText, kQual, kLabel);
    Table t = r.table(count(ngm));
    if (t.rows() > 0) out.push_back({"geometry", std::move(t)});
  }
  int64_t nz = 0, nzp = 0, neq = 0, ntu = 0, nsh = 0, nno = 0, nd1 = 0, nd2 = 0;
  tknhxt_(id.data(), &nz, &nzp, &neq, &ntu, &nsh, &nno, id.size());
  tknhxd_(id.data(), &nd1, &nd2, id.size());
  result_section(out, id, "shells", nsh, tkhxba_);
  result_section(out, id, "tubes", ntu, tkhxtu_);
  result_section(out, id, "equipment", neq, tkhxes_);
  value_section(out, id, "nozzles", nno, tkhxno_);
  value_section(out, id, "details 1", nd1, tkhxd1_);
  value_section(out, id, "details 2", nd2, tkhxd2_);

  int64_t zones = 0, zprops = 0, points = 0, pprops = 0, ierr = 1;
  tknhxs_(id.data(), &zones, &zprops, &points, &pprops, &ierr, id.size());
  if (ierr == 0 && zones > 0 && zprops > 0 && sane(zones, zprops)) {
    const size_t nzs = count(zones), nps = count(zprops);
    std::string names(nps * kName, ' '), qn(nps * kQual, ' '), lb(nps * kLabel, ' ');
    std::vector<double> v(nzs * nps, kMissing);
    int64_t e = 1;
    tkhxsc_(id.data(), &zones, &zprops, names.data(), v.data(), qn.data(), lb.data(), &e, id.size(), kName,
            kQual, kLabel);
    if (e == 0) {
      Table t;
      add_axis(t, "zone", nzs);
      for (size_t k = 0; k < nps; ++k)
        add_values(t, element(names, kName, k), element(lb, kLabel, k), v.data() + k, nzs, nps);
      out.push_back({"zones", std::move(t)});
    }
  }
  if (zones > 0 && pprops > 0 && points > 0 && sane(zones) && sane(pprops, points)) {
    const size_t npp = count(pprops), npt = count(points);
    std::string names(npp * kName, ' ');
    int64_t e = 1;
    tkcoef_(id.data(), &pprops, names.data(), &e, id.size(), kName);
    std::vector<double> v;
    for (int64_t z = 1; z <= zones; ++z) {
      Table t;
      add_axis(t, "point", npt);
      for (size_t k = 0; k < npp; ++k) {
        const std::string pn = names.substr(k * kName, kName);
        std::string qn(kQual, ' '), lb(kLabel, ' ');
        v.assign(npt, kMissing);
        int64_t zz = z, np = points, f = 1;
        tkhxcf_(id.data(), &zz, &np, pn.data(), v.data(), qn.data(), lb.data(), &f, id.size(), kName, kQual,
                kLabel);
        if (f == 0) add_values(t, trimmed(pn), trimmed(lb), v.data(), npt);
      }
      if (t.columns.size() > 1) out.push_back({"zone " + std::to_string(z) + " profile", std::move(t)});
    }
  }
  int64_t nics = 0;
  tknics_(id.data(), &nics, id.size());
  if (nics > 0 && sane(nics)) {
    const size_t n = count(nics);
    std::vector<std::vector<int64_t>> con(4, std::vector<int64_t>(n, 0));
    std::vector<std::vector<double>> val(7, std::vector<double>(n, kMissing));
    int64_t e = 1;
    tkicst_(id.data(), &nics, con[0].data(), con[1].data(), con[2].data(), con[3].data(), val[0].data(),
            val[1].data(), val[2].data(), val[3].data(), val[4].data(), val[5].data(), val[6].data(), &e,
            id.size());
    if (e == 0) {
      Table t;
      add_axis(t, "stream", n);
      for (size_t k = 0; k < 4; ++k) {
        Column& c = t.add_numbers("connection " + std::to_string(k + 1));
        for (int64_t x : con[k]) c.values.push_back(static_cast<double>(x));
      }
      for (size_t k = 0; k < 7; ++k) add_values(t, "value " + std::to_string(k + 1), "", val[k].data(), n);
      out.push_back({"intermediate streams", std::move(t)});
    }
  }
  return out;
}

// ---- Compressors ----------------------------------------------------------------

Tables Summary::compressor(const std::string& block) const {
  FLOWSUM_ENTER();
  const std::string model = block_model(block, "compressor");
  if (model != "BOOSTR" && model != "STAGEBST") throw NotFoundError("no compressor " + block + " (a " + model +
                                                                    " block)");
  const std::string id = field(block, kIdChars);
  auto reader = [&](GridRoutine fn) {
    return [&, fn](int64_t* np, int64_t* npt, char* names, double* values, char* utypes, char* labels) {
      int64_t ierr = 1;
      fn(id.data(), np, npt, names, values, utypes, labels, &ierr, id.size(), kName, kQual, kLabel);
      return ierr;
    };
  };
  Tables out;
  int64_t nres = 0, nstage = 0;
  tknper_(id.data(), &nres, &nstage, id.size());
  grid_table(out, "performance", "stage", nres, nstage, reader(tkperf_));
  if (model != "STAGEBST") return out;
  int64_t sp = 0, sn = 0, cp = 0, cn = 0;
  tknmcp_(id.data(), &sp, &sn, &cp, &cn, id.size());
  grid_table(out, "stage profile", "stage", sp, sn, reader(tkmcpr_));
  grid_table(out, "cooler profile", "cooler", cp, cn, reader(tkmccp_));
  for (int64_t s = 1; s <= nstage && sane(nstage); ++s) {
    int64_t stage = s, nw = 0, nr = 0;
    tknwhl_(id.data(), &stage, &nw, &nr, id.size());
    grid_table(out, "stage " + std::to_string(s) + " wheels", "wheel", nr, nw,
               [&](int64_t* np, int64_t* npt, char* names, double* values, char* utypes, char* labels) {
                 int64_t ierr = 1;
                 tkwhlr_(id.data(), &stage, npt, np, names, values, utypes, labels, &ierr, id.size(), kName,
                         kQual, kLabel);
                 return ierr;
               });
  }
  return out;
}

// ---- Reactor profiles -----------------------------------------------------------

Tables Summary::reactor_profiles(const std::string& block) const {
  FLOWSUM_ENTER();
  block_model(block, "block");
  const std::string id = field(block, kIdChars);
  Tables out;
  int64_t nsub = 0;
  tkrsub_(id.data(), &nsub, id.size());
  // A batch reactor may hold its main profile alone, in a section no
  // substream count covers: profile 1 is always asked for.
  nsub = std::max<int64_t>(nsub, 1);
  for (int64_t p = 1; p <= nsub && sane(nsub); ++p) {
    int64_t prof = p, np = 0, nc = 0, nn = 0, ierr = 1;
    std::string ss(kSub, ' ');
    tkrprf_(id.data(), &prof, ss.data(), &np, &nc, &nn, id.size(), kSub);
    if (nn <= 0 || !sane(nn)) continue;
    std::string names(count(nn) * kName, ' ');
    std::vector<int64_t> kinds(count(nn), 0);
    tkrprp_(id.data(), &prof, &nn, kinds.data(), names.data(), &ierr, id.size(), kName);
    if (ierr != 0) continue;
    profile_tables(
        out, "profile " + std::to_string(p) + " (" + trimmed(ss) + ")", "point", np, nc, names, kinds,
        [&](const std::string& name, double* v, std::string& label) {
          std::string q(kQual, ' ');
          int64_t n = np, e = 1;
          tkrpr1_(id.data(), name.data(), ss.data(), &n, v, q.data(), label.data(), &e, id.size(), kName, kSub,
                  kQual, kLabel);
          return e;
        },
        [&](const std::string& name, int64_t ld, std::string& ids, double* v, std::string& label) {
          std::string q(kQual, ' ');
          int64_t n = np, e = 1;
          tkrpr2_(id.data(), name.data(), &prof, &ld, ids.data(), &n, v, q.data(), label.data(), &e, id.size(),
                  kName, kComp, kQual, kLabel);
          return e;
        });
  }
  using Sizes = void (*)(const char*, int64_t*, int64_t*, int64_t*, size_t);
  using Names = void (*)(const char*, int64_t*, int64_t*, char*, int64_t*, size_t, size_t);
  using One = void (*)(const char*, const char*, int64_t*, double*, char*, char*, int64_t*, size_t, size_t,
                       size_t, size_t);
  using Two = void (*)(const char*, const char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*,
                       size_t, size_t, size_t, size_t, size_t);
  struct Vessel {
    const char* title;
    Sizes sizes;
    Names names;
    One one;
    Two two;
  };
  for (const Vessel& v : {Vessel{"accumulator", tkvapf_, tkvapr_, tkvar1_, tkvar2_},
                          Vessel{"vent", tkvtpf_, tkvtpr_, tkvtr1_, tkvtr2_}}) {
    int64_t np = 0, nc = 0, nn = 0, ierr = 1;
    v.sizes(id.data(), &np, &nc, &nn, id.size());
    if (nn <= 0 || !sane(nn)) continue;
    std::string names(count(nn) * kName, ' ');
    std::vector<int64_t> kinds(count(nn), 0);
    v.names(id.data(), &nn, kinds.data(), names.data(), &ierr, id.size(), kName);
    if (ierr != 0) continue;
    profile_tables(
        out, v.title, "point", np, nc, names, kinds,
        [&](const std::string& name, double* vals, std::string& label) {
          std::string q(kQual, ' ');
          int64_t n = np, e = 1;
          v.one(id.data(), name.data(), &n, vals, q.data(), label.data(), &e, id.size(), kName, kQual, kLabel);
          return e;
        },
        [&](const std::string& name, int64_t ld, std::string& ids, double* vals, std::string& label) {
          std::string q(kQual, ' ');
          int64_t n = np, e = 1;
          v.two(id.data(), name.data(), &n, &ld, ids.data(), vals, q.data(), label.data(), &e, id.size(), kName,
                kComp, kQual, kLabel);
          return e;
        });
  }
  return out;
}

// ---- Pressure relief -------------------------------------------------------------

Tables Summary::relief(const std::string& given) const {
  FLOWSUM_ENTER();
  // Relief objects are few; the listing is the one way to tell an unknown id
  // from an object without results.
  int64_t nrel = 0;
  tknprs_(&nrel);
  bool known = false;
  if (nrel > 0 && sane(nrel)) {
    std::string ids(count(nrel) * kIdChars, ' ');
    int64_t n = nrel, ierr = 1;
    tkpids_(&n, ids.data(), &ierr, kIdChars);
    for (size_t k = 0; ierr == 0 && k < count(nrel) && !known; ++k)
      known = element(ids, kIdChars, k) == given;
  }
  if (!known) throw NotFoundError("no relief object " + given);
  const std::string id = field(given, kIdChars);
  Tables out;

  // Scenario lists end at the first entry without a kind; the routines
  // write at most the count they are given.
  constexpr int64_t kScenarioRows = 200;
  constexpr size_t kMessage = 32;
  for (const bool steady : {false, true}) {
    Results r(count(kScenarioRows), kMessage);
    std::string texts(count(kScenarioRows) * kQual, ' ');
    int64_t n = kScenarioRows, ierr = 0;
    if (steady)
      tkpsss_(id.data(), &n, r.names.data(), r.kinds.data(), r.ints.data(), texts.data(), r.texts.data(),
              r.reals.data(), r.qnames.data(), r.labels.data(), &ierr, id.size(), kName, kQual, kMessage, kQual,
              kLabel);
    else
      tkpssr_(id.data(), &n, r.names.data(), r.kinds.data(), r.ints.data(), texts.data(), r.texts.data(),
              r.reals.data(), r.qnames.data(), r.labels.data(), id.size(), kName, kQual, kMessage, kQual,
              kLabel);
    size_t rows = 0;
    while (rows < count(kScenarioRows) && r.kinds[rows] != 0) ++rows;
    // Text values (kind 3) share the text column with verdict messages (4).
    for (size_t k = 0; k < rows; ++k)
      if (r.kinds[k] == 3) r.texts.replace(k * kMessage, kMessage, field(element(texts, kQual, k), kMessage));
    Table t = r.table(rows, kMessage);
    if (t.rows() > 0) out.push_back({steady ? "steady-state scenario" : "dynamic scenario", std::move(t)});
  }

  int64_t np = 0, ncz = 0, nvent = 0, npres = 0;
  tkpvpf_(id.data(), &np, &ncz, &nvent, &npres, id.size());
  if (nvent > 0 && np > 0 && sane(nvent) && sane(np) && sane(npres)) {
    const size_t npt = count(np);
    std::string names(count(nvent) * kName, ' '), q(kQual, ' '), l(kLabel, ' ');
    std::vector<int64_t> kinds(count(nvent), 0);
    std::vector<double> times(npt, kMissing);
    int64_t ierr = 1;
    tkpvrp_(id.data(), &nvent, kinds.data(), names.data(), times.data(), q.data(), l.data(), &ierr, id.size(),
            kName, kQual, kLabel);
    if (ierr == 0) {
      Table t;
      add_values(t, "time", trimmed(l), times.data(), npt);
      // Each vent property has its own number of sets (TKPVPF counts those
      // of the pressure only): room for many, and the sets the file does
      // not hold stay missing.
      constexpr int64_t kMaxSets = 100;
      const int64_t nsets = std::max<int64_t>(npres, std::min<int64_t>(kMaxSets, kMaxValues / np));
      std::vector<double> v;
      for (size_t k = 0; k < kinds.size() && sane(np, nsets); ++k) {
        if (kinds[k] != 1) continue;
        const std::string name = names.substr(k * kName, kName);
        std::string qk(kQual, ' '), lk(kLabel, ' ');
        v.assign(npt * count(nsets), kMissing);
        int64_t s = nsets, n = np, e = 1;
        tkpvr1_(id.data(), name.data(), &s, &n, v.data(), qk.data(), lk.data(), &e, id.size(), kName, kQual,
                kLabel);
        if (e != 0) continue;
        size_t sets = 1;
        for (size_t set = 1; set < count(nsets); ++set)
          if (std::any_of(v.begin() + set * npt, v.begin() + (set + 1) * npt,
                          [](double x) { return value_or_nan(x) == value_or_nan(x); }))
            sets = set + 1;
        for (size_t set = 0; set < sets; ++set)
          add_values(t, trimmed(name) + (sets > 1 ? " " + std::to_string(set + 1) : ""), trimmed(lk),
                     v.data() + set * npt, npt);
      }
      if (t.columns.size() > 1) out.push_back({"vent", std::move(t)});
    }
  }

  int64_t prof = 1, nc = 0, nn = 0;
  std::string ss(kSub, ' ');
  tkpsrf_(id.data(), &prof, ss.data(), &np, &nc, &nn, id.size(), kSub);
  if (nn > 0 && sane(nn)) {
    std::string names(count(nn) * kName, ' ');
    std::vector<int64_t> kinds(count(nn), 0);
    int64_t ierr = 1;
    tkpsrp_(id.data(), &prof, &nn, kinds.data(), names.data(), &ierr, id.size(), kName);
    if (ierr == 0)
      profile_tables(
          out, "vessel profile", "point", np, nc, names, kinds,
          [&](const std::string& name, double* v, std::string& label) {
            std::string q(kQual, ' '), basis(4, ' ');
            int64_t n = np, e = 1;
            tkpsr1_(id.data(), name.data(), basis.data(), &n, v, q.data(), label.data(), &e, id.size(), kName, 4,
                    kQual, kLabel);
            return e;
          },
          [&](const std::string& name, int64_t ld, std::string& ids, double* v, std::string& label) {
            std::string q(kQual, ' ');
            int64_t n = np, e = 1;
            tkpsr2_(id.data(), name.data(), &prof, &ld, ids.data(), &n, v, q.data(), label.data(), &e, id.size(),
                    kName, kComp, kQual, kLabel);
            return e;
          });
  }
  return out;
}

// ---- Pipelines ---------------------------------------------------------------------

namespace {

using PipeNames = void (*)(const char*, int64_t*, char*, int64_t*, size_t, size_t);
using PipeValues = void (*)(const char*, int64_t*, const char*, int64_t*, double*, char*, char*, char*,
                            int64_t*, size_t, size_t, size_t, size_t, size_t);

// A section of one data set per property, n entries each: one row per
// entry, a numeric column per real or integer property, a text column per
// text property. Fluid properties (read == nullptr) are all reals.
void pipe_section(Tables& out, const std::string& id, const char* title, const char* axis, PipeNames names_of,
                  PipeValues read, int64_t n, int64_t nprop) {
  if (n <= 0 || nprop <= 0 || !sane(n) || !sane(nprop) || !sane(n, nprop)) return;
  const size_t m = count(n);
  std::string names(count(nprop) * kName, ' ');
  int64_t np = nprop, ierr = 1;
  names_of(id.data(), &np, names.data(), &ierr, id.size(), kName);
  if (ierr != 0) return;
  Table t;
  add_axis(t, axis, m);
  std::vector<double> values;
  for (size_t k = 0; k < count(nprop); ++k) {
    const std::string name = names.substr(k * kName, kName);
    if (trimmed(name).empty()) continue;
    values.assign(m, kMissing);
    std::string texts(m * kText, ' '), qname(kQual, ' '), label(kLabel, ' ');
    int64_t nn = n, kind = 2, flag = 1;
    if (read)
      read(id.data(), &nn, name.data(), &kind, values.data(), texts.data(), qname.data(), label.data(), &flag,
           id.size(), kName, kText, kQual, kLabel);
    else
      tkplpr_(id.data(), &nn, name.data(), values.data(), qname.data(), label.data(), &flag, id.size(), kName,
              kQual, kLabel);
    if (flag != 0) continue;
    if (kind == 3) {
      Column& c = t.add_texts(trimmed(name));
      for (size_t j = 0; j < m; ++j) c.texts.push_back(element(texts, kText, j));
    } else {
      add_values(t, trimmed(name), kind == 2 ? trimmed(label) : std::string(), values.data(), m);
    }
  }
  if (t.columns.size() > 1) out.push_back({title, std::move(t)});
}

}  // namespace

Tables Summary::pipeline(const std::string& block) const {
  FLOWSUM_ENTER();
  const std::string model = block_model(block, "pipeline");
  if (model != "DUCTLINE") throw NotFoundError("no pipeline " + block + " (a " + model + " block)");
  const std::string id = field(block, kIdChars);
  int64_t nio = 0, ncomp = 0, ncprop = 0, nseg = 0, nsegp = 0, ndes = 0, ndesp = 0, nflu = 0, nflup = 0, ierr = 1;
  tkplsz_(id.data(), &nio, &ncomp, &ncprop, &nseg, &nsegp, &ndes, &ndesp, &nflu, &nflup, &ierr, id.size());
  Tables out;
  pipe_section(out, id, "segments", "segment", tkplsp_, tkplsg_, nseg, nsegp);
  pipe_section(out, id, "segment descriptions", "entry", tkplnp_, tkplnd_, ndes, ndesp);
  pipe_section(out, id, "fluid properties", "point", tkplpp_, nullptr, nflu, nflup);
  if (nio > 0 && sane(nio)) {
    const size_t n = 2 * count(nio);
    Results r(n);
    int64_t e = 1;
    tkplio_(id.data(), r.names.data(), r.kinds.data(), r.reals.data(), r.texts.data(), r.qnames.data(),
            r.labels.data(), &e, id.size(), kName, kText, kQual, kLabel);
    if (e == 0) {
      Table t;
      t.columns.reserve(5);
      Column& side = t.add_texts("side");
      Column& property = t.add_texts("property");
      Column& value = t.add_numbers("value");
      Column& text = t.add_texts("text");
      Column& unit = t.add_texts("unit");
      for (size_t j = 0; j < n; ++j) {
        std::string name = element(r.names, kName, j);
        if (name.empty()) continue;
        side.texts.push_back(j < n / 2 ? "inlet" : "outlet");
        property.texts.push_back(std::move(name));
        value.values.push_back(r.kinds[j] == 3 ? kNaN : value_or_nan(r.reals[j]));
        text.texts.push_back(r.kinds[j] == 3 ? element(r.texts, kText, j) : std::string());
        unit.texts.push_back(r.kinds[j] == 2 ? element(r.labels, kLabel, j) : std::string());
      }
      if (t.rows() > 0) out.push_back({"conditions", std::move(t)});
    }
  }
  if (ncprop > 0 && ncomp > 0 && sane(ncprop) && sane(ncomp)) {
    const size_t nc = count(ncomp);
    std::string names(count(ncprop) * kName, ' ');
    int64_t np = ncprop, e = 1;
    tkplcp_(id.data(), &np, names.data(), &e, id.size(), kName);
    Table t;
    t.columns.reserve(5);
    Column& property = t.add_texts("property");
    Column& component = t.add_texts("component");
    Column& inlet = t.add_numbers("inlet");
    Column& outlet = t.add_numbers("outlet");
    Column& unit = t.add_texts("unit");
    for (size_t k = 0; e == 0 && k < count(ncprop); ++k) {
      std::string compids(nc * kComp, ' '), qname(kQual, ' '), label(kLabel, ' ');
      std::vector<double> values(2 * nc, kMissing);
      int64_t n = ncomp, flag = 1;
      tkplco_(id.data(), &n, names.data() + k * kName, compids.data(), values.data(), qname.data(), label.data(),
              &flag, id.size(), kName, kComp, kQual, kLabel);
      if (flag != 0) continue;
      for (size_t c = 0; c < nc; ++c) {
        property.texts.push_back(element(names, kName, k));
        component.texts.push_back(element(compids, kComp, c));
        inlet.values.push_back(value_or_nan(values[c]));
        outlet.values.push_back(value_or_nan(values[nc + c]));
        unit.texts.push_back(trimmed(label));
      }
    }
    if (t.rows() > 0) out.push_back({"compositions", std::move(t)});
  }
  int64_t npt = 0, nprop = 0;
  tkpisp_(id.data(), &npt, &nprop, id.size());
  if (npt > 0 && nprop > 0 && sane(npt) && sane(nprop + 1, npt)) {
    const size_t n = count(npt);
    std::string names = field("LENGTH", kName) + std::string(count(nprop) * kName, ' ');
    int64_t idum = 0, e = 1;
    tkpinp_(id.data(), &idum, names.data() + kName, &e, id.size(), kName);
    Table t;
    std::vector<double> values;
    for (size_t k = 0; k <= count(nprop); ++k) {
      values.assign(n, kMissing);
      std::string utype(kQual, ' '), label(kLabel, ' ');
      int64_t nn = npt, flag = 1;
      tkpipr_(id.data(), &nn, names.data() + k * kName, values.data(), utype.data(), label.data(), &flag,
              id.size(), kName, kQual, kLabel);
      if (flag == 0) add_values(t, element(names, kName, k), trimmed(label), values.data(), n);
    }
    if (!t.columns.empty()) out.push_back({"profile", std::move(t)});
  }
  tkspir_(id.data(), &npt, &nprop, id.size());
  if (npt > 0 && nprop > 0 && sane(npt) && sane(nprop, npt)) {
    const size_t n = count(npt);
    Table t;
    add_axis(t, "point", n);
    std::vector<double> values;
    for (int64_t k = 1; k <= nprop; ++k) {
      values.assign(n, kMissing);
      std::string pn(kName, ' '), ss(kSub, ' '), ph(kSub, ' '), cp(kComp, ' '), bs(4, ' '), fb(4, ' '),
          qty(kQual, ' '), label(kLabel, ' ');
      int64_t nn = npt, kk = k, flag = 1;
      tknpip_(id.data(), &nn, &kk, pn.data(), ss.data(), ph.data(), cp.data(), bs.data(), fb.data(),
              values.data(), qty.data(), label.data(), &flag, id.size(), kName, kSub, kSub, kComp, 4, 4, kQual,
              kLabel);
      if (flag == 0)
        add_values(t, joined({trimmed(pn), trimmed(ss), trimmed(ph), trimmed(cp), trimmed(bs)}), trimmed(label),
                   values.data(), n);
    }
    if (t.columns.size() > 1) out.push_back({"plug-flow profile", std::move(t)});
  }
  return out;
}

}  // namespace flowsum
