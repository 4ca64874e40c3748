// Johnston's walk against the definition: every coalition decided from
// scratch, each winning one's critical members found by taking each member
// out, on random games of every kind of rule.
#include <gtest/gtest.h>

#include <vector>

#include "../brute.h"
#include "engines/walk/johnston_walk.h"

namespace {

TEST(JohnstonWalk, MatchesTheDefinitionOnEveryKindOfRule) {
  std::mt19937_64 rng(30);
  for (int round = 0; round < 60; ++round) {
    const int n = 3 + round % 8, kind = round % 6;
    const weightedwalk::Game g = brute::GAME(rng, n, kind);
    weightedwalk::JohnstonCounts got;
    ASSERT_TRUE(weightedwalk::JOHNSTON_CORE(g, got));
    std::vector<double> score(static_cast<std::size_t>(n) + 1);
    uint64_t wins = 0, vulnerable = 0;
    for (uint64_t mask = 1; mask < (uint64_t{1} << n); ++mask) {
      if (!brute::WINS(g, mask)) continue;
      ++wins;
      std::vector<int> critical;
      for (int p = 1; p <= n; ++p)
        if (brute::in(mask, p) && !brute::WINS(g, mask & ~(uint64_t{1} << (p - 1))))
          critical.push_back(p);
      vulnerable += critical.empty() ? 0 : 1;
      for (int p : critical) score[p] += 1.0 / static_cast<double>(critical.size());
    }
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(got.wins, wins);
    EXPECT_EQ(got.vulnerable, vulnerable);
    double sum = 0;
    for (int p = 1; p <= n; ++p) {
      EXPECT_NEAR(weightedwalk::JOHNSTONSCORE(got.bySize[p]), score[p], 1e-12) << p;
      sum += score[p];
    }
    EXPECT_NEAR(sum, static_cast<double>(vulnerable), 1e-9);
  }
}

}  // namespace
