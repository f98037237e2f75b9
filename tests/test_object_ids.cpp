// Object identifiers and counts as a caller reads them at the edges: the
// ends of the tables, the caller's field lengths and array counts (the round
// trip checks the whole lists and the widening of cut type names; the
// Fortran program fortran_objects lists the example's blocks and streams).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "flowsum.h"
#include "store/text_field.hpp"
#include "support/caller.hpp"
#include "support/object_records.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum;
using namespace flowsum::testing;

using ListRoutine = void (*)(int64_t*, char*, char*, int64_t*, size_t, size_t);
using PositionRoutine = void (*)(int64_t*, char*, char*, int64_t*, size_t, size_t);

// A whole-list routine with identifier fields of idw characters and type
// fields of 12, each array followed by one guard field.
struct List {
  int64_t ierr = -9;
  Field ids, types;
};
List call_list(ListRoutine routine, int64_t n, size_t idw = 24) {
  const size_t count = n > 0 ? static_cast<size_t>(n) : 0;
  List out{-9, Field(idw, count + 1), Field(12, count + 1)};
  routine(&n, out.ids.data(), out.types.data(), &out.ierr, idw, 12);
  return out;
}

// A position routine: the position after the call, the fields and the flag.
struct At {
  int64_t ierr = -9, k = 0;
  Field id{24}, type{12};
};
At call_at(PositionRoutine routine, int64_t k) {
  At out{-9, k};
  routine(&out.k, out.id.data(), out.type.data(), &out.ierr, 24, 12);
  return out;
}

class ObjectIds : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    ObjectWriter w(b);
    w.block("CRUDEUNIT", "CRUDE1");
    w.block("TEMPCHG", "HEATER-WITH-A-LONG-NAME");
    w.block("LINKEDCOL", "LC1");
    w.block("MIXER", "M1");
    for (const std::string& id : numbered_ids("S", 12)) w.stream(id == "S3" ? "HEAT" : "MATERIAL", id);
    w.relief("PSV-2");
    w.relief("PSV-1");
    w.relief("PSV-10");
    file_ = new LoadedText(b);
  }
  static void TearDownTestSuite() {
    delete file_;
    file_ = nullptr;
  }
  void SetUp() override { ASSERT_EQ(file_->ierr(), 0); }

  static LoadedText* file_;
};
LoadedText* ObjectIds::file_ = nullptr;

TEST_F(ObjectIds, PositionsOutsideTheTable) {
  // k below 1 answers for k = 1 and changes the caller's variable.
  At zero = call_at(tknblk_, 0);
  EXPECT_EQ(zero.k, 1);
  EXPECT_EQ(zero.ierr, 0);
  EXPECT_EQ(zero.id.text(), call_at(tknblk_, 1).id.text());
  EXPECT_EQ(call_at(tknstr_, -5).k, 1);
  // One past the end: blank identifier and type, flag 0.
  At past = call_at(tknstr_, 13);
  EXPECT_EQ(past.ierr, 0);
  EXPECT_EQ(past.id.text() + past.type.text(), std::string(36, ' '));
}

TEST_F(ObjectIds, NothingIsWrittenPastTheCallersFieldsOrCount) {
  // More than there are: the blocks, then blanks, and nothing after n;
  // identifiers longer than the 6-character field are cut.
  List more = call_list(tkbids_, 6, 6);
  EXPECT_EQ(more.ierr, 0);
  int heaters = 0;
  for (size_t i = 0; i < 6; ++i) heaters += more.ids[i] == "HEATER";
  EXPECT_EQ(heaters, 1);
  EXPECT_EQ(more.ids[4] + more.ids[5] + more.types[5], std::string(24, ' '));
  EXPECT_EQ(more.ids[6] + more.types[6], std::string(18, '#'));
  // n = 0 writes nothing, flag 0.
  List none = call_list(tkeids_, 0);
  EXPECT_EQ(none.ierr, 0);
  EXPECT_EQ(none.ids.text() + none.types.text(), std::string(36, '#'));
  int64_t pos = 1, ierr = -1;
  tknstr_(&pos, nullptr, nullptr, &ierr, 0, 0);  // fields of length 0 are legal
  EXPECT_EQ(ierr, 0);
}

TEST_F(ObjectIds, PressureReliefObjectsOutsideTheCount) {
  // One more than there are: flag 1 and the array untouched; none: flag 0.
  std::string untouched(4 * 10, '#');
  int64_t n = 4, ierr = -1;
  tkpids_(&n, untouched.data(), &ierr, 10);
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(untouched, std::string(40, '#'));
  n = 0;
  tkpids_(&n, untouched.data(), &ierr, 10);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(untouched, std::string(40, '#'));
  // By position outside 1..count: flag 1, field as it was.
  for (int64_t k : {int64_t{0}, int64_t{4}}) {
    char id[4] = {'#', '#', '#', '#'};
    int64_t pos = k;
    tknxpr_(&pos, id, &ierr, sizeof id);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(std::string(id, 4), "####");
  }
}

}  // namespace
