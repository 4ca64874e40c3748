// Banzhaf engine for unweighted chambers with box win sets.
#pragma once

#include <cstdint>

#include "types/vkxdecl.h"

void BANZHAF_UNWEIGHTED_ISBA(uint16_t N, uint16_t MM, const NNTYP& NN, int32_t THRES, const GTYP& G,
                             uint16_t T1, uint16_t T2, uint16_t T1ANZ, uint16_t T2ANZ,
                             SHAPTYP& SHAP, SHAPTYP& PIV, double& WINSETS);
