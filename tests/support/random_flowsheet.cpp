// Random flowsheets with their ground truth (see random_flowsheet.hpp).
#include "support/random_flowsheet.hpp"

#include <cmath>
#include <random>
#include <set>

#include "support/object_records.hpp"
#include "support/run_records.hpp"

namespace flowsum::testing {

namespace {

// Reproducible everywhere: only the raw 64-bit stream of the engine is used,
// never the library's distributions (whose results may differ between
// standard libraries).
class Rng {
 public:
  explicit Rng(uint64_t seed) : engine_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  // 0 .. n-1
  uint64_t below(uint64_t n) { return n == 0 ? 0 : engine_() % n; }
  int64_t between(int64_t lo, int64_t hi) {
    return lo + static_cast<int64_t>(below(static_cast<uint64_t>(hi - lo + 1)));
  }
  bool chance(int percent) { return below(100) < static_cast<uint64_t>(percent); }
  template <class T>
  const T& pick(const std::vector<T>& v) { return v[below(v.size())]; }

 private:
  std::mt19937_64 engine_;
};

constexpr const char* kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr const char* kNameChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";

// A name token: a letter, then letters, digits, '_' and '-'.
std::string name(Rng& r, size_t length) {
  std::string s(1, kLetters[r.below(26)]);
  while (s.size() < length) s += kNameChars[r.below(38)];
  return s;
}

// An identifier of one of the shapes summary files hold: short names, names
// of exactly 8, 12 or 16 characters, long names, and hierarchical names
// whose parts are joined by full stops (written quoted). max_length keeps
// the head of a record on its first line.
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
                                            "LINKEDCOL", "CRUDEUNIT", "RSTOIC", "HEATX"};
const std::vector<std::string> kStreamTypes{"MATERIAL", "HEAT", "WORK"};
const std::vector<std::string> kTableTypes{"PROPTAB", "FLASHCURVE", "PTENVELOPE", "GENERIC"};
const std::vector<std::string> kEquipmentTypes{"PUMP", "FURNACE-UNIT", "TRAY-TOWER",
                                               "PACK-TOWER", "HEATX", "VESSEL"};

// Gauge pressure: PSIG is code 7 of the pressure type; its SI value adds
// the run's ambient pressure.
constexpr int64_t kPsigCode = 7;
constexpr double kPsi = 6894.757293168361;

}  // namespace

const std::vector<KnownUnit>& known_units() {
  static const std::vector<KnownUnit> units{
      {unit_type::kMassFlow, 1, 1.0, 0.0},
      {unit_type::kMassFlow, 2, 0.45359237 / 3600.0, 0.0},
      {unit_type::kMassFlow, 3, 1.0 / 3600.0, 0.0},
      {unit_type::kMassFlow, 4, 0.45359237, 0.0},
      {unit_type::kMoleFlow, 1, 1.0, 0.0},
      {unit_type::kMoleFlow, 3, 1.0 / 3600.0, 0.0},
      {unit_type::kMoleFlow, 4, 0.001, 0.0},
      {unit_type::kEnthalpyFlow, 1, 1.0, 0.0},
      {unit_type::kEnthalpyFlow, 2, 1055.05585262 / 3600.0, 0.0},
      {unit_type::kEnthalpyFlow, 4, 1000.0, 0.0},
      {unit_type::kPressure, 1, 1.0, 0.0},
      {unit_type::kPressure, 2, kPsi, 0.0},
      {unit_type::kPressure, 3, 1.0e5, 0.0},
      {unit_type::kPressure, 4, 101325.0, 0.0},
      {unit_type::kPressure, kPsigCode, kPsi, 0.0},  // plus the ambient pressure
      {unit_type::kTemperature, 1, 1.0, 0.0},
      {unit_type::kTemperature, 2, 5.0 / 9.0, 459.67 * 5.0 / 9.0},
      {unit_type::kTemperature, 3, 1.0, 273.15},
  };
  return units;
}

std::string si_label(int64_t type) {
  switch (type) {
    case unit_type::kMassFlow: return "KG/SEC";
    case unit_type::kMoleFlow: return "KMOL/SEC";
    case unit_type::kEnthalpyFlow: return "W";
    case unit_type::kPressure: return "PA";
    case unit_type::kTemperature: return "K";
    default: return "";
  }
}

std::string stored_type(const std::string& type) { return type.substr(0, 8); }

RandomFlowsheet random_flowsheet(uint64_t seed) {
  Rng r(seed);
  RandomFlowsheet f;
  f.seed = seed;

  // Layout: one token a line now and then (records over many lines), blanks
  // around parentheses, various indents.
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
  if (r.chance(40)) {
    int64_t n = r.between(1, 6);
    for (int64_t i = 0; i < n; ++i)
      f.aliases.emplace_back(unique_identifier(r, used_names, 8).substr(0, 8), free_text(r, 12));
    alias_list(w, f.aliases);
  }
  if (r.chance(40)) {
    int64_t n = r.between(1, 6);
    for (int64_t i = 0; i < n; ++i)
      f.case_names.emplace_back(unique_identifier(r, used_names, 8).substr(0, 8), free_text(r, 12));
    case_name_list(w, f.case_names);
  }

  std::set<std::string> used_components;
  int64_t ncc = r.between(1, 12);
  for (int64_t i = 0; i < ncc; ++i) f.ncc.push_back(unique_identifier(r, used_components, 8).substr(0, 8));
  if (r.chance(30)) f.nnc.push_back(unique_identifier(r, used_components, 8).substr(0, 8));
  // The substr above may make two names equal: keep the first of each.
  {
    std::set<std::string> seen;
    std::vector<std::string> ncc_unique, nnc_unique;
    for (auto& c : f.ncc) if (seen.insert(c).second) ncc_unique.push_back(c);
    for (auto& c : f.nnc) if (seen.insert(c).second) nnc_unique.push_back(c);
    f.ncc = ncc_unique;
    f.nnc = nnc_unique;
  }
  w.components(f.ncc, f.nnc);

  // Blocks with their results. A block's identifier stays short enough for
  // the head of its RESULTS record to fit on the record's first line.
  std::set<std::string> used_blocks;
  int64_t nblocks = r.between(0, 25);
  for (int64_t i = 0; i < nblocks; ++i) {
    RandomBlockResults res;
    res.block = {r.pick(kBlockModels), unique_identifier(r, used_blocks, 28)};
    std::vector<BlockResult> written;
    int64_t nvalues = r.between(1, 8);
    for (int64_t j = 0; j < nvalues; ++j) {
      RandomValue v;
      v.property = r.pick(std::vector<int64_t>{prop::kTemp, prop::kPres, prop::kQcalc, prop::kMw,
                                               prop::kMoleFlowTotal, prop::kMassFlowTotal,
                                               prop::kNstage, prop::kRefluxRatio});
      // Each property once per block: repeat properties would make the
      // RESULTS set ambiguous for readers that look values up by property.
      bool repeated = false;
      for (const RandomValue& other : res.values) repeated = repeated || other.property == v.property;
      if (repeated) continue;
      BlockResult br;
      br.property = v.property;
      switch (r.below(6)) {
        case 0:
          v.type = 1;
          v.integer = r.between(-99999, 99999);
          br = BlockResult::integer(v.property, v.integer);
          break;
        case 1:
          v.type = 5;
          v.text = name(r, static_cast<size_t>(r.between(1, 8)));
          br = BlockResult::text(v.property, v.text);
          break;
        case 2:
          v.type = 6;
          v.text = free_text(r, 60);
          br.type = 6;
          br.value = Value::text(v.text);
          break;
        default: {
          v.type = 2;
          v.real = random_real(r);
          br.type = 2;
          if (r.chance(70)) {
            const KnownUnit* u = nullptr;
            do u = &r.pick(known_units());
            while (u->code == kPsigCode && !f.run.ambient_pressure);
            v.unit_type = u->unit_type;
            v.unit_code = u->code;
            double offset = u->code == kPsigCode && u->unit_type == unit_type::kPressure
                                ? *f.run.ambient_pressure : u->offset;
            v.si = v.real * u->factor + offset;
            br.unit_type = u->unit_type;
          } else {
            v.si = v.real;
          }
          v.missing = r.chance(15);
          if (v.missing) {
            br.value = v.unit_type != 0 ? Value::missing(v.unit_code) : Value::missing();
          } else {
            br.value = v.unit_type != 0 ? Value::real(v.real, v.unit_code) : Value::real(v.real);
          }
        }
      }
      res.values.push_back(v);
      written.push_back(br);
    }
    w.block_results(res.block.type, res.block.id, {}, written);
    f.blocks.push_back(res.block);
    f.results.push_back(std::move(res));
  }

  // Objects that only need to exist: streams, property tables, equipment
  // and pressure-relief objects, with long identifiers too.
  ObjectWriter o(b);
  std::set<std::string> used_streams, used_tables, used_equipment, used_reliefs;
  for (int64_t i = r.between(0, 30); i > 0; --i) {
    f.streams.push_back({r.pick(kStreamTypes), unique_identifier(r, used_streams, 40)});
    o.stream(f.streams.back().type, f.streams.back().id);
  }
  for (int64_t i = r.between(0, 4); i > 0; --i) {
    f.tables.push_back({r.pick(kTableTypes), unique_identifier(r, used_tables, 40)});
    o.property_table(f.tables.back().type, f.tables.back().id);
  }
  for (int64_t i = r.between(0, 5); i > 0; --i) {
    f.equipment.push_back({r.pick(kEquipmentTypes), unique_identifier(r, used_equipment, 32)});
    o.equipment(f.equipment.back().type, f.equipment.back().id);
  }
  for (int64_t i = r.between(0, 3); i > 0; --i) {
    f.reliefs.push_back(unique_identifier(r, used_reliefs, 40));
    o.relief(f.reliefs.back());
  }
  f.text = b.text();
  return f;
}

}  // namespace flowsum::testing
