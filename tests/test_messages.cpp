// Message writer and the fixed-column number formats.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "io/messages.hpp"
#include "io/numbered_units.hpp"
#include "loading/globals.hpp"
#include "support/message_capture.hpp"

namespace {

using flowsum::fortran_a;
using flowsum::fortran_e;
using flowsum::fortran_i;

TEST(MessageFormats, ExponentFormMatchesFixedColumns) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double value;
    int w, d;
    const char* want;
  } cases[] = {
      {-1.0, 13, 6, "-0.100000E+01"},
      {1.0e35, 13, 6, " 0.100000E+36"},
      {0.0, 13, 6, " 0.000000E+00"},
      {-0.0, 13, 6, "-0.000000E+00"},
      {123456.75, 13, 6, " 0.123457E+06"},   // rounded
      {0.99999996, 13, 6, " 0.100000E+01"},  // rounding carries into the exponent
      {1.0e99, 13, 6, " 0.100000+100"},      // three exponent digits drop the E
      {1.0e-101, 13, 6, " 0.100000-100"},
      {1.0e-100, 13, 6, " 0.100000E-99"},
      {4.9406564584124654e-324, 13, 6, " 0.494066-323"},
      {-1.0, 12, 6, "-.100000E+01"},         // no room for the leading zero
      {1.0, 10, 6, "**********"},
      {2.5, 10, 3, " 0.250E+01"},
      {2.5, 13, 0, "*************"},
      {std::nan(""), 13, 6, "          NaN"},
      {-inf, 13, 6, "    -Infinity"},
      {inf, 5, 2, "  Inf"},
      {-inf, 4, 2, "-Inf"},
      {-inf, 3, 2, "***"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(fortran_e(c.value, c.w, c.d), c.want) << c.value << " E" << c.w << "." << c.d;
}

TEST(MessageFormats, IntegerAndTextFields) {
  EXPECT_EQ(fortran_i(42, 4), "  42");
  EXPECT_EQ(fortran_i(-123, 4), "-123");
  EXPECT_EQ(fortran_i(-123, 3), "***");
  EXPECT_EQ(fortran_i(INT64_MIN, 20), "-9223372036854775808");
  EXPECT_EQ(fortran_i(INT64_MIN, 19), std::string(19, '*'));
  EXPECT_EQ(fortran_i(7, 0), "7");  // width 0: as wide as needed

  EXPECT_EQ(fortran_a("DSET", 6), "DSET  ");
  EXPECT_EQ(fortran_a("PROCESSING", 6), "PROCES");
  EXPECT_EQ(fortran_a("X", 0), "");
}

class MessageWriter : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = flowsum::message_unit(); }
  void TearDown() override {
    flowsum::glob(flowsum::g::kMsgUnit) = saved_;
    flowsum::io::close_unit(kUnit);
  }
  static constexpr int64_t kUnit = 90011;
  int64_t saved_ = 0;
};

TEST_F(MessageWriter, GoesToTheMessageUnitWithALeadingEmptyLine) {
  flowsum::testing::MessageCapture capture(kUnit);
  flowsum::write_message({" ERROR" + fortran_i(2, 4) + " OPENING SCRATCH FILE"});
  flowsum::write_message({" ERROR PROCESSING " + fortran_a("DSET", 6) + " AT LINE " + fortran_i(17, 6),
                          " TOKEN TYPE =" + fortran_i(14, 3) + "  VALUE = " + fortran_a("ABC", 16)});
  flowsum::write_message_lines({" MORE"});
  EXPECT_EQ(capture.take(),
            "\n ERROR   2 OPENING SCRATCH FILE\n"
            "\n ERROR PROCESSING DSET   AT LINE     17\n"
            " TOKEN TYPE = 14  VALUE = ABC             \n"
            " MORE\n");
}

TEST_F(MessageWriter, StandardOutputAndSilence) {
  flowsum::glob(flowsum::g::kMsgUnit) = 6;
  ::testing::internal::CaptureStdout();
  flowsum::write_message({" NO RESULTS FOUND IN SUMMARY/BACKUP FILE"});
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\n NO RESULTS FOUND IN SUMMARY/BACKUP FILE\n");

  for (int64_t unit : {int64_t{0}, int64_t{-6}}) {
    flowsum::glob(flowsum::g::kMsgUnit) = unit;
    ::testing::internal::CaptureStdout();
    flowsum::write_message({" SHOULD NOT APPEAR"});
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  }
  // A message unit that is not open swallows the message without failing.
  flowsum::glob(flowsum::g::kMsgUnit) = kUnit;
  flowsum::write_message({" LOST"});
}

}  // namespace
