// An extended-range number: a double mantissa with a 64-bit binary exponent.
// Counts of coalitions in chambers of thousands of members (2^65535 at the
// most) and the binomial coefficients behind them do not fit a double, whose
// exponent ends near 2^1023; their ratios (indices, shares) do. XNUM keeps the
// 53-bit precision of a double at any magnitude, so sums of positive terms
// stay accurate to a few units in the last place.
#pragma once

#include <cmath>
#include <cstdint>

struct XNUM {
  // Value m * 2^e. Normal form: m = 0 (then e = 0), or 0.5 <= |m| < 1; a
  // non-finite m (an infinity or NaN from a division by zero) keeps e = 0.
  double m = 0.0;
  int64_t e = 0;

  XNUM() = default;
  explicit XNUM(double x) { *this = make(x, 0); }

  // M * 2^E in normal form.
  static XNUM make(double M, int64_t E) {
    XNUM r;
    if (M == 0.0 || !std::isfinite(M)) {
      r.m = M;
      return r;
    }
    int k = 0;
    r.m = std::frexp(M, &k);
    r.e = E + k;
    return r;
  }
  // From a long double mantissa: the product rows are formed in long double
  // so that they lose less than a double would.
  static XNUM fromLong(long double M, int64_t E) {
    int k = 0;
    long double f = std::frexp(M, &k);
    return make(static_cast<double>(f), E + k);
  }

  bool zero() const { return m == 0.0; }
};

// 2^-d for d = 0..63, for aligning mantissas without calling ldexp.
extern const double XNUM_POW2NEG[64];

inline XNUM operator*(const XNUM& a, const XNUM& b) {
  XNUM r;
  r.m = a.m * b.m;
  if (r.m == 0.0 || !std::isfinite(r.m)) {
    r.e = 0;
    return r;
  }
  r.e = a.e + b.e;
  // Two mantissas in [0.5, 1) give a product in [0.25, 1).
  if (std::fabs(r.m) < 0.5) {
    r.m *= 2.0;
    r.e -= 1;
  }
  return r;
}

inline XNUM operator/(const XNUM& a, const XNUM& b) {
  if (b.m == 0.0 || !std::isfinite(b.m) || !std::isfinite(a.m)) return XNUM::make(a.m / b.m, 0);
  return XNUM::make(a.m / b.m, a.e - b.e);
}

inline XNUM operator+(const XNUM& a, const XNUM& b) {
  if (b.m == 0.0) return a;
  if (a.m == 0.0) return b;
  if (!std::isfinite(a.m) || !std::isfinite(b.m)) return XNUM::make(a.m + b.m, 0);
  const XNUM& big = a.e >= b.e ? a : b;
  const XNUM& small = a.e >= b.e ? b : a;
  const int64_t d = big.e - small.e;
  // Below 2^-63 of the larger term the smaller one cannot change a double.
  if (d > 63) return big;
  XNUM r;
  r.m = big.m + small.m * XNUM_POW2NEG[d];
  r.e = big.e;
  const double f = std::fabs(r.m);
  if (f >= 1.0) {
    r.m *= 0.5;
    r.e += 1;
  } else if (f < 0.5) {
    return XNUM::make(r.m, r.e);  // cancellation, or zero
  }
  return r;
}

inline XNUM operator-(const XNUM& a) {
  XNUM r = a;
  r.m = -r.m;
  return r;
}
inline XNUM operator-(const XNUM& a, const XNUM& b) { return a + (-b); }
inline XNUM& operator+=(XNUM& a, const XNUM& b) { return a = a + b; }
inline XNUM& operator*=(XNUM& a, const XNUM& b) { return a = a * b; }

// D += S * C for numbers that are finite and not negative (counts and
// binomial coefficients), without the general operators' checks and
// renormalisations: the product's mantissa (in [0.25, 1)) is aligned with
// D's once. The sum is rounded once, as the operators round it, so the
// result is the same number to the last bit, at about half the cost.
inline void XMULADD(XNUM& d, const XNUM& s, const XNUM& c) {
  if (s.m == 0.0 || c.m == 0.0) return;
  const double pm = s.m * c.m;
  const int64_t pe = s.e + c.e;
  if (d.m == 0.0) {
    d.m = pm;
    d.e = pe;
  } else if (const int64_t diff = d.e - pe; diff >= 0) {
    if (diff > 63) return;  // below half a unit in D's last place
    d.m += pm * XNUM_POW2NEG[diff];
  } else if (diff < -63) {
    d.m = pm;
    d.e = pe;
  } else {
    d.m = pm + d.m * XNUM_POW2NEG[-diff];
    d.e = pe;
  }
  if (d.m >= 1.0) {
    d.m *= 0.5;
    ++d.e;
  } else if (d.m < 0.5) {
    d.m *= 2.0;
    --d.e;
  }
}

// Whether the two numbers are the same value (both in normal form).
inline bool operator==(const XNUM& a, const XNUM& b) { return a.m == b.m && a.e == b.e; }

// The value as a double: an infinity (with the sign) when it is too large,
// zero when too small.
double XTODOUBLE(const XNUM& X);
// The decimal logarithm of |X| (minus infinity for zero).
long double XLOG10(const XNUM& X);
// 2^E exactly.
inline XNUM XPOW2(int64_t E) { return XNUM::make(0.5, E + 1); }
