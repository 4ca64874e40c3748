#include "common/mathe1.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

double NCR(uint16_t N, uint16_t K) { return NCRL(N, K); }

double NCRL(int32_t N, int32_t K) {
  if (K < 0) return 0.0;
  double z = 1.0;
  for (int32_t i = 1; i <= K; ++i) {
    z = (static_cast<double>(N - i + 1) / i) * z;
    if (z == 0.0) break;  // K > N: a factor was zero, and stays so
  }
  return z;
}

double POT(uint16_t B, uint16_t E) {
  double z = 1.0;
  for (uint16_t i = 0; i < E; ++i) z *= B;
  return z;
}

namespace {

std::string padLeft(std::string s, int w) {
  if (static_cast<int>(s.size()) < w) s.insert(0, static_cast<std::size_t>(w) - s.size(), ' ');
  return s;
}

}  // namespace

std::string FIXSTR(double X, int W, int D) {
  if (std::isnan(X)) return padLeft("NAN", W);
  if (std::isinf(X)) return padLeft(X < 0 ? "-INF" : "INF", W);
  if (D < 0) D = 0;
  if (D > 30) D = 30;
  // Large enough for every double in fixed notation.
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", D, std::fabs(X));
  // The sign belongs to the value, also when its digits round to zero
  // (-0.0039 at two decimals is "-0.00"); a zero, -0.0 too, has none.
  std::string s = buf;
  if (X < 0) s.insert(s.begin(), '-');
  return padLeft(s, W);
}

std::string SCISTR(double X, int W) {
  if (std::isnan(X)) return padLeft(" NAN", W);
  if (std::isinf(X)) return padLeft(X < 0 ? "-INF" : " INF", W);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14E", std::fabs(X));
  std::string s = buf;  // d.ddddddddddddddE+xx
  std::size_t e = s.find('E');
  std::string mant = s.substr(0, e);
  char sign = s[e + 1];
  int exp = std::atoi(s.c_str() + e + 2);
  char expbuf[16];
  std::snprintf(expbuf, sizeof expbuf, "%03d", exp);
  std::string out = (X < 0 ? "-" : " ") + mant + "E" + sign + expbuf;
  return padLeft(out, W);
}

std::string INTSTR(long long X, int W) { return padLeft(std::to_string(X), W); }
