// Rae's and Johnston's indices through the real binary: Rae is 1/2 + NNBZ/2
// wherever the Banzhaf index is counted (one threshold, the Council's
// triple majority, unweighted chambers); Johnston's index sums to one and
// its method follows the rule (the table for one threshold, the walk for a
// triple majority); neither is sampled, Johnston takes weighted data only,
// and the help names the indices by their other names.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>

#include "testkit.h"

namespace {

using nlohmann::json;

json run(const std::string& args) {
  const testkit::CliRun r = testkit::runCli(args + " --format json");
  EXPECT_EQ(r.status, 0) << args << r.err;
  return r.status == 0 ? json::parse(r.out) : json::object();
}

TEST(JohnstonRaeE2E, RaeIsHalfThePenroseMeasureAboveOneHalfAndJohnstonSumsToOne) {
  testkit::TempDir dir;
  for (const char* f : {"eu27-votes", "eu27-states", "eu27-pop", "us-electoral-college-2020"})
    testkit::writeFile(std::string(f) + ".inp",
                       testkit::readFile(std::string(VKX_SOURCE_DIR "/examples/") + f + ".inp"));
  const struct {
    std::string game;
    const char* johnston;  // the method, "" where not counted
  } cases[] = {
      {"eu27-votes --winset 255", "johnston_table"},
      {"us-electoral-college-2020 --winset 270", "johnston_table"},
      {"eu27-votes --winset 255 --system eu27-states --winset 14 --system eu27-pop --winset 62%",
       "walk"},
      {"--weights 5,3,2 --weights 1,1,4 --winset 6,3 --winset 10,0", "walk"},
      {"--members 10,20 --winset 6,11", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.game);
    // A list counts every index it names; `all` leaves Johnston out of
    // unweighted data.
    const json all = run((*c.johnston ? "banzhaf,rae,johnston " : "all ") + c.game);
    double ji = 0;
    for (const json& row : all["players"]) {
      EXPECT_NEAR(row["RAE"].get<double>(), 0.5 + row["NNBZ"].get<double>() / 2, 1e-15);
      if (*c.johnston) ji += row["JI"].get<double>();
    }
    if (*c.johnston) {
      EXPECT_NEAR(ji, 1, 1e-12);
      EXPECT_EQ(all["methods"]["johnston"], c.johnston);
    } else {
      EXPECT_FALSE(all["methods"].contains("johnston"));
      const testkit::CliRun alone = testkit::runCli("johnston " + c.game);
      EXPECT_EQ(alone.status, 3);
      EXPECT_EQ(alone.err, "...johnston: weighted data only\n");
    }
  }
  const testkit::CliRun sampled = testkit::runCli("johnston eu27-votes --winset 255 --estimate");
  EXPECT_EQ(sampled.status, 2);
  EXPECT_EQ(sampled.err.substr(0, 40), "vkx: --estimate: johnston is not estimat");
  const std::string help = testkit::runCli("--help").out;
  for (const char* name : {"Penrose", "Holler", "Rae", "Johnston", "Coleman", "Owen"})
    EXPECT_NE(help.find(name), std::string::npos) << name;
}

}  // namespace
