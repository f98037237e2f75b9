// Stream data sets with explicitly described values.
#include "support/stream_records.hpp"

namespace flowsum::testing {

namespace {

std::string num(int64_t n) { return std::to_string(n); }

}  // namespace

std::string StreamWriter::next_name() { return "XS" + num(++sets_); }

// A data set under path with its own sets: one real a member.
void StreamWriter::described(const std::vector<std::string>& path, const std::vector<std::string>& qualifiers,
                             const std::vector<DescribedValue>& values) {
  std::vector<IdMember> members;
  std::vector<Value> vals;
  for (const DescribedValue& v : values) {
    members.push_back({{}, 2, v.unit_type});
    for (const std::string& i : v.items) members.back().items.push_back(blank_item(i));
    vals.push_back(unit_real(v.value, v.unit_type));
  }
  w_.single(path, next_name(), qualifiers, members, vals);
}

void StreamWriter::main_table(const ExplicitStream& s, const std::string& set_name) {
  w_.idset_once("STRHEAD", {"ITEM"}, {{{"SOURCE"}, 5}, {{"DEST"}, 5}, {{"CLASS"}, 5}});
  auto word_or_missing = [](const std::string& t) { return t.empty() ? Value::missing() : Value::word(t); };
  std::vector<Value> vals{word_or_missing(s.source), word_or_missing(s.destination),
                          word_or_missing(s.stream_class)};
  std::string sig = s.without_substream ? "-" : "+";
  std::vector<IdMember> members;
  for (const MainRow& r : s.rows) {
    IdMember m;
    m.items.push_back(num(r.property));
    if (!s.without_substream) m.items.push_back(blank_item(r.substream));
    m.items.push_back(blank_item(r.component));
    m.type = 2;
    m.unit_type = r.unit_type;
    for (const std::string& i : m.items) sig += i + " ";
    sig += "<" + num(r.unit_type) + ">;";
    members.push_back(std::move(m));
    if (r.missing) vals.push_back(r.unit_type ? Value::missing(r.unit_code) : Value::missing());
    else vals.push_back(r.unit_type ? Value::real(r.value, r.unit_code) : Value::real(r.value));
  }
  const std::string name = w_.layout_name(sig, set_name, "SMAIN");
  std::vector<std::string> quals{"PROPERTIES"};
  if (!s.without_substream) quals.push_back("SUBSTREAM");
  quals.push_back("COMPONENTS");
  std::string def = "(%STRHEAD";
  if (!members.empty()) {
    w_.idset_once(name, quals, members);
    def += " %" + name;
  }
  def += ")";
  w_.lset_once(name, def);
  w_.builder().dset({"STREAM", s.type, s.id, "STR_MAIN"}, name, vals);
}

std::vector<MainRow> StreamWriter::mixed_rows(const std::vector<Total>& totals,
                                              const std::vector<std::string>& components,
                                              const std::vector<ComponentProperty>& properties) {
  std::vector<MainRow> rows;
  for (const Total& t : totals) rows.push_back({t.property, "MIXED", "", t.value, t.unit_type});
  for (const ComponentProperty& p : properties)
    for (size_t c = 0; c < components.size(); ++c)
      rows.push_back({p.property, "MIXED", components[c], p.values.at(c), p.unit_type});
  return rows;
}

void StreamWriter::component_attributes(const std::string& type, const std::string& id,
                                        const std::vector<ComponentAttribute>& values) {
  std::vector<DescribedValue> d;
  for (const ComponentAttribute& v : values)
    d.push_back({{v.substream, v.component, v.attribute, v.element}, v.value});
  described({"STREAM", type, id, "STR_CATT"}, {"SUBSTREAM", "COMPONENTS", "CATNAME", "CATTR"}, d);
}

void StreamWriter::substream_attributes(const std::string& type, const std::string& id,
                                        const std::vector<SubstreamAttribute>& values) {
  std::vector<DescribedValue> d;
  int n = 0;
  for (const SubstreamAttribute& v : values)
    d.push_back({{v.substream, v.attribute, "E" + num(++n)}, v.value});
  described({"STREAM", type, id, "SUBSATT"}, {"SUBSTREAM", "SATNAME", "ELEMENT"}, d);
}

}  // namespace flowsum::testing
