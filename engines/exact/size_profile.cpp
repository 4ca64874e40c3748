#include "engines/exact/size_profile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace fastcount {

uint64_t CHOOSE(int N, int K) {
  static const auto table = [] {
    std::array<std::array<uint64_t, 65>, 65> t{};
    for (int n = 0; n <= 64; ++n) {
      t[n][0] = 1;
      for (int k = 1; k <= n; ++k) t[n][k] = t[n - 1][k - 1] + t[n - 1][k];
    }
    return t;
  }();
  if (N < 0 || N > 64 || K < 0 || K > N) return 0;
  return table[static_cast<std::size_t>(N)][static_cast<std::size_t>(K)];
}

}  // namespace fastcount

namespace fastcount {
namespace {

// C(N, K) for K = 0..N: the running product C(N, K) = C(N, K-1) (N-K+1) / K
// in long double, its binary exponent kept apart.
std::vector<XNUM> chooseRow(int n) {
  std::vector<XNUM> row(static_cast<std::size_t>(n) + 1);
  long double m = 1.0L;
  int64_t e = 0;
  for (int k = 0; k <= n; ++k) {
    if (k > 0) {
      m = m * static_cast<long double>(n - k + 1) / static_cast<long double>(k);
      int x = 0;
      m = std::frexp(m, &x);
      e += x;
    }
    row[static_cast<std::size_t>(k)] = XNUM::fromLong(m, e);
  }
  return row;
}

}  // namespace

XNUM XCHOOSE(int N, int K) {
  if (N < 0 || K < 0 || K > N) return XNUM{};
  K = std::min(K, N - K);
  long double m = 1.0L;
  int64_t e = 0;
  for (int k = 1; k <= K; ++k) {
    m = m * static_cast<long double>(N - k + 1) / static_cast<long double>(k);
    int x = 0;
    m = std::frexp(m, &x);
    e += x;
  }
  return XNUM::fromLong(m, e);
}

double SHAPLEYVALUE(int N, const XNUM* SWINGSBYSIZE) {
  const std::vector<XNUM> c = chooseRow(N);
  double v = 0;
  for (int k = 1; k <= N; ++k)
    if (!SWINGSBYSIZE[k].zero())
      v += XTODOUBLE(SWINGSBYSIZE[k] / (c[static_cast<std::size_t>(k)] * XNUM(k)));
  return v;
}

XNUM SIZESHARE(int N, const XNUM* BYSIZE) {
  XNUM v;
  for (int k = 1; k <= N; ++k)
    if (!BYSIZE[k].zero()) v += BYSIZE[k] / XNUM(k);
  return v;
}

}  // namespace fastcount
