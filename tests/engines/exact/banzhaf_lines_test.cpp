// The Banzhaf counts by power series and by the halves' subset sums against
// the exhaustive walk on random games up to 20 players (one threshold, with
// overall thresholds in members or votes), and against the exact table on
// large games drawn to strain them: equal weights, players of weight 0, a
// few huge weights among tiny ones, two subgames; the series also beyond
// 63 players (one pass per prime), the halves with weights up to 2 * 10^6.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <string>

#include "../brute.h"
#include "engines/exact/fast_counts.h"
#include "engines/exact/power_series.h"
#include "engines/exact/subset_halves.h"
#include "straingame.h"

namespace {

using fastcount::Result;

int countWith(const weightedwalk::Game& g, METHODTYP method, Result& r) {
  return fastcount::COUNT_WITH(g, fastcount::Index::BANZHAF, method, r, 0);
}

// The counts of LINE are the exhaustive walk's.
void expectWalk(const weightedwalk::Game& g, const Result& line, const std::string& id) {
  weightedwalk::WinCounts walk(g.n, g.mm);
  ASSERT_TRUE(weightedwalk::SHAPLEY_CORE(g, walk)) << id;
  EXPECT_EQ(static_cast<double>(line.wins), walk.wins) << id;
  for (int p = 1; p <= g.n; ++p)
    EXPECT_EQ(static_cast<double>(line.with[p]), walk.with[p]) << id << " player " << p;
  for (int s = 1; s <= g.mm; ++s)
    EXPECT_EQ(static_cast<double>(line.sub[s]), walk.sub[s]) << id << " subgame " << s;
}

class BanzhafLines : public testing::TestWithParam<METHODTYP> {
 protected:
  void SetUp() override {
    if (GetParam() == METHODTYP::POWERSERIES && !powerseries::AVAILABLE())
      GTEST_SKIP() << "built without FLINT";
    if (GetParam() == METHODTYP::SUBSETHALVES && !halves::AVAILABLE())
      GTEST_SKIP() << "built without the halves";
  }
};

TEST_P(BanzhafLines, MatchTheWalkAndTheTable) {
  const uint64_t seed = 20261210;
  std::mt19937_64 rng(seed);
  int counted = 0;
  for (int round = 0; round < 300; ++round) {
    const int n = 1 + round % 20;
    const weightedwalk::Game g = brute::GAME(rng, n, round % 2 == 0 ? 0 : 3);
    const std::string id = "seed " + std::to_string(seed) + " round " + std::to_string(round);
    auto line = std::make_unique<Result>(), table = std::make_unique<Result>();
    if (countWith(g, GetParam(), *line) != 1) continue;
    ++counted;
    ASSERT_EQ(countWith(g, METHODTYP::WEIGHTTABLE, *table), 1) << id;
    EXPECT_EQ(line->counted, GetParam()) << id;
    expectWalk(g, *line, id);
    for (int p = 1; p <= n; ++p)
      EXPECT_EQ(line->swings[p], table->swings[p]) << id << " player " << p;
  }
  EXPECT_GT(counted, 150);
}

TEST_P(BanzhafLines, MatchTheExactTableOnLargeGames) {
  const bool series = GetParam() == METHODTYP::POWERSERIES;
  const uint64_t seed = 20261211;
  std::mt19937_64 rng(seed);
  auto pick = [&](int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng);
  };
  for (int round = 0; round < 24; ++round) {
    // The series on both sides of the 64-bit counts: one prime, or the
    // passes joined; the halves up to 2^18 sums a half.
    const int n = static_cast<int>(!series          ? (round % 3 == 2 ? pick(16, 21) : pick(21, 36))
                                   : round % 2 == 0 ? pick(21, 63)
                                                    : pick(64, 300));
    const int percent[] = {50, 10, 70, 95, 51, 99};
    const strain::Shape shape =
        series ? strain::Shape{300, 2000, 9000} : strain::Shape{100'000, 100'000, 2'000'000};
    weightedwalk::Game g = strain::GAME(pick, n, round % 4, percent[round % 6], shape);
    // Every third game of the halves with sums beyond 32 bits (their wide
    // keys), checked against the walk: no table holds such weights.
    const bool wide = !series && round % 3 == 2;
    if (wide) {
      int64_t total = 0;
      for (int p = 1; p <= n; ++p) {
        int64_t& w = g.w[0][p];
        w = w > 0 ? w * 50'000 + pick(0, 49'999) : 0;
        total += g.sub[p] == 1 ? w : 0;
      }
      g.m[0][1][1] = std::max<int64_t>(1, total / 100 * percent[round % 6]);
    }
    const std::string id = "seed " + std::to_string(seed) + " round " + std::to_string(round);
    auto line = std::make_unique<Result>(), table = std::make_unique<Result>();
    ASSERT_EQ(countWith(g, GetParam(), *line), 1) << id;
    if (wide) {
      expectWalk(g, *line, id);
      continue;
    }
    ASSERT_EQ(countWith(g, METHODTYP::WEIGHTTABLE, *table), 1) << id;
    EXPECT_EQ(line->wins, table->wins) << id;
    EXPECT_TRUE(line->xwins == table->xwins) << id;
    for (int p = 1; p <= n; ++p) {
      EXPECT_EQ(line->swings[p], table->swings[p]) << id << " player " << p;
      EXPECT_EQ(line->with[p], table->with[p]) << id << " player " << p;
      EXPECT_TRUE(line->xswings[p] == table->xswings[p]) << id << " player " << p;
      EXPECT_TRUE(line->xwith[p] == table->xwith[p]) << id << " player " << p;
    }
    for (int s = 1; s <= g.mm; ++s) EXPECT_TRUE(line->xsub[s] == table->xsub[s]) << id;
  }
}

INSTANTIATE_TEST_SUITE_P(Methods, BanzhafLines,
                         testing::Values(METHODTYP::POWERSERIES, METHODTYP::SUBSETHALVES),
                         [](const testing::TestParamInfo<METHODTYP>& info) {
                           return info.param == METHODTYP::POWERSERIES ? "PowerSeries"
                                                                       : "SubsetHalves";
                         });

}  // namespace

namespace {

// The halves by size: the Shapley-Shubik values and the counts they rest on
// against the walk on random games up to 20 players (overall thresholds
// in members and votes among them), and equal to the size table's to the
// last bit on games of 21 to 40 players with weights up to 2 * 10^6.
TEST(SubsetHalvesBySize, ShapleyMatchesTheWalkAndTheTable) {
  if (!halves::AVAILABLE()) GTEST_SKIP() << "built without the halves";
  const uint64_t seed = 20261212;
  std::mt19937_64 rng(seed);
  auto pick = [&](int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng);
  };
  int counted = 0;
  for (int round = 0; round < 240; ++round) {
    const bool large = round % 8 == 7;
    const int n = large ? static_cast<int>(pick(21, 40)) : 1 + round % 20;
    const int percent[] = {50, 10, 70, 95, 51, 99};
    const weightedwalk::Game g =
        large ? strain::GAME(pick, n, round % 4, percent[round % 6], {100'000, 100'000, 2'000'000})
              : brute::GAME(rng, n, round % 2 == 0 ? 0 : 3);
    const std::string id = "seed " + std::to_string(seed) + " round " + std::to_string(round);
    auto halves = std::make_unique<Result>(), table = std::make_unique<Result>();
    const auto shapley = fastcount::Index::SHAPLEY;
    if (fastcount::COUNT_WITH(g, shapley, METHODTYP::SUBSETHALVES, *halves, 0) != 1) continue;
    ++counted;
    ASSERT_EQ(fastcount::COUNT_WITH(g, shapley, METHODTYP::SIZEWEIGHTTABLE, *table, 0), 1) << id;
    EXPECT_EQ(halves->wins, table->wins) << id;
    for (int p = 1; p <= n; ++p) {
      EXPECT_EQ(halves->swings[p], table->swings[p]) << id << " player " << p;
      EXPECT_EQ(halves->shap[p], table->shap[p]) << id << " player " << p;
    }
    for (int s = 1; s <= g.mm; ++s) EXPECT_EQ(halves->sub[s], table->sub[s]) << id;
    if (large) continue;
    weightedwalk::WinCounts walk(n, g.mm);
    ASSERT_TRUE(weightedwalk::SHAPLEY_CORE(g, walk)) << id;
    expectWalk(g, *halves, id);
    for (int p = 1; p <= n; ++p)
      EXPECT_NEAR(halves->shap[p], walk.value[p], 1e-13) << id << " player " << p;
  }
  EXPECT_GT(counted, 200);
}

}  // namespace

namespace {

// A stop asked for halfway through a count by halves ends it (COUNT_WITH
// says -1), for the counts without sizes and by size; the progress heard
// until then only rises and stays within 0..1; the same count without the
// stop then completes.
TEST(SubsetHalvesBySize, StopsWhenAskedAndReportsProgress) {
  if (!halves::AVAILABLE()) GTEST_SKIP() << "built without the halves";
  const int n = 44;
  weightedwalk::Game g(n, 1);
  g.n = n;
  g.mm = g.thres = 1;
  int64_t total = 0;
  for (int p = 1; p <= n; ++p) {
    g.sub[p] = 1;
    total += g.w[0][p] = 1'000'000 + p * 7919 % 1'000'000;
  }
  g.m[0][1][1] = total / 2;
  struct Heard {
    std::atomic<bool> stop{false};
    double last = 0;
    bool rising = true;
  };
  for (const auto index : {fastcount::Index::BANZHAF, fastcount::Index::SHAPLEY}) {
    Heard heard;
    CONTROLTYP control;
    control.STOP = &heard.stop;
    control.DATA = &heard;
    control.PROGRESS = [](void* data, double done) {
      Heard& h = *static_cast<Heard*>(data);
      h.rising = h.rising && done >= h.last && done <= 1;
      h.last = done;
      if (done > 0.5) h.stop.store(true);
    };
    auto r = std::make_unique<Result>();
    EXPECT_EQ(fastcount::COUNT_WITH(g, index, METHODTYP::SUBSETHALVES, *r, 0, &control), -1);
    EXPECT_TRUE(heard.rising);
    EXPECT_GT(heard.last, 0.5);
    ASSERT_EQ(fastcount::COUNT_WITH(g, index, METHODTYP::SUBSETHALVES, *r, 0), 1);
    EXPECT_GT(r->wins, 0u);
  }
}

}  // namespace
