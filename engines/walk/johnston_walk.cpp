#include "engines/walk/johnston_walk.h"

#include <vector>

#include "engines/walk/coalition.h"

namespace weightedwalk {

bool JOHNSTON_CORE(const Game& G, JohnstonCounts& C, void (*PROGRESS)(void*, double), void* DATA) {
  C = JohnstonCounts(G.n);
  if (!FITS(G) || G.n > JOHNSTONWALKMAX) return false;
  const Rule r(G);
  Tally t(r);
  std::vector<int> critical;
  const uint64_t all = uint64_t{1} << G.n;
  // Every non-empty coalition in binary counting order, as the counting
  // walk visits them.
  for (uint64_t set = 1; set < all; ++set) {
    int next = 1;
    while (t.HAS(next)) t.LEAVE(next++);
    t.JOIN(next);
    if (PROGRESS != nullptr && (set & 0xFFFFF) == 0)
      PROGRESS(DATA, static_cast<double>(set) / static_cast<double>(all));
    if (!t.WINS()) continue;
    ++C.wins;
    critical.clear();
    for (int p = 1; p <= G.n; ++p) {
      if (!t.HAS(p)) continue;
      t.LEAVE(p);
      if (!t.WINS()) critical.push_back(p);
      t.JOIN(p);
    }
    if (critical.empty()) continue;
    ++C.vulnerable;
    for (const int p : critical) {
      ++C.critical[static_cast<std::size_t>(p)];
      ++C.bySize[static_cast<std::size_t>(p)][critical.size()];
    }
  }
  return true;
}

double JOHNSTONSCORE(const std::vector<uint64_t>& BYSIZE) {
  double score = 0;
  for (std::size_t c = 1; c < BYSIZE.size(); ++c)
    score += static_cast<double>(BYSIZE[c]) / static_cast<double>(c);
  return score;
}

}  // namespace weightedwalk
