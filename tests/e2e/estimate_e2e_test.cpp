// Estimates through the real command line: the sample count, not the
// clock, decides a run, so the same command prints the same bytes; a game
// counted exactly in under a second is counted, with a note and the exact
// method named; a run planned beyond the time limit is refused before it
// starts, with the time it would take.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "testkit.h"

namespace {

using Cli = testkit::CliRun;
Cli cli(const std::string& args) { return testkit::runCli(args); }

// A data file of one subgame of N players with weights 1..TOP.
void writeGame(const std::string& name, int n, int top, unsigned seed) {
  std::mt19937 rng(seed);
  std::string text = "1\r\n1\r\n" + std::to_string(n) + "\r\n";
  for (int p = 0; p < n; ++p)
    text += std::to_string(std::uniform_int_distribution<int>(1, top)(rng)) + "\r\n";
  testkit::writeFile(name + ".inp", text);
}

}  // namespace

TEST(CommandLineEstimate, SameCommandSameBytes) {
  testkit::TempDir dir;
  // Weights too large for a quick exact count: every index is sampled.
  writeGame("wide", 120, 10'000'000, 4);
  for (const char* format : {"csv", "json"}) {
    const std::string args =
        std::string("all wide --winset 50% --estimate 0.005 --format ") + format;
    const Cli first = cli(args), second = cli(args);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("sampling"), std::string::npos);
    if (std::string(format) == "csv") {
      EXPECT_EQ(first.out, second.out);
    }
    // JSON also holds the time stamps and the seconds measured.
    auto steady = [](std::string text) {
      for (const char* key : {"\"time1\"", "\"time2\"", "\"seconds\""})
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1))
          text.erase(at, text.find('\n', at) - at);
      return text;
    };
    if (std::string(format) == "json") {
      EXPECT_EQ(steady(first.out), steady(second.out));
    }
  }
}

TEST(CommandLineEstimate, TinyGameCountedExactlyAndSaid) {
  testkit::TempDir dir;
  testkit::writeFile("tiny.inp", "1\r\n1\r\n4\r\n5\r\n3\r\n2\r\n1\r\n");
  const Cli run = cli("all tiny --winset 6 --estimate 0.01 --format csv");
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* index : {"shapley", "banzhaf", "publicgood"})
    EXPECT_NE(run.err.find(std::string("vkx: ") + index + ": counted exactly by"),
              std::string::npos)
        << run.err;
  const auto lines = testkit::split(run.out, "\n");
  const auto titles = testkit::split(lines[0], ",");
  // Player 1 (weight 5): SS 1/2, NBZ 1/2, PGI 1/3, every error 0.
  const auto row = testkit::split(lines[1], ",");
  ASSERT_EQ(row.size(), titles.size());
  for (std::size_t c = 0; c < titles.size(); ++c) {
    const std::string& t = titles[c];
    if (t.size() > 7 && t.substr(t.size() - 7) == "_method") {
      EXPECT_NE(row[c], "sampling") << t;
      EXPECT_FALSE(row[c].empty()) << t;
    } else if (t.size() > 6 && t.substr(t.size() - 6) == "_error") {
      EXPECT_EQ(std::stod(row[c]), 0) << t;
    } else if (t == "SS" || t == "NBZ") {
      EXPECT_DOUBLE_EQ(std::stod(row[c]), 0.5) << t;
    } else if (t == "PGI") {
      EXPECT_DOUBLE_EQ(std::stod(row[c]), 1.0 / 3) << t;
    }
  }
  const Cli report = cli("shapley tiny --winset 6 --estimate 0.01");
  EXPECT_NE(report.out.find("counted exactly by"), std::string::npos) << report.out;
}

TEST(CommandLineEstimate, BeyondTheLimitRefusedBeforeItStarts) {
  testkit::TempDir dir;
  writeGame("huge", 3000, 1'000'000, 7);
  const Cli refused = cli("shapley huge --winset 50% --estimate 0.00001 --output x.csv");
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("...about "), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find(" by sampling; use a larger --estimate error"), std::string::npos)
      << refused.err;
  EXPECT_FALSE(testkit::fileExists("x.csv"));
  // The plan shows the refused step with its samples.
  const Cli plan = cli("shapley huge --winset 50% --estimate 0.00001 --plan");
  EXPECT_NE(plan.out.find("refused; sampling would take"), std::string::npos) << plan.out;
}
