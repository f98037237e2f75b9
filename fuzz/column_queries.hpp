// The column families of the query harness: profiles, tray reports and
// sized or rated sections of a block, every array sized exactly by the
// count the call is given: the family's own count, one less, 0 and -1 in
// turn. Included by query_families.hpp.
#pragma once

namespace {

int64_t column_count_variant(int64_t n, int k) {
  switch (k & 3) {
    case 0: return n;
    case 1: return n - 1;
    case 2: return 0;
    default: return -1;
  }
}

void column_queries(const std::string& block, int k) {
  Fixed f;
  int64_t ncol = -9;
  {
    Args a;
    tkncol_(a.in(block), &ncol, block.size());
  }
  if (ncol < 0) fz::fail("TKNCOL gave a negative count");
  for (int64_t c = -1; c <= inner(ncol) + 1; ++c, ++k) {
    int64_t col = c, nt = -9, nc = -9, np = -9;
    {
      Args a;
      tkprof_(a.in(block), &col, &nt, &nc, &np, block.size());
    }
    if (nt < 0 || nc < 0 || np < 0) fz::fail("TKPROF gave a negative count");
    if (!sane(nt) || !sane(nc) || !sane(np) || nt * (nc + 1) > kMaxRows) continue;
    std::vector<std::string> names;
    {
      Args a;
      int64_t n = column_count_variant(np, k), ierr = -9;
      const size_t w = width(k, 12);
      char* out = a.out(w, n);
      tkprop_(a.in(block), &col, &n, a.ints(n), out, &ierr, block.size(), w);
      for (int64_t i = 0; w == 12 && i < n; ++i) names.push_back(trimmed(out + 12 * i, 12));
    }
    names.push_back("X");
    names.push_back("HYD_LMF");
    for (const std::string& name : names) {
      Args a;
      int64_t trays = column_count_variant(nt, k), ld = column_count_variant(nc, k + 1), ierr = -9;
      const size_t qw = width(k + 1, 12), lw = width(k + 2, 16), cw = width(k + 3, 8);
      tkpro1_(a.in(block), a.in(name, 12), &col, &trays, a.reals(trays), a.out(qw), a.out(lw), &ierr, block.size(),
              12, qw, lw);
      if (ierr < 0 || ierr > 3) fz::fail("TKPRO1 gave an undocumented IERR");
      Args b;
      tkpro2_(b.in(block), b.in(name, 12), &col, &ld, b.out(cw, ld), &trays, b.reals(ld > 0 && trays > 0 ? ld * trays : 0),
              b.out(qw), b.out(lw), &ierr, block.size(), 12, cw, qw, lw);
      if (ierr < 0 || ierr > 3) fz::fail("TKPRO2 gave an undocumented IERR");
      ++k;
    }
    int64_t nsum = -9, nrep = -9, nrt = -9, nsec = -9, ierr = -9;
    {
      Args a;
      tkrtnr_(a.in(block), &col, &nsum, block.size());
      tktrep_(a.in(block), &col, &nrt, &nrep, block.size());
      tknsec_(a.in(block), &col, &nsec, &ierr, block.size());
    }
    if (sane(nsum)) {
      Args a;
      int64_t n = column_count_variant(nsum, k);
      const size_t w = width(k, 12);
      tkrtrs_(a.in(block), &col, &n, a.out(w, n), a.reals(n), a.out(w, n), a.out(16, n), &ierr, block.size(), w, w, 16);
    }
    for (int64_t p = 0; sane(nrt) && p <= inner(nrep) + 1; ++p, ++k) {
      Args a;
      int64_t n = column_count_variant(nrt, k), kk = p;
      const size_t w = width(k, 8);
      tkntpr_(a.in(block), &col, &n, a.ints(n), &kk, a.out(12), a.out(w), a.out(w), a.out(w), a.out(4), a.out(4),
              a.reals(n), a.out(12), a.out(16), &ierr, block.size(), 12, w, w, w, 4, 4, 12, 16);
      Args b;
      int64_t ut = 0;
      tktray_(b.in(block), &col, &n, b.out(w, n), b.out(16, n), &ut, b.reals(n), block.size(), w, 16);
    }
    if (sane(nsec)) {
      Args a;
      int64_t n = column_count_variant(nsec, k);
      tklsec_(a.in(block), &col, &n, a.ints(n), a.out(width(k, 12), n), &ierr, block.size(), width(k, 12));
    }
    for (const char* type : {"TRAY-SIZE", "TRAY-RATE", "PACK-SIZE", "PACK-RATE"}) {
      for (int64_t s = 1; s <= 2; ++s, ++k) {
        int64_t number = s, npt = -9, nprop = -9, nres = -9;
        {
          Args a;
          tkssec_(a.in(block), &col, a.in(type, 12), &number, &npt, &nprop, &nres, &ierr, block.size(), 12);
        }
        if (!sane(npt) || !sane(nprop) || !sane(nres)) continue;
        Args a;
        int64_t n = column_count_variant(nres, k), m = column_count_variant(nprop, k + 1),
                pts = column_count_variant(npt, k + 2);
        const size_t w = width(k, 12);
        tkscrs_(a.in(block), &col, a.in(type, 12), &number, &n, a.out(w, n), a.ints(n), a.ints(n), a.out(w, n),
                a.reals(n), a.out(w, n), a.out(16, n), &ierr, block.size(), 12, w, w, w, 16);
        Args b;
        tkpsec_(b.in(block), &col, b.in(type, 12), &number, &m, b.out(w, m), b.out(1, m), &ierr, block.size(), 12, w, 1);
        Args d;
        tkscpr_(d.in(block), &col, d.in(type, 12), &number, &pts, d.ints(pts), d.in("FLOOD", 12), d.in("A", 1),
                d.reals(pts), d.out(w), d.out(16), &ierr, block.size(), 12, 12, 1, w, 16);
      }
    }
  }
  if (trimmed(block.data(), block.size()).empty()) return;
  {
    Args a;
    int64_t nres = -9, ncp = -9, ncomp = -9, ierr = -9;
    tktrnr_(a.in(block), &nres, &ncp, &ncomp, block.size());
    if (sane(nres) && sane(ncp) && sane(ncomp) && ncp * ncomp <= kMaxRows) {
      Args b;
      int64_t n = column_count_variant(nres, k), np = column_count_variant(ncp, k + 1), nc = ncomp;
      const size_t w = width(k, 12);
      tktrrs_(b.in(block), &n, &np, &nc, b.out(w, n), b.reals(n), b.out(w, n), b.out(16, n), b.out(w, np),
              b.out(8, nc), b.reals(np > 0 ? np * nc : 0), &ierr, block.size(), w, w, 16, w, 8);
    }
  }
  f.check("a column routine moved the free pointer");
}

}  // namespace
