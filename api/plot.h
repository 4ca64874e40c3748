// Pictures of a run as plain SVG: for one rule, each player's index beside
// its weight share as bars; for a sweep, each player's index against the
// quota as lines.
#pragma once

#include <string>
#include <vector>

#include "api/output.h"

// The picture of SETS (one set per quota when SWEEP). One rule: a group of
// bars per player (its weight share and each index's share column,
// CLISHARECOLUMN; of several indices those that have one), the players'
// names below, the indices and the rule in the title. A sweep: the first
// index's column against the quota, one labelled line per player; beyond
// PLOTLINES players the strongest PLOTLINES - 1 keep their lines and the
// rest are drawn as one line of their mean, "others".
std::string PLOTSVG(const std::vector<CLISETTYP>& SETS, bool SWEEP);

constexpr std::size_t PLOTLINES = 10;
