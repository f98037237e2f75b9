#include "support/block_table_records.hpp"

#include <stdexcept>

namespace flowsum::testing {
namespace {

std::string num(int64_t n) { return std::to_string(n); }

const std::vector<std::string> kColumnQualifiers{"PROPERTIES", "SUBSTREAM", "PHASE", "COMPONENTS", "BASIS"};

}  // namespace

std::string BlockTableWriter::fresh(const std::string& prefix) { return prefix + num(++counter_); }

std::string BlockTableWriter::points_set(int64_t npoints) {
  const std::string name = "NPT" + num(npoints);
  w_.idset_once(name, {"NPOINT"}, {{{"#" + num(npoints)}}});
  return name;
}

IdMember BlockTableWriter::column_member(const ProfileColumn& c) const {
  return {{num(c.property), blank_item(c.substream), blank_item(c.phase), blank_item(c.component), blank_item(c.basis)},
          2, c.unit_type};
}

void BlockTableWriter::reactor_report(const std::string& model, const std::string& block, const std::string& section,
                                      const std::vector<ProfileColumn>& profiles) {
  for (const ProfileColumn& p : profiles) {
    const std::string set = fresh("RP");
    const std::string npt = points_set(static_cast<int64_t>(p.values.size()));
    w_.idset_once(set, kColumnQualifiers, {column_member(p)});
    w_.lset_once(set, "(%" + set + " & %" + npt + ")");
    std::vector<Value> vals;
    for (double x : p.values) vals.push_back(unit_real(x, p.unit_type, p.unit_code));
    w_.builder().dset({"BLOCK", model, block, section}, set, vals);
  }
}

void BlockTableWriter::property_table(const std::string& type, const std::string& id,
                                      const std::vector<ProfileColumn>& columns) {
  if (columns.empty()) throw std::invalid_argument("a property table needs a column");
  const size_t np = columns[0].values.size();
  const std::string set = fresh("PT");
  std::vector<IdMember> members;
  for (const ProfileColumn& c : columns) {
    if (c.values.size() != np) throw std::invalid_argument("columns of different lengths");
    members.push_back(column_member(c));
  }
  w_.idset_once(set, kColumnQualifiers, members);
  const std::string npt = points_set(static_cast<int64_t>(np));
  w_.lset_once(set, "(%" + set + " & %" + npt + ")");
  std::vector<Value> vals;
  for (size_t p = 0; p < np; ++p)
    for (const ProfileColumn& c : columns) vals.push_back(unit_real(c.values[p], c.unit_type, c.unit_code));
  w_.builder().dset({"PROP-TABLE", type, id, "PROPTAB"}, set, vals);
}

void BlockTableWriter::envelope(const std::string& id, const std::vector<ProfileColumn>& columns,
                                const std::vector<EnvelopePoint>& points) {
  const std::string set = fresh("PE");
  std::vector<IdMember> members{{{"7003", "MIXED", " ", " ", " "}, 2, 0}, {{"7001", "MIXED", " ", " ", " "}, 2, 22},
                                {{"7002", "MIXED", " ", " ", " "}, 2, 20}, {{"131", "MIXED", " ", " ", " "}, 2, 0}};
  for (const ProfileColumn& c : columns) members.push_back(column_member(c));
  w_.idset_once(set, kColumnQualifiers, members);
  const std::string npt = points_set(static_cast<int64_t>(points.size()));
  w_.lset_once(set, "(%" + set + " & %" + npt + ")");
  std::vector<Value> vals;
  for (const EnvelopePoint& p : points) {
    if (p.columns.size() != columns.size()) throw std::invalid_argument("envelope point of wrong width");
    vals.push_back(Value::real(p.marker));
    vals.push_back(Value::real(p.x, 1));
    vals.push_back(Value::real(p.y, 1));
    vals.push_back(Value::real(0.0));
    for (size_t c = 0; c < columns.size(); ++c)
      vals.push_back(unit_real(p.columns[c], columns[c].unit_type, columns[c].unit_code));
  }
  w_.builder().dset({"PROP-TABLE", "PTENVELOPE", id, "PROPTAB"}, set, vals);
}

void BlockTableWriter::sensitivity(const SensitivityStudy& s) {
  const std::string tag = num(++counter_);
  const std::string stat = "SST" + tag, desc = "SDS" + tag, ent = "SEN" + tag,
                    npts = "SNP" + num(s.npoints), ncol = "SNC" + num(s.ncolumns);
  // Point status: one member per point that has one (plain load first, so
  // that the loops after it are terms of one sequence).
  std::vector<IdMember> stat_members;
  for (const auto& [p, v] : s.status) stat_members.push_back({{"131", num(p)}, 1, 0});
  if (stat_members.empty()) stat_members.push_back({{"999", "1"}, 1, 0});
  w_.idset_once(stat, {"PROPERTIES", "NPOINTS"}, stat_members);
  w_.idset_once(npts, {"NPOINTS"}, {{{"#" + num(s.npoints)}}});
  w_.idset_once(ncol, {"NCOL"}, {{{"#" + num(s.ncolumns)}}});
  std::vector<IdMember> desc_members;
  for (int64_t d = 106; d <= 111; ++d) desc_members.push_back({{num(d)}, 6, 0});
  w_.idset_once(desc, {"PROPERTIES"}, desc_members);
  w_.idset_once(ent, {"PROPERTIES"}, {{{"105"}, 2, 0}});
  w_.lset_once(stat, "(%" + stat + " (%" + desc + " & %" + ncol + ") (%" + ent + " & %" + ncol + " & %" + npts + "))");
  std::vector<Value> vals;
  if (s.status.empty()) vals.push_back(Value::integer(0));
  for (const auto& [p, v] : s.status) vals.push_back(Value::integer(v));
  for (int64_t c = 0; c < s.ncolumns; ++c)
    for (size_t d = 0; d < 6; ++d) {
      const auto& ds = static_cast<size_t>(c) < s.descriptors.size() ? s.descriptors[static_cast<size_t>(c)]
                                                                     : std::vector<std::string>{};
      vals.push_back(Value::text(d < ds.size() ? ds[d] : " "));
    }
  for (int64_t p = 0; p < s.npoints; ++p)
    for (int64_t c = 0; c < s.ncolumns; ++c)
      vals.push_back(Value::real(s.entries.at(static_cast<size_t>(p)).at(static_cast<size_t>(c))));
  w_.builder().dset({"SENSITIVITY", s.id, "SNS_TAB"}, stat, vals);
}

void BlockTableWriter::flowsheet_balance(const std::vector<double>& reals) {
  const std::string n = num(static_cast<int64_t>(reals.size())), set = "FLWBAL" + n;
  std::vector<Value> vals;
  for (double x : reals) vals.push_back(Value::real(x));
  w_.single({"FLWBAL"}, set, {"ITEM"}, {{{"#" + n}, 2, 0}}, vals);
}

void example_tables(FlowsheetWriter& w) {
  BlockTableWriter t(w);
  t.property_table("FLASHCURVE", "FLASH1",
                   {{prop::kTemp, "MIXED", "", "", "", unit_type::kTemperature, 1, {300.0, 320.0, 340.0, 360.0, 380.0}},
                    {prop::kVfrac, "MIXED", "VAPOR", "", "MOLE", 0, 1, {0.0, 0.1, 0.35, 0.8, 1.0}}});
  t.sensitivity({"S-1", 3, 2, {{"FEED", "TEMP"}, {"B1", "QCALC"}}, {{300.0, 1.5E5}, {320.0, 2.5E5}, {340.0, 3.5E5}},
                 {{1, 0}, {3, 4}}});
}

}  // namespace flowsum::testing
