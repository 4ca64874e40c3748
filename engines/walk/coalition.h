// One coalition of a weighted game held against the game's rule: its
// tallies (the votes of its members per subgame and vote system, its
// number of members, its primary-system votes, and for the blocking rule
// the system-1 votes outside it and the least of them), kept as members
// join and leave, and whether it wins. What a question about a single
// coalition needs (does it pass, who in it is critical, who could join),
// and what the walks of every coalition build on where they need more
// than the counting walk's counts.
#pragma once

#include <cstdint>
#include <vector>

#include "engines/walk/weighted_walk.h"

namespace weightedwalk {

class Tally {
 public:
  // The empty coalition of the game of R (which must outlive the tally).
  explicit Tally(const Rule& R);

  void JOIN(int P);
  void LEAVE(int P);
  bool HAS(int P) const { return in_[static_cast<std::size_t>(P)] != 0; }
  // The winning rule's verdict: some win set met in every subgame and
  // system, the overall threshold, the blocking minority.
  bool WINS() const;
  // Whether win set T (1..thres) is met in every subgame and system.
  bool MEETSSET(int T) const { return r_.MEETSSET(sums_.data(), T); }
  // The system-K votes of the members in subgame S (1..mm).
  int64_t SUM(int S, int K) const {
    return sums_[static_cast<std::size_t>(S - 1) * r_.vs + static_cast<std::size_t>(K)];
  }
  int MEMBERS() const { return members_; }
  int64_t VOTES() const { return votes_; }
  // Whether the blocking rule stops the coalition: the system-1 votes
  // outside it, less the least of them, exceed the blocking threshold.
  bool BLOCKED() const;

 private:
  const Rule& r_;
  std::vector<int64_t> sums_;
  std::vector<char> in_;
  int members_ = 0;
  int64_t votes_ = 0, outside_ = 0;
  std::vector<int> bySecond_;  // the players by system-1 weight, rising
};

}  // namespace weightedwalk
