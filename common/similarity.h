// Points in win-set boxes, and the distances and similarity of players
// and coalitions by their policy positions.
#pragma once

#include <cstdint>

#include "types/vkxdecl.h"

// P lies in box III of A in every dimension 1..N (bounds inclusive).
bool POINTQUAD(const GTYP& A, uint8_t III, const POINT& P, uint8_t N);

// Euclidean distance of players A1 and A2 over themes 1..NTHEME.
double DIST(const POSTYP& POSITION, uint16_t A1, uint16_t A2, uint16_t NTHEME, uint16_t MINKOWP);
// Largest distance of two of the players 1..NAKTEUR (as many as the rows
// hold); 1.0 when that is 0.
double DIST_MAX(const POSTYP& POSITION, uint16_t NAKTEUR, uint16_t NTHEME);
// Similarity of the coalition PERM (K members) among players 1..N.
double DIST_KOAL(const PERMTYP& PERM, const POSTYP& POSITION, uint16_t N, uint16_t K,
                 uint16_t NTHEME, double DISTMAX);
