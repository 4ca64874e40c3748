#include "api/players.h"

#include <algorithm>

bool PLAYERNAMED(const std::string& OPTION, const std::string& TEXT, const std::string& ITEM,
                 const LOADEDTYP& L, int& P, FAILTYP& F) {
  const std::string head = OPTION + " " + TEXT + ": ";
  const int n = L.GAME.N;
  P = 0;
  for (int p = 1; p <= n && static_cast<std::size_t>(p) < L.NAMES.size(); ++p)
    if (!ITEM.empty() && L.NAMES[static_cast<std::size_t>(p)] == ITEM) {
      if (P != 0) return USAGE(F, head + "\"" + ITEM + "\" names two players");
      P = p;
    }
  if (P != 0) return true;
  if (!ITEM.empty() && ITEM.size() <= 6 &&
      ITEM.find_first_not_of("0123456789") == std::string::npos) {
    P = std::stoi(ITEM);
    if (P >= 1 && P <= n) return true;
    return USAGE(F, head + "no player " + ITEM + " among the " + std::to_string(n));
  }
  return USAGE(F, head + "no player named \"" + ITEM + "\"");
}

bool PLAYERLIST(const std::string& OPTION, const std::string& TEXT, const LOADEDTYP& L,
                std::vector<int>& PLAYERS, FAILTYP& F) {
  PLAYERS.clear();
  for (const std::string& item : SPLIT(TEXT, ',')) {
    int p = 0;
    if (!PLAYERNAMED(OPTION, TEXT, item, L, p, F)) return false;
    if (std::find(PLAYERS.begin(), PLAYERS.end(), p) != PLAYERS.end())
      return USAGE(F, OPTION + " " + TEXT + ": player \"" + item + "\" named twice");
    PLAYERS.push_back(p);
  }
  return true;
}

std::string PLAYERLABEL(const LOADEDTYP& L, int P) {
  const auto p = static_cast<std::size_t>(P);
  return p < L.NAMES.size() && !L.NAMES[p].empty() ? L.NAMES[p] : std::to_string(P);
}
