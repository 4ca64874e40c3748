#include "api/design.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <nlohmann/json.hpp>
#include <numeric>
#include <tuple>

#include "api/load.h"
#include "api/output.h"
#include "common/numbers.h"
#include "engines/exact/quota_sweep.h"
#include "engines/exact/weighted_games.h"

namespace {

using json = nlohmann::ordered_json;

// The players of a loaded game in game-wide order: names and first-system
// weights.
void playersOf(const LOADEDTYP& l, std::vector<std::string>& names, std::vector<double>& weights) {
  const GAMETYP& g = l.GAME;
  names.assign(static_cast<std::size_t>(g.N) + 1, "");
  weights.assign(names.size(), 0.0);
  for (int p = 1; p <= g.N; ++p) {
    names[static_cast<std::size_t>(p)] =
        static_cast<std::size_t>(p) < l.NAMES.size() ? l.NAMES[p] : "";
    weights[static_cast<std::size_t>(p)] = g.GEW[g.MEM[p][0]][g.MEM[p][1]];
  }
}

// A positive finite number of TEXT, as a whole.
bool positive(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end != text.c_str() && *end == '\0' && std::isfinite(value) && value > 0;
}

// The targets of R, named where they are: from --target or --target-file.
bool targetsOf(const DESIGNREQUESTTYP& r, std::vector<std::string>& names,
               std::vector<double>& values, DESIGNTYP& d, FAILTYP& F) {
  names.assign(1, "");
  values.assign(1, 0.0);
  if (!r.TARGET.empty() && !r.TARGETFILE.empty())
    return USAGE(F, "--target and --target-file exclude each other");
  if (r.TARGET.empty() && r.TARGETFILE.empty())
    return USAGE(F,
                 "design: the targets are missing (--target NAME:VALUE,... or --target-file FILE)");
  if (!r.TARGET.empty()) {
    for (const std::string& item : SPLIT(r.TARGET, ',')) {
      const std::size_t colon = item.rfind(':');
      const std::string name = colon == std::string::npos ? "" : item.substr(0, colon);
      const std::string text = colon == std::string::npos ? item : item.substr(colon + 1);
      double v = 0;
      if (!positive(text, v))
        return USAGE(F, "--target " + r.TARGET + ": \"" + text + "\" is not a positive number");
      names.push_back(name);
      values.push_back(v);
    }
    return true;
  }
  REQUESTTYP a;
  a.GAME = r.TARGETFILE;
  LOADEDTYP l;
  if (!LOADGAME(a, VERSION::STANDARD, l, F)) return false;
  if (l.GAME.DATASTRUCTURE != DATASTRUCT::WEIGHTED)
    return FAIL(F, EXITREFUSED,
                "--target-file " + r.TARGETFILE + ": a weighted data file is needed");
  d.INPUTS = l.INPUTS;
  playersOf(l, names, values);
  for (std::size_t p = 1; p < values.size(); ++p)
    if (!(values[p] > 0))
      return FAIL(F, EXITREFUSED,
                  "--target-file " + r.TARGETFILE + ": player " +
                      (names[p].empty() ? std::to_string(p) : names[p]) +
                      " has no positive target");
  return true;
}

// The targets matched to the players of the weights given: by name where
// both are named, else in order.
bool matchWeights(const DESIGNREQUESTTYP& r, std::vector<std::string>& names,
                  std::vector<double>& targets, std::vector<int64_t>& weights, FAILTYP& F) {
  REQUESTTYP a;
  a.WEIGHTS = r.WEIGHTS;
  LOADEDTYP l;
  if (!LOADGAME(a, VERSION::STANDARD, l, F)) return false;
  if (l.GAME.MM != 1) return USAGE(F, "design: --weights of one subgame");
  std::vector<std::string> given;
  std::vector<double> w;
  playersOf(l, given, w);
  const std::size_t n = given.size() - 1;
  const bool named =
      std::all_of(given.begin() + 1, given.end(), [](auto& s) { return !s.empty(); }) &&
      std::all_of(names.begin() + 1, names.end(), [](auto& s) { return !s.empty(); });
  std::vector<double> matched(n + 1, 0.0);
  if (named) {
    for (std::size_t t = 1; t < names.size(); ++t)
      if (std::find(given.begin() + 1, given.end(), names[t]) == given.end())
        return USAGE(F, "--target: no player named \"" + names[t] + "\" in --weights");
    for (std::size_t p = 1; p <= n; ++p) {
      const auto at = std::find(names.begin() + 1, names.end(), given[p]);
      if (at == names.end()) return USAGE(F, "--target: no target for player \"" + given[p] + "\"");
      matched[p] = targets[static_cast<std::size_t>(at - names.begin())];
    }
  } else {
    if (names.size() != given.size())
      return USAGE(F, "--target: " + std::to_string(names.size() - 1) + " targets for " +
                          std::to_string(n) + " players");
    for (std::size_t p = 1; p <= n; ++p) matched[p] = targets[p];
  }
  for (std::size_t p = 1; p <= n; ++p)
    if (w[p] < 0) return USAGE(F, "design: --weights of at least 0");
  names = given;
  targets = matched;
  weights.assign(n + 1, 0);
  for (std::size_t p = 1; p <= n; ++p) weights[p] = static_cast<int64_t>(w[p]);
  return true;
}

quotasweep::INDEX indexOf(const DESIGNTYP& d) {
  return d.INDEX == "shapley" ? quotasweep::INDEX::SHAPLEY : quotasweep::INDEX::BANZHAF;
}
quotasweep::DISTANCE distanceOf(const DESIGNTYP& d) {
  return d.DISTANCE == "maxabs" ? quotasweep::DISTANCE::MAXABS : quotasweep::DISTANCE::SUMSQ;
}

double distance(const DESIGNTYP& d, const std::vector<double>& v) {
  double sum = 0, most = 0;
  for (std::size_t p = 1; p < v.size(); ++p) {
    const double gap = std::fabs(v[p] - d.TARGET[p]);
    sum += gap * gap;
    most = std::max(most, gap);
  }
  return d.DISTANCE == "maxabs" ? most : sum;
}

// Every weighted game of the players (up to 6): the best, each player given
// the weight of its rank by target.
void enumerate(DESIGNTYP& d) {
  const int n = static_cast<int>(d.TARGET.size()) - 1;
  std::vector<int> order(static_cast<std::size_t>(n));
  std::iota(order.begin(), order.end(), 1);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return d.TARGET[a] > d.TARGET[b]; });
  std::vector<weightedgames::GAMETYP> games = weightedgames::ALL(n);
  // In a fixed order, the least total weight first, so that ties keep the
  // smallest representation.
  auto totalOf = [&](const weightedgames::GAMETYP& g) {
    return std::accumulate(g.WEIGHT.begin(), g.WEIGHT.begin() + n, int64_t{0});
  };
  std::sort(games.begin(), games.end(), [&](const auto& a, const auto& b) {
    return std::make_tuple(totalOf(a), a.QUOTA, a.WEIGHT) <
           std::make_tuple(totalOf(b), b.QUOTA, b.WEIGHT);
  });
  double best = std::numeric_limits<double>::infinity();
  double v[weightedgames::WEIGHTEDGAMESMAX];
  for (const weightedgames::GAMETYP& g : games) {
    if (g.WINS == 0 || (g.WINS & 1) != 0) continue;  // nothing, or everything, wins
    ++d.GAMES;
    weightedgames::INDEXOF(g.WINS, n, d.INDEX == "shapley", v);
    double sum = 0, most = 0;
    for (int k = 0; k < n; ++k) {
      const double gap = std::fabs(v[k] - d.TARGET[order[k]]);
      sum += gap * gap;
      most = std::max(most, gap);
    }
    const double dist = d.DISTANCE == "maxabs" ? most : sum;
    if (dist < best) {
      best = dist;
      d.WEIGHT.assign(static_cast<std::size_t>(n) + 1, 0);
      for (int k = 0; k < n; ++k) d.WEIGHT[order[k]] = g.WEIGHT[static_cast<std::size_t>(k)];
      d.QUOTA = g.QUOTA;
    }
  }
  d.OPTIMAL = true;
  d.METHOD = "enumeration";
}

// The best quota of WEIGHT: its distance and the quota (the least of the
// best); infinite where the weights are all 0.
struct SWEPT {
  double dist = std::numeric_limits<double>::infinity();
  int64_t quota = 0;
};
SWEPT bestQuota(DESIGNTYP& d, const std::vector<int64_t>& weight) {
  SWEPT s;
  std::vector<double> dist;
  int64_t total = 0;
  for (std::size_t p = 1; p < weight.size(); ++p) total += weight[p];
  if (total <= 0 || !quotasweep::SWEEP(weight, d.TARGET, indexOf(d), distanceOf(d), dist)) return s;
  ++d.SWEEPS;
  for (int64_t q = 1; q < static_cast<int64_t>(dist.size()); ++q)
    if (dist[q] < s.dist) {
      s.dist = dist[q];
      s.quota = q;
    }
  return s;
}

// The heuristic beyond 6 players (see the header).
void search(DESIGNTYP& d, const DESIGNREQUESTTYP& r) {
  const int n = static_cast<int>(d.TARGET.size()) - 1;
  // The scale: a total weight whose sweep takes a 300th of the budget. The
  // search mostly settles within some 200 sweeps, and finer weights come
  // closer to the targets (the Council of 27 by Banzhaf: a distance of
  // 8e-10 on a total of 41000, 2e-11 on 206000).
  std::vector<int64_t> unit(static_cast<std::size_t>(n) + 1, 1);
  unit[0] = 0;
  const double perUnit = quotasweep::COST(unit, indexOf(d)).SECONDS / (n + 1);
  const double budget = std::max(r.SECONDS, 0.01);
  const auto scale =
      static_cast<int64_t>(std::clamp(budget / 300 / std::max(perUnit, 1e-12), 20.0 * n, 1e7));
  const long long maxSweeps = std::max<long long>(
      50, static_cast<long long>(budget / std::max(perUnit * static_cast<double>(scale), 1e-9)));
  auto rounded = [&](const std::vector<double>& share) {
    std::vector<int64_t> w(static_cast<std::size_t>(n) + 1, 0);
    double all = 0;
    for (int p = 1; p <= n; ++p) all += share[p];
    for (int p = 1; p <= n; ++p)
      w[p] = std::max<int64_t>(1, std::llround(share[p] / all * static_cast<double>(scale)));
    return w;
  };
  std::vector<int64_t> best = rounded(d.TARGET);
  SWEPT top = bestQuota(d, best);
  d.BASELINE = top.dist;
  auto stopped = [&] {
    return d.SWEEPS >= maxSweeps || (r.STOP != nullptr && r.STOP->load(std::memory_order_relaxed));
  };
  auto consider = [&](const std::vector<int64_t>& w) {
    const SWEPT s = bestQuota(d, w);
    if (s.dist < top.dist) {
      top = s;
      best = w;
      return true;
    }
    return false;
  };
  // Iterative rescaling: each weight times its target over its index.
  std::vector<int64_t> current = best;
  SWEPT at = top;
  for (int round = 0, idle = 0; round < 60 && idle < 8 && !stopped(); ++round) {
    std::vector<double> value;
    quotasweep::VALUES(current, at.quota, indexOf(d), value);
    std::vector<double> share(static_cast<std::size_t>(n) + 1, 0.0);
    for (int p = 1; p <= n; ++p)
      share[p] = static_cast<double>(current[p]) * (value[p] > 0 ? d.TARGET[p] / value[p] : 2.0);
    current = rounded(share);
    at = bestQuota(d, current);
    if (at.dist < top.dist) {
      top = at;
      best = current;
      idle = 0;
    } else {
      ++idle;
    }
  }
  // Local search: one weight up or down, the largest gaps first.
  for (bool moved = true; moved && !stopped();) {
    moved = false;
    std::vector<double> value;
    quotasweep::VALUES(best, top.quota, indexOf(d), value);
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      return std::fabs(value[a] - d.TARGET[a]) > std::fabs(value[b] - d.TARGET[b]);
    });
    for (const int p : order) {
      const int64_t w = best[p];
      for (const int64_t step : {std::max<int64_t>(1, w / 8), std::max<int64_t>(1, w / 64),
                                 std::max<int64_t>(1, w / 512), int64_t{1}}) {
        // Toward the target first.
        const int64_t toward = value[p] < d.TARGET[p] ? step : -step;
        for (const int64_t move : {toward, -toward}) {
          if (w + move < 0 || stopped()) continue;
          std::vector<int64_t> next = best;
          next[p] = w + move;
          if (consider(next)) moved = true;
          if (moved) break;
        }
        if (moved) break;
      }
      if (moved) break;
    }
  }
  d.WEIGHT = best;
  d.QUOTA = top.quota;
  d.OPTIMAL = false;
  d.METHOD = "local_search";
}

std::string percent(double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f %%", 100 * x);
  return text;
}

std::string label(const DESIGNTYP& d, std::size_t p) {
  return d.NAMES[p].empty() ? std::to_string(p) : d.NAMES[p];
}

}  // namespace

bool DESIGNRUN(const DESIGNREQUESTTYP& R, DESIGNTYP& D, FAILTYP& F) {
  D = DESIGNTYP();
  if (R.INDEX != "banzhaf" && R.INDEX != "shapley")
    return USAGE(F, "design " + R.INDEX + ": the index is banzhaf or shapley");
  if (R.DISTANCE != "sumsq" && R.DISTANCE != "maxabs")
    return USAGE(F, "--distance " + R.DISTANCE + ": sumsq or maxabs");
  D.INDEX = R.INDEX;
  D.DISTANCE = R.DISTANCE;
  if (!R.ROOT.empty() && !positive(R.ROOT, D.ROOT))
    return USAGE(F, "--root " + R.ROOT + ": not a positive number");
  std::vector<double> targets;
  if (!targetsOf(R, D.NAMES, targets, D, F)) return false;
  if (!R.WEIGHTS.empty() && !matchWeights(R, D.NAMES, targets, D.WEIGHT, F)) return false;
  const std::size_t n = targets.size() - 1;
  if (n < 1) return USAGE(F, "design: no targets");
  double all = 0;
  for (std::size_t p = 1; p <= n; ++p) all += targets[p] = std::pow(targets[p], D.ROOT);
  D.TARGET.assign(n + 1, 0.0);
  for (std::size_t p = 1; p <= n; ++p) D.TARGET[p] = targets[p] / all;
  if (!R.WEIGHTS.empty()) {
    const SWEPT s = bestQuota(D, D.WEIGHT);
    if (s.quota == 0) return FAIL(F, EXITREFUSED, "design: the weights given are all 0");
    D.QUOTA = s.quota;
    D.OPTIMAL = true;
    D.METHOD = "quota_search";
  } else if (n <= static_cast<std::size_t>(weightedgames::WEIGHTEDGAMESMAX)) {
    enumerate(D);
  } else {
    search(D, R);
  }
  // The weights in lowest terms, the quota with them.
  int64_t g = 0;
  for (std::size_t p = 1; p <= n; ++p) g = std::gcd(g, D.WEIGHT[p]);
  if (g > 1 && R.WEIGHTS.empty()) {
    for (std::size_t p = 1; p <= n; ++p) D.WEIGHT[p] /= g;
    D.QUOTA = (D.QUOTA + g - 1) / g;
  }
  D.TOTAL = std::accumulate(D.WEIGHT.begin() + 1, D.WEIGHT.end(), int64_t{0});
  if (!quotasweep::VALUES(D.WEIGHT, D.QUOTA, indexOf(D), D.ACHIEVED))
    return FAIL(F, EXITREFUSED, "...no memory for the design");
  D.DIST = distance(D, D.ACHIEVED);
  return true;
}

std::string DESIGNREPORT(const DESIGNTYP& D) {
  std::string text;
  auto line = [&](const std::string& l) {
    text += l;
    text += "\r\n";
  };
  const std::size_t n = D.TARGET.size() - 1;
  line("design of the " +
       std::string(D.INDEX == "shapley" ? "Shapley-Shubik index" : "Banzhaf index (normalised)") +
       " for " + std::to_string(n) + " targets" +
       (D.ROOT != 1 ? " (raised to the power " + NUMTEXT(D.ROOT) + ")" : ""));
  line("distance: " + std::string(D.DISTANCE == "maxabs" ? "the largest deviation"
                                                         : "the sum of squared deviations"));
  const std::string how =
      D.METHOD == "enumeration" ? "every weighted game of " + std::to_string(n) + " players (" +
                                      std::to_string(D.GAMES) + "), proven optimal"
      : D.METHOD == "quota_search"
          ? "every quota for the weights given, proven optimal"
          : "iterative rescaling and local search (" + std::to_string(D.SWEEPS) +
                " weight vectors), not proven optimal";
  line("searched: " + how);
  line("quota: " + std::to_string(D.QUOTA) + " of " + std::to_string(D.TOTAL) + " (" +
       percent(static_cast<double>(D.QUOTA) / static_cast<double>(D.TOTAL)) + ")");
  line("");
  const std::string head = "player  name              target    weight     index   deviation";
  line(head);
  line(std::string(head.size(), '-'));
  for (std::size_t p = 1; p <= n; ++p) {
    std::string name = label(D, p);
    if (name.size() < 16) name += std::string(16 - name.size(), ' ');
    line(INTSTR(static_cast<long long>(p), 6) + "  " + name + FIXSTR(D.TARGET[p], 10, 6) +
         INTSTR(D.WEIGHT[p], 10) + FIXSTR(D.ACHIEVED[p], 10, 6) +
         FIXSTR(D.ACHIEVED[p] - D.TARGET[p], 12, 6));
  }
  line("");
  char dist[64];
  std::snprintf(dist, sizeof dist, "%.6g", D.DIST);
  line("distance: " + std::string(dist) + (D.OPTIMAL ? " (optimal)" : ""));
  if (D.METHOD == "local_search") {
    std::snprintf(dist, sizeof dist, "%.6g", D.BASELINE);
    line("the targets as weights with their best quota: " + std::string(dist));
  }
  line("");
  return text;
}

std::string DESIGNCSV(const DESIGNTYP& D) {
  std::string text =
      "quota,quota_share,distance,optimal,player,name,target,weight,index,deviation\n";
  const std::string lead = std::to_string(D.QUOTA) + "," +
                           NUMTEXT(static_cast<double>(D.QUOTA) / static_cast<double>(D.TOTAL)) +
                           "," + NUMTEXT(D.DIST) + "," + (D.OPTIMAL ? "1" : "0");
  for (std::size_t p = 1; p < D.TARGET.size(); ++p) {
    text += lead;
    for (const std::string& f : {std::to_string(p), CSVFIELD(D.NAMES[p]), NUMTEXT(D.TARGET[p]),
                                 std::to_string(D.WEIGHT[p]), NUMTEXT(D.ACHIEVED[p]),
                                 NUMTEXT(D.ACHIEVED[p] - D.TARGET[p])}) {
      text += ',';
      text += f;
    }
    text += '\n';
  }
  return text;
}

std::string DESIGNJSON(const DESIGNTYP& D) {
  json out = {{"index", D.INDEX},
              {"distance_measure", D.DISTANCE},
              {"root", D.ROOT},
              {"method", D.METHOD},
              {"optimal", D.OPTIMAL},
              {"quota", D.QUOTA},
              {"total", D.TOTAL},
              {"quota_share", static_cast<double>(D.QUOTA) / static_cast<double>(D.TOTAL)},
              {"distance", D.DIST}};
  if (D.METHOD == "local_search") {
    out["baseline_distance"] = D.BASELINE;
    out["sweeps"] = D.SWEEPS;
  }
  if (D.METHOD == "enumeration") out["games"] = D.GAMES;
  json players = json::array();
  for (std::size_t p = 1; p < D.TARGET.size(); ++p)
    players.push_back({{"player", p},
                       {"name", D.NAMES[p]},
                       {"target", D.TARGET[p]},
                       {"weight", D.WEIGHT[p]},
                       {"index", D.ACHIEVED[p]},
                       {"deviation", D.ACHIEVED[p] - D.TARGET[p]}});
  out["players"] = players;
  return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string DESIGNSVG(const DESIGNTYP& D) {
  const std::size_t n = D.TARGET.size() - 1;
  const double width = std::max(640.0, 140.0 + 28.0 * static_cast<double>(n)), height = 420;
  const double left = 60, top = 50, bottom = 90, plot = height - top - bottom;
  double most = 0;
  for (std::size_t p = 1; p <= n; ++p) most = std::max({most, D.TARGET[p], D.ACHIEVED[p]});
  most = most > 0 ? most * 1.1 : 1;
  const double slot = (width - left - 40) / static_cast<double>(n);
  auto num = [](double x) {
    char t[32];
    std::snprintf(t, sizeof t, "%.2f", x);
    return std::string(t);
  };
  auto esc = [](const std::string& s) {
    std::string out;
    for (const char c : s) {
      if (c == '&')
        out += "&amp;";
      else if (c == '<')
        out += "&lt;";
      else if (c == '>')
        out += "&gt;";
      else if (c == '"')
        out += "&quot;";
      else if (c == '\'')
        out += "&apos;";
      else
        out += c;
    }
    return out;
  };
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(width) +
                    "\" height=\"" + num(height) +
                    "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  svg += "<text x=\"" + num(left) + "\" y=\"24\" font-size=\"15\">" +
         esc("target (light) and achieved " + D.INDEX + " index (dark), quota " +
             std::to_string(D.QUOTA) + " of " + std::to_string(D.TOTAL)) +
         "</text>\n";
  svg += "<line x1=\"" + num(left) + "\" y1=\"" + num(top + plot) + "\" x2=\"" + num(width - 30) +
         "\" y2=\"" + num(top + plot) + "\" stroke=\"black\"/>\n";
  for (std::size_t p = 1; p <= n; ++p) {
    const double x = left + slot * static_cast<double>(p - 1);
    const double bar = slot * 0.4;
    const std::string name = esc(label(D, p));
    for (const auto& [value, colour, cls, dx] : {std::tuple{D.TARGET[p], "#a6c8e8", "target", 0.1},
                                                 {D.ACHIEVED[p], "#1f4e79", "achieved", 0.5}}) {
      const double h = value / most * plot;
      svg += "<rect class=\"" + std::string(cls) + "\" data-player=\"" + name + "\" x=\"" +
             num(x + slot * dx) + "\" y=\"" + num(top + plot - h) + "\" width=\"" + num(bar) +
             "\" height=\"" + num(h) + "\" fill=\"" + colour + "\"><title>" + name + " " + cls +
             " " + NUMTEXT(value) + "</title></rect>\n";
    }
    svg += "<text class=\"label\" x=\"" + num(x + slot / 2) + "\" y=\"" + num(top + plot + 14) +
           "\" text-anchor=\"end\" transform=\"rotate(-60 " + num(x + slot / 2) + " " +
           num(top + plot + 14) + ")\">" + name + "</text>\n";
  }
  svg += "</svg>\n";
  return svg;
}
