// The refinery twins of the general column routines (query/refinery_columns.cpp).
#include "query/refinery_twins.hpp"

#include "flowsum.h"

namespace flowsum {

const RefineryTwins& refinery_twins() {
  static const RefineryTwins twins = [] {
    RefineryTwins t;
    t.profile_sizes = tkpetf_;
    t.profile_names = tkpetp_;
    t.tray_profile = tkpet1_;
    t.component_profile = tkpet2_;
    t.report_sizes = tkptre_;
    t.report_property = tkptpy_;
    t.report_by_position = tkptnp_;
    // The sizing twins take the general routines' arguments; the width of
    // the section-type texts the seam passes last is theirs already.
    t.section_count = [](const char* id, int64_t* c, int64_t* n, int64_t* e, size_t l, size_t) { tkptns_(id, c, n, e, l); };
    t.section_list = [](const char* id, int64_t* c, int64_t* n, int64_t* nums, char* types, int64_t* e, size_t l,
                        size_t tl, size_t) { tkptls_(id, c, n, nums, types, e, l, tl); };
    t.section_sizes = [](const char* id, int64_t* c, const char* ty, int64_t* num, int64_t* np, int64_t* npr,
                         int64_t* nr, int64_t* e, size_t l, size_t tl, size_t) {
      tkptss_(id, c, ty, num, np, npr, nr, e, l, tl);
    };
    t.section_profile_names = [](const char* id, int64_t* c, const char* ty, int64_t* num, int64_t* np, char* pn,
                                 char* parts, int64_t* e, size_t l, size_t tl, size_t pl, size_t partl, size_t) {
      tkptps_(id, c, ty, num, np, pn, parts, e, l, tl, pl, partl);
    };
    t.section_results = [](const char* id, int64_t* c, const char* ty, int64_t* num, int64_t* n, char* pn,
                           int64_t* kinds, int64_t* iv, char* tv, double* rv, char* qn, char* ul, int64_t* e,
                           size_t l, size_t tl, size_t pl, size_t tvl, size_t ql, size_t ull, size_t) {
      tkptsc_(id, c, ty, num, n, pn, kinds, iv, tv, rv, qn, ul, e, l, tl, pl, tvl, ql, ull);
    };
    t.section_profile = [](const char* id, int64_t* c, const char* ty, int64_t* num, int64_t* np, int64_t* trays,
                           const char* pn, const char* part, double* v, char* qn, char* ul, int64_t* e, size_t l,
                           size_t tl, size_t pl, size_t partl, size_t ql, size_t ull, size_t) {
      tkptsr_(id, c, ty, num, np, trays, pn, part, v, qn, ul, e, l, tl, pl, partl, ql, ull);
    };
    return t;
  }();
  return twins;
}

}  // namespace flowsum
