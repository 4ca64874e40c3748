// Counting cores of the weighted engines: the exhaustive walk over all
// coalitions, the winning test, swings and minimality, kept apart from the
// run-mode dialogue and the screen so that they can be checked and timed on
// their own.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "types/vkxdecl.h"

namespace weightedwalk {

constexpr int MAXSYS = 4;      // vote systems decided at once
constexpr int MAXWINSET = 10;  // win sets

// One weighted game as the cores read it. Players are numbered 1..n across
// all subgames; vote system 0 is the primary game, systems 1..vs-1 the
// additional ones (same players, same subgames, own weights and thresholds).
// A coalition meets win set t when, in every active vote system and every
// subgame, its summed weight reaches that system's threshold; it wins when it
// meets some win set, subject to the overall threshold and the blocking rule.
struct Game {
  // Room for PLAYERS players and SUBGAMES subgames; the default is the
  // interactive program's limits. The counting reads n and mm, which may be
  // anything up to the room.
  explicit Game(int PLAYERS = MAXACTOR, int SUBGAMES = MAXCHAMB)
      : sub(static_cast<std::size_t>(PLAYERS) + 1),
        w(MAXSYS, std::vector<int64_t>(static_cast<std::size_t>(PLAYERS) + 1)),
        m(MAXSYS,
          std::vector<std::vector<int64_t>>(
              MAXWINSET + 1, std::vector<int64_t>(static_cast<std::size_t>(SUBGAMES) + 1))) {}

  int n = 0;                                         // players, 1..sub.size()-1
  int mm = 0;                                        // subgames, 1..m[k][t].size()-1
  int thres = 0;                                     // win sets, 0..MAXWINSET
  int vs = 1;                                        // vote systems, 1..MAXSYS
  std::vector<int> sub;                              // subgame of player p
  std::vector<std::vector<int64_t>> w;               // weight of p in system k
  std::vector<std::vector<std::vector<int64_t>>> m;  // threshold [k][t][s]

  // Overall threshold: 0 none, 1 AND (a coalition below it loses), 2 OR (a
  // coalition reaching it wins whatever the win sets say); other values none.
  int overall = 1;
  // What the overall threshold counts: 0 members, 1 primary-system votes.
  int overt = 0;
  int64_t t1 = 0;

  // Blocking minority in system 1: a coalition loses when the players outside
  // it hold more than blockThres system-1 votes even without the smallest of
  // them (with "smallest" taken as the least of their total and each weight).
  bool block = false;
  int64_t blockThres = 0;

  // Spatial weighting (Shapley core only): every coalition is weighted by the
  // similarity of its members' positions.
  const POSTYP* position = nullptr;
  uint16_t ntheme = 0;
  double distmax = 1.0;
};

// The winning rule of a game in flat arrays, copied from the Game once: what
// the walk tests every coalition by, and the estimator its samples. A
// coalition is described by its sums: SUMS[(s-1)*vs + k] the system-k votes
// of its members in subgame s, and beside them its number of members, its
// primary-system votes and, for the blocking rule, the system-1 votes outside
// it and the least system-1 weight of an outsider.
struct Rule {
  explicit Rule(const Game& g);

  int n = 0, mm = 0, vs = 1, thres = 0;
  std::vector<int> sub;       // [p], subgame of player p
  std::vector<int64_t> w;     // [p*vs + k], weight of p in system k
  std::vector<int64_t> need;  // [(t-1)*mm*vs + (s-1)*vs + k], thresholds
  int overall = 1, overt = 0;
  int64_t t1 = 0;
  bool block = false;
  int64_t blockThres = 0;

  int cells() const { return mm * vs; }  // sums per coalition
  const int64_t* weights(int p) const { return w.data() + static_cast<std::size_t>(p) * vs; }
  int64_t primary(int p) const { return w[static_cast<std::size_t>(p) * vs]; }
  int64_t second(int p) const { return w[static_cast<std::size_t>(p) * vs + 1]; }

  // Whether SUMS meet win set t (1..thres).
  bool MEETSSET(const int64_t* SUMS, int t) const {
    const int64_t* m = need.data() + static_cast<std::size_t>(t - 1) * cells();
    for (int i = 0, e = cells(); i < e; ++i)
      if (SUMS[i] < m[i]) return false;
    return true;
  }
  bool MEETS(const int64_t* SUMS) const {
    for (int t = 1; t <= thres; ++t)
      if (MEETSSET(SUMS, t)) return true;
    return false;
  }
  // Blocked when the outsiders' system-1 votes, less the smallest of their
  // total and their least single weight (LEAST, INT64_MAX with no outsider),
  // exceed the blocking threshold.
  bool BLOCKED(int64_t OUTSIDE, int64_t LEAST) const {
    return block && OUTSIDE - std::min(OUTSIDE, LEAST) > blockThres;
  }
  // The verdict from the win sets, the overall threshold and the blocking.
  bool DECIDE(bool SETS, int64_t MEMBERS, int64_t VOTES, bool ISBLOCKED) const {
    bool win = SETS;
    const int64_t measure = overt == 0 ? MEMBERS : VOTES;
    if (overall == 1) {
      if ((overt == 0 || overt == 1) && measure < t1) win = false;
    } else if (overall == 2) {
      if ((overt == 0 || overt == 1) && measure >= t1) win = true;
    }
    return win && !ISBLOCKED;
  }
};

// What the Shapley walk counts: the winning coalitions. Per player p
// (1..n) and per subgame s (1..mm).
struct WinCounts {
  explicit WinCounts(int N = MAXACTOR, int MM = MAXCHAMB)
      : value(static_cast<std::size_t>(N) + 1),
        with(static_cast<std::size_t>(N) + 1),
        sub(static_cast<std::size_t>(MM) + 1) {}
  double wins = 0;  // winning coalitions
  // The Shapley-Shubik value: the sum of the swing weights (k-1)!(n-k)!/n!
  // over the coalitions in which p is a swing (times the similarity when
  // spatial).
  std::vector<double> value;
  // Winning coalitions containing p (similarity sum when spatial).
  std::vector<double> with;
  // Winning coalitions with a member in subgame s (similarity sum when
  // spatial).
  std::vector<double> sub;
  // Spatial: similarity sums of the losing and of the winning coalitions.
  double dist0 = 0, dist1 = 0;
};

// What the public good walk counts: the minimal winning coalitions, those
// that lose as soon as any one member leaves.
struct MinimalCounts {
  explicit MinimalCounts(int N = MAXACTOR)
      : with(static_cast<std::size_t>(N) + 1), share(static_cast<std::size_t>(N) + 1) {}
  double minimal = 0;         // minimal winning coalitions
  std::vector<double> with;   // those containing p
  std::vector<double> share;  // the sum of 1/size over those containing p
};

// Optional per-coalition hooks for screen control and listings. Either
// pointer may be null; with no visitor at all the walk does no extra work.
struct Visitor {
  void* ctx = nullptr;
  // Every coalition, right after the walk has stepped to it.
  void (*every)(void* ctx, const PERMTYP& perm) = nullptr;
  // Every counted coalition (winning, resp. minimal winning), after the count
  // has been raised to COUNT.
  void (*listed)(void* ctx, const PERMTYP& perm, double count) = nullptr;
};

// True when the game fits its own storage (n, mm, thres, vs and every
// player's subgame in range).
bool FITS(const Game& g);

// Whether the empty coalition wins: it meets a win set whose thresholds are
// all 0 or below in every vote system, and the overall threshold and the
// blocking rule let it. The walks never visit it.
bool EMPTYWINS(const Game& g);

// A player's Shapley-Shubik value from its swings by coalition size: each
// swing in a coalition of K members weighs (K-1)!(N-K)!/N!, and the sizes
// are summed from 1 up. The walk and the fast counting both finish with it,
// so that equal counts give equal values to the last bit.
double SHAPLEYVALUE(int N, const uint64_t* SWINGSBYSIZE);
// The sum of 1/K over coalitions counted by size K = 1..N, summed the same
// way (the public good share of a player).
double SIZESHARE(int N, const uint64_t* BYSIZE);

// Visits every non-empty coalition once, in binary counting order with player
// 1 as the lowest digit, and counts winning coalitions, memberships and
// swings. COUNTS is reset first. The game must FIT. The walk keeps the
// coalition as a 64-bit set: false, with COUNTS reset, beyond WALKMAX players
// or 63 subgames (or beyond MAXACTOR players with a visitor or spatially).
constexpr int WALKMAX = 63;
bool SHAPLEY_CORE(const Game& g, WinCounts& counts, const Visitor* visitor = nullptr);

// The same walk, counting minimal winning coalitions: winning coalitions that
// lose as soon as any one member leaves.
bool PUBLICGOOD_CORE(const Game& g, MinimalCounts& counts, const Visitor* visitor = nullptr);

}  // namespace weightedwalk
