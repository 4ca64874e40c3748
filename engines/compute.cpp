#include "engines/compute.h"

#include <memory>

#include "engines/banzhaf_chambers.h"
#include "engines/isafast.h"
#include "engines/publicgood_chambers.h"
#include "engines/publicgood_weighted.h"
#include "engines/shapley_chambers.h"
#include "engines/shapley_weighted.h"
#include "engines/wconvert.h"
#include "engines/wfast.h"

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

// The counts of a weighted game into COUNTS (the winning coalitions for
// the Shapley and Banzhaf indices, the minimal winning ones for the public
// good index); false when the game does not fit the tables (WEIGHTEDCORE).
// Where no fast method covers the game, the fast counting walks with the
// hooks.
bool weightedCounts(const GAMETYP& game, const RULETYP& rule, INDEXTYP index, const HOOKSTYP& hooks,
                    wcore::Game& core, wcore::WinCounts& counts) {
  if (!WEIGHTEDCORE(game, rule, core)) return false;
  if (index != INDEXTYP::SHAPLEY) core.position = nullptr;
  if (hooks.WALK)
    wcore::SHAPLEY_CORE(core, counts, hooks.VISITOR);
  else if (index == INDEXTYP::BANZHAF)  // no sizes needed: its own count
    wfast::BANZHAF(core, counts, hooks.VISITOR);
  else
    wfast::SHAPLEY(core, counts, hooks.VISITOR);
  return true;
}
bool weightedCounts(const GAMETYP& game, const RULETYP& rule, INDEXTYP, const HOOKSTYP& hooks,
                    wcore::Game& core, wcore::MinimalCounts& counts) {
  if (!WEIGHTEDCORE(game, rule, core)) return false;
  core.position = nullptr;
  if (hooks.WALK)
    wcore::PUBLICGOOD_CORE(core, counts, hooks.VISITOR);
  else
    wfast::PUBLICGOOD(core, counts, hooks.VISITOR);
  return true;
}

// The totals of a count-vector game under KIND. A walk of a game beyond the
// doubles' range still shows its vectors, and takes its totals from the
// fast core.
ISAXTOTALS isaTotals(ISAKIND kind, const ISAGAME& g, const HOOKSTYP& hooks) {
  const bool doubles = ISA_DOUBLES(g);
  if (!hooks.WALK && (!doubles || ISA_VECTORS(g) > ISAQUIETWALK)) return ISA_FAST(kind, g);
  ISATOTALS t = ISA_SUMS(kind, g, hooks.PROGRESS, hooks.DATA);
  ISA_SCALE(kind, g, t);
  return doubles ? ISA_TOEXTENDED(t) : ISA_FAST(kind, g);
}

template <typename RES, typename COUNTS>
RES weighted(const GAMETYP& game, const RULETYP& rule, INDEXTYP index, const HOOKSTYP& hooks,
             RES (*from)(const GAMETYP&, const wcore::Game&, const COUNTS&)) {
  wcore::Game core;
  auto counts = std::make_unique<COUNTS>();
  if (!weightedCounts(game, rule, index, hooks, core, *counts))
    return NOTDONE<RES>(STATUSTYP::REFUSED);
  return from(game, core, *counts);
}

}  // namespace

SHAPLEYRES SHAPLEY(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS) {
  if (!HASENGINE(INDEXTYP::SHAPLEY, GAME.DATASTRUCTURE, RULE.GAME))
    return NOTDONE<SHAPLEYRES>(STATUSTYP::NOENGINE);
  if (GAME.DATASTRUCTURE == DATASTRUCT::WEIGHTED)
    return weighted<SHAPLEYRES>(GAME, RULE, INDEXTYP::SHAPLEY, HOOKS, SHAPLEY_WEIGHTED);
  const ISAGAME g = ISA_GAME(GAME, RULE);
  if (RULE.GAME == VERSION::ISAWP)
    return SHAPLEY_UNWEIGHTED_ISBA_WORKINGPLAN(g, isaTotals(ISAKIND::WORKINGPLAN, g, HOOKS));
  return SHAPLEY_UNWEIGHTED_ISBA(g, isaTotals(ISAKIND::SHAPLEY, g, HOOKS));
}

BANZHAFRES BANZHAF(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS) {
  if (!HASENGINE(INDEXTYP::BANZHAF, GAME.DATASTRUCTURE, RULE.GAME))
    return NOTDONE<BANZHAFRES>(STATUSTYP::NOENGINE);
  if (GAME.DATASTRUCTURE == DATASTRUCT::WEIGHTED)
    return weighted<BANZHAFRES>(GAME, RULE, INDEXTYP::BANZHAF, HOOKS, BANZHAF_WEIGHTED);
  const ISAGAME g = ISA_GAME(GAME, RULE);
  return BANZHAF_UNWEIGHTED_ISBA(g, isaTotals(ISAKIND::BANZHAF, g, HOOKS));
}

PUBLICGOODRES PUBLICGOOD(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS) {
  if (!HASENGINE(INDEXTYP::PUBLICGOOD, GAME.DATASTRUCTURE, RULE.GAME))
    return NOTDONE<PUBLICGOODRES>(STATUSTYP::NOENGINE);
  if (GAME.DATASTRUCTURE == DATASTRUCT::WEIGHTED)
    return weighted<PUBLICGOODRES>(GAME, RULE, INDEXTYP::PUBLICGOOD, HOOKS, PUBLICGOOD_WEIGHTED);
  const ISAGAME g = ISA_GAME(GAME, RULE);
  return PUBLICGOOD_UNWEIGHTED_ISBA(g, isaTotals(ISAKIND::PUBLICGOOD, g, HOOKS));
}
