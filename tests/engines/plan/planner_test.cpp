// The planner's choices: a table of games and the method each must get
// under the command line's policy and the interactive program's, and that a
// count made by the plan is the plan's method with the walk's counts.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engines/exact/fast_counts.h"
#include "engines/plan/planner.h"
#include "engines/run/compute.h"

namespace {

using weightedwalk::Game;

// One threshold over N players of weights LO..HI (fixed seed); SECOND adds
// a second vote system of weights 1..SECOND at half its total.
Game threshold(int n, int64_t lo, int64_t hi, int percent, int64_t second = 0) {
  std::mt19937_64 rng(static_cast<uint64_t>(n) * 1000 + static_cast<uint64_t>(hi));
  Game g(n, 1);
  g.n = n;
  g.mm = g.thres = 1;
  g.vs = second > 0 ? 2 : 1;
  int64_t total[2] = {0, 0};
  for (int p = 1; p <= n; ++p) {
    g.sub[p] = 1;
    total[0] += g.w[0][p] = std::uniform_int_distribution<int64_t>(lo, hi)(rng);
    if (second > 0) total[1] += g.w[1][p] = std::uniform_int_distribution<int64_t>(1, second)(rng);
  }
  g.m[0][1][1] = total[0] * percent / 100 + 1;
  if (second > 0) g.m[1][1][1] = total[1] / 2 + 1;
  g.overall = 0;
  return g;
}

// The same with a quota of all the weight but one: only the side of the
// table below the losing coalitions' weight is filled.
Game allButOne(int n, int64_t lo, int64_t hi) {
  Game g = threshold(n, lo, hi, 50);
  int64_t total = 0;
  for (int p = 1; p <= n; ++p) total += g.w[0][p];
  g.m[0][1][1] = total - 1;
  return g;
}

planner::POLICYTYP commandLine(std::size_t budget = std::size_t{4} << 30) {
  planner::POLICYTYP p;
  p.BUDGET = budget;
  p.SECONDS = 600;
  p.WALKS = false;
  return p;
}

TEST(Planner, EachGameGetsItsMethod) {
  const std::size_t mega = std::size_t{1} << 20;
  const struct {
    const char* what;
    Game game;
    INDEXTYP index;
    planner::POLICYTYP policy;
    METHODTYP want;
    bool refused;
  } rows[] = {
      {"27 players, one threshold", threshold(27, 1, 30, 70), INDEXTYP::SHAPLEY, commandLine(),
       METHODTYP::SIZEWEIGHTTABLE, false},
      {"Banzhaf needs no sizes", threshold(27, 1, 30, 70), INDEXTYP::BANZHAF, commandLine(),
       METHODTYP::WEIGHTTABLE, false},
      {"public good by size", threshold(27, 1, 30, 50), INDEXTYP::PUBLICGOOD, commandLine(),
       METHODTYP::SIZEWEIGHTTABLE, false},
      {"few players, large weights", threshold(20, 1, 500000, 50), INDEXTYP::SHAPLEY, commandLine(),
       METHODTYP::SUBSETHALVES, false},
      {"... and their public good", threshold(20, 1, 500000, 50), INDEXTYP::PUBLICGOOD,
       commandLine(), METHODTYP::DIAGRAM, false},
      {"50 players near 10^7 by halves", threshold(50, 9000000, 11000000, 50), INDEXTYP::BANZHAF,
       commandLine(), METHODTYP::SUBSETHALVES, false},
      {"150 players: Banzhaf in doubles", threshold(150, 1, 30, 50), INDEXTYP::BANZHAF,
       commandLine(), METHODTYP::DOUBLESTABLE, false},
      {"150 players: Shapley by quadrature", threshold(150, 1, 30, 50), INDEXTYP::SHAPLEY,
       commandLine(), METHODTYP::QUADRATURE, false},
      {"a quota of all but one in doubles", allButOne(120, 1, 10000000), INDEXTYP::BANZHAF,
       commandLine(), METHODTYP::DOUBLESTABLE, false},
      {"a double majority", threshold(30, 1, 100, 50, 100), INDEXTYP::BANZHAF, commandLine(),
       METHODTYP::DOUBLEMAJORITYTABLE, false},
      {"screen control walks", threshold(12, 1, 30, 50), INDEXTYP::SHAPLEY,
       [] {
         planner::POLICYTYP p;
         p.WALK = true;
         return p;
       }(),
       METHODTYP::WALK, false},
      {"no table fits 64 MB: a diagram that may", threshold(50, 9000000, 11000000, 50),
       INDEXTYP::SHAPLEY, commandLine(64 * mega), METHODTYP::DIAGRAM, false},
      {"nothing fits 1 MB and the walk takes hours", threshold(50, 9000000, 11000000, 50),
       INDEXTYP::SHAPLEY, commandLine(mega / 1024), METHODTYP::WALK, true},
      {"the same, but the walk asked for", threshold(50, 9000000, 11000000, 50), INDEXTYP::SHAPLEY,
       [&] {
         planner::POLICYTYP p = commandLine(64 * mega);
         p.WALKS = true;
         p.SECONDS = 0;
         return p;
       }(),
       METHODTYP::DIAGRAM, false},
  };
  for (const auto& row : rows) {
    const planner::STEPTYP step = planner::PLANWEIGHTED(row.game, row.index, row.policy);
    EXPECT_EQ(METHODNAME(step.METHOD), std::string(METHODNAME(row.want))) << row.what;
    EXPECT_EQ(step.REFUSED, row.refused) << row.what;
    if (!step.REFUSED) {
      ASSERT_FALSE(step.ORDER.empty()) << row.what;
      EXPECT_EQ(step.ORDER.front(), step.METHOD) << row.what;
    }
    // Every candidate not planned says why; no cost is below zero.
    for (const planner::CANDIDATETYP& c : step.CANDIDATES) {
      EXPECT_GE(c.COST.SECONDS, 0) << row.what << " " << METHODNAME(c.METHOD);
      if (c.METHOD != step.METHOD) {
        EXPECT_FALSE(c.WHY.empty()) << row.what << " " << METHODNAME(c.METHOD);
      }
    }
  }
}

// A negative weight or the spatial version leaves only the walk; beyond
// the walk's players nothing counts them.
TEST(Planner, OnlyTheWalkCountsRulesThatAreNotMonotone) {
  Game g = threshold(20, 1, 30, 50);
  g.w[0][3] = -4;
  planner::STEPTYP step = planner::PLANWEIGHTED(g, INDEXTYP::SHAPLEY, commandLine());
  EXPECT_EQ(step.METHOD, METHODTYP::WALK);
  EXPECT_EQ(step.ORDER.size(), 1u);
  Game wide = threshold(60, 1, 30, 50);
  wide.w[0][3] = -4;
  step = planner::PLANWEIGHTED(wide, INDEXTYP::SHAPLEY, commandLine());
  EXPECT_TRUE(step.REFUSED);
}

// The count made by a plan names the plan's method, and its counts are the
// walk's to the last bit.
TEST(Planner, TheRunExecutesThePlanItIsGiven) {
  GAMETYP game;
  game.DATASTRUCTURE = DATASTRUCT::WEIGHTED;
  game.MM = 1;
  game.N = game.NN[1] = 12;
  for (int p = 1; p <= 12; ++p) {
    game.GEW[1][p] = p * p % 17 + 1;
    game.MEM[p][0] = 1;
    game.MEM[p][1] = p;
  }
  RULETYP rule;
  rule.THRES = 1;
  rule.M[1][1] = 50;
  rule.G[1][1][1] = 50;
  planner::POLICYTYP policy = commandLine();
  for (const METHODTYP m : {METHODTYP::SIZEWEIGHTTABLE, METHODTYP::DIAGRAM, METHODTYP::WALK}) {
    planner::STEPTYP step = planner::PLANGAME(game, rule, INDEXTYP::SHAPLEY, policy);
    step.METHOD = m;
    step.ORDER.assign(1, m);
    HOOKSTYP hooks;
    hooks.STEP = &step;
    const SHAPLEYRES got = SHAPLEY(game, rule, hooks);
    HOOKSTYP walk;
    walk.WALK = true;
    const SHAPLEYRES want = SHAPLEY(game, rule, walk);
    ASSERT_EQ(got.STATUS, STATUSTYP::DONE);
    EXPECT_EQ(got.METHOD, m);
    EXPECT_EQ(want.METHOD, METHODTYP::WALK);
    EXPECT_EQ(got.WINS, want.WINS);
    for (int p = 1; p <= 12; ++p) EXPECT_EQ(got.SS[1][p], want.SS[1][p]) << METHODNAME(m);
  }
}

}  // namespace
