#include "api/unions.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "api/players.h"
#include "common/numbers.h"
#include "engines/convert/counting_game.h"
#include "engines/exact/johnston_table.h"

namespace {

using json = nlohmann::ordered_json;

// Counts planned beyond this many CPU seconds are refused unless
// --exhaustive asks for them (as the indices' own runs are).
constexpr double LONGUNIONS = 600;

bool owen(const UNIONRUNTYP& u) { return u.KIND == unions::KIND::OWEN; }

// The subgame and number of player P (game-wide).
std::pair<int, int> placeOf(const GAMETYP& game, int p) { return {game.MEM[p][0], game.MEM[p][1]}; }

int64_t weightOf(const GAMETYP& game, int p) {
  const auto [s, j] = placeOf(game, p);
  return game.GEW[s][j];
}

// The players of each union, in the players' order.
std::vector<std::vector<int>> membersOf(const UNIONRUNTYP& u) {
  std::vector<std::vector<int>> members(static_cast<std::size_t>(u.M));
  for (int p = 1; p <= u.LOADED.GAME.N; ++p)
    members[static_cast<std::size_t>(u.UNIONOF[static_cast<std::size_t>(p)])].push_back(p);
  return members;
}

// A player's columns: OWEN, or BZOWEN and NBZOWEN (normalised to sum 1);
// a union's: SS, or NNBZ and NBZ.
std::vector<const char*> playerTitles(const UNIONRUNTYP& u) {
  if (owen(u)) return {"OWEN"};
  return {"BZOWEN", "NBZOWEN"};
}
std::vector<const char*> unionTitles(const UNIONRUNTYP& u) {
  if (owen(u)) return {"SS"};
  return {"NNBZ", "NBZ"};
}
double sumOf(const std::vector<double>& v, std::size_t from) {
  double s = 0;
  for (std::size_t i = from; i < v.size(); ++i) s += v[i];
  return s;
}
std::vector<double> playerValues(const UNIONRUNTYP& u, int p) {
  const double v = u.VALUES.player[static_cast<std::size_t>(p)];
  if (owen(u)) return {v};
  const double all = sumOf(u.VALUES.player, 1);
  return {v, all == 0 ? 0.0 : v / all};
}
std::vector<double> unionValues(const UNIONRUNTYP& u, int k) {
  const double v = u.VALUES.quotient[static_cast<std::size_t>(k)];
  if (owen(u)) return {v};
  const double all = sumOf(u.VALUES.quotient, 0);
  return {v, all == 0 ? 0.0 : v / all};
}

std::string indexName(const UNIONRUNTYP& u) { return owen(u) ? "owen" : "banzhaf_owen"; }

std::string stamp(const plat::Stamp& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

}  // namespace

bool UNIONSOF(const std::string& TEXT, const LOADEDTYP& L, std::vector<int>& UNIONOF, int& M,
              FAILTYP& F) {
  const int n = L.GAME.N;
  UNIONOF.assign(static_cast<std::size_t>(n) + 1, -1);
  M = 0;
  for (const std::string& group : SPLIT(TEXT, ';')) {
    if (group.empty()) continue;
    for (const std::string& item : SPLIT(group, ',')) {
      int p = 0;
      if (!PLAYERNAMED("--unions", TEXT, item, L, p, F)) return false;
      const int was = UNIONOF[static_cast<std::size_t>(p)];
      if (was >= 0)
        return USAGE(F, "--unions " + TEXT + ": player \"" + item + "\" " +
                            (was == M ? "named twice" : "in two unions"));
      UNIONOF[static_cast<std::size_t>(p)] = M;
    }
    ++M;
  }
  for (int p = 1; p <= n; ++p)
    if (UNIONOF[static_cast<std::size_t>(p)] < 0) UNIONOF[static_cast<std::size_t>(p)] = M++;
  return true;
}

bool UNIONSRUN(const REQUESTTYP& A, UNIONRUNTYP& U, FAILTYP& F) {
  U.KIND = !A.KINDS.empty() && std::string(A.KINDS[0]->NAME) == "banzhaf"
               ? unions::KIND::BANZHAFOWEN
               : unions::KIND::OWEN;
  RUNSETTYP run;
  if (!PREPARERUN(A, run, F)) return false;
  U.LOADED = run.LOADED;
  const GAMETYP& game = U.LOADED.GAME;
  if (run.SWEEP.SYSTEM >= 0) return USAGE(F, "--unions: one quota, not a range");
  if (game.DATASTRUCTURE != DATASTRUCT::WEIGHTED || run.GAMEVERSION == VERSION::SPATIAL)
    return USAGE(F, "--unions: weighted games only, not the spatial version");
  if (A.ESTIMATE > 0) return USAGE(F, "--unions: counted exactly, not estimated");
  if (!RULEOF(A, game, run.GAMEVERSION, run.SWEEP, 0, U.RULE, U.SET, F)) return false;
  if (!UNIONSOF(A.UNIONS, U.LOADED, U.UNIONOF, U.M, F)) return false;
  weightedwalk::Game core;
  if (!WEIGHTEDCORE(game, U.RULE, core))
    return FAIL(F, EXITREFUSED, "...number of players/subgames not allowed");
  core.position = nullptr;
  std::vector<int64_t> weight;
  int64_t q = 0;
  const bool threshold = johnston::ONETHRESHOLD(core, weight, q);
  unions::THRESHOLDTYP t{game.N, weight.data(), q, U.UNIONOF, U.M};
  const COSTTYP cost = threshold ? unions::COST(t, U.KIND) : unions::ENUMERATECOST(U.UNIONOF, U.M);
  const double seconds = cost.SECONDS;
  if (!cost.APPLIES)
    return FAIL(F, EXITREFUSED,
                "...unions: beyond one weighted threshold the coalitions of unions are "
                "enumerated, and these are too many");
  if (seconds > LONGUNIONS && !A.EXHAUSTIVE)
    return FAIL(F, EXITREFUSED,
                std::string("...") + ABOUTTEXT(seconds) +
                    " with these unions; use --exhaustive to count anyway");
  U.TIME1 = plat::now();
  const CONTROLTYP control{nullptr, nullptr, A.STOP};
  const CONTROLSCOPE scope(&control);
  try {
    if (threshold) {
      U.METHOD = "union_functions";
      if (!unions::COUNT(t, U.KIND, U.VALUES))
        return FAIL(F, EXITREFUSED, "...no memory for the unions' generating functions");
    } else {
      U.METHOD = "union_enumeration";
      unions::ENUMERATE(core, U.UNIONOF, U.M, U.KIND, U.VALUES);
    }
  } catch (const COUNTSTOPPED&) {
    return FAIL(F, EXITREFUSED, "...stopped");
  }
  U.TIME2 = plat::now();
  return true;
}

std::string UNIONSREPORT(const UNIONRUNTYP& U) {
  RUNTYP r;
  static_cast<GAMETYP&>(r) = U.LOADED.GAME;
  static_cast<RULETYP&>(r) = U.RULE;
  r.TIME1 = U.TIME1;
  r.TIME2 = U.TIME2;
  std::string text;
  REPORTTYP rep;
  rep.SCREEN = false;
  rep.TEXT = &text;
  REPORTGAME(r, rep);
  REPORTLINE(rep, std::string(owen(U) ? "Owen value" : "Banzhaf-Owen value") + " with " +
                      std::to_string(U.M) + " unions (players not named stand alone)");
  REPORTLINE(rep, "");
  std::string head = "union subgame  player  weight";
  for (const char* t : playerTitles(U)) head += std::string(10 - std::string(t).size(), ' ') + t;
  REPORTLINE(rep, head);
  REPORTLINE(rep, std::string(head.size(), '-'));
  const std::vector<std::vector<int>> members = membersOf(U);
  for (int k = 0; k < U.M; ++k)
    for (const int p : members[static_cast<std::size_t>(k)]) {
      const auto [s, j] = placeOf(U.LOADED.GAME, p);
      std::string line =
          INTSTR(k + 1, 5) + INTSTR(s, 8) + INTSTR(j, 8) + INTSTR(weightOf(U.LOADED.GAME, p), 8);
      for (const double v : playerValues(U, p)) line += FIXSTR(v, 10, 6);
      REPORTLINE(rep, line);
    }
  std::string sums = "sum of all:                  ";
  sums += FIXSTR(sumOf(U.VALUES.player, 1), 10, 6);
  if (!owen(U)) sums += FIXSTR(1.0, 10, 6);
  REPORTLINE(rep, sums);
  REPORTLINE(rep, " ");
  head = "union  members  weight";
  for (const char* t : unionTitles(U)) head += std::string(10 - std::string(t).size(), ' ') + t;
  REPORTLINE(rep, head + "  (the unions as players)");
  REPORTLINE(rep, std::string(head.size(), '-'));
  for (int k = 0; k < U.M; ++k) {
    int64_t w = 0;
    for (const int p : members[static_cast<std::size_t>(k)]) w += weightOf(U.LOADED.GAME, p);
    std::string line =
        INTSTR(k + 1, 5) + INTSTR(static_cast<long long>(members[k].size()), 9) + INTSTR(w, 8);
    for (const double v : unionValues(U, k)) line += FIXSTR(v, 10, 6);
    REPORTLINE(rep, line);
  }
  sums = "sum of all:           ";
  sums += FIXSTR(sumOf(U.VALUES.quotient, 0), 10, 6);
  if (!owen(U)) sums += FIXSTR(1.0, 10, 6);
  REPORTLINE(rep, sums);
  REPORTEND(r, rep, !owen(U));
  return text;
}

std::string UNIONSCSV(const UNIONRUNTYP& U) {
  // Fields are appended one by one: GCC 12 warns of a false overlapping copy
  // (-Wrestrict) for a literal joined to a temporary string.
  std::string text = QUOTATITLES(U.SET);
  auto field = [&](const std::string& f) {
    text += ',';
    text += f;
  };
  text += "union,subgame,player,name,weight";
  for (const char* t : playerTitles(U)) field(t);
  for (const char* t : unionTitles(U)) field(std::string("union_") + t);
  field(indexName(U) + "_method");
  text += '\n';
  for (int p = 1; p <= U.LOADED.GAME.N; ++p) {
    const int k = U.UNIONOF[static_cast<std::size_t>(p)];
    const auto [s, j] = placeOf(U.LOADED.GAME, p);
    text += QUOTAFIELDS(U.SET);
    text += std::to_string(k + 1);
    field(std::to_string(s));
    field(std::to_string(j));
    field(CSVFIELD(p < static_cast<int>(U.LOADED.NAMES.size()) ? U.LOADED.NAMES[p] : ""));
    field(std::to_string(weightOf(U.LOADED.GAME, p)));
    for (const double v : playerValues(U, p)) field(NUMTEXT(v));
    for (const double v : unionValues(U, k)) field(NUMTEXT(v));
    field(U.METHOD);
    text += '\n';
  }
  return text;
}

std::string UNIONSJSON(const UNIONRUNTYP& U) {
  json out = json::object();
  if (U.SET.HASQUOTA) out["quota"] = U.SET.QUOTA;
  out["index"] = indexName(U);
  out["method"] = U.METHOD;
  const GAMETYP& game = U.LOADED.GAME;
  out["game"] = {{"file", game.NAME}, {"players", game.N}, {"subgames", game.MM}};
  json winsets = json::array();
  for (int t = 1; t <= U.RULE.THRES && t <= 10; ++t) {
    json box = json::array();
    for (int d = 1; d <= game.MM; ++d) box.push_back({U.RULE.G[t][d][1], U.RULE.G[t][d][2]});
    winsets.push_back(box);
  }
  out["rule"] = {{"winsets", winsets}};
  json players = json::array();
  for (int p = 1; p <= game.N; ++p) {
    const auto [s, j] = placeOf(game, p);
    json row = {{"union", U.UNIONOF[static_cast<std::size_t>(p)] + 1},
                {"subgame", s},
                {"player", j},
                {"name", p < static_cast<int>(U.LOADED.NAMES.size()) ? U.LOADED.NAMES[p] : ""},
                {"weight", weightOf(game, p)}};
    const std::vector<double> v = playerValues(U, p);
    for (std::size_t c = 0; c < v.size(); ++c) row[playerTitles(U)[c]] = v[c];
    players.push_back(row);
  }
  out["players"] = players;
  json groups = json::array();
  const std::vector<std::vector<int>> members = membersOf(U);
  for (int k = 0; k < U.M; ++k) {
    json names = json::array();
    int64_t w = 0;
    for (const int p : members[static_cast<std::size_t>(k)]) {
      names.push_back(PLAYERLABEL(U.LOADED, p));
      w += weightOf(game, p);
    }
    json row = {{"union", k + 1}, {"members", names}, {"weight", w}};
    const std::vector<double> v = unionValues(U, k);
    for (std::size_t c = 0; c < v.size(); ++c) row[unionTitles(U)[c]] = v[c];
    groups.push_back(row);
  }
  out["unions"] = groups;
  out["time1"] = stamp(U.TIME1);
  out["time2"] = stamp(U.TIME2);
  return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}
