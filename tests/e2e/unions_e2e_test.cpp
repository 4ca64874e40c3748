// A priori unions through the real binary: the CSV, JSON and report carry
// the same values; each union's Owen values add up to its value in the
// quotient game; the unions' Banzhaf shares add up to one; and the
// command line's usual messages and statuses for bad unions and options.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <map>
#include <string>

#include "testkit.h"

namespace {

using nlohmann::json;

TEST(UnionsE2E, OutputsAgreeAndUnionsAddUp) {
  testkit::TempDir dir;
  for (const char* f : {"eu27-votes", "eu27-states", "eu27-pop"})
    testkit::writeFile(std::string(f) + ".inp",
                       testkit::readFile(std::string(VKX_SOURCE_DIR "/examples/") + f + ".inp"));
  const struct {
    std::string game, unions;
    std::size_t count;
  } cases[] = {
      {"eu27-votes --winset 255", " --unions \"DE,FR,IT;ES,PL;NL,BE,LU\"", 27 - 8 + 3},
      {"eu27-votes --winset 255 --system eu27-states --winset 14 --system eu27-pop --winset 62%",
       " --unions \"DE,FR,UK,IT;ES,PL,RO;NL,GR,PT,BE;CZ,HU,SE,AT,BG;DK,SK,FI,IE,LT;"
       "LV,SI,EE,CY,LU,MT\"",
       6},
  };
  for (const auto& c : cases) {
    const std::string &game = c.game, &unions = c.unions;
    for (const char* index : {"shapley", "banzhaf"}) {
      SCOPED_TRACE(game + " " + index);
      const testkit::CliRun j =
          testkit::runCli(std::string(index) + " " + game + unions + " --format json");
      ASSERT_EQ(j.status, 0) << j.err;
      const json out = json::parse(j.out);
      const bool owen = std::string(index) == "shapley";
      EXPECT_EQ(out["index"], owen ? "owen" : "banzhaf_owen");
      EXPECT_EQ(out["unions"].size(), c.count);
      std::map<int, double> members;
      for (const json& p : out["players"])
        members[p["union"].get<int>()] += p[owen ? "OWEN" : "NBZOWEN"].get<double>();
      double shares = 0;
      for (const json& u : out["unions"]) {
        if (owen) {
          EXPECT_NEAR(members[u["union"].get<int>()], u["SS"].get<double>(), 1e-12);
        }
        shares += u[owen ? "SS" : "NBZ"].get<double>();
      }
      EXPECT_NEAR(shares, 1, 1e-12);
      // The CSV's rows and the report's lines show the same values.
      const std::string csv =
          testkit::runCli(std::string(index) + " " + game + unions + " --format csv").out;
      const auto lines = testkit::split(csv, "\n");
      ASSERT_GE(lines.size(), 28u);
      const auto de = testkit::split(lines[1], ",");
      const double value = out["players"][0][owen ? "OWEN" : "BZOWEN"].get<double>();
      EXPECT_EQ(std::stod(de[de.size() - (owen ? 3 : 5)]), value) << lines[1];
      char shown[32];
      std::snprintf(shown, sizeof shown, "%10.6f", value);
      EXPECT_NE(testkit::runCli(std::string(index) + " " + game + unions).out.find(shown),
                std::string::npos);
    }
  }
  const struct {
    const char* args;
    int status;
    const char* err;
  } bad[] = {
      {"shapley eu27-votes --winset 255 --unions \"DE,FR;FR\"", 2, "in two unions"},
      {"shapley eu27-votes --winset 255 --unions \"DE,DE\"", 2, "named twice"},
      {"shapley eu27-votes --winset 255 --unions \"DE,XX\"", 2, "no player named \"XX\""},
      {"shapley eu27-votes --winset 255 --unions \"1,28\"", 2, "no player 28 among the 27"},
      {"banzhaf eu27-votes --winset 250:260 --unions DE,FR", 2, "one quota, not a range"},
      {"banzhaf --members 10,20 --winset 6,11 --unions 1,2", 2, "weighted games only"},
      {"shapley eu27-votes --winset 255 --unions DE,FR --plot p.svg", 2, "not with --plot"},
      {"publicgood eu27-votes --winset 255 --unions DE,FR", 2, "--unions"},
  };
  for (const auto& b : bad) {
    const testkit::CliRun r = testkit::runCli(b.args);
    EXPECT_EQ(r.status, b.status) << b.args;
    EXPECT_NE(r.err.find(b.err), std::string::npos) << b.args << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << b.args;
  }
}

}  // namespace
