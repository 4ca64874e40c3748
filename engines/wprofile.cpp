#include "engines/wprofile.h"

#include <array>

namespace wfast {

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

}  // namespace wfast
