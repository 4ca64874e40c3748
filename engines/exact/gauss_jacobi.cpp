#include "engines/exact/gauss_jacobi.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numeric>

namespace quadrule {

namespace {

using Real = long double;

// The eigenvalues of the symmetric tridiagonal matrix with diagonal D and
// off-diagonal E (E[i] between rows i and i + 1, E[n-1] unused) into D,
// and the first row of its eigenvectors' matrix into Z (Z starts as the
// first unit vector): implicit QL with Wilkinson's shifts, the rotations
// applied to Z's one row only. False where an eigenvalue takes more than
// 60 sweeps.
bool eigen(std::vector<Real>& d, std::vector<Real>& e, std::vector<Real>& z) {
  const int n = static_cast<int>(d.size());
  const Real eps = std::numeric_limits<Real>::epsilon();
  auto at = [](std::vector<Real>& v, int i) -> Real& { return v[static_cast<std::size_t>(i)]; };
  for (int l = 0; l < n; ++l) {
    for (int sweep = 0;; ++sweep) {
      int m = l;
      for (; m < n - 1; ++m)
        if (std::fabs(at(e, m)) <= eps * (std::fabs(at(d, m)) + std::fabs(at(d, m + 1)))) break;
      if (m == l) break;
      if (sweep == 60) return false;
      Real g = (at(d, l + 1) - at(d, l)) / (2 * at(e, l));
      Real r = std::hypot(g, Real(1));
      g = at(d, m) - at(d, l) + at(e, l) / (g + std::copysign(r, g));
      Real s = 1, c = 1, p = 0;
      int i = m - 1;
      for (; i >= l; --i) {
        const Real f = s * at(e, i), b = c * at(e, i);
        r = std::hypot(f, g);
        at(e, i + 1) = r;
        if (r == 0) {  // the matrix splits here: start again above it
          at(d, i + 1) -= p;
          at(e, m) = 0;
          break;
        }
        s = f / r;
        c = g / r;
        g = at(d, i + 1) - p;
        r = (at(d, i) - g) * s + 2 * c * b;
        p = s * r;
        at(d, i + 1) = g + p;
        g = c * r - b;
        const Real zf = at(z, i + 1);
        at(z, i + 1) = s * at(z, i) + c * zf;
        at(z, i) = c * at(z, i) - s * zf;
      }
      if (r == 0 && i >= l) continue;
      at(d, l) -= p;
      at(e, l) = g;
      at(e, m) = 0;
    }
  }
  return true;
}

}  // namespace

bool GAUSSJACOBI(int k, int a, std::vector<double>& x, std::vector<double>& w) {
  x.clear();
  w.clear();
  if (k < 1 || a < 0 || k > 1000000) return false;
  // The recurrence of the Jacobi polynomials on [-1, 1] with the weight
  // (1 + s)^A (monic): s P_j = P_(j+1) + alpha_j P_j + beta_j P_(j-1), then
  // t = (1 + s) / 2 halves the off-diagonal and maps the diagonal.
  const std::size_t n = static_cast<std::size_t>(k);
  std::vector<Real> d(n), e(n, 0), z(n, 0);
  const Real b = a;
  for (std::size_t j = 0; j < n; ++j) {
    const Real two = 2 * static_cast<Real>(j) + b;  // 2j + A
    const Real alpha = a == 0 ? 0 : b * b / (two * (two + 2));
    d[j] = (1 + alpha) / 2;
    if (j + 1 < n) {
      const Real i = static_cast<Real>(j + 1), t = 2 * i + b;
      const Real beta = 4 * i * i * (i + b) * (i + b) / (t * t * (t + 1) * (t - 1));
      e[j] = std::sqrt(beta) / 2;
    }
  }
  z[0] = 1;
  if (!eigen(d, e, z)) return false;
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) { return d[i] < d[j]; });
  const Real mass = 1 / (b + 1);  // the integral of t^A over [0, 1]
  for (std::size_t i : order) {
    const Real t = d[i], square = z[i] * z[i];
    // The weight over t^A: directly while t^A stays in range, else by
    // logarithms (where the weight itself is below any double).
    const Real power = std::pow(t, b);
    Real weight = 0;
    if (power > std::numeric_limits<Real>::min() * 0x1p64L)
      weight = mass * square / power;
    else if (square > 0)
      weight = std::exp(std::log(mass * square) - b * std::log(t));
    x.push_back(static_cast<double>(t));
    w.push_back(static_cast<double>(weight));
  }
  return true;
}

namespace {

// The rule's largest relative error over t^(s-1), LO <= s <= HI: the
// powers formed by one multiplication a size, in long double.
Real worst(const std::vector<double>& x, const std::vector<double>& w, int lo, int hi) {
  std::vector<Real> power(x.size());
  for (std::size_t j = 0; j < x.size(); ++j) power[j] = std::pow(static_cast<Real>(x[j]), lo - 1);
  Real most = 0;
  for (int s = lo; s <= hi; ++s) {
    Real sum = 0;
    for (std::size_t j = 0; j < x.size(); ++j) {
      sum += static_cast<Real>(w[j]) * power[j];
      power[j] *= x[j];
    }
    most = std::max(most, std::fabs(sum * s - 1));
  }
  return most;
}

}  // namespace

bool GAUSSJACOBIFOR(int lo, int hi, double tolerance, std::vector<double>& x,
                    std::vector<double>& w) {
  if (lo < 1 || hi < lo) {
    x.clear();
    w.clear();
    return false;
  }
  const int exact = (hi - lo + 2) / 2, a = lo - 1;
  auto fits = [&](int k) { return GAUSSJACOBI(k, a, x, w) && worst(x, w, lo, hi) <= tolerance; };
  int pass = 0, fail = 0;
  for (int k = 1; k < exact; k *= 2) {
    if (fits(k)) {
      pass = k;
      break;
    }
    fail = k;
  }
  if (pass == 0) pass = exact;  // exact, whatever its rounding
  while (pass - fail > 1) {
    const int mid = (pass + fail) / 2;
    (fits(mid) ? pass : fail) = mid;
  }
  return GAUSSJACOBI(pass, a, x, w);
}

}  // namespace quadrule
