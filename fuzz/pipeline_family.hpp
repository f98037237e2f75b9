// Pipeline family of the query harness, included by query_families.hpp
// (Args, Fixed, width, sane, inner). Arrays are sized by the counts TKPLSZ,
// TKPISP and TKSPIR report, and by counts one off them.
#pragma once

namespace {

void pipeline(const std::string& block, int k) {
  Fixed f;
  int64_t n[9], prof[4] = {-9, -9, -9, -9}, ierr = -9;
  std::fill(std::begin(n), std::end(n), -9);
  {
    Args a;
    tkplsz_(a.in(block), &n[0], &n[1], &n[2], &n[3], &n[4], &n[5], &n[6], &n[7], &n[8], &ierr, block.size());
  }
  {
    Args a;
    tkpisp_(a.in(block), &prof[0], &prof[1], block.size());
    tkspir_(a.in(block), &prof[2], &prof[3], block.size());
  }
  for (int64_t c : n)
    if (c < 0) fz::fail("TKPLSZ gave a negative count");
  if (ierr != 0 && ierr != 1) fz::fail("TKPLSZ gave an undocumented IERR");
  using Names = void (*)(const char*, int64_t*, char*, int64_t*, size_t, size_t);
  using Values = void (*)(const char*, int64_t*, const char*, int64_t*, double*, char*, char*, char*, int64_t*,
                          size_t, size_t, size_t, size_t, size_t);
  struct Part {
    Names names;
    Values values;
    int64_t size, nprop;
  };
  // Segment data, descriptions, fluid properties, compositions (no value
  // routine of this shape), profile names.
  for (const Part& p : {Part{tkplsp_, tkplsg_, n[3], n[4]}, Part{tkplnp_, tkplnd_, n[5], n[6]},
                        Part{tkplpp_, nullptr, n[7], n[8]}, Part{tkplcp_, nullptr, n[1], n[2]}}) {
    if (!sane(p.nprop)) continue;
    std::vector<std::string> names;
    {
      Args a;
      const size_t w = width(k, 12);
      int64_t np = p.nprop - (k & 1), e = -9;
      char* out = a.out(w, np);
      p.names(a.in(block), &np, out, &e, block.size(), w);
      if (e != 0 && e != 1 && e != 3) fz::fail("a pipeline name routine gave an undocumented IERR");
      for (int64_t i = 0; e == 0 && i < inner(np); ++i) names.push_back(std::string(out + w * static_cast<size_t>(i), std::min<size_t>(w, 12)));
    }
    names.push_back("NO-SUCH");
    for (const std::string& name : names) {
      const int64_t room = p.size + (k++ % 3) - 1;
      if (!sane(room)) continue;
      Args a;
      const size_t tw = width(k, 12), qw = width(k + 1, 12), lw = width(k + 2, 16);
      int64_t nn = room, kind = -9, e = -9;
      if (p.values)
        p.values(a.in(block), &nn, a.in(name, 12), &kind, a.reals(room), a.out(tw, room), a.out(qw), a.out(lw), &e,
                 block.size(), 12, tw, qw, lw);
      else if (p.names == tkplpp_)
        tkplpr_(a.in(block), &nn, a.in(name, 12), a.reals(room), a.out(qw), a.out(lw), &e, block.size(), 12, qw, lw);
      else
        tkplco_(a.in(block), &nn, a.in(name, 12), a.out(tw, room), a.reals(2 * room), a.out(qw), a.out(lw), &e,
                block.size(), 12, tw, qw, lw);
      if (e != 0 && e != 1 && e != 3) fz::fail("a pipeline value routine gave an undocumented IERR");
    }
  }
  if (sane(n[0])) {
    Args a;
    const size_t nw = width(k, 12), tw = width(k + 1, 12), qw = width(k + 2, 12), lw = width(k + 3, 16);
    const int64_t m = 2 * n[0];
    tkplio_(a.in(block), a.out(nw, m), a.ints(m), a.reals(m), a.out(tw, m), a.out(qw, m), a.out(lw, m), &ierr,
            block.size(), nw, tw, qw, lw);
  }
  if (sane(prof[0]) && sane(prof[1])) {
    std::vector<std::string> names{"LENGTH"};
    {
      Args a;
      const size_t w = width(k, 12);
      int64_t idum = 0, e = -9;
      char* out = a.out(w, prof[1]);
      tkpinp_(a.in(block), &idum, out, &e, block.size(), w);
      for (int64_t i = 0; e == 0 && i < inner(prof[1]); ++i) names.push_back(std::string(out + w * static_cast<size_t>(i), std::min<size_t>(w, 12)));
    }
    for (const std::string& name : names) {
      Args a;
      const size_t uw = width(k++, 12), lw = width(k, 16);
      int64_t np = prof[0], e = -9;
      tkpipr_(a.in(block), &np, a.in(name, 12), a.reals(np), a.out(uw), a.out(lw), &e, block.size(), 12, uw, lw);
    }
  }
  for (int64_t pos = 0; sane(prof[2]) && pos <= inner(prof[3]) + 1; ++pos) {
    std::string d;
    {
      Args a;
      int64_t np = prof[2], kk = pos, e = -9;
      char* c[6] = {a.out(12), a.out(8), a.out(8), a.out(8), a.out(4), a.out(4)};
      tknpip_(a.in(block), &np, &kk, c[0], c[1], c[2], c[3], c[4], c[5], a.reals(np), a.out(12), a.out(16), &e,
              block.size(), 12, 8, 8, 8, 4, 4, 12, 16);
      for (int i = 0; i < 5; ++i) d += std::string(c[i], i == 0 ? 12 : i == 4 ? 4 : 8);
    }
    Args a;
    int64_t np = prof[2] - (pos & 1), e = -9;
    tkrpip_(a.in(block), &np, a.in(d.substr(0, 12), 12), a.in(d.substr(12, 8), 8), a.in(d.substr(20, 8), 8),
            a.in(d.substr(28, 8), 8), a.in(d.substr(36, 4), 4), a.in("    ", 4), a.reals(std::max<int64_t>(np, 0)),
            a.out(12), a.out(16), &e, block.size(), 12, 8, 8, 8, 4, 4, 12, 16);
  }
  f.check("pipeline routines moved the free pointer");
}

}  // namespace
