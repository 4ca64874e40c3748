// The design of a weighted game for a target distribution of power
// (vkx design INDEX): whole-number weights and a quota whose index (the
// Banzhaf index normalised, or the Shapley-Shubik index) comes closest to
// target shares, by the sum of squared differences or the largest one;
// with weights given, the quota alone.
//
// How it searches:
//   - up to 6 players, every weighted game there is
//     (engines/exact/weighted_games.h): the answer is the optimum over all
//     weighted games, each player given the game's weight of its rank (the
//     index and the targets matched largest to largest, which is optimal
//     for both distances);
//   - weights given: every quota (engines/exact/quota_sweep.h), the
//     optimal quota;
//   - beyond 6 players, a heuristic on weights of a total of some
//     thousands: the targets as weights with their best quota first (the
//     answer is never worse than that), then iterative rescaling (each
//     weight times its target over its index, as Laruelle and Widgren and
//     later de Nijs and Wilmer proposed), then local search (one weight up
//     or down by a few sizes of step, every quota swept each time, the
//     first move that brings the distance down taken) until no move helps
//     or the search's budget of sweeps is spent. Not proven optimal. The
//     budget comes from --seconds and the sweep's cost, so the same input
//     gives the same answer on any machine.
// The weights found are divided by their greatest common divisor, the
// quota with them (rounded up).
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "api/request.h"

struct DESIGNREQUESTTYP {
  std::string INDEX = "banzhaf";  // banzhaf (normalised) or shapley
  // The targets: "[NAME:]VALUE,..." (any positive numbers), or a data
  // file whose weights are the targets and whose comments name the players.
  std::string TARGET, TARGETFILE;
  std::string ROOT;  // the targets raised to this power first ("" : 1)
  // Weights given ("[NAME:]W,...", one subgame): only the quota is searched.
  std::vector<std::string> WEIGHTS;
  std::string DISTANCE = "sumsq";  // or maxabs
  double SECONDS = 10;             // the heuristic's budget, in planned CPU seconds
  const std::atomic<bool>* STOP = nullptr;
};

struct DESIGNTYP {
  std::string INDEX, DISTANCE, METHOD;  // METHOD: enumeration, quota_search or local_search
  std::vector<std::string> NAMES;       // [1..n]
  std::vector<double> TARGET;           // [1..n], shares
  std::vector<int64_t> WEIGHT;          // [1..n]
  int64_t QUOTA = 0, TOTAL = 0;
  std::vector<double> ACHIEVED;  // [1..n]: the index
  double DIST = 0;
  bool OPTIMAL = false;  // the optimum over all weighted games, or over all quotas
  // The heuristic: the distance of the best quota for the targets as
  // weights, which the answer never exceeds; the weight vectors swept.
  double BASELINE = 0;
  long long SWEEPS = 0, GAMES = 0;
  double ROOT = 1;
  std::vector<std::string> INPUTS;  // files read, which no output may replace
};

// The design asked for by R into D; false with F set for bad input: status
// 2 for the options as typed (a target that is not a positive number, a
// name no player has, fewer or more targets than players), 3 for a file
// that cannot be read or holds a target that is not positive.
bool DESIGNRUN(const DESIGNREQUESTTYP& R, DESIGNTYP& D, FAILTYP& F);

std::string DESIGNREPORT(const DESIGNTYP& D);
// "quota,quota_share,distance,optimal,player,name,target,weight,index,deviation",
// one row per player.
std::string DESIGNCSV(const DESIGNTYP& D);
std::string DESIGNJSON(const DESIGNTYP& D);
// Each player's target beside its index as bars, in SVG.
std::string DESIGNSVG(const DESIGNTYP& D);
