// Counting core of the engines for unweighted chambers whose win sets are
// boxes over the numbers of members per chamber. All players of a chamber
// are alike, so a coalition is described by its count vector (members per
// chamber); the core walks the count vectors of every box and counts the
// coalitions behind each with binomial coefficients. The work grows with the
// number of count vectors, never with 2^N, and no per-player table is used,
// so chambers of hundreds or thousands of members are fine.
//
// The counting functions are pure (no screen, no keyboard); dialogue/isadialog.h
// wraps them in the run dialogue the engines share.
#pragma once

#include <cstdint>

#include "types/vkxdecl.h"
#include "types/vkxgame.h"

// One game as the engines receive it.
struct ISAGAME {
  uint16_t N = 0;                 // all players; the Shapley weights are taken over N
  uint16_t MM = 0;                // chambers (dimensions), 1..10
  NNTYP NN{};                     // members per chamber
  int32_t THRES = 0;              // win sets (boxes) 1..THRES of G
  GTYP G{};                       // the boxes; [w][d][1] lower, [w][d][2] upper bound
  uint16_t T1 = 0, T2 = 0;        // overall thresholds (numbers of members)
  uint16_t T1ANZ = 0, T2ANZ = 0;  // leading chambers each overall threshold counts over
};

// The count-vector game of an unweighted GAME under RULE: the ISA versions
// take the rule's two overall thresholds (cut to 16 bits as the dialogue
// bounds them), the standard version none (thresholds 0, counted over one
// subgame each).
ISAGAME ISA_GAME(const GAMETYP& GAME, const RULETYP& RULE);

// Which totals a run collects and which winning rule it applies.
enum class ISAKIND : uint8_t {
  SHAPLEY,      // overall thresholds bind every box
  WORKINGPLAN,  // T1 binds box 1 only, T2 box 2 only, boxes 3.. have none
  BANZHAF,      // swings, rule as SHAPLEY
  PUBLICGOOD,   // minimal winning coalitions, rule as SHAPLEY
};

using ISAVECTOR = TABLE<double, MAXCHAMB + 1>;  // one value per chamber 1..10

// Per chamber d (index 0 unused). After scaling:
//   SHAPLEY, WORKINGPLAN: SHAP = sum of the Shapley-Shubik values of the
//     chamber's members; PIV0 = mean number of its members in a winning
//     coalition; PIV1 (SHAPLEY only) = share of winning coalitions with at
//     least one member of the chamber; WINSETS = winning coalitions.
//   BANZHAF: SHAP = swings of the chamber's members; PIV0 as above;
//     WINSETS = winning coalitions.
//   PUBLICGOOD: SHAP = sum over minimal winning coalitions S of |S in d|;
//     PIV0 = the same sum of |S in d| / |S|; WINSETS = minimal winning
//     coalitions.
// PIV0 and PIV1 stay unscaled sums (zero) when no coalition wins.
struct ISATOTALS {
  ISAVECTOR SHAP{};
  ISAVECTOR PIV0{};
  ISAVECTOR PIV1{};
  double WINSETS = 0.0;
};

// Called once per count vector visited: box I, vector P in dimensions 1..MM.
using ISAPROGRESS = void (*)(int32_t I, const POINT& P, uint16_t MM, void* DATA);

// The raw sums of one run, before the final scaling. Each winning count
// vector is counted once, through the first box whose rule it meets.
// A game outside the tables (MM not in 1..10, a chamber with a negative
// count, more than 65535 players in all) counts nothing.
ISATOTALS ISA_SUMS(ISAKIND KIND, const ISAGAME& GAME, ISAPROGRESS PROGRESS = nullptr,
                   void* DATA = nullptr);
// The final scaling of the sums (see ISATOTALS).
void ISA_SCALE(ISAKIND KIND, const ISAGAME& GAME, ISATOTALS& T);

// The count vectors a walk of GAME visits (every vector of every box that
// admits one): the measure of its work.
double ISA_VECTORS(const ISAGAME& GAME);

// Sums and scaling together, for a run starting from zero.
ISATOTALS ISA_SHAPLEY(const ISAGAME& GAME, ISAPROGRESS PROGRESS = nullptr, void* DATA = nullptr);
ISATOTALS ISA_SHAPLEY_WORKINGPLAN(const ISAGAME& GAME, ISAPROGRESS PROGRESS = nullptr,
                                  void* DATA = nullptr);
ISATOTALS ISA_BANZHAF(const ISAGAME& GAME, ISAPROGRESS PROGRESS = nullptr, void* DATA = nullptr);
ISATOTALS ISA_PUBLICGOOD(const ISAGAME& GAME, ISAPROGRESS PROGRESS = nullptr, void* DATA = nullptr);
