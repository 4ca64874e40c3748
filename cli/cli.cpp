#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/output.h"
#include "data/gamefile.h"
#include "data/names.h"
#include "data/settings.h"
#include "data/winsets.h"
#include "engines/compute.h"
#include "engines/wsystems.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/streams.h"
#include "report/banzhaf.h"
#include "report/coleman.h"
#include "report/indices.h"
#include "report/publicgood.h"
#include "report/report.h"
#include "report/shapley.h"

namespace {

constexpr int EXITUSAGE = 2;
constexpr int EXITREFUSED = 3;

const char* const VERSIONTEXT = "vkx 2.0 (VKX 2.0 - Verkanix V2.0 R5/05)";

// What the arguments of one run say, as typed.
struct ARGSTYP {
  INDEXTYP INDEX = INDEXTYP::SHAPLEY;
  bool COLEMAN = false;  // banzhaf's counts as Coleman's two powers
  std::string USAGE;     // the usage line of the index
  std::string GAME;
  // The --winset texts of each vote system: those before the first
  // --system belong to the primary game, those after the k-th to system k.
  std::vector<std::string> WINSETS[MAXSYSTEMS];
  std::vector<std::string> SYSTEMS;
  std::string OVERALL, RULE = "and", UNIT = "members", BLOCKING, ISA, POSITIONS;
  std::string FORMAT = "report", OUTPUT;
  bool WORKINGPLAN = false, FILES = false;
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

// The win sets TEXTS of a vote system with the weights GEW: thresholds into
// M[subgame][win set], boxes into G, with the checks of the win-set dialogue.
bool winSets(const std::vector<std::string>& texts, const GAMETYP& game, const GEWTYP& gew,
             int32_t& thres, GEWTYP& m, GTYP& g, FAILTYP& F) {
  thres = static_cast<int32_t>(texts.size());
  if (!WINSETCOUNTOK(thres)) return usage(F, THRESNUMBERMSG);
  std::vector<int32_t> values;
  for (int w = 1; w <= thres; ++w) {
    const std::string& text = texts[static_cast<std::size_t>(w - 1)];
    if (!numberList("--winset", text, values, F)) return false;
    if (values.size() != game.MM)
      return usage(F, "--winset " + text + ": " + std::to_string(values.size()) +
                          " thresholds for " + std::to_string(game.MM) +
                          (game.MM == 1 ? " subgame" : " subgames"));
    for (int d = 1; d <= game.MM; ++d) g[w][d][1] = values[static_cast<std::size_t>(d - 1)];
    if (!WINSETCOMPLETE(w, m, g, CODEOF(game.DATASTRUCTURE), game.MM, game.NN, gew))
      return usage(F, THRESMSG);
  }
  return true;
}

bool typos(const std::string& file, const DATAWARNINGS& warn, FAILTYP& F);

// The further vote systems of the multiple-weights version: each data file
// must be a weighted game of the primary game's shape, with as many win sets.
bool voteSystems(const ARGSTYP& a, GAMETYP& game, RULETYP& rule, FAILTYP& F) {
  game.VS = static_cast<int32_t>(a.SYSTEMS.size()) + 1;
  for (int k = 1; k < game.VS; ++k) {
    game.NAME1 = dataName(a.SYSTEMS[static_cast<std::size_t>(k - 1)]);
    GAMETYP system;
    int32_t flag = 0, datastructure = 0;
    DATAWARNINGS warn;
    DATALOAD(game.NAME1, datastructure, system.N, system.MM, system.NN, system.GEW, system.MEM,
             flag, &warn);
    if (flag != 0 || !wrun::SYSTEMFITS(game, datastructure, system.N, system.MM, system.NN))
      return fail(F, EXITREFUSED, "...system error on loading " + game.NAME1 + ".inp");
    if (!typos(game.NAME1 + ".inp", warn, F)) return false;
    if (a.WINSETS[k].size() != a.WINSETS[0].size())
      return usage(F, "...unequal numbers of thresholds");
    int32_t thres = 0;
    GTYP g{};
    if (!winSets(a.WINSETS[k], game, system.GEW, thres, rule.MX[k], g, F)) return false;
    game.GEWX[k] = system.GEW;
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
    // The public good dialogue lowers an overall threshold above the number
    // of players to it.
    if (a.INDEX == INDEXTYP::PUBLICGOOD && rule.T1 > game.N) rule.T1 = game.N;
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

// The game and the rule of a run, loaded and checked as the dialogue
// checks them.
bool gameAndRule(const ARGSTYP& a, GAMETYP& game, RULETYP& rule, FAILTYP& F) {
  const std::string name = dataName(a.GAME);
  DATAWARNINGS warn;
  if (GAMELOAD(name, game, &warn) != 0)
    return fail(F, EXITREFUSED, "...system error on loading " + name + ".inp");
  if (!typos(name + ".inp", warn, F)) return false;
  if (!GAMESIZEOK(game)) return fail(F, EXITREFUSED, "...number of players/subgames not allowed");
  rule.GAME = versionOf(a);
  if (!HASENGINE(a.INDEX, game.DATASTRUCTURE, rule.GAME))
    return fail(F, EXITREFUSED, "...error on input file format");
  if (!winSets(a.WINSETS[0], game, game.GEW, rule.THRES, rule.M, rule.G, F)) return false;
  if (!ruleOptions(a, game, rule, F)) return false;
  if (rule.GAME == VERSION::MULTIPLE && !voteSystems(a, game, rule, F)) return false;
  if (rule.GAME == VERSION::SPATIAL) {
    game.NAME1 = dataName(a.POSITIONS);
    int32_t flag = 0;
    POSITIONLOAD(game.NAME1, game.NTHEME, game.N, game.POSITION, flag);
    if (flag != 0) return fail(F, EXITREFUSED, "...system error on loading " + game.NAME1);
  }
  return true;
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

// Runs the engine of the index, with the progress hooks when standard
// error is a terminal, and makes the run the outputs read.
bool compute(const ARGSTYP& a, const GAMETYP& game, const RULETYP& rule, CLIRUNTYP& run,
             FAILTYP& F) {
  PROGRESSTYP progress;
  wcore::Visitor visitor;
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
  const plat::Stamp time1 = plat::now();
  STATUSTYP status = STATUSTYP::DONE;
  if (a.INDEX == INDEXTYP::SHAPLEY) {
    const SHAPLEYRES res = SHAPLEY(game, rule, hooks);
    status = res.STATUS;
    run.R = RUNOF(game, rule, res, time1, plat::now());
    run.KIND = &SHAPLEYKIND();
  } else if (a.INDEX == INDEXTYP::BANZHAF) {
    const BANZHAFRES res = BANZHAF(game, rule, hooks);
    status = res.STATUS;
    run.R = RUNOF(game, rule, res, time1, plat::now());
    run.KIND = &BANZHAFKIND();
    if (a.COLEMAN) {
      if (status == STATUSTYP::DONE && !COLEMANFITS(run.R))
        return fail(F, EXITREFUSED, "...coleman: weighted data of the standard version only");
      run.KIND = &COLEMANKIND();
    }
  } else {
    const PUBLICGOODRES res = PUBLICGOOD(game, rule, hooks);
    status = res.STATUS;
    run.R = RUNOF(game, rule, res, time1, plat::now());
    run.KIND = &PUBLICGOODKIND();
  }
  progress.clear();
  if (status == STATUSTYP::NOENGINE) return fail(F, EXITREFUSED, "...error on input file format");
  if (status != STATUSTYP::DONE)
    return fail(F, EXITREFUSED, "...number of players/subgames not allowed");
  for (const std::string& s : a.SYSTEMS) run.SYSTEMS.push_back(dataName(s));
  run.NAMES = NAMESLOAD(game.NAME, game);
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
  plat::TextOut file[3];
  std::string path[3];
  bool created[3] = {};
  bool open[3] = {};
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
    for (int i = 0; i < 3; ++i) {
      if (!open[i]) continue;
      file[i].rollback();  // a file this run created is removed again
      open[i] = false;
    }
  }
  bool close() {
    for (int i = 0; i < 3; ++i) {
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

bool writeOutputs(const ARGSTYP& a, const CLIRUNTYP& run, const SETTINGSTYP& S,
                  const std::string& text, FAILTYP& F) {
  FILESTYP files;
  if (!a.OUTPUT.empty() && !files.write(0, a.OUTPUT, text, "", true))
    return fail(F, EXITREFUSED, files.error);
  if (a.FILES) {
    const REPORTKINDTYP& kind = *run.KIND;
    const std::string base = S.OUTPUTFILE ? run.R.NAME : S.NAMEOUT;
    if (!files.write(1, base + ".out", REPORTSTRING(run.R, kind.PIVOTS, kind.TEXT),
                     REPORTHEADER(run.R), false))
      return fail(F, EXITREFUSED, files.error);
    if (S.OUTPUTTAB == 1 &&
        !files.write(2, base + ".ouu", REPORTSTRING(run.R, kind.PIVOTS, kind.BLOCK, S.PREC), "",
                     false))
      return fail(F, EXITREFUSED, files.error);
  }
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

// The text of the chosen format.
std::string outputText(const ARGSTYP& a, const CLIRUNTYP& run) {
  if (a.FORMAT == "csv") return CSVTEXT(run);
  if (a.FORMAT == "json") return JSONTEXT(run);
  return REPORTSTRING(run.R, run.KIND->PIVOTS, run.KIND->TEXT);
}

int runArgs(const ARGSTYP& a, FAILTYP& F) {
  SETTINGSTYP S;
  S.VKXPATH = DEFAULTPATH;
  INIDATA(S);
  GAMETYP game;
  RULETYP rule;
  CLIRUNTYP run;
  if (!gameAndRule(a, game, rule, F) || !compute(a, game, rule, run, F)) return F.STATUS;
  if (!writeOutputs(a, run, S, outputText(a, run), F)) return F.STATUS;
  return 0;
}

// The options of one index; SHAPLEY and BANZHAF take the rule of the
// multiple-weights version, SHAPLEY alone the spatial and working-plan
// versions, and neither count-vector version is offered for the public good.
CLI::App* indexCommand(CLI::App& app, const char* name, const char* title, INDEXTYP index,
                       ARGSTYP& a, std::vector<std::string>& winsets,
                       std::vector<std::string>& systems, CLI::Option*& winsetOpt,
                       CLI::Option*& systemOpt) {
  CLI::App* sub = app.add_subcommand(name, title);
  sub->callback([&a, index, name] {
    a.INDEX = index;
    a.USAGE = usageLine(name);
  });
  sub->add_option("GAME", a.GAME, "the data file, with or without .inp")
      ->required()
      ->type_name("FILE");
  winsetOpt = sub->add_option("--winset", winsets,
                              "one win set: a threshold per subgame, comma-separated; repeat "
                              "for up to 10 win sets (after --system: that system's win sets)")
                  ->required()
                  ->expected(1)
                  ->take_all()
                  ->type_name("T[,T...]");
  sub->add_option("--overall", a.OVERALL,
                  index == INDEXTYP::PUBLICGOOD
                      ? "overall threshold: a least number of players (weighted data)"
                      : "overall threshold (weighted data), 0..65535")
      ->type_name("N");
  systemOpt = sub->add_option("--system", systems,
                              "a further vote system: a data file of the same players "
                              "(multiple weights, up to 3 times); the --winset options after "
                              "it are its win sets")
                  ->expected(1)
                  ->take_all()
                  ->type_name("FILE");
  CLI::Option* isa = nullptr;
  if (index != INDEXTYP::PUBLICGOOD) {
    sub->add_option("--overall-rule", a.RULE,
                    "multiple weights: a coalition below the overall threshold loses (and), "
                    "or one reaching it wins (or)")
        ->type_name("and|or")
        ->check(CLI::IsMember({"and", "or"}))
        ->needs(systemOpt);
    sub->add_option("--overall-unit", a.UNIT,
                    "multiple weights: the overall threshold counts members or first-system "
                    "votes")
        ->type_name("members|votes")
        ->check(CLI::IsMember({"members", "votes"}))
        ->needs(systemOpt);
    sub->add_option("--blocking", a.BLOCKING,
                    "multiple weights: a coalition loses when the players outside it hold more "
                    "than this in the second vote system, even without the smallest of them")
        ->type_name("T")
        ->needs(systemOpt);
    isa = sub->add_option("--isa", a.ISA,
                          "unweighted chambers, count-vector version: overall thresholds T1 and "
                          "T2 over the first A1 and A2 chambers")
              ->type_name("T1,A1,T2,A2")
              ->excludes(systemOpt);
  }
  if (index == INDEXTYP::SHAPLEY) {
    sub->add_flag("--working-plan", a.WORKINGPLAN,
                  "the count-vector version for working plans: T1 binds win set 1 only, T2 "
                  "win set 2 only")
        ->excludes(systemOpt);
    sub->add_option("--positions", a.POSITIONS,
                    "spatial version: coalitions weighted by the similarity of the positions "
                    "in this file (.pos)")
        ->type_name("FILE")
        ->excludes(systemOpt)
        ->excludes(isa)
        ->excludes("--working-plan");
  }
  sub->add_option("--format", a.FORMAT, "report (the .out text, the default), csv or json")
      ->type_name("report|csv|json")
      ->check(CLI::IsMember({"report", "csv", "json"}));
  sub->add_option("--output", a.OUTPUT, "write to this file instead of standard output")
      ->type_name("FILE");
  sub->add_flag("--files", a.FILES,
                "also append the report to GAME.out (and the number block to GAME.ouu when "
                "vkx.ini says outputtab=1), as the menu command does");
  sub->footer(std::string("Example:\n  vkx ") + name + " council --winset 255 --format csv");
  return sub;
}

// The --winset and --system values in the order typed: each --system opens
// the win sets of the next vote system.
bool assignWinsets(const CLI::App& sub, const CLI::Option* winsetOpt, const CLI::Option* systemOpt,
                   const std::vector<std::string>& winsets, const std::vector<std::string>& systems,
                   ARGSTYP& a, FAILTYP& F) {
  if (systems.size() >= MAXSYSTEMS)
    return usage(F,
                 "--system: at most " + std::to_string(MAXSYSTEMS - 1) + " further vote systems");
  std::size_t w = 0, k = 0;
  for (const CLI::Option* o : sub.parse_order()) {
    if (o == systemOpt) a.SYSTEMS.push_back(systems[k++]);
    if (o == winsetOpt && w < winsets.size()) a.WINSETS[k].push_back(winsets[w++]);
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
  return INDEXNAMED(first) != nullptr || first == "--help" || first == "-h" || first == "--version";
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
      "Run vkx INDEX --help for the options of an index; man vkx for the whole manual.");
  ARGSTYP a;
  std::vector<std::string> winsets[4], systems[4];
  CLI::Option* winsetOpt[4] = {};
  CLI::Option* systemOpt[4] = {};
  CLI::App* subs[4] = {
      indexCommand(app, "shapley", "Shapley-Shubik and inclusiveness indices", INDEXTYP::SHAPLEY, a,
                   winsets[0], systems[0], winsetOpt[0], systemOpt[0]),
      indexCommand(app, "banzhaf", "Banzhaf index, not normalised and normalised",
                   INDEXTYP::BANZHAF, a, winsets[1], systems[1], winsetOpt[1], systemOpt[1]),
      indexCommand(app, "publicgood", "public good index, MBP and Deegan-Packel index",
                   INDEXTYP::PUBLICGOOD, a, winsets[2], systems[2], winsetOpt[2], systemOpt[2]),
      indexCommand(app, "coleman",
                   "Coleman's power to prevent and to initiate action (weighted, standard)",
                   INDEXTYP::BANZHAF, a, winsets[3], systems[3], winsetOpt[3], systemOpt[3]),
  };
  subs[3]->parse_complete_callback([&a] { a.COLEMAN = true; });
  FAILTYP F;
  try {
    app.parse(ARGC, ARGV);
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
    std::string index = "shapley|banzhaf|publicgood|coleman";
    for (const CLI::App* sub : subs)
      if (sub->parsed()) index = sub->get_name();
    std::fprintf(stderr, "%s\n", usageLine(index).c_str());
    return EXITUSAGE;
  }
  const int i = a.COLEMAN ? 3 : static_cast<int>(a.INDEX);
  int status = 0;
  if (!assignWinsets(*subs[i], winsetOpt[i], systemOpt[i], winsets[i], systems[i], a, F))
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
    if (status == EXITUSAGE) std::fprintf(stderr, "%s\n", a.USAGE.c_str());
  }
  return status;
}
