// Print a file's stream table and one block's results through the C++ API.
//
//   stream_table SUMMARY-FILE [DATA-FOLDER [BLOCK]]
#include <cmath>
#include <cstdio>
#include <exception>

#include "flowsum/summary.hpp"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: stream_table SUMMARY-FILE [DATA-FOLDER [BLOCK]]\n", stderr);
    return 2;
  }
  try {
    flowsum::Summary s = flowsum::Summary::open(argv[1], {.units = "SI", .ref_dir = argc > 2 ? argv[2] : ""});
    const flowsum::RunInfo info = s.run_info();
    std::printf("%s: %lld blocks, %lld streams\n", info.title.c_str(),
                static_cast<long long>(info.blocks), static_cast<long long>(info.streams));

    const flowsum::Table t = s.stream_table({}, "MOLE-FLOW");
    std::printf("%-10s %-8s %-8s %-10s", "property", "substrm", "comp", "unit");
    for (size_t j = 4; j < t.columns.size(); ++j) std::printf(" %10s", t.columns[j].name.c_str());
    std::printf("\n");
    for (size_t r = 0; r < t.rows(); ++r) {
      for (size_t k = 0; k < 4; ++k) std::printf(k ? " %-8s" : "%-10s", t.columns[k].texts[r].c_str());
      for (size_t j = 4; j < t.columns.size(); ++j) {
        const double v = t.columns[j].values[r];
        if (std::isnan(v)) std::printf(" %10s", "-");
        else std::printf(" %10.4g", v);
      }
      std::printf("\n");
    }

    if (argc > 3) {
      const flowsum::Table b = s.block_results(argv[3]);
      const flowsum::Column &name = b.column("property"), &value = b.column("value"),
                            &unit = b.column("unit");
      std::printf("\nblock %s:\n", argv[3]);
      for (size_t r = 0; r < b.rows(); ++r)
        std::printf("  %-10s %12.6g %s\n", name.texts[r].c_str(), value.values[r], unit.texts[r].c_str());
    }
  } catch (const flowsum::Error& e) {
    std::fprintf(stderr, "stream_table: %s\n", e.what());
    for (const std::string& m : e.messages()) std::fprintf(stderr, "  %s\n", m.c_str());
    return 1;
  }
  return 0;
}
