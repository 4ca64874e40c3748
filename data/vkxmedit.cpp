#include "data/vkxmedit.h"

#include <string>

#include "common/mathe2.h"
#include "data/vkxdos.h"
#include "frame/vkxunit.h"
#include "platform/console.h"
#include "types/vkxdecl.h"

namespace {

// Asks a count through a 32-bit value until it lies in 0..LIMIT; the game
// holds no more, so a larger (or negative) count is refused and asked again,
// with the previous value as the default once more.
int32_t READCOUNTLN(const std::string& PROMPT, int32_t COUNT, int32_t LIMIT) {
  for (;;) {
    int32_t value = COUNT;
    READINTLN(PROMPT, value);
    if (value >= 0 && value <= LIMIT) return value;
    con::writeLn("...number of players/subgames not allowed");
  }
}

}  // namespace

void MENUE_EDITDATA(SETTINGSTYP& S) {
  int32_t ERRORFLAG = 0;
  int32_t DATASTRUCTURE = 0;
  uint16_t N = 0, MM = 0;
  NNTYP NN{};
  GEWTYP GEW{};
  MEMTYP MEM{};

  COMMANDFRAME(S, "edit data");
  con::write("data file: ");
  S.NAME = NAMECUT(con::readLine());
  con::writeLn();

  DATAWARNINGS warn;
  DATALOAD(S.NAME, DATASTRUCTURE, N, MM, NN, GEW, MEM, ERRORFLAG, &warn);
  if (ERRORFLAG == 0) DATAWARNWRITE(S.NAME + ".inp", warn);
  if (ERRORFLAG != 0) {
    con::writeLn("...creating data file " + S.NAME + ".inp");
    DATASTRUCTURE = 0;
    MM = 0;
  }

  READINTLN("unweighted/weighted votes (0/1): ", DATASTRUCTURE);
  MM = static_cast<uint16_t>(READCOUNTLN("number of subgames: ", MM, MAXCHAMB));
  // A weighted subgame has a weight per player in the tables; an unweighted
  // one is a count only, limited by the players of the whole game.
  int32_t players = 0;
  for (int s = 1; s <= MM; ++s) {
    const int32_t limit = DATASTRUCTURE == 1 ? MAXACTOR : MAXPLAYERS - players;
    NN[s] = READCOUNTLN("number of players (subgame " + std::to_string(s) + "): ", NN[s], limit);
    players += NN[s];
    if (DATASTRUCTURE == 1)
      for (int j = 1; j <= NN[s]; ++j)
        READWEIGHTLN(S, "  weight player " + std::to_string(j) + ": ", GEW[s][j]);
  }

  DATASAVE(S.NAME, DATASTRUCTURE, MM, NN, GEW, ERRORFLAG);
  MAINGROUND(S);
}
