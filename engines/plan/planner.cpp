#include "engines/plan/planner.h"

#include <algorithm>
#include <cmath>

#include "engines/convert/counting_game.h"
#include "engines/exact/chamber_program.h"
#include "engines/exact/fast_counts.h"
#include "engines/exact/spatial_table.h"

namespace planner {

namespace {

// Measured costs of the walks (one core, 2.6 GHz, bench/plan_bench): a
// coalition of the weighted walk in about WALK_NS (24 players with a
// negative weight: 2^24 coalitions in 0.50 s), of the public good walk in
// about MINIMAL_WALK_NS (0.18 s); the spatial walk adds the pairs of
// members of each coalition, about SPATIAL_PAIR_NS each (22 players: 2^22
// coalitions in 6.1 s, some 58 pairs on average); a count vector of the
// chambers' walk in about VECTOR_NS, and the chambers' dynamic program
// about CHAMBER_NS per member squared and chamber. Every count also sets up
// its records, some COUNT_SECONDS (the Electoral College's counts).
constexpr double WALK_NS = 30.0, MINIMAL_WALK_NS = 11.0, SPATIAL_PAIR_NS = 25.0;
constexpr double COUNT_SECONDS = 2e-4;
constexpr double VECTOR_NS = 40.0, CHAMBER_NS = 2.0;

void take(STEPTYP& step, METHODTYP method, const COSTTYP& cost) {
  step.METHOD = method;
  step.PASSES = cost.PASSES;
  step.BYTES = cost.BYTES;
  step.SECONDS = cost.SECONDS + (method == METHODTYP::WALK ? 0 : COUNT_SECONDS);
  step.SURE = cost.SURE;
}

}  // namespace

double WALKSECONDS(const weightedwalk::Game& CORE, INDEXTYP INDEX) {
  const double n = CORE.n;
  const double perCoalition = (INDEX == INDEXTYP::PUBLICGOOD ? MINIMAL_WALK_NS : WALK_NS) +
                              (CORE.position != nullptr ? SPATIAL_PAIR_NS * n * (n - 1) / 8 : 0.0);
  return COUNT_SECONDS + std::ldexp(perCoalition * 1e-9, CORE.n);
}

STEPTYP PLANWEIGHTED(const weightedwalk::Game& CORE, INDEXTYP INDEX, const POLICYTYP& POLICY) {
  const std::size_t n1 = static_cast<std::size_t>(std::max(CORE.n, 0)) + 1;
  COSTTYP walk;
  walk.APPLIES = CORE.n <= std::min(POLICY.WALKPLAYERS, weightedwalk::WALKMAX);
  walk.BYTES = 2 * n1 * n1 * sizeof(uint64_t);
  walk.SECONDS = WALKSECONDS(CORE, INDEX);
  if (!walk.APPLIES) walk.WHY = "beyond the walk's players";
  const char* uncovered = CORE.position != nullptr
                              ? "the spatial version weighs every coalition on its own"
                              : "a negative weight: the rule is not monotone";
  std::vector<fastcount::Option> options = fastcount::OPTIONS(CORE, INDEX, POLICY.BUDGET);
  // The spatial version: its own table by pairs of members and sizes
  // (engines/exact/spatial_table.h), where the rule is one weighted threshold.
  const bool spatial = CORE.position != nullptr && INDEX == INDEXTYP::SHAPLEY;
  if (spatial)
    options.push_back({METHODTYP::SPATIALTABLE, spatialtable::COST(CORE, POLICY.BUDGET)});
  STEPTYP step = PLANOPTIONS(CORE.n, INDEX, options, walk, uncovered, POLICY);
  // Beyond the walk, a spatial rule the table does not take.
  if (spatial && step.REFUSED && step.METHOD == METHODTYP::NONE && !options.back().cost.APPLIES &&
      std::string(options.back().cost.WHY) != "its tables exceed the memory")
    step.REASON = "...the spatial version of more than " + std::to_string(POLICY.WALKPLAYERS) +
                  " players is counted for one weighted threshold only";
  return step;
}

STEPTYP PLANOPTIONS(int PLAYERS, INDEXTYP INDEX, const std::vector<fastcount::Option>& OPTIONS,
                    const COSTTYP& WALK, const char* UNCOVERED, const POLICYTYP& POLICY) {
  STEPTYP step;
  step.INDEX = INDEX;
  step.PLAYERS = PLAYERS;
  step.BUDGET = POLICY.BUDGET;
  step.WALKSECONDS = WALK.SECONDS;
  const COSTTYP& walk = WALK;
  if (POLICY.WALK) {
    step.CANDIDATES.push_back({METHODTYP::WALK, walk, ""});
    if (walk.APPLIES) {
      take(step, METHODTYP::WALK, walk);
      step.ORDER.push_back(METHODTYP::WALK);
    } else {
      step.REFUSED = true;
      step.REASON = "...number of players/subgames not allowed";
    }
    return step;
  }
  // The fast methods in their unit's order.
  const std::vector<fastcount::Option>& options = OPTIONS;
  if (options.empty()) {
    step.CANDIDATES.push_back({METHODTYP::SIZEWEIGHTTABLE, {}, ""});
    step.CANDIDATES.back().COST.WHY = UNCOVERED;
    step.CANDIDATES.back().WHY = step.CANDIDATES.back().COST.WHY;
  }
  const fastcount::Option* first = nullptr;
  for (const fastcount::Option& o : options) {
    step.CANDIDATES.push_back({o.method, o.cost, o.cost.APPLIES ? "" : o.cost.WHY});
    if (!o.cost.APPLIES) continue;
    if (first == nullptr) first = &o;
    step.ORDER.push_back(o.method);
  }
  // The unit's first method beyond the time limit: another that is sure to
  // end in time goes first.
  if (first != nullptr && POLICY.SECONDS > 0 && first->cost.SECONDS > POLICY.SECONDS)
    for (const fastcount::Option& o : options)
      if (o.cost.APPLIES && o.cost.SURE && o.cost.SECONDS <= POLICY.SECONDS) {
        first = &o;
        step.ORDER.erase(std::find(step.ORDER.begin(), step.ORDER.end(), o.method));
        step.ORDER.insert(step.ORDER.begin(), o.method);
        break;
      }
  const bool timely =
      first != nullptr && (POLICY.SECONDS <= 0 || first->cost.SECONDS <= POLICY.SECONDS);
  const bool walkFits = walk.APPLIES && (POLICY.WALKS || walk.SECONDS <= QUICKWALK);
  step.CANDIDATES.push_back({METHODTYP::WALK, walk, walk.WHY});
  if (timely) {
    take(step, first->method, first->cost);
    if (walkFits) step.ORDER.push_back(METHODTYP::WALK);
  } else if (walkFits && (POLICY.SECONDS <= 0 ||
                          walk.SECONDS <= std::max(POLICY.SECONDS, QUICKWALK) || POLICY.WALKS)) {
    // The walk alone: no fast method fits the memory or the time, but the
    // walk is quick or asked for.
    take(step, METHODTYP::WALK, walk);
    step.ORDER.assign(1, METHODTYP::WALK);
  } else {
    step.REFUSED = true;
    step.ORDER.clear();
    const bool fastBetter =
        first != nullptr && (!walk.APPLIES || first->cost.SECONDS <= walk.SECONDS);
    if (fastBetter)
      take(step, first->method, first->cost);
    else if (walk.APPLIES)
      take(step, METHODTYP::WALK, walk);
    step.REASON = step.METHOD == METHODTYP::NONE
                      ? "no exact method counts this game within the memory"
                      : "beyond the time limit";
  }
  // Why the others were not planned.
  for (CANDIDATETYP& c : step.CANDIDATES) {
    if (!c.WHY.empty() || c.METHOD == step.METHOD) continue;
    if (c.METHOD == METHODTYP::WALK && !walkFits)
      c.WHY = "beyond the quick walk of a minute";
    else if (c.COST.SECONDS > step.SECONDS)
      c.WHY = "slower";
    else
      c.WHY = "tried after the one planned";
  }
  return step;
}

STEPTYP PLANCHAMBERS(const ISAGAME& GAME, INDEXTYP INDEX, const POLICYTYP& POLICY) {
  STEPTYP step;
  step.INDEX = INDEX;
  step.BUDGET = POLICY.BUDGET;
  const double vectors = ISA_VECTORS(GAME);
  COSTTYP walk, program;
  walk.APPLIES = true;
  walk.SECONDS = vectors * VECTOR_NS * 1e-9;
  walk.BYTES = 1 << 16;
  program.APPLIES = true;
  double squares = 0;
  for (int d = 1; d <= GAME.MM; ++d) squares += static_cast<double>(GAME.NN[d]) * GAME.NN[d];
  program.SECONDS = squares * (GAME.MM + 1) * CHAMBER_NS * 1e-9;
  program.BYTES = static_cast<std::size_t>(squares * 16) + (1 << 16);
  const bool doubles = ISA_DOUBLES(GAME);
  const bool walked = POLICY.WALK || (doubles && vectors <= QUIETVECTORS);
  step.CANDIDATES.push_back({METHODTYP::VECTORWALK, walk, walked ? "" : "slower"});
  step.CANDIDATES.push_back({METHODTYP::CHAMBERPROGRAM, program, walked ? "slower" : ""});
  if (walked) {
    take(step, METHODTYP::VECTORWALK, walk);
    step.ORDER.push_back(METHODTYP::VECTORWALK);
    // Counts beyond a double's range come from the program, even when the
    // walk shows its vectors.
    if (!doubles) step.ORDER.push_back(METHODTYP::CHAMBERPROGRAM);
  } else {
    take(step, METHODTYP::CHAMBERPROGRAM, program);
    step.ORDER.push_back(METHODTYP::CHAMBERPROGRAM);
  }
  if (POLICY.SECONDS > 0 && step.SECONDS > POLICY.SECONDS && !POLICY.WALKS) {
    step.REFUSED = true;
    step.REASON = "beyond the time limit";
  }
  return step;
}

STEPTYP PLANGAME(const GAMETYP& GAME, const RULETYP& RULE, INDEXTYP INDEX,
                 const POLICYTYP& POLICY) {
  if (GAME.DATASTRUCTURE != DATASTRUCT::WEIGHTED)
    return PLANCHAMBERS(ISA_GAME(GAME, RULE), INDEX, POLICY);
  weightedwalk::Game core;
  STEPTYP step;
  step.INDEX = INDEX;
  if (!WEIGHTEDCORE(GAME, RULE, core)) {
    step.REFUSED = true;
    step.REASON = "...number of players/subgames not allowed";
    return step;
  }
  if (INDEX != INDEXTYP::SHAPLEY) core.position = nullptr;
  return PLANWEIGHTED(core, INDEX, POLICY);
}

}  // namespace planner
