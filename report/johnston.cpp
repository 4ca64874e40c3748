#include "report/johnston.h"

#include <cmath>
#include <memory>
#include <random>

#include "engines/convert/counting_game.h"
#include "engines/exact/johnston_table.h"
#include "engines/walk/coalition.h"
#include "engines/walk/johnston_walk.h"

namespace {

// Measured cost of the walk (one core, 2.6 GHz): about WALKNS a coalition,
// and MEMBERNS per member of a winning one, whose members are each taken
// out in turn (the Council's triple majority, 27 players of which few
// coalitions win: 2^27 coalitions in 2.2 s; 24 players at quota 50 % and
// 30 %: 1.7 s and 2.9 s). The share of winning coalitions and their size
// come from a sample of coalitions before the walk.
constexpr double WALKNS = 16.0, MEMBERNS = 12.0;
constexpr int WALKSAMPLES = 2048;

COSTTYP walkCost(const weightedwalk::Game& core) {
  COSTTYP walk;
  walk.APPLIES = core.n <= weightedwalk::JOHNSTONWALKMAX && weightedwalk::FITS(core);
  walk.BYTES = (static_cast<std::size_t>(core.n) + 1) * (core.n + 1) * 8;
  if (!walk.APPLIES) {
    walk.WHY = "beyond the walk's 30 players";
    walk.SECONDS = std::ldexp(WALKNS * 1e-9, core.n);
    return walk;
  }
  // The members of winning coalitions per coalition, from a sample.
  const weightedwalk::Rule rule(core);
  std::mt19937_64 rng(1978);
  double members = 0;
  for (int i = 0; i < WALKSAMPLES; ++i) {
    weightedwalk::Tally t(rule);
    for (int p = 1; p <= core.n; ++p)
      if (rng() & 1) t.JOIN(p);
    if (t.WINS()) members += t.MEMBERS();
  }
  walk.SECONDS = std::ldexp((WALKNS + MEMBERNS * members / WALKSAMPLES) * 1e-9, core.n);
  return walk;
}

planner::STEPTYP plan(const GAMETYP& game, const RULETYP& rule, const planner::POLICYTYP& policy) {
  planner::STEPTYP step;
  step.INDEX = INDEXTYP::BANZHAF;
  weightedwalk::Game core;
  if (game.DATASTRUCTURE != DATASTRUCT::WEIGHTED) return step;  // FITS tells why
  if (!WEIGHTEDCORE(game, rule, core)) {
    step.REFUSED = true;
    step.REASON = "...number of players/subgames not allowed";
    return step;
  }
  core.position = nullptr;
  std::vector<fastcount::Option> options(1);
  options[0].method = METHODTYP::JOHNSTONTABLE;
  std::vector<int64_t> weight;
  int64_t q = 0;
  if (johnston::ONETHRESHOLD(core, weight, q)) {
    options[0].cost =
        johnston::COST(sizetable::Threshold{core.n, core.mm, core.sub.data(), weight.data(), q});
    if (policy.BUDGET > 0 && options[0].cost.BYTES > policy.BUDGET) {
      options[0].cost.APPLIES = false;
      options[0].cost.WHY = "beyond the memory";
    }
  } else {
    options[0].cost.WHY = "not one weighted threshold";
  }
  return planner::PLANOPTIONS(core.n, INDEXTYP::BANZHAF, options, walkCost(core),
                              "not one weighted threshold", policy);
}

// The scores into R's tables as the report reads them: per player, in
// extended range beyond 50 players.
void take(RUNTYP& R, const GAMETYP& game, const XNUM& wins, const std::vector<XNUM>& score) {
  const bool wide = game.N > MAXACTOR;
  for (int s = 1; s <= game.MM; ++s) R.SHAP[s].fit(static_cast<std::size_t>(game.NN[s]));
  R.X.EXTENDED = wide;
  if (wide) R.X.SHAPP.assign(static_cast<std::size_t>(game.N) + 1, XNUM());
  for (int p = 1; p <= game.N; ++p) {
    const int s = game.MEM[p][0], j = game.MEM[p][1];
    const XNUM& x = score[static_cast<std::size_t>(p)];
    R.SHAP[s][j] = XTODOUBLE(x);
    if (wide) {
      R.X.SHAPP[XPLAYER(game.NN, s, j)] = x;
      R.X.SHAP[s] += x;
    }
  }
  R.WINSETS = XTODOUBLE(wins);
  R.X.WINS = wins;
}

void walkShare(void* data, double share) {
  static_cast<const CONTROLTYP*>(data)->REPORT(share);
  if (static_cast<const CONTROLTYP*>(data)->STOPPED()) throw COUNTSTOPPED{};
}

STATUSTYP run(RUNTYP& R, const GAMETYP& game, const RULETYP& rule, const HOOKSTYP& hooks) {
  if (game.DATASTRUCTURE != DATASTRUCT::WEIGHTED) return STATUSTYP::DONE;  // FITS tells why
  weightedwalk::Game core;
  if (!WEIGHTEDCORE(game, rule, core)) return STATUSTYP::REFUSED;
  core.position = nullptr;
  std::vector<METHODTYP> order{METHODTYP::JOHNSTONTABLE, METHODTYP::WALK};
  if (hooks.STEP != nullptr) order = hooks.STEP->ORDER;
  const CONTROLSCOPE scope(&hooks.CONTROL);
  try {
    for (const METHODTYP method : order) {
      std::vector<int64_t> weight;
      int64_t q = 0;
      if (method == METHODTYP::JOHNSTONTABLE && johnston::ONETHRESHOLD(core, weight, q)) {
        auto counts = std::make_unique<johnston::Result>();
        const sizetable::Threshold t{core.n, core.mm, core.sub.data(), weight.data(), q};
        if (!johnston::COUNT(t, *counts)) continue;
        take(R, game, counts->wins, counts->score);
        R.METHOD = method;
        return STATUSTYP::DONE;
      }
      if (method == METHODTYP::WALK && core.n <= weightedwalk::JOHNSTONWALKMAX) {
        weightedwalk::JohnstonCounts counts;
        weightedwalk::JOHNSTON_CORE(core, counts, walkShare,
                                    const_cast<CONTROLTYP*>(&hooks.CONTROL));
        std::vector<XNUM> score(static_cast<std::size_t>(core.n) + 1);
        for (int p = 1; p <= core.n; ++p)
          score[static_cast<std::size_t>(p)] =
              XNUM(weightedwalk::JOHNSTONSCORE(counts.bySize[static_cast<std::size_t>(p)]));
        take(R, game, XNUM(static_cast<double>(counts.wins)), score);
        R.METHOD = method;
        return STATUSTYP::DONE;
      }
    }
  } catch (const COUNTSTOPPED&) {
    return STATUSTYP::CANCELLED;
  }
  return STATUSTYP::OVERBUDGET;
}

// JI and JS of player P of subgame I, their sums with I = 0.
void xvalues(const RUNTYP& R, const REPORTTYP& REP, int I, int P, XNUM* V) {
  for (int c = 0; c < REPORTCOLUMNS; ++c) V[c] = XNUM(std::nan(""));
  if (I < 0 || (I > 0 && P <= 0)) return;
  const XNUM score = I == 0 ? REP.SUM : XSHAPOF(R, I, P);
  V[0] = RATIO(score, REP.SUM);
  V[1] = score;
}

bool fits(const RUNTYP& R) { return R.DATASTRUCTURE == DATASTRUCT::WEIGHTED; }

}  // namespace

const REPORTKINDTYP& JOHNSTONKIND() {
  static const REPORTKINDTYP kind{
      .INDEX = INDEXTYP::BANZHAF,
      .PIVOTS = false,
      .TEXT = REPORTTABLE<JOHNSTONKIND>,
      .BLOCK = REPORTBLOCK<JOHNSTONKIND>,
      .COLUMNS = 2,
      .TITLES = {"JI", "JS"},
      .VALUES = REPORTVALUES<xvalues>,
      .XVALUES = xvalues,
      .NAME = "johnston",
      .HELP = "Johnston's index: the critical members of each winning coalition share one",
      .RUN = run,
      .CHAMBERS = ISAKIND::BANZHAF,
      .FITS = fits,
      .UNFIT = "...johnston: weighted data only",
      .PLAN = plan,
      .ABOUT =
          "JI, Johnston's index: each winning coalition's critical members (without whom it "
          "loses) share one; JS, the player's sum of these shares (Johnston 1978)"};
  return kind;
}
