#include "common/mathe1.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

TEST(FixedFormat, ASignForEveryNegativeValueAndForNoZero) {
  EXPECT_EQ(FIXSTR(-0.0039, 7, 2), "  -0.00");
  EXPECT_EQ(FIXSTR(-0.0, 5, 2), " 0.00");
  EXPECT_EQ(FIXSTR(1234.5678, 3, 2), "1234.57");  // a longer text is not cut
  std::mt19937 rng(4);
  std::uniform_real_distribution<double> magnitude(-45.0, 15.0);
  std::uniform_int_distribution<int> decimals(0, 12);
  for (int i = 0; i < 5000; ++i) {
    const double x = std::exp(magnitude(rng));
    const int d = decimals(rng);
    const std::string negative = FIXSTR(-x, 0, d);
    ASSERT_EQ(negative[0], '-') << x;
    ASSERT_EQ(negative.substr(1), FIXSTR(x, 0, d)) << x << " " << d;
  }
}

}  // namespace
