// Gauss-Jacobi rules for t^A on [0, 1]: every t^A t^j, j up to 2K - 1,
// integrated to 1 / (A + 1 + j) (a sum of positive terms, so the
// check is relative), for rules of one node to several hundred and
// exponents up to those of coalitions of hundreds of members; A = 0 is
// Gauss-Legendre.
#include "engines/exact/gauss_jacobi.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engines/exact/shapley_quadrature.h"

namespace {

TEST(GaussJacobi, IntegratesPowersOfDegreeBelowTwiceTheNodes) {
  const struct {
    int k, a;
  } rules[] = {{1, 0},   {1, 39}, {2, 1},     {5, 3},   {36, 115},  {57, 66},
               {67, 28}, {94, 0}, {211, 289}, {356, 0}, {400, 1100}};
  for (const auto& r : rules) {
    std::vector<double> x, w;
    ASSERT_TRUE(quadrule::GAUSSJACOBI(r.k, r.a, x, w)) << r.k << " " << r.a;
    ASSERT_EQ(x.size(), static_cast<std::size_t>(r.k));
    for (int i = 0; i < r.k; ++i) {
      EXPECT_GT(w[i], 0) << r.k << " " << r.a << " node " << i;
      EXPECT_TRUE(x[i] > 0 && x[i] < 1) << r.k << " " << r.a << " node " << i;
      if (i > 0) {
        EXPECT_LT(x[i - 1], x[i]) << r.k << " " << r.a << " node " << i;
      }
    }
    for (int j = 0; j < 2 * r.k; ++j) {
      long double s = 0;
      for (int i = 0; i < r.k; ++i) s += w[i] * std::pow(static_cast<long double>(x[i]), r.a + j);
      const double want = 1.0 / (r.a + 1 + j);
      EXPECT_NEAR(static_cast<double>(s), want, 2e-14 * want) << r.k << " " << r.a << " t^" << j;
    }
  }
  std::vector<double> x, w;
  EXPECT_FALSE(quadrule::GAUSSJACOBI(0, 3, x, w));
  EXPECT_FALSE(quadrule::GAUSSJACOBI(4, -1, x, w));
}

TEST(GaussJacobi, WithoutTheFactorIsGaussLegendre) {
  for (int k : {1, 2, 7, 64, 301}) {
    std::vector<double> x, w, lx, lw;
    ASSERT_TRUE(quadrule::GAUSSJACOBI(k, 0, x, w));
    ssquadrature::GAUSSLEGENDRE(k, lx, lw);
    for (int i = 0; i < k; ++i) {
      EXPECT_NEAR(x[i], lx[i], 4e-16) << k << " node " << i;
      EXPECT_NEAR(w[i], lw[i], 4e-16 * lw[i] + 1e-18) << k << " node " << i;
    }
  }
}

// The fewest nodes for coalitions of LO to HI members: every t^(s-1) in
// the range within the tolerance of 1/s (powers formed here by pow, not by
// the routine's running products), never more nodes than the exact rule,
// and far fewer where LO is large.
TEST(GaussJacobi, FewestNodesHoldTheToleranceOverTheSizes) {
  const struct {
    int lo, hi, fewer;  // FEWER: at most this many nodes
  } ranges[] = {{1, 1, 1}, {3, 4, 1}, {2, 60, 26}, {24, 166, 40}, {290, 710, 30}, {1001, 1400, 60}};
  for (const auto& r : ranges) {
    std::vector<double> x, w;
    ASSERT_TRUE(quadrule::GAUSSJACOBIFOR(r.lo, r.hi, 1e-14, x, w)) << r.lo << " " << r.hi;
    EXPECT_LE(x.size(), static_cast<std::size_t>(r.fewer)) << r.lo << " " << r.hi;
    for (int s = r.lo; s <= r.hi; ++s) {
      long double q = 0;
      for (std::size_t i = 0; i < x.size(); ++i)
        q += w[i] * std::pow(static_cast<long double>(x[i]), s - 1);
      EXPECT_NEAR(static_cast<double>(q * s), 1.0, 1.1e-14) << r.lo << " " << r.hi << " s " << s;
    }
  }
  std::vector<double> x, w;
  EXPECT_FALSE(quadrule::GAUSSJACOBIFOR(0, 3, 1e-14, x, w));
  EXPECT_FALSE(quadrule::GAUSSJACOBIFOR(5, 4, 1e-14, x, w));
}

}  // namespace
