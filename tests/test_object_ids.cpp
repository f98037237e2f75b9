// Object identifiers and counts as a caller reads them at the edges: the
// ends of the tables, identifiers cut to the caller's field, and counts
// outside the table (the round trip checks the whole lists).
#include <gtest/gtest.h>

#include <string>

#include "flowsum.h"
#include "support/caller.hpp"
#include "support/object_records.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;

class ObjectIds : public SummarySuite<ObjectIds> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    ObjectWriter w(b);
    w.block("TEMPCHG", "HEATER-WITH-A-LONG-NAME");
    w.block("MIXER", "M1");
    for (const std::string& id : numbered_ids("S", 12)) w.stream("MATERIAL", id);
    for (const char* id : {"PSV-2", "PSV-1", "PSV-10"}) w.relief(id);
    write_file(b.text());
  }
};

TEST_F(ObjectIds, PositionsAndCountsOutsideTheTables) {
  // k below 1 answers for k = 1 and changes the caller's variable; one past
  // the end gives blanks and flag 0.
  Field id(24), type(12), first(24);
  int64_t k = 0, ierr = -9;
  call(tknblk_, k, id, type, ierr);
  call(tknblk_, int64_t{1}, first, type, ierr);
  EXPECT_EQ(std::pair(k, id.text()), std::pair(int64_t{1}, first.text()));
  call(tknstr_, int64_t{13}, id, type, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(id.text() + type.text(), std::string(36, ' '));
  int64_t pos = 1;
  tknstr_(&pos, nullptr, nullptr, &ierr, 0, 0);  // fields of length 0 are legal
  EXPECT_EQ(ierr, 0);
  // More blocks asked for than there are: cut identifiers, then blanks.
  Field ids(6, 3), types(12, 3);
  call(tkbids_, int64_t{3}, ids, types, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_TRUE(ids[0] == "HEATER" || ids[1] == "HEATER") << ids.text();
  EXPECT_EQ(ids[2], std::string(6, ' '));
  // Pressure-relief objects: one more than there are, or a position outside
  // 1..count, is flag 1 with the field untouched; none asked for is flag 0.
  for (int64_t n : {4, 0}) {
    Field untouched(10, 4);
    call(tkpids_, n, untouched, ierr);
    EXPECT_EQ(std::pair(ierr, untouched.text()), std::pair(n == 4 ? int64_t{1} : int64_t{0}, std::string(40, '#')));
  }
  for (int64_t at : {0, 4}) {
    Field one(4);
    call(tknxpr_, at, one, ierr);
    EXPECT_EQ(std::pair(ierr, one.text()), std::pair(int64_t{1}, std::string("####"))) << at;
  }
}

}  // namespace
