// The three reports, fed with results set by hand (no engine runs): their
// text on the screen and in the ".out" file, the ".ouu" number blocks, the
// file naming, appending and the handling of files that cannot be written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "commands/banzhaf.h"
#include "commands/publicgood.h"
#include "commands/runs.h"
#include "commands/shapley.h"
#include "engines/run/shapley_weighted.h"
#include "frame/window.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "testkit.h"
#include "types/vkxdecl.h"

namespace {

using testkit::SETTINGS;

using Lines = std::vector<std::string>;

// Splits a file into its lines; every line must end in CR LF.
Lines fileLines(const std::string& path) {
  std::string text = testkit::readFile(path);
  Lines out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find("\r\n", pos);
    EXPECT_NE(end, std::string::npos) << "unterminated last line in " << path;
    if (end == std::string::npos) break;
    std::string line = text.substr(pos, end - pos);
    EXPECT_EQ(line.find('\n'), std::string::npos) << "bare LF in " << path;
    out.push_back(line);
    pos = end + 2;
  }
  return out;
}

Lines concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::string HEADER = "VKX 2.0" + std::string(48, ' ') + "7/12/2026";
const std::string TIMES = "time1: 7/12/2026 14: 5: 3    time2: 7/12/2026 14: 5: 3";
// The banzhaf and public good reports label their stamps with a blank.
const std::string SPACEDTIMES = "time 1: 7/12/2026 14: 5: 3    time 2: 7/12/2026 14: 5: 3";

// One subgame, weights 3, 2, 1, one win set [4,6], T1 = 0, stamped by the
// test clock (7/12/2026 14:05:03).
RUNTYP weightedGame() {
  RUNTYP R;
  SETTINGS.NAME = "mygame";
  R.NAME = "mygame";
  R.DATASTRUCTURE = DATASTRUCT::WEIGHTED;
  R.GAME = VERSION::STANDARD;
  R.N = 3;
  R.MM = 1;
  R.NN[1] = 3;
  R.GEW[1][1] = 3;
  R.GEW[1][2] = 2;
  R.GEW[1][3] = 1;
  R.THRES = 1;
  R.G[1][1][1] = 4;
  R.G[1][1][2] = 6;
  STAMPSTART(R);
  STAMPEND(R);
  return R;
}

// Every report test starts here: a scratch folder entered, the console
// started with KEYS (three are more than the screen copy's waits use) and the
// number block switched by TAB.
struct ReportSetup {
  testkit::TempDir dir;
  explicit ReportSetup(uint8_t tab = 1, const std::string& keys = "abc") {
    testkit::start(keys);
    SETTINGS.OUTPUTTAB = tab;
  }
};

// One chamber of N members, no weights, and the win set [LO,HI].
RUNTYP unweightedGame(uint16_t n, int32_t lo, int32_t hi) {
  RUNTYP R = weightedGame();
  R.DATASTRUCTURE = DATASTRUCT::UNWEIGHTED;
  R.N = n;
  R.NN[1] = n;
  R.G[1][1][1] = lo;
  R.G[1][1][2] = hi;
  return R;
}

// LINES holds LINE somewhere.
bool hasLine(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

RUNTYP shapleyExample() {
  RUNTYP R = weightedGame();
  R.SHAP[1][1] = 2.0 / 3;
  R.SHAP[1][2] = 1.0 / 6;
  R.SHAP[1][3] = 1.0 / 6;
  R.PIV[1][1] = 1.0;
  R.PIV[1][2] = 2.0 / 3;
  R.PIV[1][3] = 2.0 / 3;
  R.WINSETS = 3;
  return R;
}

const Lines SHAPLEY_REPORT = {
    "primary data file: mygame",
    "win set     1: [4,6] ",
    "",
    "subgame  player  weight        SS        II                   winsets",
    std::string(69, '-'),
    "      1       1       3  0.666667  1.000000     3.00000000000000E+000",
    "      1       2       2  0.166667  0.666667     2.00000000000000E+000",
    "      1       3       1  0.166667  0.666667     2.00000000000000E+000",
    "subgame         1:       1.000000",
    "sum of all:              1.000000          ",
    " ",
    "winning coalitions:             3",
    "decision probability:    0.375000",
    " ",
    TIMES,
    "",
    "",
};
const Lines SHAPLEY_BLOCK = {"0.6667 1.0000", "0.1667 0.6667", "0.1667 0.6667",
                             "1.0000",        "1.0000",        ""};

// The screen copy: the report's lines, in order, somewhere in the window.
void expectOnScreen(const Lines& report) {
  std::string screen = testkit::screen();
  std::size_t at = 0;
  for (const std::string& line : report) {
    if (line.find_first_not_of(' ') == std::string::npos) continue;
    std::size_t found = screen.find(line.substr(0, 60), at);
    ASSERT_NE(found, std::string::npos) << "not on screen (in order): " << line;
    at = found;
  }
}

TEST(ShapleyReport, WorkedExampleByteForByte) {
  ReportSetup setup;
  COMMANDFRAME(SETTINGS, "shapley/inclusiveness");
  RUNTYP R = shapleyExample();
  REPORTRUN(R, SETTINGS, SHAPLEYKIND());
  EXPECT_EQ(testkit::keysLeft(), 0u);

  Lines out = fileLines("mygame.out");
  EXPECT_EQ(out, concat({HEADER, "\r"}, SHAPLEY_REPORT));
  const std::size_t lengths[] = {64, 1,  25, 21, 0,  69, 69, 69, 69, 69,
                                 33, 43, 1,  33, 33, 1,  54, 0,  0};
  ASSERT_EQ(out.size(), std::size(lengths));
  for (std::size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i].size(), lengths[i]) << i + 1;
  EXPECT_EQ(fileLines("mygame.ouu"), SHAPLEY_BLOCK);
  expectOnScreen(SHAPLEY_REPORT);
  // The report modifies the subgame total in place.
  EXPECT_DOUBLE_EQ(R.SHAP[1][0], 1.0);
}

TEST(ShapleyReport, ScreenCopyWaitsAfterEachPlayerRow) {
  // With k keys the screen copy stops at the wait after player row k + 1.
  for (int keys = 0; keys < 3; ++keys) {
    ReportSetup setup(0, std::string(keys, 'x'));
    COMMANDFRAME(SETTINGS, "shapley/inclusiveness");
    RUNTYP R = shapleyExample();
    EXPECT_THROW(REPORTRUN(R, SETTINGS, SHAPLEYKIND()), testkit::KeysExhausted) << keys;
    std::string screen = testkit::screen();
    EXPECT_NE(screen.find(SHAPLEY_REPORT[5 + keys].substr(0, 40)), std::string::npos) << keys;
    if (keys < 2) {
      EXPECT_EQ(screen.find(SHAPLEY_REPORT[6 + keys].substr(0, 40)), std::string::npos) << keys;
    }
    EXPECT_FALSE(testkit::fileExists("mygame.out")) << "file written before the screen copy";
  }
}

TEST(ShapleyReport, AnArrowKeyMovesOnOneRow) {
  ReportSetup setup(0, "\x1b[Ca\x1b[D");  // right arrow, "a", left arrow: three rows
  RUNTYP R = shapleyExample();
  REPORTRUN(R, SETTINGS, SHAPLEYKIND());
  EXPECT_EQ(testkit::keysLeft(), 0u);
  EXPECT_EQ(fileLines("mygame.out").size(), 19u);
}

TEST(ShapleyReport, SecondRunAppendsWithoutHeader) {
  ReportSetup setup(1, "abcdef");
  for (int run = 0; run < 2; ++run) {
    RUNTYP R = shapleyExample();
    REPORTRUN(R, SETTINGS, SHAPLEYKIND());
  }
  EXPECT_EQ(fileLines("mygame.out"),
            concat(concat({HEADER, "\r"}, SHAPLEY_REPORT), SHAPLEY_REPORT));
  EXPECT_EQ(fileLines("mygame.ouu"), concat(SHAPLEY_BLOCK, SHAPLEY_BLOCK));
}

TEST(ShapleyReport, FileNamingAndNumberBlockSwitch) {
  struct Case {
    bool outputfile;
    uint8_t outputtab;
    const char* out;  // the report file written
    const char* ouu;  // the number file written, or ""
  } cases[] = {
      {true, 1, "mygame.out", "mygame.ouu"},
      {true, 0, "mygame.out", ""},
      {false, 1, "collect.out", "collect.ouu"},
      {false, 0, "collect.out", ""},
  };
  for (const Case& c : cases) {
    ReportSetup setup(c.outputtab);
    SETTINGS.OUTPUTFILE = c.outputfile;
    SETTINGS.NAMEOUT = "collect";
    RUNTYP R = shapleyExample();
    REPORTRUN(R, SETTINGS, SHAPLEYKIND());
    EXPECT_TRUE(testkit::fileExists(c.out)) << c.out;
    EXPECT_EQ(testkit::fileExists("mygame.out"), c.outputfile);
    EXPECT_EQ(testkit::fileExists("collect.out"), !c.outputfile);
    EXPECT_EQ(testkit::fileExists("mygame.ouu"), std::string(c.ouu) == "mygame.ouu");
    EXPECT_EQ(testkit::fileExists("collect.ouu"), std::string(c.ouu) == "collect.ouu");
    // The report still names the data file, whatever file it lands in.
    EXPECT_EQ(fileLines(c.out).at(2), "primary data file: mygame");
  }
}

TEST(ShapleyReport, UnweightedSubgameWithTinySharesAddsExtendedLines) {
  ReportSetup setup;
  RUNTYP R = weightedGame();
  R.DATASTRUCTURE = DATASTRUCT::UNWEIGHTED;
  R.GAME = VERSION::ISA;
  R.N = 6;
  R.MM = 2;
  R.NN[1] = 4;
  R.NN[2] = 2;
  R.G[1][1][2] = 4;
  R.G[1][2][1] = 1;
  R.G[1][2][2] = 2;
  R.T1 = 3;
  R.T1ANZ = 1;
  R.SHAP[1][0] = 0.0002;
  R.SHAP[2][0] = 0.9998;
  R.PIV[1][0] = 2.0;
  R.PIV[2][0] = 1.0;
  R.WINSETS = 10;
  REPORTRUN(R, SETTINGS, SHAPLEYKIND());
  Lines out = fileLines("mygame.out");
  const Lines expected = {
      HEADER,
      "\r",
      "primary data file: mygame",
      "win set     1: [4,4] * [1,2] ",
      "overall threshold 1:      3",
      "number of subgames for 1: 1",
      "overall threshold 2:      0",
      "number of subgames for 2: 0",
      "",
      "subgame  player  weight        SS        II                   winsets",
      std::string(69, '-'),
      "      1       i       1  0.000050  0.500000     5.00000000000000E+000",
      "  (extended:      5.00000000000000E-005)",
      "subgame         1:       0.000200",
      "  (extended:      2.00000000000000E-004)",
      "      2       i       1  0.499900  0.500000     5.00000000000000E+000",
      "subgame         2:       0.999800",
      "sum of all:              1.000000          ",
      " ",
      "winning coalitions:            10",
      "decision probability:    0.156250",
      " ",
      TIMES,
      "",
      "",
  };
  EXPECT_EQ(out, expected);
  EXPECT_EQ(fileLines("mygame.ouu"),
            (Lines{"0.0001 0.5000", "0.0002", "0.4999 0.5000", "0.9998", "1.0000", ""}));
}

TEST(ShapleyReport, VersionLinesOfMultipleWeightsAndSpatialRuns) {
  struct Case {
    int game;
    int32_t t1;
    Lines between;  // lines between the win set and the empty line
    bool subgameLine;
  } cases[] = {
      {1, 0, {}, true},
      {1, 2, {"overall threshold: 2"}, true},
      {5, 2, {"overall threshold: 2", "note: results based on multiple weights"}, false},
      {5, 0, {"note: results based on multiple weights"}, false},
      {6,
       2,
       {"coalitions weighted by similarity", "policy data file: places", "number of dimensions: 2"},
       false},
  };
  for (const Case& c : cases) {
    ReportSetup setup(0);
    RUNTYP R = shapleyExample();
    R.GAME = static_cast<VERSION>(c.game);
    R.T1 = c.t1;
    R.NAME1 = "places";
    R.NTHEME = 2;
    REPORTRUN(R, SETTINGS, SHAPLEYKIND());
    Lines out = fileLines("mygame.out");
    ASSERT_GT(out.size(), 4 + c.between.size());
    EXPECT_EQ(Lines(out.begin() + 4, out.begin() + 4 + c.between.size()), c.between) << c.game;
    EXPECT_EQ(out[4 + c.between.size()], "");
    bool hasSubgame = false;
    for (const std::string& l : out) hasSubgame |= l.rfind("subgame         1:", 0) == 0;
    EXPECT_EQ(hasSubgame, c.subgameLine) << c.game;
    // The subgame total still enters "sum of all".
    EXPECT_TRUE(hasLine(out, "sum of all:              1.000000          ")) << c.game;
  }
}

TEST(ShapleyReport, PrecisionAndClockFormats) {
  ReportSetup setup;
  SETTINGS.PREC = 2;
  plat::setClock([] { return plat::Stamp{9, 7, 5, 99, 2027, 1, 3, 0}; });
  RUNTYP R = shapleyExample();
  STAMPSTART(R);
  plat::setClock([] { return plat::Stamp{10, 0, 59, 1, 2027, 1, 3, 0}; });
  STAMPEND(R);
  REPORTRUN(R, SETTINGS, SHAPLEYKIND());
  Lines out = fileLines("mygame.out");
  EXPECT_EQ(out[0], "VKX 2.0" + std::string(48, ' ') + "3/1/2027");  // the end date
  EXPECT_EQ(out[16], "time1: 3/1/2027  9: 7: 5    time2: 3/1/2027 10: 0:59");
  EXPECT_EQ(fileLines("mygame.ouu").at(0), "0.67 1.00");
}

RUNTYP banzhafExample() {
  RUNTYP R = weightedGame();
  // 3 winning coalitions ({1,2}, {1,3}, {1,2,3}), holding the players 3, 2
  // and 2 times.
  R.WINSETS = 3;
  const int with[4] = {0, 3, 2, 2};
  for (int p = 1; p <= 3; ++p) R.SHAP[1][p] = static_cast<double>(BANZHAFSWINGS(with[p], 3, false));
  return R;
}

TEST(BanzhafReport, WorkedExample) {
  ReportSetup setup;
  COMMANDFRAME(SETTINGS, "banzhaf");
  RUNTYP R = banzhafExample();
  EXPECT_NEAR(R.SHAP[1][1], 3, 1e-12);
  EXPECT_NEAR(R.SHAP[1][2], 1, 1e-12);
  EXPECT_NEAR(R.SHAP[1][3], 1, 1e-12);
  REPORTRUN(R, SETTINGS, BANZHAFKIND());
  const Lines report = {
      "primary data file: mygame",
      "win set     1: [4,6] ",
      "",
      "subgame  player  weight      NNBZ       NBZ",
      std::string(43, '-'),
      "      1       1       3  0.750000  0.600000",
      "      1       2       2  0.250000  0.200000",
      "      1       3       1  0.250000  0.200000",
      "sum of subgame  1:       1.250000  1.000000",
      "sum of all:              1.250000  1.000000",
      "mean:                    0.416667  0.333333",
      " ",
      "winning coalitions:             3",
      "decision probability:    0.375000",
      " ",
      SPACEDTIMES,
      "",
      "",
  };
  EXPECT_EQ(fileLines("mygame.out"), concat({HEADER, "\r"}, report));
  EXPECT_EQ(fileLines("mygame.ouu"), (Lines{"0.6000 0.7500", "0.2000 0.2500", "0.2000 0.2500",
                                            "1.0000 1.2500", "1.0000 1.2500", ""}));
  expectOnScreen(report);
}

TEST(BanzhafReport, SwingConversion) {
  struct Case {
    uint16_t n;
    double piv, winsets, swings;
  } cases[] = {
      {1, 1.0, 1, 1},        // one player winning alone: one swing
      {1, 0.0, 0, 0},        // no winning coalition at all
      {3, 2.0 / 3, 3, 1},    // in 2 of 3 winning coalitions
      {4, 0.5, 8, 0},        // a dummy is in half of them
      {10, 0.75, 512, 256},  // 384 with, 128 without
  };
  for (const Case& c : cases) {
    // The coalitions with the player: its inclusiveness share of the wins.
    const auto with = std::llround(c.piv * c.winsets);
    const auto wins = static_cast<int64_t>(c.winsets);
    EXPECT_EQ(BANZHAFSWINGS(with, wins, false), c.swings) << c.n << " " << c.piv;
    // A winning empty coalition is one more winning coalition without it.
    EXPECT_EQ(BANZHAFSWINGS(with, wins + 1, true), c.swings - 2) << c.n << " " << c.piv;
  }
}

TEST(BanzhafReport, UnweightedTinyShareExtendedLinesAndNoSwingsShowZero) {
  ReportSetup setup;
  RUNTYP R = unweightedGame(20, 20, 20);
  R.SHAP[1][0] = 20;  // unanimity of 20: every player swings once
  R.WINSETS = 1;
  REPORTRUN(R, SETTINGS, BANZHAFKIND());
  Lines out = fileLines("mygame.out");
  // D = 2^19: one swing per player is 1.9073486328125E-006 not normalised.
  const std::string ext = "  (extended:      ", cont(18, ' ');
  const Lines rows = {
      "      1       i       1  0.000002  0.050000",
      ext + "1.90734863281250E-006",
      cont + "5.00000000000000E-002)",
      "sum of subgame  1:       0.000038  1.000000",
      ext + "1.00000000000000E+000",
      cont + "3.81469726562500E-005)",
  };
  ASSERT_GE(out.size(), 13u);
  EXPECT_EQ(Lines(out.begin() + 7, out.begin() + 13), rows);

  // A game nobody can win has no swings: zeros instead of NAN.
  ReportSetup setup2;
  RUNTYP Z = banzhafExample();
  for (int p = 1; p <= 3; ++p) Z.SHAP[1][p] = static_cast<double>(BANZHAFSWINGS(0, 0, false));
  Z.WINSETS = 0;
  REPORTRUN(Z, SETTINGS, BANZHAFKIND());
  std::string text = testkit::readFile("mygame.out") + testkit::readFile("mygame.ouu");
  EXPECT_EQ(text.find("NAN"), std::string::npos);
  EXPECT_EQ(text.find("-0"), std::string::npos);
  Lines zout = fileLines("mygame.out");
  EXPECT_EQ(zout.at(7), "      1       1       3  0.000000  0.000000");
  EXPECT_TRUE(hasLine(zout, "sum of all:              0.000000  0.000000"));
  EXPECT_EQ(fileLines("mygame.ouu").at(4), "0.0000 0.0000");
}

RUNTYP publicGoodExample() {
  RUNTYP R = weightedGame();
  // Minimal winning coalitions {1,2} and {1,3}.
  R.SHAP[1][1] = 2;
  R.SHAP[1][2] = 1;
  R.SHAP[1][3] = 1;
  R.PIV[1][1] = 1;
  R.PIV[1][2] = 0.5;
  R.PIV[1][3] = 0.5;
  R.WINSETS = 2;
  return R;
}

TEST(PublicGoodReport, WorkedExample) {
  ReportSetup setup;
  COMMANDFRAME(SETTINGS, "public good index");
  RUNTYP R = publicGoodExample();
  REPORTRUN(R, SETTINGS, PUBLICGOODKIND());
  const Lines report = {
      "primary data file: mygame",
      "win set     1: [4,6] ",
      "",
      "subgame  player  weight       PGI       MBP       DPI",
      std::string(53, '-'),
      "      1       1       3  0.500000  1.000000  0.500000",
      "      1       2       2  0.250000  0.500000  0.250000",
      "      1       3       1  0.250000  0.500000  0.250000",
      "sum of subgame  1:       1.000000  2.000000  1.000000",
      "sum of all:              1.000000  2.000000  1.000000",
      "mean:                    0.333333  0.666667  0.333333",
      " ",
      "minimal winning coalitions:               2",
      " ",
      SPACEDTIMES,
      "",
      "",
  };
  EXPECT_EQ(fileLines("mygame.out"), concat({HEADER, "\r"}, report));
  EXPECT_EQ(fileLines("mygame.ouu"),
            (Lines{"0.5000 1.0000 0.5000", "0.2500 0.5000 0.2500", "0.2500 0.5000 0.2500",
                   "1.0000 2.0000 1.0000", "1.0000 2.0000 1.0000", ""}));
  expectOnScreen(report);
}

TEST(PublicGoodReport, UnweightedExtendedLinesAndEmptyGame) {
  ReportSetup setup(0);
  RUNTYP R = unweightedGame(5, 3, 5);
  // Three of five: the 10 coalitions of size 3 are the minimal ones.
  R.SHAP[1][0] = 30;
  R.PIV[1][0] = 10;
  R.WINSETS = 10;
  REPORTRUN(R, SETTINGS, PUBLICGOODKIND());
  Lines out = fileLines("mygame.out");
  EXPECT_EQ(out.at(7), "      1       i       1  0.200000  0.600000  0.200000");
  EXPECT_EQ(out.at(8), "sum of subgame  1:       1.000000  3.000000  1.000000");
  EXPECT_EQ(out.at(9), "sum of all:              1.000000  3.000000  1.000000");

  // No minimal winning coalition: every ratio shows 0, the tiny-value lines
  // follow in their three-line form.
  ReportSetup setup2(0);
  SETTINGS.NAME = "mygame";
  RUNTYP Z = R;
  Z.SHAP[1][0] = 0;
  Z.PIV[1][0] = 0;
  Z.WINSETS = 0;
  REPORTRUN(Z, SETTINGS, PUBLICGOODKIND());
  Lines zout = fileLines("mygame.out");
  const std::string zero = "0.00000000000000E+000", cont(18, ' ');
  const Lines rows = {
      "      1       i       1  0.000000  0.000000  0.000000",
      "  (extended:      " + zero,
      cont + zero + ")",
      cont + zero + ")",
  };
  ASSERT_GE(zout.size(), 11u) << testkit::screen();
  EXPECT_EQ(Lines(zout.begin() + 7, zout.begin() + 11), rows);
  EXPECT_EQ(testkit::readFile("mygame.out").find("NAN"), std::string::npos);
}

TEST(ReportFiles, WriteFailureLeavesTheFileAsItWasAndNamesIt) {
  struct Case {
    bool outputfile;
    bool existing;     // the report file holds an earlier report
    const char* base;  // the file actually written
  } cases[] = {
      {true, true, "mygame"},
      {true, false, "mygame"},
      {false, true, "collect"},
      {false, false, "collect"},
  };
  for (const Case& c : cases) {
    ReportSetup setup;
    SETTINGS.OUTPUTFILE = c.outputfile;
    SETTINGS.NAMEOUT = "collect";
    const std::string out = std::string(c.base) + ".out";
    const std::string earlier = "earlier report\r\n";
    if (c.existing) testkit::writeFile(out, earlier);
    plat::faults.writeAfter = 200;  // the report dies part way
    RUNTYP R = shapleyExample();
    REPORTRUN(R, SETTINGS, SHAPLEYKIND());
    if (c.existing) {
      EXPECT_EQ(testkit::readFile(out), earlier) << out;
    } else {
      EXPECT_FALSE(testkit::fileExists(out)) << out;
    }
    EXPECT_NE(testkit::screen().find("...system error28 on saving " + out), std::string::npos)
        << testkit::screen();
    // The number block is still written.
    EXPECT_EQ(fileLines(std::string(c.base) + ".ouu"), SHAPLEY_BLOCK);
  }
}

TEST(ReportFiles, FilesThatCannotBeOpened) {
  // A report file in a folder that does not exist can be neither appended
  // to nor created.
  {
    ReportSetup setup;
    SETTINGS.OUTPUTFILE = false;
    SETTINGS.NAMEOUT = "nofolder/res";
    RUNTYP R = shapleyExample();
    REPORTRUN(R, SETTINGS, SHAPLEYKIND());
    EXPECT_NE(testkit::screen().find("...system error2 on saving nofolder/res.out"),
              std::string::npos);
    EXPECT_NE(testkit::screen().find("...system error2 on saving nofolder/res.ouu"),
              std::string::npos);
  }
  // An existing report file that refuses appending is reported, not
  // truncated and created anew.
  {
    ReportSetup setup(0);
    testkit::writeFile("mygame.out", "keep\r\n");
    plat::faults.openWrite = 13;
    RUNTYP R = shapleyExample();
    REPORTRUN(R, SETTINGS, SHAPLEYKIND());
    EXPECT_EQ(testkit::readFile("mygame.out"), "keep\r\n");
    EXPECT_NE(testkit::screen().find("...system error13 on saving mygame.out"), std::string::npos);
  }
}

}  // namespace
