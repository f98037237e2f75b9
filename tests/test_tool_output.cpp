// The flowsum tool on the example flowsheet: its connections and stream
// table checked against stored expected text in ENG and SI units, its CSV
// and JSON against stored expected files, its Graphviz output (rendered
// with `dot` when that program is installed), its exit codes and what it
// writes on standard error.
//
// The expected files hold the output from the line "connections:" to the
// end. After an intended change of the example or the report, regenerate
// them with FLOWSUM_UPDATE_EXPECTED=1.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/flowsheet_records.hpp"
#include "support/stream_records.hpp"
#include "support/summary_builder.hpp"

namespace {

std::string run(const std::string& args, int& status) {
  const std::string cmd = std::string(FLOWSUM_TOOL) + " " + args + " --ref-dir " +
                          FLOWSUM_SOURCE_DIR + "/data " + FLOWSUM_SOURCE_DIR +
                          "/examples/flowsheet.sum 2>&1";
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  status = pclose(p);
  return out;
}

std::string stream_report(const std::string& out) {
  const size_t at = out.find("\nconnections:\n");
  return at == std::string::npos ? std::string() : out.substr(at + 1);
}

// Compares text with the stored expected file, or stores it when
// FLOWSUM_UPDATE_EXPECTED is set.
void expect_file(const std::string& report, const std::string& expected_name) {
  const std::string path = std::string(FLOWSUM_SOURCE_DIR) + "/tests/expected/" + expected_name;
  if (std::getenv("FLOWSUM_UPDATE_EXPECTED")) {
    std::ofstream(path, std::ios::binary) << report;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "missing " << path;
  std::stringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(report, expected.str());
}

void check_against(const std::string& units, const std::string& expected_name) {
  int status = -1;
  const std::string out = run("--width 80 --units " + units, status);
  ASSERT_EQ(status, 0) << out;
  const std::string report = stream_report(out);
  ASSERT_FALSE(report.empty()) << out;
  expect_file(report, expected_name);
}

// The example's CSV and JSON (default sections, and a block, a property
// table and a missing value; and a family view of several named tables, the
// pipeline), run from the source folder so that the file name in the JSON
// is the same in every clone.
TEST(ToolOutput, CsvAndJsonOfTheExample) {
  for (auto [options, expected] : {std::pair{"", "flowsheet_si."}, {"--pipeline L1 ", "pipeline_si."}})
    for (const char* format : {"csv", "json"}) {
      const std::string cmd = std::string("cd ") + FLOWSUM_SOURCE_DIR + " && " + FLOWSUM_TOOL +
                              " --units SI --ref-dir data " + options + "--format " + format + " examples/flowsheet.sum";
      std::string out;
      FILE* p = popen(cmd.c_str(), "r");
      ASSERT_NE(p, nullptr);
      char buf[512];
      while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
      ASSERT_EQ(pclose(p), 0) << out;
      expect_file(out, expected + std::string(format));
    }
}

TEST(ToolOutput, ConnectionsAndStreamTableInEngUnits) {
  check_against("ENG", "flowsheet_eng.txt");
}

TEST(ToolOutput, ConnectionsAndStreamTableInSiUnits) {
  check_against("SI", "flowsheet_si.txt");
}

TEST(ToolOutput, DotGraphIsOnlyTheGraphAndRenders) {
  int status = -1;
  const std::string graph = run("--dot", status);
  ASSERT_EQ(status, 0) << graph;
  EXPECT_EQ(graph.rfind("digraph flowsheet {\n", 0), 0u) << graph;
  EXPECT_NE(graph.find("\"M1\" [label=\"M1\\nMIXER\"];"), std::string::npos) << graph;
  EXPECT_NE(graph.find("\"M1\" -> \"H1\" [label=\"S1\"];"), std::string::npos) << graph;
  EXPECT_NE(graph.find("\"feed:FEED1\" -> \"M1\""), std::string::npos) << graph;
  EXPECT_NE(graph.find("\"F1\" -> \"product:VAP\""), std::string::npos) << graph;
  if (std::system("command -v dot >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "Graphviz dot is not installed";
  const std::string cmd = std::string(FLOWSUM_TOOL) + " --dot --ref-dir " + FLOWSUM_SOURCE_DIR +
                          "/data " + FLOWSUM_SOURCE_DIR +
                          "/examples/flowsheet.sum | dot -Tsvg -o /dev/null";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
}

}  // namespace

namespace {

TEST(ToolOutput, HeaterCurveAndExchangerDetail) {
  int status = -1;
  const std::string out = run("--units SI --curve H1 --exchanger H1", status);
  ASSERT_EQ(status, 0) << out;
  for (const char* line : {"  curve HCURVE 1: 5 points, 1 further properties\n",
                           "                 5              0            330        2950000           0.71"
                           "          83696           0.29\n",
                           "    zone 2 TEMP [K]: 310 320 330\n", "    PRES         20000 PA\n"})
    EXPECT_NE(out.find(line), std::string::npos) << line << out;
}

// Runs the tool with args as they stand and keeps its two streams apart.
struct ToolRun {
  int status = -1;
  std::string out, err;
};
ToolRun run_split(const std::string& args) {
  const std::string err_path =
      (std::filesystem::temp_directory_path() / ("flowsum_tool_err_" + std::to_string(getpid()))).string();
  ToolRun r;
  FILE* p = popen((std::string(FLOWSUM_TOOL) + " " + args + " 2>" + err_path).c_str(), "r");
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

// Each failure has its exit code, says why on standard error only, and
// prints nothing (or only what was found) on standard output.
TEST(ToolOutput, ExitCodesAndErrorStream) {
  const std::string src = FLOWSUM_SOURCE_DIR, example = src + "/examples/flowsheet.sum";
  const std::string refs = " --ref-dir " + src + "/data ";
  struct Case {
    std::string args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {refs + src + "/no-such-file.sum", 1, "flowsum: cannot open " + src + "/no-such-file.sum\n"},
      {refs + src + "/README.md", 1, "does not load"},
      {"--dot" + refs + src + "/README.md", 1, "does not load"},
      {"--block NOPE" + refs + example, 3, "flowsum: block NOPE: not in the file\n"},
      {"--column H1,NOPE --table T9" + refs + example, 3, "flowsum: block NOPE: not in the file\n"},
      {"--basis FOO " + example, 2, "flowsum: unknown basis FOO\n"},
      {"--block-rows -1 " + example, 2, "flowsum: --block-rows takes 0 to 100000, not -1\n"},
      {"--units=XX " + example, 2, "flowsum: unknown unit set XX\n"},
      {"--frobnicate " + example, 2, "flowsum: unknown option --frobnicate\n"},
      {"--block", 2, "flowsum: missing ID after --block\n"},
      {"", 2, "flowsum: no summary file given\n"},
      {example + " " + example, 2, "more than one summary file"},
  };
  for (const Case& c : cases) {
    const ToolRun r = run_split(c.args);
    EXPECT_EQ(r.status, c.status << 8) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
    if (c.status != 3) EXPECT_EQ(r.out, "") << c.args;
  }
  ToolRun r = run_split("--column NOPE --table T9" + refs + example);
  EXPECT_NE(r.err.find("property table T9: not in the file\n"), std::string::npos) << r.err;
  r = run_split("--units=si --block h1,H1" + refs + example);  // IDs are matched as given
  EXPECT_EQ(r.status, 3 << 8) << r.err;
  EXPECT_NE(r.out.find("block H1 (TEMPCHG)"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("stream table"), std::string::npos) << "a view prints only itself";
}

// Every view reports an ID the file lacks, or a block of a model it does
// not serve, on standard error and exits 3, in each format alike; the view
// prints nothing for it.
TEST(ToolOutput, EveryViewReportsWhatIsNotInTheFile) {
  const std::string src = FLOWSUM_SOURCE_DIR, file = " --ref-dir " + src + "/data " + src + "/examples/flowsheet.sum";
  const std::pair<std::string, std::string> cases[] = {
      {"--stream NOPE", "stream NOPE: not in the file"},
      {"--block NOPE", "block NOPE: not in the file"},
      {"--column NOPE", "block NOPE: not in the file"},
      {"--table NOPE", "property table NOPE: not in the file"},
      {"--curve NOPE", "block NOPE: not in the file"},
      {"--exchanger NOPE", "exchanger NOPE: not in the file"},
      {"--sensitivity NOPE", "sensitivity NOPE: not in the file"},
      {"--compressor NOPE", "block NOPE: not in the file"},
      {"--compressor M1", "compressor M1: a MIXER block, not a compressor"},
      {"--reactor NOPE", "block NOPE: not in the file"},
      {"--relief NOPE", "relief NOPE: not in the file"},
      {"--pipeline NOPE", "block NOPE: not in the file"},
      {"--pipeline M1", "pipeline M1: a MIXER block, not a pipeline"},
  };
  for (const auto& [args, message] : cases)
    for (const char* format : {"text", "csv"}) {
      const ToolRun r = run_split(args + " --format " + format + file);
      EXPECT_EQ(r.status, 3 << 8) << args << " " << format << "\n" << r.err;
      EXPECT_EQ(r.err, "flowsum: " + message + "\n") << args << " " << format;
      EXPECT_EQ(r.out.find(args.substr(args.find(' ') + 1)), std::string::npos) << args << " " << format << "\n"
                                                                                 << r.out;
    }
}

TEST(ToolOutput, HelpListsEveryOptionAndVersionPrints) {
  ToolRun r = run_split("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  for (const char* opt : {"--units", "--basis", "--block", "--column", "--table", "--curve", "--exchanger",
                          "--sensitivity", "--compressor", "--block-rows", "--dot", "--verbose", "--ref-dir", "--version",
                          "Example:"})
    EXPECT_NE(r.out.find(opt), std::string::npos) << opt;
  r = run_split("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("flowsum ", 0), 0u) << r.out;
}

}  // namespace

namespace {

// The report's block summaries are cut at --block-rows results a block,
// with the rest counted, and left out at 0, in text and JSON alike.
TEST(ToolOutput, BlockSummariesAreCutAtTheRowsAskedFor) {
  const std::string refs = std::string(" --ref-dir ") + FLOWSUM_SOURCE_DIR + "/data " + FLOWSUM_SOURCE_DIR +
                           "/examples/flowsheet.sum";
  ToolRun r = run_split("--units SI --block-rows 2" + refs);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("  C1 (TRAYCOL): 6 results\n    NSTAGE       COLUMN             10\n"
                       "    REFLUX-RATIO COLUMN             2.5\n    ... and 4 more (--block C1)\n"
                       "  F1 (FLASH): 4 results\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("  K1 (STAGEBST): 1 result\n    PRES                            2700000 PA\n  L1"),
            std::string::npos)
      << r.out;
  r = run_split("--format json --block-rows 1" + refs);
  EXPECT_NE(r.out.find("{\"name\": \"property\", \"unit\": null, \"values\": [\"NSTAGE\", \"TEMP\", \"TEMP\", "
                       "\"PRES\", \"PRES\", \"TEMP\", \"TEMP\", \"TEMP\"]}"),
            std::string::npos)
      << r.out;
  for (const char* format : {"text", "json"}) {
    r = run_split(std::string("--format ") + format + " --block-rows 0" + refs);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("summaries"), std::string::npos) << r.out;
  }
}

// A stream whose main table holds more substream totals than a fixed
// buffer would: the report reads them all (its temperature is the
// eightieth) and writes nothing past what it sized. And a block with a
// missing result.
TEST(ToolOutput, StreamWithManyTotalRows) {
  namespace fx = flowsum::testing;
  fx::SummaryBuilder b;
  b.header();
  fx::FlowsheetWriter w(b);
  w.property_names();
  w.components({"WATER", "METHANE"});
  std::vector<fx::StreamWriter::Total> totals;
  for (int i = 0; i < 79; ++i) totals.push_back({fx::prop::kHmx, -1.0e8 + i, fx::unit_type::kMolarEnthalpy});
  totals.push_back({fx::prop::kTemp, 310.0, fx::unit_type::kTemperature});
  fx::StreamWriter(w).main_table(
      {"MATERIAL", "S1", "", "", "CONVEN",
       fx::StreamWriter::mixed_rows(totals, {"WATER", "METHANE"},
                                    {{fx::prop::kMassFlow, {1.5, 2.5}, fx::unit_type::kMassFlow}})});
  w.block_results("HEATER", "B1", {},
                  {fx::BlockResult::real(fx::prop::kTemp, 1.0e35, fx::unit_type::kTemperature),
                   fx::BlockResult::real(fx::prop::kPres, 2.0e6, fx::unit_type::kPressure)});
  fx::TempSummaryFile file(b.text());
  const ToolRun r = run_split("--units SI --width 0 --ref-dir " + std::string(FLOWSUM_SOURCE_DIR) + "/data " +
                              file.string());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Temperature K                     310\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Total KG/SEC                        4\n"), std::string::npos) << r.out;
  // A missing block result shows as "-", as in the stream table.
  EXPECT_NE(r.out.find("  B1 (HEATER): 2 results\n    TEMP                            -\n"
                       "    PRES                            2000000 PA\n"),
            std::string::npos)
      << r.out;
}

}  // namespace
