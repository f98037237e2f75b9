// Ready-made flowsheet data sets (see flowsheet_records.hpp).
#include "support/flowsheet_records.hpp"

#include <cmath>
#include <stdexcept>
#include <tuple>

namespace flowsum::testing {
namespace {

std::string num(int64_t n) { return std::to_string(n); }

// A missing real of a unit type is written with unit code 1 (else every
// later value would shift by one token).
Value result_value(const BlockResult& r) {
  const size_t tokens = r.unit_type ? 2 : 1;
  if (r.type != 2 || r.value.tokens().front() != "*" || r.value.tokens().size() == tokens) return r.value;
  return r.unit_type ? Value::missing(1) : Value::missing();
}

}  // namespace

Value unit_real(double x, int64_t unit_type, int64_t unit_code) {
  if (std::isnan(x)) return unit_type ? Value::missing(unit_code) : Value::missing();
  return unit_type ? Value::real(x, unit_code) : Value::real(x);
}

std::vector<PsetEntry> fixture_property_names() {
  using namespace prop;
  return {{kTemp, "TEMP"}, {kPres, "PRES"}, {kVfrac, "VFRAC"}, {kLfrac, "LFRAC"}, {kHmx, "HMX"},
          {kSmx, "SMX"}, {kRhomx, "RHOMX"}, {kCpmx, "CPMX"}, {kMw, "MW"}, {kQcalc, "QCALC"},
          {kPamb, "PAMB"}, {kNstage, "NSTAGE"}, {kRefluxRatio, "REFLUX-RATIO"}, {kMoleFlowTotal, "MOLEFLMX"},
          {kMoleFrac, "MOLEFRAC"}, {kMassFlowTotal, "MASSFLMX"}, {kMassFrac, "MASSFRAC"},
          {kStdVolFlowTotal, "VOLFLMX"}, {kStdVolFrac, "STDVOLFRAC"}, {kMoleFlow, "MOLEFLOW"},
          {kMassFlow, "MASSFLOW"}, {kStdVolFlow, "STDVOLFLOW"}};
}

BlockResult BlockResult::real(int64_t property, double x, int64_t unit_type,
                              std::vector<std::string> descriptors, int64_t unit_code) {
  return {property, std::move(descriptors), unit_real(x, unit_type, unit_code), 2, unit_type};
}

BlockResult BlockResult::integer(int64_t property, int64_t n, std::vector<std::string> descriptors) {
  return {property, std::move(descriptors), Value::integer(n), 1, 0};
}

BlockResult BlockResult::text(int64_t property, const std::string& s, std::vector<std::string> descriptors) {
  return {property, std::move(descriptors), Value::word(s), 5, 0};
}

void FlowsheetWriter::single(const std::vector<std::string>& path, const std::string& set,
                             const std::vector<std::string>& qualifiers, const std::vector<IdMember>& members,
                             const std::vector<Value>& values) {
  idset_once(set, qualifiers, members);
  lset_once(set, "(%" + set + ")");
  b_.dset(path, set, values);
}

bool FlowsheetWriter::idset_once(const std::string& name, const std::vector<std::string>& qualifiers,
                                 const std::vector<IdMember>& members) {
  if (!idsets_.insert(name).second) return false;
  b_.idset(name, qualifiers, members);
  return true;
}

bool FlowsheetWriter::lset_once(const std::string& name, const std::string& definition) {
  if (!lsets_.insert(name).second) return false;
  b_.lset(name, definition);
  return true;
}

std::string FlowsheetWriter::layout_name(const std::string& signature, const std::string& wanted,
                                         const std::string& prefix) {
  auto it = layouts_.find(prefix + "|" + signature);
  if (it != layouts_.end()) return it->second;
  std::string name = wanted;
  while (name.empty() || names_.count(name)) {
    if (!wanted.empty())
      throw std::invalid_argument("set name " + wanted + " already names another layout");
    int n = ++prefix_counts_[prefix];
    name = n == 1 ? prefix : prefix + num(n);
  }
  names_.insert(name);
  layouts_.emplace(prefix + "|" + signature, name);
  return name;
}

void FlowsheetWriter::property_names(const std::string& pset_name) {
  b_.pset(pset_name, fixture_property_names());
}

void FlowsheetWriter::run_status(const RunInfo& info) {
  // VERS, TITLE and RUNID: one text each, under a set of their own name.
  for (const auto& [key, item, type, value] :
       {std::tuple{"VERS", "VERSION", 6, Value::text(info.version)}, {"TITLE", "TITLE", 6, Value::text(info.title)},
        {"RUNID", "RUNID", 5, Value::word(info.run_id)}}) {
    single({"RUN-STATUS", key}, key, {"ITEM"}, {{{item}, type}}, {value});
  }
  single({"RUN-STATUS", "IT"}, "RUNIT", {"PROPERTIES"},
         {{{num(prop::kCompletion)}, 1}, {{num(prop::kStatusText1)}, 6}, {{num(prop::kStatusText2)}, 6}},
         {Value::integer(info.completion), Value::text(info.status_text1), Value::text(info.status_text2)});

  std::vector<IdMember> flags;
  for (size_t i = 0; i < info.flags.size(); ++i) flags.push_back({{num(static_cast<int64_t>(i + 1))}, 1});
  std::string stat = "RUNSTAT" + (info.flags.size() == 6 ? std::string() : num(static_cast<int64_t>(info.flags.size())));
  single({"RUN-STATUS", "STATUS"}, stat, {"ITEM"}, flags, integers(info.flags));
  if (info.ambient_pressure)
    single({"PAMB", "PAMB"}, "PAMB", {"PROPERTIES"}, {{{num(prop::kPamb)}, 2, unit_type::kPressure}},
           {Value::real(*info.ambient_pressure, 1)});
}

void FlowsheetWriter::account(const AccountInfo& info) {
  single({"RUN-STATUS", "ACCOUNT"}, "ACCOUNT", {"PROPERTIES"},
         {{{num(prop::kAccountUser)}, 5}, {{num(prop::kAccountProject)}, 5}, {{num(prop::kAccountText355)}, 6},
          {{num(prop::kAccountText348)}, 6}},
         {Value::word(info.user), Value::word(info.project), Value::text(info.text355), Value::text(info.text348)});
}

void FlowsheetWriter::components(const std::vector<std::string>& ncc, const std::vector<std::string>& nnc) {
  auto members = [](const std::vector<std::string>& ids) {
    std::vector<IdMember> m;
    for (const std::string& id : ids) m.push_back({{id}});
    return m;
  };
  idset_once("ID_NCC", {"COMPONENTS"}, members(ncc));
  if (!nnc.empty()) idset_once("ID_NNC", {"COMPONENTS"}, members(nnc));
}

void FlowsheetWriter::component_property(const std::string& keyword, int64_t property,
                                         const std::vector<double>& values, int64_t unit_type, int64_t unit_code) {
  idset_once(keyword, {"PROPERTIES"}, {{{num(property)}, 2, unit_type}});
  lset_once(keyword, "(%ID_NCC & %" + keyword + ")");
  std::vector<Value> vals;
  for (double x : values) vals.push_back(unit_real(x, unit_type, unit_code));
  b_.dset({keyword, keyword}, keyword, vals);
}

void FlowsheetWriter::connections(const std::string& model, const std::string& block,
                                  const std::vector<std::pair<std::string, std::string>>& inlets,
                                  const std::vector<std::pair<std::string, std::string>>& outlets) {
  idset_once("STRMID", {"STREAMID"}, {{{"?"}}});
  lset_once("CONN", "(%STRMID)");
  auto list = [&](const char* ids_key, const char* types_key,
                  const std::vector<std::pair<std::string, std::string>>& ports) {
    std::vector<Value> ids, types;
    for (const auto& [id, type] : ports) {
      ids.push_back(Value::word(id));
      types.push_back(Value::word(type));
    }
    b_.dset_counted({"BLOCK", model, block, ids_key}, "CONN", ids);
    b_.dset_counted({"BLOCK", model, block, types_key}, "CONN", types);
  };
  list("BLKIN", "TYPIN", inlets);
  list("BLKOUT", "TYPOUT", outlets);
}

void FlowsheetWriter::ports(const std::string& model, const std::string& block,
                            const std::vector<Port>& in, const std::vector<Port>& out) {
  idset_once("PORT", {"ITEM"}, {{{"CODE"}, 1}, {{"LOCATION"}, 1}, {{"THIRD"}, 1}});
  auto write = [&](const char* key, const std::vector<Port>& ports) {
    if (ports.empty()) return;
    std::string n = num(static_cast<int64_t>(ports.size()));
    std::vector<IdMember> numbers;
    for (size_t i = 1; i <= ports.size(); ++i) numbers.push_back({{num(static_cast<int64_t>(i))}});
    idset_once("NPORT" + n, {"PORTNO"}, numbers);
    lset_once("PORTS" + n, "(%PORT & %NPORT" + n + ")");
    std::vector<Value> vals;
    for (const Port& p : ports) {
      vals.push_back(Value::integer(p.code));
      vals.push_back(Value::integer(p.location));
      vals.push_back(Value::integer(p.third));
    }
    b_.dset({"BLOCK", model, block, key}, "PORTS" + n, vals);
  };
  write("IN_PORT", in);
  write("OUT_PORT", out);
}

void FlowsheetWriter::block_results(const std::string& model, const std::string& block,
                                    const std::vector<std::string>& descriptor_qualifiers,
                                    const std::vector<BlockResult>& results,
                                    const std::string& set_name, const std::string& section) {
  std::string sig;
  for (const std::string& q : descriptor_qualifiers) sig += q + ",";
  std::vector<IdMember> members;
  std::vector<Value> values;
  for (const BlockResult& r : results) {
    IdMember m{{num(r.property)}, r.type, r.unit_type};
    m.items.insert(m.items.end(), r.descriptors.begin(), r.descriptors.end());
    for (const std::string& item : m.items) sig += item + " ";
    sig += "*" + num(r.type) + "<" + num(r.unit_type) + ">;";
    members.push_back(std::move(m));
    values.push_back(result_value(r));
  }
  std::string name = layout_name(sig, set_name, "RES");
  std::vector<std::string> quals{"PROPERTIES"};
  quals.insert(quals.end(), descriptor_qualifiers.begin(), descriptor_qualifiers.end());
  single({"BLOCK", model, block, section}, name, quals, members, values);
}

}  // namespace flowsum::testing
