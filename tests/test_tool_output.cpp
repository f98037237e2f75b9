// The flowsum tool against stored expected files (FLOWSUM_UPDATE_EXPECTED=1
// rewrites them after an intended change), and its Graphviz output.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/block_table_records.hpp"
#include "support/stream_records.hpp"
#include "support/summary_builder.hpp"

namespace {

const std::string kSrc = FLOWSUM_SOURCE_DIR, kExample = kSrc + "/examples/flowsheet.sum",
                  kRefs = " --ref-dir " + kSrc + "/data ", kFile = kRefs + kExample;

// The tool run through the shell (from the folder `dir` when given) with
// args as they stand: exit status, standard output and error kept apart.
struct ToolRun {
  int status = -1;
  std::string out, err;
};
ToolRun run(const std::string& args, const std::string& dir = "") {
  const std::string err_path = "/tmp/flowsum_tool_err_" + std::to_string(getpid());
  ToolRun r;
  const std::string cd = dir.empty() ? "" : "cd " + dir + " && ";
  FILE* p = popen((cd + FLOWSUM_TOOL + " " + args + " 2>" + err_path).c_str(), "r");
  if (!p) return r;
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, p)) r.out.append(buf, n);
  r.status = pclose(p);
  std::stringstream err;
  err << std::ifstream(err_path).rdbuf();
  r.err = err.str();
  std::remove(err_path.c_str());
  return r;
}

// Compares text with the stored expected file, or stores it when
// FLOWSUM_UPDATE_EXPECTED is set.
void expect_file(const std::string& text, const std::string& name) {
  const std::string path = kSrc + "/tests/expected/" + name;
  if (std::getenv("FLOWSUM_UPDATE_EXPECTED")) {
    std::ofstream(path, std::ios::binary) << text;
    return;
  }
  std::stringstream expected;
  expected << std::ifstream(path, std::ios::binary).rdbuf();
  EXPECT_EQ(text, expected.str()) << name;
}

// The report from "connections:" on in ENG and SI; CSV and JSON of the
// default sections and of the family views, run from the source folder so
// that the file name in the JSON is the same in every clone.
TEST(ToolOutput, ReportsCsvAndJsonOfTheExample) {
  for (std::string units : {"ENG", "SI"}) {
    const ToolRun r = run("--width 80 --units " + units + kFile);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_NE(r.out.find("\nconnections:\n"), std::string::npos) << r.out;
    expect_file(r.out.substr(r.out.find("\nconnections:\n") + 1), units == "SI" ? "flowsheet_si.txt" : "flowsheet_eng.txt");
  }
  for (auto [options, expected] : {std::pair{"", "flowsheet_si."}, {"--pipeline L1 ", "pipeline_si."},
                                    {"--column C1 --reactor R1 --relief PSV-1 ", "profiles_si."}})
    for (const char* format : {"csv", "json"}) {
      const ToolRun r = run(std::string("--units SI --ref-dir data ") + options + "--format " + format +
                                " examples/flowsheet.sum", kSrc);
      ASSERT_EQ(r.status, 0) << r.err;
      expect_file(r.out, expected + std::string(format));
    }
}

// The Graphviz output (in the transcript below) renders.
TEST(ToolOutput, DotGraphRenders) {
  if (std::system("command -v dot >/dev/null 2>&1") != 0) GTEST_SKIP() << "Graphviz dot is not installed";
  EXPECT_EQ(std::system((std::string(FLOWSUM_TOOL) + " --dot" + kFile + " | dot -Tsvg -o /dev/null").c_str()), 0);
}

// Views, options and failures as one stored transcript of arguments,
// standard output, standard error and exit status per run.
TEST(ToolOutput, ViewsOptionsAndFailuresAsATranscript) {
  const std::string ex = " --width 80 --ref-dir data examples/flowsheet.sum";
  std::vector<std::string> cases = {
      "--dot" + ex, "--units SI --curve H1 --exchanger H1" + ex, "--units=si --block h1,H1" + ex,
      "--units SI --block-rows 2" + ex, "--format json --block-rows 1" + ex, "--block-rows 0" + ex,
      "--format json --block-rows 0" + ex, "--ref-dir data no-such-file.sum", "--ref-dir data README.md",
      "--dot --ref-dir data README.md", "--column H1,NOPE --table T9" + ex, "--column NOPE --table T9" + ex,
      "--basis FOO" + ex, "--block-rows -1" + ex, "--units=XX" + ex, "--frobnicate" + ex, "--block", "",
      "examples/flowsheet.sum examples/flowsheet.sum", "--compressor M1" + ex, "--pipeline M1" + ex, "--help"};
  for (const char* view : {"stream", "block", "column", "table", "curve", "exchanger", "sensitivity", "compressor",
                           "reactor", "relief", "pipeline"})
    for (const char* format : {"text", "csv"})
      cases.push_back(std::string("--") + view + " NOPE --format " + format + ex);
  std::string transcript;
  for (const std::string& args : cases) {
    const ToolRun r = run(args, kSrc);
    transcript += "$ flowsum " + args + "\n" + r.out + (r.err.empty() ? "" : "[stderr]\n" + r.err) + "[exit " +
                  std::to_string(WEXITSTATUS(r.status)) + "]\n\n";
  }
  expect_file(transcript, "tool_transcript.txt");
  const ToolRun r = run("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("flowsum ", 0), 0u) << r.out;
}

// A file of unusual contents (79 substream totals before the temperature, a
// stream of head values only, a heat stream, a missing result, a text
// result, an envelope, a study point without status) as a stored transcript.
TEST(ToolOutput, UnusualFileAsATranscript) {
  using namespace flowsum::testing;
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  w.property_names();
  w.components({"WATER", "METHANE"});
  std::vector<StreamWriter::Total> totals;
  for (int i = 0; i < 79; ++i) totals.push_back({prop::kHmx, -1.0e8 + i, unit_type::kMolarEnthalpy});
  totals.push_back({prop::kTemp, 310.0, unit_type::kTemperature});
  StreamWriter(w).main_table({"MATERIAL", "S1", "", "", "CONVEN",
                              StreamWriter::mixed_rows(totals, {"WATER", "METHANE"},
                                                       {{prop::kMassFlow, {1.5, 2.5}, unit_type::kMassFlow}})});
  StreamWriter(w).main_table({"MATERIAL", "SHORT", "", "", "CONVEN", {}});
  StreamWriter(w).main_table({"HEAT", "Q1", "B1", "", "", {{prop::kQcalc, "", "", 1500.0, unit_type::kEnthalpyFlow}}, true});
  w.block_results("HEATER", "B1", {},
                  {BlockResult::real(prop::kTemp, 1.0e35, unit_type::kTemperature),
                   BlockResult::real(prop::kPres, 2.0e6, unit_type::kPressure)});
  w.block_results("HEATER", "H1", {"PHASE"},
                  {BlockResult::real(prop::kTemp, 350.0, unit_type::kTemperature, {"VAPOR"}),
                   BlockResult::text(prop::kMw, "SHORT", {"LIQUID"})});
  example_tables(w);
  BlockTableWriter(w).envelope("ENV", {{prop::kTemp, "MIXED", "", "", "", unit_type::kTemperature, 1, {}}},
                               {{0.0, 300, 1e5, {1}}, {0.0, 310, 2e5, {2}}, {1.0, 320, 3e5, {3}}});
  TempSummaryFile file(b.text());
  std::string transcript;
  for (const char* args : {"--units SI --width 0", "--units SI --block H1 --table FLASH1 --table ENV --sensitivity S-1",
                           "--units SI --format csv --table FLASH1 --sensitivity S-1"}) {
    const ToolRun r = run(args + kRefs + file.string());
    EXPECT_EQ(r.status, 0) << r.err;
    const size_t named = r.out.find(file.string()) < r.out.find('\n') ? r.out.find('\n') + 1 : 0;
    transcript += "$ flowsum " + std::string(args) + "\n" + r.out.substr(named) + "\n";
  }
  expect_file(transcript, "tool_unusual_file.txt");
}

}  // namespace
