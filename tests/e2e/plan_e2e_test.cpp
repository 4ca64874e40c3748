// The plan through the real binary: --plan answers at once for every kind
// of game and names the methods the count then reports; runs beyond the
// limits are refused before anything is counted or written.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <random>
#include <string>
#include <vector>

#include "testkit.h"

namespace {

std::string weights(int n, int lo, int hi, unsigned seed) {
  std::mt19937 rng(seed);
  std::string text = "1\r\n1\r\n" + std::to_string(n) + "\r\n";
  for (int p = 0; p < n; ++p)
    text += std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng)) + "\r\n";
  return text;
}

// The methods of the plan's steps are those the CSV then names, index by
// index, for games of each kind.
TEST(PlanE2E, TheCountUsesTheMethodsItsPlanNames) {
  testkit::TempDir dir;
  testkit::writeFile("eu.inp", testkit::readFile(VKX_SOURCE_DIR "/examples/eu27-votes.inp"));
  testkit::writeFile("wide.inp", weights(150, 1, 30, 1));
  testkit::writeFile("big.inp", weights(20, 1, 500000, 2));
  for (const std::string game : {"eu --winset 255", "wide --winset 50%", "big --winset 60%",
                                 "--members 30,40 --winset 16,21"}) {
    const testkit::CliRun plan = testkit::runCli("all " + game + " --plan --format json");
    ASSERT_EQ(plan.status, 0) << game << plan.err;
    const auto steps = nlohmann::json::parse(plan.out)["steps"];
    const testkit::CliRun run = testkit::runCli("all " + game + " --format json");
    ASSERT_EQ(run.status, 0) << game << run.err;
    const auto methods = nlohmann::json::parse(run.out)["methods"];
    for (const auto& step : steps)
      for (const auto& index : step["indices"])  // coleman is left out of unweighted games
        if (methods.contains(index.get<std::string>())) {
          EXPECT_EQ(methods[index.get<std::string>()], step["method"]) << game << " " << index;
        }
  }
}

// A sweep or `all` beyond the time limit in all is refused before the first
// count, with the total, and nothing is written.
TEST(PlanE2E, RunsBeyondTheLimitsAreRefusedBeforeCounting) {
  testkit::TempDir dir;
  testkit::writeFile("heavy.inp", weights(50, 9000000, 11000000, 7));
  const testkit::CliRun sweep =
      testkit::runCli("shapley heavy --winset 50%:60%:0.01% --output out.csv");
  EXPECT_EQ(sweep.status, 3);
  EXPECT_NE(sweep.err.find("quotas by exact counting; use --estimate"), std::string::npos)
      << sweep.err;
  EXPECT_FALSE(testkit::fileExists("out.csv"));
  const testkit::CliRun plan = testkit::runCli("shapley heavy --winset 50%:60%:0.01% --plan");
  EXPECT_EQ(plan.status, 3);
  EXPECT_NE(plan.out.find("plan: 1001 counts"), std::string::npos) << plan.out;
  // --exhaustive lifts the time limit: the plan then holds.
  EXPECT_EQ(testkit::runCli("shapley heavy --winset 50%:60%:0.01% --plan --exhaustive").status, 0);
}

// Budgets that are true: a --memory beyond the process's limit is held to
// it with a note, and the count still runs; a walk planned under a minute
// (30 players, one of them with a negative weight) is planned, not refused.
TEST(PlanE2E, BudgetsHoldToTheProcessAndQuickWalksRun) {
  testkit::TempDir dir;
#if !defined(__SANITIZE_ADDRESS__)  // its shadow memory alone is beyond such a limit
  testkit::writeFile("w.inp", weights(40, 1, 100, 3));
  std::string out, command = "(ulimit -v 1000000; '";
  command += VKX_BINARY;
  command += "' banzhaf w --winset 50% --memory 5G --format csv) 2>&1";
  ASSERT_EQ(testkit::runCommand(command, &out), 0) << out;
  EXPECT_NE(out.find("is beyond the process's limit: counting within"), std::string::npos) << out;
  EXPECT_NE(out.find("weight_table"), std::string::npos) << out;
#endif
  std::string negative = weights(30, 1, 100, 4);
  negative.insert(negative.find("\r\n", 8) + 2, 1, '-');  // the first weight negative
  testkit::writeFile("n.inp", negative);
  const testkit::CliRun plan = testkit::runCli("shapley n --winset 60% --plan --format json");
  ASSERT_EQ(plan.status, 0) << plan.err << plan.out;
  EXPECT_EQ(nlohmann::json::parse(plan.out)["steps"][0]["method"], "walk");
}

}  // namespace
