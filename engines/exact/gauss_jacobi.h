// Gauss-Jacobi quadrature on [0, 1] for the weight function t^A: K nodes
// X and weights W with
//   sum_k W[k] g(X[k]) = integral from 0 to 1 of g(t) dt
// for every g(t) = t^A f(t), f a polynomial of degree below 2 K. (W[k] is
// the rule's weight for t^A divided by X[k]^A: the small nodes' weights
// for large A would fall below a double's range, these do not.) Where the integrand is known
// to carry the factor t^A (a sum of counts times t^(size - 1), every size
// at least A + 1), the rule needs nodes for the rest of the degree only:
// K = ceil((largest - A) / 2) instead of ceil(largest / 2) for
// Gauss-Legendre (A = 0 is Gauss-Legendre).
//
// The nodes are the eigenvalues of the Jacobi matrix of the polynomials
// orthogonal for t^A on [0, 1] (the shifted Jacobi polynomials with
// parameters 0 and A: a symmetric tridiagonal matrix from their three-term
// recurrence), each weight 1 / (A + 1) times the square of the first
// component of its eigenvector (Golub and Welsch 1969), by implicit QL in
// long double: nodes to about 1e-19, weights to some units in the last
// place of a double.
#pragma once

#include <vector>

namespace quadrule {

// The K nodes X (ascending) and weights W for t^A, A >= 0, K >= 1; false
// (X, W empty) where K or A is out of range or the iteration does not
// settle.
bool GAUSSJACOBI(int K, int A, std::vector<double>& X, std::vector<double>& W);

// The fewest nodes of the rule for t^(LO-1) that integrate every t^(s-1),
// LO <= s <= HI, to within TOLERANCE of 1/s relative, with their nodes X
// and weights W. A sum with nonnegative coefficients of such powers then
// has the same relative error bound. The exact rule takes
// ceil((HI - LO + 1) / 2) nodes; where LO is large the weight's mass lies
// near 1, where t^(s - LO) is smooth, and far fewer suffice (sizes 290 to
// 710: 22 nodes instead of 211). Each candidate's error is measured on its
// own nodes and weights as doubles, candidates taken by doubling and then
// bisection below the first that fits (or the exact rule). False as
// GAUSSJACOBI.
bool GAUSSJACOBIFOR(int LO, int HI, double TOLERANCE, std::vector<double>& X,
                    std::vector<double>& W);

}  // namespace quadrule
