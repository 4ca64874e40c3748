// Prompted numbers, win-set boxes and coalition distances.
#pragma once

#include <cstdint>
#include <string>

#include "types/vkxdecl.h"

// Prompt, the current value as default, an entry field edited in place.
void READINT(const std::string& OUTPUT, int32_t& INTEG);
void READINTLN(const std::string& OUTPUT, int32_t& INTEG);
void READLONGINT(const std::string& OUTPUT, int32_t& INTEG);
void READLONGINTLN(const std::string& OUTPUT, int32_t& INTEG);
// Weights and thresholds: READLONGINTLN when the settings ask for long
// weights, READINTLN otherwise.
void READWEIGHTLN(const SETTINGSTYP& S, const std::string& OUTPUT, int32_t& INTEG);

// Box II of A in dimensions 1..N: both bounds set to 0, the lower asked.
void READQUADLN1(const SETTINGSTYP& S, GTYP& A, uint8_t II, uint16_t N);
// "[lo,up] * [lo,up]" for dimensions 1..N, then a line end.
void WRITEQUADLN(const QUADER& A, uint8_t N);
// P lies in box III of A in every dimension 1..N (bounds inclusive).
bool POINTQUAD(const GTYP& A, uint8_t III, const POINT& P, uint8_t N);

// Euclidean distance of players A1 and A2 over themes 1..NTHEME.
double DIST(const POSTYP& POSITION, uint16_t A1, uint16_t A2, uint16_t NTHEME, uint16_t MINKOWP);
// Largest distance of two of the players 1..NAKTEUR; 1.0 when that is 0.
double DIST_MAX(const POSTYP& POSITION, uint16_t NAKTEUR, uint16_t NTHEME);
// Similarity of the coalition PERM (K members) among players 1..N.
double DIST_KOAL(const PERMTYP& PERM, const POSTYP& POSITION, uint16_t N, uint16_t K,
                 uint16_t NTHEME, double DISTMAX);
