// Fast exact counting for the weighted engines: the counts of
// weightedwalk::SHAPLEY_CORE and weightedwalk::PUBLICGOOD_CORE without visiting the 2^n
// coalitions. The winning rule is split into a part decided by coalition size
// alone (an overall threshold in members) and the rest, a monotone function
// of the coalition that is counted by size with one of two methods, chosen
// per game:
//   - a dense table of the subsets by size and weight when the rest is one
//     weighted threshold (engines/exact/size_weight_table.h), unless few players with large
//     weights make the diagram far smaller than the table;
//   - a dense table over both systems' weights when the rest is a double
//     majority and the winning coalitions are counted (engines/exact/double_majority_table.h);
//   - an ordered decision diagram of the rest otherwise (engines/exact/decision_diagram.h);
//   - for the public good counts of one weighted threshold, the minimal
//     coalitions' program (engines/exact/minimal_coalitions.h), O(n Q) a
//     run, where it is planned the cheapest (beyond PROFILEMAX players;
//     below, after the exact tables, whose shares equal the walk's).
// Swings follow from counts by size: in a monotone game a coalition T+p wins
// and T loses exactly when T+p wins and not T, so the swings of p at size k
// are the winning coalitions of size k with p less those of size k-1
// without p.
//
// Not covered, and left to the exhaustive walk: the spatial version (every
// coalition carries its own similarity weight, which the counts by size
// and weight here do not carry; engines/exact/spatial_table.h counts it
// with sums of pair distances beside them), games with a negative weight in a vote system they
// use (the rule is then not monotone: adding a member can make a coalition
// lose, and the swing identity above fails), and games whose diagram exceeds
// the node budget or for which memory cannot be had.
//
// Games of any number of players are counted: up to PROFILEMAX players in
// 64-bit counts, beyond in one pass per prime (engines/exact/modular.h), exact until
// the counts become extended-range numbers for the values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engines/exact/method.h"
#include "engines/exact/size_profile.h"
#include "engines/walk/weighted_walk.h"
#include "types/vkxgame.h"
#include "types/xnum.h"

namespace fastcount {

// Which method counted a game.
// NONE: the game is beyond the walk and no fast method covers it; the counts
// are left at zero. DENSE2: the table over two systems' weights of a double
// majority (engines/exact/double_majority_table.h; Choice::DENSE picks it for such a game).
enum class Method : uint8_t { EXHAUSTIVE, DENSE, DIAGRAM, NONE, DENSE2 };

// Exact counts of one game. Shapley counting fills the first group, public
// good counting the second.
struct Result {
  // Sized for N players and MM subgames.
  explicit Result(int N = 0, int MM = 0)
      : with(static_cast<std::size_t>(N) + 1),
        swings(static_cast<std::size_t>(N) + 1),
        sub(static_cast<std::size_t>(MM) + 1),
        shap(static_cast<std::size_t>(N) + 1),
        minimalWith(static_cast<std::size_t>(N) + 1),
        minimalShare(static_cast<std::size_t>(N) + 1),
        xwith(static_cast<std::size_t>(N) + 1),
        xswings(static_cast<std::size_t>(N) + 1),
        xsub(static_cast<std::size_t>(MM) + 1),
        xminimalWith(static_cast<std::size_t>(N) + 1),
        xminimalShare(static_cast<std::size_t>(N) + 1) {}
  Method method = Method::EXHAUSTIVE;
  METHODTYP counted = METHODTYP::NONE;  // the method by its planner name
  // Winning coalitions (never the empty one), those containing p, those in
  // which p is a swing, those with a member of subgame s; the Shapley-Shubik
  // value of p (its swings at each size k weighted by (k-1)!(n-k)!/n!).
  // The 64-bit counts are exact up to PROFILEMAX players and left at 0
  // beyond (WIDE); the X counts below hold them for every game.
  uint64_t wins = 0;
  std::vector<uint64_t> with, swings, sub;
  std::vector<double> shap;
  // Minimal winning coalitions, those containing p, and the sum of 1/size
  // over the minimal winning coalitions containing p.
  uint64_t minimal = 0;
  std::vector<uint64_t> minimalWith;
  std::vector<double> minimalShare;  // infinite when beyond a double
  // The same counts in extended range, for games of any size (to some 1e-14
  // relative: they are rounded from the exact counts).
  bool wide = false;  // more than PROFILEMAX players: only the X counts
  XNUM xwins, xminimal;
  std::vector<XNUM> xwith, xswings, xsub, xminimalWith, xminimalShare;
  // The X counts come from a table in doubles (beyond PROFILEMAX players
  // on one threshold under Choice::BEST, engines/exact/banzhaf_doubles.h): correct to some
  // 1e-13 relative, swings of 0 exact; the method is still DENSE. For the
  // Shapley-Shubik index the values then come from quadrature
  // (engines/exact/shapley_quadrature.h), to some 1e-12 relative, 0 exactly without swings.
  bool floating = false;
};

// The index whose counts are wanted: the Shapley-Shubik index needs the
// winning coalitions by size, the Banzhaf index only their numbers (counted
// without sizes wherever the rule's overall threshold in members does not
// tell sizes apart), the public good index the minimal winning coalitions.
using Index = INDEXTYP;

// The rule of a weighted game split for the fast counting: the part
// decided by the coalition's number of members (an overall threshold in
// members: AND, a smaller coalition loses; OR, a coalition that large wins
// when nothing blocks it), and the rest, a monotone function of the
// coalition.
enum class SIZE : uint8_t { NONE, AND, OR };
SIZE SIZERULE(const weightedwalk::Game& G);
// 1 AND, 2 OR: an overall threshold in primary-system votes; 0 none.
int VOTESRULE(const weightedwalk::Game& G);
// No negative weight in any vote system the rule uses.
bool MONOTONE(const weightedwalk::Game& G);
// The rest of the rule as one weighted threshold, "the coalition's WEIGHT
// reaches Q" (WEIGHT[p] the primary weight of player p where the rule
// counts it, 0 where not), when it is one: a single vote system, no
// blocking, and win sets that each bind one subgame, the same one, or none.
bool ASTHRESHOLD(const weightedwalk::Game& G, std::vector<int64_t>& WEIGHT, int64_t& Q);

// Which fast method to use: the one that fits the game best, or one method
// only (for checking the methods against each other).
enum class Choice : uint8_t { BEST, DENSE, DIAGRAM };

// Counts of the Shapley core (resp. the public good core) for G when a fast
// method covers it; false, with R untouched, when the game needs the
// exhaustive walk (see above) or does not FIT.
bool SHAPLEY_FAST(const weightedwalk::Game& G, Result& R, Choice USE = Choice::BEST);
bool PUBLICGOOD_FAST(const weightedwalk::Game& G, Result& R, Choice USE = Choice::BEST);
// The Banzhaf counts alone: wins, with, swings and sub (shap left at 0
// where no sizes were counted).
bool BANZHAF_FAST(const weightedwalk::Game& G, Result& R, Choice USE = Choice::BEST);
// The counts for INDEX as above within BUDGET bytes (0: the methods' own
// limits, 2 GiB for a table, 2 to 8 million diagram nodes; a budget
// replaces them): false also when no method fits. A diagram is bounded by its nodes as it grows, so
// it stops at the budget instead of running out of memory; PLAN tells before.
bool COUNT_FAST(const weightedwalk::Game& G, Index INDEX, Result& R, Choice USE,
                std::size_t BUDGET);

// One fast method of a game and what it will take (engines/exact/method.h).
struct Option {
  METHODTYP method = METHODTYP::NONE;
  COSTTYP cost;
};
// Every fast method that may count G for INDEX within BUDGET bytes (0: the
// methods' own limits), in the order the count tries them: the first that
// APPLIES is the one planned, the others follow it where it runs out of
// memory. Empty where no fast method covers the game (the spatial version,
// a negative weight, a game that does not FIT).
std::vector<Option> OPTIONS(const weightedwalk::Game& G, Index INDEX, std::size_t BUDGET);
// Counts G for INDEX with METHOD alone, within BUDGET: 1 counted into R, 0
// not (the method does not apply or ran out of its memory), -1 stopped by
// CONTROL (which may be null; it hears of each pass).
int COUNT_WITH(const weightedwalk::Game& G, Index INDEX, METHODTYP METHOD, Result& R,
               std::size_t BUDGET, const CONTROLTYP* CONTROL = nullptr);

// What counting G for INDEX will take within BUDGET bytes (0: the methods'
// own limits), decided before any work: the method the count would use
// (DENSE or DIAGRAM as the fast counting chooses; EXHAUSTIVE when only the
// walk covers the game; NONE when nothing does: beyond the walk's players
// and outside the fast methods or their budget), the bytes it needs at the
// most and a rough time in seconds (within a factor of a few). The table's
// size is known beforehand; the diagram's only once it is built, so for
// it the figures come from an upper bound on its nodes, capped at the
// budget: SURE is false when the diagram may outgrow the budget, in which
// case the count fails (false) rather than walk. The walk's time is 2^n
// times a measured cost per coalition, given for every game.
struct Plan {
  Method method = Method::NONE;
  std::size_t bytes = 0;
  double seconds = 0;
  int passes = 1;  // of the fast methods: one per prime beyond PROFILEMAX
  bool sure = true;
  double walkSeconds = 0;
  bool floating = false;  // the table in doubles, quadrature (see Result::floating)
};
Plan PLAN(const weightedwalk::Game& G, Index INDEX, std::size_t BUDGET = 0);

// The counts as the walks report them.
void SHAPLEY_COUNTS(const Result& R, const weightedwalk::Game& G, weightedwalk::WinCounts& C);
void PUBLICGOOD_COUNTS(const Result& R, const weightedwalk::Game& G,
                       weightedwalk::MinimalCounts& C);
// The winning coalitions, those with each player and with a member of each
// subgame; the values are left at 0.
void BANZHAF_COUNTS(const Result& R, const weightedwalk::Game& G, weightedwalk::WinCounts& C);

// The fast method where it applies, else the exhaustive core (with
// VISITOR); returns the method used. These fill the walk's records, whose
// doubles are the walk's: beyond its WALKMAX players they decline (NONE)
// and a caller takes the extended-range Result of SHAPLEY_FAST instead.
Method SHAPLEY(const weightedwalk::Game& G, weightedwalk::WinCounts& C,
               const weightedwalk::Visitor* VISITOR = nullptr);
// The Banzhaf counts (BANZHAF_COUNTS), from the walk's SHAPLEY_CORE where
// no fast method applies.
Method BANZHAF(const weightedwalk::Game& G, weightedwalk::WinCounts& C,
               const weightedwalk::Visitor* VISITOR = nullptr);
Method PUBLICGOOD(const weightedwalk::Game& G, weightedwalk::MinimalCounts& C,
                  const weightedwalk::Visitor* VISITOR = nullptr);

}  // namespace fastcount
