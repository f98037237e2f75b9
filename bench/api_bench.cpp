// The stream table through the C++ API against the same exported calls made
// directly. For every stream of the file, the API's stream_table() makes
// TKSINF, TKSTRM, and TKNSUB and TKSUBS for each substream; the direct pass
// makes exactly those calls into reused buffers and keeps nothing. Prints
// both times (fastest of the repetitions), their ratio (target: at most
// 1.10) and FLOWSUM_API_SECONDS=... for the Python comparison; exits 1 when
// the ratio is above the target.
//
//   api_bench FILE [REPEATS] [BASIS]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "flowsum.h"
#include "flowsum/summary.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// The calls stream_table() makes for every stream, without the table.
int64_t direct_pass(const std::vector<std::string>& ids, const std::string& basis_text,
                    int64_t ncomp) {
  int64_t rows_read = 0;
  std::string src(128, ' '), dst(128, ' '), rows, names, labels, comp_ids, tnames, tlabels,
      sub(8, ' '), label(16, ' '), basis = basis_text;
  basis.resize(12, ' ');
  std::vector<double> values, comp_values, tvalues;
  for (const std::string& id : ids) {
    int64_t nsub = 0, nrows = 0, dum = 0;
    tksinf_(id.data(), src.data(), dst.data(), &nsub, &nrows, &dum, 128, 128, 128);
    const size_t n = static_cast<size_t>(std::max<int64_t>(nrows, 1));
    rows.assign(n * 64, ' ');
    names.assign(n * 12, ' ');
    labels.assign(n * 16, ' ');
    values.assign(n, 0.0);
    int64_t nr = 0;
    tkstrm_(id.data(), &dum, rows.data(), values.data(), names.data(), labels.data(), &nr, 128,
            64, 12, 16);
    rows_read += nrows;
    for (int64_t k = 1; k <= nsub; ++k) {
      int64_t kk = k, nc = 0, ntotal = 0;
      tknsub_(id.data(), &kk, sub.data(), &nc, &ntotal, 128, 8);
      if (nc < 1 || sub.find_first_not_of(' ') == std::string::npos) continue;
      const size_t c = static_cast<size_t>(std::min(nc, std::max<int64_t>(ncomp, 1)));
      const size_t nt = std::max({static_cast<size_t>(std::max<int64_t>(ntotal, 0)), n, size_t{1}});
      comp_ids.assign(c * 8, ' ');
      comp_values.assign(c, 0.0);
      if (tvalues.size() < nt) {
        tnames.assign(nt * 12, ' ');
        tlabels.assign(nt * 16, ' ');
        tvalues.assign(nt, 0.0);
      }
      int64_t nn = static_cast<int64_t>(c);
      tksubs_(id.data(), sub.data(), basis.data(), &nn, comp_ids.data(), comp_values.data(),
              label.data(), &dum, tnames.data(), tvalues.data(), tlabels.data(), 128, 8, 12, 8,
              16, 12, 16);
      rows_read += nn;
    }
  }
  return rows_read;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: api_bench FILE [REPEATS] [BASIS]\n", stderr);
    return 2;
  }
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const std::string basis = argc > 3 ? argv[3] : "MASS-FLOW";
  try {
    flowsum::Summary s = flowsum::Summary::open(argv[1], {.units = "SI", .ref_dir = FLOWSUM_SOURCE_DATA_DIR});
    std::vector<std::string> ids;
    for (const flowsum::Stream& st : s.streams()) {
      ids.push_back(st.id);
      ids.back().resize(128, ' ');
    }
    const int64_t ncomp = static_cast<int64_t>(s.components().size());

    // Taken by turns, so a busy moment of the machine falls on both.
    double direct = 1e300, api = 1e300;
    size_t rows = 0;
    int64_t values = 0;
    for (int r = 0; r < repeats; ++r) {
      auto t0 = Clock::now();
      values = direct_pass(ids, basis, ncomp);
      direct = std::min(direct, seconds_since(t0));
      t0 = Clock::now();
      const flowsum::Table t = s.stream_table({}, basis);
      api = std::min(api, seconds_since(t0));
      rows = t.rows();
    }
    const double ratio = direct > 0 ? api / direct : 0.0;
    std::printf("streams %zu, table rows %zu, values read %lld\n", ids.size(), rows,
                static_cast<long long>(values));
    std::printf("direct calls %.4f s, C++ API stream table %.4f s, ratio %.3f (target 1.10)\n",
                direct, api, ratio);
    std::printf("FLOWSUM_API_SECONDS=%.6f\n", api);
    return ratio <= 1.10 ? 0 : 1;
  } catch (const flowsum::Error& e) {
    std::fprintf(stderr, "api_bench: %s\n", e.what());
    return 2;
  }
}
