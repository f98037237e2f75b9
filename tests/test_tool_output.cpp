// The flowsum tool on the example flowsheet: its connections and stream
// table checked against stored expected text in ENG and SI units, and its
// Graphviz output, rendered with `dot` when that program is installed.
//
// The expected files hold the output from the line "connections:" to the
// end. After an intended change of the example or the report, regenerate
// them with FLOWSUM_UPDATE_EXPECTED=1.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

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

void check_against(const std::string& units, const std::string& expected_name) {
  int status = -1;
  const std::string out = run("--units " + units, status);
  ASSERT_EQ(status, 0) << out;
  const std::string report = stream_report(out);
  ASSERT_FALSE(report.empty()) << out;
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

}  // namespace
