// The three indices of a described game under a rule, without any
// dialogue: which engine serves which version and data, and one call per
// index family. The commands' dialogue and a front end without a console
// both come here.
#pragma once

#include "engines/isacore.h"
#include "engines/wcore.h"
#include "types/vkxgame.h"

// Optional progress hooks of a run: VISITOR for the weighted walk,
// PROGRESS (with DATA) for the count-vector walk, and whether they must see
// every coalition (count vector).
//
// WALK: the run walks every coalition and shows each one to the hooks, as
// screen control and listings need. Otherwise the run needs only the counts
// and takes them from the fast cores (engines/wfast.h, engines/isafast.h),
// with the same reports to the last printed digit: a weighted game's counts
// are the walk's to the last bit; a count-vector game is still walked where
// that is quick and its doubles hold every count, because the walk's sums
// in doubles differ from the fast core's in the last bits. The hooks then
// see the walks that remain (and a progress display has little to show).
struct HOOKSTYP {
  const wcore::Visitor* VISITOR = nullptr;
  ISAPROGRESS PROGRESS = nullptr;
  void* DATA = nullptr;
  bool WALK = false;
};

// Count vectors (ISA_VECTORS) up to which a quiet run still walks a
// count-vector game whose counts doubles hold: some 10 ms of the walk.
constexpr double ISAQUIETWALK = 1 << 18;

// Whether INDEX has an engine for VERSION on data of kind DATA:
//   shapley: standard (both kinds), multiple weights and spatial (weighted),
//            ISA and ISA-WP (unweighted);
//   banzhaf: standard (both kinds), multiple weights (weighted), ISA;
//   public good: standard (both kinds), multiple weights (weighted).
bool HASENGINE(INDEXTYP INDEX, DATASTRUCT DATA, VERSION GAME);

// The index of every player (every chamber, when unweighted). STATUS is
// NOENGINE where HASENGINE says no, REFUSED for a game the tables cannot
// hold, and DONE with the results otherwise.
SHAPLEYRES SHAPLEY(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS = {});
BANZHAFRES BANZHAF(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS = {});
PUBLICGOODRES PUBLICGOOD(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS = {});
