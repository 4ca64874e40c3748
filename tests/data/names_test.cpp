// Player names from the comments of a data file's weight lines.
#include "data/names.h"

#include <gtest/gtest.h>

#include "data/gamefile.h"

namespace {

TEST(PlayerNames, FromTheLastCommentThatIsNotTheEditorsLabel) {
  const struct {
    const char* line;
    const char* name;
  } cases[] = {
      {"29 {Germany}", "Germany"},
      {"29  {weight player 1} {DE}", "DE"},
      {"29 { DE } {weight player 12}", "DE"},
      {"29  {weight player 3}", ""},
      {"29", ""},
      {"29 {}", ""},
      {"29 {Côte d'Ivoire", "Côte d'Ivoire"},
      {"29 {weight player x}", "weight player x"},
  };
  for (const auto& c : cases) EXPECT_EQ(COMMENTNAME(c.line), c.name) << c.line;
}

TEST(PlayerNames, FoundWhereTheReaderTakesTheWeights) {
  // Comments on count lines and other lines name nobody; the game is read
  // as the reader reads it, a missing last line included.
  const std::vector<std::string> lines = {"1 {weighted}", "2", "2 {chamber A}",
                                          "5 {P1}",       "3", "1 {chamber B}"};
  GAMETYP game;
  int32_t structure = 0;
  DATAPARSE(lines, structure, game.N, game.MM, game.NN, game.GEW, game.MEM);
  game.DATASTRUCTURE = DATASTRUCTOF(structure);
  EXPECT_EQ(PLAYERNAMES(lines, game), (std::vector<std::string>{"", "P1", "", ""}));
  game.DATASTRUCTURE = DATASTRUCT::UNWEIGHTED;
  EXPECT_EQ(PLAYERNAMES(lines, game).size(), 1u);
}

}  // namespace
