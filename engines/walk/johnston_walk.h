// The Johnston index of any weighted game by walking every coalition: the
// reference of the table (engines/exact/johnston_table.h) and the count of
// the rules it does not cover (several win sets or vote systems, overall
// thresholds, the blocking minority, negative weights).
//
// Each winning coalition's critical members (those without whom it loses)
// share one: player i's score is the sum of 1/c over the winning
// coalitions in which it is one of c critical members. Cost: 2^n
// coalitions, and for each winning one a test per member.
#pragma once

#include <cstdint>
#include <vector>

#include "engines/walk/weighted_walk.h"

namespace weightedwalk {

struct JohnstonCounts {
  explicit JohnstonCounts(int N = 0)
      : critical(static_cast<std::size_t>(N) + 1),
        bySize(static_cast<std::size_t>(N) + 1,
               std::vector<uint64_t>(static_cast<std::size_t>(N) + 1)) {}
  uint64_t wins = 0;               // winning coalitions (the empty one is never visited)
  uint64_t vulnerable = 0;         // winning coalitions with a critical member
  std::vector<uint64_t> critical;  // [p]: coalitions in which p is critical
  // [p][c]: those of them with c critical members; the score of p is the
  // sum of bySize[p][c] / c.
  std::vector<std::vector<uint64_t>> bySize;
};

// Most players the walk takes (2^30 coalitions, some minutes).
constexpr int JOHNSTONWALKMAX = 30;

// Walks every coalition of G into C; false (C reset) for a game that does
// not FIT or has more than JOHNSTONWALKMAX players. PROGRESS (may be null)
// hears of the share done now and then, with DATA; it may end the walk by
// throwing.
bool JOHNSTON_CORE(const Game& G, JohnstonCounts& C, void (*PROGRESS)(void*, double) = nullptr,
                   void* DATA = nullptr);

// The score of a player from its counts by number of critical members.
double JOHNSTONSCORE(const std::vector<uint64_t>& BYSIZE);

}  // namespace weightedwalk
