#include "engines/vkxindex.h"

#include "engines/vkxbanz2.h"
#include "engines/vkxpgi1.h"
#include "engines/vkxpgi2.h"
#include "engines/vkxshap1.h"
#include "engines/vkxshap2.h"

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

template <typename RES>
RES noEngine() {
  RES r;
  r.STATUS = STATUSTYP::NOENGINE;
  return r;
}

}  // namespace

SHAPLEYRES SHAPLEY(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS) {
  if (!HASENGINE(INDEXTYP::SHAPLEY, GAME.DATASTRUCTURE, RULE.GAME)) return noEngine<SHAPLEYRES>();
  if (GAME.DATASTRUCTURE == DATASTRUCT::WEIGHTED)
    return SHAPLEY_WEIGHTED(GAME, RULE, HOOKS.VISITOR);
  if (RULE.GAME == VERSION::ISAWP)
    return SHAPLEY_UNWEIGHTED_ISBA_WORKINGPLAN(GAME, RULE, HOOKS.PROGRESS, HOOKS.DATA);
  return SHAPLEY_UNWEIGHTED_ISBA(GAME, RULE, HOOKS.PROGRESS, HOOKS.DATA);
}

BANZHAFRES BANZHAF(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS) {
  if (!HASENGINE(INDEXTYP::BANZHAF, GAME.DATASTRUCTURE, RULE.GAME)) return noEngine<BANZHAFRES>();
  if (GAME.DATASTRUCTURE == DATASTRUCT::WEIGHTED)
    return BANZHAF_WEIGHTED(GAME, RULE, HOOKS.VISITOR);
  return BANZHAF_UNWEIGHTED_ISBA(GAME, RULE, HOOKS.PROGRESS, HOOKS.DATA);
}

PUBLICGOODRES PUBLICGOOD(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS) {
  if (!HASENGINE(INDEXTYP::PUBLICGOOD, GAME.DATASTRUCTURE, RULE.GAME))
    return noEngine<PUBLICGOODRES>();
  if (GAME.DATASTRUCTURE == DATASTRUCT::WEIGHTED)
    return PUBLICGOOD_WEIGHTED(GAME, RULE, HOOKS.VISITOR);
  return PUBLICGOOD_UNWEIGHTED_ISBA(GAME, RULE, HOOKS.PROGRESS, HOOKS.DATA);
}
