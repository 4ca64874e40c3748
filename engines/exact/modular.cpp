#include "engines/exact/modular.h"

#include <cmath>
#include <mutex>

namespace fastcount {
namespace {

uint64_t mulmod(uint64_t a, uint64_t b, uint64_t m) {
  return static_cast<uint64_t>(static_cast<unsigned __int128>(a) * b % m);
}

uint64_t powmod(uint64_t a, uint64_t e, uint64_t m) {
  uint64_t r = 1 % m;
  for (a %= m; e != 0; e >>= 1, a = mulmod(a, a, m))
    if (e & 1) r = mulmod(r, a, m);
  return r;
}

// Miller-Rabin with the first twelve primes as bases: decides every number
// below 3 * 10^24.
bool prime(uint64_t n) {
  if (n < 2) return false;
  static const uint64_t bases[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
  for (uint64_t b : bases)
    if (n % b == 0) return n == b;
  uint64_t d = n - 1;
  int s = 0;
  for (; d % 2 == 0; d /= 2) ++s;
  for (uint64_t b : bases) {
    uint64_t x = powmod(b, d, n);
    if (x == 1 || x == n - 1) continue;
    bool composite = true;
    for (int i = 1; i < s && composite; ++i) {
      x = mulmod(x, x, n);
      composite = x != n - 1;
    }
    if (composite) return false;
  }
  return true;
}

}  // namespace

MODP::MODP(uint64_t P, int N) : p_(P) {
  const std::size_t n = static_cast<std::size_t>(N < 0 ? 0 : N) + 1;
  fact_.assign(n, 1);
  inv_.assign(n, 1);
  pow2_.assign(n + 1, 1);
  for (std::size_t i = 1; i < n; ++i) fact_[i] = mul(fact_[i - 1], i % p_);
  inv_[n - 1] = powmod(fact_[n - 1], p_ - 2, p_);
  for (std::size_t i = n - 1; i > 0; --i) inv_[i - 1] = mul(inv_[i], i % p_);
  for (std::size_t i = 1; i <= n; ++i) pow2_[i] = add(pow2_[i - 1], pow2_[i - 1]);
}

uint64_t PRIME(int I) {
  static std::mutex lock;
  static std::vector<uint64_t> found;
  const std::lock_guard<std::mutex> hold(lock);
  uint64_t c = found.empty() ? (uint64_t{1} << 62) - 1 : found.back() - 2;
  while (static_cast<int>(found.size()) <= I) {
    while (!prime(c)) c -= 2;
    found.push_back(c);
    c -= 2;
  }
  return found[static_cast<std::size_t>(I)];
}

int PASSES(int N) {
  if (N <= PROFILEMAX) return 1;
  // Every prime exceeds 2^61.99.
  return static_cast<int>(std::ceil((N + 1.0) / 61.99));
}

void JOIN::add(const std::vector<uint64_t>& residues, uint64_t p) {
  const std::size_t i = primes_.size();
  std::vector<uint64_t> digit(values_);
  if (i == 0) {
    for (std::size_t v = 0; v < values_; ++v) digit[v] = residues[v] % p;
  } else {
    // The value so far, modulo P, from its digits by Horner's rule; the
    // difference to the residue over the product of the moduli so far is
    // the next digit.
    std::vector<uint64_t> m(i);
    uint64_t product = 1;
    for (std::size_t j = 0; j < i; ++j) {
      m[j] = primes_[j] % p;
      product = mulmod(product, m[j], p);
    }
    const uint64_t inverse = powmod(product, p - 2, p);
    const MODP ring(p, 0);
    // Every earlier digit is below its prime, which is below 2P.
    auto reduced = [p](uint64_t d) { return d >= p ? d - p : d; };
    for (std::size_t v = 0; v < values_; ++v) {
      uint64_t x = reduced(digits_[i - 1][v]);
      for (std::size_t j = i - 1; j-- > 0;) x = ring.add(ring.mul(x, m[j]), reduced(digits_[j][v]));
      digit[v] = ring.mul(ring.sub(residues[v] % p, x), inverse);
    }
  }
  primes_.push_back(p);
  digits_.push_back(std::move(digit));
}

XNUM JOIN::value(std::size_t v) const {
  if (digits_.empty()) return XNUM{};
  XNUM x(static_cast<double>(digits_.back()[v]));
  for (std::size_t j = digits_.size() - 1; j-- > 0;)
    x = x * XNUM(static_cast<double>(primes_[j])) + XNUM(static_cast<double>(digits_[j][v]));
  return x;
}

}  // namespace fastcount
