// The working-plan engine run through the real program in scripted mode,
// from the Shapley command's questions to the report file.
#include <gtest/gtest.h>

#include <string>

#include "testkit.h"

namespace {

using testkit::runProgram;

TEST(IsaEndToEnd, WorkingPlanThroughTheShapleyCommand) {
  testkit::TempDir dir;
  testkit::writeFile("vkx.ini", "version=internal\r\n");
  testkit::writeFile("g.inp", "0\r\n2\r\n3\r\n2\r\n");
  // Chambers of 3 and 2. Box 1 [2,3]*[1,2] needs 3 members of chamber 1,
  // box 2 [1,3]*[2,2] needs 3 members in all, box 3 [3,3]*[0,2] has no
  // overall threshold. Winning vectors (3,0) (3,1) (3,2) (1,2) (2,2) hold
  // 1 + 2 + 1 + 3 + 3 = 10 coalitions.
  testkit::ProgramRun r = runProgram("c1g\r4\r3\r2\r1\r1\r2\r3\r0\r3\r1\r3\r2\rn\r          ");
  EXPECT_EQ(r.status, 0) << r.screen;
  std::string out = testkit::readFile("g.out");
  EXPECT_NE(out.find("winning coalitions:            10\r\n"), std::string::npos) << out;
  EXPECT_NE(out.find("sum of all:              1.000000"), std::string::npos) << out;
  EXPECT_NE(out.find("subgame         1:       0.500000"), std::string::npos) << out;

  // Stopped at the engine's question, the notice lines and the prompt show.
  r = runProgram("c1g\r4\r3\r2\r1\r1\r2\r3\r0\r3\r1\r3\r2\r");
  EXPECT_EQ(r.status, 0) << r.screen;
  for (const char* line : {"│procedure for working plans of the ISBA",
                           "│you shall define at least 3 win sets", "│screen control (y/n):"})
    EXPECT_NE(r.screen.find(line), std::string::npos) << r.screen;
}

}  // namespace
