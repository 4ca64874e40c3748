// Coleman's powers of the command line against a count over every coalition
// of small random weighted games, in both CSV and JSON.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "testkit.h"

namespace {

TEST(ColemanE2E, CsvAndJsonMatchACountOverAllCoalitions) {
  testkit::TempDir dir;
  std::mt19937 rng(20261209);
  for (int game = 0; game < 30; ++game) {
    const int n = 1 + static_cast<int>(rng() % 7);
    std::vector<int> w(n);
    int total = 0;
    std::string inp = "1\r\n1\r\n" + std::to_string(n) + "\r\n";
    for (int& x : w) {
      x = 1 + static_cast<int>(rng() % 9);
      total += x;
      inp += std::to_string(x) + "\r\n";
    }
    const int quota = 1 + static_cast<int>(rng() % total);
    testkit::writeFile("g.inp", inp);
    std::vector<double> swings(n, 0.0);
    double wins = 0;
    for (int c = 0; c < (1 << n); ++c) {
      int sum = 0;
      for (int p = 0; p < n; ++p) sum += (c >> p & 1) ? w[p] : 0;
      if (sum < quota) continue;
      ++wins;
      for (int p = 0; p < n; ++p)
        if ((c >> p & 1) && sum - w[p] < quota) ++swings[p];
    }
    const double losing = std::ldexp(1.0, n) - wins;
    const std::string args = "coleman g --winset " + std::to_string(quota) + " --format ";
    std::string csv, js;
    ASSERT_EQ(testkit::runCommand(std::string("'") + VKX_BINARY + "' " + args + "csv", &csv), 0);
    ASSERT_EQ(testkit::runCommand(std::string("'") + VKX_BINARY + "' " + args + "json", &js), 0);
    const auto rows = nlohmann::json::parse(js)["players"];
    std::istringstream lines(testkit::withoutQuotas(csv));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "subgame,player,name,weight,PREVENT,INITIATE,coleman_method");
    for (int p = 0; p < n; ++p) {
      const double prevent = wins == 0 ? 0 : swings[p] / wins;
      const double initiate = losing == 0 ? 0 : swings[p] / losing;
      std::getline(lines, line);
      std::vector<std::string> f = testkit::split(line, ",");
      ASSERT_EQ(f.size(), 7u) << line;
      const std::string where = "game " + std::to_string(game) + " player " + std::to_string(p);
      EXPECT_NEAR(std::strtod(f[4].c_str(), nullptr), prevent, 1e-12) << where;
      EXPECT_NEAR(std::strtod(f[5].c_str(), nullptr), initiate, 1e-12) << where;
      EXPECT_NEAR(rows[p]["PREVENT"].get<double>(), prevent, 1e-12) << where;
      EXPECT_NEAR(rows[p]["INITIATE"].get<double>(), initiate, 1e-12) << where;
    }
  }
}

// N equal players and quota 3: a player's swings are the C(N-1, 2)
// coalitions of three with it, and only the 1 + N + C(N, 2) coalitions
// below three lose. Beyond 53 players the losing coalitions are too few to
// survive 2^N less a rounded winning count.
TEST(ColemanE2E, FewLosingCoalitionsOfManyPlayers) {
  testkit::TempDir dir;
  struct Case {
    int n;
    const char* index;
    std::size_t column;  // INITIATE in the CSV rows
  };
  for (const Case& c : {Case{70, "coleman", 5}, Case{60, "all", 16}, Case{200, "coleman", 5}}) {
    std::string weights = "1";
    for (int p = 2; p <= c.n; ++p) weights += ",1";
    const testkit::CliRun run = testkit::runCli(std::string(c.index) + " --weights " + weights +
                                                " --winset 3 --format csv");
    ASSERT_EQ(run.status, 0) << run.err;
    const double n = c.n, swings = (n - 1) * (n - 2) / 2, losing = 1 + n + n * (n - 1) / 2;
    // Every player alike: the first row stands for all.
    const std::vector<std::string> f =
        testkit::split(testkit::split(testkit::withoutQuotas(run.out), "\n").at(1), ",");
    ASSERT_GT(f.size(), c.column) << run.out;
    EXPECT_NEAR(std::strtod(f[c.column].c_str(), nullptr), swings / losing, 1e-12) << c.n;
  }
}

TEST(ColemanE2E, RefusedWithoutPerPlayerSwings) {
  testkit::TempDir dir;
  testkit::writeFile("u.inp", "0\r\n2\r\n3\r\n4\r\n");
  EXPECT_EQ(
      testkit::runCommand(std::string("'") + VKX_BINARY + "' coleman u --winset 2,3 2>/dev/null"),
      3);
}

}  // namespace
