// Sampling estimates of the weighted games' power indices, for games too
// large to count exactly: any number of players, the walk's winning rule
// (weightedwalk::Rule) tested on one sampled coalition at a time.
//
// The number of samples is decided before the run, never by the clock: a
// pilot of a fixed number of samples (the same seed) gives each value's
// error, the errors shrink with the square root of the samples, so the
// count that brings every error below the one asked for follows (with a
// margin), held to the sample budget. The same call draws the same samples
// and gives the same values on any machine and under any load; what the
// samples take is planned from measured rates (PLAN), so that a front end
// refuses a run beyond its time before it starts.
//
// The error of every value is the larger distance from the value to the
// ends of its interval at the confidence of one standard error (68.27 %):
// for the share of samples with an event (a pivot, a swing, a minimal
// winning coalition with the player) the Wilson score interval with
// continuity correction, which holds at small counts (never narrower than
// the exact Clopper-Pearson interval, and within 1.4 % of it): a player
// never seen to swing in N samples gets about 1.87/N, not 0; at large
// counts it is the standard error. The ratios (the normalised indices) add
// the numerator's small-count excess over its standard error to the delta
// method's error. A ratio whose denominator was never drawn (no swing, no
// minimal winning coalition) has no value: NaN, and Values::none.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engines/walk/weighted_walk.h"
#include "types/vkxgame.h"

namespace sampler {

struct Options {
  double ERROR = 1e-4;                // wanted error of every value
  uint64_t MAXSAMPLES = 100'000'000;  // the sample budget: samples at most
  uint64_t SAMPLES = 0;               // samples to draw; 0: as PLAN plans them
  uint64_t SEED = 1;                  // the random source's seed (std::mt19937_64)
  // Progress (the share drawn) now and then, and a flag that stops the run
  // (STATUS::STOPPED); both may be null.
  void (*PROGRESS)(void* DATA, double FRACTION) = nullptr;
  void* DATA = nullptr;
  const std::atomic<bool>* STOP = nullptr;
};

enum class STATUS {
  DONE,         // every error at most ERROR
  MISSED,       // the samples drawn, some error above ERROR (or a value without any event)
  STOPPED,      // stopped by Options::STOP
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
  // q, which removes the variation between the q's from the error, but
  // each sample costs a test per player and the gain is small unless a
  // player swings often at some q.
  MULTILINEAR
};

// Values and errors per player 1..n (index 0 unused); NONE: no event was
// drawn that the values are a share of, every value and error NaN.
struct Values {
  std::vector<double> value, error;
  bool none = false;
};

struct Run {
  STATUS status = STATUS::NOTSUPPORTED;
  uint64_t samples = 0;  // orders, resp. coalitions, drawn
  double seconds = 0;    // as measured (for the user; nothing depends on it)
  double largest = 0;    // the largest error of any value (infinite: a value without events)
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
// each next sample going to the size where it lowers the error most. Sizes
// that cannot hold a minimal winning coalition (where even the strongest
// members lose, or where every coalition one smaller already wins: bounds
// from the sorted weights of a rule without negative weights) are never
// drawn; a size that can but where none has been drawn yet counts in the
// errors with its small-count bound.
struct PublicGoodEstimate : Run {
  Values publicGood, deeganPackel;
};
PublicGoodEstimate PUBLICGOOD(const weightedwalk::Game& G, const Options& OPTIONS = {});

// The plan of an estimate of INDEX (Shapley-Shubik by orders, Banzhaf by
// coalitions, the public good indices by size): the pilot's samples, the
// samples the run draws (the pilot's among them), whether the sample budget
// held them below what the error asks (CAPPED: the error will be missed),
// and the CPU seconds and peak bytes of the run at the measured rates.
struct Plan {
  bool applies = false;
  uint64_t pilot = 0, samples = 0;
  bool capped = false;
  double pilotSeconds = 0, seconds = 0;
  std::size_t bytes = 0;
  double pilotLargest = 0;  // the pilot's largest error
};
// The pilot's samples and seconds alone, without drawing any.
Plan PILOT(const weightedwalk::Game& G, INDEXTYP INDEX);
// Draws the pilot and plans the run from it.
Plan PLAN(const weightedwalk::Game& G, INDEXTYP INDEX, const Options& OPTIONS);

// The error of a share K/N as every value states it: the larger distance
// from K/N to the ends of the Wilson score interval with continuity
// correction at one standard error (z = 1).
double PROPORTIONERROR(double K, double N);

// The winning test of one coalition given by its members (players 1..n, any
// number of them), the walk's rule. The game must FIT.
bool WINS(const weightedwalk::Game& G, const std::vector<int>& MEMBERS);

}  // namespace sampler
