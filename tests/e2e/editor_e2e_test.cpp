// The editor, list and help commands driven through the real program
// in scripted mode: the keys come from a file, and when they run out the
// program prints its screen and ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "testkit.h"

namespace {

using testkit::ProgramRun;
using testkit::runProgram;

bool shows(const ProgramRun& r, const std::string& text) {
  return r.screen.find(text) != std::string::npos;
}

TEST(EditorEndToEnd, EditorCreatesAndThenRewritesADataFile) {
  testkit::TempDir dir;
  ProgramRun r = runProgram("degame.inp\r1\r2\r2\r3\r4\r1\r9\r");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(shows(r, "│...creating data file game.inp")) << r.screen;
  EXPECT_TRUE(shows(r, "│  weight player 1: 9")) << r.screen;
  EXPECT_TRUE(shows(r, "\npress any key\n")) << r.screen;
  const std::string expected =
      "1  {datastructure weighted} \r\n2  {number of subgames}\r\n"
      "2  {number of players subgame 1}\r\n3  {weight player 1}\r\n4  {weight player 2}\r\n"
      "1  {number of players subgame 2}\r\n9  {weight player 1}\r\n";
  EXPECT_EQ(testkit::readFile("game.inp"), expected);

  // Second visit, Enter everywhere: the same file again, and no "creating".
  r = runProgram("degame\r\r\r\r\r\r\r\r");
  EXPECT_FALSE(shows(r, "creating")) << r.screen;
  EXPECT_EQ(testkit::readFile("game.inp"), expected);
}

TEST(EditorEndToEnd, ValuesReadAsZeroAreShownAfterLoading) {
  // Five values that read as 0: the editor and an index command show three
  // of them, then how many more, and go on with the game as read.
  testkit::TempDir dir;
  testkit::writeFile("frac.inp", "1\r\n1\r\n5\r\n1.5\r\n7,9 {x}\r\nabc\r\n\r\n");
  for (const char* keys : {"defrac\r", "c1frac\r"}) {
    const ProgramRun r = runProgram(keys);
    EXPECT_TRUE(shows(r, "│...frac.inp line 4: '1.5' read as 0")) << r.screen;
    EXPECT_TRUE(shows(r, "│...frac.inp line 5: '7,9 {x}' read as 0")) << r.screen;
    EXPECT_TRUE(shows(r, "│...frac.inp line 6: 'abc' read as 0")) << r.screen;
    EXPECT_TRUE(shows(r, "│...and 2 more lines read as 0")) << r.screen;
  }
}

TEST(EditorEndToEnd, ListFileThenBackToTheMenu) {
  testkit::TempDir dir;
  testkit::writeFile("r.out", "alpha\r\nbeta\r\n");
  // Two keys for the lines, three more, then "x" ends "press any key" and,
  // read again by the menu, does nothing; "d" opens the data menu.
  ProgramRun r = runProgram("dlr.out\rabcdexd");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(shows(r, "│quit")) << r.screen;
  EXPECT_FALSE(shows(r, "alpha")) << "the listing was cleared" << r.screen;

  r = runProgram("dlr.out\rab");
  EXPECT_TRUE(shows(r, "│alpha")) << r.screen;
  EXPECT_TRUE(shows(r, "│beta")) << r.screen;
  EXPECT_FALSE(shows(r, "press any key")) << "three more keys are needed first";
}

TEST(EditorEndToEnd, HelpFileBesideTheProgramIsShown) {
  testkit::TempDir dir;
  std::ifstream help(std::string(VKX_SOURCE_DIR) + "/shell/vkx.hlp");
  std::string first;
  std::getline(help, first);
  ProgramRun r = runProgram("oi");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(shows(r, "│" + first)) << r.screen;
  EXPECT_FALSE(shows(r, "no help available"));
}

// Hand-written player names stay; a file another program saved while the
// editor had it open is left as that program wrote it.
TEST(EditorEndToEnd, NamesAreKeptAndAFileChangedOnDiskIsNotOverwritten) {
  testkit::TempDir dir;
  const std::string named = "1\r\n1\r\n2\r\n29 {CDU/CSU}\r\n7  {weight player 2} { SPD }\r\n";
  testkit::writeFile("g.inp", named);
  ProgramRun r = runProgram("deg\r\r\r\r\r9\r");
  EXPECT_EQ(testkit::readFile("g.inp"),
            "1  {datastructure weighted} \r\n1  {number of subgames}\r\n"
            "2  {number of players subgame 1}\r\n29  {weight player 1} {CDU/CSU}\r\n"
            "9  {weight player 2} {SPD}\r\n");

  // The keys up to the last weight, then the file changes, then Enter.
  testkit::writeFile("g.inp", named);
  const std::string cmd = std::string("{ printf 'deg\\r\\r\\r\\r\\r'; sleep 1; ") +
                          "printf 'other\\n' > g.inp; printf '\\r'; } | " + VKX_BINARY +
                          " --keys - > screen.txt 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(testkit::readFile("g.inp"), "other\n");
  EXPECT_NE(testkit::readFile("screen.txt").find("│...file g.inp changed on disk, not saved"),
            std::string::npos)
      << testkit::readFile("screen.txt");
}

}  // namespace
