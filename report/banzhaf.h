// The Banzhaf index: the report text, the number block and the columns NNBZ
// and NBZ.
//
//   NNBZ(i) = swings(i) / 2^(n-1), swings(i) the coalitions S containing i
//             that win while S - i loses (the raw index: the probability
//             that i decides when the others vote at random);
//   NBZ(i)  = swings(i) / the sum of all players' swings (normalised).
//
// The worked example of every unit: three players of weights 2, 1 and 1
// who win with 3 votes. The winning coalitions are {1,2}, {1,3} and
// {1,2,3}; player 1 is a swing in all three, players 2 and 3 in one each.
// Swings 3, 1, 1: NNBZ = 3/4, 1/4, 1/4; NBZ = 3/5, 1/5, 1/5.
#pragma once

struct RUNTYP;
struct REPORTTYP;
struct REPORTKINDTYP;

void BANZHAFOUT1(RUNTYP& R, REPORTTYP& REP);
void BANZHAFOUT2(RUNTYP& R, REPORTTYP& REP);
// The report of this index for a front end without the console.
const REPORTKINDTYP& BANZHAFKIND();
