// Sensitivity tables: size, descriptors, the value matrix in the caller's
// leading dimension, and point status.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/block_table_records.hpp"
#include "support/flowsheet_records.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"
#include "support/caller.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;

class Sensitivity : public SummarySuite<Sensitivity> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    BlockTableWriter t(w);
    SensitivityStudy s;
    s.id = "S-1";
    s.npoints = 3;
    s.ncolumns = 2;
    s.descriptors = {{"FEED", "TEMP", "A DESCRIPTOR LONGER THAN 8"}, {"B1", "QCALC"}};
    s.entries = {{11, 12}, {21, 22}, {31, 32}};
    s.status = {{1, 0}, {3, 4}};  // point 2 has none
    t.sensitivity(s);
    // No status values at all: the set then holds a code outside the table.
    SensitivityStudy q;
    q.id = "S-2";
    q.npoints = 2;
    q.ncolumns = 1;
    q.entries = {{1}, {2}};
    t.sensitivity(q);
    // A study without its table.
    w.idset_once("SOTHER", {"ITEM"}, {{{"X"}, 2, 0}});
    w.lset_once("SOTHER", "(%SOTHER)");
    b.dset({"SENSITIVITY", "S-3", "OTHER"}, "SOTHER", {Value::real(1.0)});
    write_file(b.text());
  }
};

std::vector<int64_t> size(const std::string& study) {
  int64_t np = -1, nc = -1, st = -1;
  call(tknsen_, Field(study, 16), np, nc, st);
  return {np, nc, st};
}

// TKSENS into arrays of ld x ncol values, 6 x ncol descriptors and npoints
// statuses, each with one guard element after it.
struct Table {
  Field desc;
  std::vector<double> matrix;
  std::vector<int64_t> status;
  int64_t ierr = -1;
};
Table table(const std::string& study, int64_t ld, size_t ncol, size_t npoints) {
  Table t{Field(8, 6 * ncol + 1), std::vector<double>(static_cast<size_t>(ld) * ncol + 1, -1.0),
          std::vector<int64_t>(npoints + 1, -7)};
  call(tksens_, Field(study, 16), ld, int64_t{0}, t.desc, t.matrix, t.status, t.ierr);
  return t;
}

TEST_F(Sensitivity, SizeFromTheIdentifierSets) {
  EXPECT_EQ(size("S-1"), (std::vector<int64_t>{3, 2, 0}));
  EXPECT_EQ(size("S-3"), (std::vector<int64_t>{0, 0, 1}));
  EXPECT_EQ(size("NOSUCH"), (std::vector<int64_t>{0, 0, 1}));
}

TEST_F(Sensitivity, MatrixInTheCallersLeadingDimension) {
  Table t = table("S-1", 5, 2, 3);
  EXPECT_EQ(t.ierr, 0);
  // Entry (2, 2) is element 7 with L = 5.
  EXPECT_EQ(t.matrix, (std::vector<double>{11, 21, 31, -1, -1, 12, 22, 32, -1, -1, -1}));
  // Status arrives for points 1 and 3 only.
  EXPECT_EQ(t.status, (std::vector<int64_t>{0, -7, 4, -7}));
  EXPECT_EQ(t.desc.text().substr(0, 24), "FEED    TEMP    A DESCRI");
  EXPECT_EQ(t.desc[6] + t.desc[7] + t.desc[8] + t.desc[12], "B1      QCALC           ########");
}

TEST_F(Sensitivity, CodesOutsideTheTableChangeNothing) {
  Table t = table("S-2", 2, 1, 2);
  EXPECT_EQ(t.ierr, 0);
  EXPECT_EQ(t.matrix, (std::vector<double>{1, 2, -1}));
  EXPECT_EQ(t.status, (std::vector<int64_t>{-7, -7, -7}));
}

TEST_F(Sensitivity, LeadingDimensionBelowThePointsAndAbsentStudies) {
  // L = 2 for 3 points: the third point's entries are not written (they
  // would land in the next column's place) and the flag says so.
  Table t = table("S-1", 2, 2, 3);
  EXPECT_EQ(t.ierr, 1);
  EXPECT_EQ(t.matrix, (std::vector<double>{11, 21, 12, 22, -1}));
  Table none = table("NOSUCH", 3, 1, 1);
  EXPECT_EQ(none.ierr, 1);
  EXPECT_EQ(none.matrix, (std::vector<double>(4, -1.0)));
  EXPECT_EQ(none.desc.text(), std::string(56, '#'));
  EXPECT_EQ(table("S-3", 3, 1, 1).ierr, 1);
}

}  // namespace
