// The three index commands reached through the menus of the real program,
// run with a key script: what lands in the report files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testkit.h"

namespace {

TEST(IndexCommandsScripted, MenuToReportFiles) {
  struct Case {
    std::string keys;
    std::vector<std::string> report;  // lines of game.out, in order
    std::string block;                // first line of game.ouu
  } cases[] = {
      {"c1game\r1\r1\r4\r0\rn\rabc",
       {"primary data file: game",
        "      1       1       3  0.666667  1.000000     3.00000000000000E+000",
        "decision probability:    0.375000"},
       "0.6667 1.0000"},
      {"c2game\r1\r1\r4\r0\rn\rabc",
       {"      1       1       3  0.750000  0.600000",
        "mean:                    0.416667  0.333333"},
       "0.6000 0.7500"},
      {"c3game\r1\r1\r4\r0\rn\rabc",
       {"      1       1       3  0.500000  1.000000  0.500000",
        "minimal winning coalitions:               2"},
       "0.5000 1.0000 0.5000"},
  };
  for (const Case& c : cases) {
    testkit::TempDir dir;
    testkit::writeFile("game.inp", "1\r\n1\r\n3\r\n3\r\n2\r\n1\r\n");
    testkit::writeFile("vkx.ini", "outputtab=1\r\n");
    const testkit::ProgramRun r = testkit::runProgram(c.keys);
    const std::string& screen = r.screen;
    ASSERT_EQ(r.status, 0) << c.keys;
    EXPECT_NE(screen.find("press any key"), std::string::npos) << screen;
    const std::string out = testkit::readFile("game.out");
    EXPECT_EQ(out.rfind("VKX 2.0" + std::string(48, ' '), 0), 0u) << out;
    std::size_t at = 0;
    for (const std::string& line : c.report) {
      std::size_t found = out.find("\r\n" + line + "\r\n", at);
      EXPECT_NE(found, std::string::npos) << line << "\n" << out;
      if (found != std::string::npos) at = found;
    }
    EXPECT_EQ(testkit::readFile("game.ouu").substr(0, c.block.size() + 2), c.block + "\r\n")
        << c.keys;
  }
}

// A multiple-weights run whose further data file cannot be loaded, or whose
// win sets do not pair up, ends after its message and key wait: no report
// of zeros on the screen or in game.out.
TEST(IndexCommandsScripted, FailedFurtherSystemWritesNoReport) {
  struct Case {
    const char* keys;
    const char* message;  // "" where the engine ends silently
  } cases[] = {
      {"c1game\r2\r1\r4\r0\r2\rmissing\rx", "...system error on loading missing.inp"},
      {"c1game\r2\r1\r4\r0\r2\r\rx", "...system error on loading default.inp"},
      {"c2game\r2\r1\r4\r0\r2\rbig\rx", "...system error on loading big.inp"},
      {"c1game\r2\r1\r4\r0\r2\rgame\r2\r4\r4\rx", "...unequal numbers of thresholds"},
      {"c3game\r2\r1\r4\r0\r2\rgame\r2\r4\r4\r", ""},
      {"c1game\r2\r1\r4\r0\r3\rgame\r1\r4\rgame\r2\r4\r4\r", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    testkit::TempDir dir;
    testkit::writeFile("game.inp", "1\r\n1\r\n3\r\n3\r\n2\r\n1\r\n");
    testkit::writeFile("big.inp", "1\r\n1\r\n4\r\n3\r\n2\r\n1\r\n1\r\n");
    // Keys enough for a whole report: none of them may be taken by one.
    const testkit::ProgramRun r = testkit::runProgram(std::string(c.keys) + "yyyyyyyyyy");
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(testkit::fileExists("game.out")) << testkit::readFile("game.out");
    EXPECT_EQ(r.screen.find("winning coalitions"), std::string::npos) << r.screen;
    if (*c.message) {
      EXPECT_NE(r.screen.find(c.message), std::string::npos) << r.screen;
    }
  }
}

}  // namespace
