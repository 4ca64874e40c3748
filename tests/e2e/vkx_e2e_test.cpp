// The real program, started as a user starts it: with a key script, and on a
// terminal (tmux) for the terminal handling.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "testkit.h"

namespace {

using testkit::runCommand;

const std::string VKX = VKX_BINARY;

TEST(ScriptedRun, PrintsTheScreenWhenTheKeysRunOut) {
  struct Case {
    std::string keys;
    std::vector<std::pair<int, std::string>> rows;  // row number, exact text
  } cases[] = {
      {"",
       {{1, "data  compute  options                                                  VKX 2.0"},
        {7, "                     VKX 2.0 - Verkanix V2.0 R5/05"}}},
      {"x", {{7, ""}, {2, ""}}},
      {"d", {{2, "┌──────────┐"}, {3, "│edit data │"}, {6, "│quit      │"}, {7, "└──────────┘"}}},
      {"c\x1b[C",
       {{2, "               ┌─────────┐"},
        {3, "               │file/path│"},
        {4, "               │info/help│"}}},
      {"o\x1b[C\x1b[D\x1b[D\r\n", {{3, "      │1 shapley/inclusiveness│"}}},
      {"dq", {{1, ""}, {7, ""}}},
  };
  for (const Case& c : cases) {
    testkit::TempDir dir;
    const testkit::ProgramRun r = testkit::runProgram(c.keys);
    EXPECT_EQ(r.status, 0) << c.keys;
    std::vector<std::string> rows = testkit::split(r.screen, "\n");
    ASSERT_EQ(rows.size(), 25u) << c.keys;
    for (auto& [y, text] : c.rows) EXPECT_EQ(rows[y - 1], text) << c.keys << " row " << y;
  }
}

TEST(ScriptedRun, KeysFromStandardInputOrNone) {
  std::string out;
  EXPECT_EQ(runCommand("printf 'o' | " + VKX + " --keys -", &out), 0);
  EXPECT_NE(out.find("│file/path│"), std::string::npos);
  EXPECT_EQ(runCommand(VKX + " --keys - < /dev/null", &out), 0);
  EXPECT_NE(out.find("Verkanix"), std::string::npos);
  EXPECT_EQ(runCommand(VKX + " --keys - <&-", &out), 0);
  EXPECT_NE(out.find("Verkanix"), std::string::npos);
}

TEST(ScriptedRun, BadArgumentsAndNoTerminalAreRefused) {
  struct Case {
    std::string args;
    int status;
    std::string message;
  } cases[] = {
      {"--keys /nonexistent/keys", 2, "cannot open the key file"},
      {"--keys", 2, "--keys needs a file name (or - for standard input)"},
      {"--keys - --keys", 2, "unexpected argument \"--keys\""},
      {"--colour", 2, "usage"},
      {"", 1, "must be a terminal"},
  };
  for (const Case& c : cases) {
    std::string err;
    EXPECT_EQ(runCommand(VKX + " " + c.args + " 2>&1 >/dev/null </dev/null", &err), c.status)
        << c.args;
    EXPECT_NE(err.find(c.message), std::string::npos) << c.args << ": " << err;
    if (c.status == 1) {
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
  }
}

using testkit::expectEnded;
using testkit::haveTmux;
using testkit::Session;

TEST(OnTerminal, MenusThenQuitGiveTheTerminalBack) {
  if (!haveTmux()) GTEST_SKIP() << "tmux is not installed";
  Session s(80, 25);
  ASSERT_TRUE(s.startShown()) << s.screen();
  s.keys("d");
  ASSERT_TRUE(s.waitFor("│edit data │")) << s.screen();
  s.keys("Right");
  ASSERT_TRUE(s.waitFor("│1 shapley/inclusiveness│")) << s.screen();
  s.keys("Right");
  ASSERT_TRUE(s.waitFor("│file/path│")) << s.screen();
  s.keys("Escape");
  ASSERT_TRUE(s.waitUntil([&] { return s.screen().find("file/path") == std::string::npos; }));
  s.keys("d");
  ASSERT_TRUE(s.waitFor("│quit      │")) << s.screen();
  s.keys("q");
  ASSERT_NO_FATAL_FAILURE(expectEnded(s, "0\n"));
  // Back on the normal screen: nothing of the program is left in view.
  EXPECT_EQ(s.screen().find("VKX"), std::string::npos) << s.screen();
}

TEST(OnTerminal, InterruptGivesTheTerminalBack) {
  if (!haveTmux()) GTEST_SKIP() << "tmux is not installed";
  Session s(80, 25, "trap : INT");  // the script survives to record the modes
  ASSERT_TRUE(s.startShown()) << s.screen();
  s.keys("C-c");
  ASSERT_NO_FATAL_FAILURE(expectEnded(s, "130\n"));
}

TEST(OnTerminal, TooSmallIsRefusedAndShrinkingShowsAMessage) {
  if (!haveTmux()) GTEST_SKIP() << "tmux is not installed";
  {
    Session s(60, 20);
    ASSERT_TRUE(s.started);
    ASSERT_NO_FATAL_FAILURE(expectEnded(s, "1\n"));
    EXPECT_NE(testkit::readFile(s.dir.file("err")).find("60 x 20"), std::string::npos);
  }
  Session s(80, 25);
  ASSERT_TRUE(s.startShown()) << s.screen();
  s.keys("x");  // ends the start screen, does nothing in the menu
  ASSERT_TRUE(s.waitUntil([&] { return s.screen().find("Verkanix") == std::string::npos; }));
  if (runCommand(s.tmux("resize-window -x 70 -y 25")) != 0) GTEST_SKIP() << "tmux cannot resize";
  ASSERT_TRUE(s.waitFor("please enlarge it")) << s.screen();
  s.keys("o");  // not acted on while the screen cannot be seen
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  runCommand(s.tmux("resize-window -x 80 -y 25"));
  ASSERT_TRUE(s.waitFor("data  compute  options")) << s.screen();
  EXPECT_EQ(s.screen().find("file/path"), std::string::npos) << s.screen();
  s.keys("d");
  ASSERT_TRUE(s.waitFor("│edit data │")) << s.screen();
  s.keys("q");
  ASSERT_NO_FATAL_FAILURE(expectEnded(s, "0\n"));
}

}  // namespace
