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
    V[c] = 0;
    for (const auto& row : R.SAMPLED)  // entry 0 is no player's
      if (!std::isnan(row[static_cast<std::size_t>(c)])) V[c] += row[static_cast<std::size_t>(c)];
  }
}

template <INDEXTYP INDEX>
void sampledText(RUNTYP& R, REPORTTYP& REP) {
  const SAMPLEDTYP& kind = sampledOf(INDEX);
  REPORTHEAD(R, REP, std::string("subgame  player  weight") + kind.COLUMNS);
  double v[REPORTCOLUMNS];
  for (int i = 1; i <= R.MM; ++i)
    for (int p = 1; p <= R.NN[i]; ++p) {
      sampledValues<INDEX>(R, REP, i, p, v);
      std::string line = REPORTPLAYER(R, i, p);
      for (int c = 0; c < 2 * kind.VALUES; ++c) line += FIXSTR(v[c], 10, 6);
      REPORTLINE(REP, line);
      REPORTWAIT(REP);
    }
  sampledValues<INDEX>(R, REP, 0, 0, v);
  std::string sums = "sum of all:            ";
  for (int c = 0; c < kind.VALUES; ++c) sums += FIXSTR(v[c], 10, 6);
  REPORTLINE(REP, sums);
  REPORTLINE(REP, " ");
  char text[160];
  std::snprintf(text, sizeof text,
                "estimated from %llu %s in %.1f s: ", static_cast<unsigned long long>(R.SAMPLES),
                kind.DRAWN, R.SAMPLESECONDS);
  double worst = 0;
  for (const auto& row : R.SAMPLED)
    for (int c = kind.VALUES; c < 2 * kind.VALUES; ++c)
      if (!std::isnan(row[static_cast<std::size_t>(c)]))
        worst = std::max(worst, row[static_cast<std::size_t>(c)]);
  std::string how = text;
  if (R.SAMPLEREACHED) {
    std::snprintf(text, sizeof text, "every standard error below %g", R.SAMPLEERROR);
  } else {
    std::snprintf(text, sizeof text, "stopped at the limit, standard errors up to %g (asked %g)",
                  worst, R.SAMPLEERROR);
  }
  REPORTLINE(REP, how + text);
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

bool RUNESTIMATE(INDEXTYP INDEX, const GAMETYP& GAME, const RULETYP& RULE, double ERROR,
                 double MAXSECONDS, RUNTYP& R) {
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
  sampler::Options options;
  options.ERROR = ERROR;
  options.MAXSECONDS = MAXSECONDS;
  R.TIME1 = plat::now();
  sampler::Run run;
  if (INDEX == INDEXTYP::SHAPLEY) {
    const sampler::ShapleyEstimate e = sampler::SHAPLEY(core, options);
    put(R, GAME, &e.shapley, 1);
    run = e;
  } else if (INDEX == INDEXTYP::BANZHAF) {
    const sampler::BanzhafEstimate e = sampler::BANZHAF(core, options);
    const sampler::Values values[2] = {e.raw, e.normalised};
    put(R, GAME, values, 2);
    run = e;
  } else {
    const sampler::PublicGoodEstimate e = sampler::PUBLICGOOD(core, options);
    const sampler::Values values[2] = {e.publicGood, e.deeganPackel};
    put(R, GAME, values, 2);
    run = e;
  }
  R.TIME2 = plat::now();
  if (run.status == sampler::STATUS::NOTSUPPORTED) return false;
  R.SAMPLES = run.samples;
  R.SAMPLESECONDS = run.seconds;
  R.SAMPLEERROR = ERROR;
  R.SAMPLEREACHED = run.status == sampler::STATUS::DONE;
  return true;
}
