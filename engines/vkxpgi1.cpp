#include "engines/vkxpgi1.h"

#include "engines/wcore.h"
#include "engines/wrun.h"
#include "platform/console.h"
#include "types/vkxdecl.h"

namespace {

// Runs the minimal-winning-coalition walk with the user's run mode and adds
// its counts to the caller's tables (nothing is divided).
void runPublicGood(const wcore::Game& g, uint16_t N, const MEMTYP& MEM, SHAPTYP& SHAP, SHAPTYP& PIV,
                   double& WINSETS) {
  wrun::Run run;
  wrun::START(run, N, MEM,
              "report minimal winning coalitions (y/n): ", "minimal winning coalitions");
  con::writeLn();
  wcore::Visitor storage;
  wcore::Counts c;
  wcore::PUBLICGOOD_CORE(g, c, wrun::VISITOR(run, storage));
  for (int p = 1; p <= N; ++p) {
    SHAP[MEM[p][0]][MEM[p][1]] += c.shap[p];
    PIV[MEM[p][0]][MEM[p][1]] += c.piv[p];
  }
  WINSETS += c.wins;
  wrun::FINISH(run);
}

}  // namespace

void PUBLICGOOD_WEIGHTED(uint16_t N, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW,
                         const MEMTYP& MEM, int32_t THRES, const GEWTYP& M, uint16_t T1,
                         SHAPTYP& SHAP, SHAPTYP& PIV, double& WINSETS) {
  wcore::Game g;
  if (!wrun::BUILD(g, N, MM, NN, GEW, MEM, THRES, M, T1)) {
    wrun::REFUSE();
    return;
  }
  runPublicGood(g, N, MEM, SHAP, PIV, WINSETS);
}

void PUBLICGOOD_WEIGHTED_DOUB(uint16_t N, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW,
                              const MEMTYP& MEM, int32_t THRES, const GEWTYP& M, uint16_t T1,
                              SHAPTYP& SHAP, SHAPTYP& PIV, double& WINSETS, std::string& NAME1) {
  wcore::Game g;
  if (!wrun::STARTDOUB(g, N, MM, NN, GEW, MEM, THRES, M, T1)) return;
  if (!wrun::LOADSYSTEMS(1, NAME1, N, MM, NN, MEM, THRES, g)) return;
  runPublicGood(g, N, MEM, SHAP, PIV, WINSETS);
}
