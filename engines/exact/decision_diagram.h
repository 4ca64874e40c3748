// Ordered decision diagrams of monotone coalition rules, built for counting
// coalitions by size. Every diagram of a FOREST decides the same players in
// the same order, one level per player, and no level is skipped (a node may
// have equal children), so that a path from the root to the terminal "true"
// is one coalition and its number of "member" edges is the coalition's
// size. Nodes are unique per level: two nodes of a level are always two
// different functions of the remaining players.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engines/exact/size_profile.h"

namespace decisiondiagram {

using NODE = uint32_t;  // a node of a level; roots are nodes of level 0

// Thrown when a diagram would exceed the forest's node budget.
struct BUDGET {};

class FOREST {
 public:
  // LEVELS players; BUDGET nodes at the most over all levels (the pairs a
  // construction holds before it makes its nodes count against it too).
  FOREST(int levels, std::size_t budget);

  NODE zero() const { return zero_[0]; }
  NODE one() const { return one_[0]; }
  std::size_t nodes() const { return count_; }

  // "The members' summed WEIGHT reaches Q", WEIGHT[L] >= 0 the weight of the
  // player of level L. Two remaining quotas leave the same rule for the
  // remaining players when no sum of some of them lies between the two, so
  // each node stands for one such sum (the least that reaches its quotas),
  // found in a bit set of the sums. Throws BUDGET also when those bit sets
  // would take more than 256 MiB.
  NODE threshold(const int64_t* weight, int64_t q);
  // F and the threshold above, built together: only the quotas that paths
  // of F reach are visited, so a restrictive F keeps it small.
  NODE conjThreshold(NODE f, const int64_t* weight, int64_t q);
  // "The players outside hold at most B, their lightest one left out", with
  // WEIGHT[L] >= 0 and B >= 0. Much smaller and faster with the heaviest
  // players first.
  NODE notBlocked(const int64_t* weight, int64_t b);

  NODE conj(NODE a, NODE b) { return apply(AND, 0, a, b); }
  NODE disj(NODE a, NODE b) { return apply(OR, 0, a, b); }
  // The minimal sets of a monotone rule: those whose every member is needed.
  NODE minimal(NODE f);

  // Counts by size of the sets of F: all, those containing the player of
  // each level (into with[PLAYER[L]]), and those without a member of
  // subgame s, whose players are the levels FIRST[s] .. FIRST[s + 1] - 1
  // (s = 1..MM). The counts are residues in RING (engines/exact/modular.h).
  // The same counts without sizes: one pass over the nodes, no size
  // dimension.
  template <class RING>
  void totals(NODE f, const int* player, const int* first, int mm, fastcount::Totals& out,
              const RING& ring) const;
  template <class RING>
  void profile(NODE f, const int* player, const int* first, int mm, fastcount::Profile& out,
               const RING& ring) const;

 private:
  enum OP { AND = 0, OR = 1 };
  struct Node {
    NODE lo, hi;  // the rule without and with the level's player
  };

  // Open-addressing map from 64-bit keys to nodes, for the unique tables and
  // the memos.
  class MAP {
   public:
    bool find(uint64_t key, NODE& value) const;
    void put(uint64_t key, NODE value);
    // VALUE is KEY's value when KEY is there (true), else becomes it.
    bool findOrPut(uint64_t key, NODE& value);
    // Empties the map with room for about N keys.
    void reset(std::size_t n);
    // Asks the cache for KEY's first slot ahead of a look-up.
    void prefetch(uint64_t key) const;

   private:
    struct Slot {  // key and value in one cache line
      uint64_t key;
      NODE value;
    };
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
  };

  NODE make(int level, NODE lo, NODE hi);
  NODE apply(OP op, int level, NODE a, NODE b);
  // A AND NOT B for the pairs (A, B) of level LEVEL given as pairKey(A, B).
  void andNot(int level, const std::vector<uint64_t>& pairs, std::vector<NODE>& out);
  // The nodes of breadth-first pairs, from the bottom level up to TOP:
  // CHILD[L] holds two entries per pair of level L (see RESOLVED in
  // decision_diagram.cpp). Returns the nodes of the pairs of level TOP.
  std::vector<NODE> buildUp(int top, const std::vector<std::vector<uint64_t>>& child);
  // The breadth-first constructions hold their pairs until the nodes are
  // made, each pair some 16 to 48 bytes as a node takes 40 and more: with
  // HELD pairs they throw BUDGET once those and the nodes exceed twice the
  // node budget, so that memory stays within a few times the budget's.
  void room(std::size_t held) const {
    if (held > 2 * budget_ - std::min(count_, 2 * budget_)) throw BUDGET{};
  }
  // The nodes reachable from F per level, and each one's position there
  // (by node; -1 for the others).
  void reachable(NODE f, std::vector<std::vector<NODE>>& reach,
                 std::vector<std::vector<int32_t>>& index) const;
  NODE notBlockedDescending(const int64_t* weight, int64_t b);

  int n_;
  std::size_t budget_, count_ = 0;
  std::vector<std::vector<Node>> nodes_;  // per level; level n_ holds false (0) and true (1)
  std::vector<MAP> unique_;
  std::vector<MAP> memo_[2];
  std::vector<NODE> zero_, one_;
  // The weight systems of the rules built before the first minimal sets, by
  // level: members counted, then up to SYSTEMS - 1 others whose sums fit 31
  // bits. From the first minimal sets on, each node keeps per system the
  // least and the most sum over its sets (SPAN_ per level, 2 * systems per
  // node): no set of A is one of B when A's most falls short of B's least
  // in some system.
  static constexpr std::size_t SYSTEMS = 5;
  static constexpr int32_t NOSET = INT32_MAX;  // the least sum of no set
  std::vector<std::vector<int32_t>> systems_;
  std::vector<std::vector<int32_t>> span_;
  bool spans_ = false;
  void weigh(const int64_t* weight);
  void spanAll();                            // the spans of every node
  void spanOf(int level, NODE lo, NODE hi);  // appends a new node's spans
};

}  // namespace decisiondiagram
