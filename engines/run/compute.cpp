#include "engines/run/compute.h"

#include <memory>
#include <type_traits>

#include "engines/convert/counting_game.h"
#include "engines/exact/chamber_program.h"
#include "engines/exact/fast_counts.h"
#include "engines/exact/spatial_table.h"
#include "engines/plan/planner.h"
#include "engines/run/banzhaf_chambers.h"
#include "engines/run/publicgood_chambers.h"
#include "engines/run/publicgood_weighted.h"
#include "engines/run/shapley_chambers.h"
#include "engines/run/shapley_weighted.h"

bool HASENGINE(INDEXTYP INDEX, DATASTRUCT DATA, VERSION GAME) {
  const bool weighted = DATA == DATASTRUCT::WEIGHTED;
  const bool unweighted = DATA == DATASTRUCT::UNWEIGHTED;
  switch (GAME) {
    case VERSION::STANDARD:
      return weighted || unweighted;
    case VERSION::MULTIPLE:
      return weighted;
    case VERSION::SPATIAL:
      return weighted && INDEX == INDEXTYP::SHAPLEY;
    case VERSION::ISA:
      return unweighted && INDEX != INDEXTYP::PUBLICGOOD;
    case VERSION::ISAWP:
      return unweighted && INDEX == INDEXTYP::SHAPLEY;
    case VERSION::NONE:
      break;
  }
  return false;
}

namespace {

// The plan of a weighted count: the front end's, or one made here with the
// hooks' budget and walks (the interactive program's run plans so).
planner::STEPTYP stepOf(const weightedwalk::Game& core, INDEXTYP index, const HOOKSTYP& hooks) {
  if (hooks.STEP != nullptr) return *hooks.STEP;
  planner::POLICYTYP policy;
  policy.BUDGET = hooks.BUDGET;
  policy.WALKS = hooks.WALKS;
  policy.WALK = hooks.WALK;
  return planner::PLANWEIGHTED(core, index, policy);
}

// Spatial hook, to move into the planner's execution: the spatial
// version's counts by its own table (engines/exact/spatial_table.h), 1
// counted, 0 not, -1 stopped; only the winning coalitions' counts have one.
int spatialCounts(const weightedwalk::Game& core, const HOOKSTYP& hooks, std::size_t budget,
                  weightedwalk::WinCounts& counts) {
  return spatialtable::COUNT(core, counts, budget, &hooks.CONTROL);
}
int spatialCounts(const weightedwalk::Game&, const HOOKSTYP&, std::size_t,
                  weightedwalk::MinimalCounts&) {
  return 0;
}

// The counts of CORE for INDEX into COUNTS (the walk's records) by the
// plan: each of its methods in turn until one counts, the walk with the
// hooks' visitor; OVERBUDGET where the plan refuses the game or none of its
// methods counts it within the memory, CANCELLED where the hooks' control
// stopped it. METHOD learns the method that counted.
template <typename COUNTS>
STATUSTYP countsOf(const weightedwalk::Game& core, INDEXTYP index, const HOOKSTYP& hooks,
                   COUNTS& counts, METHODTYP& method,
                   void (*take)(const fastcount::Result&, const weightedwalk::Game&, COUNTS&),
                   bool (*walk)(const weightedwalk::Game&, COUNTS&, const weightedwalk::Visitor*)) {
  const planner::STEPTYP step = stepOf(core, index, hooks);
  if (step.REFUSED) return STATUSTYP::OVERBUDGET;
  for (const METHODTYP m : step.ORDER) {
    if (m == METHODTYP::WALK) {
      if (!walk(core, counts, hooks.VISITOR)) return STATUSTYP::REFUSED;
      method = m;
      return STATUSTYP::DONE;
    }
    if (m == METHODTYP::SPATIALTABLE) {  // spatial hook
      const int got = spatialCounts(core, hooks, step.BUDGET, counts);
      if (got < 0) return STATUSTYP::CANCELLED;
      if (got > 0) {
        method = m;
        return STATUSTYP::DONE;
      }
      continue;
    }
    auto r = std::make_unique<fastcount::Result>();
    const int got = fastcount::COUNT_WITH(core, index, m, *r, step.BUDGET, &hooks.CONTROL);
    if (got < 0) return STATUSTYP::CANCELLED;
    if (got > 0) {
      take(*r, core, counts);
      method = m;
      return STATUSTYP::DONE;
    }
  }
  return STATUSTYP::OVERBUDGET;
}

// The counts of a weighted game into COUNTS (the winning coalitions for
// the Shapley and Banzhaf indices, the minimal winning ones for the public
// good index); REFUSED when the game does not fit the tables (WEIGHTEDCORE).
STATUSTYP weightedCounts(const GAMETYP& game, const RULETYP& rule, INDEXTYP index,
                         const HOOKSTYP& hooks, weightedwalk::Game& core,
                         weightedwalk::WinCounts& counts, METHODTYP& method) {
  if (!WEIGHTEDCORE(game, rule, core)) return STATUSTYP::REFUSED;
  if (index != INDEXTYP::SHAPLEY) core.position = nullptr;
  if (index == INDEXTYP::BANZHAF)  // no sizes needed: its own count
    return countsOf(core, index, hooks, counts, method, fastcount::BANZHAF_COUNTS,
                    weightedwalk::SHAPLEY_CORE);
  return countsOf(core, index, hooks, counts, method, fastcount::SHAPLEY_COUNTS,
                  weightedwalk::SHAPLEY_CORE);
}
STATUSTYP weightedCounts(const GAMETYP& game, const RULETYP& rule, INDEXTYP index,
                         const HOOKSTYP& hooks, weightedwalk::Game& core,
                         weightedwalk::MinimalCounts& counts, METHODTYP& method) {
  if (!WEIGHTEDCORE(game, rule, core)) return STATUSTYP::REFUSED;
  core.position = nullptr;
  return countsOf(core, index, hooks, counts, method, fastcount::PUBLICGOOD_COUNTS,
                  weightedwalk::PUBLICGOOD_CORE);
}

// The result tables grown to hold every player of GAME, with XTOTALTYP's
// per-player entries: a result of a game beyond 50 players.
template <typename RES>
void fitResult(const GAMETYP& game, const weightedwalk::Game& core, RES& res, SHAPTYP& first,
               SHAPTYP* second) {
  for (int s = 1; s <= game.MM; ++s) {
    first[s].fit(static_cast<std::size_t>(game.NN[s]));
    if (second) (*second)[s].fit(static_cast<std::size_t>(game.NN[s]));
  }
  res.X.EXTENDED = true;
  const std::size_t all = static_cast<std::size_t>(core.n) + 1;
  res.X.SHAPP.assign(all, XNUM());
  res.X.PIVP.assign(all, XNUM());
}

// Player P's place in GAME's tables: its subgame, its number there and its
// entry in XTOTALTYP's per-player rows.
struct PLACE {
  int s, j;
  std::size_t at;
};
PLACE placeOf(const GAMETYP& game, int p) {
  const int s = game.MEM[p][0], j = game.MEM[p][1];
  return {s, j, XPLAYER(game.NN, s, j)};
}

XNUM share(const XNUM& a, const XNUM& b) { return b.m == 0 ? XNUM() : a / b; }

// The results of a game of more than 50 players from the fast counting's
// extended counts.
void fromWide(const GAMETYP& game, const weightedwalk::Game& core, const fastcount::Result& r,
              SHAPLEYRES& res) {
  fitResult(game, core, res, res.SS, &res.II);
  res.X.WINS = r.xwins;
  res.WINS = XTODOUBLE(r.xwins);
  for (int p = 1; p <= core.n; ++p) {
    const PLACE at = placeOf(game, p);
    const XNUM ii = share(r.xwith[static_cast<std::size_t>(p)], r.xwins);
    const double ss = r.shap[static_cast<std::size_t>(p)];
    res.SS[at.s][at.j] = ss;
    res.II[at.s][at.j] = XTODOUBLE(ii);
    res.X.SHAPP[at.at] = XNUM(ss);
    res.X.PIVP[at.at] = ii;
    res.X.SHAP[at.s] += XNUM(ss);
  }
  for (int s = 1; s <= game.MM; ++s) {
    res.X.PIV[s] = share(r.xsub[static_cast<std::size_t>(s)], r.xwins);
    res.II[s][0] = XTODOUBLE(res.X.PIV[s]);
  }
}
void fromWide(const GAMETYP& game, const weightedwalk::Game& core, const fastcount::Result& r,
              BANZHAFRES& res) {
  fitResult(game, core, res, res.SWINGS, nullptr);
  res.X.WINS = r.xwins;
  res.WINS = XTODOUBLE(r.xwins);
  for (int p = 1; p <= core.n; ++p) {
    const PLACE at = placeOf(game, p);
    const XNUM& swings = r.xswings[static_cast<std::size_t>(p)];
    res.SWINGS[at.s][at.j] = XTODOUBLE(swings);
    res.X.SHAPP[at.at] = swings;
    res.X.SHAP[at.s] += swings;
  }
}
void fromWide(const GAMETYP& game, const weightedwalk::Game& core, const fastcount::Result& r,
              PUBLICGOODRES& res) {
  fitResult(game, core, res, res.MWC, &res.SHARE);
  res.X.WINS = r.xminimal;
  res.MINWINS = XTODOUBLE(r.xminimal);
  for (int p = 1; p <= core.n; ++p) {
    const PLACE at = placeOf(game, p);
    const XNUM& with = r.xminimalWith[static_cast<std::size_t>(p)];
    const XNUM& part = r.xminimalShare[static_cast<std::size_t>(p)];
    res.MWC[at.s][at.j] = XTODOUBLE(with);
    res.SHARE[at.s][at.j] = XTODOUBLE(part);
    res.X.SHAPP[at.at] = with;
    res.X.PIVP[at.at] = part;
    res.X.SHAP[at.s] += with;
    res.X.PIV[at.s] += part;
  }
}

// Whether the fast methods can count CORE at all: not the spatial version
// (its similarity weights need every coalition) nor a negative weight in a
// vote system the rule uses (the rule is then not monotone).
bool countable(const weightedwalk::Game& core) {
  if (core.position != nullptr) return false;
  for (int k = 0; k < core.vs; ++k)
    for (int p = 1; p <= core.n; ++p)
      if (core.w[static_cast<std::size_t>(k)][static_cast<std::size_t>(p)] < 0) return false;
  return true;
}

// Spatial hook, to move into the planner's execution: a spatial game of
// more than 50 players by its own table (engines/exact/spatial_table.h),
// the results as the walk's counts give them, with the per-player entries
// in extended range.
SHAPLEYRES wideSpatial(const GAMETYP& game, const weightedwalk::Game& core, const HOOKSTYP& hooks) {
  const planner::STEPTYP step = stepOf(core, INDEXTYP::SHAPLEY, hooks);
  if (step.REFUSED || step.ORDER.empty() || step.ORDER.front() != METHODTYP::SPATIALTABLE)
    return NOTDONE<SHAPLEYRES>(STATUSTYP::OVERBUDGET);
  auto counts = std::make_unique<weightedwalk::WinCounts>(core.n, core.mm);
  const int got = spatialCounts(core, hooks, step.BUDGET, *counts);
  if (got <= 0) return NOTDONE<SHAPLEYRES>(got < 0 ? STATUSTYP::CANCELLED : STATUSTYP::OVERBUDGET);
  SHAPLEYRES res = SHAPLEY_WEIGHTED(game, core, *counts);
  fitResult(game, core, res, res.SS, &res.II);
  res.X.WINS = XNUM(res.WINS);
  for (int p = 1; p <= core.n; ++p) {
    const PLACE at = placeOf(game, p);
    res.X.SHAPP[at.at] = XNUM(res.SS[at.s][at.j]);
    res.X.PIVP[at.at] = XNUM(res.II[at.s][at.j]);
    res.X.SHAP[at.s] += XNUM(res.SS[at.s][at.j]);
  }
  for (int s = 1; s <= game.MM; ++s) res.X.PIV[s] = XNUM(res.II[s][0]);
  res.METHOD = METHODTYP::SPATIALTABLE;
  return res;
}

// A weighted game of more than 50 players, by the fast counting alone.
template <typename RES>
RES wideGame(const GAMETYP& game, const RULETYP& rule, INDEXTYP index, const HOOKSTYP& hooks) {
  weightedwalk::Game core;
  if (!WEIGHTEDCORE(game, rule, core)) return NOTDONE<RES>(STATUSTYP::REFUSED);
  if (index != INDEXTYP::SHAPLEY) core.position = nullptr;
  if constexpr (std::is_same_v<RES, SHAPLEYRES>)
    if (core.position != nullptr) return wideSpatial(game, core, hooks);  // spatial hook
  if (!countable(core)) return NOTDONE<RES>(STATUSTYP::REFUSED);
  const planner::STEPTYP step = stepOf(core, index, hooks);
  if (step.REFUSED) return NOTDONE<RES>(STATUSTYP::OVERBUDGET);
  for (const METHODTYP m : step.ORDER) {
    if (m == METHODTYP::WALK) continue;  // beyond the walk's players
    auto r = std::make_unique<fastcount::Result>();
    const int got = fastcount::COUNT_WITH(core, index, m, *r, step.BUDGET, &hooks.CONTROL);
    if (got < 0) return NOTDONE<RES>(STATUSTYP::CANCELLED);
    if (got == 0) continue;
    RES res;
    fromWide(game, core, *r, res);
    res.METHOD = m;
    return res;
  }
  return NOTDONE<RES>(STATUSTYP::OVERBUDGET);
}

// The totals of a count-vector game under KIND. A walk of a game beyond the
// doubles' range still shows its vectors, and takes its totals from the
// fast core.
ISAXTOTALS isaTotals(ISAKIND kind, INDEXTYP index, const ISAGAME& g, const HOOKSTYP& hooks,
                     METHODTYP& method) {
  planner::STEPTYP step;
  if (hooks.STEP != nullptr) {
    step = *hooks.STEP;
  } else {
    planner::POLICYTYP policy;
    policy.WALK = hooks.WALK;
    step = planner::PLANCHAMBERS(g, index, policy);
  }
  method = step.METHOD;
  if (step.METHOD != METHODTYP::VECTORWALK) return ISA_FAST(kind, g);
  ISATOTALS t = ISA_SUMS(kind, g, hooks.PROGRESS, hooks.DATA);
  ISA_SCALE(kind, g, t);
  return step.ORDER.size() == 1 ? ISA_TOEXTENDED(t) : ISA_FAST(kind, g);
}

// A chambers' result with the method that counted it.
template <typename RES>
RES counted(RES res, METHODTYP method) {
  res.METHOD = method;
  return res;
}

template <typename RES, typename COUNTS>
RES weighted(const GAMETYP& game, const RULETYP& rule, INDEXTYP index, const HOOKSTYP& hooks,
             RES (*from)(const GAMETYP&, const weightedwalk::Game&, const COUNTS&)) {
  if (game.N > MAXACTOR) return wideGame<RES>(game, rule, index, hooks);
  weightedwalk::Game core;
  auto counts = std::make_unique<COUNTS>();
  METHODTYP method = METHODTYP::NONE;
  const STATUSTYP status = weightedCounts(game, rule, index, hooks, core, *counts, method);
  if (status != STATUSTYP::DONE) return NOTDONE<RES>(status);
  RES res = from(game, core, *counts);
  res.METHOD = method;
  return res;
}

}  // namespace

SHAPLEYRES SHAPLEY(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS) {
  if (!HASENGINE(INDEXTYP::SHAPLEY, GAME.DATASTRUCTURE, RULE.GAME))
    return NOTDONE<SHAPLEYRES>(STATUSTYP::NOENGINE);
  if (GAME.DATASTRUCTURE == DATASTRUCT::WEIGHTED)
    return weighted<SHAPLEYRES>(GAME, RULE, INDEXTYP::SHAPLEY, HOOKS, SHAPLEY_WEIGHTED);
  const ISAGAME g = ISA_GAME(GAME, RULE);
  METHODTYP method = METHODTYP::NONE;
  if (RULE.GAME == VERSION::ISAWP) {
    const ISAXTOTALS t = isaTotals(ISAKIND::WORKINGPLAN, INDEXTYP::SHAPLEY, g, HOOKS, method);
    return counted(SHAPLEY_UNWEIGHTED_ISBA_WORKINGPLAN(g, t), method);
  }
  const ISAXTOTALS t = isaTotals(ISAKIND::SHAPLEY, INDEXTYP::SHAPLEY, g, HOOKS, method);
  return counted(SHAPLEY_UNWEIGHTED_ISBA(g, t), method);
}

BANZHAFRES BANZHAF(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS) {
  if (!HASENGINE(INDEXTYP::BANZHAF, GAME.DATASTRUCTURE, RULE.GAME))
    return NOTDONE<BANZHAFRES>(STATUSTYP::NOENGINE);
  if (GAME.DATASTRUCTURE == DATASTRUCT::WEIGHTED)
    return weighted<BANZHAFRES>(GAME, RULE, INDEXTYP::BANZHAF, HOOKS, BANZHAF_WEIGHTED);
  const ISAGAME g = ISA_GAME(GAME, RULE);
  METHODTYP method = METHODTYP::NONE;
  const ISAXTOTALS t = isaTotals(ISAKIND::BANZHAF, INDEXTYP::BANZHAF, g, HOOKS, method);
  return counted(BANZHAF_UNWEIGHTED_ISBA(g, t), method);
}

PUBLICGOODRES PUBLICGOOD(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS) {
  if (!HASENGINE(INDEXTYP::PUBLICGOOD, GAME.DATASTRUCTURE, RULE.GAME))
    return NOTDONE<PUBLICGOODRES>(STATUSTYP::NOENGINE);
  if (GAME.DATASTRUCTURE == DATASTRUCT::WEIGHTED)
    return weighted<PUBLICGOODRES>(GAME, RULE, INDEXTYP::PUBLICGOOD, HOOKS, PUBLICGOOD_WEIGHTED);
  const ISAGAME g = ISA_GAME(GAME, RULE);
  METHODTYP method = METHODTYP::NONE;
  const ISAXTOTALS t = isaTotals(ISAKIND::PUBLICGOOD, INDEXTYP::PUBLICGOOD, g, HOOKS, method);
  return counted(PUBLICGOOD_UNWEIGHTED_ISBA(g, t), method);
}

bool PLANRUN(const GAMETYP& GAME, const RULETYP& RULE, INDEXTYP INDEX, std::size_t BUDGET,
             fastcount::Plan& PLAN, weightedwalk::Game& CORE) {
  if (!WEIGHTEDCORE(GAME, RULE, CORE)) return false;
  if (INDEX != INDEXTYP::SHAPLEY) CORE.position = nullptr;
  PLAN = fastcount::PLAN(CORE, INDEX, BUDGET);
  return true;
}
