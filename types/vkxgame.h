// What flows through one run of an index: the described game (the tables of
// the data files), the winning rule, and one result type per index family.
// Engines take a game and a rule and return a result; the dialogue of a
// command builds the game and the rule, and the reports read all three.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "types/vkxdecl.h"
#include "types/xnum.h"

// How the players of a data file are given.
enum class DATASTRUCT : int32_t {
  UNWEIGHTED = 0,  // member counts per subgame
  WEIGHTED = 1,    // one weight per player
  OTHER = -1,      // another code in the file: no engine computes it
};
DATASTRUCT DATASTRUCTOF(int32_t CODE);
int32_t CODEOF(DATASTRUCT D);

// The version of a game, as the commands number it internally.
enum class VERSION : int32_t {
  NONE = 0,  // an answer no command has an engine for
  STANDARD = 1,
  ISA = 3,       // unweighted chambers, box win sets, two overall thresholds
  ISAWP = 4,     // ISA procedure for working plans
  MULTIPLE = 5,  // two to four vote systems that must all be met
  SPATIAL = 6,   // coalitions weighted by their members' similarity
};

// How the overall threshold T1 combines with the win sets of a weighted game.
enum class OVERALLRULE : int32_t {
  NONE = 0,
  AND = 1,  // a coalition below T1 loses
  OR = 2,   // a coalition reaching T1 wins whatever the win sets say
};
// The settings' answer as a rule: 1 AND, 2 OR, anything else none.
OVERALLRULE OVERALLOF(int32_t ANSWER);
// What the overall threshold of a weighted game counts.
enum class OVERALLUNIT : int32_t {
  MEMBERS = 0,
  VOTES = 1,  // the members' weights in the first vote system
};

constexpr int MAXSYSTEMS = 4;  // vote systems of the multiple-weights version

// A game as the data files describe it.
struct GAMETYP {
  std::string NAME;  // the primary data file, without extension
  DATASTRUCT DATASTRUCTURE = DATASTRUCT::UNWEIGHTED;
  uint16_t N = 0;   // players of the whole game (members, when unweighted)
  uint16_t MM = 0;  // subgames
  NNTYP NN{};       // players per subgame
  GEWTYP GEW{};     // weights [subgame][player] of the first vote system
  MEMTYP MEM{};     // player 1..N -> [0] subgame, [1] number in it
  // Multiple weights: vote systems 1..VS-1 beyond the first (system 0, GEW),
  // each with its own weights for the same players.
  int32_t VS = 1;
  GEWTYP GEWX[MAXSYSTEMS]{};
  // Spatial version: the positions file and the players' positions.
  std::string NAME1;
  uint16_t NTHEME = 0;  // policy dimensions
  POSTYP POSITION{};
};

// The winning rule of a run.
struct RULETYP {
  VERSION GAME = VERSION::STANDARD;
  int32_t THRES = 0;  // number of win sets, 1..10 when entered
  GEWTYP M{};         // threshold per [subgame][win set] (first vote system)
  GTYP G{};           // the win sets as boxes [win set][subgame][1 lower, 2 upper]
  // Thresholds of vote systems 1..VS-1 of a multiple-weights game, paired
  // with the win sets of the first system by number.
  GEWTYP MX[MAXSYSTEMS]{};
  // Overall threshold of a weighted game, and the two of the ISA versions
  // with the number of leading subgames each one counts over.
  int32_t T1 = 0, T2 = 0, T1ANZ = 0, T2ANZ = 0;
  OVERALLRULE OVERALL = OVERALLRULE::AND;
  OVERALLUNIT OVERT = OVERALLUNIT::MEMBERS;
  // Blocking minority in vote system 1 (multiple-weights Shapley version): a
  // coalition loses when the players outside it hold more than BLOCKTHRES
  // system-1 votes even without the smallest of them.
  bool BLOCK = false;
  int32_t BLOCKTHRES = 0;
};

// Whether an engine computed its result.
enum class STATUSTYP : uint8_t {
  DONE,
  REFUSED,     // the game does not fit the tables ("...number of players/subgames not allowed")
  NOENGINE,    // no engine for this version and data ("...error on input file format")
  STOPPED,     // the dialogue ended the run (a further data file that does not fit)
  OVERBUDGET,  // no fast method counts the game within the budget, and no walk was wanted
  CANCELLED,   // the front end asked the count to stop
};

// The methods that count a game, by the names the planner gives them (the
// plan, the CSV's and JSON's "method"): the exhaustive walks, the exact
// fast methods and sampling. engines/plan tells which serves which game.
enum class METHODTYP : uint8_t {
  NONE,                 // nothing counted (refused, or not yet)
  WALK,                 // every coalition of a weighted game, one by one
  SIZEWEIGHTTABLE,      // subsets by size and weight, for one weighted threshold
  WEIGHTTABLE,          // subsets by weight alone (the Banzhaf counts need no sizes)
  DOUBLESTABLE,         // the subsets by weight in doubles, beyond 64-bit counts
  QUADRATURE,           // Shapley-Shubik values by quadrature of the multilinear extension
  DOUBLEMAJORITYTABLE,  // subsets by size and two weights, for a double majority
  DIAGRAM,              // an ordered decision diagram of any monotone rule
  VECTORWALK,           // every count vector of unweighted chambers
  CHAMBERPROGRAM,       // a dynamic program over unweighted chambers
  SAMPLING,             // random coalitions or orders (an estimate)
  MINIMALPROGRAM,       // minimal winning coalitions by their lightest member
  POWERSERIES,          // formal power series of the weights' generating function
  SPATIALTABLE,         // the spatial version by pairs of members and sizes
  JOHNSTONTABLE,        // the Johnston index of one weighted threshold by sizes and weights
  SUBSETHALVES,         // the subset sums of two halves of the players, merged
};
// "walk", "size_weight_table", ...: the method's name as plans and outputs
// give it.
const char* METHODNAME(METHODTYP METHOD);

// The count and the subgame totals of a result in extended range, for
// count-vector games of more than about 1000 members, whose counts (and
// swing totals) exceed a double and whose smallest values fall below one:
// WINS beside the result's WINS or MINWINS, SHAP[s] and PIV[s] beside
// entry [s][0] of its first and second table. The doubles hold the same
// values where they can (rounded to a double, infinite or zero beyond).
// EXTENDED is false where an engine gives doubles only (weighted games of
// 50 players at most); the reports then take the doubles.
struct XTOTALTYP {
  bool EXTENDED = false;
  XNUM WINS{};
  // The losing coalitions (the empty one among them) where the engine
  // counted them beside WINS: 2^n less a rounded WINS is no count at all
  // once few coalitions lose. Zero where it did not.
  XNUM LOSES{};
  XNUM SHAP[MAXCHAMB + 1]{};
  XNUM PIV[MAXCHAMB + 1]{};
  // A weighted game of more than 50 players: the entries [s][p] of both
  // tables per player in extended range, at XPLAYER(s, p); a player's
  // counts exceed a double beyond some 1000 players. Empty otherwise.
  std::vector<XNUM> SHAPP, PIVP;
};

// The place of player P of subgame S in XTOTALTYP::SHAPP and PIVP: the
// players of the subgames before S, then P.
inline std::size_t XPLAYER(const NNTYP& NN, int S, int P) {
  std::size_t at = static_cast<std::size_t>(P);
  for (int s = 1; s < S; ++s) at += static_cast<std::size_t>(NN[s]);
  return at;
}

// The index families.
enum class INDEXTYP : uint8_t { SHAPLEY, BANZHAF, PUBLICGOOD };

// Results are tables [subgame][player] like the weights. Entry [s][0] is the
// subgame's total where an engine gives one: the unweighted engines give
// only totals (every member of a chamber is alike).
struct SHAPLEYRES {
  STATUSTYP STATUS = STATUSTYP::DONE;
  METHODTYP METHOD = METHODTYP::NONE;  // what counted it
  // Shapley-Shubik value of each player (similarity-weighted share in the
  // spatial version); unweighted: the chamber's sum in [s][0].
  SHAPTYP SS{};
  // Inclusiveness: the share of winning coalitions that contain the player;
  // [s][0] the share of winning coalitions with a member in subgame s
  // (unweighted: the chamber's sum over its members, and in the ISA version
  // [s][1] the share with at least one member).
  SHAPTYP II{};
  double WINS = 0;  // winning coalitions
  XTOTALTYP X{};    // WINS, SS and II [s][0] in extended range
};

struct BANZHAFRES {
  STATUSTYP STATUS = STATUSTYP::DONE;
  METHODTYP METHOD = METHODTYP::NONE;
  // Swings: the coalitions that win with the player and lose without it.
  // Weighted games count them exactly (whole numbers); unweighted: the
  // chamber's total in [s][0].
  SHAPTYP SWINGS{};
  double WINS = 0;  // winning coalitions
  XTOTALTYP X{};    // WINS and SWINGS [s][0] in extended range
};

struct PUBLICGOODRES {
  STATUSTYP STATUS = STATUSTYP::DONE;
  METHODTYP METHOD = METHODTYP::NONE;
  // Minimal winning coalitions that contain the player (unweighted: the
  // chamber's total of members over them, in [s][0]).
  SHAPTYP MWC{};
  // The same with each coalition counted as 1/size (its share of the good).
  SHAPTYP SHARE{};
  double MINWINS = 0;  // minimal winning coalitions
  XTOTALTYP X{};       // MINWINS, MWC and SHARE [s][0] in extended range
};

// A result that was not computed, with the reason.
template <typename RES>
RES NOTDONE(STATUSTYP STATUS) {
  RES r;
  r.STATUS = STATUS;
  return r;
}
