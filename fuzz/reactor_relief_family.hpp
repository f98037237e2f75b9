// Reactor-profile and pressure-relief families of the query harness,
// included by query_families.hpp (Args, Fixed, width, sane, inner, trimmed).
// Every array is sized exactly by the count the family reported.
#pragma once

namespace {

void reactor_queries(const Object& object, int k) {
  Fixed f;
  const std::string& block = object.id;
  int64_t nsub = -9;
  {
    Args a;
    tkrsub_(a.in(block), &nsub, block.size());
  }
  if (nsub < 0 || nsub > 9) fz::fail("TKRSUB gave a count outside 0..9");
  for (int64_t p = 0; p <= nsub + 1; ++p) {
    int64_t prof = p, np = -9, nc = -9, nn = -9, ierr = -9;
    std::string ss;
    {
      Args a;
      const size_t sw = width(k, 8);
      char* s = a.out(sw);
      tkrprf_(a.in(block), &prof, s, &np, &nc, &nn, block.size(), sw);
      ss = trimmed(s, sw);
    }
    if (np < 0 || nc < 0 || nn < 0) fz::fail("TKRPRF gave a negative count");
    if (!sane(np) || !sane(nc) || !sane(nn) || np * (nc + 1) > kMaxRows) continue;
    std::vector<std::pair<std::string, int64_t>> listed;
    {
      Args a;
      int64_t* kinds = a.ints(nn);
      char* names = a.out(12, nn);
      tkrprp_(a.in(block), &prof, &nn, kinds, names, &ierr, block.size(), 12);
      if (ierr < 0 || ierr > 2) fz::fail("TKRPRP gave an undocumented IERR");
      for (int64_t i = 0; ierr == 0 && i < nn; ++i) listed.push_back({trimmed(names + 12 * i, 12), kinds[i]});
    }
    for (const auto& [name, kind] : listed) {
      Args a;
      const size_t qw = width(k, 12), lw = width(k + 1, 16), cw = width(k + 2, 8);
      int64_t n = np - (k & 1), ld = nc, e = -9;
      if (kind == 1)
        tkrpr1_(a.in(block), a.in(name, 12), a.in(ss, 8), &n, a.reals(n), a.out(qw), a.out(lw), &e, block.size(), 12,
                8, qw, lw);
      else
        tkrpr2_(a.in(block), a.in(name, 12), &prof, &ld, a.out(cw, ld), &n, a.reals(ld * n), a.out(qw), a.out(lw), &e,
                block.size(), 12, cw, qw, lw);
      if (e < 0 || e > 3) fz::fail("TKRPR1 or TKRPR2 gave an undocumented IERR");
      ++k;
    }
  }
  using Sizes = void (*)(const char*, int64_t*, int64_t*, int64_t*, size_t);
  using Names = void (*)(const char*, int64_t*, int64_t*, char*, int64_t*, size_t, size_t);
  using One = void (*)(const char*, const char*, int64_t*, double*, char*, char*, int64_t*, size_t, size_t, size_t,
                       size_t);
  using Two = void (*)(const char*, const char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*, size_t,
                       size_t, size_t, size_t, size_t);
  struct Vessel { Sizes sizes; Names names; One one; Two two; };
  for (const Vessel& v : {Vessel{tkvapf_, tkvapr_, tkvar1_, tkvar2_}, Vessel{tkvtpf_, tkvtpr_, tkvtr1_, tkvtr2_}}) {
    int64_t np = -9, nc = -9, nn = -9, ierr = -9;
    {
      Args a;
      v.sizes(a.in(block), &np, &nc, &nn, block.size());
    }
    if (np < 0 || nc < 0 || nn < 0) fz::fail("a vessel profile gave a negative count");
    if (!sane(np) || !sane(nc) || !sane(nn) || np * (nc + 1) > kMaxRows) continue;
    std::vector<std::pair<std::string, int64_t>> listed;
    {
      Args a;
      int64_t* kinds = a.ints(nn);
      char* names = a.out(12, nn);
      v.names(a.in(block), &nn, kinds, names, &ierr, block.size(), 12);
      for (int64_t i = 0; ierr == 0 && i < nn; ++i) listed.push_back({trimmed(names + 12 * i, 12), kinds[i]});
    }
    for (const auto& [name, kind] : listed) {
      Args a;
      const size_t qw = width(k, 12), lw = width(k + 1, 16), cw = width(k + 2, 8);
      int64_t n = np, ld = nc - (k & 1), e = -9;
      if (kind == 1)
        v.one(a.in(block), a.in(name, 12), &n, a.reals(n), a.out(qw), a.out(lw), &e, block.size(), 12, qw, lw);
      else
        v.two(a.in(block), a.in(name, 12), &n, &ld, a.out(cw, ld), a.reals(ld * n), a.out(qw), a.out(lw), &e,
              block.size(), 12, cw, qw, lw);
      if (e < 0 || e > 3) fz::fail("a vessel profile reader gave an undocumented IERR");
      ++k;
    }
  }
  // The generic sections, arrays sized by their counts.
  using Every = void (*)(const char*, int64_t*, char*, double*, char*, char*, int64_t*, int64_t*, size_t, size_t,
                         size_t, size_t);
  int64_t nsel = -9, nreac = -9, nseg = -9, npt = -9, ncp = -9;
  {
    Args a;
    tkrrns_(a.in(block), &nsel, block.size());
    tkrrpf_(a.in(block), &nreac, block.size());
    tkrtnl_(a.in(block), &nseg, block.size());
    tkrtsp_(a.in(block), &npt, &ncp, block.size());
  }
  if (nsel < 0 || nreac < 0 || nseg < 0 || npt < 0 || ncp < 0) fz::fail("a reactor count was negative");
  // SEL_PRF, HEAT_PRF and VLE3 are read whole: their arrays are sized by
  // the data set's count (TKRRNS, or TKNVAL on the block's path).
  for (auto [fn, section] : {std::pair<Every, const char*>{tkrrsl_, "SEL_PRF"}, {tkrrhr_, "HEAT_PRF"}, {tkvle_, "VLE3"}}) {
    int64_t n = 0, nq = 0, e = -9, nid = 4;
    {
      Args a;
      tknval_(a.in_array({"BLOCK", object.type, block, section}, 128), &nid, &n, &nq, &e, 128);
    }
    if (fn == tkrrsl_ && e == 0 && n != nsel && (object.type == "TUBERX" || object.type == "BATCHRX"))
      fz::fail("TKRRNS differs from the count of SEL_PRF");
    if (e != 0 || !sane(n)) continue;
    Args a;
    int64_t idum = 0, nval = -9;
    const size_t pw = width(k, 12), uw = width(k + 1, 12), lw = width(k + 2, 16);
    char* pn = a.out(pw, n);
    fn(a.in(block), &idum, pn, a.reals(n), a.out(uw, n), a.out(lw, n), &nval, &e, block.size(), pw, uw, lw);
    ++k;
  }
  using Table = void (*)(const char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*, size_t, size_t,
                         size_t, size_t);
  struct Shape {
    Table fn;
    int64_t rows, cols;
  };
  const Shape shapes[] = {{tkrrpr_, 1, nreac}, {tkrrpr_, nreac, 1}, {tkrtsr_, npt, ncp}, {tkrtsr_, npt + 1, ncp}};
  for (const auto& [fn, rows, cols] : shapes) {
    if (!sane(rows) || !sane(cols) || rows * cols > kMaxRows) continue;
    Args a;
    int64_t r = rows, c = cols, e = -9;
    const size_t pw = width(k, 12), uw = width(k + 1, 12), lw = width(k + 2, 16);
    fn(a.in(block), &r, &c, a.out(pw, c), a.reals(r * c), a.out(uw, r * c), a.out(lw, r * c), &e, block.size(), pw, uw,
       lw);
    if (e != 0 && e != 1 && e != 3) fz::fail("TKRRPR or TKRTSR gave an undocumented IERR");
    ++k;
  }
  // Catalyst attributes and feeds of sections 1 and 2.
  for (int64_t sec = 1; sec <= 2; ++sec) {
    int64_t isec = sec, ncomp = -9;
    {
      Args a;
      tkrnac_(a.in(block), &isec, &ncomp, block.size());
    }
    for (int64_t c = 1; c <= inner(ncomp); ++c) {
      std::string comp;
      int64_t natt = -9, kk = c;
      {
        Args a;
        char* cp = a.out(8);
        tkrnca_(a.in(block), &isec, &kk, cp, &natt, block.size(), 8);
        comp = trimmed(cp, 8);
      }
      for (int64_t t = 1; t <= inner(natt); ++t) {
        std::string attr;
        int64_t nel = -9, kt = t, idum = 0, e = -9;
        {
          Args a;
          char* at = a.out(8);
          tkrsca_(a.in(block), &isec, a.in(comp, 8), &kt, at, &nel, block.size(), 8, 8);
          attr = trimmed(at, 8);
        }
        if (!sane(nel)) continue;
        Args a;
        const size_t ew = width(k++, 8);
        tkrcat_(a.in(block), &isec, a.in(comp, 8), a.in(attr, 8), &idum, a.out(ew, nel), a.reals(nel), &e,
                block.size(), 8, 8, ew);
      }
    }
    int64_t nfc = -9, nfi = -9;
    {
      Args a;
      tkrnfs_(a.in(block), &isec, &nfc, &nfi, block.size());
    }
    if (nfc < 0 || nfi < 0) fz::fail("TKRNFS gave a negative count");
    if (!sane(nfc + nfi)) continue;
    Args a;
    int64_t n = nfc + nfi - (k & 1), e = -9;
    const size_t nw = width(k++, 12);
    tkrfsp_(a.in(block), &isec, &n, a.out(nw, n), &e, block.size(), nw);
  }
  f.check("reactor profile routines moved the free pointer");
}

void relief_queries(const std::string& id, int k) {
  Fixed f;
  for (int steady = 0; steady < 2; ++steady) {
    // A count that cuts the results short, and one of two.
    for (int64_t rows : {int64_t{1}, int64_t{2}}) {
      Args a;
      int64_t n = rows, e = -9;
      const size_t nw = width(k, 12), tw = width(k + 1, 12), mw = width(k + 2, 32), qw = width(k + 3, 12),
                   lw = width(k + 4, 16);
      char* names = a.out(nw, n);
      int64_t* kinds = a.ints(n);
      int64_t* ints = a.ints(n);
      char* texts = a.out(tw, n);
      char* msgs = a.out(mw, n);
      double* reals = a.reals(n);
      char* qn = a.out(qw, n);
      char* ul = a.out(lw, n);
      if (steady)
        tkpsss_(a.in(id), &n, names, kinds, ints, texts, msgs, reals, qn, ul, &e, id.size(), nw, tw, mw, qw, lw);
      else
        tkpssr_(a.in(id), &n, names, kinds, ints, texts, msgs, reals, qn, ul, id.size(), nw, tw, mw, qw, lw);
      ++k;
    }
  }
  int64_t np = -9, nz = -9, nvent = -9, npres = -9;
  {
    Args a;
    tkpvpf_(a.in(id), &np, &nz, &nvent, &npres, id.size());
  }
  if (np < 0 || nz < 0 || nvent < 0 || npres < 0) fz::fail("TKPVPF gave a negative count");
  if (sane(np) && sane(nvent)) {
    Args a;
    int64_t n = nvent, e = -9;
    const size_t qw = width(k, 12), lw = width(k + 1, 16);
    tkpvrp_(a.in(id), &n, a.ints(n), a.out(12, n), a.reals(np), a.out(qw), a.out(lw), &e, id.size(), 12, qw, lw);
  }
  static const char* const kVent[] = {"B_PRES", "B_TEMP", "B_VFRAC", "DENSITY", "B_MOLEFRAC"};
  for (const char* name : kVent) {
    const int64_t sets = std::string(name) == "B_MOLEFRAC" ? nz : std::max<int64_t>(npres, 1);
    if (!sane(np) || !sane(sets) || np * sets > kMaxRows) continue;
    Args a;
    int64_t ns = sets, n = np - (k & 1), e = -9;
    const size_t qw = width(k, 12), lw = width(k + 1, 16), cw = width(k + 2, 8);
    if (std::string(name) == "B_MOLEFRAC")
      tkpvr2_(a.in(id), a.in(name, 12), &ns, &n, a.out(cw, ns), a.reals(ns * n), a.out(qw), a.out(lw), &e, id.size(),
              12, cw, qw, lw);
    else
      tkpvr1_(a.in(id), a.in(name, 12), &ns, &n, a.reals(ns * n), a.out(qw), a.out(lw), &e, id.size(), 12, qw, lw);
    if (e != 0 && e != 1 && e != 3) fz::fail("TKPVR1 or TKPVR2 gave an undocumented IERR");
    ++k;
  }
  int64_t nsub = -9;
  {
    Args a;
    tkpsub_(a.in(id), &nsub, id.size());
  }
  for (int64_t p = 1; p <= std::max<int64_t>(nsub, 1); ++p) {
    int64_t prof = p, npt = -9, nc = -9, nn = -9, e = -9;
    {
      Args a;
      tkpsrf_(a.in(id), &prof, a.out(8), &npt, &nc, &nn, id.size(), 8);
    }
    if (!sane(npt) || !sane(nc) || !sane(nn) || npt * (nc + 1) > kMaxRows) continue;
    std::vector<std::pair<std::string, int64_t>> listed;
    {
      Args a;
      int64_t* kinds = a.ints(nn);
      char* names = a.out(12, nn);
      tkpsrp_(a.in(id), &prof, &nn, kinds, names, &e, id.size(), 12);
      for (int64_t i = 0; e == 0 && i < nn; ++i) listed.push_back({trimmed(names + 12 * i, 12), kinds[i]});
    }
    for (const auto& [name, kind] : listed) {
      Args a;
      const size_t qw = width(k, 12), lw = width(k + 1, 16), cw = width(k + 2, 8);
      int64_t n = npt, ld = nc, e2 = -9;
      if (kind == 1)
        tkpsr1_(a.in(id), a.in(name, 12), a.in("", 4), &n, a.reals(n), a.out(qw), a.out(lw), &e2, id.size(), 12, 4, qw,
                lw);
      else
        tkpsr2_(a.in(id), a.in(name, 12), &prof, &ld, a.out(cw, ld), &n, a.reals(ld * n), a.out(qw), a.out(lw), &e2,
                id.size(), 12, cw, qw, lw);
      ++k;
    }
  }
  f.check("relief routines moved the free pointer");
}

// Every block as a reactor and every relief object, and an unknown one.
void reactor_relief_families(const std::vector<Object>& blocks, int k) {
  for (const Object& b : blocks) reactor_queries(b, k++);
  reactor_queries({"NO-SUCH-OBJECT", "TUBERX"}, k);
  int64_t n = 0, ierr = 0;
  tknprs_(&n);
  const int64_t shown = std::clamp<int64_t>(n, 0, static_cast<int64_t>(kMaxFamilyObjects));
  std::vector<std::string> ids;
  if (shown > 0) {
    Args a;
    int64_t m = shown;
    char* out = a.out(128, m);
    tkpids_(&m, out, &ierr, 128);
    for (int64_t i = 0; ierr == 0 && i < m; ++i) ids.push_back(trimmed(out + 128 * i, 128));
  }
  ids.push_back("NO-SUCH-OBJECT");
  for (const std::string& id : ids) relief_queries(id, k++);
}

}  // namespace
