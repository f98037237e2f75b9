// Compressor and equipment-costing families of the query harness, included
// by query_families.hpp (Args, Fixed, width, sane, inner, trimmed).
#pragma once

namespace {

// A profile routine that takes (properties, points) after the block id.
using CompressorGrid = void (*)(const char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*, size_t,
                                size_t, size_t, size_t);

void compressor_grid(CompressorGrid fn, const std::string& block, int64_t nprop, int64_t npoint, int k) {
  if (!sane(nprop) || !sane(npoint) || nprop * npoint > kMaxRows) return;
  Args a;
  const size_t pw = width(k, 12), uw = width(k + 1, 12), lw = width(k + 2, 16);
  int64_t np = nprop, npt = npoint, ierr = -9;
  fn(a.in(block), &np, &npt, a.out(pw, nprop), a.reals(nprop * npoint), a.out(uw, nprop * npoint),
     a.out(lw, nprop * npoint), &ierr, block.size(), pw, uw, lw);
  if (ierr != 0 && ierr != 1 && ierr != 3) fz::fail("a compressor profile routine gave an undocumented IERR");
}

void compressor(const std::string& block, int k) {
  Fixed f;
  int64_t n[6] = {-9, -9, -9, -9, -9, -9};
  {
    Args a;
    tknmcp_(a.in(block), &n[0], &n[1], &n[2], &n[3], block.size());
  }
  {
    Args a;
    tknper_(a.in(block), &n[4], &n[5], block.size());
  }
  for (int64_t c : n)
    if (c < 0) fz::fail("TKNMCP or TKNPER gave a negative count");
  // The sizes reported, and sizes one off, which must be refused.
  compressor_grid(tkmcpr_, block, n[0], n[1], k);
  compressor_grid(tkmccp_, block, n[2], n[3], k + 1);
  compressor_grid(tkperf_, block, n[4], n[5], k + 2);
  compressor_grid(tkperf_, block, n[4] - (k & 1), n[5], k + 3);
  compressor_grid(tkmcpr_, block, n[0] + 1, n[1], k + 4);
  for (int64_t stage = 0; stage <= inner(n[5]) + 1; ++stage) {
    int64_t nw = -9, nr = -9, s = stage;
    {
      Args a;
      tknwhl_(a.in(block), &s, &nw, &nr, block.size());
    }
    if (nw < 0 || nr < 0) fz::fail("TKNWHL gave a negative count");
    if (!sane(nw) || !sane(nr) || nw * nr > kMaxRows) continue;
    Args a;
    const size_t pw = width(k + stage, 12), uw = width(k + stage + 1, 12), lw = width(k + stage + 2, 16);
    int64_t np = nr, npt = nw - (stage & 1), ierr = -9;
    tkwhlr_(a.in(block), &s, &npt, &np, a.out(pw, np), a.reals(np * std::max<int64_t>(npt, 0)),
            a.out(uw, np * std::max<int64_t>(npt, 0)), a.out(lw, np * std::max<int64_t>(npt, 0)), &ierr,
            block.size(), pw, uw, lw);
    if (ierr != 0 && ierr != 1 && ierr != 3) fz::fail("TKWHLR gave an undocumented IERR");
  }
  f.check("compressor routines moved the free pointer");
}

void costed_item(const std::string& item, int k) {
  Fixed f;
  int64_t nres = -9, ierr = -9;
  {
    Args a;
    tkneqs_(a.in(item), &nres, &ierr, item.size());
  }
  if (nres < 0) fz::fail("TKNEQS gave a negative count");
  // The whole list, and a list one shorter than the count.
  for (int64_t room : {nres, nres - 1}) {
    if (!sane(room)) continue;
    Args a;
    const size_t nw = width(k, 12), tw = width(k + 1, 12), qw = width(k + 2, 12), lw = width(k + 3, 16);
    int64_t r = room, e = -9;
    tkeqsr_(a.in(item), &r, a.out(nw, room), a.ints(room), a.ints(room), a.out(tw, room), a.reals(room),
            a.out(qw, room), a.out(lw, room), &e, item.size(), nw, tw, qw, lw);
    if (e != 0 && e != 1) fz::fail("TKEQSR gave an undocumented IERR");
    ++k;
  }
  int64_t quantity = -9, zero = -9;
  double purchased = 0, installed = 0;
  {
    Args a;
    tkeqcr_(a.in(item), &quantity, &purchased, &installed, &zero, item.size());
  }
  if (zero != 0) fz::fail("TKEQCR left its last output unset");
  f.check("costing routines moved the free pointer");
}

}  // namespace
