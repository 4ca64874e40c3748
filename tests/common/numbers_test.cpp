#include "common/numbers.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

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

// The fixed format of an extended number: the double's text within its
// range; beyond it every digit of the exact whole number, as "%.0f" prints
// a double; below it the rounded zero.
TEST(FixedFormat, ExtendedNumbersPrintLikeDoublesAndExactBeyond) {
  std::mt19937_64 rng(12);
  std::uniform_real_distribution<double> magnitude(-700.0, 700.0);
  for (int i = 0; i < 4000; ++i) {
    const double x = std::exp(magnitude(rng)) * (i % 5 == 0 ? -1 : 1);
    const int d = static_cast<int>(rng() % 13), w = static_cast<int>(rng() % 30);
    ASSERT_EQ(XFIXSTR(XNUM(x), w, d), FIXSTR(x, w, d)) << x << " " << d;
  }
  for (int i = 0; i < 300; ++i) {
    const int64_t e = 1025 + static_cast<int64_t>(rng() % 70000);
    const uint64_t bits = (rng() >> 11) | (uint64_t{1} << 52);  // 53 bits, the top one set
    const XNUM x = XNUM::make(std::ldexp(static_cast<double>(bits), -53), e);
    const std::string digits = mpz_class(mpz_class(std::to_string(bits)) << (e - 53)).get_str();
    ASSERT_EQ(XFIXSTR(x, 0, 0), digits) << "2^" << e;
    ASSERT_EQ(XFIXSTR(-x, 0, 2), "-" + digits + ".00") << "2^" << e;
    // The digits of a build without GMP (the web page's), the same.
    ASSERT_EQ(WHOLEDIGITS(bits, static_cast<uint64_t>(e - 53)), digits) << "2^" << e;
    const uint64_t small = rng() >> (rng() % 64), shift = rng() % 200;
    ASSERT_EQ(WHOLEDIGITS(small, shift),
              mpz_class(mpz_class(std::to_string(small)) << shift).get_str());
  }
  EXPECT_EQ(XFIXSTR(XPOW2(1024), 3, 0),
            "17976931348623159077293051907890247336179769789423065727343008115773267580550096313270"
            "84773224075360211201138798713933576587897688144166224928474306394741243777678934248654"
            "85276302219601246094119453082952085005768838150682342462881473913110540827237163350510"
            "684586298239947245938479716304835356329624224137216");
  EXPECT_EQ(XFIXSTR(XPOW2(-5000), 10, 6), "  0.000000");
  EXPECT_EQ(XFIXSTR(-XPOW2(-5000), 10, 6), " -0.000000");
  EXPECT_EQ(XFIXSTR(XNUM(), 4, 1), " 0.0");
}

// The shortest text of a double without to_chars (the web build's) is the
// one to_chars writes: random bit patterns of every magnitude, the powers of
// two (where the rounding interval is lopsided) and their neighbours.
TEST(ShortText, AsToCharsWritesIt) {
  std::mt19937_64 rng(29);
  std::vector<double> xs = {0.0,  -0.0,     1.0,  0.1,    1e22,
                            1e21, 123456.0, 1e-5, 5e-324, 1.7976931348623157e308};
  for (int e = -1074; e <= 1023; ++e) {
    const double p = std::ldexp(1.0, e);
    xs.insert(xs.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, 2 * p)});
  }
  for (int i = 0; i < 20000; ++i) {
    const uint64_t bits = rng();
    double x = 0;
    std::memcpy(&x, &bits, sizeof x);
    if (std::isfinite(x)) xs.push_back(x);
    xs.push_back(static_cast<double>(rng() % 100000) /
                 std::pow(10.0, static_cast<double>(rng() % 25)));
  }
  for (const double x : xs) {
    char text[64];
    auto [end, ec] = std::to_chars(text, text + sizeof text, x);
    ASSERT_EQ(SHORTTEXT(x), std::string(text, end)) << x;
  }
}

}  // namespace

TEST(SizeText, UnitsOf1024AndNothingElse) {
  const struct {
    const char* text;
    bool ok;
    uint64_t bytes;
  } cases[] = {
      {"1000000", true, 1000000},
      {"2048K", true, 2048ull << 10},
      {"500m", true, 500ull << 20},
      {"4G", true, 4ull << 30},
      {"3T", true, 3ull << 40},
      {"16777215T", true, 16777215ull << 40},
      {"16777216T", false, 0},
      {"18446744073709551615", true, UINT64_MAX},
      {"18446744073709551616", false, 0},
      {"0", false, 0},
      {"", false, 0},
      {"G", false, 0},
      {"4GB", false, 0},
      {" 4G", false, 0},
      {"4 G", false, 0},
      {"-4G", false, 0},
      {"4P", false, 0},
      {"1.5G", false, 0},
  };
  for (const auto& c : cases) {
    uint64_t bytes = 7;
    EXPECT_EQ(PARSESIZE(c.text, bytes), c.ok) << c.text;
    EXPECT_EQ(bytes, c.ok ? c.bytes : 7) << c.text;
  }
}
