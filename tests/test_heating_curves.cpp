// Heating curves, exchanger detail and intermediate streams: every routine
// against the random flowsheets' truth, bad input among it (check_heat_transfer,
// run by the round trip); remembered curves after reloads and tree edits.
#include <gtest/gtest.h>

#include <optional>

#include "flowsum.h"
#include "support/column_checks.hpp"

namespace flowsum::testing {
namespace {

// Further property k of a curve by position (TKNHCP), or with k = 0 the one
// the qualifiers q name (TKHCPR), through the refinery routines, which pass
// other blocks on: the flag, values and a guard, qualifiers, quantity, label.
using Further = std::tuple<int64_t, Reals, Texts>;
Further further(const std::string& block, const std::string& loc, const std::string& type, int64_t number,
                int64_t np, int64_t k, const Texts& q = Texts(6)) {
  Further r{-1, Reals(Z(np) + 1, -7.0), {}};
  auto& [ierr, v, t] = r;
  Field f[] = {{q[0], 12}, {q[1], 8}, {q[2], 8}, {q[3], 8}, {q[4], 4}, {q[5], 4}, Field(12), Field(16)};
  const Field id(block, 128), l(loc, 8), ty(type, 16);
  if (k > 0) call(tknhcp_, id, l, ty, number, np, k, f[0], f[1], f[2], f[3], f[4], f[5], v, f[6], f[7], ierr);
  else call(tkhcpr_, id, l, ty, number, np, f[0], f[1], f[2], f[3], f[4], f[5], v, f[6], f[7], ierr);
  for (const Field& x : f) t.push_back(x.text());
  return r;
}

void check_block(const CurveBlock& b) {
  SCOPED_TRACE("block " + b.id);
  const Field id(b.id, 128);
  // The list with room for one curve fewer (if there are several): the last entry stays untouched.
  const int64_t n = I(b.curves.size()), room = n > 1 ? n - 1 : n;
  int64_t count = -1, asked = room, ierr = -1;
  Field locs(8, Z(n)), types(16, Z(n));
  Ints numbers(Z(n), -1);
  call(tknhcr_, id, count);
  call(tklhcr_, id, asked, locs, types, numbers, ierr);
  EXPECT_EQ(std::tie(count, ierr), std::make_tuple(n, int64_t{0}));
  for (const Curve& c : b.curves) {
    SCOPED_TRACE(c.type + " " + c.location + " " + std::to_string(c.number));
    const size_t i = Z(&c - b.curves.data());
    EXPECT_EQ(std::make_tuple(locs[i], types[i], numbers[i]),
              I(i) < room ? std::make_tuple(pad(c.location, 8), pad(c.type, 16), c.number)
                          : std::make_tuple(std::string(8, '#'), std::string(16, '#'), int64_t{-1}));
    const Field loc(c.location, 8), type(c.type, 16);
    int64_t number = c.number, np = I(c.npoints()), nf = I(c.further.size()), shape[2] = {-1, -1};
    // Values first: the memory holds the previous curve, perhaps of this number.
    std::vector<Reals> v(5, Reals(Z(np) + 1, -7.0)), want;
    for (const Reals* t : {&c.status, &c.temp, &c.pres, &c.vfrac, &c.duty}) want.push_back(guarded(*t, -7.0));
    call(tkhcur_, id, loc, type, number, np, v[0], v[1], v[2], v[3], v[4], ierr);
    call(tkshcr_, id, loc, type, number, shape[0], shape[1]);
    EXPECT_EQ(std::make_tuple(ierr, shape[0], shape[1], v), std::make_tuple(int64_t{0}, np, nf, want));
    for (const CurveProperty& p : c.further) {
      const Further at = further(b.id, c.location, c.type, number, np, I(&p - c.further.data()) + 1);
      const Texts u = units_of(p.unit_type), &q = std::get<2>(at);
      EXPECT_EQ(at, Further(0, guarded(p.values, -7.0),
                            {name_of(p.property), pad(p.substream, 8), pad(p.phase, 8), pad(p.component, 8),
                             pad(p.basis, 4), pad(p.unit_type == 13 ? "FLOW" : "", 4), pad(u[0], 12), pad(u[1], 16)}));
      // The same property by the qualifiers it was listed with.
      EXPECT_EQ(further(b.id, c.location, c.type, number, np, 0, Texts(q.begin(), q.begin() + 6)), at);
    }
    // An intermediate stream's identifier (none for another type); LINKEDCOL's are integers.
    for (const std::string& t : {c.type, std::string("REBOILER")}) {
      const bool has = t == "ICSTREAM" && c.number <= I(b.stream_ids.size()), linked = b.model == "LINKEDCOL";
      const std::string ident = has ? b.stream_ids[Z(c.number - 1)] : "";
      Field out(8, 2);
      int64_t got = -1;
      call(tkhcid_, id, Field(t, 8), number, got, out, ierr);
      EXPECT_EQ(std::make_tuple(ierr, got, out.text()),
                std::make_tuple(int64_t{!has}, linked && has ? std::stoll(ident) : 0, pad(linked ? "" : ident, 8) + "########"));
    }
  }
  // Unknown block, type, number or location, positions 0 and past the last,
  // no points, not the curve's points: flag 1, nothing written.
  const Curve& c = b.curves.front();
  const int64_t np = I(c.npoints()), nf = I(c.further.size());
  std::vector<std::tuple<std::string, std::string, std::string, int64_t, int64_t, int64_t>> bad{
      {"NOSUCH", c.location, c.type, c.number, np, 1}, {b.id, c.location, "NOSUCH", c.number, np, 1},
      {b.id, c.location, c.type, 13, np, 1},           {b.id, c.location, c.type, c.number, np, 0},
      {b.id, c.location, c.type, c.number, np, nf + 1}, {b.id, c.location, c.type, c.number, 0, 1},
      {b.id, c.location, c.type, c.number, np + 1, 1}};
  if (b.refinery) bad.emplace_back(b.id, "ZZ9", c.type, c.number, np, 1);
  for (const auto& [block, l, t, number, points, k] : bad) {
    const auto [flag, values, texts] = further(block, l, t, number, points, k);
    EXPECT_EQ(std::tie(flag, values), std::make_tuple(int64_t{1}, Reals(Z(points) + 1, -7.0)))
        << block << " " << t << " " << number << " " << points << " " << k;
  }
  // Standard values only to the caller's points.
  std::vector<Reals> v(5, Reals(2, -7.0));
  int64_t one = 1, number = c.number;
  call(tkhcur_, id, Field(c.location, 8), Field(c.type, 16), number, one, v[0], v[1], v[2], v[3], v[4], ierr);
  if (np > 1) EXPECT_EQ(v[4][1], -7.0);
}

// Names, quantities and labels of properties as the routines write them
// (one field each), and their values.
std::pair<std::string, Reals> described(const std::vector<PropertyReal>& v) {
  std::string names, types, labels;
  Reals values;
  for (const PropertyReal& p : v) {
    names += name_of(p.property), types += pad(units_of(p.unit_type)[0], 12);
    labels += pad(units_of(p.unit_type)[1], 16), values.push_back(p.value);
  }
  return {names + types + labels, values};
}

void check_exchanger(const Exchanger& x) {
  SCOPED_TRACE("exchanger " + x.id);
  const Field id(x.id, 128), section("TWS_PRF", 8);
  int64_t ierr = -1, e2 = -1;
  // The sections of the generic readers.
  for (const auto& [truth, pval, aval] : std::vector<std::tuple<const std::vector<PropertyReal>*, decltype(&tkhxd1_), decltype(&tkhxba_)>>{
           {&x.shells, nullptr, tkhxba_}, {&x.equip, nullptr, tkhxes_}, {&x.equip, nullptr, tkhxsh_},
           {&x.tubes, nullptr, tkhxtu_}, {&x.det1, tkhxd1_, nullptr}, {&x.det2, tkhxd2_, nullptr},
           {&x.nozzles, tkhxno_, nullptr}}) {
    const size_t n = truth->size();
    std::string f(40 * n, '#'), texts(12 * n, '#');
    Reals v(n, -7.0);
    Ints kinds(n), ints(n);
    int64_t idum = 0, nval = -1;
    if (pval) pval(id.data(), &idum, f.data(), v.data(), f.data() + 12 * n, f.data() + 24 * n, &nval, &ierr, 128, 12, 12, 16);
    else aval(id.data(), &idum, f.data(), kinds.data(), ints.data(), texts.data(), v.data(), f.data() + 12 * n,
              f.data() + 24 * n, &nval, &ierr, 128, 12, 12, 12, 16);
    EXPECT_EQ(std::make_tuple(ierr, nval, f, v), std::tuple_cat(std::make_tuple(int64_t{0}, I(n)), described(*truth)));
  }
  // The counts; a section the exchanger lacks counts 0.
  const int64_t nz = I(x.zone_table.size()), nzp = I(x.zone_props.size()), npt = I(x.point_rows.size()),
                nfp = I(x.profile_props.size()), npp = I(x.point_props.size());
  auto size = [](const std::vector<PropertyReal>& v) { return I(v.size()); };
  Ints c(18, -1);
  call(tknhxd_, id, c[0], c[1]);
  call(tknhxe_, id, c[2], c[3]);
  call(tknhxt_, id, c[4], c[5], c[6], c[7], c[8], c[9]);
  call(tknhxs_, id, c[10], c[11], c[12], c[13], c[14]);
  call(tkhxpf_, id, section, c[15], c[16]);
  call(tkngm_, id, c[17]);
  EXPECT_EQ(c, (Ints{size(x.det1), size(x.det2), size(x.equip), 0, nz, nzp, size(x.equip), size(x.tubes),
                     size(x.shells), size(x.nozzles), nz, nzp, npt, nfp, 0, npt, npp,
                     x.model == "TWOSIDE" ? size(x.geometry) + 2 : 0}));

  // Geometry, asked for one entry fewer than it has: the last stays untouched.
  const size_t ng = x.geometry.size() + 2;
  std::string f(52 * ng, '#');
  Ints kinds(ng, -1), ints(ng, -1), want_kinds(x.geometry.size(), 2);
  Reals v(ng, -7.0);
  int64_t m = I(ng) - 1, idum = -5;
  tkhxgm_(id.data(), &m, f.data(), kinds.data(), ints.data(), f.data() + 12 * ng, v.data(), f.data() + 24 * ng,
          f.data() + 36 * ng, &idum, 128, 12, 12, 12, 16);
  want_kinds.insert(want_kinds.end(), {1, -1});
  EXPECT_EQ(std::make_tuple(kinds, ints[ng - 2], idum, f.substr(12 * (ng - 1), 12)),
            std::make_tuple(want_kinds, x.geometry_integer, int64_t{-5}, std::string(12, '#')));

  // The zone table by both readers, and refused for another size.
  Reals want;
  for (const auto& zone : x.zone_table) want.insert(want.end(), zone.begin(), zone.end());
  std::string zf(40 * Z(nzp), '#'), zo(40 * want.size(), '#');
  Reals zv(want.size(), -7.0), zv2 = zv;
  int64_t zz = nz, pp = nzp;
  tkhxsc_(id.data(), &zz, &pp, zf.data(), zv.data(), zf.data() + 12 * nzp, zf.data() + 24 * nzp, &ierr, 128, 12, 12, 16);
  tkhxzo_(id.data(), &zz, &pp, zo.data(), zv2.data(), zo.data() + 12 * want.size(), zo.data() + 24 * want.size(), &e2,
          128, 12, 12, 16);
  EXPECT_EQ(std::make_tuple(ierr, e2, zv, zv2, zf), std::make_tuple(int64_t{0}, int64_t{0}, want, want, described(x.zone_props).first));
  ++zz;
  tkhxsc_(id.data(), &zz, &pp, zf.data(), zv.data(), zf.data() + 12 * nzp, zf.data() + 24 * nzp, &ierr, 128, 12, 12, 16);
  EXPECT_EQ(ierr, 3);

  // Zone profiles: the names, then every zone's profile of every property;
  // a zone without one, zone 0 and a property of none give a flag and nothing.
  Field names(12, Z(nfp) + 1);
  call(tkcoef_, id, c[13], names, ierr);
  EXPECT_EQ(names.text(), described(x.profile_props).first.substr(0, 12 * Z(nfp)) + std::string(12, '#'));
  std::vector<std::tuple<int64_t, std::string, Reals, std::string>> rows{
      {nz + 1, "TEMP", {}, ""}, {0, "TEMP", {}, ""}, {1, "NOSUCH", {}, ""}};
  for (int64_t z = 1; z <= nz; ++z)
    for (size_t k = 0; k < x.profile_props.size(); ++k)
      rows.emplace_back(z, flowsum::property_name(x.profile_props[k].property), x.profiles[Z(z - 1)][k],
                        described({x.profile_props[k]}).first.substr(12));
  for (auto& [zone, prop, want, units] : rows) {
    Field ql(12), lab(16);
    Reals pv(Z(npt) + 1, -7.0);
    int64_t z = zone, np = npt;
    call(tkhxcf_, id, z, np, Field(prop, 12), pv, ql, lab, ierr);
    want.resize(pv.size(), -7.0);
    EXPECT_EQ(std::make_tuple(ierr == 0, pv, units.empty() ? units : ql.text() + lab.text()),
              std::make_tuple(!units.empty(), want, units))
        << z << prop;
  }
  // The per-point section: names and qualifiers, each property with the point's two positions.
  std::string pf(28 * Z(npp), '#'), wn, w1, w2;
  tkhxpp_(id.data(), section.data(), &c[16], pf.data(), pf.data() + 12 * npp, pf.data() + 20 * npp, &ierr, 128, 8, 12, 8, 8);
  for (size_t k = 0; k < x.point_props.size(); ++k) {
    wn += name_of(x.point_props[k].property), w1 += pad(k % 2 ? "HOT" : "COLD", 8), w2 += pad("S" + std::to_string(k), 8);
    std::vector<Reals> got(3, Reals(Z(npt), -7.0)), expect(3);
    for (const auto& row : x.point_rows) expect[0].push_back(row[0]), expect[1].push_back(row[1]), expect[2].push_back(row[2 + k]);
    int64_t np = npt;
    call(tkhxpr_, id, section, Field(wn.substr(12 * k), 12), np, got[0], got[1], got[2], Field(12), Field(16), ierr);
    EXPECT_EQ(std::make_pair(ierr, got), std::make_pair(int64_t{0}, expect));
  }
  EXPECT_EQ(pf, wn + w1 + w2);
  int64_t none = 0;  // no points asked for: nothing written (and no division by them)
  double wv = -7.0;
  call(tkhxpr_, id, section, Field("TEMP", 12), none, wv, wv, wv, Field(12), Field(16), ierr);
  EXPECT_EQ(wv, -7.0);
}

// A column's intermediate streams, read with room for one fewer (for one
// stream, all); a block without them reads nothing (flag 1, 2 for an exchanger).
void check_column(const IntermediateStreams& s, int64_t flag = 0) {
  SCOPED_TRACE("column " + s.id);
  const size_t n = s.values.size(), room = n > 1 ? n - 1 : 1;
  int64_t count = -1, asked = I(room), ierr = -1;
  std::vector<Ints> con(4, Ints(room + 1, -1)), want_con = con;
  std::vector<Reals> val(7, Reals(room + 1, -7.0)), want_val = val;
  const Field id(s.id, 128);
  call(tknics_, id, count);
  call(tkicst_, id, asked, con[0], con[1], con[2], con[3], val[0], val[1], val[2], val[3], val[4], val[5], val[6], ierr);
  const bool kinetic = s.model == "KINETCOL";  // reports no connections and no sixth and seventh values
  for (size_t i = 0; i < std::min(n, room); ++i) {
    for (size_t q = 0; q < 4; ++q) want_con[q][i] = kinetic ? 0 : s.connections[i][q];
    for (size_t q = 0; q < 7; ++q) want_val[q][i] = kinetic && q >= 5 ? 1.0e35 : s.values[i][q];
  }
  EXPECT_EQ(std::make_tuple(count, ierr, con, val), std::make_tuple(I(n), flag, want_con, want_val));
}

// The remembered curve list and curve table answer only for the load and
// tree they were read from: a reload lists and reads the new file, and a
// curve that TKDTRE adds to the block is listed.
TEST(HeatingCurves, RememberedCurvesFollowReloadsAndTreeEdits) {
  std::vector<std::tuple<TempSummaryFile, int64_t, Reals>> files;  // E1 with two curves, then one of other values
  for (int64_t ncurves : {2, 1}) {
    SummaryBuilder sb;
    sb.header();
    FlowsheetWriter w(sb);
    w.property_names();
    Curve c = sample_curve("HCURVE", "HCURVE", 1, 3, 0, 30 + static_cast<uint64_t>(ncurves));
    for (c.number = 1; c.number <= ncurves; ++c.number) CurveWriter(w).curve("TEMPCHG", "E1", c);
    files.emplace_back(TempSummaryFile(sb.text()), ncurves, c.temp);
  }
  auto read = [id = Field("E1", 128)] {
    int64_t n = -1, num = 1, np = 3, ierr = -1;
    std::vector<Reals> v(5, Reals(3, -7.0));
    call(tknhcv_, id, n);
    call(tkhcrv_, id, Field("HCURVE", 16), num, np, v[0], v[1], v[2], v[3], v[4], ierr);
    return std::make_pair(n, v[1]);
  };
  std::optional<LoadedSummary> loaded;
  for (const auto& [file, n, temp] : files) {
    ASSERT_EQ(loaded.emplace(file.string()).ierr(), 0);
    EXPECT_EQ(read(), std::make_pair(n, temp));
  }
  const std::vector<std::string> path{"BLOCK", "TEMPCHG", "E1", "HCURVE"};
  ASSERT_EQ(file_in_tree(path, tree_lookup(path)), 0);
  EXPECT_EQ(read().first, 2);
}

}  // namespace

void check_heat_transfer(const RandomFlowsheet& f) {
  for (const CurveBlock& b : f.curve_blocks) check_block(b);
  for (const Exchanger& x : f.exchangers.exchangers) check_exchanger(x), check_column({"", x.id}, 2);
  for (const IntermediateStreams& c : f.exchangers.columns) check_column(c);
  check_column({"", "NOSUCH"}, 1);
  // An unknown block has no curves and no exchanger sections (flag 1).
  Ints n(6, -1);
  call(tknhcr_, Field("NOSUCH", 128), n[5]);
  call(tknhxs_, Field("NOSUCH", 128), n[0], n[1], n[2], n[3], n[4]);
  EXPECT_EQ(n, (Ints{0, 0, 0, 0, 1, 0}));
}

}  // namespace flowsum::testing
