// The caller-field guarantee of the query routines, checked once for all of
// them: called on the example flowsheet (with a property table and a
// sensitivity study added) with short text fields and arrays of
// exactly the count they are told, none writes past a hidden length or a
// count. Every field and array has one more entry after it that must stay as
// it was filled.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/block_table_records.hpp"
#include "support/caller.hpp"
#include "support/example_flowsheet.hpp"
#include "support/summary_loader.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;

constexpr double kFill = -7.25;

class Guarded {
 public:
  // n fields of width w ('#'), or one holding s, and one more field.
  Field& text(size_t w, size_t n = 1) { return texts_.emplace_back(w, n + 1); }
  Field& text(std::string_view s, size_t w) {
    Field& f = text(w);
    pad(s, w).copy(f.data(), w);
    return f;
  }
  std::vector<double>& reals(size_t n) { return reals_.emplace_back(n + 1, kFill); }
  std::vector<int64_t>& ints(size_t n) { return ints_.emplace_back(n + 1, -7); }

  // The fields and arrays written past their end, e.g. "text 2, reals 1".
  std::string overruns() const {
    std::string out;
    auto note = [&](const char* kind, size_t i) { out += std::string(out.empty() ? "" : ", ") + kind + " " + std::to_string(i + 1); };
    for (size_t i = 0; i < texts_.size(); ++i) {
      const Field& f = texts_[i];
      if (f.text().substr(f.text().size() - f.width()) != std::string(f.width(), '#')) note("text", i);
    }
    for (size_t i = 0; i < reals_.size(); ++i)
      if (reals_[i].back() != kFill) note("reals", i);
    for (size_t i = 0; i < ints_.size(); ++i)
      if (ints_[i].back() != -7) note("ints", i);
    return out;
  }
  // Whether the call wrote anything at all, so that a row reaches the
  // routine's writing path rather than its not-found answer.
  bool wrote() const {
    for (const Field& f : texts_)
      if (f.text().find_first_not_of('#') < f.text().size() - f.width()) return true;
    for (const auto& v : reals_)
      if (std::any_of(v.begin(), v.end() - 1, [](double x) { return x != kFill; })) return true;
    return false;
  }

 private:
  std::deque<Field> texts_;
  std::deque<std::vector<double>> reals_;
  std::deque<std::vector<int64_t>> ints_;
};

// A data-set path in fields of 16.
Field path(std::initializer_list<std::string_view> keys) {
  std::string s;
  for (std::string_view k : keys) s += pad(k, 16);
  return Field(s, 16, keys.size());
}

// The number of values of a path, which sizes the value readers' arrays.
size_t values_of(const Field& ids) {
  int64_t nd = 0, nq = 0, ierr = 0;
  call(tknval_, ids, int64_t{4}, nd, nq, ierr);
  return nd > 0 ? static_cast<size_t>(nd) : 0;
}

// A row whose routine is one call of the arguments given (g is the row's
// Guarded).
#define ROW(name, ...) \
  { name, [](Guarded& g) { call(__VA_ARGS__); } }

struct Row {
  const char* routine;
  std::function<void(Guarded&)> call_it;
};

const Row kRows[] = {
    ROW("TKTITL", tktitl_, g.text(10)),
    ROW("TKINFO", tkinfo_, g.text(3), g.text(3), g.text(5), g.text(5), g.ints(1), g.ints(6), g.ints(1), g.ints(1),
        g.ints(1), g.ints(1)),
    ROW("TKACCT", tkacct_, g.text(3), g.text(3), g.text(5), g.text(5), g.ints(1)),
    ROW("TKVBLK", tkvblk_, Field("F1", 8), g.text(3), g.ints(1)),
    ROW("TKBIDS", tkbids_, int64_t{9}, g.text(2, 9), g.text(3, 9), g.ints(1)),
    ROW("TKSIDS", tksids_, int64_t{5}, g.text(3, 5), g.text(3, 5), g.ints(1)),
    ROW("TKEIDS", tkeids_, int64_t{3}, g.text(3, 3), g.text(3, 3), g.ints(1)),
    ROW("TKPIDS", tkpids_, int64_t{1}, g.text(3), g.ints(1)),
    ROW("TKNBLK", tknblk_, int64_t{2}, g.text(1), g.text(2), g.ints(1)),
    ROW("TKNSTR", tknstr_, int64_t{9}, g.text(1), g.text(2), g.ints(1)),
    ROW("TKNXPR", tknxpr_, int64_t{1}, g.text(3), g.ints(1)),
    ROW("TKLIDS", tklids_, Field("RUN-STATUS", 10), int64_t{9}, g.text(3, 9), g.text(3, 9), g.ints(1)),
    ROW("TKNEXT", tknext_, Field("STREAM", 6), int64_t{1}, g.text(2), g.text(2), g.ints(1)),
    ROW("TKCIDS", tkcids_, int64_t{7}, int64_t{0}, g.text(3, 7), g.text(3, 0)),
    ROW("TKCPRP", tkcprp_, Field("MWEIGHT", 8), int64_t{9}, g.reals(9), g.text(2)),
    ROW("TKCNCT", tkcnct_, Field("F1", 8), int64_t{3}, int64_t{3}, g.text(1, 3), g.text(2, 3), g.text(1, 3),
        g.text(2, 3), g.ints(1)),
    ROW("TKPORT", tkport_, Field("C1", 8), int64_t{3}, int64_t{4}, g.text(2, 3), g.ints(3), g.ints(3), g.text(2, 4),
        g.ints(4), g.ints(4), g.ints(1)),
    ROW("TKSINF", tksinf_, Field("S1", 8), g.text(1), g.text(1), g.ints(1), g.ints(1), int64_t{0}),
    ROW("TKSTRM", tkstrm_, Field("FEED1", 8), int64_t{0}, g.text(9, 16), g.reals(16), g.text(3, 16), g.text(2, 16),
        g.ints(1)),
    ROW("TKSTRA", tkstra_, Field("FEED1", 8), Field("MATE", 4), g.reals(1), g.text(1)),
    ROW("TKSVAL", tksval_, Field("FEED1", 8), Field("MIXED", 8), Field("TEMP", 12), Field("", 4), g.reals(1),
        g.text(3), g.text(1), g.ints(1)),
    {"TKSUBS", [](Guarded& g) {
       int64_t nc = 0, nt = 0;
       call(tknsub_, Field("FEED1", 8), int64_t{1}, g.text(8), nc, nt);
       const size_t n = static_cast<size_t>(nc), t = static_cast<size_t>(nt);
       call(tksubs_, Field("FEED1", 8), Field("MIXED", 8), Field("MASS-FLOW", 12), nc, g.text(3, n), g.reals(n),
            g.text(3), int64_t{0}, g.text(3, t), g.reals(t), g.text(3, t));
     }},
    ROW("TKSSID", tkssid_, Field("FEED1", 8), int64_t{2}, g.text(3, 2)),
    {"TKBRES", [](Guarded& g) {
       int64_t n = 0, nd = 0, st = 0;
       call(tknres_, Field("H1", 8), n, nd, st);
       const size_t r = static_cast<size_t>(n);
       call(tkbres_, Field("H1", 8), int64_t{0}, int64_t{0}, g.text(3, r), g.text(3, r * static_cast<size_t>(nd)),
            g.ints(r), g.ints(r), g.text(3, r), g.reals(r), g.text(3, r), g.text(3, r));
     }},
    {"TKPVAL", [](Guarded& g) {
       const Field ids = path({"BLOCK", "TEMPCHG", "H1", "RESULTS"});
       const size_t n = values_of(ids);
       call(tkpval_, ids, int64_t{4}, int64_t{0}, g.text(3, n), g.reals(n), g.text(3, n), g.text(3, n), g.ints(1),
            g.ints(1));
     }},
    {"TKAVAL", [](Guarded& g) {
       const Field ids = path({"BLOCK", "TEMPCHG", "H1", "RESULTS"});
       const size_t n = values_of(ids);
       call(tkaval_, ids, int64_t{4}, int64_t{0}, g.text(3, n), g.ints(n), g.ints(n), g.text(3, n), g.reals(n),
            g.text(3, n), g.text(3, n), g.ints(1), g.ints(1));
     }},
    {"TKNPRF", [](Guarded& g) {
       const Field ids = path({"BLOCK", "DUCTLINE", "L1", "TUBE_PRP"});
       const size_t n = values_of(ids);
       call(tknprf_, ids, int64_t{4}, static_cast<int64_t>(n), int64_t{1}, g.text(3), g.text(3), g.text(3), g.text(3),
            g.text(2), g.text(2), g.reals(n), g.text(3), g.text(3), g.ints(1));
     }},
    ROW("TKSPID", tkspid_, g.text("AB", 4), int64_t{12345}),
    ROW("TKUCNV", tkucnv_, int64_t{22}, int64_t{2}, 212.0, g.reals(1), g.text(1)),
    ROW("TKLABL", tklabl_, int64_t{2}, Field(pad("TEMPERATURE", 12) + "PRESSURE", 12, 2), g.text(1, 2)),
    ROW("TKCNVT", tkcnvt_, Field("TEMPERATURE", 12), Field("C", 4), int64_t{2}, std::vector<double>{300, 400},
        g.reals(2)),
    ROW("TKNPPR", tknppr_, Field("FLASH1", 12), int64_t{5}, int64_t{1}, g.text(3), g.text(3), g.text(3), g.text(3),
        g.text(2), g.text(2), g.reals(5), g.text(3), g.text(3), g.ints(1)),
    ROW("TKPPRP", tkpprp_, Field("FLASH1", 12), int64_t{5}, Field("TEMP", 12), Field("MIXED", 8), Field("", 8),
        Field("", 8), Field("", 4), Field("", 4), g.reals(5), g.text(3), g.text(3), g.ints(1)),
    ROW("TKSENS", tksens_, Field("S-1", 16), int64_t{3}, int64_t{0}, g.text(3, 12), g.reals(6), g.ints(3), g.ints(1)),
};

TEST(CallerFields, NothingIsWrittenPastAHiddenLengthOrACount) {
  SummaryBuilder b = example_flowsheet();
  FlowsheetWriter w(b);
  example_tables(w);
  const TempSummaryFile file(b.text());
  LoadedSummary example(file.string(), "MET");
  ASSERT_EQ(example.ierr(), 0);
  for (const Row& row : kRows) {
    Guarded g;
    row.call_it(g);
    EXPECT_EQ(g.overruns(), "") << row.routine;
    EXPECT_TRUE(g.wrote()) << row.routine << " wrote nothing";
  }
}

}  // namespace
