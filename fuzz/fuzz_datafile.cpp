// The data file reader on any bytes: the tables are never left (the build's
// bounds checks and sanitizers stop at once), and a game that fits the
// tables is written and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "data/gamefile.h"
#include "platform/files.h"

namespace {

struct Game {
  int32_t ds = 0;
  uint16_t n = 0, mm = 0;
  NNTYP nn{};
  GEWTYP gew{};
  MEMTYP mem{};
};

bool fits(const Game& g) {
  if (g.mm > MAXCHAMB) return false;
  int total = 0;
  for (int s = 1; s <= g.mm; ++s) {
    if (g.nn[s] < 0 || g.nn[s] > MAXACTOR) return false;
    total += g.nn[s];
  }
  return g.ds != 1 || total <= MAXACTOR;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const auto lines = plat::splitLines(std::string_view(reinterpret_cast<const char*>(data), size));
  Game g;
  DATAPARSE(lines, g.ds, g.n, g.mm, g.nn, g.gew, g.mem);
  if (!fits(g)) return 0;
  Game back;
  DATAPARSE(DATATEXT(g.ds, g.mm, g.nn, g.gew), back.ds, back.n, back.mm, back.nn, back.gew,
            back.mem);
  if (back.ds != g.ds || back.mm != g.mm || back.n != g.n) std::abort();
  for (int s = 1; s <= g.mm; ++s) {
    if (back.nn[s] != g.nn[s]) std::abort();
    if (g.ds == 1)
      for (int j = 1; j <= g.nn[s]; ++j)
        if (back.gew[s][j] != g.gew[s][j]) std::abort();
  }
  return 0;
}
