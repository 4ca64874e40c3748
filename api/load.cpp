#include "api/load.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "data/gamefile.h"
#include "data/inline.h"
#include "data/names.h"
#include "data/winsets.h"
#include "engines/convert/vote_systems.h"
#include "engines/exact/spatial_table.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "report/indices.h"

bool FAIL(FAILTYP& F, int STATUS, const std::string& MESSAGE) {
  F.STATUS = STATUS;
  F.MESSAGE = MESSAGE;
  return false;
}

bool USAGE(FAILTYP& F, const std::string& MESSAGE) {
  return FAIL(F, EXITUSAGE, MESSAGE.rfind("...", 0) == 0 ? MESSAGE : "vkx: " + MESSAGE);
}

std::vector<std::string> SPLIT(const std::string& TEXT, char SEP) {
  std::vector<std::string> items;
  for (std::size_t from = 0;;) {
    const std::size_t at = TEXT.find(SEP, from);
    items.push_back(TEXT.substr(from, at == std::string::npos ? std::string::npos : at - from));
    if (at == std::string::npos) return items;
    from = at + 1;
  }
}

std::string DATANAME(const std::string& TYPED) {
  const std::size_t slash = TYPED.rfind('/');
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  return TYPED.substr(0, start) + NAMECUT(std::string_view(TYPED).substr(start));
}

bool NUMBERLIST(const std::string& OPTION, const std::string& TEXT, std::vector<int32_t>& VALUES,
                FAILTYP& F) {
  VALUES.clear();
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = TEXT.find(',', from);
    const std::string field = TEXT.substr(from, comma - std::min(comma, from));
    int32_t v = 0;
    if (VALINT(field, v) != 0)
      return USAGE(F, OPTION + " " + TEXT + ": \"" + field + "\" is not a whole number");
    VALUES.push_back(v);
    if (comma == std::string::npos) return true;
    from = comma + 1;
  }
}

namespace {

// A data file whose values are not all whole numbers is refused: one line
// per such value, "FILE:LINE: reason 'text'".
bool typos(const std::string& file, const DATAWARNINGS& warn, FAILTYP& F) {
  if (warn.empty()) return true;
  std::string lines;
  for (const DATAWARNTYP& w : warn) {
    if (!lines.empty()) lines += "\n";
    lines += file + ":" + std::to_string(w.LINE) + ": " + DATAWARNREASON(w) + " '" + w.TEXT + "'";
  }
  return FAIL(F, EXITREFUSED, lines);
}

// Every line of standard input ("-") or of the pipe, device or file PATH
// names as typed (/dev/stdin, the /dev/fd/N of a process substitution).
bool streamLines(const std::string& path, std::vector<std::string>& lines) {
  std::FILE* f = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::string bytes;
  char buffer[1 << 16];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  const bool ok = std::ferror(f) == 0;
  if (f != stdin) std::fclose(f);
  lines = plat::splitLines(bytes);
  return ok;
}

// The game of data file LINES, with the reader's checks of a file: a
// weighted subgame that no threshold can reach is refused.
bool gameOfLines(const std::vector<std::string>& lines, const std::string& name, GAMETYP& game,
                 DATAWARNINGS& warn, FAILTYP& F) {
  int32_t datastructure = 0;
  DATAPARSE(lines, datastructure, game.N, game.MM, game.NN, game.GEW, game.MEM, &warn, true);
  game.NAME = name;
  game.DATASTRUCTURE = DATASTRUCTOF(datastructure);
  for (int d = 1; datastructure == 1 && d <= std::min<int>(game.MM, MAXCHAMB); ++d)
    if (CUMULATEDWEIGHT(datastructure, game.NN, game.GEW, d) < INT32_MIN)
      return FAIL(F, EXITREFUSED, "...system error on loading " + name);
  return true;
}

// The primary game: a data file, standard input, a pipe, or the lists of
// --weights or --members, all through the same reader and checks.
bool primaryGame(const REQUESTTYP& a, LOADEDTYP& L, FAILTYP& F) {
  GAMETYP& game = L.GAME;
  DATAWARNINGS warn;
  std::vector<std::string> lines;
  std::string shown;  // the game's file in messages
  const bool typed = !a.WEIGHTS.empty() || !a.MEMBERS.empty();
  if (typed && (!a.GAME.empty() || a.GAMETEXT))
    return USAGE(F, "a GAME file and --weights or --members exclude each other");
  if (a.GAMETEXT) {
    // Read as the data file it names would be, and named alike in messages.
    const std::string name = a.GAME.empty() ? "(data)" : DATANAME(a.GAME);
    shown = a.GAME.empty() ? name : name + ".inp";
    lines = plat::splitLines(*a.GAMETEXT);
    if (!gameOfLines(lines, name, game, warn, F)) return false;
  } else if (typed) {
    if (const std::string why = INLINEGAME(a.WEIGHTS, a.MEMBERS, lines); !why.empty())
      return USAGE(F, why);
    shown = "(command line)";
    if (!gameOfLines(lines, shown, game, warn, F)) return false;
  } else if (a.GAME == "-") {
    shown = "-";
    if (!streamLines("-", lines))
      return FAIL(F, EXITREFUSED, "...system error on loading standard input");
    if (!gameOfLines(lines, shown, game, warn, F)) return false;
  } else {
    const std::string name = DATANAME(a.GAME);
    const int code = GAMELOAD(name, game, &warn, true);
    if (code == 0) {
      shown = name + ".inp";
      L.DATAFILE = true;
      L.INPUTS.push_back(shown);
      FILELINES(name, lines);
    } else if (code == ENOENT && a.GAME != name + ".inp" && streamLines(a.GAME, lines)) {
      shown = a.GAME;
      L.INPUTS.push_back(a.GAME);
      if (!gameOfLines(lines, shown, game, warn, F)) return false;
    } else {
      return FAIL(F, EXITREFUSED, "...system error on loading " + name + ".inp");
    }
  }
  if (!typos(shown, warn, F)) return false;
  if (!GAMESIZEOK(game, MAXPLAYERS))
    return FAIL(F, EXITREFUSED, "...number of players/subgames not allowed");
  L.NAMES = PLAYERNAMES(lines, game);
  return true;
}

// The further vote systems of the multiple-weights version: each data file
// (or typed list) must be a weighted game of the primary game's shape.
bool voteSystems(const REQUESTTYP& a, LOADEDTYP& L, FAILTYP& F) {
  GAMETYP& game = L.GAME;
  game.VS = static_cast<int32_t>(a.SYSTEMS.size()) + 1;
  for (int k = 1; k < game.VS; ++k) {
    const SYSTEMARG& arg = a.SYSTEMS[static_cast<std::size_t>(k - 1)];
    GAMETYP system;
    int32_t flag = 0, datastructure = 0;
    DATAWARNINGS warn;
    std::string shown;
    if (arg.TYPED) {
      std::vector<std::string> lines;
      if (const std::string why = INLINEGAME(SPLIT(arg.TEXT, '/'), "", lines); !why.empty())
        return USAGE(F, "--system-weights " + arg.TEXT + ": " + why);
      DATAPARSE(lines, datastructure, system.N, system.MM, system.NN, system.GEW, system.MEM, &warn,
                true);
      game.NAME1 = shown = "--system-weights " + arg.TEXT;
    } else {
      game.NAME1 = DATANAME(arg.TEXT);
      shown = game.NAME1 + ".inp";
      DATALOAD(game.NAME1, datastructure, system.N, system.MM, system.NN, system.GEW, system.MEM,
               flag, &warn, true);
      L.INPUTS.push_back(shown);
    }
    if (flag != 0 || !wrun::SYSTEMFITS(game, datastructure, system.N, system.MM, system.NN))
      return FAIL(F, EXITREFUSED, "...system error on loading " + shown);
    if (!typos(shown, warn, F)) return false;
    game.GEWX[k] = system.GEW;
    L.SYSTEMNAMES.push_back(arg.TYPED ? shown : game.NAME1);
  }
  return true;
}

// A weighted game of more than 50 players is counted by the fast methods
// alone: not with a negative weight, which makes the rule not monotone and
// is left to the walk over all coalitions, which ends at 50 players; the
// spatial version up to the players its table takes (its rule is checked
// when the run is planned).
bool wideFits(const LOADEDTYP& L, VERSION version, FAILTYP& F) {
  const GAMETYP& game = L.GAME;
  if (game.DATASTRUCTURE != DATASTRUCT::WEIGHTED || game.N <= MAXACTOR) return true;
  const std::string head = "vkx: " + std::to_string(game.N) + " players: ";
  const std::string tail = " counted only by the walk over every coalition, which takes at most " +
                           std::to_string(MAXACTOR) + " players";
  if (version == VERSION::SPATIAL && game.N > spatialtable::MAXPLAYERS)
    return FAIL(F, EXITREFUSED,
                head + "the spatial version is counted for at most " +
                    std::to_string(spatialtable::MAXPLAYERS) + " players");
  const int systems = version == VERSION::MULTIPLE ? game.VS : 1;
  for (int k = 0; k < systems; ++k)
    for (int s = 1; s <= game.MM; ++s)
      for (int p = 1; p <= game.NN[s]; ++p)
        if ((k == 0 ? game.GEW[s][p] : game.GEWX[k][s][p]) < 0)
          return FAIL(F, EXITREFUSED, head + "a game with a negative weight is" + tail);
  return true;
}

}  // namespace

bool LOADGAME(const REQUESTTYP& a, VERSION version, LOADEDTYP& L, FAILTYP& F) {
  if (!primaryGame(a, L, F)) return false;
  if (version == VERSION::MULTIPLE && !voteSystems(a, L, F)) return false;
  if (!wideFits(L, version, F)) return false;
  if (version == VERSION::SPATIAL) {
    GAMETYP& game = L.GAME;
    game.NAME1 = DATANAME(a.POSITIONS);
    int32_t flag = 0;
    POSITIONLOAD(game.NAME1, game.NTHEME, game.N, game.POSITION, flag);
    if (flag != 0) return FAIL(F, EXITREFUSED, "...system error on loading " + game.NAME1);
    L.INPUTS.push_back(game.NAME1 + ".pos");
  }
  return true;
}

VERSION VERSIONOF(const REQUESTTYP& a) {
  if (!a.SYSTEMS.empty()) return VERSION::MULTIPLE;
  if (!a.POSITIONS.empty()) return VERSION::SPATIAL;
  if (a.WORKINGPLAN) return VERSION::ISAWP;
  if (!a.ISA.empty()) return VERSION::ISA;
  return VERSION::STANDARD;
}

bool CHOOSEKINDS(const REQUESTTYP& a, const GAMETYP& game, VERSION version,
                 std::vector<const REPORTKINDTYP*>& kinds, FAILTYP& F) {
  for (const REPORTKINDTYP* kind : a.ALL ? INDICES() : a.KINDS) {
    if (HASENGINE(kind->INDEX, game.DATASTRUCTURE, version))
      kinds.push_back(kind);
    else if (!a.ALL)
      return FAIL(F, EXITREFUSED, "...error on input file format");
  }
  if (kinds.empty()) return FAIL(F, EXITREFUSED, "...error on input file format");
  return true;
}
