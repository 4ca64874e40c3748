#include "data/winsets.h"

#include <algorithm>
#include <string>

const char* const THRESNUMBERMSG = "...threshold number not allowed";
const char* const THRESMSG = "...thresholds not allowed";

int64_t CUMULATEDWEIGHT(int32_t DATASTRUCTURE, const NNTYP& NN, const GEWTYP& GEW, int D) {
  if (DATASTRUCTOF(DATASTRUCTURE) != DATASTRUCT::WEIGHTED) return NN[D];
  // Summed in 64 bits, so many large weights cannot wrap into a small or
  // negative total.
  const int players = std::min<int64_t>(NN[D], static_cast<int64_t>(GEW[D].size()) - 1);
  int64_t sum = 0;
  for (int j = 1; j <= players; ++j) sum += GEW[D][j];
  return sum;
}

namespace {

// A 32-bit box bound for a cumulated weight beyond the 32-bit range: no
// threshold can lie beyond it, so the clamped bound decides alike.
int32_t boundOf(int64_t w) {
  return static_cast<int32_t>(std::clamp<int64_t>(w, INT32_MIN, INT32_MAX));
}

}  // namespace

bool WINSETCOUNTOK(int32_t THRES) { return THRES >= 1 && THRES <= 10; }

bool WINSETCOMPLETE(int I, GEWTYP& M, GTYP& G, int32_t DATASTRUCTURE, uint16_t MM, const NNTYP& NN,
                    const GEWTYP& GEW) {
  const int mm = std::min<int>(MM, MAXCHAMB);
  bool valid = true;
  for (int d = 1; d <= mm; ++d) {
    M[d][I] = G[I][d][1];
    const int64_t top = CUMULATEDWEIGHT(DATASTRUCTURE, NN, GEW, d);
    if (G[I][d][1] > top) valid = false;
    G[I][d][2] = boundOf(top);
  }
  return valid;
}

bool WINSETSHARE(const std::string& TEXT, int64_t TOTAL, int64_t& VALUE) {
  using wide = __int128;
  // Ceiling of A / B for B > 0, for either sign of A.
  auto ceilDiv = [](wide a, wide b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); };
  if (TEXT == "majority") {
    VALUE = (TOTAL >= 0 ? TOTAL / 2 : -((-TOTAL + 1) / 2)) + 1;  // floor(TOTAL / 2) + 1
    return true;
  }
  if (TEXT.size() < 2 || TEXT.back() != '%') return false;
  // The share as the exact fraction DIGITS / 10^DECIMALS percent, so that
  // "62%" of 1000 is 620 and not 619 by a rounding of 0.62 * 1000.
  wide digits = 0, scale = 1;
  bool point = false, any = false;
  for (std::size_t i = 0; i + 1 < TEXT.size(); ++i) {
    const char c = TEXT[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9' || scale > 1'000'000'000'000LL) return false;
    any = true;
    digits = digits * 10 + (c - '0');
    if (point) scale *= 10;
    if (digits > 100 * scale) return false;
  }
  if (!any) return false;
  VALUE = static_cast<int64_t>(ceilDiv(digits * TOTAL, 100 * scale));
  return true;
}
