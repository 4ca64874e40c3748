#include "engines/walk/vector_walk.h"

#include <algorithm>
#include <vector>

ISAGAME ISA_GAME(const GAMETYP& GAME, const RULETYP& RULE) {
  ISAGAME g;
  g.N = GAME.N;
  g.MM = GAME.MM;
  g.NN = GAME.NN;
  g.THRES = RULE.THRES;
  g.G = RULE.G;
  if (RULE.GAME == VERSION::ISA || RULE.GAME == VERSION::ISAWP) {
    g.T1 = static_cast<uint16_t>(RULE.T1);
    g.T2 = static_cast<uint16_t>(RULE.T2);
    g.T1ANZ = static_cast<uint16_t>(RULE.T1ANZ);
    g.T2ANZ = static_cast<uint16_t>(RULE.T2ANZ);
  } else {
    g.T1ANZ = 1;
    g.T2ANZ = 1;
  }
  return g;
}

namespace {

// Binomial coefficients C(n, 0..kmax) as the running product of NCRL: every
// entry is bit for bit what NCRL(n, k) returns, at one multiplication each.
void binomialRow(int32_t n, int32_t kmax, std::vector<double>& row) {
  row.assign(static_cast<std::size_t>(kmax) + 1, 0.0);
  double z = 1.0;
  row[0] = z;
  for (int32_t i = 1; i <= kmax; ++i) {
    if (z != 0.0) z = (static_cast<double>(n - i + 1) / i) * z;
    row[static_cast<std::size_t>(i)] = z;
  }
}

// State of one run: the game, the current count vector with its running
// sums, the binomial tables and the totals.
struct RUN {
  ISAKIND kind;
  const ISAGAME* g;
  int mm = 0;
  int thres = 0;
  int anz1 = 0, anz2 = 0;                          // overall-threshold chamber counts, at most mm
  int32_t lower[MAXCHAMB + 1][MAXCHAMB + 1] = {};  // enumeration start, never below 0
  bool emptyBox[MAXCHAMB + 1] = {};
  std::vector<double> bin[MAXCHAMB + 1];    // C(NN[d], k)
  std::vector<double> binM1[MAXCHAMB + 1];  // C(NN[d] - 1, k): coalitions holding one given member
  std::vector<double> shapDen;              // C(N, k) * k
  POINT p{};
  int64_t counter = 0, count1 = 0, count2 = 0;
  ISATOTALS t;
};

bool inBox(const RUN& r, int w) {
  const QUADER& q = r.g->G[static_cast<std::size_t>(w)];
  for (int d = 1; d <= r.mm; ++d) {
    int32_t v = r.p[d];
    if (q[d][1] > v || q[d][2] < v) return false;
  }
  return true;
}

// Box w's own rule for the current vector and overall sums.
bool ownRule(const RUN& r, int w) {
  if (r.kind == ISAKIND::WORKINGPLAN) {
    if (w == 1) return r.count1 >= r.g->T1 && inBox(r, 1);
    if (w == 2) return r.count2 >= r.g->T2 && inBox(r, 2);
    return inBox(r, w);
  }
  return r.count1 >= r.g->T1 && r.count2 >= r.g->T2 && inBox(r, w);
}

bool wins(const RUN& r) {
  for (int w = 1; w <= r.thres; ++w)
    if (ownRule(r, w)) return true;
  return false;
}

// Whether the current vector still wins with one member of chamber d less.
bool winsWithout(RUN& r, int d) {
  r.p[d] -= 1;
  if (d <= r.anz1) --r.count1;
  if (d <= r.anz2) --r.count2;
  bool w = wins(r);
  r.p[d] += 1;
  if (d <= r.anz1) ++r.count1;
  if (d <= r.anz2) ++r.count2;
  return w;
}

// Coalitions with the current vector, formed in chamber order from 1.0.
double coalitions(const RUN& r) {
  double z = 1.0;
  for (int d = 1; d <= r.mm; ++d) z *= r.bin[d][static_cast<std::size_t>(r.p[d])];
  return z;
}

// Coalitions with the current vector that hold one given member of chamber
// ii (which has at least one member in the vector).
double coalitionsWith(const RUN& r, int ii) {
  double z = 1.0;
  for (int d = 1; d <= r.mm; ++d)
    z *= d == ii ? r.binM1[d][static_cast<std::size_t>(r.p[d] - 1)]
                 : r.bin[d][static_cast<std::size_t>(r.p[d])];
  return z;
}

// Contribution of the winning vector of size KK. A chamber with no member in
// the vector has nobody to remove and adds nothing.
void VALUE(RUN& r, int64_t KK) {
  ISATOTALS& t = r.t;
  if (r.kind == ISAKIND::PUBLICGOOD) {
    for (int ii = 1; ii <= r.mm; ++ii)
      if (r.p[ii] > 0 && winsWithout(r, ii)) return;  // not minimal
    double z = coalitions(r);
    t.WINSETS += z;
    for (int ii = 1; ii <= r.mm; ++ii) {
      if (r.p[ii] == 0) continue;
      double share = (static_cast<double>(r.p[ii]) / r.g->NN[ii]) * z;
      t.SHAP[ii] += share;
      t.PIV0[ii] += share / static_cast<double>(KK);
    }
    return;
  }
  double z = coalitions(r);
  t.WINSETS += z;
  if (r.kind == ISAKIND::SHAPLEY)
    for (int d = 1; d <= r.mm; ++d)
      if (r.p[d] != 0) t.PIV1[d] += z;
  for (int ii = 1; ii <= r.mm; ++ii) {
    if (r.p[ii] == 0) continue;
    double zi = coalitionsWith(r, ii);
    t.PIV0[ii] += zi;
    if (winsWithout(r, ii)) continue;
    if (r.kind == ISAKIND::BANZHAF)
      t.SHAP[ii] += zi;
    else
      t.SHAP[ii] += zi / r.shapDen[static_cast<std::size_t>(KK)];
  }
}

void addToCounts(RUN& r, int d, int64_t delta) {
  r.counter += delta;
  if (d <= r.anz1) r.count1 += delta;
  if (d <= r.anz2) r.count2 += delta;
}

// Next count vector of box I, dimension 1 fastest, each coordinate running
// from the box's lower bound to NN[d]. False after the upper corner.
bool PERM(RUN& r, int I) {
  for (int d = 1; d <= r.mm; ++d) {
    if (r.p[d] < r.g->NN[d]) {
      r.p[d] += 1;
      addToCounts(r, d, 1);
      return true;
    }
    int32_t lo = r.lower[I][d];
    addToCounts(r, d, static_cast<int64_t>(lo) - r.p[d]);
    r.p[d] = lo;
  }
  return false;
}

}  // namespace

ISATOTALS ISA_SUMS(ISAKIND KIND, const ISAGAME& GAME, ISAPROGRESS PROGRESS, void* DATA) {
  RUN r;
  r.kind = KIND;
  r.g = &GAME;
  if (GAME.MM < 1 || GAME.MM > MAXCHAMB) return r.t;
  r.mm = GAME.MM;
  r.thres = std::min<int32_t>(GAME.THRES, 10);
  if (r.thres < 1) return r.t;
  int64_t total = 0;
  for (int d = 1; d <= r.mm; ++d) {
    if (GAME.NN[d] < 0) return r.t;
    total += GAME.NN[d];
  }
  if (total > 65535) return r.t;
  r.anz1 = std::min<int>(GAME.T1ANZ, r.mm);
  r.anz2 = std::min<int>(GAME.T2ANZ, r.mm);

  // Tables once per run; nothing is allocated per vector.
  for (int d = 1; d <= r.mm; ++d) {
    binomialRow(GAME.NN[d], GAME.NN[d], r.bin[d]);
    if (GAME.NN[d] > 0) binomialRow(GAME.NN[d] - 1, GAME.NN[d] - 1, r.binM1[d]);
  }
  if (KIND == ISAKIND::SHAPLEY || KIND == ISAKIND::WORKINGPLAN) {
    std::vector<double> c;
    int32_t kmax = std::max<int32_t>(GAME.N, static_cast<int32_t>(total));
    binomialRow(GAME.N, kmax, c);
    r.shapDen.assign(c.size(), 0.0);
    for (std::size_t k = 1; k < c.size(); ++k) r.shapDen[k] = c[k] * static_cast<double>(k);
  }
  for (int w = 1; w <= r.thres; ++w)
    for (int d = 1; d <= r.mm; ++d) {
      // A negative lower bound admits the same vectors as 0.
      r.lower[w][d] = std::max<int32_t>(GAME.G[w][d][1], 0);
      if (r.lower[w][d] > GAME.NN[d]) r.emptyBox[w] = true;
    }

  for (int I = 1; I <= r.thres; ++I) {
    if (r.emptyBox[I]) continue;
    r.counter = r.count1 = r.count2 = 0;
    for (int d = 1; d <= r.mm; ++d) {
      r.p[d] = r.lower[I][d];
      addToCounts(r, d, r.p[d]);
    }
    do {
      if (PROGRESS) PROGRESS(I, r.p, GAME.MM, DATA);
      if (!ownRule(r, I)) continue;
      bool earlier = false;
      for (int J = 1; J < I && !earlier; ++J) earlier = ownRule(r, J);
      if (!earlier) VALUE(r, r.counter);
    } while (PERM(r, I));
  }
  return r.t;
}

double ISA_VECTORS(const ISAGAME& GAME) {
  if (GAME.MM < 1 || GAME.MM > MAXCHAMB) return 0;
  double all = 0;
  for (int w = 1; w <= std::min<int32_t>(GAME.THRES, 10); ++w) {
    double box = 1;
    for (int d = 1; d <= GAME.MM; ++d)
      box *= std::max(0, GAME.NN[d] - std::max<int32_t>(GAME.G[w][d][1], 0) + 1);
    all += box;
  }
  return all;
}

void ISA_SCALE(ISAKIND KIND, const ISAGAME& GAME, ISATOTALS& T) {
  int mm = std::min<int>(GAME.MM, MAXCHAMB);
  for (int d = 1; d <= mm; ++d) T.SHAP[d] = GAME.NN[d] * T.SHAP[d];
  if (KIND == ISAKIND::PUBLICGOOD) {
    for (int d = 1; d <= mm; ++d) T.PIV0[d] = GAME.NN[d] * T.PIV0[d];
    return;
  }
  if (T.WINSETS == 0.0) return;
  for (int d = 1; d <= mm; ++d) {
    T.PIV0[d] = GAME.NN[d] * T.PIV0[d] / T.WINSETS;
    if (KIND == ISAKIND::SHAPLEY) T.PIV1[d] = T.PIV1[d] / T.WINSETS;
  }
}

namespace {

ISATOTALS scaled(ISAKIND kind, const ISAGAME& game, ISAPROGRESS progress, void* data) {
  ISATOTALS t = ISA_SUMS(kind, game, progress, data);
  ISA_SCALE(kind, game, t);
  return t;
}

}  // namespace

ISATOTALS ISA_SHAPLEY(const ISAGAME& GAME, ISAPROGRESS PROGRESS, void* DATA) {
  return scaled(ISAKIND::SHAPLEY, GAME, PROGRESS, DATA);
}
ISATOTALS ISA_SHAPLEY_WORKINGPLAN(const ISAGAME& GAME, ISAPROGRESS PROGRESS, void* DATA) {
  return scaled(ISAKIND::WORKINGPLAN, GAME, PROGRESS, DATA);
}
ISATOTALS ISA_BANZHAF(const ISAGAME& GAME, ISAPROGRESS PROGRESS, void* DATA) {
  return scaled(ISAKIND::BANZHAF, GAME, PROGRESS, DATA);
}
ISATOTALS ISA_PUBLICGOOD(const ISAGAME& GAME, ISAPROGRESS PROGRESS, void* DATA) {
  return scaled(ISAKIND::PUBLICGOOD, GAME, PROGRESS, DATA);
}
