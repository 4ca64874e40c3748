// Sampling estimates of the weighted games' power indices, for games too
// large to count exactly: any number of players, the walk's winning rule
// (weightedwalk::Rule) tested on one sampled coalition at a time. Every value comes
// with its standard error; sampling stops when all errors are below the
// requested one, or at a cap on the samples or the time.
#pragma once

#include <cstdint>
#include <vector>

#include "engines/walk/weighted_walk.h"

namespace sampler {

struct Options {
  double ERROR = 1e-4;                // wanted standard error of every value
  uint64_t MAXSAMPLES = 100'000'000;  // samples at most
  double MAXSECONDS = 60;             // seconds at most
  uint64_t SEED = 1;                  // the random source's seed (std::mt19937_64)
};

enum class STATUS {
  DONE,         // every standard error below ERROR
  SAMPLECAP,    // stopped at MAXSAMPLES
  TIMECAP,      // stopped at MAXSECONDS
  NOTSUPPORTED  // a game the estimator does not take (spatial, or not fitting)
};

// How the Shapley-Shubik values are sampled.
enum class SHAPLEYMETHOD {
  // Random orders of the players: each player's frequency of being the swing
  // that turns its predecessors' losing coalition into a winning one.
  ORDERS,
  // The multilinear extension: the value of p is the integral over q in
  // [0,1] of the probability that p swings a coalition whose members join
  // independently with probability q. The integral is sampled stratified in
  // q, which removes the variation between the q's from the error: never
  // more samples than the orders, but each costs a test per player and the
  // gain is small unless a player swings often at some q (27 players: 14%
  // fewer samples, 50% more time).
  MULTILINEAR
};

// Values and standard errors per player 1..n (index 0 unused).
struct Values {
  std::vector<double> value, error;
};

struct Run {
  STATUS status = STATUS::NOTSUPPORTED;
  uint64_t samples = 0;  // orders, resp. coalitions, drawn
  double seconds = 0;
};

// Shapley-Shubik: each player's share of the swings weighted by
// (k-1)!(n-k)!/n!, as the walk counts them (SHAPLEY_CORE's value).
struct ShapleyEstimate : Run {
  Values shapley;
};
ShapleyEstimate SHAPLEY(const weightedwalk::Game& G, const Options& OPTIONS = {},
                        SHAPLEYMETHOD METHOD = SHAPLEYMETHOD::ORDERS);

// Banzhaf by random coalitions: the swings of p (winning with p less winning
// without, over the coalitions of the others) over 2^(n-1), and normalised
// by the sum over all players.
struct BanzhafEstimate : Run {
  Values raw, normalised;
};
BanzhafEstimate BANZHAF(const weightedwalk::Game& G, const Options& OPTIONS = {});

// Public good index (the minimal winning coalitions containing p over the
// sum of those numbers over all players) and the Deegan-Packel index (the
// sum of 1/size over the minimal winning coalitions containing p, over their
// number). Minimal winning coalitions are rare among all coalitions and
// gather in a few sizes, so the coalitions are sampled stratified by size,
// each next sample going to the size where it lowers the error most.
// A size where none has been met yet still counts in the errors (as if one
// in its samples had been), so the errors are honest but, in large games
// whose minimal winning coalitions are rare, slow to fall.
struct PublicGoodEstimate : Run {
  Values publicGood, deeganPackel;
};
PublicGoodEstimate PUBLICGOOD(const weightedwalk::Game& G, const Options& OPTIONS = {});

// The winning test of one coalition given by its members (players 1..n, any
// number of them), the walk's rule. The game must FIT.
bool WINS(const weightedwalk::Game& G, const std::vector<int>& MEMBERS);

}  // namespace sampler
