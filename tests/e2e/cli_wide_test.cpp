// Games beyond the 50 players of the interactive program, through the real
// command line: players of weight 0 added to a game change no other player's
// value (a differential test of the 50-player path against the wide one),
// counts beyond a double stay finite text, the budget refuses at once, and
// sampled estimates lie within their errors of the counts.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "testkit.h"

namespace {

using Cli = testkit::CliRun;
Cli cli(const std::string& args) { return testkit::runCli(args); }

// A weighted data file of the subgames' weights.
std::string dataFile(const std::vector<std::vector<int>>& subgames) {
  std::string text = "1\r\n" + std::to_string(subgames.size()) + "\r\n";
  for (const auto& weights : subgames) {
    text += std::to_string(weights.size()) + "\r\n";
    for (int w : weights) text += std::to_string(w) + "\r\n";
  }
  return text;
}

// The CSV's rows after the titles, split into fields.
std::vector<std::vector<std::string>> csvRows(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  const auto lines = testkit::split(testkit::withoutQuotas(csv), "\n");
  for (std::size_t i = 1; i < lines.size(); ++i)
    if (!lines[i].empty()) rows.push_back(testkit::split(lines[i], ","));
  return rows;
}

}  // namespace

TEST(CommandLineWide, ZeroWeightPlayersChangeNoValueBeyondFiftyPlayers) {
  testkit::TempDir dir;
  std::mt19937 rng(51);
  for (int round = 0; round < 6; ++round) {
    // Two subgames of 10-25 players; the wide game gives each 15-40 more
    // players of weight 0, placed among the others.
    std::vector<std::vector<int>> small(2), wide(2);
    std::vector<std::vector<bool>> dummy(2);
    int quota[2];
    for (int s = 0; s < 2; ++s) {
      const int n = std::uniform_int_distribution<int>(10, 25)(rng);
      int total = 0;
      for (int p = 0; p < n; ++p)
        small[s].push_back(std::uniform_int_distribution<int>(1, 40)(rng));
      for (int w : small[s]) total += w;
      quota[s] = std::uniform_int_distribution<int>(total / 3, total * 3 / 4)(rng);
      std::size_t next = 0;
      const int zeros = std::uniform_int_distribution<int>(15, 40)(rng);
      for (int z = 0; next < small[s].size() || z < zeros;) {
        const bool zero = z < zeros && (next == small[s].size() || rng() % 2 == 0);
        wide[s].push_back(zero ? 0 : small[s][next]);
        dummy[s].push_back(zero);
        zero ? ++z : ++next;
      }
    }
    testkit::writeFile("small.inp", dataFile(small));
    testkit::writeFile("wide.inp", dataFile(wide));
    const std::string rule =
        " --winset " + std::to_string(quota[0]) + "," + std::to_string(quota[1]) + " --format csv";
    const Cli a = cli("all small" + rule), b = cli("all wide" + rule);
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    const auto rowsA = csvRows(a.out), rowsB = csvRows(b.out);
    // Columns: subgame,player,name,weight, SS,II,winsets,shapley_method,
    // NNBZ,NBZ,banzhaf_method, PGI,MBP,DPI,publicgood_method,
    // PREVENT,INITIATE,coleman_method.
    const int extra =
        static_cast<int>(wide[0].size() + wide[1].size() - small[0].size() - small[1].size());
    std::size_t ra = 0, rb = 0;
    for (int s = 0; s < 2; ++s)
      for (bool zero : dummy[s]) {
        const auto& row = rowsB[rb++];
        for (int c : {4, 8, 9, 11, 12, 13, 15, 16}) {
          if (zero) {
            EXPECT_EQ(std::stod(row[c]), 0.0) << row[c];
            continue;
          }
          const double want = std::stod(rowsA[ra][c]);
          EXPECT_NEAR(std::stod(row[c]), want, 1e-12 * std::max(1.0, want)) << round << " " << c;
        }
        if (!zero) {
          // Each player of weight 0 doubles the winning coalitions.
          EXPECT_NEAR(std::stod(row[6]) / std::stod(rowsA[ra][6]), std::ldexp(1.0, extra),
                      1e-9 * std::ldexp(1.0, extra));
          EXPECT_NEAR(std::stod(row[5]), std::stod(rowsA[ra][5]), 1e-12);
          ++ra;
        }
      }
    EXPECT_EQ(ra, rowsA.size());
  }
}

TEST(CommandLineWide, CountsBeyondADoubleAreTextNeverInfinite) {
  testkit::TempDir dir;
  testkit::writeFile("chamber.inp", "0\r\n1\r\n1100\r\n");
  testkit::writeFile("holders.inp", dataFile({std::vector<int>(1100, 1)}));
  const Cli csv = cli("shapley chamber --winset 551 --format csv");
  ASSERT_EQ(csv.status, 0) << csv.err;
  const std::string winsets = csvRows(csv.out)[0][6];
  EXPECT_EQ(winsets.substr(winsets.size() - 5), "E+330") << winsets;
  auto json = nlohmann::json::parse(cli("all chamber --winset 551 --format json").out);
  EXPECT_EQ(json["players"][0]["winsets"].get<std::string>(), winsets);
  // 1100 weighted holders: each one's swings exceed a double.
  const Cli holders = cli("banzhaf holders --winset 551 --format csv");
  ASSERT_EQ(holders.status, 0) << holders.err;
  EXPECT_EQ(csvRows(holders.out).size(), 1100u);
  json = nlohmann::json::parse(cli("banzhaf holders --winset 551 --format json").out);
  for (const auto& row : json["players"]) {
    EXPECT_NEAR(row["NBZ"].get<double>(), 1 / 1100.0, 1e-15);
    EXPECT_NEAR(row["NNBZ"].get<double>(), 0.024051657768231812, 1e-15);
  }
  for (const std::string& out : {csv.out, holders.out})
    EXPECT_EQ(out.find("inf"), std::string::npos);
}

TEST(CommandLineWide, BudgetRefusesAtOnceAndEstimatesLieWithinTheirErrors) {
  testkit::TempDir dir;
  std::vector<int> heavy;
  std::mt19937 rng(5);
  for (int p = 0; p < 50; ++p)
    heavy.push_back(std::uniform_int_distribution<int>(9'000'000, 11'000'000)(rng));
  testkit::writeFile("heavy.inp", dataFile({heavy}));
  const Cli refused = cli("shapley heavy --winset 50% --memory 64M --output x.csv");
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("hours by exhaustive counting; use --estimate"), std::string::npos)
      << refused.err;
  EXPECT_FALSE(testkit::fileExists("x.csv"));
  EXPECT_EQ(cli("shapley heavy --winset 1 --memory 12X").status, 2);
  EXPECT_EQ(cli("shapley heavy --winset 1 --estimate 2").status, 2);

  // The Electoral College's weights: estimates against the counts.
  const std::vector<int> votes{54, 40, 30, 28, 19, 19, 17, 16, 16, 15, 14, 13, 12, 11, 11, 11, 11,
                               10, 10, 10, 10, 10, 9,  9,  8,  8,  8,  7,  7,  6,  6,  6,  6,  6,
                               6,  5,  5,  4,  4,  4,  4,  4,  4,  4,  3,  3,  3,  3,  3,  3,  3};
  testkit::writeFile("ec.inp", dataFile({votes}));
  const auto exact = csvRows(cli("all ec --winset 270 --format csv").out);
  const Cli sampled = cli("all ec --winset 270 --estimate 0.002 --format csv");
  ASSERT_EQ(sampled.status, 0) << sampled.err;
  EXPECT_EQ(testkit::split(sampled.out, "\n")[0],
            "quota,subgame,player,name,weight,SS,SS_error,shapley_method,NNBZ,NBZ,NNBZ_error,"
            "NBZ_error,banzhaf_method,PGI,DPI,PGI_error,DPI_error,publicgood_method");
  const auto rows = csvRows(sampled.out);
  ASSERT_EQ(rows.size(), exact.size());
  // [estimate column, its error column, the exact column]
  const int pairs[][3] = {{4, 5, 4}, {7, 9, 8}, {8, 10, 9}, {12, 14, 11}, {13, 15, 13}};
  int inside = 0, all = 0;
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (const auto& p : pairs) {
      const double error = std::stod(rows[r][p[1]]);
      EXPECT_LE(error, 0.002);
      inside += std::fabs(std::stod(rows[r][p[0]]) - std::stod(exact[r][p[2]])) <= 3 * error;
      ++all;
    }
  EXPECT_GE(inside, all * 97 / 100) << inside << " of " << all;
  // Counted in well under a second: counted exactly, not sampled, and said so.
  const Cli quick = cli("banzhaf ec --winset 270 --estimate 0.002");
  EXPECT_NE(quick.out.find("counted exactly by"), std::string::npos) << quick.out;
  EXPECT_NE(quick.err.find("banzhaf: counted exactly"), std::string::npos) << quick.err;
}

// Weights and quotas multiplied by a common factor give the same game: every
// value and the method that counted it equal the unscaled game's, and the
// plan's memory too (each system's weights are divided by their greatest
// common divisor before the plan), on random games of one or two subgames
// and on 66 players of weights (1..300) x 33333.
TEST(CommandLineWide, ScaledWeightsCountAsTheUnscaled) {
  testkit::TempDir dir;
  std::mt19937 rng(27);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  // Every column but the weight.
  auto values = [](const std::string& csv) {
    auto rows = csvRows(csv);
    for (auto& row : rows) row.erase(row.begin() + 3);
    return rows;
  };
  for (int round = 0; round < 13; ++round) {
    const bool large = round == 12;
    const int subgames = large ? 1 : pick(1, 2), factor = large ? 33333 : pick(2, 1000);
    std::vector<std::vector<int>> plain(subgames), scaled(subgames);
    std::string quota, quotaScaled;
    for (int s = 0; s < subgames; ++s) {
      int total = 0;
      for (int p = large ? 66 : pick(3, 12); p > 0; --p) {
        plain[s].push_back(large ? pick(1, 300) : pick(1, 30));
        scaled[s].push_back(plain[s].back() * factor);
        total += plain[s].back();
      }
      const int q = pick(total / 3, total);
      // A scaled quota anywhere in (q-1) * factor + 1 .. q * factor wins as q.
      const int qs = (q - 1) * factor + pick(1, factor);
      if (s > 0) quota += ",", quotaScaled += ",";
      quota += std::to_string(q);
      quotaScaled += std::to_string(qs);
    }
    testkit::writeFile("plain.inp", dataFile(plain));
    testkit::writeFile("scaled.inp", dataFile(scaled));
    const std::string index = large ? "shapley" : "all";
    const Cli a = cli(index + " plain --winset " + quota + " --format csv");
    const Cli b = cli(index + " scaled --winset " + quotaScaled + " --format csv");
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(values(a.out), values(b.out)) << round;
    const auto planA = nlohmann::json::parse(
        cli(index + " plain --winset " + quota + " --plan --format json").out);
    const auto planB = nlohmann::json::parse(
        cli(index + " scaled --winset " + quotaScaled + " --plan --format json").out);
    EXPECT_EQ(planA["bytes"], planB["bytes"]) << round;
  }
}

// Many holders on one threshold: the public good counts are planned and
// done by the minimal coalitions' program; holders of one weight get one
// value, and each index sums to 1.
TEST(CommandLineWide, ManyHoldersCountTheirMinimalCoalitions) {
  testkit::TempDir dir;
  std::mt19937 rng(27);
  std::vector<int> w;
  for (int p = 0; p < 300; ++p) w.push_back(std::uniform_int_distribution<int>(1, 20)(rng));
  testkit::writeFile("holders.inp", dataFile({w}));
  const Cli plan = cli("publicgood holders --winset 50% --plan");
  EXPECT_NE(plan.out.find("minimal_program"), std::string::npos) << plan.out;
  const Cli csv = cli("publicgood holders --winset 50% --format csv");
  ASSERT_EQ(csv.status, 0) << csv.err;
  const auto rows = csvRows(csv.out);  // subgame,player,name,weight,PGI,MBP,DPI,method
  ASSERT_EQ(rows.size(), w.size());
  double pgi = 0, dpi = 0;
  std::vector<double> byWeight(21, -1);
  for (const auto& row : rows) {
    EXPECT_EQ(row.back(), "minimal_program");
    pgi += std::stod(row[4]);
    dpi += std::stod(row[6]);
    double& seen = byWeight[std::stoi(row[3])];
    if (seen < 0) seen = std::stod(row[4]);
    EXPECT_NEAR(std::stod(row[4]), seen, 1e-15);
  }
  EXPECT_NEAR(pgi, 1, 1e-12);
  EXPECT_NEAR(dpi, 1, 1e-12);
}
