// Coleman's power of a collectivity to act, seen from one player: the power
// to prevent action and the power to initiate it. Both come from the
// Banzhaf counts (swings and winning coalitions), so they are offered where
// per-player swings exist: the weighted data of the standard version.
#pragma once

#include "report/report.h"

// For player i with s_i swings (coalitions that win with i and lose without
// it) and W winning coalitions among all 2^n:
//   PREVENT_i  = s_i / W            (0 when W = 0)
//   INITIATE_i = s_i / (2^n - W)    (0 when every coalition wins)
// Example: weights 2,1,1, quota 3 (n = 3): the winning coalitions are {1,2},
// {1,3}, {1,2,3}, so W = 3 and 2^n - W = 5; player 1 swings in all three,
// players 2 and 3 in one each: PREVENT = 1, 1/3, 1/3 and INITIATE = 3/5,
// 1/5, 1/5.
// V[0] = PREVENT and V[1] = INITIATE of player P of subgame I; I = 0 (the
// line "sum of all") has no value (NaN), V[2] is unused (NaN).
void COLEMANVALUES(const RUNTYP& R, const REPORTTYP& REP, int I, int P, double* V);
// The Coleman columns as the command line writes them: the Banzhaf report
// for the text formats, PREVENT and INITIATE for CSV and JSON.
const REPORTKINDTYP& COLEMANKIND();
// True where the run holds per-player swings.
bool COLEMANFITS(const RUNTYP& R);
