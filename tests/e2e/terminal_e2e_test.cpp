// The program on a terminal (tmux) under signals and terminal types it
// cannot drive: whatever ends it, the terminal is given back in its modes.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "testkit.h"

namespace {

using testkit::expectEnded;
using testkit::haveTmux;
using testkit::Session;

TEST(OnTerminalSignals, EverySignalThatEndsTheProgramGivesTheTerminalBack) {
  if (!haveTmux()) GTEST_SKIP() << "tmux is not installed";
  for (int sig : {SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU, SIGVTALRM, SIGPROF, SIGRTMIN + 2}) {
    Session s(80, 25);
    ASSERT_TRUE(s.startShown()) << s.screen();
    const int pid = s.programPid();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(kill(pid, sig), 0);
    ASSERT_NO_FATAL_FAILURE(expectEnded(s, std::to_string(128 + sig) + "\n")) << sig;
    // Back on the normal screen, with automatic wrap on again.
    EXPECT_EQ(s.screen().find("VKX"), std::string::npos) << sig << "\n" << s.screen();
  }
}

TEST(OnTerminalSignals, BrokenPipeAndFileSizeSignalsAreIgnored) {
  if (!haveTmux()) GTEST_SKIP() << "tmux is not installed";
  Session s(80, 25);
  ASSERT_TRUE(s.startShown()) << s.screen();
  const int pid = s.programPid();
  ASSERT_GT(pid, 0);
  for (int sig : {SIGPIPE, SIGXFSZ}) ASSERT_EQ(kill(pid, sig), 0);
  s.keys("d");
  ASSERT_TRUE(s.waitFor("│edit data │")) << s.screen();
  s.keys("q");
  ASSERT_NO_FATAL_FAILURE(expectEnded(s, "0\n"));
}

TEST(OnTerminalTypes, TerminalsWithoutTheSequencesAreRefused) {
  if (!haveTmux()) GTEST_SKIP() << "tmux is not installed";
  for (const char* prelude : {"TERM=dumb; export TERM", "unset TERM"}) {
    Session s(80, 25, prelude);
    ASSERT_TRUE(s.started);
    ASSERT_NO_FATAL_FAILURE(expectEnded(s, "1\n")) << prelude;
    const std::string err = testkit::readFile(s.dir.file("err"));
    EXPECT_NE(err.find("TERM="), std::string::npos) << prelude << ": " << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(s.screen().find("VKX"), std::string::npos) << s.screen();
  }
}

// The process state letter of PID from /proc ('T' stopped), or 0.
char processState(int pid) {
  const std::string stat = testkit::readFile("/proc/" + std::to_string(pid) + "/stat");
  const std::size_t close = stat.rfind(')');
  return close == std::string::npos || close + 2 >= stat.size() ? 0 : stat[close + 2];
}

TEST(OnTerminalLongRun, QuietRunStaysVisibleThroughResizeAndStop) {
  if (!haveTmux()) GTEST_SKIP() << "tmux is not installed";
  // A spatial game of 28 players: its run takes far longer than the test.
  Session s(80, 25,
            "echo version=internal > vkx.ini\n"
            "{ printf '1\\r\\n1\\r\\n28\\r\\n'; echo 1 >&3; i=0; while [ $i -lt 28 ]; do "
            "printf '1\\r\\n'; i=$((i+1)); echo $i >&3; done; } > g.inp 3> p.pos");
  ASSERT_TRUE(s.startShown()) << s.screen();
  s.keys("x");
  ASSERT_TRUE(s.waitUntil([&] { return s.screen().find("Verkanix") == std::string::npos; }));
  s.keys("c 1");
  ASSERT_TRUE(s.waitFor("primary data file")) << s.screen();
  s.keys("g Enter 5 Enter p Enter 1 Enter 10 Enter 0 Enter n Enter");
  // Shown before the run starts, not "screen control (y/n): n".
  ASSERT_TRUE(s.waitFor("│...processing")) << s.screen();
  // Too small, then large enough again: the run answers both.
  ASSERT_EQ(testkit::runCommand(s.tmux("resize-window -x 70 -y 25")), 0);
  EXPECT_TRUE(s.waitFor("please enlarge it")) << s.screen();
  testkit::runCommand(s.tmux("resize-window -x 80 -y 25"));
  EXPECT_TRUE(s.waitFor("│...processing")) << s.screen();
  // Stopped and continued: the terminal is the shell's meanwhile and the
  // screen is cleared on the way back; then the run shows again. (Under a
  // shell without job control SIGTSTP gives the terminal back and takes it
  // again at once; SIGSTOP stops the program without it noticing.)
  const int pid = s.programPid();
  ASSERT_GT(pid, 0);
  for (int sig : {SIGTSTP, SIGSTOP}) {
    ASSERT_EQ(kill(pid, sig), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (processState(pid) == 'T') kill(pid, SIGCONT);
    ASSERT_TRUE(s.waitUntil([&] { return processState(pid) != 'T'; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the handler has run
    EXPECT_TRUE(s.waitFor("│...processing")) << sig << "\n" << s.screen();
  }
  ASSERT_EQ(kill(pid, SIGTERM), 0);
  ASSERT_NO_FATAL_FAILURE(expectEnded(s, "143\n"));
}

}  // namespace
