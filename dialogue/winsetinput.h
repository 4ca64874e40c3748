// The win-set dialogue: the number of win sets and each win set asked.
#pragma once

#include <cstdint>

#include "types/vkxdecl.h"
#include "types/vkxgame.h"

// Asks the number of win sets and each win set; fills THRES, the threshold
// table M[subgame][win set] and the boxes G.
void THRESHOLD_INPUT(const SETTINGSTYP& S, int32_t& THRES, GEWTYP& M, GTYP& G,
                     int32_t DATASTRUCTURE, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW);
