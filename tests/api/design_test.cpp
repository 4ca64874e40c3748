// The design of weights and quotas against exhaustive enumeration: every
// weighted game of 3 and 4 players told apart, from all weights 0..15 and
// every quota, each index counted over the coalitions; the design's
// distance is the least of them, for random targets, both indices and both
// distances. Beyond 6 players the heuristic is never worse than the
// targets as weights with their best quota, and with weights given the
// quota is the best of every quota.
// GoogleTest's FAIL macro would hide the API's FAIL.
#define GTEST_DONT_DEFINE_FAIL 1
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "api/design.h"

namespace {

// The index of weights W (players 0..n-1) at quota Q over all coalitions.
std::vector<double> bruteIndex(const std::vector<int>& w, int q, bool shapley) {
  const int n = static_cast<int>(w.size());
  std::vector<double> v(static_cast<std::size_t>(n), 0.0);
  double all = 0;
  for (int s = 0; s < (1 << n); ++s) {
    int sum = 0, size = 0;
    for (int p = 0; p < n; ++p)
      if (s >> p & 1) {
        sum += w[p];
        ++size;
      }
    for (int p = 0; p < n; ++p) {
      if (s >> p & 1 || sum >= q || sum + w[p] < q) continue;
      const double weight =
          shapley ? std::tgamma(size + 1) * std::tgamma(n - size) / std::tgamma(n + 1) : 1;
      v[p] += weight;
      all += weight;
    }
  }
  if (!shapley && all > 0)
    for (double& x : v) x /= all;
  return v;
}

double distanceOf(const std::vector<double>& v, const std::vector<double>& t, bool maxabs) {
  double sum = 0, most = 0;
  for (std::size_t p = 0; p < v.size(); ++p) {
    sum += (v[p] - t[p]) * (v[p] - t[p]);
    most = std::max(most, std::fabs(v[p] - t[p]));
  }
  return maxabs ? most : sum;
}

TEST(Design, SmallBodiesAreTheOptimumOfEveryWeightedGame) {
  std::mt19937 rng(2012);
  for (const int n : {3, 4}) {
    // Every game of weights 0..15 once: its weights and quota.
    std::vector<std::pair<std::vector<int>, int>> games;
    {
      std::vector<uint64_t> seen;
      std::vector<int> w(static_cast<std::size_t>(n), 0);
      for (int code = 0; code < (1 << (4 * n)); ++code) {
        int total = 0;
        for (int p = 0; p < n; ++p) total += w[p] = code >> (4 * p) & 15;
        for (int q = 1; q <= total; ++q) {
          uint64_t mask = 0;
          for (int s = 0; s < (1 << n); ++s) {
            int sum = 0;
            for (int p = 0; p < n; ++p) sum += (s >> p & 1) ? w[p] : 0;
            if (sum >= q) mask |= uint64_t{1} << s;
          }
          if (std::find(seen.begin(), seen.end(), mask) != seen.end()) continue;
          seen.push_back(mask);
          games.push_back({w, q});
        }
      }
      EXPECT_EQ(seen.size(), n == 3 ? 18u : 148u);  // 20 and 150 less the constant games
    }
    for (int round = 0; round < 12; ++round) {
      const bool shapley = round % 2 == 1, maxabs = round % 4 >= 2;
      std::vector<double> target(static_cast<std::size_t>(n));
      DESIGNREQUESTTYP r;
      r.INDEX = shapley ? "shapley" : "banzhaf";
      r.DISTANCE = maxabs ? "maxabs" : "sumsq";
      double all = 0;
      for (int p = 0; p < n; ++p) {
        target[p] = 1 + static_cast<int>(rng() % 40);
        all += target[p];
        if (p > 0) r.TARGET += ',';
        r.TARGET += std::to_string(static_cast<int>(target[p]));
      }
      for (double& t : target) t /= all;
      double best = 1e9;
      for (const auto& [w, q] : games)
        best = std::min(best, distanceOf(bruteIndex(w, q, shapley), target, maxabs));
      DESIGNTYP d;
      FAILTYP f;
      ASSERT_TRUE(DESIGNRUN(r, d, f)) << f.MESSAGE;
      SCOPED_TRACE(r.TARGET + " " + r.INDEX + " " + r.DISTANCE);
      EXPECT_TRUE(d.OPTIMAL);
      EXPECT_NEAR(d.DIST, best, 1e-12);
      // The weights and quota it names have that distance.
      std::vector<int> w;
      for (int p = 1; p <= n; ++p) w.push_back(static_cast<int>(d.WEIGHT[p]));
      EXPECT_NEAR(distanceOf(bruteIndex(w, static_cast<int>(d.QUOTA), shapley), target, maxabs),
                  best, 1e-12);
    }
  }
}

TEST(Design, LargerBodiesNeverWorseThanTheTargetsAsWeightsAndQuotasOptimal) {
  std::mt19937 rng(2014);
  for (int round = 0; round < 4; ++round) {
    DESIGNREQUESTTYP r;
    r.INDEX = round % 2 ? "shapley" : "banzhaf";
    r.SECONDS = 0.2;
    const int n = 8 + 4 * round;
    std::string weights;
    for (int p = 0; p < n; ++p) {
      if (p > 0) {
        r.TARGET += ',';
        weights += ',';
      }
      r.TARGET += std::to_string(1 + rng() % 100);
      weights += std::to_string(1 + rng() % 30);
    }
    DESIGNTYP d;
    FAILTYP f;
    ASSERT_TRUE(DESIGNRUN(r, d, f)) << f.MESSAGE;
    EXPECT_FALSE(d.OPTIMAL);
    EXPECT_LE(d.DIST, d.BASELINE * (1 + 1e-12));
    // Weights given: the quota is the best of all, by the brute force.
    r.WEIGHTS = {weights};
    if (n > 12) continue;
    ASSERT_TRUE(DESIGNRUN(r, d, f)) << f.MESSAGE;
    EXPECT_TRUE(d.OPTIMAL);
    std::vector<int> w;
    std::vector<double> target;
    for (int p = 1; p <= n; ++p) {
      w.push_back(static_cast<int>(d.WEIGHT[p]));
      target.push_back(d.TARGET[p]);
    }
    double best = 1e9;
    for (int q = 1; q <= d.TOTAL; ++q)
      best = std::min(best, distanceOf(bruteIndex(w, q, r.INDEX == "shapley"), target, false));
    EXPECT_NEAR(d.DIST, best, 1e-12);
  }
}

}  // namespace
