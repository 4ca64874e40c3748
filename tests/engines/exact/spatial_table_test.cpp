// The spatial table against the exhaustive walk on random spatial games
// drawn to hit the corners of the rules it covers, and what it declines.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <random>

#include "common/similarity.h"
#include "engines/exact/spatial_table.h"
#include "engines/plan/planner.h"

namespace {

using weightedwalk::Game;
using weightedwalk::WinCounts;

struct Draw {
  std::mt19937_64 rng;
  int64_t pick(int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng);
  }
  bool chance(int percent) { return pick(0, 99) < percent; }
};

// A random spatial game of N players on POS: weights of several
// magnitudes with zeros; quotas below 0, at 0, inside, at the total and
// beyond; win sets on one subgame; overall thresholds in members and in
// votes; positions on a grid (ties and equal positions) or anywhere. Now and
// then what the table declines: win sets on two subgames, a second vote
// system, a negative weight.
Game randomGame(Draw& d, int n, POSTYP& pos) {
  Game g(n, 3);
  g.n = n;
  g.mm = static_cast<int>(d.pick(1, std::min(3, n)));
  for (int p = 1; p <= n; ++p) g.sub[p] = static_cast<int>(d.pick(1, g.mm));
  const int64_t scale[] = {1, 3, 10, 100, 10000};
  const int64_t top = scale[d.pick(0, 4)];
  int64_t total[MAXCHAMB + 1] = {};
  for (int p = 1; p <= n; ++p) {
    g.w[0][p] = d.chance(15) ? 0 : d.pick(0, top);
    total[g.sub[p]] += g.w[0][p];
  }
  const int binding = static_cast<int>(d.pick(1, g.mm));
  g.thres = static_cast<int>(d.pick(1, 3));
  for (int t = 1; t <= g.thres; ++t)
    for (int s = 1; s <= g.mm; ++s) {
      const int64_t corner[] = {-1, 0, total[s], total[s] + 1, total[s] / 2 + 1};
      const bool binds = s == binding || d.chance(5);
      g.m[0][t][s] = !binds ? 0 : d.chance(30) ? corner[d.pick(0, 4)] : d.pick(0, total[s]);
    }
  if (d.chance(4)) g.w[0][d.pick(1, n)] = -1;
  g.vs = d.chance(4) ? 2 : 1;
  g.overall = static_cast<int>(d.pick(0, 3));
  g.overt = static_cast<int>(d.chance(70) ? 0 : 1);
  int64_t votes = 0;
  for (int p = 1; p <= n; ++p) votes += g.w[0][p];
  g.t1 = g.overt == 0 ? d.pick(0, n + 1) : d.pick(-1, votes + 1);
  const uint16_t themes = static_cast<uint16_t>(d.pick(1, 3));
  const bool grid = d.chance(40), same = d.chance(3);
  for (int t = 1; t <= themes; ++t)
    for (int p = 1; p <= n; ++p)
      pos[t][p] = same   ? 1.0
                  : grid ? static_cast<double>(d.pick(0, 3))
                         : std::uniform_real_distribution<double>(-50, 50)(d.rng);
  g.position = &pos;
  g.ntheme = themes;
  g.distmax = DIST_MAX(pos, static_cast<uint16_t>(n), themes);
  return g;
}

// The table's counts are the walk's: the winning coalitions exactly, every
// similarity sum to 1e-12 of the similarity of all coalitions, and the
// shares the report shows (value over all coalitions' similarity, with and
// sub over the winning ones') to 1e-12. A sum of similarities that are all
// 0 (members as far apart as any two players) is rounding in the walk
// (some 1e-16 a coalition, of either sign), and so is a share of it: such
// shares are not compared.
void expectWalk(const Game& g, const WinCounts& got, const char* what) {
  WinCounts want;
  ASSERT_TRUE(weightedwalk::SHAPLEY_CORE(g, want));
  const double all = want.dist0 + want.dist1, scale = std::max(1.0, all);
  EXPECT_EQ(got.wins, want.wins) << what;
  EXPECT_NEAR(got.dist0, want.dist0, 1e-12 * scale) << what;
  EXPECT_NEAR(got.dist1, want.dist1, 1e-12 * scale) << what;
  const double noise = 1e-12 * std::ldexp(1.0, g.n);
  const auto share = [&](double x, double of) { return std::fabs(of) > noise ? x / of : 0.0; };
  for (int p = 1; p <= g.n; ++p) {
    EXPECT_NEAR(share(got.value[p], all), share(want.value[p], all), 1e-12) << what << " " << p;
    EXPECT_NEAR(share(got.with[p], want.dist1), share(want.with[p], want.dist1), 1e-12)
        << what << " player " << p;
  }
  for (int s = 1; s <= g.mm; ++s)
    EXPECT_NEAR(share(got.sub[s], want.dist1), share(want.sub[s], want.dist1), 1e-12)
        << what << " subgame " << s;
}

}  // namespace

TEST(SpatialTable, CountsWhatTheWalkCountsOnRandomGames) {
  Draw d{std::mt19937_64(27)};
  int counted = 0;
  for (int round = 0; round < 400; ++round) {
    const int n = round < 398 ? static_cast<int>(d.pick(1, 14)) : round == 398 ? 17 : 20;
    POSTYP pos{};
    const Game g = randomGame(d, n, pos);
    WinCounts got;
    const COSTTYP cost = spatialtable::COST(g);
    const int r = spatialtable::COUNT(g, got);
    EXPECT_EQ(r == 1, cost.APPLIES) << round;
    if (r != 1) {
      EXPECT_STRNE(cost.WHY, "") << round;
      continue;
    }
    ++counted;
    expectWalk(g, got, ("round " + std::to_string(round)).c_str());
  }
  EXPECT_GT(counted, 280);
}

// Too little memory, and a stop asked for.
TEST(SpatialTable, DeclinesTooLittleMemoryAndStopsWhenAsked) {
  Draw d{std::mt19937_64(5)};
  POSTYP pos{};
  Game g = randomGame(d, 8, pos);
  g.mm = g.thres = g.vs = 1;
  g.overall = 0;
  for (int p = 1; p <= 8; ++p) g.sub[p] = 1, g.w[0][p] = p;
  g.m[0][1][1] = 20;
  WinCounts c;
  EXPECT_EQ(spatialtable::COUNT(g, c), 1);
  EXPECT_EQ(spatialtable::COUNT(g, c, 1000), 0);
  std::atomic<bool> stop{true};
  CONTROLTYP control;
  control.STOP = &stop;
  EXPECT_EQ(spatialtable::COUNT(g, c, 0, &control), -1);
}

// The planner takes the table for the spatial version where it applies,
// with the walk after it where the walk may run; beyond the walk's players
// a rule the table does not take is refused.
TEST(SpatialTable, ThePlannerTakesItWhereItApplies) {
  POSTYP pos{};
  auto game = [&](int n, bool twoBound) {  // two subgames, one or both bound
    Draw d{std::mt19937_64(static_cast<uint64_t>(n))};
    for (int t = 1; t <= 3; ++t) pos[t].fit(static_cast<std::size_t>(n));
    Game g = randomGame(d, n, pos);
    g.mm = 2;
    g.thres = g.vs = 1;
    g.overall = 0;
    for (int p = 1; p <= n; ++p) g.sub[p] = p <= n / 2 ? 1 : 2, g.w[0][p] = 1 + p % 7;
    g.m[0][1][1] = 2 * n / 3;
    g.m[0][1][2] = twoBound ? n / 3 : 0;
    return g;
  };
  planner::POLICYTYP commandLine;
  commandLine.SECONDS = 600;
  commandLine.WALKS = false;
  const std::vector<METHODTYP> table{METHODTYP::SPATIALTABLE}, walk{METHODTYP::WALK};
  EXPECT_EQ(planner::PLANWEIGHTED(game(30, false), INDEXTYP::SHAPLEY, commandLine).ORDER, table);
  EXPECT_EQ(planner::PLANWEIGHTED(game(60, false), INDEXTYP::SHAPLEY, commandLine).ORDER, table);
  EXPECT_EQ(planner::PLANWEIGHTED(game(30, false), INDEXTYP::SHAPLEY, {}).ORDER,
            (std::vector<METHODTYP>{METHODTYP::SPATIALTABLE, METHODTYP::WALK}));
  EXPECT_EQ(planner::PLANWEIGHTED(game(12, true), INDEXTYP::SHAPLEY, commandLine).ORDER, walk);
  EXPECT_TRUE(planner::PLANWEIGHTED(game(60, true), INDEXTYP::SHAPLEY, commandLine).REFUSED);
}
