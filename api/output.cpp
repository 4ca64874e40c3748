#include "api/output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "common/numbers.h"
#include "data/winsets.h"

namespace {

using json = nlohmann::ordered_json;

// A run with the report's totals in place: REPORTTOTALS fills the
// subgame totals of a weighted game into R and the overall sums into REP.
struct TOTALLED {
  RUNTYP R;
  REPORTTYP REP;
  explicit TOTALLED(const CLIRUNTYP& run) : R(run.R) { REPORTTOTALS(R, REP, run.KIND->PIVOTS); }
};

// Every row of the report's player table: (subgame, player), player 0 for
// the row of an unweighted subgame.
template <typename ROW>
void eachRow(const RUNTYP& R, ROW&& row) {
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  for (int i = 1; i <= R.MM; ++i) {
    if (!weighted) {
      row(i, 0);
      continue;
    }
    for (int p = 1; p <= R.NN[i]; ++p) row(i, p);
  }
}

// Game-wide number of player P of subgame I.
int playerNumber(const RUNTYP& R, int I, int P) {
  int n = P;
  for (int s = 1; s < I; ++s) n += R.NN[s];
  return n;
}

std::string nameOf(const CLIRUNTYP& run, int I, int P) {
  const auto n = static_cast<std::size_t>(playerNumber(run.R, I, P));
  return P > 0 && n < run.NAMES.size() ? run.NAMES[n] : "";
}

const char* versionName(VERSION V) {
  switch (V) {
    case VERSION::STANDARD:
      return "standard";
    case VERSION::MULTIPLE:
      return "multiple weights";
    case VERSION::ISA:
      return "ISA";
    case VERSION::ISAWP:
      return "ISA-WP";
    case VERSION::SPATIAL:
      return "spatial";
    case VERSION::NONE:
      break;
  }
  return "";
}

std::string stampText(const plat::Stamp& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

json numberOf(double x) { return std::isnan(x) ? json(nullptr) : json(x); }

// The index columns of a row in extended range: the unit's own, or its
// doubles.
void cellsOf(const REPORTKINDTYP& kind, const RUNTYP& R, const REPORTTYP& REP, int I, int P,
             XNUM* X) {
  if (kind.XVALUES) return kind.XVALUES(R, REP, I, P, X);
  double v[REPORTCOLUMNS];
  std::fill(v, v + REPORTCOLUMNS, std::nan(""));
  kind.VALUES(R, REP, I, P, v);
  for (int c = 0; c < REPORTCOLUMNS; ++c) X[c] = XNUM(v[c]);
}

// A value a double cannot hold (beyond its range, or so small that it
// would read 0) in the report's scientific form; empty where it can.
std::string beyondDouble(const XNUM& X) {
  const double d = XTODOUBLE(X);
  if (std::isnan(d) || (std::isfinite(d) && (d != 0 || X.m == 0))) return "";
  const std::string text = XSCISTR(X, 0);
  return text.substr(text.find_first_not_of(' '));
}

// A value as CSV writes it: the shortest digits of its double, else the
// scientific form (an empty field for no value).
std::string xText(const XNUM& X) {
  const std::string beyond = beyondDouble(X);
  return beyond.empty() ? NUMTEXT(XTODOUBLE(X)) : beyond;
}

// The same in JSON: a number, null, or the scientific form as a string.
json xJson(const XNUM& X) {
  const std::string beyond = beyondDouble(X);
  return beyond.empty() ? numberOf(XTODOUBLE(X)) : json(beyond);
}

json gameJson(const CLIRUNTYP& run) {
  const RUNTYP& R = run.R;
  json game = {
      {"file", R.NAME},
      {"datastructure", R.DATASTRUCTURE == DATASTRUCT::WEIGHTED ? "weighted" : "unweighted"},
      {"players", R.N},
      {"subgames", R.MM}};
  json nn = json::array();
  for (int i = 1; i <= R.MM; ++i) nn.push_back(R.NN[i]);
  game["players_per_subgame"] = nn;
  if (R.GAME == VERSION::MULTIPLE) game["systems"] = run.SYSTEMS;
  if (R.GAME == VERSION::SPATIAL) {
    game["positions"] = R.NAME1;
    game["dimensions"] = R.NTHEME;
  }
  return game;
}

json ruleJson(const RUNTYP& R) {
  json winsets = json::array();
  for (int t = 1; t <= R.THRES && t <= 10; ++t) {
    json box = json::array();
    for (int d = 1; d <= R.MM; ++d) box.push_back({R.G[t][d][1], R.G[t][d][2]});
    winsets.push_back(box);
  }
  json rule = {{"winsets", winsets}};
  if (R.GAME == VERSION::MULTIPLE) {
    json systems = json::array();
    for (int k = 1; k < R.VS; ++k) {
      json sets = json::array();
      for (int t = 1; t <= R.THRES && t <= 10; ++t) {
        json thresholds = json::array();
        for (int d = 1; d <= R.MM; ++d) thresholds.push_back(R.MX[k][d][t]);
        sets.push_back(thresholds);
      }
      systems.push_back(sets);
    }
    rule["system_thresholds"] = systems;
  }
  if (R.GAME == VERSION::ISA || R.GAME == VERSION::ISAWP) {
    rule["overall_thresholds"] = {{{"threshold", R.T1}, {"subgames", R.T1ANZ}},
                                  {{"threshold", R.T2}, {"subgames", R.T2ANZ}}};
  } else if (R.DATASTRUCTURE == DATASTRUCT::WEIGHTED) {
    rule["overall_threshold"] = R.T1;
    rule["overall_rule"] = R.OVERALL == OVERALLRULE::OR ? "or" : "and";
    rule["overall_unit"] = R.OVERT == OVERALLUNIT::VOTES ? "votes" : "members";
    if (R.BLOCK) rule["blocking_threshold"] = R.BLOCKTHRES;
  }
  return rule;
}

}  // namespace

std::string NUMTEXT(double X) {
  if (std::isnan(X)) return "";
#ifdef __cpp_lib_to_chars
  char text[64];
  auto [end, ec] = std::to_chars(text, text + sizeof text, X);
  return ec == std::errc() ? std::string(text, end) : "";
#else
  return SHORTTEXT(X);
#endif
}

std::string SHOWNTEXT(std::string_view TEXT) {
  std::string out;
  for (unsigned char c : TEXT) {
    if (c >= 0x20 && c != 0x7f) {
      out += static_cast<char>(c);
      continue;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02x", c);
    out += hex;
  }
  return out;
}

std::string CSVFIELD(const std::string& RAW) {
  // Control bytes are written as the JSON output writes them (\u001b), so
  // a name cannot drive the terminal the CSV is shown on.
  std::string TEXT;
  for (char c : RAW) {
    if (static_cast<unsigned char>(c) >= 0x20) {
      TEXT += c;
      continue;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\u%04x", static_cast<unsigned>(c));
    TEXT += hex;
  }
  if (TEXT.find_first_of(",\"") == std::string::npos) return TEXT;
  std::string quoted = "\"";
  for (char c : TEXT) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::vector<std::string> CSVCOLUMNS(const CLISETTYP& SET) {
  std::vector<std::string> titles;
  for (const CLIRUNTYP& run : SET.RUNS)
    for (int c = 0; c < run.KIND->COLUMNS; ++c) {
      std::string title = run.KIND->TITLES[c];
      if (std::find(titles.begin(), titles.end(), title) != titles.end())
        title = std::string(run.KIND->NAME) + "_" + title;
      titles.push_back(title);
    }
  return titles;
}

CSVTABLETYP CSVTABLE(const std::vector<CLISETTYP>& SETS, bool TOTALS) {
  CSVTABLETYP table;
  if (SETS.empty() || SETS[0].RUNS.empty()) return table;
  if (SETS[0].HASQUOTA) table.COLUMNS.push_back("quota");
  for (const char* lead : {"subgame", "player", "name", "weight"}) table.COLUMNS.push_back(lead);
  // Each index's columns, then the method that counted it
  // ("shapley_method"): a run of several indices has the columns of each
  // index alone side by side.
  const std::vector<std::string> titles = CSVCOLUMNS(SETS[0]);
  std::size_t c = 0;
  for (const CLIRUNTYP& run : SETS[0].RUNS) {
    for (int k = 0; k < run.KIND->COLUMNS; ++k) table.COLUMNS.push_back(titles[c++]);
    table.COLUMNS.push_back(std::string(run.KIND->NAME) + "_method");
  }
  const double none = std::nan("");
  for (const CLISETTYP& set : SETS) {
    std::vector<TOTALLED> runs;
    for (const CLIRUNTYP& run : set.RUNS) runs.emplace_back(run);
    const CLIRUNTYP& first = set.RUNS[0];
    auto add = [&](std::vector<CSVCELLTYP> row, int i, int p) {
      if (set.HASQUOTA)
        row.insert(row.begin(), {std::to_string(set.QUOTA), static_cast<double>(set.QUOTA)});
      for (std::size_t k = 0; k < runs.size(); ++k) {
        const REPORTKINDTYP& kind = *set.RUNS[k].KIND;
        XNUM v[REPORTCOLUMNS];
        cellsOf(kind, runs[k].R, runs[k].REP, i, p, v);
        for (int c = 0; c < kind.COLUMNS; ++c) {
          const bool beyond = !beyondDouble(v[c]).empty();
          row.push_back({xText(v[c]), beyond ? none : XTODOUBLE(v[c])});
        }
        // No method in the "sum of all" row.
        row.push_back({i != 0 || p != 0 ? set.RUNS[k].METHOD : "", none});
      }
      table.ROWS.push_back(std::move(row));
      table.TOTAL.push_back(i == 0 && p == 0);
    };
    const RUNTYP& R = runs[0].R;
    eachRow(R, [&](int i, int p) {
      const int weight = p > 0 ? R.GEW[i][p] : 1;
      add({{std::to_string(i), static_cast<double>(i)},
           {p > 0 ? std::to_string(p) : "i", p > 0 ? static_cast<double>(p) : none},
           {nameOf(first, i, p), none},
           {std::to_string(weight), static_cast<double>(weight)}},
          i, p);
    });
    if (TOTALS) add({{"", none}, {"", none}, {"sum of all", none}, {"", none}}, 0, 0);
  }
  return table;
}

std::string CSVTEXT(const std::vector<CLISETTYP>& SETS, bool TOTALS) {
  const CSVTABLETYP table = CSVTABLE(SETS, TOTALS);
  std::string text;
  if (table.COLUMNS.empty()) return text;
  // Fields are appended one by one: GCC 12 warns of a false overlapping
  // copy (-Wrestrict) for a literal joined to a temporary string.
  auto line = [&text](const auto& fields, auto field) {
    for (std::size_t c = 0; c < fields.size(); ++c) {
      if (c > 0) text += ',';
      text += CSVFIELD(field(fields[c]));
    }
    text += '\n';
  };
  line(table.COLUMNS, [](const std::string& title) -> const std::string& { return title; });
  for (const std::vector<CSVCELLTYP>& row : table.ROWS)
    line(row, [](const CSVCELLTYP& cell) -> const std::string& { return cell.TEXT; });
  return text;
}

namespace {

json runJson(const CLIRUNTYP& RUN) {
  const REPORTKINDTYP& kind = *RUN.KIND;
  const TOTALLED t(RUN);
  const RUNTYP& R = t.R;
  json out = {{"index", kind.NAME}, {"version", versionName(R.GAME)}, {"method", RUN.METHOD}};
  out["game"] = gameJson(RUN);
  out["rule"] = ruleJson(R);
  json columns = json::array();
  for (int c = 0; c < kind.COLUMNS; ++c) columns.push_back(kind.TITLES[c]);
  out["columns"] = columns;
  json rows = json::array();
  XNUM v[REPORTCOLUMNS];
  eachRow(R, [&](int i, int p) {
    json row = {{"subgame", i}};
    if (p > 0) {
      row["player"] = p;
      row["name"] = nameOf(RUN, i, p);
      row["weight"] = R.GEW[i][p];
      if (R.GAME == VERSION::MULTIPLE) {
        json weights = {R.GEW[i][p]};
        for (int k = 1; k < R.VS; ++k) weights.push_back(R.GEWX[k][i][p]);
        row["weights"] = weights;
      }
    } else {
      row["player"] = "i";
      row["name"] = "";
      row["weight"] = 1;
      row["members"] = R.NN[i];
    }
    cellsOf(kind, R, t.REP, i, p, v);
    for (int c = 0; c < kind.COLUMNS; ++c) row[kind.TITLES[c]] = xJson(v[c]);
    rows.push_back(row);
  });
  out["players"] = rows;
  cellsOf(kind, R, t.REP, 0, 0, v);
  json sum = json::object();
  for (int c = 0; c < kind.COLUMNS; ++c) sum[kind.TITLES[c]] = xJson(v[c]);
  out["sum_of_all"] = sum;
  // Counts of large chambers exceed a double: they are given as text in the
  // report's scientific form instead.
  auto count = [](const XNUM& x) { return xJson(x); };
  if (!R.SAMPLED.empty()) {
    out["estimated"] = {{"samples", R.SAMPLES},
                        {"seconds", R.SAMPLESECONDS},
                        {"standard_error", R.SAMPLEERROR},
                        {"reached", R.SAMPLEREACHED}};
  } else if (kind.INDEX == INDEXTYP::PUBLICGOOD) {
    out["minimal_winning_coalitions"] = count(R.X.WINS);
  } else {
    out["winning_coalitions"] = count(R.X.WINS);
    out["decision_probability"] = XTODOUBLE(R.X.WINS / XPOW2(R.N));
  }
  out["time1"] = stampText(R.TIME1);
  out["time2"] = stampText(R.TIME2);
  return out;
}

// The object of one set: a single index's object as it is, several
// indices' objects joined into the first (their columns under the CSV's
// titles, the keys the first lacks added, the last run's end time).
json setJson(const CLISETTYP& SET) {
  json out = runJson(SET.RUNS[0]);
  if (SET.RUNS.size() > 1) {
    const std::vector<std::string> titles = CSVCOLUMNS(SET);
    json indices = json::array();
    json columns = json::array();
    json methods = json::object();
    std::size_t c = 0;
    for (std::size_t k = 0; k < SET.RUNS.size(); ++k) {
      const json one = k == 0 ? out : runJson(SET.RUNS[k]);
      indices.push_back(one["index"]);
      methods[one["index"].get<std::string>()] = one["method"];
      for (const auto& title : one["columns"]) {
        const std::string name = title.get<std::string>();
        columns.push_back(titles[c]);
        if (k > 0) {
          for (std::size_t r = 0; r < out["players"].size(); ++r)
            out["players"][r][titles[c]] = one["players"][r][name];
          out["sum_of_all"][titles[c]] = one["sum_of_all"][name];
        }
        ++c;
      }
      for (const auto& item : one.items())
        if (!out.contains(item.key())) out[item.key()] = item.value();
      out["time2"] = one["time2"];
    }
    json joined = {{"indices", indices}, {"methods", methods}};
    for (const auto& item : out.items())
      if (item.key() != "index" && item.key() != "method") joined[item.key()] = item.value();
    joined["columns"] = columns;
    out = joined;
  }
  if (SET.HASQUOTA) {
    json quoted = {{"quota", SET.QUOTA}};
    for (const auto& item : out.items()) quoted[item.key()] = item.value();
    out = quoted;
  }
  return out;
}

}  // namespace

std::string JSONTEXT(const std::vector<CLISETTYP>& SETS, bool ARRAY) {
  json out = json::array();
  for (const CLISETTYP& set : SETS)
    if (!set.RUNS.empty()) out.push_back(setJson(set));
  if (!ARRAY) out = out.empty() ? json::object() : out[0];
  // Names come from the data file as they are: bytes that are not UTF-8
  // become U+FFFD rather than failing the whole output.
  return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string REPORTTEXT(const std::vector<CLISETTYP>& SETS) {
  std::string text;
  for (const CLISETTYP& set : SETS) {
    std::vector<REPORTPROC> written;
    for (const CLIRUNTYP& run : set.RUNS) {
      if (std::find(written.begin(), written.end(), run.KIND->TEXT) != written.end()) continue;
      written.push_back(run.KIND->TEXT);
      text += REPORTSTRING(run.R, run.KIND->PIVOTS, run.KIND->TEXT);
    }
  }
  return text;
}

std::vector<CLIROWTYP> CLIROWS(const CLIRUNTYP& RUN) {
  const TOTALLED t(RUN);
  const RUNTYP& R = t.R;
  std::vector<CLIROWTYP> rows;
  eachRow(R, [&](int i, int p) {
    CLIROWTYP row;
    row.LABEL = nameOf(RUN, i, p);
    if (row.LABEL.empty())
      row.LABEL = p == 0     ? "chamber " + std::to_string(i)
                  : R.MM > 1 ? std::to_string(i) + "." + std::to_string(p)
                             : std::to_string(p);
    const double total =
        static_cast<double>(CUMULATEDWEIGHT(CODEOF(R.DATASTRUCTURE), R.NN, R.GEW, i));
    row.SHARE = p > 0 ? RATIO(R.GEW[i][p], total) : RATIO(1.0, R.NN[i]);
    RUN.KIND->VALUES(R, t.REP, i, p, row.V);
    rows.push_back(row);
  });
  return rows;
}

int CLISHARECOLUMN(const CLIRUNTYP& RUN) {
  const std::vector<CLIROWTYP> rows = CLIROWS(RUN);
  for (int c = 0; c < RUN.KIND->COLUMNS; ++c) {
    double sum = 0;
    std::size_t r = 0;
    eachRow(RUN.R, [&](int i, int p) { sum += rows[r++].V[c] * (p > 0 ? 1 : RUN.R.NN[i]); });
    if (std::fabs(sum - 1) < 1e-6) return c;
  }
  return -1;
}
