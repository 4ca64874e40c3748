#include "common/xnum.h"

#include <cfloat>
#include <cstdio>

#include "common/mathe1.h"

const double XNUM_POW2NEG[64] = {
    0x1p-0,  0x1p-1,  0x1p-2,  0x1p-3,  0x1p-4,  0x1p-5,  0x1p-6,  0x1p-7,  0x1p-8,  0x1p-9,
    0x1p-10, 0x1p-11, 0x1p-12, 0x1p-13, 0x1p-14, 0x1p-15, 0x1p-16, 0x1p-17, 0x1p-18, 0x1p-19,
    0x1p-20, 0x1p-21, 0x1p-22, 0x1p-23, 0x1p-24, 0x1p-25, 0x1p-26, 0x1p-27, 0x1p-28, 0x1p-29,
    0x1p-30, 0x1p-31, 0x1p-32, 0x1p-33, 0x1p-34, 0x1p-35, 0x1p-36, 0x1p-37, 0x1p-38, 0x1p-39,
    0x1p-40, 0x1p-41, 0x1p-42, 0x1p-43, 0x1p-44, 0x1p-45, 0x1p-46, 0x1p-47, 0x1p-48, 0x1p-49,
    0x1p-50, 0x1p-51, 0x1p-52, 0x1p-53, 0x1p-54, 0x1p-55, 0x1p-56, 0x1p-57, 0x1p-58, 0x1p-59,
    0x1p-60, 0x1p-61, 0x1p-62, 0x1p-63};

double XTODOUBLE(const XNUM& X) {
  if (X.m == 0.0 || !std::isfinite(X.m)) return X.m;
  if (X.e > DBL_MAX_EXP) return X.m > 0 ? HUGE_VAL : -HUGE_VAL;
  if (X.e < DBL_MIN_EXP - DBL_MANT_DIG - 1) return 0.0;
  return std::ldexp(X.m, static_cast<int>(X.e));
}

long double XLOG10(const XNUM& X) {
  if (X.m == 0.0) return -HUGE_VALL;
  return std::log10(std::fabs(static_cast<long double>(X.m))) +
         static_cast<long double>(X.e) * 0.301029995663981195213738894724493027L;
}

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
