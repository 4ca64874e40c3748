#include "engines/walk/coalition.h"

#include <algorithm>
#include <climits>
#include <numeric>

namespace weightedwalk {

Tally::Tally(const Rule& R)
    : r_(R),
      sums_(static_cast<std::size_t>(R.cells()), 0),
      in_(static_cast<std::size_t>(R.n) + 1, 0) {
  if (!r_.block) return;
  bySecond_.resize(static_cast<std::size_t>(r_.n));
  std::iota(bySecond_.begin(), bySecond_.end(), 1);
  std::stable_sort(bySecond_.begin(), bySecond_.end(),
                   [&](int a, int b) { return r_.second(a) < r_.second(b); });
  for (int p = 1; p <= r_.n; ++p) outside_ += r_.second(p);
}

void Tally::JOIN(int P) {
  if (HAS(P)) return;
  in_[static_cast<std::size_t>(P)] = 1;
  ++members_;
  const int64_t* w = r_.weights(P);
  int64_t* x = sums_.data() + static_cast<std::size_t>(r_.sub[P] - 1) * r_.vs;
  for (int k = 0; k < r_.vs; ++k) x[k] += w[k];
  votes_ += w[0];
  if (r_.block) outside_ -= w[1];
}

void Tally::LEAVE(int P) {
  if (!HAS(P)) return;
  in_[static_cast<std::size_t>(P)] = 0;
  --members_;
  const int64_t* w = r_.weights(P);
  int64_t* x = sums_.data() + static_cast<std::size_t>(r_.sub[P] - 1) * r_.vs;
  for (int k = 0; k < r_.vs; ++k) x[k] -= w[k];
  votes_ -= w[0];
  if (r_.block) outside_ += w[1];
}

bool Tally::BLOCKED() const {
  if (!r_.block) return false;
  int64_t least = INT64_MAX;
  for (const int p : bySecond_)
    if (!HAS(p)) {
      least = r_.second(p);
      break;
    }
  return r_.BLOCKED(outside_, least);
}

bool Tally::WINS() const { return r_.DECIDE(r_.MEETS(sums_.data()), members_, votes_, BLOCKED()); }

}  // namespace weightedwalk
