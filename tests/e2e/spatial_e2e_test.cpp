// The spatial version through the real command line: counted by its table
// to the walk's values (the walk run here on the same game), beyond 50
// players as well, and refused beyond them with a reason where its rule is
// not one weighted threshold.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/similarity.h"
#include "engines/walk/weighted_walk.h"
#include "testkit.h"

namespace {

// N players of weights 1..100 in subgames of SIZE players, whole positions
// on two themes, written to NAME.inp and pos.pos, and as the walk's game G
// (one win set, no thresholds yet) on POS.
void writeSpatial(const std::string& name, int n, int size, weightedwalk::Game& g, POSTYP& pos) {
  std::mt19937 rng(static_cast<unsigned>(n + size));
  std::string data = "1\r\n" + std::to_string(n / size) + "\r\n", lines = "2\r\n";
  g = weightedwalk::Game(n, n / size);
  g.n = n;
  g.mm = n / size;
  g.thres = 1;
  for (int p = 1; p <= n; ++p) {
    if ((p - 1) % size == 0) data += std::to_string(size) + "\r\n";
    g.sub[p] = 1 + (p - 1) / size;
    data += std::to_string(g.w[0][p] = std::uniform_int_distribution<int>(1, 100)(rng)) + "\r\n";
    for (int t = 1; t <= 2; ++t) {
      pos[t].fit(static_cast<std::size_t>(n));
      lines += std::to_string(static_cast<int>(pos[t][p] = static_cast<double>(rng() % 30)));
      lines += t == 1 ? " " : "\r\n";
    }
  }
  g.position = &pos;
  g.ntheme = 2;
  g.distmax = DIST_MAX(pos, static_cast<uint16_t>(n), 2);
  testkit::writeFile(name + ".inp", data);
  testkit::writeFile("pos.pos", lines);
}

}  // namespace

TEST(SpatialE2E, TheTablesValuesAreTheWalksAndBeyondFiftyPlayersToo) {
  testkit::TempDir dir;
  // 18 players: SS (of all coalitions' similarity) and II (of the winning
  // ones') as the walk gives them, to 1e-12.
  weightedwalk::Game g;
  POSTYP pos{};
  writeSpatial("game", 18, 18, g, pos);
  g.m[0][1][1] = 500;
  weightedwalk::WinCounts c;
  ASSERT_TRUE(weightedwalk::SHAPLEY_CORE(g, c));
  testkit::CliRun run = testkit::runCli("shapley game --winset 500 --positions pos --format csv");
  ASSERT_EQ(run.status, 0) << run.err;
  auto rows =
      testkit::split(testkit::withoutQuotas(run.out), "\n");  // the titles, then a row a player
  ASSERT_GE(rows.size(), 19u);
  for (int p = 1; p <= 18; ++p) {  // subgame,player,name,weight,SS,II,winsets,shapley_method
    const auto row = testkit::split(rows[static_cast<std::size_t>(p)], ",");
    EXPECT_NEAR(std::stod(row[4]), c.value[p] / (c.dist0 + c.dist1), 1e-12) << p;
    EXPECT_NEAR(std::stod(row[5]), c.with[p] / c.dist1, 1e-12) << p;
    EXPECT_EQ(row[7], "spatial_table");
  }
  // 60 players: counted by the table, shares between 0 and 1.
  writeSpatial("wide", 60, 60, g, pos);
  run = testkit::runCli("shapley wide --winset 50% --positions pos --format csv");
  ASSERT_EQ(run.status, 0) << run.err;
  rows = testkit::split(testkit::withoutQuotas(run.out), "\n");
  ASSERT_GE(rows.size(), 61u);
  for (std::size_t p = 1; p <= 60; ++p) {
    const auto row = testkit::split(rows[p], ",");
    const double ss = std::stod(row[4]), ii = std::stod(row[5]);
    EXPECT_TRUE(ss > 0 && ss < 1 && ii > 0 && ii <= 1) << p;
    EXPECT_EQ(row[7], "spatial_table");
  }
  // Win sets on two subgames: only the walk counts them, up to 50 players.
  writeSpatial("two", 60, 30, g, pos);
  run = testkit::runCli("shapley two --winset 50%,50% --positions pos --format csv");
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.err.find("...the spatial version of more than 50 players is counted for one "
                         "weighted threshold only"),
            std::string::npos)
      << run.err;
}
