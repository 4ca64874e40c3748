#include "engines/exact/weighted_games.h"

#include <cmath>
#include <unordered_map>

namespace weightedgames {

std::vector<GAMETYP> ALL(int N) {
  std::unordered_map<uint64_t, GAMETYP> seen;
  const int coalitions = 1 << N;
  std::vector<int64_t> sums(static_cast<std::size_t>(coalitions));
  // The weight vectors in falling order, as an odometer: w[0] >= w[1] >= ...
  std::array<int64_t, WEIGHTEDGAMESMAX> w{};
  for (;;) {
    int64_t total = 0;
    for (int p = 0; p < N; ++p) total += w[static_cast<std::size_t>(p)];
    for (int s = 0; s < coalitions; ++s) {
      int64_t sum = 0;
      for (int p = 0; p < N; ++p)
        if (s >> p & 1) sum += w[static_cast<std::size_t>(p)];
      sums[static_cast<std::size_t>(s)] = sum;
    }
    for (int64_t q = 0; q <= total + 1; ++q) {
      uint64_t wins = 0;
      for (int s = 0; s < coalitions; ++s)
        if (sums[static_cast<std::size_t>(s)] >= q) wins |= uint64_t{1} << s;
      auto [at, fresh] = seen.try_emplace(wins);
      GAMETYP& kept = at->second;
      int64_t keptTotal = 0;
      for (int p = 0; p < N; ++p) keptTotal += kept.WEIGHT[static_cast<std::size_t>(p)];
      if (fresh || total < keptTotal || (total == keptTotal && q < kept.QUOTA)) {
        kept.WINS = wins;
        kept.WEIGHT = w;
        kept.QUOTA = q;
      }
    }
    // The next vector: raise the last place that may rise, the places
    // after it back to 0.
    int p = N - 1;
    while (p >= 0 && w[static_cast<std::size_t>(p)] ==
                         (p == 0 ? MAXWEIGHT : w[static_cast<std::size_t>(p - 1)]))
      --p;
    if (p < 0) break;
    ++w[static_cast<std::size_t>(p)];
    for (int r = p + 1; r < N; ++r) w[static_cast<std::size_t>(r)] = 0;
  }
  std::vector<GAMETYP> all;
  all.reserve(seen.size());
  for (const auto& [wins, game] : seen) all.push_back(game);
  return all;
}

void INDEXOF(uint64_t WINS, int N, bool SHAPLEY, double* V) {
  const int coalitions = 1 << N;
  double total = 0;
  for (int p = 0; p < N; ++p) {
    double v = 0;
    for (int s = 0; s < coalitions; ++s) {
      if (s >> p & 1) continue;
      const int with = s | 1 << p;
      if ((WINS >> with & 1) == 0 || (WINS >> s & 1) != 0) continue;
      if (!SHAPLEY) {
        v += 1;
        continue;
      }
      // (k-1)! (N-k)! / N! for a coalition of k = |s| + 1 members.
      const int k = __builtin_popcount(static_cast<unsigned>(with));
      v += std::tgamma(k) * std::tgamma(N - k + 1) / std::tgamma(N + 1);
    }
    V[p] = v;
    total += v;
  }
  if (!SHAPLEY && total > 0)
    for (int p = 0; p < N; ++p) V[p] /= total;
}

}  // namespace weightedgames
