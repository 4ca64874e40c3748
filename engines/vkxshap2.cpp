#include "engines/vkxshap2.h"

#include "engines/isarun.h"

void SHAPLEY_UNWEIGHTED_ISBA(uint16_t N, uint16_t MM, const NNTYP& NN, int32_t THRES, const GTYP& G,
                             uint16_t T1, uint16_t T2, uint16_t T1ANZ, uint16_t T2ANZ,
                             SHAPTYP& SHAP, SHAPTYP& PIV, double& WINSETS) {
  ISA_SCREEN_RUN(ISAKIND::SHAPLEY, ISA_GAME(N, MM, NN, THRES, G, T1, T2, T1ANZ, T2ANZ), SHAP, PIV,
                 WINSETS);
}

void SHAPLEY_UNWEIGHTED_ISBA_WORKINGPLAN(uint16_t N, uint16_t MM, const NNTYP& NN, int32_t THRES,
                                         const GTYP& G, uint16_t T1, uint16_t T2, uint16_t T1ANZ,
                                         uint16_t T2ANZ, SHAPTYP& SHAP, SHAPTYP& PIV,
                                         double& WINSETS) {
  ISA_SCREEN_RUN(ISAKIND::WORKINGPLAN, ISA_GAME(N, MM, NN, THRES, G, T1, T2, T1ANZ, T2ANZ), SHAP,
                 PIV, WINSETS);
}
