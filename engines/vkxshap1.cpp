#include "engines/vkxshap1.h"

#include "common/mathe2.h"
#include "engines/wcore.h"
#include "engines/wrun.h"
#include "platform/console.h"
#include "types/vkxdecl.h"

namespace {

// Adds the counts of a walk to the caller's result tables.
void addCounts(const wcore::Counts& c, uint16_t N, uint16_t MM, const MEMTYP& MEM, SHAPTYP& SHAP,
               SHAPTYP& PIV, double& WINSETS) {
  for (int p = 1; p <= N; ++p) {
    SHAP[MEM[p][0]][MEM[p][1]] += c.shap[p];
    PIV[MEM[p][0]][MEM[p][1]] += c.piv[p];
  }
  for (int s = 1; s <= MM; ++s) PIV[s][0] += c.sub[s];
  WINSETS += c.wins;
}

// Inclusiveness as shares of the winning coalitions.
void divideByWins(uint16_t MM, const NNTYP& NN, SHAPTYP& PIV, double WINSETS) {
  if (WINSETS == 0) return;
  for (int s = 1; s <= MM; ++s)
    for (int j = 0; j <= NN[s]; ++j) PIV[s][j] /= WINSETS;
}

}  // namespace

void SHAPLEY_WEIGHTED(uint16_t N, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW,
                      const MEMTYP& MEM, int32_t THRES, const GEWTYP& M, uint16_t T1, SHAPTYP& SHAP,
                      SHAPTYP& PIV, double& WINSETS, uint8_t SPATIAL, const POSTYP& POSITION,
                      uint16_t NTHEME) {
  const bool spatial = SPATIAL == 1;
  wcore::Game g;
  if (!wrun::BUILD(g, N, MM, NN, GEW, MEM, THRES, M, T1) || (spatial && NTHEME > MAXCHAMB)) {
    wrun::REFUSE();
    return;
  }
  if (spatial) {
    g.position = &POSITION;
    g.ntheme = NTHEME;
    g.distmax = DIST_MAX(POSITION, N, NTHEME);
  }

  wrun::Run run;
  wrun::START(run, N, MEM, "report winning coalitions (y/n): ", "winning coalitions");
  wcore::Visitor storage;
  wcore::Counts c;
  wcore::SHAPLEY_CORE(g, c, wrun::VISITOR(run, storage));
  addCounts(c, N, MM, MEM, SHAP, PIV, WINSETS);

  if (!spatial) {
    divideByWins(MM, NN, PIV, WINSETS);
  } else if (WINSETS != 0) {
    // Similarity-weighted shares. A zero similarity sum leaves its entries
    // at zero rather than dividing by it.
    const double all = c.dist0 + c.dist1;
    for (int s = 1; s <= MM; ++s)
      for (int j = 0; j <= NN[s]; ++j) {
        if (c.dist1 != 0) PIV[s][j] /= c.dist1;
        if (all != 0) SHAP[s][j] /= all;
      }
  }
  wrun::FINISH(run);
}

void SHAPLEY_WEIGHTED_DOUB(uint16_t N, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW,
                           const MEMTYP& MEM, int32_t THRES, const GEWTYP& M, uint16_t T1,
                           SHAPTYP& SHAP, SHAPTYP& PIV, double& WINSETS, std::string& NAME1) {
  wcore::Game g;
  if (!wrun::STARTDOUB(g, N, MM, NN, GEW, MEM, THRES, M, T1)) return;

  int32_t thres1 = 0;
  if (!wrun::LOADSYSTEM("second data file: ", NAME1, 1, N, MM, NN, MEM, g, thres1)) return;
  if (thres1 != THRES) {
    con::writeLn("...unequal numbers of thresholds");
    con::waitKey();
    return;
  }
  if (!wrun::LOADSYSTEMS(2, NAME1, N, MM, NN, MEM, THRES, g)) return;

  if (INTERNAL == 1) {
    int32_t art196 = 0, artthres = 0;
    READINTLN("blocking Art.III-196(3) EU Const.Treaty in second vote system (0/1): ", art196);
    if (art196 == 1) READINTLN("blocking threshold: ", artthres);
    g.block = art196 == 1;
    g.blockThres = artthres;
  }

  if (OVERALL == 1) con::writeLn("...using AND overall threshold " + std::to_string(T1));
  // A run without an overall threshold leaves AND behind for later runs.
  if (OVERALL == 0) OVERALL = 1;
  if (OVERALL == 2) con::writeLn("...using OR overall threshold " + std::to_string(T1));
  g.overall = OVERALL;
  g.overt = OVERT;

  wrun::Run run;
  wrun::START(run, N, MEM, "report winning coalitions (y/n): ", "winning coalitions");
  run.pause = true;
  con::writeLn();
  wcore::Visitor storage;
  wcore::Counts c;
  wcore::SHAPLEY_CORE(g, c, wrun::VISITOR(run, storage));
  addCounts(c, N, MM, MEM, SHAP, PIV, WINSETS);
  divideByWins(MM, NN, PIV, WINSETS);
  wrun::FINISH(run);
}
