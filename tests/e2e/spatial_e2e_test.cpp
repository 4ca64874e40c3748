// The spatial version through the real command line: counted by its table
// to the walk's values (the walk run here on the same game), beyond 50
// players as well, and refused beyond them with a reason where its rule is
// not one weighted threshold.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "common/similarity.h"
#include "engines/walk/weighted_walk.h"
#include "testkit.h"

namespace {

struct Spatial {
  std::vector<int64_t> w;  // [p], 1..n
  std::vector<double> x, y;
};

// N players of weights 1..100 in the subgames SIZES (one by default), two
// themes; written to NAME.inp and pos.pos.
Spatial writeSpatial(const std::string& name, int n, unsigned seed,
                     const std::vector<int>& sizes = {}) {
  std::mt19937 rng(seed);
  Spatial s;
  s.w.push_back(0);
  s.x.push_back(0);
  s.y.push_back(0);
  const std::vector<int> subgames = sizes.empty() ? std::vector<int>{n} : sizes;
  std::string data = "1\r\n" + std::to_string(subgames.size()) + "\r\n", pos = "2\r\n";
  for (int size : subgames) {
    data += std::to_string(size) + "\r\n";
    for (int p = 0; p < size; ++p) {
      s.w.push_back(std::uniform_int_distribution<int>(1, 100)(rng));
      s.x.push_back(std::uniform_real_distribution<double>(-5, 5)(rng));
      s.y.push_back(std::uniform_real_distribution<double>(0, 20)(rng));
      data += std::to_string(s.w.back()) + "\r\n";
      char line[80];
      std::snprintf(line, sizeof line, "%.17g %.17g\r\n", s.x.back(), s.y.back());
      pos += line;
    }
  }
  testkit::writeFile(name + ".inp", data);
  testkit::writeFile("pos.pos", pos);
  return s;
}

// The CSV's rows after the titles, split into fields.
std::vector<std::vector<std::string>> csvRows(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  const auto lines = testkit::split(csv, "\n");
  for (std::size_t i = 1; i < lines.size(); ++i)
    if (!lines[i].empty()) rows.push_back(testkit::split(lines[i], ","));
  return rows;
}

}  // namespace

// 18 players: the command line counts by the table and prints the walk's
// shares (SS of all coalitions' similarity, II of the winning ones') to
// 1e-12.
TEST(SpatialE2E, TheCommandLinePrintsTheWalksValues) {
  testkit::TempDir dir;
  const int n = 18;
  const Spatial s = writeSpatial("game", n, 18);
  int64_t total = 0;
  for (int p = 1; p <= n; ++p) total += s.w[p];
  const int64_t q = total * 3 / 5;
  const testkit::CliRun run = testkit::runCli("shapley game --winset " + std::to_string(q) +
                                              " --positions pos --format csv");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto rows = csvRows(run.out);
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(n));

  weightedwalk::Game g;
  POSTYP pos{};
  g.n = n;
  g.mm = g.thres = 1;
  for (int p = 1; p <= n; ++p) {
    g.sub[p] = 1;
    g.w[0][p] = s.w[p];
    pos[1][p] = s.x[p];
    pos[2][p] = s.y[p];
  }
  g.m[0][1][1] = q;
  g.position = &pos;
  g.ntheme = 2;
  g.distmax = DIST_MAX(pos, n, 2);
  weightedwalk::WinCounts c;
  ASSERT_TRUE(weightedwalk::SHAPLEY_CORE(g, c));
  // Columns: subgame,player,name,weight,SS,II,winsets,shapley_method.
  for (int p = 1; p <= n; ++p) {
    const auto& row = rows[static_cast<std::size_t>(p - 1)];
    ASSERT_EQ(row.size(), 8u);
    EXPECT_NEAR(std::stod(row[4]), c.value[p] / (c.dist0 + c.dist1), 1e-12) << p;
    EXPECT_NEAR(std::stod(row[5]), c.with[p] / c.dist1, 1e-12) << p;
    EXPECT_EQ(row[7], "spatial_table");
  }
}

// 60 players: counted by the table (its plan says so); with win sets on
// two subgames, which only the walk counts, refused with the reason.
TEST(SpatialE2E, BeyondFiftyPlayersTheTableCountsOrTheRunIsRefused) {
  testkit::TempDir dir;
  writeSpatial("wide", 60, 60);
  const testkit::CliRun plan = testkit::runCli("shapley wide --winset 50% --positions pos --plan");
  EXPECT_EQ(plan.status, 0) << plan.err;
  EXPECT_NE(plan.out.find("spatial_table"), std::string::npos) << plan.out;
  const testkit::CliRun run =
      testkit::runCli("shapley wide --winset 50% --positions pos --format csv");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto rows = csvRows(run.out);
  ASSERT_EQ(rows.size(), 60u);
  double sum = 0;
  // Columns: quota (of a share),subgame,player,name,weight,SS,II,winsets,shapley_method.
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 9u);
    const double ss = std::stod(row[5]), ii = std::stod(row[6]);
    EXPECT_TRUE(ss >= 0 && ss <= 1 && ii >= 0 && ii <= 1) << row[2];
    EXPECT_EQ(row[8], "spatial_table");
    sum += ss;
  }
  EXPECT_GT(sum, 0);
  EXPECT_LE(sum, 1);

  writeSpatial("two", 60, 61, {30, 30});
  const testkit::CliRun refused =
      testkit::runCli("shapley two --winset 50%,50% --positions pos --format csv");
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("...the spatial version of more than 50 players is counted for one "
                             "weighted threshold only"),
            std::string::npos)
      << refused.err;
  EXPECT_EQ(refused.out, "");
}
