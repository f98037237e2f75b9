// The heat-transfer families of the query harness: a block's heating curves
// (general and refinery routines) and its exchanger detail, every field and
// array against a guard page and sized by the count the routine is told.
// Included by query_families.hpp after its helpers (Args, Fixed, width).
#pragma once

namespace {

void heating_curves(const std::string& block, int k) {
  Fixed f;
  for (int refinery = 0; refinery < 2; ++refinery) {
    int64_t n = -9;
    {
      Args a;
      (refinery ? tknhcr_ : tknhcv_)(a.in(block), &n, block.size());
    }
    if (n < 0) fz::fail("TKNHCV or TKNHCR gave a negative count");
    if (!sane(n)) continue;
    // The list, once with room for every curve (read back), once for fewer.
    std::vector<std::pair<std::string, std::string>> curves;  // location, type
    std::vector<int64_t> numbers;
    for (int64_t room : {n, inner(n) / 2}) {
      Args a;
      size_t lw = room == n ? 8 : width(k, 8), tw = room == n ? 16 : width(k + 1, 16);
      int64_t ierr = -9, r = room;
      char* locs = a.out(lw, r);
      char* types = a.out(tw, r);
      int64_t* nums = a.ints(r);
      if (refinery) tklhcr_(a.in(block), &r, locs, types, nums, &ierr, block.size(), lw, tw);
      else tklhcv_(a.in(block), &r, types, nums, &ierr, block.size(), tw);
      if (room == n && ierr == 0)
        for (int64_t i = 0; i < std::min<int64_t>(n, kMaxInner); ++i) {
          curves.push_back({refinery ? trimmed(locs + 8 * i, 8) : "", trimmed(types + 16 * i, 16)});
          numbers.push_back(nums[i]);
        }
    }
    curves.push_back({"PA1", k & 1 ? "PUMPAROUND" : "HCURVE"});
    numbers.push_back(k % 13);
    for (size_t c = 0; c < curves.size(); ++c) {
      const std::string& loc = curves[c].first;
      const std::string& type = curves[c].second;
      int64_t number = numbers[c], np = -9, nf = -9;
      {
        Args a;
        if (refinery)
          tkshcr_(a.in(block), a.in(loc, 8), a.in(type, 16), &number, &np, &nf, block.size(), 8, 16);
        else
          tkshcv_(a.in(block), a.in(type, 16), &number, &np, &nf, block.size(), 16);
      }
      if (np < 0 || nf < 0) fz::fail("TKSHCV gave a negative count");
      if (!sane(np)) continue;
      for (int64_t asked : {np, np + (k & 1), int64_t{0}}) {
        Args a;
        int64_t ierr = -9, p = asked;
        if (refinery)
          tkhcur_(a.in(block), a.in(loc, 8), a.in(type, 16), &number, &p, a.reals(p), a.reals(p), a.reals(p),
                  a.reals(p), a.reals(p), &ierr, block.size(), 8, 16);
        else
          tkhcrv_(a.in(block), a.in(type, 16), &number, &p, a.reals(p), a.reals(p), a.reals(p), a.reals(p),
                  a.reals(p), &ierr, block.size(), 16);
        if (ierr != 0 && ierr != 1) fz::fail("TKHCRV gave an undocumented IERR");
      }
      std::array<std::string, 6> first;
      for (int64_t q = 0; q <= inner(nf) + 1; ++q) {
        Args a;
        size_t pw = q == 1 ? 12 : width(k, 12), dw = q == 1 ? 8 : width(k + 1, 8), bw = q == 1 ? 4 : width(k + 2, 4),
               uw = width(k + 3, 12), lw = width(k + 4, 16);
        int64_t ierr = -9, kk = q, p = np;
        char* pn = a.out(pw);
        char* sb = a.out(dw);
        char* ph = a.out(dw);
        char* cp = a.out(dw);
        char* bs = a.out(bw);
        char* fb = a.out(bw);
        if (refinery)
          tknhcp_(a.in(block), a.in(loc, 8), a.in(type, 16), &number, &p, &kk, pn, sb, ph, cp, bs, fb, a.reals(p),
                  a.out(uw), a.out(lw), &ierr, block.size(), 8, 16, pw, dw, dw, dw, bw, bw, uw, lw);
        else
          tknhpr_(a.in(block), a.in(type, 16), &number, &p, &kk, pn, sb, ph, cp, bs, fb, a.reals(p), a.out(uw),
                  a.out(lw), &ierr, block.size(), 16, pw, dw, dw, dw, bw, bw, uw, lw);
        if (ierr != 0 && ierr != 1) fz::fail("TKNHPR gave an undocumented IERR");
        if (q == 1 && ierr == 0)
          first = {trimmed(pn, 12), trimmed(sb, 8), trimmed(ph, 8), trimmed(cp, 8), trimmed(bs, 4), trimmed(fb, 4)};
        ++k;
      }
      {
        Args a;
        size_t uw = width(k, 12), lw = width(k + 1, 16);
        int64_t ierr = -9, p = np;
        if (refinery)
          tkhcpr_(a.in(block), a.in(loc, 8), a.in(type, 16), &number, &p, a.in(first[0], 12), a.in(first[1], 8),
                  a.in(first[2], 8), a.in(first[3], 8), a.in(first[4], 4), a.in(first[5], 4), a.reals(p), a.out(uw),
                  a.out(lw), &ierr, block.size(), 8, 16, 12, 8, 8, 8, 4, 4, uw, lw);
        else
          tkhprp_(a.in(block), a.in(type, 16), &number, &p, a.in(first[0], 12), a.in(first[1], 8), a.in(first[2], 8),
                  a.in(first[3], 8), a.in(first[4], 4), a.in(first[5], 4), a.reals(p), a.out(uw), a.out(lw), &ierr,
                  block.size(), 16, 12, 8, 8, 8, 4, 4, uw, lw);
        if (ierr != 0 && ierr != 1) fz::fail("TKHPRP gave an undocumented IERR");
      }
      {
        Args a;
        size_t iw = width(k, 8);
        int64_t inum = -9, ierr = -9;
        tkhcid_(a.in(block), a.in(type, 8), &number, &inum, a.out(iw), &ierr, block.size(), 8, iw);
        if (ierr != 0 && ierr != 1) fz::fail("TKHCID gave an undocumented IERR");
      }
    }
  }
  f.check("heating-curve routines moved the free pointer");
}

using HxAval = void (*)(const char*, int64_t*, char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*,
                        int64_t*, size_t, size_t, size_t, size_t, size_t);
using HxPval = void (*)(const char*, int64_t*, char*, double*, char*, char*, int64_t*, int64_t*, size_t, size_t,
                        size_t, size_t);

void exchanger_detail(const std::string& block, int k) {
  Fixed f;
  int64_t nz = -9, nzp = -9, neq = -9, ntu = -9, nsh = -9, nno = -9, nd1 = -9, nd2 = -9, ngm = -9;
  {
    Args a;
    tknhxt_(a.in(block), &nz, &nzp, &neq, &ntu, &nsh, &nno, block.size());
    tknhxd_(a.in(block), &nd1, &nd2, block.size());
    tkngm_(a.in(block), &ngm, block.size());
  }
  for (int64_t c : {nz, nzp, neq, ntu, nsh, nno, nd1, nd2, ngm})
    if (c < 0) fz::fail("an exchanger count was negative");
  const std::array<std::pair<HxAval, int64_t>, 4> avals{{{tkhxba_, nsh}, {tkhxes_, neq}, {tkhxsh_, neq}, {tkhxtu_, ntu}}};
  for (const auto& [read, n] : avals) {
    if (!sane(n)) continue;
    Args a;
    size_t pw = width(k, 12), tw = width(k + 1, 12), uw = width(k + 2, 12), lw = width(k + 3, 16);
    int64_t idum = 0, nval = -9, ierr = -9;
    read(a.in(block), &idum, a.out(pw, n), a.ints(n), a.ints(n), a.out(tw, n), a.reals(n), a.out(uw, n),
         a.out(lw, n), &nval, &ierr, block.size(), pw, tw, uw, lw);
    ++k;
  }
  const std::array<std::pair<HxPval, int64_t>, 3> pvals{{{tkhxd1_, nd1}, {tkhxd2_, nd2}, {tkhxno_, nno}}};
  for (const auto& [read, n] : pvals) {
    if (!sane(n)) continue;
    Args a;
    size_t pw = width(k, 12), uw = width(k + 1, 12), lw = width(k + 2, 16);
    int64_t idum = 0, nval = -9, ierr = -9;
    read(a.in(block), &idum, a.out(pw, n), a.reals(n), a.out(uw, n), a.out(lw, n), &nval, &ierr, block.size(), pw,
         uw, lw);
    ++k;
  }
  for (int64_t n : {ngm, inner(ngm) / 2}) {
    if (!sane(n)) continue;
    Args a;
    size_t pw = width(k, 12), tw = width(k + 1, 12), qw = width(k + 2, 12), lw = width(k + 3, 16);
    int64_t m = n, idum = 0;
    tkhxgm_(a.in(block), &m, a.out(pw, n), a.ints(n), a.ints(n), a.out(tw, n), a.reals(n), a.out(qw, n),
            a.out(lw, n), &idum, block.size(), pw, tw, qw, lw);
    ++k;
  }
  int64_t zones = -9, zprops = -9, points = -9, pprops = -9, ierr = -9;
  {
    Args a;
    tknhxs_(a.in(block), &zones, &zprops, &points, &pprops, &ierr, block.size());
  }
  if (zones < 0 || zprops < 0 || points < 0 || pprops < 0) fz::fail("TKNHXS gave a negative count");
  if (sane(zones) && sane(zprops) && zones * zprops <= kMaxRows) {
    for (int64_t extra : {int64_t{0}, int64_t{1}}) {
      Args a;
      int64_t z = zones + extra, p = zprops;
      size_t pw = width(k, 12), qw = width(k + 1, 12), lw = width(k + 2, 16);
      tkhxsc_(a.in(block), &z, &p, a.out(pw, p), a.reals(z * p), a.out(qw, p), a.out(lw, p), &ierr, block.size(), pw,
              qw, lw);
      if (ierr != 0 && ierr != 1 && ierr != 3) fz::fail("TKHXSC gave an undocumented IERR");
      Args b;
      tkhxzo_(b.in(block), &z, &p, b.out(pw, z * p), b.reals(z * p), b.out(qw, z * p), b.out(lw, z * p), &ierr,
              block.size(), pw, qw, lw);
      ++k;
    }
  }
  std::vector<std::string> names;
  if (sane(pprops)) {
    Args a;
    int64_t n = pprops;
    char* pn = a.out(12, n);
    tkcoef_(a.in(block), &n, pn, &ierr, block.size(), 12);
    for (int64_t i = 0; i < std::min<int64_t>(pprops, kMaxInner); ++i) names.push_back(trimmed(pn + 12 * i, 12));
  }
  names.push_back("TEMP");
  if (sane(points))
    for (int64_t z = 0; z <= inner(zones) + 1; ++z)
      for (const std::string& name : names) {
        Args a;
        int64_t zz = z, p = points;
        size_t qw = width(k, 12), lw = width(k + 1, 16);
        tkhxcf_(a.in(block), &zz, &p, a.in(name, 12), a.reals(p), a.out(qw), a.out(lw), &ierr, block.size(), 12, qw,
                lw);
        if (ierr != 0 && ierr != 1 && ierr != 3) fz::fail("TKHXCF gave an undocumented IERR");
        ++k;
      }
  for (const char* section : {"TWS_PRF", "TWS_ZON", "NO-SUCH"}) {
    int64_t np = -9, nprop = -9;
    {
      Args a;
      tkhxpf_(a.in(block), a.in(section, 8), &np, &nprop, block.size(), 8);
    }
    if (np < 0 || nprop < 0) fz::fail("TKHXPF gave a negative count");
    if (!sane(np) || !sane(nprop)) continue;
    std::string first = "TEMP";
    {
      Args a;
      int64_t n = nprop;
      size_t pw = width(k, 12), qw = width(k + 1, 8);
      char* pn = a.out(pw, n);
      tkhxpp_(a.in(block), a.in(section, 8), &n, pn, a.out(qw, n), a.out(qw, n), &ierr, block.size(), 8, pw, qw, qw);
      if (nprop > 0 && pw == 12 && ierr == 0) first = trimmed(pn, 12);
    }
    for (int64_t p : {np, int64_t{0}, np + 1}) {
      Args a;
      size_t qw = width(k, 12), lw = width(k + 1, 16);
      tkhxpr_(a.in(block), a.in(section, 8), a.in(first, 12), &p, a.reals(p), a.reals(p), a.reals(p), a.out(qw),
              a.out(lw), &ierr, block.size(), 8, 12, qw, lw);
      ++k;
    }
  }
  int64_t nics = -9;
  {
    Args a;
    tknics_(a.in(block), &nics, block.size());
  }
  if (nics < 0) fz::fail("TKNICS gave a negative count");
  if (sane(nics))
    for (int64_t n : {nics, inner(nics) / 2}) {
      Args a;
      tkicst_(a.in(block), &n, a.ints(n), a.ints(n), a.ints(n), a.ints(n), a.reals(n), a.reals(n), a.reals(n),
              a.reals(n), a.reals(n), a.reals(n), a.reals(n), &ierr, block.size());
      if (ierr < 0 || ierr > 2) fz::fail("TKICST gave an undocumented IERR");
    }
  f.check("exchanger routines moved the free pointer");
}

}  // namespace
