#include "data/gamefile.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "console/console.h"
#include "dialogue/datafiles.h"
#include "platform/files.h"
#include "testkit.h"

namespace {

struct Game {
  int32_t ds = -9;
  uint16_t n = 999, mm = 999;
  NNTYP nn{};
  GEWTYP gew{};
  MEMTYP mem{};
};

Game parse(const std::vector<std::string>& lines) {
  Game g;
  DATAPARSE(lines, g.ds, g.n, g.mm, g.nn, g.gew, g.mem);
  return g;
}

// Two subgames: weights 5, 3, 2 and 1, 1.
Game example() {
  Game g;
  g.ds = 1;
  g.mm = 2;
  g.nn[1] = 3;
  g.nn[2] = 2;
  g.gew[1][1] = 5;
  g.gew[1][2] = 3;
  g.gew[1][3] = 2;
  g.gew[2][1] = 1;
  g.gew[2][2] = 1;
  return g;
}

TEST(DataFile, WorkedExampleIsWrittenByteForByte) {
  testkit::TempDir dir;
  testkit::start();
  Game g = example();
  int32_t flag = -1;
  DATASAVE("game", g.ds, g.mm, g.nn, g.gew, flag);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(testkit::readFile("game.inp"), testkit::EXAMPLE_DATA_FILE);
  EXPECT_FALSE(testkit::fileExists("game.inp.new"));

  DATASAVE("flat", 0, g.mm, g.nn, g.gew, flag);
  EXPECT_EQ(testkit::readFile("flat.inp"),
            "0  {datastructure unweighted} \r\n"
            "2  {number of subgames}\r\n"
            "3  {number of players subgame 1}\r\n"
            "2  {number of players subgame 2}\r\n");
}

TEST(DataFile, OtherStructuresGetNoCommentButKeepTheBlank) {
  NNTYP nn{};
  nn[1] = 4;
  GEWTYP gew{};
  std::vector<std::string> lines = DATATEXT(5, 1, nn, gew);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "5 ");
  EXPECT_EQ(lines[2], "4  {number of players subgame 1}");
  EXPECT_EQ(DATATEXT(1, 0, nn, gew).size(), 2u);
}

TEST(DataFile, LoadsTheWorkedExample) {
  testkit::TempDir dir;
  testkit::writeFile("game.inp", testkit::EXAMPLE_DATA_FILE);
  Game g;
  int32_t flag = -1;
  DATALOAD("game", g.ds, g.n, g.mm, g.nn, g.gew, g.mem, flag);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(g.ds, 1);
  EXPECT_EQ(g.mm, 2);
  EXPECT_EQ(g.n, 5);
  EXPECT_EQ(g.nn[1], 3);
  EXPECT_EQ(g.nn[2], 2);
  EXPECT_EQ(g.gew[1][1], 5);
  EXPECT_EQ(g.gew[1][3], 2);
  EXPECT_EQ(g.gew[2][2], 1);
  int32_t mem[5][2] = {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(g.mem[i + 1][0], mem[i][0]) << i;
    EXPECT_EQ(g.mem[i + 1][1], mem[i][1]) << i;
  }
}

TEST(DataFile, ValueLinesAndTheirReadings) {
  // Each case: a weighted one-subgame, one-player file whose weight line is
  // the text under test.
  struct Case {
    const char* line;
    int32_t weight;
  } cases[] = {
      {"7", 7},
      {"7   ", 7},
      {"  7{c}", 7},
      {"7 x", 0},           // text after the number without a brace
      {"7\t{comment}", 0},  // only blanks are cut before the comment
      {"{only a comment}", 0},
      {"", 0},
      {"-3", -3},
      {"$10", 16},
      {"2147483648", 0},  // beyond 32 bits
      {"-2147483648", INT32_MIN},
  };
  for (const Case& c : cases) {
    Game g = parse({"1", "1", "1", c.line});
    EXPECT_EQ(g.gew[1][1], c.weight) << '"' << c.line << '"';
    EXPECT_EQ(g.n, 1) << '"' << c.line << '"';
  }
  EXPECT_EQ(parse({"1 x", "1", "1"}).ds, 0);
  EXPECT_EQ(parse({"-1", "1", "1"}).ds, -1);
  EXPECT_EQ(parse({"1", "-1"}).mm, 0);     // a count cannot be negative
  EXPECT_EQ(parse({"1", "70000"}).mm, 0);  // nor beyond 16 bits
}

TEST(DataFile, ValuesReadAsZeroAreNotedWithoutChangingTheGame) {
  // Each case: the file's lines and the lines noted (number, text, missing).
  struct Case {
    std::vector<std::string> lines;
    std::vector<DATAWARNTYP> noted;
  } cases[] = {
      {{"1  {datastructure weighted} ", "1", "2", "29 {Germany}", "-3  "}, {}},
      {{"1", "1", "2", "1.5", "7,9"}, {{4, "1.5"}, {5, "7,9"}}},
      {{"1", "1", "2", "abc", "7\t{c}"}, {{4, "abc"}, {5, "7\t{c}"}}},
      {{"1", "1", "3", "", "{only a comment}", "4"}, {{4, ""}, {5, "{only a comment}"}}},
      {{"1", "1", "3", "4"}, {{5, "", true}}},  // the end is noted once
      {{"1", "1", "2000000000"}, {{4, "", true}}},
      {{"1 x", "x", "1"}, {{1, "1 x"}, {2, "x"}}},
      {{"0", "2", "4", "2147483648"}, {{4, "2147483648"}}},
      {{}, {{1, "", true}}},
  };
  for (const Case& c : cases) {
    DATAWARNINGS noted;
    Game g, plain = parse(c.lines);
    DATAPARSE(c.lines, g.ds, g.n, g.mm, g.nn, g.gew, g.mem, &noted);
    ASSERT_EQ(noted.size(), c.noted.size()) << c.lines.size();
    for (std::size_t i = 0; i < noted.size(); ++i) {
      EXPECT_EQ(noted[i].LINE, c.noted[i].LINE);
      EXPECT_EQ(noted[i].TEXT, c.noted[i].TEXT);
      EXPECT_EQ(noted[i].MISSING, c.noted[i].MISSING);
    }
    EXPECT_EQ(g.n, plain.n);
    EXPECT_TRUE(g.gew == plain.gew);
  }
  // Saved files and the examples load without a note.
  testkit::TempDir dir;
  testkit::start();
  testkit::writeFile("game.inp", testkit::EXAMPLE_DATA_FILE);
  Game g = example();
  int32_t flag = -1;
  DATAWARNINGS noted{{1, "old"}};
  DATALOAD("game", g.ds, g.n, g.mm, g.nn, g.gew, g.mem, flag, &noted);
  EXPECT_TRUE(noted.empty());
  for (const char* name : {"congress", "eu27-pop", "eu27-states", "eu27-votes"}) {
    DATALOAD(std::string(VKX_SOURCE_DIR "/examples/") + name, g.ds, g.n, g.mm, g.nn, g.gew, g.mem,
             flag, &noted);
    EXPECT_EQ(flag, 0) << name;
    EXPECT_TRUE(noted.empty()) << name;
  }
  // On the screen: three lines at most, then how many more.
  DATAWARNWRITE("w.inp", {{4, "1.5"}, {5, "7\x1b"}, {6, "", true}, {7, "x"}, {8, "y"}});
  EXPECT_EQ(testkit::row(1), "...w.inp line 4: '1.5' read as 0");
  EXPECT_EQ(testkit::row(2), "...w.inp line 5: '7 ' read as 0");
  EXPECT_EQ(testkit::row(3), "...w.inp line 6: file ends, read as 0");
  EXPECT_EQ(testkit::row(4), "...and 2 more lines read as 0");
}

TEST(DataFile, UnweightedStructuresReadCountsOnly) {
  Game g = parse({"2  {not 1}", "2", "4", "6", "99"});
  EXPECT_EQ(g.ds, 2);
  EXPECT_EQ(g.mm, 2);
  EXPECT_EQ(g.nn[1], 4);
  EXPECT_EQ(g.nn[2], 6);
  EXPECT_EQ(g.n, 10);
  EXPECT_EQ(g.gew[1][1], 0);  // untouched
  EXPECT_EQ(g.mem[1][0], 0);
}

TEST(DataFile, ShortFileReadsZeroForMissingValues) {
  Game g;
  g.nn[2] = 77;
  g.gew[1][2] = 77;
  DATAPARSE({"1", "2", "2", "9"}, g.ds, g.n, g.mm, g.nn, g.gew, g.mem);
  EXPECT_EQ(g.mm, 2);
  EXPECT_EQ(g.gew[1][1], 9);
  EXPECT_EQ(g.gew[1][2], 0);
  EXPECT_EQ(g.nn[2], 0);
  EXPECT_EQ(g.n, 2);
  EXPECT_EQ(g.mem[2][1], 2);

  Game empty = parse({});
  EXPECT_EQ(empty.ds, 0);
  EXPECT_EQ(empty.mm, 0);
  EXPECT_EQ(empty.n, 0);
}

TEST(DataFile, OversizedCountsNeverLeaveTheTables) {
  // Built with VKX_CHECKS, any store beyond a table would abort the test.
  struct Case {
    std::vector<std::string> lines;
    uint16_t mm;
    uint16_t n;
  } cases[] = {
      // 12 subgames of one player each, weighted.
      {{"1", "12", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1",
        "1", "1",  "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1"},
       12,
       12},
      // 60 players in one weighted subgame, all lines present.
      {[] {
         std::vector<std::string> l{"1", "1", "60"};
         l.resize(63, "2");
         return l;
       }(),
       1, 60},
      // 30 + 30 players: 60 in all, beyond the membership table.
      {[] {
         std::vector<std::string> l{"1", "2", "30"};
         l.resize(33, "1");
         l.push_back("30");
         l.resize(64, "1");
         return l;
       }(),
       2, 60},
      // Declared far beyond the file: counted, not read.
      {{"1", "1", "2000000000"}, 1, static_cast<uint16_t>(2000000000)},
      {{"1", "60000", "3"}, 60000, 3},
      {{"0", "3", "70000", "-5", "7"}, 3, static_cast<uint16_t>(70002)},
      {{"1", "2", "-4", "1", "6"}, 2, 1},
  };
  for (const Case& c : cases) {
    Game g = parse(c.lines);
    EXPECT_EQ(g.mm, c.mm) << c.lines[1] << " " << c.lines[2];
    EXPECT_EQ(g.n, c.n) << c.lines[1] << " " << c.lines[2];
  }
  // Counts of the first 10 subgames are kept for the callers to refuse.
  Game big = parse({"1", "1", "2000000000", "4"});
  EXPECT_EQ(big.nn[1], 2000000000);
  EXPECT_EQ(big.gew[1][1], 4);
  Game many = parse({"0", "12", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"});
  EXPECT_EQ(many.nn[10], 10);
  EXPECT_EQ(many.n, 78);
}

TEST(DataFile, SaveThenLoadGivesTheSameGame) {
  testkit::TempDir dir;
  testkit::start();
  Game g = example();
  g.nn[3] = 50;
  g.mm = 3;
  for (int j = 1; j <= 50; ++j) g.gew[3][j] = j * 1000003 - 7;
  g.gew[1][2] = INT32_MIN;
  int32_t flag = -1;
  DATASAVE("round", g.ds, g.mm, g.nn, g.gew, flag);
  ASSERT_EQ(flag, 0);
  Game h;
  DATALOAD("round", h.ds, h.n, h.mm, h.nn, h.gew, h.mem, flag);
  ASSERT_EQ(flag, 0);
  EXPECT_EQ(h.ds, g.ds);
  EXPECT_EQ(h.mm, g.mm);
  EXPECT_EQ(h.n, 55);
  for (int s = 1; s <= 3; ++s) {
    EXPECT_EQ(h.nn[s], g.nn[s]);
    for (int j = 1; j <= g.nn[s]; ++j) EXPECT_EQ(h.gew[s][j], g.gew[s][j]) << s << "/" << j;
  }
}

TEST(DataFile, SaveClipsCountsToWhatTheTablesHold) {
  NNTYP nn{};
  GEWTYP gew{};
  for (int s = 1; s <= 10; ++s) nn[s] = 60;
  std::vector<std::string> lines = DATATEXT(1, 12, nn, gew);
  Game g = parse(lines);
  EXPECT_EQ(g.mm, 10);
  EXPECT_EQ(g.nn[10], 50);
  EXPECT_EQ(lines.size(), 2u + 10u * 51u);
  // Unweighted counts are not player tables: they are written as given.
  EXPECT_EQ(parse(DATATEXT(0, 1, nn, gew)).nn[1], 60);
}

TEST(DataFile, FailedSaveKeepsTheOldFile) {
  for (const testkit::SaveFault& c : testkit::SAVE_FAULTS) {
    testkit::TempDir dir;
    testkit::start();
    testkit::writeFile("game.inp", "old bytes\n");
    Game g = example();
    c.arm();
    int32_t flag = 0;
    DATASAVE("game", g.ds, g.mm, g.nn, g.gew, flag);
    EXPECT_NE(flag, 0) << c.what;
    EXPECT_EQ(testkit::readFile("game.inp"), "old bytes\n") << c.what;
    EXPECT_FALSE(testkit::fileExists("game.inp.new")) << c.what;
    EXPECT_EQ(testkit::folderFiles(dir.path), std::vector<std::string>{"game.inp"}) << c.what;
    EXPECT_EQ(testkit::row(1), "...system error on saving game.inp") << c.what;
    EXPECT_EQ(con::whereY(), 2) << c.what;
  }
}

TEST(DataFile, MissingOrUnreadableFileChangesNothing) {
  testkit::TempDir dir;
  testkit::start();
  Game g = example();
  g.n = 5;
  int32_t flag = 0;
  DATALOAD("absent", g.ds, g.n, g.mm, g.nn, g.gew, g.mem, flag);
  EXPECT_NE(flag, 0);
  EXPECT_EQ(g.ds, 1);
  EXPECT_EQ(g.mm, 2);
  EXPECT_EQ(g.n, 5);
  EXPECT_EQ(g.nn[1], 3);
  EXPECT_EQ(g.gew[1][1], 5);

  testkit::writeFile("game.inp", testkit::EXAMPLE_DATA_FILE);
  plat::faults.openRead = 5;
  flag = 0;
  DATALOAD("game", g.ds, g.n, g.mm, g.nn, g.gew, g.mem, flag);
  EXPECT_EQ(flag, 5);
  EXPECT_EQ(g.gew[1][1], 5);
}

TEST(DataFile, BinaryOrHugeFileLoads) {
  testkit::TempDir dir;
  std::string bin(1 << 20, '\0');
  for (std::size_t i = 0; i < bin.size(); ++i) bin[i] = static_cast<char>((i * 7919) % 256);
  testkit::writeFile("bin.inp", bin);
  // Declares two billion players and then gives a few hundred thousand lines.
  std::string huge = "1\n1\n2000000000\n";
  for (int i = 0; i < 300000; ++i) huge += "1\n";
  testkit::writeFile("huge.inp", huge);
  for (const char* name : {"bin", "huge"}) {
    Game g;
    int32_t flag = -1;
    DATALOAD(name, g.ds, g.n, g.mm, g.nn, g.gew, g.mem, flag);
    EXPECT_EQ(flag, 0) << name;
  }
  Game g;
  int32_t flag = -1;
  DATALOAD("huge", g.ds, g.n, g.mm, g.nn, g.gew, g.mem, flag);
  EXPECT_EQ(g.n, static_cast<uint16_t>(2000000000));
  EXPECT_EQ(g.gew[1][50], 1);
}

// Positions files.

struct Pos {
  uint16_t nt = 99;
  POSTYP p{};
  int code = -1;
};

Pos positions(const std::vector<std::string>& lines, uint16_t n) {
  Pos r;
  r.code = POSITIONPARSE(lines, r.nt, n, r.p);
  return r;
}

TEST(PositionsFile, LinesAndTheirValues) {
  struct Case {
    std::vector<std::string> lines;
    uint16_t n;
    uint16_t themes;
    std::vector<double> first;  // player 1 on themes 1..themes
  } cases[] = {
      {{"2 {two themes}   ", "1.5   -2"}, 1, 2, {1.5, -2}},
      {{"2", "4 7 {party X}"}, 1, 2, {4, 7}},
      {{"2", "4 7   "}, 1, 2, {4, 7}},
      {{"1", "3.25 {c}"}, 1, 1, {3.25}},
      {{"3", "1e2 +0.5 -.25"}, 1, 3, {100, 0.5, -0.25}},
      {{"2", "4"}, 1, 2, {4, 0}},  // a missing value
      {{"2"}, 1, 2, {0, 0}},       // missing line
      {{"2", "1e-310 4.9e-324"}, 1, 2, {1e-310, 4.9e-324}},
  };
  for (const Case& c : cases) {
    Pos r = positions(c.lines, c.n);
    ASSERT_EQ(r.code, 0) << c.lines[0];
    EXPECT_EQ(r.nt, c.themes) << c.lines[0];
    for (std::size_t t = 0; t < c.first.size(); ++t)
      EXPECT_DOUBLE_EQ(r.p[t + 1][1], c.first[t])
          << c.lines[0] << " / " << c.lines.back() << " theme " << t + 1;
  }
}

// Themes outside 1..10 are refused; players beyond 50 (the command line's
// games) grow the rows.
TEST(PositionsFile, ThemesOutsideTheTableAreRefusedPlayersGrowTheRows) {
  struct Case {
    const char* first;
    uint16_t n;
  } cases[] = {{"0", 2}, {"11", 2}, {"-1", 2}, {"two", 2}, {"", 2}};
  for (const Case& c : cases) {
    Pos r;
    r.p[1][1] = 42;
    r.code = POSITIONPARSE({c.first, "1 2", "3 4"}, r.nt, c.n, r.p);
    EXPECT_NE(r.code, 0) << c.first << " n=" << c.n;
    EXPECT_EQ(r.nt, 99) << c.first;
    EXPECT_EQ(r.p[1][1], 42) << c.first;
  }
  EXPECT_EQ(positions({"10", "1"}, 50).code, 0);
  const Pos r = positions({"1", "1", "2"}, 70);  // the players left out at 0
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.p[1][2], 2);
  EXPECT_EQ(r.p[1][70], 0);
}

TEST(PositionsFile, FieldsThatAreNoFiniteNumberAreRefused) {
  for (const char* line : {" 4 7", "4,5 7", "x 7", "4\t7", "inf 1", "1 nan", "++1 1", "1 1e999",
                           "0x1p3 1", "1 1e-400", "+ 1", "1 -"}) {
    Pos r;
    r.p[1][1] = 42;
    r.code = POSITIONPARSE({"2", line}, r.nt, 1, r.p);
    EXPECT_NE(r.code, 0) << line;
    EXPECT_EQ(r.p[1][1], 42) << line;
  }
  EXPECT_NE(positions({"1", "3 4"}, 1).code, 0);  // one theme: the whole line
}

TEST(PositionsFile, OnlyPlayersOneToNAreTouched) {
  Pos r;
  r.p[1][3] = 9;
  r.p[3][1] = 9;
  r.code = POSITIONPARSE({"2", "1 2", "3 4", "5 6"}, r.nt, 2, r.p);
  EXPECT_EQ(r.p[1][2], 3);
  EXPECT_EQ(r.p[1][3], 9);
  EXPECT_EQ(r.p[3][1], 9);
}

TEST(PositionsFile, NumbersDoNotFollowTheUserLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  std::string saved = old ? old : "C";
  bool found = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"})
    if (std::setlocale(LC_ALL, name)) {
      found = true;
      break;
    }
  if (!found) GTEST_SKIP() << "no locale with a decimal comma installed";
  Pos r = positions({"2", "1.5 2,5"}, 1);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_NE(r.code, 0);  // "2,5" is no number, whatever the locale
  EXPECT_DOUBLE_EQ(positions({"1", "1.5"}, 1).p[1][1], 1.5);
}

TEST(PositionsFile, LoadFromDisk) {
  testkit::TempDir dir;
  testkit::writeFile("pol.pos", "2  {themes}\r\n0.5 1\r\n-1 2.25\n3 0\nignored\n");
  Pos r;
  int32_t flag = -1;
  POSITIONLOAD("pol", r.nt, 3, r.p, flag);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(r.nt, 2);
  EXPECT_DOUBLE_EQ(r.p[2][2], 2.25);
  EXPECT_DOUBLE_EQ(r.p[1][3], 3);

  Pos missing;
  POSITIONLOAD("nothere", missing.nt, 3, missing.p, flag);
  EXPECT_NE(flag, 0);
  EXPECT_EQ(missing.nt, 99);

  testkit::writeFile("bad.pos", "12\n1\n");
  POSITIONLOAD("bad", missing.nt, 1, missing.p, flag);
  EXPECT_NE(flag, 0);
  EXPECT_EQ(missing.nt, 99);
  POSITIONLOAD("pol", missing.nt, 60, missing.p, flag);
  EXPECT_NE(flag, 0);
  EXPECT_EQ(missing.nt, 99);
}

}  // namespace
