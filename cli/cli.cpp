#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

#include "cli/output.h"
#include "cli/plot.h"
#include "common/numbers.h"
#include "data/gamefile.h"
#include "data/inline.h"
#include "data/names.h"
#include "data/settings.h"
#include "data/winsets.h"
#include "engines/convert/vote_systems.h"
#include "engines/run/compute.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/streams.h"
#include "report/banzhaf.h"
#include "report/coleman.h"
#include "report/estimate.h"
#include "report/indices.h"
#include "report/publicgood.h"
#include "report/report.h"
#include "report/shapley.h"

namespace {

constexpr int EXITUSAGE = 2;
constexpr int EXITREFUSED = 3;

const char* const VERSIONTEXT = "vkx 2.0 (VKX 2.0 - Verkanix V2.0 R5/05)";

// A further vote system as typed: a data file (--system) or its weights
// (--system-weights, the subgames' lists separated by "/").
struct SYSTEMARG {
  std::string TEXT;
  bool TYPED = false;
};

// What the arguments of one run say, as typed.
struct ARGSTYP {
  std::vector<const REPORTKINDTYP*> KINDS;  // the indices asked for
  bool ALL = false;                         // every index the version offers
  std::string USAGE;                        // the usage line of the command
  std::string GAME;
  std::vector<std::string> WEIGHTS;  // --weights, one list per subgame
  std::string MEMBERS;
  // The --winset texts of each vote system: those before the first
  // --system belong to the primary game, those after the k-th to system k.
  std::vector<std::string> WINSETS[MAXSYSTEMS];
  std::vector<SYSTEMARG> SYSTEMS;
  std::string OVERALL, RULE = "and", UNIT = "members", BLOCKING, ISA, POSITIONS;
  std::string FORMAT = "report", OUTPUT, PLOT;
  bool WORKINGPLAN = false, FILES = false, TOTALS = false;
  // The memory the counting may take (--memory, else from the machine),
  // whether a count beyond it or beyond the time limit is walked anyway
  // (--exhaustive), and the standard error asked of a sampled estimate
  // (--estimate; 0: count exactly).
  std::string MEMORY;
  std::size_t BUDGET = 0;
  bool EXHAUSTIVE = false;
  std::vector<std::string> ESTIMATETEXT;
  double ESTIMATE = 0;
};

// Why a run stops: the exit status and the line for standard error (a
// usage error adds the usage line).
struct FAILTYP {
  int STATUS = 0;
  std::string MESSAGE;
};

bool fail(FAILTYP& F, int status, const std::string& message) {
  F.STATUS = status;
  F.MESSAGE = message;
  return false;
}

// A usage error: the dialogue's own "..." message, or the reason why the
// arguments do not fit.
bool usage(FAILTYP& F, const std::string& message) {
  return fail(F, EXITUSAGE, message.rfind("...", 0) == 0 ? message : "vkx: " + message);
}

std::string usageLine(const std::string& index) {
  return "usage: vkx " + index + " GAME[.inp] --winset T[,T...] [options]";
}

// A data file name as typed on the command line: the extension of its last
// path component is cut as the dialogue cuts a typed name ("a.b" is "a",
// an empty name "default"), while dots in the folders are kept.
std::string dataName(const std::string& typed) {
  const std::size_t slash = typed.rfind('/');
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  return typed.substr(0, start) + NAMECUT(std::string_view(typed).substr(start));
}

// A comma-separated list of whole numbers, each converted as the prompts
// convert them ("17", "$1F", "%101", "&17").
bool numberList(const std::string& option, const std::string& text, std::vector<int32_t>& values,
                FAILTYP& F) {
  values.clear();
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = text.find(',', from);
    const std::string field = text.substr(from, comma - std::min(comma, from));
    int32_t v = 0;
    if (VALINT(field, v) != 0)
      return usage(F, option + " " + text + ": \"" + field + "\" is not a whole number");
    values.push_back(v);
    if (comma == std::string::npos) return true;
    from = comma + 1;
  }
}

// A value of the overall thresholds, which the engines carry in 16 bits.
bool threshold16(const std::string& option, int32_t value, FAILTYP& F) {
  if (value >= 0 && value <= 65535) return true;
  return usage(F, option + ": " + std::to_string(value) + " is not in 0..65535");
}

bool typos(const std::string& file, const DATAWARNINGS& warn, FAILTYP& F);
bool ruleOptions(const ARGSTYP& a, const GAMETYP& game, RULETYP& rule, FAILTYP& F);

// The items of TEXT between the separators SEP.
std::vector<std::string> split(const std::string& text, char sep) {
  std::vector<std::string> items;
  for (std::size_t from = 0;;) {
    const std::size_t at = text.find(sep, from);
    items.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
    if (at == std::string::npos) return items;
    from = at + 1;
  }
}

// The game of a run as loaded once for all its rules: the game, its player
// names, the names of its further vote systems, and the files it reads,
// which no output of the run may replace.
struct LOADEDTYP {
  GAMETYP GAME;
  std::vector<std::string> NAMES;
  std::vector<std::string> SYSTEMNAMES;
  std::vector<std::string> INPUTS;
  bool DATAFILE = false;  // read from NAME.inp, beside which --files writes
};

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
      return fail(F, EXITREFUSED, "...system error on loading " + name);
  return true;
}

// The primary game: a data file, standard input, a pipe, or the lists of
// --weights or --members, all through the same reader and checks.
bool primaryGame(const ARGSTYP& a, LOADEDTYP& L, FAILTYP& F) {
  GAMETYP& game = L.GAME;
  DATAWARNINGS warn;
  std::vector<std::string> lines;
  std::string shown;  // the game's file in messages
  const bool typed = !a.WEIGHTS.empty() || !a.MEMBERS.empty();
  if (typed && !a.GAME.empty())
    return usage(F, "a GAME file and --weights or --members exclude each other");
  if (typed) {
    if (const std::string why = INLINEGAME(a.WEIGHTS, a.MEMBERS, lines); !why.empty())
      return usage(F, why);
    shown = "(command line)";
    if (!gameOfLines(lines, shown, game, warn, F)) return false;
  } else if (a.GAME == "-") {
    shown = "-";
    if (!streamLines("-", lines))
      return fail(F, EXITREFUSED, "...system error on loading standard input");
    if (!gameOfLines(lines, shown, game, warn, F)) return false;
  } else {
    const std::string name = dataName(a.GAME);
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
      return fail(F, EXITREFUSED, "...system error on loading " + name + ".inp");
    }
  }
  if (!typos(shown, warn, F)) return false;
  if (!GAMESIZEOK(game, MAXPLAYERS))
    return fail(F, EXITREFUSED, "...number of players/subgames not allowed");
  L.NAMES = PLAYERNAMES(lines, game);
  return true;
}

// The further vote systems of the multiple-weights version: each data file
// (or typed list) must be a weighted game of the primary game's shape.
bool voteSystems(const ARGSTYP& a, LOADEDTYP& L, FAILTYP& F) {
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
      if (const std::string why = INLINEGAME(split(arg.TEXT, '/'), "", lines); !why.empty())
        return usage(F, "--system-weights " + arg.TEXT + ": " + why);
      DATAPARSE(lines, datastructure, system.N, system.MM, system.NN, system.GEW, system.MEM, &warn,
                true);
      game.NAME1 = shown = "--system-weights " + arg.TEXT;
    } else {
      game.NAME1 = dataName(arg.TEXT);
      shown = game.NAME1 + ".inp";
      DATALOAD(game.NAME1, datastructure, system.N, system.MM, system.NN, system.GEW, system.MEM,
               flag, &warn, true);
      L.INPUTS.push_back(shown);
    }
    if (flag != 0 || !wrun::SYSTEMFITS(game, datastructure, system.N, system.MM, system.NN))
      return fail(F, EXITREFUSED, "...system error on loading " + shown);
    if (!typos(shown, warn, F)) return false;
    game.GEWX[k] = system.GEW;
    L.SYSTEMNAMES.push_back(arg.TYPED ? shown : game.NAME1);
  }
  return true;
}

// A weighted game of more than 50 players is counted by the fast methods
// alone: not in the spatial version, whose similarity weights need every
// coalition, nor with a negative weight, which makes the rule not monotone.
// Both are left to the walk over all coalitions, which ends at 50 players.
bool wideFits(const LOADEDTYP& L, VERSION version, FAILTYP& F) {
  const GAMETYP& game = L.GAME;
  if (game.DATASTRUCTURE != DATASTRUCT::WEIGHTED || game.N <= MAXACTOR) return true;
  const std::string head = "vkx: " + std::to_string(game.N) + " players: ";
  const std::string tail = " counted only by the walk over every coalition, which takes at most " +
                           std::to_string(MAXACTOR) + " players";
  if (version == VERSION::SPATIAL)
    return fail(F, EXITREFUSED, head + "the spatial version is" + tail);
  const int systems = version == VERSION::MULTIPLE ? game.VS : 1;
  for (int k = 0; k < systems; ++k)
    for (int s = 1; s <= game.MM; ++s)
      for (int p = 1; p <= game.NN[s]; ++p)
        if ((k == 0 ? game.GEW[s][p] : game.GEWX[k][s][p]) < 0)
          return fail(F, EXITREFUSED, head + "a game with a negative weight is" + tail);
  return true;
}

bool loadGame(const ARGSTYP& a, VERSION version, LOADEDTYP& L, FAILTYP& F) {
  if (!primaryGame(a, L, F)) return false;
  if (version == VERSION::MULTIPLE && !voteSystems(a, L, F)) return false;
  if (!wideFits(L, version, F)) return false;
  if (version == VERSION::SPATIAL) {
    GAMETYP& game = L.GAME;
    game.NAME1 = dataName(a.POSITIONS);
    int32_t flag = 0;
    POSITIONLOAD(game.NAME1, game.NTHEME, game.N, game.POSITION, flag);
    if (flag != 0) return fail(F, EXITREFUSED, "...system error on loading " + game.NAME1);
    L.INPUTS.push_back(game.NAME1 + ".pos");
  }
  return true;
}

// The indices of the run: those asked for, each of which must have an
// engine for the version, or with `all` every index of the registry that
// has one.
bool chooseKinds(const ARGSTYP& a, const GAMETYP& game, VERSION version,
                 std::vector<const REPORTKINDTYP*>& kinds, FAILTYP& F) {
  for (const REPORTKINDTYP* kind : a.ALL ? INDICES() : a.KINDS) {
    if (HASENGINE(kind->INDEX, game.DATASTRUCTURE, version))
      kinds.push_back(kind);
    else if (!a.ALL)
      return fail(F, EXITREFUSED, "...error on input file format");
  }
  if (kinds.empty()) return fail(F, EXITREFUSED, "...error on input file format");
  return true;
}

// A share as typed in a range ("50%", "62.5%"), in millionths of a percent.
bool shareMicros(const std::string& text, int64_t& micros) {
  if (text.size() < 2 || text.back() != '%') return false;
  const std::string body = text.substr(0, text.size() - 1);
  const std::size_t point = body.find('.');
  const std::string whole = body.substr(0, point);
  const std::string part = point == std::string::npos ? "" : body.substr(point + 1);
  if ((whole.empty() && part.empty()) || whole.size() > 3 || part.size() > 6) return false;
  if ((whole + part).find_first_not_of("0123456789") != std::string::npos) return false;
  micros = (whole.empty() ? 0 : std::stoll(whole)) * 1000000 +
           (part.empty() ? 0 : std::stoll(part + std::string(6 - part.size(), '0')));
  return micros <= 100000000;
}

std::string microsText(int64_t micros) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%06lld%%", static_cast<long long>(micros / 1000000),
                static_cast<long long>(micros % 1000000));
  return text;
}

// One threshold of --winset TEXT: a whole number as the prompts read it
// ("17", "$1F"), or a share of the subgame's TOTAL ("62%", "majority").
bool thresholdOf(const std::string& text, const std::string& field, int64_t total, int32_t& value,
                 bool& share, FAILTYP& F) {
  share = false;
  if (VALINT(field, value) == 0) return true;
  int64_t v = 0;
  if (!WINSETSHARE(field, total, v))
    return usage(F, "--winset " + text + ": \"" + field +
                        "\" is not a whole number, a share (62%, majority) or a range");
  if (v < INT32_MIN || v > INT32_MAX)
    return usage(F, "--winset " + text + ": " + field + " is beyond a threshold's range");
  value = static_cast<int32_t>(v);
  share = true;
  return true;
}

constexpr std::size_t MAXQUOTAS = 10000;

// The one threshold of the --winset options given as a range, LO:HI[:STEP]:
// where it stands (vote system, win set, subgame) and the whole numbers it
// runs through, each once and rising.
struct SWEEPTYP {
  int SYSTEM = -1;
  std::size_t WINSET = 0;
  std::size_t SUBGAME = 0;
  std::vector<int64_t> QUOTAS;
};

// The quotas of range FIELD of a subgame of TOTAL: shares at both ends
// (and in the step, 1% when none is given) go in steps of the share, each
// then the smallest whole number that reaches it; otherwise every end is
// taken as a whole number and the step (default 1) is in votes.
bool quotasOf(const std::string& text, const std::string& field, int64_t total,
              std::vector<int64_t>& quotas, FAILTYP& F) {
  const std::vector<std::string> parts = split(field, ':');
  if (parts.size() < 2 || parts.size() > 3)
    return usage(F, "--winset " + text + ": a range is LO:HI or LO:HI:STEP");
  auto add = [&](int64_t q) {
    if (quotas.empty() || quotas.back() != q) quotas.push_back(q);
  };
  int64_t lo = 0, hi = 0, step = 1000000;
  const bool shares = shareMicros(parts[0], lo) && shareMicros(parts[1], hi) &&
                      (parts.size() == 2 || shareMicros(parts[2], step));
  if (!shares) {
    int32_t v[3] = {0, 0, 1};
    bool share = false;
    for (std::size_t i = 0; i < parts.size(); ++i)
      if (!thresholdOf(text, parts[i], total, v[i], share, F)) return false;
    lo = v[0];
    hi = v[1];
    step = v[2];
  }
  if (step <= 0) return usage(F, "--winset " + text + ": the step must be above 0");
  if (hi < lo) return usage(F, "--winset " + text + ": the range runs downwards");
  if (static_cast<uint64_t>((hi - lo) / step) >= MAXQUOTAS)
    return usage(F, "--winset " + text + ": more than " + std::to_string(MAXQUOTAS) + " quotas");
  for (int64_t x = lo; x <= hi; x += step) {
    int64_t q = x;
    if (shares) WINSETSHARE(microsText(x), total, q);
    add(q);
  }
  return true;
}

// The weights of vote system K (0: the primary game's).
const GEWTYP& weightsOf(const GAMETYP& game, int k) { return k == 0 ? game.GEW : game.GEWX[k]; }

// Finds the range among the --winset texts of every vote system.
bool findSweep(const ARGSTYP& a, const GAMETYP& game, SWEEPTYP& sweep, FAILTYP& F) {
  for (int k = 0; k < game.VS && k < MAXSYSTEMS; ++k)
    for (std::size_t w = 0; w < a.WINSETS[k].size(); ++w) {
      const std::string& text = a.WINSETS[k][w];
      const std::vector<std::string> fields = split(text, ',');
      for (std::size_t d = 0; d < fields.size(); ++d) {
        if (fields[d].find(':') == std::string::npos) continue;
        if (sweep.SYSTEM >= 0) return usage(F, "--winset: one range of thresholds at most");
        sweep.SYSTEM = k;
        sweep.WINSET = w;
        sweep.SUBGAME = d;
        const int64_t total = d < game.MM
                                  ? CUMULATEDWEIGHT(CODEOF(game.DATASTRUCTURE), game.NN,
                                                    weightsOf(game, k), static_cast<int>(d + 1))
                                  : 0;
        if (!quotasOf(text, fields[d], total, sweep.QUOTAS, F)) return false;
      }
    }
  return true;
}

// The win sets of vote system K: thresholds into M[subgame][win set], boxes
// into G, with the checks of the win-set dialogue; the swept threshold is
// QUOTA. SET learns the whole number of a share or of the sweep.
bool winSets(const ARGSTYP& a, int k, const GAMETYP& game, const SWEEPTYP& sweep, int64_t quota,
             int32_t& thres, GEWTYP& m, GTYP& g, CLISETTYP& set, FAILTYP& F) {
  const std::vector<std::string>& texts = a.WINSETS[k];
  thres = static_cast<int32_t>(texts.size());
  if (!WINSETCOUNTOK(thres)) return usage(F, THRESNUMBERMSG);
  const GEWTYP& gew = weightsOf(game, k);
  for (int w = 1; w <= thres; ++w) {
    const std::string& text = texts[static_cast<std::size_t>(w - 1)];
    const std::vector<std::string> fields = split(text, ',');
    if (fields.size() != game.MM)
      return usage(F, "--winset " + text + ": " + std::to_string(fields.size()) +
                          " thresholds for " + std::to_string(game.MM) +
                          (game.MM == 1 ? " subgame" : " subgames"));
    for (int d = 1; d <= game.MM; ++d) {
      const std::string& field = fields[static_cast<std::size_t>(d - 1)];
      int32_t value = 0;
      bool share = false;
      if (field.find(':') != std::string::npos) {
        value = static_cast<int32_t>(quota);
        share = true;
      } else {
        const int64_t total = CUMULATEDWEIGHT(CODEOF(game.DATASTRUCTURE), game.NN, gew, d);
        if (!thresholdOf(text, field, total, value, share, F)) return false;
      }
      if (share && !set.HASQUOTA && (sweep.SYSTEM < 0 || field.find(':') != std::string::npos)) {
        set.HASQUOTA = true;
        set.QUOTA = value;
      }
      g[w][d][1] = value;
    }
    if (!WINSETCOMPLETE(w, m, g, CODEOF(game.DATASTRUCTURE), game.MM, game.NN, gew))
      return usage(F, THRESMSG);
  }
  return true;
}

// The rule of one run at QUOTA: the win sets of every vote system and the
// options beyond them.
bool ruleOf(const ARGSTYP& a, const GAMETYP& game, VERSION version, const SWEEPTYP& sweep,
            int64_t quota, RULETYP& rule, CLISETTYP& set, FAILTYP& F) {
  rule.GAME = version;
  if (!winSets(a, 0, game, sweep, quota, rule.THRES, rule.M, rule.G, set, F)) return false;
  if (!ruleOptions(a, game, rule, F)) return false;
  for (int k = 1; version == VERSION::MULTIPLE && k < game.VS; ++k) {
    if (a.WINSETS[k].size() != a.WINSETS[0].size())
      return usage(F, "...unequal numbers of thresholds");
    int32_t thres = 0;
    GTYP g{};
    if (!winSets(a, k, game, sweep, quota, thres, rule.MX[k], g, set, F)) return false;
  }
  return true;
}

// The version the options choose.
VERSION versionOf(const ARGSTYP& a) {
  if (!a.SYSTEMS.empty()) return VERSION::MULTIPLE;
  if (!a.POSITIONS.empty()) return VERSION::SPATIAL;
  if (a.WORKINGPLAN) return VERSION::ISAWP;
  if (!a.ISA.empty()) return VERSION::ISA;
  return VERSION::STANDARD;
}

// The rule beyond the win sets: overall thresholds, their rule and unit,
// the blocking minority, the ISA thresholds.
bool ruleOptions(const ARGSTYP& a, const GAMETYP& game, RULETYP& rule, FAILTYP& F) {
  const bool weighted = game.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  std::vector<int32_t> values;
  if (!a.OVERALL.empty()) {
    if (!weighted)
      return usage(F, "--overall: an unweighted game has no such threshold (see --isa)");
    if (!numberList("--overall", a.OVERALL, values, F)) return false;
    if (values.size() != 1) return usage(F, "--overall " + a.OVERALL + ": one number expected");
    if (!threshold16("--overall", values[0], F)) return false;
    rule.T1 = values[0];
  }
  // The standard version counts T1 as a least number of members; the
  // multiple-weights version takes the rule and the unit given.
  rule.OVERALL = a.RULE == "or" ? OVERALLRULE::OR : OVERALLRULE::AND;
  rule.OVERT = a.UNIT == "votes" ? OVERALLUNIT::VOTES : OVERALLUNIT::MEMBERS;
  if (!a.BLOCKING.empty()) {
    if (!numberList("--blocking", a.BLOCKING, values, F)) return false;
    if (values.size() != 1) return usage(F, "--blocking " + a.BLOCKING + ": one number expected");
    rule.BLOCK = true;
    rule.BLOCKTHRES = values[0];
  }
  if (!a.ISA.empty()) {
    if (!numberList("--isa", a.ISA, values, F)) return false;
    if (values.size() != 4) return usage(F, "--isa " + a.ISA + ": four numbers T1,A1,T2,A2");
    for (int32_t v : values)
      if (!threshold16("--isa", v, F)) return false;
    rule.T1 = values[0];
    rule.T1ANZ = values[1];
    rule.T2 = values[2];
    rule.T2ANZ = values[3];
  }
  return true;
}

// A data file whose values are not all whole numbers is refused: one line
// per such value, "FILE:LINE: reason 'text'".
bool typos(const std::string& file, const DATAWARNINGS& warn, FAILTYP& F) {
  if (warn.empty()) return true;
  std::string lines;
  for (const DATAWARNTYP& w : warn) {
    if (!lines.empty()) lines += "\n";
    lines += file + ":" + std::to_string(w.LINE) + ": " + DATAWARNREASON(w) + " '" + w.TEXT + "'";
  }
  return fail(F, EXITREFUSED, lines);
}

// The progress bar of a long run on standard error. The engines call back
// once per coalition or count vector; every few thousand calls the clock is
// read, and from about a second on the bar is drawn five times a second.
struct PROGRESSTYP {
  using CLOCK = std::chrono::steady_clock;
  double total = 1.0;  // coalitions or count vectors the walk visits
  uint64_t done = 0;
  CLOCK::time_point start = CLOCK::now(), next = start + std::chrono::seconds(1);
  int columns = 80;
  bool shown = false;

  void tick() {
    if ((++done & 0xFFF) != 0) return;
    const CLOCK::time_point now = CLOCK::now();
    if (now < next) return;
    next = now + std::chrono::milliseconds(200);
    const double seconds = std::chrono::duration<double>(now - start).count();
    std::fputs(
        ("\r" + PROGRESSTEXT(static_cast<double>(done) / total, seconds, columns - 1)).c_str(),
        stderr);
    std::fflush(stderr);
    shown = true;
  }
  void clear() const {
    if (shown)
      std::fputs(("\r" + std::string(static_cast<std::size_t>(columns - 1), ' ') + "\r").c_str(),
                 stderr);
  }
};

void everyCoalition(void* ctx, const PERMTYP&) { static_cast<PROGRESSTYP*>(ctx)->tick(); }
void everyVector(int32_t, const POINT&, uint16_t, void* data) {
  static_cast<PROGRESSTYP*>(data)->tick();
}

// The count vectors the walk of an unweighted game visits: those of every
// box from its lower corner (never below 0) to the chambers' sizes.
double vectorsOf(const GAMETYP& game, const RULETYP& rule) {
  double all = 0;
  for (int w = 1; w <= rule.THRES && w <= 10; ++w) {
    double box = 1;
    for (int d = 1; d <= game.MM; ++d)
      box *= std::max(0, game.NN[d] - std::max(0, rule.G[w][d][1]) + 1);
    all += box;
  }
  return all;
}

// A walk planned to take at most QUICKWALK seconds is made without a word
// when no fast method counts the game within the budget; a count planned
// beyond LONGRUN seconds is not started unless --exhaustive asks for it.
constexpr double QUICKWALK = 10, LONGRUN = 600;

// A time in the message's words: "about 5800 hours", "about 12 minutes".
std::string aboutText(double seconds) {
  char text[64];
  const double hours = seconds / 3600;
  if (hours >= 1e9)
    std::snprintf(text, sizeof text, "about %.1e hours", hours);
  else if (hours >= 1.5)
    std::snprintf(text, sizeof text, "about %.0f hours", hours);
  else if (seconds >= 90)
    std::snprintf(text, sizeof text, "about %.0f minutes", seconds / 60);
  else
    std::snprintf(text, sizeof text, "about %.0f seconds", seconds);
  return text;
}

std::string overBudget(double seconds, const char* how) {
  return "..." + aboutText(seconds) + " by " + how + "; use --estimate for a sampled value";
}

// What the count of a weighted game will take, decided before it starts:
// the fast methods within the budget when they fit and end in time, else
// the walk over every coalition when it is quick or --exhaustive asks for
// it; otherwise the run ends at once with the estimate. HOOKS get the
// budget and whether the walk may follow a fast method that outgrows it.
bool planned(const ARGSTYP& a, const GAMETYP& game, const RULETYP& rule, INDEXTYP index,
             HOOKSTYP& hooks, FAILTYP& F) {
  hooks.BUDGET = a.BUDGET;
  if (game.DATASTRUCTURE != DATASTRUCT::WEIGHTED) return true;
  fastcount::Plan plan;
  weightedwalk::Game core;
  if (!PLANRUN(game, rule, index, a.BUDGET, plan, core)) return true;  // refused by the engine
  const bool walkable = game.N <= MAXACTOR;
  hooks.WALKS = walkable && (a.EXHAUSTIVE || plan.walkSeconds <= QUICKWALK);
  const bool fast =
      plan.method != fastcount::Method::EXHAUSTIVE && plan.method != fastcount::Method::NONE;
  if (a.EXHAUSTIVE || hooks.WALKS || (fast && plan.seconds <= LONGRUN)) return true;
  if (fast && (!walkable || plan.seconds <= plan.walkSeconds))
    return fail(F, EXITREFUSED, overBudget(plan.seconds, "exact counting"));
  return fail(F, EXITREFUSED, overBudget(plan.walkSeconds, "exhaustive counting"));
}

// Runs the engine of each index of KINDS once (indices of one engine share
// its run), with the progress hooks when standard error is a terminal, and
// adds the runs the outputs read to SET.
// The seconds a sampled estimate runs at the most.
constexpr double ESTIMATESECONDS = 60;

// Each index of KINDS sampled (--estimate) instead of counted; Coleman's
// indices are not estimated.
bool estimate(const ARGSTYP& a, const LOADEDTYP& L, const RULETYP& rule,
              const std::vector<const REPORTKINDTYP*>& kinds, CLISETTYP& set, FAILTYP& F) {
  for (const REPORTKINDTYP* kind : kinds) {
    if (kind == &COLEMANKIND()) {
      if (a.ALL) continue;
      return usage(F, "--estimate: coleman is not estimated");
    }
    CLIRUNTYP run;
    run.KIND = &ESTIMATEKIND(kind->INDEX);
    if (!RUNESTIMATE(kind->INDEX, L.GAME, rule, a.ESTIMATE, ESTIMATESECONDS, run.R))
      return fail(F, EXITREFUSED, "...number of players/subgames not allowed");
    run.NAMES = L.NAMES;
    run.SYSTEMS = L.SYSTEMNAMES;
    set.RUNS.push_back(std::move(run));
  }
  return true;
}

bool compute(const ARGSTYP& a, const LOADEDTYP& L, const RULETYP& rule,
             const std::vector<const REPORTKINDTYP*>& kinds, CLISETTYP& set, FAILTYP& F) {
  if (a.ESTIMATE > 0) return estimate(a, L, rule, kinds, set, F);
  const GAMETYP& game = L.GAME;
  std::unique_ptr<RUNTYP> done[3];
  for (const REPORTKINDTYP* kind : kinds) {
    std::unique_ptr<RUNTYP>& r = done[static_cast<std::size_t>(kind->INDEX)];
    if (!r) {
      PROGRESSTYP progress;
      weightedwalk::Visitor visitor;
      HOOKSTYP hooks;
      if (plat::stderrIsTerminal()) {
        progress.columns = plat::stderrColumns();
        if (game.DATASTRUCTURE == DATASTRUCT::WEIGHTED) {
          progress.total = std::ldexp(1.0, game.N) - 1;
          visitor.ctx = &progress;
          visitor.every = everyCoalition;
          hooks.VISITOR = &visitor;
        } else {
          progress.total = vectorsOf(game, rule);
          hooks.PROGRESS = everyVector;
          hooks.DATA = &progress;
        }
      }
      RULETYP own = rule;
      // The public good dialogue lowers an overall threshold above the
      // number of players to it.
      if (kind->INDEX == INDEXTYP::PUBLICGOOD && own.T1 > game.N) own.T1 = game.N;
      if (!planned(a, game, own, kind->INDEX, hooks, F)) return false;
      STATUSTYP status = STATUSTYP::DONE;
      r = std::make_unique<RUNTYP>(RUNKIND(*kind, game, own, hooks, status));
      progress.clear();
      if (status == STATUSTYP::NOENGINE)
        return fail(F, EXITREFUSED, "...error on input file format");
      if (status == STATUSTYP::OVERBUDGET) {
        fastcount::Plan plan;
        weightedwalk::Game core;
        PLANRUN(game, own, kind->INDEX, a.BUDGET, plan, core);
        return fail(F, EXITREFUSED,
                    game.N <= MAXACTOR ? overBudget(plan.walkSeconds, "exhaustive counting")
                                       : "...no exact method counts this game within the "
                                         "memory; use --estimate for a sampled value");
      }
      if (status != STATUSTYP::DONE)
        return fail(F, EXITREFUSED, "...number of players/subgames not allowed");
    }
    if (kind->FITS && !kind->FITS(*r)) {
      if (a.ALL) continue;
      return fail(F, EXITREFUSED, kind->UNFIT);
    }
    CLIRUNTYP run;
    run.KIND = kind;
    run.R = *r;
    run.NAMES = L.NAMES;
    run.SYSTEMS = L.SYSTEMNAMES;
    set.RUNS.push_back(std::move(run));
  }
  return true;
}

// Opens PATH for appending, or creates it when it is not there; CREATED
// tells which.
int appendOrCreate(plat::TextOut& out, const std::string& path, bool& created) {
  created = false;
  int code = out.append(path);
  if (code == ENOENT) {
    code = out.create(path);
    created = code == 0;
  }
  return code;
}

// The files of one run, written together: the output file through a
// temporary file, and with --files the report appended to the ".out" file
// and the number block to the ".ouu" file as the menu command appends them.
// Any failure rolls every one of them back.
struct FILESTYP {
  static constexpr int FILES = 4;  // the output, the .out and .ouu files, the plot
  plat::TextOut file[FILES];
  std::string path[FILES];
  bool created[FILES] = {};
  bool open[FILES] = {};
  std::string error;

  // Writes TEXT (and HEADER first into a new file) to file I; false on
  // failure, after which nothing of this run remains anywhere.
  bool write(int i, const std::string& p, const std::string& text, const std::string& header,
             bool replace) {
    path[i] = p;
    int code = replace ? file[i].replace(p) : appendOrCreate(file[i], p, created[i]);
    open[i] = code == 0;
    if (code == 0) {
      if (created[i] && !header.empty()) {
        file[i].writeLine(header);
        file[i].writeLine("\r");
      }
      file[i].write(text);
      code = file[i].flush();
    }
    if (code == 0) return true;
    error = "...system error" + std::to_string(code) + " on saving " + p;
    rollback();
    return false;
  }
  void rollback() {
    for (int i = 0; i < FILES; ++i) {
      if (!open[i]) continue;
      file[i].rollback();  // a file this run created is removed again
      open[i] = false;
    }
  }
  bool close() {
    for (int i = 0; i < FILES; ++i) {
      if (!open[i]) continue;
      open[i] = false;
      if (int code = file[i].commit()) {
        error = "...system error" + std::to_string(code) + " on saving " + path[i];
        return false;
      }
    }
    return true;
  }
};

// The report texts (BLOCK: the number blocks) of every run of SETS for the
// files the menu command appends to, once for indices that share one.
std::string fileReports(const std::vector<CLISETTYP>& sets, bool block, int prec) {
  std::string text;
  for (const CLISETTYP& set : sets) {
    std::vector<REPORTPROC> written;
    for (const CLIRUNTYP& run : set.RUNS) {
      const REPORTPROC proc = block ? run.KIND->BLOCK : run.KIND->TEXT;
      if (std::find(written.begin(), written.end(), proc) != written.end()) continue;
      written.push_back(proc);
      text += REPORTSTRING(run.R, run.KIND->PIVOTS, proc, prec);
    }
  }
  return text;
}

bool writeOutputs(const ARGSTYP& a, const std::vector<CLISETTYP>& sets, const SETTINGSTYP& S,
                  const std::string& text, const std::string& plot, FAILTYP& F) {
  FILESTYP files;
  if (!a.OUTPUT.empty() && !files.write(0, a.OUTPUT, text, "", true))
    return fail(F, EXITREFUSED, files.error);
  if (a.FILES) {
    const RUNTYP& first = sets[0].RUNS[0].R;
    const std::string base = S.OUTPUTFILE ? first.NAME : S.NAMEOUT;
    if (!files.write(1, base + ".out", fileReports(sets, false, 4), REPORTHEADER(first), false))
      return fail(F, EXITREFUSED, files.error);
    if (S.OUTPUTTAB == 1 &&
        !files.write(2, base + ".ouu", fileReports(sets, true, S.PREC), "", false))
      return fail(F, EXITREFUSED, files.error);
  }
  if (!a.PLOT.empty() && !files.write(3, a.PLOT, plot, "", true))
    return fail(F, EXITREFUSED, files.error);
  // Standard output goes first, while the files can still be rolled back:
  // a full disk or a closed pipe there leaves every file as it was.
  if (a.OUTPUT.empty()) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
      const int code = errno != 0 ? errno : EIO;
      files.rollback();
      return fail(F, EXITREFUSED,
                  "...system error" + std::to_string(code) + " on saving standard output");
    }
  }
  if (!files.close()) return fail(F, EXITREFUSED, files.error);
  return true;
}

// An output (--output, --plot) must not replace a file the run reads.
bool outputFits(const std::string& option, const std::string& path, const LOADEDTYP& L,
                FAILTYP& F) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(path, ec)) return true;
  for (const std::string& input : L.INPUTS)
    if (std::filesystem::is_regular_file(input, ec) && std::filesystem::equivalent(path, input, ec))
      return usage(F, option + " " + path + ": the run reads this file");
  return true;
}

int runArgs(ARGSTYP& a, FAILTYP& F) {
  SETTINGSTYP S;
  S.VKXPATH = DEFAULTPATH;
  INIDATA(S);
  if (a.OUTPUT == "-") a.OUTPUT.clear();
  if (!a.ESTIMATETEXT.empty()) {
    const std::string text = a.ESTIMATETEXT.back().empty() ? "0.0001" : a.ESTIMATETEXT.back();
    char* end = nullptr;
    a.ESTIMATE = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(a.ESTIMATE > 0 && a.ESTIMATE < 1))
      return (usage(F, "--estimate " + text + ": the standard error is a number between 0 and 1"),
              F.STATUS);
  }
  if (!a.MEMORY.empty()) {
    uint64_t bytes = 0;
    if (!PARSESIZE(a.MEMORY, bytes) || bytes == 0)
      return (usage(F, "--memory " + a.MEMORY + ": not a size (4G, 512M, 100000K)"), F.STATUS);
    a.BUDGET = static_cast<std::size_t>(bytes);
  } else {
    // The counting leaves a quarter of the memory to the program and the
    // machine.
    a.BUDGET = plat::PHYSICALMEMORY() / 4 * 3;
  }
  const VERSION version = versionOf(a);
  LOADEDTYP L;
  std::vector<const REPORTKINDTYP*> kinds;
  SWEEPTYP sweep;
  if (!loadGame(a, version, L, F) || !chooseKinds(a, L.GAME, version, kinds, F) ||
      !findSweep(a, L.GAME, sweep, F) || !outputFits("--output", a.OUTPUT, L, F) ||
      !outputFits("--plot", a.PLOT, L, F))
    return F.STATUS;
  if (a.FILES && S.OUTPUTFILE && !L.DATAFILE)
    return (usage(F, "--files: the game comes from no data file to write beside"), F.STATUS);
  if (a.ESTIMATE > 0 &&
      (L.GAME.DATASTRUCTURE != DATASTRUCT::WEIGHTED || version == VERSION::SPATIAL || a.FILES))
    return (usage(F, "--estimate: weighted games only, not the spatial version, nor --files"),
            F.STATUS);
  // The game is loaded and checked once; each quota of a sweep is one rule.
  std::vector<int64_t> quotas = sweep.QUOTAS;
  if (quotas.empty()) quotas.push_back(0);
  std::vector<CLISETTYP> sets;
  for (const int64_t quota : quotas) {
    RULETYP rule;
    CLISETTYP set;
    if (!ruleOf(a, L.GAME, version, sweep, quota, rule, set, F) ||
        !compute(a, L, rule, kinds, set, F))
      return F.STATUS;
    sets.push_back(std::move(set));
  }
  std::string text;
  if (a.FORMAT == "csv")
    text = CSVTEXT(sets, a.TOTALS);
  else if (a.FORMAT == "json")
    text = JSONTEXT(sets, sweep.SYSTEM >= 0);
  else
    text = REPORTTEXT(sets);
  const std::string plot = a.PLOT.empty() ? "" : PLOTSVG(sets, sweep.SYSTEM >= 0);
  if (!writeOutputs(a, sets, S, text, plot, F)) return F.STATUS;
  return 0;
}

// The options of one command and what they take in, for the order in which
// --winset, --system and --system-weights were typed.
struct COMMANDTYP {
  CLI::App* SUB = nullptr;
  std::vector<std::string> WINSETS, SYSTEMS, TYPED;
  CLI::Option* WINSETOPT = nullptr;
  CLI::Option* SYSTEMOPT = nullptr;
  CLI::Option* TYPEDOPT = nullptr;
};

// The options of one index; SHAPLEY and BANZHAF take the rule of the
// multiple-weights version, SHAPLEY alone the spatial and working-plan
// versions, and neither count-vector version is offered for the public good.
// `all` and lists of indices take every option. GAMEREQUIRED: no
// --weights or --members stands in for the game file.
void indexCommand(CLI::App& app, const char* name, const std::string& title, INDEXTYP index,
                  bool gameRequired, ARGSTYP& a, COMMANDTYP& c) {
  CLI::App* sub = c.SUB = app.add_subcommand(name, title);
  sub->callback([&a, name] {
    if (a.KINDS.empty()) a.KINDS.push_back(INDEXNAMED(name));
    if (a.USAGE.empty()) a.USAGE = usageLine(name);
  });
  CLI::Option* game =
      sub->add_option("GAME", a.GAME,
                      "the data file, with or without .inp; - (or /dev/stdin, a pipe) reads "
                      "the data file from standard input")
          ->type_name("FILE");
  if (gameRequired) game->required();
  sub->add_option("--weights", a.WEIGHTS,
                  "instead of GAME: the weights of one subgame, each optionally named "
                  "(DE:29,FR:29,...); repeat for each further subgame")
      ->expected(1)
      ->take_all()
      ->type_name("[NAME:]W,...");
  sub->add_option("--members", a.MEMBERS,
                  "instead of GAME: the sizes of unweighted chambers, one per subgame")
      ->type_name("N,N...");
  c.WINSETOPT =
      sub->add_option("--winset", c.WINSETS,
                      "one win set: a threshold per subgame, comma-separated, each a whole "
                      "number, a share of the subgame's total (62%, majority) or, for one "
                      "threshold, a range LO:HI[:STEP] (50%:75%:1%) run quota by quota; "
                      "repeat for up to 10 win sets (after --system: that system's win sets)")
          ->required()
          ->expected(1)
          ->take_all()
          ->type_name("T[,T...]");
  sub->add_option("--overall", a.OVERALL,
                  index == INDEXTYP::PUBLICGOOD
                      ? "overall threshold: a least number of players (weighted data)"
                      : "overall threshold (weighted data), 0..65535")
      ->type_name("N");
  c.SYSTEMOPT = sub->add_option("--system", c.SYSTEMS,
                                "a further vote system: a data file of the same players "
                                "(multiple weights, up to 3 times); the --winset options after "
                                "it are its win sets")
                    ->expected(1)
                    ->take_all()
                    ->type_name("FILE");
  c.TYPEDOPT = sub->add_option("--system-weights", c.TYPED,
                               "a further vote system typed as its weights, the subgames "
                               "separated by / (1,2,3/4,5); like --system")
                   ->expected(1)
                   ->take_all()
                   ->type_name("W,.../W,...");
  CLI::Option* isa = nullptr;
  if (index != INDEXTYP::PUBLICGOOD) {
    sub->add_option("--overall-rule", a.RULE,
                    "multiple weights: a coalition below the overall threshold loses (and), "
                    "or one reaching it wins (or)")
        ->type_name("and|or")
        ->check(CLI::IsMember({"and", "or"}));
    sub->add_option("--overall-unit", a.UNIT,
                    "multiple weights: the overall threshold counts members or first-system "
                    "votes")
        ->type_name("members|votes")
        ->check(CLI::IsMember({"members", "votes"}));
    sub->add_option("--blocking", a.BLOCKING,
                    "multiple weights: a coalition loses when the players outside it hold more "
                    "than this in the second vote system, even without the smallest of them")
        ->type_name("T");
    isa = sub->add_option("--isa", a.ISA,
                          "unweighted chambers, count-vector version: overall thresholds T1 and "
                          "T2 over the first A1 and A2 chambers")
              ->type_name("T1,A1,T2,A2")
              ->excludes(c.SYSTEMOPT)
              ->excludes(c.TYPEDOPT);
  }
  if (index == INDEXTYP::SHAPLEY) {
    sub->add_flag("--working-plan", a.WORKINGPLAN,
                  "the count-vector version for working plans: T1 binds win set 1 only, T2 "
                  "win set 2 only")
        ->excludes(c.SYSTEMOPT)
        ->excludes(c.TYPEDOPT);
    sub->add_option("--positions", a.POSITIONS,
                    "spatial version: coalitions weighted by the similarity of the positions "
                    "in this file (.pos)")
        ->type_name("FILE")
        ->excludes(c.SYSTEMOPT)
        ->excludes(c.TYPEDOPT)
        ->excludes(isa)
        ->excludes("--working-plan");
  }
  sub->add_option("--format", a.FORMAT,
                  "report (the .out text, the default), csv (one row per player) or json")
      ->type_name("report|csv|json")
      ->check(CLI::IsMember({"report", "csv", "json"}));
  sub->add_flag("--totals", a.TOTALS, "csv: end each table in the report's \"sum of all\" row");
  sub->add_option("--output", a.OUTPUT,
                  "write to this file instead of standard output (- : standard output); "
                  "never one of the run's own input files")
      ->type_name("FILE");
  sub->add_option("--plot", a.PLOT,
                  "also draw the run as an SVG picture: each player's index beside its weight "
                  "share, or for a range each player's index against the quota")
      ->type_name("FILE.svg");
  sub->add_option("--memory", a.MEMORY,
                  "the memory the counting may take (default: three quarters of the machine's "
                  "or the process's limit); a game no exact method counts within it is refused "
                  "at once with the time its walk would take")
      ->type_name("SIZE");
  sub->add_flag("--exhaustive", a.EXHAUSTIVE,
                "count exactly however long it takes: walk every coalition where no faster "
                "method fits the memory");
  sub->add_option("--estimate", a.ESTIMATETEXT,
                  "sample instead of counting, until every value's standard error is below "
                  "ERROR (default 0.0001); the output gives each error beside its value")
      ->expected(0, 1)
      ->type_name("[ERROR]");
  sub->add_flag("--files", a.FILES,
                "also append the report to GAME.out (and the number block to GAME.ouu when "
                "vkx.ini says outputtab=1), as the menu command does");
  sub->footer(std::string("Examples:\n  vkx ") + name +
              " council --winset 255 --format csv\n  vkx " + name +
              " --weights DE:29,FR:29,PL:27,NL:13 --winset 62% --format csv\n  vkx " + name +
              " council --winset 50%:80%:1% --plot quota.svg --format csv");
}

// The --winset, --system and --system-weights values in the order typed:
// each further vote system opens the win sets of the next one.
bool assignWinsets(const COMMANDTYP& c, ARGSTYP& a, FAILTYP& F) {
  if (c.SYSTEMS.size() + c.TYPED.size() >= MAXSYSTEMS)
    return usage(F,
                 "--system: at most " + std::to_string(MAXSYSTEMS - 1) + " further vote systems");
  std::size_t w = 0, k = 0, t = 0;
  for (const CLI::Option* o : c.SUB->parse_order()) {
    if (o == c.SYSTEMOPT) a.SYSTEMS.push_back({c.SYSTEMS[k++], false});
    if (o == c.TYPEDOPT) a.SYSTEMS.push_back({c.TYPED[t++], true});
    if (o == c.WINSETOPT && w < c.WINSETS.size())
      a.WINSETS[a.SYSTEMS.size()].push_back(c.WINSETS[w++]);
  }
  // The options of the multiple-weights version need a further vote system.
  if (a.SYSTEMS.empty())
    for (const char* name : {"--overall-rule", "--overall-unit", "--blocking"})
      if (c.SUB->get_option_no_throw(name) && c.SUB->get_option_no_throw(name)->count() > 0)
        return usage(F, std::string(name) + " requires --system");
  return true;
}

// An index list typed as the command: "all", or names of the registry
// joined by commas ("shapley,banzhaf"). NAMES gets the indices, BAD the
// first name the registry does not know.
bool indexList(std::string_view first, std::vector<const REPORTKINDTYP*>& kinds, std::string& bad) {
  if (first == "all") return true;
  if (first.find(',') == std::string_view::npos) return false;
  for (const std::string& name : split(std::string(first), ',')) {
    const REPORTKINDTYP* kind = INDEXNAMED(name);
    if (!kind && bad.empty()) bad = "\"" + name + "\"";
    if (kind && std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) kinds.push_back(kind);
  }
  return true;
}

}  // namespace

std::string PROGRESSTEXT(double FRACTION, double SECONDS, int WIDTH) {
  const double f = std::clamp(FRACTION, 0.0, 1.0);
  std::string left = "--:--";
  if (f > 0) {
    const long long s = std::llround(SECONDS * (1 - f) / f);
    char text[32];
    if (s >= 3600)
      std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    else
      std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    left = text;
  }
  char percent[8];
  std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(f * 100));
  const std::string tail = std::string(" ") + percent + "  " + left + " left";
  const int bar = std::max(10, WIDTH - static_cast<int>(tail.size()) - 2);
  const int full = static_cast<int>(f * bar);
  return "[" + std::string(static_cast<std::size_t>(full), '#') +
         std::string(static_cast<std::size_t>(bar - full), '.') + "]" + tail;
}

bool CLIWANTED(int ARGC, char** ARGV) {
  if (ARGC < 2) return false;
  const std::string_view first = ARGV[1];
  std::vector<const REPORTKINDTYP*> kinds;
  std::string bad;
  return INDEXNAMED(first) != nullptr || indexList(first, kinds, bad) || first == "--help" ||
         first == "-h" || first == "--version";
}

int CLIMAIN(int ARGC, char** ARGV) {
  // A file-size limit or a closed pipe is a write error like any other, which
  // rolls the run's files back, rather than a signal that ends the run.
  plat::ignoreWriteSignals();
  CLI::App app("vkx: a calculator of a-priori voting power", "vkx");
  app.set_version_flag("--version", VERSIONTEXT);
  app.require_subcommand(1);
  app.footer(
      "Without arguments vkx starts the interactive program (a terminal of at least 80 x 25);\n"
      "vkx --keys FILE runs it with the keys in FILE and prints the final screen.\n"
      "vkx all GAME ... (or vkx shapley,banzhaf GAME ...) computes several indices in one run.\n"
      "Run vkx INDEX --help for the options of an index; man vkx for the whole manual.");
  ARGSTYP a;
  // An index list is the command `all` with the indices it names.
  std::vector<char*> argv(ARGV, ARGV + ARGC);
  std::string listed, bad;
  char allName[] = "all";
  if (ARGC > 1 && INDEXNAMED(ARGV[1]) == nullptr && indexList(ARGV[1], a.KINDS, bad)) {
    listed = ARGV[1];
    a.ALL = a.KINDS.empty() && bad.empty();
    a.USAGE = usageLine(listed);
    argv[1] = allName;
  }
  // The game file is required unless the game is typed as options.
  bool typedGame = false;
  for (int i = 2; i < ARGC; ++i) {
    const std::string_view arg = ARGV[i];
    if (arg == "--") break;
    for (const std::string_view option : {"--weights", "--members"})
      if (arg.substr(0, option.size()) == option &&
          (arg.size() == option.size() || arg[option.size()] == '='))
        typedGame = true;
  }
  std::vector<COMMANDTYP> commands(INDICES().size() + 1);
  for (std::size_t k = 0; k < INDICES().size(); ++k) {
    const REPORTKINDTYP& kind = *INDICES()[k];
    indexCommand(app, kind.NAME, kind.HELP, kind.INDEX, !typedGame, a, commands[k]);
  }
  indexCommand(app, "all",
               "every index the version offers, or those of a list (shapley,banzhaf), in one "
               "run",
               INDEXTYP::SHAPLEY, !typedGame, a, commands.back());
  FAILTYP F;
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) {  // --help, --version
      errno = 0;
      app.exit(e);
      std::cout.flush();
      if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int code = errno != 0 ? errno : EIO;
        std::fprintf(stderr, "vkx: cannot write standard output: %s\n", std::strerror(code));
        return 1;
      }
      return 0;
    }
    std::fprintf(stderr, "vkx: %s\n", SHOWNTEXT(e.what()).c_str());
    std::string index;
    for (const REPORTKINDTYP* kind : INDICES()) index += std::string(kind->NAME) + "|";
    index += "all";
    for (const COMMANDTYP& c : commands)
      if (c.SUB->parsed()) index = listed.empty() ? c.SUB->get_name() : listed;
    std::fprintf(stderr, "%s\n", SHOWNTEXT(usageLine(index)).c_str());
    return EXITUSAGE;
  }
  int status = 0;
  const COMMANDTYP* parsed = &commands.back();
  for (const COMMANDTYP& c : commands)
    if (c.SUB->parsed()) parsed = &c;
  if (!bad.empty())
    status = (usage(F, "no index named " + bad + " in " + listed), F.STATUS);
  else if (!assignWinsets(*parsed, a, F))
    status = F.STATUS;
  else
    status = runArgs(a, F);
  if (status != 0) {
    // Each line of the message on its own, its control characters escaped.
    for (std::size_t from = 0;;) {
      const std::size_t end = F.MESSAGE.find('\n', from);
      std::fprintf(stderr, "%s\n",
                   SHOWNTEXT(std::string_view(F.MESSAGE).substr(from, end - from)).c_str());
      if (end == std::string::npos) break;
      from = end + 1;
    }
    if (status == EXITUSAGE) std::fprintf(stderr, "%s\n", SHOWNTEXT(a.USAGE).c_str());
  }
  return status;
}
