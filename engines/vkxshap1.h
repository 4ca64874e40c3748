// Weighted Shapley-Shubik and inclusiveness engines (one or several vote
// systems), with their run-mode dialogue.
#pragma once

#include <cstdint>
#include <string>

#include "types/vkxdecl.h"

void SHAPLEY_WEIGHTED(uint16_t N, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW,
                      const MEMTYP& MEM, int32_t THRES, const GEWTYP& M, uint16_t T1, SHAPTYP& SHAP,
                      SHAPTYP& PIV, double& WINSETS, uint8_t SPATIAL, const POSTYP& POSITION,
                      uint16_t NTHEME);

void SHAPLEY_WEIGHTED_DOUB(uint16_t N, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW,
                           const MEMTYP& MEM, int32_t THRES, const GEWTYP& M, uint16_t T1,
                           SHAPTYP& SHAP, SHAPTYP& PIV, double& WINSETS, std::string& NAME1);
