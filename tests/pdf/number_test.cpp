// Number formatting for coordinates and cross-reference offsets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>

#include "pdf/number.h"

namespace pdf {
namespace {

std::string real(double v) {
  std::string s;
  append_real(s, v);
  return s;
}

TEST(AppendReal, ShortestFixedNotation) {
  const struct {
    double value;
    const char* expected;
  } cases[] = {
      {595, "595"},
      {297.5, "297.5"},
      {141.5, "141.5"},
      {0, "0"},
      {-0.0, "0"},
      {0.1, "0.1"},
      {1.0 / 3, "0.3333333333333333"},
      {559.0000000000001, "559.0000000000001"},
      {1e-7, "0.0000001"},  // never 1e-07
      {1e21, "1000000000000000000000"},
      {-12.25, "-12.25"},
  };
  for (const auto& c : cases) EXPECT_EQ(real(c.value), c.expected) << "value " << c.value;
}

TEST(AppendReal, ReadsBackToTheSameDouble) {
  const double values[] = {806.0 / 3508 * 2480, (595 - 806.0 / 3508 * 2480) * 0.5, 559.0 / 7 * 7,
                           std::numeric_limits<double>::min(), std::numeric_limits<double>::max(), 123.456e-3};
  for (const double v : values) {
    const std::string s = real(v);
    EXPECT_EQ(s.find_first_of("eE"), std::string::npos) << s;
    EXPECT_EQ(std::strtod(s.c_str(), nullptr), v) << s;
  }
}

TEST(AppendPadded, TenDigitsZeroPadded) {
  const struct {
    std::uint64_t value;
    const char* expected;
  } cases[] = {{0, "0000000000"}, {15, "0000000015"}, {9999999999, "9999999999"}, {12345678901, "12345678901"}};
  for (const auto& c : cases) {
    std::string s = "x";
    append_padded(s, c.value, 10);
    EXPECT_EQ(s, std::string("x") + c.expected);
  }
}

TEST(AppendInteger, PlainDecimal) {
  std::string s;
  append_integer(s, 0);
  s += ' ';
  append_integer(s, 18446744073709551615u);
  EXPECT_EQ(s, "0 18446744073709551615");
}

}  // namespace
}  // namespace pdf
