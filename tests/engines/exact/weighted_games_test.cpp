// The weighted games of up to 6 players: as many as there are (the known
// numbers up to renaming the players, and 244158 of 6 players told apart,
// the number of threshold functions of 6 variables), each with a
// representation that gives its coalitions; the index of a game against a
// count over its coalitions.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <unordered_set>

#include "engines/exact/quota_sweep.h"
#include "engines/exact/weighted_games.h"

namespace {

TEST(WeightedGames, AllOfThemOnceWithTheirRepresentation) {
  const std::size_t known[] = {0, 3, 5, 10, 27, 119, 1113};
  for (int n = 1; n <= weightedgames::WEIGHTEDGAMESMAX; ++n) {
    const auto games = weightedgames::ALL(n);
    EXPECT_EQ(games.size(), known[n]) << n;
    for (const auto& g : games) {
      uint64_t wins = 0;
      for (int s = 0; s < (1 << n); ++s) {
        int64_t sum = 0;
        for (int p = 0; p < n; ++p) sum += (s >> p & 1) ? g.WEIGHT[p] : 0;
        if (sum >= g.QUOTA) wins |= uint64_t{1} << s;
      }
      EXPECT_EQ(wins, g.WINS);
      EXPECT_TRUE(std::is_sorted(g.WEIGHT.begin(), g.WEIGHT.begin() + n, std::greater<>()));
    }
    if (n != 6) continue;
    // Told apart: every renaming of the players.
    std::unordered_set<uint64_t> labelled;
    std::vector<int> perm(6);
    std::iota(perm.begin(), perm.end(), 0);
    do {
      for (const auto& g : games) {
        uint64_t out = 0;
        for (int s = 0; s < 64; ++s)
          if (g.WINS >> s & 1) {
            int t = 0;
            for (int p = 0; p < 6; ++p) t |= (s >> p & 1) << perm[p];
            out |= uint64_t{1} << t;
          }
        labelled.insert(out);
      }
    } while (std::next_permutation(perm.begin(), perm.end()));
    EXPECT_EQ(labelled.size(), 244158u);
  }
}

// The index of every game of 5 players from its mask and from the quota
// sweep of its weights agree.
TEST(WeightedGames, IndexOfAGameIsTheSweepsAtItsQuota) {
  for (const auto& g : weightedgames::ALL(5)) {
    const std::vector<int64_t> w{0,           g.WEIGHT[0], g.WEIGHT[1],
                                 g.WEIGHT[2], g.WEIGHT[3], g.WEIGHT[4]};
    if (g.QUOTA < 1 || g.QUOTA > std::accumulate(w.begin(), w.end(), int64_t{0})) continue;
    for (const bool shapley : {false, true}) {
      double v[5];
      weightedgames::INDEXOF(g.WINS, 5, shapley, v);
      std::vector<double> sweep;
      ASSERT_TRUE(quotasweep::VALUES(
          w, g.QUOTA, shapley ? quotasweep::INDEX::SHAPLEY : quotasweep::INDEX::BANZHAF, sweep));
      for (int p = 0; p < 5; ++p) EXPECT_NEAR(v[p], sweep[p + 1], 1e-12) << shapley;
    }
  }
}

}  // namespace
