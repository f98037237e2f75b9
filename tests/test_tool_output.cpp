// The flowsum tool on the example flowsheet: its report, CSV and JSON
// against stored expected files (FLOWSUM_UPDATE_EXPECTED=1 rewrites them
// after an intended change), its Graphviz output (rendered with `dot` when
// that program is installed), its exit codes and what it writes on
// standard error.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

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

bool has(const std::string& out, const std::string& s) { return out.find(s) != std::string::npos; }

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

// The report from "connections:" on in ENG and SI; the CSV and JSON of the
// default sections and of a family view of several tables (the pipeline),
// run from the source folder so that the file name in the JSON is the same
// in every clone.
TEST(ToolOutput, ReportsCsvAndJsonOfTheExample) {
  for (std::string units : {"ENG", "SI"}) {
    const ToolRun r = run("--width 80 --units " + units + kFile);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(has(r.out, "\nconnections:\n")) << r.out;
    expect_file(r.out.substr(r.out.find("\nconnections:\n") + 1), units == "SI" ? "flowsheet_si.txt" : "flowsheet_eng.txt");
  }
  for (auto [options, expected] : {std::pair{"", "flowsheet_si."}, {"--pipeline L1 ", "pipeline_si."}})
    for (const char* format : {"csv", "json"}) {
      const ToolRun r = run(std::string("--units SI --ref-dir data ") + options + "--format " + format +
                                " examples/flowsheet.sum", kSrc);
      ASSERT_EQ(r.status, 0) << r.err;
      expect_file(r.out, expected + std::string(format));
    }
}

TEST(ToolOutput, DotGraphIsOnlyTheGraphAndRenders) {
  const ToolRun r = run("--dot" + kFile);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("digraph flowsheet {\n", 0), 0u) << r.out;
  for (const char* edge : {"\"M1\" [label=\"M1\\nMIXER\"];", "\"M1\" -> \"H1\" [label=\"S1\"];",
                           "\"feed:FEED1\" -> \"M1\"", "\"F1\" -> \"product:VAP\""})
    EXPECT_TRUE(has(r.out, edge)) << edge << "\n" << r.out;
  if (std::system("command -v dot >/dev/null 2>&1") != 0) GTEST_SKIP() << "Graphviz dot is not installed";
  EXPECT_EQ(std::system((std::string(FLOWSUM_TOOL) + " --dot" + kFile + " | dot -Tsvg -o /dev/null").c_str()), 0);
}

TEST(ToolOutput, HeaterCurveAndExchangerDetail) {
  const ToolRun r = run("--units SI --curve H1 --exchanger H1" + kFile);
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* line : {"  curve HCURVE 1: 5 points, 1 further properties\n",
                           "                 5              0            330        2950000           0.71"
                           "          83696           0.29\n",
                           "    zone 2 TEMP [K]: 310 320 330\n", "    PRES         20000 PA\n"})
    EXPECT_TRUE(has(r.out, line)) << line << r.out;
}

// Each failure has its exit code, says why on standard error only, and
// prints nothing (or only what was found) on standard output. Every view
// reports an ID the file lacks, or a block of a model it does not serve,
// and exits 3, in each format alike, printing nothing for it.
TEST(ToolOutput, ExitCodesAndErrorStream) {
  const std::tuple<std::string, int, std::string> cases[] = {
      {kRefs + kSrc + "/no-such-file.sum", 1, "flowsum: cannot open " + kSrc + "/no-such-file.sum\n"},
      {kRefs + kSrc + "/README.md", 1, "does not load"},
      {"--dot" + kRefs + kSrc + "/README.md", 1, "does not load"},
      {"--column H1,NOPE --table T9" + kFile, 3, "flowsum: block NOPE: not in the file\n"},
      {"--column NOPE --table T9" + kFile, 3, "property table T9: not in the file\n"},
      {"--basis FOO " + kExample, 2, "flowsum: unknown basis FOO\n"},
      {"--block-rows -1 " + kExample, 2, "flowsum: --block-rows takes 0 to 100000, not -1\n"},
      {"--units=XX " + kExample, 2, "flowsum: unknown unit set XX\n"},
      {"--frobnicate " + kExample, 2, "flowsum: unknown option --frobnicate\n"},
      {"--block", 2, "flowsum: missing ID after --block\n"},
      {"", 2, "flowsum: no summary file given\n"},
      {kExample + " " + kExample, 2, "more than one summary file"},
  };
  for (const auto& [args, status, err] : cases) {
    const ToolRun r = run(args);
    EXPECT_EQ(r.status, status << 8) << args << "\n" << r.err;
    EXPECT_TRUE(has(r.err, err)) << args << "\n" << r.err;
    if (status != 3) EXPECT_EQ(r.out, "") << args;
  }
  const std::pair<std::string, std::string> views[] = {
      {"--stream NOPE", "stream NOPE"},       {"--block NOPE", "block NOPE"},
      {"--column NOPE", "block NOPE"},        {"--table NOPE", "property table NOPE"},
      {"--curve NOPE", "block NOPE"},         {"--exchanger NOPE", "exchanger NOPE"},
      {"--sensitivity NOPE", "sensitivity NOPE"}, {"--compressor NOPE", "block NOPE"},
      {"--reactor NOPE", "block NOPE"},       {"--relief NOPE", "relief NOPE"},
      {"--pipeline NOPE", "block NOPE"},
  };
  for (const auto& [args, what] : views)
    for (const char* format : {"text", "csv"}) {
      const ToolRun r = run(args + " --format " + format + kFile);
      EXPECT_EQ(r.status, 3 << 8) << args << " " << format;
      EXPECT_EQ(r.err, "flowsum: " + what + ": not in the file\n") << args << " " << format;
      EXPECT_FALSE(has(r.out, "NOPE")) << args << " " << format << "\n" << r.out;
    }
  for (const char* view : {"compressor", "pipeline"}) {
    const ToolRun r = run(std::string("--") + view + " M1" + kFile);
    EXPECT_EQ(r.status, 3 << 8);
    EXPECT_EQ(r.err, std::string("flowsum: ") + view + " M1: a MIXER block, not a " + view + "\n");
  }
  const ToolRun r = run("--units=si --block h1,H1" + kFile);  // IDs are matched as given
  EXPECT_EQ(r.status, 3 << 8) << r.err;
  EXPECT_TRUE(has(r.out, "block H1 (TEMPCHG)")) << r.out;
  EXPECT_FALSE(has(r.out, "stream table")) << "a view prints only itself";
}

TEST(ToolOutput, HelpListsEveryOptionAndVersionPrints) {
  ToolRun r = run("--help");
  EXPECT_EQ(r.status + r.err.size(), 0u);
  for (const char* opt : {"--units", "--basis", "--block", "--column", "--table", "--curve", "--exchanger",
                          "--sensitivity", "--compressor", "--block-rows", "--dot", "--verbose", "--ref-dir",
                          "--version", "Example:"})
    EXPECT_TRUE(has(r.out, opt)) << opt;
  r = run("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("flowsum ", 0), 0u) << r.out;
}

// The report's block summaries are cut at --block-rows results a block,
// with the rest counted, and left out at 0, in text and JSON alike.
TEST(ToolOutput, BlockSummariesAreCutAtTheRowsAskedFor) {
  ToolRun r = run("--units SI --block-rows 2" + kFile);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(has(r.out, "  C1 (TRAYCOL): 6 results\n    NSTAGE       COLUMN             10\n"
                         "    REFLUX-RATIO COLUMN             2.5\n    ... and 4 more (--block C1)\n"
                         "  F1 (FLASH): 4 results\n")) << r.out;
  EXPECT_TRUE(has(r.out, "  K1 (STAGEBST): 1 result\n    PRES                            2700000 PA\n  L1")) << r.out;
  r = run("--format json --block-rows 1" + kFile);
  EXPECT_TRUE(has(r.out, "{\"name\": \"property\", \"unit\": null, \"values\": [\"NSTAGE\", \"TEMP\", \"TEMP\", "
                         "\"PRES\", \"PRES\", \"TEMP\", \"TEMP\", \"TEMP\"]}")) << r.out;
  for (const char* format : {"text", "json"}) {
    r = run(std::string("--format ") + format + " --block-rows 0" + kFile);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(has(r.out, "summaries")) << r.out;
  }
}

// A stream whose main table holds more substream totals than a fixed
// buffer would: the report reads them all (its temperature is the
// eightieth) and writes nothing past what it sized. A block with a missing
// result, shown as "-" as in the stream table, and a heat stream, listed
// with its duty instead of a column of the stream table that would show
// nothing.
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
  fx::StreamWriter(w).main_table(
      {"HEAT", "Q1", "B1", "", "", {{fx::prop::kQcalc, "", "", 1500.0, fx::unit_type::kEnthalpyFlow}}, true});
  fx::TempSummaryFile file(b.text());
  const ToolRun r = run("--units SI --width 0" + kRefs + file.string());
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* line : {"Temperature K                     310\n", "Total KG/SEC                        4\n",
                           "  B1 (HEATER): 2 results\n    TEMP                            -\n"
                           "    PRES                            2000000 PA\n",
                           "\nheat and work streams:\n  Q1 (HEAT): duty 1500 W\n"})
    EXPECT_TRUE(has(r.out, line)) << line << r.out;
  const std::string header = r.out.substr(r.out.find('\n', r.out.find("stream table (")) + 1);
  EXPECT_FALSE(has(header.substr(0, header.find('\n')), "Q1")) << r.out;
}

}  // namespace
