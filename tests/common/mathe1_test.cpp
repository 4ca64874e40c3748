#include "common/mathe1.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

TEST(FixedFormat, SignDigitsAndPadding) {
  struct Case {
    double x;
    int w, d;
    const char* text;
  } cases[] = {
      {-0.0039, 0, 2, "-0.00"},   {-0.0039, 7, 2, "  -0.00"}, {0.0039, 0, 2, "0.00"},
      {-0.0, 5, 2, " 0.00"},      {0.0, 0, 6, "0.000000"},    {-0.4, 0, 0, "-0"},
      {-12.25, 8, 1, "   -12.2"}, {1234.5678, 3, 2, "1234.57"}, {0.5, 0, 0, "0"},
      {NAN, 5, 2, "  NAN"},       {-INFINITY, 0, 2, "-INF"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FIXSTR(c.x, c.w, c.d), c.text) << c.x << " " << c.w << "." << c.d;
}

TEST(FixedFormat, NegativeValuesAreTheirMagnitudeWithAMinus) {
  std::mt19937 rng(4);
  std::uniform_real_distribution<double> mantissa(0.0, 1.0);
  std::uniform_int_distribution<int> exponent(-15, 6), decimals(0, 12);
  for (int i = 0; i < 5000; ++i) {
    const double x = std::ldexp(mantissa(rng), exponent(rng) * 3);
    if (x == 0.0) continue;
    const int d = decimals(rng);
    const std::string negative = FIXSTR(-x, 0, d);
    ASSERT_EQ(negative[0], '-') << x << " " << d;
    ASSERT_EQ(negative.substr(1), FIXSTR(x, 0, d)) << x << " " << d;
  }
}

}  // namespace
