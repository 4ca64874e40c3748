// The extended-range number against doubles where they suffice and against
// exact big integers where they do not.
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "common/numbers.h"
#include "types/xnum.h"

namespace {

TEST(Xnum, ArithmeticAgreesWithDoublesInTheirRange) {
  std::mt19937_64 rng(99);
  std::uniform_real_distribution<double> mant(-1.0, 1.0);
  std::uniform_int_distribution<int> exp(-300, 300);
  for (int i = 0; i < 20000; ++i) {
    const double a = std::ldexp(mant(rng), exp(rng)), b = std::ldexp(mant(rng), exp(rng) / 8);
    const XNUM x(a), y(b);
    ASSERT_EQ(XTODOUBLE(x), a);
    // Bit for bit, sums with cancellation included: reports computed in
    // extended range print what the doubles printed.
    ASSERT_EQ(XTODOUBLE(x * y), a * b);
    ASSERT_EQ(XTODOUBLE(x / y), a / b);
    ASSERT_EQ(XTODOUBLE(x + y), a + b);
    ASSERT_EQ(XTODOUBLE(x - y), a - b);
    EXPECT_EQ(XSCISTR(x), SCISTR(a));
    EXPECT_EQ(XSCISTR(x, 30), SCISTR(a, 30));
  }
  EXPECT_TRUE((XNUM(3.0) - XNUM(3.0)).zero());
  EXPECT_EQ(XTODOUBLE(XNUM(1.0) / XNUM()), HUGE_VAL);
  EXPECT_EQ(XSCISTR(XNUM()), SCISTR(0.0));
}

// The fused step of the count-vector convolutions is the general operators'
// D + S * C to the last bit, for exponents that are close, far apart and
// just beyond the 63 bits where a term stops counting.
TEST(Xnum, MultiplyAddIsTheOperatorsToTheLastBit) {
  std::mt19937_64 rng(31);
  std::uniform_real_distribution<double> mant(0.0, 1.0);
  std::uniform_int_distribution<int64_t> exp(-70, 70), far(-5000, 5000);
  for (int i = 0; i < 200000; ++i) {
    auto draw = [&](int64_t e) { return i % 97 == 0 ? XNUM() : XNUM::make(mant(rng), e); };
    const XNUM s = draw(exp(rng)), c = draw(exp(rng));
    XNUM d = draw(i % 4 == 0 ? far(rng) : exp(rng)), want = d + s * c;
    XMULADD(d, s, c);
    ASSERT_EQ(d.m, want.m) << i;
    ASSERT_EQ(d.e, want.e) << i;
  }
}

// Beyond a double: every printed digit of m * 2^e, from the exact integer.
TEST(Xnum, PrintsHugeAndTinyValuesDigitForDigit) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 600; ++i) {
    const bool tiny = i % 2 == 1;
    const int64_t e = std::uniform_int_distribution<int64_t>(1030, 120000)(rng) * (tiny ? -1 : 1);
    const int64_t bits = static_cast<int64_t>(rng() >> 11);  // 53 bits
    const XNUM x = XNUM::make(std::ldexp(static_cast<double>(bits), -53), e);
    // The value times 10^p as an integer of at least 40 digits.
    const long p = tiny ? static_cast<long>(-e * 0.30103) + 40 : 0;
    mpz_class n = mpz_class(static_cast<unsigned long>(bits)), pow;
    mpz_ui_pow_ui(pow.get_mpz_t(), 10, static_cast<unsigned long>(p));
    n = tiny ? mpz_class((n * pow) >> (53 - e)) : mpz_class(n << (e - 53));
    const std::string digits = n.get_str();
    mpz_ui_pow_ui(pow.get_mpz_t(), 10, digits.size() - 15);
    const std::string d = mpz_class((2 * n + pow) / (2 * pow)).get_str();  // rounded to 15
    const long long e10 = static_cast<long long>(digits.size()) - 1 - p + (d.size() > 15 ? 1 : 0);
    char want[64];
    std::snprintf(want, sizeof want, "%c.%.14sE%c%03lld", d[0], d.c_str() + 1, e10 < 0 ? '-' : '+',
                  e10 < 0 ? -e10 : e10);
    EXPECT_EQ(XSCISTR(x, 0), std::string(" ") + want) << "2^" << e << " * " << bits;
    EXPECT_EQ(XSCISTR(-x, 0), std::string("-") + want);
  }
}

}  // namespace
