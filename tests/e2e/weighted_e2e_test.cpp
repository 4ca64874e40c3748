// The weighted engines reached through the real program in scripted mode:
// the index commands ask for the game, the engines for their run mode, and
// the listing lands beside the data file.
#include <gtest/gtest.h>

#include <string>

#include "testkit.h"

namespace {

using testkit::runProgram;

TEST(WeightedEndToEnd, ShapleyCommandListsWinningCoalitions) {
  testkit::TempDir dir;
  testkit::writeFile("game.inp", "1\r\n1\r\n3\r\n3\r\n2\r\n1\r\n");
  // Compute menu, Shapley; standard version; one win set of quota 4; no
  // overall threshold; report mode at once.
  const testkit::ProgramRun r = runProgram("c1game\r1\r1\r4\r0\rw\r");
  const std::string& screen = r.screen;
  EXPECT_EQ(r.status, 0) << screen;
  EXPECT_NE(screen.find("│winning coalitions"), std::string::npos) << screen;
  EXPECT_NE(screen.find("│     3: 1/2/3/"), std::string::npos) << screen;
  const std::string listing = testkit::readFile("game.ouu");
  EXPECT_EQ(listing.rfind("1/2/\r\n1/3/\r\n1/2/3/\r\n\r\n", 0), 0u) << listing;
}

TEST(WeightedEndToEnd, PublicGoodCommandWithTwoVoteSystems) {
  testkit::TempDir dir;
  testkit::writeFile("game.inp", "1\r\n1\r\n3\r\n3\r\n2\r\n1\r\n");
  testkit::writeFile("second.inp", "1\r\n1\r\n3\r\n1\r\n2\r\n3\r\n");
  // Multiple weights; quota 4 in both systems: only {1, 3} is minimal in
  // both.
  const testkit::ProgramRun r = runProgram("c3game\r2\r1\r4\r0\r2\rsecond\r1\r4\rw\r");
  const std::string& screen = r.screen;
  EXPECT_EQ(r.status, 0) << screen;
  EXPECT_NE(screen.find("│     1: 1/3/"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("│     2:"), std::string::npos) << screen;
  EXPECT_EQ(testkit::readFile("game.ouu").rfind("1/3/\r\n\r\n", 0), 0u);
}

}  // namespace
