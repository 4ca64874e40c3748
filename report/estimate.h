// Sampled estimates of the weighted indices as a front end shows them, for
// games too large to count exactly: each estimated value with its error
// (engines/sample/sampler.h: the larger distance to the ends of its
// interval at one standard error, which holds at small counts). An
// estimate has its own descriptor per index, whose columns are the
// estimated values followed by their errors, and its own report text,
// which says that the values are estimated:
//   shapley:    SS, SS_error (random orders of the players);
//   banzhaf:    NNBZ, NBZ and their errors (random coalitions);
//   publicgood: PGI, DPI and their errors (coalitions sampled by size).
// A value whose event was never drawn (NBZ without any swing, PGI and DPI
// without any minimal winning coalition) is empty, and the report says so.
// The inclusiveness, the MBP and the numbers of coalitions are not
// estimated.
#pragma once

#include "engines/sample/sampler.h"
#include "report/report.h"

// The estimate's descriptor of INDEX.
const REPORTKINDTYP& ESTIMATEKIND(INDEXTYP INDEX);

// Samples the index of GAME under RULE as OPTIONS ask (its samples, or
// those planned from a pilot) into R (RUNTYP::SAMPLED and the stamps);
// STATUS the sampler's. False for a game the sampling does not take: not
// weighted, the spatial version, or one WEIGHTEDCORE refuses.
bool RUNESTIMATE(INDEXTYP INDEX, const GAMETYP& GAME, const RULETYP& RULE,
                 const sampler::Options& OPTIONS, RUNTYP& R, sampler::STATUS& STATUS);

// An exact count R of KIND in the estimate's form: each estimated value
// from the count's column of the same title, every error 0, reached.
void EXACTESTIMATE(const REPORTKINDTYP& KIND, double ERROR, RUNTYP& R);

// The titles of the estimated values of R that have no value at all (no
// event drawn), joined by ", "; empty where every value has one.
std::string UNESTIMATED(const RUNTYP& R, INDEXTYP INDEX);
