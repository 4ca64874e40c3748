// The counts of a described game under a rule, by its plan: the entry
// points the interactive program's commands and the command line call.
//
//   compute              SHAPLEY, BANZHAF, PUBLICGOOD of a GAMETYP under a
//                        RULETYP: the plan's methods in turn (engines/plan),
//                        the results with the method that counted them.
//   shapley_weighted,    the results of each index family from the counts:
//   publicgood_weighted  weighted games ...
//   shapley_chambers,    ... and unweighted chambers.
//   banzhaf_chambers,
//   publicgood_chambers
#pragma once

#include "engines/run/compute.h"
