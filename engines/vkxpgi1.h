// Weighted public good engines: minimal winning coalitions.
#pragma once

#include <cstdint>
#include <string>

#include "types/vkxdecl.h"

void PUBLICGOOD_WEIGHTED(uint16_t N, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW,
                         const MEMTYP& MEM, int32_t THRES, const GEWTYP& M, uint16_t T1,
                         SHAPTYP& SHAP, SHAPTYP& PIV, double& WINSETS);

void PUBLICGOOD_WEIGHTED_DOUB(uint16_t N, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW,
                              const MEMTYP& MEM, int32_t THRES, const GEWTYP& M, uint16_t T1,
                              SHAPTYP& SHAP, SHAPTYP& PIV, double& WINSETS, std::string& NAME1);
