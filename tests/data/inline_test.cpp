#include "data/inline.h"

#include <gtest/gtest.h>

#include "data/gamefile.h"
#include "data/names.h"
#include "data/winsets.h"

namespace {

// A typed game reads back through the data file reader as its weights and
// names, without a warning; what cannot be a game is refused with a reason.
TEST(InlineGame, ReadsBackAsTheGameTyped) {
  std::vector<std::string> lines;
  ASSERT_EQ(INLINEGAME({"DE:29,FR:29,7", "a:b:-3"}, "", lines), "");
  GAMETYP game;
  int32_t ds = 0;
  DATAWARNINGS noted;
  DATAPARSE(lines, ds, game.N, game.MM, game.NN, game.GEW, game.MEM, &noted);
  game.DATASTRUCTURE = DATASTRUCTOF(ds);
  EXPECT_TRUE(noted.empty());
  EXPECT_EQ(game.MM, 2);
  EXPECT_EQ(game.N, 4);
  EXPECT_EQ(game.GEW[1][2], 29);
  EXPECT_EQ(game.GEW[2][1], -3);
  EXPECT_EQ(PLAYERNAMES(lines, game), (std::vector<std::string>{"", "DE", "FR", "", "a:b"}));
  ASSERT_EQ(INLINEGAME({}, "100,50", lines), "");
  DATAPARSE(lines, ds, game.N, game.MM, game.NN, game.GEW, game.MEM);
  EXPECT_EQ(game.N, 150);
  for (const auto& [weights, members, reason] :
       std::vector<std::tuple<std::vector<std::string>, std::string, std::string>>{
           {{"4,1.5"}, "", "no whole number '1.5' in --weights"},
           {{"4,,1"}, "", "no whole number '' in --weights"},
           {{"x{y:4"}, "", "a name with a brace or a control character in --weights"},
           {{"x\xc2\x9b[2J:4"}, "", "a name with a brace or a control character in --weights"},
           {{"\xd6sterreich:4"}, "", "a name that is not UTF-8 in --weights"},
           {{}, "3,x", "no whole number 'x' in --members"},
           {{"1"}, "3", "--weights and --members exclude each other"},
           {{}, "", "no players given"}})
    EXPECT_EQ(INLINEGAME(weights, members, lines), reason);
}

// Shares are exact fractions of the total: the smallest whole number that
// reaches them.
TEST(InlineGame, SharesOfTheTotal) {
  for (const auto& [text, total, value] :
       std::vector<std::tuple<std::string, int64_t, int64_t>>{{"62%", 1000, 620},
                                                              {"62%", 1001, 621},
                                                              {"62.5%", 8, 5},
                                                              {"100%", 345, 345},
                                                              {"0%", 9, 0},
                                                              {"majority", 10, 6},
                                                              {"majority", 11, 6},
                                                              {"50%", 11, 6}}) {
    int64_t v = -1;
    EXPECT_TRUE(WINSETSHARE(text, total, v)) << text;
    EXPECT_EQ(v, value) << text << " of " << total;
  }
  int64_t v = 7;
  for (const char* bad : {"%", "62", "101%", "6.2.5%", "-5%", "x%", "62 %"})
    EXPECT_FALSE(WINSETSHARE(bad, 1000, v)) << bad;
  EXPECT_EQ(v, 7);
}

}  // namespace
