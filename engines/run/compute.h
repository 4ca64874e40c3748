// The three indices of a described game under a rule, without any
// dialogue: which engine serves which version and data, and one call per
// index family. The commands' dialogue and a front end without a console
// both come here.
#pragma once

#include <cstddef>

#include "engines/exact/fast_counts.h"
#include "engines/plan/planner.h"
#include "engines/walk/vector_walk.h"
#include "engines/walk/weighted_walk.h"
#include "types/vkxgame.h"

// Optional progress hooks of a run: VISITOR for the weighted walk,
// PROGRESS (with DATA) for the count-vector walk, and whether they must see
// every coalition (count vector).
//
// WALK: the run walks every coalition and shows each one to the hooks, as
// screen control and listings need. Otherwise the run needs only the counts
// and takes them from the fast cores (engines/exact/fast_counts.h,
// engines/exact/chamber_program.h), with the same reports to the last printed digit: a weighted
// game's counts are the walk's to the last bit; a count-vector game is still walked where that is
// quick and its doubles hold every count, because the walk's sums in doubles differ from the fast
// core's in the last bits. The hooks then see the walks that remain (and a progress display has
// little to show).
//
// BUDGET: the bytes the fast counting of a weighted game may take (0: the
// methods' own limits). WALKS: whether a weighted game that no fast method
// counts within them is walked (always, for at most 50 players, unless the
// front end says no) or declined with OVERBUDGET, as the command line wants
// after it has told the user what the walk would take.
//
// STEP: the plan of this count (engines/plan/planner.h), made by the front
// end before the run; null: the run plans with the hooks' WALK, BUDGET and
// WALKS. CONTROL: progress and stop of the fast methods.
struct HOOKSTYP {
  const weightedwalk::Visitor* VISITOR = nullptr;
  ISAPROGRESS PROGRESS = nullptr;
  void* DATA = nullptr;
  bool WALK = false;
  std::size_t BUDGET = 0;
  bool WALKS = true;
  const planner::STEPTYP* STEP = nullptr;
  CONTROLTYP CONTROL{};
};

// Count vectors (ISA_VECTORS) up to which a quiet run still walks a
// count-vector game whose counts doubles hold (planner::QUIETVECTORS).
constexpr double ISAQUIETWALK = planner::QUIETVECTORS;

// Whether INDEX has an engine for VERSION on data of kind DATA:
//   shapley: standard (both kinds), multiple weights and spatial (weighted),
//            ISA and ISA-WP (unweighted);
//   banzhaf: standard (both kinds), multiple weights (weighted), ISA;
//   public good: standard (both kinds), multiple weights (weighted).
bool HASENGINE(INDEXTYP INDEX, DATASTRUCT DATA, VERSION GAME);

// The index of every player (every chamber, when unweighted). STATUS is
// NOENGINE where HASENGINE says no, REFUSED for a game the tables cannot
// hold, OVERBUDGET (see HOOKSTYP), and DONE with the results otherwise.
//
// A weighted game of more than 50 players (its rows grown to hold it) is
// counted by the fast methods alone, in extended range: the result rows
// grow to hold its players, XTOTALTYP holds every count and each player's
// entries, and the doubles hold the same where they can. Beyond the fast
// methods (the spatial version, a negative weight, or over the budget) it
// is REFUSED or OVERBUDGET: its walk would take 2^51 coalitions and more.
SHAPLEYRES SHAPLEY(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS = {});
BANZHAFRES BANZHAF(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS = {});
PUBLICGOODRES PUBLICGOOD(const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS = {});

// What counting INDEX of a weighted GAME under RULE takes within BUDGET
// bytes, before any work (fastcount::PLAN); false for a game WEIGHTEDCORE
// refuses. CORE receives the counting game, for a sampling estimate.
bool PLANRUN(const GAMETYP& GAME, const RULETYP& RULE, INDEXTYP INDEX, std::size_t BUDGET,
             fastcount::Plan& PLAN, weightedwalk::Game& CORE);
