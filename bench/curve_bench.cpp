// Heating curves of a large summary file: a pass over every curve of every
// block (TKNHCV, TKLHCV, TKSHCV, TKHCRV, TKNHPR and TKHPRP for each further
// property) against the stream pass (TKSINF and TKSTRM over every stream),
// both per value returned; and one curve asked for again and again (answered
// from the last-curve memory) against two curves asked for in turns (each
// request a search). Times are the minimum over repeats. Exits 1 when a
// curve value costs more than a stream value.
//
//   curve_bench FILE [REPEATS [curves|again]]
//
// "curves" makes just the curve passes, for counting their instructions (a
// run of 3 repeats less a run of 1 is two warm passes); "again" just the
// repeated and alternating requests.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/load_common.hpp"
#include "flowsum.h"
#include "loading/globals.hpp"

namespace {

using flowsum::bench::identifiers;

double seconds_since(double t0) { return flowsum::bench::now_seconds() - t0; }

// Every curve of every block; returns the number of values returned.
int64_t read_all_curves(std::vector<std::string>& blocks) {
  int64_t values = 0;
  std::string types, pn(12, ' '), sub(8, ' '), ph(8, ' '), cp(8, ' '), bs(4, ' '), fb(4, ' '), qn(12, ' '),
      lb(16, ' ');
  std::vector<int64_t> numbers;
  std::vector<double> v;
  for (std::string& id : blocks) {
    int64_t n = 0, ierr = 0;
    tknhcv_(id.data(), &n, id.size());
    if (n <= 0) continue;
    types.assign(static_cast<size_t>(n) * 16, ' ');
    numbers.assign(static_cast<size_t>(n), 0);
    tklhcv_(id.data(), &n, types.data(), numbers.data(), &ierr, id.size(), 16);
    for (size_t c = 0; c < static_cast<size_t>(n); ++c) {
      const char* type = types.data() + 16 * c;
      int64_t num = numbers[c], np = 0, nf = 0;
      tkshcv_(id.data(), type, &num, &np, &nf, id.size(), 16);
      if (np <= 0) continue;
      const size_t m = static_cast<size_t>(np);
      v.assign(m * 6, 0.0);
      tkhcrv_(id.data(), type, &num, &np, v.data(), v.data() + m, v.data() + 2 * m, v.data() + 3 * m,
              v.data() + 4 * m, &ierr, id.size(), 16);
      values += 5 * np;
      for (int64_t k = 1; k <= nf; ++k) {
        tknhpr_(id.data(), type, &num, &np, &k, pn.data(), sub.data(), ph.data(), cp.data(), bs.data(), fb.data(),
                v.data(), qn.data(), lb.data(), &ierr, id.size(), 16, 12, 8, 8, 8, 4, 4, 12, 16);
        tkhprp_(id.data(), type, &num, &np, pn.data(), sub.data(), ph.data(), cp.data(), bs.data(), fb.data(),
                v.data() + m, qn.data(), lb.data(), &ierr, id.size(), 16, 12, 8, 8, 8, 4, 4, 12, 16);
        values += 2 * np;
      }
    }
  }
  return values;
}

// TKHCRV calls on the curves given, in turn; seconds per call.
double standard_calls(std::string& id, const std::vector<std::string>& types, int calls) {
  std::vector<double> v(5 * 64, 0.0);
  int64_t num = 1, np = 11, ierr = 0;
  const auto t0 = flowsum::bench::now_seconds();
  for (int i = 0; i < calls; ++i) {
    const std::string& type = types[static_cast<size_t>(i) % types.size()];
    tkhcrv_(id.data(), type.data(), &num, &np, v.data(), v.data() + 64, v.data() + 128, v.data() + 192,
            v.data() + 256, &ierr, id.size(), type.size());
  }
  return seconds_since(t0) / calls;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: curve_bench FILE [REPEATS [curves]]\n", stderr);
    return 2;
  }
  const std::string path = argv[1];
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const std::string mode = argc > 3 ? argv[3] : "";
  const bool curves_only = mode == "curves", again_only = mode == "again";
  if (flowsum::bench::load_open(path) != 0) {
    std::fprintf(stderr, "curve_bench: %s does not load\n", path.c_str());
    return 2;
  }
  std::vector<std::string> streams = identifiers(flowsum::glob(flowsum::g::kNstr), tksids_);
  std::vector<std::string> blocks = identifiers(flowsum::glob(flowsum::g::kNblk), tkbids_);

  double stream_time = 1e300, curve_time = 1e300;
  int64_t rows = 0, values = 0;
  for (int r = 0; r < repeats && !again_only; ++r) {
    auto t0 = flowsum::bench::now_seconds();
    if (!curves_only) rows = flowsum::bench::read_all_streams(streams);
    stream_time = std::min(stream_time, seconds_since(t0));
    t0 = flowsum::bench::now_seconds();
    values = read_all_curves(blocks);
    curve_time = std::min(curve_time, seconds_since(t0));
  }

  // A column's reboiler curve again and again, against its reboiler and
  // condenser curves in turns.
  double same = 1e300, alternating = 1e300;
  std::string column;
  for (std::string& id : blocks) {
    int64_t n = 0;
    tknhcv_(id.data(), &n, id.size());
    if (n == 2) {
      std::string type(16, ' '), types(32, ' ');
      std::vector<int64_t> numbers(2);
      int64_t ierr = 0;
      tklhcv_(id.data(), &n, types.data(), numbers.data(), &ierr, id.size(), 16);
      if (types.substr(0, 8) == "REBOILER") {
        column = id;
        break;
      }
    }
  }
  if (!column.empty() && !curves_only) {
    const std::string reb = std::string("REBOILER") + std::string(8, ' '), cond = "CONDENSER" + std::string(7, ' ');
    for (int r = 0; r < repeats; ++r) {
      same = std::min(same, standard_calls(column, {reb}, 2000));
      alternating = std::min(alternating, standard_calls(column, {reb, cond}, 2000));
    }
  }
  flowsum::bench::close_all();

  const double per_row = rows > 0 ? stream_time / static_cast<double>(rows) : 0.0;
  const double per_value = values > 0 ? curve_time / static_cast<double>(values) : 0.0;
  const double ratio = per_row > 0 ? per_value / per_row : 0.0;
  if (!curves_only && !again_only)
    std::printf("streams %zu: %lld rows in %.3f s, %.1f ns a row\n", streams.size(), static_cast<long long>(rows),
                stream_time, per_row * 1e9);
  if (!again_only)
    std::printf("curves of %zu blocks: %lld values in %.3f s, %.1f ns a value; per value against streams %.3f\n",
                blocks.size(), static_cast<long long>(values), curve_time, per_value * 1e9, ratio);
  if (!column.empty() && !curves_only)
    std::printf("same curve again: %.2f us a call; two curves in turns: %.2f us a call; ratio %.3f\n", same * 1e6,
                alternating * 1e6, alternating > 0 ? same / alternating : 0.0);
  return ratio <= 1.0 || curves_only || again_only ? 0 : 1;
}
