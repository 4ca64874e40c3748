// The further vote systems of a multiple-weights game, and the listing line
// of a coalition.
#pragma once

#include <cstdint>
#include <string>

#include "types/vkxdecl.h"
#include "types/vkxgame.h"

namespace wrun {

// Whether a data file loaded as DATASTRUCTURE, N1, MM1, NN1 can be a
// further vote system of GAME: weighted, with the same players in the same
// subgames.
bool SYSTEMFITS(const GAMETYP& GAME, int32_t DATASTRUCTURE, uint16_t N1, uint16_t MM1,
                const NNTYP& NN1);

// One listing line: for every player in order, "/" at the start of each
// subgame after the first, and "number/" for each member.
std::string LISTLINE(const PERMTYP& PERM, uint16_t N, const MEMTYP& MEM);

}  // namespace wrun
