#include "common/numbers.h"

#ifndef VKX_NO_GMP
#include <gmp.h>
#endif

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

double NCR(uint16_t N, uint16_t K) { return NCRL(N, K); }

double NCRL(int32_t N, int32_t K) {
  if (K < 0) return 0.0;
  double z = 1.0;
  for (int32_t i = 1; i <= K; ++i) {
    z = (static_cast<double>(N - i + 1) / i) * z;
    if (z == 0.0) break;  // K > N: a factor was zero, and stays so
  }
  return z;
}

double POT(uint16_t B, uint16_t E) {
  double z = 1.0;
  for (uint16_t i = 0; i < E; ++i) z *= B;
  return z;
}

namespace {

std::string padLeft(std::string s, int w) {
  if (static_cast<int>(s.size()) < w) s.insert(0, static_cast<std::size_t>(w) - s.size(), ' ');
  return s;
}

}  // namespace

std::string FIXSTR(double X, int W, int D) {
  if (std::isnan(X)) return padLeft("NAN", W);
  if (std::isinf(X)) return padLeft(X < 0 ? "-INF" : "INF", W);
  if (D < 0) D = 0;
  if (D > 30) D = 30;
  // Large enough for every double in fixed notation.
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", D, std::fabs(X));
  // The sign belongs to the value, also when its digits round to zero
  // (-0.0039 at two decimals is "-0.00"); a zero, -0.0 too, has none.
  std::string s = buf;
  if (X < 0) s.insert(s.begin(), '-');
  return padLeft(s, W);
}

std::string SCISTR(double X, int W) {
  if (std::isnan(X)) return padLeft(" NAN", W);
  if (std::isinf(X)) return padLeft(X < 0 ? "-INF" : " INF", W);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14E", std::fabs(X));
  std::string s = buf;  // d.ddddddddddddddE+xx
  std::size_t e = s.find('E');
  std::string mant = s.substr(0, e);
  char sign = s[e + 1];
  int exp = std::atoi(s.c_str() + e + 2);
  char expbuf[16];
  std::snprintf(expbuf, sizeof expbuf, "%03d", exp);
  std::string out = (X < 0 ? "-" : " ") + mant + "E" + sign + expbuf;
  return padLeft(out, W);
}

std::string INTSTR(long long X, int W) { return padLeft(std::to_string(X), W); }

namespace {

// Quadruple precision (113-bit mantissa; the basic operations come with the
// compiler's runtime) for the decimal conversion: the repeated squaring
// behind 10^k multiplies the rounding error of every step by up to 2^17,
// which long double could not absorb below the 15th digit.
using QUAD = __float128;

// Keeps M within [1, 2^64) by exact power-of-two steps counted in E.
void rescale(QUAD& m, int64_t& e) {
  const QUAD two64 = 18446744073709551616.0;
  while (m >= two64) {
    m /= two64;
    e += 64;
  }
  while (m < 1) {
    m *= two64;
    e -= 64;
  }
}

// 10^K (K >= 0) as M * 2^E.
void powerOfTen(int64_t k, QUAD& m, int64_t& e) {
  QUAD b = 10;
  int64_t be = 0;
  m = 1;
  e = 0;
  for (uint64_t u = static_cast<uint64_t>(k); u != 0; u >>= 1) {
    if (u & 1) {
      m *= b;
      e += be;
      rescale(m, e);
    }
    b *= b;
    be *= 2;
    rescale(b, be);
  }
}

}  // namespace

std::string XSCISTR(const XNUM& X, int W) {
  // Within the range of a double the program's own format says it all.
  if (X.m == 0.0 || !std::isfinite(X.m) || (X.e < 1000 && X.e > -1000))
    return SCISTR(XTODOUBLE(X), W);
  int64_t k = static_cast<int64_t>(std::floor(XLOG10(X)));
  long double r = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    // |X| / 10^k, from 10^|k| and the exact power-of-two difference.
    QUAD pm = 0;
    int64_t pe = 0;
    powerOfTen(k < 0 ? -k : k, pm, pe);
    QUAD q = std::fabs(X.m);
    int64_t qe = X.e;
    if (k < 0) {
      q *= pm;
      qe += pe;
    } else {
      q /= pm;
      qe -= pe;
    }
    r = std::ldexp(static_cast<long double>(q), static_cast<int>(qe));
    if (r >= 10.0L)
      ++k;
    else if (r < 1.0L)
      --k;
    else
      break;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14Lf", r);
  std::string mant = buf;
  if (mant.compare(0, 2, "10") == 0) {  // rounded up to ten
    mant = "1.00000000000000";
    ++k;
  }
  char expbuf[32];
  std::snprintf(expbuf, sizeof expbuf, "%c%03lld", k < 0 ? '-' : '+',
                static_cast<long long>(k < 0 ? -k : k));
  std::string out = (X.m < 0 ? "-" : " ") + mant + "E" + expbuf;
  if (static_cast<int>(out.size()) < W)
    out.insert(0, static_cast<std::size_t>(W) - out.size(), ' ');
  return out;
}

std::string XFIXSTR(const XNUM& X, int W, int D) {
  if (X.m == 0.0 || !std::isfinite(X.m) || X.e <= DBL_MAX_EXP)
    return FIXSTR(
        X.e < DBL_MIN_EXP - DBL_MANT_DIG - 1 ? std::copysign(DBL_TRUE_MIN, X.m) : XTODOUBLE(X), W,
        D);
    // A whole number: the 53 bits of the mantissa shifted left.
#ifdef VKX_NO_GMP
  std::string s = (X.m < 0 ? "-" : "") +
                  WHOLEDIGITS(static_cast<uint64_t>(std::ldexp(std::fabs(X.m), DBL_MANT_DIG)),
                              static_cast<uint64_t>(X.e - DBL_MANT_DIG));
#else
  mpz_t z;
  mpz_init_set_d(z, std::ldexp(std::fabs(X.m), DBL_MANT_DIG));
  mpz_mul_2exp(z, z, static_cast<mp_bitcnt_t>(X.e - DBL_MANT_DIG));
  std::string s(mpz_sizeinbase(z, 10) + 2, '\0');
  if (X.m < 0) s[0] = '-';
  mpz_get_str(s.data() + (X.m < 0 ? 1 : 0), 10, z);
  mpz_clear(z);
  s.resize(std::strlen(s.c_str()));
#endif
  if (D > 0) {
    s.push_back('.');
    s.append(static_cast<std::size_t>(std::min(D, 30)), '0');
  }
  return padLeft(s, W);
}

std::string WHOLEDIGITS(uint64_t MANT, uint64_t SHIFT) {
  // Limbs of nine decimal digits, the lowest first; each step doubles them
  // up to 32 times, which a limb below 10^9 < 2^30 takes within 64 bits.
  constexpr uint64_t BASE = 1000000000;
  std::vector<uint64_t> limbs;
  for (uint64_t m = MANT; m > 0; m /= BASE) limbs.push_back(m % BASE);
  if (limbs.empty()) return "0";
  for (uint64_t left = SHIFT; left > 0;) {
    const unsigned step = static_cast<unsigned>(std::min<uint64_t>(left, 32));
    left -= step;
    uint64_t carry = 0;
    for (uint64_t& limb : limbs) {
      const uint64_t x = (limb << step) + carry;
      limb = x % BASE;
      carry = x / BASE;
    }
    for (; carry > 0; carry /= BASE) limbs.push_back(carry % BASE);
  }
  std::string s = std::to_string(limbs.back());
  char nine[16];
  for (std::size_t i = limbs.size() - 1; i-- > 0;) {
    std::snprintf(nine, sizeof nine, "%09llu", static_cast<unsigned long long>(limbs[i]));
    s += nine;
  }
  return s;
}

std::string SHORTTEXT(double X) {
  if (!std::isfinite(X)) return std::isnan(X) ? "nan" : X < 0 ? "-inf" : "inf";
  const std::string sign = std::signbit(X) ? "-" : "";
  X = std::fabs(X);
  if (X == 0) return sign + "0";
  // The fewest digits that read back: the value rounded to P digits, or
  // where the rounding interval is lopsided (beside a power of two) a
  // neighbour of it in the last digit.
  char text[64];
  std::string digits;
  int exponent = 0;
  for (int p = 1; p <= 17 && digits.empty(); ++p) {
    std::snprintf(text, sizeof text, "%.*e", p - 1, X);
    const char* e = std::strchr(text, 'e');
    // "d.ddde+XX": the P digits without the point, and the power of ten.
    std::string shown(1, text[0]);
    if (p > 1) shown.append(text + 2, static_cast<std::size_t>(e - (text + 2)));
    const long long mantissa = std::atoll(shown.c_str());
    const int power = std::atoi(e + 1);
    for (const long long m : {mantissa, mantissa - 1, mantissa + 1}) {
      std::snprintf(text, sizeof text, "%llde%d", m, power - (p - 1));
      if (m <= 0 || std::strtod(text, nullptr) != X) continue;
      digits = std::to_string(m);
      // A neighbour may have a digit more (9.99 + 1) or less (1.00 - 1).
      exponent = power + static_cast<int>(digits.size()) - p;
      break;
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int n = static_cast<int>(digits.size());
  std::string sci = digits;
  if (n > 1) sci.insert(1, 1, '.');
  std::snprintf(text, sizeof text, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  sci += text;
  std::string fixed;
  if (exponent < 0) {
    fixed.assign(static_cast<std::size_t>(-exponent), '0');
    fixed.insert(1, 1, '.');
    fixed += digits;
  } else if (exponent + 1 >= n) {
    // A whole number: of the texts as long as the shortest, its exact digits
    // are nearest.
    std::snprintf(text, sizeof text, "%.0f", X);
    fixed = text;
  } else {
    fixed = digits;
    fixed.insert(static_cast<std::size_t>(exponent + 1), 1, '.');
  }
  return sign + (sci.size() < fixed.size() ? sci : fixed);
}

bool PARSESIZE(const std::string& TEXT, uint64_t& BYTES) {
  std::size_t digits = 0;
  uint64_t n = 0;
  for (; digits < TEXT.size() && TEXT[digits] >= '0' && TEXT[digits] <= '9'; ++digits) {
    const uint64_t d = static_cast<uint64_t>(TEXT[digits] - '0');
    if (n > (UINT64_MAX - d) / 10) return false;
    n = n * 10 + d;
  }
  if (digits == 0 || TEXT.size() > digits + 1) return false;
  int shift = 0;
  if (TEXT.size() == digits + 1) {
    const char* units = "KMGT";
    const char* u = std::strchr(units, std::toupper(static_cast<unsigned char>(TEXT[digits])));
    if (u == nullptr || *u == '\0') return false;
    shift = 10 * static_cast<int>(u - units + 1);
  }
  if (n == 0 || n > (UINT64_MAX >> shift)) return false;
  BYTES = n << shift;
  return true;
}
