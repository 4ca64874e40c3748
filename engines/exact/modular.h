// The arithmetic of the fast counts. The dense table and the diagram only
// add, subtract and multiply counts, so they count as well modulo any
// number: modulo 2^64 (the wrap-around of uint64_t, exact for games of at
// most PROFILEMAX players, whose counts stay below 2^63) or modulo a prime
// below 2^62. A larger game is counted once per prime, in the same memory,
// until the product of the primes exceeds every count (below 2^(n+1)); the
// residues are then joined into the counts (Chinese remaindering), which are
// exact until they are turned into extended-range numbers for the values.
// Differences of counts (swings, the coalitions with a member of a
// subgame) are formed among the residues, so they stay exact as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engines/exact/size_profile.h"
#include "types/xnum.h"

namespace fastcount {

// Counts modulo 2^64.
struct WRAP {
  static uint64_t add(uint64_t a, uint64_t b) { return a + b; }
  static uint64_t sub(uint64_t a, uint64_t b) { return a - b; }
  static uint64_t mul(uint64_t a, uint64_t b) { return a * b; }
  static uint64_t choose(int n, int k) { return CHOOSE(n, k); }
  static uint64_t pow2(int e) { return e < 0 || e >= 64 ? 0 : uint64_t{1} << e; }
};

// Counts modulo a prime P below 2^62, with the binomial coefficients of up
// to N players from factorials. A product is reduced with the quotient
// estimated in long double (64-bit mantissa: off by one at most), far
// cheaper than a 128-bit division.
class MODP {
 public:
  MODP(uint64_t P, int N);
  uint64_t add(uint64_t a, uint64_t b) const {
    const uint64_t s = a + b;  // both are below 2^62
    return s >= p_ ? s - p_ : s;
  }
  uint64_t sub(uint64_t a, uint64_t b) const { return a >= b ? a - b : a + (p_ - b); }
  uint64_t mul(uint64_t a, uint64_t b) const {
    const auto c = static_cast<uint64_t>(static_cast<long double>(a) * b / p_);
    auto r = static_cast<int64_t>(a * b - c * p_);  // within (-P, 2P): fits below 2^63
    if (r < 0) r += static_cast<int64_t>(p_);
    if (r >= static_cast<int64_t>(p_)) r -= static_cast<int64_t>(p_);
    return static_cast<uint64_t>(r);
  }
  uint64_t choose(int n, int k) const {
    if (k < 0 || k > n || n < 0) return 0;
    return mul(fact_[static_cast<std::size_t>(n)],
               mul(inv_[static_cast<std::size_t>(k)], inv_[static_cast<std::size_t>(n - k)]));
  }
  uint64_t pow2(int e) const { return e < 0 ? 0 : pow2_[static_cast<std::size_t>(e)]; }
  uint64_t modulus() const { return p_; }

 private:
  uint64_t p_;
  std::vector<uint64_t> fact_, inv_, pow2_;  // n!, 1/n! and 2^n for n = 0..N
};

// The I-th prime below 2^62, counting down from the largest (I = 0, 1, ...).
uint64_t PRIME(int I);
// Passes a game of N players needs: one (modulo 2^64) up to PROFILEMAX
// players, else primes whose product exceeds 2^(N+1).
int PASSES(int N);

// Values below the product of the moduli from their residues, one pass
// after the other: each pass's residues become one mixed-radix digit per
// value (Garner's method), so that a value is the sum of its digits times
// the products of the moduli before them.
class JOIN {
 public:
  explicit JOIN(std::size_t VALUES) : values_(VALUES) {}
  // The residues of every value modulo the next prime.
  void add(const std::vector<uint64_t>& RESIDUES, uint64_t PRIME);
  // Value I, rounded to an extended-range number (two roundings per pass:
  // a relative error of some 1e-14 at a thousand passes).
  XNUM value(std::size_t I) const;
  // Bytes the digits take after PASSES passes.
  static std::size_t BYTES(std::size_t VALUES, int PASSES) {
    return VALUES * static_cast<std::size_t>(PASSES) * sizeof(uint64_t);
  }

 private:
  std::size_t values_;
  std::vector<uint64_t> primes_;
  std::vector<std::vector<uint64_t>> digits_;  // [pass][value]
};

}  // namespace fastcount
