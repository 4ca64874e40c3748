// The coalition check: against brute force on random games of every kind
// of rule (the verdict, the critical members, the size of a smallest set
// of absent players that makes a losing coalition win, and that the set
// named does), and the Council's triple majority worked by hand through
// the real binary.
#define GTEST_DONT_DEFINE_FAIL 1  // GoogleTest's FAIL would hide the API's
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <random>
#include <string>

#include "../engines/brute.h"
#include "api/check.h"
#include "testkit.h"

namespace {

TEST(Check, MatchesBruteForceOnEveryKindOfRule) {
  std::mt19937_64 rng(2007);
  for (int round = 0; round < 120; ++round) {
    const int n = 2 + round % 9;
    const weightedwalk::Game g = brute::GAME(rng, n, round % 6);
    const uint64_t yes = rng() & ((uint64_t{1} << n) - 1);
    CHECKTYP c;
    for (int p = 1; p <= n; ++p)
      if (brute::in(yes, p)) c.YES.push_back(p);
    CHECKCOALITION(g, c);
    SCOPED_TRACE("round " + std::to_string(round));
    const bool wins = brute::WINS(g, yes);
    ASSERT_EQ(c.WINS, wins);
    if (wins) {
      std::vector<int> critical;
      for (int p : c.YES)
        if (!brute::WINS(g, yes & ~(uint64_t{1} << (p - 1)))) critical.push_back(p);
      EXPECT_EQ(c.CRITICAL, critical);
      continue;
    }
    // The least number of absent players whose joining wins.
    int least = -1;
    for (uint64_t add = 0; add < (uint64_t{1} << n); ++add)
      if ((add & yes) == 0 && brute::WINS(g, yes | add) &&
          (least < 0 || __builtin_popcountll(add) < least))
        least = __builtin_popcountll(add);
    EXPECT_EQ(c.JOINABLE, least >= 0);
    if (least < 0) continue;
    EXPECT_TRUE(c.SMALLEST);
    EXPECT_EQ(static_cast<int>(c.JOIN.size()), least);
    uint64_t joined = yes;
    for (int p : c.JOIN) joined |= uint64_t{1} << (p - 1);
    EXPECT_TRUE(brute::WINS(g, joined));
  }
}

TEST(Check, TheCouncilsTripleMajorityByHand) {
  testkit::TempDir dir;
  for (const char* f : {"eu27-votes", "eu27-states", "eu27-pop"})
    testkit::writeFile(std::string(f) + ".inp",
                       testkit::readFile(std::string(VKX_SOURCE_DIR "/examples/") + f + ".inp"));
  const std::string rule =
      "check eu27-votes --winset 255 --system eu27-states --winset 14 --system eu27-pop "
      "--winset 62% --format json --yes ";
  const struct {
    const char* yes;
    bool wins;
    int64_t votes, states, population;
    int critical;      // members without whom it loses
    const char* join;  // a smallest set of absent players that makes it win
  } cases[] = {
      // The five largest: short of all three; 9 more states are needed, and
      // the 9 heaviest absent add 126 votes of the 114 missing.
      {"DE,FR,IT,ES,PL", false, 141, 5, 287439, 0, "UK,RO,NL,GR,PT,BE,CZ,HU,SE"},
      // All but UK, FR, IT and MT: exactly 255 votes, so every member is
      // critical (each has at least 3).
      {"DE,ES,PL,RO,NL,GR,PT,BE,CZ,HU,SE,AT,BG,DK,SK,FI,IE,LT,LV,SI,EE,CY,LU", true, 255, 23,
       311343, 23, ""},
      // The 14 smallest: the states are there; 167 votes are missing, which
      // the six heaviest give (170) and no five do (143 at most).
      {"SE,AT,BG,DK,SK,FI,IE,LT,LV,SI,EE,CY,LU,MT", false, 88, 14, 56204, 0, "DE,FR,UK,IT,ES,PL"},
  };
  for (const auto& c : cases) {
    const testkit::CliRun r = testkit::runCli(rule + c.yes);
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::json j = nlohmann::json::parse(r.out);
    SCOPED_TRACE(c.yes);
    EXPECT_EQ(j["wins"], c.wins);
    EXPECT_EQ(j["quota"], 306979);
    const int64_t totals[] = {c.votes, c.states, c.population};
    const int64_t quotas[] = {255, 14, 306979};
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(j["thresholds"][k]["total"], totals[k]);
      EXPECT_EQ(j["thresholds"][k]["quota"], quotas[k]);
    }
    EXPECT_EQ(j["critical"].size(), static_cast<std::size_t>(c.critical));
    std::string join;
    if (!j["join"].is_null())
      for (const auto& name : j["join"]) {
        if (!join.empty()) join += ',';
        join += name.get<std::string>();
      }
    EXPECT_EQ(join, c.join);
  }
  // The usual messages: a name no player has, a range, unweighted data.
  for (const char* bad :
       {"check eu27-votes --winset 255 --yes DE,XX", "check eu27-votes --winset 250:260 --yes DE",
        "check --members 5,5 --winset 3,3 --yes 1"}) {
    const testkit::CliRun r = testkit::runCli(bad);
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_TRUE(r.out.empty()) << bad;
  }
}

}  // namespace
