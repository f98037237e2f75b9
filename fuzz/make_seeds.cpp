// Writes the seed corpora of the fuzzers into a folder:
//   <out>/summary/    summary files (loader and query fuzzers)
//   <out>/scanner/    lines of summary files with a control byte first
//   <out>/reference/  the bundled reference files with a selector byte first
// The summary files come from the test fixture builder: the example
// flowsheet, a few random flowsheets, and small files with odd layouts.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "support/block_table_records.hpp"
#include "support/example_flowsheet.hpp"
#include "support/flowsheet_records.hpp"
#include "support/object_records.hpp"
#include "support/random_flowsheet.hpp"
#include "support/run_records.hpp"
#include "support/stream_records.hpp"
#include "support/summary_builder.hpp"

namespace fs = std::filesystem;
using namespace flowsum::testing;

namespace {

void write(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::string read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A small file with objects of every kind the item tables hold.
std::string objects_file() {
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  w.property_names();
  w.run_status(RunInfo{});
  w.account(AccountInfo{"USER1", "PROJ", "A LONG ACCOUNT TEXT", "OTHER"});
  alias_list(w, {{"A1", "FIRST ALIAS"}, {"A2", "SECOND"}});
  case_name_list(w, {{"C1", "BASE CASE"}});
  w.components({"WATER", "METHANE"}, {"ASH"});
  ObjectWriter o(b);
  o.block("HEATER", "H1");
  o.block("FLASH2", "A.VERY.LONG.HIERARCHICAL.BLOCK.NAME.BEYOND.TWELVE");
  o.stream("MATERIAL", "S1");
  o.stream("HEAT", "Q1");
  o.property_table("PROPTAB", "PT1");
  o.equipment("PUMP", "P100");
  o.relief("PR1");
  o.sensitivity("SENS1");
  o.block("RADFRAC", "C1", "TRC_PRO");
  o.block("HEATX", "E1", "HOT_HCURVE");
  return b.text();
}

// A small file with the result families the query fuzzer reads beyond the
// stream table: block results, reactor reports, a property table, a
// sensitivity study, component and substream attributes.
std::string families_file() {
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  w.property_names();
  w.components({"WATER", "METHANE"}, {"COAL"});
  w.block_results("HEATER", "H1", {"SUBSTREAM", "PHASE"},
                  {BlockResult::real(prop::kTemp, 350.0, unit_type::kTemperature, {"MIXED", "VAPOR"}),
                   BlockResult::integer(prop::kNstage, 12, {"MIXED", "LIQUID"})});
  BlockTableWriter t(w);
  t.reactor_report("TUBERX", "R1", "TUBE_PRP",
                   {{prop::kTemp, "MIXED", "VAPOR", "", "MOLE", unit_type::kTemperature, 1, {300.0, 310.0}},
                    {prop::kHmx, "MIXED", "LIQUID", "WATER", "MASS", unit_type::kMolarEnthalpy, 1, {1.0E6, 2.0E6}}});
  t.reactor_report("BATCHRX", "BR1", "BRX_PRF3",
                   {{prop::kPres, "MIXED", "VAPOR", "", "", unit_type::kPressure, 1, {1.0E5, 2.0E5}}});
  t.reactor_report("BATCHRX", "BR1", "BTRX_PRF3",
                   {{prop::kTemp, "MIXED", "VAPOR", "", "", unit_type::kTemperature, 1, {400.0, 410.0}}});
  t.property_table("FLASHCURVE", "FC1",
                   {{prop::kTemp, "MIXED", "", "", "", unit_type::kTemperature, 1, {300, 310, 320}},
                    {prop::kVfrac, "MIXED", "VAPOR", "", "", 0, 1, {0.0, 0.5, 1.0}}});
  SensitivityStudy st;
  st.id = "S-1";
  st.npoints = 2;
  st.ncolumns = 2;
  st.descriptors = {{"FEED", "TEMP", "A DESCRIPTOR"}, {"H1", "QCALC"}};
  st.entries = {{11, 12}, {21, 22}};
  st.status = {{1, 0}, {3, 4}};
  t.sensitivity(st);
  StreamWriter sw(w);
  sw.main_table({"MATERIAL", "S1", "H1", "", "MIXNC",
                 {{prop::kTemp, "MIXED", "", 300, unit_type::kTemperature},
                  {prop::kMassFlowTotal, "NCPSD", "", 2, unit_type::kMassFlow},
                  {prop::kMassFlow, "NCPSD", "COAL", 1.5, unit_type::kMassFlow}}});
  sw.component_attributes("MATERIAL", "S1",
                          {{"NCPSD", "COAL", "PROXANAL", "MOISTURE", 5.0},
                           {"NCPSD", "COAL", "ULTANAL", "CARBON", 70.0},
                           {"NCPSD", "COAL", "PROXANAL", "VM", 30.0}});
  sw.substream_attributes("MATERIAL", "S1", {{"NCPSD", "PSD", 0.1}, {"NCPSD", "PSD", 0.9}});
  return b.text();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: flowsum_fuzz_seeds OUTPUT-FOLDER\n";
    return 2;
  }
  fs::path out(argv[1]);
  for (const char* sub : {"summary", "scanner", "reference"}) fs::create_directories(out / sub);

  std::vector<std::string> files;
  files.push_back(example_flowsheet().text());
  files.push_back(objects_file());
  // One token a line and narrow lines: records continued over many lines.
  {
    SummaryBuilder b(Layout{.max_columns = 24, .tokens_per_line = 1});
    b.header(Header::kIwp73);
    FlowsheetWriter w(b);
    w.run_status(RunInfo{});
    w.components({"H2O", "CO2"});
    w.component_property("MW", prop::kMw, {18.0, 44.0});
    files.push_back(b.text());
  }
  for (uint64_t seed = 1; seed <= 6; ++seed) files.push_back(random_flowsheet(seed).text);
  files.push_back(families_file());
  // Cut and damaged copies of the example: cut inside its last data set and
  // inside a record head, and at its quarters; a value line of a stream's
  // main table deleted; runs of empty and blank lines among the records.
  {
    const std::string ex = files[0];
    const size_t last = ex.rfind("\n DSET ") + 1;
    for (size_t cut : {ex.size() - 10, last + 12, ex.size() / 4, ex.size() / 2, 3 * ex.size() / 4})
      files.push_back(ex.substr(0, cut));
    const size_t table = ex.find('\n', ex.find("LIQ STR_MAIN")) + 1;
    files.push_back(ex.substr(0, table) + ex.substr(ex.find('\n', table) + 1));
    files.push_back(ex.substr(0, last) + std::string(300, '\n') + "   \n \r\n" + ex.substr(last));
  }
  // Inputs that once made a routine fail: their neighbourhoods first.
  for (const auto& entry : fs::directory_iterator(fs::path(FLOWSUM_SOURCE_DIR) / "tests" / "regressions"))
    if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(read(entry.path()));

  for (size_t i = 0; i < files.size(); ++i) {
    write(out / "summary" / ("seed" + std::to_string(i) + ".sum"), files[i]);
    // CRLF copy of the first files.
    if (i < 2) {
      std::string crlf;
      for (char c : files[i]) {
        if (c == '\n') crlf += '\r';
        crlf += c;
      }
      write(out / "summary" / ("seed" + std::to_string(i) + "-crlf.sum"), crlf);
    }
  }

  // Scanner seeds: every line of the example under each control byte value
  // class (variant, table, field width, column).
  {
    std::istringstream lines(files[0] + files[1]);
    std::string line;
    int n = 0;
    while (std::getline(lines, line) && n < 400) {
      char control = static_cast<char>((n * 37) & 0xff);
      write(out / "scanner" / ("line" + std::to_string(n++)), std::string(1, control) + line + "\n");
    }
    write(out / "scanner" / "odd", std::string("\x05") +
                                       " 1.5E+400 3.0D+305 12345678901234 \"OPEN <25) #12 *7 =A A,B 12,3 KG/HR %X\n");
  }

  // Reference seeds: selector byte 0 = property-number file, 1 = unit table.
  const fs::path data = fs::path(FLOWSUM_SOURCE_DIR) / "data";
  write(out / "reference" / "propnu", std::string(1, '\0') + read(data / "RCPROPNU.DAT"));
  write(out / "reference" / "units", std::string(1, '\1') + read(data / "RCUNITS.DAT"));
  write(out / "reference" / "units-eng", std::string(1, '\3') + read(data / "RCUNITS.DAT"));
  std::cout << "seeds written to " << out.string() << "\n";
  return 0;
}
