// The win sets of a game: their number and their completion to boxes.
#pragma once

#include <cstdint>
#include <string>

#include "types/vkxdecl.h"
#include "types/vkxgame.h"

// The messages of a refused number of win sets and of a refused win set.
extern const char* const THRESNUMBERMSG;  // "...threshold number not allowed"
extern const char* const THRESMSG;        // "...thresholds not allowed"

// The largest value subgame D can reach: its summed weights in a weighted
// game, its number of players otherwise.
int64_t CUMULATEDWEIGHT(int32_t DATASTRUCTURE, const NNTYP& NN, const GEWTYP& GEW, int D);
// A number of win sets the tables hold: 1..10.
bool WINSETCOUNTOK(int32_t THRES);
// Completes win set I of G from the lower bounds entered in dimensions
// 1..MM: each becomes the threshold M[d][I], each upper bound the
// subgame's cumulated weight. False when a lower bound lies above it (every
// dimension is still completed).
bool WINSETCOMPLETE(int I, GEWTYP& M, GTYP& G, int32_t DATASTRUCTURE, uint16_t MM, const NNTYP& NN,
                    const GEWTYP& GEW);

// A threshold given as a share of the subgame's TOTAL (its summed weights,
// or its players): "62%" or "62.5%" is the smallest whole number of votes
// that reaches that share, "majority" the smallest that is more than half.
// False when TEXT is neither (VALUE unchanged) or the share lies outside
// 0..100 %.
bool WINSETSHARE(const std::string& TEXT, int64_t TOTAL, int64_t& VALUE);
