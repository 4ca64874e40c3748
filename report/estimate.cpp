#include "report/estimate.h"

#include <cmath>

#include "common/numbers.h"
#include "engines/convert/counting_game.h"
#include "engines/sample/sampler.h"
#include "report/indices.h"

namespace {

// The estimate's columns and words of an index, from its unit in the
// registry.
const SAMPLEDTYP& sampledOf(INDEXTYP index) {
  static const SAMPLEDTYP none;
  for (const REPORTKINDTYP* kind : INDICES())
    if (kind->INDEX == index && kind->SAMPLED.VALUES > 0) return kind->SAMPLED;
  return none;
}

// The columns of player P of subgame I, and with I = 0 the sums of the
// values over all players (the errors of a sum are not given).
template <INDEXTYP INDEX>
void sampledValues(const RUNTYP& R, const REPORTTYP&, int I, int P, double* V) {
  const int values = sampledOf(INDEX).VALUES;
  for (int c = 0; c < REPORTCOLUMNS; ++c) V[c] = std::nan("");
  if (I > 0 && P > 0) {
    const std::size_t at = XPLAYER(R.NN, I, P);
    if (at >= R.SAMPLED.size()) return;
    for (int c = 0; c < 2 * values; ++c) V[c] = R.SAMPLED[at][static_cast<std::size_t>(c)];
    return;
  }
  if (I != 0) return;
  for (int c = 0; c < values; ++c) {
    for (const auto& row : R.SAMPLED) {  // entry 0 is no player's
      const double v = row[static_cast<std::size_t>(c)];
      if (!std::isnan(v)) V[c] = std::isnan(V[c]) ? v : V[c] + v;
    }
  }
}

// A value of the report's table: blank where there is none.
std::string cell(double v) { return std::isnan(v) ? std::string(10, ' ') : FIXSTR(v, 10, 6); }

template <INDEXTYP INDEX>
void sampledText(RUNTYP& R, REPORTTYP& REP) {
  const SAMPLEDTYP& kind = sampledOf(INDEX);
  REPORTHEAD(R, REP, std::string("subgame  player  weight") + kind.COLUMNS);
  double v[REPORTCOLUMNS];
  for (int i = 1; i <= R.MM; ++i)
    for (int p = 1; p <= R.NN[i]; ++p) {
      sampledValues<INDEX>(R, REP, i, p, v);
      std::string line = REPORTPLAYER(R, i, p);
      for (int c = 0; c < 2 * kind.VALUES; ++c) line += cell(v[c]);
      REPORTLINE(REP, line);
      REPORTWAIT(REP);
    }
  sampledValues<INDEX>(R, REP, 0, 0, v);
  std::string sums = "sum of all:            ";
  for (int c = 0; c < kind.VALUES; ++c) sums += cell(v[c]);
  REPORTLINE(REP, sums);
  REPORTLINE(REP, " ");
  char text[200];
  if (R.METHOD != METHODTYP::SAMPLING) {
    REPORTLINE(REP, std::string("counted exactly by ") + METHODNAME(R.METHOD) +
                        " in under a second: no sampling error");
  } else {
    std::snprintf(text, sizeof text,
                  "estimated from %llu %s in %.1f s: ", static_cast<unsigned long long>(R.SAMPLES),
                  kind.DRAWN, R.SAMPLESECONDS);
    std::string how = text;
    const std::string none = UNESTIMATED(R, INDEX);
    if (R.SAMPLEREACHED)
      std::snprintf(text, sizeof text, "every standard error below %g", R.SAMPLEERROR);
    else if (!none.empty())
      std::snprintf(text, sizeof text, "no %s drawn, no estimate of %s", kind.EVENT, none.c_str());
    else
      std::snprintf(text, sizeof text,
                    "standard errors up to %g, above the %g asked (the sample budget)",
                    R.SAMPLELARGEST, R.SAMPLEERROR);
    REPORTLINE(REP, how + text);
  }
  REPORTEND(R, REP, INDEX != INDEXTYP::SHAPLEY);
}

template <INDEXTYP INDEX>
REPORTKINDTYP kindOf() {
  const SAMPLEDTYP& sampled = sampledOf(INDEX);
  const char* name = "";
  for (const REPORTKINDTYP* kind : INDICES())
    if (kind->INDEX == INDEX && kind->SAMPLED.VALUES > 0) name = kind->NAME;
  return REPORTKINDTYP{
      .INDEX = INDEX,
      .PIVOTS = false,
      .TEXT = sampledText<INDEX>,
      .BLOCK = nullptr,
      .COLUMNS = 2 * sampled.VALUES,
      .TITLES = {sampled.TITLES[0], sampled.TITLES[1], sampled.TITLES[2], sampled.TITLES[3]},
      .VALUES = sampledValues<INDEX>,
      .NAME = name};
}

// A player's estimates into its row: values first, then errors.
void put(RUNTYP& R, const GAMETYP& game, const sampler::Values* values, int count) {
  R.SAMPLED.assign(XPLAYER(game.NN, game.MM, game.NN[game.MM]) + 1, {});
  for (auto& row : R.SAMPLED) row.fill(std::nan(""));
  for (int p = 1; p <= game.N; ++p) {
    const std::size_t at = XPLAYER(game.NN, game.MEM[p][0], game.MEM[p][1]);
    for (int c = 0; c < count; ++c) {
      R.SAMPLED[at][static_cast<std::size_t>(c)] = values[c].value[static_cast<std::size_t>(p)];
      R.SAMPLED[at][static_cast<std::size_t>(count + c)] =
          values[c].error[static_cast<std::size_t>(p)];
    }
  }
}

}  // namespace

const REPORTKINDTYP& ESTIMATEKIND(INDEXTYP INDEX) {
  static const REPORTKINDTYP shapley = kindOf<INDEXTYP::SHAPLEY>();
  static const REPORTKINDTYP banzhaf = kindOf<INDEXTYP::BANZHAF>();
  static const REPORTKINDTYP publicgood = kindOf<INDEXTYP::PUBLICGOOD>();
  switch (INDEX) {
    case INDEXTYP::BANZHAF:
      return banzhaf;
    case INDEXTYP::PUBLICGOOD:
      return publicgood;
    case INDEXTYP::SHAPLEY:
      break;
  }
  return shapley;
}

bool RUNESTIMATE(INDEXTYP INDEX, const GAMETYP& GAME, const RULETYP& RULE,
                 const sampler::Options& OPTIONS, RUNTYP& R, sampler::STATUS& STATUS) {
  STATUS = sampler::STATUS::NOTSUPPORTED;
  if (GAME.DATASTRUCTURE != DATASTRUCT::WEIGHTED || RULE.GAME == VERSION::SPATIAL) return false;
  weightedwalk::Game core;
  if (!WEIGHTEDCORE(GAME, RULE, core)) return false;
  core.position = nullptr;
  static_cast<GAMETYP&>(R) = GAME;
  static_cast<RULETYP&>(R) = RULE;
  for (int s = 1; s <= GAME.MM; ++s) {  // the totals walk every player's row
    R.SHAP[s].fit(static_cast<std::size_t>(GAME.NN[s]));
    R.PIV[s].fit(static_cast<std::size_t>(GAME.NN[s]));
  }
  R.TIME1 = plat::now();
  sampler::Run run;
  if (INDEX == INDEXTYP::SHAPLEY) {
    const sampler::ShapleyEstimate e = sampler::SHAPLEY(core, OPTIONS);
    put(R, GAME, &e.shapley, 1);
    run = e;
  } else if (INDEX == INDEXTYP::BANZHAF) {
    const sampler::BanzhafEstimate e = sampler::BANZHAF(core, OPTIONS);
    const sampler::Values values[2] = {e.raw, e.normalised};
    put(R, GAME, values, 2);
    run = e;
  } else {
    const sampler::PublicGoodEstimate e = sampler::PUBLICGOOD(core, OPTIONS);
    const sampler::Values values[2] = {e.publicGood, e.deeganPackel};
    put(R, GAME, values, 2);
    run = e;
  }
  R.TIME2 = plat::now();
  STATUS = run.status;
  if (run.status == sampler::STATUS::NOTSUPPORTED) return false;
  R.METHOD = METHODTYP::SAMPLING;
  R.SAMPLES = run.samples;
  R.SAMPLESECONDS = run.seconds;
  R.SAMPLEERROR = OPTIONS.ERROR;
  R.SAMPLELARGEST = run.largest;
  R.SAMPLEREACHED = run.status == sampler::STATUS::DONE;
  return true;
}

void EXACTESTIMATE(const REPORTKINDTYP& KIND, double ERROR, RUNTYP& R) {
  const SAMPLEDTYP& sampled = sampledOf(KIND.INDEX);
  RUNTYP totalled = R;
  REPORTTYP rep;
  REPORTTOTALS(totalled, rep, KIND.PIVOTS);
  // The count's column of each estimated value's title.
  int from[REPORTCOLUMNS];
  for (int c = 0; c < sampled.VALUES; ++c) {
    from[c] = -1;
    for (int k = 0; k < KIND.COLUMNS; ++k)
      if (std::string(KIND.TITLES[k]) == sampled.TITLES[c]) from[c] = k;
  }
  R.SAMPLED.assign(XPLAYER(R.NN, R.MM, R.NN[R.MM]) + 1, {});
  for (auto& row : R.SAMPLED) row.fill(std::nan(""));
  double v[REPORTCOLUMNS];
  for (int i = 1; i <= R.MM; ++i)
    for (int p = 1; p <= R.NN[i]; ++p) {
      std::fill(v, v + REPORTCOLUMNS, std::nan(""));
      KIND.VALUES(totalled, rep, i, p, v);
      auto& row = R.SAMPLED[XPLAYER(R.NN, i, p)];
      for (int c = 0; c < sampled.VALUES; ++c) {
        row[static_cast<std::size_t>(c)] = from[c] >= 0 ? v[from[c]] : std::nan("");
        row[static_cast<std::size_t>(sampled.VALUES + c)] = 0;
      }
    }
  R.SAMPLES = 0;
  R.SAMPLESECONDS = 0;
  R.SAMPLEERROR = ERROR;
  R.SAMPLELARGEST = 0;
  R.SAMPLEREACHED = true;
}

std::string UNESTIMATED(const RUNTYP& R, INDEXTYP INDEX) {
  const SAMPLEDTYP& sampled = sampledOf(INDEX);
  std::string titles;
  for (int c = 0; c < sampled.VALUES; ++c) {
    bool any = false;
    for (const auto& row : R.SAMPLED) any = any || !std::isnan(row[static_cast<std::size_t>(c)]);
    if (!any && !R.SAMPLED.empty())
      titles += (titles.empty() ? "" : ", ") + std::string(sampled.TITLES[c]);
  }
  return titles;
}
