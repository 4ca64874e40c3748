#include "shell/options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "console/console.h"
#include "platform/files.h"
#include "testkit.h"
#include "types/vkxdecl.h"

namespace {

using testkit::SETTINGS;

using testkit::runUntilWait;
using testkit::winLine;

TEST(FilePath, ReportNameIsTakenCutAndShownOnTheNextVisit) {
  struct Case {
    const char* typed;
    const char* nameout;
    bool outputfile;
    const char* shownNext;
  } cases[] = {
      {"results.txt", "results", false, "standard output: results"},
      {"a.b.c", "a", false, "standard output: a"},
      {"", "", true, "standard output: \"data file\".out"},
      {" results", "", true, "standard output: \"data file\".out"},
      {"\"data file\".out", "\"data file\"", true, "standard output: \"data file\".out"},
      {".out", "", true, "standard output: \"data file\".out"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    testkit::TempDir dir;
    testkit::start(std::string(c.typed) + "\r\r");
    SETTINGS.NAMEOUT = "earlier";
    SETTINGS.OUTPUTFILE = false;
    EXPECT_THROW(MENUE_FILEPATH(SETTINGS), testkit::KeysExhausted);
    EXPECT_EQ(testkit::row(25), "press any key");
    EXPECT_EQ(SETTINGS.NAMEOUT, c.nameout);
    EXPECT_EQ(SETTINGS.OUTPUTFILE, c.outputfile);

    // The next visit shows the setting (looked at while it waits for the
    // new name).
    EXPECT_THROW(MENUE_FILEPATH(SETTINGS), testkit::KeysExhausted);
    EXPECT_EQ(winLine(3), c.shownNext);
  }
}

// Esc and a shorter folder name: the shown folder is gone to the row's end.
TEST(FilePath, EscClearsTheShownFolder) {
  testkit::TempDir dir;
  std::filesystem::create_directory("w");
  runUntilWait(MENUE_FILEPATH, "\r\x1bw\r");
  EXPECT_EQ(winLine(4), "input/output path: w");
  EXPECT_EQ(plat::currentDir(), dir.path + "/w");
}

TEST(FilePath, ScreenShowsSettingAndFolder) {
  testkit::TempDir dir;
  runUntilWait(MENUE_FILEPATH, "\r\r");
  EXPECT_EQ(winLine(1), "file/path");
  EXPECT_EQ(winLine(2), "");
  EXPECT_EQ(winLine(3), "standard output: \"data file\".out");
  EXPECT_EQ(winLine(4), "input/output path: " + plat::currentDir());
  EXPECT_EQ(winLine(5), "") << "no message for an empty folder answer";
  EXPECT_EQ(std::filesystem::path(plat::currentDir()), std::filesystem::canonical(dir.path));
}

TEST(FilePath, AnswersAreTypedOverTheShownTextsRightAfterTheirLabels) {
  struct Case {
    const char* keys;
    const char* line3;
    const char* line4;  // the folder's own name follows the label and the typing
  } cases[] = {
      {"ab\r\r", "standard output: abata file\".out", "input/output path: "},
      {"\rxy\r", "standard output: \"data file\".out", "input/output path: xy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    testkit::TempDir dir;
    runUntilWait(MENUE_FILEPATH, c.keys);
    EXPECT_EQ(winLine(3), c.line3);
    const std::string folder = plat::currentDir();
    EXPECT_EQ(winLine(4).substr(0, std::string(c.line4).size()), c.line4);
    // The typing overwrote the start of the folder name, nothing before it.
    if (std::string(c.line4).size() > 19) {
      EXPECT_EQ(winLine(4).substr(21), folder.substr(2));
    }
  }
}

TEST(FilePath, ChangingTheFolder) {
  testkit::TempDir dir;
  const std::string base = plat::currentDir();
  std::filesystem::create_directory("sub");
  runUntilWait(MENUE_FILEPATH, "\rsub\r");
  EXPECT_EQ(plat::currentDir(), base + "/sub");
  EXPECT_EQ(winLine(5), "");

  // A folder that is not there: the message carries the error number right
  // after "error", and the folder stays; the report name is still taken.
  runUntilWait(MENUE_FILEPATH, "rep\rnowhere\r");
  EXPECT_EQ(plat::currentDir(), base + "/sub");
  EXPECT_EQ(winLine(5), "...system error2 on changing path");
  EXPECT_EQ(SETTINGS.NAMEOUT, "rep");
  EXPECT_FALSE(SETTINGS.OUTPUTFILE);

  testkit::writeFile("plainfile", "x");
  runUntilWait(MENUE_FILEPATH, "\rplainfile\r");
  EXPECT_EQ(winLine(5), "...system error20 on changing path");  // not a folder
}

// A help folder of its own (SETTINGS.VKXPATH is set to it after testkit::start).
struct HelpDir {
  testkit::TempDir dir;
  explicit HelpDir(const std::string* help) {
    if (help) testkit::writeFile("vkx.hlp", *help);
  }
  void use() const { SETTINGS.VKXPATH = dir.path + "/"; }
};

const std::string EMPTY_HELP;

TEST(Info, CreditsAndHelpPaging) {
  const std::string help = "first help line\r\nsecond\r\nthird\r\n";
  struct Case {
    const char* what;
    const std::string* help;
    const char* keys;  // all the keys the command reads
    int helpLinesShown;
    const char* lastLine;  // the window row after the help lines
  } cases[] = {
      {"missing help file", nullptr, "", 0, "...no help available"},
      {"Esc on the first line", &help, "\x1b", 1, ""},
      {"Esc on the second line", &help, "a\x1b", 2, ""},
      {"to the end: a key per line, then three more", &help, "abcdef", 3, ""},
      {"arrow keys count as one press each", &help, "\x1b[B\x1b[B\x1b[Bdef", 3, ""},
      {"an empty help file still shows one line", &EMPTY_HELP, "adef", 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HelpDir dir(c.help);
    testkit::start(c.keys);
    dir.use();
    EXPECT_THROW(MENUE_INFO(SETTINGS), testkit::KeysExhausted);
    EXPECT_EQ(testkit::row(25), "press any key");
    // Not one key too many was read: the wait got none.
    EXPECT_EQ(testkit::keysLeft(), 0u);
    EXPECT_EQ(winLine(1), "info/help");
    EXPECT_EQ(winLine(3), "Verkanix - VKX 2.0 R5/05");
    EXPECT_EQ(winLine(8), "For updates and information, visit:");
    EXPECT_EQ(winLine(10), "or contact:");
    for (int r : {4, 5, 6, 9, 11}) EXPECT_NE(winLine(r), "") << "credit line " << r;
    const char* lines[] = {"first help line", "second", "third"};
    for (int i = 0; i < c.helpLinesShown && c.help && !c.help->empty(); ++i)
      EXPECT_EQ(winLine(15 + i), lines[i]);
    EXPECT_EQ(winLine(15 + c.helpLinesShown), c.lastLine);
  }
}

TEST(Info, EndOfHelpNeedsAllThreeExtraKeys) {
  const std::string help = "only line\n";
  HelpDir dir(&help);
  testkit::start("abc");  // one key for the line, two of the three extra
  dir.use();
  EXPECT_THROW(MENUE_INFO(SETTINGS), testkit::KeysExhausted);
  EXPECT_EQ(testkit::row(25), "") << "the closing prompt is not up yet";
}

TEST(HelpFile, ShippedHelpFitsTheWindow) {
  std::ifstream in(std::string(VKX_SOURCE_DIR) + "/shell/vkx.hlp", std::ios::binary);
  ASSERT_TRUE(in) << "shell/vkx.hlp is shipped with the program";
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    ++n;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    EXPECT_LE(line.size(), 78u) << "line " << n << ": " << line;
    EXPECT_EQ(line.find('\t'), std::string::npos) << "line " << n << " holds a tab";
    for (unsigned char ch : line) EXPECT_TRUE(ch >= 32 && ch < 127) << "line " << n;
  }
  EXPECT_GT(n, 20);
}

}  // namespace
