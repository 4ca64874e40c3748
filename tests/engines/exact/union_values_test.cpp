// The Owen and Banzhaf-Owen values against brute force: every order of the
// players that keeps each union together (Owen) and every coalition made of
// whole other unions and some fellow members (Banzhaf-Owen), with the
// quotient game's values over the orders and sets of unions; on random
// games of up to 10 players, by the generating functions (one weighted
// threshold) and by the enumeration (every kind of rule). On larger games,
// unions of one player each give the Shapley-Shubik and absolute Banzhaf
// values of the counting, and one union of all players the Shapley-Shubik
// value again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "../brute.h"
#include "engines/exact/fast_counts.h"
#include "engines/exact/johnston_table.h"
#include "engines/exact/union_values.h"

namespace {

using unions::KIND;

struct Partition {
  std::vector<int> unionOf;  // [p]
  int m = 0;
  std::vector<std::vector<int>> members;
};

Partition randomPartition(std::mt19937_64& rng, int n) {
  Partition u;
  const int m = 1 + static_cast<int>(rng() % static_cast<uint64_t>(n));
  u.unionOf.assign(static_cast<std::size_t>(n) + 1, 0);
  std::vector<int> order(static_cast<std::size_t>(n));
  std::iota(order.begin(), order.end(), 1);
  std::shuffle(order.begin(), order.end(), rng);
  for (int i = 0; i < n; ++i)
    u.unionOf[order[i]] = i < m ? i : static_cast<int>(rng() % static_cast<uint64_t>(m));
  u.m = m;
  u.members.resize(static_cast<std::size_t>(m));
  for (int p = 1; p <= n; ++p) u.members[u.unionOf[p]].push_back(p);
  return u;
}

// Owen over the orders that keep the unions together; the quotient game's
// Shapley-Shubik value over the orders of the unions.
unions::RESULTTYP bruteOwen(const weightedwalk::Game& g, Partition u) {
  unions::RESULTTYP r;
  r.player.assign(static_cast<std::size_t>(g.n) + 1, 0.0);
  r.quotient.assign(static_cast<std::size_t>(u.m), 0.0);
  std::vector<int> unionOrder(static_cast<std::size_t>(u.m));
  std::iota(unionOrder.begin(), unionOrder.end(), 0);
  double orders = 0, unionOrders = 0;
  do {
    ++unionOrders;
    uint64_t before = 0;
    for (int k : unionOrder) {
      uint64_t after = before;
      for (int p : u.members[k]) after |= uint64_t{1} << (p - 1);
      r.quotient[k] += brute::WINS(g, after) - brute::WINS(g, before);
      before = after;
    }
    // Every order within each union in turn (an odometer of permutations).
    for (auto& m : u.members) std::sort(m.begin(), m.end());
    for (;;) {
      ++orders;
      uint64_t set = 0;
      for (int k : unionOrder)
        for (int p : u.members[k]) {
          const uint64_t with = set | uint64_t{1} << (p - 1);
          r.player[p] += brute::WINS(g, with) - brute::WINS(g, set);
          set = with;
        }
      std::size_t k = 0;
      while (k < u.members.size() &&
             !std::next_permutation(u.members[k].begin(), u.members[k].end()))
        ++k;
      if (k == u.members.size()) break;
    }
  } while (std::next_permutation(unionOrder.begin(), unionOrder.end()));
  for (double& v : r.player) v /= orders;
  for (double& v : r.quotient) v /= unionOrders;
  return r;
}

// Banzhaf-Owen over the coalitions of whole other unions and fellow
// members; the quotient game's absolute Banzhaf index over sets of unions.
unions::RESULTTYP bruteBanzhafOwen(const weightedwalk::Game& g, const Partition& u) {
  unions::RESULTTYP r;
  r.player.assign(static_cast<std::size_t>(g.n) + 1, 0.0);
  r.quotient.assign(static_cast<std::size_t>(u.m), 0.0);
  for (uint64_t set = 0; set < (uint64_t{1} << g.n); ++set) {
    for (int p = 1; p <= g.n; ++p) {
      if (brute::in(set, p)) continue;
      const int k = u.unionOf[p];
      bool whole = true;
      for (int l = 0; l < u.m; ++l) {
        if (l == k) continue;
        int in = 0;
        for (int q : u.members[l]) in += brute::in(set, q);
        whole = whole && (in == 0 || in == static_cast<int>(u.members[l].size()));
      }
      if (!whole) continue;
      const double weight =
          std::ldexp(1.0, -(u.m - 1)) * std::ldexp(1.0, 1 - static_cast<int>(u.members[k].size()));
      r.player[p] += weight * (brute::WINS(g, set | uint64_t{1} << (p - 1)) - brute::WINS(g, set));
    }
  }
  for (uint64_t set = 0; set < (uint64_t{1} << u.m); ++set) {
    uint64_t players = 0;
    for (int l = 0; l < u.m; ++l)
      if (set >> l & 1)
        for (int q : u.members[l]) players |= uint64_t{1} << (q - 1);
    for (int k = 0; k < u.m; ++k) {
      if (set >> k & 1) continue;
      uint64_t with = players;
      for (int q : u.members[k]) with |= uint64_t{1} << (q - 1);
      r.quotient[k] +=
          std::ldexp(1.0, -(u.m - 1)) * (brute::WINS(g, with) - brute::WINS(g, players));
    }
  }
  return r;
}

void expectSame(const unions::RESULTTYP& got, const unions::RESULTTYP& want, const char* how) {
  for (std::size_t p = 1; p < want.player.size(); ++p)
    EXPECT_NEAR(got.player[p], want.player[p], 1e-13) << how << " player " << p;
  for (std::size_t k = 0; k < want.quotient.size(); ++k)
    EXPECT_NEAR(got.quotient[k], want.quotient[k], 1e-13) << how << " union " << k;
}

TEST(UnionValues, MatchBruteForceOverOrdersAndCoalitions) {
  std::mt19937_64 rng(2015);
  for (int round = 0; round < 90; ++round) {
    const int n = round == 0 ? 10 : 2 + round % 7, kind = round % 6;
    const weightedwalk::Game g = brute::GAME(rng, n, kind);
    const Partition u = randomPartition(rng, n);
    SCOPED_TRACE("round " + std::to_string(round));
    for (const KIND k : {KIND::OWEN, KIND::BANZHAFOWEN}) {
      const unions::RESULTTYP want = k == KIND::OWEN ? bruteOwen(g, u) : bruteBanzhafOwen(g, u);
      unions::RESULTTYP got;
      ASSERT_TRUE(unions::ENUMERATE(g, u.unionOf, u.m, k, got));
      expectSame(got, want, "enumerated");
      std::vector<int64_t> weight;
      int64_t q = 0;
      if (!johnston::ONETHRESHOLD(g, weight, q)) continue;
      const unions::THRESHOLDTYP t{n, weight.data(), q, u.unionOf, u.m};
      ASSERT_TRUE(unions::COUNT(t, k, got));
      expectSame(got, want, "by generating functions");
    }
  }
}

TEST(UnionValues, SingletonsAndTheGrandUnionGiveTheIndicesOfTheCounting) {
  std::mt19937_64 rng(1977);
  for (int round = 0; round < 6; ++round) {
    const int n = 30 + 10 * round;
    weightedwalk::Game g(n, 1);
    g.n = n;
    g.mm = 1;
    g.thres = 1;
    int64_t total = 0;
    for (int p = 1; p <= n; ++p) {
      g.sub[p] = 1;
      total += g.w[0][p] = static_cast<int64_t>(1 + rng() % 60);
    }
    g.m[0][1][1] = total * (50 + 7 * round) / 100;
    fastcount::Result exact(n, 1);
    ASSERT_TRUE(fastcount::SHAPLEY_FAST(g, exact));
    std::vector<int> alone(static_cast<std::size_t>(n) + 1), together(alone.size(), 0);
    for (int p = 1; p <= n; ++p) alone[p] = p - 1;
    unions::RESULTTYP owen, banzhaf, grand;
    const unions::THRESHOLDTYP t{n, g.w[0].data(), g.m[0][1][1], alone, n};
    ASSERT_TRUE(unions::COUNT(t, KIND::OWEN, owen));
    ASSERT_TRUE(unions::COUNT(t, KIND::BANZHAFOWEN, banzhaf));
    ASSERT_TRUE(unions::COUNT({n, g.w[0].data(), g.m[0][1][1], together, 1}, KIND::OWEN, grand));
    for (int p = 1; p <= n; ++p) {
      const double ss = exact.shap[p];
      const double nnbz = XTODOUBLE(exact.xswings[p] / XPOW2(n - 1));
      EXPECT_NEAR(owen.player[p], ss, 1e-12 * std::max(ss, 1e-3)) << n << " " << p;
      EXPECT_NEAR(owen.quotient[p - 1], ss, 1e-12 * std::max(ss, 1e-3)) << n << " " << p;
      EXPECT_NEAR(grand.player[p], ss, 1e-12 * std::max(ss, 1e-3)) << n << " " << p;
      EXPECT_NEAR(banzhaf.player[p], nnbz, 1e-12 * std::max(nnbz, 1e-3)) << n << " " << p;
    }
  }
}

}  // namespace
