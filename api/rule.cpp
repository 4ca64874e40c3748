#include "api/rule.h"

#include <cstdio>
#include <string>

#include "data/winsets.h"

namespace {

bool ruleOptions(const REQUESTTYP& a, const GAMETYP& game, RULETYP& rule, FAILTYP& F);

// A value of the overall thresholds, which the engines carry in 16 bits.
bool threshold16(const std::string& option, int32_t value, FAILTYP& F) {
  if (value >= 0 && value <= 65535) return true;
  return USAGE(F, option + ": " + std::to_string(value) + " is not in 0..65535");
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
    return USAGE(F, "--winset " + text + ": \"" + field +
                        "\" is not a whole number, a share (62%, majority) or a range");
  if (v < INT32_MIN || v > INT32_MAX)
    return USAGE(F, "--winset " + text + ": " + field + " is beyond a threshold's range");
  value = static_cast<int32_t>(v);
  share = true;
  return true;
}

constexpr std::size_t MAXQUOTAS = 10000;

// The quotas of range FIELD of a subgame of TOTAL: shares at both ends
// (and in the step, 1% when none is given) go in steps of the share, each
// then the smallest whole number that reaches it; otherwise every end is
// taken as a whole number and the step (default 1) is in votes.
bool quotasOf(const std::string& text, const std::string& field, int64_t total,
              std::vector<int64_t>& quotas, bool& shares, FAILTYP& F) {
  const std::vector<std::string> parts = SPLIT(field, ':');
  if (parts.size() < 2 || parts.size() > 3)
    return USAGE(F, "--winset " + text + ": a range is LO:HI or LO:HI:STEP");
  auto add = [&](int64_t q) {
    if (quotas.empty() || quotas.back() != q) quotas.push_back(q);
  };
  int64_t lo = 0, hi = 0, step = 1000000;
  shares = shareMicros(parts[0], lo) && shareMicros(parts[1], hi) &&
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
  if (step <= 0) return USAGE(F, "--winset " + text + ": the step must be above 0");
  if (hi < lo) return USAGE(F, "--winset " + text + ": the range runs downwards");
  if (static_cast<uint64_t>((hi - lo) / step) >= MAXQUOTAS)
    return USAGE(F, "--winset " + text + ": more than " + std::to_string(MAXQUOTAS) + " quotas");
  for (int64_t x = lo; x <= hi; x += step) {
    int64_t q = x;
    if (shares) WINSETSHARE(microsText(x), total, q);
    add(q);
  }
  return true;
}

// The weights of vote system K (0: the primary game's).
const GEWTYP& weightsOf(const GAMETYP& game, int k) { return k == 0 ? game.GEW : game.GEWX[k]; }

// Whether no --winset was typed for any vote system.
bool noWinsets(const REQUESTTYP& a) {
  for (const std::vector<std::string>& texts : a.WINSETS)
    if (!texts.empty()) return false;
  return true;
}

// The --winset texts of vote system K as typed; where none was typed at
// all, a weighted game takes one win set of a simple majority in each
// subgame (more than half of its total), and unweighted chambers have none.
std::vector<std::string> winsetTexts(const REQUESTTYP& a, int k, const GAMETYP& game) {
  if (!noWinsets(a) || game.DATASTRUCTURE != DATASTRUCT::WEIGHTED) return a.WINSETS[k];
  std::string text = "majority";
  for (int d = 2; d <= game.MM; ++d) text += ",majority";
  return {text};
}

}  // namespace

bool FINDSWEEP(const REQUESTTYP& a, const GAMETYP& game, SWEEPTYP& sweep, FAILTYP& F) {
  for (int k = 0; k < game.VS && k < MAXSYSTEMS; ++k)
    for (std::size_t w = 0; w < a.WINSETS[k].size(); ++w) {
      const std::string& text = a.WINSETS[k][w];
      const std::vector<std::string> fields = SPLIT(text, ',');
      for (std::size_t d = 0; d < fields.size(); ++d) {
        if (fields[d].find(':') == std::string::npos) continue;
        if (sweep.SYSTEM >= 0) return USAGE(F, "--winset: one range of thresholds at most");
        sweep.SYSTEM = k;
        sweep.WINSET = w;
        sweep.SUBGAME = d;
        const int64_t total = d < game.MM
                                  ? CUMULATEDWEIGHT(CODEOF(game.DATASTRUCTURE), game.NN,
                                                    weightsOf(game, k), static_cast<int>(d + 1))
                                  : 0;
        bool shares = false;
        if (!quotasOf(text, fields[d], total, sweep.QUOTAS, shares, F)) return false;
        if (shares) sweep.SHARETOTAL = total;
      }
    }
  return true;
}

namespace {

// The win sets of vote system K: thresholds into M[subgame][win set], boxes
// into G, with the checks of the win-set dialogue; the swept threshold is
// QUOTA. SET learns the whole number of a share or of the sweep.
bool winSets(const REQUESTTYP& a, int k, const GAMETYP& game, const SWEEPTYP& sweep, int64_t quota,
             int32_t& thres, GEWTYP& m, GTYP& g, CLISETTYP& set, FAILTYP& F) {
  const std::vector<std::string> texts = winsetTexts(a, k, game);
  if (texts.empty() && noWinsets(a))
    return USAGE(F, "--winset is required: unweighted chambers have no default quota");
  thres = static_cast<int32_t>(texts.size());
  if (!WINSETCOUNTOK(thres)) return USAGE(F, THRESNUMBERMSG);
  const GEWTYP& gew = weightsOf(game, k);
  for (int w = 1; w <= thres; ++w) {
    const std::string& text = texts[static_cast<std::size_t>(w - 1)];
    const std::vector<std::string> fields = SPLIT(text, ',');
    if (fields.size() != game.MM)
      return USAGE(F, "--winset " + text + ": " + std::to_string(fields.size()) +
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
        if (field.find(':') != std::string::npos) set.PERCENTOF = sweep.SHARETOTAL;
      }
      g[w][d][1] = value;
      if (k == (sweep.SYSTEM < 0 ? 0 : sweep.SYSTEM) &&
          w - 1 == (sweep.SYSTEM < 0 ? 0 : static_cast<int>(sweep.WINSET))) {
        set.QUOTAS.resize(game.MM);
        set.QUOTAS[static_cast<std::size_t>(d - 1)] = value;
      }
    }
    if (!WINSETCOMPLETE(w, m, g, CODEOF(game.DATASTRUCTURE), game.MM, game.NN, gew))
      return USAGE(F, THRESMSG);
  }
  return true;
}

// The rule of one run at QUOTA: the win sets of every vote system and the

bool ruleOptions(const REQUESTTYP& a, const GAMETYP& game, RULETYP& rule, FAILTYP& F) {
  const bool weighted = game.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  std::vector<int32_t> values;
  if (!a.OVERALL.empty()) {
    if (!weighted)
      return USAGE(F, "--overall: an unweighted game has no such threshold (see --isa)");
    if (!NUMBERLIST("--overall", a.OVERALL, values, F)) return false;
    if (values.size() != 1) return USAGE(F, "--overall " + a.OVERALL + ": one number expected");
    if (!threshold16("--overall", values[0], F)) return false;
    rule.T1 = values[0];
  }
  // The standard version counts T1 as a least number of members; the
  // multiple-weights version takes the rule and the unit given.
  rule.OVERALL = a.RULE == "or" ? OVERALLRULE::OR : OVERALLRULE::AND;
  rule.OVERT = a.UNIT == "votes" ? OVERALLUNIT::VOTES : OVERALLUNIT::MEMBERS;
  if (!a.BLOCKING.empty()) {
    if (!NUMBERLIST("--blocking", a.BLOCKING, values, F)) return false;
    if (values.size() != 1) return USAGE(F, "--blocking " + a.BLOCKING + ": one number expected");
    rule.BLOCK = true;
    rule.BLOCKTHRES = values[0];
  }
  if (!a.ISA.empty()) {
    if (!NUMBERLIST("--isa", a.ISA, values, F)) return false;
    if (values.size() != 4) return USAGE(F, "--isa " + a.ISA + ": four numbers T1,A1,T2,A2");
    for (int32_t v : values)
      if (!threshold16("--isa", v, F)) return false;
    // A1 and A2 count the leading chambers, of which the game has MM.
    if (values[1] > game.MM || values[3] > game.MM)
      return USAGE(F, "--isa " + a.ISA + ": A1 and A2 count chambers, of which the game has " +
                          std::to_string(game.MM));
    rule.T1 = values[0];
    rule.T1ANZ = values[1];
    rule.T2 = values[2];
    rule.T2ANZ = values[3];
  }
  return true;
}

}  // namespace

bool RULEOF(const REQUESTTYP& a, const GAMETYP& game, VERSION version, const SWEEPTYP& sweep,
            int64_t quota, RULETYP& rule, CLISETTYP& set, FAILTYP& F) {
  rule.GAME = version;
  if (!winSets(a, 0, game, sweep, quota, rule.THRES, rule.M, rule.G, set, F)) return false;
  if (!ruleOptions(a, game, rule, F)) return false;
  for (int k = 1; version == VERSION::MULTIPLE && k < game.VS; ++k) {
    if (winsetTexts(a, k, game).size() != winsetTexts(a, 0, game).size())
      return USAGE(F, "...unequal numbers of thresholds");
    int32_t thres = 0;
    GTYP g{};
    if (!winSets(a, k, game, sweep, quota, thres, rule.MX[k], g, set, F)) return false;
  }
  return true;
}
