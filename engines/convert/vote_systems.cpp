#include "engines/convert/vote_systems.h"

#include <string>

namespace wrun {

std::string LISTLINE(const PERMTYP& PERM, uint16_t N, const MEMTYP& MEM) {
  std::string line;
  for (int p = 1; p <= N; ++p) {
    if (MEM[p][1] == 1 && MEM[p][0] > 1) line += '/';
    if (PERM[p]) {
      line += std::to_string(MEM[p][1]);
      line += '/';
    }
  }
  return line;
}

bool SYSTEMFITS(const GAMETYP& GAME, int32_t DATASTRUCTURE, uint16_t N1, uint16_t MM1,
                const NNTYP& NN1) {
  // A file of another shape, or without weights, cannot be a further vote
  // system of this game.
  if (N1 != GAME.N || MM1 != GAME.MM) return false;
  for (int sg = 1; sg <= GAME.MM && sg <= MAXCHAMB; ++sg)
    if (NN1[sg] != GAME.NN[sg]) return false;
  return DATASTRUCTOF(DATASTRUCTURE) == DATASTRUCT::WEIGHTED;
}

}  // namespace wrun
