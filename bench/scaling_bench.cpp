// Per-call cost of the queries that find an object's data set, on one
// loaded file: every block through TKCNTN, TKNVAL, TKDSET and TKNRES+TKBRES,
// every stream through TKSTRM and TKNSUB+TKSUBS. Run on files that differ
// only in the number of blocks (or components), the per-call times show
// whether a query costs more as the flowsheet grows. Prints one line of
// microseconds per call, the fastest of the repeats:
//
//   scaling_bench FILE [REPEATS] [MAX_STREAMS]
//
// MAX_STREAMS bounds the streams read (default all). SCALING_FIRST_BLOCK=F
// and SCALING_MAX_BLOCKS=M in the environment restrict the block queries to
// M blocks from the F-th on (0-based), to compare a pass over part of a
// large file with a pass over a small file of that many blocks.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/load_common.hpp"
#include "flowsum.h"
#include "loading/globals.hpp"

namespace {

using Clock = std::chrono::steady_clock;

int64_t load_open(const std::string& path) {
  int64_t sum = 71, scr = 72, prp = 73, unt = 74, msg = 0, recl = 0, ierr = 0;
  std::string file = path, access = "SEQUENTIAL", form = "FORMATTED", status = "OLD",
              action = "READ", unitset = "SI";
  std::string prpfile = flowsum::bench::reference_file("RCPROPNU.DAT"),
              untfile = flowsum::bench::reference_file("RCUNITS.DAT");
  double rmiss = 1.0e35;
  tkopen_(&sum, file.data(), access.data(), form.data(), &recl, status.data(), action.data(),
          &ierr, file.size(), access.size(), form.size(), status.size(), action.size());
  if (ierr != 0) return 100 + ierr;
  tkini2_(unitset.data(), &scr, &sum, &prp, prpfile.data(), &unt, untfile.data(), &rmiss, &ierr,
          &msg, unitset.size(), prpfile.size(), untfile.size());
  return ierr;
}

// Identifiers (128 characters) and types (12) of a kind's table.
void list_ids(bool blocks, std::vector<std::string>& ids, std::vector<std::string>& types) {
  int64_t n = flowsum::glob(blocks ? flowsum::g::kNblk : flowsum::g::kNstr);
  if (n <= 0) return;
  std::string all(static_cast<size_t>(n) * 128, ' '), t(static_cast<size_t>(n) * 12, ' ');
  int64_t ierr = 0;
  if (blocks) tkbids_(&n, all.data(), t.data(), &ierr, 128, 12);
  else tksids_(&n, all.data(), t.data(), &ierr, 128, 12);
  for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
    ids.push_back(all.substr(i * 128, 128));
    types.push_back(t.substr(i * 12, 12));
  }
}

// Microseconds per call of one pass over n objects, fastest of the repeats.
double per_call(int repeats, size_t n, const std::function<void(size_t)>& call) {
  if (n == 0) return 0.0;
  double best = 1e300;
  for (int r = 0; r < repeats; ++r) {
    const auto t0 = Clock::now();
    for (size_t i = 0; i < n; ++i) call(i);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best * 1e6 / static_cast<double>(n);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: scaling_bench FILE [REPEATS] [MAX_STREAMS]\n", stderr);
    return 2;
  }
  const std::string path = argv[1];
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const size_t max_streams = argc > 3 ? static_cast<size_t>(std::max(1, std::atoi(argv[3]))) : SIZE_MAX;
  const auto t0 = Clock::now();
  if (load_open(path) != 0) {
    std::fprintf(stderr, "scaling_bench: %s does not load\n", path.c_str());
    return 2;
  }
  const double load = std::chrono::duration<double>(Clock::now() - t0).count();

  std::vector<std::string> blocks, models, streams, stypes;
  list_ids(true, blocks, models);
  list_ids(false, streams, stypes);
  if (streams.size() > max_streams) streams.resize(max_streams);
  if (const char* fb = std::getenv("SCALING_FIRST_BLOCK")) {
    const size_t f = static_cast<size_t>(std::atoi(fb));
    if (f > 0 && f < blocks.size()) blocks.erase(blocks.begin(), blocks.begin() + f), models.erase(models.begin(), models.begin() + f);
  }
  if (const char* mb = std::getenv("SCALING_MAX_BLOCKS")) {
    const size_t m = static_cast<size_t>(std::atoi(mb));
    if (m > 0 && blocks.size() > m) blocks.resize(m), models.resize(m);
  }

  // Paths of the blocks' result tables: the stored 8-character model.
  auto block_path = [&](size_t i, const char* section) {
    std::string p(4 * 128, ' ');
    p.replace(0, 5, "BLOCK");
    p.replace(128, 8, models[i].substr(0, 8));
    p.replace(256, 128, blocks[i]);
    p.replace(384, std::char_traits<char>::length(section), section);
    return p;
  };
  std::vector<std::string> paths;
  for (size_t i = 0; i < blocks.size(); ++i) paths.push_back(block_path(i, "RESULTS"));

  int64_t sink = 0;
  const double cntn = per_call(repeats, blocks.size(), [&](size_t i) {
    int64_t nin = 0, nout = 0, st = 0;
    tkcntn_(blocks[i].data(), &nin, &nout, &st, 128);
    sink += nin + nout;
  });
  const double nval = per_call(repeats, blocks.size(), [&](size_t i) {
    int64_t nid = 4, nd = 0, nq = 0, ierr = 0;
    tknval_(paths[i].data(), &nid, &nd, &nq, &ierr, 128);
    sink += nd;
  });
  const double dset = per_call(repeats, blocks.size(), [&](size_t i) {
    int64_t nid = 4, nq = 0, nd = 0, lq = 0, ld = 0;
    char qual[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    tkdset_(&nid, paths[i].data(), qual, &nq, &nd, &lq, &ld, 128, 8);
    sink += nd;
  });
  std::string names, quals, texts, utypes, labels;
  std::vector<int64_t> vtypes, ivalues;
  std::vector<double> reals;
  const double bres = per_call(repeats, blocks.size(), [&](size_t i) {
    int64_t nres = 0, ndesc = 0, st = 0, d1 = 0, d2 = 0;
    tknres_(blocks[i].data(), &nres, &ndesc, &st, 128);
    const size_t n = static_cast<size_t>(std::max<int64_t>(nres, 1)),
                 d = static_cast<size_t>(std::max<int64_t>(ndesc, 1));
    names.assign(n * 12, ' '), quals.assign(n * d * 8, ' '), texts.assign(n * 8, ' ');
    utypes.assign(n * 12, ' '), labels.assign(n * 16, ' ');
    vtypes.assign(n, 0), ivalues.assign(n, 0), reals.assign(n, 0.0);
    tkbres_(blocks[i].data(), &d1, &d2, names.data(), quals.data(), vtypes.data(), ivalues.data(),
            texts.data(), reals.data(), utypes.data(), labels.data(), 128, 12, 8, 8, 12, 16);
    sink += nres;
  });

  // Stream tables, sized by TKSINF once.
  std::vector<int64_t> rows(streams.size(), 0);
  for (size_t i = 0; i < streams.size(); ++i) {
    std::string src(128, ' '), dst(128, ' ');
    int64_t nsub = 0, dum = 0;
    tksinf_(streams[i].data(), src.data(), dst.data(), &nsub, &rows[i], &dum, 128, 128, 128);
  }
  std::string row_buf;
  std::vector<double> values;
  const double strm = per_call(repeats, streams.size(), [&](size_t i) {
    const size_t n = static_cast<size_t>(std::max<int64_t>(rows[i], 1));
    row_buf.assign(n * 64, ' '), names.assign(n * 12, ' '), labels.assign(n * 16, ' ');
    values.assign(n, 0.0);
    int64_t nr = 0, dum = 0;
    tkstrm_(streams[i].data(), &dum, row_buf.data(), values.data(), names.data(), labels.data(), &nr,
            128, 64, 12, 16);
    sink += nr;
  });
  std::string ids, tnames, tlabels, label(16, ' ');
  std::vector<double> tvalues;
  const double subs = per_call(repeats, streams.size(), [&](size_t i) {
    int64_t k = 1, ncomp = 0, ntotal = 0, dum = 0;
    char name[8];
    tknsub_(streams[i].data(), &k, name, &ncomp, &ntotal, 128, 8);
    const size_t nc = static_cast<size_t>(std::max<int64_t>(ncomp, 1)),
                 nt = static_cast<size_t>(std::max<int64_t>(ntotal, 1));
    ids.assign(nc * 8, ' '), values.assign(nc, 0.0);
    tnames.assign(nt * 12, ' '), tlabels.assign(nt * 16, ' '), tvalues.assign(nt, 0.0);
    char basis[11] = {'S', 'T', 'D', 'V', 'O', 'L', '-', 'F', 'L', 'O', 'W'};
    int64_t n = ncomp;
    tksubs_(streams[i].data(), name, basis, &n, ids.data(), values.data(), label.data(), &dum,
            tnames.data(), tvalues.data(), tlabels.data(), 128, 8, 11, 8, 16, 12, 16);
    sink += ncomp;
  });

  const long long ncomp = static_cast<long long>(flowsum::glob(flowsum::g::kNcomp));
  int64_t sum = 71, scr = 72, prp = 73, unt = 74, cerr = 0;
  tkclos_(&sum, &scr, &prp, &unt);
  tkclfl_(&sum, &cerr);
  std::printf("blocks %zu streams %zu components %lld load %.3f s | us/call: TKCNTN %.2f TKNVAL %.2f "
              "TKDSET %.2f TKBRES %.2f TKSTRM %.2f TKSUBS %.2f (%lld)\n",
              blocks.size(), streams.size(), ncomp, load,
              cntn, nval, dset, bres, strm, subs, static_cast<long long>(sink % 10));
  return 0;
}
