#include "dialogue/editor.h"

#include <algorithm>
#include <string>
#include <vector>

#include "console/console.h"
#include "data/gamefile.h"
#include "data/names.h"
#include "dialogue/datafiles.h"
#include "dialogue/prompts.h"
#include "frame/window.h"
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

// The name comment of each weight line, by subgame and player, found where
// DATALOAD reads the weights (as the command line finds them).
std::vector<std::vector<std::string>> commentNames(const std::vector<std::string>& LINES,
                                                   uint16_t MM, const NNTYP& NN) {
  std::vector<std::vector<std::string>> names(MAXCHAMB + 1);
  std::size_t line = 2;
  for (int s = 1; s <= MM && s <= MAXCHAMB; ++s, ++line) {
    const int nn = std::min<int>(NN[s], MAXACTOR);
    names[static_cast<std::size_t>(s)].resize(static_cast<std::size_t>(MAXACTOR) + 1);
    for (int j = 1; j <= nn; ++j)
      if (line + static_cast<std::size_t>(j) < LINES.size())
        names[static_cast<std::size_t>(s)][static_cast<std::size_t>(j)] =
            COMMENTNAME(LINES[line + static_cast<std::size_t>(j)]);
    line += static_cast<std::size_t>(nn);
  }
  return names;
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

  // The file as loaded: its player names are written back, and a file that
  // another program changed meanwhile is not overwritten.
  std::vector<std::string> loaded;
  const int loadflag = FILELINES(S.NAME, loaded);
  DATAWARNINGS warn;
  DATALOAD(S.NAME, DATASTRUCTURE, N, MM, NN, GEW, MEM, ERRORFLAG, &warn);
  if (ERRORFLAG == 0) DATAWARNWRITE(S.NAME + ".inp", warn);
  std::vector<std::vector<std::string>> names;
  if (ERRORFLAG == 0 && DATASTRUCTURE == 1) names = commentNames(loaded, MM, NN);
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

  std::vector<std::string> now;
  const int nowflag = FILELINES(S.NAME, now);
  if ((loadflag == 0) != (nowflag == 0) || now != loaded)
    con::writeLn("...file " + S.NAME + ".inp changed on disk, not saved");
  else
    DATASAVE(S.NAME, DATASTRUCTURE, MM, NN, GEW, ERRORFLAG, names);
  MAINGROUND(S);
}
