// Sampling as a step of a plan (--estimate): the estimate of an index is
// planned like a count, its samples decided before the run from a pilot
// (engines/sample/sampler.h), its seconds and bytes from the sampler's
// measured rates, and refused before it starts where it would take beyond
// the time limit or the memory. A game whose exact plan takes under
// EXACTINSTEAD seconds is counted exactly instead: the step is then that
// count's, with its method.
#pragma once

#include "engines/plan/planner.h"
#include "engines/sample/sampler.h"

namespace planner {

// Seconds below which an exact count takes the place of sampling.
constexpr double EXACTINSTEAD = 1.0;

// The step of INDEX of GAME under RULE when an estimate is asked for:
// the exact plan where it surely takes under EXACTINSTEAD seconds, else sampling
// (METHOD SAMPLING, SAMPLES and CAPPED) with the exact plan among the
// candidates. OPTIONS give the error, the sample budget and the seed.
STEPTYP PLANSAMPLED(const GAMETYP& GAME, const RULETYP& RULE, INDEXTYP INDEX,
                    const sampler::Options& OPTIONS, const POLICYTYP& POLICY);

}  // namespace planner
