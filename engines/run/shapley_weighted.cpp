#include "engines/run/shapley_weighted.h"

SHAPLEYRES SHAPLEY_WEIGHTED(const GAMETYP& GAME, const weightedwalk::Game& CORE,
                            const weightedwalk::WinCounts& COUNTS) {
  const weightedwalk::Game& g = CORE;
  const weightedwalk::WinCounts& c = COUNTS;
  SHAPLEYRES r;
  for (int s = 1; s <= g.mm; ++s) {  // rows grown for games beyond 50 players
    r.SS[s].fit(static_cast<std::size_t>(GAME.NN[s]));
    r.II[s].fit(static_cast<std::size_t>(GAME.NN[s]));
  }
  for (int p = 1; p <= g.n; ++p) {
    r.SS[GAME.MEM[p][0]][GAME.MEM[p][1]] = c.value[p];
    r.II[GAME.MEM[p][0]][GAME.MEM[p][1]] = c.with[p];
  }
  for (int s = 1; s <= g.mm; ++s) r.II[s][0] = c.sub[s];
  r.WINS = c.wins;
  if (r.WINS == 0) return r;
  // Inclusiveness as shares of the winning coalitions; in the spatial
  // version, shares of similarity, where a zero similarity sum leaves its
  // entries as they are rather than dividing by it.
  const bool spatial = g.position != nullptr;
  const double all = c.dist0 + c.dist1;
  for (int s = 1; s <= g.mm; ++s)
    for (int j = 0; j <= GAME.NN[s]; ++j) {
      if (!spatial) {
        r.II[s][j] /= r.WINS;
        continue;
      }
      if (c.dist1 != 0) r.II[s][j] /= c.dist1;
      if (all != 0) r.SS[s][j] /= all;
    }
  return r;
}

int64_t BANZHAFSWINGS(int64_t WITH, int64_t WINS, bool EMPTYWINS) {
  return 2 * WITH - WINS - (EMPTYWINS ? 1 : 0);
}

BANZHAFRES BANZHAF_WEIGHTED(const GAMETYP& GAME, const weightedwalk::Game& CORE,
                            const weightedwalk::WinCounts& COUNTS) {
  const weightedwalk::Game& g = CORE;
  const weightedwalk::WinCounts& c = COUNTS;
  BANZHAFRES r;
  // At most 2^50 coalitions: every count is a whole number a double holds
  // exactly, so the swings are exact and a game without any is 0.
  const bool empty = weightedwalk::EMPTYWINS(g);
  const auto wins = static_cast<int64_t>(c.wins);
  for (int p = 1; p <= g.n; ++p)
    r.SWINGS[GAME.MEM[p][0]][GAME.MEM[p][1]] =
        static_cast<double>(BANZHAFSWINGS(static_cast<int64_t>(c.with[p]), wins, empty));
  r.WINS = c.wins;
  return r;
}
