#include "engines/vkxbanz2.h"

#include "engines/isarun.h"

void BANZHAF_UNWEIGHTED_ISBA(uint16_t N, uint16_t MM, const NNTYP& NN, int32_t THRES, const GTYP& G,
                             uint16_t T1, uint16_t T2, uint16_t T1ANZ, uint16_t T2ANZ,
                             SHAPTYP& SHAP, SHAPTYP& PIV, double& WINSETS) {
  ISA_SCREEN_RUN(ISAKIND::BANZHAF, ISA_GAME(N, MM, NN, THRES, G, T1, T2, T1ANZ, T2ANZ), SHAP, PIV,
                 WINSETS);
}
