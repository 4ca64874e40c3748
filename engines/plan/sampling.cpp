#include "engines/plan/sampling.h"

#include "engines/convert/counting_game.h"

namespace planner {

STEPTYP PLANSAMPLED(const GAMETYP& GAME, const RULETYP& RULE, INDEXTYP INDEX,
                    const sampler::Options& OPTIONS, const POLICYTYP& POLICY) {
  const STEPTYP exact = PLANGAME(GAME, RULE, INDEX, POLICY);
  if (!exact.REFUSED && exact.SURE && exact.METHOD != METHODTYP::NONE &&
      exact.SECONDS < EXACTINSTEAD)
    return exact;
  STEPTYP step;
  step.INDEX = INDEX;
  step.BUDGET = POLICY.BUDGET;
  step.METHOD = METHODTYP::SAMPLING;
  weightedwalk::Game core;
  if (!WEIGHTEDCORE(GAME, RULE, core)) {
    step.METHOD = METHODTYP::NONE;
    step.REFUSED = true;
    step.REASON = "...number of players/subgames not allowed";
    return step;
  }
  core.position = nullptr;
  step.PLAYERS = core.n;
  step.WALKSECONDS = exact.WALKSECONDS;
  // The pilot is drawn now, so it must itself fit the time.
  sampler::Plan plan = sampler::PILOT(core, INDEX);
  const bool pilotFits = POLICY.SECONDS <= 0 || plan.pilotSeconds <= POLICY.SECONDS;
  if (pilotFits) plan = sampler::PLAN(core, INDEX, OPTIONS);
  step.SAMPLES = plan.samples;
  step.CAPPED = plan.capped;
  step.SECONDS = plan.seconds;
  step.BYTES = plan.bytes;
  step.ORDER.push_back(METHODTYP::SAMPLING);
  COSTTYP cost;
  cost.APPLIES = true;
  cost.SECONDS = step.SECONDS;
  cost.BYTES = step.BYTES;
  step.CANDIDATES.push_back({METHODTYP::SAMPLING, cost, ""});
  if (exact.METHOD != METHODTYP::NONE) {
    COSTTYP counted;
    counted.APPLIES = true;
    counted.SECONDS = exact.SECONDS;
    counted.BYTES = exact.BYTES;
    counted.PASSES = exact.PASSES;
    counted.SURE = exact.SURE;
    step.CANDIDATES.push_back(
        {exact.METHOD, counted,
         exact.REFUSED ? exact.REASON : "beyond a second: sampled as asked (--estimate)"});
  }
  if (POLICY.BUDGET > 0 && step.BYTES > POLICY.BUDGET) {
    step.REFUSED = true;
    step.REASON = "beyond the memory";
  } else if (!pilotFits || (POLICY.SECONDS > 0 && step.SECONDS > POLICY.SECONDS)) {
    step.REFUSED = true;
    step.REASON = "beyond the time limit";
  }
  return step;
}

}  // namespace planner
