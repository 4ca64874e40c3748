// The weighted engines with the dialogue the commands run them in: results in the result
// tables, run modes, the coalition row, the winning-coalitions file, the
// refusals and the dialogue of the multiple-weights versions.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "commands/runs.h"
#include "console/console.h"
#include "platform/files.h"
#include "report/publicgood.h"
#include "report/shapley.h"
#include "testkit.h"
#include "types/vkxdecl.h"

namespace {

using testkit::answers;
using testkit::SETTINGS;

// A weighted game: WEIGHTS per subgame; WINSETS per win set, one threshold
// per subgame.
RUNTYP game(const std::vector<std::vector<int32_t>>& weights,
            const std::vector<std::vector<int32_t>>& winsets) {
  RUNTYP t;
  t.DATASTRUCTURE = DATASTRUCT::WEIGHTED;
  t.MM = static_cast<uint16_t>(weights.size());
  for (std::size_t s = 1; s <= weights.size(); ++s) {
    t.NN[s] = static_cast<int32_t>(weights[s - 1].size());
    for (std::size_t j = 1; j <= weights[s - 1].size(); ++j) {
      ++t.N;
      t.GEW[s][j] = weights[s - 1][j - 1];
      t.MEM[t.N][0] = static_cast<int32_t>(s);
      t.MEM[t.N][1] = static_cast<int32_t>(j);
    }
  }
  t.THRES = static_cast<int32_t>(winsets.size());
  for (std::size_t w = 1; w <= winsets.size(); ++w)
    for (std::size_t s = 1; s <= winsets[w - 1].size(); ++s) t.M[s][w] = winsets[w - 1][s - 1];
  return t;
}

enum Engine { SHAPLEY, PUBLICGOOD, SHAPLEY_DOUB, PUBLICGOOD_DOUB };
const char* engineName(Engine e) {
  static const char* const names[] = {"SHAPLEY_WEIGHTED", "PUBLICGOOD_WEIGHTED",
                                      "SHAPLEY_WEIGHTED_DOUB", "PUBLICGOOD_WEIGHTED_DOUB"};
  return names[e];
}

// The engine E with the dialogue of the commands on R with the overall
// threshold T1; the results stay as R holds them when the run is refused.
RUNTYP run(Engine e, RUNTYP R, int32_t T1 = 0) {
  R.T1 = T1;
  if (e == SHAPLEY_DOUB || e == PUBLICGOOD_DOUB) R.GAME = VERSION::MULTIPLE;
  RUNINDEX(R, SETTINGS, e == SHAPLEY || e == SHAPLEY_DOUB ? SHAPLEYKIND() : PUBLICGOODKIND());
  return R;
}

void expectPlayers(const RUNTYP& r, const std::vector<double>& shap,
                   const std::vector<double>& piv) {
  for (std::size_t j = 1; j <= shap.size(); ++j) {
    EXPECT_NEAR(r.SHAP[1][j], shap[j - 1], 1e-12) << "SHAP player " << j;
    EXPECT_NEAR(r.PIV[1][j], piv[j - 1], 1e-12) << "PIV player " << j;
  }
}

// Weights 3, 2, 1 in one subgame, quota 4, and its variants.
TEST(WeightedEngines, ThreeTwoOneGame) {
  struct Case {
    Engine engine;
    int32_t quota;
    uint16_t T1;
    double wins;
    std::vector<double> shap, piv;
  };
  const double third = 1.0 / 3, sixth = 1.0 / 6;
  const Case cases[] = {
      {SHAPLEY, 4, 0, 3, {4 * sixth, sixth, sixth}, {1, 2 * third, 2 * third}},
      {SHAPLEY, 4, 3, 1, {third, third, third}, {1, 1, 1}},
      {SHAPLEY, 4, 4, 0, {0, 0, 0}, {0, 0, 0}},  // more members needed than there are
      {SHAPLEY, 7, 0, 0, {0, 0, 0}, {0, 0, 0}},  // quota above the total weight
      // Quota 0: every coalition wins, and so would the empty one, so nobody
      // is ever needed.
      {SHAPLEY, 0, 0, 7, {0, 0, 0}, {4.0 / 7, 4.0 / 7, 4.0 / 7}},
      {PUBLICGOOD, 4, 0, 2, {2, 1, 1}, {1, 0.5, 0.5}},
      {PUBLICGOOD, 4, 3, 1, {1, 1, 1}, {third, third, third}},
      {PUBLICGOOD, 7, 0, 0, {0, 0, 0}, {0, 0, 0}},
      {PUBLICGOOD, 0, 0, 0, {0, 0, 0}, {0, 0, 0}},
      {PUBLICGOOD, 0, 1, 3, {1, 1, 1}, {1, 1, 1}},  // with one member needed: the singles
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(engineName(c.engine)) + " quota " + std::to_string(c.quota) + " T1 " +
                 std::to_string(c.T1));
    testkit::start("n\r");
    const RUNTYP r = run(c.engine, game({{3, 2, 1}}, {{c.quota}}), c.T1);
    EXPECT_EQ(r.WINSETS, c.wins);
    expectPlayers(r, c.shap, c.piv);
    EXPECT_EQ(r.PIV[1][0], c.engine == SHAPLEY && c.wins > 0 ? 1.0 : 0.0);
    EXPECT_EQ(testkit::row(1), "...processing");
    EXPECT_EQ(testkit::keysLeft(), 0u);
  }
}

TEST(WeightedEngines, OnePlayerAndTwoAlternativeWinSets) {
  testkit::start("n\r");
  const RUNTYP one = run(SHAPLEY, game({{5}}, {{5}}));
  EXPECT_EQ(one.WINSETS, 1.0);
  EXPECT_EQ(one.SHAP[1][1], 1.0);
  EXPECT_EQ(one.PIV[1][1], 1.0);

  // Subgame 1 with weights 3, 2, 1 and subgame 2 with two players of weight
  // 1: win set 1 asks 4 votes of subgame 1, win set 2 both of subgame 2.
  const RUNTYP two = game({{3, 2, 1}, {1, 1}}, {{4, 0}, {0, 2}});
  testkit::start("n\r");
  const RUNTYP s = run(SHAPLEY, two);
  EXPECT_EQ(s.WINSETS, 17.0);  // 12 through win set 1, 8 through win set 2, 3 through both
  EXPECT_NEAR(s.PIV[1][1], 13.0 / 17, 1e-12);
  EXPECT_NEAR(s.PIV[1][0], 1.0 - 1.0 / 17, 1e-12);  // all but {4, 5}
  EXPECT_NEAR(s.PIV[2][0], 14.0 / 17, 1e-12);
  double sum = 0;
  for (int j = 1; j <= 3; ++j) sum += s.SHAP[1][j];
  for (int j = 1; j <= 2; ++j) sum += s.SHAP[2][j];
  EXPECT_NEAR(sum, 1.0, 1e-12);

  testkit::start("n\r");
  const RUNTYP p = run(PUBLICGOOD, two);
  EXPECT_EQ(p.WINSETS, 3.0);  // {1, 2}, {1, 3} and {4, 5}
  EXPECT_EQ(p.SHAP[1][1], 2.0);
  EXPECT_EQ(p.SHAP[2][2], 1.0);
  EXPECT_EQ(p.PIV[2][1], 0.5);
}

TEST(WeightedEngines, GamesThatCannotBeComputedAreRefused) {
  RUNTYP players51 = game({}, {}), subgames11 = players51, noPlayers = players51,
         noSubgames = players51;
  players51.N = 51;
  players51.MM = 2;
  players51.NN[1] = 25;
  players51.NN[2] = 26;
  subgames11.N = 11;
  subgames11.MM = 11;
  noPlayers.MM = 1;
  const RUNTYP* games[] = {&players51, &subgames11, &noPlayers, &noSubgames};
  for (Engine e : {SHAPLEY, PUBLICGOOD, SHAPLEY_DOUB, PUBLICGOOD_DOUB})
    for (const RUNTYP* t : games) {
      SCOPED_TRACE(std::string(engineName(e)) + " N " + std::to_string(t->N) + " MM " +
                   std::to_string(t->MM));
      testkit::start("x");
      RUNTYP r = *t;
      r.WINSETS = -1;
      r.SHAP[1][1] = -2;
      r.PIV[1][0] = -3;
      r = run(e, r);
      EXPECT_EQ(testkit::row(1), "...number of players/subgames not allowed");
      EXPECT_EQ(testkit::keysLeft(), 1u);  // the key ends the wait but stays unread
      EXPECT_EQ(r.WINSETS, -1);
      EXPECT_EQ(r.SHAP[1][1], -2);
      EXPECT_EQ(r.PIV[1][0], -3);
    }
}

TEST(WeightedEngines, RunModeAnswers) {
  struct Case {
    const char* keys;
    std::string row1, row2;
  };
  const Case cases[] = {
      {"n\r", "...processing", ""},
      {"Y\r", "...processing", ""},                  // only a lower-case y means yes
      {"yes please\r\r", "...processing", "1 1 1"},  // the first character counts
      {"y\rn\r", "...processing", "1 1 1"},          // the row shows the last coalition
      {"y\rY\r", "...processing", "1 1 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    testkit::TempDir dir;
    testkit::start(c.keys);
    const RUNTYP r = run(SHAPLEY, game({{3, 2, 1}}, {{4}}));
    EXPECT_EQ(r.WINSETS, 3.0);
    EXPECT_EQ(testkit::row(1), c.row1);
    EXPECT_EQ(testkit::row(2), c.row2);
    EXPECT_EQ(testkit::keysLeft(), 0u);
    EXPECT_FALSE(testkit::fileExists("default.ouu"));
  }
}

TEST(WeightedEngines, ReportModeListsCoalitionsInFileAndOnScreen) {
  using Lines = std::vector<std::string>;
  const RUNTYP w321 = game({{3, 2, 1}}, {{4}}), singles = game({{1}, {1}, {1}}, {{0, 0, 1}});
  struct Case {
    Engine engine;
    const char* keys;
    RUNTYP tables;
    std::string file;
    Lines rows;  // rows 1.. of the screen
  };
  const Case cases[] = {
      {SHAPLEY, "y\ry\r", w321, "1/2/\r\n1/3/\r\n1/2/3/\r\n\r\n",
       Lines{"winning coalitions", "     1: 1/2/", "     2: 1/3/", "     3: 1/2/3/", "", ""}},
      {SHAPLEY, "w\r", w321, "1/2/\r\n1/3/\r\n1/2/3/\r\n\r\n",
       Lines{"winning coalitions", "     1: 1/2/"}},
      // Subgame boundaries are marked whether or not the coalition has
      // members there.
      {SHAPLEY, "w\r", singles, "//1/\r\n1///1/\r\n/1//1/\r\n1//1//1/\r\n\r\n",
       Lines{"winning coalitions", "     1: //1/", "     2: 1///1/"}},
      {SHAPLEY, "w\r", game({{1, 1}, {1}}, {{2, 0}}), "1/2//\r\n1/2//1/\r\n\r\n",
       Lines{"winning coalitions", "     1: 1/2//"}},
      {PUBLICGOOD, "y\ry\r", w321, "1/2/\r\n1/3/\r\n\r\n",
       Lines{"minimal winning coalitions", "", "     1: 1/2/", "     2: 1/3/", "", ""}},
      {PUBLICGOOD, "w\r", singles, "//1/\r\n\r\n",
       Lines{"minimal winning coalitions", "", "     1: //1/"}},
      {SHAPLEY, "w\r", game({{3, 2, 1}}, {{7}}), "\r\n", Lines{"winning coalitions", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(engineName(c.engine)) + " " + c.file);
    testkit::TempDir dir;
    testkit::start(c.keys);
    run(c.engine, c.tables);
    EXPECT_EQ(testkit::readFile("default.ouu"), c.file);
    for (std::size_t y = 0; y < c.rows.size(); ++y)
      EXPECT_EQ(testkit::row(static_cast<int>(y) + 1), c.rows[y]) << "row " << y + 1;
    EXPECT_EQ(testkit::keysLeft(), 0u);
  }
}

TEST(WeightedEngines, ListingsAccumulateInTheReportNamedFile) {
  testkit::TempDir dir;
  testkit::writeFile("mygame.ouu", "earlier\r\n");
  testkit::start("w\r");
  SETTINGS.NAMEOUT = "mygame";
  const RUNTYP r = run(PUBLICGOOD, game({{3, 2, 1}}, {{4}}), 3);
  EXPECT_EQ(testkit::readFile("mygame.ouu"), "earlier\r\n1/2/3/\r\n\r\n");
  EXPECT_FALSE(testkit::fileExists("default.ouu"));
}

TEST(WeightedEngines, UnopenableListingFallsBackToScreenControl) {
  struct Case {
    const char* name;
    std::string nameout;
    bool existing;
    int fault;
    std::string message;
  };
  const Case cases[] = {
      {"folder missing", "nofolder/game", false, 0, "...system error2 on saving nofolder/game.ouu"},
      {"existing file refuses appending", "default", true, 13,
       "...system error13 on saving default.ouu"},
  };
  for (Engine e : {SHAPLEY, PUBLICGOOD})
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(engineName(e)) + " " + c.name);
      testkit::TempDir dir;
      if (c.existing) testkit::writeFile("default.ouu", "kept\r\n");
      testkit::start("y\ry\r");
      SETTINGS.NAMEOUT = c.nameout;
      plat::faults.openWrite = c.fault;
      const RUNTYP r = run(e, game({{3, 2, 1}}, {{4}}));
      EXPECT_EQ(r.WINSETS, e == SHAPLEY ? 3.0 : 2.0);
      EXPECT_EQ(testkit::row(2), c.message);
      // The coalition row replaces the listing; "...processing" is not shown.
      EXPECT_EQ(testkit::row(3), "1 1 1");
      EXPECT_EQ(testkit::screen().find("...processing"), std::string::npos);
      EXPECT_EQ(testkit::screen().find("1: "), std::string::npos);
      if (c.existing) {
        EXPECT_EQ(testkit::readFile("default.ouu"), "kept\r\n");
      }
    }
}

TEST(WeightedEngines, ReportQuestionsAskedByEachEngine) {
  const std::pair<Engine, std::string> cases[] = {
      {SHAPLEY, "report winning coalitions (y/n):"},
      {PUBLICGOOD, "report minimal winning coalitions (y/n):"},
  };
  for (const auto& [e, question] : cases) {
    testkit::start("y\r");
    EXPECT_THROW(run(e, game({{1}}, {{1}})), testkit::KeysExhausted);
    EXPECT_EQ(testkit::row(1), "screen control (y/n): y");
    EXPECT_EQ(testkit::row(2), question);
  }
}

TEST(WeightedEngines, SpatialResultsAreSharesOfSimilarity) {
  // Three players on one theme at 0, 0 and 1; one vote each, quota 2.
  RUNTYP t = game({{1, 1, 1}}, {{2}});
  t.GAME = VERSION::SPATIAL;
  t.NTHEME = 1;
  t.POSITION[1][3] = 1;
  testkit::start("n\r");
  const RUNTYP r = run(SHAPLEY, t);
  // Similarities: {1,2} 1, {1,3} 0, {2,3} 0, {1,2,3} 1 - 2/3 = 1/3; single
  // players 0. Winning: every pair and the grand coalition.
  const double winSim = 1 + 1.0 / 3;
  EXPECT_EQ(r.WINSETS, 4.0);
  EXPECT_NEAR(r.PIV[1][1], winSim / winSim, 1e-12);
  EXPECT_NEAR(r.PIV[1][3], (1.0 / 3) / winSim, 1e-12);
  EXPECT_NEAR(r.PIV[1][0], 1.0, 1e-12);  // similarity of all winning coalitions, shared
  // Swings only in the pairs, each worth 1/6 of its similarity.
  EXPECT_NEAR(r.SHAP[1][1], (1.0 / 6) / winSim, 1e-12);
  EXPECT_NEAR(r.SHAP[1][3], 0.0, 1e-12);

  // A single player: its only coalition has similarity 0, so both
  // similarity sums are 0 and the shares stay 0 instead of 0/0.
  RUNTYP solo = game({{1}}, {{1}});
  solo.GAME = VERSION::SPATIAL;
  solo.NTHEME = 1;
  solo.POSITION = t.POSITION;
  testkit::start("n\r");
  const RUNTYP s = run(SHAPLEY, solo);
  EXPECT_EQ(s.WINSETS, 1.0);
  for (int j = 0; j <= 1; ++j) {
    EXPECT_EQ(s.PIV[1][j], 0.0) << j;
    EXPECT_EQ(s.SHAP[1][j], 0.0) << j;
  }
}

// ---- multiple weights -------------------------------------------------

// A weighted data file of one subgame.
void dataFile(const std::string& name, const std::vector<int32_t>& weights, int structure = 1) {
  std::string text =
      std::to_string(structure) + "\r\n1\r\n" + std::to_string(weights.size()) + "\r\n";
  if (structure == 1)
    for (int32_t w : weights) text += std::to_string(w) + "\r\n";
  testkit::writeFile(name + ".inp", text);
}

TEST(WeightedEngines, SecondVoteSystemDecidesToo) {
  struct Case {
    Engine engine;
    std::vector<int32_t> weights;  // second system, quota 4 in both
    double wins;
    std::vector<double> shap, piv;
  };
  const double third = 1.0 / 3, sixth = 1.0 / 6;
  const Case cases[] = {
      // The same weights again: the results of the first system alone.
      {SHAPLEY_DOUB, {3, 2, 1}, 3, {4 * sixth, sixth, sixth}, {1, 2 * third, 2 * third}},
      {PUBLICGOOD_DOUB, {3, 2, 1}, 2, {2, 1, 1}, {1, 0.5, 0.5}},
      // Reversed weights: {1, 2} loses in the second system, and in
      // {1, 2, 3} only player 2 can leave.
      {SHAPLEY_DOUB, {1, 2, 3}, 2, {0.5, 0, 0.5}, {1, 0.5, 1}},
      {PUBLICGOOD_DOUB, {1, 2, 3}, 1, {1, 0, 1}, {0.5, 0, 0.5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(engineName(c.engine)) + " " + std::to_string(c.weights[0]));
    testkit::TempDir dir;
    dataFile("second", c.weights);
    // Vote systems (7 means two), file name with an extension, one win set
    // of quota 4, quiet mode.
    testkit::start("7\rsecond.inp\r1\r4\rn\r");
    const RUNTYP r = run(c.engine, game({{3, 2, 1}}, {{4}}));
    EXPECT_EQ(r.NAME1, "second");
    EXPECT_EQ(r.WINSETS, c.wins);
    expectPlayers(r, c.shap, c.piv);
    EXPECT_EQ(testkit::keysLeft(), 0u);
  }
}

TEST(WeightedEngines, OverallThresholdOfTheMultipleWeightsShapleyEngine) {
  struct Case {
    int32_t overall, overt;
    int32_t quota;
    uint16_t T1;
    double wins;
  };
  const Case cases[] = {
      {1, 0, 4, 3, 1},  // AND on members: only the grand coalition has three
      {0, 0, 4, 3, 1},  // none: raised to AND for this and later runs
      {2, 0, 6, 2, 4},  // OR on members: every pair wins, and the grand coalition
      {1, 1, 0, 5, 2},  // AND on votes: {1, 2} and {1, 2, 3}
      {2, 1, 6, 4, 3},  // OR on votes: {1, 3}, {1, 2}, and by quota the grand
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("OVERALL " + std::to_string(c.overall) + " SETTINGS.OVERT " +
                 std::to_string(c.overt));
    testkit::TempDir dir;
    dataFile("b", {3, 2, 1});
    testkit::start("2\rb\r1\r" + std::to_string(c.quota) + "\rn\r");
    SETTINGS.OVERALL = c.overall;
    SETTINGS.OVERT = c.overt;
    const RUNTYP r = run(SHAPLEY_DOUB, game({{3, 2, 1}}, {{c.quota}}), c.T1);
    EXPECT_EQ(r.WINSETS, c.wins);
    EXPECT_EQ(SETTINGS.OVERALL, c.overall == 0 ? 1 : c.overall);
    EXPECT_EQ(SETTINGS.OVERT, c.overt);
  }
}

TEST(WeightedEngines, OverallThresholdLineShownBeforeTheRunMode) {
  const std::pair<int32_t, std::string> cases[] = {
      {1, "...using AND overall threshold 2"},
      {2, "...using OR overall threshold 2"},
      {0, "screen control (y/n):"},
  };
  for (const auto& [overall, line] : cases) {
    testkit::TempDir dir;
    dataFile("b", {1, 1});
    testkit::start("2\rb\r1\r1\r");
    SETTINGS.OVERALL = overall;
    EXPECT_THROW(run(SHAPLEY_DOUB, game({{1, 1}}, {{1}}), 2), testkit::KeysExhausted);
    const std::string screen = testkit::screen();
    const std::size_t at = screen.find(line);
    ASSERT_NE(at, std::string::npos) << screen;
    if (overall == 0) {
      EXPECT_EQ(screen.find("...using"), std::string::npos);
    }
  }
}

TEST(WeightedEngines, BlockingMinorityInTheSecondSystem) {
  // Four players of one vote each in both systems; every coalition meets the
  // win sets. With blocking threshold 0 two outsiders block, one does not.
  struct Case {
    const char* answers;
    double wins;
  };
  const Case cases[] = {
      {"1\r0\r", 5},   // the four coalitions of three and the grand coalition
      {"1\r1\r", 11},  // two outsiders hold 1 without the smaller: still allowed
      {"0\r", 15},     // rule off
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    testkit::TempDir dir;
    dataFile("b", {1, 1, 1, 1});
    testkit::start(std::string("2\rb\r1\r0\r") + c.answers + "n\r");
    SETTINGS.INTERNAL = 1;
    const RUNTYP r = run(SHAPLEY_DOUB, game({{1, 1, 1, 1}}, {{0}}));
    EXPECT_EQ(r.WINSETS, c.wins);
    EXPECT_EQ(testkit::keysLeft(), 0u);
  }
}

TEST(WeightedEngines, FurtherDataFilesThatDoNotFit) {
  struct Case {
    Engine engine;
    std::string keys;
    std::string message;  // empty: silent return
    std::size_t keysLeft;
  };
  // b: one player too many; u: unweighted; c: fits.
  const Case cases[] = {
      {SHAPLEY_DOUB, answers({"2", "b"}, "x"), "...system error on loading b.inp", 1},
      {PUBLICGOOD_DOUB, answers({"2", "b"}, "x"), "...system error on loading b.inp", 1},
      {SHAPLEY_DOUB, answers({"2", "u"}, "x"), "...system error on loading u.inp", 1},
      {SHAPLEY_DOUB, answers({"2", "missing"}, "x"), "...system error on loading missing.inp", 1},
      {SHAPLEY_DOUB, answers({"3", "c", "1", "4", "b"}, "x"), "...system error on loading b.inp",
       1},
      {SHAPLEY_DOUB, answers({"2", ""}, "x"), "...system error on loading default.inp", 1},
      // Win sets are paired by number: a second system with another count.
      {SHAPLEY_DOUB, answers({"2", "c", "2", "4", "4"}, "x"), "...unequal numbers of thresholds",
       1},
      {PUBLICGOOD_DOUB, answers({"2", "c", "2", "4", "4"}, "x"), "", 1},
      {SHAPLEY_DOUB, answers({"3", "c", "1", "4", "c", "2", "4", "4"}, "x"), "", 1},
      {SHAPLEY_DOUB, answers({"4", "c", "1", "4", "c", "1", "4", "c", "2", "4", "4"}, "x"), "", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(engineName(c.engine)) + " " + c.keys);
    testkit::TempDir dir;
    dataFile("b", {3, 2, 1, 1});
    dataFile("u", {3, 2, 1}, 0);
    dataFile("c", {3, 2, 1});
    testkit::start(c.keys);
    RUNTYP r = game({{3, 2, 1}}, {{4}});
    r.WINSETS = -1;
    r = run(c.engine, r);
    EXPECT_EQ(r.WINSETS, -1);
    EXPECT_EQ(r.SHAP[1][1], 0.0);
    EXPECT_EQ(testkit::keysLeft(), c.keysLeft);
    const std::string screen = testkit::screen();
    if (c.message.empty())
      EXPECT_EQ(screen.find("..."), std::string::npos) << screen;
    else
      EXPECT_NE(screen.find(c.message), std::string::npos) << screen;
    EXPECT_EQ(screen.find("screen control"), std::string::npos) << screen;
  }
}

TEST(WeightedEngines, MultipleWeightsReportPausesAfterEachLine) {
  testkit::TempDir dir;
  dataFile("b", {3, 2, 1});
  // One key for each of the three listed coalitions; the second is an
  // arrow key, which is one key although it arrives as two codes.
  testkit::start("2\rb\r1\r4\rw\ra\x1b[Db");
  SETTINGS.OVERALL = 1;
  SETTINGS.OVERT = 0;
  const RUNTYP r = run(SHAPLEY_DOUB, game({{3, 2, 1}}, {{4}}), 2);
  EXPECT_EQ(r.WINSETS, 3.0);
  EXPECT_EQ(testkit::keysLeft(), 0u);
  EXPECT_EQ(testkit::row(1), "winning coalitions");
  EXPECT_EQ(testkit::row(2), "");
  EXPECT_EQ(testkit::row(3), "     1: 1/2/    1 0");
  EXPECT_EQ(testkit::row(5), "     3: 1/2/3/    1 0");
  EXPECT_EQ(testkit::readFile("default.ouu"), "1/2/\r\n1/3/\r\n1/2/3/\r\n\r\n");

  // Two keys for three lines: the run stops at the third pause.
  testkit::start("2\rb\r1\r4\rw\rab");
  SETTINGS.OVERALL = 2;
  SETTINGS.OVERT = 1;
  EXPECT_THROW(run(SHAPLEY_DOUB, game({{3, 2, 1}}, {{4}}), 9), testkit::KeysExhausted);
  EXPECT_EQ(testkit::row(3), "     1: 1/2/    2 1");
}

// The row the cursor is on when the script runs out: the last non-empty row.
std::string lastRow() {
  for (int y = 25; y >= 1; --y)
    if (!testkit::row(y).empty()) return testkit::row(y);
  return "";
}

TEST(WeightedEngines, MultipleWeightsQuestionsInTheirOrder) {
  struct Case {
    Engine engine;
    uint8_t internal;
    std::string keys;
    std::string question;  // the question waiting for an answer, as shown
  };
  const std::string blocking =
      "blocking Art.III-196(3) EU Const.Treaty in second vote system (0/1): 0";
  const Case cases[] = {
      {SHAPLEY_DOUB, 0, "", "double/triple/quadruple vote sytem (2/3/4): 2"},
      {PUBLICGOOD_DOUB, 0, "", "double/triple/quadruple vote sytem (2/3/4): 2"},
      {SHAPLEY_DOUB, 0, "3\r", "second data file: "},
      {SHAPLEY_DOUB, 0, answers({"3", "c", "1", "4"}), "third data file: "},
      {PUBLICGOOD_DOUB, 0, answers({"4", "c", "1", "4", "c", "1", "4"}), "fourth data file: "},
      {SHAPLEY_DOUB, 0, answers({"4", "c", "1", "4", "c", "1", "4", "c", "1", "4"}),
       "screen control (y/n): "},
      // The blocking rule is offered by the Shapley engine on the internal
      // list only, its threshold only when the rule is switched on.
      {SHAPLEY_DOUB, 1, answers({"2", "c", "1", "4"}), blocking},
      {SHAPLEY_DOUB, 1, answers({"2", "c", "1", "4", "1"}), "blocking threshold: 0"},
      {SHAPLEY_DOUB, 1, answers({"2", "c", "1", "4", "0"}), "screen control (y/n): "},
      {PUBLICGOOD_DOUB, 1, answers({"2", "c", "1", "4"}), "screen control (y/n): "},
      {SHAPLEY_DOUB, 0, answers({"2", "c", "1", "4", "y"}), "report winning coalitions (y/n): "},
      {PUBLICGOOD_DOUB, 0, answers({"2", "c", "1", "4", "y"}),
       "report minimal winning coalitions (y/n): "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(engineName(c.engine)) + " " + c.keys);
    testkit::TempDir dir;
    dataFile("c", {3, 2, 1});
    testkit::start(c.keys);
    SETTINGS.INTERNAL = c.internal;
    SETTINGS.OVERALL = 2;  // no "...using AND" line between the questions
    EXPECT_THROW(run(c.engine, game({{3, 2, 1}}, {{4}})), testkit::KeysExhausted);
    // The screen rows lose their trailing blanks; the cursor shows the blank
    // that ends a question.
    std::string shown = c.question;
    while (!shown.empty() && shown.back() == ' ') shown.pop_back();
    EXPECT_EQ(lastRow(), shown) << testkit::screen();
    if (c.question.back() == ' ') {
      EXPECT_EQ(con::whereX(), static_cast<int>(c.question.size()) + 1);
    }
  }
}

}  // namespace
