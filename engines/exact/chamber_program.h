// Fast counting core of the engines for unweighted chambers: the same totals
// as ISA_SUMS and ISA_SCALE (engines/walk/vector_walk.h), from a dynamic program that
// goes through the chambers once (and once more per chamber for the swings)
// instead of walking every count vector of every box. Its work grows with
// the squares of the chamber sizes, never with their product, and its counts
// live in the extended range of XNUM, so that chambers of up to 65535
// members give finite totals.
#pragma once

#include "engines/walk/vector_walk.h"
#include "types/xnum.h"

using ISAXVECTOR = TABLE<XNUM, MAXCHAMB + 1>;  // one value per chamber 1..10

// The totals of ISATOTALS (same meaning per kind, same scaling) in extended
// range: winning coalitions, swings and the public good sums may exceed a
// double; the Shapley values and the shares never do.
struct ISAXTOTALS {
  ISAXVECTOR SHAP{};
  ISAXVECTOR PIV0{};
  ISAXVECTOR PIV1{};
  XNUM WINSETS{};
};

// The raw sums, before scaling: what ISA_SUMS adds up, for the same games
// (a game outside the tables counts nothing, as there).
ISAXTOTALS ISA_FAST_SUMS(ISAKIND KIND, const ISAGAME& GAME);
// The final scaling, as ISA_SCALE.
void ISA_FAST_SCALE(ISAKIND KIND, const ISAGAME& GAME, ISAXTOTALS& T);
// Sums and scaling together.
ISAXTOTALS ISA_FAST(ISAKIND KIND, const ISAGAME& GAME);

// The totals as doubles (infinite where they exceed a double).
ISATOTALS ISA_TODOUBLE(const ISAXTOTALS& T);
// Totals in doubles (the walk's) as the same values in extended range.
ISAXTOTALS ISA_TOEXTENDED(const ISATOTALS& T);
// The count and the chambers' SHAP and PIV0 totals of T as a result
// record's extended values.
XTOTALTYP ISA_XTOTALS(const ISAGAME& GAME, const ISAXTOTALS& T);
// Whether doubles hold every count and binomial coefficient of GAME (at
// most 1000 members in all, and N at most 1000): there the fast core counts
// in doubles, and the walk's totals are finite.
bool ISA_DOUBLES(const ISAGAME& GAME);
