#include "api/vkx.h"

#include <cerrno>
#include <fstream>
#include <sstream>

#include "api/output.h"
#include "api/plan.h"
#include "api/plot.h"
#include "api/run.h"
#include "common/numbers.h"
#include "data/names.h"
#include "report/indices.h"

namespace vkx {

// The run behind a result, from which its texts are written on demand.
struct State {
  RUNSETTYP RUN;
};

namespace {

[[noreturn]] void fail(const FAILTYP& F) { throw Error(F.MESSAGE, F.STATUS, F.REFUSED); }

[[noreturn]] void usage(const std::string& message) {
  FAILTYP F;
  USAGE(F, message);
  fail(F);
}

std::string joined(const std::vector<std::string>& items, char sep) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += sep;
    text += items[i];
  }
  return text;
}

// The typed list of one subgame's numbers for OPTION: each item whole, as
// the command line reads it there, but never one that would split the list
// or name a player ("3,4", "A:3"), which the command line's reading of the
// joined list would take apart.
std::string listOf(const std::vector<std::string>& items, const char* option) {
  for (const std::string& item : items)
    if (item.find_first_of(",:/") != std::string::npos)
      usage("no whole number '" + item + "' in " + option);
  return joined(items, ',');
}

// The request of the command line that runs GAME under RULE.
REQUESTTYP requestOf(const Game& game, const Rule& rule, const std::vector<std::string>& indices,
                     const Options& options) {
  REQUESTTYP a;
  std::vector<std::string> bad;
  for (const std::string& name : indices) {
    if (name == "all") {
      a.ALL = true;
    } else if (const REPORTKINDTYP* kind = INDEXNAMED(name)) {
      a.KINDS.push_back(kind);
    } else {
      bad.push_back(name);
    }
  }
  if (!bad.empty()) usage("no index named \"" + bad[0] + "\" in " + joined(indices, ','));
  if (a.KINDS.empty()) a.ALL = true;
  // The game.
  a.GAME = game.file;
  if (game.text) {
    a.GAMETEXT = *game.text;
  } else {
    for (const std::vector<std::string>& subgame : game.weights)
      a.WEIGHTS.push_back(listOf(subgame, "--weights"));
    if (!game.members.empty()) a.MEMBERS = listOf(game.members, "--members");
  }
  if (game.systems.size() >= MAXSYSTEMS)
    usage("--system: at most " + std::to_string(MAXSYSTEMS - 1) + " further vote systems");
  for (const Game& system : game.systems) {
    if (!system.file.empty()) {
      a.SYSTEMS.push_back({system.file, false});
      continue;
    }
    std::vector<std::string> lists;
    for (const std::vector<std::string>& subgame : system.weights)
      lists.push_back(listOf(subgame, "--weights"));
    if (lists.empty()) usage("--system-weights: no weights given");
    a.SYSTEMS.push_back({joined(lists, '/'), true});
  }
  // The rule.
  for (const std::vector<std::string>& winset : rule.winsets)
    a.WINSETS[0].push_back(joined(winset, ','));
  if (rule.systems.size() > game.systems.size())
    usage("--winset: win sets of " + std::to_string(rule.systems.size()) +
          " further vote systems for " + std::to_string(game.systems.size()));
  for (std::size_t k = 0; k < rule.systems.size(); ++k)
    for (const std::vector<std::string>& winset : rule.systems[k])
      a.WINSETS[k + 1].push_back(joined(winset, ','));
  if (rule.combine != "and" && rule.combine != "or")
    usage("--overall-rule: " + rule.combine + " not in {and,or}");
  if (rule.unit != "members" && rule.unit != "votes")
    usage("--overall-unit: " + rule.unit + " not in {members,votes}");
  if (game.systems.empty()) {
    if (rule.combine != "and") usage("--overall-rule requires --system");
    if (rule.unit != "members") usage("--overall-unit requires --system");
    if (!rule.blocking.empty()) usage("--blocking requires --system");
  }
  a.OVERALL = rule.overall;
  a.RULE = rule.combine;
  a.UNIT = rule.unit;
  a.BLOCKING = rule.blocking;
  a.ISA = rule.isa;
  a.WORKINGPLAN = rule.working_plan;
  a.POSITIONS = rule.positions;
  // How to count.
  if (options.estimate != 0 && !(options.estimate > 0 && options.estimate < 1))
    usage("--estimate " + NUMTEXT(options.estimate) +
          ": the standard error is a number between 0 and 1");
  a.ESTIMATE = options.estimate;
  if (!options.memory.empty()) {
    uint64_t bytes = 0;
    if (!PARSESIZE(options.memory, bytes) || bytes == 0)
      usage("--memory " + options.memory + ": not a size (4G, 512M, 100000K)");
    a.BUDGET = static_cast<std::size_t>(bytes);
  }
  a.EXHAUSTIVE = options.exhaustive;
  a.STOP = options.stop;
  return a;
}

void progressOf(void* data, double fraction, double seconds, const char* method) {
  (*static_cast<const std::function<void(double, double, const std::string&)>*>(data))(
      fraction, seconds, method ? method : "");
}

// Loads and checks the game and the rule, the names given in place of the
// data file's.
void prepare(const Game& game, REQUESTTYP& a, RUNSETTYP& run) {
  FAILTYP F;
  if (!PREPARERUN(a, run, F)) fail(F);
  if (game.names.empty()) return;
  LOADEDTYP& L = run.LOADED;
  if (L.GAME.DATASTRUCTURE != DATASTRUCT::WEIGHTED)
    usage("names: the players of unweighted chambers have none");
  if (game.names.size() != L.GAME.N)
    usage(std::to_string(game.names.size()) + " names for " + std::to_string(L.GAME.N) +
          " players");
  L.NAMES.assign(1, "");
  L.NAMES.insert(L.NAMES.end(), game.names.begin(), game.names.end());
}

std::vector<Cell> cellsOf(const std::vector<CSVCELLTYP>& row) {
  std::vector<Cell> cells;
  cells.reserve(row.size());
  for (const CSVCELLTYP& c : row) cells.push_back({c.TEXT, c.VALUE});
  return cells;
}

}  // namespace

Game Game::weighted(const std::vector<int64_t>& weights, std::vector<std::string> names) {
  Game game;
  game.weights.emplace_back();
  for (const int64_t w : weights) game.weights[0].push_back(std::to_string(w));
  game.names = std::move(names);
  return game;
}

Game Game::chambers(const std::vector<int64_t>& sizes) {
  Game game;
  for (const int64_t n : sizes) game.members.push_back(std::to_string(n));
  return game;
}

Rule Rule::quota(const std::string& threshold) {
  Rule rule;
  rule.winsets.push_back({threshold});
  return rule;
}

Result run(const Game& game, const Rule& rule, const std::vector<std::string>& indices,
           const Options& options) {
  REQUESTTYP a = requestOf(game, rule, indices, options);
  if (options.progress) {
    a.PROGRESS = progressOf;
    a.PROGRESSDATA = const_cast<void*>(static_cast<const void*>(&options.progress));
  }
  auto state = std::make_shared<State>();
  RUNSETTYP& r = state->RUN;
  prepare(game, a, r);
  FAILTYP F;
  if (!PLANRUN(a, r, F) || !COUNTRUN(a, r, F)) fail(F);
  Result result;
  const CSVTABLETYP table = CSVTABLE(r.SETS, true);
  result.columns = table.COLUMNS;
  for (std::size_t i = 0; i < table.ROWS.size(); ++i)
    (table.TOTAL[i] ? result.totals : result.rows).push_back(cellsOf(table.ROWS[i]));
  if (!r.SETS.empty())
    for (const CLIRUNTYP& one : r.SETS[0].RUNS) {
      result.indices.push_back(one.KIND->NAME);
      result.methods.push_back(one.METHOD);
    }
  result.sweep = r.SWEEP.SYSTEM >= 0;
  result.notes = r.PLAN.NOTES;
  result.state = std::move(state);
  return result;
}

Plan plan(const Game& game, const Rule& rule, const std::vector<std::string>& indices,
          const Options& options) {
  REQUESTTYP a = requestOf(game, rule, indices, options);
  RUNSETTYP r;
  prepare(game, a, r);
  FAILTYP F;
  if (!PLANRUN(a, r, F) && !r.PLAN.REFUSED) fail(F);
  Plan p;
  p.refused = r.PLAN.REFUSED;
  p.reason = r.PLAN.REASON;
  p.seconds = r.PLAN.SECONDS;
  p.bytes = r.PLAN.BYTES;
  p.text = PLANTEXT(r);
  p.json = PLANJSON(r);
  return p;
}

std::vector<std::vector<Cell>> Result::table(bool totals) const {
  std::vector<std::vector<Cell>> rows;
  if (!state) return rows;
  for (const std::vector<CSVCELLTYP>& row : CSVTABLE(state->RUN.SETS, totals).ROWS)
    rows.push_back(cellsOf(row));
  return rows;
}

std::string Result::csv(bool totals) const { return state ? CSVTEXT(state->RUN.SETS, totals) : ""; }
std::string Result::json() const { return state ? JSONTEXT(state->RUN.SETS, sweep) : ""; }
std::string Result::report() const { return state ? REPORTTEXT(state->RUN.SETS) : ""; }
std::string Result::svg() const { return state ? PLOTSVG(state->RUN.SETS, sweep) : ""; }
std::string Result::plan() const { return state ? PLANJSON(state->RUN) : ""; }

Game load(const std::string& path) {
  Game game;
  game.file = path;
  REQUESTTYP a;
  a.GAME = path;
  // A data file is read once, here: its text goes with the game. As on the
  // command line, NAME.inp first, else the file as typed.
  const std::string name = DATANAME(path);
  std::vector<std::string> lines;
  const int code = path == "-" ? ENOENT : FILELINES(name, lines);
  if (code == 0) {
    game.text = joined(lines, '\n') + "\n";
  } else if (code == ENOENT && path != "-" && path != name + ".inp") {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    if (in && bytes << in.rdbuf()) game.text = bytes.str();
  }
  a.GAMETEXT = game.text;
  LOADEDTYP L;
  FAILTYP F;
  if (!LOADGAME(a, VERSION::STANDARD, L, F)) fail(F);
  // Standard input or a pipe, read now, is kept as the weights it held.
  if (!game.text) game.file.clear();
  const GAMETYP& g = L.GAME;
  if (g.DATASTRUCTURE != DATASTRUCT::WEIGHTED) {
    for (int s = 1; s <= g.MM; ++s) game.members.push_back(std::to_string(g.NN[s]));
    return game;
  }
  for (int s = 1; s <= g.MM; ++s) {
    game.weights.emplace_back();
    for (int p = 1; p <= g.NN[s]; ++p) game.weights.back().push_back(std::to_string(g.GEW[s][p]));
  }
  bool named = false;
  for (const std::string& name : L.NAMES) named = named || !name.empty();
  if (named) game.names.assign(L.NAMES.begin() + 1, L.NAMES.end());
  return game;
}

std::vector<std::string> index_names() {
  std::vector<std::string> names;
  for (const REPORTKINDTYP* kind : INDICES()) names.push_back(kind->NAME);
  return names;
}

}  // namespace vkx
