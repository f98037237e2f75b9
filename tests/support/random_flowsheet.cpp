// Random flowsheets with their ground truth (see random_flowsheet.hpp).
#include "support/random_flowsheet.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>

#include "support/object_records.hpp"
#include "support/run_records.hpp"
#include "support/stream_records.hpp"

namespace flowsum::testing {
namespace {

struct Rng : Draws {
  explicit Rng(uint64_t seed) : Draws(seed * 0x9E3779B97F4A7C15ull + 1) {}
};

constexpr const char* kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr const char* kNameChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";

// A name token: a letter, then letters, digits, '_' and '-'.
std::string name(Rng& r, size_t length) {
  std::string s(1, kLetters[r.below(26)]);
  while (s.size() < length) s += kNameChars[r.below(38)];
  return s;
}

// An identifier of the shapes files hold: short, of exactly 8, 12 or 16
// characters, long, hierarchical (parts joined by full stops).
std::string identifier(Rng& r, size_t max_length) {
  switch (r.below(10)) {
    case 0: case 1: case 2: case 3:
      return name(r, static_cast<size_t>(r.between(1, 8)));
    case 4: {
      static const std::vector<size_t> widths{8, 12, 16};
      return name(r, std::min(max_length, r.pick(widths)));
    }
    case 5: case 6:
      if (max_length < 13) return name(r, max_length);
      return name(r, static_cast<size_t>(r.between(13, static_cast<int64_t>(max_length))));
    default: {
      std::string s = name(r, static_cast<size_t>(r.between(1, 8)));
      int64_t parts = r.between(1, 4);
      for (int64_t i = 0; i < parts; ++i) {
        std::string part = name(r, static_cast<size_t>(r.between(1, 12)));
        if (s.size() + 1 + part.size() > max_length) break;
        s += "." + part;
      }
      return s;
    }
  }
}

std::string unique_identifier(Rng& r, std::set<std::string>& used, size_t max_length) {
  for (;;) {
    std::string id = identifier(r, max_length);
    if (used.insert(id).second) return id;
  }
}

// Words and blanks, as free texts (titles, status texts, account texts).
std::string free_text(Rng& r, size_t max_length) {
  size_t length = static_cast<size_t>(r.between(1, static_cast<int64_t>(max_length)));
  std::string s;
  while (s.size() < length) {
    if (!s.empty()) s += ' ';
    s += name(r, static_cast<size_t>(r.between(1, 9)));
  }
  s.resize(length);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s.empty() ? "X" : s;
}

// A real of at most 9 significant digits over a wide range of magnitudes.
double random_real(Rng& r) {
  double mantissa = static_cast<double>(r.between(1, 999999999));
  double x = mantissa * std::pow(10.0, static_cast<double>(r.between(-20, 12)));
  if (r.chance(30)) x = -x;
  if (r.chance(5)) x = 0.0;
  return real_as_read(x);
}

const std::vector<std::string> kBlockModels{"HEATER", "FLASH2", "MIXER", "RADFRAC", "FSPLIT",
                                            "LINKEDCOL", "CRUDEUNIT", "RSTOIC", "HEATX", "CONNECT"};
const std::vector<std::string> kStreamTypes{"MATERIAL", "HEAT", "WORK"};
const std::vector<std::string> kTableTypes{"PROPTAB", "FLASHCURVE", "PTENVELOPE", "GENERIC"};
const std::vector<std::string> kEquipmentTypes{"PUMP", "FURNACE-UNIT", "TRAY-TOWER",
                                               "PACK-TOWER", "HEATX", "VESSEL", "CUSTOM2"};

// PSIG (code 7 of pressure): its SI value adds the run's ambient pressure.
constexpr int64_t kPsigCode = 7;
constexpr double kPsi = 6894.757293168361;

// Stream main tables: substreams (blank among them), classes ("" written
// missing), total rows and per-component rows; 4242 has no name.
const std::vector<std::string> kSubstreams{"MIXED", "CISOLID", "NC", "NCPSD", "CIPSD", ""};
const std::vector<std::string> kStreamClasses{"CONVEN", "MIXCISLD", "MIXNC", ""};
constexpr int64_t kUnnamedProperty = 4242;
struct RowKind {
  int64_t property;
  int64_t unit_type;
};
const std::vector<RowKind> kTotalRows{
    {prop::kTemp, unit_type::kTemperature}, {prop::kPres, unit_type::kPressure}, {prop::kVfrac, 0},
    {prop::kHmx, unit_type::kEnthalpyFlow}, {prop::kHmx, 0}, {prop::kQcalc, unit_type::kEnthalpyFlow},
    {prop::kMoleFlowTotal, unit_type::kMoleFlow}, {prop::kMassFlowTotal, unit_type::kMassFlow}, {prop::kMw, 0},
    {kUnnamedProperty, 0}};
const std::vector<RowKind> kComponentRows{{prop::kMoleFlow, unit_type::kMoleFlow}, {prop::kMassFlow, unit_type::kMassFlow},
                                          {prop::kMoleFrac, 0}, {prop::kMassFrac, 0}};

// A unit of one type (any for 0); gauge units only with an ambient pressure.
KnownUnit random_unit(Rng& r, int64_t type, const std::optional<double>& ambient) {
  std::vector<KnownUnit> units;
  for (const KnownUnit& u : known_units())
    if ((type == 0 || u.unit_type == type) && (ambient || u.code != kPsigCode)) units.push_back(u);
  return r.pick(units);
}

double si_value(const KnownUnit& u, double x, const std::optional<double>& ambient) {
  const bool gauge = u.unit_type == unit_type::kPressure && u.code == kPsigCode;
  return x * u.factor + (gauge ? *ambient : u.offset);
}

// The name the property tables give a number the fixtures write.
std::string property_name_of(int64_t number) {
  for (const PsetEntry& e : fixture_property_names())
    if (e.number == number) return e.name;
  return "";
}

// Hierarchy prefix (up to and including the last dot) and local name.
std::string prefix_of(const std::string& id) {
  const size_t dot = id.rfind('.');
  return dot == std::string::npos ? std::string() : id.substr(0, dot + 1);
}
std::string local_of(const std::string& id) { return id.substr(prefix_of(id).size()); }

// Longest stream identifier with a main table (its head fits a line).
constexpr size_t kMaxTableStreamId = 36;

// Two to five distinct compressor results at npoints points (one result
// over two points reads as two results at one point).
ResultGrid random_grid(Rng& r, int64_t npoints) {
  std::vector<std::pair<int64_t, int64_t>> pool{{prop::kTemp, unit_type::kTemperature},
                                                {prop::kPres, unit_type::kPressure},
                                                {47, unit_type::kEnthalpyFlow}, {48, 0}, {49, 0}, {51, 0},
                                                {62, unit_type::kEnthalpyFlow}};
  ResultGrid g;
  for (int64_t n = r.between(2, 5); n > 0; --n) {
    const size_t k = r.below(pool.size());
    g.properties.push_back({pool[k].first, r.chance(80) ? pool[k].second : 0});
    pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(k));
  }
  g.values.assign(static_cast<size_t>(npoints), {});
  for (auto& point : g.values)
    for (size_t k = 0; k < g.properties.size(); ++k) point.push_back(random_real(r));
  return g;
}

// Up to 12 stages, so that stage 12's wheels must not be taken for stage 1's.
CompressorRecord random_compressor(Rng& r, const std::string& id) {
  CompressorRecord c{r.chance(40) ? "BOOSTR" : "STAGEBST", id, {}, {}, {}, {}};
  const int64_t nstages = c.model == "BOOSTR" ? 1 : r.between(1, 12);
  if (r.chance(c.model == "BOOSTR" ? 85 : 70)) c.performance = random_grid(r, nstages);
  if (c.model == "BOOSTR") return c;
  if (r.chance(80)) c.stages = random_grid(r, nstages);
  if (nstages > 1 && r.chance(70)) c.coolers = random_grid(r, nstages - 1);
  for (int64_t s = 1; s <= nstages; ++s)
    if (r.chance(60)) c.wheels[s] = random_grid(r, r.between(1, 4));
  return c;
}

// Sizing and costing results: headlines (integers or reals, now and then
// twice), sizes, texts and an unnamed number; an item whose head would not
// fit a line keeps ObjectWriter's one-value data set.
bool costed_equipment(Rng& r, const RandomObject& item, EquipmentWriter& writer, std::vector<CostingRecord>& truth) {
  CostingRecord c{item.type, item.id, costing_section_of(item.type), {}};
  if (34 + c.type.size() + word_token(c.id).size() + c.section.size() > kMaxLineColumns || r.chance(10)) return false;
  static const std::vector<int64_t> kinds{222, 381, 382, 383, 384, 385, 874, kUnnamedProperty};
  for (int64_t n = r.between(1, 8); n > 0; --n) {
    CostResult v{r.pick(kinds)};
    if (v.property == 222 || ((v.property == 381 || v.property == 382) && r.chance(50))) {
      v.type = 1;
      v.integer = r.between(0, 9999999);
    } else if (v.property == 874) {
      v.type = r.chance(50) ? 5 : 6;
      v.text = v.type == 5 ? name(r, static_cast<size_t>(r.between(1, 8))) : free_text(r, 40);
    } else {
      v.real = random_real(r);
      v.unit_type = v.property == 384 ? unit_type::kPressure : v.property == 385 ? unit_type::kTemperature : 0;
      v.missing = r.chance(10);
    }
    c.results.push_back(v);
  }
  writer.costing(c);
  truth.push_back(c);
  return true;
}

}  // namespace

const std::vector<KnownUnit>& known_units() {
  using namespace unit_type;  // one row per unit type; PSIG adds the ambient pressure
  static const std::vector<KnownUnit> units{
      {kMassFlow, 1, 1.0, 0.0}, {kMassFlow, 2, 0.45359237 / 3600.0, 0.0}, {kMassFlow, 3, 1.0 / 3600.0, 0.0}, {kMassFlow, 4, 0.45359237, 0.0},
      {kMoleFlow, 1, 1.0, 0.0}, {kMoleFlow, 3, 1.0 / 3600.0, 0.0}, {kMoleFlow, 4, 0.001, 0.0},
      {kEnthalpyFlow, 1, 1.0, 0.0}, {kEnthalpyFlow, 2, 1055.05585262 / 3600.0, 0.0}, {kEnthalpyFlow, 4, 1000.0, 0.0},
      {kPressure, 1, 1.0, 0.0}, {kPressure, 2, kPsi, 0.0}, {kPressure, 3, 1.0e5, 0.0}, {kPressure, 4, 101325.0, 0.0}, {kPressure, kPsigCode, kPsi, 0.0},
      {kTemperature, 1, 1.0, 0.0}, {kTemperature, 2, 5.0 / 9.0, 459.67 * 5.0 / 9.0}, {kTemperature, 3, 1.0, 273.15}};
  return units;
}

namespace {
// Per unit type the label of its SI unit and the type's name.
std::pair<std::string, std::string> type_names(int64_t type) {
  static const std::map<int64_t, std::pair<std::string, std::string>> names{
      {unit_type::kMassFlow, {"KG/SEC", "MASS-FLOW"}}, {unit_type::kMoleFlow, {"KMOL/SEC", "MOLE-FLOW"}},
      {unit_type::kEnthalpyFlow, {"W", "HEAT-DUTY"}}, {unit_type::kPressure, {"PA", "PRESSURE"}},
      {unit_type::kTemperature, {"K", "TEMPERATURE"}}};
  const auto at = names.find(type);
  return at == names.end() ? std::pair<std::string, std::string>{} : at->second;
}
}  // namespace

std::string si_label(int64_t type) { return type_names(type).first; }
std::string known_type_name(int64_t type) { return type_names(type).second; }

std::string stored_type(const std::string& type) { return type.substr(0, 8); }

RandomFlowsheet random_flowsheet(uint64_t seed) {
  Rng r(seed);
  RandomFlowsheet f;
  f.seed = seed;

  // Layout: records over many lines now and then, spaced parentheses, indents.
  static const std::vector<size_t> per_line{0, 0, 1, 2, 5};
  f.layout.tokens_per_line = r.pick(per_line);
  f.layout.indent = static_cast<size_t>(r.between(2, 6));
  f.layout.spaced_parentheses = r.chance(30);
  SummaryBuilder b(f.layout);
  static const std::vector<Header> headers{Header::kIwp73, Header::kIwp80, Header::kMm};
  b.header(r.pick(headers));
  FlowsheetWriter w(b);
  w.property_names();

  f.run.version = r.chance(50) ? "12.1" : free_text(r, 20);
  f.run.run_id = name(r, static_cast<size_t>(r.between(1, 8)));
  f.run.title = free_text(r, 64);
  f.run.completion = r.between(0, 3);
  f.run.status_text1 = free_text(r, 40);
  f.run.status_text2 = free_text(r, 40);
  for (int64_t& flag : f.run.flags) flag = r.between(0, 2);
  if (r.chance(25)) f.run.ambient_pressure.reset();
  else if (r.chance(50)) f.run.ambient_pressure = 90000.0 + static_cast<double>(r.between(0, 20000));
  w.run_status(f.run);

  if (r.chance(60)) {
    f.has_account = true;
    f.account = {name(r, static_cast<size_t>(r.between(1, 8))), name(r, static_cast<size_t>(r.between(1, 8))),
                 free_text(r, 60), free_text(r, 60)};
    w.account(f.account);
  }
  std::set<std::string> used_names;
  for (auto [list, write] : {std::pair{&f.aliases, &alias_list}, std::pair{&f.case_names, &case_name_list}}) {
    if (!r.chance(40)) continue;
    for (int64_t n = r.between(1, 6); n > 0; --n) list->emplace_back(unique_identifier(r, used_names, 8), free_text(r, 12));
    write(w, *list);
  }

  std::set<std::string> used_components;
  for (int64_t i = r.between(1, 12); i > 0; --i) f.ncc.push_back(unique_identifier(r, used_components, 8));
  if (r.chance(30)) f.nnc.push_back(unique_identifier(r, used_components, 8));
  w.components(f.ncc, f.nnc);

  // Blocks with their results (identifiers short enough for the head to fit).
  std::set<std::string> used_blocks;
  for (int64_t i = r.between(0, 25); i > 0; --i) {
    RandomBlockResults res;
    res.block = {r.pick(kBlockModels), unique_identifier(r, used_blocks, 28)};
    std::vector<BlockResult> written;
    for (int64_t j = r.between(1, 8); j > 0; --j) {
      RandomValue v;
      v.property = r.pick(std::vector<int64_t>{prop::kTemp, prop::kPres, prop::kQcalc, prop::kMw,
                                               prop::kMoleFlowTotal, prop::kMassFlowTotal,
                                               prop::kNstage, prop::kRefluxRatio});
      // Each property once per block (readers look values up by property).
      if (std::any_of(res.values.begin(), res.values.end(), [&](const RandomValue& o) { return o.property == v.property; }))
        continue;
      v.type = std::vector<int64_t>{1, 5, 6, 2, 2, 2}[r.below(6)];
      if (v.type == 1) v.integer = r.between(-99999, 99999);
      if (v.type == 5) v.text = name(r, static_cast<size_t>(r.between(1, 8)));
      if (v.type == 6) v.text = free_text(r, 60);
      if (v.type == 2) {
        v.real = v.si = random_real(r);
        if (r.chance(70)) {
          const KnownUnit u = random_unit(r, 0, f.run.ambient_pressure);
          v.unit_type = u.unit_type;
          v.unit_code = u.code;
          v.si = si_value(u, v.real, f.run.ambient_pressure);
        }
        v.missing = r.chance(15);
      }
      const Value real = v.unit_type != 0 ? Value::real(v.real, v.unit_code) : Value::real(v.real);
      const Value missing = v.unit_type != 0 ? Value::missing(v.unit_code) : Value::missing();
      const BlockResult br{v.property, {}, v.type == 1 ? Value::integer(v.integer) : v.type == 5 ? Value::word(v.text)
                                           : v.type == 6 ? Value::text(v.text) : v.missing ? missing : real,
                           v.type, v.unit_type};
      res.values.push_back(v);
      written.push_back(br);
    }
    w.block_results(res.block.type, res.block.id, {}, written);
    f.blocks.push_back(res.block);
    f.results.push_back(std::move(res));
  }

  // Streams: most with a main table, the others only exist. One with a table
  // joins blocks whose local names fit 8 characters, on their hierarchy level;
  // its local name fits 8 too unless it joins CONNECT blocks only.
  ObjectWriter o(b);
  StreamWriter sw(w);
  std::set<std::string> used_streams, used_tables, used_equipment, used_reliefs;
  std::vector<size_t> joinable;
  for (size_t k = 0; k < f.blocks.size(); ++k)
    if (local_of(f.blocks[k].id).size() <= 8) joinable.push_back(k);
  f.connections.assign(f.blocks.size(), {});
  std::vector<std::string> components = f.ncc;
  components.insert(components.end(), f.nnc.begin(), f.nnc.end());
  for (int64_t i = r.between(0, 30); i > 0; --i) {
    const std::string type = r.pick(kStreamTypes);
    if (r.chance(30)) {
      f.streams.push_back({type, unique_identifier(r, used_streams, 40)});
      o.stream(type, f.streams.back().id);
      continue;
    }
    std::optional<size_t> from, to;
    if (!joinable.empty() && r.chance(75)) from = r.pick(joinable);
    std::vector<size_t> level;  // destinations on the source's level
    for (size_t k : joinable)
      if (!from || prefix_of(f.blocks[k].id) == prefix_of(f.blocks[*from].id)) level.push_back(k);
    if (!level.empty() && r.chance(75)) to = r.pick(level);

    RandomStreamResults s;
    std::string id;
    if (!from && !to) {
      id = unique_identifier(r, used_streams, kMaxTableStreamId);
    } else {
      const std::string prefix = prefix_of(f.blocks[from ? *from : *to].id);
      const bool long_names = (!from || f.blocks[*from].type == "CONNECT") && (!to || f.blocks[*to].type == "CONNECT");
      const int64_t longest = static_cast<int64_t>(kMaxTableStreamId - prefix.size());
      do {
        const bool long_name = long_names && longest > 8 && r.chance(50);
        const int64_t length = long_name ? r.between(9, longest) : r.between(1, 8);
        id = prefix + name(r, static_cast<size_t>(length));
      } while (!used_streams.insert(id).second);
    }
    s.stream = {type, id};
    if (from) s.source = f.blocks[*from].id, f.connections[*from].outlets.push_back(s.stream);
    if (to) s.destination = f.blocks[*to].id, f.connections[*to].inlets.push_back(s.stream);
    s.stream_class = r.pick(kStreamClasses);

    // One to three distinct substreams of totals and component rows.
    s.without_substream = r.chance(10);
    std::vector<std::string> substreams(s.without_substream ? 1 : 0);
    for (int64_t n = s.without_substream ? 0 : r.between(1, 3); n > 0; --n)
      if (const std::string& sub = r.pick(kSubstreams); std::find(substreams.begin(), substreams.end(), sub) == substreams.end())
        substreams.push_back(sub);
    auto add_row = [&](const RowKind& kind, const std::string& sub, const std::string& component) {
      RandomStreamRow row{kind.property, property_name_of(kind.property), sub, component};
      row.real = row.si = random_real(r);
      if (kind.unit_type != 0 && r.chance(90)) {
        const KnownUnit u = random_unit(r, kind.unit_type, f.run.ambient_pressure);
        row.unit_type = u.unit_type;
        row.unit_code = u.code;
        row.si = si_value(u, row.real, f.run.ambient_pressure);
      }
      row.missing = r.chance(10);
      s.rows.push_back(row);
    };
    for (const std::string& sub : substreams) {
      for (int64_t n = r.between(0, 4); n > 0; --n) add_row(r.pick(kTotalRows), sub, "");
      for (int64_t n = r.between(0, 2); n > 0; --n) {
        const RowKind kind = r.pick(kComponentRows);
        for (const std::string& c : components)
          if (r.chance(70)) add_row(kind, sub, c);
      }
    }

    ExplicitStream table{type, id, from ? local_of(s.source) : "", to ? local_of(s.destination) : "",
                         s.stream_class, {}, s.without_substream};
    for (const RandomStreamRow& row : s.rows)
      table.rows.push_back({row.property, row.substream, row.component, row.real, row.unit_type,
                            row.unit_code, row.missing});
    sw.main_table(table);
    f.streams.push_back(s.stream);
    f.stream_results.push_back(std::move(s));
  }

  // Inlet and outlet lists (local names); a block no stream joins has empty
  // lists or none.
  for (size_t k = 0; k < f.blocks.size(); ++k) {
    RandomConnections& c = f.connections[k];
    c.written = !c.inlets.empty() || !c.outlets.empty() || r.chance(50);
    if (!c.written) continue;
    std::vector<std::pair<std::string, std::string>> local[2];
    for (int out = 0; out < 2; ++out)
      for (const RandomObject& s : out ? c.outlets : c.inlets) local[out].emplace_back(local_of(s.id), s.type);
    w.connections(f.blocks[k].type, f.blocks[k].id, local[0], local[1]);
  }

  // Families draw from generators of their own, so that the rest stays as it was.
  f.curve_blocks = random_curve_blocks(w, seed, used_blocks);
  for (const CurveBlock& cb : f.curve_blocks) {
    f.blocks.push_back({cb.model, cb.id});
    f.connections.emplace_back();
  }
  f.exchangers = random_exchangers(w, seed, used_blocks);
  for (const Exchanger& x : f.exchangers.exchangers) f.blocks.push_back({x.model, x.id});
  for (const IntermediateStreams& c : f.exchangers.columns) f.blocks.push_back({c.model, c.id});
  f.connections.resize(f.blocks.size());

  // Objects that only exist (tables, equipment, relief objects); compressors
  // and costing results.
  Rng cr(seed ^ 0xC0575EEDull);
  EquipmentWriter equipment(w);
  // Family blocks with a one-value result table (unless their writer writes it).
  auto one_value_block = [&](const std::string& model, const std::string& id, bool write, double x = 1.0) {
    f.blocks.push_back({model, id});
    f.results.push_back({f.blocks.back(), {RandomValue{prop::kTemp, 2, 0, 0, false, 0, x, x, ""}}});
    f.connections.emplace_back();
    if (write) w.block_results(model, id, {}, {BlockResult::real(prop::kTemp, x)});
  };
  for (int64_t i = cr.between(0, 3); i > 0; --i) {
    CompressorRecord& c = f.compressors.emplace_back(random_compressor(cr, unique_identifier(cr, used_blocks, 28)));
    if (cr.chance(10)) c.model = c.model == "BOOSTR" ? "BOOSTER" : "STAGEBAT";  // merely begins like one
    one_value_block(c.model, c.id, true, random_real(cr));
    equipment.compressor(c);
  }
  for (int64_t i = r.between(0, 4); i > 0; --i) {
    f.tables.push_back({r.pick(kTableTypes), unique_identifier(r, used_tables, 40)});
    o.property_table(f.tables.back().type, f.tables.back().id);
  }
  for (int64_t i = r.between(0, 5); i > 0; --i) {
    f.equipment.push_back({r.pick(kEquipmentTypes), unique_identifier(r, used_equipment, 32)});
    if (!costed_equipment(cr, f.equipment.back(), equipment, f.costing))
      o.equipment(f.equipment.back().type, f.equipment.back().id);
  }
  for (int64_t i = r.between(0, 3); i > 0; --i) {
    f.reliefs.push_back(unique_identifier(r, used_reliefs, 40));
    o.relief(f.reliefs.back());
  }
  // Column blocks, reactors, relief objects with results and pipelines.
  f.columns = random_column_blocks(seed, w, f.ncc, used_blocks);
  for (const RandomColumnBlock& c : f.columns) one_value_block(c.model, c.id, true);
  f.reactors = random_reactors(seed, w, f.ncc, used_blocks);
  for (const RandomReactor& x : f.reactors) one_value_block(x.model, x.id, false);
  f.relief_results = random_reliefs(seed, w, f.ncc, used_reliefs);
  for (const RandomRelief& x : f.relief_results) f.reliefs.push_back(x.id);
  f.pipelines = random_pipelines(seed, w, f.ncc, used_blocks);
  for (const PipelineRecord& p : f.pipelines) one_value_block(p.model, p.id, true);
  f.text = b.text();
  return f;
}

}  // namespace flowsum::testing
