// The refinery-column routines of the query harness: the sizes TKNPET
// reports for the main column, a stripper and column 0, then every list and
// profile sized exactly by those counts (or by a variant of them), at
// varying field widths. The general column routines reach the twins
// through column_queries.
#pragma once

#include <string>

namespace {

void refinery_queries(const std::string& block, int k) {
  const size_t len = block.size();
  for (int64_t col : {int64_t{1}, int64_t{2}, int64_t{11}, int64_t{0}}) {
    int64_t n[12];
    for (int64_t& x : n) x = -9;
    {
      Args a;
      tknpet_(a.in(block), &col, &n[0], &n[1], &n[2], &n[3], &n[4], &n[5], &n[6], &n[7], &n[8], &n[9], &n[10],
              &n[11], len);
    }
    int64_t ierr = -9;
    const size_t w = width(k++, 12);
    if (sane(n[3])) {
      Args a;
      int64_t m = column_count_variant(n[3], k);
      tkptrs_(a.in(block), &col, &m, a.out(w, m), a.ints(m), a.reals(m), a.out(w, m), a.out(16, m), &ierr, len, w,
              w, 16);
    }
    if (sane(n[0] + n[1] + n[2])) {
      Args a;
      int64_t m = column_count_variant(n[0] + n[1] + n[2], k);
      tkptad_(a.in(block), &col, &m, a.out(w, m), a.out(4, m), &ierr, len, w, 4);
    }
    for (const char* basis : {"MOLE", "MASS", "SVOL", "XXXX"}) {
      Args a;
      int64_t pts = column_count_variant(16, k++);
      tkptpr_(a.in(block), a.in("TEMP", 12), &col, &pts, a.in(basis, 4), a.reals(pts), a.out(w), a.out(16), &ierr,
              len, 12, 4, w, 16);
    }
    if (sane(n[6]) && sane(n[7]) && sane(n[10]) && sane(n[11])) {
      // The main column's connections (N7 of N8 - 3 values), a stripper's
      // (N12 data sets of N11).
      const int64_t all = col == 1 ? n[6] * std::max<int64_t>(n[7] - 3, 0) : n[10] * n[11];
      if (all <= kMaxRows) {
        Args a;
        int64_t m = column_count_variant(all, k++);
        tkptcn_(a.in(block), &col, &m, a.out(w, m), a.reals(m), a.out(w, m), a.out(16, m), &ierr, len, w, w, 16);
      }
    }
    if (col != 1) continue;
    for (int64_t p = 0; p <= inner(n[4]) + 1 && sane(n[5]); ++p, ++k) {
      Args a;
      int64_t m = column_count_variant(n[5], k), pp = p;
      tkptpp_(a.in(block), &pp, &m, a.out(w, m), a.reals(m), a.out(w, m), a.out(16, m), &ierr, len, w, w, 16);
    }
    for (int64_t c = 0; c <= inner(n[6]) + 1 && sane(n[7]); ++c, ++k) {
      Args a;
      int64_t m = column_count_variant(n[7], k), cc = c;
      tkptfr_(a.in(block), &cc, &m, a.out(w, m), a.reals(m), a.out(w, m), a.out(16, m), &ierr, len, w, w, 16);
    }
    if (sane(n[8]) && sane(n[9]) && n[8] * n[9] <= kMaxRows) {
      Args a;
      int64_t np = column_count_variant(n[8], k), nc = column_count_variant(n[9], k + 1);
      tkfrcm_(a.in(block), &np, &nc, a.out(w, np), a.out(8, nc), a.reals(np * nc), a.out(w, np), a.out(16, np), &ierr,
              len, w, 8, w, 16);
    }
  }
}

}  // namespace
