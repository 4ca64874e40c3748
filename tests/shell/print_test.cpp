#include "shell/print.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "console/console.h"
#include "testkit.h"
#include "types/vkxdecl.h"

namespace {

using testkit::SETTINGS;

using testkit::runUntilWait;
using testkit::winLine;

// The printer command for one test.
struct PrinterCommand {
  explicit PrinterCommand(const char* command) { setenv("VKX_PRINTER", command, 1); }
  ~PrinterCommand() { unsetenv("VKX_PRINTER"); }
};

TEST(ListFile, PagesLineByLine) {
  const std::string file = "line one\r\nline two\nline three";
  struct Case {
    const char* what;
    const char* keys;  // after the name
    int shown;
  } cases[] = {
      {"a key per line, then three more", "abcdef", 3},
      {"Esc on the first line ends at once", "\x1b", 1},
      {"Esc on the second line", "a\x1b", 2},
      {"arrow keys count as one press each", "\x1b[B\x1b[B\x1b[B\x1b[A\x1b[A\x1b[A", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testkit::TempDir dir;
    testkit::writeFile("report.out", file);
    runUntilWait(MENUE_LISTFILE, std::string("report.out\r") + c.keys);
    EXPECT_EQ(winLine(1), "list file");
    EXPECT_EQ(winLine(3), "file: report.out");
    EXPECT_EQ(winLine(4), "");
    const char* lines[] = {"line one", "line two", "line three"};
    for (int i = 0; i < c.shown; ++i) EXPECT_EQ(winLine(5 + i), lines[i]);
    EXPECT_EQ(winLine(5 + c.shown), "");
    EXPECT_EQ(SETTINGS.NAME, "") << "listing does not change the data name";
  }
}

TEST(ListFile, EndOfFileNeedsAllThreeExtraKeys) {
  testkit::TempDir dir;
  testkit::writeFile("two", "a\nb\n");
  testkit::start("two\rxyzz");  // two lines, two of the three extra keys
  EXPECT_THROW(MENUE_LISTFILE(SETTINGS), testkit::KeysExhausted);
  EXPECT_EQ(testkit::row(25), "");
}

TEST(ListFile, EmptyFileShowsOneEmptyLine) {
  testkit::TempDir dir;
  testkit::writeFile("empty", "");
  runUntilWait(MENUE_LISTFILE, "empty\rkdef");
}

TEST(ListFile, EmptyAnswerIsAskedAgainInPlace) {
  testkit::TempDir dir;
  testkit::writeFile("f", "content\n");
  runUntilWait(MENUE_LISTFILE, "\r\rf\r\x1b");
  EXPECT_EQ(winLine(3), "file: f");
  EXPECT_EQ(winLine(4), "");
  EXPECT_EQ(winLine(5), "content");
}

TEST(ListFile, MissingOrUnreadableFile) {
  testkit::TempDir dir;
  runUntilWait(MENUE_LISTFILE, "results.out\r");
  EXPECT_EQ(winLine(5), "...system error 2 on loading results.out");

  // The name is used as typed: no extension cut, none added.
  testkit::writeFile("game.inp", "1\n");
  runUntilWait(MENUE_LISTFILE, "game\r");
  EXPECT_EQ(winLine(5), "...system error 2 on loading game");

  runUntilWait(MENUE_LISTFILE, ".\r");  // a folder is not a text file
  EXPECT_EQ(winLine(5), "...system error 21 on loading .");
}

TEST(PrintFile, SendsBellFileAndFormFeed) {
  testkit::TempDir dir;
  // Line ends pass unchanged; the bytes beyond a pipe's buffer test that a
  // long file is sent whole.
  std::string file = "first\r\nsecond\nno end";
  for (int i = 0; i < 20000; ++i) file += "\r\n0123456789";
  testkit::writeFile("doc.txt", file);
  PrinterCommand printer("cat > out.bin");
  runUntilWait(MENUE_PRINTFILE, "doc.txt\r");
  EXPECT_EQ(testkit::readFile("out.bin"), "\a" + file + "\f");
  EXPECT_EQ(SETTINGS.NAME, "doc.txt");
  EXPECT_EQ(winLine(3), "file: doc.txt");
  EXPECT_EQ(winLine(5), "") << "nothing is shown while printing";
}

TEST(PrintFile, FailuresAreReportedWithTheirCode) {
  struct Case {
    const char* what;
    const char* command;
    std::string file;
    std::string message;  // empty: any non-zero code
    std::string hint = "";
  } cases[] = {
      {"printer command fails", "cat > /dev/null; exit 3", "x\r\n",
       "...system error 3 on printing doc"},
      {"no such printer program", "vkx-no-such-printer-program", "x\r\n",
       "...system error 127 on printing doc",
       "...no printer command found; the environment variable VKX_PRINTER names one"},
      {"printer that stops reading", "head -c 10 > /dev/null", std::string(300000, 'p'),
       "...system error 32 on printing doc"},
      {"printer killed by a signal", "kill -9 $$", std::string(300000, 'p'),
       "...system error 137 on printing doc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testkit::TempDir dir;
    testkit::writeFile("doc", c.file);
    PrinterCommand printer(c.command);
    runUntilWait(MENUE_PRINTFILE, "doc\r");
    EXPECT_EQ(winLine(5), c.message);
    EXPECT_EQ(winLine(6), c.hint);
    EXPECT_EQ(SETTINGS.NAME, "doc") << "the typed name becomes the data name";
  }
}

TEST(PrintFile, MissingFileIsNotPrintedButNamed) {
  testkit::TempDir dir;
  PrinterCommand printer("cat > out.bin");
  runUntilWait(MENUE_PRINTFILE, "\rnope.out\r");
  EXPECT_EQ(winLine(3), "file: nope.out");
  EXPECT_EQ(winLine(5), "...system error 2 on loading nope.out");
  EXPECT_FALSE(testkit::fileExists("out.bin")) << "no printer was started";
  EXPECT_EQ(SETTINGS.NAME, "nope.out");
}

}  // namespace
