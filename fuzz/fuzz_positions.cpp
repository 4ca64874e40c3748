// The positions reader: the first byte is the number of players asked for
// (0..63), the rest the file. Only players 1..N of themes 1..NTHEME are
// written, every value is finite, and a refused file writes nothing.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "data/gamefile.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const uint16_t n = data[0] % 64;
  const auto lines =
      plat::splitLines(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  // Marked cells show what the reader wrote (the rows grow beyond 50
  // players, and stay grown; cells a row gains are 0 until written).
  static POSTYP pos;
  std::size_t had[MAXCHAMB + 1];
  for (int t = 0; t <= MAXCHAMB; ++t) {
    had[t] = pos[t].size();
    for (int i = 0; i < static_cast<int>(pos[t].size()); ++i) pos[t][i] = -7.5;
  }
  uint16_t themes = 99;
  const int code = POSITIONPARSE(lines, themes, n, pos);
  if (code != 0 && themes != 99) std::abort();
  for (int t = 0; t <= MAXCHAMB; ++t)
    for (int i = 0; i < static_cast<int>(pos[t].size()); ++i) {
      const bool inside = code == 0 && t >= 1 && t <= themes && i >= 1 && i <= n;
      const double untouched = static_cast<std::size_t>(i) < had[t] ? -7.5 : 0.0;
      if (!inside && pos[t][i] != untouched) std::abort();
      if (inside && !std::isfinite(pos[t][i])) std::abort();
    }
  return 0;
}
