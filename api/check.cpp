#include "api/check.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "api/players.h"
#include "common/numbers.h"
#include "engines/convert/counting_game.h"
#include "engines/walk/coalition.h"

namespace {

using json = nlohmann::ordered_json;

// The smallest set of absent players whose joining makes the coalition of
// TALLY win: sets of r = 1, 2, ... players tried in turn, each depth first
// over the absent players by falling primary weight, a branch given up as
// soon as even the r heaviest players left in every subgame and system
// (and in members or votes overall) could not make it win. The first set
// found at the least r is the answer (the heaviest such, by the order).
// Negative weights defeat the bound: every set is then tried.
class JOINSEARCH {
 public:
  JOINSEARCH(const weightedwalk::Game& core, const weightedwalk::Rule& rule,
             weightedwalk::Tally& tally, std::vector<int> absent)
      : g_(core), r_(rule), t_(tally), absent_(std::move(absent)) {
    std::stable_sort(absent_.begin(), absent_.end(),
                     [&](int a, int b) { return g_.w[0][a] > g_.w[0][b]; });
    for (int k = 0; k < g_.vs; ++k)
      for (int p = 1; p <= g_.n; ++p) monotone_ = monotone_ && g_.w[k][p] >= 0;
  }

  // False when no set wins (or the search stopped: STOPPED).
  bool FIND(std::vector<int>& join) {
    for (int r = 1; r <= static_cast<int>(absent_.size()) && !stopped_; ++r)
      if (deeper(0, r)) {
        join = chosen_;
        return true;
      }
    return false;
  }
  bool STOPPED() const { return stopped_; }

 private:
  // The sum of the R largest weights of system K among ABSENT[FROM..] in
  // subgame S (0: every subgame).
  int64_t top(std::size_t from, int r, int k, int s) const {
    std::vector<int64_t> w;
    for (std::size_t i = from; i < absent_.size(); ++i)
      if (s == 0 || g_.sub[absent_[i]] == s) w.push_back(g_.w[k][absent_[i]]);
    const std::size_t take = std::min(w.size(), static_cast<std::size_t>(r));
    std::partial_sort(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(take), w.end(),
                      std::greater<>());
    int64_t sum = 0;
    for (std::size_t i = 0; i < take; ++i) sum += w[i];
    return sum;
  }

  // Whether R more of ABSENT[FROM..] could make the coalition win.
  bool possible(std::size_t from, int r) const {
    if (!monotone_) return true;
    const bool members = g_.overt == 0;
    const int64_t measure =
        members ? t_.MEMBERS() + std::min<int64_t>(r, static_cast<int64_t>(absent_.size() - from))
                : t_.VOTES() + top(from, r, 0, 0);
    const bool overallMet = measure >= g_.t1;
    if (g_.overall == 2 && overallMet) return true;
    if (g_.overall == 1 && !overallMet) return false;
    std::vector<int64_t> reach(static_cast<std::size_t>(g_.vs * g_.mm));
    for (int k = 0; k < g_.vs; ++k)
      for (int s = 1; s <= g_.mm; ++s)
        reach[static_cast<std::size_t>((s - 1) * g_.vs + k)] = t_.SUM(s, k) + top(from, r, k, s);
    return r_.MEETS(reach.data());
  }

  bool deeper(std::size_t from, int r) {
    if (r == 0) return t_.WINS();
    if (++nodes_ > CHECKSEARCHMAX) stopped_ = true;
    if (stopped_ || !possible(from, r)) return false;
    for (std::size_t i = from; i + static_cast<std::size_t>(r) <= absent_.size(); ++i) {
      t_.JOIN(absent_[i]);
      chosen_.push_back(absent_[i]);
      if (deeper(i + 1, r - 1)) return true;
      chosen_.pop_back();
      t_.LEAVE(absent_[i]);
      if (stopped_) return false;
    }
    return false;
  }

  const weightedwalk::Game& g_;
  const weightedwalk::Rule& r_;
  weightedwalk::Tally& t_;
  std::vector<int> absent_, chosen_;
  bool monotone_ = true, stopped_ = false;
  double nodes_ = 0;
};

std::vector<std::string> labels(const CHECKTYP& c, const std::vector<int>& players) {
  std::vector<std::string> out;
  for (const int p : players) out.push_back(PLAYERLABEL(c.LOADED, p));
  return out;
}

std::string joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& i : items) {
    if (!text.empty()) text += ", ";
    text += i;
  }
  return text;
}

}  // namespace

bool CHECKRUN(const REQUESTTYP& A, const std::string& YES, CHECKTYP& C, FAILTYP& F) {
  RUNSETTYP run;
  if (!LOADGAME(A, VERSIONOF(A), run.LOADED, F) || !FINDSWEEP(A, run.LOADED.GAME, run.SWEEP, F))
    return false;
  C.LOADED = run.LOADED;
  const GAMETYP& game = C.LOADED.GAME;
  const VERSION version = VERSIONOF(A);
  if (game.DATASTRUCTURE != DATASTRUCT::WEIGHTED ||
      (version != VERSION::STANDARD && version != VERSION::MULTIPLE))
    return USAGE(F, "check: weighted games of the standard or multiple-weights version only");
  if (run.SWEEP.SYSTEM >= 0) return USAGE(F, "check: one quota, not a range");
  if (!RULEOF(A, game, version, run.SWEEP, 0, C.RULE, C.SET, F)) return false;
  if (!YES.empty() && !PLAYERLIST("--yes", YES, C.LOADED, C.YES, F)) return false;
  weightedwalk::Game core;
  if (!WEIGHTEDCORE(game, C.RULE, core) || !weightedwalk::FITS(core))
    return FAIL(F, EXITREFUSED, "...number of players/subgames not allowed");
  CHECKCOALITION(core, C);
  return true;
}

void CHECKCOALITION(const weightedwalk::Game& core, CHECKTYP& C) {
  const weightedwalk::Rule rule(core);
  weightedwalk::Tally t(rule);
  for (const int p : C.YES) t.JOIN(p);
  C.WINS = t.WINS();
  for (int w = 1; w <= core.thres; ++w)
    for (int k = 0; k < core.vs; ++k)
      for (int s = 1; s <= core.mm; ++s) {
        CHECKTYP::LINE line{w, k + 1, s, t.SUM(s, k), core.m[k][w][s], false};
        line.REACHED = line.TOTAL >= line.QUOTA;
        C.THRESHOLDS.push_back(line);
      }
  C.OVERALL = (core.overall == 1 || core.overall == 2) && core.t1 > 0;
  if (C.OVERALL) {
    C.OVERALLRULE = core.overall == 2 ? "or" : "and";
    C.OVERALLUNIT = core.overt == 1 ? "votes" : "members";
    C.OVERALLTOTAL = core.overt == 1 ? t.VOTES() : t.MEMBERS();
    C.OVERALLQUOTA = core.t1;
  }
  C.BLOCKING = core.block;
  if (C.BLOCKING) {
    int64_t least = INT64_MAX;
    for (int p = 1; p <= core.n; ++p)
      if (!t.HAS(p)) {
        C.OUTSIDE += core.w[1][p];
        least = std::min(least, core.w[1][p]);
      }
    if (least != INT64_MAX) C.OUTSIDE -= std::min(C.OUTSIDE, least);
    C.BLOCKTHRESHOLD = core.blockThres;
    C.BLOCKED = t.BLOCKED();
  }
  if (C.WINS) {
    for (const int p : C.YES) {
      t.LEAVE(p);
      if (!t.WINS()) C.CRITICAL.push_back(p);
      t.JOIN(p);
    }
    return;
  }
  std::vector<int> absent;
  for (int p = 1; p <= core.n; ++p)
    if (!t.HAS(p)) absent.push_back(p);
  JOINSEARCH search(core, rule, t, absent);
  if (search.FIND(C.JOIN)) return;
  if (!search.STOPPED()) {
    C.JOINABLE = false;
    return;
  }
  // The search stopped at its limit: the heaviest absent players, one by
  // one, until the coalition wins.
  C.SMALLEST = false;
  weightedwalk::Tally greedy(rule);
  for (const int p : C.YES) greedy.JOIN(p);
  std::stable_sort(absent.begin(), absent.end(),
                   [&](int a, int b) { return core.w[0][a] > core.w[0][b]; });
  for (const int p : absent) {
    if (greedy.WINS()) break;
    greedy.JOIN(p);
    C.JOIN.push_back(p);
  }
  C.JOINABLE = greedy.WINS();
  if (!C.JOINABLE) C.JOIN.clear();
}

std::string CHECKREPORT(const CHECKTYP& C) {
  RUNTYP r;
  static_cast<GAMETYP&>(r) = C.LOADED.GAME;
  static_cast<RULETYP&>(r) = C.RULE;
  std::string text;
  REPORTTYP rep;
  rep.SCREEN = false;
  rep.TEXT = &text;
  REPORTGAME(r, rep);
  REPORTLINE(rep,
             "coalition: " + (C.YES.empty() ? std::string("(empty)") : joined(labels(C, C.YES))) +
                 " (" + std::to_string(C.YES.size()) + " of " + std::to_string(C.LOADED.GAME.N) +
                 " players)");
  REPORTLINE(rep, "");
  const std::string head = "win set  system  subgame           total           quota";
  REPORTLINE(rep, head);
  REPORTLINE(rep, std::string(head.size(), '-'));
  for (const CHECKTYP::LINE& l : C.THRESHOLDS)
    REPORTLINE(rep, INTSTR(l.WINSET, 7) + INTSTR(l.SYSTEM, 8) + INTSTR(l.SUBGAME, 9) +
                        INTSTR(l.TOTAL, 16) + INTSTR(l.QUOTA, 16) +
                        (l.REACHED ? "  reached" : "  short"));
  if (C.OVERALL)
    REPORTLINE(rep, "overall threshold (" + C.OVERALLRULE + ", " + C.OVERALLUNIT + "): " +
                        std::to_string(C.OVERALLTOTAL) + " of " + std::to_string(C.OVERALLQUOTA) +
                        (C.OVERALLTOTAL >= C.OVERALLQUOTA ? "  reached" : "  short"));
  if (C.BLOCKING)
    REPORTLINE(rep, "blocking minority outside: " + std::to_string(C.OUTSIDE) + " of " +
                        std::to_string(C.BLOCKTHRESHOLD) +
                        (C.BLOCKED ? "  blocks" : "  does not block"));
  REPORTLINE(rep, "");
  REPORTLINE(rep, C.WINS ? "the coalition wins" : "the coalition loses");
  if (C.WINS) {
    REPORTLINE(rep, "critical members (it loses without each): " +
                        (C.CRITICAL.empty() ? std::string("none") : joined(labels(C, C.CRITICAL))));
  } else if (!C.JOINABLE) {
    REPORTLINE(rep, "no set of absent players makes it win");
  } else {
    REPORTLINE(rep, std::string(C.SMALLEST ? "a smallest set" : "a set (not proven the smallest)") +
                        " of absent players that makes it win (" + std::to_string(C.JOIN.size()) +
                        "): " + joined(labels(C, C.JOIN)));
  }
  REPORTLINE(rep, "");
  return text;
}

std::string CHECKCSV(const CHECKTYP& C) {
  std::string text = C.SET.HASQUOTA ? "quota," : "";
  text += "item,winset,system,subgame,player,name,total,quota,result\n";
  const std::string lead = C.SET.HASQUOTA ? std::to_string(C.SET.QUOTA) + "," : "";
  auto row = [&](const std::vector<std::string>& fields) {
    text += lead;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) text += ',';
      text += fields[i];
    }
    text += '\n';
  };
  row({"coalition", "", "", "", "", "", std::to_string(C.YES.size()), "",
       C.WINS ? "wins" : "loses"});
  for (const CHECKTYP::LINE& l : C.THRESHOLDS)
    row({"threshold", std::to_string(l.WINSET), std::to_string(l.SYSTEM), std::to_string(l.SUBGAME),
         "", "", std::to_string(l.TOTAL), std::to_string(l.QUOTA),
         l.REACHED ? "reached" : "short"});
  if (C.OVERALL)
    row({"overall", "", "", "", "", C.OVERALLRULE + " " + C.OVERALLUNIT,
         std::to_string(C.OVERALLTOTAL), std::to_string(C.OVERALLQUOTA),
         C.OVERALLTOTAL >= C.OVERALLQUOTA ? "reached" : "short"});
  if (C.BLOCKING)
    row({"blocking", "", "2", "", "", "", std::to_string(C.OUTSIDE),
         std::to_string(C.BLOCKTHRESHOLD), C.BLOCKED ? "blocks" : "does not block"});
  for (const int p : C.YES) {
    const bool critical = std::find(C.CRITICAL.begin(), C.CRITICAL.end(), p) != C.CRITICAL.end();
    row({"member", "", "", "", std::to_string(p), CSVFIELD(PLAYERLABEL(C.LOADED, p)), "", "",
         critical ? "critical" : ""});
  }
  for (const int p : C.JOIN)
    row({"join", "", "", "", std::to_string(p), CSVFIELD(PLAYERLABEL(C.LOADED, p)), "", "",
         C.SMALLEST ? "smallest" : "not proven smallest"});
  return text;
}

std::string CHECKJSON(const CHECKTYP& C) {
  json out = json::object();
  if (C.SET.HASQUOTA) out["quota"] = C.SET.QUOTA;
  out["game"] = {{"file", C.LOADED.GAME.NAME},
                 {"players", C.LOADED.GAME.N},
                 {"subgames", C.LOADED.GAME.MM},
                 {"systems", C.LOADED.GAME.VS}};
  out["coalition"] = labels(C, C.YES);
  out["wins"] = C.WINS;
  json lines = json::array();
  for (const CHECKTYP::LINE& l : C.THRESHOLDS)
    lines.push_back({{"winset", l.WINSET},
                     {"system", l.SYSTEM},
                     {"subgame", l.SUBGAME},
                     {"total", l.TOTAL},
                     {"quota", l.QUOTA},
                     {"reached", l.REACHED}});
  out["thresholds"] = lines;
  if (C.OVERALL)
    out["overall"] = {{"rule", C.OVERALLRULE},
                      {"unit", C.OVERALLUNIT},
                      {"total", C.OVERALLTOTAL},
                      {"threshold", C.OVERALLQUOTA},
                      {"reached", C.OVERALLTOTAL >= C.OVERALLQUOTA}};
  if (C.BLOCKING)
    out["blocking"] = {
        {"outside", C.OUTSIDE}, {"threshold", C.BLOCKTHRESHOLD}, {"blocks", C.BLOCKED}};
  out["critical"] = labels(C, C.CRITICAL);
  if (C.WINS || !C.JOINABLE)
    out["join"] = nullptr;
  else
    out["join"] = labels(C, C.JOIN);
  out["join_smallest"] = C.SMALLEST;
  return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}
