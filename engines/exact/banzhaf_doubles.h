// The Banzhaf counts of one weighted threshold in extended-range floating
// point, for games beyond the 64-bit counts: one pass over the subsets by
// weight in doubles instead of one exact pass per prime (engines/exact/modular.h).
// The table only adds (a sum of positive terms, accurate to a few units in
// the last place); each distinct weight's swings come from the table with
// that player divided out again, summed over the player's window of
// weights: an alternating sum of blocks of the table, read off its prefix
// sums (in double-double) in time of the range over the weight. The
// alternation is where accuracy can be lost, so each swing count carries an
// estimate of its error (some units of the table's whole sum); a count that
// cannot be told from zero is settled by one exact pass modulo a prime, and
// a game whose counts cannot be settled is declined (left to the exact
// counting).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engines/exact/size_weight_table.h"
#include "types/xnum.h"

namespace doubletable {

// The counts of T (sizetable::Threshold, 0 < Q <= the total weight): the winning
// coalitions and the losing ones (the empty one among them), per player
// those containing it and its swings, per subgame those with no member of
// it.
struct Counts {
  XNUM all, losing;
  std::vector<XNUM> with, swings, without;
};

// Counts T into C; false (C unspecified) when an estimate of the error
// exceeds the accuracy kept (see above) or memory cannot be had.
bool BANZHAF(const sizetable::Threshold& T, Counts& C);

// Bytes and seconds BANZHAF takes on T (before any work).
std::size_t BYTES(const sizetable::Threshold& T);
double SECONDS(const sizetable::Threshold& T);

}  // namespace doubletable
