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
    ASSERT_TRUE(s.started);
    ASSERT_TRUE(s.waitFor("Verkanix")) << s.screen();
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
  ASSERT_TRUE(s.started);
  ASSERT_TRUE(s.waitFor("Verkanix")) << s.screen();
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

}  // namespace
