#include "dialogue/prompts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "common/similarity.h"
#include "console/console.h"
#include "dialogue/boxes.h"
#include "testkit.h"

namespace {

using testkit::SETTINGS;

// Runs READINTLN with DEFAULT and KEYS in a fresh console, prompt at (1,1).
int32_t promptInt(int32_t value, const std::string& keys) {
  testkit::start(keys);
  READINTLN("value: ", value);
  return value;
}

TEST(ReadInt, EntriesAndTheirValues) {
  const std::string ESC = "\x1b", BS = "\x7f";
  struct Case {
    std::string keys;
    int32_t start;
    int32_t expected;
    const char* shown;  // row 1 after the entry
  } cases[] = {
      {"\r", 7, 7, "value: 7"},          // Enter keeps the default
      {"12\r", 12345, 12, "value: 12"},  // longer default fully replaced
      {" 12\r", 7, 12, "value: 12"},     // leading blank
      {"12 \r", 7, 12, "value: 12"},     // trailing blank cut
      {"   \r", 7, 7, "value: 7"},       // blanks only = empty entry
      {"-5\r", 7, -5, "value: -5"},
      {"$1F\r", 7, 31, "value: 31"},
      {"%101\r", 7, 5, "value: 5"},
      {"2147483647\r", 0, 2147483647, "value: 2147483647"},
      {"-2147483648\r", 0, INT32_MIN, "value: -2147483648"},
      {"2147483648\r9\r", 7, 9, "value: 9"},  // beyond 32 bits: refused
      {"12a\r\r", 7, 7, "value: 7"},          // refused, then Enter keeps 7
      {"12a\r8\r", 7, 8, "value: 8"},
      {ESC + "4\t2\r", 0, 42, "value: 42"},            // Esc clears, Tab ignored
      {"4\x1b[D\x1b[C\x1b[A2\r", 0, 42, "value: 42"},  // arrows ignored
      {BS + BS + "5\r", 7, 5, "value: 5"},             // Backspace on an empty entry
      {"19" + BS + "8\r", 7, 18, "value: 18"},
  };
  for (const Case& c : cases) {
    int32_t got = promptInt(c.start, c.keys);
    EXPECT_EQ(got, c.expected) << "keys " << c.keys;
    EXPECT_EQ(testkit::row(1), c.shown) << "keys " << c.keys;
    EXPECT_EQ(testkit::keysLeft(), 0u) << "keys " << c.keys;
    // The line break after the field.
    EXPECT_EQ(con::whereX(), 1);
    EXPECT_EQ(con::whereY(), 2);
  }
}

// While typing: over the shown value the typed digits replace its first
// characters; after Esc the field is empty to the end of the row.
TEST(ReadInt, EscClearsTheShownValueToTheEndOfTheRow) {
  const struct {
    const char* keys;
    const char* shown;
  } cases[] = {{"7", "value: 72345"},
               {"\x1b"
                "7",
                "value: 7"},
               {"98\x1b"
                "7",
                "value: 7"}};
  for (auto read : {READINTLN, READLONGINTLN})
    for (const auto& c : cases) {
      testkit::start(c.keys);
      int32_t value = 12345;
      EXPECT_THROW(read("value: ", value), testkit::KeysExhausted);
      EXPECT_EQ(testkit::row(1), c.shown) << c.keys;
    }
}

TEST(ReadInt, RefusedEntryRedrawsTheOldValueAndWaits) {
  testkit::start("12a\r");
  int32_t v = 7;
  EXPECT_THROW(READINT("value: ", v), testkit::KeysExhausted);
  EXPECT_EQ(testkit::row(1), "value: 7");
  EXPECT_EQ(con::whereX(), 8);  // back at the start of the field
  EXPECT_EQ(v, 7);
}

TEST(ReadInt, TypingOverwritesTheDefaultAndBackspaceErases) {
  testkit::start("9");
  int32_t v = 12345;
  EXPECT_THROW(READINT("n: ", v), testkit::KeysExhausted);
  EXPECT_EQ(testkit::row(1), "n: 92345");  // typed digit over the default
  testkit::start("98\x7f");
  EXPECT_THROW(READINT("n: ", v), testkit::KeysExhausted);
  EXPECT_EQ(testkit::row(1), "n: 9 345");
}

TEST(ReadInt, FortyFirstCharacterIsEchoedButNotStored) {
  // 40 ones would overflow; leading zeros keep the number valid.
  std::string forty(39, '0');
  forty += '3';
  testkit::start(forty + "7\r");
  int32_t v = 0;
  READINT("", v);
  EXPECT_EQ(v, 3);

  testkit::start(forty + "7");
  EXPECT_THROW(READINT("", v), testkit::KeysExhausted);
  EXPECT_EQ(testkit::row(1), forty + "7");
}

TEST(ReadInt, EchoNeverWrapsPastTheWindowEdge) {
  testkit::start(std::string(30, '1') + "\x7f\x7f");
  con::window(1, 1, 20, 3);
  int32_t v = 0;
  EXPECT_THROW(READINT("n: ", v), testkit::KeysExhausted);
  EXPECT_EQ(testkit::row(1), "n: " + std::string(16, '1'));
  EXPECT_EQ(testkit::row(2), "");
  EXPECT_EQ(con::scrollCount(), 0);
}

TEST(ReadLongInt, WaitsThroughEmptyLinesAndRefusesBadNumbers) {
  struct Case {
    const char* keys;
    int32_t expected;
  } cases[] = {
      {"\r\r9\r", 9},         {"  -12  \r", -12}, {"12a\r5\r", 5},
      {"3000000000\r4\r", 4}, {"6 77\r", 6},  // the rest of the line is dropped
      {"$ff\r", 255},
  };
  for (const Case& c : cases) {
    testkit::start(c.keys);
    int32_t v = 7;
    READLONGINTLN("w: ", v);
    EXPECT_EQ(v, c.expected) << "keys " << c.keys;
    EXPECT_EQ(testkit::keysLeft(), 0u) << "keys " << c.keys;
  }
}

TEST(ReadLongInt, ShowsTheDefaultAndRedrawsTheAcceptedValue) {
  testkit::start("\r");
  int32_t v = 7;
  EXPECT_THROW(READLONGINT("w: ", v), testkit::KeysExhausted);
  EXPECT_EQ(testkit::row(1), "w: 7");

  testkit::start("1x\r42\r");
  v = 7;
  READLONGINTLN("w: ", v);
  EXPECT_EQ(testkit::row(1), "w: 42");
  EXPECT_EQ(testkit::row(2), "");
  EXPECT_EQ(con::whereY(), 2);
}

TEST(ReadLongInt, FieldOnTheLastRowFollowsTheScroll) {
  testkit::start("x\r5\r");
  con::window(1, 1, 80, 3);
  con::gotoXY(1, 3);
  int32_t v = 1;
  READLONGINT("w: ", v);
  EXPECT_EQ(v, 5);
  // The refused line's break scrolled the field up to row 2; the value is
  // redrawn there, and no stale copy is left on the row below.
  EXPECT_EQ(testkit::row(1), "");
  EXPECT_EQ(testkit::row(2), "w: 5");
  EXPECT_EQ(testkit::row(3), "");
}

TEST(ReadWeight, FollowsTheWeightsSetting) {
  testkit::start("\r");
  int32_t v = 7;
  READWEIGHTLN(SETTINGS, "w: ", v);  // short prompt: Enter keeps the default
  EXPECT_EQ(v, 7);

  testkit::start("\r3\r");
  SETTINGS.WEIGHTS = "longinteger";
  READWEIGHTLN(SETTINGS, "w: ", v);  // long prompt: waits for a number
  EXPECT_EQ(v, 3);
}

GTYP boxOf(std::initializer_list<std::pair<int32_t, int32_t>> dims) {
  GTYP g{};
  int d = 1;
  for (auto [lo, up] : dims) {
    g[2][d][1] = lo;
    g[2][d][2] = up;
    ++d;
  }
  return g;
}

TEST(PointQuad, BoundsAreInclusiveInEveryDimension) {
  GTYP g = boxOf({{3, 10}, {2, 5}, {-4, 0}});
  struct Case {
    POINT p;
    uint8_t n;
    bool inside;
  } cases[] = {
      {{{0, 3, 2, -4}}, 3, true},    // lower corner
      {{{0, 10, 5, 0}}, 3, true},    // upper corner
      {{{0, 2, 2, -4}}, 3, false},   // one below in dimension 1
      {{{0, 3, 1, -4}}, 3, false},   // one below in dimension 2
      {{{0, 3, 2, -5}}, 3, false},   // one below in dimension 3
      {{{0, 10, 6, 0}}, 3, false},   // one above
      {{{0, 3, 2, -5}}, 2, true},    // dimension 3 not examined
      {{{0, 99, 99, 99}}, 0, true},  // no dimension at all
  };
  for (const Case& c : cases)
    EXPECT_EQ(POINTQUAD(g, 2, c.p, c.n), c.inside)
        << c.p[1] << "," << c.p[2] << "," << c.p[3] << " n=" << int(c.n);
}

TEST(WriteQuad, PrintsBracketedPairsAndEndsTheLine) {
  GTYP g = boxOf({{3, 10}, {-2, 5}});
  testkit::start();
  WRITEQUADLN(g[2], 2);
  WRITEQUADLN(g[2], 1);
  EXPECT_EQ(testkit::row(1), "[3,10] * [-2,5]");
  EXPECT_EQ(testkit::row(2), "[3,10]");
  EXPECT_EQ(con::whereY(), 3);
}

TEST(ReadQuad, AsksEachLowerBoundWithDefaultZero) {
  GTYP g = boxOf({{8, 9}, {8, 9}});
  testkit::start("4\r\r");
  READQUADLN1(SETTINGS, g, 2, 2);
  EXPECT_EQ(testkit::row(1), "threshold subgame 1:    4");
  EXPECT_EQ(testkit::row(2), "threshold subgame 2:    0");
  EXPECT_EQ(g[2][1][1], 4);
  EXPECT_EQ(g[2][2][1], 0);
  EXPECT_EQ(g[2][1][2], 0);  // upper bounds left for the caller
  EXPECT_EQ(g[2][2][2], 0);
}

POSTYP positions(std::initializer_list<std::pair<double, double>> players) {
  POSTYP p{};
  int i = 1;
  for (auto [x, y] : players) {
    p[1][i] = x;
    p[2][i] = y;
    ++i;
  }
  return p;
}

TEST(Distances, EuclideanMaximumAndSimilarity) {
  // Players 1..3 pairwise 3, 4 and 5 apart.
  POSTYP p = positions({{0, 0}, {3, 0}, {0, 4}});
  EXPECT_DOUBLE_EQ(DIST(p, 1, 2, 2, 2), 3.0);
  EXPECT_DOUBLE_EQ(DIST(p, 2, 3, 2, 2), 5.0);
  EXPECT_DOUBLE_EQ(DIST(p, 2, 3, 1, 2), 3.0);  // first theme only
  EXPECT_DOUBLE_EQ(DIST(p, 2, 3, 0, 2), 0.0);
  EXPECT_DOUBLE_EQ(DIST_MAX(p, 3, 2), 5.0);
  EXPECT_DOUBLE_EQ(DIST_MAX(p, 2, 2), 3.0);

  PERMTYP all{};
  all[1] = all[2] = all[3] = true;
  EXPECT_NEAR(DIST_KOAL(all, p, 3, 3, 2, 5.0), 0.2, 1e-12);
  PERMTYP pair{};
  pair[2] = pair[3] = true;
  EXPECT_NEAR(DIST_KOAL(pair, p, 3, 2, 2, 5.0), 0.0, 1e-12);  // as far apart as can be
  PERMTYP one{};
  one[2] = true;
  EXPECT_EQ(DIST_KOAL(one, p, 3, 1, 2, 5.0), 0.0);
}

TEST(Distances, IdenticalPositions) {
  POSTYP p = positions({{2, 2}, {2, 2}, {2, 2}});
  EXPECT_EQ(DIST_MAX(p, 3, 2), 1.0);
  EXPECT_EQ(DIST_MAX(p, 1, 2), 1.0);  // fewer than two players
  PERMTYP all{};
  all[1] = all[2] = all[3] = true;
  EXPECT_EQ(DIST_KOAL(all, p, 3, 3, 2, DIST_MAX(p, 3, 2)), 1.0);
  EXPECT_FALSE(std::isnan(DIST_KOAL(PERMTYP{}, p, 3, 0, 2, 1.0)));
}

TEST(Distances, SimilarityDoesNotDependOnTheScaleOfThePositions) {
  // Random positions of random coalitions, scaled by powers of two from
  // 2^-1000 to 2^1000 (where squared differences underflow or overflow):
  // every similarity equals the unscaled one exactly, and distances scale.
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> coord(-100.0, 100.0);
  for (int round = 0; round < 50; ++round) {
    const int n = std::uniform_int_distribution<int>(2, 12)(rng);
    const int themes = std::uniform_int_distribution<int>(1, 10)(rng);
    POSTYP p{};
    for (int t = 1; t <= themes; ++t)
      for (int i = 1; i <= n; ++i) p[t][i] = coord(rng);
    PERMTYP perm{};
    int k = 0;
    for (int i = 1; i <= n; ++i)
      if ((perm[i] = rng() % 2 == 0)) ++k;
    const double distmax = DIST_MAX(p, n, themes);
    const double plain = DIST_KOAL(perm, p, n, k, themes, distmax);
    for (int e : {-1000, -600, -200, 200, 600, 900, 1010}) {
      POSTYP q{};
      for (int t = 1; t <= themes; ++t)
        for (int i = 1; i <= n; ++i) q[t][i] = std::ldexp(p[t][i], e);
      const double qmax = DIST_MAX(q, n, themes);
      ASSERT_EQ(qmax, std::ldexp(distmax, e)) << "round " << round << " scale 2^" << e;
      EXPECT_EQ(DIST_KOAL(perm, q, n, k, themes, qmax), plain) << "round " << round << " 2^" << e;
    }
  }
  // Positions of 1e200, as a file may give them.
  POSTYP big = positions({{0, 0}, {3e200, 0}, {0, 4e200}});
  EXPECT_DOUBLE_EQ(DIST_MAX(big, 3, 2), 5e200);
  PERMTYP all{};
  all[1] = all[2] = all[3] = true;
  EXPECT_NEAR(DIST_KOAL(all, big, 3, 3, 2, DIST_MAX(big, 3, 2)), 0.2, 1e-12);
  // Subnormal positions give the similarities of ordinary ones.
  for (double u : {1e-310, 4.9e-324}) {
    POSTYP tiny = positions({{0, 0}, {3 * u, 0}, {0, 3 * u}});
    const double m = DIST_MAX(tiny, 3, 2);
    EXPECT_NEAR(DIST_KOAL(all, tiny, 3, 3, 2, m), 1 - (1 + std::sqrt(2.0)) / 3, 0.05) << u;
    EXPECT_TRUE(std::isfinite(DIST_KOAL(all, tiny, 3, 3, 2, m))) << u;
  }
  // Beyond the largest double a distance is infinite, never NAN.
  POSTYP huge = positions({{1.7e308, 0}, {-1.7e308, 0}});
  EXPECT_EQ(DIST(huge, 1, 2, 2, 2), INFINITY);
}

}  // namespace
