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
// rest are drawn as one line of their mean, "others"; the lines' labels
// sit at their ends, moved apart only as far as they must be; the quota
// axis is in percent of the total where the range was typed as shares.
// Beyond PLOTBARS players the bars show the largest PLOTBARS - 1 and one
// group of all the others, "others (N)", their shares added up.
std::string PLOTSVG(const std::vector<CLISETTYP>& SETS, bool SWEEP);

// The heights of labels wanted at TARGETS (ascending), moved apart to GAP
// at least and kept within LO..HI (as far as they fit), each as near its
// target as can be: the placement of least squared distance to the targets.
std::vector<double> SPREADLABELS(const std::vector<double>& TARGETS, double GAP, double LO,
                                 double HI);

constexpr std::size_t PLOTLINES = 10;
constexpr std::size_t PLOTBARS = 40;
