#include "data/winsets.h"

#include <gtest/gtest.h>

#include "console/console.h"
#include "dialogue/winsetinput.h"
#include "testkit.h"

namespace {

using testkit::SETTINGS;

struct Answer {
  int32_t thres = 77;
  GEWTYP m{};
  GTYP g{};
};

// A weighted game of one subgame whose weights are given.
struct Game {
  int32_t ds = 1;
  uint16_t mm = 1;
  NNTYP nn{};
  GEWTYP gew{};
};

Game weighted(std::initializer_list<std::initializer_list<int32_t>> subgames) {
  Game g;
  g.mm = static_cast<uint16_t>(subgames.size());
  int s = 1;
  for (auto weights : subgames) {
    int j = 1;
    for (int32_t w : weights) g.gew[s][j++] = w;
    g.nn[s++] = static_cast<int32_t>(weights.size());
  }
  return g;
}

Answer ask(const Game& game, const std::string& keys) {
  testkit::start(keys);
  con::window(2, 3, 79, 23);  // the command window
  Answer r;
  THRESHOLD_INPUT(SETTINGS, r.thres, r.m, r.g, game.ds, game.mm, game.nn, game.gew);
  EXPECT_EQ(testkit::keysLeft(), 0u);
  return r;
}

// Row Y of the command window, without the column of the frame.
std::string line(int y) {
  std::string r = testkit::row(y + 2);
  return r.empty() ? r : r.substr(1);
}

TEST(ThresholdInput, WeightedDialogueScreen) {
  Answer r = ask(weighted({{4, 3, 2}}), "\r9\r");
  const char* expected[] = {
      "datastructure:          weighted",
      "number of subgames:     1",
      "cumulated weights:      9",
      "",
      "number of winsets:      1",
      "winset 1:",
      "threshold subgame 1:    9",
      "winset 1:               [9,9]",
      "",
  };
  for (int y = 1; y <= 9; ++y) EXPECT_EQ(line(y), expected[y - 1]) << "row " << y;
  EXPECT_EQ(r.thres, 1);
  EXPECT_EQ(r.m[1][1], 9);
  EXPECT_EQ(r.g[1][1][1], 9);
  EXPECT_EQ(r.g[1][1][2], 9);
  EXPECT_EQ(con::whereY(), 10);  // after the closing empty line
  EXPECT_EQ(con::whereX(), 1);
}

TEST(ThresholdInput, CumulatedWeightsAreEachFollowedByABlank) {
  testkit::start("\r\r\r");
  con::window(2, 3, 79, 23);
  for (int y = 1; y <= 3; ++y) {
    con::gotoXY(1, y);
    con::write(std::string(40, 'x'));
  }
  con::gotoXY(1, 1);
  Game game = weighted({{4, 3, 2}, {1}});
  Answer r;
  THRESHOLD_INPUT(SETTINGS, r.thres, r.m, r.g, game.ds, game.mm, game.nn, game.gew);
  // Lines are not cleared: what shows through marks where the text ended.
  EXPECT_EQ(line(3), "cumulated weights:      9 1 xxxxxxxxxxxx");
}

TEST(ThresholdInput, NumberOfWinsetsOutsideOneToTenIsAskedAgain) {
  Game game = weighted({{1}});
  struct Case {
    const char* answers;
    int32_t thres;
    int refusals;
  } cases[] = {
      {"0\r1\r", 1, 1},
      {"11\r-3\r10\r", 10, 2},
      {"10\r", 10, 0},
  };
  for (const Case& c : cases) {
    std::string keys = c.answers;
    for (int i = 0; i < c.thres; ++i) keys += "\r";  // each threshold left at 0
    Answer r = ask(game, keys);
    EXPECT_EQ(r.thres, c.thres) << c.answers;
    int refused = 0;
    for (int y = 1; y <= 21; ++y) refused += line(y) == "...threshold number not allowed";
    // Long runs scroll: count only while the refusals are still on screen.
    if (c.thres == 1) {
      EXPECT_EQ(refused, c.refusals) << c.answers;
    }
  }
  ask(game, "0\r1\r\r");
  EXPECT_EQ(line(5), "number of winsets:      0");
  EXPECT_EQ(line(6), "...threshold number not allowed");
  EXPECT_EQ(line(7), "number of winsets:      1");
}

TEST(ThresholdInput, RejectedWinsetIsAskedAgainFromItsHeading) {
  Game game = weighted({{5, 5}, {3}});
  Answer r = ask(game, "\r4\r4\r\r1\r");
  const char* expected[] = {
      "cumulated weights:      10 3", "",
      "number of winsets:      1",    "winset 1:",
      "threshold subgame 1:    4",    "threshold subgame 2:    4",
      "...thresholds not allowed",    "winset 1:",
      "threshold subgame 1:    0",  // asked again with 0, Enter keeps it
      "threshold subgame 2:    1",    "winset 1:               [0,10] * [1,3]",
  };
  for (int y = 3; y <= 13; ++y) EXPECT_EQ(line(y), expected[y - 3]) << "row " << y;
  EXPECT_EQ(r.m[1][1], 0);
  EXPECT_EQ(r.m[2][1], 1);
}

TEST(ThresholdInput, BoxesAndThresholdTableOfSeveralWinsets) {
  Game game = weighted({{6, 4}, {2, 2, 1}});
  Answer r;
  r.m[1][0] = 55;  // column 0 and unused columns stay as they were
  r.m[1][3] = 66;
  r.g[3][1][1] = 77;
  testkit::start("2\r6\r-2\r10\r5\r");
  con::window(2, 3, 79, 23);
  THRESHOLD_INPUT(SETTINGS, r.thres, r.m, r.g, game.ds, game.mm, game.nn, game.gew);
  EXPECT_EQ(r.thres, 2);
  struct Box {
    int w, d, lo, up;
  } boxes[] = {{1, 1, 6, 10}, {1, 2, -2, 5}, {2, 1, 10, 10}, {2, 2, 5, 5}};
  for (const Box& b : boxes) {
    EXPECT_EQ(r.g[b.w][b.d][1], b.lo) << b.w << "/" << b.d;
    EXPECT_EQ(r.g[b.w][b.d][2], b.up) << b.w << "/" << b.d;
    EXPECT_EQ(r.m[b.d][b.w], b.lo) << b.w << "/" << b.d;
  }
  EXPECT_EQ(r.m[1][0], 55);
  EXPECT_EQ(r.m[1][3], 66);
  EXPECT_EQ(r.g[3][1][1], 77);
  EXPECT_EQ(line(9), "winset 1:               [6,10] * [-2,5]");
  EXPECT_EQ(line(13), "winset 2:               [10,10] * [5,5]");
}

TEST(ThresholdInput, UnweightedGameCountsPlayers) {
  Game game;
  game.ds = 0;
  game.mm = 2;
  game.nn[1] = 5;
  game.nn[2] = 7;
  game.gew[1][1] = 1000;  // weights are not read in an unweighted game
  Answer r = ask(game, "\r3\r8\r4\r7\r");
  EXPECT_EQ(line(1), "datastructure:          unweighted");
  EXPECT_EQ(line(3), "cumulated weights:      5 7");
  EXPECT_EQ(r.g[1][1][2], 5);
  EXPECT_EQ(r.g[1][2][2], 7);
  EXPECT_EQ(r.g[1][2][1], 7);
  EXPECT_EQ(line(13), "winset 1:               [4,5] * [7,7]");

  game.ds = 2;  // any structure other than 1 is unweighted
  r = ask(game, "\r\r\r");
  EXPECT_EQ(line(3), "cumulated weights:      5 7");
}

TEST(ThresholdInput, HugeWeightSumsDoNotWrap) {
  // Three weights near the 32-bit limit: the sum is beyond it.
  Game game = weighted({{2000000000, 2000000000, 2000000000}});
  Answer r = ask(game, "\r2147483647\r");
  EXPECT_EQ(line(3), "cumulated weights:      6000000000");
  EXPECT_EQ(r.g[1][1][1], 2147483647);  // accepted, not compared to a wrapped sum
  EXPECT_EQ(r.g[1][1][2], INT32_MAX);

  Game neg = weighted({{-5, 2}});
  testkit::start("\r\r-4\r");
  SETTINGS.WEIGHTS = "longinteger";  // thresholds through the long prompt
  con::window(2, 3, 79, 23);
  Answer s;
  THRESHOLD_INPUT(SETTINGS, s.thres, s.m, s.g, neg.ds, neg.mm, neg.nn, neg.gew);
  EXPECT_EQ(s.g[1][1][1], -4);
  EXPECT_EQ(s.g[1][1][2], -3);
}

}  // namespace
