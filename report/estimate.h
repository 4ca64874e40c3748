// Sampled estimates of the weighted indices as a front end shows them, for
// games too large to count exactly: each estimated value with its standard
// error (engines/sample/sampler.h). An estimate has its own descriptor per
// index, whose columns are the estimated values followed by their errors,
// and its own report text, which says that the values are estimated:
//   shapley:    SS, SS_error (random orders of the players);
//   banzhaf:    NNBZ, NBZ and their errors (random coalitions);
//   publicgood: PGI, DPI and their errors (coalitions sampled by size).
// The inclusiveness, the MBP and the numbers of coalitions are not
// estimated.
#pragma once

#include "report/report.h"

// The estimate's descriptor of INDEX.
const REPORTKINDTYP& ESTIMATEKIND(INDEXTYP INDEX);

// Samples the index of GAME under RULE until every standard error is below
// ERROR, or for MAXSECONDS at the most, into R (RUNTYP::SAMPLED and the
// stamps). False for a game the sampling does not take: not weighted, the
// spatial version, or one WEIGHTEDCORE refuses.
bool RUNESTIMATE(INDEXTYP INDEX, const GAMETYP& GAME, const RULETYP& RULE, double ERROR,
                 double MAXSECONDS, RUNTYP& R);
