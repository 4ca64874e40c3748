#include "common/mathe2.h"

#include <algorithm>
#include <cmath>

#include "platform/console.h"

namespace {

constexpr std::size_t MAXINP = 40;  // characters of an entry that count

// Redraws the field at (X, Y) with VALUE and leaves the cursor at its start.
void redrawField(int X, int Y, int32_t VALUE) {
  con::gotoXY(X, Y);
  con::clrEol();
  con::writeInt(VALUE);
  con::gotoXY(X, Y);
}

// Width of the current window: the echo of a field stops short of its right
// edge, so typing never wraps or scrolls the field away from (X, Y).
int windowWidth() { return con::windMaxX() - con::windMinX() + 1; }

}  // namespace

void READINT(const std::string& OUTPUT, int32_t& INTEG) {
  con::write(OUTPUT);
  const int X = con::whereX();
  const int Y = con::whereY();
  for (;;) {
    redrawField(X, Y, INTEG);
    std::string INP;
    int XX = X;
    const int YY = Y;
    for (;;) {
      int KEY = con::readKey();
      if (KEY == KEYENTER) break;
      if (KEY == KEYEXTENDED) {
        con::readKey();  // scan code of an arrow or function key
        continue;
      }
      if (KEY == KEYBACKSPACE) {
        if (INP.empty()) continue;
        --XX;
        if (XX < windowWidth()) {
          con::gotoXY(XX, YY);
          con::writeChar(' ');
          con::gotoXY(XX, YY);
        }
        INP.pop_back();
        continue;
      }
      if (KEY == KEYESC) {
        // Esc clears the field to the end of the row and what was typed.
        con::gotoXY(X, YY);
        con::clrEol();
        INP.clear();
        XX = X;
        continue;
      }
      if (KEY < 29 || KEY > 126) continue;
      if (XX < windowWidth()) con::writeChar(static_cast<char>(KEY));
      if (INP.size() < MAXINP) INP.push_back(static_cast<char>(KEY));
      ++XX;
    }
    INP = TRIMRIGHT(INP);
    if (INP.empty()) break;  // the old value stands
    int32_t NUMBER = 0;
    int CONTROL = VALINT(INP, NUMBER);
    if (CONTROL == 0) {
      INTEG = NUMBER;
      break;
    }
  }
  con::gotoXY(X, Y);
  con::clrEol();
  con::writeInt(INTEG);
}

void READINTLN(const std::string& OUTPUT, int32_t& INTEG) {
  READINT(OUTPUT, INTEG);
  con::writeLn();
}

void READLONGINT(const std::string& OUTPUT, int32_t& INTEG) {
  con::write(OUTPUT);
  const int X = con::whereX();
  int Y = con::whereY();
  for (;;) {
    redrawField(X, Y, INTEG);
    const long before = con::scrollCount();
    std::string text = con::readNumber();
    // The line input ends with a line break, which may have scrolled the
    // window: the field then sits that many rows higher.
    Y = std::max(1L, Y - (con::scrollCount() - before));
    int32_t NUMBER = 0;
    if (VALINT(text, NUMBER) == 0) {
      INTEG = NUMBER;
      break;
    }
  }
  con::gotoXY(X, Y);
  con::clrEol();
  con::writeInt(INTEG);
}

void READLONGINTLN(const std::string& OUTPUT, int32_t& INTEG) {
  READLONGINT(OUTPUT, INTEG);
  con::writeLn();
}

void READWEIGHTLN(const SETTINGSTYP& S, const std::string& OUTPUT, int32_t& INTEG) {
  if (S.LONGWEIGHTS())
    READLONGINTLN(OUTPUT, INTEG);
  else
    READINTLN(OUTPUT, INTEG);
}

void READQUADLN1(const SETTINGSTYP& S, GTYP& A, uint8_t II, uint16_t N) {
  if (II > MAXCHAMB) return;  // the table holds 10 win sets
  const int dims = std::min<int>(N, MAXCHAMB);
  for (int I = 1; I <= dims; ++I) {
    A[II][I][1] = 0;
    A[II][I][2] = 0;
    std::string prompt = "threshold subgame ";
    prompt += std::to_string(I);
    prompt += ":    ";
    READWEIGHTLN(S, prompt, A[II][I][1]);
  }
}

void WRITEQUADLN(const QUADER& A, uint8_t N) {
  const int dims = std::min<int>(N, MAXCHAMB);
  for (int I = 1; I <= dims; ++I) {
    con::write("[");
    con::writeInt(A[I][1]);
    con::write(",");
    con::writeInt(A[I][2]);
    con::write("]");
    if (I < dims) con::write(" * ");
  }
  con::writeLn();
}

bool POINTQUAD(const GTYP& A, uint8_t III, const POINT& P, uint8_t N) {
  const QUADER& box = A[III];
  const int dims = std::min<int>(N, MAXCHAMB);
  bool inside = true;
  for (int I = 1; I <= dims; ++I)
    if (box[I][1] > P[I] || box[I][2] < P[I]) inside = false;
  return inside;
}

double DIST(const POSTYP& POSITION, uint16_t A1, uint16_t A2, uint16_t NTHEME, uint16_t MINKOWP) {
  (void)MINKOWP;  // every caller asks for the Euclidean distance
  const int themes = std::min<int>(NTHEME, MAXCHAMB);
  double d[MAXCHAMB + 1] = {};
  double largest = 0.0;
  for (int t = 1; t <= themes; ++t) {
    // Halved first where the difference itself would overflow.
    d[t] = POSITION[t][A1] - POSITION[t][A2];
    if (!std::isfinite(d[t])) d[t] = 2.0 * (POSITION[t][A1] / 2.0 - POSITION[t][A2] / 2.0);
    largest = std::max(largest, std::fabs(d[t]));
  }
  // Squares of differences beyond about 1e154 overflow (and below 1e-154
  // vanish): such distances are summed over differences scaled by a power
  // of two, which is exact. Ordinary ones are summed as they are.
  constexpr double HIGH = 0x1p500, LOW = 0x1p-500;
  const double scale = largest > HIGH || !std::isfinite(largest) ? 0x1p-600
                       : largest < LOW                           ? 0x1p600
                                                                 : 1.0;
  double sum = 0.0;
  for (int t = 1; t <= themes; ++t) {
    const double e = d[t] * scale;
    sum += e * e;
  }
  return std::sqrt(sum) / scale;
}

double DIST_MAX(const POSTYP& POSITION, uint16_t NAKTEUR, uint16_t NTHEME) {
  const int players = std::min<int>(NAKTEUR, MAXACTOR);
  double best = 0.0;
  for (int i = 2; i <= players; ++i)
    for (int j = 1; j < i; ++j) {
      double d = DIST(POSITION, static_cast<uint16_t>(i), static_cast<uint16_t>(j), NTHEME, 2);
      if (d > best) best = d;
    }
  // Callers divide by the result: identical positions must not give 0.
  return best == 0.0 ? 1.0 : best;
}

double DIST_KOAL(const PERMTYP& PERM, const POSTYP& POSITION, uint16_t N, uint16_t K,
                 uint16_t NTHEME, double DISTMAX) {
  // A lone member (or no member at all) has no pair to be similar with.
  if (K <= 1) return 0.0;
  const int players = std::min<int>(N, MAXACTOR);
  // The sum of up to 1225 distances overflows when they come near the
  // largest double: it is then kept in units of 2^-16, exactly.
  // Distances of subnormal size are kept in units of 2^-900 (the reciprocal
  // of such a DISTMAX would be infinite and the similarity NAN).
  const double unit = DISTMAX > 0x1p1000 ? 0x1p-16 : DISTMAX < 0x1p-900 ? 0x1p900 : 1.0;
  double sum = 0.0;
  for (int i = 2; i <= players; ++i) {
    if (!PERM[i]) continue;
    for (int j = 1; j < i; ++j)
      if (PERM[j])
        sum += unit * DIST(POSITION, static_cast<uint16_t>(i), static_cast<uint16_t>(j), NTHEME, 2);
  }
  const int64_t pairs2 = static_cast<int64_t>(K - 1) * K;  // twice the number of pairs
  return 1.0 - (2.0 / (static_cast<double>(pairs2) * (DISTMAX * unit))) * sum;
}
