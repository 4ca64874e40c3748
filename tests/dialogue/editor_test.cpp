#include "dialogue/editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console.h"
#include "platform/files.h"
#include "testkit.h"
#include "types/vkxdecl.h"

namespace {

using testkit::SETTINGS;

using testkit::winLine;

// Runs the editor on KEYS until it waits at "press any key".
void editUntilWait(const std::string& keys) { testkit::runUntilWait(MENUE_EDITDATA, keys); }

TEST(EditData, NewWeightedFileShowsTheDialogueAndIsWrittenByteForByte) {
  testkit::TempDir dir;
  editUntilWait("test.dat\r1\r2\r3\r5\r3\r2\r2\r1\r1\r");
  EXPECT_EQ(SETTINGS.NAME, "test");
  EXPECT_EQ(testkit::readFile("test.inp"), testkit::EXAMPLE_DATA_FILE);
  EXPECT_FALSE(testkit::fileExists("test.dat"));

  const std::vector<std::string> shown = {
      "edit data",
      "",
      "data file: test.dat",
      "",
      "...creating data file test.inp",
      "unweighted/weighted votes (0/1): 1",
      "number of subgames: 2",
      "number of players (subgame 1): 3",
      "  weight player 1: 5",
      "  weight player 2: 3",
      "  weight player 3: 2",
      "number of players (subgame 2): 2",
      "  weight player 1: 1",
      "  weight player 2: 1",
      "",
  };
  for (std::size_t i = 0; i < shown.size(); ++i)
    EXPECT_EQ(winLine(static_cast<int>(i) + 1), shown[i]) << "window row " << i + 1;
}

// An existing file (or none), the keys typed after the file name, and the
// file the editor leaves behind.
struct EditCase {
  const char* what;
  const char* existing;  // nullptr: no file yet
  const char* keys;
  std::string expected;
  const char* weights = "integer";
};

TEST(EditData, ValuesKeptChangedAndDropped) {
  const EditCase cases[] = {
      {"Enter everywhere rewrites a weighted file in the standard form",
       "1\r\n2 {chambers}\r\n3\r\n5\r\n3\r\n2\r\n2\r\n1\r\n1\r\n", "\r\r\r\r\r\r\r\r\r",
       testkit::EXAMPLE_DATA_FILE},
      {"Enter everywhere rewrites an unweighted file", "0\n2\n7\n9\n", "\r\r\r\r",
       "0  {datastructure unweighted} \r\n2  {number of subgames}\r\n"
       "7  {number of players subgame 1}\r\n9  {number of players subgame 2}\r\n"},
      {"unweighted chambers beyond 50 members pass with Enter", "0\n2\n100\n60\n", "\r\r\r\r",
       "0  {datastructure unweighted} \r\n2  {number of subgames}\r\n"
       "100  {number of players subgame 1}\r\n60  {number of players subgame 2}\r\n"},
      {"structure 5 is unweighted: no weights, no comment on its line", nullptr, "5\r1\r4\r",
       "5 \r\n1  {number of subgames}\r\n4  {number of players subgame 1}\r\n"},
      {"no subgames: two lines", nullptr, "1\r0\r",
       "1  {datastructure weighted} \r\n0  {number of subgames}\r\n"},
      {"weighted to unweighted drops the weights", testkit::EXAMPLE_DATA_FILE, "0\r\r\r\r",
       "0  {datastructure unweighted} \r\n2  {number of subgames}\r\n"
       "3  {number of players subgame 1}\r\n2  {number of players subgame 2}\r\n"},
      {"unweighted to weighted asks every weight, offered as 0", "0\r\n1\r\n2\r\n", "1\r\r\r\r4\r",
       "1  {datastructure weighted} \r\n1  {number of subgames}\r\n"
       "2  {number of players subgame 1}\r\n0  {weight player 1}\r\n4  {weight player 2}\r\n"},
      {"fewer subgames and players drop the values beyond them", testkit::EXAMPLE_DATA_FILE,
       "\r1\r2\r\r\r",
       "1  {datastructure weighted} \r\n1  {number of subgames}\r\n"
       "2  {number of players subgame 1}\r\n5  {weight player 1}\r\n3  {weight player 2}\r\n"},
      {"more players are asked with default 0", "1\r\n1\r\n1\r\n6\r\n", "\r\r3\r\r\r7\r",
       "1  {datastructure weighted} \r\n1  {number of subgames}\r\n"
       "3  {number of players subgame 1}\r\n6  {weight player 1}\r\n0  {weight player 2}\r\n"
       "7  {weight player 3}\r\n"},
      {"long weights must be typed again", "1\r\n1\r\n2\r\n6\r\n5\r\n", "\r\r\r9\r\r8\r",
       "1  {datastructure weighted} \r\n1  {number of subgames}\r\n"
       "2  {number of players subgame 1}\r\n9  {weight player 1}\r\n8  {weight player 2}\r\n",
       "longinteger"},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.what);
    testkit::TempDir dir;
    if (c.existing) testkit::writeFile("g.inp", c.existing);
    testkit::start(std::string("g\r") + c.keys + "x");
    SETTINGS.WEIGHTS = c.weights;
    EXPECT_NO_THROW(MENUE_EDITDATA(SETTINGS));
    EXPECT_EQ(testkit::keysLeft(), 1u) << "the key ending the wait is left for the menu";
    EXPECT_EQ(testkit::readFile("g.inp"), c.expected);
    EXPECT_EQ(SETTINGS.NAME, "g");
  }
}

TEST(EditData, EmptyNameEditsDefault) {
  testkit::TempDir dir;
  editUntilWait("\r0\r0\r");
  EXPECT_EQ(SETTINGS.NAME, "default");
  EXPECT_EQ(winLine(5), "...creating data file default.inp");
  EXPECT_TRUE(testkit::fileExists("default.inp"));
}

TEST(EditData, CountsTheTablesCannotHoldAreAskedAgain) {
  using Lines = std::vector<std::string>;
  const std::string NO = "...number of players/subgames not allowed";
  struct Case {
    const char* what;
    std::string keys;  // after the file name and the structure
    Lines rows;        // window rows from 7 on
    std::string file;  // from the subgame-count line on
    const char* structure = "0";
  } cases[] = {
      {"11 subgames", "11\r1\r4\r",
       Lines{"number of subgames: 11", NO, "number of subgames: 1",
             "number of players (subgame 1): 4"},
       "1  {number of subgames}\r\n4  {number of players subgame 1}\r\n"},
      {"-1 subgames, then the old default kept by Enter", "-1\r\r",
       Lines{"number of subgames: -1", NO, "number of subgames: 0", ""},
       "0  {number of subgames}\r\n"},
      {"51 and -1 weighted players", "1\r51\r-1\r2\r\r\r",
       Lines{"number of subgames: 1", "number of players (subgame 1): 51", NO,
             "number of players (subgame 1): -1", NO, "number of players (subgame 1): 2"},
       "1  {number of subgames}\r\n2  {number of players subgame 1}\r\n"
       "0  {weight player 1}\r\n0  {weight player 2}\r\n",
       "1"},
      {"-1 and 65536 players, then 65535 unweighted players in all",
       "2\r-1\r65536\r65000\r536\r535\r",
       Lines{"number of subgames: 2", "number of players (subgame 1): -1", NO,
             "number of players (subgame 1): 65536", NO, "number of players (subgame 1): 65000",
             "number of players (subgame 2): 536", NO, "number of players (subgame 2): 535"},
       "2  {number of subgames}\r\n65000  {number of players subgame 1}\r\n"
       "535  {number of players subgame 2}\r\n"},
      {"10 subgames and 0 players are the limits", "10\r0\r0\r0\r0\r0\r0\r0\r0\r0\r0\r",
       Lines{"number of subgames: 10", "number of players (subgame 1): 0"},
       "10  {number of subgames}\r\n0  {number of players subgame 1}\r\n"
       "0  {number of players subgame 2}\r\n0  {number of players subgame 3}\r\n"
       "0  {number of players subgame 4}\r\n0  {number of players subgame 5}\r\n"
       "0  {number of players subgame 6}\r\n0  {number of players subgame 7}\r\n"
       "0  {number of players subgame 8}\r\n0  {number of players subgame 9}\r\n"
       "0  {number of players subgame 10}\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testkit::TempDir dir;
    editUntilWait(std::string("g\r") + c.structure + "\r" + c.keys);
    for (std::size_t i = 0; i < c.rows.size(); ++i)
      EXPECT_EQ(winLine(static_cast<int>(i) + 7), c.rows[i]) << "window row " << i + 7;
    const std::string first = c.structure[0] == '1' ? "1  {datastructure weighted} \r\n"
                                                    : "0  {datastructure unweighted} \r\n";
    EXPECT_EQ(testkit::readFile("g.inp"), first + c.file);
  }
}

TEST(EditData, OversizedCountFromTheFileIsNotAcceptedByEnter) {
  testkit::TempDir dir;
  testkit::writeFile("big.inp",
                     "0\r\n12\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n");
  editUntilWait("big\r\r\r2\r\r\r");
  EXPECT_EQ(winLine(5), "unweighted/weighted votes (0/1): 0");
  EXPECT_EQ(winLine(6), "number of subgames: 12");
  EXPECT_EQ(winLine(7), "...number of players/subgames not allowed");
  EXPECT_EQ(testkit::readFile("big.inp"),
            "0  {datastructure unweighted} \r\n2  {number of subgames}\r\n"
            "1  {number of players subgame 1}\r\n1  {number of players subgame 2}\r\n");
}

TEST(EditData, FailedSaveKeepsTheOldFileAndSaysSo) {
  const std::string old = "0\r\n1\r\n3\r\n";
  for (const testkit::SaveFault& c : testkit::SAVE_FAULTS) {
    SCOPED_TRACE(c.what);
    testkit::TempDir dir;
    testkit::writeFile("g.inp", old);
    testkit::start("g\r1\r1\r2\r4\r4\r");
    c.arm();
    EXPECT_THROW(MENUE_EDITDATA(SETTINGS), testkit::KeysExhausted);
    EXPECT_EQ(testkit::readFile("g.inp"), old);
    EXPECT_EQ(winLine(10), "...system error on saving g.inp");
    EXPECT_EQ(testkit::row(25), "press any key");
    EXPECT_EQ(testkit::folderFiles(dir.path), std::vector<std::string>{"g.inp"})
        << "no temporary file is left";
  }
}

}  // namespace
