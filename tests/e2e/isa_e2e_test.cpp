// The working-plan engine run through the real program in scripted mode,
// from the Shapley command's questions to the report file; the largest
// chamber the program takes, in all three reports.
#include <gmpxx.h>
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

// One chamber of 65535 members, a simple majority: every report field
// finite and right, the counts beyond a double written digit for digit.
TEST(IsaEndToEnd, TheLargestChamberInEveryReport) {
  testkit::TempDir dir;
  testkit::writeFile("big.inp", "0\r\n1\r\n65535\r\n");
  const std::string rule = "big\r1\r32768\rn\r          ";
  for (const char* command : {"c1", "c2", "c3"})
    EXPECT_EQ(runProgram(command + rule).status, 0) << command;
  // Screen control walks the vectors and takes the same totals.
  EXPECT_EQ(runProgram("c1big\r1\r32768\ry\r          ").status, 0);
  const std::string out = testkit::readFile("big.out");
  const std::size_t second = out.find("primary data file", out.rfind("time 2:"));
  ASSERT_NE(second, std::string::npos);
  const std::string quiet = out.substr(out.find("primary data file"));
  const std::string walked = out.substr(second);
  EXPECT_EQ(quiet.substr(0, quiet.find("time1:")), walked.substr(0, walked.find("time1:")));
  EXPECT_EQ(out.find("INF"), std::string::npos) << out.substr(0, 2000);
  EXPECT_EQ(out.find("NAN"), std::string::npos) << out.substr(0, 2000);
  // Half of all coalitions win: 2^65534, a power of two a double holds
  // exactly in its extended range.
  mpz_class half;
  mpz_ui_pow_ui(half.get_mpz_t(), 2, 65534);
  EXPECT_NE(out.find("winning coalitions:    " + half.get_str() + "\r\n"), std::string::npos);
  for (const char* line :
       {"      1       i       1  0.000015  0.501558   2.51221809608096E+19727\r\n",
        "sum of all:              1.000000", "decision probability:    0.500000\r\n",
        // Each member swings in C(65534, 32767) of 2^65534 coalitions.
        "      1       i       1  0.003117  0.000015\r\n",
        "sum of subgame  1:     204.257668  1.000000\r\n",
        "      1       i       1  0.000015  0.500008  0.000015\r\n",
        "minimal winning coalitions: 31222255868546"})
    EXPECT_NE(out.find(line), std::string::npos) << line;
}

}  // namespace
